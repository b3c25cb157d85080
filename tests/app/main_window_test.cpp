// Main window: children, the card-set bar with its drawn board-size buttons, menu state, commands,
// the help page, the last card set, and starting a game.
#include "app/card_set_bar.h"
#include "app/help_about.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "cardset/card_set.h"
#include "game/idle_work.h"
#include "res/resource.h"
#include "support/test_support.h"

#include <commctrl.h>

// The bar on top at its preferred height plus 5 in its colour, the board below; the toolbar keeps
// its width in a narrow window and the label repaints without new objects. The card sets are
// listed sorted, none selected: Print is grey and a board size says so; unknown commands do nothing;
// F1 reaches the window from the combo box (a plain P does not) and the help page opens, or its
// absence is told with its path. Opening and closing leaks no objects; the work done ahead after
// start-up ends.
TEST(MainWindow, FirstStartThenTheLastCardSetRemembered)
{
    HWND window = nullptr;
    auto selection = [&] { return SendMessageA(GetCardSetCombo(window), CB_GETCURSEL, 0, 0); };
    auto printItemGrey = [&] {
        HMENU game = GetSubMenu(GetMenu(window), 0);
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(game), 0);
        return (GetMenuState(game, IDM_PRINT, MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    auto command = [&](int id) { return Answered([&] { SendMessageA(window, WM_COMMAND, id, 0); }); };
    ResetUserData();
    CardSet two(2);
    two[0].Text1 = "a", two[1].Text1 = "b";
    for (const char* name : {"Capitals", "animals", "Zoo"})
        ASSERT_TRUE(SaveCardSet(name, two));
    window = OpenMainWindow();
    int pieces = 0; // the work done ahead after start-up comes to an end, in small pieces
    for (int gdi = CountGdiObjects(); HasIdleWork(window) && RunIdleWork() && pieces < 20; ++pieces)
        EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(2 + 5 + 1, pieces); // decoders, video components, the piece that finds none left
    HWND bar = GetDlgItem(window, 1), toolbar = GetDlgItem(bar, BarToolbarId);
    RECT client, barRect, board, toolbarRect;
    GetClientRect(window, &client);
    GetWindowRect(bar, &barRect);
    GetWindowRect(GetDlgItem(window, 2), &board);
    EXPECT_TRUE(GetBarSize(bar).cy + 5 == barRect.bottom - barRect.top && board.right - board.left == client.right &&
                board.bottom - barRect.top == client.bottom);
    EXPECT_GT(CaptureClient(bar).Count(BarBackgroundColor), 2 * CaptureClient(bar).Width);
    MoveWindow(window, 0, 0, 300, 400, TRUE);
    GetWindowRect(toolbar, &toolbarRect);
    EXPECT_EQ(GetBarSize(bar).cx, toolbarRect.right - toolbarRect.left);
    int gdi = CountGdiObjects();
    for (int i = 0; i < 50; ++i)
        CaptureClient(GetDlgItem(bar, BarLabelId));
    EXPECT_EQ(gdi, CountGdiObjects());
    HWND combo = GetCardSetCombo(window);
    char first[64] = "", last[64] = "";
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    SendMessageA(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(last));
    EXPECT_EQ("3 animals Zoo", std::to_string(SendMessageA(combo, CB_GETCOUNT, 0, 0)) + " " + first + " " + last);
    EXPECT_TRUE(selection() == CB_ERR && printItemGrey());
    EXPECT_EQ("Error: No card set selected", command(IDM_BOARDSIZE_FIRST));
    EXPECT_EQ("", command(1500) + command(2007));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    EXPECT_FALSE(printItemGrey());
    HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    SetFocus(combo);
    MSG f1 = {combo, WM_KEYDOWN, VK_F1, 0x003B0001, GetTickCount(), {0, 0}};
    MSG plainP = {combo, WM_KEYDOWN, 'P', 0x00190001, GetTickCount(), {0, 0}};
    std::string page = GetHelpPagePath(), folder = page.substr(0, page.rfind('\\'));
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof program);
    EXPECT_EQ(std::string(program).substr(0, std::string(program).rfind('\\')) + "\\help\\mnemora.html", page);
    DeleteFileA(page.c_str());
    RemoveDirectoryA(folder.c_str());
    EXPECT_EQ("Error: ShellExecute of " + page + " failed, error code 2",
              Answered([&] { EXPECT_TRUE(TranslateAcceleratorA(window, accelerators, &f1)); }));
    EXPECT_FALSE(TranslateAcceleratorA(window, accelerators, &plainP));
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteBytes(page, "<html><body>help</body></html>");
    RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, "MnemoraTestPage", 0);
    RegSetValueA(HKEY_CLASSES_ROOT, "MnemoraTestPage\\shell\\open\\command", REG_SZ, "cmd.exe /c exit", 0);
    EXPECT_EQ("", command(IDM_HELP));
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "MnemoraTestPage");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html"); // the test prefix had no page program of its own
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

    gdi = CountGdiObjects();
    int user = CountUserObjects();
    for (int i = 0; i < 10; ++i)
        DestroyMainWindow(OpenMainWindow());
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
}

// Keys alone: Tab and Shift+Tab go round the board-size buttons, the card set list and the cards
// (once there are cards); arrows and Space on the buttons and Ctrl+4 start games, with the focus on
// the first card; the buttons are named, "2 × 2" to "5 × 4", for tooltips and screen readers.
TEST(MainWindow, KeyboardReachesTheBarAndTheBoard)
{
    ResetUserData();
    ASSERT_TRUE(SaveCardSet("Ten", CardSet(10)));
    HWND window = OpenMainWindow(), bar = GetDlgItem(window, 1), board = GetDlgItem(window, 2);
    HWND toolbar = GetDlgItem(bar, BarToolbarId), combo = GetCardSetCombo(window);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    auto press = [&](UINT key, BYTE modifier = 0) { return PressKey(GetFocus(), key, modifier, window, accelerators); };
    EXPECT_EQ(toolbar, press(VK_TAB));
    EXPECT_EQ(combo, press(VK_TAB));
    EXPECT_EQ(toolbar, press(VK_TAB)) << "no cards to go to";
    press(VK_END);
    EXPECT_EQ(GetDlgItem(board, 1), press(VK_SPACE)) << "5 x 4 dealt, the first card focused";
    EXPECT_TRUE(GetDlgItem(board, 20) && !GetDlgItem(board, 21));
    EXPECT_EQ(toolbar, press(VK_TAB));
    EXPECT_EQ(GetDlgItem(board, 1), press(VK_TAB, VK_SHIFT));
    press('4', VK_CONTROL);
    EXPECT_TRUE(GetDlgItem(board, 16) && !GetDlgItem(board, 17)) << "Ctrl+4: 4 x 4";

    std::wstring names;
    for (long button = 1; button <= 6; ++button)
        names += AccessibleName(toolbar, button) + L"|";
    EXPECT_EQ(L"2 \u00D7 2|2 \u00D7 3|3 \u00D7 2|4 \u00D7 4|4 \u00D7 5|5 \u00D7 4|", names);
    ASSERT_TRUE(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
    NMTTDISPINFOA tip = {};
    tip.hdr = {toolbar, 2005, TTN_GETDISPINFOA};
    SendMessageA(bar, WM_NOTIFY, 2005, reinterpret_cast<LPARAM>(&tip));
    EXPECT_EQ(GetACP() == 1252 ? "4 \xD7 5" : "4 x 5", std::string(tip.szText));
    DestroyMainWindow(window);
}
