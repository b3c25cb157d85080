// Help page and About box: the page's path, the error when it is missing, the About texts and
// every way of closing the box.
#include "app/help_about.h"
#include "app/startup.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// A hidden top-level window that owns the dialogs under test.
struct OwnerWindow {
    HWND Window;
    OwnerWindow()
        : Window(CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~OwnerWindow() { DestroyWindow(Window); }
};

std::string ProgramFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

} // namespace

TEST(HelpAbout, AboutShowsTitleVersionAndNotice)
{
    OwnerWindow owner;
    DialogDriver driver;
    std::string title, version, notice, close;
    driver.Then([&](HWND dialog) {
        title = GetDialogItemText(dialog, 101);
        version = GetDialogItemText(dialog, 102);
        notice = GetDialogItemText(dialog, 103);
        close = GetDialogItemText(dialog, IDOK);
        PressDialogButton(dialog, IDOK);
    });
    ShowAboutDialog(owner.Window);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("About Mnemora", driver.Seen()[0].Caption);
    EXPECT_EQ("Mnemora", title);
    EXPECT_EQ("Version 1.0", version);
    EXPECT_FALSE(notice.empty());
    EXPECT_NE("Notice", notice);
    EXPECT_EQ("Close", close);
}

TEST(HelpAbout, EscapeEnterAndCloseBoxAllClose)
{
    OwnerWindow owner;
    for (int way = 0; way < 3; ++way) {
        DialogDriver driver;
        driver.Then([way](HWND dialog) {
            if (way == 0)
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); // what Escape sends
            else if (way == 1)
                PostMessageA(dialog, WM_COMMAND, IDOK, 0); // what Enter sends
            else
                PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        ShowAboutDialog(owner.Window);
        EXPECT_TRUE(driver.Done()) << "way " << way;
        EXPECT_EQ(1u, driver.Seen().size()) << "way " << way;
    }
}

TEST(HelpAbout, HelpPageLiesInTheProgramsHelpFolder)
{
    EXPECT_EQ(ProgramFolder() + "help\\mnemora.html", GetHelpPagePath());
}

TEST(HelpAbout, MissingHelpPageIsReportedWithItsPath)
{
    std::string folder = ProgramFolder() + "help";
    std::string page = folder + "\\mnemora.html";
    DeleteFileA(page.c_str());
    RemoveDirectoryA(folder.c_str());
    OwnerWindow owner;
    DialogDriver driver;
    driver.Press(IDOK);
    ShowHelp(owner.Window);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Error", driver.Seen()[0].Caption);
    EXPECT_EQ("ShellExecute of " + page + " failed, error code 2", driver.Seen()[0].Text);
}

namespace {

// Pages get a program of their own for the test, a command prompt that ends at once; the page
// type's former program comes back afterwards.
struct PageAssociation {
    char Former[256] = "";
    LONG FormerSize = sizeof Former;
    bool HadOne = false;
    PageAssociation()
    {
        HadOne = RegQueryValueA(HKEY_CLASSES_ROOT, ".html", Former, &FormerSize) == ERROR_SUCCESS;
        RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, "MnemoraTestPage", 0);
        const char* command = "cmd.exe /c exit";
        RegSetValueA(HKEY_CLASSES_ROOT, "MnemoraTestPage\\shell\\open\\command", REG_SZ, command,
                     static_cast<DWORD>(lstrlenA(command)));
    }
    ~PageAssociation()
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "MnemoraTestPage");
        if (HadOne)
            RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, Former, 0);
        else
            RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html");
    }
};

} // namespace

TEST(HelpAbout, PresentHelpPageOpensWithoutError)
{
    std::string folder = ProgramFolder() + "help";
    std::string page = folder + "\\mnemora.html";
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteBytes(page, "<html><body>help</body></html>");
    PageAssociation association;
    OwnerWindow owner;
    DialogDriver driver;
    driver.Press(IDOK);
    ShowHelp(owner.Window);
    PumpMessages(200);
    EXPECT_TRUE(driver.Seen().empty()) << driver.Seen()[0].Text;
    DeleteFileA(page.c_str());
    RemoveDirectoryA(folder.c_str());
}
