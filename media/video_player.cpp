// Video player: video windows that host the media player control, and a video's native size.
// Where the hosted control cannot show video inside its window, the card's video window is one
// that draws the frames itself (video_frames.cpp).
#include "media/video_player.h"

#include "media/sound_player.h"
#include "media/video_frames.h"
#include "media/video_header.h"

#include <dshow.h>
#include <ole2.h>
#include <wmp.h>

#include <map>
#include <string>

namespace {

const CLSID WindowsMediaPlayerClass = {0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
const IID PlayerInterface = {0x6BF52A4F, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
const IID SettingsInterface = {0x9104D1AB, 0x80C9, 0x4FED, {0xAB, 0xF0, 0x2E, 0x64, 0x17, 0xA6, 0xDF, 0x14}};
const IID ControlsInterface = {0x74C09E02, 0xF828, 0x11D2, {0xA7, 0x4B, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x6E}};

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND window, IUnknown** control);

// The ActiveX host, loaded at start-up.
struct VideoHost {
    HMODULE Library;
    AtlAxWinInitFunction AxWinInit;
    AtlAxGetControlFunction AxGetControl;
};
VideoHost Host = {};

// Set when a hosted control refused to show the video area alone: such a control paints its own
// user interface and shows the video elsewhere, so later video windows draw the frames themselves.
bool HostedVideoNotShown = false;

// Building a graph for a file takes the platform up to a second, reading a header a millisecond,
// and the card face asks for the size at every paint: answers are kept per file name while the file's size and time
// stay the same.
struct KnownVideoSize {
    WIN32_FILE_ATTRIBUTE_DATA File;
    int Width;
    int Height;
    std::string Error;
};
std::map<std::string, KnownVideoSize> KnownVideoSizes;

bool SameFile(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b)
{
    return a.nFileSizeLow == b.nFileSizeLow && a.nFileSizeHigh == b.nFileSizeHigh &&
           CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

} // namespace

// Learns the size from a filter graph built for the file but never run.
bool MeasureVideoWithGraph(const std::string& fileName, int& width, int& height, std::string& error)
{
    error.clear();
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    IBasicVideo* video = nullptr;
    long videoWidth = 0, videoHeight = 0;
    BSTR name = MakeMediaFileName(fileName); // null for a name too long: the file can't be rendered
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                IID_IGraphBuilder, reinterpret_cast<void**>(&graph))))
        error = "CoCreateInstance of CLSID_FilterGraph failed";
    else if (FAILED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control))))
        error = "QueryInterface of IMediaControl failed";
    else if (!name || FAILED(control->RenderFile(name)))
        error = "RenderFile failed";
    else if (FAILED(graph->QueryInterface(IID_IBasicVideo, reinterpret_cast<void**>(&video))))
        error = "QueryInterface of IBasicVideo failed";
    else if (FAILED(video->get_VideoWidth(&videoWidth)))
        error = "get_VideoWidth failed";
    else if (FAILED(video->get_VideoHeight(&videoHeight)))
        error = "get_VideoHeight failed";
    if (error.empty()) {
        width = videoWidth;
        height = videoHeight;
    }
    SysFreeString(name);
    if (video)
        video->Release();
    if (control)
        control->Release();
    if (graph)
        graph->Release();
    return error.empty();
}

namespace {

// The size named by the file's header where its format has one, else the graph's.
bool MeasureVideo(const std::string& fileName, int& width, int& height, std::string& error)
{
    error.clear();
    return ReadVideoFileHeaderSize(fileName, width, height) || MeasureVideoWithGraph(fileName, width, height, error);
}

template <typename Function> Function LoadEntry(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

IUnknown* GetHostedControl(HWND video)
{
    IUnknown* control = nullptr;
    TraceCallStart("[Video] AtlAxGetControl");
    HRESULT result = Host.AxGetControl ? Host.AxGetControl(video, &control) : E_FAIL;
    TraceCallResult("[Video] AtlAxGetControl", result);
    if (FAILED(result))
        return nullptr;
    return control;
}

// The hosted control's controls; some controls hand them out only through the player's property.
IWMPControls* GetHostedControls(IUnknown* control)
{
    IWMPControls* controls = nullptr;
    TraceCallStart("[Video] QueryInterface of IWMPControls");
    HRESULT result = control->QueryInterface(ControlsInterface, reinterpret_cast<void**>(&controls));
    TraceCallResult("[Video] QueryInterface of IWMPControls", result);
    if (SUCCEEDED(result) && controls)
        return controls;
    IWMPPlayer* player = nullptr;
    if (FAILED(control->QueryInterface(PlayerInterface, reinterpret_cast<void**>(&player))) || !player)
        return nullptr;
    controls = nullptr;
    TraceCallStart("[Video] IWMPPlayer.get_controls");
    result = player->get_controls(&controls);
    TraceCallResult("[Video] IWMPPlayer.get_controls", result);
    player->Release();
    return SUCCEEDED(result) ? controls : nullptr;
}

// Sets the hosted control up for the file: no automatic start, no user interface, the URL.
// False when the control refuses to show the video area alone (the URL is then not set).
bool SetUpHostedControl(HWND video, const char* fileName)
{
    IUnknown* control = GetHostedControl(video);
    if (!control)
        return true;
    IWMPPlayer* player = nullptr;
    TraceCallStart("[Video] QueryInterface of IWMPPlayer");
    HRESULT result = control->QueryInterface(PlayerInterface, reinterpret_cast<void**>(&player));
    TraceCallResult("[Video] QueryInterface of IWMPPlayer", result);
    if (FAILED(result) || !player) {
        control->Release();
        return true;
    }
    IWMPSettings* settings = nullptr;
    TraceCallStart("[Video] QueryInterface of IWMPSettings");
    result = player->QueryInterface(SettingsInterface, reinterpret_cast<void**>(&settings));
    TraceCallResult("[Video] QueryInterface of IWMPSettings", result);
    if (FAILED(result) || !settings) {
        player->Release();
        control->Release();
        return true;
    }
    TraceCallStart("[Video] IWMPSettings.put_autoStart");
    result = settings->put_autoStart(VARIANT_FALSE);
    TraceCallResult("[Video] IWMPSettings.put_autoStart", result);
    BSTR mode = SysAllocString(L"none");
    TraceCallStart("[Video] IWMPPlayer.put_uiMode");
    result = player->put_uiMode(mode);
    TraceCallResult("[Video] IWMPPlayer.put_uiMode", result);
    SysFreeString(mode);
    bool shown = SUCCEEDED(result);
    if (shown) {
        BSTR url = MakeMediaFileName(fileName);
        TraceCallStart("[Video] IWMPPlayer.put_URL");
        result = url ? player->put_URL(url) : E_INVALIDARG;
        TraceCallResult("[Video] IWMPPlayer.put_URL", result);
        SysFreeString(url);
    }
    settings->Release();
    player->Release();
    control->Release();
    return shown;
}

// Runs play or stop on a video window's hosted control.
void CommandHostedControl(HWND video, bool play)
{
    IUnknown* control = GetHostedControl(video);
    if (!control)
        return;
    IWMPControls* controls = GetHostedControls(control);
    if (controls) {
        const char* call = play ? "[Video] IWMPControls.play" : "[Video] IWMPControls.stop";
        TraceCallStart(call);
        HRESULT result = play ? controls->play() : controls->stop();
        TraceCallResult(call, result);
        controls->Release();
    }
    control->Release();
}

} // namespace

void InitVideoHost()
{
    Host.Library = LoadLibraryA("ATL.DLL");
    if (Host.Library) {
        Host.AxWinInit = LoadEntry<AtlAxWinInitFunction>(Host.Library, "AtlAxWinInit");
        Host.AxGetControl = LoadEntry<AtlAxGetControlFunction>(Host.Library, "AtlAxGetControl");
        if (Host.AxWinInit)
            Host.AxWinInit();
    }
    RegisterVideoFramesClass(GetModuleHandleA(nullptr));
}

void FreeVideoHost()
{
    if (Host.Library)
        FreeLibrary(Host.Library);
    Host = VideoHost{};
}

bool GetVideoSize(const std::string& fileName, int& width, int& height, std::string& error)
{
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (!GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &file))
        return MeasureVideo(fileName, width, height, error); // not a plain file: nothing to remember
    auto known = KnownVideoSizes.find(fileName);
    if (known == KnownVideoSizes.end() || !SameFile(known->second.File, file)) {
        KnownVideoSize measured = {file, 0, 0, ""};
        MeasureVideo(fileName, measured.Width, measured.Height, measured.Error);
        known = KnownVideoSizes.insert_or_assign(fileName, measured).first;
    }
    error = known->second.Error;
    if (error.empty()) {
        width = known->second.Width;
        height = known->second.Height;
    }
    return error.empty();
}

HWND CreateVideoWindow(int x, int y, int width, int height, HWND parent, int id, const char* fileName)
{
    if (HostedVideoNotShown)
        return CreateVideoFramesWindow(x, y, width, height, parent, id, fileName);
    char classText[256] = "";
    LPOLESTR classWide = nullptr;
    if (SUCCEEDED(StringFromCLSID(WindowsMediaPlayerClass, &classWide))) {
        WideCharToMultiByte(CP_ACP, 0, classWide, -1, classText, sizeof classText, nullptr, nullptr);
        CoTaskMemFree(classWide);
    }
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    HWND video = CreateWindowExA(0, "AtlAxWin", classText, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!video)
        return nullptr;
    if (SetUpHostedControl(video, fileName))
        return video;
    // The control would paint its own user interface and show the video elsewhere: the card
    // gets a window in the same place that draws the frames itself.
    HostedVideoNotShown = true;
    DestroyWindow(video);
    return CreateVideoFramesWindow(x, y, width, height, parent, id, fileName);
}

void PlayVideo(HWND video)
{
    if (IsVideoFramesWindow(video))
        PlayVideoFrames(video);
    else
        CommandHostedControl(video, true);
}

void StopVideo(HWND video)
{
    if (IsVideoFramesWindow(video))
        StopVideoFrames(video);
    else
        CommandHostedControl(video, false);
}
