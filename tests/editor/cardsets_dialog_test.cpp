// Card sets dialog and name dialog: the name checks in their order, Add, Rename, Copy, Modify and
// Remove on the real card set folder, the dialog's result, and a card set that cannot be saved.
#include "cardset/card_set.h"
#include "cardset/card_set_folder.h"
#include "editor/cardsets_dialog.h"
#include "editor/editor_test_support.h"
#include "editor/name_dialog.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace {

const int ListId = 101;
const int AddId = 201;
const int RenameId = 202;
const int ModifyId = 203;
const int RemoveId = 204;
const int CopyId = 205;
const char* const InvalidNameMessage = "Name must not contain a <, >, :, \", /, \\, |, ? or * character";

class CardSetsDialog : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override
    {
        for (const std::string& name : Names())
            SetFileAttributesA(GetCardSetPath(name).c_str(), FILE_ATTRIBUTE_NORMAL);
        ResetUserData();
    }

    static std::set<std::string> Names()
    {
        std::set<std::string> names;
        EnumerateCardSets(names);
        return names;
    }

    static void MakeCardSet(const std::string& name, int pairs)
    {
        CardSet cards;
        for (int i = 0; i < pairs; ++i)
            cards.push_back(TextPair(MakeRtf("pair " + std::to_string(i))));
        ASSERT_TRUE(SaveCardSet(name, cards));
    }

    // Types a name into the name dialog and presses OK.
    static void EnterName(HWND nameDialog, const std::string& name)
    {
        ReplaceFieldText(nameDialog, 101, name);
        PressDialogButton(nameDialog, IDOK);
    }

    int RunCardSets(std::function<void(HWND dialog)> script)
    {
        Driver.Then([script](HWND dialog) { script(dialog); });
        int result = ShowCardSetsDialog(Owner.Window);
        EXPECT_TRUE(Driver.Done());
        return result;
    }

    std::vector<std::string> ListNames(HWND dialog)
    {
        std::vector<std::string> names;
        HWND list = GetDlgItem(dialog, ListId);
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char name[256] = "";
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
            names.push_back(name);
        }
        return names;
    }

    static bool SelectionButtonsEnabled(HWND dialog)
    {
        bool any = false;
        for (int id : {RenameId, ModifyId, RemoveId, CopyId})
            any = any || IsWindowEnabled(GetDlgItem(dialog, id));
        return any;
    }

    OwnerWindow Owner;
    DialogDriver Driver;
};

} // namespace

TEST_F(CardSetsDialog, NameChecksRunInOrderAndKeepTheTypedBlanks)
{
    MakeCardSet("Existing", 1);
    std::vector<std::string> names = {"", "     ", "Existing", "EXISTING"};
    for (char c : std::string("<>:\"/\\|?*"))
        names.push_back(std::string("a") + c + "b");
    names.push_back("  *"); // blank check passes, the character check fails
    std::vector<std::string> keptText;
    std::function<void(size_t)> step;
    HWND nameDialog = nullptr;
    step = [&](size_t i) {
        if (i == names.size()) {
            EnterName(nameDialog, "  new name");
            return;
        }
        EnterName(nameDialog, names[i]);
        Driver.Then([&, i](HWND box) {
            PressDialogButton(box, IDOK);
            RunLater([&, i] {
                keptText.push_back(GetDialogItemText(nameDialog, 101));
                step(i + 1);
            });
        });
    };
    Driver.Then([&](HWND dialog) {
        nameDialog = dialog;
        step(0);
    });
    std::string result = ShowNameDialog(Owner.Window, NameForNewCardSet, "Name of new card set", "");
    EXPECT_EQ("  new name", result);
    ASSERT_EQ(names.size() + 1, Driver.Seen().size());
    EXPECT_EQ("Name of new card set", Driver.Seen()[0].Caption);
    std::vector<std::string> expected = {"Name must not be blank", "Name must not be blank", "Card set already exists",
                                         "Card set already exists"};
    for (int i = 0; i < 10; ++i)
        expected.push_back(InvalidNameMessage);
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ("Error", Driver.Seen()[i + 1].Caption) << names[i];
        EXPECT_EQ(expected[i], Driver.Seen()[i + 1].Text) << names[i];
        EXPECT_EQ(names[i], keptText[i]) << "the typed text stays";
    }
}

TEST_F(CardSetsDialog, RenameAcceptsTheOwnNameInAnyCaseCopyDoesNot)
{
    MakeCardSet("Animals", 1);
    for (const char* typed : {"Animals", "ANIMALS"}) {
        DialogDriver driver;
        std::string initial;
        driver.Then([&](HWND dialog) {
            initial = GetDialogItemText(dialog, 101);
            EnterName(dialog, typed);
        });
        EXPECT_EQ(typed, ShowNameDialog(Owner.Window, NameForRename, "New name of card set", "Animals"));
        EXPECT_EQ("Animals", initial);
        EXPECT_EQ(1u, driver.Seen().size());
    }
    DialogDriver driver;
    HWND nameDialog = nullptr;
    driver.Then([&](HWND dialog) {
        nameDialog = dialog;
        PressDialogButton(dialog, IDOK);
    });
    driver.Then([&](HWND box) {
        PressDialogButton(box, IDOK);
        RunLater([&] { PressDialogButton(nameDialog, IDCANCEL); });
    });
    EXPECT_EQ("", ShowNameDialog(Owner.Window, NameForCopy, "Name of copied card set", "Animals"));
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("Name of copied card set", driver.Seen()[0].Caption);
    EXPECT_EQ("Card set already exists", driver.Seen()[1].Text);
}

TEST_F(CardSetsDialog, EmptyFolderListsNothingAndCloseReportsNoChange)
{
    std::vector<std::string> names;
    bool selectionButtons = true, add = false;
    int result = RunCardSets([&](HWND dialog) {
        names = ListNames(dialog);
        selectionButtons = SelectionButtonsEnabled(dialog);
        add = IsWindowEnabled(GetDlgItem(dialog, AddId)) != FALSE;
        // Without a selection the actions on a selected card set do nothing.
        for (int id : {RenameId, ModifyId, RemoveId, CopyId})
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    ASSERT_EQ(1u, Driver.Seen().size());
    EXPECT_EQ("Card sets", Driver.Seen()[0].Caption);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(selectionButtons);
    EXPECT_TRUE(add);
}

TEST_F(CardSetsDialog, AddThenCancelWritesNoFile)
{
    MakeCardSet("Old", 1);
    std::vector<std::string> after;
    int result = RunCardSets([&](HWND dialog) {
        PressDialogButton(dialog, AddId);
        Driver.Then([&](HWND nameDialog) { EnterName(nameDialog, "Fresh"); });
        Driver.Then([&, dialog](HWND cardSet) {
            PressDialogButton(cardSet, IDCANCEL);
            RunLater([&, dialog] {
                after = ListNames(dialog);
                PressDialogButton(dialog, IDCANCEL);
            });
        });
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ((std::vector<std::string>{"Old"}), after);
    EXPECT_FALSE(CardSetExists("Fresh"));
    EXPECT_EQ((std::set<std::string>{"Old"}), Names());
}

TEST_F(CardSetsDialog, AddAuthorsAndSavesANewCardSet)
{
    std::vector<std::string> after;
    std::string shownName;
    bool selectionButtons = true;
    int result = RunCardSets([&](HWND dialog) {
        PressDialogButton(dialog, AddId);
        Driver.Then([&](HWND nameDialog) { EnterName(nameDialog, "Birds"); });
        Driver.Then([&, dialog](HWND cardSet) {
            shownName = GetDialogItemText(cardSet, 401);
            PressDialogButton(cardSet, 301);
            Driver.Then([&, dialog, cardSet](HWND pair) {
                RunLater([&, dialog, cardSet, pair] {
                    TypeText(GetEditorTextWindow(pair, 101), "robin");
                    PressDialogButton(pair, IDOK);
                    RunLater([&, dialog, cardSet] {
                        PressDialogButton(cardSet, IDOK);
                        RunLater([&, dialog] {
                            after = ListNames(dialog);
                            selectionButtons = SelectionButtonsEnabled(dialog);
                            PressDialogButton(dialog, IDCANCEL);
                        });
                    });
                });
            });
        });
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("Birds", shownName);
    EXPECT_EQ((std::vector<std::string>{"Birds"}), after);
    EXPECT_FALSE(selectionButtons);
    CardSet saved;
    LoadCardSet("Birds", saved);
    ASSERT_EQ(1u, saved.size());
    EXPECT_NE(std::string::npos, saved[0].Text1.find("robin"));
}

TEST_F(CardSetsDialog, RenameCopyAndRemoveChangeTheFolderAndRefillTheList)
{
    MakeCardSet("Cats", 2);
    MakeCardSet("Dogs", 1);
    std::vector<std::vector<std::string>> lists;
    std::vector<bool> buttonsAfter;
    std::string renameField, copyField, removeQuestion;
    auto record = [&](HWND dialog) {
        lists.push_back(ListNames(dialog));
        buttonsAfter.push_back(SelectionButtonsEnabled(dialog));
    };
    int result = RunCardSets([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, ListId);
        ClickListItem(list, 0);
        EXPECT_TRUE(SelectionButtonsEnabled(dialog));
        PressDialogButton(dialog, RenameId);
        Driver.Then([&, dialog, list](HWND nameDialog) {
            renameField = GetDialogItemText(nameDialog, 101);
            EnterName(nameDialog, "Kittens");
            RunLater([&, dialog, list] {
                record(dialog);
                ClickListItem(list, 1); // Kittens
                PressDialogButton(dialog, CopyId);
                Driver.Then([&, dialog, list](HWND copyDialog) {
                    copyField = GetDialogItemText(copyDialog, 101);
                    EnterName(copyDialog, "Kittens 2");
                    RunLater([&, dialog, list] {
                        record(dialog);
                        ClickListItem(list, 0); // Dogs
                        PressDialogButton(dialog, RemoveId);
                        Driver.Then([&, dialog](HWND box) {
                            removeQuestion = GetDialogItemText(box, 0xFFFF);
                            PressDialogButton(box, IDYES);
                            RunLater([&, dialog] {
                                record(dialog);
                                PressDialogButton(dialog, IDCANCEL);
                            });
                        });
                    });
                });
            });
        });
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("Cats", renameField);
    EXPECT_EQ("Kittens", copyField);
    ASSERT_EQ(3u, lists.size());
    EXPECT_EQ((std::vector<std::string>{"Dogs", "Kittens"}), lists[0]);
    EXPECT_EQ((std::vector<std::string>{"Dogs", "Kittens", "Kittens 2"}), lists[1]);
    EXPECT_EQ((std::vector<std::string>{"Kittens", "Kittens 2"}), lists[2]);
    EXPECT_EQ(std::vector<bool>(3, false), buttonsAfter);
    EXPECT_EQ("Are you really sure that you want to remove card set \"Dogs\"?", removeQuestion);
    EXPECT_EQ("Question", Driver.Seen().back().Caption);
    CardSet copied;
    LoadCardSet("Kittens 2", copied);
    EXPECT_EQ(2u, copied.size());
}

TEST_F(CardSetsDialog, RemoveAnsweredNoChangesNothing)
{
    MakeCardSet("Keep", 1);
    std::string before = ReadBytes(GetCardSetPath("Keep"));
    std::vector<std::string> after;
    int result = RunCardSets([&](HWND dialog) {
        ClickListItem(GetDlgItem(dialog, ListId), 0);
        PressDialogButton(dialog, RemoveId);
        Driver.Then([&, dialog](HWND box) {
            PressDialogButton(box, IDNO);
            RunLater([&, dialog] {
                after = ListNames(dialog);
                PressDialogButton(dialog, IDCANCEL);
            });
        });
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ((std::vector<std::string>{"Keep"}), after);
    EXPECT_EQ(before, ReadBytes(GetCardSetPath("Keep")));
}

TEST_F(CardSetsDialog, ModifyLoadsEditsAndSavesTheCardSet)
{
    MakeCardSet("Numbers", 3);
    size_t shownPairs = 0;
    int result = RunCardSets([&](HWND dialog) {
        ClickListItem(GetDlgItem(dialog, ListId), 0, true); // a double click modifies
        Driver.Then([&, dialog](HWND cardSet) {
            HWND pairs = GetDlgItem(cardSet, 201);
            shownPairs = static_cast<size_t>(SendMessageA(pairs, LB_GETCOUNT, 0, 0));
            ClickListItem(pairs, 0);
            PressDialogButton(cardSet, 303);
            Driver.Then([&, dialog, cardSet](HWND box) {
                PressDialogButton(box, IDYES);
                RunLater([&, dialog, cardSet] {
                    PressDialogButton(cardSet, IDOK);
                    RunLater([dialog] { PressDialogButton(dialog, IDCANCEL); });
                });
            });
        });
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(3u, shownPairs);
    CardSet saved;
    LoadCardSet("Numbers", saved);
    EXPECT_EQ(2u, saved.size());
}

// A card set whose file cannot be replaced: the user is told, the card set dialog comes back with
// the edits, and the file stays as it was.
TEST_F(CardSetsDialog, FailedSaveIsReportedAndTheEditsStayOpen)
{
    MakeCardSet("Locked", 3);
    std::string path = GetCardSetPath("Locked");
    std::string before = ReadBytes(path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    size_t pairsWhenReopened = 0;
    int result = RunCardSets([&](HWND dialog) {
        ClickListItem(GetDlgItem(dialog, ListId), 0);
        PressDialogButton(dialog, ModifyId);
        Driver.Then([&, dialog](HWND cardSet) {
            HWND pairs = GetDlgItem(cardSet, 201);
            ClickListItem(pairs, 0);
            PressDialogButton(cardSet, 303);
            Driver.Then([&, cardSet](HWND box) {
                PressDialogButton(box, IDYES);
                RunLater([cardSet] { PressDialogButton(cardSet, IDOK); });
            });
            Driver.Then([](HWND errorBox) { PressDialogButton(errorBox, IDOK); });
            Driver.Then([&, dialog](HWND reopened) {
                pairsWhenReopened = static_cast<size_t>(SendMessageA(GetDlgItem(reopened, 201), LB_GETCOUNT, 0, 0));
                PressDialogButton(reopened, IDCANCEL);
                RunLater([dialog] { PressDialogButton(dialog, IDCANCEL); });
            });
        });
    });
    EXPECT_EQ(1, result) << "a pair was removed";
    ASSERT_EQ(5u, Driver.Seen().size());
    EXPECT_EQ("Error", Driver.Seen()[3].Caption);
    EXPECT_EQ("Card set \"Locked\" could not be saved. Its file was left as it was.\n"
              "Your changes are still open: save them again, or cancel to give them up.",
              Driver.Seen()[3].Text);
    EXPECT_EQ("Card set", Driver.Seen()[4].Caption);
    EXPECT_EQ(2u, pairsWhenReopened);
    EXPECT_EQ(before, ReadBytes(path));
}
