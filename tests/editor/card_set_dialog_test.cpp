// Card set dialog: the pair list's order, listing format and drawing, Add, Modify and Remove with
// their questions, Save and Cancel.
#include "editor/card_pair_dialog.h"
#include "editor/card_set_dialog.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "res/dialog_ids.h"

#include <algorithm>

namespace {

class CardSetDialog : public testing::Test {
  protected:
    void SetUp() override { CardSetsChanged = 0; }

    void Run(int expectedResult, std::function<void(HWND dialog)> script)
    {
        Driver.Then(script);
        EXPECT_EQ(expectedResult, ShowCardSetDialog(nullptr, "Fruit", Cards));
        EXPECT_TRUE(Driver.Done());
    }

    DialogDriver Driver;
    CardSet Cards;
};

// A pair with a picture and a sound on its first card.
CardPair MediaPair(const char* picture1, const char* sound1)
{
    return {"", "", picture1, "", sound1, "", "", ""};
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// A card text as the card pair dialog's editor writes it.
std::string AsWritten(const std::string& rtf)
{
    HWND editor = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    LoadCardText(editor, rtf);
    std::string written = StreamOutRtf(editor).c_str();
    DestroyWindow(editor);
    return written;
}

} // namespace

// Both texts joined, each keeping its own formatting (the second does not take on the first's),
// whether or not the editor wrote it; quoted for the Remove question.
TEST_F(CardSetDialog, JoinsBothTextsEachWithItsOwnFormatting)
{
    const std::string amsel = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 Amsel}";
    CardPair pair = TextPair(AsWritten(MakeRtf("Robin", "Courier New", true, RGB(200, 0, 0))));
    std::vector<std::string> shown;
    std::string quoted;
    bool hasText = false;
    Run(0, [&](HWND dialog) {
        pair.Text2 = AsWritten(amsel);
        shown.push_back(PairDisplayText(pair, false, &hasText));
        pair.Text2 = amsel;
        shown.push_back(PairDisplayText(pair, false, nullptr));
        quoted = PairDisplayText(pair, true, nullptr);
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_TRUE(hasText);
    EXPECT_EQ("\"Robin\", \"Amsel\"", quoted);
    EXPECT_EQ("", PairDisplayText(pair, false, nullptr)) << "texts need an open card set dialog";
    HWND editor = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    for (const std::string& text : shown) {
        EXPECT_TRUE(IsRichText(text));
        LoadCardText(editor, text);
        EXPECT_EQ("Robin, Amsel", StreamOutText(editor));
        SelectText(editor, 0, 5);
        CHARFORMATA first = GetSelectionFormat(editor);
        EXPECT_TRUE(first.dwEffects & CFE_BOLD);
        EXPECT_EQ(RGB(200, 0, 0), first.crTextColor);
        SelectText(editor, 7, 12);
        CHARFORMATA second = GetSelectionFormat(editor);
        EXPECT_FALSE(second.dwEffects & CFE_BOLD);
        EXPECT_TRUE(second.dwEffects & CFE_AUTOCOLOR);
        EXPECT_STREQ("Tahoma", second.szFaceName);
    }
    DestroyWindow(editor);
}

// Modify and Remove without a selection say so and put the focus on the list. Add appends the
// pair and shows it sorted; a double click modifies a pair in place, which marks no change; Save
// does.
TEST_F(CardSetDialog, AddAppendsAndModifyChangesInPlace)
{
    Cards = {TextPair(MakeRtf("b")), TextPair(MakeRtf("d"))};
    std::string shown;
    auto type = [&](HWND pairDialog) {
        HWND text = GetEditorTextWindow(pairDialog, 101);
        shown = StreamOutText(text);
        SelectText(text, -1, -1);
        TypeText(text, "2");
        PressDialogButton(pairDialog, IDOK);
    };
    auto expectFocusOnList = [](int next) {
        return Pressing(IDOK, [next](HWND dialog) {
            EXPECT_EQ(GetDlgItem(dialog, IDC_CARDSET_LIST), GetFocus());
            SetFocus(GetDlgItem(dialog, IDCANCEL));
            PressDialogButton(dialog, next);
        });
    };
    Run(0, [&](HWND dialog) {
        PressDialogButton(dialog, IDC_CARDSET_MODIFY);
        Driver.Then(expectFocusOnList(IDC_CARDSET_REMOVE));
        Driver.Then(expectFocusOnList(IDC_CARDSET_ADD));
        Answer(Driver, type, [&](HWND dialog) {
            EXPECT_EQ((std::vector<LPARAM>{2, 0, 1}), GetListItemData(GetDlgItem(dialog, IDC_CARDSET_LIST)))
                << "\"2\" first";
            EXPECT_FALSE(IsEnabled(dialog, IDC_CARDSET_MODIFY) || IsEnabled(dialog, IDC_CARDSET_REMOVE));
            CardSetsChanged = 0;
            ClickListItem(GetDlgItem(dialog, IDC_CARDSET_LIST), 2, true);
            EXPECT_TRUE(IsEnabled(dialog, IDC_CARDSET_MODIFY) && IsEnabled(dialog, IDC_CARDSET_REMOVE));
        });
        Answer(Driver, type, Pressing(IDCANCEL));
    });
    EXPECT_EQ((std::vector<std::string>{"Error: A list item has to be selected",
                                        "Error: A list item has to be selected", "Card pair", "Card pair"}),
              SeenTexts(Driver));
    EXPECT_EQ("d", shown);
    const char* texts[] = {"b", "d2", "2"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(texts[i], PlainTextForCompare(Cards.at(i).Text1));
    EXPECT_EQ(0, CardSetsChanged);
    Run(1, Pressing(IDOK));
    EXPECT_EQ(1, CardSetsChanged);
    // Mended: more pairs were kept than a card set file is read with.
    Cards.assign(MaxCardPairs, CardPair());
    Run(0, [&](HWND dialog) {
        PressDialogButton(dialog, IDC_CARDSET_ADD);
        Answer(Driver, IDOK, Pressing(IDCANCEL));
    });
    EXPECT_EQ("Error: A card set holds at most 65536 card pairs", SeenTexts(Driver).back());
}

// Remove asks with the pair's listing or its quoted texts (Greek letters lie outside the ANSI
// code page; the question shows them). No keeps the pair; Yes removes it, even after Cancel.
TEST_F(CardSetDialog, RemoveAsksAndYesErasesThePair)
{
    Cards = {TextPair("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\uc1 \\u945?\\u946? x}"), TextPair(MakeRtf("z")),
             MediaPair("C:\\p\\cat.bmp", "C:\\s\\meow.wav")};
    wchar_t question[512] = L"";
    auto readAndSayNo = [&](HWND box) {
        GetDlgItemTextW(box, 0xFFFF, question, 512);
        PressDialogButton(box, IDNO);
    };
    Run(0, [&](HWND dialog) {
        ClickListItem(GetDlgItem(dialog, IDC_CARDSET_LIST), 0);
        PressDialogButton(dialog, IDC_CARDSET_REMOVE);
        Answer(Driver, readAndSayNo, [&](HWND dialog) {
            EXPECT_EQ((std::vector<LPARAM>{0, 1, 2}), GetListItemData(GetDlgItem(dialog, IDC_CARDSET_LIST)));
            ClickListItem(GetDlgItem(dialog, IDC_CARDSET_LIST), 2); // the listing sorts last
            PressDialogButton(dialog, IDC_CARDSET_REMOVE);
        });
        Answer(Driver, IDYES, [&](HWND dialog) {
            EXPECT_FALSE(IsEnabled(dialog, IDC_CARDSET_REMOVE));
            PressDialogButton(dialog, IDCANCEL);
        });
    });
    EXPECT_STREQ(L"Are you really sure that you want to remove entry with text \"\x03B1\x03B2 x\"?", question);
    EXPECT_EQ("Question: Are you really sure that you want to remove entry Picture 1: cat.bmp, Sound 1: meow.wav?",
              SeenTexts(Driver).at(1));
    EXPECT_EQ(1, CardSetsChanged) << "the caller saves nothing after Cancel, but a pair was removed";
    ASSERT_EQ(2u, Cards.size());
    EXPECT_EQ("z", PlainTextForCompare(Cards[1].Text1));
}

// Listings in the list's own font dark on white, formatted texts in their own formatting; the
// selection white on blue; an empty list with the focus shows only the focus rectangle.
TEST_F(CardSetDialog, DrawsListingsTextsAndTheSelection)
{
    const COLORREF white = RGB(255, 255, 255), blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
    Pixels plain[3], selected[3];
    RECT item[3] = {};
    const CardSet cardSets[3] = {
        {MediaPair("C:\\p\\cat.bmp", "")}, {TextPair(MakeRtf("Red text", "Tahoma", true, red))}, {}};
    for (int i = 0; i < 3; ++i) {
        Cards = cardSets[i];
        Run(0, [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
            SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item[i]));
            SetFocus(list);
            plain[i] = CaptureClient(list);
            ClickListItem(list, 0);
            selected[i] = CaptureClient(list);
            PressDialogButton(dialog, IDCANCEL);
        });
    }
    int all = plain[0].Width * plain[0].Height, itemArea = (item[0].right - item[0].left) * item[0].bottom;
    ASSERT_GT(all, 0);
    EXPECT_GT(plain[0].Count(white), all - itemArea);
    EXPECT_GT(all - plain[0].Count(white), 20) << "the listing's letters";
    EXPECT_GT(selected[0].Count(blue), itemArea / 2);
    EXPECT_GT(selected[0].Count(white) - (all - itemArea), 20) << "white letters on blue";
    EXPECT_GT(item[1].bottom, 8);
    EXPECT_LT(item[1].bottom, 40) << "one line of 10-point text";
    EXPECT_GT(plain[1].Count(red), 20) << "red letters";
    EXPECT_GT(selected[1].Count(blue), 100);
    EXPECT_EQ(0, selected[1].Count(red)) << "the selection draws the text in white";
    EXPECT_GT(all - plain[2].Count(white), 0);
    EXPECT_LT(all - plain[2].Count(white), 2 * plain[2].Width) << "no more than a dotted line across the top";
}

// Pairs with texts first by their plain text, then listings. The list keeps what it worked out
// for each pair: heights are those of the display texts measured afresh. A text that lays out to
// nothing (an empty RTF text) still keeps a line to be seen and selected by.
TEST_F(CardSetDialog, ListsTextsSortedThenListingsWithTheirHeights)
{
    const char* words[] = {"kiwi", "apple", "mango", "fig", "Banana"};
    for (int i = 0; i < 5; ++i) {
        Cards.push_back(
            TextPair(AsWritten("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}\\f" + std::to_string(i % 2) +
                               "\\fs" + std::to_string(16 + 8 * i) + (i % 2 ? "\\b " : " ") + words[i] + "}")));
        if (i % 2)
            Cards.back().Text2 = AsWritten(MakeRtf("second", "Times New Roman", false, RGB(0, 0, 200)));
    }
    Cards.insert(Cards.end(), {TextPair("{\\rtf1\\ansi }"), MediaPair("", "C:\\s\\b.wav"), MediaPair("C:\\a.bmp", "")});
    std::vector<int> kept, fresh;
    std::vector<std::string> texts;
    Run(0, [&](HWND dialog) {
        EXPECT_EQ("Fruit", GetDialogItemText(dialog, 401));
        EXPECT_FALSE(IsEnabled(dialog, IDC_CARDSET_MODIFY) || IsEnabled(dialog, IDC_CARDSET_REMOVE));
        HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST), rich = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        std::vector<LPARAM> order = GetListItemData(list);
        EXPECT_EQ((std::vector<LPARAM>{5, 1, 4, 3, 0, 2, 7, 6}), order);
        for (size_t i = 0; i < order.size(); ++i) {
            EXPECT_GT(SendMessageA(list, LB_GETITEMHEIGHT, i, 0), 5) << i;
            if (order[i] >= 5)
                continue;
            StreamInRtf(rich, PairDisplayText(Cards[order[i]], false, nullptr));
            texts.push_back(StreamOutText(rich));
            fresh.push_back(MeasureRichTextHeight(rich, display));
            kept.push_back(static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, i, 0)));
        }
        DeleteDC(display);
        DestroyWindow(rich);
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(fresh, kept);
    ASSERT_EQ(5u, kept.size());
    EXPECT_LT(*std::min_element(kept.begin(), kept.end()), *std::max_element(kept.begin(), kept.end()))
        << "texts of 8 to 24 points differ in height";
    EXPECT_LT(*std::max_element(kept.begin(), kept.end()), 100);
    EXPECT_EQ((std::vector<std::string>{"apple, second", "Banana", "fig, second", "kiwi", "mango"}), texts);
    EXPECT_EQ("Card set", Driver.Seen()[0].Caption);
    EXPECT_EQ(0, CardSetsChanged);
}
