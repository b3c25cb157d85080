// Card pair dialog: loading a pair, the checks of OK in their order with their messages and
// focus, the duplicate check, Browse..., and the tool buttons.
#include "editor/card_pair_dialog.h"
#include "editor/editor_test_support.h"
#include "media/rich_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cderr.h>
#include <dlgs.h>

#include <functional>
#include <vector>

namespace {

const int Text1Id = 101;
const int Text2Id = 114;
const int FieldIds[] = {102, 104, 106, 108, 110, 112};

class CardPairDialog : public testing::Test {
  protected:
    void SetUp() override
    {
        Folder = MakeScratchFolder("card_pair_dialog");
        for (const char* name : {"cat.bmp", "meow.wav", "clip.mpg", "dog.png", "woof.wav", "run.wmv"})
            WriteBytes(Folder + "\\" + name, "x");
    }
    std::string File(const std::string& name) const { return Folder + "\\" + name; }

    // Opens the dialog on Pair within Cards; script runs once the texts are loaded.
    int Run(std::function<void(HWND dialog)> script)
    {
        CardPairDialogParams params = {&Pair, &Cards, Index};
        Driver.Then([script](HWND dialog) { RunLater([script, dialog] { script(dialog); }); });
        int result = ShowCardPairDialog(Owner.Window, params);
        EXPECT_TRUE(Driver.Done());
        return result;
    }

    // Presses OK, expects an error box with text, then runs next on the dialog once it is closed.
    void ExpectRefusal(HWND dialog, const std::string& text, std::function<void()> next)
    {
        PressDialogButton(dialog, IDOK);
        Driver.Then([this, text, next](HWND box) {
            Messages.push_back(text);
            PressDialogButton(box, IDOK);
            RunLater(next);
        });
    }

    // The texts of the error boxes seen, after the dialog itself.
    std::vector<std::string> SeenTexts() const
    {
        std::vector<std::string> texts;
        for (size_t i = 1; i < Driver.Seen().size(); ++i)
            texts.push_back(Driver.Seen()[i].Caption + ": " + Driver.Seen()[i].Text);
        return texts;
    }

    std::string Folder;
    OwnerWindow Owner;
    DialogDriver Driver;
    CardPair Pair;
    CardSet Cards;
    int Index = -1;
    std::vector<std::string> Messages;
};

// The plain text of a card text.
std::string StreamOutTextOf(const std::string& text)
{
    HWND rich = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    StreamInRtf(rich, text);
    std::string plain = StreamOutText(rich);
    DestroyWindow(rich);
    return plain;
}

std::string EditorPlainText(HWND dialog, int editorId)
{
    return StreamOutText(GetEditorTextWindow(dialog, editorId));
}

} // namespace

TEST_F(CardPairDialog, LoadsThePairIntoItsFields)
{
    Pair.Text1 = MakeRtf("front", "Courier New", true, RGB(200, 0, 0));
    Pair.Text2 = "plain back";
    Pair.PictureFileName1 = "p1";
    Pair.PictureFileName2 = "p2";
    Pair.SoundFileName1 = "s1";
    Pair.SoundFileName2 = "s2";
    Pair.VideoFileName1 = "v1";
    Pair.VideoFileName2 = "v2";
    std::vector<std::string> fields;
    std::string text1, text2;
    CHARFORMATA format = {};
    int result = Run([&](HWND dialog) {
        for (int id : FieldIds)
            fields.push_back(GetDialogItemText(dialog, id));
        text1 = EditorPlainText(dialog, Text1Id);
        text2 = EditorPlainText(dialog, Text2Id);
        HWND rich = GetEditorTextWindow(dialog, Text1Id);
        SelectText(rich, 0, -1);
        format = GetSelectionFormat(rich);
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ("Card pair", Driver.Seen()[0].Caption);
    EXPECT_EQ((std::vector<std::string>{"p1", "p2", "s1", "s2", "v1", "v2"}), fields);
    EXPECT_EQ("front", text1);
    EXPECT_EQ("plain back", text2);
    EXPECT_STREQ("Courier New", format.szFaceName) << "a stored text keeps its own formatting";
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    EXPECT_EQ(RGB(200, 0, 0), format.crTextColor);
}

TEST_F(CardPairDialog, ChecksMissingFilesInFieldOrderWithFocus)
{
    std::vector<bool> focus;
    std::function<void(size_t)> step;
    int result = Run([&](HWND dialog) {
        for (int id : FieldIds)
            ReplaceFieldText(dialog, id, File("missing" + std::to_string(id)));
        SetFocus(GetDlgItem(dialog, IDOK));
        // Each refusal is mended by blanking that field, which is then not tested.
        step = [&, dialog](size_t i) {
            if (i == 6) {
                ReplaceFieldText(dialog, FieldIds[0], File("cat.bmp"));
                PressDialogButton(dialog, IDOK);
                return;
            }
            const char* kinds[] = {"Picture", "Picture", "Sound", "Sound", "Video", "Video"};
            ExpectRefusal(dialog, std::string(kinds[i]) + " file does not exist", [&, dialog, i] {
                focus.push_back(GetFocus() == GetDlgItem(dialog, FieldIds[i]));
                ReplaceFieldText(dialog, FieldIds[i], "   ");
                step(i + 1);
            });
        };
        step(0);
    });
    EXPECT_EQ(1, result);
    std::vector<std::string> expected;
    for (const std::string& m : Messages)
        expected.push_back("Error: " + m);
    EXPECT_EQ(expected, SeenTexts());
    EXPECT_EQ(std::vector<bool>(6, true), focus);
    EXPECT_EQ(File("cat.bmp"), Pair.PictureFileName1);
    EXPECT_EQ("   ", Pair.PictureFileName2) << "blank fields are stored with their blanks";
    EXPECT_EQ("", Pair.Text1);
}

TEST_F(CardPairDialog, FirstCardNeedsContentAndSecondCardAloneIsNotEnough)
{
    HWND focusBefore = nullptr, focusAfter = nullptr;
    int result = Run([&](HWND dialog) {
        ReplaceFieldText(dialog, 104, File("dog.png"));
        TypeText(GetEditorTextWindow(dialog, Text2Id), "back only");
        SetFocus(GetDlgItem(dialog, 108));
        focusBefore = GetFocus();
        ExpectRefusal(dialog, "A text, picture, sound or video for 1st card must be specified", [&, dialog] {
            focusAfter = GetFocus();
            // A first text of blanks counts as a text.
            HWND text1 = GetEditorTextWindow(dialog, Text1Id);
            TypeText(text1, "   ");
            PressDialogButton(dialog, IDOK);
        });
    });
    EXPECT_EQ(1, result);
    ASSERT_EQ(1u, SeenTexts().size());
    EXPECT_EQ("Error: A text, picture, sound or video for 1st card must be specified", SeenTexts()[0]);
    EXPECT_EQ(focusBefore, focusAfter) << "the first-card message moves no focus";
    EXPECT_TRUE(IsRichText(Pair.Text1));
    EXPECT_EQ(File("dog.png"), Pair.PictureFileName2);
}

TEST_F(CardPairDialog, ExistenceIsCheckedBeforeTheFirstCardRule)
{
    int result = Run([&](HWND dialog) {
        ReplaceFieldText(dialog, 112, File("nothing.wmv"));
        ExpectRefusal(dialog, "", [dialog] { PressDialogButton(dialog, IDCANCEL); });
    });
    EXPECT_EQ(0, result);
    ASSERT_EQ(1u, SeenTexts().size());
    EXPECT_EQ("Error: Video file does not exist", SeenTexts()[0]);
}

TEST_F(CardPairDialog, EnvironmentReferencesPassWhenTheirFileExistsAndStayUnexpanded)
{
    SetEnvironmentVariableA("MNEMORA_TEST_MEDIA", Folder.c_str());
    int result = Run([&](HWND dialog) {
        ReplaceFieldText(dialog, 106, "%MNEMORA_TEST_MEDIA%\\meow.wav");
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    EXPECT_TRUE(SeenTexts().empty());
    EXPECT_EQ("%MNEMORA_TEST_MEDIA%\\meow.wav", Pair.SoundFileName1);
}

TEST_F(CardPairDialog, SameTextsWithOtherFormattingAreADuplicate)
{
    CardPair existing;
    existing.Text1 = MakeRtf("Paris", "Courier New", true, RGB(255, 0, 0));
    existing.Text2 = MakeRtf("France", "Times New Roman", false, RGB(0, 0, 255));
    existing.PictureFileName1 = File("cat.bmp");
    Cards = {TextPair(MakeRtf("other")), existing};
    int result = Run([&](HWND dialog) {
        TypeText(GetEditorTextWindow(dialog, Text1Id), "Paris");
        TypeText(GetEditorTextWindow(dialog, Text2Id), "France");
        ReplaceFieldText(dialog, 102, File("cat.bmp"));
        ExpectRefusal(dialog, "Card pair already exists", [&, dialog] {
            // Another picture name, differing only in letter case, is another pair.
            ReplaceFieldText(dialog, 102, File("CAT.bmp"));
            PressDialogButton(dialog, IDOK);
        });
    });
    EXPECT_EQ(1, result);
    ASSERT_EQ(1u, SeenTexts().size());
    EXPECT_EQ("Error: Card pair already exists", SeenTexts()[0]);
    EXPECT_EQ(File("CAT.bmp"), Pair.PictureFileName1);
}

TEST_F(CardPairDialog, DuplicateRefusalPutsTheFocusOnTheFirstText)
{
    Cards = {TextPair(MakeRtf("same", "Courier New", true))};
    bool focusInFirstText = false;
    Run([&](HWND dialog) {
        TypeText(GetEditorTextWindow(dialog, Text1Id), "same");
        SetFocus(GetDlgItem(dialog, 110));
        ExpectRefusal(dialog, "Card pair already exists", [&, dialog] {
            focusInFirstText = GetFocus() == GetEditorTextWindow(dialog, Text1Id);
            PressDialogButton(dialog, IDCANCEL);
        });
    });
    EXPECT_TRUE(focusInFirstText);
}

TEST_F(CardPairDialog, EditingAPairUnchangedIsNoDuplicate)
{
    Cards = {TextPair(MakeRtf("one")), TextPair(MakeRtf("two"))};
    Pair = Cards[1];
    Index = 1;
    int result = Run([](HWND dialog) { PressDialogButton(dialog, IDOK); });
    EXPECT_EQ(1, result);
    EXPECT_TRUE(SeenTexts().empty());
    EXPECT_EQ("two", StreamOutTextOf(Pair.Text1));
}

TEST_F(CardPairDialog, CancelLeavesThePairAsItWas)
{
    Pair = TextPair("keep");
    Pair.SoundFileName2 = "old.wav";
    CardPair before = Pair;
    int result = Run([](HWND dialog) {
        ReplaceFieldText(dialog, 108, "changed.wav");
        TypeText(GetEditorTextWindow(dialog, Text1Id), " more");
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ(before.Text1, Pair.Text1);
    EXPECT_EQ("old.wav", Pair.SoundFileName2);
}

TEST_F(CardPairDialog, BrowseOffersItsKindsFilterAndReplacesTheField)
{
    struct Case {
        int Button, Field;
        const char* Filter;
    };
    const Case cases[] = {{103, 102, "Picture files (*.bmp;*.jpg;*.png;*.emf)"},
                          {109, 108, "Sound files (*.wav;*.wma;*.mid;*.mp3)"},
                          {113, 112, "Video files (*.mpg;*.wmv)"}};
    std::vector<std::string> filters, allFiles, fields;
    std::function<void(size_t)> step;
    Run([&](HWND dialog) {
        step = [&, dialog](size_t i) {
            if (i == 3) {
                PressDialogButton(dialog, IDCANCEL);
                return;
            }
            ReplaceFieldText(dialog, cases[i].Field, "%WINDIR%\\x");
            PressDialogButton(dialog, cases[i].Button);
            Driver.Then([&, dialog, i](HWND open) {
                char text[256] = "";
                SendDlgItemMessageA(open, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
                filters.push_back(text);
                SendDlgItemMessageA(open, cmb1, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
                allFiles.push_back(text);
                std::string chosen = File(i == 0 ? "cat.bmp" : i == 1 ? "woof.wav" : "run.wmv");
                SetDlgItemTextA(open, cmb13, chosen.c_str());
                SetDlgItemTextA(open, edt1, chosen.c_str());
                PressDialogButton(open, IDOK);
                RunLater([&, dialog, i] {
                    fields.push_back(GetDialogItemText(dialog, cases[i].Field));
                    step(i + 1);
                });
            });
        };
        step(0);
    });
    ASSERT_EQ(3u, filters.size());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cases[i].Filter, filters[i]);
        EXPECT_EQ("All files (*.*)", allFiles[i]);
    }
    EXPECT_EQ((std::vector<std::string>{File("cat.bmp"), File("woof.wav"), File("run.wmv")}), fields);
}

TEST_F(CardPairDialog, CancelledBrowseLeavesTheField)
{
    std::string field;
    Run([&](HWND dialog) {
        ReplaceFieldText(dialog, 106, "typed.wav");
        PressDialogButton(dialog, 107);
        Driver.Then([&, dialog](HWND open) {
            PressDialogButton(open, IDCANCEL);
            RunLater([&, dialog] {
                field = GetDialogItemText(dialog, 106);
                PressDialogButton(dialog, IDCANCEL);
            });
        });
    });
    EXPECT_EQ("typed.wav", field);
}

// The tools are missing from this system: each button reports the failure with its own text.
TEST_F(CardPairDialog, ToolButtonsReportFailuresToStart)
{
    char recorder[MAX_PATH] = "";
    ExpandEnvironmentStringsA("%SystemRoot%\\system32\\soundrecorder.exe", recorder, sizeof recorder);
    if (GetFileAttributesA(recorder) != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "this system has a sound recorder";
    std::function<void(size_t)> step;
    Run([&](HWND dialog) {
        step = [&, dialog](size_t i) {
            const int buttons[] = {201, 203, 202};
            if (i == 3) {
                PressDialogButton(dialog, IDCANCEL);
                return;
            }
            PressDialogButton(dialog, buttons[i]);
            Driver.Then([&, i](HWND box) {
                PressDialogButton(box, IDOK);
                RunLater([&, i] { step(i + 1); });
            });
        };
        step(0);
    });
    std::vector<std::string> expected = {
        "Error: ShellExecute of charmap.exe failed, error code 2",
        "Error: ShellExecute of mspaint.exe failed, error code 2",
        std::string("Error: ShellExecute of ") + recorder + " failed, error code 2",
    };
    EXPECT_EQ(expected, SeenTexts());
}
