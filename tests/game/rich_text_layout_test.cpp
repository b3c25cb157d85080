// Rich-text layout: ranges formatted for screen, memory, metafile and printer devices (run by run
// where the platform's control formats nothing), the fit test, the height and the point-size search.
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "tests/game/game_fixture.h"

#include <commdlg.h>

namespace {

const char RedBoldRtf[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}"
                          "\\pard\\f0\\fs20 black \\cf1\\b red\\b0\\cf0  black\\par}";

// A hidden control holding text, with the card text defaults.
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
        ASSERT_NE(nullptr, edit);
        LoadCardText(edit, text);
    }
    int Length()
    {
        GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
        return static_cast<int>(SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    }
    // Renders the text on a white bitmap; laidOut and height receive what RenderRichText reports.
    Pixels Render(int width, int height)
    {
        return DrawOnWhite(width, height, [&](HDC memory) {
            RECT all = {0, 0, width, height};
            laidOut = RenderRichText(edit, memory, screen, all, false, &usedHeight);
        });
    }
    CHARFORMAT2A FormatAt(int from, int to)
    {
        SendMessageA(edit, EM_SETSEL, from, to);
        CHARFORMAT2A format = {};
        format.cbSize = sizeof format;
        SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
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
    int laidOut = 0, usedHeight = 0;
};

int CountNotWhite(const Pixels& pixels, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += pixels.At(x, y) != RGB(255, 255, 255);
    return n;
}

} // namespace

TEST_F(RichTextLayout, WholeTextIsLaidOutInItsFormatWithItsHeight)
{
    Load("France"); // plain text takes the new text format
    CHARFORMAT2A format = FormatAt(0, -1);
    EXPECT_STREQ("Tahoma", format.szFaceName);
    EXPECT_EQ(0u, format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE));
    EXPECT_EQ(200, format.yHeight);
    Pixels pixels = Render(400, 100);
    EXPECT_EQ(Length() + 1, laidOut);
    SIZE extent = Extent(screen, 10, FW_NORMAL, "France");
    EXPECT_EQ(extent.cy, usedHeight);
    // Drawn in the first line, left aligned, no wider than the text.
    EXPECT_GT(CountNotWhite(pixels, 0, 0, extent.cx + 1, usedHeight), 20);
    EXPECT_EQ(0, CountNotWhite(pixels, extent.cx + 2, 0, 400, 100));
    EXPECT_EQ(0, CountNotWhite(pixels, 0, usedHeight, 400, 100));
    // Runs keep their colour and font.
    Load(RedBoldRtf);
    pixels = Render(400, 60);
    EXPECT_GT(CountReddish(pixels), 10);
    EXPECT_GT(pixels.Count(RGB(0, 0, 0)), 10);
}

TEST_F(RichTextLayout, NarrowRectangleWrapsAndReportsWhatFits)
{
    Load("one two three four five six seven eight nine ten");
    Render(2000, 200);
    EXPECT_EQ(Length() + 1, laidOut);
    int lineHeight = usedHeight;
    Render(60, 2000);
    EXPECT_EQ(Length() + 1, laidOut);
    EXPECT_GE(usedHeight, 4 * lineHeight);
    // Only the lines that fit are laid out; the first line always is.
    Render(60, lineHeight * 2);
    EXPECT_EQ(2 * lineHeight, usedHeight);
    EXPECT_GT(laidOut, 3);
    EXPECT_LT(laidOut, Length());
    Render(60, 1);
    EXPECT_EQ(lineHeight, usedHeight);
    EXPECT_GT(laidOut, 0);
}

// A text fits when it lays out whole on one line of the area; the search finds the largest size
// that fits, and 1 point for a text that fits nowhere.
TEST_F(RichTextLayout, FitTestAndPointSizeSearch)
{
    const RECT area = {0, 0, 400, 300}, narrow = {0, 0, 20, 300}, flat = {0, 0, 400, 5};
    Load("France");
    EXPECT_TRUE(RichTextFits(edit, 10, screen, area, Length()));
    EXPECT_FALSE(RichTextFits(edit, 10, screen, narrow, Length()));
    EXPECT_FALSE(RichTextFits(edit, 10, screen, flat, Length()));
    RECT card = {10, 10, 210, 160};
    int points = FitRichTextPointSize(edit, screen, card, Length());
    EXPECT_GT(points, 20);
    EXPECT_TRUE(RichTextFits(edit, points, screen, card, Length()));
    EXPECT_FALSE(RichTextFits(edit, points + 1, screen, card, Length()));
    EXPECT_EQ(1, FitRichTextPointSize(edit, screen, RECT{0, 0, 0, 0}, Length()));
    Load("France\r\nParis"); // the cards' single-line control keeps the first paragraph
    EXPECT_EQ(6, Length());
    EXPECT_TRUE(RichTextFits(edit, 10, screen, area, Length()));
    std::string words;
    for (int i = 0; i < 100; ++i)
        words += "word ";
    Load(words);
    EXPECT_EQ(1, FitRichTextPointSize(edit, screen, RECT{0, 0, 40, 300}, Length()));
    Load("."); // fits at every size up to the largest
    EXPECT_EQ(8, FitRichTextPointSize(edit, screen, RECT{0, 0, 1200, 2400}, Length()));
}

TEST_F(RichTextLayout, MemoryMetafileAndPrinterDevicesMeasureInTheirOwnPixels)
{
    Load(RedBoldRtf);
    SetRichTextPointSize(edit, 12); // keeping faces, colours and effects
    CHARFORMAT2A format = FormatAt(8, 9);
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    EXPECT_EQ(RGB(255, 0, 0), format.crTextColor);
    EXPECT_EQ(240, format.yHeight);
    int screenHeight = MeasureRichTextHeight(edit, screen);
    HDC memory = CreateCompatibleDC(screen);
    EXPECT_EQ(screenHeight, MeasureRichTextHeight(edit, memory));
    DeleteDC(memory);
    // Drawing into a metafile records the runs.
    HDC metafile = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    RECT rect = {0, 0, 400, 100};
    int height = 0;
    EXPECT_EQ(Length() + 1, RenderRichText(edit, metafile, screen, rect, false, &height));
    EXPECT_EQ(screenHeight, height);
    HENHMETAFILE recorded = CloseEnhMetaFile(metafile);
    EXPECT_GT(GetEnhMetaFileBits(recorded, 0, nullptr), 200u);
    DeleteEnhMetaFile(recorded);
    // A printer measures in its own dots.
    PRINTDLGA print = {};
    print.lStructSize = sizeof print;
    print.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgA(&print) || !print.hDC)
        GTEST_SKIP() << "no printer";
    int dpi = GetDeviceCaps(print.hDC, LOGPIXELSY), line = Extent(print.hDC, 12, FW_BOLD, "x").cy;
    EXPECT_EQ(line, MeasureRichTextHeight(edit, print.hDC));
    RECT half = {0, 0, GetDeviceCaps(print.hDC, HORZRES) / 2, line * 3}, quarterInch = {0, 0, dpi / 4, line * 3};
    EXPECT_TRUE(RichTextFits(edit, 12, print.hDC, half, Length()));
    EXPECT_FALSE(RichTextFits(edit, 12, print.hDC, quarterInch, Length()));
    DeleteDC(print.hDC);
    GlobalFree(print.hDevMode);
    GlobalFree(print.hDevNames);
}
