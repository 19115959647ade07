#include <gtest/gtest.h>

#include <zenta/OleAuto.h>

TEST(Bstr, KeepsLengthPrefixAndTerminator) {
    BSTR b = SysAllocString(u"Manutenção");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringLen(b), 10u);
    EXPECT_EQ(SysStringByteLen(b), 20u);
    EXPECT_EQ(b[10], 0);
    SysFreeString(b);

    BSTR vazio = SysAllocStringLen(nullptr, 3);
    ASSERT_NE(vazio, nullptr);
    EXPECT_EQ(SysStringLen(vazio), 3u);
    EXPECT_EQ(vazio[0], 0);
    SysFreeString(vazio);

    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
}
