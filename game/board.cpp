// Game board: starts and ends games, deals the cards, lays them out and decides the turns.
#include "game/board.h"

#include "app/message_box.h"
#include "app/settings.h"
#include "app/startup.h"
#include "game/card_accessible.h"
#include "game/card_button.h"
#include "game/card_face.h"
#include "game/face_cache.h"
#include "media/sound_player.h"
#include "media/video_frames.h"
#include "media/video_player.h"

#include <windowsx.h>

#include <map>
#include <set>
#include <vector>

namespace {

// The running game's block, kept in the board's property "Params".
struct GameParams {
    CardSet* Cards;
    int Rows;
    int Columns;
};

const char ParamsPropertyName[] = "Params";
const int BoardExtraBytes = 8;

unsigned int RandomState = 0;

// Clicks held while a turn is being decided, in the order they came, and the boards deciding one.
struct HeldClick {
    HWND Board;
    int CardId;
};
std::vector<HeldClick> HeldClicks;
std::set<HWND> DecidingBoards;

// Counts the games dealt and ended, so that a turn interrupted by a message box notices when its
// game was replaced in the meantime.
unsigned int GameSerial = 0;

GameParams* GetParams(HWND board)
{
    return static_cast<GameParams*>(GetPropA(board, ParamsPropertyName));
}

GameParams* AllocateParams()
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(GameParams));
    if (!block)
        return nullptr;
    GameParams* params = static_cast<GameParams*>(GlobalLock(block));
    if (!params)
        GlobalFree(block);
    return params;
}

void ReleaseParams(GameParams* params)
{
    HGLOBAL block = GlobalHandle(params);
    GlobalUnlock(block);
    GlobalFree(block);
}

// Each board's cards in id order, as made for the game: laying them out finds them here instead of
// asking the window system for each (a request to the window server on some platforms, for every
// card at every step of a resize).
std::map<HWND, std::vector<HWND>> BoardCards;

void DestroyCards(HWND board, const GameParams* params)
{
    BoardCards.erase(board);
    for (int id = 1; id <= params->Rows * params->Columns; ++id)
        DestroyWindow(GetDlgItem(board, id));
}

void PlaceCard(HWND board, int cardId, int pairIndex, int side)
{
    HWND card = GetDlgItem(board, cardId);
    SetWindowLongA(card, PairIndexSlot, pairIndex);
    SetWindowLongA(card, SideSlot, side);
    InvalidateRect(card, nullptr, TRUE);
}

// Deals one pair after the other: a pair not yet dealt, then a free cell for its first card and
// another free cell for its second card, each drawn until it qualifies.
void Deal(HWND board, const GameParams* params)
{
    int cells = params->Rows * params->Columns;
    int pairs = static_cast<int>(params->Cards->size());
    std::set<int> dealt, taken;
    for (int slot = 0; slot < cells / 2; ++slot) {
        int pair, first, second;
        do
            pair = RandomBelow(pairs);
        while (dealt.count(pair));
        do
            first = RandomBelow(cells) + 1;
        while (taken.count(first));
        do
            second = RandomBelow(cells) + 1;
        while (second == first || taken.count(second));
        PlaceCard(board, first, pair, 1);
        PlaceCard(board, second, pair, 2);
        dealt.insert(pair);
        taken.insert(first);
        taken.insert(second);
    }
}

// Waits the display time, handling no input, with the videos moving; a negative setting waits
// not at all.
void WaitDisplayTime()
{
    int milliseconds = GetDisplayTime();
    WaitShowingVideos(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
}

bool AllCardsFaceUp(HWND board, const GameParams* params)
{
    for (int id = 1; id <= params->Rows * params->Columns; ++id)
        if (GetWindowLongA(GetDlgItem(board, id), FaceUpSlot) == 0)
            return false;
    return true;
}

void TurnCard(HWND card, int faceUp)
{
    SetWindowLongA(card, FaceUpSlot, faceUp);
    InvalidateRect(card, nullptr, TRUE);
    NotifyCardTurned(card);
}

// Turns the clicked card and, on a turn's second card, decides the turn. Returns early when the
// game was replaced while a message box or the pending messages ran.
void DecideTurn(HWND board, HWND card, int cardId, int turnState)
{
    unsigned int serial = GameSerial;
    TurnCard(card, 1);
    // The face is on screen before the media are stopped and started, which takes a fifth of a
    // second for a sound or a video; the order of the turn's effects stays the same.
    UpdateWindow(card);
    if (serial != GameSerial || !IsWindow(card))
        return;
    StopAllCardMedia(board);
    PlayCardMedia(card);
    if (serial != GameSerial || !IsWindow(board))
        return;
    if (turnState == 1) {
        SetWindowLongA(board, TurnStateSlot, 2);
        SetWindowLongA(board, FirstCardIdSlot, cardId);
        return;
    }
    PumpPendingMessages();
    if (serial != GameSerial || !IsWindow(board))
        return;
    GameParams* params = GetParams(board);
    HWND first = GetDlgItem(board, GetWindowLongA(board, FirstCardIdSlot));
    if (GetWindowLongA(first, PairIndexSlot) != GetWindowLongA(card, PairIndexSlot)) {
        WaitDisplayTime();
        TurnCard(first, 0);
        TurnCard(card, 0);
        StopAllCardMedia(board);
    } else if (AllCardsFaceUp(board, params)) {
        WaitDisplayTime();
        std::string error;
        StartGame(board, nullptr, params->Rows, params->Columns, error);
    }
    SetWindowLongA(board, TurnStateSlot, 1);
}

// Hands the clicks held during a turn back to the board, in order, behind what is queued now.
void ReleaseHeldClicks(HWND board)
{
    std::vector<HeldClick> kept;
    for (const HeldClick& click : HeldClicks) {
        if (click.Board != board)
            kept.push_back(click);
        else if (IsWindow(board))
            PostMessageA(board, WM_COMMAND, MAKEWPARAM(click.CardId, BN_CLICKED), 0);
    }
    HeldClicks.swap(kept);
}

BOOL OnBoardCreate(HWND board, LPCREATESTRUCT)
{
    SeedRandom(GetTickCount());
    SetWindowLongA(board, TurnStateSlot, 1);
    return TRUE;
}

void OnBoardDestroy(HWND board)
{
    ForgetBoardFaces(board);
    BoardCards.erase(board);
    GameParams* params = static_cast<GameParams*>(RemovePropA(board, ParamsPropertyName));
    if (params) {
        delete params->Cards;
        ReleaseParams(params);
    }
    ++GameSerial;
    std::vector<HeldClick> kept;
    for (const HeldClick& click : HeldClicks)
        if (click.Board != board)
            kept.push_back(click);
    HeldClicks.swap(kept);
}

void OnBoardSize(HWND board, UINT, int width, int height)
{
    NoteBoardResized(board, width, height);
    LayoutCards(board, width, height);
}

void OnBoardCommand(HWND board, int id, HWND, UINT)
{
    OnCardClicked(board, id);
}

// The game board: owns the running game and its card buttons.
LRESULT CALLBACK GameBoardProc(HWND board, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(board, WM_CREATE, OnBoardCreate);
        HANDLE_MSG(board, WM_DESTROY, OnBoardDestroy);
        HANDLE_MSG(board, WM_SIZE, OnBoardSize);
        HANDLE_MSG(board, WM_COMMAND, OnBoardCommand);
    }
    return DefWindowProcA(board, msg, wParam, lParam);
}

} // namespace

void RegisterGameClasses(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = GameBoardProc;
    wc.cbWndExtra = BoardExtraBytes;
    wc.hInstance = instance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "MnemoraGameClass";
    RegisterClassA(&wc);
    wc.lpfnWndProc = CardButtonProc;
    wc.cbWndExtra = CardButtonExtraBytes;
    wc.hbrBackground = nullptr;
    wc.lpszClassName = "MnemoraGameButtonClass";
    RegisterClassA(&wc);
}

bool StartGame(HWND board, CardSet* cards, int rows, int columns, std::string& error)
{
    error = "Unknown error";
    GameParams* running = GetParams(board);
    const CardSet* dealt = cards ? cards : running ? running->Cards : nullptr;
    if (!dealt)
        return false;
    // A board without cells (or a negative size) has nothing to deal and nothing to divide by.
    if (rows < 1 || columns < 1)
        return false;
    long long cells = static_cast<long long>(rows) * columns;
    if (cells % 2)
        return false;
    long long available = static_cast<long long>(dealt->size());
    long long needed = cells / 2;
    if (needed > available) {
        error = "Too few cards for a game with " + IntToString(rows) + " rows and " + IntToString(columns) +
                " columns" + "\n\n" + "Count of cards available: " + std::to_string(available) + "\n" +
                "Minimal count of cards needed: " + std::to_string(needed);
        return false;
    }
    GameParams* params = AllocateParams();
    if (!params)
        return false;

    StopAllCardMedia(board);
    CardSet* chosen = cards;
    if (running) {
        DestroyCards(board, running);
        if (cards)
            delete running->Cards;
        else
            chosen = running->Cards;
        ReleaseParams(running);
        SetPropA(board, ParamsPropertyName, nullptr);
    }
    ++GameSerial;
    params->Cards = chosen;
    params->Rows = rows;
    params->Columns = columns;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(board, GWLP_HINSTANCE));
    std::vector<HWND>& made = BoardCards[board];
    for (int id = 1; id <= rows * columns; ++id)
        made.push_back(CreateWindowExA(0, "MnemoraGameButtonClass", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, board,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr));
    SetPropA(board, ParamsPropertyName, params);
    Deal(board, params);
    PrepareBoardFaces(board);
    SetWindowLongA(board, TurnStateSlot, 1);
    RECT client;
    GetClientRect(board, &client);
    LayoutCards(board, client.right, client.bottom);
    FocusFirstCard(board);
    error.clear();
    return true;
}

void EndGame(HWND board)
{
    ForgetBoardFaces(board);
    GameParams* params = GetParams(board);
    if (params) {
        DestroyCards(board, params);
        delete params->Cards;
        ReleaseParams(params);
        SetPropA(board, ParamsPropertyName, nullptr);
        ++GameSerial;
    }
    StopAllCardMedia(board);
}

bool GetBoardShape(HWND board, int& rows, int& columns)
{
    GameParams* params = GetParams(board);
    rows = params ? params->Rows : 0;
    columns = params ? params->Columns : 0;
    return params != nullptr;
}

void LayoutCards(HWND board, int width, int height)
{
    GameParams* params = GetParams(board);
    if (!params)
        return;
    int cellWidth = width / params->Columns;
    int cellHeight = height / params->Rows;
    const std::vector<HWND>& cards = BoardCards[board];
    size_t id = 1;
    bool moved = false;
    for (int row = 0; row < params->Rows; ++row) {
        int y = row * cellHeight;
        int h = row == params->Rows - 1 ? height - y : cellHeight;
        for (int column = 0; column < params->Columns; ++column) {
            int x = column * cellWidth;
            int w = column == params->Columns - 1 ? width - x : cellWidth;
            HWND card = id <= cards.size() ? cards[id - 1] : nullptr;
            ++id;
            RECT now = {};
            GetWindowRect(card, &now);
            MapWindowPoints(HWND_DESKTOP, board, reinterpret_cast<POINT*>(&now), 2);
            if (!card || (now.left == x && now.top == y && now.right == x + w && now.bottom == y + h))
                continue;
            // Moved without the repaint of each move (its own round of invalidating the board
            // and its cards) and without erasing the board after each; the board is repainted
            // once below, which draws the same.
            SetWindowPos(card, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_DEFERERASE);
            moved = true;
        }
    }
    if (moved)
        RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void OnCardClicked(HWND board, int cardId)
{
    if (DecidingBoards.count(board)) {
        HeldClicks.push_back({board, cardId});
        return;
    }
    GameParams* params = GetParams(board);
    if (!params || cardId < 1 || cardId > params->Rows * params->Columns)
        return;
    HWND card = GetDlgItem(board, cardId);
    int turnState = GetWindowLongA(board, TurnStateSlot);
    if (!card || GetWindowLongA(card, FaceUpSlot) != 0 || (turnState != 1 && turnState != 2))
        return;
    DecidingBoards.insert(board);
    DecideTurn(board, card, cardId, turnState);
    DecidingBoards.erase(board);
    ReleaseHeldClicks(board);
}

void StopAllCardMedia(HWND board)
{
    StopSound(TheSoundPlayer);
    for (int id = 1;; ++id) {
        HWND card = GetDlgItem(board, id);
        if (!card)
            break;
        HWND video = GetDlgItem(card, CardVideoId);
        if (video) {
            StopVideo(video);
            ShowWindow(video, SW_HIDE);
        }
    }
}

void PlayCardMedia(HWND card)
{
    CardSet* cards = GetBoardCardSet(card);
    int pairIndex = GetWindowLongA(card, PairIndexSlot);
    if (!cards || pairIndex < 0 || static_cast<size_t>(pairIndex) >= cards->size())
        return;
    CardPair pair = (*cards)[pairIndex];
    int side = GetWindowLongA(card, SideSlot);
    std::string sound = SelectCardFaceField(pair, side, pair.SoundFileName1, pair.SoundFileName2);
    if (!sound.empty()) {
        ExpandFileName(sound);
        std::string error;
        if (!PlaySoundFile(TheSoundPlayer, sound, error)) {
            ShowErrorBox(nullptr, error);
            // The box let other messages run: the card may be gone with its game.
            if (!IsWindow(card))
                return;
        }
    }
    HWND video = GetDlgItem(card, CardVideoId);
    if (video)
        StopVideo(video);
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    DrawCardFace(card, screen, CardFacePlaceVideo);
    DeleteDC(screen);
    video = GetDlgItem(card, CardVideoId);
    if (video) {
        ShowWindow(video, SW_SHOW);
        PlayVideo(video);
    }
}

CardSet* GetBoardCardSet(HWND card)
{
    GameParams* params = GetParams(GetParent(card));
    return params ? params->Cards : nullptr;
}

void PumpPendingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // The quit request belongs to the main loop: leave it there rather than swallowing it.
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void SeedRandom(unsigned int seed)
{
    RandomState = seed;
}

int RandomBelow(int n)
{
    RandomState = RandomState * 214013u + 2531011u;
    int draw = static_cast<int>((RandomState >> 16) & 0x7FFF);
    return n > 0 ? draw % n : 0;
}
