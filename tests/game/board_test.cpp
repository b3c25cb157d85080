// Game board and card buttons: the deal, refusals, layout, the turn rules, clicks held while a turn
// is decided, and press feedback.
#include "app/startup.h"
#include "tests/game/game_fixture.h"

#include <map>
#include <set>

// Every pair is dealt face down with both its sides, and the same seed deals the same game.
TEST_F(BoardTest, DealsDistinctPairsWithBothSidesFromItsOwnGenerator)
{
    const int sizes[][3] = {{30, 4, 5}, {8, 4, 4}, {12, 2, 3}}; // pairs, rows, columns
    for (const auto& size : sizes) {
        std::vector<int> deal[2];
        for (std::vector<int>& seen : deal) {
            SeedRandom(77);
            Start(MakeCardSet(size[0]), size[1], size[2]);
            std::map<int, std::set<int>> sides;
            for (int id = 1; id <= size[1] * size[2]; ++id) {
                sides[PairOf(id)].insert(Slot(id, SideSlot) + 10 * FaceUp(id));
                seen.push_back(PairOf(id) * 10 + Slot(id, SideSlot));
            }
            EXPECT_TRUE(!Card(size[1] * size[2] + 1) && sides.size() == size[1] * size[2] / 2u);
            for (const auto& pair : sides)
                EXPECT_TRUE(pair.first >= 0 && pair.first < size[0] && pair.second == std::set<int>({1, 2}));
        }
        EXPECT_EQ(deal[0], deal[1]);
    }
}

// A refused game leaves the running one as it was; a new set replaces the running one and no set
// deals it again; the remainders of the layout go to the last row and column (laid out again on a
// resize: the face cache test); destroying the board frees the running game.
TEST_F(BoardTest, GamesAreRefusedReplacedLaidOutAndEnded)
{
    std::string error;
    EXPECT_TRUE(!StartGame(board, nullptr, 2, 2, error) && error == "Unknown error"); // no set, no game
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
                   {20, 0, 4, "Unknown error"}};
    for (const auto& game : refused) {
        CardSet* cards = game.Pairs ? MakeCardSet(game.Pairs) : nullptr;
        EXPECT_FALSE(StartGame(board, cards, game.Rows, game.Columns, error));
        EXPECT_NE(std::string::npos, error.find(game.Says)) << error;
        delete cards; // the caller keeps a refused set
    }
    EXPECT_TRUE(first == Card(1) && !Card(5));
    Start(nullptr, 4, 4);
    EXPECT_EQ(nine, GetBoardCardSet(Card(16)));
    LayoutCards(board, 403, 302);
    RECT last, expected = {300, 225, 403, 302};
    GetWindowRect(Card(16), &last);
    MapWindowPoints(nullptr, board, reinterpret_cast<POINT*>(&last), 2);
    EXPECT_TRUE(EqualRect(&expected, &last)) << last.left << "," << last.top << "," << last.right << "," << last.bottom;
    CardSet* six = MakeCardSet(6);
    Start(six, 2, 2);
    EXPECT_TRUE(six == GetBoardCardSet(Card(1)) && !Card(5));
    EndGame(board);
    EXPECT_TRUE(!Card(1) && !GetPropA(board, "Params"));
    Click(1);
    Start(MakeCardSet(8), 4, 4);
    int users = CountUserObjects();
    DestroyWindow(board);
    EXPECT_LE(CountUserObjects(), users - 17);
    board = CreateWindowExA(0, "MnemoraGameClass", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(1, TurnState());
}

// Stray ids and face-up cards are ignored; a mismatch is turned back after the display time (a
// negative one waits not at all); a click queued meanwhile takes effect after it; a match stays face
// up though other pairs have the same texts (a won board dealt anew: the media board test and the
// acceptance script).
TEST_F(BoardTest, TurnRules)
{
    Start(new CardSet(8, {"same", "same", "", "", "", "", "", ""}), 4, 4);
    for (int stray : {0, 17, -1})
        Click(stray);
    EXPECT_EQ(1, TurnState());
    int first = CardOf(0, 0), stranger = CardOf(1, 0);
    for (const char* displayTime : {"300", "-5000"}) {
        int third = CardOf(displayTime[0] == '-' ? 3 : 2, 0);
        WriteSetting("DisplayTime", displayTime);
        Click(first);
        Click(first);
        EXPECT_EQ(first, GetWindowLongA(board, FirstCardIdSlot));
        PostMessageA(board, WM_COMMAND, MAKEWPARAM(third, BN_CLICKED), 0);
        DWORD start = GetTickCount();
        Click(stranger);
        DWORD waited = GetTickCount() - start;
        EXPECT_TRUE(displayTime[0] == '-' ? waited < 1000 : waited >= 290) << waited;
        EXPECT_TRUE(FaceUp(first) + FaceUp(stranger) + FaceUp(third) == 0 && TurnState() == 1);
        PumpMessages();
        EXPECT_EQ(3, TurnState() + FaceUp(third)); // the queued click turned the third card
        Click(CardOf(4, 0));
    }
    Click(first);
    Click(CardOf(0, 1));
    EXPECT_EQ(2, FaceUp(first) + FaceUp(CardOf(0, 1)));
}

// A press and a release inside the card is a click (without a press, the release point alone
// counts, face up too); the press ends when another window takes the mouse; pending messages leave
// the quit request to the main loop.
TEST_F(BoardTest, PressAndReleaseInsideTheCardIsAClick)
{
    auto clickIsQueued = [this](int id) {
        MSG msg;
        return PeekMessageA(&msg, board, WM_COMMAND, WM_COMMAND, PM_REMOVE) && msg.wParam == MAKEWPARAM(id, BN_CLICKED);
    };
    Start(MakeCardSet(8), 4, 4);
    RECT client;
    GetClientRect(Card(6), &client);
    const POINT releases[] = {{client.right - 1, client.bottom - 1}, {client.right, 10}, {10, client.bottom}, {-1, 10}};
    for (const POINT& at : releases) { // only the first is inside
        SendMessageA(Card(6), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        EXPECT_EQ(1, Slot(6, PressedSlot));
        SendMessageA(Card(6), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        EXPECT_EQ(0, Slot(6, PressedSlot));
        EXPECT_EQ(&at == releases, clickIsQueued(6)) << at.x << "," << at.y;
    }
    SetWindowLongA(Card(6), FaceUpSlot, 1);
    SendMessageA(Card(6), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(clickIsQueued(6));
    SendMessageA(Card(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SetCapture(Card(3));
    EXPECT_EQ(0, Slot(2, PressedSlot));
    ReleaseCapture();
    EXPECT_FALSE(clickIsQueued(2));
    PostQuitMessage(7);
    PumpPendingMessages();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}
