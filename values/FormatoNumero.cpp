#include "values/FormatoNumero.h"

#include <algorithm>

namespace zenta {
namespace {

bool SoDigitos(std::string_view texto) {
    return std::all_of(texto.begin(), texto.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Adds one to a run of digits, carrying leftward; "999" becomes "1000".
void IncrementaDigitos(std::string& digitos) {
    for (auto it = digitos.rbegin(); it != digitos.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digitos.insert(digitos.begin(), '1');
}

std::string Agrupa(std::string_view inteiro, unsigned agrupamento, char separador) {
    if (agrupamento == 0) return std::string(inteiro);
    std::string saida;
    saida.reserve(inteiro.size() + inteiro.size() / agrupamento);
    for (size_t i = 0; i < inteiro.size(); ++i) {
        if (i > 0 && (inteiro.size() - i) % agrupamento == 0) saida.push_back(separador);
        saida.push_back(inteiro[i]);
    }
    return saida;
}

}  // namespace

bool FormataNumero(std::string_view numero, const FormatoNumero& formato, std::string& saida) {
    const bool negativo = !numero.empty() && numero.front() == '-';
    if (negativo) numero.remove_prefix(1);
    const size_t ponto = numero.find('.');
    std::string_view inteiro = numero.substr(0, ponto);
    const std::string_view fracao = ponto == std::string_view::npos ? std::string_view() : numero.substr(ponto + 1);
    if ((inteiro.empty() && fracao.empty()) || !SoDigitos(inteiro) || !SoDigitos(fracao)) return false;

    // Round on the integer and kept decimals as one run of digits.
    const size_t casas = formato.casasDecimais;
    std::string digitos(inteiro);
    digitos.append(fracao.substr(0, casas));
    digitos.append(casas > fracao.size() ? casas - fracao.size() : 0, '0');
    if (fracao.size() > casas && fracao[casas] >= '5') IncrementaDigitos(digitos);

    std::string parteInteira = digitos.substr(0, digitos.size() - casas);
    const std::string parteDecimal = digitos.substr(digitos.size() - casas);
    parteInteira.erase(0, std::min(parteInteira.find_first_not_of('0'), parteInteira.size()));
    if (parteInteira.empty() && formato.zeroAEsquerda) parteInteira.push_back('0');

    // A value that rounds to zero loses its sign.
    const bool zero = digitos.find_first_not_of('0') == std::string::npos;
    std::string texto = negativo && !zero ? "-" : "";
    texto += Agrupa(parteInteira, formato.agrupamento, formato.separadorMilhar);
    if (casas > 0) {
        texto.push_back(formato.separadorDecimal);
        texto += parteDecimal;
    }
    saida = std::move(texto);
    return true;
}

}  // namespace zenta
