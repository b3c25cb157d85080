// Helpers of the printing tests (see print_test_support.h).
#include "print_test_support.h"

#include <winspool.h>

#include <algorithm>
#include <cmath>

std::string DefaultPrinterName()
{
    char name[256] = "";
    DWORD size = sizeof name;
    if (!GetDefaultPrinterA(name, &size))
        return "";
    return name;
}

HDC CreatePrinterDC(int paperWidth, int paperLength, bool informationOnly)
{
    std::string name = DefaultPrinterName();
    if (name.empty())
        return nullptr;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(&name[0], &printer, nullptr))
        return nullptr;
    LONG size = DocumentPropertiesA(nullptr, printer, &name[0], nullptr, nullptr, 0);
    std::vector<char> buffer(size > 0 ? size : sizeof(DEVMODEA));
    DEVMODEA* mode = reinterpret_cast<DEVMODEA*>(buffer.data());
    HDC dc = nullptr;
    if (size > 0 && DocumentPropertiesA(nullptr, printer, &name[0], mode, nullptr, DM_OUT_BUFFER) == IDOK) {
        if (paperWidth > 0 && paperLength > 0) {
            mode->dmFields = DM_PAPERWIDTH | DM_PAPERLENGTH;
            mode->dmPaperWidth = static_cast<short>(paperWidth);
            mode->dmPaperLength = static_cast<short>(paperLength);
        }
        dc = informationOnly ? CreateICA("WINSPOOL", name.c_str(), nullptr, mode)
                             : CreateDCA("WINSPOOL", name.c_str(), nullptr, mode);
    }
    ClosePrinter(printer);
    return dc;
}

bool OpenTestPage(TestPage& page, int paperWidth, int paperLength)
{
    // An information context is enough to take the resolution and page size from.
    HDC printer = CreatePrinterDC(paperWidth, paperLength, true);
    if (!printer)
        return false;
    page.Dc = CreateCompatibleDC(printer);
    DeleteDC(printer);
    if (!page.Dc)
        return false;
    page.Width = GetDeviceCaps(page.Dc, HORZRES);
    page.Height = GetDeviceCaps(page.Dc, VERTRES);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = page.Width;
    info.bmiHeader.biHeight = -page.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    page.Bitmap = CreateDIBSection(page.Dc, &info, DIB_RGB_COLORS, &page.Bits, nullptr, 0);
    if (!page.Bitmap) {
        DeleteDC(page.Dc);
        page.Dc = nullptr;
        return false;
    }
    page.OldBitmap = SelectObject(page.Dc, page.Bitmap);
    PatBlt(page.Dc, 0, 0, page.Width, page.Height, WHITENESS);
    // Where the memory context passes document calls on to the printer driver (Wine does), the
    // document is started here into the null device, so that drawing on it prints nothing.
    DOCINFOA document = {};
    document.cbSize = sizeof document;
    document.lpszDocName = "test page";
    document.lpszOutput = "NUL";
    StartDocA(page.Dc, &document);
    return true;
}

Pixels ReadTestPage(const TestPage& page)
{
    GdiFlush();
    Pixels pixels;
    pixels.Width = page.Width;
    pixels.Height = page.Height;
    pixels.Data.resize(static_cast<size_t>(page.Width) * page.Height);
    const DWORD* bits = static_cast<const DWORD*>(page.Bits);
    for (size_t i = 0; i < pixels.Data.size(); ++i)
        pixels.Data[i] = RGB((bits[i] >> 16) & 0xFF, (bits[i] >> 8) & 0xFF, bits[i] & 0xFF);
    return pixels;
}

void CloseTestPage(TestPage& page)
{
    if (page.Dc) {
        EndDoc(page.Dc);
        SelectObject(page.Dc, page.OldBitmap);
        DeleteDC(page.Dc);
    }
    if (page.Bitmap)
        DeleteObject(page.Bitmap);
    page = TestPage();
}

bool IsInk(COLORREF color)
{
    return GetRValue(color) * 30 + GetGValue(color) * 59 + GetBValue(color) * 11 < 128 * 100;
}

std::vector<InkRun> RowInkRuns(const Pixels& pixels, int y, int fromX, int toX)
{
    std::vector<InkRun> runs;
    for (int x = std::max(fromX, 0); x < std::min(toX, pixels.Width); ++x) {
        if (!IsInk(pixels.At(x, y)))
            continue;
        if (!runs.empty() && runs.back().Start + runs.back().Length == x)
            ++runs.back().Length;
        else
            runs.push_back({x, 1});
    }
    return runs;
}

std::vector<InkRun> ColumnInkRuns(const Pixels& pixels, int x, int fromY, int toY)
{
    std::vector<InkRun> runs;
    for (int y = std::max(fromY, 0); y < std::min(toY, pixels.Height); ++y) {
        if (!IsInk(pixels.At(x, y)))
            continue;
        if (!runs.empty() && runs.back().Start + runs.back().Length == y)
            ++runs.back().Length;
        else
            runs.push_back({y, 1});
    }
    return runs;
}

RECT InkBounds(const Pixels& pixels, const RECT& area)
{
    RECT bounds = {0, 0, 0, 0};
    bool found = false;
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, pixels.Height); ++y) {
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, pixels.Width); ++x) {
            if (pixels.At(x, y) == RGB(255, 255, 255))
                continue;
            if (!found) {
                bounds = {x, y, x + 1, y + 1};
                found = true;
            }
            bounds.left = std::min<LONG>(bounds.left, x);
            bounds.right = std::max<LONG>(bounds.right, x + 1);
            bounds.top = std::min<LONG>(bounds.top, y);
            bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
        }
    }
    return bounds;
}

int MmToPixels(double mm)
{
    return static_cast<int>(std::lround(mm * 300 / 25.4));
}

std::function<COLORREF(int, int)> Solid(COLORREF color)
{
    return [color](int, int) { return color; };
}

namespace {

std::string PrintOutputFolder()
{
    const char* folder = getenv("MNEMORA_PRINT_OUTPUT");
    if (!folder || !*folder)
        return "";
    // The Unix folder as seen through the drive that maps the Unix root.
    std::string path = std::string("Z:") + folder;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool EndsWithEof(const std::string& bytes)
{
    size_t end = bytes.find_last_not_of("\r\n \t");
    return end != std::string::npos && end >= 4 && bytes.compare(end - 4, 5, "%%EOF") == 0;
}

} // namespace

std::vector<std::string> ListPrintedFiles()
{
    std::vector<std::string> files;
    std::string folder = PrintOutputFolder();
    if (folder.empty())
        return files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.pdf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        files.push_back(folder + "\\" + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

std::string WaitForPrintedFile(const std::vector<std::string>& before, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        for (const std::string& file : ListPrintedFiles()) {
            if (std::find(before.begin(), before.end(), file) == before.end() && EndsWithEof(ReadBytes(file)))
                return file;
        }
        PumpMessages(100);
    } while (GetTickCount() - start < timeoutMs);
    return "";
}

int CountPdfPages(const std::string& path)
{
    // Every page object says "/Type /Page"; the page tree says "/Type /Pages".
    std::string bytes = ReadBytes(path);
    int pages = 0;
    for (size_t at = bytes.find("/Type"); at != std::string::npos; at = bytes.find("/Type", at + 5)) {
        size_t value = bytes.find_first_not_of(" \r\n\t", at + 5);
        if (value != std::string::npos && bytes.compare(value, 5, "/Page") == 0 &&
            (value + 5 >= bytes.size() || !isalpha(static_cast<unsigned char>(bytes[value + 5]))))
            ++pages;
    }
    return pages;
}
