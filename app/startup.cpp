// Start-up: libraries, process-wide objects, window classes; shutdown in reverse. The DPI of a
// window and the metrics at a DPI come from the system's per-monitor functions where they exist
// (looked up at run time: Windows 7 and 8 lack them); the fallback is the display's LOGPIXELSX
// and GetSystemMetrics, the system-wide DPI.
#include "app/startup.h"

#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "editor/color_swatch.h"
#include "editor/text_editor.h"
#include "game/board.h"
#include "game/idle_work.h"
#include "media/video_player.h"
#include "res/resource.h"

#include <commctrl.h>
#include <ole2.h>

char AppTitle[256];
COLORREF CustomColors[16];
SoundPlayer* TheSoundPlayer = nullptr;

namespace {

HMODULE RichEditLibrary = nullptr;

template <typename Function> Function FindUserFunction(const char* name)
{
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

bool RegisterShellClasses(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    wc.lpszClassName = "MnemoraClass";
    if (!RegisterClassA(&wc)) {
        ShowErrorBox(nullptr, "RegisterClass of main window class failed");
        return false;
    }
    wc.lpfnWndProc = BarWindowProc;
    wc.hbrBackground = CreateSolidBrush(BarBackgroundColor);
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = "MnemoraBarClass";
    if (!RegisterClassA(&wc)) {
        DeleteObject(wc.hbrBackground);
        ShowErrorBox(nullptr, "RegisterClass of main bar window class failed");
        return false;
    }
    RegisterGameClasses(instance);
    RegisterColorSwatchClass(instance);
    return RegisterTextEditorClass(instance);
}

} // namespace

bool StartApplication(HINSTANCE instance, HINSTANCE previous)
{
    InitCommonControls();
    OleInitialize(nullptr);
    RichEditLibrary = LoadLibraryA("RICHED20.DLL");
    for (COLORREF& color : CustomColors)
        color = RGB(255, 255, 255);
    InitVideoHost();
    std::string error;
    TheSoundPlayer = CreateSoundPlayer(error);
    LoadStringA(instance, IDS_APPTITLE, AppTitle, sizeof AppTitle);
    if (!previous)
        return RegisterShellClasses(instance);
    return true;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN) - 2 * GetSystemMetrics(SM_CYSIZEFRAME) - GetSystemMetrics(SM_CYCAPTION);
    HWND window = CreateWindowExA(0, "MnemoraClass", AppTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width,
                                  height, nullptr, nullptr, instance, nullptr);
    if (!window)
        ShowErrorBox(nullptr, "CreateWindow of main window failed");
    return window;
}

int RunMessageLoop(HWND mainWindow, HACCEL accelerators)
{
    MSG msg;
    for (;;) {
        // Every waiting message first; work done ahead only while none waits, one small piece at a
        // time, so that the next message is handled as soon as the piece is done.
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!RunIdleWork())
                WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT)
            return static_cast<int>(msg.wParam);
        if (!TranslateAcceleratorA(mainWindow, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void StopApplication()
{
    ReleaseSoundPlayer(TheSoundPlayer);
    TheSoundPlayer = nullptr;
    FreeVideoHost();
    if (RichEditLibrary) {
        FreeLibrary(RichEditLibrary);
        RichEditLibrary = nullptr;
    }
    OleUninitialize();
}

int GetWindowDpi(HWND window)
{
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    static DpiForWindow dpiForWindow = FindUserFunction<DpiForWindow>("GetDpiForWindow");
    UINT dpi = dpiForWindow && window ? dpiForWindow(window) : 0;
    if (dpi)
        return static_cast<int>(dpi);
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    int systemDpi = GetDeviceCaps(display, LOGPIXELSX);
    DeleteDC(display);
    return systemDpi > 0 ? systemDpi : 96;
}

int GetSystemMetricForDpi(int index, int dpi)
{
    typedef int(WINAPI * MetricsForDpi)(int, UINT);
    static MetricsForDpi metricsForDpi = FindUserFunction<MetricsForDpi>("GetSystemMetricsForDpi");
    return metricsForDpi ? metricsForDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}
