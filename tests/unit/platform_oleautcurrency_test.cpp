// OLE Automation currency and decimal conversions and arithmetic.

#include <cmath>
#include <iterator>
#include <limits>

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

LONGLONG DeR8(double d) {
    CY cy = Cy(-1);
    const HRESULT hr = VarCyFromR8(d, &cy);
    return SUCCEEDED(hr) ? cy.int64 : hr;
}

LONGLONG Produto(LONGLONG a, LONGLONG b) {
    CY r = Cy(-1);
    const HRESULT hr = VarCyMul(Cy(a), Cy(b), &r);
    return SUCCEEDED(hr) ? r.int64 : hr;
}

DECIMAL Dec(u128 mantissa, BYTE escala, bool negativo = false) {
    DECIMAL d{};
    d.Lo64 = static_cast<uint64_t>(mantissa);
    d.Hi32 = static_cast<ULONG>(mantissa >> 64);
    d.scale = escala;
    d.sign = negativo ? DECIMAL_NEG : 0;
    return d;
}

// A DECIMAL result as one comparable value: the code, and the fields on success.
using Decimal = std::tuple<HRESULT, uint64_t, ULONG, int, int>;
Decimal Ok(const DECIMAL& d) { return {S_OK, d.Lo64, d.Hi32, d.scale, d.sign}; }
Decimal Falha(HRESULT hr) { return {hr, 0, 0, 0, 0}; }
Decimal Campos(HRESULT hr, const DECIMAL& d) { return SUCCEEDED(hr) ? Ok(d) : Falha(hr); }

LONGLONG CyDeDec(DECIMAL d) {
    CY cy = Cy(-1);
    const HRESULT hr = VarCyFromDec(&d, &cy);
    return SUCCEEDED(hr) ? cy.int64 : hr;
}

TEST(OleAutCy, FromR8RoundsTheScaledValueHalfToEven) {
    const std::pair<double, LONGLONG> casos[] = {
        {1.2345, 12345}, {0.00005, 0}, {0.00015, 2}, {0.00025, 2}, {-0.00015, -2}, {0.00006, 1},
        {922337203685477.0, 9223372036854770000}, {922337203685478.0, DISP_E_OVERFLOW},
        {0.12345, 1234},  // the number as written is a tie
        {0.1 + 0.2, 3000}, {std::numeric_limits<double>::quiet_NaN(), DISP_E_OVERFLOW},
        {std::numeric_limits<double>::infinity(), DISP_E_OVERFLOW},
    };
    for (const auto& [d, esperado] : casos) EXPECT_EQ(DeR8(d), esperado) << d;
    CY cy;
    EXPECT_EQ(VarCyFromR4(0.1f, &cy), S_OK);
    EXPECT_EQ(cy.int64, 1000);
    EXPECT_EQ(VarCyFromR8(1.0, nullptr), E_INVALIDARG);
}

TEST(OleAutCy, FromStrInBothLocalesRoundingAndRangeAndBackToText) {
    const struct {
        const char16_t* texto;
        LCID lcid;
        LONGLONG esperado;
    } casos[] = {
        {u"1,234.56", kEua, 12345600},
        {u"1.234,56", kBrasil, 12345600},
        {u"1.234,56", MAKELCID(kBrasil, SORT_DEFAULT), 12345600},
        {u"1234.56", kBrasil, 1234560000},  // '.' groups thousands there
        {u"  -12.5  ", kEua, -125000},
        {u"+.5", kEua, 5000},
        {u"(1.5)", kEua, -15000},
        {u"1.5-", kEua, -15000},
        {u"1.5e3", kEua, 15000000},
        {u"15E-5", kEua, 2},
        {u"1.5", 9999, 15000},  // unknown locales read as US English
        {u"0.00005", kEua, 0},
        {u"0.000050000000000000000001", kEua, 1},
        {u"-2.00025", kEua, -20002},
        {u"0.00001e-999999999", kEua, 0},
        {u"922337203685477.5807", kEua, kMaximo},
        {u"-922337203685477.5808", kEua, kMinimo},
        {u"922337203685477.5808", kEua, DISP_E_OVERFLOW},
        {u"922337203685477.58075", kEua, DISP_E_OVERFLOW},
        {u"1e999999999999", kEua, DISP_E_OVERFLOW},
        {u"1,234.56", kBrasil, DISP_E_TYPEMISMATCH},
    };
    for (const auto& c : casos)
        EXPECT_EQ(DeTexto(c.texto, c.lcid), c.esperado)
            << std::string(c.texto, c.texto + std::char_traits<char16_t>::length(c.texto));
    for (const char16_t* lixo : {u"", u"   ", u"abc", u"1.2.3", u"12a", u"--1", u"(1", u"1)", u"(-1)", u"-1-",
                                 u"1e", u"e5", u".", u",5", u"1 2", u"$1"}) {
        EXPECT_EQ(DeTexto(lixo), DISP_E_TYPEMISMATCH) << std::string(lixo, lixo + std::char_traits<char16_t>::length(lixo));
    }
    CY cy;
    EXPECT_EQ(VarCyFromStr(nullptr, kEua, 0, &cy), E_INVALIDARG);

    // The BSTR is the shortest text, and reads back.
    EXPECT_EQ(Texto(12345600, kBrasil), u"1234,56");
    EXPECT_EQ(Texto(10000), u"1");
    EXPECT_EQ(Texto(-1), u"-0.0001");
    EXPECT_EQ(Texto(kMinimo), u"-922337203685477.5808");
    for (LONGLONG v : {LONGLONG{0}, LONGLONG{1}, LONGLONG{-99990}, kMaximo, kMinimo, LONGLONG{123456789}}) {
        EXPECT_EQ(DeTexto(Texto(v, kBrasil).c_str(), kBrasil), v);
        EXPECT_EQ(DeTexto(Texto(v).c_str()), v);
    }
}

TEST(OleAutCy, Arithmetic) {
    CY r;
    EXPECT_EQ(VarCyAdd(Cy(kMaximo), Cy(1), &r), DISP_E_OVERFLOW);
    EXPECT_EQ(VarCySub(Cy(kMinimo), Cy(1), &r), DISP_E_OVERFLOW);
    // 1.5 * 2.5; 0.00025 and 0.00075: half to even; 0.00005001 rounds up.
    for (const auto& [a, b, esperado] : {std::tuple{15000LL, 25000LL, 37500LL}, {5LL, 5000LL, 2LL}, {15LL, 5000LL, 8LL},
                                         {-15LL, 5000LL, -8LL}, {5001LL, 1LL, 1LL}, {kMinimo, 10000LL, kMinimo},
                                         {kMinimo, -10000LL, LONGLONG{DISP_E_OVERFLOW}},
                                         {kMaximo, 20000LL, LONGLONG{DISP_E_OVERFLOW}}})
        EXPECT_EQ(Produto(a, b), esperado) << a << " * " << b;
}

TEST(OleAutDec, Conversions) {
    DECIMAL d;
    EXPECT_EQ(Campos(VarDecFromCy(Cy(kMinimo), &d), d), Ok(Dec(9223372036854775808ull, 4, true)));
    // 15 significant digits, not the binary expansion.
    const std::pair<double, Decimal> reais[] = {
        {0.1, Ok(Dec(1, 1))},
        {1.0 / 3.0, Ok(Dec(333333333333333, 15))},
        {1e20, Ok(Dec(u128{10'000'000'000} * 10'000'000'000, 0))},
        {1.5e-28, Ok(Dec(2, 28))},
        {8e28, Falha(DISP_E_OVERFLOW)},
        {std::nan(""), Falha(DISP_E_OVERFLOW)},
    };
    for (const auto& [real, esperado] : reais) EXPECT_EQ(Campos(VarDecFromR8(real, &d), d), esperado) << real;

    // Half to even; 2^64 no longer fits.
    const std::pair<DECIMAL, LONGLONG> decimais[] = {
        {Dec(123456789, 8), 12346}, {Dec(25, 5), 2}, {Dec(15, 5, true), -2}, {Dec(1250000001, 13), 1},
        {Dec(9223372036854775808ull, 4, true), kMinimo}, {Dec(9223372036854775808ull, 4), DISP_E_OVERFLOW},
        {Dec((u128{1} << 64) | 1, 0), DISP_E_OVERFLOW}, {Dec(1, 29), E_INVALIDARG}};
    for (std::size_t i = 0; i < std::size(decimais); ++i) EXPECT_EQ(CyDeDec(decimais[i].first), decimais[i].second) << i;
    DECIMAL sinal = Dec(1, 0);
    sinal.sign = 1;
    EXPECT_EQ(CyDeDec(sinal), E_INVALIDARG);
}

TEST(OleAutDec, MultiplyAndDivide) {
    u128 tercos = 0;  // 0.3333333333333333333333333333: 28 threes
    for (int i = 0; i < 28; ++i) tercos = tercos * 10 + 3;
    const u128 enorme = u128{0xFFFFFFFF} << 64;
    const u128 max64 = 0xFFFFFFFFFFFFFFFFull;
    const struct {
        const char* caso;
        decltype(&VarDecMul) operacao;
        DECIMAL a, b;
        Decimal esperado;
    } casos[] = {
        {"1.5 * -2.0", &VarDecMul, Dec(15, 1), Dec(20, 1, true), Ok(Dec(300, 2, true))},
        // Scales add up beyond 28: digits are dropped, half to even.
        {"tie down to even", &VarDecMul, Dec(25, 15), Dec(1, 15), Ok(Dec(0, 28))},
        {"tie up to even", &VarDecMul, Dec(25, 14), Dec(1, 15), Ok(Dec(2, 28))},
        {"tie up to even from 3", &VarDecMul, Dec(35, 14), Dec(1, 15), Ok(Dec(4, 28))},
        {"above the tie", &VarDecMul, Dec(2501, 16), Dec(1, 15), Ok(Dec(3, 28))},
        // A product beyond 96 bits gives up scale: 34028236692093846342648111928.
        {"(2^64-1) * (2^64-1) / 10^10", &VarDecMul, Dec(max64, 5), Dec(max64, 5),
         Ok(Dec((u128{0x6DF37F67} << 64) | 0x5EF6EADE7ED2A338ull, 0))},
        {"product overflow", &VarDecMul, Dec(enorme, 0), Dec(enorme, 0), Falha(DISP_E_OVERFLOW)},
        {"2 / 3 ends in ...6667", &VarDecDiv, Dec(2, 0), Dec(3, 0), Ok(Dec(tercos * 2 + 1, 28))},
        {"10.00 / -2 keeps its scale", &VarDecDiv, Dec(1000, 2), Dec(2, 0, true), Ok(Dec(500, 2, true))},
        {"1 / 0.01: the negative scale is brought to 0", &VarDecDiv, Dec(1, 0), Dec(1, 2), Ok(Dec(100, 0))},
        // Large quotients keep as many digits as 96 bits hold.
        {"2^95 / 3", &VarDecDiv, Dec(u128{1} << 95, 0), Dec(3, 0), Ok(Dec(((u128{1} << 95) + 1) / 3, 0))},
        {"huge / 0.1", &VarDecDiv, Dec(enorme, 0), Dec(1, 1), Falha(DISP_E_OVERFLOW)},
        {"by zero", &VarDecDiv, Dec(enorme, 0), Dec(0, 5), Falha(DISP_E_DIVBYZERO)},
    };
    for (const auto& c : casos) {
        DECIMAL r{};
        EXPECT_EQ(Campos(c.operacao(&c.a, &c.b, &r), r), c.esperado) << c.caso;
    }
}

}  // namespace
