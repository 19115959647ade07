#include "values/QVCurrency.h"

#include <limits>
#include <string>

#include "platform/CodePage.h"

namespace zenta {

namespace {

// Raw units of one step of the last kept decimal, and half of it, by the
// number of decimals kept.
constexpr uint64_t kPasso[5] = {10000, 1000, 100, 10, 1};
constexpr uint64_t kMeioPasso[5] = {5000, 500, 50, 5, 0};

constexpr LCID kLocaleEua = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
constexpr LCID kLocaleBrasil = MAKELCID(MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), SORT_DEFAULT);

// Whether a value whose magnitude leaves `resto` past a multiple `quociente`
// of the step moves one step away from zero under `modo`. The rules are the
// table's: "add the half step (or the step minus one) and cut toward zero"
// is the same as comparing the remainder with what was added.
bool AfastaDoZero(ULONG modo, uint64_t quociente, uint64_t resto, uint64_t meio) {
    switch (modo) {
        case CQVCurrency::ARREDONDA_MEIO_ACIMA: return resto >= meio;
        case CQVCurrency::ARREDONDA_MEIO_PAR: return resto > meio || (resto == meio && (quociente & 1) != 0);
        case CQVCurrency::ARREDONDA_ACIMA: return resto != 0;
        default: return false;
    }
}

// Works on the magnitude so that negative values round symmetrically and
// the most negative value cannot overflow.
LONGLONG ArredondaBruto(LONGLONG valor, USHORT casas, ULONG modo) {
    if (casas >= 4 || modo > CQVCurrency::ARREDONDA_ACIMA) return valor;
    const uint64_t passo = kPasso[casas];
    const bool negativo = valor < 0;
    const uint64_t magnitude = negativo ? 0 - static_cast<uint64_t>(valor) : static_cast<uint64_t>(valor);
    const uint64_t quociente = magnitude / passo;
    uint64_t resultado = quociente * passo;
    if (AfastaDoZero(modo, quociente, magnitude % passo, kMeioPasso[casas])) resultado += passo;
    // At the very ends of the range a step away from zero no longer fits:
    // the value is cut instead.
    const uint64_t limite = negativo ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    if (resultado > limite) resultado -= passo;
    return negativo ? static_cast<LONGLONG>(0 - resultado) : static_cast<LONGLONG>(resultado);
}

}  // namespace

// ---- Construction ---------------------------------------------------------------

CQVCurrency::CQVCurrency(double valor) { *this = valor; }

CQVCurrency::CQVCurrency(CY valor) { *this = valor; }

CQVCurrency::CQVCurrency(const CQVCurrency& outro)
    : m_usCasasDecimais(outro.m_usCasasDecimais), m_ulModo(outro.m_ulModo) {
    SetValor(outro.m_cyValor.int64);
}

CQVCurrency::CQVCurrency(bool duasCasas, bool arredonda, CY valor)
    : m_usCasasDecimais(duasCasas ? 2 : 4), m_ulModo(arredonda ? ARREDONDA_MEIO_ACIMA : ARREDONDA_TRUNCA) {
    SetValor(valor.int64);
}

CQVCurrency::CQVCurrency(bool duasCasas, ModoArredondamento modo, CY valor)
    : m_usCasasDecimais(duasCasas ? 2 : 4), m_ulModo(modo) {
    SetValor(valor.int64);
}

// ---- Decimals and rounding --------------------------------------------------------

void CQVCurrency::Normaliza() { m_cyValor.int64 = ArredondaBruto(m_cyValor.int64, m_usCasasDecimais, m_ulModo); }

void CQVCurrency::SetCasasEArredondamento(bool duasCasas, bool arredonda) {
    m_usCasasDecimais = duasCasas ? 2 : 4;
    m_ulModo = arredonda ? ARREDONDA_MEIO_ACIMA : ARREDONDA_TRUNCA;
    Normaliza();
}

void CQVCurrency::SetModoArredondamento(ULONG modo) {
    m_ulModo = modo;
    Normaliza();
}

void CQVCurrency::SetCasasDecimais(int casas) {
    m_usCasasDecimais = casas >= 0 && casas <= 4 ? static_cast<USHORT>(casas) : 4;
    Normaliza();
}

// ---- Values ---------------------------------------------------------------------------

void CQVCurrency::SetValor(LONGLONG bruto) {
    m_cyValor.int64 = bruto;
    Normaliza();
}

CQVCurrency& CQVCurrency::operator=(CY valor) {
    SetValor(valor.int64);
    return *this;
}

CQVCurrency& CQVCurrency::operator=(const CQVCurrency& outro) {
    SetValor(outro.m_cyValor.int64);
    return *this;
}

CQVCurrency& CQVCurrency::operator=(double valor) {
    CY cy{};
    // A double out of the currency range (or NaN) gives 0, never a stale value.
    if (FAILED(VarCyFromR8(valor, &cy))) cy.int64 = 0;
    SetValor(cy.int64);
    return *this;
}

CQVCurrency& CQVCurrency::SetCentesimos(USHORT centesimos) {
    SetValor(static_cast<LONGLONG>(centesimos) * 100);
    return *this;
}

CQVCurrency& CQVCurrency::SetValorBruto(ULONG bruto) {
    SetValor(static_cast<LONGLONG>(bruto));
    return *this;
}

HRESULT CQVCurrency::SetTexto(std::string_view texto, bool portuguesBrasil) {
    // The text ends at its first zero byte, as the C strings it comes from do.
    const std::u16string largo = zenta::Cp1252ParaUtf16(texto.substr(0, texto.find('\0')));
    CY cy{};
    const HRESULT hr =
        VarCyFromStr(largo.c_str(), portuguesBrasil ? kLocaleBrasil : kLocaleEua, LOCALE_NOUSEROVERRIDE, &cy);
    SetValor(SUCCEEDED(hr) ? cy.int64 : 0);
    return hr;
}

double CQVCurrency::GetDouble() const {
    double d = 0.0;
    VarR8FromCy(m_cyValor, &d);
    return d;
}

// ---- Arithmetic -------------------------------------------------------------------------

HRESULT CQVCurrency::Soma(const CQVCurrency& outro) {
    CY resultado{};
    const HRESULT hr = VarCyAdd(m_cyValor, outro.m_cyValor, &resultado);
    if (SUCCEEDED(hr)) SetValor(resultado.int64);
    return hr;
}

HRESULT CQVCurrency::Subtrai(const CQVCurrency& outro) {
    CY resultado{};
    const HRESULT hr = VarCySub(m_cyValor, outro.m_cyValor, &resultado);
    if (SUCCEEDED(hr)) SetValor(resultado.int64);
    return hr;
}

// An overflowing sum lies beyond the end the operand pushed toward.
CQVCurrency& CQVCurrency::Satura(HRESULT hr, const CQVCurrency& outro, int sinal) {
    if (FAILED(hr)) {
        const bool paraCima = (outro.m_cyValor.int64 > 0) == (sinal > 0);
        SetValor(paraCima ? std::numeric_limits<LONGLONG>::max() : std::numeric_limits<LONGLONG>::min());
    }
    return *this;
}

CQVCurrency& CQVCurrency::operator+=(const CQVCurrency& outro) { return Satura(Soma(outro), outro, +1); }

CQVCurrency& CQVCurrency::operator-=(const CQVCurrency& outro) { return Satura(Subtrai(outro), outro, -1); }

}  // namespace zenta
