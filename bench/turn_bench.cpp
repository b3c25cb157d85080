// Benchmark: from a card's click to the end of its painted face, on a 5 x 4 board of cards with an
// RTF text and a 1024 x 768 JPEG, alone or with a WAV sound or an AVI video; the first turn of
// each card after the deal (once the idle time after the deal has made the faces, and at once
// after the deal, with nothing made yet) and a later turn of the same cards; from the click to
// the sound started and to the video's first frame.
#include "bench/bench.h"

#include "app/settings.h"
#include "game/board.h"
#include "game/card_button.h"
#include "game/face_cache.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

WNDPROC CardProc = nullptr;
double PaintedAt = 0;

// Records when a card's paint has ended.
LRESULT CALLBACK TimedCardProc(HWND card, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(CardProc, card, msg, wParam, lParam);
    if (msg == WM_PAINT) {
        GdiFlush();
        PaintedAt = BenchNow();
    }
    return result;
}

struct TurnTimes {
    double Face;  // click to painted face
    double Media; // click to the turn handled: its sound started, its video window playing
    double Frame; // click to the video's first frame drawn
};

// The video's first frame is there when the centre of the card's video window is no longer black;
// 0 when the card shows no video.
double WaitForFirstFrame(HWND card, double start)
{
    HWND video = GetDlgItem(card, 1);
    if (!video || !IsWindowVisible(video))
        return 0;
    RECT client;
    GetClientRect(video, &client);
    HDC dc = GetDC(video);
    MSG msg;
    while (GetPixel(dc, client.right / 2, client.bottom / 2) == RGB(0, 0, 0) && BenchNow() - start < 3000) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        UpdateWindow(video);
        Sleep(1);
    }
    ReleaseDC(video, dc);
    return BenchNow() - start;
}

// Clicks the card as the board receives it and waits for its painted face.
TurnTimes ClickToPaintedFace(HWND board, int id)
{
    HWND card = GetDlgItem(board, id);
    CardProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(card, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimedCardProc)));
    PaintedAt = 0;
    double start = BenchNow();
    SendMessageA(board, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    TurnTimes times = {0, BenchNow() - start, 0};
    MSG msg;
    while (PaintedAt == 0 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    if (IsWindow(card))
        SetWindowLongPtrA(card, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CardProc));
    times.Face = PaintedAt == 0 ? 0 : PaintedAt - start;
    times.Frame = WaitForFirstFrame(card, start);
    return times;
}

double Worst(const std::vector<double>& times)
{
    double worst = 0;
    for (double t : times)
        worst = t > worst ? t : worst;
    return worst;
}

// The median and the largest of the first turns of every card and of a later turn of each; with
// idle time, the deal is followed by the message loop's idle work until the faces are made.
void BenchCardKind(const char* kind, const std::string& picture, const std::string& sound, const std::string& video,
                   bool idleTime)
{
    CardSet* cards = new CardSet(10);
    for (int i = 0; i < 10; ++i) {
        (*cards)[i].Text1 =
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 Card \\b " + std::to_string(i) + "\\b0}";
        (*cards)[i].PictureFileName1 = picture;
        (*cards)[i].SoundFileName1 = sound;
        (*cards)[i].VideoFileName1 = video;
    }
    HWND board = CreateWindowExA(0, "MnemoraGameClass", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1280, 870,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    BenchRunLoop([&] { return BoardFacesSettled(board); }, 2000);
    std::string error;
    if (!StartGame(board, cards, 5, 4, error)) {
        std::printf("StartGame failed: %s\n", error.c_str());
        delete cards;
        DestroyWindow(board);
        return;
    }
    UpdateWindow(board);
    double idle = idleTime ? BenchRunLoop([&] { return BoardFacesSettled(board); }, 60000) : 0;
    std::vector<double> faces[2], media[2], frames[2];
    for (int round = 0; round < 2; ++round) {
        // Each pair's two cards in a row, so that turns match; the last pair is left, so that the
        // board is not dealt anew and no turn is left open (a later round's first card would end
        // it: a mismatch that turns both back and hides the card's video at once).
        for (int pair = 0; pair < 10; ++pair)
            for (int id = 1; id <= 20; ++id)
                if (GetWindowLongA(GetDlgItem(board, id), PairIndexSlot) == pair &&
                    GetWindowLongA(GetDlgItem(board, id), FaceUpSlot) == 0 && faces[round].size() < 18) {
                    TurnTimes times = ClickToPaintedFace(board, id);
                    faces[round].push_back(times.Face);
                    media[round].push_back(times.Media);
                    frames[round].push_back(times.Frame);
                }
        if (!idleTime)
            break;
        for (int id = 1; id <= 20; ++id) // face down again, the same deal
            SetWindowLongA(GetDlgItem(board, id), FaceUpSlot, 0);
        RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    if (!idleTime) {
        std::printf("click to painted face, %s, first turn at once after the deal (no idle time): %.1f ms median, "
                    "%.1f ms at worst\n",
                    kind, BenchMedian(faces[0]), Worst(faces[0]));
    } else {
        std::printf("click to painted face, %s: first turn %.1f ms median, %.1f ms at worst (faces made in %.0f ms "
                    "of idle time after the deal); later turn %.1f ms median (target 16 ms median, 50 ms at worst)\n",
                    kind, BenchMedian(faces[0]), Worst(faces[0]), idle, BenchMedian(faces[1]));
        if (!sound.empty())
            std::printf("click to sound started, %s: first turn %.1f ms median, later turn %.1f ms median (target 250 "
                        "ms)\n",
                        kind, BenchMedian(media[0]), BenchMedian(media[1]));
        if (!video.empty())
            std::printf("click to the video's first frame, %s: first turn %.1f ms median, %.1f ms at worst; later "
                        "turn %.1f ms median (target 300 ms)\n",
                        kind, BenchMedian(frames[0]), Worst(frames[0]), BenchMedian(frames[1]));
    }
    EndGame(board);
    DestroyWindow(board);
}

void BenchTurns()
{
    char temp[MAX_PATH] = "", path[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    std::string picture = std::string(temp) + "mnemora-bench-turn.jpg";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    std::string media = folder.substr(0, folder.find_last_of("\\/")) + "\\test-media\\";
    if (!WriteBenchJpeg(picture)) {
        std::printf("could not write the benchmark's JPEG\n");
        return;
    }
    int displayTime = GetDisplayTime();
    SetDisplayTime(0);
    BenchCardKind("text and picture", picture, "", "", false);
    BenchCardKind("text and picture", picture, "", "", true);
    BenchCardKind("text alone", "", "", "", true);
    BenchCardKind("text, picture and WAV sound", picture, media + "tone440.wav", "", true);
    BenchCardKind("text, picture and AVI video", picture, "", media + "pattern.avi", true);
    SetDisplayTime(displayTime);
    DeleteFileA(picture.c_str());
}

int registered = RegisterBench("turning cards", BenchTurns);

} // namespace
