// Video player: not yet connected; videos take no room on a card.
#include "media/video_player.h"

void InitVideoHost() {}
void FreeVideoHost() {}

bool GetVideoSize(const std::string&, int&, int&, std::string& error)
{
    error = "CoCreateInstance of CLSID_FilterGraph failed";
    return false;
}

HWND CreateVideoWindow(int, int, int, int, HWND, int, const char*)
{
    return nullptr;
}

void PlayVideo(HWND) {}
void StopVideo(HWND) {}
