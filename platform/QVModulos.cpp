#include "platform/QVModulos.h"

#include <array>

namespace zenta {

std::string_view QVSiglaModulo(int modulo) {
    // Module numbers 1 to 31 of the ERP, by their two-letter short names.
    static constexpr std::array<std::string_view, 31> kSiglas = {
        "DF", "ES", "CM", "FT", "FI", "CT", "FP", "LF", "GE", "PR", "VE", "CR", "CP", "TE", "PA", "AT",
        "OS", "QL", "MK", "RH", "LG", "WM", "CO", "OR", "BI", "EC", "PV", "CX", "NF", "SP", "RL"};
    if (modulo < 1 || modulo > static_cast<int>(kSiglas.size())) return {};
    return kSiglas[static_cast<size_t>(modulo - 1)];
}

}  // namespace zenta
