// Currency values with decimals and rounding, and their display text.
#include <gtest/gtest.h>

#include <limits>

#include "values/FormatoNumero.h"
#include "values/QVCurrency.h"
#include "values/QVCurrencyEx.h"

namespace {

CY Cy(LONGLONG bruto) {
    CY cy;
    cy.int64 = bruto;
    return cy;
}

// The raw value of `bruto` once brought to `casas` decimals under `modo`.
LONGLONG Arredondado(LONGLONG bruto, int casas, ULONG modo) {
    CQVCurrency c(Cy(bruto));
    c.SetModoArredondamento(modo);
    c.SetCasasDecimais(casas);
    return c.GetValorBruto();
}

TEST(QVCurrency, Defaults) {
    const CQVCurrency c;
    EXPECT_EQ(c.GetValorBruto(), 0);
    EXPECT_EQ(c.GetCasasDecimais(), 4);
    EXPECT_EQ(c.GetModoArredondamento(), CQVCurrency::ARREDONDA_TRUNCA);
    EXPECT_TRUE(c.TemQuatroCasas());
    EXPECT_FALSE(c.Arredonda());
    EXPECT_EQ(CQVCurrency(1.2346).GetValorBruto(), 12346);
    EXPECT_DOUBLE_EQ(CQVCurrency(Cy(12346)).GetDouble(), 1.2346);
}

TEST(QVCurrency, RoundingModes) {
    EXPECT_EQ(Arredondado(12346, 2, CQVCurrency::ARREDONDA_TRUNCA), 12300);
    EXPECT_EQ(Arredondado(12346, 2, CQVCurrency::ARREDONDA_MEIO_ACIMA), 12300);
    EXPECT_EQ(Arredondado(12346, 2, CQVCurrency::ARREDONDA_ACIMA), 12400);
    EXPECT_EQ(Arredondado(2500, 1, CQVCurrency::ARREDONDA_MEIO_ACIMA), 3000);
    EXPECT_EQ(Arredondado(2500, 1, CQVCurrency::ARREDONDA_MEIO_PAR), 2000);
    EXPECT_EQ(Arredondado(3500, 1, CQVCurrency::ARREDONDA_MEIO_ACIMA), 4000);
    EXPECT_EQ(Arredondado(3500, 1, CQVCurrency::ARREDONDA_MEIO_PAR), 4000);
    EXPECT_EQ(Arredondado(2501, 1, CQVCurrency::ARREDONDA_MEIO_PAR), 3000);  // a later nonzero digit decides
    EXPECT_EQ(Arredondado(-2500, 1, CQVCurrency::ARREDONDA_MEIO_ACIMA), -3000);
    EXPECT_EQ(Arredondado(-2500, 1, CQVCurrency::ARREDONDA_MEIO_PAR), -2000);
    EXPECT_EQ(Arredondado(-12301, 2, CQVCurrency::ARREDONDA_ACIMA), -12400);
    EXPECT_EQ(Arredondado(-12399, 2, CQVCurrency::ARREDONDA_TRUNCA), -12300);
    EXPECT_EQ(Arredondado(5000, 0, CQVCurrency::ARREDONDA_MEIO_PAR), 0);
    EXPECT_EQ(Arredondado(15000, 0, CQVCurrency::ARREDONDA_MEIO_PAR), 20000);
    EXPECT_EQ(Arredondado(12345, 4, CQVCurrency::ARREDONDA_ACIMA), 12345);
    EXPECT_EQ(Arredondado(12345, 2, 7), 12345);  // unknown modes leave the value
}

TEST(QVCurrency, RoundingAtTheEndsOfTheRange) {
    const LONGLONG maximo = std::numeric_limits<LONGLONG>::max();
    const LONGLONG minimo = std::numeric_limits<LONGLONG>::min();
    // A step away from zero no longer fits: the value is cut instead.
    EXPECT_EQ(Arredondado(maximo, 0, CQVCurrency::ARREDONDA_ACIMA), maximo - maximo % 10000);
    EXPECT_EQ(Arredondado(minimo, 0, CQVCurrency::ARREDONDA_ACIMA), minimo - minimo % 10000);
    EXPECT_EQ(Arredondado(minimo, 2, CQVCurrency::ARREDONDA_MEIO_ACIMA), minimo - minimo % 100);
}

TEST(QVCurrency, DecimalsAndFlags) {
    CQVCurrency c(Cy(12346));
    c.SetCasasDecimais(7);
    EXPECT_EQ(c.GetCasasDecimais(), 4);
    c.SetCasasDecimais(-1);
    EXPECT_EQ(c.GetCasasDecimais(), 4);
    c.SetDuasCasas();
    EXPECT_EQ(c.GetValorBruto(), 12300);
    c.SetZeroCasas();
    EXPECT_TRUE(c.TemZeroCasas());
    EXPECT_EQ(c.GetValorBruto(), 10000);

    const CQVCurrency arredonda(true, true, Cy(12350));
    EXPECT_TRUE(arredonda.TemDuasCasas());
    EXPECT_TRUE(arredonda.Arredonda());
    EXPECT_EQ(arredonda.GetValorBruto(), 12400);
    EXPECT_EQ(CQVCurrency(false, false, Cy(12355)).GetValorBruto(), 12355);
    EXPECT_EQ(CQVCurrency(true, CQVCurrency::ARREDONDA_ACIMA, Cy(12301)).GetValorBruto(), 12400);

    CQVCurrency d(Cy(12355));
    d.SetCasasEArredondamento(true, true);
    EXPECT_EQ(d.GetValorBruto(), 12400);
    d.SetQuatroCasas();
    d = Cy(12355);
    EXPECT_EQ(d.GetValorBruto(), 12355);
}

TEST(QVCurrency, CopyTakesSettingsAssignmentOnlyTheValue) {
    const CQVCurrency duas(true, true, Cy(12350));
    const CQVCurrency copia(duas);
    EXPECT_EQ(copia.GetCasasDecimais(), 2);
    EXPECT_TRUE(copia.Arredonda());

    CQVCurrency zero(Cy(0));
    zero.SetZeroCasas();
    zero = duas;
    EXPECT_EQ(zero.GetCasasDecimais(), 0);
    EXPECT_EQ(zero.GetValorBruto(), 10000);  // 1.24 truncated to 0 decimals

    CQVCurrency c;
    c.SetDuasCasas();
    c = 1.2399;
    EXPECT_EQ(c.GetValorBruto(), 12300);
    c = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(c.GetValorBruto(), 0);
    EXPECT_EQ(c.SetCentesimos(123).GetValorBruto(), 12300);
    EXPECT_EQ(c.SetValorBruto(12399).GetValorBruto(), 12300);
}

TEST(QVCurrency, Text) {
    CQVCurrency c;
    EXPECT_EQ(c.SetTexto("1.234,5678", true), S_OK);
    EXPECT_EQ(c.GetValorBruto(), 12345678);
    EXPECT_EQ(c.SetTexto("1,234.5678", false), S_OK);
    EXPECT_EQ(c.GetValorBruto(), 12345678);
    c.SetDuasCasas();
    EXPECT_EQ(c.SetTexto(" -3,999 ", true), S_OK);
    EXPECT_EQ(c.GetValorBruto(), -39900);
    EXPECT_EQ(c.SetTexto("abc", true), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(c.GetValorBruto(), 0);
    EXPECT_EQ(c.SetTexto(std::string_view("12\0" "99", 5), false), S_OK);
    EXPECT_EQ(c.GetValorBruto(), 120000);
}

TEST(QVCurrency, ArithmeticAndOrder) {
    CQVCurrency a(Cy(15000)), b(Cy(2500));
    EXPECT_EQ((a + b).GetValorBruto(), 17500);
    EXPECT_EQ((a - b).GetValorBruto(), 12500);
    EXPECT_LT(b, a);
    EXPECT_EQ(a, CQVCurrency(1.5));

    CQVCurrency grande(Cy(std::numeric_limits<LONGLONG>::max() - 1));
    EXPECT_EQ(grande.Soma(a), DISP_E_OVERFLOW);
    EXPECT_EQ(grande.GetValorBruto(), std::numeric_limits<LONGLONG>::max() - 1);
    grande += a;
    EXPECT_EQ(grande.GetValorBruto(), std::numeric_limits<LONGLONG>::max());
    CQVCurrency pequeno(Cy(std::numeric_limits<LONGLONG>::min() + 1));
    pequeno -= a;
    EXPECT_EQ(pequeno.GetValorBruto(), std::numeric_limits<LONGLONG>::min());
}

TEST(QVCurrencyEx, FixedDecimals) {
    EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(12345675000), 2), "1.234.567,50");
    EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(12345675000), 0), "1.234.567");
    EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(-12345675000), 4), "-1.234.567,5000");
    EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(19999), 2), "1,99");  // cut, not rounded
    EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(-19999), 2), "-1,99");
    EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(-99), 2), "0,00");
    EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(5000), 2), "0,50");
    EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(123), 6), "0,012300");
    EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(std::numeric_limits<LONGLONG>::min()), 4), "-922.337.203.685.477,5808");
}

TEST(QVCurrencyEx, AutomaticDecimals) {
    EXPECT_EQ(CQVCurrencyEx::FormataValorAutomatico(Cy(20000)), "2,00");
    EXPECT_EQ(CQVCurrencyEx::FormataValorAutomatico(Cy(21250)), "2,125");
    EXPECT_EQ(CQVCurrencyEx::FormataValorAutomatico(Cy(21251)), "2,1251");
    EXPECT_EQ(CQVCurrencyEx::FormataValorAutomatico(Cy(21200)), "2,12");
    EXPECT_EQ(CQVCurrencyEx::FormataValorAutomatico(Cy(-10)), "-0,001");
    CQVCurrencyEx c(Cy(12345675000));
    EXPECT_EQ(c.FormataAutomatico(), "1.234.567,50");
    EXPECT_EQ(c.Formata(1), "1.234.567,5");
}

TEST(FormatoNumero, ShapesAndRounding) {
    zenta::FormatoNumero f;
    std::string s;
    ASSERT_TRUE(zenta::FormataNumero("1234567.5", f, s));
    EXPECT_EQ(s, "1.234.567,50");
    ASSERT_TRUE(zenta::FormataNumero("123", f, s));
    EXPECT_EQ(s, "123,00");
    ASSERT_TRUE(zenta::FormataNumero("999.995", f, s));
    EXPECT_EQ(s, "1.000,00");
    ASSERT_TRUE(zenta::FormataNumero("-0.001", f, s));
    EXPECT_EQ(s, "0,00");
    ASSERT_TRUE(zenta::FormataNumero(".5", f, s));
    EXPECT_EQ(s, "0,50");
    f.zeroAEsquerda = false;
    ASSERT_TRUE(zenta::FormataNumero("0.5", f, s));
    EXPECT_EQ(s, ",50");
    EXPECT_FALSE(zenta::FormataNumero("", f, s));
    EXPECT_FALSE(zenta::FormataNumero("-", f, s));
    EXPECT_FALSE(zenta::FormataNumero("1,5", f, s));
    EXPECT_FALSE(zenta::FormataNumero("1.2.3", f, s));
}

}  // namespace
