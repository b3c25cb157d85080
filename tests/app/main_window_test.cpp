// Main window: children, menu state, commands, the last card set, and starting a game.
#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "cardset/card_set.h"
#include "res/resource.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

// The bar on top at its preferred height plus 5, the board below. Nothing is selected at first:
// Print is grey and a board size says so; unknown commands do nothing; F1 reaches the window from
// the combo box, a plain P does not. Opening and closing leaks no objects.
TEST(MainWindow, FirstStartThenTheLastCardSetRemembered)
{
    HWND window = nullptr;
    auto selection = [&] { return SendMessageA(GetCardSetCombo(window), CB_GETCURSEL, 0, 0); };
    auto printItemGrey = [&] {
        HMENU game = GetSubMenu(GetMenu(window), 0);
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(game), 0);
        return (GetMenuState(game, IDM_PRINT, MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    auto command = [&](int id) { // "Caption: text" of the one box the command may open
        DialogDriver driver;
        driver.Press(IDOK);
        SendMessageA(window, WM_COMMAND, id, 0);
        PumpMessages(100);
        return driver.Seen().empty() ? "" : driver.Seen()[0].Caption + ": " + driver.Seen()[0].Text;
    };
    ResetUserData();
    CardSet two(2);
    two[0].Text1 = "a", two[1].Text1 = "b";
    for (const char* name : {"Capitals", "animals", "Zoo"})
        ASSERT_TRUE(SaveCardSet(name, two));
    window = OpenMainWindow();
    RECT client, bar, board;
    GetClientRect(window, &client);
    GetWindowRect(GetDlgItem(window, 1), &bar);
    GetWindowRect(GetDlgItem(window, 2), &board);
    EXPECT_TRUE(GetBarSize(GetDlgItem(window, 1)).cy + 5 == bar.bottom - bar.top &&
                board.right - board.left == client.right && board.bottom - bar.top == client.bottom);
    HWND combo = GetCardSetCombo(window);
    char last[64] = "";
    SendMessageA(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(last));
    EXPECT_EQ("3 Zoo", std::to_string(SendMessageA(combo, CB_GETCOUNT, 0, 0)) + " " + last);
    EXPECT_TRUE(selection() == CB_ERR && printItemGrey());
    EXPECT_EQ("Error: No card set selected", command(IDM_BOARDSIZE_FIRST));
    EXPECT_EQ("", command(1500) + command(2007));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    EXPECT_FALSE(printItemGrey());
    HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    SetFocus(combo);
    MSG f1 = {combo, WM_KEYDOWN, VK_F1, 0x003B0001, GetTickCount(), {0, 0}};
    MSG plainP = {combo, WM_KEYDOWN, 'P', 0x00190001, GetTickCount(), {0, 0}};
    DialogDriver driver; // F1 opens help: the test program's folder has no help page
    driver.Press(IDOK);
    EXPECT_TRUE(TranslateAcceleratorA(window, accelerators, &f1));
    EXPECT_FALSE(TranslateAcceleratorA(window, accelerators, &plainP));
    DestroyMainWindow(window);

    // The stored card set is selected whatever its letter case and stored again at exit; one no
    // longer there selects nothing. A game started is remembered even when the board refuses it.
    WriteSetting("LastProfile", "capitals");
    window = OpenMainWindow();
    EXPECT_EQ("1 capitals", std::to_string(selection()) + " " + CurrentCardSetName);
    WriteSetting("LastProfile", "something else");
    DestroyMainWindow(window);
    EXPECT_EQ("capitals", ReadSetting("LastProfile"));
    WriteSetting("LastProfile", "gone");
    window = OpenMainWindow();
    EXPECT_EQ(std::to_string(CB_ERR) + " gone", std::to_string(selection()) + " " + CurrentCardSetName);
    SendMessageA(GetCardSetCombo(window), CB_SETCURSEL, 2, 0);
    EXPECT_EQ("Error Zoo", command(IDM_BOARDSIZE_LAST).substr(0, 5) + " " + CurrentCardSetName) << "too few for 5 x 4";
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    PumpMessages(100);
    EXPECT_FALSE(IsWindow(window));
    DestroyMainWindow(window); // removes the quit message
    EXPECT_EQ("Zoo", ReadSetting("LastProfile"));

    int gdi = CountGdiObjects(), user = CountUserObjects();
    for (int i = 0; i < 10; ++i)
        DestroyMainWindow(OpenMainWindow());
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
    ResetUserData();
}
