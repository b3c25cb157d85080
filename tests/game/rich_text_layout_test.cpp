// Rich-text layout on screen, memory, metafile and printer devices: formats kept, lines wrapped and
// reported, the fit test and the point-size search against trying every size.
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "tests/game/game_fixture.h"

namespace {

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
    // Renders on a white bitmap (or the device given); laidOut and usedHeight receive what it reports.
    Pixels Render(int width, int height, HDC device = nullptr)
    {
        return DrawOnWhite(width, height, [&](HDC memory) {
            laidOut =
                RenderRichText(edit, device ? device : memory, screen, RECT{0, 0, width, height}, false, &usedHeight);
        });
    }
    bool Fits(HDC dc, int points, LONG width, LONG height)
    {
        return RichTextFits(edit, points, dc, RECT{0, 0, width, height}, n);
    }
    HWND edit = nullptr;
    HDC screen = nullptr;
    int n = 0, laidOut = 0, usedHeight = 0;
};

} // namespace

// Plain text is drawn black in its first line at its size (runs in colour: the card face test); a narrow
// rectangle wraps and reports only the lines that fit, and always the first; a long line drawn into
// a metafile is recorded (mended: it crashed the height measurement).
TEST_F(RichTextLayout, TextIsLaidOutInItsFormatAndWraps)
{
    Load("France");
    Pixels pixels = Render(400, 100);
    EXPECT_TRUE(laidOut == n + 1 && usedHeight > 8 && usedHeight < 30) << usedHeight;
    EXPECT_GT(pixels.Count(RGB(0, 0, 0)), 20);
    EXPECT_TRUE(std::all_of(pixels.Data.begin() + 400 * usedHeight, pixels.Data.end(),
                            [](COLORREF c) { return c == RGB(255, 255, 255); }));
    Load("one two three four five six seven eight nine ten");
    Render(2000, 200);
    int line = usedHeight;
    Render(60, 2000);
    EXPECT_TRUE(laidOut == n + 1 && usedHeight >= 4 * line);
    Render(60, line * 2);
    EXPECT_TRUE(usedHeight == 2 * line && laidOut > 3 && laidOut < n);
    Render(60, 1);
    EXPECT_TRUE(usedHeight == line && laidOut > 0);
    Load(std::string(100000, 'a'));
    HDC metafile = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    Render(400, 100, metafile);
    HENHMETAFILE recorded = CloseEnhMetaFile(metafile);
    EXPECT_TRUE(laidOut > 0 && GetEnhMetaFileBits(recorded, 0, nullptr) > 1000u)
        << laidOut << " " << GetEnhMetaFileBits(recorded, 0, nullptr);
    DeleteEnhMetaFile(recorded);
}

// A text fits when it lays out whole on one line; the point-size search finds, for every text and
// area, the size that trying 1, 3, 5, ... points in turn finds: 8 for a text that fits at every size,
// 1 for one that fits at none. The cards' control keeps the first paragraph; sizes keep bold and
// colour, and memory, metafile and printer devices measure in their own pixels.
TEST_F(RichTextLayout, FitTestPointSizeSearchAndDevices)
{
    Load("France\r\nParis");
    EXPECT_EQ(6, n);
    EXPECT_TRUE(Fits(screen, 10, 400, 300) && !Fits(screen, 10, 20, 300) && !Fits(screen, 10, 400, 5));
    const std::string red = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}{\\colortbl ;\\red255\\green0"
                            "\\blue0;}\\f0\\cf1 ";
    std::string many = "{\\rtf1\\ansi "; // more format changes than runs are read
    while (many.size() < 6000)
        many += "\\b x\\b0 y";
    const struct {
        std::string Text;
        RECT Area;
    } cases[] = {
        {"France", {0, 0, 200, 150}},
        {red + "Card \\b 3\\b0}", {210, 4, 316, 170}},
        {red + "A rather long \\f1 sentence\\f0  on a small card}", {3, 3, 97, 57}},
        {"Wide", {0, 0, 1200, 40}},
        {".", {0, 0, 1200, 2400}},
        {"France\r\nParis", {0, 0, 400, 300}},
        {std::string(300, 'w') + " w", {0, 0, 40, 300}},
        {"Empty area", {0, 0, 0, 0}},
        {many + "}", {0, 0, 200, 150}},
        {red + "sizes \\fs40 and\\fs20  a\\line break}", {0, 0, 200, 150}},
    };
    for (const auto& c : cases) {
        Load(c.Text);
        int points = 1;
        while (points < 1000 && RichTextFits(edit, points, screen, c.Area, n))
            points += 2;
        if (points >= 1000)
            points = 8;
        else if (points < 3)
            points = 1;
        else if (!RichTextFits(edit, points -= 1, screen, c.Area, n))
            --points;
        EXPECT_EQ(points, FitRichTextPointSize(edit, screen, c.Area, n)) << c.Text;
    }
    Load("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs20 a \\cf1\\b red}");
    SetRichTextPointSize(edit, 12);
    SendMessageA(edit, EM_SETSEL, 3, 4);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE((format.dwEffects & CFE_BOLD) && format.crTextColor == RGB(255, 0, 0) && format.yHeight == 240);
    int height = MeasureRichTextHeight(edit, screen);
    HDC memory = CreateCompatibleDC(screen), metafile = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    Render(400, 100, metafile);
    EXPECT_TRUE(height == MeasureRichTextHeight(edit, memory) && height == usedHeight && laidOut == n + 1);
    DeleteDC(memory);
    DeleteEnhMetaFile(CloseEnhMetaFile(metafile));
    char name[256] = "";
    DWORD size = sizeof name;
    HDC printer = GetDefaultPrinterA(name, &size) ? CreateDCA("WINSPOOL", name, nullptr, nullptr) : nullptr;
    if (!printer)
        GTEST_SKIP() << "no printer";
    int dpi = GetDeviceCaps(printer, LOGPIXELSY), line = MeasureRichTextHeight(edit, printer);
    EXPECT_NEAR(line, height * dpi / GetDeviceCaps(screen, LOGPIXELSY), line / 10 + 1);
    EXPECT_TRUE(Fits(printer, 12, dpi * 2, line * 3) && !Fits(printer, 12, dpi / 4, line * 3));
    DeleteDC(printer);
}
