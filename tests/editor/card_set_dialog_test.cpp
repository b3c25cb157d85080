// Card set dialog: the pair list's order, listing format and drawing, Add, Modify and Remove with
// their questions, Save and Cancel.
#include "editor/card_set_dialog.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

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
        Driver.Then([script](HWND dialog) { script(dialog); });
        int result = ShowCardSetDialog(Owner.Window, "Fruit", Cards);
        EXPECT_TRUE(Driver.Done());
        return result;
    }

    OwnerWindow Owner;
    DialogDriver Driver;
    CardSet Cards;
};

CardPair MediaPair(const char* picture1, const char* sound1, const char* picture2 = "", const char* sound2 = "")
{
    CardPair pair;
    pair.PictureFileName1 = picture1;
    pair.SoundFileName1 = sound1;
    pair.PictureFileName2 = picture2;
    pair.SoundFileName2 = sound2;
    return pair;
}

std::string PlainOf(const std::string& rtf)
{
    HWND rich = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    StreamInRtf(rich, rtf);
    std::string plain = StreamOutText(rich);
    DestroyWindow(rich);
    return plain;
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

} // namespace

TEST(PairDisplayText, ListsFileNamesWithoutFoldersInTheirFixedOrder)
{
    CardPair pair;
    pair.VideoFileName2 = "C:\\films\\run.wmv";
    pair.SoundFileName2 = "D:\\sounds\\woof.wav";
    pair.PictureFileName2 = "dog.png";
    pair.VideoFileName1 = "%USERPROFILE%\\clip.mpg";
    pair.SoundFileName1 = "C:\\meow.wav";
    pair.PictureFileName1 = "C:\\pictures\\cats\\cat.bmp";
    bool hasText = true;
    EXPECT_EQ("Picture 1: cat.bmp, Sound 1: meow.wav, Video 1: clip.mpg, Picture 2: dog.png, Sound 2: woof.wav, "
              "Video 2: run.wmv",
              PairDisplayText(pair, false, &hasText));
    EXPECT_FALSE(hasText);
    EXPECT_EQ("Picture 2: dog.png, Sound 2: woof.wav",
              PairDisplayText(MediaPair("", "", "C:\\p\\dog.png", "C:\\s\\woof.wav"), true, nullptr));
    EXPECT_EQ("", PairDisplayText(CardPair(), false, nullptr));
}

TEST_F(CardSetDialog, ShowsTheNameAndSortsTextsFirstThenListings)
{
    Cards = {MediaPair("", "C:\\s\\b.wav"), TextPair(MakeRtf("cherry")), MediaPair("C:\\p\\a.bmp", ""),
             TextPair(MakeRtf("apple", "Courier New", false, RGB(255, 0, 0))),
             TextPair(MakeRtf("Banana", "Tahoma", true))};
    std::string name;
    std::vector<LPARAM> order;
    bool modify = true, remove = true;
    int result = Run([&](HWND dialog) {
        name = GetDialogItemText(dialog, 401);
        order = GetListItemData(GetDlgItem(dialog, ListId));
        modify = IsEnabled(dialog, ModifyId);
        remove = IsEnabled(dialog, RemoveId);
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ("Card set", Driver.Seen()[0].Caption);
    EXPECT_EQ("Fruit", name);
    EXPECT_EQ((std::vector<LPARAM>{3, 4, 1, 2, 0}), order);
    EXPECT_FALSE(modify);
    EXPECT_FALSE(remove);
    EXPECT_EQ(0, CardSetsChanged);
}

TEST_F(CardSetDialog, JoinsBothTextsAndQuotesThemForTheQuestion)
{
    CardPair both;
    both.Text1 = MakeRtf("Paris", "Tahoma", true);
    both.Text2 = MakeRtf("France", "Courier New", false, RGB(0, 0, 255));
    std::string shown, quoted;
    bool hasText = false;
    Run([&](HWND dialog) {
        shown = PairDisplayText(both, false, &hasText);
        quoted = PairDisplayText(both, true, nullptr);
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_TRUE(hasText);
    EXPECT_TRUE(IsRichText(shown));
    EXPECT_EQ("Paris, France", PlainOf(shown));
    EXPECT_EQ("\"Paris\", \"France\"", quoted);
    EXPECT_EQ("", PairDisplayText(both, false, nullptr)) << "texts need an open card set dialog";
}

// Each text of a joined pair keeps its own formatting: the second does not take on the first's.
TEST_F(CardSetDialog, JoinedSecondTextKeepsItsOwnFormatting)
{
    HWND editor = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    // As the card pair dialog's editor writes them.
    auto written = [editor](const std::string& rtf) {
        LoadCardText(editor, rtf);
        return std::string(StreamOutRtf(editor).c_str());
    };
    CardPair pair;
    pair.Text1 = written(MakeRtf("Robin", "Courier New", true, RGB(200, 0, 0)));
    pair.Text2 = written("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 Amsel}");
    std::vector<std::string> shown;
    Run([&](HWND dialog) {
        shown.push_back(PairDisplayText(pair, false, nullptr));
        CardPair other = pair;
        other.Text2 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 Amsel}"; // not written by the control
        shown.push_back(PairDisplayText(other, false, nullptr));
        PressDialogButton(dialog, IDCANCEL);
    });
    for (const std::string& text : shown) {
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

// A pair whose text is an empty RTF text can still be seen and selected.
TEST_F(CardSetDialog, EmptyFormattedTextKeepsALine)
{
    Cards = {TextPair("{\\rtf1\\ansi }"), TextPair(MakeRtf("word"))};
    std::vector<int> heights;
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        for (int i = 0; i < 2; ++i)
            heights.push_back(static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, i, 0)));
        PressDialogButton(dialog, IDCANCEL);
    });
    ASSERT_EQ(2u, heights.size());
    EXPECT_GT(heights[0], 5);
    EXPECT_GT(heights[1], 5);
}

TEST_F(CardSetDialog, ModifyAndRemoveNeedASelection)
{
    Cards = {TextPair(MakeRtf("one"))};
    std::vector<bool> focusOnList;
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        PressDialogButton(dialog, ModifyId);
        Driver.Then([&, dialog, list](HWND box) {
            PressDialogButton(box, IDOK);
            RunLater([&, dialog, list] {
                focusOnList.push_back(GetFocus() == list);
                SetFocus(GetDlgItem(dialog, IDCANCEL));
                PressDialogButton(dialog, RemoveId);
                Driver.Then([&, dialog, list](HWND box2) {
                    PressDialogButton(box2, IDOK);
                    RunLater([&, dialog, list] {
                        focusOnList.push_back(GetFocus() == list);
                        PressDialogButton(dialog, IDCANCEL);
                    });
                });
            });
        });
    });
    ASSERT_EQ(3u, Driver.Seen().size());
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ("Error", Driver.Seen()[i].Caption);
        EXPECT_EQ("A list item has to be selected", Driver.Seen()[i].Text);
    }
    EXPECT_EQ((std::vector<bool>{true, true}), focusOnList);
    EXPECT_EQ(1u, Cards.size());
}

TEST_F(CardSetDialog, AddAppendsThePairAndShowsItSorted)
{
    Cards = {TextPair(MakeRtf("b")), TextPair(MakeRtf("d"))};
    std::vector<LPARAM> order;
    bool modify = true;
    int result = Run([&](HWND dialog) {
        PressDialogButton(dialog, AddId);
        Driver.Then([&, dialog](HWND pairDialog) {
            RunLater([&, dialog, pairDialog] {
                TypeText(GetEditorTextWindow(pairDialog, 101), "c");
                PressDialogButton(pairDialog, IDOK);
                RunLater([&, dialog] {
                    order = GetListItemData(GetDlgItem(dialog, ListId));
                    modify = IsEnabled(dialog, ModifyId);
                    PressDialogButton(dialog, IDOK);
                });
            });
        });
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, CardSetsChanged);
    ASSERT_EQ(3u, Cards.size());
    EXPECT_EQ("c", PlainOf(Cards[2].Text1));
    EXPECT_EQ((std::vector<LPARAM>{0, 2, 1}), order);
    EXPECT_FALSE(modify);
}

TEST_F(CardSetDialog, ModifyChangesThePairInPlaceWithoutMarkingAChange)
{
    Cards = {TextPair(MakeRtf("alpha")), TextPair(MakeRtf("beta"))};
    std::string shownText;
    int result = Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        ClickListItem(list, 1);
        EXPECT_TRUE(IsEnabled(dialog, ModifyId));
        EXPECT_TRUE(IsEnabled(dialog, RemoveId));
        PressDialogButton(dialog, ModifyId);
        Driver.Then([&, dialog](HWND pairDialog) {
            RunLater([&, dialog, pairDialog] {
                HWND text = GetEditorTextWindow(pairDialog, 101);
                shownText = StreamOutText(text);
                SelectText(text, -1, -1);
                TypeText(text, "2");
                PressDialogButton(pairDialog, IDOK);
                RunLater([dialog] { PressDialogButton(dialog, IDCANCEL); });
            });
        });
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ("beta", shownText);
    EXPECT_EQ("beta2", PlainOf(Cards[1].Text1));
    EXPECT_EQ(0, CardSetsChanged);
}

TEST_F(CardSetDialog, DoubleClickModifies)
{
    Cards = {MediaPair("C:\\cat.bmp", "")};
    std::string field;
    Run([&](HWND dialog) {
        ClickListItem(GetDlgItem(dialog, ListId), 0, true);
        Driver.Then([&, dialog](HWND pairDialog) {
            field = GetDialogItemText(pairDialog, 102);
            PressDialogButton(pairDialog, IDCANCEL);
            RunLater([dialog] { PressDialogButton(dialog, IDCANCEL); });
        });
    });
    EXPECT_EQ("C:\\cat.bmp", field);
}

TEST_F(CardSetDialog, RemoveAsksWithTheUnicodeTextAndNoKeepsThePair)
{
    // Greek letters lie outside the ANSI code page; the question shows them.
    Cards = {TextPair("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\uc1 \\u945?\\u946? x}"), TextPair(MakeRtf("z"))};
    std::wstring question;
    std::vector<LPARAM> orderAfterNo;
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        ClickListItem(list, 0);
        PressDialogButton(dialog, RemoveId);
        Driver.Then([&, dialog, list](HWND box) {
            wchar_t text[512] = L"";
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            question = text;
            PressDialogButton(box, IDNO);
            RunLater([&, dialog, list] {
                orderAfterNo = GetListItemData(list);
                PressDialogButton(dialog, IDCANCEL);
            });
        });
    });
    EXPECT_EQ(L"Are you really sure that you want to remove entry with text \"\x03B1\x03B2 x\"?", question);
    EXPECT_EQ("Question", Driver.Seen()[1].Caption);
    EXPECT_EQ(2u, Cards.size());
    EXPECT_EQ((std::vector<LPARAM>{0, 1}), orderAfterNo);
    EXPECT_EQ(0, CardSetsChanged);
}

TEST_F(CardSetDialog, RemoveYesErasesThePair)
{
    Cards = {MediaPair("C:\\p\\cat.bmp", "C:\\s\\meow.wav"), TextPair(MakeRtf("one")), TextPair(MakeRtf("two"))};
    bool removeEnabled = true;
    int result = Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        ClickListItem(list, 2); // the listing sorts last
        PressDialogButton(dialog, RemoveId);
        Driver.Then([&, dialog, list](HWND box) {
            PressDialogButton(box, IDYES);
            RunLater([&, dialog, list] {
                removeEnabled = IsEnabled(dialog, RemoveId);
                ClickListItem(list, 1);
                PressDialogButton(dialog, RemoveId);
                Driver.Then([dialog](HWND box2) {
                    PressDialogButton(box2, IDYES);
                    RunLater([dialog] { PressDialogButton(dialog, IDCANCEL); });
                });
            });
        });
    });
    EXPECT_EQ(0, result) << "Cancel: the caller saves nothing";
    EXPECT_EQ(1, CardSetsChanged) << "but a pair was removed";
    ASSERT_EQ(3u, Driver.Seen().size());
    EXPECT_EQ("Are you really sure that you want to remove entry Picture 1: cat.bmp, Sound 1: meow.wav?",
              Driver.Seen()[1].Text);
    EXPECT_EQ("Are you really sure that you want to remove entry with text \"two\"?", Driver.Seen()[2].Text);
    EXPECT_FALSE(removeEnabled);
    ASSERT_EQ(1u, Cards.size());
    EXPECT_EQ("one", PlainOf(Cards[0].Text1));
}

TEST_F(CardSetDialog, SaveReportsAChange)
{
    int result = Run([](HWND dialog) { PressDialogButton(dialog, IDOK); });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, CardSetsChanged);
}

// A listing is drawn in the list's own font: dark on white, white on blue when selected; an
// empty list with the focus shows only the focus rectangle.
TEST_F(CardSetDialog, DrawsListingsAndTheSelection)
{
    Cards = {MediaPair("C:\\p\\cat.bmp", "")};
    Pixels plain, selected;
    RECT item = {};
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        plain = CaptureClient(list);
        ClickListItem(list, 0);
        selected = CaptureClient(list);
        PressDialogButton(dialog, IDCANCEL);
    });
    ASSERT_GT(plain.Width, 0);
    int itemArea = (item.right - item.left) * (item.bottom - item.top);
    EXPECT_GT(plain.Count(RGB(255, 255, 255)), plain.Width * plain.Height - itemArea);
    EXPECT_GT(plain.Width * plain.Height - plain.Count(RGB(255, 255, 255)), 20) << "the listing's letters";
    EXPECT_GT(selected.Count(RGB(0, 0, 255)), itemArea / 2);
    EXPECT_GT(selected.Count(RGB(255, 255, 255)) - (selected.Width * selected.Height - itemArea), 20)
        << "white letters on blue";
}

TEST_F(CardSetDialog, EmptyListWithFocusShowsOnlyTheFocusRectangle)
{
    Pixels pixels;
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        SetFocus(list);
        pixels = CaptureClient(list);
        PressDialogButton(dialog, IDCANCEL);
    });
    int other = pixels.Width * pixels.Height - pixels.Count(RGB(255, 255, 255));
    EXPECT_GT(other, 0);
    EXPECT_LT(other, 2 * pixels.Width) << "no more than a dotted line across the top";
}

// Formatted texts are measured and drawn with their own formatting.
TEST_F(CardSetDialog, DrawsFormattedTexts)
{
    Cards = {TextPair(MakeRtf("Red text", "Tahoma", true, RGB(255, 0, 0)))};
    Pixels plain, selected;
    RECT item = {};
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        plain = CaptureClient(list);
        ClickListItem(list, 0);
        selected = CaptureClient(list);
        PressDialogButton(dialog, IDCANCEL);
    });
    int height = item.bottom - item.top;
    EXPECT_GT(height, 8);
    EXPECT_LT(height, 40) << "one line of 10-point text";
    EXPECT_GT(plain.Count(RGB(255, 0, 0)), 20) << "red letters";
    EXPECT_GT(selected.Count(RGB(0, 0, 255)), 100);
    EXPECT_EQ(0, selected.Count(RGB(255, 0, 0))) << "the selection draws the text in white";
}

// The list keeps what it worked out for each pair; heights and order are those of the display
// texts measured and compared afresh.
TEST_F(CardSetDialog, KeptHeightsAndOrderMatchTheDisplayTexts)
{
    HWND editor = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    auto written = [editor](const std::string& rtf) {
        LoadCardText(editor, rtf);
        return std::string(StreamOutRtf(editor).c_str());
    };
    const char* words[] = {"kiwi", "Apple", "mango", "fig", "Banana"};
    for (int i = 0; i < 5; ++i) {
        CardPair pair;
        pair.Text1 = written("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}\\f" + std::to_string(i % 2) +
                             "\\fs" + std::to_string(16 + 8 * i) + (i % 2 ? "\\b " : " ") + words[i] + "}");
        if (i % 2)
            pair.Text2 = written(MakeRtf("second", "Times New Roman", false, RGB(0, 0, 200)));
        Cards.push_back(pair);
    }
    DestroyWindow(editor);
    std::vector<int> kept, fresh;
    std::vector<std::string> sortTexts;
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        HWND rich = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        HDC memory = CreateCompatibleDC(display);
        HBITMAP bitmap = CreateCompatibleBitmap(display, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        HGDIOBJ old = SelectObject(memory, bitmap);
        for (LPARAM index : GetListItemData(list)) {
            StreamInRtf(rich, PairDisplayText(Cards[index], false, nullptr));
            sortTexts.push_back(StreamOutText(rich));
            FORMATRANGE range = {};
            range.hdc = memory;
            range.hdcTarget = memory;
            range.rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            PixelsToTwips(range.rc, display);
            range.rcPage = range.rc;
            SendMessageA(rich, EM_SETSEL, 0, -1);
            SendMessageA(rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
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
    ASSERT_EQ(5u, sortTexts.size());
    for (size_t i = 1; i < sortTexts.size(); ++i)
        EXPECT_LT(lstrcmpA(sortTexts[i - 1].c_str(), sortTexts[i].c_str()), 0) << sortTexts[i];
    EXPECT_EQ("Apple, second", sortTexts[0]);
}
