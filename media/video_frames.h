// A card's video window that draws the video's frames itself, for platforms whose hosted player
// control cannot show video inside a window of the card.
#pragma once

#include <windows.h>

// Registers the window class of frame-drawing video windows ("MnemoraVideoClass").
void RegisterVideoFramesClass(HINSTANCE instance);
// Loads the next of the components that play videos ahead of the first video; false when none was
// left.
bool LoadNextVideoComponent();
// A child window like the hosted player's: given place, size and id, holding the file, black
// and still until played, without controls. Null when the window can't be created.
HWND CreateVideoFramesWindow(int x, int y, int width, int height, HWND parent, int id, const char* fileName);
bool IsVideoFramesWindow(HWND window);
// Plays the file from its start (nothing when it already plays); failures leave the window black.
void PlayVideoFrames(HWND window);
// Stops playing and releases the playing machinery; the window turns black.
void StopVideoFrames(HWND window);
// Waits like Sleep, handling no message, but draws the new frames of playing videos meanwhile
// (the display time of a turn keeps videos moving).
void WaitShowingVideos(DWORD milliseconds);
