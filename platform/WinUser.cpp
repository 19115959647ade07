#include "platform/WinUser.h"

#include <syslog.h>

#include <cstdio>
#include <string>

#include "platform/CodePage.h"

namespace {

int BotaoPadrao(UINT uType) {
    static constexpr int kBotoes[][3] = {
        {IDOK, 0, 0},                       // MB_OK
        {IDOK, IDCANCEL, 0},                // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},       // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},            // MB_YESNOCANCEL
        {IDYES, IDNO, 0},                   // MB_YESNO
        {IDRETRY, IDCANCEL, 0},             // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, // MB_CANCELTRYCONTINUE
    };
    const UINT tipo = uType & MB_TYPEMASK;
    if (tipo >= sizeof(kBotoes) / sizeof(kBotoes[0])) return IDOK;
    UINT padrao = (uType & MB_DEFMASK) >> 8;
    if (padrao > 2 || kBotoes[tipo][padrao] == 0) padrao = 0;
    return kBotoes[tipo][padrao];
}

int Prioridade(UINT uType) {
    switch (uType & MB_ICONMASK) {
        case MB_ICONHAND: return LOG_ERR;
        case MB_ICONEXCLAMATION: return LOG_WARNING;
        default: return LOG_NOTICE;
    }
}

}  // namespace

int MessageBoxA(HWND, const char* lpText, const char* lpCaption, UINT uType) {
    try {
        const std::string titulo = zenta::Cp1252ParaUtf8(lpCaption != nullptr ? lpCaption : "Erro");
        const std::string texto = zenta::Cp1252ParaUtf8(lpText != nullptr ? lpText : "");
        syslog(LOG_USER | Prioridade(uType), "%s: %s", titulo.c_str(), texto.c_str());
        const std::string linha = titulo + ": " + texto + "\n";
        std::fwrite(linha.data(), 1, linha.size(), stderr);
        std::fflush(stderr);
    } catch (...) {
        // A message box that cannot be shown is skipped.
    }
    return BotaoPadrao(uType);
}
