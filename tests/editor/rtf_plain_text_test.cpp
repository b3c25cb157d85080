// The plain text of control-written RTF read without the control is the control's own Unicode
// text, or declined.
#include "editor/rtf_plain_text.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"

#include <gtest/gtest.h>

// Texts as the card pair dialog's editor writes them: formats, faces, escaped and Windows-1252
// characters, Greek and Cyrillic in their fonts' code pages or as Unicode escapes, read as the
// control holds them; several paragraphs, tabs, control characters and unknown words decline.
TEST(RtfPlainText, ReadsWhatTheControlHoldsOrDeclines)
{
    const std::string head = "{\\rtf1\\ansi\\ansicpg1252\\uc1{\\fonttbl{\\f0 Tahoma;}}\\pard\\f0 ";
    for (const char* declined : {"one\\par two\\par}", "a\\tab b}", "\\u7? bell}", "\\zz odd}", "\\f9 x}", "open"}) {
        std::wstring plain;
        EXPECT_FALSE(ReadControlRtfPlainText(head + declined, plain)) << declined;
    }
    HWND edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    for (std::string text :
         {"Paris",
          "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs28 "
          "Card \\b bold\\b0  \\i\\ul it\\ulnone\\i0  \\cf1 red\\cf0  \\f1 mono\\f0 }",
          "  braces {} and \\\\ back  ", "caf\xe9 \x80 na\xefve \xfc\xdf", "{\\rtf1\\ansi\\f0 euro \\u8364? sign}", "",
          "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Tahoma;}{\\f1\\fcharset161 Tahoma;}{\\f2\\fcharset204 Arial;}}\\f0 "
          "x \\f1\\u954?\\u945?\\u955?\\f0  \\f2\\u1082?\\u1086?\\u1090?\\f0  \\u945?\\u1078?}"}) {
        LoadCardText(edit, text);
        std::string rtf = StreamOutRtf(edit);
        rtf = rtf.substr(0, rtf.find('\0'));
        LoadCardText(edit, rtf);
        std::wstring plain;
        EXPECT_TRUE(ReadControlRtfPlainText(rtf, plain)) << rtf;
        EXPECT_EQ(GetRichTextW(edit), plain) << rtf;
    }
    DestroyWindow(edit);
}
