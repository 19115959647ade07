// OLE Automation currency (CY) and decimal (DECIMAL) conversions and
// arithmetic, in exact integer arithmetic.
//
// A CY counts ten-thousandths in a signed 64-bit integer; a DECIMAL is a
// 96-bit unsigned mantissa with a power-of-ten scale 0..28 and a sign.
// Results that carry more precision than their target are rounded half to
// even, as OLE does; results out of range give DISP_E_OVERFLOW and leave the
// output untouched. The output DECIMAL's wReserved is not written: it
// overlays a VARIANT's type when the DECIMAL lives inside one.
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include <zenta/OleAuto.h>

namespace {

__extension__ typedef unsigned __int128 u128;
__extension__ typedef __int128 i128;

constexpr LONGLONG kEscalaCy = 10000;
constexpr u128 kLimite96 = static_cast<u128>(1) << 96;
constexpr BYTE kEscalaMaxima = 28;
constexpr LCID kLocalePortuguesBrasil = 0x0416;

// ---- Shared integer helpers --------------------------------------------------

// n / d rounded half to even.
u128 DivideMeioPar(u128 n, u128 d) {
    u128 q = n / d;
    const u128 r = n % d;
    const u128 falta = d - r;  // r > d/2 without overflowing 2r
    if (r > falta || (r == falta && (q & 1) != 0)) ++q;
    return q;
}

u128 PotenciaDe10(int expoente) {
    u128 p = 1;
    while (expoente-- > 0) p *= 10;
    return p;
}

// A CY from a sign and a magnitude, if it fits: -2^63 has no positive twin.
HRESULT CyDeMagnitude(bool negativo, u128 magnitude, CY* pcyOut) {
    const u128 limite = static_cast<u128>(1) << 63;
    if (magnitude > (negativo ? limite : limite - 1)) return DISP_E_OVERFLOW;
    const i128 valor = negativo ? -static_cast<i128>(magnitude) : static_cast<i128>(magnitude);
    pcyOut->int64 = static_cast<LONGLONG>(valor);
    return S_OK;
}

u128 MagnitudeCy(CY cy) {
    const LONGLONG v = cy.int64;
    return v < 0 ? static_cast<u128>(-static_cast<i128>(v)) : static_cast<u128>(v);
}

// The value of a run of decimal digits after dropping its last `descartar`
// digits, rounded half to even on what was dropped. Callers keep at most 38
// digits, which u128 holds.
u128 DigitosArredondados(std::string_view digitos, size_t descartar) {
    if (descartar > digitos.size()) return 0;  // everything dropped lies below half a unit
    const size_t manter = digitos.size() - descartar;
    u128 valor = 0;
    for (size_t i = 0; i < manter; ++i) valor = valor * 10 + static_cast<unsigned>(digitos[i] - '0');
    if (descartar == 0) return valor;
    const char primeiro = digitos[manter];
    const bool restoNaoZero = digitos.find_first_not_of('0', manter + 1) != std::string_view::npos;
    if (primeiro > '5' || (primeiro == '5' && (restoNaoZero || (valor & 1) != 0))) ++valor;
    return valor;
}

// ---- DECIMAL as a plain value --------------------------------------------------

struct Decimal {
    u128 mantissa = 0;
    int escala = 0;
    bool negativo = false;
};

bool LeDecimal(const DECIMAL* pdec, Decimal& d) {
    if (pdec == nullptr || pdec->scale > kEscalaMaxima || (pdec->sign & ~DECIMAL_NEG) != 0) return false;
    d.mantissa = (static_cast<u128>(pdec->Hi32) << 64) | pdec->Lo64;
    d.escala = pdec->scale;
    d.negativo = pdec->sign != 0;
    return true;
}

void GravaDecimal(const Decimal& d, DECIMAL* pdec) {
    pdec->scale = static_cast<BYTE>(d.escala);
    pdec->sign = d.negativo && d.mantissa != 0 ? DECIMAL_NEG : 0;
    pdec->Hi32 = static_cast<ULONG>(d.mantissa >> 64);
    pdec->Lo64 = static_cast<uint64_t>(d.mantissa);
}

// Brings a mantissa that may exceed 96 bits back into range by giving up
// scale, rounding half to even; fails when the integer part is too large.
bool AjustaA96Bits(u128& mantissa, int& escala) {
    while (mantissa >= kLimite96) {
        if (escala == 0) return false;
        mantissa = DivideMeioPar(mantissa, 10);
        --escala;
    }
    return true;
}

// ---- 192-bit products for VarDecMul ------------------------------------------

// Little-endian 32-bit limbs.
struct Produto192 {
    uint32_t limbs[6] = {};

    static Produto192 Multiplica(u128 a, u128 b) {
        const uint32_t x[3] = {static_cast<uint32_t>(a), static_cast<uint32_t>(a >> 32), static_cast<uint32_t>(a >> 64)};
        const uint32_t y[3] = {static_cast<uint32_t>(b), static_cast<uint32_t>(b >> 32), static_cast<uint32_t>(b >> 64)};
        Produto192 p;
        for (int i = 0; i < 3; ++i) {
            uint64_t transporte = 0;
            for (int j = 0; j < 3; ++j) {
                const uint64_t t = static_cast<uint64_t>(x[i]) * y[j] + p.limbs[i + j] + transporte;
                p.limbs[i + j] = static_cast<uint32_t>(t);
                transporte = t >> 32;
            }
            p.limbs[i + 3] = static_cast<uint32_t>(transporte);
        }
        return p;
    }

    bool CabeEm96Bits() const { return limbs[3] == 0 && limbs[4] == 0 && limbs[5] == 0; }

    u128 Baixos96() const {
        return (static_cast<u128>(limbs[2]) << 64) | (static_cast<u128>(limbs[1]) << 32) | limbs[0];
    }

    // Divides by 10 in place and returns the remainder (the digit dropped).
    unsigned DividePor10() {
        uint64_t resto = 0;
        for (int i = 5; i >= 0; --i) {
            const uint64_t atual = (resto << 32) | limbs[i];
            limbs[i] = static_cast<uint32_t>(atual / 10);
            resto = atual % 10;
        }
        return static_cast<unsigned>(resto);
    }
};

// ---- Text ------------------------------------------------------------------------

struct Separadores {
    char16_t decimal;
    char16_t milhar;
};

// Only the two locales the ERP uses are known; any other reads as US English.
Separadores SeparadoresDoLocal(LCID lcid) {
    if ((lcid & 0xFFFFu) == kLocalePortuguesBrasil) return {u',', u'.'};
    return {u'.', u','};
}

bool EhBranco(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f'; }

bool EhDigito(char16_t c) { return c >= u'0' && c <= u'9'; }

// A parsed number: value = digitos * 10^expoente, digitos without leading zeros.
struct NumeroTexto {
    std::string digitos;
    long long expoente = 0;
    bool negativo = false;
};

// Reads the number form OLE accepts: blanks, an optional leading sign or
// enclosing parentheses (negative), integer digits with thousands separators,
// an optional decimal separator and fraction, an optional exponent, an
// optional trailing sign, blanks. At least one digit is required.
class LeitorNumero {
public:
    LeitorNumero(std::u16string_view texto, Separadores sep) : m_texto(texto), m_sep(sep) {}

    bool Le(NumeroTexto& numero) {
        PulaBrancos();
        const bool parenteses = Consome(u'(');
        bool temSinal = false;
        if (!parenteses) temSinal = LeSinal(numero.negativo);
        if (!LeMantissa(numero) || !LeExpoente(numero.expoente)) return false;
        if (!parenteses && !temSinal) LeSinal(numero.negativo);
        if (parenteses) {
            PulaBrancos();
            if (!Consome(u')')) return false;
            numero.negativo = true;
        }
        PulaBrancos();
        return m_pos == m_texto.size();
    }

private:
    bool Fim() const { return m_pos >= m_texto.size(); }
    char16_t Atual() const { return Fim() ? u'\0' : m_texto[m_pos]; }

    void PulaBrancos() {
        while (!Fim() && EhBranco(m_texto[m_pos])) ++m_pos;
    }

    bool Consome(char16_t c) {
        if (Fim() || m_texto[m_pos] != c) return false;
        ++m_pos;
        return true;
    }

    bool LeSinal(bool& negativo) {
        if (Consome(u'-')) negativo = true;
        else if (!Consome(u'+')) return false;
        return true;
    }

    static void Acrescenta(NumeroTexto& numero, char16_t c) {
        if (numero.digitos.empty() && c == u'0') return;  // leading zeros carry no value
        numero.digitos.push_back(static_cast<char>(c));
    }

    bool LeMantissa(NumeroTexto& numero) {
        bool algumDigito = false;
        for (;;) {
            if (EhDigito(Atual())) {
                Acrescenta(numero, Atual());
                algumDigito = true;
            } else if (!(Atual() == m_sep.milhar && algumDigito)) {
                break;  // a thousands separator only counts after a digit
            }
            ++m_pos;
        }
        if (Consome(m_sep.decimal)) {
            for (; EhDigito(Atual()); ++m_pos) {
                Acrescenta(numero, Atual());
                --numero.expoente;
                algumDigito = true;
            }
        }
        return algumDigito;
    }

    bool LeExpoente(long long& expoente) {
        if (Atual() != u'e' && Atual() != u'E') return true;
        ++m_pos;
        bool negativo = false;
        LeSinal(negativo);
        if (!EhDigito(Atual())) return false;
        long long valor = 0;
        for (; EhDigito(Atual()); ++m_pos) {
            // Anything this large already over- or underflows a CY; stop growing.
            if (valor < 1000000) valor = valor * 10 + (Atual() - u'0');
        }
        expoente += negativo ? -valor : valor;
        return true;
    }

    std::u16string_view m_texto;
    Separadores m_sep;
    size_t m_pos = 0;
};

HRESULT CyDeNumeroTexto(const NumeroTexto& numero, CY* pcyOut) {
    const std::string& d = numero.digitos;
    if (d.empty()) return CyDeMagnitude(false, 0, pcyOut);
    // Ten-thousandths = digitos * 10^(expoente + 4).
    const long long expoente = numero.expoente + 4;
    const long long comprimento = static_cast<long long>(d.size());
    // 10^19 already exceeds 2^63: more than 20 digits before the point cannot fit.
    if (comprimento + expoente > 20) return DISP_E_OVERFLOW;
    if (expoente >= 0) {
        return CyDeMagnitude(numero.negativo, DigitosArredondados(d, 0) * PotenciaDe10(static_cast<int>(expoente)),
                             pcyOut);
    }
    return CyDeMagnitude(numero.negativo, DigitosArredondados(d, static_cast<size_t>(-expoente)), pcyOut);
}

// The shortest decimal text of a CY with the given separator.
std::u16string TextoCy(CY cy, char16_t separadorDecimal) {
    const u128 magnitude = MagnitudeCy(cy);
    const auto inteiro = static_cast<uint64_t>(magnitude / kEscalaCy);
    auto fracao = static_cast<unsigned>(magnitude % kEscalaCy);

    std::u16string texto;
    if (cy.int64 < 0) texto.push_back(u'-');
    const std::string digitos = std::to_string(inteiro);
    texto.append(digitos.begin(), digitos.end());
    if (fracao != 0) {
        texto.push_back(separadorDecimal);
        for (unsigned divisor = 1000; divisor > 0 && fracao != 0; divisor /= 10) {
            texto.push_back(static_cast<char16_t>(u'0' + fracao / divisor));
            fracao %= divisor;
        }
    }
    return texto;
}

// The decimal number a binary floating-point value stands for: its shortest
// text that reads back as the same value ("0.00015", not the binary
// expansion 0.000149999...). OLE rounds what the number says.
template <class Real>
bool NumeroDeBinario(Real valor, NumeroTexto& numero) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::scientific);
    if (r.ec != std::errc()) return false;
    // "-d.ddde+XX" or "de-XX": the same shape as any OLE number text.
    const std::string texto(buf, r.ptr);
    const std::u16string largo(texto.begin(), texto.end());
    return LeitorNumero(largo, {u'.', u','}).Le(numero);
}

template <class Real>
HRESULT CyDeBinario(Real valor, CY* pcyOut) {
    if (pcyOut == nullptr) return E_INVALIDARG;
    if (!std::isfinite(valor)) return DISP_E_OVERFLOW;
    NumeroTexto numero;
    if (!NumeroDeBinario(valor, numero)) return DISP_E_OVERFLOW;
    return CyDeNumeroTexto(numero, pcyOut);
}

}  // namespace

// ---- Currency ------------------------------------------------------------------

// The value as its decimal text says, rounded half to even to four
// decimals: 0.00005 gives 0 and 0.00015 gives 2.
HRESULT VarCyFromR8(double dblIn, CY* pcyOut) { return CyDeBinario(dblIn, pcyOut); }

HRESULT VarCyFromR4(float fltIn, CY* pcyOut) { return CyDeBinario(fltIn, pcyOut); }

HRESULT VarCyFromI4(LONG lIn, CY* pcyOut) {
    if (pcyOut == nullptr) return E_INVALIDARG;
    pcyOut->int64 = static_cast<LONGLONG>(lIn) * kEscalaCy;
    return S_OK;
}

HRESULT VarR8FromCy(CY cyIn, double* pdblOut) {
    if (pdblOut == nullptr) return E_INVALIDARG;
    *pdblOut = static_cast<double>(cyIn.int64) / static_cast<double>(kEscalaCy);
    return S_OK;
}

HRESULT VarCyFromStr(LPCOLESTR strIn, LCID lcid, ULONG /*dwFlags*/, CY* pcyOut) {
    if (strIn == nullptr || pcyOut == nullptr) return E_INVALIDARG;
    NumeroTexto numero;
    if (!LeitorNumero(std::u16string_view(strIn), SeparadoresDoLocal(lcid)).Le(numero)) return DISP_E_TYPEMISMATCH;
    return CyDeNumeroTexto(numero, pcyOut);
}

HRESULT VarBstrFromCy(CY cyIn, LCID lcid, ULONG /*dwFlags*/, BSTR* pbstrOut) {
    if (pbstrOut == nullptr) return E_INVALIDARG;
    const std::u16string texto = TextoCy(cyIn, SeparadoresDoLocal(lcid).decimal);
    BSTR bs = SysAllocStringLen(texto.data(), static_cast<UINT>(texto.size()));
    if (bs == nullptr) return E_OUTOFMEMORY;
    *pbstrOut = bs;
    return S_OK;
}

HRESULT VarCyAdd(CY cyLeft, CY cyRight, CY* pcyResult) {
    if (pcyResult == nullptr) return E_INVALIDARG;
    LONGLONG soma;
    if (__builtin_add_overflow(cyLeft.int64, cyRight.int64, &soma)) return DISP_E_OVERFLOW;
    pcyResult->int64 = soma;
    return S_OK;
}

HRESULT VarCySub(CY cyLeft, CY cyRight, CY* pcyResult) {
    if (pcyResult == nullptr) return E_INVALIDARG;
    LONGLONG diferenca;
    if (__builtin_sub_overflow(cyLeft.int64, cyRight.int64, &diferenca)) return DISP_E_OVERFLOW;
    pcyResult->int64 = diferenca;
    return S_OK;
}

HRESULT VarCyMul(CY cyLeft, CY cyRight, CY* pcyResult) {
    if (pcyResult == nullptr) return E_INVALIDARG;
    // Both factors are in ten-thousandths: the exact product has eight
    // decimals, of which four are rounded away.
    const bool negativo = (cyLeft.int64 < 0) != (cyRight.int64 < 0);
    const u128 produto = MagnitudeCy(cyLeft) * MagnitudeCy(cyRight);
    return CyDeMagnitude(negativo, DivideMeioPar(produto, kEscalaCy), pcyResult);
}

// ---- Decimal ---------------------------------------------------------------------

HRESULT VarDecFromCy(CY cyIn, DECIMAL* pdecOut) {
    if (pdecOut == nullptr) return E_INVALIDARG;
    GravaDecimal({MagnitudeCy(cyIn), 4, cyIn.int64 < 0}, pdecOut);
    return S_OK;
}

HRESULT VarDecFromI2(SHORT sIn, DECIMAL* pdecOut) {
    if (pdecOut == nullptr) return E_INVALIDARG;
    const int valor = sIn;
    GravaDecimal({static_cast<u128>(valor < 0 ? -valor : valor), 0, valor < 0}, pdecOut);
    return S_OK;
}

HRESULT VarDecFromR8(double dblIn, DECIMAL* pdecOut) {
    if (pdecOut == nullptr) return E_INVALIDARG;
    if (!std::isfinite(dblIn)) return DISP_E_OVERFLOW;
    const double absoluto = std::fabs(dblIn);
    if (absoluto >= 79228162514264337593543950336.0) return DISP_E_OVERFLOW;  // 2^96
    Decimal d;
    d.negativo = dblIn < 0;
    if (absoluto == 0.0) {
        GravaDecimal(d, pdecOut);
        return S_OK;
    }
    // A double carries 15 trustworthy significant digits; OLE keeps those and
    // not the binary expansion (0.1 becomes 0.1, not 0.1000000000000000055...).
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, absoluto, std::chars_format::scientific, 14);
    if (r.ec != std::errc()) return DISP_E_OVERFLOW;
    const std::string_view texto(buf, static_cast<size_t>(r.ptr - buf));  // "d.ddddddddddddddde+XX"
    const size_t e = texto.find('e');
    std::string digitos;
    for (char c : texto.substr(0, e))
        if (c != '.') digitos.push_back(c);
    int expoente = 0;
    const std::string_view textoExpoente = texto.substr(e + 1 + (texto[e + 1] == '+' ? 1 : 0));
    std::from_chars(textoExpoente.data(), textoExpoente.data() + textoExpoente.size(), expoente);
    // value = digitos * 10^(expoente - 14); trailing zeros add no precision.
    expoente -= static_cast<int>(digitos.size()) - 1;
    while (digitos.size() > 1 && digitos.back() == '0') {
        digitos.pop_back();
        ++expoente;
    }
    if (expoente >= 0) {
        d.mantissa = DigitosArredondados(digitos, 0) * PotenciaDe10(expoente);
        d.escala = 0;
    } else if (-expoente <= kEscalaMaxima) {
        d.mantissa = DigitosArredondados(digitos, 0);
        d.escala = -expoente;
    } else {
        d.mantissa = DigitosArredondados(digitos, static_cast<size_t>(-expoente - kEscalaMaxima));
        d.escala = kEscalaMaxima;
    }
    if (!AjustaA96Bits(d.mantissa, d.escala)) return DISP_E_OVERFLOW;
    GravaDecimal(d, pdecOut);
    return S_OK;
}

HRESULT VarDecMul(const DECIMAL* pdecLeft, const DECIMAL* pdecRight, DECIMAL* pdecResult) {
    Decimal a, b;
    if (!LeDecimal(pdecLeft, a) || !LeDecimal(pdecRight, b) || pdecResult == nullptr) return E_INVALIDARG;
    // The exact product has up to 192 bits and scale up to 56; drop digits
    // until it fits 96 bits and scale 28, remembering the last digit dropped
    // and whether anything below it was nonzero, to round half to even once.
    Produto192 p = Produto192::Multiplica(a.mantissa, b.mantissa);
    int escala = a.escala + b.escala;
    unsigned ultimoDescartado = 0;
    bool restoNaoZero = false;
    while (escala > kEscalaMaxima || !p.CabeEm96Bits()) {
        if (escala == 0) return DISP_E_OVERFLOW;
        restoNaoZero = restoNaoZero || ultimoDescartado != 0;
        ultimoDescartado = p.DividePor10();
        --escala;
    }
    Decimal r{p.Baixos96(), escala, a.negativo != b.negativo};
    if (ultimoDescartado > 5 || (ultimoDescartado == 5 && (restoNaoZero || (r.mantissa & 1) != 0))) ++r.mantissa;
    if (!AjustaA96Bits(r.mantissa, r.escala)) return DISP_E_OVERFLOW;
    GravaDecimal(r, pdecResult);
    return S_OK;
}

HRESULT VarDecDiv(const DECIMAL* pdecLeft, const DECIMAL* pdecRight, DECIMAL* pdecResult) {
    Decimal a, b;
    if (!LeDecimal(pdecLeft, a) || !LeDecimal(pdecRight, b) || pdecResult == nullptr) return E_INVALIDARG;
    if (b.mantissa == 0) return DISP_E_DIVBYZERO;
    // a/b = (ma/mb) * 10^-(sa - sb). Long division gives the integer part of
    // ma/mb and then one decimal digit at a time; each digit taken raises the
    // result's scale by one. Digits are taken while the division is inexact,
    // the mantissa stays within 96 bits and the scale within 28, and at least
    // as many as bring a negative scale up to 0.
    const int base = a.escala - b.escala;
    const int minimoDigitos = base < 0 ? -base : 0;
    const int maximoDigitos = kEscalaMaxima - base;
    u128 q = a.mantissa / b.mantissa;
    u128 resto = a.mantissa % b.mantissa;
    int digitos = 0;
    while (digitos < maximoDigitos && (resto != 0 || digitos < minimoDigitos)) {
        const u128 dividendo = resto * 10;  // resto < 2^96: no overflow
        const u128 proximo = q * 10 + dividendo / b.mantissa;
        if (proximo >= kLimite96) {
            if (digitos < minimoDigitos) return DISP_E_OVERFLOW;
            break;
        }
        q = proximo;
        resto = dividendo % b.mantissa;
        ++digitos;
    }
    // What is left is resto/mb of the last unit: round half to even on it.
    const u128 falta = b.mantissa - resto;
    if (resto != 0 && (resto > falta || (resto == falta && (q & 1) != 0))) ++q;
    Decimal r{q, base + digitos, a.negativo != b.negativo};
    if (!AjustaA96Bits(r.mantissa, r.escala)) return DISP_E_OVERFLOW;
    GravaDecimal(r, pdecResult);
    return S_OK;
}

HRESULT VarCyFromDec(const DECIMAL* pdecIn, CY* pcyOut) {
    Decimal d;
    if (!LeDecimal(pdecIn, d) || pcyOut == nullptr) return E_INVALIDARG;
    // mantissa * 10^-escala in ten-thousandths.
    const u128 magnitude = d.escala <= 4 ? d.mantissa * PotenciaDe10(4 - d.escala)
                                         : DivideMeioPar(d.mantissa, PotenciaDe10(d.escala - 4));
    return CyDeMagnitude(d.negativo, magnitude, pcyOut);
}
