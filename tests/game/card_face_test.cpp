// Card faces read back as pixels: pictures placed and fitted, face-down, pressed, text, "X" and
// picture cards, kept faces equal to fresh ones, repaints that leak nothing, the background colour.
#include "game/card_face.h"
#include "media/picture.h"
#include "support/test_pictures.h"
#include "tests/game/game_fixture.h"

#include <algorithm>

namespace {

const COLORREF Grey = RGB(192, 192, 192), White = RGB(255, 255, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255),
               Green = RGB(0, 160, 0);
// The start of a Tahoma text in red; the text and its closing brace follow.
const std::string RedRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\cf1 ";

// The smallest rectangle holding every pixel of one colour.
std::vector<LONG> BoundsOf(const Pixels& pixels, COLORREF color)
{
    std::vector<LONG> bounds = {pixels.Width, pixels.Height, 0, 0};
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x)
            if (pixels.At(x, y) == color)
                bounds = {std::min<LONG>(bounds[0], x), std::min<LONG>(bounds[1], y), std::max<LONG>(bounds[2], x + 1),
                          std::max<LONG>(bounds[3], y + 1)};
    return bounds;
}

int CountDark(const Pixels& pixels)
{
    return static_cast<int>(std::count_if(pixels.Data.begin(), pixels.Data.end(), [](COLORREF c) {
        return GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60;
    }));
}

class CardFace : public BoardTest {
  protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        folder = MakeScratchFolder("faces") + "\\";
        ASSERT_TRUE(WritePicture(folder + "red.bmp", PictureFormat::Bmp, 400, 300, [](int, int) { return Red; }));
        ASSERT_TRUE(WritePicture(folder + "blue.png", PictureFormat::Png, 64, 64, [](int, int) { return Blue; }));
        ASSERT_TRUE(WriteEnhancedMetafile(folder + "wide.emf", 40, 20, Green));
        ASSERT_TRUE(WriteEnhancedMetafile(folder + "tall.emf", 20, 40, Green));
    }
    // A one-pair game whose card of the given side is face up at 200 x 150; the second card is empty.
    HWND ShowCard(const std::string& text, const std::string& picture = "", int side = 1)
    {
        Start(new CardSet{{text, "", picture.empty() ? "" : folder + picture, "", "", "", "", ""}}, 1, 2);
        HWND card = Card(CardOfSide(0, side));
        MoveWindow(card, 0, 0, 200, 150, TRUE);
        SetWindowLongA(card, FaceUpSlot, 1);
        return card;
    }
    std::string folder;
};

} // namespace

// Pictures are scaled and placed; those that cannot load (pictures beyond the pixel limit too) take
// no room (that damaged and empty files cannot load: the readers and print tests).
TEST_F(CardFace, PicturesAreScaledAndPlaced)
{
    WriteBmpHeader(folder + "huge.bmp", 200000, 200000);
    const struct {
        const char* Name;
        const char* Text;
        int Mode, Width, X;
        std::vector<LONG> Drawn; // empty: nothing drawn
    } cases[] = {
        {"red.bmp", "", CardFacePaint, 200, 184, {11, 8, 189, 142}}, // alone: centred
        {"red.bmp", "text", CardFacePaint, 200, 184, {3, 8, 181, 142}},
        {"red.bmp", "text", CardFacePaint, 100, 184, {3, 8, 100, 142}}, // runs over a narrow card
        {"tall.emf", "", CardFacePaint, 200, 81, {63, 0, 138, 150}},    // full height
        {"wide.emf", "", CardFacePaint, 200, 206, {0, 25, 200, 125}},   // full width
        {"red.bmp", "", CardFacePlaceVideo, 200, 184, {}},
        {"missing.png", "", CardFacePaint, 200, 3, {}},
        {"huge.bmp", "", CardFacePaint, 200, 3, {}},
        {"missing.emf", "", CardFacePaint, 200, 3, {}},
    };
    for (const auto& c : cases) {
        int x = 3;
        Pixels pixels = DrawOnWhite(c.Width, 150, [&](HDC dc) {
            DrawCardPicture(dc, c.Width, 150, 3, x, c.Text, "", c.Mode, folder + c.Name);
        });
        EXPECT_EQ(c.X, x) << c.Name;
        EXPECT_EQ(c.Drawn.empty(), c.Width * 150 == pixels.Count(White)) << c.Name;
        // Metafiles are played by the platform, whose rounding may add a few pixels at the edges.
        bool metafile = IsEnhancedMetafileName(c.Name);
        std::vector<LONG> drawn = BoundsOf(pixels, metafile ? Green : Red);
        for (size_t i = 0; i < c.Drawn.size(); ++i)
            EXPECT_NEAR(c.Drawn[i], drawn[i], metafile ? 6 : 0) << c.Name;
    }
}

// Face down: a grey face with a white and grey bevel, the other way round while pressed, in the
// colour set; face up: red text fitted large, plain text in black, a large "X" without text or
// picture, hostile texts as their characters, and a picture centred alone or at the margin before
// its text, each side of the pair alike.
TEST_F(CardFace, FaceDownAndFaceUpCardsShowBevelTextAndPicture)
{
    HWND card = ShowCard("hidden");
    SetWindowLongA(card, FaceUpSlot, 0);
    Pixels pixels = CaptureClient(card);
    EXPECT_TRUE(White == pixels.At(100, 2) && Grey == pixels.At(100, 3));
    // Lines stop short of their end point: rows of 200, 199 and 198, columns of 147, 146, 145.
    EXPECT_EQ(200 * 150 - (200 + 199 + 198) - (147 + 146 + 145), pixels.Count(Grey));
    SetWindowLongA(card, PressedSlot, 1);
    pixels = CaptureClient(card);
    EXPECT_TRUE(Grey == pixels.At(100, 0) && RGB(128, 128, 128) == pixels.At(100, 149) &&
                RGB(128, 128, 128) == pixels.At(199, 75));
    SetButtonBackgroundColor(RGB(10, 120, 200)); // shows at the next repaint
    EXPECT_EQ(RGB(10, 120, 200), CaptureClient(card).At(100, 75));
    ResetUserData();
    pixels = CaptureClient(ShowCard(RedRtf + "\\fs20 Rome}"));
    int red = CountReddish(pixels);
    EXPECT_GT(red, 500) << "the text is fitted large";
    EXPECT_NEAR(CountReddish(pixels, 0, 100), CountReddish(pixels, 100, 200), red / 4);
    EXPECT_EQ(0, CountReddish(pixels, 0, 3) + CountReddish(pixels, 197, 200)); // within the margins
    const std::pair<std::string, int> dark[] = {
        {"Paris", 300}, {"", 500}, {"{\\rtf1\\" + std::string(33, 'w') + " Go}", 20}, {std::string(100000, 'w'), 20}};
    for (const auto& text : dark)
        EXPECT_GT(CountDark(CaptureClient(ShowCard(text.first))), text.second) << text.first.substr(0, 20);
    EXPECT_EQ((std::vector<LONG>{33, 8, 167, 142}), BoundsOf(CaptureClient(ShowCard("", "blue.png")), Blue));
    pixels = CaptureClient(ShowCard(RedRtf + "Sky}", "blue.png"));
    EXPECT_EQ((std::vector<LONG>{3, 8, 137, 142}), BoundsOf(pixels, Blue));
    EXPECT_TRUE(CountReddish(pixels, 0, 140) == 0 && CountReddish(pixels, 140, 197) > 30);
    EXPECT_TRUE(pixels.Data == CaptureClient(ShowCard(RedRtf + "Sky}", "blue.png", 2)).Data);
}

// Repaints, of kept faces (which the face cache test compares with fresh ones) or fresh, leak
// nothing; the colour is read again after any change of the settings, even their removal.
TEST_F(CardFace, KeptFacesAndRepaints)
{
    CardSet* cards = new CardSet;
    for (int i = 0; i < 10; ++i)
        cards->push_back({RedRtf + "Card \\b " + std::to_string(i) + "}", "", folder + "blue.png", "", "", "", "", ""});
    Start(cards, 5, 4);
    for (int id = 1; id <= 20; ++id)
        SetWindowLongA(Card(id), FaceUpSlot, 1);
    int users = CountUserObjects();
    for (bool caching : {false, true}) { // ends with caching on, as other tests expect
        SetCardFaceCaching(caching);
        int gdi = 0;
        for (int i = 0; i < (caching ? 100 : 3); ++i) {
            RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            gdi = i ? gdi : CountGdiObjects();
        }
        EXPECT_EQ(gdi * 1000 + users, CountGdiObjects() * 1000 + CountUserObjects()) << caching;
    }
    for (COLORREF color : {RGB(1, 2, 3), RGB(7, 8, 9)}) {
        ResetUserData();
        EXPECT_EQ(Grey, GetCardBackgroundColor());
        SetButtonBackgroundColor(color);
        EXPECT_EQ(color, GetCardBackgroundColor());
    }
    WriteSetting("ButtonBackgroundColorG", "200");
    EXPECT_EQ(RGB(7, 200, 9), GetCardBackgroundColor());
}
