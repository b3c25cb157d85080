// Frame-drawing video window: a sample grabber hands the decoded 32-bit frames to the window's
// callback on the graph's own thread, which only copies and signals them (a posted message, an
// event for WaitShowingVideos); the window's own thread draws them. Mended: the graph's thread drew
// into the window under a lock the window's paint held too, while the program's thread, stopping
// the graph, waited for the graph's thread to leave the callback. A timer watches for the end of
// the file; where the grabber takes no callback, it fetches the grabber's newest frame instead.
#include "media/video_frames.h"

#include "media/sound_player.h"

#include <dshow.h>
#include <windowsx.h>

#include <set>
#include <string>
#include <vector>

namespace {

const char VideoFramesClass[] = "MnemoraVideoClass";
const UINT_PTR FrameTimer = 1;
const UINT FrameInterval = 40;    // ms; a little faster than the usual 25 frames a second
const UINT FrameMessage = WM_APP; // posted by the frame callback: a new frame waits

// Set by every frame callback; WaitShowingVideos wakes on it. The live frame-drawing windows.
HANDLE FramesArrived = nullptr;
std::set<HWND> FramesWindows;

// The sample grabber and null renderer of the platform's editing services, declared here as plain
// interface records because not every tool set ships their header.
const CLSID SampleGrabberClass = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const CLSID NullRendererClass = {0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const IID SampleGrabberInterface = {0x6B652FFF, 0x11FE, 0x4FCE, {0x92, 0xAD, 0x02, 0x66, 0xB5, 0xD7, 0xC7, 0x8F}};

struct FrameGrabber;
struct FrameGrabberMethods {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(FrameGrabber* self, REFIID iid, void** object);
    ULONG(STDMETHODCALLTYPE* AddRef)(FrameGrabber* self);
    ULONG(STDMETHODCALLTYPE* Release)(FrameGrabber* self);
    HRESULT(STDMETHODCALLTYPE* SetOneShot)(FrameGrabber* self, BOOL oneShot);
    HRESULT(STDMETHODCALLTYPE* SetMediaType)(FrameGrabber* self, const AM_MEDIA_TYPE* type);
    HRESULT(STDMETHODCALLTYPE* GetConnectedMediaType)(FrameGrabber* self, AM_MEDIA_TYPE* type);
    HRESULT(STDMETHODCALLTYPE* SetBufferSamples)(FrameGrabber* self, BOOL buffer);
    HRESULT(STDMETHODCALLTYPE* GetCurrentBuffer)(FrameGrabber* self, LONG* size, LONG* buffer);
    HRESULT(STDMETHODCALLTYPE* GetCurrentSample)(FrameGrabber* self, IMediaSample** sample);
    HRESULT(STDMETHODCALLTYPE* SetCallback)(FrameGrabber* self, IUnknown* callback, LONG method);
};
struct FrameGrabber {
    const FrameGrabberMethods* Methods;
};

// The grabber's callback interface, answered by each window's FrameCallback.
const IID FrameCallbackInterface = {0x0579154A, 0x2B53, 0x4994, {0xB0, 0xD0, 0xE7, 0x73, 0x14, 0x8E, 0xFF, 0x85}};
struct FrameCallback;
struct FrameCallbackMethods {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(FrameCallback* self, REFIID iid, void** object);
    ULONG(STDMETHODCALLTYPE* AddRef)(FrameCallback* self);
    ULONG(STDMETHODCALLTYPE* Release)(FrameCallback* self);
    HRESULT(STDMETHODCALLTYPE* SampleCB)(FrameCallback* self, double time, IMediaSample* sample);
    HRESULT(STDMETHODCALLTYPE* BufferCB)(FrameCallback* self, double time, BYTE* buffer, LONG size);
};
struct VideoFrames;
struct FrameCallback {
    const FrameCallbackMethods* Methods;
    HWND Window;
    VideoFrames* Frames;
};

// What a frame-drawing video window keeps: its file, and while it plays the graph and the frame.
struct VideoFrames {
    std::string FileName;
    IGraphBuilder* Graph = nullptr;
    IMediaControl* Control = nullptr;
    IMediaEvent* Events = nullptr;
    FrameGrabber* Grabber = nullptr;
    BITMAPINFOHEADER Format = {};
    std::vector<LONG> Frame; // 32-bit pixels as the grabber hands them out; the window's thread only
    bool HasFrame = false;
    bool Ended = false;            // the graph reached the end of the file; the last frame stays
    bool FramesByCallback = false; // the grabber calls Callback with each frame
    FrameCallback Callback = {};
    // The newest frame from the graph's thread. Lock guards Incoming and HasIncoming and is held
    // only to copy a frame, by either thread: neither waits for anything while holding it.
    CRITICAL_SECTION Lock;
    std::vector<LONG> Incoming;
    bool HasIncoming = false;
    LONG Posted = 0; // a FrameMessage is on its way
};

VideoFrames* GetVideoFrames(HWND window)
{
    return reinterpret_cast<VideoFrames*>(GetWindowLongPtrA(window, 0));
}

void FreeMediaType(AM_MEDIA_TYPE& type)
{
    if (type.cbFormat)
        CoTaskMemFree(type.pbFormat);
    if (type.pUnk)
        type.pUnk->Release();
    type.pbFormat = nullptr;
    type.cbFormat = 0;
    type.pUnk = nullptr;
}

// The filter's first pin of the given direction that is not yet connected, or null.
IPin* FindFreePin(IBaseFilter* filter, PIN_DIRECTION direction)
{
    IEnumPins* pins = nullptr;
    if (FAILED(filter->EnumPins(&pins)))
        return nullptr;
    IPin* found = nullptr;
    IPin* pin = nullptr;
    while (!found && pins->Next(1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION pinDirection;
        IPin* peer = nullptr;
        if (SUCCEEDED(pin->QueryDirection(&pinDirection)) && pinDirection == direction &&
            pin->ConnectedTo(&peer) == VFW_E_NOT_CONNECTED) {
            found = pin;
            continue;
        }
        if (peer)
            peer->Release();
        pin->Release();
    }
    pins->Release();
    return found;
}

bool PinOffersAudio(IPin* pin)
{
    IEnumMediaTypes* types = nullptr;
    if (FAILED(pin->EnumMediaTypes(&types)))
        return false;
    bool audio = false;
    AM_MEDIA_TYPE* type = nullptr;
    while (!audio && types->Next(1, &type, nullptr) == S_OK) {
        audio = type->majortype == MEDIATYPE_Audio;
        FreeMediaType(*type);
        CoTaskMemFree(type);
    }
    types->Release();
    return audio;
}

// Plays the video's sound too: every unconnected output that offers sound goes to the standard
// renderer. Outputs of other kinds stay open, so that no video renderer opens a window of its own.
void RenderSoundOutputs(IGraphBuilder* graph)
{
    std::vector<IPin*> soundPins;
    IEnumFilters* filters = nullptr;
    if (FAILED(graph->EnumFilters(&filters)))
        return;
    IBaseFilter* filter = nullptr;
    while (filters->Next(1, &filter, nullptr) == S_OK) {
        IEnumPins* pins = nullptr;
        if (SUCCEEDED(filter->EnumPins(&pins))) {
            IPin* pin = nullptr;
            while (pins->Next(1, &pin, nullptr) == S_OK) {
                PIN_DIRECTION direction;
                IPin* peer = nullptr;
                if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT &&
                    pin->ConnectedTo(&peer) == VFW_E_NOT_CONNECTED && PinOffersAudio(pin)) {
                    soundPins.push_back(pin);
                    continue;
                }
                if (peer)
                    peer->Release();
                pin->Release();
            }
            pins->Release();
        }
        filter->Release();
    }
    filters->Release();
    // Rendering adds filters, so it waits until the enumeration is over.
    for (IPin* pin : soundPins) {
        graph->Render(pin); // no sound device: the video plays silently
        pin->Release();
    }
}

// Runs the graph on a clock of its own instead of the sound renderer's: some platforms leave a
// thread behind for every graph that timed its frames by the sound renderer's clock.
void UseOwnClock(IGraphBuilder* graph)
{
    IReferenceClock* clock = nullptr;
    IMediaFilter* graphFilter = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_SystemClock, nullptr, CLSCTX_INPROC_SERVER, IID_IReferenceClock,
                                   reinterpret_cast<void**>(&clock))) &&
        SUCCEEDED(graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&graphFilter))))
        graphFilter->SetSyncSource(clock);
    if (graphFilter)
        graphFilter->Release();
    if (clock)
        clock->Release();
}

IBaseFilter* AddFilter(IGraphBuilder* graph, const CLSID& filterClass, const wchar_t* name)
{
    IBaseFilter* filter = nullptr;
    if (FAILED(CoCreateInstance(filterClass, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(&filter))))
        return nullptr;
    if (FAILED(graph->AddFilter(filter, name))) {
        filter->Release();
        return nullptr;
    }
    return filter;
}

// Connects the first output of the source that leads to the grabber (decoders in between), then
// the grabber to the null renderer.
bool ConnectFrames(IGraphBuilder* graph, IBaseFilter* source, IBaseFilter* grabber, IBaseFilter* sink)
{
    IPin* grabberIn = FindFreePin(grabber, PINDIR_INPUT);
    if (!grabberIn)
        return false;
    bool connected = false;
    IEnumPins* pins = nullptr;
    if (SUCCEEDED(source->EnumPins(&pins))) {
        IPin* pin = nullptr;
        while (!connected && pins->Next(1, &pin, nullptr) == S_OK) {
            PIN_DIRECTION direction;
            if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT)
                connected = SUCCEEDED(graph->Connect(pin, grabberIn));
            pin->Release();
        }
        pins->Release();
    }
    grabberIn->Release();
    if (!connected)
        return false;
    IPin* grabberOut = FindFreePin(grabber, PINDIR_OUTPUT);
    IPin* sinkIn = FindFreePin(sink, PINDIR_INPUT);
    if (grabberOut && sinkIn)
        connected = SUCCEEDED(graph->Connect(grabberOut, sinkIn));
    else
        connected = false;
    if (grabberOut)
        grabberOut->Release();
    if (sinkIn)
        sinkIn->Release();
    return connected;
}

// The grabber's frame layout: a bottom-up or top-down 32-bit picture of the video's size.
bool ReadFrameFormat(FrameGrabber* grabber, BITMAPINFOHEADER& format)
{
    AM_MEDIA_TYPE type = {};
    if (FAILED(grabber->Methods->GetConnectedMediaType(grabber, &type)))
        return false;
    bool known = false;
    if (type.formattype == FORMAT_VideoInfo && type.cbFormat >= sizeof(VIDEOINFOHEADER) && type.pbFormat) {
        format = reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
        known = format.biWidth > 0 && format.biHeight != 0;
    }
    FreeMediaType(type);
    format.biSize = sizeof format;
    format.biBitCount = 32;
    format.biCompression = BI_RGB;
    format.biPlanes = 1;
    return known;
}

// Stretches the kept frame over the window's client area; black before the first frame.
void DrawFrame(HWND window, HDC dc, const VideoFrames& frames)
{
    RECT client;
    GetClientRect(window, &client);
    if (!frames.HasFrame) {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    const BITMAPINFOHEADER& format = frames.Format;
    int height = format.biHeight < 0 ? -format.biHeight : format.biHeight;
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, format.biWidth, height, frames.Frame.data(),
                  reinterpret_cast<const BITMAPINFO*>(&format), DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

// Bytes of one frame in the grabber's format.
LONG FrameBytes(const BITMAPINFOHEADER& format)
{
    LONG height = format.biHeight < 0 ? -format.biHeight : format.biHeight;
    return format.biWidth * height * 4;
}

HRESULT STDMETHODCALLTYPE FrameCallbackQueryInterface(FrameCallback* self, REFIID iid, void** object)
{
    if (iid == IID_IUnknown || iid == FrameCallbackInterface) {
        *object = self;
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The callback lives as long as its window's VideoFrames, which outlives every graph it serves.
ULONG STDMETHODCALLTYPE FrameCallbackAddRef(FrameCallback*)
{
    return 2;
}

ULONG STDMETHODCALLTYPE FrameCallbackRelease(FrameCallback*)
{
    return 1;
}

HRESULT STDMETHODCALLTYPE FrameCallbackSample(FrameCallback*, double, IMediaSample*)
{
    return E_NOTIMPL;
}

// On the graph's thread: keeps a copy of the frame and tells the window's thread; nothing here
// waits for that thread or touches the window beyond posting to it.
HRESULT STDMETHODCALLTYPE FrameCallbackBuffer(FrameCallback* self, double, BYTE* buffer, LONG size)
{
    VideoFrames& frames = *self->Frames;
    if (!buffer || size < FrameBytes(frames.Format))
        return S_OK;
    EnterCriticalSection(&frames.Lock);
    frames.Incoming.resize((size + 3) / 4);
    CopyMemory(frames.Incoming.data(), buffer, size);
    frames.HasIncoming = true;
    LeaveCriticalSection(&frames.Lock);
    if (InterlockedExchange(&frames.Posted, 1) == 0)
        PostMessageA(self->Window, FrameMessage, 0, 0);
    SetEvent(FramesArrived);
    return S_OK;
}

// On the window's thread: takes the newest frame from the graph's thread and draws it.
void ShowNewFrame(HWND window, VideoFrames& frames)
{
    EnterCriticalSection(&frames.Lock);
    bool fresh = frames.HasIncoming;
    if (fresh) {
        frames.Frame.swap(frames.Incoming);
        frames.HasIncoming = false;
        frames.HasFrame = true;
    }
    LeaveCriticalSection(&frames.Lock);
    if (!fresh || !IsWindowVisible(window))
        return;
    HDC dc = GetDC(window);
    DrawFrame(window, dc, frames);
    ReleaseDC(window, dc);
}

const FrameCallbackMethods FrameCallbackTable = {FrameCallbackQueryInterface, FrameCallbackAddRef, FrameCallbackRelease,
                                                 FrameCallbackSample, FrameCallbackBuffer};

void ReleaseGraph(VideoFrames& frames)
{
    if (frames.Control)
        frames.Control->Stop();
    if (frames.Events)
        frames.Events->Release();
    if (frames.Control)
        frames.Control->Release();
    if (frames.Grabber)
        frames.Grabber->Methods->Release(frames.Grabber);
    if (frames.Graph)
        frames.Graph->Release();
    frames.Events = nullptr;
    frames.Control = nullptr;
    frames.Grabber = nullptr;
    frames.Graph = nullptr;
    frames.FramesByCallback = false;
    // The graph has stopped: no callback runs any more.
    frames.Incoming.clear();
    frames.HasIncoming = false;
}

// Builds and runs the graph: file source, decoders, grabber of 32-bit frames, null renderer, and
// the sound to the standard renderer. False (nothing kept) when the file can't be played so.
bool StartGraph(VideoFrames& frames)
{
    BSTR fileName = MakeMediaFileName(frames.FileName);
    if (!fileName)
        return false;
    bool started = false;
    IBaseFilter* source = nullptr;
    IBaseFilter* grabber = nullptr;
    IBaseFilter* sink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   reinterpret_cast<void**>(&frames.Graph)))) {
        grabber = AddFilter(frames.Graph, SampleGrabberClass, L"Frames");
        sink = AddFilter(frames.Graph, NullRendererClass, L"No display");
    }
    if (grabber && sink &&
        SUCCEEDED(grabber->QueryInterface(SampleGrabberInterface, reinterpret_cast<void**>(&frames.Grabber)))) {
        AM_MEDIA_TYPE type = {};
        type.majortype = MEDIATYPE_Video;
        type.subtype = MEDIASUBTYPE_RGB32;
        frames.Grabber->Methods->SetMediaType(frames.Grabber, &type);
        frames.Grabber->Methods->SetOneShot(frames.Grabber, FALSE);
        frames.Grabber->Methods->SetBufferSamples(frames.Grabber, TRUE);
        if (SUCCEEDED(frames.Graph->AddSourceFilter(fileName, L"Source", &source)) &&
            ConnectFrames(frames.Graph, source, grabber, sink) && ReadFrameFormat(frames.Grabber, frames.Format)) {
            RenderSoundOutputs(frames.Graph);
            UseOwnClock(frames.Graph);
            frames.FramesByCallback = SUCCEEDED(frames.Grabber->Methods->SetCallback(
                frames.Grabber, reinterpret_cast<IUnknown*>(&frames.Callback), 1)); // 1: whole frames
            frames.Graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&frames.Events));
            started =
                SUCCEEDED(frames.Graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&frames.Control))) &&
                SUCCEEDED(frames.Control->Run());
        }
    }
    if (source)
        source->Release();
    if (grabber)
        grabber->Release();
    if (sink)
        sink->Release();
    SysFreeString(fileName);
    if (!started)
        ReleaseGraph(frames);
    return started;
}

// Copies the grabber's newest frame; false when it has none (yet) or it does not fit the format.
bool FetchFrame(VideoFrames& frames)
{
    LONG size = 0;
    if (FAILED(frames.Grabber->Methods->GetCurrentBuffer(frames.Grabber, &size, nullptr)) || size <= 0)
        return false;
    if (size < FrameBytes(frames.Format))
        return false;
    frames.Frame.resize((size + 3) / 4);
    return SUCCEEDED(frames.Grabber->Methods->GetCurrentBuffer(frames.Grabber, &size, frames.Frame.data()));
}

// True when the graph reported the end of the file or an error: then no new frame comes.
bool PlayingEnded(VideoFrames& frames)
{
    if (!frames.Events)
        return false;
    bool ended = false;
    long code;
    LONG_PTR first, second;
    while (frames.Events->GetEvent(&code, &first, &second, 0) == S_OK) {
        ended = ended || code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT;
        frames.Events->FreeEventParams(code, first, second);
    }
    return ended;
}

BOOL OnVideoCreate(HWND window, LPCREATESTRUCTA create)
{
    VideoFrames* frames = new VideoFrames;
    InitializeCriticalSection(&frames->Lock);
    if (!FramesArrived)
        FramesArrived = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    FramesWindows.insert(window);
    frames->Callback = {&FrameCallbackTable, window, frames};
    if (create->lpCreateParams)
        frames->FileName = static_cast<const char*>(create->lpCreateParams);
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(frames));
    return TRUE;
}

void OnVideoDestroy(HWND window)
{
    VideoFrames* frames = GetVideoFrames(window);
    if (!frames)
        return;
    KillTimer(window, FrameTimer);
    ReleaseGraph(*frames);
    FramesWindows.erase(window);
    SetWindowLongPtrA(window, 0, 0);
    DeleteCriticalSection(&frames->Lock);
    delete frames;
}

BOOL OnVideoEraseBackground(HWND, HDC)
{
    return TRUE; // painting covers the whole window
}

void OnVideoPaint(HWND window)
{
    VideoFrames* frames = GetVideoFrames(window);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (frames)
        DrawFrame(window, dc, *frames);
    EndPaint(window, &paint);
}

void OnVideoFrame(HWND window)
{
    VideoFrames* frames = GetVideoFrames(window);
    if (!frames)
        return;
    InterlockedExchange(&frames->Posted, 0);
    ShowNewFrame(window, *frames);
}

void OnVideoTimer(HWND window, UINT)
{
    VideoFrames* frames = GetVideoFrames(window);
    if (!frames || !frames->Grabber)
        return;
    bool ended = PlayingEnded(*frames);
    if (!frames->FramesByCallback && FetchFrame(*frames)) {
        frames->HasFrame = true;
        InvalidateRect(window, nullptr, FALSE);
    }
    if (ended) {
        frames->Ended = true;
        KillTimer(window, FrameTimer); // the last frame stays
    }
}

LRESULT CALLBACK VideoFramesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        HANDLE_MSG(window, WM_CREATE, OnVideoCreate);
        HANDLE_MSG(window, WM_DESTROY, OnVideoDestroy);
        HANDLE_MSG(window, WM_ERASEBKGND, OnVideoEraseBackground);
        HANDLE_MSG(window, WM_PAINT, OnVideoPaint);
        HANDLE_MSG(window, WM_TIMER, OnVideoTimer);
    case FrameMessage:
        OnVideoFrame(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

bool LoadNextVideoComponent()
{
    // Making each loads the media framework's code that a card's first video would wait for.
    static const CLSID* const components[] = {&CLSID_FilterGraph, &SampleGrabberClass, &NullRendererClass,
                                              &CLSID_AviSplitter, &CLSID_MPEG1Splitter};
    static size_t next = 0;
    if (next >= sizeof components / sizeof components[0])
        return false;
    IUnknown* component = nullptr;
    if (SUCCEEDED(CoCreateInstance(*components[next], nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&component))) &&
        component)
        component->Release();
    ++next;
    return true;
}

void RegisterVideoFramesClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = VideoFramesProc;
    wc.cbWndExtra = sizeof(VideoFrames*);
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = VideoFramesClass;
    RegisterClassA(&wc);
}

HWND CreateVideoFramesWindow(int x, int y, int width, int height, HWND parent, int id, const char* fileName)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    return CreateWindowExA(0, VideoFramesClass, "", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, const_cast<char*>(fileName));
}

bool IsVideoFramesWindow(HWND window)
{
    char className[64] = "";
    return window && GetClassNameA(window, className, sizeof className) &&
           lstrcmpiA(className, VideoFramesClass) == 0 && GetVideoFrames(window);
}

void PlayVideoFrames(HWND window)
{
    VideoFrames* frames = IsVideoFramesWindow(window) ? GetVideoFrames(window) : nullptr;
    if (!frames || (frames->Graph && !frames->Ended))
        return;
    KillTimer(window, FrameTimer);
    ReleaseGraph(*frames); // a video that played to its end starts again
    frames->HasFrame = false;
    frames->Ended = false;
    if (StartGraph(*frames))
        SetTimer(window, FrameTimer, FrameInterval, nullptr);
    InvalidateRect(window, nullptr, FALSE);
}

void StopVideoFrames(HWND window)
{
    VideoFrames* frames = IsVideoFramesWindow(window) ? GetVideoFrames(window) : nullptr;
    if (!frames)
        return;
    KillTimer(window, FrameTimer);
    ReleaseGraph(*frames);
    frames->HasFrame = false;
    frames->Ended = false;
    frames->Frame.clear();
    frames->Frame.shrink_to_fit();
    InvalidateRect(window, nullptr, FALSE);
}

void WaitShowingVideos(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        if (FramesWindows.empty() || !FramesArrived) {
            Sleep(milliseconds - elapsed);
            return;
        }
        if (WaitForSingleObject(FramesArrived, milliseconds - elapsed) != WAIT_OBJECT_0)
            return;
        for (HWND window : FramesWindows)
            ShowNewFrame(window, *GetVideoFrames(window));
    }
}
