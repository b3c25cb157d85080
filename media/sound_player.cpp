// Sound player: one media player object plays every card's sound; the trace of media calls.
#include "media/sound_player.h"

#include <ole2.h>
#include <wmp.h>

namespace {

const CLSID WindowsMediaPlayerClass = {0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
const IID PlayerInterface = {0x6BF52A4F, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
const IID ControlsInterface = {0x74C09E02, 0xF828, 0x11D2, {0xA7, 0x4B, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x6E}};

// The media player's "command not available" success code, named in the trace.
const HRESULT CommandNotAvailable = 0x000D1105;

void (*TraceObserver)(const char* line) = nullptr;

// wsprintfA writes up to 1024 characters whatever the buffer: call names are cut to 200
// characters so that every trace line fits its 256-byte buffer.

// Setting a URL starts the file by default, and the stop before play then undoes that start: some
// players build the file's whole playback twice per sound that way (a tenth of a second each).
// With automatic start off, setting the URL only names the file and play starts it once; a player
// that refuses the setting keeps its default, and the stop between still makes it play once.
void StartSoundsOnPlayOnly(IWMPPlayer* player)
{
    IWMPSettings* settings = nullptr;
    TraceCallStart("[Sound] IWMPPlayer.get_settings");
    HRESULT result = player->get_settings(&settings);
    TraceCallResult("[Sound] IWMPPlayer.get_settings", result);
    if (FAILED(result) || !settings)
        return;
    TraceCallStart("[Sound] IWMPSettings.put_autoStart");
    result = settings->put_autoStart(VARIANT_FALSE);
    TraceCallResult("[Sound] IWMPSettings.put_autoStart", result);
    settings->Release();
}

} // namespace

BSTR MakeMediaFileName(const std::string& fileName)
{
    WCHAR wide[256];
    if (!MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, wide, 256))
        return nullptr;
    return SysAllocString(wide);
}

SoundPlayer* CreateSoundPlayer(std::string& error)
{
    error.clear();
    IWMPPlayer* player = nullptr;
    TraceCallStart("[Sound] CoCreateInstance CLSID_WindowsMediaPlayer");
    HRESULT result = CoCreateInstance(WindowsMediaPlayerClass, nullptr, CLSCTX_INPROC_SERVER, PlayerInterface,
                                      reinterpret_cast<void**>(&player));
    TraceCallResult("[Sound] CoCreateInstance CLSID_WindowsMediaPlayer", result);
    if (FAILED(result) || !player) {
        error = "CoCreateInstance of Windows Media Player failed";
        return nullptr;
    }
    IWMPControls* controls = nullptr;
    TraceCallStart("[Sound] QueryInterface IID_IWMPControls");
    result = player->QueryInterface(ControlsInterface, reinterpret_cast<void**>(&controls));
    TraceCallResult("[Sound] QueryInterface IID_IWMPControls", result);
    if (FAILED(result) || !controls) {
        // Some players hand out their controls only through the player's own property.
        controls = nullptr;
        TraceCallStart("[Sound] IWMPPlayer.get_controls");
        result = player->get_controls(&controls);
        TraceCallResult("[Sound] IWMPPlayer.get_controls", result);
    }
    if (FAILED(result) || !controls) {
        error = "QueryInterface of Windows Media Player Controls failed";
        player->Release();
        return nullptr;
    }
    StartSoundsOnPlayOnly(player);
    return new SoundPlayer{player, controls};
}

void ReleaseSoundPlayer(SoundPlayer* player)
{
    if (!player)
        return;
    TraceCallStart("[Sound] IWMPControls.Release");
    player->Controls->Release();
    TraceCallEnd("[Sound] IWMPControls.Release");
    TraceCallStart("[Sound] IWMPPlayer.Release");
    player->Player->Release();
    TraceCallEnd("[Sound] IWMPPlayer.Release");
    delete player;
}

bool PlaySoundFile(SoundPlayer* player, const std::string& fileName, std::string& error)
{
    if (!player) {
        error = "pData is NULL";
        return false;
    }
    error.clear();
    BSTR url = MakeMediaFileName(fileName);
    HRESULT result = E_INVALIDARG; // a name too long for the player is refused like a bad URL
    if (url) {
        TraceCallStart("[Sound] IWMPPlayer.put_URL");
        result = player->Player->put_URL(url);
        TraceCallResult("[Sound] IWMPPlayer.put_URL", result);
        SysFreeString(url);
    }
    if (FAILED(result)) {
        error = "Setting URL failed";
        return false;
    }
    // Setting the URL may still have started the file (a player that kept automatic start on), or
    // failed to; stop always runs before play, because some players crash when play follows a
    // failed start without a stop between.
    TraceCallStart("[Sound] IWMPControls.stop");
    result = player->Controls->stop();
    TraceCallResult("[Sound] IWMPControls.stop", result);
    TraceCallStart("[Sound] IWMPControls.play");
    result = player->Controls->play();
    TraceCallResult("[Sound] IWMPControls.play", result);
    if (FAILED(result))
        error = "Playing failed";
    return error.empty();
}

void StopSound(SoundPlayer* player)
{
    if (!player)
        return;
    TraceCallStart("[Sound] IWMPControls.stop");
    HRESULT result = player->Controls->stop();
    TraceCallResult("[Sound] IWMPControls.stop", result);
}

void TraceCallStart(const char* call)
{
    char line[256];
    wsprintfA(line, "%.200s: Start", call);
    WriteTraceLine(line);
}

void TraceCallEnd(const char* call)
{
    char line[256];
    wsprintfA(line, "%.200s: End", call);
    WriteTraceLine(line);
}

void TraceCallResult(const char* call, HRESULT result)
{
    char text[256];
    if (result == S_OK)
        lstrcpyA(text, "S_OK");
    else if (result == CommandNotAvailable)
        lstrcpyA(text, "NS_S_WMPCORE_COMMAND_NOT_AVAILABLE");
    else
        wsprintfA(text, "%lXhex", static_cast<unsigned long>(result));
    char line[256];
    wsprintfA(line, "%.200s: End: HRESULT = %s", call, text);
    WriteTraceLine(line);
}

// The trace is switched off: lines are formatted and dropped here unless a test watches them.
void WriteTraceLine(const char* line)
{
    if (TraceObserver)
        TraceObserver(line);
}

void SetTraceObserver(void (*observer)(const char* line))
{
    TraceObserver = observer;
}
