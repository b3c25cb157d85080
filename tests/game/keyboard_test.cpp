// Keyboard play on the board: the focus mark, moving the focus, keys held during a turn's wait, and
// what a screen reader is told of each card.
#include "game/card_accessible.h"
#include "game/card_face.h"
#include "tests/game/game_fixture.h"

#include <oleacc.h>

namespace {

std::vector<std::pair<DWORD, HWND>> Events; // the win events seen, with their windows

void CALLBACK SeeEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD, DWORD)
{
    Events.push_back({event, window});
}

} // namespace

// A mouse player sees no mark; once keys are used, the focused card alone shows a black and white
// frame inside its bevel, face down and face up, and drawing it leaves no objects behind.
TEST_F(BoardTest, FocusMarkShowsOnceTheKeyboardIsUsed)
{
    Start(MakeCardSet(2), 2, 2);
    PumpMessages();
    auto frameInk = [this](int id) { // the fewer of black and white pixels along the frame's top row
        Pixels p = CaptureClient(Card(id));
        int margin = CardFaceMargin(p.Width, p.Height), black = 0, white = 0;
        for (int x = margin + 1; x < p.Width - margin - 1; ++x) {
            black += p.At(x, margin + 1) == RGB(0, 0, 0);
            white += p.At(x, margin + 1) == RGB(255, 255, 255);
        }
        return std::min(black, white);
    };
    EXPECT_EQ(0, frameInk(1));
    SendMessageA(Card(1), WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_EQ(Card(2), GetFocus());
    int gdi = CountGdiObjects();
    EXPECT_TRUE(frameInk(2) > 150 && frameInk(1) == 0);
    EXPECT_EQ(gdi, CountGdiObjects());
    SendMessageA(Card(2), WM_KEYDOWN, VK_SPACE, 1);
    PumpMessages();
    EXPECT_EQ(1, FaceUp(2));
    frameInk(2); // keeps the finished face
    gdi = CountGdiObjects();
    EXPECT_GT(frameInk(2), 150) << "face up";
    EXPECT_EQ(gdi, CountGdiObjects());
}

// Arrows move one cell and stop at the edges; Home and End go to the first and last card. Enter
// during a turn's wait turns its card after the turn, as a click does; a key held down turns nothing.
TEST_F(BoardTest, KeysMoveTheFocusAndTurnCards)
{
    Start(MakeCardSet(10), 4, 5);
    const struct {
        int From;
        UINT Key;
        int To;
    } moves[] = {{1, VK_LEFT, 1},    {1, VK_UP, 1},     {1, VK_RIGHT, 2},  {1, VK_DOWN, 6}, {5, VK_RIGHT, 5},
                 {10, VK_RIGHT, 10}, {11, VK_LEFT, 11}, {18, VK_DOWN, 18}, {18, VK_UP, 13}, {13, VK_LEFT, 12},
                 {7, VK_HOME, 1},    {7, VK_END, 20},   {20, VK_DOWN, 20}};
    for (const auto& move : moves) {
        SetFocus(Card(move.From));
        SendMessageA(Card(move.From), WM_KEYDOWN, move.Key, 1);
        EXPECT_EQ(Card(move.To), GetFocus()) << move.From << " key " << move.Key;
    }
    int first = CardOf(0, 0), stranger = CardOf(1, 0), third = CardOf(2, 0), fourth = CardOf(3, 0);
    WriteSetting("DisplayTime", "300");
    Click(first);
    PostMessageA(Card(third), WM_KEYDOWN, VK_RETURN, 1);
    Click(stranger);
    EXPECT_EQ(0, FaceUp(first) + FaceUp(stranger) + FaceUp(third));
    PumpMessages();
    EXPECT_EQ(3, TurnState() + FaceUp(third));
    SendMessageA(Card(fourth), WM_KEYDOWN, VK_SPACE, 0x40000001); // a repeat of a key held down
    PumpMessages();
    EXPECT_EQ(0, FaceUp(fourth));
}

// Through the platform's accessibility functions: each card's name and state, face down, face up
// with its text as plain Unicode text (Greek, Cyrillic) and its media, and found; a turned card
// tells of its new name, and as the focused card it is spoken again.
TEST_F(BoardTest, ScreenReadersHearEachCard)
{
    // Greek in its font's code page, as the editor saves it; Cyrillic as Unicode escapes.
    Start(new CardSet{{"{\\rtf1\\ansi {\\b Robin}\\tab  red}", "", "robin.png", "", "song.wav", "", "", ""},
                      {"first 1", "", "", "", "", "", "", "wren.avi"},
                      {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset161 Tahoma;}}\\f0 \\'ea\\'e1\\'eb\\'de}",
                       "{\\rtf1\\ansi\\uc1 \\u1082?\\u1086?\\u1090?}", "", "", "", "", "", ""}},
          2, 3);
    SetFocus(nullptr);
    const long up = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_PRESSED;
    const struct {
        int Pair, Side, FaceUp;
        const wchar_t* Says;
        long State;
    } cases[] = {{0, 1, 0, L", face down", STATE_SYSTEM_FOCUSABLE},
                 {0, 1, 1, L": Robin red, picture, sound", up},
                 {0, 2, 1, L": Robin red, picture, sound, found", up | STATE_SYSTEM_READONLY},
                 {1, 2, 1, L": video", up},
                 {1, 1, 1, L": first 1, found", up | STATE_SYSTEM_READONLY},
                 {2, 1, 1, L": \x03ba\x03b1\x03bb\x03ae", up},
                 {2, 2, 1, L": \x043a\x043e\x0442, found", up | STATE_SYSTEM_READONLY}};
    for (const auto& card : cases) {
        int id = CardOfSide(card.Pair, card.Side);
        SetWindowLongA(Card(id), FaceUpSlot, card.FaceUp);
        long state = 0;
        EXPECT_EQ(L"Card " + std::to_wstring(id) + L" of 6" + card.Says,
                  AccessibleName(Card(id), CHILDID_SELF, &state));
        EXPECT_EQ(card.State, state) << id;
    }
    int id = CardOfSide(1, 1);
    SetWindowLongA(Card(id), FaceUpSlot, 0);
    SetFocus(Card(id));
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr, SeeEvent,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    Events.clear();
    Click(id);
    PumpMessages(100);
    UnhookWinEvent(hook);
    using Seen = std::pair<DWORD, HWND>;
    for (Seen seen : {Seen(EVENT_OBJECT_NAMECHANGE, Card(id)), Seen(EVENT_OBJECT_NAMECHANGE, Card(CardOfSide(1, 2))),
                      Seen(EVENT_OBJECT_FOCUS, Card(id))})
        EXPECT_EQ(1, std::count(Events.begin(), Events.end(), seen)) << seen.first;
}
