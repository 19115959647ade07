// OLE Automation currency and decimal conversions and arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include <zenta/OleAuto.h>

namespace {

__extension__ typedef unsigned __int128 u128;

constexpr LCID kEua = 1033;
constexpr LCID kBrasil = 1046;
constexpr LONGLONG kMaximo = std::numeric_limits<LONGLONG>::max();
constexpr LONGLONG kMinimo = std::numeric_limits<LONGLONG>::min();

CY Cy(LONGLONG bruto) {
    CY cy;
    cy.int64 = bruto;
    return cy;
}

// The raw CY of a text, or the failure code as its value.
LONGLONG DeTexto(const char16_t* texto, LCID lcid = kEua) {
    CY cy = Cy(-1);
    const HRESULT hr = VarCyFromStr(texto, lcid, LOCALE_NOUSEROVERRIDE, &cy);
    return SUCCEEDED(hr) ? cy.int64 : hr;
}

std::u16string Texto(LONGLONG bruto, LCID lcid = kEua) {
    BSTR bs = nullptr;
    EXPECT_EQ(VarBstrFromCy(Cy(bruto), lcid, LOCALE_NOUSEROVERRIDE, &bs), S_OK);
    std::u16string s(bs, SysStringLen(bs));
    SysFreeString(bs);
    return s;
}

DECIMAL Dec(uint64_t mantissa, BYTE escala, bool negativo = false, ULONG alto = 0) {
    DECIMAL d{};
    d.Lo64 = mantissa;
    d.Hi32 = alto;
    d.scale = escala;
    d.sign = negativo ? DECIMAL_NEG : 0;
    return d;
}

u128 Mantissa(const DECIMAL& d) { return (static_cast<u128>(d.Hi32) << 64) | d.Lo64; }

void EsperaDec(const DECIMAL& d, uint64_t mantissa, BYTE escala, bool negativo = false, ULONG alto = 0) {
    EXPECT_EQ(d.Lo64, mantissa);
    EXPECT_EQ(d.Hi32, alto);
    EXPECT_EQ(d.scale, escala);
    EXPECT_EQ(d.sign, negativo ? DECIMAL_NEG : 0);
}

LONGLONG DeR8(double d) {
    CY cy = Cy(-1);
    const HRESULT hr = VarCyFromR8(d, &cy);
    return SUCCEEDED(hr) ? cy.int64 : hr;
}

TEST(OleAutCy, FromR8RoundsTheScaledValueHalfToEven) {
    EXPECT_EQ(DeR8(1.2345), 12345);
    EXPECT_EQ(DeR8(-1.2345), -12345);
    EXPECT_EQ(DeR8(0.00005), 0);
    EXPECT_EQ(DeR8(0.00015), 2);
    EXPECT_EQ(DeR8(0.00025), 2);
    EXPECT_EQ(DeR8(-0.00015), -2);
    EXPECT_EQ(DeR8(0.00006), 1);
    EXPECT_EQ(DeR8(922337203685477.0), 9223372036854770000);
    EXPECT_EQ(DeR8(922337203685478.0), DISP_E_OVERFLOW);
    EXPECT_EQ(DeR8(-922337203685477.0), -9223372036854770000);
    EXPECT_EQ(DeR8(0.12345), 1234);    // the number as written is a tie
    EXPECT_EQ(DeR8(0.1 + 0.2), 3000);  // 0.30000000000000004
    EXPECT_EQ(DeR8(std::numeric_limits<double>::quiet_NaN()), DISP_E_OVERFLOW);
    EXPECT_EQ(DeR8(std::numeric_limits<double>::infinity()), DISP_E_OVERFLOW);

    CY cy;
    EXPECT_EQ(VarCyFromR4(2.5f, &cy), S_OK);
    EXPECT_EQ(cy.int64, 25000);
    EXPECT_EQ(VarCyFromR4(0.1f, &cy), S_OK);
    EXPECT_EQ(cy.int64, 1000);
    EXPECT_EQ(VarCyFromI4(std::numeric_limits<LONG>::min(), &cy), S_OK);
    EXPECT_EQ(cy.int64, -21474836480000);
    double d = 0;
    EXPECT_EQ(VarR8FromCy(Cy(-12345), &d), S_OK);
    EXPECT_DOUBLE_EQ(d, -1.2345);
    EXPECT_EQ(VarCyFromR8(1.0, nullptr), E_INVALIDARG);
}

TEST(OleAutCy, FromStrInBothLocales) {
    EXPECT_EQ(DeTexto(u"1,234.56"), 12345600);
    EXPECT_EQ(DeTexto(u"1.234,56", kBrasil), 12345600);
    EXPECT_EQ(DeTexto(u"1.234,56", MAKELCID(kBrasil, SORT_DEFAULT)), 12345600);
    EXPECT_EQ(DeTexto(u"1234.56", kBrasil), 1234560000);  // '.' groups thousands there
    EXPECT_EQ(DeTexto(u"  -12.5  "), -125000);
    EXPECT_EQ(DeTexto(u"+.5"), 5000);
    EXPECT_EQ(DeTexto(u"7."), 70000);
    EXPECT_EQ(DeTexto(u"(1.5)"), -15000);
    EXPECT_EQ(DeTexto(u"1.5-"), -15000);
    EXPECT_EQ(DeTexto(u"1.5e3"), 15000000);
    EXPECT_EQ(DeTexto(u"15E-5"), 2);
    EXPECT_EQ(DeTexto(u"0000000000000000000000000001"), 10000);
    EXPECT_EQ(DeTexto(u"-0"), 0);
    EXPECT_EQ(DeTexto(u"1,5", 0x0409), 150000);  // ',' groups thousands in US English
    EXPECT_EQ(DeTexto(u"1.5", 9999), 15000);     // unknown locales read as US English
}

TEST(OleAutCy, FromStrRoundsHalfToEvenAndChecksRange) {
    EXPECT_EQ(DeTexto(u"0.00005"), 0);
    EXPECT_EQ(DeTexto(u"0.00015"), 2);
    EXPECT_EQ(DeTexto(u"0.000050000000000000000001"), 1);
    EXPECT_EQ(DeTexto(u"-2.00025"), -20002);
    EXPECT_EQ(DeTexto(u"0.00001e-999999999"), 0);
    EXPECT_EQ(DeTexto(u"922337203685477.5807"), kMaximo);
    EXPECT_EQ(DeTexto(u"-922337203685477.5808"), kMinimo);
    EXPECT_EQ(DeTexto(u"922337203685477.5808"), DISP_E_OVERFLOW);
    EXPECT_EQ(DeTexto(u"922337203685477.58075"), DISP_E_OVERFLOW);
    EXPECT_EQ(DeTexto(u"1e999999999999"), DISP_E_OVERFLOW);
    EXPECT_EQ(DeTexto(u"99999999999999999999999"), DISP_E_OVERFLOW);
}

TEST(OleAutCy, FromStrRejectsGarbage) {
    for (const char16_t* lixo : {u"", u"   ", u"abc", u"1.2.3", u"12a", u"--1", u"(1", u"1)", u"(-1)", u"-1-",
                                 u"1e", u"e5", u".", u",5", u"1 2", u"$1"}) {
        EXPECT_EQ(DeTexto(lixo), DISP_E_TYPEMISMATCH) << std::string(lixo, lixo + std::char_traits<char16_t>::length(lixo));
    }
    EXPECT_EQ(DeTexto(u"1,234.56", kBrasil), DISP_E_TYPEMISMATCH);
    CY cy;
    EXPECT_EQ(VarCyFromStr(nullptr, kEua, 0, &cy), E_INVALIDARG);
}

TEST(OleAutCy, BstrIsTheShortestText) {
    EXPECT_EQ(Texto(12345600), u"1234.56");
    EXPECT_EQ(Texto(12345600, kBrasil), u"1234,56");
    EXPECT_EQ(Texto(10000), u"1");
    EXPECT_EQ(Texto(0), u"0");
    EXPECT_EQ(Texto(5000), u"0.5");
    EXPECT_EQ(Texto(-1), u"-0.0001");
    EXPECT_EQ(Texto(-12345675000), u"-1234567.5");
    EXPECT_EQ(Texto(kMinimo), u"-922337203685477.5808");
    EXPECT_EQ(Texto(kMaximo), u"922337203685477.5807");
    for (LONGLONG v : {LONGLONG{0}, LONGLONG{1}, LONGLONG{-99990}, kMaximo, kMinimo, LONGLONG{123456789}}) {
        EXPECT_EQ(DeTexto(Texto(v, kBrasil).c_str(), kBrasil), v);
        EXPECT_EQ(DeTexto(Texto(v).c_str()), v);
    }
}

TEST(OleAutCy, Arithmetic) {
    CY r;
    EXPECT_EQ(VarCyAdd(Cy(15000), Cy(-2500), &r), S_OK);
    EXPECT_EQ(r.int64, 12500);
    EXPECT_EQ(VarCyAdd(Cy(kMaximo), Cy(1), &r), DISP_E_OVERFLOW);
    EXPECT_EQ(VarCySub(Cy(kMinimo), Cy(1), &r), DISP_E_OVERFLOW);
    EXPECT_EQ(VarCySub(Cy(1), Cy(3), &r), S_OK);
    EXPECT_EQ(r.int64, -2);

    EXPECT_EQ(VarCyMul(Cy(15000), Cy(25000), &r), S_OK);  // 1.5 * 2.5
    EXPECT_EQ(r.int64, 37500);
    EXPECT_EQ(VarCyMul(Cy(5), Cy(5000), &r), S_OK);  // 0.0005 * 0.5 = 0.00025
    EXPECT_EQ(r.int64, 2);
    EXPECT_EQ(VarCyMul(Cy(15), Cy(5000), &r), S_OK);  // 0.00075
    EXPECT_EQ(r.int64, 8);
    EXPECT_EQ(VarCyMul(Cy(-15), Cy(5000), &r), S_OK);
    EXPECT_EQ(r.int64, -8);
    EXPECT_EQ(VarCyMul(Cy(5001), Cy(1), &r), S_OK);  // 0.00005001 rounds up
    EXPECT_EQ(r.int64, 1);
    EXPECT_EQ(VarCyMul(Cy(kMaximo), Cy(10000), &r), S_OK);
    EXPECT_EQ(r.int64, kMaximo);
    EXPECT_EQ(VarCyMul(Cy(kMinimo), Cy(10000), &r), S_OK);
    EXPECT_EQ(r.int64, kMinimo);
    EXPECT_EQ(VarCyMul(Cy(kMinimo), Cy(-10000), &r), DISP_E_OVERFLOW);
    EXPECT_EQ(VarCyMul(Cy(kMaximo), Cy(20000), &r), DISP_E_OVERFLOW);
}

TEST(OleAutDec, Conversions) {
    DECIMAL d;
    EXPECT_EQ(VarDecFromCy(Cy(-12345), &d), S_OK);
    EsperaDec(d, 12345, 4, true);
    EXPECT_EQ(VarDecFromCy(Cy(kMinimo), &d), S_OK);
    EsperaDec(d, 9223372036854775808ull, 4, true);
    EXPECT_EQ(VarDecFromI2(-32768, &d), S_OK);
    EsperaDec(d, 32768, 0, true);

    EXPECT_EQ(VarDecFromR8(0.1, &d), S_OK);  // 15 significant digits, not the binary expansion
    EsperaDec(d, 1, 1);
    EXPECT_EQ(VarDecFromR8(-1.5, &d), S_OK);
    EsperaDec(d, 15, 1, true);
    EXPECT_EQ(VarDecFromR8(1.0 / 3.0, &d), S_OK);
    EsperaDec(d, 333333333333333, 15);
    EXPECT_EQ(VarDecFromR8(1e20, &d), S_OK);
    EsperaDec(d, 0x6BC75E2D63100000ull, 0, false, 5);  // 10^20 = 5 * 2^64 + ...
    EXPECT_EQ(VarDecFromR8(1e-30, &d), S_OK);
    EsperaDec(d, 0, 28);
    EXPECT_EQ(VarDecFromR8(1.5e-28, &d), S_OK);
    EsperaDec(d, 2, 28);
    EXPECT_EQ(VarDecFromR8(0.0, &d), S_OK);
    EsperaDec(d, 0, 0);
    EXPECT_EQ(VarDecFromR8(8e28, &d), DISP_E_OVERFLOW);
    EXPECT_EQ(VarDecFromR8(std::nan(""), &d), DISP_E_OVERFLOW);

    CY cy;
    DECIMAL e = Dec(123456789, 8);  // 1.23456789
    EXPECT_EQ(VarCyFromDec(&e, &cy), S_OK);
    EXPECT_EQ(cy.int64, 12346);
    e = Dec(25, 5);  // 0.00025 -> 0.0002 (half to even)
    EXPECT_EQ(VarCyFromDec(&e, &cy), S_OK);
    EXPECT_EQ(cy.int64, 2);
    e = Dec(15, 5, true);  // -0.00015 -> -0.0002
    EXPECT_EQ(VarCyFromDec(&e, &cy), S_OK);
    EXPECT_EQ(cy.int64, -2);
    e = Dec(1250000001, 13);  // 0.0001250000001 -> 0.0001
    EXPECT_EQ(VarCyFromDec(&e, &cy), S_OK);
    EXPECT_EQ(cy.int64, 1);
    e = Dec(9223372036854775808ull, 4, true);
    EXPECT_EQ(VarCyFromDec(&e, &cy), S_OK);
    EXPECT_EQ(cy.int64, kMinimo);
    e = Dec(9223372036854775808ull, 4);
    EXPECT_EQ(VarCyFromDec(&e, &cy), DISP_E_OVERFLOW);
    e = Dec(1, 0, false, 1);  // 2^64
    EXPECT_EQ(VarCyFromDec(&e, &cy), DISP_E_OVERFLOW);
    e = Dec(1, 29);
    EXPECT_EQ(VarCyFromDec(&e, &cy), E_INVALIDARG);
    e = Dec(1, 0);
    e.sign = 1;
    EXPECT_EQ(VarCyFromDec(&e, &cy), E_INVALIDARG);
}

TEST(OleAutDec, Multiply) {
    DECIMAL r;
    DECIMAL a = Dec(15, 1), b = Dec(20, 1, true);  // 1.5 * -2.0
    EXPECT_EQ(VarDecMul(&a, &b, &r), S_OK);
    EsperaDec(r, 300, 2, true);

    // Scales add up beyond 28: digits are dropped, half to even.
    b = Dec(1, 15);
    a = Dec(25, 15);  // 2.5e-29: below half of the 28th place
    EXPECT_EQ(VarDecMul(&a, &b, &r), S_OK);
    EsperaDec(r, 0, 28);
    a = Dec(25, 14);  // 2.5e-28 -> 2e-28
    EXPECT_EQ(VarDecMul(&a, &b, &r), S_OK);
    EsperaDec(r, 2, 28);
    a = Dec(35, 14);  // 3.5e-28 -> 4e-28
    EXPECT_EQ(VarDecMul(&a, &b, &r), S_OK);
    EsperaDec(r, 4, 28);
    a = Dec(2501, 16);  // 2.501e-28 -> 3e-28: a later dropped digit decides
    EXPECT_EQ(VarDecMul(&a, &b, &r), S_OK);
    EsperaDec(r, 3, 28);

    // A product beyond 96 bits gives up scale: (2^64-1) * (2^64-1) / 10^10.
    a = Dec(0xFFFFFFFFFFFFFFFFull, 5);
    b = Dec(0xFFFFFFFFFFFFFFFFull, 5);
    EXPECT_EQ(VarDecMul(&a, &b, &r), S_OK);
    // 340282366920938463426481119284349108225 * 10^-10 has 29 integer digits:
    // all ten decimals go, rounded down on the 4 that leads them.
    EsperaDec(r, 0x5EF6EADE7ED2A338ull, 0, false, 0x6DF37F67);  // 34028236692093846342648111928

    a = Dec(0, 0, false, 0xFFFFFFFF);
    b = Dec(0, 0, false, 0xFFFFFFFF);
    EXPECT_EQ(VarDecMul(&a, &b, &r), DISP_E_OVERFLOW);
}

TEST(OleAutDec, Divide) {
    DECIMAL r;
    DECIMAL a = Dec(1, 0), b = Dec(3, 0);
    EXPECT_EQ(VarDecDiv(&a, &b, &r), S_OK);
    // 0.3333333333333333333333333333: 28 threes.
    u128 tercos = 0;
    for (int i = 0; i < 28; ++i) tercos = tercos * 10 + 3;
    EXPECT_TRUE(Mantissa(r) == tercos);
    EXPECT_EQ(r.scale, 28);

    a = Dec(2, 0);
    EXPECT_EQ(VarDecDiv(&a, &b, &r), S_OK);  // ...6667
    EXPECT_TRUE(Mantissa(r) == tercos * 2 + 1);

    a = Dec(10, 1);  // 1.0 / 4 = 0.25
    b = Dec(4, 0);
    EXPECT_EQ(VarDecDiv(&a, &b, &r), S_OK);
    EsperaDec(r, 25, 2);
    a = Dec(1000, 2);  // 10.00 / 2 keeps its scale
    b = Dec(2, 0, true);
    EXPECT_EQ(VarDecDiv(&a, &b, &r), S_OK);
    EsperaDec(r, 500, 2, true);
    a = Dec(1, 0);  // 1 / 0.01 = 100: the negative scale is brought to 0
    b = Dec(1, 2);
    EXPECT_EQ(VarDecDiv(&a, &b, &r), S_OK);
    EsperaDec(r, 100, 0);

    // Large quotients keep as many digits as 96 bits hold: 2^95 / 3.
    a = Dec(0, 0, false, 0x80000000);
    b = Dec(3, 0);
    EXPECT_EQ(VarDecDiv(&a, &b, &r), S_OK);
    EXPECT_EQ(r.scale, 0);  // 13204693752377389598923991722.67: no room for a decimal
    EXPECT_TRUE(Mantissa(r) == ((static_cast<u128>(1) << 95) + 1) / 3);

    a = Dec(0, 0, false, 0xFFFFFFFF);  // huge / 0.1 no longer fits
    b = Dec(1, 1);
    EXPECT_EQ(VarDecDiv(&a, &b, &r), DISP_E_OVERFLOW);
    b = Dec(0, 5);
    EXPECT_EQ(VarDecDiv(&a, &b, &r), DISP_E_DIVBYZERO);

    // The decimal route of a price times a quantity, as the services compute it.
    DECIMAL preco, quantidade, produto;
    ASSERT_EQ(VarDecFromCy(Cy(123456), &preco), S_OK);      // 12.3456
    ASSERT_EQ(VarDecFromCy(Cy(25000), &quantidade), S_OK);  // 2.5
    ASSERT_EQ(VarDecMul(&preco, &quantidade, &produto), S_OK);
    CY cy;
    ASSERT_EQ(VarCyFromDec(&produto, &cy), S_OK);  // 30.864 exactly
    EXPECT_EQ(cy.int64, 308640);
}

}  // namespace
