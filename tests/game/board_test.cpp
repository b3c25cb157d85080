// Game board and card buttons: the deal, refusals, layout, the turn rules, clicks held while a turn
// is decided, and press feedback.
#include "app/startup.h"
#include "tests/game/game_fixture.h"

#include <map>
#include <set>
#include <vector>

namespace {

bool ClickIsQueued(HWND board, int id)
{
    MSG msg;
    bool queued = PeekMessageA(&msg, board, WM_COMMAND, WM_COMMAND, PM_REMOVE) != 0;
    return queued && LOWORD(msg.wParam) == id && HIWORD(msg.wParam) == BN_CLICKED;
}

} // namespace

TEST_F(BoardTest, DealsDistinctPairsWithBothSidesFromItsOwnGenerator)
{
    for (auto size : std::vector<std::vector<int>>{{30, 4, 5}, {8, 4, 4}, {12, 2, 3}}) {
        int pairs = size[0], cells = size[1] * size[2];
        std::vector<int> deal[2];
        for (std::vector<int>& seen : deal) {
            SeedRandom(77);
            Start(MakeCardSet(pairs), size[1], size[2]);
            std::map<int, std::set<int>> sides;
            for (int id = 1; id <= cells; ++id) {
                EXPECT_EQ(0, FaceUp(id));
                sides[PairOf(id)].insert(Slot(id, SideSlot));
                seen.push_back(PairOf(id) * 10 + Slot(id, SideSlot));
            }
            EXPECT_EQ(nullptr, Card(cells + 1));
            EXPECT_EQ(static_cast<size_t>(cells / 2), sides.size());
            for (const auto& pair : sides)
                EXPECT_TRUE(pair.first >= 0 && pair.first < pairs && pair.second == std::set<int>({1, 2}));
        }
        EXPECT_EQ(deal[0], deal[1]) << "the same seed deals the same game";
    }
}

// A refused game leaves the running one as it was; a new set replaces the running one, and no set
// deals the running set again; the cards are laid out with the remainders in the last row and column.
TEST_F(BoardTest, GamesAreRefusedReplacedLaidOutAndEnded)
{
    std::string error;
    EXPECT_FALSE(StartGame(board, nullptr, 2, 2, error)); // no set and no running game
    EXPECT_EQ("Unknown error", error);
    CardSet* nine = MakeCardSet(9);
    Start(nine, 2, 2);
    HWND first = Card(1);
    const struct {
        int Pairs, Rows, Columns; // no pairs: deal the running set again
        const char* Says;
    } refused[] = {{3, 4, 4,
                    "Too few cards for a game with 4 rows and 4 columns\n\nCount of cards available: 3\n"
                    "Minimal count of cards needed: 8"},
                   {0, 4, 5, "available: 9\nMinimal count of cards needed: 10"},
                   {20, 3, 3, "Unknown error"},
                   {20, 0, 4, "Unknown error"},
                   {20, -2, 2, "Unknown error"}};
    for (const auto& game : refused) {
        CardSet* cards = game.Pairs ? MakeCardSet(game.Pairs) : nullptr;
        EXPECT_FALSE(StartGame(board, cards, game.Rows, game.Columns, error));
        EXPECT_NE(std::string::npos, error.find(game.Says)) << error;
        delete cards; // the caller keeps a refused set
    }
    EXPECT_TRUE(first == Card(1) && !Card(5));
    Start(nullptr, 4, 4);
    EXPECT_EQ(nine, GetBoardCardSet(Card(16)));
    auto rectOf = [this](int id) {
        RECT rect;
        GetWindowRect(Card(id), &rect);
        MapWindowPoints(nullptr, board, reinterpret_cast<POINT*>(&rect), 2);
        return std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom};
    };
    LayoutCards(board, 403, 302);
    EXPECT_EQ((std::vector<LONG>{100, 75, 200, 150}), rectOf(6));
    EXPECT_EQ((std::vector<LONG>{300, 225, 403, 302}), rectOf(16));
    SetWindowPos(board, nullptr, 0, 0, 401, 300, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ((std::vector<LONG>{300, 225, 401, 300}), rectOf(16));
    CardSet* six = MakeCardSet(6);
    Start(six, 2, 2);
    EXPECT_TRUE(six == GetBoardCardSet(Card(1)) && !Card(5));
    EndGame(board);
    EXPECT_TRUE(!Card(1) && !GetPropA(board, "Params"));
    Click(1);
    // Destroying the board frees the running game and its cards.
    Start(MakeCardSet(8), 4, 4);
    int users = CountUserObjects();
    DestroyWindow(board);
    EXPECT_LE(CountUserObjects(), users - 17);
    board = CreateWindowExA(0, "MnemoraGameClass", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(1, TurnState());
}

// Stray ids and face-up cards are ignored; a mismatch is turned back after the display time (a
// negative one waits not at all); a match stays face up though other pairs have the same texts; a
// click queued while the turn is decided takes effect after it; a won board is dealt anew.
TEST_F(BoardTest, TurnRules)
{
    CardSet* cards = MakeCardSet(8);
    for (CardPair& pair : *cards)
        pair.Text1 = pair.Text2 = "same";
    Start(cards, 4, 4);
    for (int stray : {0, 17, -1})
        Click(stray);
    EXPECT_EQ(1, TurnState());
    int stranger = OtherCard(3, false), partner = OtherCard(3, true), third = 1;
    while (third == 3 || PairOf(third) == PairOf(3) || PairOf(third) == PairOf(stranger))
        ++third;
    for (const char* displayTime : {"300", "-5000"}) {
        WriteSetting("DisplayTime", displayTime);
        Click(3);
        Click(3);
        EXPECT_EQ(3, GetWindowLongA(board, FirstCardIdSlot));
        PostMessageA(board, WM_COMMAND, MAKEWPARAM(third, BN_CLICKED), 0);
        DWORD start = GetTickCount();
        Click(stranger);
        DWORD waited = GetTickCount() - start;
        EXPECT_TRUE(displayTime[0] == '-' ? waited < 1000 : waited >= 290) << waited;
        EXPECT_EQ(0, FaceUp(3) + FaceUp(stranger) + FaceUp(third));
        EXPECT_EQ(1, TurnState());
        PumpMessages();
        EXPECT_EQ(3, TurnState() + FaceUp(third)); // the queued click turned the third card
        Click(OtherCard(third, false));
    }
    Click(3);
    Click(partner);
    EXPECT_EQ(2, FaceUp(3) + FaceUp(partner));
    Start(MakeCardSet(2), 2, 2);
    HWND oldCard = Card(1);
    int rest = OtherCard(1, false, 4);
    for (int id : {1, OtherCard(1, true, 4), rest, OtherCard(rest, true, 4)})
        Click(id);
    EXPECT_FALSE(IsWindow(oldCard));
    EXPECT_EQ(0, FaceUp(1) + FaceUp(2) + FaceUp(3) + FaceUp(4));
    EXPECT_EQ(1, TurnState());
}

// The sound error box has no owner: clicks made while it shows wait for the turn; a game replaced
// meanwhile ends the turn quietly.
TEST_F(BoardTest, ClicksAndNewGamesDuringTheSoundErrorBox)
{
    CardSet* cards = MakeCardSet(8);
    for (CardPair& pair : *cards)
        pair.SoundFileName1 = pair.SoundFileName2 = "missing-sound.wav";
    Start(cards, 4, 4);
    int second = OtherCard(1, false);
    SoundPlayer* player = TheSoundPlayer;
    TheSoundPlayer = nullptr;
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        PostMessageA(board, WM_COMMAND, MAKEWPARAM(second, BN_CLICKED), 0);
        PumpMessages(50);
        EXPECT_EQ(0, FaceUp(second));
        PressDialogButton(dialog, IDOK);
    });
    driver.Press(IDOK); // the second card's own box, once its click takes effect
    Click(1);
    EXPECT_EQ(1, FaceUp(1) - FaceUp(second));
    PumpMessages(300);
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("pData is NULL", driver.Seen()[0].Text);
    EXPECT_EQ(0, FaceUp(1) + FaceUp(second)); // the held click turned it: no pair, both turned back
    driver.Press(IDOK);
    Click(1);
    driver.Then([&](HWND dialog) {
        Start(MakeCardSet(8), 2, 2); // the player deals a new game while the box shows
        PressDialogButton(dialog, IDOK);
    });
    Click(second);
    TheSoundPlayer = player;
    EXPECT_EQ(4u, driver.Seen().size());
    EXPECT_TRUE(!Card(5) && FaceUp(1) + FaceUp(2) + FaceUp(3) + FaceUp(4) == 0 && TurnState() == 1);
}

TEST_F(BoardTest, PressAndReleaseInsideTheCardIsAClick)
{
    Start(MakeCardSet(8), 4, 4);
    HWND card = Card(6);
    RECT client;
    GetClientRect(card, &client);
    const std::pair<POINT, bool> releases[] = {{{client.right - 1, client.bottom - 1}, true},
                                               {{client.right, 10}, false},
                                               {{10, client.bottom}, false},
                                               {{-1, 10}, false}};
    for (const auto& release : releases) {
        SendMessageA(card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        EXPECT_EQ(1, Slot(6, PressedSlot));
        SendMessageA(card, WM_LBUTTONUP, 0, MAKELPARAM(release.first.x, release.first.y));
        EXPECT_EQ(0, Slot(6, PressedSlot));
        EXPECT_EQ(release.second, ClickIsQueued(board, 6)) << release.first.x << "," << release.first.y;
    }
    // A release without a press counts by its point alone; a face-up card posts its click too.
    SetWindowLongA(card, FaceUpSlot, 1);
    SendMessageA(card, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(ClickIsQueued(board, 6));
    // The press ends when another window takes the mouse.
    SendMessageA(Card(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SetCapture(Card(3));
    EXPECT_EQ(0, Slot(2, PressedSlot));
    ReleaseCapture();
    EXPECT_FALSE(ClickIsQueued(board, 2));
    // Pending messages leave the quit request to the main loop.
    PostQuitMessage(7);
    PumpPendingMessages();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}
