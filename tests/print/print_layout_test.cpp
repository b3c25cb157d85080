// Cards on paper, drawn on an A4 page of the PDF printer's resolution (300 dpi) and read back as
// pixels; and print jobs whose start fails.
#include "print/print_layout.h"

#include "print_test_support.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// A context of the default printer on A4 paper (only an information context when asked).
HDC PrinterDC(bool landscape = false, bool informationOnly = false)
{
    char name[256] = "";
    DWORD size = sizeof name;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_ORIENTATION;
    mode.dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    return GetDefaultPrinterA(name, &size) ? (informationOnly ? CreateICA : CreateDCA)("WINSPOOL", name, nullptr, &mode)
                                           : nullptr;
}

const char WideText[] = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Tahoma;}}\\f0\\fs20 A text as wide as its box\\par}";

class PrintLayoutTest : public testing::Test {
  protected:
    void SetUp() override
    {
        REQUIRE_PRINTER();
        folder = MakeScratchFolder("print-layout");
    }
    void TearDown() override { ClosePage(); }

    static int Mm(double mm) { return static_cast<int>(std::lround(mm * 300 / 25.4)); }
    static bool IsInk(COLORREF c) { return GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11 < 12800; }
    static PixelColor Solid(COLORREF color)
    {
        return [color](int, int) { return color; };
    }
    // The first card's content area: the card 12.5 mm from the page's corner, less 1 mm all round.
    static RECT Content() { return {Mm(13.5), Mm(13.5), Mm(111.5), Mm(61.5)}; }

    // Stretches of ink (start, length) along row `at`, or with down along column `at`.
    static std::vector<std::pair<int, int>> InkRuns(const Pixels& p, int at, int from, int to, bool down = false)
    {
        std::vector<std::pair<int, int>> runs;
        for (int i = std::max(from, 0); i < std::min(to, down ? p.Height : p.Width); ++i) {
            if (!IsInk(down ? p.At(at, i) : p.At(i, at)))
                continue;
            if (!runs.empty() && runs.back().first + runs.back().second == i)
                ++runs.back().second;
            else
                runs.push_back({i, 1});
        }
        return runs;
    }
    // The smallest rectangle holding every non-white pixel of the area; all 0 when there is none.
    static RECT InkBounds(const Pixels& p, const RECT& area)
    {
        RECT ink = {area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (p.At(x, y) != RGB(255, 255, 255))
                    ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1),
                           std::max<LONG>(ink.bottom, y + 1)};
        return ink.left < ink.right ? ink : RECT{0, 0, 0, 0};
    }
    // True when a solid 1 mm frame of 100 mm x 50 mm has its top-left corner at (left, top) mm:
    // each edge one unbroken run of ink, 101 mm or 51 mm long with the pen's square ends.
    static bool FrameAt(const Pixels& p, double left, double top)
    {
        bool found = true;
        for (int edge = 0; edge < 4; ++edge) {
            bool down = edge >= 2;
            double at = down ? left + (edge - 2) * 100 : top + edge * 50, from = down ? top : left;
            auto runs = InkRuns(p, Mm(at), Mm(from - 2), Mm(from + (down ? 52 : 102)), down);
            found = found && runs.size() == 1 && std::abs(runs[0].first - Mm(from - 0.5)) <= 3 &&
                    std::abs(runs[0].second - Mm(down ? 51 : 101)) <= 4;
        }
        return found;
    }

    // Draws the cards on a white page: a memory context made compatible with the printer, its
    // document started into the null device so that nothing is printed. Its pixels.
    Pixels PrintOnPage(const PrintList& items, int rounded = 0, bool landscape = false)
    {
        ClosePage();
        HDC printer = PrinterDC(landscape, true);
        dc = CreateCompatibleDC(printer);
        DeleteDC(printer);
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), GetDeviceCaps(dc, HORZRES), -GetDeviceCaps(dc, VERTRES), 1, 32}};
        void* bits = nullptr;
        old = SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        PatBlt(dc, 0, 0, info.bmiHeader.biWidth, -info.bmiHeader.biHeight, WHITENESS);
        DOCINFOA document = {sizeof document, "test page", "NUL"};
        StartDocA(dc, &document);
        errors.clear();
        PrintCards("layout test", dc, items, rounded, errors);
        return CaptureDC(dc, info.bmiHeader.biWidth, -info.bmiHeader.biHeight);
    }
    void ClosePage()
    {
        if (dc) {
            EndDoc(dc);
            DeleteObject(SelectObject(dc, old));
            DeleteDC(dc);
        }
        dc = nullptr;
    }

    std::string folder;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
    PrintErrorList errors;
};

// The first card at the margins; A4 portrait holds one column of four, a fifth card goes
// to a new page (on this one bitmap over the first); landscape holds three rows of two.
TEST_F(PrintLayoutTest, CardsFillRowsAndColumnsThenNewPages)
{
    const struct {
        int Cards, Columns, Places;
    } rows[] = {{1, 1, 4}, {4, 1, 4}, {5, 1, 4}, {6, 2, 6}};
    for (const auto& row : rows) {
        Pixels p = PrintOnPage(PrintList(row.Cards), 0, row.Columns == 2);
        for (int i = 0; i < row.Places; ++i)
            EXPECT_EQ(i < row.Cards, FrameAt(p, 12.5 + i % row.Columns * 115, 12.5 + i / row.Columns * 65))
                << row.Cards << " cards, " << row.Columns << " columns, card " << i;
    }
    EXPECT_TRUE(errors.empty());
}

// Cut lines: dashes of 1.5 mm, 0.5 mm apart, 0.2 mm thick; frames solid. With the flag, the 10 mm
// corner ellipse leaves the corner points of cut line, frame and content white.
TEST_F(PrintLayoutTest, DashedCutLinesSolidFramesAndCornersByTheFlag)
{
    Pixels p = PrintOnPage({PrintItem()});
    auto dashes = InkRuns(p, Mm(10), Mm(10) + 40, Mm(115) - 40);
    auto cutThickness = InkRuns(p, dashes[1].first + dashes[1].second / 2, Mm(10) - 10, Mm(10) + 10, true);
    ASSERT_TRUE(dashes.size() > 40 && cutThickness.size() == 1);
    for (size_t i = 1; i + 1 < dashes.size(); ++i)
        EXPECT_TRUE(std::abs(dashes[i].second - Mm(1.5)) <= 2 &&
                    std::abs(dashes[i].first - dashes[i - 1].first - dashes[i - 1].second - Mm(0.5)) <= 2);
    EXPECT_NEAR(cutThickness[0].second, Mm(0.2), 1);
    EXPECT_TRUE(FrameAt(p, 12.5, 12.5));

    // A black picture with the content area's proportions covers it to its corners.
    std::string picture = folder + "\\content.bmp";
    WritePicture(picture, PictureFormat::Bmp, 579, 284, Solid(RGB(0, 0, 0)));
    auto inkNear = [](const Pixels& page, int x, int y, int half) {
        return InkBounds(page, {x - half, y - half, x + half + 1, y + half + 1}).right > 0;
    };
    RECT content = Content();
    for (int rounded : {0, 1}) {
        p = PrintOnPage({{"", picture}}, rounded);
        ASSERT_TRUE(errors.empty()) << errors[0];
        EXPECT_EQ(!rounded, inkNear(p, Mm(10), Mm(10), rounded ? 6 : 2)) << "cut line corner, rounded " << rounded;
        EXPECT_EQ(!rounded, inkNear(p, Mm(12.5), Mm(12.5), rounded ? 6 : 1)) << "frame corner, rounded " << rounded;
        // 1 mm in from the content's corners: outside the rounded clipping, inside the frame's curve.
        EXPECT_EQ(!rounded, IsInk(p.At(content.left + 13, content.top + 13))) << rounded;
        EXPECT_EQ(!rounded, IsInk(p.At(content.right - 14, content.bottom - 14))) << rounded;
        int middle = (content.left + content.right) / 2;
        EXPECT_TRUE(inkNear(p, middle, Mm(10), 1) && inkNear(p, middle, Mm(12.5), 1) &&
                    IsInk(p.At(middle, content.top + 1)));
    }
}

// Picture and text share the card 1 mm apart; either alone uses the whole area.
TEST_F(PrintLayoutTest, PictureLeftTextRightOrEitherAloneFillingTheCard)
{
    std::string wide = folder + "\\wide.png", wider = folder + "\\wider.bmp";
    ASSERT_TRUE(WritePicture(wide, PictureFormat::Png, 200, 100, Solid(RGB(0, 0, 255))));
    WritePicture(wider, PictureFormat::Bmp, 300, 100, Solid(RGB(0, 0, 0)));
    RECT c = Content();
    int width = c.right - c.left, half = width / 2, middleY = (c.top + c.bottom) / 2;

    Pixels p = PrintOnPage({{WideText, wide}});
    ASSERT_TRUE(errors.empty()) << errors[0];
    RECT pictureInk = InkBounds(p, {c.left, c.top, c.left + half, c.bottom});
    RECT textInk = InkBounds(p, {c.left + half, c.top, c.right, c.bottom});
    EXPECT_TRUE(std::abs(pictureInk.left - c.left) <= 1 && std::abs(pictureInk.right - c.left - half) <= 1);
    EXPECT_NEAR((pictureInk.top + pictureInk.bottom) / 2, middleY, 2);
    EXPECT_GE(textInk.left - pictureInk.right, Mm(1) - 1);
    EXPECT_NEAR((textInk.left + textInk.right) / 2, c.left + half + (half + Mm(1)) / 2, 30);
    EXPECT_GT(textInk.right - textInk.left, half / 2);

    RECT ink = InkBounds(PrintOnPage({{"", wider}}), c);
    EXPECT_TRUE(std::abs(ink.left - c.left) <= 1 && std::abs(ink.right - c.right) <= 1);
    EXPECT_NEAR(ink.bottom - ink.top, width / 3, 2);
    ink = InkBounds(PrintOnPage({{WideText, ""}}), {c.left + 2, c.top + 2, c.right - 2, c.bottom - 2});
    EXPECT_GT(ink.right - ink.left, width * 2 / 3);
    EXPECT_NEAR(ink.left + ink.right + ink.top + ink.bottom, c.left + c.right + 2 * middleY, 40); // centred
}

// Mended: a metafile that cannot be opened is named in its entry; pictures without width or
// height are refused with a text, not divided by; %VARIABLE% names are expanded as on the board.
// Each failing card adds its own entry and draws nothing.
TEST_F(PrintLayoutTest, PicturesThatFailAreReportedPerCardAndNamesExpanded)
{
    WritePicture(folder + "\\black.bmp", PictureFormat::Bmp, 20, 10, Solid(RGB(0, 0, 0)));
    WriteEnhancedMetafile(folder + "\\black.emf", 200, 100, RGB(0, 0, 0));
    SetEnvironmentVariableA("MNEMORA_TEST_PICTURES", folder.c_str());
    std::vector<std::pair<std::string, std::string>> rows = {
        // name, error: "" when drawn, "*" any text
        {folder + "\\missing.png", "CreateDecoderFromFilename failed"},
        {folder + "\\missing.emf", "GetEnhMetaFile failed, filename " + folder + "\\missing.emf"},
        {"%MNEMORA_TEST_PICTURES%\\black.bmp", ""},
        {"%MNEMORA_TEST_PICTURES%\\black.emf", ""}};
    for (int size : {0, 1, 2}) { // 0 x 200, 300 x 0, 0 x 0
        std::string flat = folder + "\\flat" + std::to_string(size);
        WriteEnhancedMetafile(flat + ".emf", size == 1 ? 300 : 0, size == 0 ? 200 : 0, 0);
        WriteBmpHeader(flat + ".bmp", size == 1 ? 300 : 0, size == 0 ? 200 : 0);
        rows.push_back({flat + ".emf", "Picture has no width or height, filename " + flat + ".emf"});
        rows.push_back({flat + ".bmp", "*"});
    }
    RECT c = Content();
    for (const auto& row : rows) {
        Pixels p = PrintOnPage({{"", row.first}, {"text", row.first}});
        if (row.second.empty()) {
            EXPECT_TRUE(errors.empty() && IsInk(p.At((c.left + c.right) / 2, (c.top + c.bottom) / 2))) << row.first;
            continue;
        }
        ASSERT_EQ(2u, errors.size()) << row.first;
        EXPECT_TRUE(errors[0] == errors[1] && (row.second == "*" ? !errors[0].empty() : row.second == errors[0]))
            << errors[0];
        EXPECT_EQ(0, InkBounds(p, {c.left + 2, c.top + 2, c.right - 2, c.bottom - 2}).right) << row.first;
    }
    SetEnvironmentVariableA("MNEMORA_TEST_PICTURES", nullptr);
}

TEST_F(PrintLayoutTest, DrawingCardsLeavesNoObjectsBehind)
{
    std::string bitmap = folder + "\\leak.bmp", metafile = folder + "\\leak.emf";
    WritePicture(bitmap, PictureFormat::Bmp, 40, 20, Solid(RGB(0, 128, 0)));
    WriteEnhancedMetafile(metafile, 200, 100, RGB(0, 0, 0));
    PrintList items = {{WideText, bitmap}, {"plain", metafile}, {"", folder + "\\missing.png"}, {WideText, ""}};
    PrintOnPage(items, 1);
    int gdi = CountGdiObjects(), user = CountUserObjects();
    PrintOnPage(items, 1);
    PrintOnPage(items, 0);
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
}

} // namespace
