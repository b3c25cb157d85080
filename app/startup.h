// Process start-up and shutdown, and the process-wide objects they make.
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

// Runs the message loop, every message passing the accelerators first; returns WM_QUIT's wParam.
int RunMessageLoop(HWND mainWindow, HACCEL accelerators);

// Releases what StartApplication prepared, in reverse order.
void StopApplication();
