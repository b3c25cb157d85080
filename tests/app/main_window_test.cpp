// Main window: children, menu state, commands, the last card set, and starting a game.
#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/startup.h"
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
    std::vector<std::string> ComboEntries() const
    {
        HWND combo = GetCardSetCombo(window);
        std::vector<std::string> entries;
        int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[256] = "";
            SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    UINT PrintItemState() const
    {
        HMENU game = GetSubMenu(GetMenu(window), 0);
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(game), 0);
        return GetMenuState(game, IDM_PRINT, MF_BYCOMMAND);
    }
    HWND window = nullptr;
};

} // namespace

TEST_F(MainWindow, OpensWithTitleMenuBarAndBoard)
{
    window = OpenMainWindow();
    ASSERT_TRUE(window);
    char text[64] = "";
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ("Mnemora", text);
    EXPECT_STREQ("Mnemora", AppTitle);
    GetClassNameA(GetDlgItem(window, 1), text, sizeof text);
    EXPECT_STREQ("MnemoraBarClass", text);
    GetClassNameA(GetDlgItem(window, 2), text, sizeof text);
    EXPECT_STREQ("MnemoraGameClass", text);

    HMENU menu = GetMenu(window);
    ASSERT_EQ(2, GetMenuItemCount(menu));
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&Game", text);
    GetMenuStringA(GetSubMenu(menu, 0), IDM_PRINT, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("P&rint...\tCtrl+P", text);
    GetMenuStringA(GetSubMenu(menu, 1), IDM_ABOUT, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("&About...", text);

    // The bar spans the top at its preferred height plus 5; the board takes the rest.
    RECT client, bar, board;
    GetClientRect(window, &client);
    GetWindowRect(GetDlgItem(window, 1), &bar);
    GetWindowRect(GetDlgItem(window, 2), &board);
    int barHeight = GetBarSize(GetDlgItem(window, 1)).cy + 5;
    EXPECT_EQ(barHeight, bar.bottom - bar.top);
    EXPECT_EQ(client.right, board.right - board.left);
    EXPECT_EQ(client.bottom - barHeight, board.bottom - board.top);
}

TEST_F(MainWindow, FirstStartHasNoSelectionAndAGreyPrintItem)
{
    window = OpenMainWindow();
    EXPECT_EQ((std::vector<std::string>{"animals", "Capitals", "Zoo"}), ComboEntries());
    EXPECT_EQ(CB_ERR, SendMessageA(GetCardSetCombo(window), CB_GETCURSEL, 0, 0));
    EXPECT_TRUE(PrintItemState() & MF_GRAYED);
    SendMessageA(GetCardSetCombo(window), CB_SETCURSEL, 1, 0);
    EXPECT_FALSE(PrintItemState() & MF_GRAYED);
}

TEST_F(MainWindow, BoardSizeWithoutSelectionSaysSo)
{
    window = OpenMainWindow();
    DialogDriver driver;
    driver.Press(IDOK);
    SendMessageA(window, WM_COMMAND, IDM_BOARDSIZE_FIRST, 0);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Error", driver.Seen()[0].Caption);
    EXPECT_EQ("No card set selected", driver.Seen()[0].Text);
}

TEST_F(MainWindow, LastCardSetIsSelectedWhateverItsCaseAndStoredAtExit)
{
    WriteSetting("LastProfile", "capitals");
    window = OpenMainWindow();
    HWND combo = GetCardSetCombo(window);
    EXPECT_EQ(1, SendMessageA(combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ("capitals", CurrentCardSetName);
    WriteSetting("LastProfile", "something else");
    DestroyMainWindow(window);
    window = nullptr;
    EXPECT_EQ("capitals", ReadSetting("LastProfile"));

    WriteSetting("LastProfile", "gone");
    window = OpenMainWindow();
    EXPECT_EQ(CB_ERR, SendMessageA(GetCardSetCombo(window), CB_GETCURSEL, 0, 0));
    EXPECT_EQ("gone", CurrentCardSetName);
}

TEST_F(MainWindow, StartingAGameRemembersTheCardSetEvenWhenTheBoardRefuses)
{
    window = OpenMainWindow();
    SendMessageA(GetCardSetCombo(window), CB_SETCURSEL, 2, 0);
    DialogDriver driver;
    driver.Press(IDOK);
    // Two pairs are too few for 5 x 4.
    SendMessageA(window, WM_COMMAND, IDM_BOARDSIZE_LAST, 0);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Error", driver.Seen()[0].Caption);
    EXPECT_EQ("Zoo", CurrentCardSetName);
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    PumpMessages(100);
    EXPECT_FALSE(IsWindow(window));
    window = nullptr;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    EXPECT_EQ("Zoo", ReadSetting("LastProfile"));
}

TEST_F(MainWindow, UnknownCommandsDoNothing)
{
    window = OpenMainWindow();
    DialogDriver driver;
    for (int id : {1003, 1006, 1500, 2000, 2007, 3003})
        SendMessageA(window, WM_COMMAND, id, 0);
    PumpMessages(100);
    EXPECT_TRUE(driver.Seen().empty());
    EXPECT_TRUE(IsWindow(window));
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
