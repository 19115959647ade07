#include "tools/zentactl/Tabela.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "values/QVDMA.h"
#include "values/QVMesAno.h"

namespace zenta::ctl {

Tabela::Tabela(std::vector<std::string> colunas) {
    for (auto& c : colunas) {
        const bool direita = !c.empty() && c[0] == '>';
        m_direita.push_back(direita);
        m_colunas.push_back(direita ? c.substr(1) : std::move(c));
    }
}

void Tabela::Linha(std::vector<std::string> celulas) {
    celulas.resize(m_colunas.size());
    m_linhas.push_back(std::move(celulas));
}

std::size_t LarguraUtf8(const std::string& texto) {
    std::size_t n = 0;
    for (const char c : texto)
        if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u) ++n;
    return n;
}

void Tabela::Imprime(std::ostream& saida) const {
    std::vector<std::size_t> larguras;
    for (const auto& c : m_colunas) larguras.push_back(LarguraUtf8(c));
    for (const auto& linha : m_linhas)
        for (std::size_t i = 0; i < linha.size(); ++i) larguras[i] = std::max(larguras[i], LarguraUtf8(linha[i]));
    auto escreve = [&](const std::vector<std::string>& celulas) {
        std::string texto;
        for (std::size_t i = 0; i < celulas.size(); ++i) {
            const std::string enchimento(larguras[i] - LarguraUtf8(celulas[i]), ' ');
            if (i > 0) texto += "  ";
            if (m_direita[i]) texto += enchimento + celulas[i];
            else if (i + 1 < celulas.size()) texto += celulas[i] + enchimento;
            else texto += celulas[i];
        }
        while (!texto.empty() && texto.back() == ' ') texto.pop_back();
        saida << texto << '\n';
    };
    escreve(m_colunas);
    std::vector<std::string> regua;
    for (const std::size_t l : larguras) regua.emplace_back(l, '-');
    escreve(regua);
    for (const auto& linha : m_linhas) escreve(linha);
    if (m_linhas.empty()) saida << "(none)\n";
}

void ImprimeCampos(std::ostream& saida, const std::vector<std::pair<std::string, std::string>>& campos) {
    std::size_t largura = 0;
    for (const auto& [nome, valor] : campos)
        if (!valor.empty()) largura = std::max(largura, LarguraUtf8(nome));
    for (const auto& [nome, valor] : campos) {
        if (valor.empty()) continue;
        saida << nome << ':' << std::string(largura - LarguraUtf8(nome) + 1, ' ') << valor << '\n';
    }
}

std::string FormataData(ULONG dia) {
    if (dia == 0) return {};
    int d = 0, m = 0, a = 0;
    REG_QVDMA(dia).GetDMA(d, m, a);
    if (a == 0) return "?" + std::to_string(dia);
    char texto[16];
    std::snprintf(texto, sizeof texto, "%02d/%02d/%04d", d, m, a);
    return texto;
}

std::string FormataMesAno(USHORT ma) {
    if (ma == 0) return {};
    int m = 0, a = 0;
    QVMAToMesAno(ma, m, a);
    if (a == 0) return "?" + std::to_string(ma);
    char texto[16];
    std::snprintf(texto, sizeof texto, "%02d/%04d", m, a);
    return texto;
}

std::string FormataHora(LONGLONG segundos) {
    if (segundos <= 0 || segundos >= 86400) return segundos == 0 ? std::string() : std::to_string(segundos);
    char texto[8];
    std::snprintf(texto, sizeof texto, "%02d:%02d", static_cast<int>(segundos / 3600), static_cast<int>(segundos / 60 % 60));
    return texto;
}

std::string FormataMoeda(CY valor, unsigned casas) {
    casas = std::min(casas, 4u);
    unsigned long long divisor = 1;
    for (unsigned i = casas; i < 4; ++i) divisor *= 10;
    const bool negativo = valor.int64 < 0;
    // Magnitude without overflow for INT64_MIN.
    unsigned long long magnitude =
        negativo ? 0ull - static_cast<unsigned long long>(valor.int64) : static_cast<unsigned long long>(valor.int64);
    const unsigned long long resto = magnitude % divisor;
    magnitude /= divisor;
    if (divisor > 1 && resto * 2 >= divisor) ++magnitude;
    unsigned long long escala = 1;
    for (unsigned i = 0; i < casas; ++i) escala *= 10;
    std::string texto = std::to_string(magnitude / escala);
    if (casas > 0) {
        std::string fracao = std::to_string(magnitude % escala);
        texto += ',' + std::string(casas - fracao.size(), '0') + fracao;
    }
    return (negativo && magnitude != 0 ? "-" : "") + texto;
}

std::string SimNao(long long valor) { return valor != 0 ? "yes" : "no"; }

}  // namespace zenta::ctl
