// Benchmark: how long the card set dialog takes to show a large card set.
#include "bench/bench.h"

#include "cardset/card_set.h"
#include "editor/card_set_dialog.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A card text of a few formatted words, different for each pair, as the card pair dialog's editor
// writes it.
std::string MakeCardText(HWND editor, int n)
{
    LoadCardText(editor, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}{\\colortbl;\\red200\\green0"
                         "\\blue0;}\\f0\\fs20 Card \\b number\\b0  \\cf1 " +
                             std::to_string(n) + "\\cf0  \\f1 of the benchmark}");
    std::string text = StreamOutRtf(editor);
    return text.substr(0, text.find('\0'));
}

void BenchCardSetDialog(int pairs, int target)
{
    CardSet cards(pairs);
    HWND editor = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    for (int i = 0; i < pairs; ++i) {
        cards[i].Text1 = MakeCardText(editor, i);
        if (i % 2)
            cards[i].Text2 = MakeCardText(editor, i + 1000);
    }
    DestroyWindow(editor);
    HWND owner =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    std::vector<double> times;
    for (int round = 0; round < 9; ++round)
        times.push_back(BenchCardSetDialogToFirstPaint([&] { ShowCardSetDialog(owner, "Benchmark", cards); }));
    DestroyWindow(owner);
    std::printf("card set dialog with %d pairs of RTF texts, open to first paint: %.1f ms median of 9 (target %d ms)\n",
                pairs, BenchMedian(times), target);
}

void BenchCardSetDialogs()
{
    BenchCardSetDialog(100, 50);
    BenchCardSetDialog(1000, 250);
}

int Registered = RegisterBench("card set dialog", BenchCardSetDialogs);

} // namespace
