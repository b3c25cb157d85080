// Faces made ahead and kept: after a deal the cards' faces are drawn in idle time, so that a
// turned card shows at once; while the board's size changes the kept faces are stretched, and
// once it has settled they are drawn exactly again in idle time. Pictures are decoded once per
// game.
#pragma once

#include <windows.h>

#include <string>

// After a deal: forgets the previous game's pictures and queues the new cards' faces as idle work.
void PrepareBoardFaces(HWND board);
// When the game ends or the board goes: drops the idle work and a pending settle, frees the pictures.
void ForgetBoardFaces(HWND board);
// On each change of the board's size: drops the idle work; until the size has stayed the same for
// SettleMilliseconds, faces are stretched from those kept; then the exact ones are queued.
void NoteBoardResized(HWND board, int width, int height);
const UINT SettleMilliseconds = 150;
// True while the board's size is changing.
bool IsBoardResizing(HWND board);
// True when the board's faces are all made: no settle pending and no idle work queued.
bool BoardFacesSettled(HWND board);

// The decoded picture of a raster picture file: kept for the game (release false) while the
// kept pictures stay within their memory budget and keeping is on, else decoded anew (release
// true: the caller deletes it). Null when the file cannot be decoded.
HBITMAP UseCardPicture(const std::string& fileName, bool& release);
// Switches keeping pictures on (the default) or off; off frees what is kept.
void KeepCardPictures(bool enabled);
void ReleaseKeptPictures();
