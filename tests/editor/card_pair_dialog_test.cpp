// Card pair dialog: loading a pair, the checks of OK in their order with their messages and
// focus, the duplicate check, Browse..., and the tool buttons.
#include "editor/card_pair_dialog.h"
#include "editor/editor_test_support.h"
#include "media/rich_text.h"

#include <dlgs.h>

namespace {

const int Text1Id = 101;
const int Text2Id = 114;
const int FieldIds[] = {102, 104, 106, 108, 110, 112};

class CardPairDialog : public testing::Test {
  protected:
    void SetUp() override
    {
        Folder = MakeScratchFolder("card_pair_dialog");
        for (const char* name : {"cat.bmp", "meow.wav", "woof.wav", "run.wmv"})
            WriteBytes(File(name), "x");
    }
    std::string File(const std::string& name) const { return Folder + "\\" + name; }
    // Opens the dialog on Pair within Cards, Pair being Cards[Index] (-1: a new pair), for script.
    void Run(int expectedResult, std::function<void(HWND dialog)> script)
    {
        Driver.Then(script);
        CardPairDialogParams params = {&Pair, &Cards, Index};
        EXPECT_EQ(expectedResult, ShowCardPairDialog(nullptr, params));
        EXPECT_TRUE(Driver.Done());
    }
    // Expects OK refused with an error box with text; then runs next on the dialog.
    void ExpectRefusal(HWND dialog, const std::string& text, std::function<void(HWND)> next)
    {
        Expected.push_back("Error: " + text);
        PressDialogButton(dialog, IDOK);
        Answer(Driver, IDOK, next);
    }
    std::string Folder;
    DialogDriver Driver;
    CardPair Pair;
    CardSet Cards;
    int Index = -1;
    std::vector<std::string> Expected;
};

} // namespace

TEST_F(CardPairDialog, LoadsThePairIntoItsFields)
{
    Pair = {MakeRtf("front", "Courier New", true, RGB(200, 0, 0)), "plain back", "p1", "p2", "s1", "s2", "v1", "v2"};
    std::vector<std::string> fields;
    CHARFORMATA format = {};
    Run(0, [&](HWND dialog) {
        for (int id : FieldIds)
            fields.push_back(GetDialogItemText(dialog, id));
        for (int id : {Text1Id, Text2Id})
            fields.push_back(StreamOutText(GetEditorTextWindow(dialog, id)));
        SelectText(GetEditorTextWindow(dialog, Text1Id), 0, -1);
        format = GetSelectionFormat(GetEditorTextWindow(dialog, Text1Id));
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ("Card pair", Driver.Seen()[0].Caption);
    EXPECT_EQ((std::vector<std::string>{"p1", "p2", "s1", "s2", "v1", "v2", "front", "plain back"}), fields);
    EXPECT_STREQ("Courier New", format.szFaceName) << "a stored text keeps its own formatting";
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    EXPECT_EQ(RGB(200, 0, 0), format.crTextColor);
}

// Missing files are refused in field order, each moving the focus to its field; blanked, a field
// passes and is stored with its blanks. Then the first card needs content (the second card's is
// not enough; a text of blanks counts), told without moving the focus. %NAME% references pass when
// their file exists and are stored as typed.
TEST_F(CardPairDialog, ChecksMissingFilesInFieldOrderThenTheFirstCard)
{
    SetEnvironmentVariableA("MNEMORA_TEST_MEDIA", Folder.c_str());
    const char* kinds[] = {"Picture", "Picture", "Sound", "Sound", "Video", "Video"};
    std::vector<bool> focus;
    std::function<void(HWND, int)> step = [&](HWND dialog, int i) {
        if (i > 0) {
            focus.push_back(GetFocus() == GetDlgItem(dialog, FieldIds[i - 1]));
            ReplaceFieldText(dialog, FieldIds[i - 1], "   ");
        }
        if (i < 6)
            return ExpectRefusal(dialog, std::string(kinds[i]) + " file does not exist",
                                 [&, i](HWND dialog) { step(dialog, i + 1); });
        ReplaceFieldText(dialog, 104, File("cat.bmp"));
        TypeText(GetEditorTextWindow(dialog, Text2Id), "back only");
        HWND focused = GetFocus();
        ExpectRefusal(dialog, "A text, picture, sound or video for 1st card must be specified",
                      [&, focused](HWND dialog) {
                          focus.push_back(GetFocus() == focused);
                          TypeText(GetEditorTextWindow(dialog, Text1Id), "   ");
                          ReplaceFieldText(dialog, 106, "%MNEMORA_TEST_MEDIA%\\meow.wav");
                          PressDialogButton(dialog, IDOK);
                      });
    };
    Run(1, [&](HWND dialog) {
        for (int id : FieldIds)
            ReplaceFieldText(dialog, id, File("missing" + std::to_string(id)));
        SetFocus(GetDlgItem(dialog, IDOK));
        step(dialog, 0);
    });
    EXPECT_EQ(Expected, SeenTexts(Driver));
    EXPECT_EQ(std::vector<bool>(7, true), focus);
    EXPECT_TRUE(IsRichText(Pair.Text1));
    EXPECT_EQ(File("cat.bmp"), Pair.PictureFileName2);
    EXPECT_EQ("%MNEMORA_TEST_MEDIA%\\meow.wav", Pair.SoundFileName1);
    EXPECT_EQ("   ", Pair.VideoFileName2);
}

// Plain texts and file names decide, formatting does not; another letter case of a file name is
// another file. The refusal puts the focus on the first text. A pair edited unchanged is no
// duplicate; a cancelled edit leaves the pair.
TEST_F(CardPairDialog, SameTextsWithOtherFormattingAreADuplicate)
{
    Cards = {TextPair(MakeRtf("other")), TextPair(MakeRtf("Paris", "Courier New", true, RGB(255, 0, 0)))};
    Cards[1].Text2 = MakeRtf("France", "Times New Roman", false, RGB(0, 0, 255));
    Cards[1].PictureFileName1 = File("cat.bmp");
    Run(1, [&](HWND dialog) {
        TypeText(GetEditorTextWindow(dialog, Text1Id), "Paris");
        TypeText(GetEditorTextWindow(dialog, Text2Id), "France");
        ReplaceFieldText(dialog, 102, File("cat.bmp"));
        SetFocus(GetDlgItem(dialog, 110));
        ExpectRefusal(dialog, "Card pair already exists", [&](HWND dialog) {
            EXPECT_EQ(GetEditorTextWindow(dialog, Text1Id), GetFocus());
            ReplaceFieldText(dialog, 102, File("CAT.bmp"));
            PressDialogButton(dialog, IDOK);
        });
    });
    EXPECT_EQ(Expected, SeenTexts(Driver));
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
// choice leaves it.
TEST_F(CardPairDialog, BrowseOffersItsKindsFilterAndReplacesTheField)
{
    struct Case {
        int Button, Field;
        std::string Filter, Chosen; // Chosen empty: cancelled
    };
    const Case cases[] = {{103, 102, "Picture files (*.bmp;*.jpg;*.png;*.emf)", File("cat.bmp")},
                          {109, 108, "Sound files (*.wav;*.wma;*.mid;*.mp3)", File("woof.wav")},
                          {113, 112, "Video files (*.mpg;*.wmv)", File("run.wmv")},
                          {107, 106, "Sound files (*.wav;*.wma;*.mid;*.mp3)", ""}};
    std::vector<std::string> filters, fields;
    std::function<void(HWND, int)> step = [&](HWND dialog, int i) {
        if (i > 0)
            fields.push_back(GetDialogItemText(dialog, cases[i - 1].Field));
        if (i == 4)
            return PressDialogButton(dialog, IDCANCEL);
        ReplaceFieldText(dialog, cases[i].Field, "typed.x");
        PressDialogButton(dialog, cases[i].Button);
        auto choose = [&, i](HWND open) {
            char filter[256] = "";
            SendDlgItemMessageA(open, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
            filters.push_back(filter);
            SetDlgItemTextA(open, cmb13, cases[i].Chosen.c_str());
            SetDlgItemTextA(open, edt1, cases[i].Chosen.c_str());
            PressDialogButton(open, cases[i].Chosen.empty() ? IDCANCEL : IDOK);
        };
        Answer(Driver, choose, [&, i](HWND dialog) { step(dialog, i + 1); });
    };
    Run(0, [&](HWND dialog) { step(dialog, 0); });
    ASSERT_EQ(4u, fields.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cases[i].Filter, filters[i]);
        EXPECT_EQ(cases[i].Chosen.empty() ? "typed.x" : cases[i].Chosen, fields[i]);
    }
}

// The tools are missing from this system: each button reports the failure with its own text.
TEST_F(CardPairDialog, ToolButtonsReportFailuresToStart)
{
    // A 32-bit build on a 64-bit system starts the recorder from "sysnative"; ask, as the dialog does.
    BOOL emulated = FALSE;
    IsWow64Process(GetCurrentProcess(), &emulated);
    char recorder[MAX_PATH] = "";
    ExpandEnvironmentStringsA(emulated ? "%windir%\\sysnative\\soundrecorder.exe"
                                       : "%SystemRoot%\\system32\\soundrecorder.exe",
                              recorder, sizeof recorder);
    if (GetFileAttributesA(recorder) != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "this system has a sound recorder";
    Run(0, [&](HWND dialog) {
        PressDialogButton(dialog, 201);
        Answer(Driver, IDOK, Pressing(203));
        Answer(Driver, IDOK, Pressing(202));
        Answer(Driver, IDOK, Pressing(IDCANCEL));
    });
    EXPECT_EQ((std::vector<std::string>{"Error: ShellExecute of charmap.exe failed, error code 2",
                                        "Error: ShellExecute of mspaint.exe failed, error code 2",
                                        std::string("Error: ShellExecute of ") + recorder + " failed, error code 2"}),
              SeenTexts(Driver));
}
