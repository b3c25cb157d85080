// Game board and card buttons: the deal, refusals, layout, the turn rules, clicks held while a
// turn is decided, and press feedback.
#include "app/startup.h"
#include "game/card_face.h"
#include "tests/game/board_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

static bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) || (IsRectEmpty(&a) && IsRectEmpty(&b) && a.left == b.left && a.top == b.top &&
                                 a.right == b.right && a.bottom == b.bottom);
}

static void PrintTo(const RECT& r, std::ostream* out)
{
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

// The deal as the generator's description gives it, for cells 1..n and a set of pairs.
struct ExpectedCard {
    int PairIndex;
    int Side;
};

std::map<int, ExpectedCard> ReferenceDeal(unsigned int seed, int pairs, int cells)
{
    unsigned int state = seed;
    auto draw = [&state](int n) {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF) % n;
    };
    std::map<int, ExpectedCard> deal;
    std::set<int> dealt, taken;
    for (int slot = 0; slot < cells / 2; ++slot) {
        int k = draw(pairs);
        while (dealt.count(k))
            k = draw(pairs);
        int p1 = draw(cells) + 1;
        while (taken.count(p1))
            p1 = draw(cells) + 1;
        int p2 = draw(cells) + 1;
        while (p2 == p1 || taken.count(p2))
            p2 = draw(cells) + 1;
        deal[p1] = {k, 1};
        deal[p2] = {k, 2};
        dealt.insert(k);
        taken.insert(p1);
        taken.insert(p2);
    }
    return deal;
}

void Click(HWND board, int id)
{
    SendMessageA(board, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

bool ClickIsQueued(HWND board, int id)
{
    MSG msg;
    bool queued = PeekMessageA(&msg, board, WM_COMMAND, WM_COMMAND, PM_REMOVE) != 0;
    return queued && LOWORD(msg.wParam) == id && HIWORD(msg.wParam) == BN_CLICKED;
}

} // namespace

TEST_F(BoardTest, DealPlacesDistinctPairsWithBothSides)
{
    Start(MakeCardSet(30), 4, 5);
    std::map<int, std::set<int>> sides;
    for (int id = 1; id <= 20; ++id) {
        ASSERT_NE(nullptr, Card(id));
        EXPECT_EQ(0, FaceUp(id));
        sides[PairOf(id)].insert(Slot(id, SideSlot));
    }
    EXPECT_EQ(nullptr, Card(21));
    EXPECT_EQ(10u, sides.size());
    for (const auto& pair : sides) {
        EXPECT_GE(pair.first, 0);
        EXPECT_LT(pair.first, 30);
        EXPECT_EQ((std::set<int>{1, 2}), pair.second);
    }
    EXPECT_EQ(1, TurnState());
}

TEST_F(BoardTest, SetWithExactlyEnoughPairsDealsEveryPair)
{
    Start(MakeCardSet(8), 4, 4);
    std::map<int, int> count;
    for (int id = 1; id <= 16; ++id)
        ++count[PairOf(id)];
    EXPECT_EQ(8u, count.size());
    for (const auto& pair : count)
        EXPECT_EQ(2, pair.second);
}

TEST_F(BoardTest, SameSeedGivesTheSameDealInTheDrawOrder)
{
    for (unsigned int seed : {0u, 12345u, 0xFFFFFFFFu}) {
        SeedRandom(seed);
        Start(MakeCardSet(12), 4, 5);
        std::map<int, ExpectedCard> expected = ReferenceDeal(seed, 12, 20);
        for (int id = 1; id <= 20; ++id) {
            EXPECT_EQ(expected[id].PairIndex, PairOf(id)) << "seed " << seed << " card " << id;
            EXPECT_EQ(expected[id].Side, Slot(id, SideSlot)) << "seed " << seed << " card " << id;
        }
    }
}

TEST_F(BoardTest, TooFewCardsAreRefusedWithTheCountsAndTheGameStays)
{
    Start(MakeCardSet(9), 2, 2);
    HWND first = Card(1);
    int pair = PairOf(1);
    CardSet* small = MakeCardSet(3);
    std::string error;
    EXPECT_FALSE(StartGame(board, small, 4, 4, error));
    EXPECT_EQ("Too few cards for a game with 4 rows and 4 columns\n\nCount of cards available: 3\n"
              "Minimal count of cards needed: 8",
              error);
    CardSet* nine = MakeCardSet(9);
    EXPECT_FALSE(StartGame(board, nine, 4, 5, error));
    EXPECT_EQ("Too few cards for a game with 4 rows and 5 columns\n\nCount of cards available: 9\n"
              "Minimal count of cards needed: 10",
              error);
    EXPECT_FALSE(StartGame(board, nullptr, 4, 5, error));
    EXPECT_EQ("Count of cards available: 9", error.substr(error.find("Count"), 27));
    delete small;
    delete nine;
    // The running game is untouched and still playable.
    EXPECT_EQ(first, Card(1));
    EXPECT_EQ(pair, PairOf(1));
    EXPECT_EQ(nullptr, Card(5));
    Click(board, 1);
    EXPECT_EQ(1, FaceUp(1));
}

TEST_F(BoardTest, GamesWithoutSetOrWithOddOrNoCellsAreUnknownErrors)
{
    std::string error;
    EXPECT_FALSE(StartGame(board, nullptr, 2, 2, error));
    EXPECT_EQ("Unknown error", error);
    CardSet* cards = MakeCardSet(20);
    EXPECT_FALSE(StartGame(board, cards, 3, 3, error));
    EXPECT_EQ("Unknown error", error);
    EXPECT_FALSE(StartGame(board, cards, 0, 4, error));
    EXPECT_EQ("Unknown error", error);
    EXPECT_FALSE(StartGame(board, cards, -2, 2, error));
    EXPECT_EQ("Unknown error", error);
    EXPECT_EQ(nullptr, GetBoardCardSet(Card(1)));
    delete cards;
}

TEST_F(BoardTest, NewSetReplacesTheOldAndNullDealsTheSameSetAgain)
{
    CardSet* first = MakeCardSet(4);
    Start(first, 2, 2);
    EXPECT_EQ(first, GetBoardCardSet(Card(1)));
    Start(nullptr, 2, 4);
    EXPECT_EQ(first, GetBoardCardSet(Card(8)));
    CardSet* second = MakeCardSet(6);
    Start(second, 2, 2);
    EXPECT_EQ(second, GetBoardCardSet(Card(1)));
    EXPECT_EQ(nullptr, Card(5));
    EndGame(board);
    EXPECT_EQ(nullptr, Card(1));
    EXPECT_EQ(nullptr, GetPropA(board, "Params"));
    Click(board, 1);
    EndGame(board);
}

TEST_F(BoardTest, LayoutGivesTheRemaindersToTheLastRowAndColumn)
{
    Start(MakeCardSet(8), 4, 4);
    LayoutCards(board, 403, 302);
    auto rectOf = [this](int id) {
        RECT rect;
        GetWindowRect(Card(id), &rect);
        MapWindowPoints(nullptr, board, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    EXPECT_EQ((RECT{0, 0, 100, 75}), rectOf(1));
    EXPECT_EQ((RECT{300, 0, 403, 75}), rectOf(4));
    EXPECT_EQ((RECT{100, 75, 200, 150}), rectOf(6));
    EXPECT_EQ((RECT{0, 225, 100, 302}), rectOf(13));
    EXPECT_EQ((RECT{300, 225, 403, 302}), rectOf(16));
    LayoutCards(board, 3, 302);
    EXPECT_EQ(0, rectOf(1).right - rectOf(1).left);
    EXPECT_EQ(0, rectOf(3).right - rectOf(3).left);
    EXPECT_EQ((RECT{0, 0, 3, 75}), rectOf(4));
    // The board lays its cards out when it is resized.
    SetWindowPos(board, nullptr, 0, 0, 401, 300, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ((RECT{300, 225, 401, 300}), rectOf(16));
}

TEST_F(BoardTest, FaceUpCardsAndStrayIdsAreIgnored)
{
    Start(MakeCardSet(8), 4, 4);
    Click(board, 0);
    Click(board, 17);
    Click(board, -1);
    EXPECT_EQ(1, TurnState());
    Click(board, 3);
    EXPECT_EQ(1, FaceUp(3));
    EXPECT_EQ(2, TurnState());
    EXPECT_EQ(3, GetWindowLongA(board, FirstCardIdSlot));
    Click(board, 3);
    EXPECT_EQ(2, TurnState());
    EXPECT_EQ(3, GetWindowLongA(board, FirstCardIdSlot));
}

TEST_F(BoardTest, MismatchIsTurnedBackAfterTheDisplayTime)
{
    SetDisplayTime(300);
    Start(MakeCardSet(8), 4, 4);
    int stranger = StrangerOf(1, 16);
    Click(board, 1);
    DWORD start = GetTickCount();
    Click(board, stranger);
    DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 290u);
    EXPECT_EQ(0, FaceUp(1));
    EXPECT_EQ(0, FaceUp(stranger));
    EXPECT_EQ(1, TurnState());
}

TEST_F(BoardTest, NegativeDisplayTimeWaitsNotAtAll)
{
    WriteSetting("DisplayTime", "-5000");
    Start(MakeCardSet(8), 4, 4);
    Click(board, 1);
    DWORD start = GetTickCount();
    Click(board, StrangerOf(1, 16));
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(0, FaceUp(1));
}

TEST_F(BoardTest, MatchStaysFaceUpAndEqualTextsOfOtherPairsDoNotMatch)
{
    CardSet* cards = MakeCardSet(8);
    for (CardPair& pair : *cards)
        pair.Text1 = pair.Text2 = "same";
    Start(cards, 4, 4);
    int partner = PartnerOf(1, 16);
    int stranger = StrangerOf(1, 16);
    Click(board, 1);
    Click(board, stranger);
    EXPECT_EQ(0, FaceUp(1));
    EXPECT_EQ(0, FaceUp(stranger));
    Click(board, 1);
    Click(board, partner);
    EXPECT_EQ(1, FaceUp(1));
    EXPECT_EQ(1, FaceUp(partner));
    EXPECT_EQ(1, TurnState());
}

TEST_F(BoardTest, WonBoardIsDealtAgainWithTheSameSetAndSize)
{
    CardSet* cards = MakeCardSet(2);
    Start(cards, 2, 2);
    HWND oldCard = Card(1);
    int partner = PartnerOf(1, 4);
    Click(board, 1);
    Click(board, partner);
    int rest = 2;
    while (rest == 1 || rest == partner)
        ++rest;
    Click(board, rest);
    Click(board, PartnerOf(rest, 4));
    EXPECT_FALSE(IsWindow(oldCard));
    for (int id = 1; id <= 4; ++id) {
        ASSERT_NE(nullptr, Card(id));
        EXPECT_EQ(0, FaceUp(id));
    }
    EXPECT_EQ(nullptr, Card(5));
    EXPECT_EQ(cards, GetBoardCardSet(Card(1)));
    EXPECT_EQ(1, TurnState());
}

TEST_F(BoardTest, ClickQueuedBeforeTheWaitTakesEffectAfterTheTurn)
{
    SetDisplayTime(50);
    Start(MakeCardSet(8), 4, 4);
    int stranger = StrangerOf(1, 16);
    int third = 1;
    while (third == 1 || third == stranger || PairOf(third) == PairOf(1) || PairOf(third) == PairOf(stranger))
        ++third;
    Click(board, 1);
    // A click on a third card waits in the queue while the second card is being decided.
    PostMessageA(board, WM_COMMAND, MAKEWPARAM(third, BN_CLICKED), 0);
    Click(board, stranger);
    EXPECT_EQ(0, FaceUp(1));
    EXPECT_EQ(0, FaceUp(stranger));
    EXPECT_EQ(0, FaceUp(third));
    EXPECT_EQ(1, TurnState());
    PumpMessages();
    EXPECT_EQ(1, FaceUp(third));
    EXPECT_EQ(2, TurnState());
    EXPECT_EQ(third, GetWindowLongA(board, FirstCardIdSlot));
}

TEST_F(BoardTest, ClicksDuringTheSoundErrorBoxWaitForTheTurn)
{
    CardSet* cards = MakeCardSet(8);
    for (CardPair& pair : *cards)
        pair.SoundFileName1 = "missing-sound.wav";
    Start(cards, 4, 4);
    int first = 1;
    while (Slot(first, SideSlot) != 1)
        ++first;
    int second = StrangerOf(first, 16);
    SoundPlayer* player = TheSoundPlayer;
    TheSoundPlayer = nullptr;
    DialogDriver driver;
    HWND box = nullptr;
    driver.Then([&](HWND dialog) {
        box = dialog;
        // The box has no owner: the board still takes clicks while it is shown.
        PostMessageA(board, WM_COMMAND, MAKEWPARAM(second, BN_CLICKED), 0);
        PumpMessages(50);
        EXPECT_EQ(0, FaceUp(second));
        PressDialogButton(dialog, IDOK);
    });
    driver.Press(IDOK); // the second card's own sound error, once its click takes effect
    Click(board, first);
    EXPECT_NE(nullptr, box);
    ASSERT_GE(driver.Seen().size(), 1u);
    EXPECT_EQ("Error", driver.Seen()[0].Caption);
    EXPECT_EQ("pData is NULL", driver.Seen()[0].Text);
    EXPECT_EQ(1, FaceUp(first));
    EXPECT_EQ(0, FaceUp(second));
    EXPECT_EQ(2, TurnState());
    EXPECT_EQ(first, GetWindowLongA(board, FirstCardIdSlot));
    // Once the turn is decided the held click turns the second card and decides the turn.
    PumpMessages(300);
    TheSoundPlayer = player;
    EXPECT_EQ(1, TurnState());
    EXPECT_EQ(0, FaceUp(first));
    EXPECT_EQ(0, FaceUp(second));
}

TEST_F(BoardTest, PressAndReleaseInsideIsAClick)
{
    Start(MakeCardSet(8), 4, 4);
    HWND card = Card(6);
    RECT client;
    GetClientRect(card, &client);
    SendMessageA(card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(1, Slot(6, PressedSlot));
    EXPECT_EQ(card, GetCapture());
    SendMessageA(card, WM_LBUTTONUP, 0, MAKELPARAM(client.right - 1, client.bottom - 1));
    EXPECT_EQ(0, Slot(6, PressedSlot));
    EXPECT_NE(card, GetCapture());
    EXPECT_TRUE(ClickIsQueued(board, 6));
    // A face-up card posts its click too; the board ignores it.
    SetWindowLongA(card, FaceUpSlot, 1);
    SendMessageA(card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(card, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(ClickIsQueued(board, 6));
}

TEST_F(BoardTest, ReleaseOutsideTheCardIsNoClick)
{
    Start(MakeCardSet(8), 4, 4);
    HWND card = Card(6);
    RECT client;
    GetClientRect(card, &client);
    const POINT outside[] = {{client.right, 10}, {10, client.bottom}, {-1, 10}, {10, -1}, {client.right + 150, 10}};
    for (POINT point : outside) {
        SendMessageA(card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageA(card, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        EXPECT_EQ(0, Slot(6, PressedSlot));
        EXPECT_FALSE(ClickIsQueued(board, 6)) << point.x << "," << point.y;
    }
    // A release without a press counts by its point alone.
    SendMessageA(card, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(ClickIsQueued(board, 6));
}

TEST_F(BoardTest, PressEndsWhenAnotherWindowTakesTheMouse)
{
    Start(MakeCardSet(8), 4, 4);
    SendMessageA(Card(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(1, Slot(2, PressedSlot));
    SetCapture(Card(3));
    EXPECT_EQ(0, Slot(2, PressedSlot));
    ReleaseCapture();
    EXPECT_FALSE(ClickIsQueued(board, 2));
}

TEST_F(BoardTest, StoppingMediaHidesEveryVideoWindow)
{
    Start(MakeCardSet(8), 4, 4);
    HWND video = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Card(5),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(CardVideoId)), nullptr, nullptr);
    ASSERT_TRUE(IsWindowVisible(video));
    StopAllCardMedia(board);
    EXPECT_FALSE(IsWindowVisible(video));
    // Turning a card stops and hides the videos of all cards.
    ShowWindow(video, SW_SHOW);
    Click(board, 1);
    EXPECT_FALSE(IsWindowVisible(video));
}

TEST_F(BoardTest, DestroyingTheBoardFreesTheRunningGame)
{
    Start(MakeCardSet(8), 4, 4);
    Click(board, 1);
    int users = CountUserObjects();
    DestroyWindow(board);
    EXPECT_LE(CountUserObjects(), users - 17);
    board = CreateWindowExA(0, "MnemoraGameClass", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(1, TurnState());
}
