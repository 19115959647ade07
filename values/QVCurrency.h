// CQVCurrency: an OLE currency value (ten-thousandths in 64 bits) together
// with the number of decimals it keeps (0 to 4) and the rounding rule that
// brings every new value down to those decimals.
//
// Quantities, prices, meter readings and durations are held this way; the
// record files keep only the 8-byte value.
#pragma once

#include <compare>
#include <string_view>

#include <zenta/OleAuto.h>
#include <zenta/WinTypes.h>

namespace zenta {

class CQVCurrency {
public:
    // Rounding rules, applied whenever the value, decimals or rule change.
    enum ModoArredondamento : ULONG {
        ARREDONDA_MEIO_ACIMA = 0,  // half away from zero
        ARREDONDA_TRUNCA = 1,      // toward zero (the default)
        ARREDONDA_MEIO_PAR = 2,    // half to even
        ARREDONDA_ACIMA = 3,       // away from zero
    };

    CQVCurrency() = default;
    explicit CQVCurrency(double valor);
    CQVCurrency(CY valor);  // NOLINT: a CY is this type's value
    CQVCurrency(const CQVCurrency& outro);
    // Two decimals when `duasCasas`, else four; half away from zero when
    // `arredonda`, else truncation.
    CQVCurrency(bool duasCasas, bool arredonda, CY valor);
    CQVCurrency(bool duasCasas, ModoArredondamento modo, CY valor);

    // ---- Decimals and rounding ------------------------------------------
    USHORT GetCasasDecimais() const { return m_usCasasDecimais; }
    bool TemZeroCasas() const { return m_usCasasDecimais == 0; }
    bool TemDuasCasas() const { return m_usCasasDecimais == 2; }
    bool TemQuatroCasas() const { return m_usCasasDecimais == 4; }
    bool Arredonda() const { return m_ulModo == ARREDONDA_MEIO_ACIMA; }
    ULONG GetModoArredondamento() const { return m_ulModo; }

    // Applies the rounding rule to the value as it stands.
    void Normaliza();
    void SetCasasEArredondamento(bool duasCasas, bool arredonda);
    // Any value; one outside 0..3 leaves values as they are.
    void SetModoArredondamento(ULONG modo);
    // 0..4; anything else keeps four.
    void SetCasasDecimais(int casas);
    void SetZeroCasas() { SetCasasDecimais(0); }
    void SetDuasCasas() { SetCasasDecimais(2); }
    // Four decimals lose nothing, so the value is not touched.
    void SetQuatroCasas() { m_usCasasDecimais = 4; }
    void SetArredonda(bool arredonda) { SetModoArredondamento(arredonda ? ARREDONDA_MEIO_ACIMA : ARREDONDA_TRUNCA); }

    // ---- Values ------------------------------------------------------------
    // Assignments take the value only and normalise it with this object's
    // own decimals and rule.
    CQVCurrency& operator=(CY valor);
    CQVCurrency& operator=(const CQVCurrency& outro);
    CQVCurrency& operator=(double valor);
    // A count of hundredths (value * 100 ten-thousandths).
    CQVCurrency& SetCentesimos(USHORT centesimos);
    // A raw count of ten-thousandths.
    CQVCurrency& SetValorBruto(ULONG bruto);
    // Text in US English (1,234.56) or, with `portuguesBrasil`, Brazilian
    // (1.234,56) form, Windows-1252. Text that does not convert leaves 0 and
    // its error is returned.
    HRESULT SetTexto(std::string_view texto, bool portuguesBrasil);

    CY GetCY() const { return m_cyValor; }
    LONGLONG GetValorBruto() const { return m_cyValor.int64; }
    double GetDouble() const;

    // ---- Arithmetic on the raw values ---------------------------------------
    // The result has this object's decimals and rule. A sum beyond the
    // currency range fails with DISP_E_OVERFLOW and leaves the value as it was.
    HRESULT Soma(const CQVCurrency& outro);
    HRESULT Subtrai(const CQVCurrency& outro);
    // Operators saturate at the range's ends instead of failing.
    CQVCurrency& operator+=(const CQVCurrency& outro);
    CQVCurrency& operator-=(const CQVCurrency& outro);
    friend CQVCurrency operator+(CQVCurrency a, const CQVCurrency& b) { return a += b; }
    friend CQVCurrency operator-(CQVCurrency a, const CQVCurrency& b) { return a -= b; }

    friend bool operator==(const CQVCurrency& a, const CQVCurrency& b) { return a.m_cyValor.int64 == b.m_cyValor.int64; }
    friend std::strong_ordering operator<=>(const CQVCurrency& a, const CQVCurrency& b) {
        return a.m_cyValor.int64 <=> b.m_cyValor.int64;
    }

private:
    void SetValor(LONGLONG bruto);
    CQVCurrency& Satura(HRESULT hr, const CQVCurrency& outro, int sinal);

    CY m_cyValor{};
    USHORT m_usCasasDecimais = 4;
    ULONG m_ulModo = ARREDONDA_TRUNCA;
};

}  // namespace zenta
