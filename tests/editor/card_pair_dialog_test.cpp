// Card pair dialog: loading a pair, the checks of OK in their order with their messages and
// focus, the duplicate check, Browse..., and the tool buttons.
#include "editor/card_pair_dialog.h"
#include "editor/editor_test_support.h"
#include "media/rich_text.h"
#include "res/dialog_ids.h"

#include <dlgs.h>

namespace {

class CardPairDialog : public testing::Test {
  protected:
    void SetUp() override
    {
        Folder = MakeScratchFolder("card_pair_dialog");
        for (const char* name : {"cat.bmp", "meow.wav", "woof.wav", "run.wmv"})
            WriteBytes(File(name), "x");
    }
    std::string File(const std::string& name) const { return Folder + "\\" + name; }
    // Opens the dialog on Pair within Cards (Index -1: a new pair) for script.
    void Run(int expectedResult, std::function<void(HWND dialog)> script)
    {
        Driver.Then(script);
        CardPairDialogParams params = {&Pair, &Cards, Index};
        EXPECT_EQ(expectedResult, ShowCardPairDialog(nullptr, params));
        EXPECT_TRUE(Driver.Done());
    }
    std::string Folder;
    DialogDriver Driver;
    CardPair Pair;
    CardSet Cards;
    int Index = -1;
};

} // namespace

// The pair loads into the fields, a stored text keeps its formatting. Then OK is refused, step by
// step: a line break in a file name (mended: it was stored and split the entry in the file), then
// missing files in field order, each with the focus on its field (a field of blanks passes and is
// stored with them), then a first card without content (the second card's is not enough; a text
// of blanks counts), told without moving the focus. %NAME% references pass when their file exists.
TEST_F(CardPairDialog, LoadsThePairAndChecksFieldsInOrder)
{
    SetEnvironmentVariableA("MNEMORA_TEST_MEDIA", Folder.c_str());
    Pair = {MakeRtf("front", "Courier New", true, RGB(200, 0, 0)), "back", "p1", "p2", "s1", "s2", "v1", "v2"};
    const std::vector<std::pair<int, std::string>> steps = {
        {102, "Picture file does not exist"}, {104, "Picture file does not exist"}, {106, "Sound file does not exist"},
        {108, "Sound file does not exist"},   {110, "Video file does not exist"},   {112, "Video file does not exist"}};
    std::vector<std::string> expected, loaded;
    std::function<void(HWND, size_t)> step = [&](HWND dialog, size_t i) {
        EXPECT_TRUE(i == 0 || i > steps.size() || GetDlgItem(dialog, steps[i - 1].first) == GetFocus()) << i;
        if (i > 0 && i < steps.size())
            ReplaceFieldText(dialog, steps[i - 1].first, "   ");
        if (i == steps.size()) {
            SetDlgItemTextA(dialog, 104, File("cat.bmp").c_str());
            SetDlgItemTextA(dialog, 112, "   ");
            SendMessageA(GetEditorTextWindow(dialog, IDC_PAIR_TEXT1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
            SetFocus(GetDlgItem(dialog, IDOK));
        }
        if (i <= steps.size()) {
            expected.push_back("Error: " + (i < steps.size() ? steps[i].second
                                                             : "A text, picture, sound or video for "
                                                               "1st card must be specified"));
            PressDialogButton(dialog, IDOK);
            return Answer(Driver, IDOK, [&, i](HWND dialog) { step(dialog, i + 1); });
        }
        EXPECT_EQ(GetDlgItem(dialog, IDOK), GetFocus());
        TypeText(GetEditorTextWindow(dialog, IDC_PAIR_TEXT1), "   ");
        ReplaceFieldText(dialog, 106, "%MNEMORA_TEST_MEDIA%\\meow.wav");
        PressDialogButton(dialog, IDOK);
    };
    Run(1, [&](HWND dialog) {
        for (int id : {102, 104, 106, 108, 110, 112, 0})
            loaded.push_back(id ? GetDialogItemText(dialog, id) : StreamOutText(GetEditorTextWindow(dialog, 114)));
        SelectText(GetEditorTextWindow(dialog, IDC_PAIR_TEXT1), 0, -1);
        CHARFORMATA format = GetSelectionFormat(GetEditorTextWindow(dialog, IDC_PAIR_TEXT1));
        EXPECT_TRUE(std::string("Courier New") == format.szFaceName && (format.dwEffects & CFE_BOLD) &&
                    format.crTextColor == RGB(200, 0, 0));
        expected.push_back("Error: File name must not contain a line break");
        SetDlgItemTextA(dialog, 102, "a\r\nb.png");
        PressDialogButton(dialog, IDOK);
        Answer(Driver, IDOK, [&](HWND dialog) {
            EXPECT_EQ(GetDlgItem(dialog, 102), GetFocus());
            for (int id : {102, 104, 106, 108, 110, 112})
                ReplaceFieldText(dialog, id, File("missing" + std::to_string(id)));
            step(dialog, 0);
        });
    });
    EXPECT_EQ((std::vector<std::string>{"p1", "p2", "s1", "s2", "v1", "v2", "back"}), loaded);
    EXPECT_EQ(expected, SeenTexts(Driver));
    EXPECT_TRUE(IsRichText(Pair.Text1));
    EXPECT_EQ("   |" + File("cat.bmp") + "|%MNEMORA_TEST_MEDIA%\\meow.wav|   ",
              Pair.PictureFileName1 + "|" + Pair.PictureFileName2 + "|" + Pair.SoundFileName1 + "|" +
                  Pair.VideoFileName2);
}

// Plain texts and file names decide, formatting does not; another letter case of a file name is
// another file. The refusal puts the focus on the first text. A pair edited unchanged is no
// duplicate; a cancelled edit leaves the pair.
TEST_F(CardPairDialog, SameTextsWithOtherFormattingAreADuplicate)
{
    Cards = {TextPair(MakeRtf("other")), TextPair(MakeRtf("Paris", "Courier New", true, RGB(255, 0, 0)))};
    Cards[1].PictureFileName1 = File("cat.bmp");
    Run(1, [&](HWND dialog) {
        TypeText(GetEditorTextWindow(dialog, IDC_PAIR_TEXT1), "Paris");
        ReplaceFieldText(dialog, 102, File("cat.bmp"));
        PressDialogButton(dialog, IDOK);
        Answer(Driver, IDOK, [&](HWND dialog) {
            EXPECT_EQ(GetEditorTextWindow(dialog, IDC_PAIR_TEXT1), GetFocus());
            ReplaceFieldText(dialog, 102, File("CAT.bmp"));
            PressDialogButton(dialog, IDOK);
        });
    });
    EXPECT_EQ("Error: Card pair already exists", SeenTexts(Driver).at(0));
    EXPECT_EQ(File("CAT.bmp"), Pair.PictureFileName1);
    Pair = Cards[Index = 1];
    Run(0, [](HWND dialog) {
        ReplaceFieldText(dialog, 108, "changed.wav");
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ("", Pair.SoundFileName2);
    Run(1, Pressing(IDOK));
    EXPECT_EQ(4u, Driver.Seen().size()) << "no further box";
}

// Each Browse... offers its kind's files first; a chosen file replaces the field, a cancelled
// choice leaves it. The tools are missing from this system: each button reports the failure.
TEST_F(CardPairDialog, BrowseReplacesTheFieldAndToolButtonsReportFailures)
{
    const struct {
        int Button, Field;
        std::string Filter, Chosen; // Chosen empty: cancelled
    } cases[] = {{103, 102, "Picture files (*.bmp;*.jpg;*.png;*.emf)", File("cat.bmp")},
                 {109, 108, "Sound files (*.wav;*.wma;*.mid;*.mp3)", File("woof.wav")},
                 {113, 112, "Video files (*.mpg;*.wmv)", File("run.wmv")},
                 {107, 106, "Sound files (*.wav;*.wma;*.mid;*.mp3)", ""}};
    std::vector<std::string> seen, expected;
    std::function<void(HWND, int)> step = [&](HWND dialog, int i) {
        if (i > 0)
            seen.push_back(GetDialogItemText(dialog, cases[i - 1].Field));
        if (i == 4) {
            PressDialogButton(dialog, IDC_PAIR_CHARMAP);
            Answer(Driver, IDOK, Pressing(IDC_PAIR_PAINT));
            Answer(Driver, IDOK, Pressing(IDC_PAIR_SOUNDRECORDER));
            return Answer(Driver, IDOK, Pressing(IDCANCEL));
        }
        ReplaceFieldText(dialog, cases[i].Field, "typed.x");
        expected.insert(expected.end(), {cases[i].Filter, cases[i].Chosen.empty() ? "typed.x" : cases[i].Chosen});
        PressDialogButton(dialog, cases[i].Button);
        Answer(
            Driver,
            [&, i](HWND open) {
                char filter[256] = "";
                SendDlgItemMessageA(open, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
                seen.push_back(filter);
                SetDlgItemTextA(open, cmb13, cases[i].Chosen.c_str());
                SetDlgItemTextA(open, edt1, cases[i].Chosen.c_str());
                PressDialogButton(open, cases[i].Chosen.empty() ? IDCANCEL : IDOK);
            },
            [&, i](HWND dialog) { step(dialog, i + 1); });
    };
    Run(0, [&](HWND dialog) { step(dialog, 0); });
    EXPECT_EQ(expected, seen);
    char recorder[MAX_PATH] = "";
    BOOL emulated = FALSE; // a 32-bit program on a 64-bit system starts it from the native folder
    IsWow64Process(GetCurrentProcess(), &emulated);
    ExpandEnvironmentStringsA(emulated ? "%windir%\\sysnative\\soundrecorder.exe"
                                       : "%SystemRoot%\\system32\\soundrecorder.exe",
                              recorder, sizeof recorder);
    EXPECT_EQ((std::vector<std::string>{"Error: ShellExecute of charmap.exe failed, error code 2",
                                        "Error: ShellExecute of mspaint.exe failed, error code 2",
                                        std::string("Error: ShellExecute of ") + recorder + " failed, error code 2"}),
              SeenTexts(Driver, 5));
}
