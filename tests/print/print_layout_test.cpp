// Cards on paper, drawn on a page with the PDF printer's resolution (300 dpi) and read back as
// pixels; and real print jobs counted by their pages.
#include "print/print_layout.h"

#include "print_test_support.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

namespace {

// Lengths of the printed card, in millimetres.
const double Margin = 10;
const double CellWidth = 105;
const double CellHeight = 55;
const double CellGap = 10;
const double CardOffset = 2.5; // the card is centred in its cell
const double CardWidth = 100;
const double CardHeight = 50;
const double ContentInset = 1;
// Positions may be off by the truncation of each converted length.
const int Tolerance = 3;

// A solid card frame as found on the page: its centre line.
struct Frame {
    int Left, Top, Right, Bottom;
};

// Finds the solid frames of the page: horizontal edges are rows holding one ink run of at least
// 95 mm (the dashed cut lines hold only short ones), a frame being a top and a bottom edge of the
// same extent about 50 mm apart.
std::vector<Frame> FindFrames(const Pixels& pixels)
{
    struct Edge {
        int First, Last, Start, End;
    };
    std::vector<Edge> edges;
    int minimum = MmToPixels(95);
    for (int y = 0; y < pixels.Height; ++y) {
        for (const InkRun& run : RowInkRuns(pixels, y, 0, pixels.Width)) {
            if (run.Length < minimum)
                continue;
            bool joined = false;
            for (Edge& edge : edges) {
                if (edge.Last == y - 1 && std::abs(edge.Start - run.Start) < 20) {
                    edge.Last = y;
                    // The longest row of the band: its outer rows are shortened by the round joins.
                    if (run.Length > edge.End - edge.Start) {
                        edge.Start = run.Start;
                        edge.End = run.Start + run.Length;
                    }
                    joined = true;
                }
            }
            if (!joined)
                edges.push_back({y, y, run.Start, run.Start + run.Length});
        }
    }
    std::vector<Frame> frames;
    std::vector<bool> used(edges.size(), false);
    for (size_t i = 0; i < edges.size(); ++i) {
        if (used[i])
            continue;
        for (size_t j = i + 1; j < edges.size(); ++j) {
            int distance = edges[j].First - edges[i].First;
            if (!used[j] && std::abs(edges[j].Start - edges[i].Start) < 20 &&
                std::abs(distance - MmToPixels(CardHeight)) < MmToPixels(2)) {
                int halfPen = (edges[i].Last - edges[i].First + 1) / 2;
                frames.push_back({edges[i].Start + halfPen, (edges[i].First + edges[i].Last) / 2,
                                  edges[i].End - halfPen, (edges[j].First + edges[j].Last) / 2});
                used[i] = used[j] = true;
                break;
            }
        }
    }
    return frames;
}

// Expects a card frame whose top-left corner is at (left, top) millimetres, 100 mm x 50 mm.
void ExpectFrameAt(const Frame& frame, double left, double top)
{
    EXPECT_NEAR(frame.Left, MmToPixels(left), Tolerance);
    EXPECT_NEAR(frame.Top, MmToPixels(top), Tolerance);
    EXPECT_NEAR(frame.Right - frame.Left, MmToPixels(CardWidth), Tolerance);
    EXPECT_NEAR(frame.Bottom - frame.Top, MmToPixels(CardHeight), Tolerance);
}

// The content area of the first card of a page, in pixels.
RECT FirstContentArea()
{
    double left = Margin + CardOffset + ContentInset;
    double top = Margin + CardOffset + ContentInset;
    return {MmToPixels(left), MmToPixels(top), MmToPixels(left + CardWidth - 2 * ContentInset),
            MmToPixels(top + CardHeight - 2 * ContentInset)};
}

// Printable areas of 200 mm x 287 mm and 287 mm x 200 mm (A4 less 5 mm all round).
const int Portrait[2] = {2000, 2870};
const int Landscape[2] = {2870, 2000};
const int LandscapeA4[2] = {2970, 2100};

const char WideText[] = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Tahoma;}}\\f0\\fs20 A text as wide as its box\\par}";

class PrintLayoutTest : public testing::Test {
  protected:
    void SetUp() override
    {
        REQUIRE_PRINTER();
        folder = MakeScratchFolder("print-layout");
    }
    void TearDown() override { CloseTestPage(page); }

    // Draws the cards on a fresh page of the given size (tenths of a millimetre) and reads it back.
    Pixels PrintOnPage(const PrintList& items, int rounded = 0, int paperWidth = Portrait[0],
                       int paperLength = Portrait[1])
    {
        CloseTestPage(page);
        EXPECT_TRUE(OpenTestPage(page, paperWidth, paperLength));
        errors.clear();
        PrintCards("layout test", page.Dc, items, rounded, errors);
        return ReadTestPage(page);
    }

    std::string folder;
    TestPage page;
    PrintErrorList errors;
};

TEST_F(PrintLayoutTest, FirstCardSitsAtTheMarginsWithoutAdvancing)
{
    Pixels pixels = PrintOnPage({PrintItem()});
    RECT ink = InkBounds(pixels, {0, 0, pixels.Width, pixels.Height});
    // The cut line runs around the cell, its 0.2 mm pen centred on the cell's outline.
    EXPECT_NEAR(ink.left, MmToPixels(Margin), Tolerance);
    EXPECT_NEAR(ink.top, MmToPixels(Margin), Tolerance);
    EXPECT_NEAR(ink.right, MmToPixels(Margin + CellWidth), Tolerance);
    EXPECT_NEAR(ink.bottom, MmToPixels(Margin + CellHeight), Tolerance);
    std::vector<Frame> frames = FindFrames(pixels);
    ASSERT_EQ(1u, frames.size());
    ExpectFrameAt(frames[0], Margin + CardOffset, Margin + CardOffset);
    EXPECT_TRUE(errors.empty());
}

TEST_F(PrintLayoutTest, PagesHoldOneColumnOfFourOrTwoColumnsOfTwo)
{
    // Portrait, 200 mm x 287 mm: one column of four cards.
    Pixels pixels = PrintOnPage(PrintList(4));
    ASSERT_NEAR(MmToPixels(200), pixels.Width, 1);
    ASSERT_NEAR(MmToPixels(287), pixels.Height, 1);
    std::vector<Frame> frames = FindFrames(pixels);
    ASSERT_EQ(4u, frames.size());
    for (int row = 0; row < 4; ++row)
        ExpectFrameAt(frames[row], Margin + CardOffset, Margin + row * (CellHeight + CellGap) + CardOffset);

    // A fifth card starts a new page at the margins; on this one bitmap it covers the first.
    frames = FindFrames(PrintOnPage(PrintList(5)));
    ASSERT_EQ(4u, frames.size());
    ExpectFrameAt(frames[0], Margin + CardOffset, Margin + CardOffset);

    // Landscape, 287 mm x 200 mm: two columns of two, found row by row.
    frames = FindFrames(PrintOnPage(PrintList(4), 0, Landscape[0], Landscape[1]));
    ASSERT_EQ(4u, frames.size());
    for (int i = 0; i < 4; ++i)
        ExpectFrameAt(frames[i], Margin + (i % 2) * (CellWidth + CellGap) + CardOffset,
                      Margin + (i / 2) * (CellHeight + CellGap) + CardOffset);
}

TEST_F(PrintLayoutTest, CutLinesAreDashedAndFramesSolid)
{
    Pixels pixels = PrintOnPage({PrintItem()});
    int cellLeft = MmToPixels(Margin), cellTop = MmToPixels(Margin);
    int cellRight = MmToPixels(Margin + CellWidth), cellBottom = MmToPixels(Margin + CellHeight);
    int cardLeft = MmToPixels(Margin + CardOffset), cardTop = MmToPixels(Margin + CardOffset);

    // Along the cut line's top edge and left edge: dashes of 1.5 mm, 0.5 mm apart.
    std::vector<InkRun> top = RowInkRuns(pixels, cellTop, cellLeft + 40, cellRight - 40);
    std::vector<InkRun> left = ColumnInkRuns(pixels, cellLeft, cellTop + 40, cellBottom - 40);
    EXPECT_GT(top.size(), 40u);
    EXPECT_GT(left.size(), 20u);
    for (size_t i = 1; i + 1 < top.size(); ++i) {
        EXPECT_NEAR(top[i].Length, MmToPixels(1.5), 2);
        EXPECT_NEAR(top[i].Start - (top[i - 1].Start + top[i - 1].Length), MmToPixels(0.5), 2);
    }

    // Along the frame: one unbroken line, about 1 mm thick.
    std::vector<InkRun> frameTop = RowInkRuns(pixels, cardTop, cardLeft + 20, cardLeft + MmToPixels(CardWidth) - 20);
    ASSERT_EQ(1u, frameTop.size());
    std::vector<InkRun> thickness = ColumnInkRuns(pixels, cardLeft + 100, cellTop + 10, cardTop + 20);
    ASSERT_EQ(1u, thickness.size());
    EXPECT_NEAR(thickness[0].Length, MmToPixels(1), 2);
    // The cut line is 0.2 mm thick.
    ASSERT_GT(top.size(), 1u);
    std::vector<InkRun> cutThickness =
        ColumnInkRuns(pixels, top[1].Start + top[1].Length / 2, cellTop - 10, cellTop + 10);
    ASSERT_EQ(1u, cutThickness.size());
    EXPECT_NEAR(cutThickness[0].Length, MmToPixels(0.2), 1);
}

// Ink in a square of the given half size around a point.
bool InkNear(const Pixels& pixels, int x, int y, int half)
{
    for (int j = y - half; j <= y + half; ++j)
        for (int i = x - half; i <= x + half; ++i)
            if (IsInk(pixels.At(i, j)))
                return true;
    return false;
}

TEST_F(PrintLayoutTest, CornersAreRoundedOrSquareByTheFlag)
{
    // A picture with the content area's proportions covers it to its corners.
    std::string picture = folder + "\\content.bmp";
    WritePicture(picture, PictureFormat::Bmp, 579, 284, Solid(RGB(0, 0, 0)));
    PrintItem item = {"", picture};
    RECT content = FirstContentArea();
    int cellCorner = MmToPixels(Margin);
    int cardCorner = MmToPixels(Margin + CardOffset);

    Pixels square = PrintOnPage({item}, 0);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_TRUE(InkNear(square, cellCorner, cellCorner, 2));
    EXPECT_TRUE(InkNear(square, cardCorner, cardCorner, 1));
    // A point 1 mm in from the content's corner, outside the rounded clipping but inside the
    // frame's inner curve: the picture's when square, paper when rounded.
    const int in = 13;
    EXPECT_TRUE(IsInk(square.At(content.left + in, content.top + in)));
    EXPECT_TRUE(IsInk(square.At(content.right - 1 - in, content.bottom - 1 - in)));

    Pixels rounded = PrintOnPage({item}, 1);
    ASSERT_TRUE(errors.empty()) << errors[0];
    // The 10 mm corner ellipse leaves the corner points of cut line, frame and content white.
    EXPECT_FALSE(InkNear(rounded, cellCorner, cellCorner, 6));
    EXPECT_FALSE(InkNear(rounded, cardCorner, cardCorner, 6));
    EXPECT_FALSE(IsInk(rounded.At(content.left + in, content.top + in)));
    EXPECT_FALSE(IsInk(rounded.At(content.right - 1 - in, content.bottom - 1 - in)));
    // The edges themselves are still drawn, and the picture still fills the middle.
    int middleX = (content.left + content.right) / 2;
    EXPECT_TRUE(InkNear(rounded, middleX, cellCorner, 1));
    EXPECT_TRUE(InkNear(rounded, middleX, cardCorner, 1));
    EXPECT_TRUE(IsInk(rounded.At(middleX, content.top + 1)));
}

TEST_F(PrintLayoutTest, PictureLeftAndTextRightOneMillimetreApart)
{
    // A picture twice as wide as high fills the left half's width.
    std::string picture = folder + "\\wide.png";
    ASSERT_TRUE(WritePicture(picture, PictureFormat::Png, 200, 100, Solid(RGB(0, 0, 255))));
    RECT content = FirstContentArea();
    int half = (content.right - content.left) / 2;
    Pixels pixels = PrintOnPage({{WideText, picture}});
    ASSERT_TRUE(errors.empty()) << errors[0];

    RECT pictureInk = InkBounds(pixels, {content.left, content.top, content.left + half, content.bottom});
    EXPECT_NEAR(pictureInk.left, content.left, 1);
    EXPECT_NEAR(pictureInk.right, content.left + half, 1);
    EXPECT_NEAR((pictureInk.top + pictureInk.bottom) / 2, (content.top + content.bottom) / 2, 2);
    EXPECT_EQ(RGB(0, 0, 255), pixels.At(content.left + half / 2, (content.top + content.bottom) / 2));

    RECT textInk = InkBounds(pixels, {content.left + half, content.top, content.right, content.bottom});
    ASSERT_LT(textInk.left, textInk.right) << "no text drawn";
    EXPECT_GE(textInk.left - pictureInk.right, MmToPixels(1) - 1);
    EXPECT_LE(textInk.right, content.right);
    // The text uses the right half: centred there, at least half as wide as it.
    EXPECT_NEAR((textInk.left + textInk.right) / 2, content.left + half + (half + MmToPixels(1)) / 2, 30);
    EXPECT_GT(textInk.right - textInk.left, half / 2);
}

TEST_F(PrintLayoutTest, OnePieceOfContentUsesTheWholeArea)
{
    RECT content = FirstContentArea();
    int width = content.right - content.left;

    // A picture three times as wide as high: as wide as the whole content area.
    std::string picture = folder + "\\wider.bmp";
    WritePicture(picture, PictureFormat::Bmp, 300, 100, Solid(RGB(0, 0, 0)));
    Pixels pixels = PrintOnPage({{"", picture}});
    RECT ink = InkBounds(pixels, content);
    EXPECT_NEAR(ink.left, content.left, 1);
    EXPECT_NEAR(ink.right, content.right, 1);
    EXPECT_NEAR(ink.bottom - ink.top, width / 3, 2);

    // A text alone is centred in the whole area and spreads over more than half of it.
    pixels = PrintOnPage({{WideText, ""}});
    ink = InkBounds(pixels, {content.left + 2, content.top + 2, content.right - 2, content.bottom - 2});
    ASSERT_LT(ink.left, ink.right) << "no text drawn";
    EXPECT_GT(ink.right - ink.left, width * 2 / 3);
    EXPECT_NEAR((ink.left + ink.right) / 2, (content.left + content.right) / 2, 30);
    EXPECT_NEAR((ink.top + ink.bottom) / 2, (content.top + content.bottom) / 2, 30);
}

TEST_F(PrintLayoutTest, TextThatFitsAtEverySizeIsDrawnAtEightPoints)
{
    ASSERT_TRUE(OpenTestPage(page, Portrait[0], Portrait[1]));
    // A box far taller than a 999 point line, wide enough for one letter at that size.
    const char* text = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Tahoma;}}\\f0\\fs20 I}";
    DrawPrintText(page.Dc, 0, 0, 1400, 5400, text);
    Pixels pixels = ReadTestPage(page);
    RECT ink = InkBounds(pixels, {0, 0, pixels.Width, pixels.Height});
    ASSERT_LT(ink.top, ink.bottom) << "no text drawn";
    // A capital of 8 points at 300 dpi stands about 24 pixels tall (at 999 points: 3000).
    EXPECT_GE(ink.bottom - ink.top, 20);
    EXPECT_LE(ink.bottom - ink.top, 28);
    EXPECT_NEAR((ink.left + ink.right) / 2, 700, 20);
    EXPECT_NEAR((ink.top + ink.bottom) / 2, 2700, 40);
}

TEST_F(PrintLayoutTest, FailingPicturesAddOneEntryPerCard)
{
    std::string missing = folder + "\\missing.png";
    PrintOnPage({{"", missing}, {"text", missing}});
    ASSERT_EQ(2u, errors.size());
    EXPECT_EQ("CreateDecoderFromFilename failed", errors[0]);
    EXPECT_EQ(errors[0], errors[1]);

    // A metafile that cannot be opened is named in its entry.
    PrintOnPage({{"", folder + "\\missing.emf"}});
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("GetEnhMetaFile failed, filename " + folder + "\\missing.emf", errors[0]);

    PrintOnPage({{"", ""}, {"text only", ""}});
    EXPECT_TRUE(errors.empty());
}

TEST_F(PrintLayoutTest, PicturesWithoutWidthOrHeightAreNotDrawn)
{
    RECT content = FirstContentArea();
    RECT inside = {content.left + 2, content.top + 2, content.right - 2, content.bottom - 2};
    const int sizes[][2] = {{0, 200}, {300, 0}, {0, 0}};
    for (const auto& size : sizes) {
        std::string name = folder + "\\flat" + std::to_string(size[0]) + "x" + std::to_string(size[1]);
        WriteEnhancedMetafile(name + ".emf", size[0], size[1], RGB(0, 0, 0));
        Pixels pixels = PrintOnPage({{"", name + ".emf"}});
        ASSERT_EQ(1u, errors.size()) << name;
        EXPECT_EQ("Picture has no width or height, filename " + name + ".emf", errors[0]);
        RECT ink = InkBounds(pixels, inside);
        EXPECT_EQ(ink.left, ink.right) << name;

        // A bitmap file claiming no width or height: whatever step refuses it says so.
        WriteBmpHeader(name + ".bmp", size[0], size[1]);
        pixels = PrintOnPage({{"", name + ".bmp"}});
        ASSERT_EQ(1u, errors.size()) << name;
        EXPECT_FALSE(errors[0].empty()) << name;
        ink = InkBounds(pixels, inside);
        EXPECT_EQ(ink.left, ink.right) << name;
    }
}

TEST_F(PrintLayoutTest, PictureNamesWithVariablesAreExpanded)
{
    WritePicture(folder + "\\black.bmp", PictureFormat::Bmp, 20, 10, Solid(RGB(0, 0, 0)));
    WriteEnhancedMetafile(folder + "\\black.emf", 200, 100, RGB(0, 0, 0));
    SetEnvironmentVariableA("MNEMORA_TEST_PICTURES", folder.c_str());
    RECT content = FirstContentArea();
    POINT middle = {(content.left + content.right) / 2, (content.top + content.bottom) / 2};
    for (const char* name : {"%MNEMORA_TEST_PICTURES%\\black.bmp", "%MNEMORA_TEST_PICTURES%\\black.emf"}) {
        Pixels pixels = PrintOnPage({{"", name}});
        EXPECT_TRUE(errors.empty()) << name << ": " << (errors.empty() ? "" : errors[0]);
        EXPECT_TRUE(IsInk(pixels.At(middle.x, middle.y))) << name;
    }
    SetEnvironmentVariableA("MNEMORA_TEST_PICTURES", nullptr);
}

TEST_F(PrintLayoutTest, DrawingCardsLeavesNoObjectsBehind)
{
    std::string bitmap = folder + "\\leak.bmp";
    std::string metafile = folder + "\\leak.emf";
    WritePicture(bitmap, PictureFormat::Bmp, 40, 20, Solid(RGB(0, 128, 0)));
    WriteEnhancedMetafile(metafile, 200, 100, RGB(0, 0, 0));
    PrintList items = {{WideText, bitmap}, {"plain", metafile}, {"", folder + "\\missing.png"}, {WideText, ""}};
    PrintOnPage(items, 1);
    int gdi = CountGdiObjects();
    int user = CountUserObjects();
    PrintOnPage(items, 1);
    PrintOnPage(items, 0);
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
}

// Real print jobs on the PDF printer: the pages of the produced document.
class RealPrintTest : public testing::Test {
  protected:
    void SetUp() override
    {
        REQUIRE_PRINTER();
        if (!getenv("MNEMORA_PRINT_OUTPUT"))
            GTEST_SKIP() << "the printed documents' folder is unknown";
    }

    int PrintAndCountPages(const PrintList& items, const int paper[2])
    {
        std::vector<std::string> before = ListPrintedFiles();
        HDC printer = CreatePrinterDC(paper[0], paper[1]);
        EXPECT_NE(nullptr, printer);
        if (!printer)
            return -1;
        PrintErrorList errors;
        PrintCards("page count", printer, items, 0, errors);
        DeleteDC(printer);
        std::string file = WaitForPrintedFile(before);
        EXPECT_FALSE(file.empty()) << "no document was printed";
        return file.empty() ? -1 : CountPdfPages(file);
    }
};

TEST_F(RealPrintTest, CardsStartNewPagesWhenThePageIsFull)
{
    EXPECT_EQ(1, PrintAndCountPages(PrintList(), Portrait)); // an empty list still prints a blank page
    EXPECT_EQ(1, PrintAndCountPages(PrintList(4), Portrait));
    EXPECT_EQ(2, PrintAndCountPages(PrintList(5), Portrait));
    EXPECT_EQ(3, PrintAndCountPages(PrintList(9), Landscape));
    // The printer's own paper, A4 with no margins, holds three rows of two across.
    EXPECT_EQ(2, PrintAndCountPages(PrintList(9), LandscapeA4));
}

} // namespace
