// Pictures: decoding and its failures, metafiles measured and played, damaged metafiles refused,
// and metafile errors met while painting shown after the paint.
#include "media/metafile_check.h"
#include "tests/media/hostile.h"

namespace {

std::string Folder()
{
    static std::string folder = MakeScratchFolder("pictures");
    return folder + "\\";
}

Pixels Decode(const std::string& name, std::string& error)
{
    HBITMAP bitmap = LoadPictureBitmap(Folder() + name, error);
    if (!bitmap)
        return Pixels();
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    Pixels pixels = DrawOnWhite(info.bmWidth, info.bmHeight, [&](HDC dc) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    });
    DeleteObject(bitmap);
    return pixels;
}

COLORREF Checker(int x, int y)
{
    return RGB(x * 40 % 256, y * 60 % 256, (x + y) % 2 ? 200 : 20);
}

// The offset of the first record of a type in a metafile's bytes.
size_t RecordOf(const std::string& bytes, DWORD type)
{
    for (size_t at = 0; at + 8 <= bytes.size(); at += *reinterpret_cast<const DWORD*>(&bytes[at + 4]))
        if (*reinterpret_cast<const DWORD*>(&bytes[at]) == type)
            return at;
    return 0;
}

} // namespace

// Every pixel comes through whatever padding the rows need; transparency is dropped, the first
// frame is read, lossy formats come close; failures say why, and decoding leaks nothing.
TEST(Pictures, DecodedPicturesAndTheirFailures)
{
    for (auto format : {PictureFormat::Bmp, PictureFormat::Png})
        for (int width : {1, 2, 3, 4, 7}) {
            ASSERT_TRUE(WritePicture(Folder() + "p", format, width, 5, Checker));
            std::string error;
            Pixels pixels = Decode("p", error);
            ASSERT_EQ(width * 5, static_cast<int>(pixels.Data.size())) << error;
            for (int i = 0; i < width * 5; ++i)
                EXPECT_EQ(Checker(i % width, i / width), pixels.Data[i]) << width;
        }
    std::string error;
    ASSERT_TRUE(
        WritePicture(Folder() + "a.jpg", PictureFormat::Jpeg, 64, 48, [](int, int) { return RGB(30, 140, 220); }));
    EXPECT_NEAR(140, GetGValue(Decode("a.jpg", error).At(32, 24)), 12);
    ASSERT_TRUE(WriteAlphaPng(Folder() + "clear.png", 4, 4, RGB(10, 20, 30), 0));
    EXPECT_EQ(16, Decode("clear.png", error).Count(RGB(10, 20, 30)));
    if (WriteMultiFrameGif(Folder() + "frames.gif", 8, 8, {RGB(255, 0, 0), RGB(0, 0, 255)})) {
        COLORREF first = Decode("frames.gif", error).At(4, 4);
        EXPECT_TRUE(GetRValue(first) > 200 && GetBValue(first) < 50) << first;
    }
    HDC wmf = CreateMetaFileA((Folder() + "drawing.wmf").c_str());
    Rectangle(wmf, 0, 0, 50, 50);
    DeleteMetaFile(CloseMetaFile(wmf));
    WriteBytes(Folder() + "text.jpg", "not a picture at all");
    WriteBmpHeader(Folder() + "empty.bmp", 0, 10);
    WriteBmpHeader(Folder() + "huge.bmp", 200000, 200000);
    WriteBmpHeader(Folder() + "wide.bmp", 0x7FFFFFF, 1);
    const std::pair<std::string, std::string> files[] = {{"", "Filename is empty"},
                                                         {"missing.png", "CreateDecoderFromFilename failed"},
                                                         {"drawing.wmf", "CreateDecoderFromFilename failed"},
                                                         {"text.jpg", "CreateDecoderFromFilename failed"},
                                                         {"empty.bmp", ""},
                                                         {"huge.bmp", ""},
                                                         {"wide.bmp", ""}}; // empty: any text
    int gdi = CountGdiObjects();
    for (const auto& file : files) {
        error.clear();
        EXPECT_EQ(nullptr, LoadPictureBitmap(file.first.empty() ? "" : Folder() + file.first, error));
        EXPECT_TRUE(file.second.empty() ? !error.empty() : error == file.second) << file.first << ": " << error;
    }
    for (int i = 0; i < 20; ++i)
        DeleteObject(LoadPictureBitmap(Folder() + "p", error));
    EXPECT_EQ(gdi, CountGdiObjects());
}

TEST(Pictures, MetafilesAreFoundMeasuredAndPlayedStretched)
{
    for (const char* name : {"c:\\pics\\Logo.emf", "C:\\PICS\\LOGO.EMF", "logo.emf.png", "logo.em", "logo.wmf", ""})
        EXPECT_EQ(std::string(name).size() > 8, IsEnhancedMetafileName(name)) << name;
    ASSERT_TRUE(WriteEnhancedMetafile(Folder() + "box.emf", 40, 20, RGB(0, 160, 0)));
    int width = 0, height = 0;
    ASSERT_TRUE(GetEnhancedMetafileSize(Folder() + "box.emf", width, height));
    EXPECT_EQ(40 * 1000 + 20, width * 1000 + height);
    Pixels pixels =
        DrawOnWhite(100, 100, [&](HDC dc) { DrawEnhancedMetafile(Folder() + "box.emf", dc, 10, 30, 80, 40); });
    for (POINT inside : {POINT{50, 50}, POINT{12, 32}})
        EXPECT_EQ(RGB(0, 160, 0), pixels.At(inside.x, inside.y));
    for (POINT outside : {POINT{50, 25}, POINT{5, 50}})
        EXPECT_EQ(RGB(255, 255, 255), pixels.At(outside.x, outside.y));
    EXPECT_TRUE(IsSafeEnhancedMetafile(SampleMetafile()));
}

// Damaged metafiles of each kind that hung or crashed the player are refused by the check: they
// take no room, and drawing one says so; errors met in a paint are shown after it, once per file.
TEST(Pictures, DamagedMetafilesAreRefusedAndPaintErrorsWait)
{
    const std::string valid = SampleMetafile();
    auto damaged = [&](DWORD type, size_t at, DWORD value) {
        std::string bytes = valid;
        PutDword(bytes, RecordOf(bytes, type) + at, value);
        return bytes;
    };
    const std::string files[] = {
        damaged(EMR_CREATEPEN, 4, 0),               // record size 0
        damaged(EMR_CREATEPEN, 4, 12),              // smaller than its type
        damaged(EMR_SELECTOBJECT, 8, 0x4000),       // object index beyond the handle count
        damaged(EMR_CREATEBRUSHINDIRECT, 8, 999),   // creates beyond the handle count
        damaged(EMR_HEADER, 16, 0x7FFFFFFF),        // absurd bounds
        damaged(EMR_HEADER, 48, 0x100000),          // larger than the file
        damaged(EMR_HEADER, 52, 3),                 // record count
        damaged(EMR_POLYPOLYGON16, 28, 0x3FFFFFFF), // point count
        damaged(EMR_EXTTEXTOUTW, 44, 0x1000000),    // characters beyond the record
        damaged(EMR_STRETCHDIBITS, 60, 4),          // bits shorter than the bitmap
        damaged(EMR_FILLRGN, 24, 0xFFFFFFF0),       // region data size
        damaged(EMR_EOF, 0, 200),                   // unknown record type
        valid.substr(0, valid.size() / 2),
    };
    DialogDriver driver;
    for (const std::string& file : files) {
        EXPECT_FALSE(IsSafeEnhancedMetafile(file));
        WriteBytes(Folder() + "bad.emf", file);
        int width = 0, height = 0;
        EXPECT_FALSE(GetEnhancedMetafileSize(Folder() + "bad.emf", width, height));
        driver.Press(IDOK);
        DrawOnWhite(10, 10, [&](HDC dc) { DrawEnhancedMetafile(Folder() + "bad.emf", dc, 0, 0, 10, 10); });
    }
    ASSERT_EQ(std::size(files), driver.Seen().size());
    EXPECT_EQ("GetEnhMetaFile failed, filename " + Folder() + "bad.emf, error code 13", driver.Seen()[0].Text);
    // A file that can't be opened is reported with its error; a long name is cut for the box.
    for (std::string name :
         {std::string("missing.emf"), std::string(600, 'n'), std::string("missing.emf"), std::string("other.emf")}) {
        BeginPaintingPictures();
        DrawOnWhite(10, 10, [&](HDC dc) { DrawEnhancedMetafile(Folder() + name, dc, 0, 0, 10, 10); });
        EndPaintingPictures();
    }
    EXPECT_EQ(std::size(files), driver.Seen().size()) << "a box was shown inside the paint";
    for (int i = 0; i < 3; ++i)
        driver.Press(IDOK);
    PumpMessages(500);
    ASSERT_EQ(std::size(files) + 3, driver.Seen().size()); // once per file
    EXPECT_EQ("Error", driver.Seen().back().Caption);
    EXPECT_EQ("GetEnhMetaFile failed, filename " + Folder() + "missing.emf, error code 2",
              driver.Seen()[std::size(files)].Text);
    EXPECT_EQ(255u, driver.Seen()[std::size(files) + 1].Text.size());
}
