// The metafile check: walks the record chain once, with a table of the record types it knows
// (their smallest size and what their variable parts hold).
#include "media/metafile_check.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Coordinates GDI keeps exact: 27 bits and a sign.
const long long MaxCoordinate = 0x7FFFFFF;
const uint32_t StockFlag = 0x80000000u;
const uint32_t SetTransform = 4; // the mode of MODIFYWORLDTRANSFORM that replaces the transform
// How far the records may draw beyond the frame, and how much larger than its smaller side the
// frame may reach: the player scales the frame to the destination, so together they bound the size
// of what is drawn (a giant shape takes the player minutes).
const double MaxReachOverFrame = 32;
const double MaxFrameReachOverSide = 64;

// What a record type carries beyond its fixed part.
enum class Kind {
    Plain,
    Points,       // count at 24, 32-bit points at 28
    Points16,     // count at 24, 16-bit points at 28
    PolyPoints,   // polygons at 24, points at 28, counts at 32, 32-bit points after them
    PolyPoints16, // the same with 16-bit points
    PolyDraw,     // count at 24, 32-bit points at 28, then one type byte per point
    PolyDraw16,   // the same with 16-bit points
    Text,         // EMRTEXT at 36; characters of 1 (ANSI) or 2 bytes
    TextW,
    Blt,            // bitmap offsets at 84 (optional bitmap)
    DibBits,        // bitmap offsets at 48
    BrushDib,       // creates object at 8; bitmap offsets at 16
    ExtPen,         // creates object at 8; bitmap offsets at 12; style entries at 48
    Create,         // creates the object indexed at 8
    Select,         // uses the object indexed at 8, or a stock object
    Delete,         // deletes the object indexed at 8
    Palette,        // creates a palette at 8; entries count (16 bits) at 14, entries at 16
    PaletteEntries, // uses the palette at 8; count at 16, entries at 20
    PaletteUse,     // uses the palette at 8
    Region,         // region data size at 24, data at 28
    RegionBrush,    // region data size at 24, brush at 28, data at 32
    RegionFrame,    // region data size at 24, brush at 28, data at 40
    ClipRegion,     // region data size at 8, data at 16
    Comment,        // data size at 8, data at 12
    Gradient,       // vertices at 24, elements at 28, mode at 32, vertices from 36
    Eof,            // palette entries count at 8, offset at 12
};

struct RecordType {
    DWORD Type;
    DWORD MinSize;
    Kind What;
};

const RecordType KnownTypes[] = {
    {EMR_POLYBEZIER, 28, Kind::Points},
    {EMR_POLYGON, 28, Kind::Points},
    {EMR_POLYLINE, 28, Kind::Points},
    {EMR_POLYBEZIERTO, 28, Kind::Points},
    {EMR_POLYLINETO, 28, Kind::Points},
    {EMR_POLYPOLYLINE, 32, Kind::PolyPoints},
    {EMR_POLYPOLYGON, 32, Kind::PolyPoints},
    {EMR_SETWINDOWEXTEX, 16, Kind::Plain},
    {EMR_SETWINDOWORGEX, 16, Kind::Plain},
    {EMR_SETVIEWPORTEXTEX, 16, Kind::Plain},
    {EMR_SETVIEWPORTORGEX, 16, Kind::Plain},
    {EMR_SETBRUSHORGEX, 16, Kind::Plain},
    {EMR_EOF, 20, Kind::Eof},
    {EMR_SETPIXELV, 20, Kind::Plain},
    {EMR_SETMAPPERFLAGS, 12, Kind::Plain},
    {EMR_SETMAPMODE, 12, Kind::Plain},
    {EMR_SETBKMODE, 12, Kind::Plain},
    {EMR_SETPOLYFILLMODE, 12, Kind::Plain},
    {EMR_SETROP2, 12, Kind::Plain},
    {EMR_SETSTRETCHBLTMODE, 12, Kind::Plain},
    {EMR_SETTEXTALIGN, 12, Kind::Plain},
    {EMR_SETCOLORADJUSTMENT, 32, Kind::Plain},
    {EMR_SETTEXTCOLOR, 12, Kind::Plain},
    {EMR_SETBKCOLOR, 12, Kind::Plain},
    {EMR_OFFSETCLIPRGN, 16, Kind::Plain},
    {EMR_MOVETOEX, 16, Kind::Plain},
    {EMR_SETMETARGN, 8, Kind::Plain},
    {EMR_EXCLUDECLIPRECT, 24, Kind::Plain},
    {EMR_INTERSECTCLIPRECT, 24, Kind::Plain},
    {EMR_SCALEVIEWPORTEXTEX, 24, Kind::Plain},
    {EMR_SCALEWINDOWEXTEX, 24, Kind::Plain},
    {EMR_SAVEDC, 8, Kind::Plain},
    {EMR_RESTOREDC, 12, Kind::Plain},
    {EMR_SETWORLDTRANSFORM, 32, Kind::Plain},
    {EMR_MODIFYWORLDTRANSFORM, 36, Kind::Plain},
    {EMR_SELECTOBJECT, 12, Kind::Select},
    {EMR_CREATEPEN, 28, Kind::Create},
    {EMR_CREATEBRUSHINDIRECT, 24, Kind::Create},
    {EMR_DELETEOBJECT, 12, Kind::Delete},
    {EMR_ANGLEARC, 28, Kind::Plain},
    {EMR_ELLIPSE, 24, Kind::Plain},
    {EMR_RECTANGLE, 24, Kind::Plain},
    {EMR_ROUNDRECT, 32, Kind::Plain},
    {EMR_ARC, 40, Kind::Plain},
    {EMR_CHORD, 40, Kind::Plain},
    {EMR_PIE, 40, Kind::Plain},
    {EMR_SELECTPALETTE, 12, Kind::Select},
    {EMR_CREATEPALETTE, 16, Kind::Palette},
    {EMR_SETPALETTEENTRIES, 20, Kind::PaletteEntries},
    {EMR_RESIZEPALETTE, 16, Kind::PaletteUse},
    {EMR_REALIZEPALETTE, 8, Kind::Plain},
    {EMR_EXTFLOODFILL, 24, Kind::Plain},
    {EMR_LINETO, 16, Kind::Plain},
    {EMR_ARCTO, 40, Kind::Plain},
    {EMR_POLYDRAW, 28, Kind::PolyDraw},
    {EMR_SETARCDIRECTION, 12, Kind::Plain},
    {EMR_SETMITERLIMIT, 12, Kind::Plain},
    {EMR_BEGINPATH, 8, Kind::Plain},
    {EMR_ENDPATH, 8, Kind::Plain},
    {EMR_CLOSEFIGURE, 8, Kind::Plain},
    {EMR_FILLPATH, 24, Kind::Plain},
    {EMR_STROKEANDFILLPATH, 24, Kind::Plain},
    {EMR_STROKEPATH, 24, Kind::Plain},
    {EMR_FLATTENPATH, 8, Kind::Plain},
    {EMR_WIDENPATH, 8, Kind::Plain},
    {EMR_SELECTCLIPPATH, 12, Kind::Plain},
    {EMR_ABORTPATH, 8, Kind::Plain},
    {EMR_GDICOMMENT, 12, Kind::Comment},
    {EMR_FILLRGN, 32, Kind::RegionBrush},
    {EMR_FRAMERGN, 40, Kind::RegionFrame},
    {EMR_INVERTRGN, 28, Kind::Region},
    {EMR_PAINTRGN, 28, Kind::Region},
    {EMR_EXTSELECTCLIPRGN, 16, Kind::ClipRegion},
    {EMR_BITBLT, 100, Kind::Blt},
    {EMR_STRETCHBLT, 108, Kind::Blt},
    {EMR_SETDIBITSTODEVICE, 76, Kind::DibBits},
    {EMR_STRETCHDIBITS, 80, Kind::DibBits},
    {EMR_EXTCREATEFONTINDIRECTW, 104, Kind::Create},
    {EMR_EXTTEXTOUTA, 76, Kind::Text},
    {EMR_EXTTEXTOUTW, 76, Kind::TextW},
    {EMR_POLYBEZIER16, 28, Kind::Points16},
    {EMR_POLYGON16, 28, Kind::Points16},
    {EMR_POLYLINE16, 28, Kind::Points16},
    {EMR_POLYBEZIERTO16, 28, Kind::Points16},
    {EMR_POLYLINETO16, 28, Kind::Points16},
    {EMR_POLYPOLYLINE16, 32, Kind::PolyPoints16},
    {EMR_POLYPOLYGON16, 32, Kind::PolyPoints16},
    {EMR_POLYDRAW16, 28, Kind::PolyDraw16},
    {EMR_CREATEMONOBRUSH, 32, Kind::BrushDib},
    {EMR_CREATEDIBPATTERNBRUSHPT, 32, Kind::BrushDib},
    {EMR_EXTCREATEPEN, 52, Kind::ExtPen},
    {EMR_SETICMMODE, 12, Kind::Plain},
    {EMR_ALPHABLEND, 108, Kind::Blt},
    {EMR_SETLAYOUT, 12, Kind::Plain},
    {EMR_TRANSPARENTBLT, 108, Kind::Blt},
    {EMR_GRADIENTFILL, 36, Kind::Gradient},
};

const RecordType* FindType(DWORD type)
{
    for (const RecordType& known : KnownTypes)
        if (known.Type == type)
            return &known;
    return nullptr;
}

// Reads the records of one metafile; every read is within the record being checked.
struct Reader {
    const unsigned char* Data;
    uint64_t Size;
    uint32_t Handles;
    std::vector<bool>* Taken; // object slots holding an object now
    uint32_t U32(uint64_t at) const
    {
        uint32_t value;
        std::memcpy(&value, Data + at, 4);
        return value;
    }
    int32_t I32(uint64_t at) const { return static_cast<int32_t>(U32(at)); }
    uint16_t U16(uint64_t at) const
    {
        uint16_t value;
        std::memcpy(&value, Data + at, 2);
        return value;
    }
};

// What the records draw: the largest coordinate or size met, and the largest scale the metafile's
// own mapping (window and viewport extents, world transform) applied at any point.
struct Reach {
    double Largest = 0;
    double Scale = 1;
    double Window[2] = {1, 1}, Viewport[2] = {1, 1}, World = 1;
    void Add(double value) { Largest = std::max(Largest, std::fabs(value)); }
    void AddAll(const Reader& file, uint64_t at, int count)
    {
        for (int i = 0; i < count; ++i)
            Add(file.I32(at + 4 * i));
    }
    void Rescale()
    {
        double extents = std::max(std::fabs(Viewport[0] / Window[0]), std::fabs(Viewport[1] / Window[1]));
        Scale = std::max(Scale, std::max(1.0, extents) * std::max(1.0, World));
    }
};

float Float(const Reader& file, uint64_t at)
{
    float value;
    std::memcpy(&value, file.Data + at, 4);
    return value;
}

// Reads the coordinates, sizes and scales of a record into reach; false for a record whose
// numbers no drawing can use (a zero denominator, a transform that is not finite).
bool AddReach(const Reader& file, uint64_t record, uint64_t size, DWORD type, Kind what, Reach& reach)
{
    switch (type) {
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX:
        for (int i = 0; i < 2; ++i)
            if (file.I32(record + 8 + 4 * i))
                (type == EMR_SETWINDOWEXTEX ? reach.Window : reach.Viewport)[i] = file.I32(record + 8 + 4 * i);
        reach.AddAll(file, record + 8, 2);
        break;
    case EMR_SCALEWINDOWEXTEX:
    case EMR_SCALEVIEWPORTEXTEX:
        for (int i = 0; i < 2; ++i) {
            int32_t numerator = file.I32(record + 8 + 8 * i), denominator = file.I32(record + 12 + 8 * i);
            if (denominator == 0)
                return false;
            (type == EMR_SCALEWINDOWEXTEX ? reach.Window : reach.Viewport)[i] *=
                static_cast<double>(numerator) / denominator;
        }
        reach.AddAll(file, record + 8, 4);
        break;
    case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: {
        float m[6];
        for (int i = 0; i < 6; ++i)
            if (!std::isfinite(m[i] = Float(file, record + 8 + 4 * i)))
                return false;
        double scale = std::max(std::fabs(m[0]) + std::fabs(m[1]), std::fabs(m[2]) + std::fabs(m[3]));
        uint32_t mode = type == EMR_SETWORLDTRANSFORM ? SetTransform : file.U32(record + 32);
        reach.World = mode == MWT_IDENTITY ? 1 : mode == SetTransform ? scale : reach.World * scale;
        reach.Add(m[4]);
        reach.Add(m[5]);
        break;
    }
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETBRUSHORGEX:
    case EMR_SETPIXELV:
    case EMR_OFFSETCLIPRGN:
    case EMR_MOVETOEX:
    case EMR_LINETO:
    case EMR_EXTFLOODFILL:
        reach.AddAll(file, record + 8, 2);
        break;
    case EMR_ANGLEARC:
    case EMR_CREATEPEN:
        reach.AddAll(file, record + 8, 3);
        break;
    case EMR_EXCLUDECLIPRECT:
    case EMR_INTERSECTCLIPRECT:
    case EMR_ELLIPSE:
    case EMR_RECTANGLE:
        reach.AddAll(file, record + 8, 4);
        break;
    case EMR_ROUNDRECT:
        reach.AddAll(file, record + 8, 6);
        break;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO:
        reach.AddAll(file, record + 8, 8);
        break;
    case EMR_EXTCREATEFONTINDIRECTW:
        reach.AddAll(file, record + 12, 2);
        break;
    case EMR_EXTCREATEPEN:
        reach.Add(file.I32(record + 32));
        break;
    case EMR_FRAMERGN:
        reach.AddAll(file, record + 32, 2);
        break;
    case EMR_STRETCHDIBITS:
        reach.AddAll(file, record + 24, 2);
        reach.AddAll(file, record + 72, 2);
        break;
    case EMR_SETDIBITSTODEVICE:
        reach.AddAll(file, record + 24, 2);
        reach.AddAll(file, record + 40, 2);
        break;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
        reach.AddAll(file, record + 36, 2);
        break;
    default:
        break;
    }
    uint64_t count = size >= 28 ? file.U32(record + 24) : 0;
    switch (what) {
    case Kind::Blt:
        reach.AddAll(file, record + 24, 4);
        break;
    case Kind::Points:
    case Kind::PolyDraw:
        reach.AddAll(file, record + 28, static_cast<int>(count * 2));
        break;
    case Kind::PolyPoints:
        reach.AddAll(file, record + 32 + count * 4, static_cast<int>(file.U32(record + 28) * 2));
        break;
    case Kind::Gradient:
        for (uint64_t i = 0; i < count; ++i)
            reach.AddAll(file, record + 36 + i * 16, 2);
        break;
    default:
        break; // 16-bit points reach no further than a 16-bit number
    }
    reach.Rescale();
    return true;
}

bool Coordinate(int32_t value)
{
    return value >= -MaxCoordinate && value <= MaxCoordinate;
}

bool CreatedIndex(uint32_t index, const Reader& file)
{
    return index >= 1 && index < file.Handles;
}

// A new object goes to a free slot: the player would lose (leak) the object it replaces.
bool NewObjectIndex(uint32_t index, const Reader& file)
{
    if (!CreatedIndex(index, file) || (*file.Taken)[index])
        return false;
    (*file.Taken)[index] = true;
    return true;
}

bool UsedIndex(uint32_t index, const Reader& file)
{
    if (index & StockFlag)
        return (index & ~StockFlag) <= STOCK_LAST;
    return CreatedIndex(index, file);
}

// A bitmap inside a record: header of a known size and depth, colour table and pixels present.
bool BitmapFits(const Reader& file, uint64_t record, uint64_t size, uint64_t offsetsAt, bool optional)
{
    uint64_t offBmi = file.U32(record + offsetsAt), cbBmi = file.U32(record + offsetsAt + 4);
    uint64_t offBits = file.U32(record + offsetsAt + 8), cbBits = file.U32(record + offsetsAt + 12);
    if (cbBmi == 0 && cbBits == 0)
        return optional;
    if (cbBmi < sizeof(BITMAPINFOHEADER) || offBmi + cbBmi > size || offBits + cbBits > size || offBmi < 8 ||
        offBits < 8)
        return false;
    uint64_t at = record + offBmi;
    uint32_t headerSize = file.U32(at);
    int64_t width = file.I32(at + 4), height = file.I32(at + 8);
    uint32_t bits = file.U16(at + 14), compression = file.U32(at + 16), used = file.U32(at + 32);
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > cbBmi || width <= 0 || width > 0xFFFF || height == 0 ||
        height > 0xFFFF || height < -0xFFFF)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bits == 16 || bits == 32)))
        return false;
    uint64_t colours = bits <= 8 ? (used ? used : (1u << bits)) : used;
    if (bits <= 8 && colours > (1u << bits))
        return false;
    uint64_t table = headerSize + colours * 4 + (compression == BI_BITFIELDS ? 12 : 0);
    uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    uint64_t rows = height < 0 ? -height : height;
    return table <= cbBmi && stride * rows <= cbBits;
}

bool RegionFits(const Reader& file, uint64_t record, uint64_t size, uint64_t sizeAt, uint64_t dataAt)
{
    uint64_t cbData = file.U32(record + sizeAt);
    if (dataAt + cbData > size)
        return false;
    if (cbData == 0)
        return sizeAt == 8; // only a clip region may be empty (the whole device)
    if (cbData < sizeof(RGNDATAHEADER))
        return false;
    uint64_t at = record + dataAt;
    uint64_t count = file.U32(at + 8);
    return file.U32(at) == sizeof(RGNDATAHEADER) && sizeof(RGNDATAHEADER) + count * 16 <= cbData;
}

// Points, polygons and text: what the counts and offsets say lies within the record.
bool VariablePartFits(const Reader& file, uint64_t record, uint64_t size, Kind what)
{
    uint64_t count = size >= 28 ? file.U32(record + 24) : 0;
    switch (what) {
    case Kind::Points:
        return 28 + count * 8 <= size;
    case Kind::Points16:
        return 28 + count * 4 <= size;
    case Kind::PolyDraw:
        return 28 + count * 9 <= size;
    case Kind::PolyDraw16:
        return 28 + count * 5 <= size;
    case Kind::PolyPoints:
    case Kind::PolyPoints16: {
        uint64_t polygons = count, points = file.U32(record + 28);
        uint64_t pointSize = what == Kind::PolyPoints ? 8 : 4;
        if (32 + polygons * 4 + points * pointSize > size)
            return false;
        uint64_t total = 0;
        for (uint64_t i = 0; i < polygons; ++i)
            total += file.U32(record + 32 + i * 4);
        return total == points;
    }
    case Kind::Text:
    case Kind::TextW: {
        uint64_t chars = file.U32(record + 44), offString = file.U32(record + 48);
        uint64_t options = file.U32(record + 52), offDx = file.U32(record + 72);
        uint64_t charSize = what == Kind::TextW ? 2 : 1;
        if (chars == 0)
            return true;
        if (offString < 76 || offString + chars * charSize > size)
            return false;
        return offDx == 0 || (offDx >= 76 && offDx + chars * ((options & ETO_PDY) ? 8 : 4) <= size);
    }
    case Kind::Gradient: {
        uint64_t vertices = file.U32(record + 24), elements = file.U32(record + 28);
        uint32_t mode = file.U32(record + 32);
        if (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V && mode != GRADIENT_FILL_TRIANGLE)
            return false;
        uint64_t corners = mode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
        uint64_t first = 36 + vertices * 16;
        if (first + elements * corners * 4 > size)
            return false;
        for (uint64_t i = 0; i < elements * corners; ++i)
            if (file.U32(record + first + i * 4) >= vertices)
                return false;
        return true;
    }
    default:
        return true;
    }
}

bool RecordFits(const Reader& file, uint64_t record, uint64_t size, Kind what)
{
    switch (what) {
    case Kind::Create:
        return NewObjectIndex(file.U32(record + 8), file);
    case Kind::Select:
        return UsedIndex(file.U32(record + 8), file);
    case Kind::Delete:
        if (!CreatedIndex(file.U32(record + 8), file))
            return false;
        (*file.Taken)[file.U32(record + 8)] = false;
        return true;
    case Kind::Palette:
        return NewObjectIndex(file.U32(record + 8), file) && 16 + file.U16(record + 14) * 4ull <= size;
    case Kind::PaletteEntries:
        return UsedIndex(file.U32(record + 8), file) && 20 + file.U32(record + 16) * 4ull <= size;
    case Kind::PaletteUse:
        return UsedIndex(file.U32(record + 8), file);
    case Kind::Region:
        return RegionFits(file, record, size, 24, 28);
    case Kind::RegionBrush:
        return UsedIndex(file.U32(record + 28), file) && RegionFits(file, record, size, 24, 32);
    case Kind::RegionFrame:
        return UsedIndex(file.U32(record + 28), file) && RegionFits(file, record, size, 24, 40);
    case Kind::ClipRegion:
        return RegionFits(file, record, size, 8, 16);
    case Kind::Comment:
        return 12 + static_cast<uint64_t>(file.U32(record + 8)) <= size;
    case Kind::Blt:
        return BitmapFits(file, record, size, 84, true);
    case Kind::DibBits:
        return BitmapFits(file, record, size, 48, false);
    case Kind::BrushDib:
        return NewObjectIndex(file.U32(record + 8), file) && BitmapFits(file, record, size, 16, false);
    case Kind::ExtPen:
        return NewObjectIndex(file.U32(record + 8), file) && BitmapFits(file, record, size, 12, true) &&
               52 + file.U32(record + 48) * 4ull <= size;
    case Kind::Eof: {
        uint64_t entries = file.U32(record + 8), offset = file.U32(record + 12);
        return entries == 0 || (offset >= 16 && offset + entries * 4 <= size);
    }
    default:
        return VariablePartFits(file, record, size, what);
    }
}

// The frame (hundredths of millimetres at 24) in device pixels, and what the records reach.
bool ReachFitsFrame(const Reader& file, const Reach& reach)
{
    double frame[4];
    for (int i = 0; i < 4; ++i) {
        double pixels = file.I32(72 + 4 * (i % 2)), millimetres = file.I32(80 + 4 * (i % 2));
        frame[i] = file.I32(24 + 4 * i) * pixels / (millimetres * 100);
    }
    double extent = 64, side = std::min(frame[2] - frame[0], frame[3] - frame[1]);
    for (double edge : frame)
        extent = std::max(extent, std::fabs(edge) + 64);
    // A picture without width or height is measured but never played: its callers leave it out.
    bool flat = file.I32(16) <= file.I32(8) || file.I32(20) <= file.I32(12);
    return reach.Largest * reach.Scale <= MaxReachOverFrame * extent &&
           (flat || extent <= MaxFrameReachOverSide * std::max(side, 1.0));
}

} // namespace

bool IsSafeEnhancedMetafile(const std::string& bytes)
{
    if (bytes.size() < 88 || bytes.size() > 0x7FFFFFFF)
        return false;
    std::vector<bool> taken;
    Reader file = {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, &taken};
    uint64_t headerSize = file.U32(4), total = file.U32(48), records = file.U32(52);
    file.Handles = file.U16(56);
    if (file.U32(0) != EMR_HEADER || file.U32(40) != ENHMETA_SIGNATURE || headerSize < 88 || headerSize % 4 ||
        total > bytes.size() || total % 4 || headerSize + 20 > total || file.Handles == 0)
        return false;
    file.Size = total;
    taken.assign(file.Handles, false);
    // Bounds and frame (8 to 40), device size in pixels and millimetres (72 to 88).
    for (uint64_t at = 8; at < 40; at += 4)
        if (!Coordinate(file.I32(at)))
            return false;
    for (uint64_t at = 72; at < 88; at += 4)
        if (file.I32(at) <= 0 || file.I32(at) > MaxCoordinate)
            return false;
    if (file.I32(24) > file.I32(32) || file.I32(28) > file.I32(36))
        return false;
    uint64_t descriptionLength = file.U32(60), descriptionAt = file.U32(64);
    if (descriptionLength && (descriptionAt < 88 || descriptionAt + descriptionLength * 2 > headerSize))
        return false;
    if (headerSize >= 100 && file.U32(88) && (file.U32(92) < 88 || file.U32(92) + uint64_t(file.U32(88)) > headerSize))
        return false;
    Reach reach;
    uint64_t count = 1;
    for (uint64_t at = headerSize; at < total; ++count) {
        if (at + 8 > total)
            return false;
        uint32_t type = file.U32(at);
        uint64_t size = file.U32(at + 4);
        const RecordType* known = FindType(type);
        if (!known || size < known->MinSize || size % 4 || at + size > total ||
            !RecordFits(file, at, size, known->What) || !AddReach(file, at, size, type, known->What, reach))
            return false;
        at += size;
        if (type == EMR_EOF)
            return at == total && count + 1 == records && ReachFitsFrame(file, reach);
    }
    return false;
}
