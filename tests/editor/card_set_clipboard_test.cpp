// The card set dialog's pairs in bulk: pasted and copied through the real clipboard with the pair
// list's keys, and three pictures added in one step.
#include "editor/card_set_dialog.h"
#include "editor/editor_test_support.h"
#include "res/dialog_ids.h"
#include "support/test_pictures.h"
#include "wordlist/word_list.h"

#include <dlgs.h>

namespace {

void SetClipboardText(const std::wstring& text)
{
    size_t size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(block), text.c_str(), size);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block));
    CloseClipboard();
}

std::wstring GetClipboardText()
{
    EXPECT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::wstring text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
    GlobalUnlock(data);
    CloseClipboard();
    return text;
}

} // namespace

// Rows pasted after the selected pair, Greek and Cyrillic among them, come back as the same rows
// when selected together (Shift+Down) and copied, in list order; Ctrl+A selects all; two selected
// pairs can be removed (Delete) but not modified; pictures become pairs in name order, the name on the second card.
TEST(CardSetClipboard, PastedRowsCopyBackAndPicturesBecomePairs)
{
    std::string folder = MakeScratchFolder("pictures");
    for (const char* name : {"c three.bmp", "a_one.bmp", "B-two.bmp"})
        ASSERT_TRUE(WritePicture(folder + "\\" + name, PictureFormat::Bmp, 4, 4, [](int, int) { return 0; }));
    const std::wstring rows[] = {L"\x03b3\x03ac\x03c4\x03b1\t\x043a\x043e\x0448\x043a\x0430\r\n",
                                 L"\"two\r\nlines\"\t\"say \"\"hi\"\"\ttoo\"\r\n"};
    SetClipboardText(rows[0] + rows[1]);
    CardSet cards = {TextPair("anchor"), TextPair("last")};
    std::wstring copied;
    bool modifiable = true, removable = false;
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_CARDSET_LIST);
        ClickListItem(list, 0);
        PressKey(list, 'V', VK_CONTROL);
        EXPECT_EQ("anchor|last", cards[0].Text1 + "|" + cards[3].Text1);
        PressKey(list, 'A', VK_CONTROL);
        EXPECT_TRUE(SendMessageA(list, LB_GETSELCOUNT, 0, 0) == 4 &&
                    !IsWindowEnabled(GetDlgItem(dialog, IDC_CARDSET_MODIFY)));
        ClickListItem(list, 2); // anchor, last, two lines, then the Greek
        PressKey(list, VK_DOWN, VK_SHIFT);
        modifiable = IsWindowEnabled(GetDlgItem(dialog, IDC_CARDSET_MODIFY));
        removable = IsWindowEnabled(GetDlgItem(dialog, IDC_CARDSET_REMOVE));
        PressKey(list, 'C', VK_CONTROL);
        copied = GetClipboardText();
        SendMessageA(list, WM_KEYDOWN, VK_DELETE, 1);
    });
    driver.Then(Pressing(IDYES, [](HWND dialog) {
        PressDialogButton(dialog, IDC_CARDSET_PICTURES);
        PressDialogButton(dialog, IDOK);
    }));
    driver.Then([&](HWND open) {
        // The folder first (the dialog may open in the one used last), then the names in it.
        for (std::string names : {folder, std::string("\"c three.bmp\" \"a_one.bmp\" \"B-two.bmp\"")}) {
            SetDlgItemTextA(open, cmb13, names.c_str());
            SetDlgItemTextA(open, edt1, names.c_str());
            SendMessageA(open, WM_COMMAND, IDOK, 0);
        }
    });
    EXPECT_EQ(1, ShowCardSetDialog(nullptr, "Bulk", cards));
    ASSERT_TRUE(driver.Done());
    EXPECT_EQ(rows[1] + rows[0], copied) << "in list order: Latin before Greek";
    EXPECT_TRUE(!modifiable && removable);
    EXPECT_EQ("Question: Are you really sure that you want to remove these 2 entries?", driver.Told(1)[0]);
    ASSERT_EQ(5u, cards.size());
    EXPECT_EQ("anchor|last", cards[0].Text1 + "|" + cards[1].Text1);
    const char* pictures[] = {"a_one.bmp", "B-two.bmp", "c three.bmp"};
    const wchar_t* texts[] = {L"a one", L"B two", L"c three"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(folder + "\\" + pictures[i] + "||" + PlainTextToRtf(texts[i]),
                  cards[2 + i].PictureFileName1 + "|" + cards[2 + i].Text1 + "|" + cards[2 + i].Text2);
}
