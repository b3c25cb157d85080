// The colour swatch control of the settings dialog: a window that shows one colour.
#pragma once

#include <windows.h>

// Registers "MnemoraColorClass"; a failure shows nothing here (the settings dialog then cannot open).
void RegisterColorSwatchClass(HINSTANCE instance);

void SetSwatchColor(HWND swatch, COLORREF color);
// Back to "no colour": painted in the button-face colour.
void ClearSwatchColor(HWND swatch);
// The colour set last; 0 when none was ever set.
COLORREF GetSwatchColor(HWND swatch);
bool SwatchHasColor(HWND swatch);
