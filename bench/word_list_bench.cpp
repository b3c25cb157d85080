// Benchmark: a card set made from a 1000-row word list, and 200 pictures made into pairs and shown
// in the card set dialog's list.
#include "bench/bench.h"

#include "cardset/card_set_folder.h"
#include "editor/card_set_clipboard.h"
#include "editor/card_set_dialog.h"
#include "wordlist/word_list_import.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

void BenchWordList()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "mnemora bench list.csv";
    {
        std::ofstream list(path, std::ios::binary);
        list << "\xEF\xBB\xBFsep=;\r\n";
        for (int i = 0; i < 1000; ++i)
            list << "word " << i << ";\"\xCE\xBB\xCE\xAD\xCE\xBE\xCE\xB7 " << i << ", with \"\"quotes\"\"\"\r\n";
    }
    std::vector<double> times;
    for (int round = 0; round < 3; ++round) {
        DeleteCardSet("Bench list");
        double start = BenchNow();
        WordList list;
        std::vector<std::string> missing;
        std::string error;
        if (!OpenWordList(path, list, error) || !ImportWordList(list, "Bench list", missing, error))
            std::printf("word list import failed: %s\n", error.c_str());
        times.push_back(BenchNow() - start);
    }
    DeleteCardSet("Bench list");
    DeleteFileA(path.c_str());
    std::printf("1000-row word list read and written as a card set: %.1f ms median of 3 (target 200 ms)\n",
                BenchMedian(times));

    std::vector<std::string> pictures;
    for (int i = 0; i < 200; ++i)
        pictures.push_back("C:\\pictures\\animal_" + std::to_string(1000 - i) + "-photo.jpg");
    HWND owner =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    times.clear();
    for (int round = 0; round < 3; ++round)
        times.push_back(BenchCardSetDialogToFirstPaint([&] {
            CardSet cards = MakePicturePairs(pictures);
            ShowCardSetDialog(owner, "Benchmark", cards);
        }));
    DestroyWindow(owner);
    std::printf("200 pictures made into pairs and shown in the card set dialog, to first paint: %.1f ms median of "
                "3 (target 1000 ms)\n",
                BenchMedian(times));
}

int Registered = RegisterBench("word lists and pictures", BenchWordList);

} // namespace
