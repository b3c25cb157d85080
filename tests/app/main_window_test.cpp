// Main window: children, menu state, commands, the last card set, and starting a game.
#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "cardset/card_set.h"
#include "res/resource.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class MainWindow : public testing::Test {
  protected:
    void SetUp() override
    {
        ResetUserData();
        for (const char* name : {"Capitals", "animals", "Zoo"}) {
            CardSet set(2);
            set[0].Text1 = "a";
            set[1].Text1 = "b";
            ASSERT_TRUE(SaveCardSet(name, set));
        }
    }
    void TearDown() override
    {
        if (window)
            DestroyMainWindow(window);
        ResetUserData();
    }
    LRESULT Selection() const { return SendMessageA(GetCardSetCombo(window), CB_GETCURSEL, 0, 0); }
    bool PrintItemGrey() const
    {
        HMENU game = GetSubMenu(GetMenu(window), 0);
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(game), 0);
        return GetMenuState(game, IDM_PRINT, MF_BYCOMMAND) & MF_GRAYED;
    }
    // Sends a command, answering the one message box it may open; "Caption: text" of that box.
    std::string Command(int id)
    {
        DialogDriver driver;
        driver.Press(IDOK);
        SendMessageA(window, WM_COMMAND, id, 0);
        PumpMessages(100);
        return driver.Seen().empty() ? "" : driver.Seen()[0].Caption + ": " + driver.Seen()[0].Text;
    }
    HWND window = nullptr;
};

} // namespace

// The bar spans the top at its preferred height plus 5; the board takes the rest. Nothing is
// selected at first: Print is grey and a board size says so; commands the window does not know do
// nothing. F1 reaches the window from the combo box; a plain P does not.
TEST_F(MainWindow, FirstStartHasNoSelectionAndAGreyPrintItem)
{
    window = OpenMainWindow();
    ASSERT_TRUE(window);
    RECT client, bar, board;
    GetClientRect(window, &client);
    GetWindowRect(GetDlgItem(window, 1), &bar);
    GetWindowRect(GetDlgItem(window, 2), &board);
    EXPECT_EQ(GetBarSize(GetDlgItem(window, 1)).cy + 5, bar.bottom - bar.top);
    EXPECT_EQ(client.right, board.right - board.left);
    EXPECT_EQ(client.bottom - (bar.bottom - bar.top), board.bottom - board.top);

    HWND combo = GetCardSetCombo(window);
    std::string entries;
    for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i) {
        char text[256] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries += std::string(text) + ";";
    }
    EXPECT_EQ("animals;Capitals;Zoo;", entries);
    EXPECT_EQ(CB_ERR, Selection());
    EXPECT_TRUE(PrintItemGrey());
    EXPECT_EQ("Error: No card set selected", Command(IDM_BOARDSIZE_FIRST));
    for (int id : {1003, 1006, 1500, 2000, 2007, 3003})
        EXPECT_EQ("", Command(id)) << id;
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    EXPECT_FALSE(PrintItemGrey());

    HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    SetFocus(combo);
    MSG f1 = {combo, WM_KEYDOWN, VK_F1, 0x003B0001, GetTickCount(), {0, 0}};
    MSG plainP = {combo, WM_KEYDOWN, 'P', 0x00190001, GetTickCount(), {0, 0}};
    DialogDriver driver; // F1 opens help: the test program's folder has no help page
    driver.Press(IDOK);
    EXPECT_TRUE(TranslateAcceleratorA(window, accelerators, &f1));
    EXPECT_FALSE(TranslateAcceleratorA(window, accelerators, &plainP));
}

// The stored card set is selected whatever its letter case and stored again at exit; one no
// longer there selects nothing. A game started is remembered even when the board refuses it.
TEST_F(MainWindow, LastCardSetIsSelectedWhateverItsCaseAndStoredAtExit)
{
    WriteSetting("LastProfile", "capitals");
    window = OpenMainWindow();
    EXPECT_EQ(1, Selection());
    EXPECT_EQ("capitals", CurrentCardSetName);
    WriteSetting("LastProfile", "something else");
    DestroyMainWindow(window);
    EXPECT_EQ("capitals", ReadSetting("LastProfile"));
    WriteSetting("LastProfile", "gone");
    window = OpenMainWindow();
    EXPECT_EQ(CB_ERR, Selection());
    EXPECT_EQ("gone", CurrentCardSetName);
    SendMessageA(GetCardSetCombo(window), CB_SETCURSEL, 2, 0);
    EXPECT_EQ("Error", Command(IDM_BOARDSIZE_LAST).substr(0, 5)) << "two pairs are too few for 5 x 4";
    EXPECT_EQ("Zoo", CurrentCardSetName);
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    PumpMessages(100);
    EXPECT_FALSE(IsWindow(window));
    DestroyMainWindow(window); // removes the quit message
    window = nullptr;
    EXPECT_EQ("Zoo", ReadSetting("LastProfile"));
}

TEST_F(MainWindow, OpeningAndClosingLeaksNoObjects)
{
    DestroyMainWindow(OpenMainWindow());
    int gdi = CountGdiObjects();
    int user = CountUserObjects();
    for (int i = 0; i < 10; ++i)
        DestroyMainWindow(OpenMainWindow());
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
}
