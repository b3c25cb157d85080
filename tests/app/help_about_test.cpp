// Help page and About box: the page's path, the error when it is missing, every way to close.
#include "app/help_about.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

// Escape, Enter and the close box each close the box, which shows a notice.
TEST(HelpAbout, AboutShowsANoticeAndEveryWayCloses)
{
    for (UINT way : {IDCANCEL, IDOK, 0}) {
        DialogDriver driver;
        driver.Then([way](HWND dialog) {
            EXPECT_NE("", GetDialogItemText(dialog, 103));
            PostMessageA(dialog, way ? WM_COMMAND : WM_SYSCOMMAND, way ? way : SC_CLOSE, 0);
        });
        ShowAboutDialog(nullptr);
        EXPECT_TRUE(driver.Done()) << "way " << way;
        ASSERT_EQ(1u, driver.Seen().size()) << "way " << way;
        EXPECT_EQ("About Mnemora", driver.Seen()[0].Caption);
    }
}

// The page lies in the program's help folder; when it is missing the error box names it, when it
// is there it opens (here with a program of the test's own for pages) without a box.
TEST(HelpAbout, HelpPageOpensOrItsAbsenceIsReportedWithItsPath)
{
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder = program;
    folder.replace(folder.find_last_of('\\'), std::string::npos, "\\help");
    std::string page = folder + "\\mnemora.html";
    EXPECT_EQ(page, GetHelpPagePath());
    auto showHelp = [] {
        DialogDriver driver;
        driver.Press(IDOK);
        ShowHelp(nullptr);
        PumpMessages(200);
        return driver.Seen().empty() ? "" : driver.Seen()[0].Caption + ": " + driver.Seen()[0].Text;
    };
    DeleteFileA(page.c_str());
    RemoveDirectoryA(folder.c_str());
    EXPECT_EQ("Error: ShellExecute of " + page + " failed, error code 2", showHelp());
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteBytes(page, "<html><body>help</body></html>");
    RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, "MnemoraTestPage", 0);
    RegSetValueA(HKEY_CLASSES_ROOT, "MnemoraTestPage\\shell\\open\\command", REG_SZ, "cmd.exe /c exit", 0);
    EXPECT_EQ("", showHelp());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "MnemoraTestPage");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html"); // the test prefix had no page program of its own
    DeleteFileA(page.c_str());
    RemoveDirectoryA(folder.c_str());
}
