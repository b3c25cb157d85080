// The game tests' board, on which the media tests deal their media cards too: a visible board
// window of its own (short display time, no user data left behind), card sets made up on the spot,
// the test media, drawing on a white memory bitmap, and red pixels counted.
#pragma once

#include "app/settings.h"
#include "game/board.h"
#include "game/card_button.h"
#include "support/test_support.h"

inline CardSet* MakeCardSet(int pairs)
{
    CardSet* cards = new CardSet(pairs);
    for (int i = 0; i < pairs; ++i)
        (*cards)[i].Text1 = "first " + std::to_string(i), (*cards)[i].Text2 = "second " + std::to_string(i);
    return cards;
}

// A file made by scripts/make-test-media.sh into the build folder's test-media.
inline std::string TestMediaFile(const std::string& name)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string program = path;
    return program.substr(0, program.rfind("\\tests\\")) + "\\test-media\\" + name;
}

// Pixels that are clearly red, in the columns from left to right (exclusive; -1 = all).
inline int CountReddish(const Pixels& pixels, int left = 0, int right = -1)
{
    int n = 0;
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = left; x < (right < 0 ? pixels.Width : right); ++x)
            n += GetRValue(pixels.At(x, y)) > 150 && GetGValue(pixels.At(x, y)) < 100 &&
                 GetBValue(pixels.At(x, y)) < 100;
    return n;
}

inline Pixels DrawOnWhite(int width, int height, const std::function<void(HDC)>& draw)
{
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, width, height, WHITENESS);
    draw(memory);
    Pixels pixels = CaptureDC(memory, width, height);
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

class BoardTest : public testing::Test {
  protected:
    void SetUp() override
    {
        ResetUserData();
        SetDisplayTime(20);
        board = CreateWindowExA(0, "MnemoraGameClass", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, board);
        PumpMessages();
    }
    void TearDown() override
    {
        DestroyWindow(board);
        PumpMessages();
        ResetUserData();
    }
    // Deals a new game with the set, which the board takes over.
    void Start(CardSet* cards, int rows, int columns)
    {
        std::string error;
        ASSERT_TRUE(StartGame(board, cards, rows, columns, error)) << error;
    }
    void Click(int id) { SendMessageA(board, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    HWND Card(int id) const { return GetDlgItem(board, id); }
    int Slot(int id, int slot) const { return GetWindowLongA(Card(id), slot); }
    int FaceUp(int id) const { return Slot(id, FaceUpSlot); }
    int PairOf(int id) const { return Slot(id, PairIndexSlot); }
    int TurnState() const { return GetWindowLongA(board, TurnStateSlot); }
    // The id of the first (which 0) or second card of a pair.
    int CardOf(int pair, int which) const
    {
        for (int id = 1; Card(id); ++id)
            if (PairOf(id) == pair && which-- == 0)
                return id;
        return 0;
    }
    // The id of the card of a pair that shows its side 1 or 2.
    int CardOfSide(int pair, int side) const
    {
        return Slot(CardOf(pair, 0), SideSlot) == side ? CardOf(pair, 0) : CardOf(pair, 1);
    }
    HWND board = nullptr;
};
