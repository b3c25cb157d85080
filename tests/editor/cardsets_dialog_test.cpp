// Card sets dialog and name dialog: the name checks in their order, Add, Rename, Copy, Modify and
// Remove on the real card set folder, the dialog's result, and a card set that cannot be saved.
#include "cardset/card_set_folder.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/name_dialog.h"

#include <set>

namespace {

const int ListId = 101;
const int AddId = 201;
const int RenameId = 202;
const int ModifyId = 203;
const int RemoveId = 204;
const int CopyId = 205;
const int SelectionIds[] = {RenameId, ModifyId, RemoveId, CopyId};

class CardSetsDialog : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override
    {
        std::set<std::string> names;
        EnumerateCardSets(names);
        for (const std::string& name : names)
            SetFileAttributesA(GetCardSetPath(name).c_str(), FILE_ATTRIBUTE_NORMAL);
        ResetUserData();
    }

    static void MakeCardSet(const std::string& name, int pairs)
    {
        CardSet cards;
        for (int i = 0; i < pairs; ++i)
            cards.push_back(TextPair(MakeRtf("pair " + std::to_string(i))));
        ASSERT_TRUE(SaveCardSet(name, cards));
    }

    void Run(int expectedResult, std::function<void(HWND dialog)> script)
    {
        Driver.Then(script);
        EXPECT_EQ(expectedResult, ShowCardSetsDialog(nullptr));
        EXPECT_TRUE(Driver.Done());
    }

    // The names listed; with a mark when a button that needs a selection is enabled.
    static std::string Listed(HWND dialog)
    {
        std::string listed;
        HWND list = GetDlgItem(dialog, ListId);
        for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
            char name[256] = "";
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
            listed += std::string(name) + ";";
        }
        for (int id : SelectionIds)
            if (IsWindowEnabled(GetDlgItem(dialog, id)))
                return listed + " buttons enabled";
        return listed;
    }

    DialogDriver Driver;
};

// Types a name into the name dialog and presses OK.
void EnterName(HWND nameDialog, const std::string& name)
{
    ReplaceFieldText(nameDialog, 101, name);
    PressDialogButton(nameDialog, IDOK);
}

std::function<void(HWND)> Entering(const std::string& name)
{
    return [name](HWND nameDialog) { EnterName(nameDialog, name); };
}

} // namespace

// Each refused name is told with its message and stays typed; a name with leading blanks is
// accepted as typed. A rename to the card set's own name in other letter case is accepted; a copy
// under its own name is not.
TEST_F(CardSetsDialog, NameChecksRunInOrderAndKeepTheTypedText)
{
    MakeCardSet("Animals", 1);
    const std::string blank = "Error: Name must not be blank", taken = "Error: Card set already exists",
                      invalid = "Error: Name must not contain a <, >, :, \", /, \\, |, ? or * character";
    std::vector<std::string> names = {"", "     ", "Animals", "ANIMALS", "  *"},
                             expected = {blank, blank, taken, taken, invalid};
    for (char c : std::string("<>:\"/\\|?*")) {
        names.push_back(std::string("a") + c + "b");
        expected.push_back(invalid);
    }
    std::vector<std::string> kept;
    Driver.Then(Entering(names[0]));
    for (size_t i = 0; i < names.size(); ++i)
        Answer(Driver, IDOK, [&, i](HWND nameDialog) {
            kept.push_back(GetDialogItemText(nameDialog, 101));
            EnterName(nameDialog, i + 1 < names.size() ? names[i + 1] : "  new name");
        });
    EXPECT_EQ("  new name", ShowNameDialog(nullptr, NameForNewCardSet, "Name of new card set", ""));
    EXPECT_EQ(names, kept);
    for (const char* typed : {"Animals", "ANIMALS"}) {
        Driver.Then([typed](HWND dialog) {
            EXPECT_EQ("Animals", GetDialogItemText(dialog, 101));
            EnterName(dialog, typed);
        });
        EXPECT_EQ(typed, ShowNameDialog(nullptr, NameForRename, "New name of card set", "Animals"));
    }
    Driver.Press(IDOK);
    Answer(Driver, IDOK, Pressing(IDCANCEL));
    EXPECT_EQ("", ShowNameDialog(nullptr, NameForCopy, "Name of copied card set", "Animals"));
    expected.insert(expected.end(), {"New name of card set", "New name of card set", "Name of copied card set", taken});
    EXPECT_EQ(expected, SeenTexts(Driver));
}

// Without a selection the actions on a selected card set do nothing. Add cancelled in the card
// set dialog writes no file; Add saved writes the new card set and lists it.
TEST_F(CardSetsDialog, AddAuthorsAndSavesANewCardSet)
{
    auto typeRobin = [](HWND pair) {
        TypeText(GetEditorTextWindow(pair, 101), "robin");
        PressDialogButton(pair, IDOK);
    };
    Run(1, [&](HWND dialog) {
        EXPECT_EQ("", Listed(dialog));
        for (int id : SelectionIds)
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        PressDialogButton(dialog, AddId);
        Driver.Then(Entering("Fresh"));
        Answer(Driver, IDCANCEL, [&](HWND dialog) {
            EXPECT_EQ("", Listed(dialog));
            PressDialogButton(dialog, AddId);
        });
        Driver.Then(Entering("Birds"));
        Driver.Then([](HWND cardSet) {
            EXPECT_EQ("Birds", GetDialogItemText(cardSet, 401));
            PressDialogButton(cardSet, 301);
        });
        Answer(Driver, typeRobin, Pressing(IDOK, [](HWND dialog) {
                   EXPECT_EQ("Birds;", Listed(dialog));
                   PressDialogButton(dialog, IDCANCEL);
               }));
    });
    EXPECT_EQ((std::vector<std::string>{"Card sets", "Name of new card set", "Card set", "Name of new card set",
                                        "Card set", "Card pair"}),
              SeenTexts(Driver, 0));
    EXPECT_FALSE(CardSetExists("Fresh"));
    CardSet saved;
    LoadCardSet("Birds", saved);
    ASSERT_EQ(1u, saved.size());
    EXPECT_NE(std::string::npos, saved[0].Text1.find("robin"));
}

// Each action refills the list with nothing selected; Remove answered No keeps the file.
TEST_F(CardSetsDialog, RenameCopyAndRemoveChangeTheFolderAndRefillTheList)
{
    MakeCardSet("Cats", 2);
    MakeCardSet("Dogs", 1);
    std::string dogs = ReadBytes(GetCardSetPath("Dogs"));
    std::vector<std::string> lists, fields;
    // Records the list, selects the item at position and presses a button.
    auto then = [&](int position, int button) {
        return [&, position, button](HWND dialog) {
            lists.push_back(Listed(dialog));
            ClickListItem(GetDlgItem(dialog, ListId), position);
            PressDialogButton(dialog, button);
        };
    };
    auto name = [&](const std::string& typed) {
        return [&, typed](HWND nameDialog) {
            fields.push_back(GetDialogItemText(nameDialog, 101));
            EnterName(nameDialog, typed);
        };
    };
    Run(1, [&](HWND dialog) {
        then(0, RenameId)(dialog);
        Answer(Driver, name("Kittens"), then(1, CopyId));
        Answer(Driver, name("Kittens 2"), then(0, RemoveId)); // Dogs
        Answer(Driver, IDNO, [&](HWND dialog) {
            EXPECT_EQ(dogs, ReadBytes(GetCardSetPath("Dogs")));
            then(0, RemoveId)(dialog);
        });
        Answer(Driver, IDYES, then(0, IDCANCEL));
    });
    EXPECT_EQ((std::vector<std::string>{"Cats", "Kittens"}), fields);
    EXPECT_EQ((std::vector<std::string>{"Cats;Dogs;", "Dogs;Kittens;", "Dogs;Kittens;Kittens 2;",
                                        "Dogs;Kittens;Kittens 2; buttons enabled", "Kittens;Kittens 2;"}),
              lists);
    EXPECT_EQ("Question: Are you really sure that you want to remove card set \"Dogs\"?", SeenTexts(Driver).back());
    EXPECT_FALSE(CardSetExists("Dogs"));
    CardSet copied;
    LoadCardSet("Kittens 2", copied);
    EXPECT_EQ(2u, copied.size());
}

// Modify (also by a double click) loads the card set and saves it after Save. A card set whose
// file cannot be replaced: an "Error" box naming the card set tells the user, the card set dialog
// comes back with the edits, and the file stays as it was.
TEST_F(CardSetsDialog, ModifySavesAndAFailedSaveIsReportedWithTheEditsStillOpen)
{
    MakeCardSet("Locked", 3);
    MakeCardSet("Numbers", 3);
    std::string path = GetCardSetPath("Locked"), before = ReadBytes(path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    // In the card set dialog opened next: removes the pair listed first and saves.
    auto removeFirstPairAndSave = [&](std::function<void(HWND cardSets)> next) {
        Driver.Then([](HWND cardSet) {
            ClickListItem(GetDlgItem(cardSet, 201), 0);
            PressDialogButton(cardSet, 303);
        });
        Answer(Driver, IDYES, Pressing(IDOK, next));
    };
    auto cancelReopened = [](HWND reopened) {
        EXPECT_EQ(2, SendDlgItemMessageA(reopened, 201, LB_GETCOUNT, 0, 0));
        PressDialogButton(reopened, IDCANCEL);
    };
    Run(1, [&](HWND dialog) {
        ClickListItem(GetDlgItem(dialog, ListId), 1, true);
        removeFirstPairAndSave([&](HWND dialog) {
            ClickListItem(GetDlgItem(dialog, ListId), 0);
            PressDialogButton(dialog, ModifyId);
        });
        removeFirstPairAndSave(nullptr);
        Driver.Press(IDOK);
        Answer(Driver, cancelReopened, Pressing(IDCANCEL));
    });
    EXPECT_EQ("Error: Card set \"Locked\" could not be saved. Its file was left as it was.\n"
              "Your changes are still open: save them again, or cancel to give them up.",
              SeenTexts(Driver).at(4));
    EXPECT_EQ("Card set", SeenTexts(Driver).at(5));
    EXPECT_EQ(before, ReadBytes(path));
    CardSet saved;
    LoadCardSet("Numbers", saved);
    EXPECT_EQ(2u, saved.size());
}
