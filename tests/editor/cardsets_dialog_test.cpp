// Card sets dialog and name dialog on the real card set folder: the name checks in their order,
// Add, Rename, Copy, Modify and Remove, their failures, and the dialog's result.
#include "cardset/card_set_folder.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/name_dialog.h"
#include "res/dialog_ids.h"

namespace {

class CardSetsDialog : public testing::Test {
  protected:
    void SetUp() override
    {
        ResetUserData();
        for (const char* name : {"Cats", "Dogs"})
            SaveCardSet(name, {TextPair(MakeRtf(name)), TextPair(MakeRtf("two"))});
    }
    void TearDown() override { ResetUserData(); }
    // The names listed, and "+" when the buttons that need a selection are enabled.
    static std::string Listed(HWND dialog)
    {
        std::string listed;
        HWND list = GetDlgItem(dialog, IDC_CARDSETS_LIST);
        for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
            char name[256] = "";
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
            listed += std::string(name) + ";";
        }
        return listed + (IsWindowEnabled(GetDlgItem(dialog, IDC_CARDSETS_RENAME)) ? "+" : "");
    }
    // Selects the item at position (-1: none) and presses a button, recording the list first.
    std::function<void(HWND)> Then(int position, int button)
    {
        return [this, position, button](HWND dialog) {
            Lists.push_back(Listed(dialog));
            if (position >= 0)
                ClickListItem(GetDlgItem(dialog, IDC_CARDSETS_LIST), position);
            PressDialogButton(dialog, button);
        };
    }
    DialogDriver Driver;
    std::vector<std::string> Lists;
};

// Enters a name in the name dialog as pasted and presses OK.
std::function<void(HWND)> Entering(const std::string& name)
{
    return [name](HWND nameDialog) {
        SetDlgItemTextA(nameDialog, IDC_NAME_EDIT, name.c_str());
        PressDialogButton(nameDialog, IDOK);
    };
}

} // namespace

// Each refused name is told with its message and stays typed: blank, one of the nine characters,
// control characters, device names and names too long for a path (mended: these made files that
// could not be used), taken names (also in other letter case, and a copy's unchanged name). A
// rename to the card set's own name in other letter case is accepted; leading blanks are kept.
TEST_F(CardSetsDialog, NameChecksRunInOrderAndKeepTheTypedText)
{
    const std::string invalid = "Name must not contain a <, >, :, \", /, \\, |, ? or * character",
                      device = "Name must not be a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9)";
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"", "Name must not be blank"},
        {"   ", "Name must not be blank"},
        {"  a?", invalid},
        {"a|b", invalid},
        {"two\r\nlines", "Name must not contain control characters or line breaks"},
        {"con", device},
        {"LPT1.txt", device},
        {"Cats", "Card set already exists"},
        {"CATS", "Card set already exists"},
        {std::string(250, 'n'), "Name is too long for a file name"}};
    std::vector<std::string> kept, expected;
    Driver.Then(Entering(rows[0].first));
    for (size_t i = 0; i < rows.size(); ++i) {
        expected.push_back("Error: " + rows[i].second);
        Answer(Driver, IDOK, [&, i](HWND nameDialog) {
            kept.push_back(GetDialogItemText(nameDialog, IDC_NAME_EDIT));
            Entering(i + 1 < rows.size() ? rows[i + 1].first : "  new")(nameDialog);
        });
    }
    EXPECT_EQ("  new", ShowNameDialog(nullptr, NameForNewCardSet, "Name of new card set", ""));
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].first, kept.at(i));
    Driver.Then(Entering("CATS"));
    EXPECT_EQ("CATS", ShowNameDialog(nullptr, NameForRename, "New name of card set", "Cats"));
    Driver.Press(IDOK);
    Answer(Driver, IDOK, Pressing(IDCANCEL));
    EXPECT_EQ("", ShowNameDialog(nullptr, NameForCopy, "Name of copied card set", "Cats"));
    expected.insert(expected.end(),
                    {"New name of card set", "Name of copied card set", "Error: Card set already exists"});
    EXPECT_EQ(expected, SeenTexts(Driver));
}

// Add cancelled in the card set dialog writes no file; Add saved writes and lists it. Rename, Copy
// and Remove change the folder and refill the list with nothing selected; Remove answered No keeps
// the file. Modify (by a double click) saves after Save.
TEST_F(CardSetsDialog, AddRenameCopyRemoveAndModifyChangeTheFolder)
{
    std::string dogs = ReadBytes(GetCardSetPath("Dogs"));
    Driver.Then(Then(-1, IDC_CARDSETS_ADD));
    Driver.Then(Entering("Fresh"));
    Answer(Driver, IDCANCEL, Then(-1, IDC_CARDSETS_ADD));
    Driver.Then(Entering("Birds"));
    Driver.Then(Pressing(IDC_CARDSET_ADD));
    Answer(
        Driver,
        [](HWND pair) {
            TypeText(GetEditorTextWindow(pair, IDC_PAIR_TEXT1), "robin");
            PressDialogButton(pair, IDOK);
        },
        Pressing(IDOK, Then(1, IDC_CARDSETS_RENAME)));
    Answer(Driver, Entering("Kittens"), Then(2, IDC_CARDSETS_COPY));
    Answer(Driver, Entering("Kittens 2"), Then(1, IDC_CARDSETS_REMOVE));
    Answer(Driver, IDNO, [&](HWND dialog) {
        EXPECT_EQ(dogs, ReadBytes(GetCardSetPath("Dogs")));
        Then(1, IDC_CARDSETS_REMOVE)(dialog);
    });
    Answer(Driver, IDYES, [&](HWND dialog) {
        Lists.push_back(Listed(dialog));
        ClickListItem(GetDlgItem(dialog, IDC_CARDSETS_LIST), 1, true);
    });
    Driver.Then([](HWND cardSet) {
        ClickListItem(GetDlgItem(cardSet, IDC_CARDSET_LIST), 0);
        PressDialogButton(cardSet, IDC_CARDSET_REMOVE);
    });
    Answer(Driver, IDYES, Pressing(IDOK, Then(-1, IDCANCEL)));
    EXPECT_EQ(1, ShowCardSetsDialog(nullptr));
    EXPECT_EQ((std::vector<std::string>{"Cats;Dogs;", "Cats;Dogs;", "Birds;Cats;Dogs;", "Birds;Dogs;Kittens;",
                                        "Birds;Dogs;Kittens;Kittens 2;", "Birds;Dogs;Kittens;Kittens 2;+",
                                        "Birds;Kittens;Kittens 2;", "Birds;Kittens;Kittens 2;+"}),
              Lists);
    EXPECT_EQ("Question: Are you really sure that you want to remove card set \"Dogs\"?", SeenTexts(Driver).at(7));
    EXPECT_FALSE(CardSetExists("Fresh") || CardSetExists("Dogs") || CardSetExists("Cats"));
    CardSet birds, kittens;
    LoadCardSet("Birds", birds);
    LoadCardSet("Kittens", kittens);
    ASSERT_EQ(1u, birds.size());
    EXPECT_NE(std::string::npos, birds[0].Text1.find("robin"));
    EXPECT_EQ(1u, kittens.size()) << "modified and saved";
}

// A card set that cannot be read or changed: Modify, Rename, Copy and Remove each tell why in an
// "Error" box naming it, count as no change and leave its file as it was (mended: it was edited
// as an empty card set and saved over, and the other failures were silent). A card set whose file
// cannot be replaced: the card set dialog comes back with the edits after the message, and the
// failed save counts as no change either.
TEST_F(CardSetsDialog, FailuresAreReportedAndChangeNothing)
{
    std::string path = GetCardSetPath("Cats"), before = ReadBytes(path);
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Driver.Then(Then(0, IDC_CARDSETS_MODIFY));
    Answer(Driver, IDOK, Then(0, IDC_CARDSETS_RENAME));
    Driver.Then(Entering("Lions"));
    Answer(Driver, IDOK, Then(0, IDC_CARDSETS_COPY));
    Driver.Then(Entering("Tigers"));
    Answer(Driver, IDOK, Then(0, IDC_CARDSETS_REMOVE));
    Driver.Press(IDYES);
    Answer(Driver, IDOK, Then(-1, IDCANCEL));
    EXPECT_EQ(0, ShowCardSetsDialog(nullptr));
    const std::string held = ": the file is in use by another program.";
    EXPECT_EQ((std::vector<std::string>{
                  "Error: Card set \"Cats\" could not be read" + held + "\nIts file was left as it was.",
                  "New name of card set", "Error: Card set \"Cats\" could not be renamed to \"Lions\"" + held,
                  "Name of copied card set", "Error: Card set \"Cats\" could not be copied to \"Tigers\"" + held,
                  "Question: Are you really sure that you want to remove card set \"Cats\"?",
                  "Error: Card set \"Cats\" could not be removed" + held}),
              SeenTexts(Driver));
    EXPECT_EQ((std::vector<std::string>{"Cats;Dogs;", "Cats;Dogs;+", "Cats;Dogs;", "Cats;Dogs;", "Cats;Dogs;"}), Lists);
    CloseHandle(lock);
    EXPECT_EQ(before, ReadBytes(path));

    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    DialogDriver driver;
    driver.Then(Then(0, IDC_CARDSETS_MODIFY));
    driver.Then(Pressing(IDOK));
    driver.Press(IDOK);
    Answer(
        driver,
        [](HWND reopened) {
            EXPECT_EQ("Cats", GetDialogItemText(reopened, IDC_CARDSET_NAME));
            PressDialogButton(reopened, IDCANCEL);
        },
        Pressing(IDCANCEL));
    EXPECT_EQ(0, ShowCardSetsDialog(nullptr));
    EXPECT_EQ("Error: Card set \"Cats\" could not be saved: access to the file is denied (it may be read-only, "
              "protected or a folder). Its file was left as it was.\n"
              "Your changes are still open: save them again, or cancel to give them up.",
              SeenTexts(driver).at(1));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, ReadBytes(path));
}
