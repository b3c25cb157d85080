// Shared by the game tests: a board window of its own with card sets made up on the spot, drawing
// on a white memory bitmap, and red pixels counted.
#pragma once

#include "support/board_window.h"

#include <functional>
#include <string>

inline CardSet* MakeCardSet(int pairs)
{
    CardSet* cards = new CardSet(pairs);
    for (int i = 0; i < pairs; ++i) {
        (*cards)[i].Text1 = "first " + std::to_string(i);
        (*cards)[i].Text2 = "second " + std::to_string(i);
    }
    return cards;
}

// Pixels that are clearly red, in the columns from left to right (exclusive; -1 = all).
inline int CountReddish(const Pixels& pixels, int left = 0, int right = -1)
{
    int n = 0;
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = left; x < (right < 0 ? pixels.Width : right); ++x) {
            COLORREF c = pixels.At(x, y);
            n += GetRValue(c) > 150 && GetGValue(c) < 100 && GetBValue(c) < 100;
        }
    return n;
}

inline Pixels DrawOnWhite(int width, int height, const std::function<void(HDC)>& draw)
{
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw(memory);
    Pixels pixels = CaptureDC(memory, width, height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

class BoardTest : public BoardWindowTest {
  protected:
    // Deals a new game with the set, which the board takes over.
    void Start(CardSet* cards, int rows, int columns)
    {
        std::string error;
        ASSERT_TRUE(StartGame(board, cards, rows, columns, error)) << error;
    }
    void Click(int id) { SendMessageA(board, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    int Slot(int id, int slot) const { return GetWindowLongA(Card(id), slot); }
    int PairOf(int id) const { return Slot(id, PairIndexSlot); }
    int TurnState() const { return GetWindowLongA(board, TurnStateSlot); }
    // The first card other than id that is of its pair (its partner), or of another pair.
    int OtherCard(int id, bool samePair, int cells = 16) const
    {
        for (int other = 1; other <= cells; ++other)
            if (other != id && (PairOf(other) == PairOf(id)) == samePair)
                return other;
        return 0;
    }
};
