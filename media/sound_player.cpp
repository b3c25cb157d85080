// Sound player: not yet connected to a media player; every card with a sound reports it.
#include "media/sound_player.h"

SoundPlayer* CreateSoundPlayer(std::string& error)
{
    error = "CoCreateInstance of Windows Media Player failed";
    return nullptr;
}

void ReleaseSoundPlayer(SoundPlayer*) {}

bool PlaySoundFile(SoundPlayer* player, const std::string&, std::string& error)
{
    if (!player) {
        error = "pData is NULL";
        return false;
    }
    error.clear();
    return true;
}

void StopSound(SoundPlayer*) {}

void TraceCallStart(const char*) {}
void TraceCallEnd(const char*) {}
void TraceCallResult(const char*, HRESULT) {}
void WriteTraceLine(const char*) {}
