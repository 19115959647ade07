// The system number formatter: lays out a plain decimal number with a fixed
// count of decimals, digit grouping and the locale's separators.
#pragma once

#include <string>
#include <string_view>

namespace zenta {

struct FormatoNumero {
    unsigned casasDecimais = 2;
    bool zeroAEsquerda = true;  // "0,50" rather than ",50"
    unsigned agrupamento = 3;   // digits per group; 0 for none
    char separadorDecimal = ',';
    char separadorMilhar = '.';
};

// `numero` is an optional '-', digits, and an optional '.' with more digits
// ("-1234567.5"). Extra decimals are rounded half away from zero, missing
// ones filled with zeros; negative numbers get '-' in front ("-1.234,50").
// Returns false, leaving `saida` alone, for text of any other shape.
bool FormataNumero(std::string_view numero, const FormatoNumero& formato, std::string& saida);

}  // namespace zenta
