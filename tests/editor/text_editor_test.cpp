// The rich-text editor control inside the card pair dialog: B, I, U toggles, the font list
// following the caret, the colour chooser's start colour, Tab, layout, tooltips and the custom
// colours it shares with the settings dialog.
#include "editor/card_pair_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/settings_dialog.h"
#include "editor/text_editor.h"
#include "media/rich_text.h"
#include "res/dialog_ids.h"

#include <commctrl.h>

namespace {

// Opens the card pair dialog with first as its first text for script, which must close it.
void RunPairDialog(DialogDriver& driver, const std::string& first, std::function<void(HWND dialog)> script)
{
    driver.Then(script);
    CardSet cards;
    CardPair pair = TextPair(first);
    CardPairDialogParams params = {&pair, &cards, -1};
    ShowCardPairDialog(nullptr, params);
    EXPECT_TRUE(driver.Done());
}

HWND Child(HWND dialog, int id, int editorId = IDC_PAIR_TEXT1)
{
    return GetDlgItem(GetDlgItem(dialog, editorId), id);
}

// Clicks a button of the first editor, posted so that what it opens runs in the dialog's loop.
void Click(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, IDC_PAIR_TEXT1), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Child(dialog, id)));
    PumpMessages();
}

std::string SelectedFace(HWND dialog, int editorId = IDC_PAIR_TEXT1)
{
    HWND list = Child(dialog, EditorFontListId, editorId);
    char face[256] = "";
    SendMessageA(list, CB_GETLBTEXT, SendMessageA(list, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(face));
    return face;
}

} // namespace

// Each button sets its effect where the selection lacks it (a mixed selection counts as lacking)
// and clears it otherwise, the text keeping the focus; on an empty selection it formats what is
// typed next. The font list holds no vertical faces and shows the face at the caret; choosing a
// face changes only the face of the selection. An empty editor types in Tahoma 10 points.
TEST(TextEditor, FormattingButtonsAndFontList)
{
    DialogDriver driver;
    RunPairDialog(
        driver, "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}{\\f1 Tahoma;}}\\f0\\fs24 hello \\f1 world}",
        [](HWND dialog) {
            HWND text = GetEditorTextWindow(dialog, IDC_PAIR_TEXT1), list = Child(dialog, EditorFontListId);
            SetFocus(text);
            for (auto button : {std::make_pair(EditorBoldId, CFE_BOLD), std::make_pair(EditorItalicId, CFE_ITALIC),
                                std::make_pair(EditorUnderlineId, CFE_UNDERLINE)}) {
                std::vector<DWORD> effects;
                for (int range : {5, 5, 5, -1, -1}) {
                    SelectText(text, 0, range);
                    SendMessageA(Child(dialog, button.first), BM_CLICK, 0, 0);
                    CHARFORMATA format = GetSelectionFormat(text);
                    effects.push_back(format.dwMask & button.second ? format.dwEffects & button.second : 99u);
                }
                DWORD on = button.second;
                EXPECT_EQ((std::vector<DWORD>{on, 0, on, on, 0}), effects) << "mixed counts as lacking";
                EXPECT_EQ(text, GetFocus());
            }
            SelectText(text, -1, -1);
            SendMessageA(Child(dialog, EditorBoldId), BM_CLICK, 0, 0);
            TypeText(text, "CD");
            SelectText(text, 11, 13);
            EXPECT_TRUE(GetSelectionFormat(text).dwEffects & CFE_BOLD) << "typed after B";
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
            SendMessageA(list, CB_SETCURSEL,
                         SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Tahoma")), 0);
            SendMessageA(GetDlgItem(dialog, IDC_PAIR_TEXT1), WM_COMMAND, MAKEWPARAM(EditorFontListId, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            CHARFORMATA format = GetSelectionFormat(text);
            EXPECT_TRUE(std::string("Tahoma") == format.szFaceName && format.yHeight == 240);
            HWND text2 = GetEditorTextWindow(dialog, IDC_PAIR_TEXT2);
            EXPECT_EQ("Tahoma", SelectedFace(dialog, IDC_PAIR_TEXT2));
            TypeText(text2, "typed");
            SelectText(text2, 0, -1);
            format = GetSelectionFormat(text2);
            EXPECT_TRUE(std::string("Tahoma") == format.szFaceName && format.yHeight == 200);
            PressDialogButton(dialog, IDCANCEL);
        });
}

// The chooser starts on the window-text colour for automatic colour, on the text's one colour and
// on none (black) for mixed colours; OK colours the selection. Tab moves the focus on; the text
// line runs along the bottom edge, also after a resize, under the buttons and the font list, and
// each button has a tooltip. Both choosers share the custom colours (read from their pixels).
TEST(TextEditor, ColourChooserTabLayoutTooltipsAndSharedCustomColours)
{
    DialogDriver driver;
    std::vector<COLORREF> starts;
    const COLORREF fromSettings = RGB(13, 171, 97), fromEditor = RGB(222, 33, 144);
    int shown[3] = {};
    auto choose = [&](COLORREF color, int button, int* count = nullptr, COLORREF counted = 0) {
        return [&, color, button, count, counted](HWND chooser) {
            starts.push_back(GetChooserColor(chooser));
            if (count)
                *count = CaptureClient(chooser).Count(counted);
            SetChooserColor(chooser, color, count != nullptr);
            PressDialogButton(chooser, button);
        };
    };
    driver.Then(Pressing(IDC_SETTINGS_CHOOSE));
    Answer(driver, choose(fromSettings, IDCANCEL, &shown[0], fromSettings), Pressing(IDCANCEL));
    ShowSettingsDialog(nullptr);
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red200\\green10\\blue20;"
                            "\\red0\\green90\\blue0;}\\f0\\fs20 auto \\cf1 red\\cf2 green}";
    CHARFORMATA format = {};
    RunPairDialog(driver, rtf, [&](HWND dialog) {
        HWND text = GetEditorTextWindow(dialog, IDC_PAIR_TEXT1), editor = GetDlgItem(dialog, IDC_PAIR_TEXT1);
        const CHARRANGE ranges[] = {{0, 4}, {5, 8}, {5, 13}, {0, 4}};
        for (int i = 0; i < 4; ++i) {
            SelectText(text, ranges[i].cpMin, ranges[i].cpMax);
            Answer(driver, choose(RGB(0, 128, 255), i == 3 ? IDOK : IDCANCEL));
            Click(dialog, EditorColorId);
        }
        format = GetSelectionFormat(text);
        Answer(driver, choose(fromEditor, IDCANCEL, &shown[1], fromSettings));
        Click(dialog, EditorColorId);
        SetFocus(text);
        PostMessageA(text, WM_KEYDOWN, VK_TAB, 0x000F0001); // as the keyboard would, for the dialog's loop
        PostMessageA(text, WM_KEYUP, VK_TAB, 0xC00F0001);
        WhenIdle([dialog, text, editor] {
            EXPECT_EQ(GetDlgItem(dialog, IDC_PAIR_PICTURE1), GetFocus());
            RECT line = {0, 0, 100, 14}, client, textRect, listRect, buttonRect;
            MapDialogRect(dialog, &line);
            MoveWindow(editor, 10, 10, 300, 120, TRUE);
            GetClientRect(editor, &client);
            GetWindowRect(text, &textRect);
            GetWindowRect(Child(dialog, EditorFontListId), &listRect);
            GetWindowRect(Child(dialog, EditorColorId), &buttonRect);
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
    driver.Then(Pressing(IDC_SETTINGS_CHOOSE));
    Answer(driver, choose(fromEditor, IDCANCEL, &shown[2], fromEditor), Pressing(IDCANCEL));
    ShowSettingsDialog(nullptr);
    const COLORREF automatic = GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(RGB(0, 128, 255), format.crTextColor);
    EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);
    ASSERT_EQ(7u, starts.size());
    EXPECT_EQ((std::vector<COLORREF>{automatic, RGB(200, 10, 20), 0, automatic}),
              std::vector<COLORREF>(starts.begin() + 1, starts.begin() + 5));
    EXPECT_EQ(0, shown[0]);
    EXPECT_GT(shown[1], 20);
    EXPECT_GT(shown[2], 20);
}
