#include "platform/WinUser.h"

#include <syslog.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

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

struct FilaMensagens {
    std::mutex trava;
    std::condition_variable chegada;
    std::deque<MSG> mensagens;
};

// The queues of the threads that have one, by thread identifier. Never
// destroyed: threads may still post while the process exits.
struct TabelaFilas {
    std::mutex trava;
    std::unordered_map<DWORD, std::shared_ptr<FilaMensagens>> filas;
};

TabelaFilas& Filas() {
    static auto* tabela = new TabelaFilas;
    return *tabela;
}

// The calling thread's queue, created on first use and removed from the
// table when the thread ends, so that a later thread given the same
// identifier by the system does not receive its messages.
class FilaDaThread {
public:
    ~FilaDaThread() {
        if (!m_fila) return;
        auto& tabela = Filas();
        std::lock_guard lock(tabela.trava);
        const auto it = tabela.filas.find(m_id);
        if (it != tabela.filas.end() && it->second == m_fila) tabela.filas.erase(it);
    }

    FilaMensagens& Fila() {
        if (!m_fila) {
            auto fila = std::make_shared<FilaMensagens>();
            m_id = GetCurrentThreadId();
            auto& tabela = Filas();
            std::lock_guard lock(tabela.trava);
            tabela.filas[m_id] = fila;
            m_fila = std::move(fila);
        }
        return *m_fila;
    }

private:
    std::shared_ptr<FilaMensagens> m_fila;
    DWORD m_id = 0;
};

thread_local FilaDaThread t_fila;

bool NoFiltro(const MSG& msg, UINT minimo, UINT maximo) {
    if (minimo == 0 && maximo == 0) return true;
    return msg.message >= minimo && msg.message <= maximo;
}

DWORD Instante() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<DWORD>(ms.count());
}

}  // namespace

DWORD GetCurrentThreadId() { return static_cast<DWORD>(gettid()); }

BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (lpMsg == nullptr || hWnd != nullptr) return -1;
    FilaMensagens& fila = t_fila.Fila();
    std::unique_lock lock(fila.trava);
    for (;;) {
        for (auto it = fila.mensagens.begin(); it != fila.mensagens.end(); ++it) {
            if (!NoFiltro(*it, wMsgFilterMin, wMsgFilterMax)) continue;
            *lpMsg = *it;
            fila.mensagens.erase(it);
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        }
        fila.chegada.wait(lock);
    }
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    FilaMensagens& fila = t_fila.Fila();
    if (lpMsg == nullptr || hWnd != nullptr) return FALSE;
    std::lock_guard lock(fila.trava);
    for (auto it = fila.mensagens.begin(); it != fila.mensagens.end(); ++it) {
        if (!NoFiltro(*it, wMsgFilterMin, wMsgFilterMax)) continue;
        *lpMsg = *it;
        if ((wRemoveMsg & PM_REMOVE) != 0) fila.mensagens.erase(it);
        return TRUE;
    }
    return FALSE;
}

BOOL PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<FilaMensagens> fila;
    {
        auto& tabela = Filas();
        std::lock_guard lock(tabela.trava);
        const auto it = tabela.filas.find(idThread);
        if (it == tabela.filas.end()) return FALSE;
        fila = it->second;
    }
    {
        std::lock_guard lock(fila->trava);
        if (fila->mensagens.size() >= QV_MAXIMO_MENSAGENS_FILA) return FALSE;
        fila->mensagens.push_back(MSG{nullptr, Msg, wParam, lParam, Instante(), POINT{0, 0}});
    }
    fila->chegada.notify_one();
    return TRUE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG*) { return 0; }

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
