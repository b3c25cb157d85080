// The game board: owns the running game, its card buttons and the turn logic.
#pragma once

#include "cardset/card_set.h"

#include <windows.h>

#include <string>

// Registers the board class "MnemoraGameClass" and the card button class.
void RegisterGameClasses(HINSTANCE instance);

// Deals a new game. cards is a freshly loaded set that the board takes over on success, or null
// to deal again with the running game's set. On failure error holds the text to show, the
// caller keeps cards and the running game stays as it was.
bool StartGame(HWND board, CardSet* cards, int rows, int columns, std::string& error);

// Removes the running game and stops all card media.
void EndGame(HWND board);
