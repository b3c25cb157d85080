// A card button: one card of the deal on the board; paints itself and reports clicks.
#pragma once

#include <windows.h>

// The card button's 32-bit window slots (byte indexes for Get/SetWindowLongA).
const int FaceUpSlot = 0;    // 1 when the card shows its face
const int PressedSlot = 4;   // 1 while the left mouse button is held down on the card
const int PairIndexSlot = 8; // index of the card's pair in the game's card set, -1 = no card
const int SideSlot = 12;     // 1 = first card of the pair, 2 = second card
const int CardButtonExtraBytes = 16;

// Child id of a card's video window.
const int CardVideoId = 1;

LRESULT CALLBACK CardButtonProc(HWND card, UINT msg, WPARAM wParam, LPARAM lParam);

// Keyboard focus marks are hidden until the keyboard is used to move around or to play, as the
// platform hides focus cues from players who use the mouse; then they stay.
void ShowFocusMarks();
bool FocusMarksShown();
// The keyboard focus mark: a frame two pixels wide in a black and white checker, seen on any
// colour; drawn over a card just inside its bevel (after its face) when the card has the focus and
// focus marks are shown.
void DrawFocusFrame(HDC dc, const RECT& frame);
void DrawCardFocusMark(HWND card, HDC dc);
// Gives the keyboard focus to the board's focus card: the card that had it last, or the first;
// false when the board has no cards.
bool FocusBoardCard(HWND board);
// After a deal: the first card becomes the focus card and, when the board's window is active, gets
// the keyboard focus.
void FocusFirstCard(HWND board);
