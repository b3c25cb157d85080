// Faces made ahead, kept, stretched and made exact again equal fresh ones; idle work gives way and
// goes with the game or a resize, leaving nothing.
#include "app/startup.h"
#include "game/card_face.h"
#include "game/face_cache.h"
#include "game/idle_work.h"
#include "support/test_pictures.h"
#include "tests/game/game_fixture.h"

namespace {

// Runs the message loop's idle work, with the messages, until the board's faces are all made.
void SettleFaces(HWND board)
{
    for (DWORD start = GetTickCount(); !BoardFacesSettled(board) && GetTickCount() - start < 60000;)
        if (!RunIdleWork())
            PumpMessages(5);
    PumpMessages();
}

const std::string RedRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}{\\colortbl ;\\red255\\green0"
                           "\\blue0;}\\f0\\cf1 ";

int IdlePieces = 0;

// The third piece posts the quit request: the loop must take it before a fourth piece runs.
bool CountingPiece(HWND)
{
    if (++IdlePieces == 3)
        PostQuitMessage(0);
    return IdlePieces < 100;
}

} // namespace

// Text alone, picture and text, video room, metafile and the "X": the face made ahead of the turn
// and the face made again once a resize has settled are the faces a fresh paint draws.
TEST_F(BoardTest, FacesMadeAheadAndAfterAResizeAreTheFreshFaces)
{
    std::string folder = MakeScratchFolder("ahead") + "\\";
    ASSERT_TRUE(WritePicture(folder + "photo.jpg", PictureFormat::Jpeg, 640, 480,
                             [](int x, int y) { return RGB(x % 256, y % 256, (x * y) % 256); }));
    ASSERT_TRUE(WriteEnhancedMetafile(folder + "green.emf", 40, 20, RGB(0, 160, 0)));
    const struct {
        const char* Kind;
        std::string Text, Picture, Video;
    } kinds[] = {
        {"text alone", RedRtf + "Rome \\b and\\b0  \\f1 Paris}", "", ""},
        {"picture and text", "Plain words", folder + "photo.jpg", ""},
        {"video room", RedRtf + "Video}", "", TestMediaFile("pattern.avi")},
        {"metafile", "Green", folder + "green.emf", ""},
        {"X", "", "", ""},
    };
    for (const auto& kind : kinds) {
        Start(new CardSet{{kind.Text, "", kind.Picture, "", "", "", kind.Video, ""}}, 1, 2);
        SettleFaces(board);
        HWND card = Card(1);
        EXPECT_FALSE(PrepareCardFace(card)) << kind.Kind << ": made ahead, or a metafile left for the turn";
        SetWindowLongA(card, FaceUpSlot, 1);
        Pixels ahead = CaptureClient(card);
        MoveWindow(board, 0, 0, 700, 500, TRUE);
        Pixels scaled = CaptureClient(card);
        EXPECT_TRUE(scaled.Width == 350 && scaled.Count(RGB(255, 255, 255)) < 350 * 500 / 2)
            << kind.Kind << ": not painted at its new size, left with the board's white";
        SettleFaces(board);
        Pixels settled = CaptureClient(card);
        SetCardFaceCaching(false);
        EXPECT_TRUE(settled.Data == CaptureClient(card).Data) << kind.Kind;
        MoveWindow(board, 0, 0, 800, 600, TRUE);
        EXPECT_TRUE(ahead.Data == CaptureClient(card).Data) << kind.Kind;
        SetCardFaceCaching(true);
        SettleFaces(board);
    }
    // A game's faces share one text control: a plain text after a formatted one is the fresh face.
    Start(new CardSet{{"{\\rtf1\\ansi\\pard\\qr\\li900\\sb300 Right\\par More}", "", "", "", "", "", "", ""},
                      {"Plain words", "", folder + "photo.jpg", "", "", "", "", ""}},
          1, 4);
    std::vector<Pixels> made;
    for (int pair : {0, 1}) {
        SetWindowLongA(Card(CardOfSide(pair, 1)), FaceUpSlot, 1);
        made.push_back(CaptureClient(Card(CardOfSide(pair, 1))));
    }
    SetCardFaceCaching(false);
    for (int pair : {1, 0})
        EXPECT_TRUE(made[pair].Data == CaptureClient(Card(CardOfSide(pair, 1))).Data) << pair;
    SetCardFaceCaching(true);
}

// A piece of idle work runs only while no message waits; the work goes with a resize (and comes
// back once the size settled) and with the game, and the game leaves no GDI object or text control
// behind.
TEST_F(BoardTest, IdleWorkGivesWayAndGoesWithTheGame)
{
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ScheduleIdleWork(owner, CountingPiece);
    RunMessageLoop(owner, nullptr);
    EXPECT_EQ(3, IdlePieces);
    DestroyWindow(owner);
    RunIdleWork(); // the work of a window gone is dropped
    EXPECT_FALSE(HasIdleWork(owner));

    std::string folder = MakeScratchFolder("leaks") + "\\";
    ASSERT_TRUE(WritePicture(folder + "p.png", PictureFormat::Png, 300, 200, [](int x, int) { return RGB(x, 0, 0); }));
    int gdi = 0;
    for (int round = 0; round < 2; ++round) {
        gdi = round ? CountGdiObjects() : 0;
        CardSet* cards = MakeCardSet(10);
        for (CardPair& pair : *cards)
            pair.PictureFileName1 = folder + "p.png";
        Start(cards, 4, 5);
        EXPECT_TRUE(HasIdleWork(board));
        MoveWindow(board, 0, 0, 640, 480, TRUE);
        EXPECT_TRUE(IsBoardResizing(board) && !HasIdleWork(board));
        for (DWORD start = GetTickCount(); IsBoardResizing(board) && GetTickCount() - start < 5000;)
            PumpMessages(10);
        EXPECT_TRUE(HasIdleWork(board) && !IsBoardResizing(board));
        SettleFaces(board);
        for (int id = 1; id <= 20; id += 3)
            SetWindowLongA(Card(id), FaceUpSlot, 1);
        MoveWindow(board, 0, 0, 800, 600, TRUE);
        RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EndGame(board);
        EXPECT_FALSE(HasIdleWork(board) || IsBoardResizing(board));
        EXPECT_EQ(nullptr, FindWindowExA(HWND_MESSAGE, nullptr, "RichEdit20A", nullptr)) << "a text control kept";
    }
    EXPECT_EQ(gdi, CountGdiObjects());
}
