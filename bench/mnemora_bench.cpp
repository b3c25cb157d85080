// Benchmark: prints how long the program takes for its heavier everyday work.
// Not a test: figures vary with the machine; compare them with the targets printed beside them.
#include "bench/bench.h"

#include "app/startup.h"
#include "cardset/card_set.h"
#include "cardset/card_set_folder.h"
#include "game/idle_work.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct BenchEntry {
    const char* Name;
    BenchFunction Function;
};

std::vector<BenchEntry>& BenchEntries()
{
    static std::vector<BenchEntry> entries;
    return entries;
}

double Now()
{
    return BenchNow();
}

double Median(std::vector<double> values)
{
    return BenchMedian(std::move(values));
}

// A formatted card text of about 2 KB.
std::string MakeRtfText(int n)
{
    std::string text = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red200\\green0\\blue0;}"
                       "\\f0\\fs20 Card number " +
                       std::to_string(n) + " \\b bold\\b0 \\cf1 red\\cf0 ";
    while (text.size() < 2000)
        text += "lorem ipsum dolor sit amet ";
    return text + "}";
}

void BenchCardSetFiles()
{
    CardSet set(1000);
    for (int i = 0; i < 1000; ++i) {
        set[i].Text1 = MakeRtfText(i);
        set[i].Text2 = MakeRtfText(i + 1000);
        set[i].PictureFileName1 = "C:\\pictures\\card" + std::to_string(i) + ".png";
    }
    std::vector<double> saves, loads;
    for (int round = 0; round < 7; ++round) {
        double start = Now();
        SaveCardSet("~benchmark", set);
        saves.push_back(Now() - start);
        CardSet loaded;
        start = Now();
        LoadCardSet("~benchmark", loaded);
        loads.push_back(Now() - start);
        if (loaded.size() != set.size())
            std::printf("load gave %u pairs instead of 1000\n", static_cast<unsigned>(loaded.size()));
    }
    std::printf("save 1000 pairs of 2 KB RTF texts: %.1f ms median (target 200 ms)\n", Median(saves));
    std::printf("load 1000 pairs of 2 KB RTF texts: %.1f ms median (target 200 ms)\n", Median(loads));
    // A text full of line breaks: a card text pasted from a long list, 10 MB as stored.
    CardSet breaks(1);
    breaks[0].Text1.assign(500000, '\r');
    breaks[0].Text1.resize(1000000, '\n');
    SaveCardSet("~benchmark", breaks);
    double start = Now();
    CardSet loaded;
    LoadCardSet("~benchmark", loaded);
    std::printf("load a 10 MB text of escaped line breaks: %.1f ms (target 1000 ms)\n", Now() - start);
    DeleteCardSet("~benchmark");
}

void BenchStartUp(HINSTANCE instance)
{
    double start = Now();
    if (!StartApplication(instance, nullptr))
        return;
    HWND mainWindow = CreateMainWindow(instance);
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    UpdateWindow(mainWindow);
    GdiFlush();
    double shown = Now() - start;
    std::printf("start-up to main window shown and painted: %.1f ms (target 300 ms)\n", shown);
    // What the program does ahead while the player looks at the new window.
    std::printf("idle work after start-up: %.1f ms\n", BenchRunLoop([&] { return !HasIdleWork(mainWindow); }, 5000));
    DestroyWindow(mainWindow);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

double CardSetDialogPaintedAt = 0;

BOOL CALLBACK FindCardSetDialog(HWND window, LPARAM param)
{
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (IsWindowVisible(window) && lstrcmpA(caption, "Card set") == 0) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs from the dialog's own loop once it is up: paints what is pending, notes the time, closes.
void CALLBACK PaintAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindCardSetDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    CardSetDialogPaintedAt = BenchNow();
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

double BenchCardSetDialogToFirstPaint(const std::function<void()>& open)
{
    SetTimer(nullptr, 0, 1, PaintAndClose);
    double start = BenchNow();
    open();
    return CardSetDialogPaintedAt - start;
}

int RegisterBench(const char* name, BenchFunction function)
{
    BenchEntries().push_back({name, function});
    return static_cast<int>(BenchEntries().size());
}

double BenchNow()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * counter.QuadPart / frequency.QuadPart;
}

double BenchRunLoop(const std::function<bool()>& done, double limit)
{
    double start = BenchNow();
    MSG msg;
    while (!done() && BenchNow() - start < limit) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (!RunIdleWork()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    return BenchNow() - start;
}

double BenchMedian(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Start-up is measured first, in a fresh process; the other measurements follow in the order
// their files registered them. An argument runs only the measurements whose name contains it
// (start-up always: it prepares the program).
int main(int argc, char** argv)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    std::string only = argc > 1 ? argv[1] : "";
    BenchStartUp(instance);
    if (only.empty())
        BenchCardSetFiles();
    for (const BenchEntry& entry : BenchEntries()) {
        if (std::string(entry.Name).find(only) == std::string::npos)
            continue;
        std::printf("-- %s\n", entry.Name);
        entry.Function();
        std::fflush(stdout);
    }
    StopApplication();
    return 0;
}
