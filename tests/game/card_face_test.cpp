// Card faces: margins, the choice of a card's fields, picture geometry, and what face-down,
// pressed, text and picture cards show, read back as pixels.
#include "game/card_face.h"
#include "support/test_pictures.h"
#include "tests/game/board_fixture.h"

#include <gtest/gtest.h>

namespace {

const COLORREF Grey = RGB(192, 192, 192);
const COLORREF White = RGB(255, 255, 255);
const COLORREF Red = RGB(255, 0, 0);
const COLORREF Blue = RGB(0, 0, 255);

// The smallest rectangle holding every pixel of one colour; empty when there is none.
RECT BoundsOf(const Pixels& pixels, COLORREF color)
{
    RECT bounds = {pixels.Width, pixels.Height, 0, 0};
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x)
            if (pixels.At(x, y) == color) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
    return bounds;
}

int CountReddish(const Pixels& pixels, int left, int right)
{
    int n = 0;
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = left; x < right; ++x) {
            COLORREF c = pixels.At(x, y);
            n += GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90;
        }
    return n;
}

// A white memory bitmap to draw pictures on.
struct Canvas {
    Canvas(int width, int height) : Width(width), Height(height)
    {
        Screen = GetDC(nullptr);
        Memory = CreateCompatibleDC(Screen);
        Bitmap = CreateCompatibleBitmap(Screen, width, height);
        Old = SelectObject(Memory, Bitmap);
        RECT all = {0, 0, width, height};
        FillRect(Memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas()
    {
        SelectObject(Memory, Old);
        DeleteObject(Bitmap);
        DeleteDC(Memory);
        ReleaseDC(nullptr, Screen);
    }
    Pixels Read() const { return CaptureDC(Memory, Width, Height); }
    int Width, Height;
    HDC Screen, Memory;
    HBITMAP Bitmap;
    HGDIOBJ Old;
};

class CardFace : public BoardTest {
  protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        folder = MakeScratchFolder("faces");
        ASSERT_TRUE(WritePicture(Path("red.bmp"), PictureFormat::Bmp, 400, 300, [](int, int) { return Red; }));
        ASSERT_TRUE(WritePicture(Path("blue.png"), PictureFormat::Png, 64, 64, [](int, int) { return Blue; }));
        ASSERT_TRUE(WriteEnhancedMetafile(Path("wide.emf"), 40, 20, RGB(0, 160, 0)));
        ASSERT_TRUE(WriteEnhancedMetafile(Path("tall.emf"), 20, 40, RGB(0, 160, 0)));
    }
    void TearDown() override
    {
        SetCardFaceCaching(true);
        BoardTest::TearDown();
    }
    std::string Path(const std::string& name) const { return folder + "\\" + name; }
    // A one-pair game whose first card is shown face up at 200 x 150.
    HWND ShowCard(const CardPair& pair, int side = 1)
    {
        CardSet* cards = new CardSet(1, pair);
        Start(cards, 1, 2);
        int id = Slot(1, SideSlot) == side ? 1 : 2;
        HWND card = Card(id);
        MoveWindow(card, 0, 0, 200, 150, TRUE);
        SetWindowLongA(card, FaceUpSlot, 1);
        return card;
    }
    std::string folder;
};

} // namespace

TEST(CardFaceGeometry, MarginIsAFortiethButAtLeastThree)
{
    EXPECT_EQ(3, CardFaceMargin(200, 150));
    EXPECT_EQ(3, CardFaceMargin(100, 60));
    EXPECT_EQ(15, CardFaceMargin(800, 600));
    EXPECT_EQ(3, CardFaceMargin(800, 120));
    EXPECT_EQ(3, CardFaceMargin(0, 0));
}

TEST(CardFaceGeometry, SecondCardShowsTheFirstOnlyWhenItIsEmpty)
{
    CardPair pair;
    pair.Text1 = "one";
    pair.PictureFileName1 = "one.png";
    EXPECT_EQ("one", SelectCardFaceField(pair, 1, pair.Text1, pair.Text2));
    EXPECT_EQ("one", SelectCardFaceField(pair, 2, pair.Text1, pair.Text2));
    EXPECT_EQ("one.png", SelectCardFaceField(pair, 2, pair.PictureFileName1, pair.PictureFileName2));
    pair.SoundFileName2 = "two.wav";
    EXPECT_EQ("", SelectCardFaceField(pair, 2, pair.Text1, pair.Text2));
    EXPECT_EQ("", SelectCardFaceField(pair, 2, pair.PictureFileName1, pair.PictureFileName2));
    EXPECT_EQ("one", SelectCardFaceField(pair, 1, pair.Text1, pair.Text2));
    pair.SoundFileName2.clear();
    pair.VideoFileName2 = "two.avi";
    EXPECT_EQ("two.avi", SelectCardFaceField(pair, 2, pair.VideoFileName1, pair.VideoFileName2));
    EXPECT_EQ("", SelectCardFaceField(pair, 2, pair.Text1, pair.Text2));
}

TEST_F(CardFace, BitmapAloneIsScaledToTheHeightAndCentred)
{
    Canvas canvas(200, 150);
    int x = 3;
    DrawCardPicture(canvas.Memory, 200, 150, 3, x, "", "", CardFacePaint, Path("red.bmp"));
    RECT drawn = BoundsOf(canvas.Read(), Red);
    EXPECT_EQ(11, drawn.left);
    EXPECT_EQ(8, drawn.top);
    EXPECT_EQ(178, drawn.right - drawn.left);
    EXPECT_EQ(134, drawn.bottom - drawn.top);
    EXPECT_EQ(3 + 178 + 3, x);
}

TEST_F(CardFace, BitmapBesideTextStandsAtTheMargin)
{
    Canvas canvas(200, 150);
    int x = 3;
    DrawCardPicture(canvas.Memory, 200, 150, 3, x, "text", "", CardFacePaint, Path("red.bmp"));
    RECT drawn = BoundsOf(canvas.Read(), Red);
    EXPECT_EQ(3, drawn.left);
    EXPECT_EQ(178, drawn.right - drawn.left);
    // The width is not limited to the card: a wide picture on a narrow card runs over its edge.
    Canvas narrow(100, 150);
    x = 3;
    DrawCardPicture(narrow.Memory, 100, 150, 3, x, "text", "", CardFacePaint, Path("red.bmp"));
    EXPECT_EQ(184, x);
    EXPECT_EQ(100, BoundsOf(narrow.Read(), Red).right);
}

TEST_F(CardFace, MetafileFillsTheHeightOrTheWidth)
{
    Canvas canvas(200, 150);
    int x = 3;
    DrawCardPicture(canvas.Memory, 200, 150, 3, x, "", "", CardFacePaint, Path("tall.emf"));
    // 20 x 40 at full height: 75 x 150, centred.
    EXPECT_EQ(3 + 75 + 3, x);
    RECT drawn = BoundsOf(canvas.Read(), RGB(0, 160, 0));
    EXPECT_NEAR(100 - 37, drawn.left, 1);
    EXPECT_NEAR(0, drawn.top, 1);
    EXPECT_NEAR(150, drawn.bottom, 1);
    Canvas wide(200, 150);
    x = 3;
    DrawCardPicture(wide.Memory, 200, 150, 3, x, "", "", CardFacePaint, Path("wide.emf"));
    // 40 x 20 would be 300 wide at full height: scaled to the width instead, 200 x 100.
    EXPECT_EQ(3 + 200 + 3, x);
    drawn = BoundsOf(wide.Read(), RGB(0, 160, 0));
    // (The player's own rounding of the metafile's frame may add a few pixels at the far edges.)
    EXPECT_NEAR(0, drawn.left, 1);
    EXPECT_NEAR(25, drawn.top, 1);
    EXPECT_NEAR(125, drawn.bottom, 6);
}

TEST_F(CardFace, PicturesThatCannotBeLoadedTakeNoRoom)
{
    WriteBmpHeader(Path("empty.bmp"), 0, 10);
    WriteBmpHeader(Path("huge.bmp"), 200000, 200000);
    // A metafile of one horizontal line has no height.
    HDC flat = CreateEnhMetaFileA(nullptr, Path("flat.emf").c_str(), nullptr, nullptr);
    MoveToEx(flat, 0, 5, nullptr);
    LineTo(flat, 30, 5);
    DeleteEnhMetaFile(CloseEnhMetaFile(flat));
    Canvas canvas(200, 150);
    for (const char* name : {"missing.png", "empty.bmp", "huge.bmp", "missing.emf", "flat.emf"}) {
        int x = 3;
        DrawCardPicture(canvas.Memory, 200, 150, 3, x, "", "", CardFacePaint, Path(name));
        EXPECT_EQ(3, x) << name;
    }
    EXPECT_EQ(200 * 150, canvas.Read().Count(White));
}

TEST_F(CardFace, PlaceVideoModeDrawsNothing)
{
    Canvas canvas(200, 150);
    int x = 3;
    DrawCardPicture(canvas.Memory, 200, 150, 3, x, "", "", CardFacePlaceVideo, Path("red.bmp"));
    EXPECT_EQ(184, x);
    EXPECT_EQ(200 * 150, canvas.Read().Count(White));
}

TEST_F(CardFace, FaceDownCardShowsBackgroundAndBevel)
{
    CardPair pair;
    pair.Text1 = "hidden";
    HWND card = ShowCard(pair);
    SetWindowLongA(card, FaceUpSlot, 0);
    Pixels pixels = CaptureClient(card);
    ASSERT_EQ(200, pixels.Width);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(White, pixels.At(100, i));
        EXPECT_EQ(White, pixels.At(i, 75));
    }
    EXPECT_EQ(Grey, pixels.At(100, 3));
    EXPECT_EQ(Grey, pixels.At(199, 149));
    // Lines stop short of their end point: rows of 200, 199 and 198 pixels, columns of 147, 146
    // and 145 below them.
    EXPECT_EQ(200 * 150 - (200 + 199 + 198) - (147 + 146 + 145), pixels.Count(Grey));

    // Pressed: a grey bottom and right edge instead of the white top and left.
    SetWindowLongA(card, PressedSlot, 1);
    pixels = CaptureClient(card);
    EXPECT_EQ(Grey, pixels.At(100, 0));
    EXPECT_EQ(RGB(128, 128, 128), pixels.At(100, 149));
    EXPECT_EQ(RGB(128, 128, 128), pixels.At(199, 75));
    EXPECT_EQ(Grey, pixels.At(100, 146));

    // A changed background colour shows at the next repaint.
    SetButtonBackgroundColor(RGB(10, 120, 200));
    pixels = CaptureClient(card);
    EXPECT_EQ(RGB(10, 120, 200), pixels.At(100, 75));
}

TEST_F(CardFace, TextCardShowsItsTextInItsColourCentred)
{
    CardPair pair;
    pair.Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs20\\cf1 Rome}";
    HWND card = ShowCard(pair);
    Pixels pixels = CaptureClient(card);
    int red = CountReddish(pixels, 0, 200);
    EXPECT_GT(red, 500) << "the text is fitted large";
    EXPECT_NEAR(CountReddish(pixels, 0, 100), CountReddish(pixels, 100, 200), red / 4);
    // Within the margins, and nothing but background and text inside.
    EXPECT_EQ(White, pixels.At(100, 0));
    EXPECT_EQ(0, CountReddish(pixels, 0, 3) + CountReddish(pixels, 197, 200));
    SavePixels(pixels, MakeScratchFolder("faces-look") + "\\text.bmp");
}

TEST_F(CardFace, PlainTextCardUsesTheNewTextFont)
{
    CardPair pair;
    pair.Text1 = "Paris";
    HWND card = ShowCard(pair);
    Pixels pixels = CaptureClient(card);
    int dark = 0;
    for (COLORREF c : pixels.Data)
        dark += GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60;
    EXPECT_GT(dark, 300);
}

TEST_F(CardFace, PictureCardShowsItsPictureAndTextBesideIt)
{
    CardPair pair;
    pair.PictureFileName1 = Path("blue.png");
    HWND card = ShowCard(pair);
    Pixels pixels = CaptureClient(card);
    RECT drawn = BoundsOf(pixels, Blue);
    EXPECT_EQ(134, drawn.bottom - drawn.top);
    EXPECT_EQ(100 - 67, drawn.left);

    pair.Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\cf1 Sky}";
    card = ShowCard(pair);
    pixels = CaptureClient(card);
    drawn = BoundsOf(pixels, Blue);
    EXPECT_EQ(3, drawn.left);
    EXPECT_EQ(137, drawn.right);
    EXPECT_EQ(0, CountReddish(pixels, 0, 140));
    EXPECT_GT(CountReddish(pixels, 140, 197), 30);
}

TEST_F(CardFace, CardWithoutTextOrPictureShowsAnX)
{
    CardPair pair;
    pair.SoundFileName1 = "only-a-sound.wav";
    HWND card = ShowCard(pair);
    Pixels pixels = CaptureClient(card);
    int dark = 0;
    for (int y = 30; y < 120; ++y)
        for (int x = 60; x < 140; ++x)
            dark += pixels.At(x, y) == RGB(0, 0, 0);
    EXPECT_GT(dark, 500);
}

TEST_F(CardFace, EmptySecondCardShowsTheFirstCard)
{
    CardPair pair;
    pair.Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\cf1 same}";
    pair.PictureFileName1 = Path("blue.png");
    Pixels first = CaptureClient(ShowCard(pair, 1));
    Pixels second = CaptureClient(ShowCard(pair, 2));
    EXPECT_TRUE(first.Data == second.Data);
}

TEST_F(CardFace, KeptFacesDrawExactlyWhatAFreshPaintDraws)
{
    CardPair pair;
    pair.Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0 A \\cf1\\b red\\b0\\cf0  card}";
    pair.PictureFileName1 = Path("blue.png");
    HWND card = ShowCard(pair);
    SetCardFaceCaching(false);
    Pixels fresh = CaptureClient(card);
    SetCardFaceCaching(true);
    Pixels first = CaptureClient(card);
    Pixels kept = CaptureClient(card);
    EXPECT_TRUE(fresh.Data == first.Data);
    EXPECT_TRUE(fresh.Data == kept.Data);
    // A new size is drawn afresh.
    MoveWindow(card, 0, 0, 300, 150, TRUE);
    SetCardFaceCaching(false);
    fresh = CaptureClient(card);
    SetCardFaceCaching(true);
    EXPECT_TRUE(fresh.Data == CaptureClient(card).Data);
}

TEST_F(CardFace, RepaintsOfAFaceUpBoardLeakNothing)
{
    CardSet* cards = new CardSet(10);
    for (int i = 0; i < 10; ++i) {
        (*cards)[i].Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 Card \\b " + std::to_string(i) + "}";
        (*cards)[i].PictureFileName1 = Path("blue.png");
    }
    Start(cards, 5, 4);
    for (int id = 1; id <= 20; ++id)
        SetWindowLongA(Card(id), FaceUpSlot, 1);
    RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    int afterFirst = CountGdiObjects();
    int users = CountUserObjects();
    for (int i = 0; i < 100; ++i)
        RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(afterFirst, CountGdiObjects());
    EXPECT_EQ(users, CountUserObjects());
    // Every paint done afresh, as without kept faces.
    SetCardFaceCaching(false);
    RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    afterFirst = CountGdiObjects();
    for (int i = 0; i < 3; ++i)
        RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(afterFirst, CountGdiObjects());
    EXPECT_EQ(users, CountUserObjects());
}

TEST_F(CardFace, ColourChangesAreSeenAtOnce)
{
    EXPECT_EQ(Grey, GetCardBackgroundColor());
    SetButtonBackgroundColor(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), GetCardBackgroundColor());
    EXPECT_EQ(RGB(1, 2, 3), GetCardBackgroundColor());
    WriteSetting("ButtonBackgroundColorG", "200");
    EXPECT_EQ(RGB(1, 200, 3), GetCardBackgroundColor());
    // Even when the settings are removed and written anew.
    ResetUserData();
    EXPECT_EQ(Grey, GetCardBackgroundColor());
    SetButtonBackgroundColor(RGB(7, 8, 9));
    EXPECT_EQ(RGB(7, 8, 9), GetCardBackgroundColor());
    ResetUserData();
    SetButtonBackgroundColor(RGB(4, 5, 6));
    EXPECT_EQ(RGB(4, 5, 6), GetCardBackgroundColor());
}
