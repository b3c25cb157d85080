// Process start-up and shutdown, the process-wide objects they make, and the display's DPI.
#pragma once

#include "media/sound_player.h"

#include <windows.h>

extern char AppTitle[256];
extern COLORREF CustomColors[16];
extern SoundPlayer* TheSoundPlayer;

// Prepares the libraries, the process-wide objects and the window classes. False when start-up
// failed; the failure has been shown and the process should end with exit code 0.
bool StartApplication(HINSTANCE instance, HINSTANCE previous);

// Creates the main window at its start-up size; shows "CreateWindow of main window failed" and
// returns null on failure.
HWND CreateMainWindow(HINSTANCE instance);

// Runs the message loop, every message passing the accelerators first, and the idle work
// (game/idle_work.h) while no message waits; returns WM_QUIT's wParam.
int RunMessageLoop(HWND mainWindow, HACCEL accelerators);

// Releases what StartApplication prepared, in reverse order.
void StopApplication();

// The DPI a window is drawn at: its monitor's where the system tracks DPI per monitor, else the
// display's (LOGPIXELSX). At 96 everything is drawn in its designed pixel sizes.
int GetWindowDpi(HWND window);

// A system metric at the given DPI where the system can say, else at the system's DPI.
int GetSystemMetricForDpi(int index, int dpi);

// A length in pixels designed for 96 DPI, at the given DPI.
inline int ScaleForDpi(int pixels, int dpi)
{
    return MulDiv(pixels, dpi, 96);
}
