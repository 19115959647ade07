// Currency values with decimals and rounding, and their display text.

#include <limits>

#include "values/FormatoNumero.h"
#include "values/QVCurrency.h"
#include "values/QVCurrencyEx.h"

using namespace zenta;

namespace {

constexpr LONGLONG kMaximo = std::numeric_limits<LONGLONG>::max();
constexpr LONGLONG kMinimo = std::numeric_limits<LONGLONG>::min();

CY Cy(LONGLONG bruto) {
    CY cy;
    cy.int64 = bruto;
    return cy;
}

TEST(QVCurrency, RoundingModesAndTheEndsOfTheRange) {
    constexpr ULONG T = CQVCurrency::ARREDONDA_TRUNCA, MA = CQVCurrency::ARREDONDA_MEIO_ACIMA,
                    A = CQVCurrency::ARREDONDA_ACIMA, MP = CQVCurrency::ARREDONDA_MEIO_PAR;
    const struct {
        LONGLONG bruto;
        int casas;
        ULONG modo;
        LONGLONG esperado;
    } casos[] = {
        {12346, 2, T, 12300},   {12346, 2, MA, 12300},   {12346, 2, A, 12400},     {2500, 1, MA, 3000},
        {2500, 1, MP, 2000},    {3500, 1, MP, 4000},     {2501, 1, MP, 3000},      {-2500, 1, MA, -3000},
        {-2500, 1, MP, -2000},  {-12301, 2, A, -12400},  {-12399, 2, T, -12300},   {15000, 0, MP, 20000},
        {12345, 4, A, 12345},   {12345, 2, 7, 12345},  // unknown modes leave the value
        // A step away from zero no longer fits: the value is cut instead.
        {kMaximo, 0, A, kMaximo - kMaximo % 10000}, {kMinimo, 0, A, kMinimo - kMinimo % 10000},
        {kMinimo, 2, MA, kMinimo - kMinimo % 100},
    };
    for (const auto& c : casos) {
        CQVCurrency v(Cy(c.bruto));
        v.SetModoArredondamento(c.modo);
        v.SetCasasDecimais(c.casas);
        EXPECT_EQ(v.GetValorBruto(), c.esperado) << c.bruto << " " << c.casas << " " << c.modo;
    }
}

TEST(QVCurrency, SettingsCopiesAndAssignment) {
    CQVCurrency c(Cy(12346));
    c.SetCasasDecimais(7);
    EXPECT_EQ(c.GetCasasDecimais(), 4);
    c.SetZeroCasas();
    EXPECT_EQ(c.GetValorBruto(), 10000);

    const CQVCurrency duas(true, true, Cy(12350));
    EXPECT_EQ(duas.GetValorBruto(), 12400);
    EXPECT_EQ(CQVCurrency(true, CQVCurrency::ARREDONDA_ACIMA, Cy(12301)).GetValorBruto(), 12400);
    EXPECT_EQ(CQVCurrency(duas).GetCasasDecimais(), 2);
    // Assignment takes only the value, brought to the target's settings.
    c = duas;
    EXPECT_EQ(c.GetCasasDecimais(), 0);
    EXPECT_EQ(c.GetValorBruto(), 10000);
    c.SetDuasCasas();
    c = 1.2399;
    EXPECT_EQ(c.GetValorBruto(), 12300);
    c = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(c.GetValorBruto(), 0);
    EXPECT_EQ(c.SetValorBruto(12399).GetValorBruto(), 12300);
}

TEST(QVCurrency, TextAndArithmetic) {
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

    const CQVCurrency a(Cy(15000)), b(Cy(2500));
    EXPECT_EQ((a - b).GetValorBruto(), 12500);
    EXPECT_LT(b, a);
    CQVCurrency grande(Cy(kMaximo - 1));
    EXPECT_EQ(grande.Soma(a), DISP_E_OVERFLOW);
    EXPECT_EQ(grande.GetValorBruto(), kMaximo - 1);
    grande += a;
    EXPECT_EQ(grande.GetValorBruto(), kMaximo);
    CQVCurrency pequeno(Cy(kMinimo + 1));
    pequeno -= a;
    EXPECT_EQ(pequeno.GetValorBruto(), kMinimo);
}

TEST(QVCurrencyEx, FixedAndAutomaticDecimals) {
    // Decimals beyond those shown are cut, not rounded.
    for (const auto& [bruto, casas, texto] :
         {std::tuple{12345675000LL, 2, "1.234.567,50"}, {-12345675000LL, 4, "-1.234.567,5000"}, {-19999LL, 2, "-1,99"},
          {-99LL, 2, "0,00"}, {123LL, 6, "0,012300"}, {LONGLONG{kMinimo}, 4, "-922.337.203.685.477,5808"}})
        EXPECT_EQ(CQVCurrencyEx::FormataValor(Cy(bruto), casas), texto) << bruto;
    for (const auto& [bruto, texto] : {std::pair{20000LL, "2,00"}, {21250LL, "2,125"}, {-10LL, "-0,001"}})
        EXPECT_EQ(CQVCurrencyEx::FormataValorAutomatico(Cy(bruto)), texto) << bruto;
}

TEST(FormatoNumero, ShapesAndRounding) {
    zenta::FormatoNumero f;
    std::string s;
    for (const auto& [entrada, saida] : {std::pair{"1234567.5", "1.234.567,50"}, {"999.995", "1.000,00"},
                                         {"-0.001", "0,00"}, {".5", "0,50"}}) {
        ASSERT_TRUE(zenta::FormataNumero(entrada, f, s)) << entrada;
        EXPECT_EQ(s, saida);
    }
    f.zeroAEsquerda = false;
    ASSERT_TRUE(zenta::FormataNumero("0.5", f, s));
    EXPECT_EQ(s, ",50");
    for (const char* ruim : {"", "-", "1,5", "1.2.3"}) EXPECT_FALSE(zenta::FormataNumero(ruim, f, s)) << ruim;
}

}  // namespace
