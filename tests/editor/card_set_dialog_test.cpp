// Card set dialog: the owner-drawn pair list, Add, Modify and Remove with their questions, Save.
#include "editor/card_pair_dialog.h"
#include "editor/card_set_dialog.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/pair_view.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "res/dialog_ids.h"
#include "wordlist/word_list.h"

#include <algorithm>

namespace {

const auto MediaPair = [](const char* picture, const char* sound) {
    return CardPair{"", "", picture, "", sound, "", "", ""};
};

int Open(DialogDriver& driver, CardSet& cards, std::function<void(HWND dialog)> script)
{
    driver.Then(script);
    int result = ShowCardSetDialog(nullptr, "Fruit", cards);
    EXPECT_TRUE(driver.Done());
    return result;
}

std::vector<LPARAM> Order(HWND dialog)
{
    std::vector<LPARAM> data;
    for (int i = 0; i < SendDlgItemMessageA(dialog, IDC_CARDSET_LIST, LB_GETCOUNT, 0, 0); ++i)
        data.push_back(SendDlgItemMessageA(dialog, IDC_CARDSET_LIST, LB_GETITEMDATA, i, 0));
    return data;
}

// A card text as the editor writes it.
std::string AsWritten(const std::string& rtf)
{
    HWND editor = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    LoadCardText(editor, rtf);
    std::string written = StreamOutRtf(editor);
    DestroyWindow(editor);
    return written;
}

// The list drawn with nothing kept of its pairs' layouts.
Pixels DrawnAfresh(HWND list)
{
    KeepPairLayouts(false);
    Pixels pixels = CaptureClient(list);
    KeepPairLayouts(true);
    return pixels;
}

} // namespace

// Texts sorted by plain text, as high as their size, then listings; joined texts keep their formats.
TEST(CardSetDialog, ListsTextsSortedThenListingsEachInItsOwnFormatting)
{
    CardSet cards;
    const char* words[] = {"kiwi", "apple", "mango", "fig", "Banana"};
    for (int i = 0; i < 5; ++i) {
        cards.push_back(
            TextPair(AsWritten("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}\\f" + std::to_string(i % 2) +
                               "\\fs" + std::to_string(16 + 8 * i) + (i % 2 ? "\\b " : " ") + words[i] + "}")));
        if (i % 2)
            cards.back().Text2 = AsWritten(MakeRtf("second", "Times New Roman", false, RGB(0, 0, 200)));
    }
    cards.insert(cards.end(),
                 {TextPair("{\\rtf1\\ansi }"), MediaPair("", "C:\\s\\b.wav"), MediaPair("C:\\a.bmp", ""),
                  TextPair(AsWritten("{\\rtf1{\\fonttbl{\\f0\\fcharset204 Tahoma;}}\\f0 \\u1078?\\u1091?\\u1082?}")),
                  TextPair(PlainTextToRtf(L"\x0451\x0436"))}); // Cyrillic: edited, then imported
    const std::string amsel = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 Amsel}";
    CardPair pair = TextPair(AsWritten(MakeRtf("Robin", "Courier New", true, RGB(200, 0, 0))));
    std::vector<std::string> joined;
    std::vector<int> heights;
    DialogDriver driver;
    EXPECT_EQ(0, Open(driver, cards, [&](HWND dialog) {
                  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CARDSET_REMOVE)));
                  // As the user's locale orders them: Latin, then Cyrillic with \x0451 by \x0435.
                  EXPECT_EQ((std::vector<LPARAM>{5, 1, 4, 3, 0, 2, 9, 8, 7, 6}), Order(dialog));
                  for (int i = 0; i < 8; ++i)
                      heights.push_back(SendDlgItemMessageA(dialog, IDC_CARDSET_LIST, LB_GETITEMHEIGHT, i, 0));
                  for (const std::string& second : {AsWritten(amsel), amsel}) {
                      pair.Text2 = second;
                      joined.push_back(PairDisplayText(pair, false, nullptr));
                  }
                  EXPECT_EQ("\"Robin\", \"Amsel\"", PairDisplayText(pair, true, nullptr));
                  PressDialogButton(dialog, IDCANCEL);
              }));
    EXPECT_GT(*std::min_element(heights.begin(), heights.end()), 5);
    EXPECT_LT(heights[4], heights[2]) << "8 points lower than 24";
    EXPECT_LT(heights[2], 100);
    HWND editor = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    for (const std::string& text : joined) {
        LoadCardText(editor, text);
        EXPECT_EQ("Robin, Amsel", StreamOutText(editor));
        CHARFORMATA first = SelectText(editor, 0, 5), second = SelectText(editor, 7, 12);
        EXPECT_TRUE((first.dwEffects & CFE_BOLD) && first.crTextColor == RGB(200, 0, 0));
        EXPECT_TRUE(!(second.dwEffects & CFE_BOLD) && (second.dwEffects & CFE_AUTOCOLOR));
        EXPECT_STREQ("Tahoma", second.szFaceName);
    }
    DestroyWindow(editor);
    EXPECT_EQ(0, CardSetsChanged);
}

// Listings, texts and the selection drawn in their colours; empty list; Add refused at 65536 pairs.
TEST(CardSetDialog, DrawsListingsTextsAndTheSelection)
{
    const COLORREF white = RGB(255, 255, 255), blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
    Pixels plain[4], selected[4];
    RECT item[4] = {}, greek[3] = {};
    // Greek imported, typed in and saved by the editor, and question marks.
    CardSet cardSets[4] = {{MediaPair("C:\\p\\cat.bmp", "")},
                           {TextPair(MakeRtf("Red text", "Tahoma", true, red))},
                           {},
                           {TextPair(PlainTextToRtf(L"\x03ba\x03b1\x03bb\x03b7\x03bc\x03ad\x03c1\x03b1")),
                            TextPair("????????"),
                            TextPair(AsWritten("{\\rtf1{\\fonttbl{\\f0\\fcharset161 Tahoma;}}\\f0 "
                                               "\\u954?\\u945?\\u955?\\u951?\\u956?\\u941?\\u961?\\u945?}"))}};
    DialogDriver driver;
    for (int i = 0; i < 4; ++i) {
        Open(driver, cardSets[i], [&, i](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
            SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item[i]));
            for (int k = 0; i == 3 && k < 3; ++k)
                SendMessageA(list, LB_GETITEMRECT, k, reinterpret_cast<LPARAM>(&greek[k]));
            SetFocus(list);
            plain[i] = CaptureClient(list);
            int objects = CountGdiObjects() * 1000 + CountUserObjects();
            EXPECT_EQ(plain[i].Data, DrawnAfresh(list).Data) << "kept layouts draw as the converter does";
            EXPECT_EQ(objects, CountGdiObjects() * 1000 + CountUserObjects());
            ClickListItem(list, 0);
            selected[i] = CaptureClient(list);
            if (i == 2) {
                cardSets[i].resize(MaxCardPairs);
                driver.Then(Pressing(IDOK, Pressing(IDCANCEL)));
            }
            PressDialogButton(dialog, i == 2 ? IDC_CARDSET_ADD : IDCANCEL);
        });
    }
    EXPECT_EQ("Error: A card set holds at most 65536 card pairs", driver.Told(3).front());
    int all = plain[0].Width * plain[0].Height, itemArea = (item[0].right - item[0].left) * item[0].bottom;
    ASSERT_GT(all, 0);
    EXPECT_GT(plain[0].Count(white), all - itemArea);
    EXPECT_GT(all - plain[0].Count(white), 20) << "the listing's letters";
    EXPECT_GT(selected[0].Count(blue), itemArea / 2);
    EXPECT_GT(selected[0].Count(white) - (all - itemArea), 20) << "white letters on blue";
    EXPECT_TRUE(item[1].bottom > 8 && item[1].bottom < 40) << "one line of 10-point text";
    EXPECT_GT(plain[1].Count(red), 20) << "red letters";
    EXPECT_GT(selected[1].Count(blue), 100);
    EXPECT_EQ(0, selected[1].Count(red)) << "the selection draws the text in white";
    EXPECT_GT(all - plain[2].Count(white), 0);
    EXPECT_LT(all - plain[2].Count(white), 2 * plain[2].Width) << "no more than a dotted line across the top";
    // Greek (items 1 and 2) drawn as the editor's own text, unlike question marks (item 0).
    int differing = 0, unlike = 0;
    for (int y = 0; y < greek[1].bottom - greek[1].top; ++y)
        for (int x = 1; x < greek[1].right - 1; ++x) {
            COLORREF shown = plain[3].At(x, greek[1].top + y);
            differing += shown != plain[3].At(x, greek[2].top + y), unlike += shown != plain[3].At(x, greek[0].top + y);
        }
    EXPECT_TRUE(differing == 0 && unlike > 30) << differing << " pixels differ, " << unlike << " unlike";
}

// Modify without a selection, Remove asked (No, Yes), Add sorted, Modify in place counted by Save.
TEST(CardSetDialog, RemoveAddAndModifyChangeThePairs)
{
    CardSet cards = {TextPair("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\uc1 x \\u945?\\u946?}"),
                     TextPair(MakeRtf("d")), MediaPair("C:\\p\\cat.bmp", "C:\\s\\meow.wav")};
    wchar_t question[512] = L"";
    std::string shown;
    auto type = [&](HWND pairDialog) {
        HWND text = EditorText(pairDialog, IDC_PAIR_TEXT1);
        shown = StreamOutText(text);
        SelectText(text, -1, -1);
        TypeText(text, "2");
        PressDialogButton(pairDialog, IDOK);
    };
    auto focusOnList = [](std::function<void(HWND)> next) {
        return Pressing(IDOK, [next](HWND dialog) {
            EXPECT_EQ(GetDlgItem(dialog, IDC_CARDSET_LIST), GetFocus());
            SetFocus(GetDlgItem(dialog, IDCANCEL));
            next(dialog);
        });
    };
    DialogDriver driver;
    EXPECT_EQ(0, Open(driver, cards, [&](HWND dialog) {
                  driver.Then(focusOnList([](HWND dialog) { PressDialogButton(dialog, IDC_CARDSET_REMOVE); }));
                  driver.Then(focusOnList([](HWND dialog) {
                      EXPECT_EQ((std::vector<LPARAM>{1, 0, 2}), Order(dialog));
                      ClickListItem(GetDlgItem(dialog, IDC_CARDSET_LIST), 1);
                      PressDialogButton(dialog, IDC_CARDSET_REMOVE);
                  }));
                  driver.Then(Closing(
                      [&](HWND box) {
                          GetDlgItemTextW(box, 0xFFFF, question, 512);
                          PressDialogButton(box, IDNO);
                      },
                      [](HWND dialog) {
                          ClickListItem(GetDlgItem(dialog, IDC_CARDSET_LIST), 2);
                          PressDialogButton(dialog, IDC_CARDSET_REMOVE);
                      }));
                  driver.Then(Pressing(IDYES, [](HWND dialog) {
                      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CARDSET_REMOVE)));
                      EXPECT_EQ(1, CardSetsChanged);
                      PressDialogButton(dialog, IDC_CARDSET_ADD);
                  }));
                  driver.Then(Closing(type, [](HWND dialog) {
                      EXPECT_EQ((std::vector<LPARAM>{2, 1, 0}), Order(dialog)) << "\"2\" first";
                      CardSetsChanged = 0;
                      ClickListItem(GetDlgItem(dialog, IDC_CARDSET_LIST), 1, true);
                  }));
                  driver.Then(Closing(type, [](HWND dialog) {
                      HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
                      EXPECT_EQ(CaptureClient(list).Data, DrawnAfresh(list).Data) << "the modified pair drawn anew";
                      PressDialogButton(dialog, IDCANCEL);
                  }));
                  PressDialogButton(dialog, IDC_CARDSET_MODIFY);
              }));
    EXPECT_STREQ(L"Are you really sure that you want to remove entry with text \"x \x03B1\x03B2\"?", question);
    std::vector<std::string> seen = driver.Told(1);
    seen.erase(seen.begin() + 2); // the question above
    EXPECT_EQ((std::vector<std::string>{
                  "Error: A list item has to be selected", "Error: A list item has to be selected",
                  "Question: Are you really sure that you want to remove entry Picture 1: cat.bmp, Sound 1: meow.wav?",
                  "Card pair", "Card pair"}),
              seen);
    EXPECT_EQ("d", shown);
    ASSERT_EQ(3u, cards.size());
    EXPECT_EQ("d2|2", PlainTextForCompare(cards[1].Text1) + "|" + PlainTextForCompare(cards[2].Text1));
    EXPECT_EQ(0, CardSetsChanged);
    EXPECT_EQ(1, Open(driver, cards, Pressing(IDOK)));
    EXPECT_EQ(1, CardSetsChanged);
}
