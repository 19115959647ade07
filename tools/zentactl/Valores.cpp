#include "tools/zentactl/Valores.h"

#include <cstring>

#include "platform/CodePage.h"
#include "tools/zentactl/Erros.h"
#include "values/Calendario.h"
#include "values/QVDMA.h"
#include "values/QVMesAno.h"

namespace zenta::ctl {

void CopiaSerie(char* campo, std::size_t tamanho, const std::string& serie) {
    const std::string cp = Utf8ParaCp1252(serie);
    if (cp.size() >= tamanho || cp.find('\0') != std::string::npos)
        throw ErroUso("--serie: at most " + std::to_string(tamanho - 1) + " characters");
    std::memset(campo, 0, tamanho);
    std::memcpy(campo, cp.data(), cp.size());
}

namespace {

bool Digitos(const std::string& s, std::size_t de, std::size_t n, int& valor) {
    valor = 0;
    if (de + n > s.size()) return false;
    for (std::size_t i = de; i < de + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        valor = valor * 10 + (s[i] - '0');
    }
    return true;
}

[[noreturn]] void Invalido(const char* opcao, const std::string& texto, const char* formato) {
    throw ErroUso(std::string(opcao) + ": \"" + texto + "\" is not " + formato);
}

}  // namespace

ULONG LeData(const std::string& s, const char* opcao) {
    if (s.empty()) return 0;
    int d = 0, m = 0, a = 0;
    if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !Digitos(s, 0, 4, a) || !Digitos(s, 5, 2, m) ||
        !Digitos(s, 8, 2, d) || !calendario::AnoValido(a) || m < 1 || m > 12 || d < 1 || d > calendario::DiasNoMes(m, a))
        Invalido(opcao, s, "a date (YYYY-MM-DD)");
    return REG_QVDMA(d, m, a).GetData();
}

USHORT LeMesAno(const std::string& s, const char* opcao) {
    if (s.empty()) return 0;
    int m = 0, a = 0;
    if (s.size() != 7 || s[4] != '-' || !Digitos(s, 0, 4, a) || !Digitos(s, 5, 2, m) || !calendario::AnoValido(a) ||
        m < 1 || m > 12)
        Invalido(opcao, s, "a month (YYYY-MM)");
    return QVMAFromMesAno(m, a);
}

LONG LeHora(const std::string& s, const char* opcao) {
    int h = 0, m = 0, seg = 0;
    const bool comSegundos = s.size() == 8;
    if ((s.size() != 5 && !comSegundos) || s[2] != ':' || !Digitos(s, 0, 2, h) || !Digitos(s, 3, 2, m) ||
        (comSegundos && (s[5] != ':' || !Digitos(s, 6, 2, seg))) || h > 23 || m > 59 || seg > 59)
        Invalido(opcao, s, "a time (HH:MM or HH:MM:SS)");
    return h * 3600 + m * 60 + seg;
}

CY LeQuantidade(const std::string& s, const char* opcao) {
    std::size_t i = 0;
    const bool negativo = !s.empty() && s[0] == '-';
    if (negativo) ++i;
    long long inteiro = 0, fracao = 0;
    std::size_t digitos = 0, decimais = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digitos) {
        inteiro = inteiro * 10 + (s[i] - '0');
        if (inteiro > 900'000'000'000'000LL) Invalido(opcao, s, "a quantity in range");
    }
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++decimais) {
            if (decimais == 4) Invalido(opcao, s, "a quantity with at most 4 decimals");
            fracao = fracao * 10 + (s[i] - '0');
        }
    }
    if (digitos == 0 || i != s.size()) Invalido(opcao, s, "a quantity (e.g. 1250.5)");
    for (std::size_t k = decimais; k < 4; ++k) fracao *= 10;
    CY cy;
    cy.int64 = (inteiro * 10000 + fracao) * (negativo ? -1 : 1);
    return cy;
}

ULONGLONG LeNumero64(const std::string& s, const char* opcao) {
    if (s.empty() || s.size() > 20) Invalido(opcao, s, "a number");
    ULONGLONG v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') Invalido(opcao, s, "a number");
        const auto d = static_cast<ULONGLONG>(c - '0');
        if (v > (~0ULL - d) / 10) Invalido(opcao, s, "a number in range");
        v = v * 10 + d;
    }
    return v;
}

}  // namespace zenta::ctl
