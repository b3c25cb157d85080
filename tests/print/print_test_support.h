// Helpers of the printing tests: the PDF printer of the test print server, a page of its
// resolution whose pixels can be read, and measuring what was drawn.
#pragma once

#include "support/test_support.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The default printer's name; empty when the print server is not running.
std::string DefaultPrinterName();

// A device context (or only an information context) of the default printer with a paper of the
// given size in tenths of a millimetre (the printer's own paper for 0 x 0); null without one.
HDC CreatePrinterDC(int paperWidth = 0, int paperLength = 0, bool informationOnly = false);

// A page to draw on with the printer's resolution and page size: a memory device context made
// compatible with the printer, holding a white bitmap of the whole page. It has the printer's
// resolution and page size, but page ends and starts change nothing on it.
struct TestPage {
    HDC Dc = nullptr;
    int Width = 0;
    int Height = 0;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ OldBitmap = nullptr;
    void* Bits = nullptr;
};
bool OpenTestPage(TestPage& page, int paperWidth = 0, int paperLength = 0);
Pixels ReadTestPage(const TestPage& page);
void CloseTestPage(TestPage& page);

// Skips the test when no print server runs; fails it when the test setup said one would.
#define REQUIRE_PRINTER()                                                                                              \
    do {                                                                                                               \
        if (DefaultPrinterName().empty()) {                                                                            \
            if (getenv("MNEMORA_PRINT_OUTPUT"))                                                                        \
                FAIL() << "the print server was started but the printer is not visible";                               \
            GTEST_SKIP() << "no printer: start the print server (scripts/test-setup/print.sh)";                        \
        }                                                                                                              \
    } while (0)

// Pixels darker than middle grey count as ink.
bool IsInk(COLORREF color);

// A stretch of ink along a row or a column: where it starts and how long it is.
struct InkRun {
    int Start;
    int Length;
};
std::vector<InkRun> RowInkRuns(const Pixels& pixels, int y, int fromX, int toX);
std::vector<InkRun> ColumnInkRuns(const Pixels& pixels, int x, int fromY, int toY);
// The smallest rectangle holding every non-white pixel of the area; empty when there is none.
RECT InkBounds(const Pixels& pixels, const RECT& area);

// Millimetres as pixels of a 300 dpi page, rounded.
int MmToPixels(double mm);

// One colour for every pixel of a test picture.
std::function<COLORREF(int, int)> Solid(COLORREF color);

// The PDF files in the print server's output folder (Windows paths); empty without one.
std::vector<std::string> ListPrintedFiles();
// Waits for a PDF file that is not in before and is completely written; empty after the time.
std::string WaitForPrintedFile(const std::vector<std::string>& before, DWORD timeoutMs = 20000);
// The number of pages of a PDF file.
int CountPdfPages(const std::string& path);
