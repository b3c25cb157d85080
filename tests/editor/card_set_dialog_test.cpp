// Card set dialog: the pair list's order, listing format and drawing, Add, Modify and Remove with
// their questions, Save and Cancel.
#include "editor/card_pair_dialog.h"
#include "editor/card_set_dialog.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"

#include <algorithm>

namespace {

const int ListId = 201;
const int AddId = 301;
const int ModifyId = 302;
const int RemoveId = 303;

class CardSetDialog : public testing::Test {
  protected:
    void SetUp() override { CardSetsChanged = 0; }

    int Run(std::function<void(HWND dialog)> script)
    {
        Driver.Then(script);
        int result = ShowCardSetDialog(nullptr, "Fruit", Cards);
        EXPECT_TRUE(Driver.Done());
        return result;
    }

    DialogDriver Driver;
    CardSet Cards;
};

CardPair MediaPair(const char* picture1, const char* sound1)
{
    CardPair pair;
    pair.PictureFileName1 = picture1;
    pair.SoundFileName1 = sound1;
    return pair;
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

TEST(PairDisplayText, ListsFileNamesWithoutFoldersInTheirFixedOrder)
{
    CardPair pair = {"",
                     "",
                     "C:\\pictures\\cats\\cat.bmp",
                     "dog.png",
                     "C:\\meow.wav",
                     "D:\\sounds\\woof.wav",
                     "%USERPROFILE%\\clip.mpg",
                     "C:\\films\\run.wmv"};
    bool hasText = true;
    EXPECT_EQ("Picture 1: cat.bmp, Sound 1: meow.wav, Video 1: clip.mpg, Picture 2: dog.png, Sound 2: woof.wav, "
              "Video 2: run.wmv",
              PairDisplayText(pair, false, &hasText));
    EXPECT_FALSE(hasText);
    pair = {"", "", "", "C:\\p\\dog.png", "", "C:\\s\\woof.wav", "", ""};
    EXPECT_EQ("Picture 2: dog.png, Sound 2: woof.wav", PairDisplayText(pair, true, nullptr));
    EXPECT_EQ("", PairDisplayText(CardPair(), false, nullptr));
}

// Texts first by their plain text, then listings. A text that lays out to nothing (an empty RTF
// text) still keeps a line to be seen and selected by.
TEST_F(CardSetDialog, ShowsTheNameAndSortsTextsFirstThenListings)
{
    Cards = {MediaPair("", "C:\\s\\b.wav"),
             TextPair(MakeRtf("cherry")),
             MediaPair("C:\\p\\a.bmp", ""),
             TextPair(MakeRtf("apple", "Courier New", false, RGB(255, 0, 0))),
             TextPair(MakeRtf("Banana", "Tahoma", true)),
             TextPair("{\\rtf1\\ansi }")};
    std::string name;
    std::vector<LPARAM> order;
    std::vector<int> heights;
    EXPECT_EQ(0, Run([&](HWND dialog) {
                  name = GetDialogItemText(dialog, 401);
                  HWND list = GetDlgItem(dialog, ListId);
                  order = GetListItemData(list);
                  for (size_t i = 0; i < order.size(); ++i)
                      heights.push_back(static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, i, 0)));
                  EXPECT_FALSE(IsEnabled(dialog, ModifyId) || IsEnabled(dialog, RemoveId));
                  PressDialogButton(dialog, IDCANCEL);
              }));
    EXPECT_EQ("Card set", Driver.Seen()[0].Caption);
    EXPECT_EQ("Fruit", name);
    EXPECT_EQ((std::vector<LPARAM>{5, 3, 4, 1, 2, 0}), order);
    for (int height : heights)
        EXPECT_GT(height, 5);
    EXPECT_EQ(0, CardSetsChanged);
}

// Both texts joined, each keeping its own formatting (the second does not take on the first's),
// whether or not the editor wrote it; quoted for the Remove question.
TEST_F(CardSetDialog, JoinsBothTextsEachWithItsOwnFormatting)
{
    const std::string amsel = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 Amsel}";
    CardPair pair = TextPair(AsWritten(MakeRtf("Robin", "Courier New", true, RGB(200, 0, 0))));
    std::vector<std::string> shown;
    std::string quoted;
    bool hasText = false;
    Run([&](HWND dialog) {
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

TEST_F(CardSetDialog, ModifyAndRemoveNeedASelection)
{
    Cards = {TextPair(MakeRtf("one"))};
    std::vector<bool> focusOnList;
    Run([&](HWND dialog) {
        PressDialogButton(dialog, ModifyId);
        Answer(Driver, IDOK, [&](HWND dialog) {
            focusOnList.push_back(GetFocus() == GetDlgItem(dialog, ListId));
            SetFocus(GetDlgItem(dialog, IDCANCEL));
            PressDialogButton(dialog, RemoveId);
        });
        Answer(Driver, IDOK, [&](HWND dialog) {
            focusOnList.push_back(GetFocus() == GetDlgItem(dialog, ListId));
            PressDialogButton(dialog, IDCANCEL);
        });
    });
    EXPECT_EQ(std::vector<std::string>(2, "Error: A list item has to be selected"), SeenTexts(Driver));
    EXPECT_EQ((std::vector<bool>{true, true}), focusOnList);
}

TEST_F(CardSetDialog, AddAppendsThePairAndShowsItSorted)
{
    Cards = {TextPair(MakeRtf("b")), TextPair(MakeRtf("d"))};
    std::vector<LPARAM> order;
    auto typeC = [](HWND pairDialog) {
        TypeText(GetEditorTextWindow(pairDialog, 101), "c");
        PressDialogButton(pairDialog, IDOK);
    };
    EXPECT_EQ(1, Run([&](HWND dialog) {
                  PressDialogButton(dialog, AddId);
                  Answer(Driver, typeC, [&](HWND dialog) {
                      order = GetListItemData(GetDlgItem(dialog, ListId));
                      EXPECT_FALSE(IsEnabled(dialog, ModifyId));
                      PressDialogButton(dialog, IDOK);
                  });
              }));
    EXPECT_EQ(1, CardSetsChanged);
    ASSERT_EQ(3u, Cards.size());
    EXPECT_EQ("c", PlainTextForCompare(Cards[2].Text1));
    EXPECT_EQ((std::vector<LPARAM>{0, 2, 1}), order);
}

// A double click modifies the pair in place; that marks no change, Save does.
TEST_F(CardSetDialog, ModifyChangesThePairInPlaceAndOnlySaveMarksAChange)
{
    Cards = {TextPair(MakeRtf("alpha")), TextPair(MakeRtf("beta"))};
    std::string shownText;
    auto append2 = [&](HWND pairDialog) {
        HWND text = GetEditorTextWindow(pairDialog, 101);
        shownText = StreamOutText(text);
        SelectText(text, -1, -1);
        TypeText(text, "2");
        PressDialogButton(pairDialog, IDOK);
    };
    EXPECT_EQ(0, Run([&](HWND dialog) {
                  ClickListItem(GetDlgItem(dialog, ListId), 1, true);
                  EXPECT_TRUE(IsEnabled(dialog, ModifyId) && IsEnabled(dialog, RemoveId));
                  Answer(Driver, append2, Pressing(IDCANCEL));
              }));
    EXPECT_EQ("beta", shownText);
    EXPECT_EQ("beta2", PlainTextForCompare(Cards[1].Text1));
    EXPECT_EQ(0, CardSetsChanged);
    EXPECT_EQ(1, Run(Pressing(IDOK)));
    EXPECT_EQ(1, CardSetsChanged);
}

// Remove asks with the pair's listing or its quoted texts (Greek letters lie outside the ANSI
// code page; the question shows them). No keeps the pair; Yes removes it, even after Cancel.
TEST_F(CardSetDialog, RemoveAsksAndYesErasesThePair)
{
    Cards = {TextPair("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\uc1 \\u945?\\u946? x}"), TextPair(MakeRtf("z")),
             MediaPair("C:\\p\\cat.bmp", "C:\\s\\meow.wav")};
    wchar_t question[512] = L"";
    std::vector<LPARAM> orderAfterNo;
    auto readAndSayNo = [&](HWND box) {
        GetDlgItemTextW(box, 0xFFFF, question, 512);
        PressDialogButton(box, IDNO);
    };
    EXPECT_EQ(0, Run([&](HWND dialog) {
                  ClickListItem(GetDlgItem(dialog, ListId), 0);
                  PressDialogButton(dialog, RemoveId);
                  Answer(Driver, readAndSayNo, [&](HWND dialog) {
                      orderAfterNo = GetListItemData(GetDlgItem(dialog, ListId));
                      ClickListItem(GetDlgItem(dialog, ListId), 2); // the listing sorts last
                      PressDialogButton(dialog, RemoveId);
                  });
                  Answer(Driver, IDYES, [&](HWND dialog) {
                      EXPECT_FALSE(IsEnabled(dialog, RemoveId));
                      PressDialogButton(dialog, IDCANCEL);
                  });
              }));
    EXPECT_STREQ(L"Are you really sure that you want to remove entry with text \"\x03B1\x03B2 x\"?", question);
    std::vector<std::string> seen = SeenTexts(Driver);
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("Question", seen[0].substr(0, 8));
    EXPECT_EQ("Question: Are you really sure that you want to remove entry Picture 1: cat.bmp, Sound 1: meow.wav?",
              seen[1]);
    EXPECT_EQ((std::vector<LPARAM>{0, 1, 2}), orderAfterNo);
    EXPECT_EQ(1, CardSetsChanged) << "the caller saves nothing after Cancel, but a pair was removed";
    ASSERT_EQ(2u, Cards.size());
    EXPECT_EQ("z", PlainTextForCompare(Cards[1].Text1));
}

// Listings in the list's own font dark on white, formatted texts in their own formatting; the
// selection white on blue; an empty list with the focus shows only the focus rectangle.
TEST_F(CardSetDialog, DrawsListingsTextsAndTheSelection)
{
    const COLORREF white = RGB(255, 255, 255), blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
    struct Drawn {
        Pixels Plain, Selected;
        int ItemArea = 0, ItemHeight = 0;
    };
    auto draw = [&](CardSet cards) {
        Cards = cards;
        Drawn drawn;
        Run([&](HWND dialog) {
            HWND list = GetDlgItem(dialog, ListId);
            RECT item = {};
            SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
            drawn.ItemArea = (item.right - item.left) * (item.bottom - item.top);
            drawn.ItemHeight = item.bottom - item.top;
            SetFocus(list);
            drawn.Plain = CaptureClient(list);
            ClickListItem(list, 0);
            drawn.Selected = CaptureClient(list);
            PressDialogButton(dialog, IDCANCEL);
        });
        return drawn;
    };
    Drawn listing = draw({MediaPair("C:\\p\\cat.bmp", "")});
    int all = listing.Plain.Width * listing.Plain.Height;
    ASSERT_GT(all, 0);
    EXPECT_GT(listing.Plain.Count(white), all - listing.ItemArea);
    EXPECT_GT(all - listing.Plain.Count(white), 20) << "the listing's letters";
    EXPECT_GT(listing.Selected.Count(blue), listing.ItemArea / 2);
    EXPECT_GT(listing.Selected.Count(white) - (all - listing.ItemArea), 20) << "white letters on blue";

    Drawn text = draw({TextPair(MakeRtf("Red text", "Tahoma", true, red))});
    EXPECT_GT(text.ItemHeight, 8);
    EXPECT_LT(text.ItemHeight, 40) << "one line of 10-point text";
    EXPECT_GT(text.Plain.Count(red), 20) << "red letters";
    EXPECT_GT(text.Selected.Count(blue), 100);
    EXPECT_EQ(0, text.Selected.Count(red)) << "the selection draws the text in white";

    int other = all - draw({}).Plain.Count(white);
    EXPECT_GT(other, 0);
    EXPECT_LT(other, 2 * listing.Plain.Width) << "no more than a dotted line across the top";
}

// The list keeps what it worked out for each pair; heights and order are those of the display
// texts measured and compared afresh.
TEST_F(CardSetDialog, KeptHeightsAndOrderMatchTheDisplayTexts)
{
    const char* words[] = {"kiwi", "Apple", "mango", "fig", "Banana"};
    for (int i = 0; i < 5; ++i) {
        CardPair pair;
        pair.Text1 = AsWritten("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}\\f" + std::to_string(i % 2) +
                               "\\fs" + std::to_string(16 + 8 * i) + (i % 2 ? "\\b " : " ") + words[i] + "}");
        if (i % 2)
            pair.Text2 = AsWritten(MakeRtf("second", "Times New Roman", false, RGB(0, 0, 200)));
        Cards.push_back(pair);
    }
    std::vector<int> kept, fresh;
    std::vector<std::string> sortTexts;
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        HWND rich = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        HDC memory = CreateCompatibleDC(display);
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        HBITMAP bitmap = CreateCompatibleBitmap(display, screen.right, screen.bottom);
        HGDIOBJ old = SelectObject(memory, bitmap);
        for (LPARAM index : GetListItemData(list)) {
            StreamInRtf(rich, PairDisplayText(Cards[index], false, nullptr));
            sortTexts.push_back(StreamOutText(rich));
            FORMATRANGE range = {memory, memory, screen, screen, {0, 0}};
            SendMessageA(rich, EM_SETSEL, 0, -1);
            SendMessageA(rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
            PixelsToTwips(range.rc, display);
            range.rcPage = range.rc;
            FormatRichTextRange(rich, TRUE, &range);
            FormatRichTextRange(rich, TRUE, nullptr);
            fresh.push_back(TwipsToPixelsY(display, range.rc.bottom));
            kept.push_back(static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, kept.size(), 0)));
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        DeleteDC(display);
        DestroyWindow(rich);
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(fresh, kept);
    ASSERT_EQ(5u, kept.size());
    EXPECT_LT(*std::min_element(kept.begin(), kept.end()), *std::max_element(kept.begin(), kept.end()))
        << "texts of 8 to 24 points differ in height";
    EXPECT_LT(*std::max_element(kept.begin(), kept.end()), 100);
    for (size_t i = 1; i < sortTexts.size(); ++i)
        EXPECT_LT(lstrcmpA(sortTexts[i - 1].c_str(), sortTexts[i].c_str()), 0) << sortTexts[i];
    EXPECT_EQ("Apple, second", sortTexts[0]);
}
