// The one media player object that plays the cards' sounds, and the diagnostic trace.
#pragma once

#include <windows.h>

#include <string>

struct SoundPlayer;

SoundPlayer* CreateSoundPlayer(std::string& error);
void ReleaseSoundPlayer(SoundPlayer* player);
// Plays a file, replacing whatever played before. True when error is empty.
bool PlaySoundFile(SoundPlayer* player, const std::string& fileName, std::string& error);
void StopSound(SoundPlayer* player);

void TraceCallStart(const char* call);
void TraceCallEnd(const char* call);
void TraceCallResult(const char* call, HRESULT result);
void WriteTraceLine(const char* line);
