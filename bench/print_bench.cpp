// Benchmark of printing: a card set of 40 cards with formatted texts and pictures, drawn onto a
// page of the default printer's resolution and sent to the printer as one job.
#include "bench/bench.h"

#include "print/print_layout.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A 24-bit BMP file of the given size, all one colour.
void WriteBitmapFile(const std::string& path, int width, int height)
{
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(static_cast<size_t>(stride) * height, '\x60');
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(out);
}

PrintList MakeCards(const std::string& picture)
{
    PrintList items;
    for (int i = 0; i < 20; ++i) {
        items.push_back({"{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Tahoma;}}{\\colortbl;\\red200\\green0\\blue0;}"
                         "\\f0\\fs20 Card \\b " +
                             std::to_string(i) + "\\b0  \\cf1 red\\cf0}",
                         picture});
        items.push_back({"plain text card " + std::to_string(i), ""});
    }
    return items;
}

void BenchPrintCards()
{
    char name[256] = "";
    DWORD size = sizeof name;
    if (!GetDefaultPrinterA(name, &size)) {
        std::printf("no printer: printing not measured\n");
        return;
    }
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    std::string picture = std::string(temp) + "mnemora-bench-picture.bmp";
    WriteBitmapFile(picture, 640, 480);
    PrintList items = MakeCards(picture);

    // On a page in memory: the layout, text fitting and pictures without the printer driver.
    HDC printer = CreateDCA("WINSPOOL", name, nullptr, nullptr);
    HDC page = CreateCompatibleDC(printer);
    HBITMAP bitmap = CreateCompatibleBitmap(printer, GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES));
    HGDIOBJ old = SelectObject(page, bitmap);
    std::vector<double> drawn;
    for (int round = 0; round < 3; ++round) {
        PrintErrorList errors;
        double start = BenchNow();
        for (size_t i = 0; i < items.size(); ++i)
            DrawPrintCard(page, items[i], 118, 118, 1239, 649, 1180, 590, 1, errors);
        drawn.push_back(BenchNow() - start);
    }
    SelectObject(page, old);
    DeleteObject(bitmap);
    DeleteDC(page);
    std::printf("draw 40 cards (text and picture) at %d dpi in memory: %.0f ms median\n",
                GetDeviceCaps(printer, LOGPIXELSY), BenchMedian(drawn));

    // The whole job on the printer, until the last page is handed to it.
    double start = BenchNow();
    PrintErrorList errors;
    PrintCards("benchmark", printer, items, 1, errors);
    std::printf("print 40 cards as one job on \"%s\": %.0f ms\n", name, BenchNow() - start);
    DeleteDC(printer);
    DeleteFileA(picture.c_str());
}

int registered = RegisterBench("printing", BenchPrintCards);

} // namespace
