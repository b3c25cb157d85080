// Pictures: decoding through the imaging component, its failures, and enhanced metafiles.
#include "media/picture.h"
#include "support/test_pictures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class Pictures : public testing::Test {
  protected:
    void SetUp() override { folder = MakeScratchFolder("pictures"); }
    std::string Path(const std::string& name) const { return folder + "\\" + name; }
    std::string folder;
};

// The pixels of a display bitmap.
Pixels ReadBitmap(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Pixels pixels = CaptureDC(memory, info.bmWidth, info.bmHeight);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

COLORREF Checker(int x, int y)
{
    return RGB(x * 40 % 256, y * 60 % 256, (x + y) % 2 ? 200 : 20);
}

} // namespace

TEST_F(Pictures, EmptyNameIsRefusedFirst)
{
    std::string error;
    EXPECT_EQ(nullptr, LoadPictureBitmap("", error));
    EXPECT_EQ("Filename is empty", error);
}

TEST_F(Pictures, MissingFilesAndUnknownFormatsHaveNoDecoder)
{
    std::string error;
    EXPECT_EQ(nullptr, LoadPictureBitmap(Path("missing.png"), error));
    EXPECT_EQ("CreateDecoderFromFilename failed", error);
    HDC wmf = CreateMetaFileA(Path("drawing.wmf").c_str());
    Rectangle(wmf, 0, 0, 50, 50);
    DeleteMetaFile(CloseMetaFile(wmf));
    error.clear();
    EXPECT_EQ(nullptr, LoadPictureBitmap(Path("drawing.wmf"), error));
    EXPECT_EQ("CreateDecoderFromFilename failed", error);
    WriteBytes(Path("text.jpg"), "not a picture at all");
    error.clear();
    EXPECT_EQ(nullptr, LoadPictureBitmap(Path("text.jpg"), error));
    EXPECT_EQ("CreateDecoderFromFilename failed", error);
}

TEST_F(Pictures, BmpPngAndJpegDecodeAtTheirSize)
{
    ASSERT_TRUE(WritePicture(Path("a.bmp"), PictureFormat::Bmp, 7, 5, Checker));
    ASSERT_TRUE(WritePicture(Path("a.png"), PictureFormat::Png, 7, 5, Checker));
    ASSERT_TRUE(WritePicture(Path("a.jpg"), PictureFormat::Jpeg, 64, 48, [](int, int) { return RGB(30, 140, 220); }));
    for (const char* name : {"a.bmp", "a.png"}) {
        std::string error;
        HBITMAP bitmap = LoadPictureBitmap(Path(name), error);
        ASSERT_NE(nullptr, bitmap) << name << ": " << error;
        EXPECT_EQ("", error);
        Pixels pixels = ReadBitmap(bitmap);
        ASSERT_EQ(7, pixels.Width);
        ASSERT_EQ(5, pixels.Height);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(Checker(x, y), pixels.At(x, y)) << name << " at " << x << "," << y;
        DeleteObject(bitmap);
    }
    std::string error;
    HBITMAP bitmap = LoadPictureBitmap(Path("a.jpg"), error);
    ASSERT_NE(nullptr, bitmap) << error;
    Pixels pixels = ReadBitmap(bitmap);
    EXPECT_EQ(64, pixels.Width);
    EXPECT_EQ(48, pixels.Height);
    EXPECT_TRUE(Near(RGB(30, 140, 220), pixels.At(32, 24), 12));
    DeleteObject(bitmap);
}

TEST_F(Pictures, RowsOfEveryWidthKeepTheirPixels)
{
    // Widths whose rows need 3, 2, 0 and 1 padding bytes.
    for (int width : {1, 2, 3, 4, 5}) {
        std::string path = Path("w" + std::to_string(width) + ".png");
        ASSERT_TRUE(WritePicture(path, PictureFormat::Png, width, 3, Checker));
        std::string error;
        HBITMAP bitmap = LoadPictureBitmap(path, error);
        ASSERT_NE(nullptr, bitmap) << error;
        Pixels pixels = ReadBitmap(bitmap);
        ASSERT_EQ(width, pixels.Width);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(Checker(x, y), pixels.At(x, y)) << "width " << width << " at " << x << "," << y;
        DeleteObject(bitmap);
    }
}

TEST_F(Pictures, TransparencyIsDroppedAndOnlyTheFirstFrameIsRead)
{
    ASSERT_TRUE(WriteAlphaPng(Path("clear.png"), 4, 4, RGB(10, 20, 30), 0));
    std::string error;
    HBITMAP bitmap = LoadPictureBitmap(Path("clear.png"), error);
    ASSERT_NE(nullptr, bitmap) << error;
    Pixels pixels = ReadBitmap(bitmap);
    EXPECT_EQ(16, pixels.Count(RGB(10, 20, 30)));
    DeleteObject(bitmap);

    if (!WriteMultiFrameGif(Path("frames.gif"), 8, 8, {RGB(255, 0, 0), RGB(0, 0, 255)}))
        GTEST_SKIP() << "no GIF encoder";
    bitmap = LoadPictureBitmap(Path("frames.gif"), error);
    ASSERT_NE(nullptr, bitmap) << error;
    pixels = ReadBitmap(bitmap);
    EXPECT_TRUE(Near(RGB(255, 0, 0), pixels.At(4, 4), 8));
    DeleteObject(bitmap);
}

TEST_F(Pictures, PicturesWithoutPixelsOrTooLargeAreRefused)
{
    WriteBmpHeader(Path("empty.bmp"), 0, 10);
    WriteBmpHeader(Path("flat.bmp"), 10, 0);
    WriteBmpHeader(Path("huge.bmp"), 200000, 200000);
    WriteBmpHeader(Path("wide.bmp"), 0x7FFFFFF, 1);
    for (const char* name : {"empty.bmp", "flat.bmp", "huge.bmp", "wide.bmp"}) {
        std::string error;
        HBITMAP bitmap = LoadPictureBitmap(Path(name), error);
        EXPECT_EQ(nullptr, bitmap) << name;
        EXPECT_NE("", error) << name;
        if (bitmap)
            DeleteObject(bitmap);
    }
}

TEST_F(Pictures, MetafileNamesAreFoundAnywhereInAnyCase)
{
    EXPECT_TRUE(IsEnhancedMetafileName("c:\\pics\\Logo.emf"));
    EXPECT_TRUE(IsEnhancedMetafileName("C:\\PICS\\LOGO.EMF"));
    EXPECT_TRUE(IsEnhancedMetafileName("logo.emf.png"));
    EXPECT_TRUE(IsEnhancedMetafileName("PICTURE.EMF.BAK"));
    EXPECT_FALSE(IsEnhancedMetafileName("logo.em"));
    EXPECT_FALSE(IsEnhancedMetafileName("logo.wmf"));
    EXPECT_FALSE(IsEnhancedMetafileName(""));
}

TEST_F(Pictures, MetafilesAreMeasuredAndPlayedStretched)
{
    ASSERT_TRUE(WriteEnhancedMetafile(Path("box.emf"), 40, 20, RGB(0, 160, 0)));
    int width = 0, height = 0;
    ASSERT_TRUE(GetEnhancedMetafileSize(Path("box.emf"), width, height));
    EXPECT_EQ(40, width);
    EXPECT_EQ(20, height);
    EXPECT_FALSE(GetEnhancedMetafileSize(Path("missing.emf"), width, height));

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 100);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, 100, 100};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawEnhancedMetafile(Path("box.emf"), memory, 10, 30, 80, 40);
    Pixels pixels = CaptureDC(memory, 100, 100);
    EXPECT_EQ(RGB(0, 160, 0), pixels.At(50, 50));
    EXPECT_EQ(RGB(0, 160, 0), pixels.At(12, 32));
    EXPECT_EQ(RGB(255, 255, 255), pixels.At(50, 25));
    EXPECT_EQ(RGB(255, 255, 255), pixels.At(5, 50));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST_F(Pictures, UnopenableMetafileIsReportedWhenDrawn)
{
    DialogDriver driver;
    driver.Press(IDOK);
    HDC screen = GetDC(nullptr);
    DrawEnhancedMetafile(Path("missing.emf"), screen, 0, 0, 10, 10);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Error", driver.Seen()[0].Caption);
    EXPECT_EQ("GetEnhMetaFile failed, filename " + Path("missing.emf") + ", error code 2", driver.Seen()[0].Text);
}

TEST_F(Pictures, LongNamesAreCutInTheReport)
{
    DialogDriver driver;
    driver.Press(IDOK);
    std::string name(600, 'n');
    ShowMetafileError("GetEnhMetaFile failed", name);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ(255u, driver.Seen()[0].Text.size());
}

TEST_F(Pictures, DecodingLeaksNoObjects)
{
    ASSERT_TRUE(WritePicture(Path("b.png"), PictureFormat::Png, 32, 32, Checker));
    std::string error;
    DeleteObject(LoadPictureBitmap(Path("b.png"), error));
    int before = CountGdiObjects();
    for (int i = 0; i < 20; ++i) {
        DeleteObject(LoadPictureBitmap(Path("b.png"), error));
        LoadPictureBitmap(Path("missing.png"), error);
        int w, h;
        GetEnhancedMetafileSize(Path("missing.emf"), w, h);
    }
    EXPECT_EQ(before, CountGdiObjects());
}
