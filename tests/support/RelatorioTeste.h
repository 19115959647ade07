// Reading the reports tests produce: a CSV as rows of fields, a PDF as the
// text a person reads, and a BSTR made from UTF-8 for report requests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "support/ZentaHomeTemporario.h"

namespace zenta::teste {

// The rows of a CSV report (byte-order mark dropped), the caption row first.
inline std::vector<std::vector<std::string>> LeCsv(const std::filesystem::path& arquivo) {
    std::string texto = LeArquivo(arquivo);
    EXPECT_EQ(texto.substr(0, 3), "\xEF\xBB\xBF");
    texto.erase(0, 3);
    std::vector<std::vector<std::string>> linhas;
    for (std::size_t inicio = 0; inicio < texto.size();) {
        const auto fim = texto.find("\r\n", inicio);
        const std::string linha = texto.substr(inicio, fim - inicio);
        inicio = fim == std::string::npos ? texto.size() : fim + 2;
        std::vector<std::string> campos;
        for (std::size_t c = 0;;) {
            const auto ponto = linha.find(';', c);
            campos.push_back(linha.substr(c, ponto - c));
            if (ponto == std::string::npos) break;
            c = ponto + 1;
        }
        linhas.push_back(campos);
    }
    return linhas;
}

// The text of a PDF as pdftotext lays it out (pages split by form feeds).
inline std::string TextoPdf(const std::filesystem::path& pdf, bool layout = true) {
    const std::filesystem::path txt = pdf.string() + ".txt";
    const std::string comando = std::string("pdftotext ") + (layout ? "-layout '" : "'") + pdf.string() + "' '" +
                                txt.string() + "' 2>/dev/null";
    EXPECT_EQ(std::system(comando.c_str()), 0);
    return LeArquivo(txt);
}

struct Bstr {
    BSTR b;
    explicit Bstr(const std::string& utf8) : b(zenta::Cp1252ParaBstr(zenta::Utf8ParaCp1252(utf8))) {}
    ~Bstr() { SysFreeString(b); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
};

}  // namespace zenta::teste
