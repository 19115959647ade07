// The ERP's message library, as this system ships it: it records the error
// reports it receives in "QVMens.log" in the base module's program directory
// and describes the system's own result codes. It stands on its own, without
// the server library: it finds the program directory itself, in the registry
// file $ZENTA_HOME/registry/HKLM.reg (value "Path" of the key
// HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\QV Sistemas\DF), else
// $ZENTA_HOME/programs/DF.
#define QVMENS_IMPLEMENTACAO
#include "diagnostics/qvmens/QVMens.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

#include "diagnostics/QVCodigosErro.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kChaveModuloBase = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\QV Sistemas\\DF";

// The system's root directory, as the server library finds it.
fs::path RaizSistema() {
    if (const char* home = std::getenv("ZENTA_HOME"); home != nullptr && *home != '\0') return home;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') return fs::path(xdg) / "zenta";
    const char* usuario = std::getenv("HOME");
    return fs::path(usuario != nullptr && *usuario != '\0' ? usuario : "/tmp") / ".local/share/zenta";
}

std::string_view Apara(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

bool IguaisSemCaixa(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// A quoted text of the registry file, with its \\ and \" escapes; false when
// it is not one.
bool LeTextoEntreAspas(std::string_view s, std::string& texto) {
    if (s.size() < 2 || s.front() != '"') return false;
    texto.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') return Apara(s.substr(i + 1)).empty();
        if (c == '\\') {
            if (++i >= s.size()) return false;
            c = s[i];
        }
        texto.push_back(c);
    }
    return false;
}

// The "Path" value of the base module's key in the registry file; empty when
// absent. Lines longer than the buffer are skipped whole.
std::string PathDoRegistro() {
    const fs::path arquivo = RaizSistema() / "registry" / "HKLM.reg";
    std::FILE* f = std::fopen(arquivo.c_str(), "re");
    if (f == nullptr) return {};
    std::string valor;
    bool naChave = false;
    char buffer[8192];
    while (std::fgets(buffer, sizeof buffer, f) != nullptr) {
        const std::size_t n = std::strlen(buffer);
        if (n > 0 && buffer[n - 1] != '\n' && !std::feof(f)) {
            int c;
            while ((c = std::fgetc(f)) != EOF && c != '\n') {
            }
            continue;
        }
        const std::string_view linha = Apara(std::string_view(buffer, n));
        if (linha.empty() || linha.front() == ';') continue;
        if (linha.front() == '[') {
            naChave = linha.back() == ']' && IguaisSemCaixa(linha.substr(1, linha.size() - 2), kChaveModuloBase);
            continue;
        }
        if (!naChave) continue;
        const std::size_t igual = linha.find("\"=");
        if (igual == std::string_view::npos) continue;
        std::string nome;
        if (!LeTextoEntreAspas(linha.substr(0, igual + 1), nome) || !IguaisSemCaixa(nome, "Path")) continue;
        std::string texto;
        if (LeTextoEntreAspas(Apara(linha.substr(igual + 2)), texto)) valor = texto;
    }
    std::fclose(f);
    return valor;
}

fs::path DiretorioProgramaBase() {
    const std::string registro = PathDoRegistro();
    if (!registro.empty()) return registro;
    return RaizSistema() / "programs" / "DF";
}

// One field of the log line: tabs, line breaks and backslashes escaped.
void AcrescentaEscapado(std::string& linha, const char* texto) {
    if (texto == nullptr) return;
    for (const char* p = texto; *p != '\0'; ++p) {
        switch (*p) {
            case '\t': linha += "\\t"; break;
            case '\n': linha += "\\n"; break;
            case '\r': linha += "\\r"; break;
            case '\\': linha += "\\\\"; break;
            default: linha.push_back(*p);
        }
    }
}

// UTF-8 to Windows-1252 for the library's own Latin texts.
std::string Para1252(std::string_view texto) {
    std::string saida;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(texto[i]);
        if (c >= 0xC2 && c <= 0xC3 && i + 1 < texto.size()) {
            saida.push_back(static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(texto[++i]) & 0x3F)));
        } else if (c >= 0x80) {
            saida.push_back('?');
        } else {
            saida.push_back(static_cast<char>(c));
        }
    }
    return saida;
}

struct Descricao {
    uint32_t valor;
    const char* nome;
    const char* texto;
};

#define QVMENS_DESCRICAO_(nome, valor, texto) {valor, #nome, texto},
constexpr Descricao kDescricoes[] = {QV_CODIGOS_SISTEMA(QVMENS_DESCRICAO_)};
#undef QVMENS_DESCRICAO_

}  // namespace

extern "C" void QVTrataErroExported(uint32_t contexto, int32_t hr, int32_t, const char* empresa, const char* arquivo,
                                    uint32_t linha, int32_t, int32_t, const char* programa, const char* texto) {
    try {
        const fs::path diretorio = DiretorioProgramaBase();
        std::error_code erro;
        fs::create_directories(diretorio, erro);

        char buffer[96];
        const std::time_t agora = std::time(nullptr);
        std::tm data{};
        localtime_r(&agora, &data);
        std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d %02d:%02d:%02d\t0x%08X\t0x%08X\t", data.tm_mday,
                      data.tm_mon + 1, data.tm_year + 1900, data.tm_hour, data.tm_min, data.tm_sec,
                      static_cast<unsigned>(contexto), static_cast<unsigned>(hr));
        std::string registro = buffer;
        AcrescentaEscapado(registro, empresa);
        registro.push_back('\t');
        AcrescentaEscapado(registro, arquivo);
        std::snprintf(buffer, sizeof buffer, "\t%u\t", static_cast<unsigned>(linha));
        registro += buffer;
        AcrescentaEscapado(registro, programa);
        registro.push_back('\t');
        AcrescentaEscapado(registro, texto);
        registro.push_back('\n');

        const fs::path log = diretorio / "QVMens.log";
        const int fd = open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0664);
        if (fd < 0) return;
        // One write per report, so reports of several processes never mix.
        ssize_t n;
        do {
            n = write(fd, registro.data(), registro.size());
        } while (n < 0 && errno == EINTR);
        close(fd);
    } catch (...) {
        // A report that cannot be recorded is dropped.
    }
}

extern "C" int QVGetDescricaoHRESULT(int32_t hr, char* buffer, uint32_t tamanho) {
    const Descricao* achada = nullptr;
    for (const Descricao& d : kDescricoes)
        if (d.valor == static_cast<uint32_t>(hr)) achada = &d;
    if (buffer != nullptr && tamanho > 0) buffer[0] = '\0';
    if (achada == nullptr) return 0;
    if (buffer == nullptr || tamanho == 0) return 1;
    try {
        const std::string texto = std::string(achada->nome) + ": " + Para1252(achada->texto);
        const std::size_t n = texto.size() < tamanho - 1 ? texto.size() : tamanho - 1;
        std::memcpy(buffer, texto.data(), n);
        buffer[n] = '\0';
    } catch (...) {
        return 0;
    }
    return 1;
}

extern "C" int EhFacilityMT(uint32_t facility) { return zenta::QVEhFacilidadeErp(facility) ? 1 : 0; }
