// Benchmark: from a card's click to the end of its painted face, on a 5 x 4 board of cards with an
// RTF text and a 1024 x 768 JPEG, alone or with a WAV sound or an AVI video; the first turn of
// each card after the deal (nothing kept yet) and a later turn of the same cards.
#include "bench/bench.h"

#include "app/settings.h"
#include "game/board.h"
#include "game/card_button.h"

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

// Clicks the card as the board receives it and waits for its painted face.
double ClickToPaintedFace(HWND board, int id)
{
    HWND card = GetDlgItem(board, id);
    CardProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(card, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimedCardProc)));
    PaintedAt = 0;
    double start = BenchNow();
    SendMessageA(board, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    MSG msg;
    while (PaintedAt == 0 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    if (IsWindow(card))
        SetWindowLongPtrA(card, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CardProc));
    return PaintedAt == 0 ? 0 : PaintedAt - start;
}

// The median and the largest of the first turns of every card and of a later turn of each.
void BenchCardKind(const char* kind, const std::string& picture, const std::string& sound, const std::string& video)
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
    std::string error;
    if (!StartGame(board, cards, 5, 4, error)) {
        std::printf("StartGame failed: %s\n", error.c_str());
        delete cards;
        DestroyWindow(board);
        return;
    }
    UpdateWindow(board);
    std::vector<double> rounds[2];
    for (auto& times : rounds) {
        // Each pair's two cards in a row, so that turns match; the last card is left, so that the
        // board is not dealt anew.
        for (int pair = 0; pair < 10; ++pair)
            for (int id = 1; id <= 20; ++id)
                if (GetWindowLongA(GetDlgItem(board, id), PairIndexSlot) == pair &&
                    GetWindowLongA(GetDlgItem(board, id), FaceUpSlot) == 0 && times.size() < 19)
                    times.push_back(ClickToPaintedFace(board, id));
        for (int id = 1; id <= 20; ++id) // face down again, the same deal
            SetWindowLongA(GetDlgItem(board, id), FaceUpSlot, 0);
        RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    double worst = 0;
    for (double t : rounds[0])
        worst = t > worst ? t : worst;
    std::printf("click to painted face, %s: first turn %.1f ms median, %.1f ms at worst; later turn %.1f ms median "
                "(target 16 ms median, 50 ms at worst)\n",
                kind, BenchMedian(rounds[0]), worst, BenchMedian(rounds[1]));
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
    BenchCardKind("text and picture", picture, "", "");
    BenchCardKind("text alone", "", "", "");
    BenchCardKind("text, picture and WAV sound", picture, media + "tone440.wav", "");
    BenchCardKind("text, picture and AVI video", picture, "", media + "pattern.avi");
    SetDisplayTime(displayTime);
    DeleteFileA(picture.c_str());
}

int registered = RegisterBench("turning cards", BenchTurns);

} // namespace
