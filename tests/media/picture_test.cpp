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
    // Decodes a file and reads the bitmap back; no pixels when it fails.
    Pixels Decode(const std::string& name, std::string& error)
    {
        HBITMAP bitmap = LoadPictureBitmap(Path(name), error);
        if (!bitmap)
            return Pixels();
        BITMAP info = {};
        GetObjectA(bitmap, sizeof info, &info);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(memory, bitmap);
        Pixels pixels = CaptureDC(memory, info.bmWidth, info.bmHeight);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(bitmap);
        return pixels;
    }
    std::string folder;
};

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) <= 12 && abs(GetGValue(a) - GetGValue(b)) <= 12 &&
           abs(GetBValue(a) - GetBValue(b)) <= 12;
}

COLORREF Checker(int x, int y)
{
    return RGB(x * 40 % 256, y * 60 % 256, (x + y) % 2 ? 200 : 20);
}

} // namespace

// Every pixel comes through, whatever padding the rows need; transparency is dropped, only the
// first frame is read, and lossy formats come close.
TEST_F(Pictures, DecodedPicturesKeepTheirSizeAndPixels)
{
    const struct {
        PictureFormat Format;
        int Width, Height;
    } exact[] = {{PictureFormat::Bmp, 7, 5}, {PictureFormat::Png, 7, 5}, {PictureFormat::Png, 1, 3},
                 {PictureFormat::Png, 2, 3}, {PictureFormat::Png, 3, 3}, {PictureFormat::Png, 4, 3}};
    for (const auto& picture : exact) {
        std::string name = std::to_string(picture.Width) + (picture.Format == PictureFormat::Bmp ? ".bmp" : ".png");
        ASSERT_TRUE(WritePicture(Path(name), picture.Format, picture.Width, picture.Height, Checker));
        std::string error;
        Pixels pixels = Decode(name, error);
        EXPECT_EQ("", error) << name;
        ASSERT_EQ(picture.Width, pixels.Width) << name;
        ASSERT_EQ(picture.Height, pixels.Height) << name;
        for (int y = 0; y < picture.Height; ++y)
            for (int x = 0; x < picture.Width; ++x)
                EXPECT_EQ(Checker(x, y), pixels.At(x, y)) << name << " at " << x << "," << y;
    }
    std::string error;
    ASSERT_TRUE(WritePicture(Path("a.jpg"), PictureFormat::Jpeg, 64, 48, [](int, int) { return RGB(30, 140, 220); }));
    Pixels pixels = Decode("a.jpg", error);
    EXPECT_EQ(64 * 48, static_cast<int>(pixels.Data.size()));
    EXPECT_TRUE(Near(RGB(30, 140, 220), pixels.At(32, 24)));
    ASSERT_TRUE(WriteAlphaPng(Path("clear.png"), 4, 4, RGB(10, 20, 30), 0));
    EXPECT_EQ(16, Decode("clear.png", error).Count(RGB(10, 20, 30)));
    if (!WriteMultiFrameGif(Path("frames.gif"), 8, 8, {RGB(255, 0, 0), RGB(0, 0, 255)}))
        GTEST_SKIP() << "no GIF encoder";
    EXPECT_TRUE(Near(RGB(255, 0, 0), Decode("frames.gif", error).At(4, 4)));
}

TEST_F(Pictures, FailuresSayWhyAndDecodingLeaksNothing)
{
    HDC wmf = CreateMetaFileA(Path("drawing.wmf").c_str());
    Rectangle(wmf, 0, 0, 50, 50);
    DeleteMetaFile(CloseMetaFile(wmf));
    WriteBytes(Path("text.jpg"), "not a picture at all");
    // Pictures without pixels, or too large to hold.
    WriteBmpHeader(Path("empty.bmp"), 0, 10);
    WriteBmpHeader(Path("flat.bmp"), 10, 0);
    WriteBmpHeader(Path("huge.bmp"), 200000, 200000);
    WriteBmpHeader(Path("wide.bmp"), 0x7FFFFFF, 1);
    // Each file with its error text; empty: any text.
    const std::pair<std::string, std::string> files[] = {
        {"", "Filename is empty"},
        {Path("missing.png"), "CreateDecoderFromFilename failed"},
        {Path("drawing.wmf"), "CreateDecoderFromFilename failed"},
        {Path("text.jpg"), "CreateDecoderFromFilename failed"},
        {Path("empty.bmp"), ""},
        {Path("flat.bmp"), ""},
        {Path("huge.bmp"), ""},
        {Path("wide.bmp"), ""},
    };
    for (const auto& file : files) {
        std::string error;
        HBITMAP bitmap = LoadPictureBitmap(file.first, error);
        EXPECT_EQ(nullptr, bitmap) << file.first;
        EXPECT_TRUE(file.second.empty() ? !error.empty() : error == file.second) << file.first << ": " << error;
        DeleteObject(bitmap);
    }
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

TEST_F(Pictures, MetafilesAreFoundMeasuredPlayedStretchedAndReported)
{
    for (const char* name : {"c:\\pics\\Logo.emf", "C:\\PICS\\LOGO.EMF", "logo.emf.png"})
        EXPECT_TRUE(IsEnhancedMetafileName(name)) << name;
    for (const char* name : {"logo.em", "logo.wmf", ""})
        EXPECT_FALSE(IsEnhancedMetafileName(name)) << name;
    ASSERT_TRUE(WriteEnhancedMetafile(Path("box.emf"), 40, 20, RGB(0, 160, 0)));
    int width = 0, height = 0;
    ASSERT_TRUE(GetEnhancedMetafileSize(Path("box.emf"), width, height));
    EXPECT_EQ(40, width);
    EXPECT_EQ(20, height);
    EXPECT_FALSE(GetEnhancedMetafileSize(Path("missing.emf"), width, height));
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 100);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, 100, 100};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawEnhancedMetafile(Path("box.emf"), memory, 10, 30, 80, 40);
    Pixels pixels = CaptureDC(memory, 100, 100);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(RGB(0, 160, 0), pixels.At(50, 50));
    EXPECT_EQ(RGB(0, 160, 0), pixels.At(12, 32));
    EXPECT_EQ(RGB(255, 255, 255), pixels.At(50, 25));
    EXPECT_EQ(RGB(255, 255, 255), pixels.At(5, 50));
    // One that cannot be opened is reported when drawn, its name cut short enough for the box.
    DialogDriver driver;
    driver.Press(IDOK);
    driver.Press(IDOK);
    screen = GetDC(nullptr);
    DrawEnhancedMetafile(Path("missing.emf"), screen, 0, 0, 10, 10);
    DrawEnhancedMetafile(Path(std::string(600, 'n')), screen, 0, 0, 10, 10);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("Error", driver.Seen()[0].Caption);
    EXPECT_EQ("GetEnhMetaFile failed, filename " + Path("missing.emf") + ", error code 2", driver.Seen()[0].Text);
    EXPECT_EQ(255u, driver.Seen()[1].Text.size());
}
