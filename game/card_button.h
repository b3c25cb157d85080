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
