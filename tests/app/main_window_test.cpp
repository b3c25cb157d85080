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

// The bar spans the top at its preferred height plus 5; the board takes the rest.
TEST_F(MainWindow, BarOnTopAndTheBoardBelow)
{
    window = OpenMainWindow();
    ASSERT_TRUE(window);
    HWND bar = GetDlgItem(window, 1), board = GetDlgItem(window, 2);
    char name[64] = "";
    GetClassNameA(board, name, sizeof name);
    EXPECT_STREQ("MnemoraGameClass", name);
    RECT client, barRect, boardRect;
    GetClientRect(window, &client);
    GetWindowRect(bar, &barRect);
    GetWindowRect(board, &boardRect);
    int barHeight = GetBarSize(bar).cy + 5;
    EXPECT_EQ(barHeight, barRect.bottom - barRect.top);
    EXPECT_EQ(client.right, boardRect.right - boardRect.left);
    EXPECT_EQ(client.bottom - barHeight, boardRect.bottom - boardRect.top);
}

// Nothing is selected at first: Print is grey and a board size says so; commands the window does
// not know do nothing.
TEST_F(MainWindow, FirstStartHasNoSelectionAndAGreyPrintItem)
{
    window = OpenMainWindow();
    std::vector<std::string> entries;
    for (int i = 0; i < SendMessageA(GetCardSetCombo(window), CB_GETCOUNT, 0, 0); ++i) {
        char text[256] = "";
        SendMessageA(GetCardSetCombo(window), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    EXPECT_EQ((std::vector<std::string>{"animals", "Capitals", "Zoo"}), entries);
    EXPECT_EQ(CB_ERR, Selection());
    EXPECT_TRUE(PrintItemGrey());
    EXPECT_EQ("Error: No card set selected", Command(IDM_BOARDSIZE_FIRST));
    for (int id : {1003, 1006, 1500, 2000, 2007, 3003})
        EXPECT_EQ("", Command(id)) << id;
    EXPECT_TRUE(IsWindow(window));
    SendMessageA(GetCardSetCombo(window), CB_SETCURSEL, 1, 0);
    EXPECT_FALSE(PrintItemGrey());
}

// The stored card set is selected whatever its letter case and stored again at exit; one no
// longer there selects nothing.
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
}

TEST_F(MainWindow, StartingAGameRemembersTheCardSetEvenWhenTheBoardRefuses)
{
    window = OpenMainWindow();
    SendMessageA(GetCardSetCombo(window), CB_SETCURSEL, 2, 0);
    // Two pairs are too few for 5 x 4.
    EXPECT_EQ("Error", Command(IDM_BOARDSIZE_LAST).substr(0, 5));
    EXPECT_EQ("Zoo", CurrentCardSetName);
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    PumpMessages(100);
    EXPECT_FALSE(IsWindow(window));
    DestroyMainWindow(window); // removes the quit message
    window = nullptr;
    EXPECT_EQ("Zoo", ReadSetting("LastProfile"));
}

TEST_F(MainWindow, AcceleratorsReachTheMainWindowFromTheComboBox)
{
    window = OpenMainWindow();
    HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_TRUE(accelerators);
    HWND combo = GetCardSetCombo(window);
    SetFocus(combo);
    MSG f1 = {combo, WM_KEYDOWN, VK_F1, 0x003B0001, GetTickCount(), {0, 0}};
    // F1 opens help; the test program's folder has no help page, whose error box is answered.
    DialogDriver driver;
    driver.Press(IDOK);
    EXPECT_TRUE(TranslateAcceleratorA(window, accelerators, &f1));
    MSG plainP = {combo, WM_KEYDOWN, 'P', 0x00190001, GetTickCount(), {0, 0}};
    EXPECT_FALSE(TranslateAcceleratorA(window, accelerators, &plainP));
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
