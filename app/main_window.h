// The main window: menu, commands, and the layout of the bar and the board.
#pragma once

#include <windows.h>

#include <string>

// Name of the card set of the last game started; stored as "LastProfile" at exit.
extern std::string CurrentCardSetName;

LRESULT CALLBACK MainWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// The card-set combo box of the main window's bar.
HWND GetCardSetCombo(HWND mainWindow);
