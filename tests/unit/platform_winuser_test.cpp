// The message box of a program without a screen.

#include "platform/CodePage.h"
#include "platform/WinUser.h"

TEST(MessageBox, WritesCaptionAndTextInUtf8AndAnswersTheDefaultButton) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Manuten\xE7\xE3o \x80 1", "Aviso", MB_OK | MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "b", nullptr, MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, "c", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3), IDIGNORE);
    // A default button the box does not have falls back to the first.
    EXPECT_EQ(MessageBoxA(nullptr, "d", "d", MB_RETRYCANCEL | MB_DEFBUTTON3), IDRETRY);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Aviso: Manutenção € 1\nErro: b\nc: \nd: d\n");
}

TEST(Texto1252, Utf8AndWindows1252AlikeBecomeWindows1252) {
    using zenta::Utf8OuCp1252ParaCp1252;
    EXPECT_EQ(Utf8OuCp1252ParaCp1252("Descrição"), "Descri\xE7\xE3o");
    EXPECT_EQ(Utf8OuCp1252ParaCp1252("€ – “x”"), "\x80 \x96 \x93x\x94");
    // Text that is Windows-1252 already passes unchanged.
    EXPECT_EQ(Utf8OuCp1252ParaCp1252("S\xE3o Jo\xE3o \xC3"), "S\xE3o Jo\xE3o \xC3");
    // Characters the code page lacks.
    EXPECT_EQ(Utf8OuCp1252ParaCp1252("日本 😀"), "?? ?");
    // Overlong and surrogate encodings are no UTF-8.
    EXPECT_EQ(Utf8OuCp1252ParaCp1252("\xC0\xAF\xED\xA0\x80"), "\xC0\xAF\xED\xA0\x80");
}
