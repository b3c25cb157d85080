// The card sets dialog: add, rename, copy, modify and remove whole card sets.
#pragma once

#include <windows.h>

// Nonzero when any card set was changed.
int ShowCardSetsDialog(HWND owner);
