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

void Click(HWND dialog, int buttonId)
{
    SendMessageA(EditorChild(dialog, buttonId), BM_CLICK, 0, 0);
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

// A button sets its effect where the selection lacks it (mixed counts as lacking) and clears it
// otherwise; on an empty selection it formats what is typed next. The text keeps the focus.
TEST_F(TextEditor, FormattingButtonsToggleTheSelectionsEffects)
{
    Run([](HWND dialog) {
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        SetFocus(text);
        TypeText(text, "hello world");
        SelectText(text, 0, 5);
        Click(dialog, EditorBoldId);
        EXPECT_EQ(text, GetFocus()) << "the text keeps the focus after a click on B";
        EXPECT_EQ(static_cast<DWORD>(CFE_BOLD), GetSelectionFormat(text).dwEffects & CFE_BOLD);
        Click(dialog, EditorBoldId);
        CHARFORMATA twice = GetSelectionFormat(text);
        EXPECT_TRUE((twice.dwMask & CFM_BOLD) && !(twice.dwEffects & CFE_BOLD));
        Click(dialog, EditorBoldId);
        SelectText(text, 0, -1);
        EXPECT_FALSE(GetSelectionFormat(text).dwMask & CFM_BOLD) << "mixed";
        Click(dialog, EditorBoldId);
        EXPECT_TRUE(GetSelectionFormat(text).dwMask & CFM_BOLD) << "one weight";
        SelectText(text, 0, 5);
        for (int id : {EditorItalicId, EditorUnderlineId, EditorItalicId, EditorUnderlineId})
            Click(dialog, id);
        EXPECT_FALSE(GetSelectionFormat(text).dwEffects & (CFE_ITALIC | CFE_UNDERLINE));
        Click(dialog, EditorItalicId);
        Click(dialog, EditorUnderlineId);
        EXPECT_EQ(static_cast<DWORD>(CFE_ITALIC | CFE_UNDERLINE),
                  GetSelectionFormat(text).dwEffects & (CFE_ITALIC | CFE_UNDERLINE));

        SelectText(text, -1, -1);
        bool boldBefore = (GetSelectionFormat(text).dwEffects & CFE_BOLD) != 0;
        Click(dialog, EditorBoldId);
        TypeText(text, "CD");
        SelectText(text, 11, 13);
        EXPECT_NE(boldBefore, (GetSelectionFormat(text).dwEffects & CFE_BOLD) != 0) << "typed after B";
        PressDialogButton(dialog, IDCANCEL);
    });
}

// An empty editor types in Tahoma 10 points and its font list shows it; the list holds no
// vertical faces.
TEST_F(TextEditor, EmptyEditorTypesInTahomaTenPoint)
{
    Run([](HWND dialog) {
        HWND text = GetEditorTextWindow(dialog, Text2Id);
        EXPECT_EQ("Tahoma", SelectedFace(dialog, Text2Id));
        SetFocus(text);
        TypeText(text, "typed");
        SelectText(text, 0, -1);
        CHARFORMATA format = GetSelectionFormat(text);
        EXPECT_STREQ("Tahoma", format.szFaceName);
        EXPECT_EQ(200, format.yHeight);
        HWND list = EditorChild(dialog, EditorFontListId);
        int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
        EXPECT_GT(count, 3);
        for (int i = 0; i < count; ++i) {
            char face[256] = "";
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
            EXPECT_NE('@', face[0]) << face;
        }
        PressDialogButton(dialog, IDCANCEL);
    });
}

// The list shows the face at the caret (mixed faces leave it as it was); choosing a face changes
// only the face of the selection.
TEST_F(TextEditor, FontListFollowsTheCaretAndSetsTheFace)
{
    Pair.Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}{\\f1 Tahoma;}}\\f0\\fs24 first \\f1 second}";
    Run([](HWND dialog) {
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        std::vector<std::string> faces;
        for (int at : {1, 9, 1, -1}) {
            SelectText(text, at < 0 ? 0 : at, at);
            faces.push_back(SelectedFace(dialog));
        }
        EXPECT_EQ((std::vector<std::string>{"Courier New", "Tahoma", "Courier New", "Courier New"}), faces);
        SelectText(text, 0, 5);
        HWND list = EditorChild(dialog, EditorFontListId);
        SendMessageA(list, CB_SETCURSEL, SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Tahoma")),
                     0);
        SendMessageA(GetDlgItem(dialog, Text1Id), WM_COMMAND, MAKEWPARAM(EditorFontListId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        CHARFORMATA format = GetSelectionFormat(text);
        EXPECT_STREQ("Tahoma", format.szFaceName);
        EXPECT_EQ(240, format.yHeight);
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
    EXPECT_EQ(
        (std::vector<COLORREF>{GetSysColor(COLOR_WINDOWTEXT), RGB(200, 10, 20), 0, GetSysColor(COLOR_WINDOWTEXT)}),
        starts);
    EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(RGB(0, 128, 255), format.crTextColor);
}

TEST_F(TextEditor, TabMovesTheFocusInsteadOfBeingTyped)
{
    Run([&](HWND dialog) {
        HWND text = GetEditorTextWindow(dialog, Text1Id);
        SetFocus(text);
        TypeText(text, "ab");
        // Posted as the keyboard would, so that the dialog's own loop sees it.
        PostMessageA(text, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageA(text, WM_KEYUP, VK_TAB, 0xC00F0001);
        WhenIdle([dialog, text] {
            EXPECT_EQ(GetDlgItem(dialog, 102), GetFocus());
            EXPECT_EQ("ab", StreamOutText(text));
            PressDialogButton(dialog, IDCANCEL);
        });
    });
}

// Buttons in a row at the top, the font list under them and the text line along the bottom edge,
// at the dialog's size and after a resize; each button has its tooltip.
TEST_F(TextEditor, LayoutAndTooltips)
{
    Run([](HWND dialog) {
        HWND editor = GetDlgItem(dialog, Text1Id);
        RECT line = {0, 0, 100, 14};
        MapDialogRect(dialog, &line);
        auto place = [editor](int id) {
            RECT rect;
            GetWindowRect(GetDlgItem(editor, id), &rect);
            MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&rect), 2);
            return rect;
        };
        for (int resized = 0; resized < 2; ++resized) {
            if (resized)
                MoveWindow(editor, 10, 10, 300, 120, TRUE);
            RECT client;
            GetClientRect(editor, &client);
            for (int id = EditorBoldId; id <= EditorColorId; ++id) {
                RECT button = place(id);
                RECT expected = {(id - EditorBoldId) * 32, 0, (id - EditorBoldId + 1) * 32, 32};
                EXPECT_TRUE(EqualRect(&expected, &button)) << id;
            }
            RECT text = place(EditorRichEditId);
            RECT expected = {0, client.bottom - line.bottom, client.right, client.bottom};
            EXPECT_TRUE(EqualRect(&expected, &text)) << resized;
            EXPECT_EQ(32, place(EditorFontListId).top);
        }

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
                tool.uId = reinterpret_cast<UINT_PTR>(EditorChild(dialog, id, editorId));
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
TEST_F(TextEditor, CustomColoursAreSharedWithTheSettingsChooser)
{
    const COLORREF fromSettings = RGB(13, 171, 97), fromEditor = RGB(222, 33, 144);
    int shownInEditor = 0, shownInSettings = 0;
    Driver.Then(Pressing(103));
    Answer(
        Driver,
        [&](HWND chooser) {
            SetChooserColor(chooser, fromSettings, true);
            PressDialogButton(chooser, IDCANCEL);
        },
        Pressing(IDCANCEL));
    ShowSettingsDialog(nullptr);
    Run([&](HWND dialog) {
        OpenChooser(dialog);
        Answer(
            Driver,
            [&](HWND chooser) {
                shownInEditor = CaptureClient(chooser).Count(fromSettings);
                SetChooserColor(chooser, fromEditor, true);
                PressDialogButton(chooser, IDCANCEL);
            },
            Pressing(IDCANCEL));
    });
    Driver.Then(Pressing(103));
    Answer(
        Driver,
        [&](HWND chooser) {
            shownInSettings = CaptureClient(chooser).Count(fromEditor);
            PressDialogButton(chooser, IDCANCEL);
        },
        Pressing(IDCANCEL));
    ShowSettingsDialog(nullptr);
    EXPECT_GT(shownInEditor, 20);
    EXPECT_GT(shownInSettings, 20);
}
