// Card pair dialog with its two rich-text editors.
#include "editor/card_pair_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/settings_dialog.h"
#include "editor/text_editor.h"
#include "media/rich_text.h"
#include "res/dialog_ids.h"

#include <dlgs.h>

namespace {

// Opens the dialog on pair within cards (index -1: a new pair) with script as the first step.
int Open(DialogDriver& driver, CardPair& pair, CardSet& cards, int index, std::function<void(HWND dialog)> script)
{
    driver.Then(script);
    CardPairDialogParams params = {&pair, &cards, index};
    int result = ShowCardPairDialog(nullptr, params);
    EXPECT_TRUE(driver.Done());
    return result;
}

} // namespace

// OK refused in order (file-name line break, missing files, no content, duplicate), then stored. On
// a pair of the card set: Browse... fills each field through the open dialog (a cancelled choice
// leaves it), the tools report failures, Cancel keeps the pair, and OK unchanged finds no duplicate.
TEST(CardPairDialog, ChecksFieldsInOrderBrowsesAndStartsTools)
{
    std::string folder = MakeScratchFolder("card_pair_dialog"), cat = folder + "\\cat.bmp";
    WriteBytes(cat, "x");
    WriteBytes(folder + "\\meow.wav", "x");
    SetEnvironmentVariableA("MNEMORA_TEST_MEDIA", folder.c_str());
    const std::string meow = "%MNEMORA_TEST_MEDIA%\\meow.wav", blanks = "   ";
    CardPair pair = {MakeRtf("front", "Courier New", true, RGB(200, 0, 0)), "back", "p1", "p2", "s1", "s2", "v1", "v2"};
    CardSet cards = {{MakeRtf(blanks, "Courier New", true), "back", blanks, cat, blanks, meow, blanks, blanks}};
    // Per refusal: the control then focused (1: the first text, 0: unchecked), its message, and what is
    // typed (into that field, 1: the first text) next.
    const struct {
        int Focus;
        std::string Message;
        int Field;
        std::string Typed;
    } steps[] = {{102, "File name must not contain a line break", 0, ""},
                 {102, "Picture file does not exist", 102, blanks},
                 {104, "Picture file does not exist", 104, cat},
                 {106, "Sound file does not exist", 106, blanks},
                 {108, "Sound file does not exist", 108, meow},
                 {110, "Video file does not exist", 110, blanks},
                 {112, "Video file does not exist", 112, blanks}, // and the first card's content goes
                 {0, "A text, picture, sound or video for 1st card must be specified", 1, blanks},
                 {1, "Card pair already exists", 104, folder + "\\CAT.bmp"}};
    std::vector<std::string> expected;
    DialogDriver driver;
    std::function<void(HWND, size_t)> step = [&](HWND dialog, size_t i) {
        HWND focus = steps[i].Focus == 1 ? EditorText(dialog, IDC_PAIR_TEXT1) : GetDlgItem(dialog, steps[i].Focus);
        EXPECT_TRUE(!focus || focus == GetFocus()) << i;
        if (i == 0)
            for (int id : {102, 104, 106, 108, 110, 112})
                TypeText(dialog, folder + "\\missing" + std::to_string(id), id);
        TypeText(steps[i].Field == 1 ? EditorText(dialog, IDC_PAIR_TEXT1) : dialog, steps[i].Typed,
                 steps[i].Field == 1 ? 0 : steps[i].Field);
        if (steps[i].Field == 112)
            SendMessageA(EditorText(dialog, IDC_PAIR_TEXT1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        if (i + 1 < std::size(steps))
            driver.Then(Pressing(IDOK, [&, i](HWND dialog) { step(dialog, i + 1); }));
        PressDialogButton(dialog, IDOK);
    };
    EXPECT_EQ(1, Open(driver, pair, cards, -1, [&](HWND dialog) {
                  std::string loaded = StreamOutText(EditorText(dialog, IDC_PAIR_TEXT2));
                  for (int id : {102, 104, 106, 108, 110, 112})
                      loaded += "|" + GetDialogItemText(dialog, id);
                  CHARFORMATA format = SelectText(EditorText(dialog, IDC_PAIR_TEXT1), 0, -1);
                  EXPECT_EQ("back|p1|p2|s1|s2|v1|v2|Courier New 1 200",
                            loaded + "|" + format.szFaceName + " " + std::to_string(format.dwEffects & CFE_BOLD) + " " +
                                std::to_string(format.crTextColor));
                  SetDlgItemTextA(dialog, 102, "a\r\nb.png");
                  driver.Then(Pressing(IDOK, [&](HWND dialog) { step(dialog, 0); }));
                  PressDialogButton(dialog, IDOK);
              }));
    for (const auto& s : steps)
        expected.push_back("Error: " + s.Message);
    EXPECT_EQ(expected, driver.Told(1));
    EXPECT_EQ(blanks + "|" + folder + "\\CAT.bmp|" + meow + "|" + blanks,
              pair.PictureFileName1 + "|" + pair.PictureFileName2 + "|" + pair.SoundFileName2 + "|" +
                  pair.VideoFileName2);
    const struct {
        int Button, Field;
        std::string Chosen; // empty: cancelled
    } browsed[] = {{103, 102, folder + "\\dog.bmp"},
                   {109, 108, folder + "\\woof.wav"},
                   {113, 112, folder + "\\run.wmv"},
                   {107, 106, ""}};
    std::function<void(HWND, int)> browse = [&](HWND dialog, int i) {
        if (i > 0) { // the choice, or what was typed
            EXPECT_EQ(browsed[i - 1].Chosen.empty() ? "typed.x" : browsed[i - 1].Chosen,
                      GetDialogItemText(dialog, browsed[i - 1].Field));
        }
        if (i == 4) {
            for (int tool : {IDC_PAIR_PAINT, IDC_PAIR_SOUNDRECORDER, IDCANCEL})
                driver.Then(Pressing(IDOK, Pressing(tool)));
            return PressDialogButton(dialog, IDC_PAIR_CHARMAP);
        }
        if (!browsed[i].Chosen.empty())
            WriteBytes(browsed[i].Chosen, "x");
        TypeText(dialog, "typed.x", browsed[i].Field);
        driver.Then(Closing(
            [&, i](HWND open) {
                SetDlgItemTextA(open, cmb13, browsed[i].Chosen.c_str());
                SetDlgItemTextA(open, edt1, browsed[i].Chosen.c_str());
                PressDialogButton(open, browsed[i].Chosen.empty() ? IDCANCEL : IDOK);
            },
            [&, i](HWND dialog) { browse(dialog, i + 1); }));
        PressDialogButton(dialog, browsed[i].Button);
    };
    pair = cards[0];
    EXPECT_EQ(0, Open(driver, pair, cards, 0, [&](HWND dialog) { browse(dialog, 0); }));
    EXPECT_EQ(blanks + "|" + blanks + "|" + meow + "|" + blanks, pair.PictureFileName1 + "|" + pair.SoundFileName1 +
                                                                     "|" + pair.SoundFileName2 + "|" +
                                                                     pair.VideoFileName2);
    EXPECT_EQ(1, Open(driver, pair, cards, 0, Pressing(IDOK)));
    char recorder[MAX_PATH] = "";
    BOOL emulated = FALSE; // a 32-bit program on a 64-bit system starts it from the native folder
    IsWow64Process(GetCurrentProcess(), &emulated);
    ExpandEnvironmentStringsA(emulated ? "%windir%\\sysnative\\soundrecorder.exe"
                                       : "%SystemRoot%\\system32\\soundrecorder.exe",
                              recorder, sizeof recorder);
    EXPECT_EQ((std::vector<std::string>{"Error: ShellExecute of charmap.exe failed, error code 2",
                                        "Error: ShellExecute of mspaint.exe failed, error code 2",
                                        std::string("Error: ShellExecute of ") + recorder + " failed, error code 2",
                                        "Card pair"}),
              driver.Told(std::size(steps) + 2 + std::size(browsed)))
        << "no further box";
}

// B/I/U toggles, the font list, Tahoma 10 typing, chooser start colours, shared custom colours, Tab.
TEST(TextEditor, FormattingFontsColoursAndTab)
{
    const COLORREF fromSettings = RGB(13, 171, 97), fromEditor = RGB(222, 33, 144), blue = RGB(0, 128, 255);
    std::vector<COLORREF> starts;
    std::vector<int> shown; // custom colours seen in a chooser's pixels
    DialogDriver driver;
    auto choose = [&](COLORREF color, int button, COLORREF counted = CLR_INVALID) {
        return [&, color, button, counted](HWND chooser) {
            starts.push_back(ChooserColor(chooser));
            if (counted != CLR_INVALID)
                shown.push_back(CaptureClient(chooser).Count(counted));
            ChooserColor(chooser, color, counted != CLR_INVALID);
            PressDialogButton(chooser, button);
        };
    };
    auto settingsChooser = [&](COLORREF color, COLORREF counted) {
        driver.Then(Pressing(IDC_SETTINGS_CHOOSE));
        driver.Then(Closing(choose(color, IDCANCEL, counted), Pressing(IDCANCEL)));
        ShowSettingsDialog(nullptr);
    };
    settingsChooser(fromSettings, fromSettings);
    CardPair pair =
        TextPair("{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}{\\f1 Tahoma;}}{\\colortbl;\\red200\\green10\\blue20;"
                 "\\red0\\green90\\blue0;}\\f0\\fs24 hello \\f1\\fs20 auto \\cf1 red\\cf2 green}");
    CardSet cards;
    Open(driver, pair, cards, -1, [&](HWND dialog) {
        HWND editor = GetDlgItem(dialog, IDC_PAIR_TEXT1), text = EditorText(dialog, IDC_PAIR_TEXT1),
             list = GetDlgItem(editor, EditorFontListId);
        SetFocus(text);
        for (auto [button, effect] : {std::pair<int, DWORD>(EditorBoldId, CFE_BOLD),
                                      {EditorItalicId, CFE_ITALIC},
                                      {EditorUnderlineId, CFE_UNDERLINE}}) {
            std::vector<DWORD> effects; // a mixed selection counts as lacking the effect
            for (int range : {5, 5, 5, -1, -1}) {
                SelectText(text, 0, range);
                SendMessageA(GetDlgItem(editor, button), BM_CLICK, 0, 0);
                CHARFORMATA format = SelectText(text, 0, range);
                effects.push_back(format.dwMask & effect ? format.dwEffects & effect : 99u);
            }
            EXPECT_EQ((std::vector<DWORD>{effect, 0, effect, effect, 0}), effects);
            EXPECT_EQ(text, GetFocus());
        }
        SelectText(text, -1, -1);
        SendMessageA(GetDlgItem(editor, EditorBoldId), BM_CLICK, 0, 0);
        TypeText(text, "CD");
        EXPECT_TRUE(SelectText(text, 19, 21).dwEffects & CFE_BOLD) << "typed after B";
        std::vector<std::string> faces; // the face at the caret; mixed faces keep the list as it was
        for (int at : {1, 8, 1, -1}) {
            SelectText(text, at < 0 ? 0 : at, at);
            faces.push_back(GetDialogItemText(editor, EditorFontListId));
        }
        EXPECT_EQ((std::vector<std::string>{"Courier New", "Tahoma", "Courier New", "Courier New"}), faces);
        SelectText(text, 0, 5);
        SendMessageA(list, CB_SETCURSEL, SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Tahoma")),
                     0);
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(EditorFontListId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        CHARFORMATA format = SelectText(text, 0, 5), typed = {};
        EXPECT_TRUE(std::string("Tahoma") == format.szFaceName && format.yHeight == 240) << "only the face";
        TypeText(EditorText(dialog, IDC_PAIR_TEXT2), "typed");
        typed = SelectText(EditorText(dialog, IDC_PAIR_TEXT2), 0, -1);
        EXPECT_TRUE(std::string("Tahoma") == typed.szFaceName && typed.yHeight == 200) << "an empty editor";
        // Automatic colour, one colour, mixed colours, then chosen with OK: the next starts with it.
        const CHARRANGE ranges[] = {{6, 10}, {11, 14}, {11, 19}, {6, 10}, {6, 10}};
        for (int i = 0; i < 5; ++i) {
            SelectText(text, ranges[i].cpMin, ranges[i].cpMax);
            driver.Then(i < 4 ? choose(blue, i == 3 ? IDOK : IDCANCEL) : choose(fromEditor, IDCANCEL, fromSettings));
            PressDialogButton(editor, EditorColorId); // posted: the chooser runs in the dialog's loop
            PumpMessages();
        }
        SetFocus(text);
        PostMessageA(text, WM_KEYDOWN, VK_TAB, 0x000F0001); // as the keyboard would, for the dialog's loop
        PostMessageA(text, WM_KEYUP, VK_TAB, 0xC00F0001);
        WhenIdle([dialog] {
            EXPECT_EQ(GetDlgItem(dialog, IDC_PAIR_PICTURE1), GetFocus());
            PressDialogButton(dialog, IDCANCEL);
        });
    });
    settingsChooser(fromEditor, fromEditor);
    const COLORREF automatic = GetSysColor(COLOR_WINDOWTEXT);
    ASSERT_EQ(7u, starts.size());
    EXPECT_EQ((std::vector<COLORREF>{automatic, RGB(200, 10, 20), 0, automatic, blue}),
              std::vector<COLORREF>(starts.begin() + 1, starts.end() - 1));
    EXPECT_TRUE(shown.size() == 3 && shown[0] == 0 && shown[1] > 20 && shown[2] > 20);
}
