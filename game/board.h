// The game board: owns the running game, its card buttons and the turn logic.
#pragma once

#include "cardset/card_set.h"

#include <windows.h>

#include <string>

// The board's 32-bit window slots (byte indexes for Get/SetWindowLongA).
const int TurnStateSlot = 0;   // 1 = waiting for a turn's first card, 2 = for its second card
const int FirstCardIdSlot = 4; // child id of the turn's first card while TurnStateSlot is 2

// Registers the board class "MnemoraGameClass" and the card button class.
void RegisterGameClasses(HINSTANCE instance);

// Deals a new game. cards is a freshly loaded set that the board takes over on success, or null
// to deal again with the running game's set. On failure error holds the text to show, the
// caller keeps cards and the running game stays as it was.
bool StartGame(HWND board, CardSet* cards, int rows, int columns, std::string& error);

// Removes the running game and stops all card media.
void EndGame(HWND board);

// The running game's rows and columns; false when no game runs.
bool GetBoardShape(HWND board, int& rows, int& columns);

// Places the card buttons in a client area of the given size.
void LayoutCards(HWND board, int width, int height);
// The turn logic for a click on a card. A click that arrives while a turn is being decided (from
// a message box or the pending messages dispatched before the wait) is held and takes effect
// once the turn is decided.
void OnCardClicked(HWND board, int cardId);
// Stops the sound and every card's video, and hides the videos.
void StopAllCardMedia(HWND board);
// Starts the sound and the video of a card that has just been turned face up.
void PlayCardMedia(HWND card);
// The card set of the game that the card belongs to; null when no game runs.
CardSet* GetBoardCardSet(HWND card);
// Dispatches every message waiting in this thread's queue.
void PumpPendingMessages();

// The deal's own generator: sets its state, and draws a number from 0 to n - 1.
void SeedRandom(unsigned int seed);
int RandomBelow(int n);
