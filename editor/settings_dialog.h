// The settings dialog: display time and card colour.
#pragma once

#include <windows.h>

// Nonzero when the values were stored.
int ShowSettingsDialog(HWND owner);
