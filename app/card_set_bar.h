// The card-set bar: board-size buttons with drawn grids, and the list of card sets.
#pragma once

#include <windows.h>

#include <string>

// One board size: rows, columns and its image in the bar's image list (-1 before the bar exists).
struct BoardSize {
    int Rows;
    int Columns;
    int ImageIndex;
};

// The board sizes in button order, ended by a row whose Rows is 0. Button i sends 2001 + i.
extern BoardSize BoardSizes[];

const COLORREF BarBackgroundColor = RGB(0x80, 0xC0, 0xFF);
const int BarToolbarId = 1;
const int BarLabelId = 2;
const int BarComboId = 3;
// WM_DPICHANGED: the main window's monitor changed its DPI. The main window forwards it to the bar
// with the new DPI in the low word of wParam.
const UINT WmDpiChanged = 0x02E0;

LRESULT CALLBACK BarWindowProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam);

int CountBoardSizes();
// The DPI the bar draws at.
int GetBarDpi(HWND bar);
// Preferred size of the bar: all buttons with their gaps (699 x 104 at 96 DPI with 2-pixel edges).
SIZE GetBarSize(HWND bar);
// The size x size button image of a board size (96 x 96 at 96 DPI); the caller deletes it.
HBITMAP DrawBoardSizeImage(int rows, int columns, int size = 96);
// The name of board size row: "2 \u00D7 2" ... "5 \u00D7 4" (rows x columns), as spoken; and as the
// ANSI code page writes it ("x" where the code page has no multiplication sign).
std::wstring BoardSizeName(int row);
std::string BoardSizeAnsiName(int row);
// Refills the combo box with every card set, sorted, none selected.
void FillCardSetCombo(HWND mainWindow);
