// Rich text transfer: card texts into and out of RichEdit controls, and hostile RTF kept away from
// the platform's reader.
#include "media/rtf_check.h"
#include "tests/media/hostile.h"

namespace {

class RichTextTransfer : public testing::Test {
  protected:
    void SetUp() override { edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr)); }
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

std::string Repeat(const std::string& part, int times)
{
    std::string all;
    while (times-- > 0)
        all += part;
    return all;
}

} // namespace

// What comes out goes back in unchanged (no zero byte that some controls end the stream with);
// appends go after the content whatever is selected; long texts cross many chunks in order.
TEST_F(RichTextTransfer, TextsGoInAndComeOutAsRtfAndText)
{
    StreamInRtf(edit, "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 Hello \\b bold\\b0  world}");
    std::string rtf = StreamOutRtf(edit);
    EXPECT_TRUE(rtf.find("{\\rtf") == 0 && rtf.find('\0') == std::string::npos && IsSafeRtf(rtf));
    StreamInRtf(edit, rtf);
    EXPECT_EQ("Hello bold world", StreamOutText(edit));
    EXPECT_TRUE(EffectsAt(7) & CFE_BOLD);
    SendMessageA(edit, EM_SETSEL, 0, 5);
    AppendPlainText(edit, ", plain");
    SendMessageA(edit, EM_SETSEL, 2, 2);
    AppendRtf(edit, "{\\rtf1\\ansi\\i  and italic}");
    EXPECT_EQ("Hello bold world, plain and italic", StreamOutText(edit));
    EXPECT_TRUE(EffectsAt(30) & CFE_ITALIC);
    for (const char* empty : {"{\\rtf1 }", ""}) {
        StreamInRtf(edit, empty);
        EXPECT_EQ("", StreamOutText(edit));
    }
    std::string plain = Repeat("word ", 4000);
    StreamInRtf(edit, "{\\rtf1\\ansi " + plain + "}");
    StreamInRtf(edit, StreamOutRtf(edit));
    EXPECT_EQ(plain, StreamOutText(edit));
    // Greek alpha (not in code page 1252) and the euro sign come out as UTF-8, and as the code
    // page's own form in ANSI.
    StreamInRtf(edit, "{\\rtf1\\ansi\\uc1 a\\u945?b\\u8364?c}");
    EXPECT_EQ("a\xCE\xB1"
              "b\xE2\x82\xAC"
              "c",
              StreamOutUtf8Text(edit));
    std::string ansi = StreamOutText(edit);
    EXPECT_TRUE(ansi.size() == 5 && ansi[3] == '\x80') << ansi; // the code page's form of the alpha
}

// Every text of the sample card sets and of the editor passes the check and is read as RTF.
TEST_F(RichTextTransfer, EditorAndSampleTextsPassTheCheck)
{
    std::vector<std::string> texts = SampleCardTexts();
    EXPECT_GT(texts.size(), 20u);
    for (const std::string& text : texts) {
        EXPECT_TRUE(IsSafeRtf(text)) << text;
        StreamInRtf(edit, text);
        EXPECT_EQ(std::string::npos, StreamOutText(edit).find("\\rtf")) << text;
    }
}

// Hostile texts of each kind that crashed or hung the reader are shown as their characters; those
// at the bounds are read as RTF. Either way they are drawn safely.
TEST_F(RichTextTransfer, HostileTextsAreShownAsPlainText)
{
    const std::string head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 ";
    const struct {
        std::string Text;
        bool Rtf;
    } texts[] = {
        {head + Repeat("{", 31) + "x" + Repeat("}", 32), true},
        {head + Repeat("{", 100) + "x" + Repeat("}", 101), false},
        {"{\\rtf1{\\fonttbl{\\f0 " + std::string(31, 'F') + ";}}x}", true},
        {"{\\rtf1{\\fonttbl{\\f0 " + std::string(300, 'F') + ";}}x}", false},
        {head + "\\fs65535 x}", true},
        {head + "\\fs65536 x}", false},
        {head + "\\fs-2147483649 x}", false},
        {head + "\\" + std::string(33, 'w') + " x}", false},
        {head + Repeat("\\\\", 5000) + "}", true},
        {head + Repeat("\\", 4999) + "}", false},
        {head + Repeat("{\\*\\d ", 5) + Repeat("}", 5) + "x}", false},
        {head + Repeat("{\\*\\d ", 4) + Repeat("}", 4) + "x}", true},
        {head + "\\bin4 ab}}x}", false},
        {"{\\rtf1{\\colortbl;" + Repeat("\\red1;", 300) + "}x}", false},
        {"{\\rtf1{\\colortbl;\\red256;}x}", false},
        {head + "x}}", false},
        {head + "\\'4}", false},
        {"{\\rtf1 x}trailing", false},
        {"plain {\\rtf1 x}", false},
    };
    for (const auto& text : texts) {
        std::string shown = text.Text.substr(0, 40);
        EXPECT_EQ(text.Rtf, IsSafeRtf(text.Text)) << shown;
        StreamInRtf(edit, text.Text);
        std::string out = StreamOutText(edit);
        EXPECT_EQ(text.Rtf, out != text.Text) << shown;
        ShowHostileInput("rtf", text.Text);
    }
    // A one-line text of 100 000 characters is drawn (its speed is measured by the benchmark).
    ShowHostileInput("rtf", std::string(100000, 'a'));
}
