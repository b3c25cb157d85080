// Rich text transfer: streaming card texts into and out of RichEdit controls.
#include "media/rich_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <richedit.h>

namespace {

const char Rtf[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 Hello \\b bold\\b0  world}";

class RichTextTransfer : public testing::Test {
  protected:
    void SetUp() override
    {
        edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        ASSERT_NE(nullptr, edit);
    }
    void TearDown() override { DestroyWindow(edit); }
    DWORD EffectsAt(int character)
    {
        SendMessageA(edit, EM_SETSEL, character, character + 1);
        CHARFORMATA format = {};
        format.cbSize = sizeof format;
        SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format.dwEffects;
    }
    HWND edit = nullptr;
};

} // namespace

TEST_F(RichTextTransfer, RtfGoesInAndComesOutAsRtfAndText)
{
    StreamInRtf(edit, Rtf);
    EXPECT_EQ("Hello bold world", StreamOutText(edit));
    EXPECT_EQ("Hello bold world", StreamOutUtf8Text(edit));
    std::string rtf = StreamOutRtf(edit);
    EXPECT_EQ(0u, rtf.find("{\\rtf"));
    // Only the text: no zero byte some controls end the stream with, which a card set file
    // would keep.
    EXPECT_EQ(std::string::npos, rtf.find('\0'));
    EXPECT_EQ('}', rtf[rtf.find_last_not_of("\r\n")]);
    // What comes out goes back in unchanged.
    StreamInRtf(edit, rtf);
    EXPECT_EQ("Hello bold world", StreamOutText(edit));
    EXPECT_TRUE(EffectsAt(7) & CFE_BOLD);
    // An empty text leaves the control empty.
    StreamInRtf(edit, "{\\rtf1 }");
    EXPECT_EQ("", StreamOutText(edit));
    EXPECT_EQ("", StreamOutUtf8Text(edit));
    EXPECT_EQ(0u, StreamOutRtf(edit).find("{\\rtf"));
    StreamInRtf(edit, "");
    EXPECT_EQ("", StreamOutText(edit));
}

TEST_F(RichTextTransfer, AppendsGoAfterTheContentWhateverIsSelected)
{
    StreamInRtf(edit, Rtf);
    SendMessageA(edit, EM_SETSEL, 0, 5);
    AppendPlainText(edit, ", plain");
    EXPECT_EQ("Hello bold world, plain", StreamOutText(edit));
    SendMessageA(edit, EM_SETSEL, 2, 2);
    AppendRtf(edit, "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\i  and italic}");
    EXPECT_EQ("Hello bold world, plain and italic", StreamOutText(edit));
    EXPECT_TRUE(EffectsAt(30) & CFE_ITALIC);
}

TEST_F(RichTextTransfer, LongTextsCrossManyChunksInOrder)
{
    std::string plain;
    for (int i = 0; plain.size() < 20000; ++i)
        plain += "word" + std::to_string(i) + " ";
    StreamInRtf(edit, "{\\rtf1\\ansi " + plain + "}");
    EXPECT_EQ(plain, StreamOutText(edit));
    std::string rtf = StreamOutRtf(edit);
    StreamInRtf(edit, "{\\rtf1 x}");
    StreamInRtf(edit, rtf);
    EXPECT_EQ(plain, StreamOutText(edit));
}

TEST_F(RichTextTransfer, CharactersOutsideTheCodePageComeOutAsUtf8)
{
    // Greek alpha and the euro sign: the first has no place in code page 1252, the second has.
    StreamInRtf(edit, "{\\rtf1\\ansi\\uc1 a\\u945?b\\u8364?c}");
    EXPECT_EQ("a\xCE\xB1"
              "b\xE2\x82\xAC"
              "c",
              StreamOutUtf8Text(edit));
    // The ANSI form is the code page's own (a best-fit letter or a question mark for the alpha).
    char ansi[16] = "";
    WideCharToMultiByte(CP_ACP, 0,
                        L"a\x03B1"
                        L"b\x20AC"
                        L"c",
                        -1, ansi, sizeof ansi, nullptr, nullptr);
    EXPECT_EQ(ansi, StreamOutText(edit));
    EXPECT_EQ('\x80', ansi[3]);
}
