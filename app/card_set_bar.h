// The card-set bar: board-size buttons with drawn grids, and the list of card sets.
#pragma once

#include <windows.h>

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

LRESULT CALLBACK BarWindowProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam);

int CountBoardSizes();
// Preferred size of the bar: all buttons with their gaps.
SIZE GetBarSize(HWND bar);
// The 96 x 96 button image of a board size; the caller deletes it.
HBITMAP DrawBoardSizeImage(int rows, int columns);
// Refills the combo box with every card set, sorted, none selected.
void FillCardSetCombo(HWND mainWindow);
