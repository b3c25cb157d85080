// Card sets dialog and name dialog on the real card set folder.
#include "cardset/card_set_folder.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/name_dialog.h"
#include "res/dialog_ids.h"

namespace {

std::vector<std::string> Lists;

// Records the names listed ("+" when the buttons that need a selection are enabled), selects the
// item at position (-1: none) and presses a button (0: double-clicks the item instead).
std::function<void(HWND)> Choose(int position, int button)
{
    return [=](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_CARDSETS_LIST);
        std::string listed;
        for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
            char name[256] = "";
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
            listed += std::string(name) + ";";
        }
        Lists.push_back(listed + (IsWindowEnabled(GetDlgItem(dialog, IDC_CARDSETS_RENAME)) ? "+" : ""));
        if (position >= 0)
            ClickListItem(list, position, button == 0);
        if (button)
            PressDialogButton(dialog, button);
    };
}

// Enters a name in the name dialog as pasted and presses OK.
std::function<void(HWND)> Entering(const std::string& name)
{
    return [name](HWND nameDialog) {
        SetDlgItemTextA(nameDialog, IDC_NAME_EDIT, name.c_str());
        PressDialogButton(nameDialog, IDOK);
    };
}

void MakeCatsAndDogs()
{
    ResetUserData();
    Lists.clear();
    for (const char* name : {"Cats", "Dogs"})
        SaveCardSet(name, {TextPair(MakeRtf(name)), TextPair(MakeRtf("two"))});
}

} // namespace

// Names refused in order and kept typed, Add cancelled, Rename to the own name in other letters
// (allowed), Copy (the offered own name refused), Remove (No, Yes), Modify by double-click.
TEST(CardSetsDialog, NamesAreCheckedAndEachActionChangesTheFolder)
{
    MakeCatsAndDogs();
    DialogDriver driver;
    driver.Then(Choose(-1, IDC_CARDSETS_ADD));
    const std::string invalid = "Name must not contain a <, >, :, \", /, \\, |, ? or * character",
                      device = "Name must not be a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9)";
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"", "Name must not be blank"},
        {"   ", "Name must not be blank"},
        {"  a?", invalid},
        {"a|b", invalid},
        {"two\r\nlines", "Name must not contain control characters or line breaks"},
        {"tab\there", "Name must not contain control characters or line breaks"},
        {"CON", device},
        {"com1.txt", device},
        {"LPT1 .x", device},
        {"Cats", "Card set already exists"},
        {"CATS", "Card set already exists"},
        {std::string(250, 'n'), "Name is too long for a file name"},
        {"  Fresh", ""}};
    std::vector<std::string> expected = {"Name of new card set"};
    driver.Then(Entering(rows[0].first));
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
        expected.push_back("Error: " + rows[i].second);
        driver.Then(Pressing(IDOK, [&, i](HWND nameDialog) {
            EXPECT_EQ(rows[i].first, GetDialogItemText(nameDialog, IDC_NAME_EDIT));
            Entering(rows[i + 1].first)(nameDialog);
        }));
    }
    driver.Then(Closing(
        [](HWND cardSet) {
            EXPECT_EQ("  Fresh", GetDialogItemText(cardSet, IDC_CARDSET_NAME)) << "leading blanks kept";
            PressDialogButton(cardSet, IDCANCEL);
        },
        Choose(0, IDC_CARDSETS_RENAME)));
    driver.Then(Closing(Entering("CATS"), Choose(0, IDC_CARDSETS_COPY)));
    driver.Press(IDOK);
    driver.Then(Pressing(IDOK, Closing(Entering("Kittens"), Choose(1, IDC_CARDSETS_REMOVE))));
    driver.Then(Pressing(IDNO, Choose(1, IDC_CARDSETS_REMOVE)));
    driver.Then(Pressing(IDYES, Choose(0, 0)));
    driver.Then([](HWND cardSet) {
        ClickListItem(GetDlgItem(cardSet, IDC_CARDSET_LIST), 0);
        PressDialogButton(cardSet, IDC_CARDSET_REMOVE);
    });
    driver.Then(Pressing(IDYES, Pressing(IDOK, Choose(-1, IDCANCEL))));
    EXPECT_EQ(1, ShowCardSetsDialog(nullptr));
    EXPECT_EQ((std::vector<std::string>{"Cats;Dogs;", "Cats;Dogs;", "CATS;Dogs;", "CATS;Dogs;Kittens;",
                                        "CATS;Dogs;Kittens;+", "CATS;Kittens;", "CATS;Kittens;+"}),
              Lists);
    const std::string question = "Question: Are you really sure that you want to remove ";
    expected.insert(expected.end(),
                    {"Card set", "New name of card set", "Name of copied card set", "Error: Card set already exists",
                     question + "card set \"Dogs\"?", question + "card set \"Dogs\"?", "Card set",
                     question + "entry with text \"Cats\"?"});
    EXPECT_EQ(expected, driver.Told(1));
    CardSet cats, kittens;
    LoadCardSet("CATS", cats);
    LoadCardSet("Kittens", kittens);
    EXPECT_TRUE(cats.size() == 1 && kittens.size() == 2) << "modified and saved; copied before";
    EXPECT_FALSE(CardSetExists("  Fresh") || CardSetExists("Dogs"));
}

// Failures on a file held open, then read-only: reported naming the card set, no change counted.
TEST(CardSetsDialog, FailuresAreReportedAndChangeNothing)
{
    MakeCatsAndDogs();
    DialogDriver driver;
    driver.Then(Choose(0, IDC_CARDSETS_MODIFY));
    std::string path = GetCardSetPath("Cats"), before = ReadBytes(path);
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    driver.Then(Pressing(IDOK, Choose(0, IDC_CARDSETS_RENAME)));
    driver.Then(Entering("Lions"));
    driver.Then(Pressing(IDOK, Choose(0, IDC_CARDSETS_COPY)));
    driver.Then(Entering("Tigers"));
    driver.Then(Pressing(IDOK, Choose(0, IDC_CARDSETS_REMOVE)));
    driver.Press(IDYES);
    driver.Then(Pressing(IDOK, [&](HWND dialog) {
        CloseHandle(lock);
        EXPECT_EQ(before, ReadBytes(path));
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        Choose(0, IDC_CARDSETS_MODIFY)(dialog);
    }));
    driver.Then(Pressing(IDOK));
    driver.Press(IDOK);
    driver.Then(Closing(
        [](HWND reopened) {
            EXPECT_EQ("Cats", GetDialogItemText(reopened, IDC_CARDSET_NAME));
            PressDialogButton(reopened, IDCANCEL);
        },
        Pressing(IDCANCEL)));
    EXPECT_EQ(0, ShowCardSetsDialog(nullptr));
    const std::string held = ": the file is in use by another program.";
    EXPECT_EQ((std::vector<std::string>{
                  "Error: Card set \"Cats\" could not be read" + held + "\nIts file was left as it was.",
                  "New name of card set", "Error: Card set \"Cats\" could not be renamed to \"Lions\"" + held,
                  "Name of copied card set", "Error: Card set \"Cats\" could not be copied to \"Tigers\"" + held,
                  "Question: Are you really sure that you want to remove card set \"Cats\"?",
                  "Error: Card set \"Cats\" could not be removed" + held, "Card set",
                  "Error: Card set \"Cats\" could not be saved: access to the file is denied (it may be read-only, "
                  "protected or a folder). Its file was left as it was.\nYour changes are still open: save them "
                  "again, or cancel to give them up.",
                  "Card set"}),
              driver.Told(1));
    EXPECT_EQ((std::vector<std::string>{"Cats;Dogs;", "Cats;Dogs;+", "Cats;Dogs;", "Cats;Dogs;", "Cats;Dogs;"}), Lists);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, ReadBytes(path));
}
