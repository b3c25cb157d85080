// Benchmark of the media: a card text of 100 000 characters on one line laid out and drawn as the
// card face does; learning a video's size (first, and again as at every paint of a face-up
// video card), starting a sound, and a video window's way from creation to its first frame.
#include "bench/bench.h"

#include "app/startup.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "media/sound_player.h"
#include "media/video_player.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The test media of the build folder (scripts/make-test-media.sh build/<arch>/test-media).
std::string MediaFile(const char* name)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    folder.resize(folder.find_last_of("\\/"));
    return folder + "\\test-media\\" + name;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// The card face's text steps for one long line: load, fit, measure, draw on a 200 x 150 card.
void BenchLongCardText()
{
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 150);
    HGDIOBJ old = SelectObject(memory, bitmap);
    std::vector<double> times;
    std::string runs = "{\\rtf1\\ansi ";
    while (runs.size() < 100000)
        runs += "\\b x\\b0 y"; // a format change every character
    for (const std::string& text : {std::string(100000, 'w'), runs + "}"}) {
        double start = BenchNow();
        HWND edit = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        LoadCardText(edit, text);
        GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
        int n = static_cast<int>(SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
        RECT area = {3, 3, 197, 147};
        SetRichTextPointSize(edit, FitRichTextPointSize(edit, memory, area, n));
        MeasureRichTextHeight(edit, memory);
        RenderRichText(edit, memory, memory, area, true, nullptr);
        DestroyWindow(edit);
        times.push_back(BenchNow() - start);
    }
    std::printf("card text of 100000 characters on one line: plain %.0f ms (target 500 ms), RTF of 22000 format "
                "changes %.0f ms (target 1000 ms)\n",
                times[0], times[1]);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void BenchMedia()
{
    BenchLongCardText();
    if (GetFileAttributesA(MediaFile("pattern.avi").c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("no test media: run scripts/make-test-media.sh build/<arch>/test-media first\n");
        return;
    }
    for (const char* name : {"pattern.avi", "pattern.mpg", "pattern.wmv"}) {
        std::vector<double> times;
        for (int i = 0; i < 7; ++i) {
            int width = 0, height = 0;
            std::string error;
            double start = BenchNow();
            GetVideoSize(MediaFile(name), width, height, error);
            times.push_back(BenchNow() - start);
        }
        double first = times.front();
        times.erase(times.begin());
        std::printf("video size of %s: first %.1f ms (target 1500 ms), again %.2f ms median (target 1 ms)\n", name,
                    first, BenchMedian(times));
    }

    std::vector<double> sounds;
    for (int i = 0; i < 7 && TheSoundPlayer; ++i) {
        std::string error;
        double start = BenchNow();
        PlaySoundFile(TheSoundPlayer, MediaFile("tone440.wav"), error);
        sounds.push_back(BenchNow() - start);
        StopSound(TheSoundPlayer);
    }
    std::printf("start a sound: %.1f ms median (target 200 ms)\n", BenchMedian(sounds));

    HWND card = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    for (const char* name : {"pattern.avi", "pattern.mpg", "pattern.wmv"}) {
        std::vector<double> starts;
        for (int i = 0; i < 5; ++i) {
            double start = BenchNow();
            HWND video = CreateVideoWindow(0, 0, 320, 240, card, 1, MediaFile(name).c_str());
            PlayVideo(video);
            // The first frame is there when the window's centre is no longer black.
            HDC dc = GetDC(video);
            while (GetPixel(dc, 160, 120) == RGB(0, 0, 0) && BenchNow() - start < 5000) {
                Pump();
                UpdateWindow(video);
                Sleep(1);
            }
            ReleaseDC(video, dc);
            starts.push_back(BenchNow() - start);
            StopVideo(video);
            DestroyWindow(video);
        }
        std::printf("video window of %s from creation to its first frame: %.1f ms median (target 500 ms)\n", name,
                    BenchMedian(starts));
    }
    DestroyWindow(card);
    Pump();
}

int Registered = RegisterBench("media", BenchMedia);

} // namespace
