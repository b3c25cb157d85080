// The rich-text editor control inside the card pair dialog: B, I, U toggles, the colour chooser's
// start colour, the font list following the caret, Tab, layout and tooltips.
#include "editor/card_pair_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/settings_dialog.h"
#include "editor/text_editor.h"
#include "media/rich_text.h"

#include <commctrl.h>

namespace {

const int Text1Id = 101;
const int Text2Id = 114;

// Opens the card pair dialog on Pair for script, which must close it.
class TextEditor : public testing::Test {
  protected:
    void Run(std::function<void(HWND dialog)> script)
    {
        Driver.Then(script);
        CardSet cards;
        CardPairDialogParams params = {&Pair, &cards, -1};
        ShowCardPairDialog(nullptr, params);
        EXPECT_TRUE(Driver.Done());
    }
    DialogDriver Driver;
    CardPair Pair;
};

HWND EditorChild(HWND dialog, int id, int editorId = Text1Id)
{
    return GetDlgItem(GetDlgItem(dialog, editorId), id);
}

// Clicks the colour button, posted so that the chooser runs in the dialog's loop.
void OpenChooser(HWND dialog)
{
    PostMessageA(GetDlgItem(dialog, Text1Id), WM_COMMAND, MAKEWPARAM(EditorColorId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(EditorChild(dialog, EditorColorId)));
}

std::string SelectedFace(HWND dialog, int editorId = Text1Id)
{
    HWND list = EditorChild(dialog, EditorFontListId, editorId);
    char face[256] = "";
    SendMessageA(list, CB_GETLBTEXT, SendMessageA(list, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(face));
    return face;
}

} // namespace

// Each button sets its effect where the selection lacks it (a mixed selection counts as lacking)
// and clears it otherwise; on an empty selection it formats what is typed next. The text keeps
// the focus.
TEST_F(TextEditor, FormattingButtonsToggleTheSelectionsEffects)
{
    Run([](HWND dialog) {
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        SetFocus(text);
        TypeText(text, "hello world");
        for (auto button : {std::make_pair(EditorBoldId, CFE_BOLD), std::make_pair(EditorItalicId, CFE_ITALIC),
                            std::make_pair(EditorUnderlineId, CFE_UNDERLINE)}) {
            SelectText(text, 0, 5);
            for (DWORD expected : {static_cast<DWORD>(button.second), DWORD(0)}) {
                SendMessageA(EditorChild(dialog, button.first), BM_CLICK, 0, 0);
                CHARFORMATA format = GetSelectionFormat(text);
                EXPECT_EQ(expected, format.dwMask & button.second ? format.dwEffects & button.second : 99u)
                    << button.first;
            }
            SendMessageA(EditorChild(dialog, button.first), BM_CLICK, 0, 0);
            SelectText(text, 0, -1);
            EXPECT_FALSE(GetSelectionFormat(text).dwMask & button.second) << "mixed";
            SendMessageA(EditorChild(dialog, button.first), BM_CLICK, 0, 0);
            EXPECT_TRUE(GetSelectionFormat(text).dwMask & button.second) << "one effect for all";
            EXPECT_EQ(text, GetFocus());
        }
        SelectText(text, -1, -1);
        bool boldBefore = (GetSelectionFormat(text).dwEffects & CFE_BOLD) != 0;
        SendMessageA(EditorChild(dialog, EditorBoldId), BM_CLICK, 0, 0);
        TypeText(text, "CD");
        SelectText(text, 11, 13);
        EXPECT_NE(boldBefore, (GetSelectionFormat(text).dwEffects & CFE_BOLD) != 0) << "typed after B";
        PressDialogButton(dialog, IDCANCEL);
    });
}

// The list holds no vertical faces and shows the face at the caret (mixed faces leave it as it
// was); choosing a face changes only the face of the selection. An empty editor types in Tahoma
// 10 points and its list shows it.
TEST_F(TextEditor, FontListFollowsTheCaretAndSetsTheFace)
{
    Pair.Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}{\\f1 Tahoma;}}\\f0\\fs24 first \\f1 second}";
    Run([](HWND dialog) {
        HWND text = GetEditorTextWindow(dialog, Text1Id), list = EditorChild(dialog, EditorFontListId);
        std::vector<std::string> faces;
        for (int i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
            char face[256] = "";
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
            EXPECT_NE('@', face[0]) << face;
        }
        for (int at : {1, 9, 1, -1}) {
            SelectText(text, at < 0 ? 0 : at, at);
            faces.push_back(SelectedFace(dialog));
        }
        EXPECT_EQ((std::vector<std::string>{"Courier New", "Tahoma", "Courier New", "Courier New"}), faces);
        SelectText(text, 0, 5);
        SendMessageA(list, CB_SETCURSEL, SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Tahoma")),
                     0);
        SendMessageA(GetDlgItem(dialog, Text1Id), WM_COMMAND, MAKEWPARAM(EditorFontListId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        CHARFORMATA format = GetSelectionFormat(text);
        EXPECT_STREQ("Tahoma", format.szFaceName);
        EXPECT_EQ(240, format.yHeight);

        HWND text2 = GetEditorTextWindow(dialog, Text2Id);
        EXPECT_EQ("Tahoma", SelectedFace(dialog, Text2Id));
        SetFocus(text2);
        TypeText(text2, "typed");
        SelectText(text2, 0, -1);
        format = GetSelectionFormat(text2);
        EXPECT_STREQ("Tahoma", format.szFaceName);
        EXPECT_EQ(200, format.yHeight);
        PressDialogButton(dialog, IDCANCEL);
    });
}

// The chooser starts on the window-text colour for automatic colour, on the text's one colour,
// and on none (black) for mixed colours; OK colours the selection.
TEST_F(TextEditor, ColourChooserStartColourAndResult)
{
    Pair.Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red200\\green10\\blue20;\\red0\\green90\\blue0;}"
                 "\\f0\\fs20 auto \\cf1 red\\cf2 green}";
    std::vector<COLORREF> starts;
    CHARFORMATA format = {};
    std::function<void(HWND, int)> step = [&](HWND dialog, int i) {
        const CHARRANGE ranges[] = {{0, 4}, {5, 8}, {5, 13}, {0, 4}};
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        if (i == 4) {
            format = GetSelectionFormat(text);
            return PressDialogButton(dialog, IDCANCEL);
        }
        SelectText(text, ranges[i].cpMin, ranges[i].cpMax);
        OpenChooser(dialog);
        auto choose = [&, i](HWND chooser) {
            starts.push_back(GetChooserColor(chooser));
            SetChooserColor(chooser, RGB(0, 128, 255));
            PressDialogButton(chooser, i == 3 ? IDOK : IDCANCEL);
        };
        Answer(Driver, choose, [&, i](HWND dialog) { step(dialog, i + 1); });
    };
    Run([&](HWND dialog) { step(dialog, 0); });
    const COLORREF automatic = GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ((std::vector<COLORREF>{automatic, RGB(200, 10, 20), 0, automatic}), starts);
    EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(RGB(0, 128, 255), format.crTextColor);
}

// Tab moves the focus on instead of being typed. The text line runs along the bottom edge, also
// after a resize, under the buttons and the font list; each button has a tooltip.
TEST_F(TextEditor, TabLayoutAndTooltips)
{
    Run([&](HWND dialog) {
        HWND text = GetEditorTextWindow(dialog, Text1Id), editor = GetDlgItem(dialog, Text1Id);
        SetFocus(text);
        TypeText(text, "ab");
        // Posted as the keyboard would, so that the dialog's own loop sees it.
        PostMessageA(text, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageA(text, WM_KEYUP, VK_TAB, 0xC00F0001);
        WhenIdle([dialog, text, editor] {
            EXPECT_EQ(GetDlgItem(dialog, 102), GetFocus());
            EXPECT_EQ("ab", StreamOutText(text));
            RECT line = {0, 0, 100, 14}, client, textRect, listRect, buttonRect;
            MapDialogRect(dialog, &line);
            MoveWindow(editor, 10, 10, 300, 120, TRUE);
            GetClientRect(editor, &client);
            GetWindowRect(text, &textRect);
            GetWindowRect(EditorChild(dialog, EditorFontListId), &listRect);
            GetWindowRect(EditorChild(dialog, EditorColorId), &buttonRect);
            EXPECT_GE(listRect.top, buttonRect.bottom);
            MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&textRect), 2);
            RECT expected = {0, client.bottom - line.bottom, client.right, client.bottom};
            EXPECT_TRUE(EqualRect(&expected, &textRect));

            HWND tips = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
            while (tips && GetWindow(tips, GW_OWNER) != dialog)
                tips = FindWindowExA(nullptr, tips, TOOLTIPS_CLASSA, nullptr);
            EXPECT_EQ(8, SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0)) << "B, I, U and colour of both editors";
            PressDialogButton(dialog, IDCANCEL);
        });
    });
}

// Both colour choosers share the custom colours: one defined in the settings dialog's chooser
// shows in the editor's chooser, and the other way round.
TEST_F(TextEditor, CustomColoursAreSharedWithTheSettingsChooser)
{
    const COLORREF fromSettings = RGB(13, 171, 97), fromEditor = RGB(222, 33, 144);
    int shownInEditor = 0, shownInSettings = 0;
    auto define = [&](COLORREF shown, int* count, COLORREF added) {
        return [=](HWND chooser) {
            *count = CaptureClient(chooser).Count(shown);
            SetChooserColor(chooser, added, true);
            PressDialogButton(chooser, IDCANCEL);
        };
    };
    int none = 0;
    Driver.Then(Pressing(103));
    Answer(Driver, define(fromSettings, &none, fromSettings), Pressing(IDCANCEL));
    ShowSettingsDialog(nullptr);
    Run([&](HWND dialog) {
        OpenChooser(dialog);
        Answer(Driver, define(fromSettings, &shownInEditor, fromEditor), Pressing(IDCANCEL));
    });
    Driver.Then(Pressing(103));
    Answer(Driver, define(fromEditor, &shownInSettings, fromEditor), Pressing(IDCANCEL));
    ShowSettingsDialog(nullptr);
    EXPECT_EQ(0, none);
    EXPECT_GT(shownInEditor, 20);
    EXPECT_GT(shownInSettings, 20);
}
