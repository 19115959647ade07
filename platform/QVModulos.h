// The ERP's module table: module number to two-letter short name.
#pragma once

#include <string_view>

namespace zenta {

inline constexpr int QV_MODULO_DF = 1;  // base (enterprise) module
inline constexpr int QV_MODULO_GE = 9;  // equipment management: this system

// The short name of a module; empty for an unknown number.
std::string_view QVSiglaModulo(int modulo);

}  // namespace zenta
