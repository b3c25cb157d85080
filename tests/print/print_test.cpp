// Printing: cards on an A4 page of the PDF printer's resolution (300 dpi) read back as pixels, the
// print command through its dialog with the "Rounded corners" check box, and what the user is told.
#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "print/print_command.h"
#include "print/print_layout.h"
#include "support/test_pictures.h"
#include "support/test_support.h"

#include <cmath>

namespace {

// The default printer's name, "" when there is none; a failure when the test setup said there would be one.
std::string DefaultPrinter()
{
    char name[256] = "";
    DWORD size = sizeof name;
    bool found = GetDefaultPrinterA(name, &size);
    EXPECT_TRUE(found || !getenv("MNEMORA_PRINT_OUTPUT")) << "the print server was started but no printer is visible";
    return found ? name : "";
}

#define REQUIRE_PRINTER()                                                                                              \
    if (DefaultPrinter().empty())                                                                                      \
    GTEST_SKIP() << "no printer: start the print server (scripts/test-setup/print.sh)"

class PrintLayoutTest : public testing::Test {
  protected:
    void SetUp() override
    {
        REQUIRE_PRINTER();
        folder = MakeScratchFolder("print-layout");
    }

    static int Mm(double mm) { return static_cast<int>(std::lround(mm * 300 / 25.4)); }
    static bool IsInk(COLORREF c) { return GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11 < 12800; }
    static COLORREF Black(int, int) { return RGB(0, 0, 0); }
    // The first card's content area: the card 12.5 mm from the page's corner, less 1 mm all round.
    static RECT Content() { return {Mm(13.5), Mm(13.5), Mm(111.5), Mm(61.5)}; }

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
    // Draws the cards on a white page, a memory context made compatible with the printer (its job
    // goes to the printer as blank pages); its pixels.
    Pixels PrintOnPage(const PrintList& items, int rounded = 0, bool landscape = false)
    {
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        mode.dmFields = DM_ORIENTATION;
        mode.dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        HDC printer = CreateICA("WINSPOOL", DefaultPrinter().c_str(), nullptr, &mode);
        HDC dc = CreateCompatibleDC(printer);
        DeleteDC(printer);
        int width = GetDeviceCaps(dc, HORZRES), height = GetDeviceCaps(dc, VERTRES);
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        HGDIOBJ old = SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        PatBlt(dc, 0, 0, width, height, WHITENESS);
        errors.clear();
        PrintCards("layout test", dc, items, rounded, errors);
        Pixels pixels = CaptureDC(dc, width, height);
        DeleteObject(SelectObject(dc, old));
        DeleteDC(dc);
        return pixels;
    }

    std::string folder;
    PrintErrorList errors;
};

// The first card's cut line at the margins; A4 portrait holds one column of four, a fifth card
// goes to a new page (on this one bitmap over the first); landscape holds three rows of two. With
// the flag, a black picture with the content area's proportions leaves the content's corners white
// (the acceptance script measures dashed cut lines, solid frames and their corners on paper).
TEST_F(PrintLayoutTest, CardsFillRowsAndColumnsThenNewPagesAndRoundedCornersClipTheContent)
{
    const struct {
        int Cards, Columns, Places;
    } rows[] = {{1, 1, 4}, {4, 1, 4}, {5, 1, 4}, {6, 2, 6}};
    for (const auto& row : rows) {
        Pixels p = PrintOnPage(PrintList(row.Cards), 0, row.Columns == 2);
        for (int i = 0; i < row.Places; ++i) { // the ink of each 105 mm x 55 mm cell is its cut line's
            int x = Mm(10 + i % row.Columns * 115), y = Mm(10 + i / row.Columns * 65), w = Mm(105), h = Mm(55);
            RECT ink = InkBounds(p, {x - 20, y - 20, x + w + 20, y + h + 20});
            int off = std::abs(ink.left - x) + std::abs(ink.top - y) + std::abs(ink.right - x - w) +
                      std::abs(ink.bottom - y - h);
            EXPECT_EQ(i < row.Cards, off <= 12) << row.Cards << " cards, " << row.Columns << " columns, card " << i;
        }
    }
    std::string picture = folder + "\\content.bmp";
    WritePicture(picture, PictureFormat::Bmp, 579, 284, Black);
    RECT c = Content();
    for (int rounded : {0, 1}) {
        Pixels p = PrintOnPage({{"", picture}}, rounded);
        ASSERT_TRUE(errors.empty()) << errors[0];
        EXPECT_EQ(rounded ? "001" : "111", std::to_string(IsInk(p.At(c.left + 13, c.top + 13))) +
                                               std::to_string(IsInk(p.At(c.right - 14, c.bottom - 14))) +
                                               std::to_string(IsInk(p.At((c.left + c.right) / 2, c.top + 1))));
    }
}

// Mended: a metafile that cannot be opened is named in its entry; pictures without width or
// height are refused with a text, not divided by; %VARIABLE% names are expanded as on the board.
// Each failing card adds its own entry and draws nothing; a drawn picture fills the card, or its
// left half when the card has a text too, which then takes the right half.
TEST_F(PrintLayoutTest, PicturesThatFailAreReportedPerCardAndNamesExpanded)
{
    WritePicture(folder + "\\black.bmp", PictureFormat::Bmp, 20, 10, Black);
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
            int middle = (c.left + c.right) / 2, below = Mm(65); // the second card (a metafile may reach
            RECT picture = InkBounds(p, {c.left, c.top + below, middle, c.bottom + below}); // a pixel over)
            RECT text = InkBounds(p, {middle + 2, c.top + below, c.right, c.bottom + below});
            EXPECT_TRUE(errors.empty() && IsInk(p.At(middle, (c.top + c.bottom) / 2))) << row.first;
            EXPECT_TRUE(picture.right > 0 && text.left >= middle + Mm(1) - 1) << row.first;
            continue;
        }
        ASSERT_EQ(2u, errors.size()) << row.first;
        EXPECT_TRUE(errors[0] == errors[1] && (row.second == "*" ? !errors[0].empty() : row.second == errors[0]))
            << errors[0];
        EXPECT_EQ(0, InkBounds(p, {c.left + 2, c.top + 2, c.right - 2, c.bottom - 2}).right) << row.first;
    }
    SetEnvironmentVariableA("MNEMORA_TEST_PICTURES", nullptr);
}

BOOL CALLBACK CancelJob(HDC, int)
{
    return FALSE;
}

// Mended: a job whose start fails (no printer's context; a printer's job cancelled) is aborted,
// nothing drawn, an "Error" box names card set, call and error code. (Wine's driver writes a job
// only at its end: no job fails midway here.)
TEST(PrintReport, AFailedJobIsToldAloneElseTheFailedPictures)
{
    std::string name = DefaultPrinter();
    HDC printer = name.empty() ? nullptr : CreateDCA("WINSPOOL", name.c_str(), nullptr, nullptr);
    SetAbortProc(printer, CancelJob);
    std::string line = "CreateDecoderFromFilename failed", six, failure;
    for (HDC dc : {CreateCompatibleDC(nullptr), CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr), printer}) {
        PrintErrorList errors;
        failure = dc ? PrintCards("Birds", dc, PrintList(5, {"text", "missing.png"}), 0, errors) : failure;
        EXPECT_EQ(0u, failure.find("StartDoc of card set \"Birds\" failed, error code ")) << failure;
        EXPECT_TRUE(errors.empty()) << "cards were drawn after the failed start";
        GetObjectType(dc) == OBJ_ENHMETADC ? DeleteEnhMetaFile(CloseEnhMetaFile(dc)) : DeleteDC(dc);
    }
    // Otherwise failed pictures come in one "Error(s)" box, at most six lines, then "...".
    for (int i = 0; i < 6; ++i)
        six += line + "\n";
    auto told = [&line](const std::string& jobFailure, size_t errors) {
        return Answered([&] { ReportPrintResult(nullptr, jobFailure, PrintErrorList(errors, line)); });
    };
    EXPECT_EQ("Error(s): " + six, told("", 6));
    EXPECT_EQ("Error(s): " + six + "...", told("", 7));
    EXPECT_EQ("Error: " + failure, told(failure, 7));
}

// Runs the command on the card set selected by name; `inDialog` acts on the print dialog and ends
// it (OK unless given). What each dialog and box that came said.
std::string PrintCommand(HWND window, const char* name, const std::function<void(HWND)>& inDialog = nullptr)
{
    if (name)
        SendMessageA(GetCardSetCombo(window), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    return Answered([window] { PrintCardSet(window); }, inDialog);
}

// Through the real print dialog with its template and hook (the acceptance script prints with and
// without "Rounded corners"): cancel prints and tells nothing; picture errors come in the report;
// printing forty cards again leaves no objects behind.
TEST(PrintCommand, ThroughThePrintDialog)
{
    ResetUserData();
    HWND window = OpenMainWindow();
    EXPECT_EQ("Error: No card set selected", PrintCommand(window, nullptr));
    REQUIRE_PRINTER();

    std::string folder = MakeScratchFolder("print-command"), bitmap = folder + "\\green.bmp",
                metafile = folder + "\\m.emf";
    WritePicture(bitmap, PictureFormat::Bmp, 60, 40, [](int, int) { return RGB(0, 160, 0); });
    WriteEnhancedMetafile(metafile, 300, 200, RGB(0, 0, 0));
    CardSet forty;
    for (int i = 0; i < 20; ++i)
        forty.push_back(
            {"{\\rtf1\\ansi\\b card " + std::to_string(i) + "\\b0}", "plain", bitmap, metafile, "", "", "", ""});
    CardSet missing = {{"", "text", "missing.png", "missing.png", "", "", "", ""}};
    ASSERT_TRUE(SaveCardSet("Forty", forty) && SaveCardSet("Missing", missing));
    FillCardSetCombo(window);

    EXPECT_EQ("Print", PrintCommand(window, "Missing", [](HWND dialog) { PressDialogButton(dialog, IDCANCEL); }));
    EXPECT_EQ("Print; Error(s): CreateDecoderFromFilename failed\nCreateDecoderFromFilename failed\n",
              PrintCommand(window, "Missing"));

    // The first jobs load the printer driver, fonts and dialog resources for good.
    int gdi = 0, user = 0;
    for (int job = 0; job < 4; ++job) {
        if (job == 2)
            gdi = CountGdiObjects(), user = CountUserObjects();
        EXPECT_EQ("Print", PrintCommand(window, "Forty"));
    }
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
    DestroyMainWindow(window);
}

} // namespace
