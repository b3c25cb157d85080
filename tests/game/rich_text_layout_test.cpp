// Rich-text layout: ranges formatted for screen, memory, metafile and printer-like devices, the fit
// test, the height measurement and the point-size search.
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char RedBoldRtf[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}"
                          "\\pard\\f0\\fs20 black \\cf1\\b red\\b0\\cf0  black\\par}";

// A hidden control holding text, with the card text defaults; destroyed with the fixture.
class RichTextLayout : public testing::Test {
  protected:
    void SetUp() override
    {
        edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        ASSERT_NE(nullptr, edit);
        screen = GetDC(nullptr);
    }
    void TearDown() override
    {
        ReleaseDC(nullptr, screen);
        DestroyWindow(edit);
    }
    void Load(const std::string& text) { LoadCardText(edit, text); }
    // Cards use a single-line control, which keeps a text's first paragraph only; texts of
    // several paragraphs are laid out in a multi-line one.
    void LoadParagraphs(const std::string& text)
    {
        DestroyWindow(edit);
        edit = CreateWindowExA(0, "RichEdit20A", "", ES_MULTILINE, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        LoadCardText(edit, text);
    }
    int Length()
    {
        GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
        return static_cast<int>(SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    }
    // Renders the text on a white memory bitmap of the given size; returns its pixels.
    Pixels Render(int width, int height, int* laidOut = nullptr, int* usedHeight = nullptr)
    {
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        RECT all = {0, 0, width, height};
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        int h = 0;
        int r = RenderRichText(edit, memory, screen, all, false, &h);
        Pixels pixels = CaptureDC(memory, width, height);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        if (laidOut)
            *laidOut = r;
        if (usedHeight)
            *usedHeight = h;
        return pixels;
    }
    HWND edit = nullptr;
    HDC screen = nullptr;
};

int CountNotWhite(const Pixels& pixels, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += pixels.At(x, y) != RGB(255, 255, 255);
    return n;
}

int CountReddish(const Pixels& pixels)
{
    int n = 0;
    for (COLORREF c : pixels.Data)
        n += GetRValue(c) > 180 && GetGValue(c) < 100 && GetBValue(c) < 100;
    return n;
}

// The point sizes the control is given, read from its EM_SETCHARFORMAT messages.
std::vector<int> SizesSet;
WNDPROC OriginalEditProc = nullptr;

LRESULT CALLBACK RecordSizes(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == EM_SETCHARFORMAT && lParam) {
        const CHARFORMATA* format = reinterpret_cast<const CHARFORMATA*>(lParam);
        if (format->dwMask & CFM_SIZE)
            SizesSet.push_back(format->yHeight / 20);
    }
    return CallWindowProcA(OriginalEditProc, edit, msg, wParam, lParam);
}

} // namespace

TEST_F(RichTextLayout, PlainTextTakesTheNewTextFormat)
{
    Load("France");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ("Tahoma", format.szFaceName);
    EXPECT_EQ(0u, format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE));
    EXPECT_EQ(200, format.yHeight);
}

TEST_F(RichTextLayout, WholeTextIsLaidOutWithItsHeight)
{
    Load("France");
    int laidOut = 0, height = 0;
    Pixels pixels = Render(400, 100, &laidOut, &height);
    EXPECT_EQ(Length() + 1, laidOut);
    HFONT font = CreateFontA(-MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                             DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICA metrics;
    GetTextMetricsA(screen, &metrics);
    SIZE extent;
    GetTextExtentPoint32A(screen, "France", 6, &extent);
    SelectObject(screen, old);
    DeleteObject(font);
    EXPECT_EQ(metrics.tmHeight, height);
    // Drawn in the first line, left aligned, no wider than the text.
    EXPECT_GT(CountNotWhite(pixels, 0, 0, extent.cx + 1, height), 20);
    EXPECT_EQ(0, CountNotWhite(pixels, extent.cx + 2, 0, 400, 100));
    EXPECT_EQ(0, CountNotWhite(pixels, 0, height, 400, 100));
}

TEST_F(RichTextLayout, RunsKeepTheirColourAndFont)
{
    Load(RedBoldRtf);
    Pixels pixels = Render(400, 60);
    EXPECT_GT(CountReddish(pixels), 10);
    EXPECT_GT(pixels.Count(RGB(0, 0, 0)), 10);
}

TEST_F(RichTextLayout, NarrowRectangleWrapsAndReportsWhatFits)
{
    Load("one two three four five six seven eight nine ten");
    int wideHeight = 0, laidOut = 0, narrowHeight = 0;
    Render(2000, 200, &laidOut, &wideHeight);
    EXPECT_EQ(Length() + 1, laidOut);
    Render(60, 2000, &laidOut, &narrowHeight);
    EXPECT_EQ(Length() + 1, laidOut);
    EXPECT_GE(narrowHeight, 4 * wideHeight);
    // Only the lines that fit are laid out; the first line always is.
    int shortHeight = 0;
    Render(60, wideHeight * 2, &laidOut, &shortHeight);
    EXPECT_EQ(2 * wideHeight, shortHeight);
    EXPECT_GT(laidOut, 3);
    EXPECT_LT(laidOut, Length());
    Render(60, 1, &laidOut, &shortHeight);
    EXPECT_EQ(wideHeight, shortHeight);
    EXPECT_GT(laidOut, 0);
}

TEST_F(RichTextLayout, ParagraphsStackAndCentre)
{
    LoadParagraphs("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 \\qc one\\par two\\par three}");
    int laidOut = 0, height = 0;
    Pixels pixels = Render(300, 200, &laidOut, &height);
    EXPECT_EQ(Length() + 1, laidOut);
    EXPECT_EQ(height, MeasureRichTextHeight(edit, screen));
    // Centred: nothing near the left and right edges.
    EXPECT_EQ(0, CountNotWhite(pixels, 0, 0, 100, 200));
    EXPECT_EQ(0, CountNotWhite(pixels, 200, 0, 300, 200));
    EXPECT_GT(CountNotWhite(pixels, 100, 2 * height / 3, 200, height), 10);
    Load("one");
    int lineHeight = 0;
    Render(300, 200, nullptr, &lineHeight);
    EXPECT_EQ(3 * lineHeight, height);
}

TEST_F(RichTextLayout, MeasuredHeightGrowsWithThePointSize)
{
    Load(RedBoldRtf);
    SetRichTextPointSize(edit, 10);
    int small = MeasureRichTextHeight(edit, screen);
    SetRichTextPointSize(edit, 40);
    int large = MeasureRichTextHeight(edit, screen);
    EXPECT_GT(small, 8);
    EXPECT_GT(large, 3 * small);
    // Faces, colours and effects stay as they were.
    SendMessageA(edit, EM_SETSEL, 8, 9);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    EXPECT_EQ(RGB(255, 0, 0), format.crTextColor);
    EXPECT_EQ(800, format.yHeight);
}

TEST_F(RichTextLayout, FitTestAsksForOneLineInTheArea)
{
    Load("France");
    int n = Length();
    RECT area = {0, 0, 400, 300};
    EXPECT_TRUE(RichTextFits(edit, 10, screen, area, n));
    RECT narrow = {0, 0, 20, 300};
    EXPECT_FALSE(RichTextFits(edit, 10, screen, narrow, n));
    RECT flat = {0, 0, 400, 5};
    EXPECT_FALSE(RichTextFits(edit, 10, screen, flat, n));
    Load("France\r\nParis");
    EXPECT_EQ(6, Length());
    EXPECT_TRUE(RichTextFits(edit, 10, screen, area, Length()));
    LoadParagraphs("France\r\nParis");
    EXPECT_FALSE(RichTextFits(edit, 10, screen, area, Length()));
}

TEST_F(RichTextLayout, PointSizeSearchTakesOddStepsAndOneEvenRefinement)
{
    Load("France");
    int n = Length();
    RECT area = {10, 10, 210, 160};
    OriginalEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordSizes)));
    SizesSet.clear();
    int points = FitRichTextPointSize(edit, screen, area, n);
    std::vector<int> tried = SizesSet;
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OriginalEditProc));
    ASSERT_GE(tried.size(), 3u);
    size_t odd = tried.size() - 1;
    for (size_t i = 0; i < odd; ++i)
        EXPECT_EQ(static_cast<int>(2 * i + 1), tried[i]);
    int lastFitting = tried[odd - 1] - 2;
    EXPECT_EQ(lastFitting + 1, tried[odd]);
    EXPECT_TRUE(points == lastFitting || points == lastFitting + 1);
    // The largest size that fits, as a plain search would find it.
    EXPECT_TRUE(RichTextFits(edit, points, screen, area, n));
    EXPECT_FALSE(RichTextFits(edit, points + 1, screen, area, n));
    EXPECT_GT(points, 20);
}

TEST_F(RichTextLayout, PointSizeSearchEdges)
{
    Load(".");
    RECT huge = {0, 0, 1200, 2400};
    EXPECT_EQ(8, FitRichTextPointSize(edit, screen, huge, Length()));
    LoadParagraphs("France\r\nParis");
    RECT area = {0, 0, 400, 300};
    EXPECT_EQ(1, FitRichTextPointSize(edit, screen, area, Length()));
    std::string longText;
    for (int i = 0; i < 100; ++i)
        longText += "word ";
    Load(longText);
    RECT narrow = {0, 0, 40, 300};
    EXPECT_EQ(1, FitRichTextPointSize(edit, screen, narrow, Length()));
    Load("France");
    RECT none = {0, 0, 0, 0};
    EXPECT_EQ(1, FitRichTextPointSize(edit, screen, none, Length()));
}

TEST_F(RichTextLayout, MetafileAndPrinterResolutionsMeasureAlike)
{
    Load(RedBoldRtf);
    SetRichTextPointSize(edit, 12);
    int screenHeight = MeasureRichTextHeight(edit, screen);
    // A device at 300 dots per inch: an enhanced metafile whose reference is the screen reports
    // the screen, so a 300-dpi height is checked against the fonts' own metrics.
    HDC memory = CreateCompatibleDC(screen);
    int measured = MeasureRichTextHeight(edit, memory);
    EXPECT_EQ(screenHeight, measured);
    DeleteDC(memory);
    // Drawing into a metafile records the runs without failing.
    HDC metafile = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    RECT rect = {0, 0, 400, 100};
    int height = 0;
    EXPECT_EQ(Length() + 1, RenderRichText(edit, metafile, screen, rect, false, &height));
    EXPECT_EQ(screenHeight, height);
    HENHMETAFILE recorded = CloseEnhMetaFile(metafile);
    EXPECT_GT(GetEnhMetaFileBits(recorded, 0, nullptr), 200u);
    DeleteEnhMetaFile(recorded);
}

TEST_F(RichTextLayout, RepeatedLayoutLeaksNoObjects)
{
    Load(RedBoldRtf);
    RECT area = {0, 0, 300, 80};
    FitRichTextPointSize(edit, screen, area, Length());
    int before = CountGdiObjects();
    for (int i = 0; i < 5; ++i) {
        FitRichTextPointSize(edit, screen, area, Length());
        MeasureRichTextHeight(edit, screen);
        Render(300, 80);
    }
    EXPECT_EQ(before, CountGdiObjects());
}
