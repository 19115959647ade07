#include "values/QVCurrencyEx.h"

#include <algorithm>

#include "diagnostics/QVCheck.h"
#include "platform/CodePage.h"
#include "values/FormatoNumero.h"

namespace zenta {

namespace {

// The number formatter takes at most 9 decimals.
constexpr int kMaximoCasas = 9;
const LONGLONG kPassoPorCasas[4] = {10000, 1000, 100, 10};

}  // namespace

std::string CQVCurrencyEx::FormataValor(CY v, int casas) {
    casas = std::clamp(casas, 0, kMaximoCasas);
    // Display never rounds up: digits beyond the decimals shown are cut.
    if (casas < 4) v.int64 -= v.int64 % kPassoPorCasas[casas];

    BSTR bs = nullptr;
    const HRESULT hr =
        VarBstrFromCy(v, MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT), LOCALE_NOUSEROVERRIDE, &bs);
    if (FAILED(hr)) {
        QV_LOG_HR(hr, "VarBstrFromCy(v, MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT), "
                      "LOCALE_NOUSEROVERRIDE, &bs)");
        return "Erro";
    }
    const std::string numero = zenta::BstrParaCp1252(bs);
    SysFreeString(bs);

    zenta::FormatoNumero formato;
    formato.casasDecimais = static_cast<unsigned>(casas);
    std::string texto;
    // OLE's text of a currency value is always a plain decimal number.
    if (!zenta::FormataNumero(numero, formato, texto)) return "Erro";
    return texto;
}

int CQVCurrencyEx::CasasAutomaticas(CY valor) {
    if (valor.int64 % 10 != 0) return 4;
    if (valor.int64 % 100 != 0) return 3;
    return 2;
}

}  // namespace zenta
