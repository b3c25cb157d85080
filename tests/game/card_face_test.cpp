// Card faces: the choice of a card's fields, picture geometry, and what face-down,
// pressed, text and picture cards show, read back as pixels.
#include "game/card_face.h"
#include "media/picture.h"
#include "support/test_pictures.h"
#include "tests/game/game_fixture.h"

namespace {

const COLORREF Grey = RGB(192, 192, 192), White = RGB(255, 255, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255),
               Green = RGB(0, 160, 0);
// The start of a Tahoma text in red; the text and its closing brace follow.
const std::string RedRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\cf1 ";

// The smallest rectangle holding every pixel of one colour; empty when there is none.
RECT BoundsOf(const Pixels& pixels, COLORREF color)
{
    RECT bounds = {pixels.Width, pixels.Height, 0, 0};
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x)
            if (pixels.At(x, y) == color) {
                bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                          std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
            }
    return bounds;
}

int CountDark(const Pixels& pixels)
{
    int n = 0;
    for (COLORREF c : pixels.Data)
        n += GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60;
    return n;
}

class CardFace : public BoardTest {
  protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        folder = MakeScratchFolder("faces");
        ASSERT_TRUE(WritePicture(Path("red.bmp"), PictureFormat::Bmp, 400, 300, [](int, int) { return Red; }));
        ASSERT_TRUE(WritePicture(Path("blue.png"), PictureFormat::Png, 64, 64, [](int, int) { return Blue; }));
        ASSERT_TRUE(WriteEnhancedMetafile(Path("wide.emf"), 40, 20, Green));
        ASSERT_TRUE(WriteEnhancedMetafile(Path("tall.emf"), 20, 40, Green));
    }
    void TearDown() override
    {
        SetCardFaceCaching(true);
        BoardTest::TearDown();
    }
    std::string Path(const std::string& name) const { return folder + "\\" + name; }
    // A one-pair game whose card of the given side is shown face up at 200 x 150; the second card
    // of the pair is empty.
    HWND ShowCard(const std::string& text, const std::string& picture = "", int side = 1)
    {
        CardPair pair;
        pair.Text1 = text;
        pair.PictureFileName1 = picture.empty() ? "" : Path(picture);
        Start(new CardSet(1, pair), 1, 2);
        HWND card = Card(Slot(1, SideSlot) == side ? 1 : 2);
        MoveWindow(card, 0, 0, 200, 150, TRUE);
        SetWindowLongA(card, FaceUpSlot, 1);
        return card;
    }
    std::string folder;
};

} // namespace

TEST_F(CardFace, PicturesAreScaledAndPlacedAndThoseThatCannotLoadTakeNoRoom)
{
    WriteBmpHeader(Path("empty.bmp"), 0, 10);
    WriteBmpHeader(Path("huge.bmp"), 200000, 200000);
    HDC flat = CreateEnhMetaFileA(nullptr, Path("flat.emf").c_str(), nullptr, nullptr); // a line: no height
    MoveToEx(flat, 0, 5, nullptr);
    LineTo(flat, 30, 5);
    DeleteEnhMetaFile(CloseEnhMetaFile(flat));
    const struct {
        const char* Name;
        const char* Text;
        int Mode, Width, X;
        RECT Drawn; // empty: nothing drawn
    } cases[] = {
        {"red.bmp", "", CardFacePaint, 200, 184, {11, 8, 189, 142}}, // alone: centred
        {"red.bmp", "text", CardFacePaint, 200, 184, {3, 8, 181, 142}},
        {"red.bmp", "text", CardFacePaint, 100, 184, {3, 8, 100, 142}}, // runs over a narrow card
        {"tall.emf", "", CardFacePaint, 200, 81, {63, 0, 138, 150}},    // full height
        {"wide.emf", "", CardFacePaint, 200, 206, {0, 25, 200, 125}},   // full width
        {"red.bmp", "", CardFacePlaceVideo, 200, 184, {}},
        {"missing.png", "", CardFacePaint, 200, 3, {}},
        {"empty.bmp", "", CardFacePaint, 200, 3, {}},
        {"huge.bmp", "", CardFacePaint, 200, 3, {}},
        {"missing.emf", "", CardFacePaint, 200, 3, {}},
        {"flat.emf", "", CardFacePaint, 200, 3, {}},
    };
    for (const auto& c : cases) {
        int x = 3;
        Pixels pixels = DrawOnWhite(
            c.Width, 150, [&](HDC dc) { DrawCardPicture(dc, c.Width, 150, 3, x, c.Text, "", c.Mode, Path(c.Name)); });
        EXPECT_EQ(c.X, x) << c.Name;
        if (IsRectEmpty(&c.Drawn)) {
            EXPECT_EQ(c.Width * 150, pixels.Count(White)) << c.Name;
            continue;
        }
        // Metafiles are played by the platform, whose rounding may add a few pixels at the edges.
        bool metafile = IsEnhancedMetafileName(c.Name);
        RECT drawn = BoundsOf(pixels, metafile ? Green : Red);
        int slack = metafile ? 6 : 0;
        EXPECT_NEAR(c.Drawn.left, drawn.left, slack) << c.Name;
        EXPECT_NEAR(c.Drawn.top, drawn.top, slack) << c.Name;
        EXPECT_NEAR(c.Drawn.right, drawn.right, slack) << c.Name;
        EXPECT_NEAR(c.Drawn.bottom, drawn.bottom, slack) << c.Name;
    }
}

TEST_F(CardFace, FaceDownCardShowsBackgroundAndBevel)
{
    HWND card = ShowCard("hidden");
    SetWindowLongA(card, FaceUpSlot, 0);
    Pixels pixels = CaptureClient(card);
    ASSERT_EQ(200, pixels.Width);
    EXPECT_EQ(White, pixels.At(100, 2));
    EXPECT_EQ(White, pixels.At(2, 75));
    EXPECT_EQ(Grey, pixels.At(100, 3));
    // Lines stop short of their end point: rows of 200, 199 and 198 pixels, columns of 147, 146
    // and 145 below them.
    EXPECT_EQ(200 * 150 - (200 + 199 + 198) - (147 + 146 + 145), pixels.Count(Grey));
    // Pressed: a dark grey bottom and right edge instead of the white top and left.
    SetWindowLongA(card, PressedSlot, 1);
    pixels = CaptureClient(card);
    EXPECT_EQ(Grey, pixels.At(100, 0));
    EXPECT_EQ(RGB(128, 128, 128), pixels.At(100, 149));
    EXPECT_EQ(RGB(128, 128, 128), pixels.At(199, 75));
    EXPECT_EQ(Grey, pixels.At(100, 146));
    // A changed background colour shows at the next repaint.
    SetButtonBackgroundColor(RGB(10, 120, 200));
    EXPECT_EQ(RGB(10, 120, 200), CaptureClient(card).At(100, 75));
}

TEST_F(CardFace, FaceUpCardsShowTheirTextAndPicture)
{
    // The second card shows the first card's fields only while it has none of its own.
    CardPair pair;
    pair.Text1 = "one";
    EXPECT_EQ("one", SelectCardFaceField(pair, 2, pair.Text1, pair.Text2));
    pair.SoundFileName2 = "two.wav";
    EXPECT_EQ("", SelectCardFaceField(pair, 2, pair.Text1, pair.Text2));
    EXPECT_EQ("one", SelectCardFaceField(pair, 1, pair.Text1, pair.Text2));
    Pixels pixels = CaptureClient(ShowCard(RedRtf + "\\fs20 Rome}"));
    int red = CountReddish(pixels);
    EXPECT_GT(red, 500) << "the text is fitted large";
    EXPECT_NEAR(CountReddish(pixels, 0, 100), CountReddish(pixels, 100, 200), red / 4);
    EXPECT_EQ(0, CountReddish(pixels, 0, 3) + CountReddish(pixels, 197, 200)); // within the margins
    // Plain text in the new text font's black; a card without text or picture shows a large X.
    EXPECT_GT(CountDark(CaptureClient(ShowCard("Paris"))), 300);
    EXPECT_GT(CountDark(CaptureClient(ShowCard(""))), 500);
    // A picture alone is centred; beside a text it stands at the margin with the text after it.
    RECT drawn = BoundsOf(CaptureClient(ShowCard("", "blue.png")), Blue);
    EXPECT_EQ(33, drawn.left);
    EXPECT_EQ(134, drawn.bottom - drawn.top);
    pixels = CaptureClient(ShowCard(RedRtf + "Sky}", "blue.png"));
    drawn = BoundsOf(pixels, Blue);
    EXPECT_EQ(3, drawn.left);
    EXPECT_EQ(137, drawn.right);
    EXPECT_EQ(0, CountReddish(pixels, 0, 140));
    EXPECT_GT(CountReddish(pixels, 140, 197), 30);
    // An empty second card shows the first card.
    EXPECT_TRUE(pixels.Data == CaptureClient(ShowCard(RedRtf + "Sky}", "blue.png", 2)).Data);
}

TEST_F(CardFace, KeptFacesDrawExactlyWhatAFreshPaintDraws)
{
    HWND card = ShowCard(RedRtf + "A \\b red\\b0\\cf0  card}", "blue.png");
    for (int width : {200, 300}) { // a new size is drawn afresh
        MoveWindow(card, 0, 0, width, 150, TRUE);
        SetCardFaceCaching(false);
        Pixels fresh = CaptureClient(card);
        SetCardFaceCaching(true);
        EXPECT_TRUE(fresh.Data == CaptureClient(card).Data) << width;
        EXPECT_TRUE(fresh.Data == CaptureClient(card).Data) << width;
    }
}

// Every repaint fits, measures and draws the texts and decodes the pictures again, or reuses the
// kept faces.
TEST_F(CardFace, RepaintsOfAFaceUpBoardLeakNothing)
{
    CardSet* cards = new CardSet(10);
    for (int i = 0; i < 10; ++i) {
        (*cards)[i].Text1 = RedRtf + "Card \\b " + std::to_string(i) + "}";
        (*cards)[i].PictureFileName1 = Path("blue.png");
    }
    Start(cards, 5, 4);
    for (int id = 1; id <= 20; ++id)
        SetWindowLongA(Card(id), FaceUpSlot, 1);
    auto repaint = [this](int times) {
        for (int i = 0; i < times; ++i)
            RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    int users = CountUserObjects();
    for (bool caching : {true, false}) { // kept faces, and every paint done afresh
        SetCardFaceCaching(caching);
        repaint(1);
        int gdi = CountGdiObjects();
        repaint(caching ? 100 : 3);
        EXPECT_EQ(gdi, CountGdiObjects()) << caching;
        EXPECT_EQ(users, CountUserObjects()) << caching;
    }
}

// The colour is read again after any change of the settings, even when they were removed and
// written anew.
TEST_F(CardFace, ColourChangesAreSeenAtOnce)
{
    EXPECT_EQ(Grey, GetCardBackgroundColor());
    SetButtonBackgroundColor(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), GetCardBackgroundColor());
    WriteSetting("ButtonBackgroundColorG", "200");
    EXPECT_EQ(RGB(1, 200, 3), GetCardBackgroundColor());
    ResetUserData();
    EXPECT_EQ(Grey, GetCardBackgroundColor());
    SetButtonBackgroundColor(RGB(7, 8, 9));
    EXPECT_EQ(RGB(7, 8, 9), GetCardBackgroundColor());
    ResetUserData();
    SetButtonBackgroundColor(RGB(4, 5, 6));
    EXPECT_EQ(RGB(4, 5, 6), GetCardBackgroundColor());
}
