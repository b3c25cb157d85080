// The rich-text editor control inside the card pair dialog: B, I, U toggles, the colour chooser's
// start colour, the font list following the caret, Tab, layout and tooltips.
#include "app/startup.h"
#include "editor/card_pair_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/settings_dialog.h"
#include "editor/text_editor.h"
#include "media/rich_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <commdlg.h>

#include <functional>

namespace {

const int Text1Id = 101;
const int Text2Id = 114;
const int Picture1Id = 102;

// Opens the card pair dialog on pair and runs check on it once its texts are loaded.
void WithPairDialog(CardPair pair, std::function<void(HWND dialog, DialogDriver& driver)> check)
{
    OwnerWindow owner;
    CardSet cards;
    CardPairDialogParams params = {&pair, &cards, -1};
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        // The texts arrive with the dialog's first posted message.
        RunLater([&, dialog] { check(dialog, driver); });
    });
    ShowCardPairDialog(owner.Window, params);
    EXPECT_TRUE(driver.Done());
}

void ClickEditorButton(HWND dialog, int editorId, int buttonId)
{
    SendMessageA(GetDlgItem(GetDlgItem(dialog, editorId), buttonId), BM_CLICK, 0, 0);
}

std::string SelectedFace(HWND dialog, int editorId)
{
    HWND list = GetDlgItem(GetDlgItem(dialog, editorId), EditorFontListId);
    LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return "";
    char face[256] = "";
    SendMessageA(list, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(face));
    return face;
}

} // namespace

TEST(TextEditor, BoldTwiceRestoresTheWeightAndMixedBecomesUniform)
{
    WithPairDialog(CardPair(), [](HWND dialog, DialogDriver&) {
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        SetFocus(text);
        TypeText(text, "hello world");
        SelectText(text, 0, 5);
        ClickEditorButton(dialog, Text1Id, EditorBoldId);
        CHARFORMATA once = GetSelectionFormat(text);
        EXPECT_TRUE(once.dwMask & CFM_BOLD);
        EXPECT_TRUE(once.dwEffects & CFE_BOLD);
        EXPECT_EQ(text, GetFocus()) << "the text keeps the focus after a click on B";
        ClickEditorButton(dialog, Text1Id, EditorBoldId);
        CHARFORMATA twice = GetSelectionFormat(text);
        EXPECT_TRUE(twice.dwMask & CFM_BOLD);
        EXPECT_FALSE(twice.dwEffects & CFE_BOLD);

        // "hello" bold, " world" not: one click makes all of it one weight.
        ClickEditorButton(dialog, Text1Id, EditorBoldId);
        SelectText(text, 0, -1);
        EXPECT_FALSE(GetSelectionFormat(text).dwMask & CFM_BOLD);
        ClickEditorButton(dialog, Text1Id, EditorBoldId);
        EXPECT_TRUE(GetSelectionFormat(text).dwMask & CFM_BOLD);

        SelectText(text, 0, 5);
        ClickEditorButton(dialog, Text1Id, EditorItalicId);
        EXPECT_TRUE(GetSelectionFormat(text).dwEffects & CFE_ITALIC);
        ClickEditorButton(dialog, Text1Id, EditorUnderlineId);
        EXPECT_TRUE(GetSelectionFormat(text).dwEffects & CFE_UNDERLINE);
        ClickEditorButton(dialog, Text1Id, EditorItalicId);
        ClickEditorButton(dialog, Text1Id, EditorUnderlineId);
        CHARFORMATA plain = GetSelectionFormat(text);
        EXPECT_FALSE(plain.dwEffects & (CFE_ITALIC | CFE_UNDERLINE));
        PressDialogButton(dialog, IDCANCEL);
    });
}

TEST(TextEditor, EmptySelectionFormatsWhatIsTypedNext)
{
    WithPairDialog(CardPair(), [](HWND dialog, DialogDriver&) {
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        SetFocus(text);
        TypeText(text, "ab");
        ClickEditorButton(dialog, Text1Id, EditorBoldId);
        TypeText(text, "CD");
        SelectText(text, 0, 2);
        EXPECT_FALSE(GetSelectionFormat(text).dwEffects & CFE_BOLD);
        SelectText(text, 2, 4);
        EXPECT_TRUE(GetSelectionFormat(text).dwEffects & CFE_BOLD);
        PressDialogButton(dialog, IDCANCEL);
    });
}

TEST(TextEditor, FontListFollowsTheCaretAndSetsTheFace)
{
    CardPair pair;
    pair.Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}{\\f1 Tahoma;}}\\f0\\fs24 first \\f1 second}";
    WithPairDialog(pair, [](HWND dialog, DialogDriver&) {
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        SelectText(text, 1, 1);
        EXPECT_EQ("Courier New", SelectedFace(dialog, Text1Id));
        SelectText(text, 9, 9);
        EXPECT_EQ("Tahoma", SelectedFace(dialog, Text1Id));
        SelectText(text, 1, 1);
        EXPECT_EQ("Courier New", SelectedFace(dialog, Text1Id));
        SelectText(text, 0, -1);
        EXPECT_EQ("Courier New", SelectedFace(dialog, Text1Id)) << "mixed faces leave the list as it was";

        // Choosing a face in the list changes only the face of the selection.
        SelectText(text, 0, 5);
        HWND list = GetDlgItem(GetDlgItem(dialog, Text1Id), EditorFontListId);
        LRESULT tahoma = SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Tahoma"));
        ASSERT_NE(CB_ERR, tahoma);
        SendMessageA(list, CB_SETCURSEL, tahoma, 0);
        SendMessageA(GetDlgItem(dialog, Text1Id), WM_COMMAND, MAKEWPARAM(EditorFontListId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        CHARFORMATA format = GetSelectionFormat(text);
        EXPECT_STREQ("Tahoma", format.szFaceName);
        EXPECT_EQ(240, format.yHeight);
        PressDialogButton(dialog, IDCANCEL);
    });
}

TEST(TextEditor, FontListHoldsNoVerticalFaces)
{
    WithPairDialog(CardPair(), [](HWND dialog, DialogDriver&) {
        HWND list = GetDlgItem(GetDlgItem(dialog, Text1Id), EditorFontListId);
        int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
        EXPECT_GT(count, 3);
        for (int i = 0; i < count; ++i) {
            char face[256] = "";
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
            EXPECT_NE('@', face[0]) << face;
        }
        EXPECT_NE(CB_ERR, SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Tahoma")));
        // An empty editor starts in Tahoma, and the list shows it.
        EXPECT_EQ("Tahoma", SelectedFace(dialog, Text1Id));
        PressDialogButton(dialog, IDCANCEL);
    });
}

// The chooser starts on the window-text colour for automatic colour, on the text's one colour,
// and without a colour for mixed colours; OK colours the selection.
TEST(TextEditor, ColourChooserStartColourAndResult)
{
    CardPair pair;
    pair.Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red200\\green10\\blue20;\\red0\\green90\\blue0;}"
                 "\\f0\\fs20 auto \\cf1 red\\cf2 green}";
    struct Case {
        int First, Last;
        bool Init;
        COLORREF Color;
    };
    const Case cases[] = {
        {0, 4, true, GetSysColor(COLOR_WINDOWTEXT)}, {5, 8, true, RGB(200, 10, 20)}, {5, 13, false, 0}};
    for (const Case& c : cases) {
        ChooserStart start;
        WatchColorChooser(&start);
        WithPairDialog(pair, [&](HWND dialog, DialogDriver& driver) {
            SelectText(GetEditorTextWindow(dialog, Text1Id), c.First, c.Last);
            HWND editor = GetDlgItem(dialog, Text1Id);
            PostMessageA(editor, WM_COMMAND, MAKEWPARAM(EditorColorId, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(editor, EditorColorId)));
            driver.Then([dialog](HWND chooser) {
                PressDialogButton(chooser, IDCANCEL);
                RunLater([dialog] { PressDialogButton(dialog, IDCANCEL); });
            });
        });
        StopWatchingColorChooser();
        ASSERT_TRUE(start.Seen);
        EXPECT_EQ(c.Init, (start.Flags & CC_RGBINIT) != 0) << c.First;
        EXPECT_TRUE(start.Flags & CC_FULLOPEN);
        if (c.Init) {
            EXPECT_EQ(c.Color, start.Color) << c.First;
        }
    }

    WithPairDialog(pair, [&](HWND dialog, DialogDriver& driver) {
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        SelectText(text, 0, 4);
        HWND editor = GetDlgItem(dialog, Text1Id);
        PostMessageA(editor, WM_COMMAND, MAKEWPARAM(EditorColorId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(editor, EditorColorId)));
        driver.Then([dialog, text](HWND chooser) {
            SetChooserColor(chooser, RGB(0, 128, 255), false);
            PressDialogButton(chooser, IDOK);
            RunLater([dialog, text] {
                CHARFORMATA format = GetSelectionFormat(text);
                EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);
                EXPECT_EQ(RGB(0, 128, 255), format.crTextColor);
                PressDialogButton(dialog, IDCANCEL);
            });
        });
    });
}

TEST(TextEditor, TabMovesTheFocusInsteadOfBeingTyped)
{
    WithPairDialog(CardPair(), [](HWND dialog, DialogDriver&) {
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        SetFocus(text);
        TypeText(text, "ab");
        // Posted as the keyboard would, so that the dialog's own loop sees it.
        PostMessageA(text, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageA(text, WM_KEYUP, VK_TAB, 0xC00F0001);
        RunLater([dialog, text] {
            EXPECT_EQ(GetDlgItem(dialog, Picture1Id), GetFocus());
            char buffer[16] = "";
            GetWindowTextA(text, buffer, sizeof buffer);
            EXPECT_STREQ("ab", buffer);
            PressDialogButton(dialog, IDCANCEL);
        });
    });
}

TEST(TextEditor, LayoutKeepsButtonsAndTextLine)
{
    WithPairDialog(CardPair(), [](HWND dialog, DialogDriver&) {
        HWND editor = GetDlgItem(dialog, Text1Id);
        RECT line = {0, 0, 100, 14};
        MapDialogRect(dialog, &line);
        for (int size = 0; size < 2; ++size) {
            if (size == 1)
                MoveWindow(editor, 10, 10, 300, 120, TRUE);
            RECT client;
            GetClientRect(editor, &client);
            for (int id = EditorBoldId; id <= EditorColorId; ++id) {
                RECT button;
                GetWindowRect(GetDlgItem(editor, id), &button);
                MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&button), 2);
                EXPECT_EQ((id - EditorBoldId) * 32, button.left);
                EXPECT_EQ(0, button.top);
                EXPECT_EQ(32, button.right - button.left);
                EXPECT_EQ(32, button.bottom - button.top);
            }
            RECT text;
            GetWindowRect(GetDlgItem(editor, EditorRichEditId), &text);
            MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&text), 2);
            EXPECT_EQ(0, text.left);
            EXPECT_EQ(client.right, text.right);
            EXPECT_EQ(client.bottom, text.bottom);
            EXPECT_EQ(line.bottom, text.bottom - text.top);
            RECT list;
            GetWindowRect(GetDlgItem(editor, EditorFontListId), &list);
            MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&list), 2);
            EXPECT_EQ(32, list.top);
        }
        PressDialogButton(dialog, IDCANCEL);
    });
}

TEST(TextEditor, FormattingButtonsHaveTooltips)
{
    WithPairDialog(CardPair(), [](HWND dialog, DialogDriver&) {
        HWND tooltips = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
        while (tooltips && GetWindow(tooltips, GW_OWNER) != dialog)
            tooltips = FindWindowExA(nullptr, tooltips, TOOLTIPS_CLASSA, nullptr);
        ASSERT_NE(nullptr, tooltips);
        EXPECT_EQ(8, SendMessageA(tooltips, TTM_GETTOOLCOUNT, 0, 0));
        const char* texts[] = {"Bold", "Italic", "Underline", "Color"};
        for (int editorId : {Text1Id, Text2Id}) {
            for (int id = EditorBoldId; id <= EditorColorId; ++id) {
                char text[256] = "";
                TOOLINFOA tool = {};
                tool.cbSize = sizeof tool;
                tool.hwnd = dialog;
                tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(GetDlgItem(dialog, editorId), id));
                tool.lpszText = text;
                SendMessageA(tooltips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
                EXPECT_STREQ(texts[id - EditorBoldId], text);
            }
        }
        PressDialogButton(dialog, IDCANCEL);
    });
}

// Both colour choosers share the custom colours: one defined in the settings dialog's chooser
// shows in the editor's chooser, and the other way round.
TEST(TextEditor, CustomColoursAreSharedWithTheSettingsChooser)
{
    const COLORREF fromSettings = RGB(13, 171, 97);
    const COLORREF fromEditor = RGB(222, 33, 144);
    OwnerWindow owner;
    {
        DialogDriver driver;
        HWND settings = nullptr;
        driver.Then([&](HWND dialog) {
            settings = dialog;
            PressDialogButton(dialog, 103);
        });
        driver.Then([&](HWND chooser) {
            SetChooserColor(chooser, fromSettings, true);
            PressDialogButton(chooser, IDCANCEL);
            RunLater([&] { PressDialogButton(settings, IDCANCEL); });
        });
        ShowSettingsDialog(owner.Window);
    }
    int shownInEditor = 0;
    WithPairDialog(CardPair(), [&](HWND dialog, DialogDriver& driver) {
        HWND editor = GetDlgItem(dialog, Text1Id);
        PostMessageA(editor, WM_COMMAND, MAKEWPARAM(EditorColorId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(editor, EditorColorId)));
        driver.Then([&, dialog](HWND chooser) {
            shownInEditor = CaptureClient(chooser).Count(fromSettings);
            SetChooserColor(chooser, fromEditor, true);
            PressDialogButton(chooser, IDCANCEL);
            RunLater([dialog] { PressDialogButton(dialog, IDCANCEL); });
        });
    });
    EXPECT_GT(shownInEditor, 20);
    int shownInSettings = 0;
    {
        DialogDriver driver;
        HWND settings = nullptr;
        driver.Then([&](HWND dialog) {
            settings = dialog;
            PressDialogButton(dialog, 103);
        });
        driver.Then([&](HWND chooser) {
            shownInSettings = CaptureClient(chooser).Count(fromEditor);
            PressDialogButton(chooser, IDCANCEL);
            RunLater([&] { PressDialogButton(settings, IDCANCEL); });
        });
        ShowSettingsDialog(owner.Window);
    }
    EXPECT_GT(shownInSettings, 20);
}

TEST(TextEditor, EmptyEditorTypesInTahomaTenPoint)
{
    WithPairDialog(CardPair(), [](HWND dialog, DialogDriver&) {
        HWND text = GetEditorTextWindow(dialog, Text2Id);
        SetFocus(text);
        TypeText(text, "typed");
        SelectText(text, 0, -1);
        CHARFORMATA format = GetSelectionFormat(text);
        EXPECT_STREQ("Tahoma", format.szFaceName);
        EXPECT_EQ(200, format.yHeight);
        PressDialogButton(dialog, IDCANCEL);
    });
}
