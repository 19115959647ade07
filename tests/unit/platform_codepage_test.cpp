// Windows-1252, UTF-16 and UTF-8 conversions.

#include <zenta/OleAuto.h>

#include "platform/CodePage.h"

namespace {

using zenta::UltimoErroConversao;

TEST(CodePage, Cp1252TableIsWindowsOwn) {
    EXPECT_EQ(zenta::Cp1252ParaUtf16("\x80\x85\x8A\x91\x92\x96\x99\x9F"), u"€…Š‘’–™Ÿ");
    EXPECT_EQ(zenta::Cp1252ParaUtf16("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(zenta::Cp1252ParaUtf16(std::string_view("\0\xA0\xFF", 3)), std::u16string(u"\0\u00A0\u00FF", 3));
    // Every byte survives the round trip through UTF-16 and through UTF-8.
    std::string todos;
    for (int b = 0; b < 256; ++b) todos.push_back(static_cast<char>(b));
    EXPECT_EQ(zenta::Utf16ParaCp1252(zenta::Cp1252ParaUtf16(todos)), todos);
    EXPECT_EQ(zenta::Utf8ParaCp1252(zenta::Cp1252ParaUtf8(todos)), todos);
}

TEST(CodePage, UnmappableBecomesQuestionMark) {
    EXPECT_EQ(zenta::Utf16ParaCp1252(u"Manutenção €"), "Manuten\xE7\xE3o \x80");
    EXPECT_EQ(zenta::Utf16ParaCp1252(u"Ā"), "?");                   // no look-alike 'A'
    EXPECT_EQ(zenta::Utf16ParaCp1252(u"a\U0001F600b"), "a?b");      // one '?' for a surrogate pair
    EXPECT_EQ(zenta::Utf16ParaCp1252(std::u16string(1, char16_t(0xD800))), "?");
    EXPECT_EQ(zenta::Utf8ParaCp1252("S\xC3\xA1" "bado"), "S\xE1" "bado");
    EXPECT_EQ(zenta::Utf8ParaCp1252("a\xFF" "b\xC3"), "a?b?");       // invalid UTF-8
}

TEST(CodePage, Utf8SurrogatePairsAndInvalidUtf8ReplacedOrRefused) {
    const std::u16string emoji = u"\U0001F600";
    ASSERT_EQ(emoji.size(), 2u);
    char buf[8];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, emoji.data(), 2, buf, sizeof buf, nullptr, nullptr), 4);
    EXPECT_EQ(std::string(buf, 4), "\xF0\x9F\x98\x80");
    OLECHAR largo[4];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xF0\x9F\x98\x80", 4, largo, 4), 2);
    EXPECT_EQ(std::u16string(largo, 2), emoji);

    // Invalid UTF-8 is replaced or refused.
    OLECHAR invalido[16];
    // Overlong, encoded surrogate, beyond U+10FFFF, truncated: all become U+FFFD.
    const char* ruins[] = {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"};
    for (const char* ruim : ruins) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, ruim, -1, invalido, 16);
        ASSERT_GT(n, 0);
        for (int i = 0; i < n - 1; ++i) EXPECT_EQ(invalido[i], 0xFFFD);
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, ruim, -1, invalido, 16), 0);
        EXPECT_EQ(UltimoErroConversao(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    }
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE2\x82" "A", 3, invalido, 16), 2);  // the 'A' is kept
    EXPECT_EQ(invalido[0], 0xFFFD);
    EXPECT_EQ(invalido[1], u'A');

    const OLECHAR sozinho[] = {u'a', 0xDC00, 0};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, sozinho, -1, buf, sizeof buf, nullptr, nullptr), 5);
    EXPECT_STREQ(buf, "a\xEF\xBF\xBD");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, sozinho, -1, buf, sizeof buf, nullptr, nullptr), 0);
}

TEST(CodePage, WindowsLengthSemantics) {
    // -1 counts and writes the terminating zero; explicit lengths do not add one.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 0), 3);
    OLECHAR largo[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab\xE9", -1, largo, 4), 4);
    EXPECT_EQ(std::u16string(largo), u"abé");
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", -1, largo, 3), 0);
    EXPECT_EQ(UltimoErroConversao(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"é", -1, nullptr, 0, nullptr, nullptr), 3);
    char buf[4];
    BOOL usouPadrao = -1;
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"\u0100b", 2, buf, 4, "*", &usouPadrao), 2);
    EXPECT_EQ(std::string(buf, 2), "*b");
    EXPECT_EQ(usouPadrao, TRUE);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"ab", 2, buf, 4, nullptr, &usouPadrao), 2);
    EXPECT_EQ(usouPadrao, FALSE);
}

TEST(CodePage, BadArguments) {
    OLECHAR largo[4];
    char buf[4];
    auto falhaCom = [](int resultado, LONG erro) {
        EXPECT_EQ(resultado, 0);
        EXPECT_EQ(UltimoErroConversao(), static_cast<DWORD>(erro));
    };
    falhaCom(MultiByteToWideChar(1252, 0, nullptr, 3, largo, 4), ERROR_INVALID_PARAMETER);
    falhaCom(MultiByteToWideChar(1252, 0, "abc", 0, largo, 4), ERROR_INVALID_PARAMETER);
    falhaCom(MultiByteToWideChar(1252, 0, "abc", -2, largo, 4), ERROR_INVALID_PARAMETER);
    falhaCom(MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 4), ERROR_INVALID_PARAMETER);
    falhaCom(MultiByteToWideChar(437, 0, "abc", 3, largo, 4), ERROR_INVALID_PARAMETER);
    falhaCom(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "abc", 3, largo, 4), ERROR_INVALID_FLAGS);
    falhaCom(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, buf, 4, "?", nullptr), ERROR_INVALID_PARAMETER);
    falhaCom(WideCharToMultiByte(1252, WC_ERR_INVALID_CHARS, u"a", 1, buf, 4, nullptr, nullptr), ERROR_INVALID_FLAGS);
    falhaCom(WideCharToMultiByte(1252, 0, u"abc", 3, buf, 2, nullptr, nullptr), ERROR_INSUFFICIENT_BUFFER);
    char mesmo[8] = "ab";
    falhaCom(MultiByteToWideChar(1252, 0, mesmo, 2, reinterpret_cast<OLECHAR*>(mesmo), 2), ERROR_INVALID_PARAMETER);
}

TEST(CodePage, BstrKeepsLengthPrefixAndTerminator) {
    BSTR bs = zenta::Cp1252ParaBstr(std::string_view("S\xE1\0b", 4));
    ASSERT_NE(bs, nullptr);
    EXPECT_EQ(SysStringLen(bs), 4u);
    EXPECT_EQ(bs[1], u'á');
    EXPECT_EQ(zenta::BstrParaCp1252(bs), std::string("S\xE1\0b", 4));
    EXPECT_EQ(SysStringByteLen(bs), 8u);
    EXPECT_EQ(bs[4], 0);
    SysFreeString(bs);
    EXPECT_EQ(zenta::BstrParaCp1252(nullptr), "");
    BSTR vazio = SysAllocStringLen(nullptr, 3);
    ASSERT_NE(vazio, nullptr);
    EXPECT_EQ(SysStringLen(vazio), 3u);
    EXPECT_EQ(vazio[0], 0);
    SysFreeString(vazio);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
}

}  // namespace
