// CQVCurrencyEx: a CQVCurrency that also writes itself as display text with
// Brazilian separators ("1.234.567,50"), as the reports show quantities.
#pragma once

#include <string>

#include "values/QVCurrency.h"

namespace zenta {

class CQVCurrencyEx : public CQVCurrency {
public:
    using CQVCurrency::CQVCurrency;
    using CQVCurrency::operator=;
    CQVCurrencyEx() = default;
    explicit CQVCurrencyEx(const CQVCurrency& valor) : CQVCurrency(valor) {}

    // The value with `casas` decimals (0..9), cut (not rounded) when fewer
    // than four, with '.' grouping thousands and ',' before the decimals.
    // "Erro" when the value cannot be turned into text (logged).
    static std::string FormataValor(CY valor, int casas);

    // Decimals that show every significant digit of a value, but at least 2:
    // 4 when the raw value is not a multiple of 10, else 3 when it is not a
    // multiple of 100, else 2.
    static int CasasAutomaticas(CY valor);
    // FormataValor with CasasAutomaticas: 2 as "2,00", 2.125 as "2,125".
    static std::string FormataValorAutomatico(CY valor) { return FormataValor(valor, CasasAutomaticas(valor)); }

    std::string Formata(int casas) const { return FormataValor(GetCY(), casas); }
    std::string FormataAutomatico() const { return FormataValorAutomatico(GetCY()); }
};

}  // namespace zenta
