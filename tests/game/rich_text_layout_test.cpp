// Rich-text layout: ranges formatted for screen, memory, metafile and printer devices (run by run
// where the platform's control formats nothing), the fit test, the height and the point-size search.
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "tests/game/game_fixture.h"

#include <commdlg.h>

namespace {

const char RedBoldRtf[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}"
                          "\\pard\\f0\\fs20 black \\cf1\\b red\\b0\\cf0  black\\par}";

class RichTextLayout : public testing::Test {
  protected:
    void SetUp() override { screen = GetDC(nullptr); }
    void TearDown() override
    {
        ReleaseDC(nullptr, screen);
        DestroyWindow(edit);
    }
    void Load(const std::string& text)
    {
        DestroyWindow(edit);
        edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        LoadCardText(edit, text);
        GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
        n = static_cast<int>(SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    }
    // Renders the text on a white bitmap; laidOut and usedHeight receive what RenderRichText reports.
    Pixels Render(int width, int height)
    {
        return DrawOnWhite(width, height, [&](HDC memory) {
            laidOut = RenderRichText(edit, memory, screen, RECT{0, 0, width, height}, false, &usedHeight);
        });
    }
    // The width of a text in Tahoma of that size on the device, and the height of its line.
    static SIZE Extent(HDC dc, int points, int weight, const char* text)
    {
        HFONT font = CreateFontA(-MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, weight, 0, 0, 0,
                                 DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
        HGDIOBJ old = SelectObject(dc, font);
        SIZE extent;
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
        DeleteObject(SelectObject(dc, old));
        return extent;
    }
    HWND edit = nullptr;
    HDC screen = nullptr;
    int n = 0, laidOut = 0, usedHeight = 0;
};

int CountNotWhite(const Pixels& pixels, int left, int top, int right, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += pixels.At(x, y) != RGB(255, 255, 255);
    return count;
}

} // namespace

// Plain text takes the new text format (Tahoma 10, regular) and is drawn in its first line, left
// aligned; runs keep colour and font; a narrow rectangle wraps and reports only the lines that fit.
TEST_F(RichTextLayout, TextIsLaidOutInItsFormatAndWraps)
{
    Load("France");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ("Tahoma", format.szFaceName);
    EXPECT_EQ(200u, format.yHeight + (format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE)));
    Pixels pixels = Render(400, 100);
    SIZE extent = Extent(screen, 10, FW_NORMAL, "France");
    EXPECT_EQ(n + 1, laidOut);
    EXPECT_EQ(extent.cy, usedHeight);
    EXPECT_GT(CountNotWhite(pixels, 0, 0, extent.cx + 1, usedHeight), 20);
    EXPECT_EQ(0, CountNotWhite(pixels, extent.cx + 2, 0, 400, 100) + CountNotWhite(pixels, 0, usedHeight, 400, 100));
    Load(RedBoldRtf);
    pixels = Render(400, 60);
    EXPECT_TRUE(CountReddish(pixels) > 10 && pixels.Count(RGB(0, 0, 0)) > 10);
    Load("one two three four five six seven eight nine ten");
    Render(2000, 200);
    int lineHeight = usedHeight;
    Render(60, 2000);
    EXPECT_EQ(n + 1, laidOut);
    EXPECT_GE(usedHeight, 4 * lineHeight);
    Render(60, lineHeight * 2);
    EXPECT_EQ(2 * lineHeight, usedHeight);
    EXPECT_TRUE(laidOut > 3 && laidOut < n);
    Render(60, 1); // the first line always is
    EXPECT_TRUE(usedHeight == lineHeight && laidOut > 0);
}

// A text fits when it lays out whole on one line of the area; the search finds the largest size
// that fits, 1 point for a text that fits nowhere and 8 for one that fits at every size.
TEST_F(RichTextLayout, FitTestAndPointSizeSearch)
{
    Load("France");
    EXPECT_TRUE(RichTextFits(edit, 10, screen, RECT{0, 0, 400, 300}, n));
    EXPECT_FALSE(RichTextFits(edit, 10, screen, RECT{0, 0, 20, 300}, n));
    EXPECT_FALSE(RichTextFits(edit, 10, screen, RECT{0, 0, 400, 5}, n));
    RECT card = {10, 10, 210, 160};
    int points = FitRichTextPointSize(edit, screen, card, n);
    EXPECT_GT(points, 20);
    EXPECT_TRUE(RichTextFits(edit, points, screen, card, n) && !RichTextFits(edit, points + 1, screen, card, n));
    EXPECT_EQ(1, FitRichTextPointSize(edit, screen, RECT{0, 0, 0, 0}, n));
    Load("France\r\nParis"); // the cards' single-line control keeps the first paragraph
    EXPECT_EQ(6, n);
    std::string words;
    for (int i = 0; i < 100; ++i)
        words += "word ";
    Load(words);
    EXPECT_EQ(1, FitRichTextPointSize(edit, screen, RECT{0, 0, 40, 300}, n));
    Load(".");
    EXPECT_EQ(8, FitRichTextPointSize(edit, screen, RECT{0, 0, 1200, 2400}, n));
}

// Sizes keep faces, colours and effects; memory, metafile and printer devices measure in their own
// pixels, and drawing into a metafile records the runs.
TEST_F(RichTextLayout, DevicesMeasureInTheirOwnPixels)
{
    Load(RedBoldRtf);
    SetRichTextPointSize(edit, 12);
    SendMessageA(edit, EM_SETSEL, 8, 9);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE((format.dwEffects & CFE_BOLD) && format.crTextColor == RGB(255, 0, 0) && format.yHeight == 240);
    int screenHeight = MeasureRichTextHeight(edit, screen);
    HDC memory = CreateCompatibleDC(screen);
    EXPECT_EQ(screenHeight, MeasureRichTextHeight(edit, memory));
    DeleteDC(memory);
    HDC metafile = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    int height = 0;
    EXPECT_EQ(n + 1, RenderRichText(edit, metafile, screen, RECT{0, 0, 400, 100}, false, &height));
    EXPECT_EQ(screenHeight, height);
    HENHMETAFILE recorded = CloseEnhMetaFile(metafile);
    EXPECT_GT(GetEnhMetaFileBits(recorded, 0, nullptr), 200u);
    DeleteEnhMetaFile(recorded);
    PRINTDLGA print = {};
    print.lStructSize = sizeof print;
    print.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgA(&print) || !print.hDC)
        GTEST_SKIP() << "no printer";
    int dpi = GetDeviceCaps(print.hDC, LOGPIXELSY), line = Extent(print.hDC, 12, FW_BOLD, "x").cy;
    EXPECT_EQ(line, MeasureRichTextHeight(edit, print.hDC));
    EXPECT_TRUE(RichTextFits(edit, 12, print.hDC, RECT{0, 0, GetDeviceCaps(print.hDC, HORZRES) / 2, line * 3}, n));
    EXPECT_FALSE(RichTextFits(edit, 12, print.hDC, RECT{0, 0, dpi / 4, line * 3}, n));
    DeleteDC(print.hDC);
    GlobalFree(print.hDevMode);
    GlobalFree(print.hDevNames);
}
