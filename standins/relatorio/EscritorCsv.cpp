// The CSV writer of the report generator.
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "standins/relatorio/DocumentoRelatorio.h"

namespace zenta {

namespace {

// A text as one CSV field.
std::string Campo(const std::string& texto) {
    std::string valor = texto;
    // Spreadsheets run a cell that starts with these as a formula; a minus
    // sign followed by a digit is a negative number and stays as it is.
    if (!valor.empty()) {
        const char c = valor.front();
        const bool numeroNegativo = c == '-' && valor.size() > 1 && valor[1] >= '0' && valor[1] <= '9';
        if (c == '=' || c == '+' || c == '@' || c == '\t' || c == '\r' || (c == '-' && !numeroNegativo))
            valor.insert(valor.begin(), '\'');
    }
    if (valor.find_first_of(";\"\r\n") == std::string::npos) return valor;
    std::string citado = "\"";
    for (const char c : valor) {
        if (c == '"') citado += '"';
        citado += c;
    }
    citado += '"';
    return citado;
}

}  // namespace

std::string RotuloColuna(const ColunaRelatorio& coluna) {
    return coluna.sRotulo.empty() ? "Campo " + std::to_string(coluna.lCodigo) : coluna.sRotulo;
}

std::vector<std::string> RotulosUnicos(const std::vector<ColunaRelatorio>& colunas) {
    std::vector<std::string> rotulos;
    for (const ColunaRelatorio& c : colunas) rotulos.push_back(RotuloColuna(c));
    const auto repetidos = [&rotulos] {
        std::map<std::string, int> contagem;
        for (const std::string& r : rotulos) ++contagem[r];
        std::vector<bool> repetido;
        for (const std::string& r : rotulos) repetido.push_back(contagem[r] > 1);
        return repetido;
    };
    std::vector<bool> repetido = repetidos();
    for (std::size_t c = 0; c < colunas.size(); ++c)
        if (repetido[c] && !colunas[c].sTituloGrupo.empty()) rotulos[c] += " (" + colunas[c].sTituloGrupo + ")";
    repetido = repetidos();
    for (std::size_t c = 0; c < colunas.size(); ++c)
        if (repetido[c]) rotulos[c] += " [" + std::to_string(colunas[c].lCodigo) + "]";
    return rotulos;
}

HRESULT EscreveCsv(const DocumentoRelatorio& documento, const std::filesystem::path& arquivo) {
    std::ofstream out(arquivo, std::ios::binary | std::ios::trunc);
    if (!out) return HRESULT_FROM_WIN32(110u);  // ERROR_OPEN_FAILED
    out << "\xEF\xBB\xBF";
    const std::vector<std::string> rotulos = RotulosUnicos(documento.colunas);
    for (std::size_t c = 0; c < rotulos.size(); ++c) {
        if (c > 0) out << ';';
        out << Campo(rotulos[c]);
    }
    out << "\r\n";
    for (const BlocoDocumento& bloco : documento.blocos) {
        for (const LinhaDocumento& linha : bloco.linhas) {
            for (std::size_t c = 0; c < documento.colunas.size(); ++c) {
                if (c > 0) out << ';';
                if (c < linha.valores.size()) out << Campo(linha.valores[c]);
            }
            out << "\r\n";
        }
    }
    out.flush();
    if (!out) return HRESULT_FROM_WIN32(29u);  // ERROR_WRITE_FAULT
    return S_OK;
}

}  // namespace zenta
