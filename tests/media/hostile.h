// Hostile inputs for the tests of the readers: a seeded generator, valid samples to damage, and
// one way to show each kind of input as the program does (a card text fitted and drawn, a
// metafile measured and played, a picture decoded).
#pragma once

#include "game/rich_text_layout.h"
#include "media/picture.h"
#include "media/rich_text.h"
#include "support/test_pictures.h"
#include "tests/game/game_fixture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>

struct Random {
    explicit Random(uint64_t seed) : State(seed * 2654435761u + 1) {}
    int Below(int n)
    {
        State = State * 6364136223846793005ull + 1442695040888963407ull;
        return n > 0 ? static_cast<int>((State >> 33) % static_cast<uint64_t>(n)) : 0;
    }
    uint64_t State;
};

// A folder of the sources, as the test program under Wine sees it.
inline std::string SourceFolder(const std::string& below)
{
    std::string path = std::string("Z:") + __FILE__;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path.substr(0, path.rfind("\\tests\\")) + "\\" + below;
}

inline std::string CorpusFolder()
{
    return SourceFolder("tests\\media\\corpus");
}

// The card texts of the sample card sets, and texts the editor's control writes.
inline std::vector<std::string> SampleCardTexts()
{
    std::vector<std::string> texts;
    for (const char* set : {"Capitals", "Colours", "Opposites", "Shapes"}) {
        std::ifstream file(SourceFolder("samples\\") + set + ".mnc");
        for (std::string line; std::getline(file, line);)
            if (line.rfind("Text", 0) == 0 && line.find("{\\rtf") != std::string::npos)
                texts.push_back(line.substr(line.find('=') + 1, line.find_last_of('}') - line.find('=')));
    }
    HWND edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    LoadCardText(edit, "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}{\\colortbl;\\red200\\green0\\blue9;}"
                       "\\f0 a \\b b\\i c\\ul d\\cf1\\f1 e\\u945?\\'e9\\par}");
    texts.push_back(StreamOutRtf(edit));
    DestroyWindow(edit);
    return texts;
}

inline std::string ScratchFile(const std::string& extension)
{
    static std::string folder = MakeScratchFolder("hostile");
    return folder + "\\input." + extension;
}

// A metafile with pens, brushes, shapes, polygons, text, a bitmap and a region.
inline std::string SampleMetafile()
{
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    HPEN pen = CreatePen(PS_DASH, 1, RGB(0, 0, 200));
    HBRUSH brush = CreateSolidBrush(RGB(0, 160, 0));
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    Rectangle(dc, 0, 0, 60, 40);
    Ellipse(dc, 10, 10, 50, 30);
    POINT points[] = {{0, 0}, {30, 5}, {60, 0}, {40, 40}, {5, 35}, {70, 5}};
    INT counts[] = {3, 3};
    PolyPolygon(dc, points, counts, 2);
    Polyline(dc, points, 6);
    INT dx[] = {7, 7, 7};
    ExtTextOutW(dc, 5, 5, 0, nullptr, L"abc", 3, dx);
    DWORD bits[16] = {0xFF0000, 0x00FF00};
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    StretchDIBits(dc, 0, 0, 8, 8, 0, 0, 4, 4, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    HRGN region = CreateRectRgn(1, 1, 9, 9);
    FillRgn(dc, region, brush);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    DeleteObject(region);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    DeleteObject(brush);
    std::string bytes(GetEnhMetaFileBits(metafile, 0, nullptr), '\0');
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(&bytes[0]));
    DeleteEnhMetaFile(metafile);
    return bytes;
}

inline std::string SamplePicture(const std::string& extension, PictureFormat format)
{
    WritePicture(ScratchFile(extension), format, 16, 12, [](int x, int y) { return RGB(x * 16, y * 20, 90); });
    return ReadBytes(ScratchFile(extension));
}

inline void PutDword(std::string& bytes, size_t at, uint32_t value)
{
    if (at + 4 <= bytes.size())
        std::memcpy(&bytes[at], &value, 4);
}

// One record of the metafile (never the header) resized, retyped or changed where object indexes,
// counts and offsets live, the header's counts or bounds made absurd, or the file cut.
inline std::string DamageMetafile(std::string bytes, Random& random)
{
    std::vector<size_t> records;
    for (size_t at = 108; at + 8 <= bytes.size(); at += *reinterpret_cast<const uint32_t*>(&bytes[at + 4]))
        records.push_back(at);
    size_t record = records[random.Below(static_cast<int>(records.size()))];
    uint32_t size = *reinterpret_cast<const uint32_t*>(&bytes[record + 4]);
    const uint32_t absurd[] = {0, 1, 4, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x10000, 0xFFFF};
    uint32_t value = random.Below(2) ? absurd[random.Below(8)] : static_cast<uint32_t>(random.Below(1 << 30));
    size_t at[] = {record + 4, record, record + 8, 8 + 4 * static_cast<size_t>(random.Below(20)),
                   record + 4 * static_cast<size_t>(random.Below(size / 4))};
    int what = random.Below(6);
    if (what == 5)
        bytes.resize(random.Below(static_cast<int>(bytes.size())));
    else
        PutDword(bytes, at[what],
                 what == 0   ? random.Below(size / 4 + 2) * 4
                 : what == 1 ? 1 + random.Below(125)
                             : value);
    return bytes;
}

// Shows an input as the program would: a card text ("rtf") fitted and drawn, a metafile ("emf")
// measured and played (its error boxes answered), a picture decoded.
inline void ShowHostileInput(const std::string& kind, const std::string& input)
{
    if (kind == "rtf") {
        HWND edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        LoadCardText(edit, input);
        GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
        int n = static_cast<int>(SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
        DrawOnWhite(200, 150, [&](HDC dc) {
            RECT area = {0, 0, 200, 150};
            SetRichTextPointSize(edit, FitRichTextPointSize(edit, dc, area, n));
            MeasureRichTextHeight(edit, dc);
            RenderRichText(edit, dc, dc, area, true, nullptr);
        });
        StreamOutRtf(edit);
        DestroyWindow(edit);
        return;
    }
    WriteBytes(ScratchFile(kind), input);
    if (kind == "emf") {
        int width = 0, height = 0;
        DialogDriver driver;
        driver.Press(IDOK);
        if (GetEnhancedMetafileSize(ScratchFile(kind), width, height))
            DrawOnWhite(100, 100, [&](HDC dc) { DrawEnhancedMetafile(ScratchFile(kind), dc, 0, 0, 100, 100); });
        return;
    }
    std::string error;
    DeleteObject(LoadPictureBitmap(ScratchFile(kind), error));
}
