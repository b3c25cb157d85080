// The one media player object that plays the cards' sounds, and the diagnostic trace.
#pragma once

#include <windows.h>

#include <string>

struct IWMPPlayer;
struct IWMPControls;

// The player object's player and controls interfaces, one reference held on each.
struct SoundPlayer {
    IWMPPlayer* Player;
    IWMPControls* Controls;
};

SoundPlayer* CreateSoundPlayer(std::string& error);
void ReleaseSoundPlayer(SoundPlayer* player);
// Plays a file, replacing whatever played before. True when error is empty.
bool PlaySoundFile(SoundPlayer* player, const std::string& fileName, std::string& error);
void StopSound(SoundPlayer* player);

void TraceCallStart(const char* call);
void TraceCallEnd(const char* call);
void TraceCallResult(const char* call, HRESULT result);
void WriteTraceLine(const char* line);
// Lets a test watch the trace lines; the program sets no observer, so its lines go nowhere.
void SetTraceObserver(void (*observer)(const char* line));

// A file name as a string for the media components: UTF-16 in the ANSI code page, at most 255
// characters. Null when the name does not fit; the caller frees it with SysFreeString.
BSTR MakeMediaFileName(const std::string& fileName);
