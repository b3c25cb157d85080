// The plain text of control-written RTF read without the control is the control's own window text,
// or declined.
#include "editor/rtf_plain_text.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"

#include <gtest/gtest.h>

// Texts as the card pair dialog's editor writes them: formats, faces, escaped and Windows-1252
// characters read as the control shows them; several paragraphs, tabs, characters beyond the code
// page and unknown words decline.
TEST(RtfPlainText, ReadsWhatTheControlShowsOrDeclines)
{
    const std::string head = "{\\rtf1\\ansi\\ansicpg1252\\uc1{\\fonttbl{\\f0 Tahoma;}}\\pard\\f0 ";
    for (const char* declined : {"one\\par two\\par}", "a\\tab b}", "\\u945? alpha}", "\\zz odd}", "open"}) {
        std::string plain;
        EXPECT_FALSE(ReadControlRtfPlainText(head + declined, plain)) << declined;
    }
    HWND edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    const struct {
        std::string Text;
        bool Read;
    } cases[] = {
        {"Paris", true},
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs28 "
         "Card \\b bold\\b0  \\i\\ul it\\ulnone\\i0  \\cf1 red\\cf0  \\f1 mono\\f0 }",
         true},
        {"  braces {} and \\\\ back  ", true},
        {"caf\xe9 \x80 na\xefve \xfc\xdf", true},
        {"{\\rtf1\\ansi\\f0 euro \\u8364? sign}", true},
        {"", true},
    };
    for (const auto& c : cases) {
        LoadCardText(edit, c.Text);
        std::string rtf = StreamOutRtf(edit);
        rtf = rtf.substr(0, rtf.find('\0'));
        LoadCardText(edit, rtf);
        int length = GetWindowTextLengthA(edit);
        std::string shown(static_cast<size_t>(length) + 1, '\0');
        shown.resize(static_cast<size_t>(GetWindowTextA(edit, &shown[0], length + 1)));
        std::string plain;
        bool read = ReadControlRtfPlainText(rtf, plain);
        EXPECT_EQ(c.Read, read) << rtf;
        EXPECT_EQ(read ? shown : "", read ? plain : "") << rtf;
    }
    DestroyWindow(edit);
}
