// The print command: prints the card set selected in the bar.
#pragma once

#include <windows.h>

void PrintCardSet(HWND mainWindow);
