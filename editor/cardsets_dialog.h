// The card sets dialog: add, rename, copy, modify and remove whole card sets.
#pragma once

#include <windows.h>

// 1 once anything in the card set folder was changed while the card sets dialog was open; set to
// 0 when it opens, and by the card set dialog too.
extern int CardSetsChanged;

// Nonzero when any card set was changed.
int ShowCardSetsDialog(HWND owner);
