// Help page and About box: the page's path, the error when it is missing, and every way of closing
// the box.
#include "app/help_about.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// Pages get a program of their own for the test, a command prompt that ends at once; the page
// type's former program comes back afterwards.
struct PageAssociation {
    char Former[256] = "";
    LONG FormerSize = sizeof Former;
    bool HadOne = RegQueryValueA(HKEY_CLASSES_ROOT, ".html", Former, &FormerSize) == ERROR_SUCCESS;
    PageAssociation()
    {
        RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, "MnemoraTestPage", 0);
        RegSetValueA(HKEY_CLASSES_ROOT, "MnemoraTestPage\\shell\\open\\command", REG_SZ, "cmd.exe /c exit", 0);
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

// Escape, Enter and the close box each close the box, which shows a notice.
TEST(HelpAbout, AboutShowsANoticeAndEveryWayCloses)
{
    for (int way = 0; way < 3; ++way) {
        DialogDriver driver;
        driver.Then([way](HWND dialog) {
            EXPECT_NE("", GetDialogItemText(dialog, 103));
            if (way < 2)
                PostMessageA(dialog, WM_COMMAND, way == 0 ? IDCANCEL : IDOK, 0); // as Escape or Enter sends
            else
                PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        ShowAboutDialog(nullptr);
        EXPECT_TRUE(driver.Done()) << "way " << way;
        ASSERT_EQ(1u, driver.Seen().size()) << "way " << way;
        EXPECT_EQ("About Mnemora", driver.Seen()[0].Caption);
    }
}

// The page lies in the program's help folder; when it is missing the error box names it, when it
// is there it opens without a box.
TEST(HelpAbout, HelpPageOpensOrItsAbsenceIsReportedWithItsPath)
{
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder = program;
    folder.replace(folder.find_last_of('\\'), std::string::npos, "\\help");
    std::string page = folder + "\\mnemora.html";
    EXPECT_EQ(page, GetHelpPagePath());
    DeleteFileA(page.c_str());
    RemoveDirectoryA(folder.c_str());
    auto showHelp = [] {
        DialogDriver driver;
        driver.Press(IDOK);
        ShowHelp(nullptr);
        PumpMessages(200);
        return driver.Seen();
    };
    std::vector<SeenDialog> seen = showHelp();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Error: ShellExecute of " + page + " failed, error code 2", seen[0].Caption + ": " + seen[0].Text);
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteBytes(page, "<html><body>help</body></html>");
    {
        PageAssociation association;
        EXPECT_EQ(0u, showHelp().size());
    }
    DeleteFileA(page.c_str());
    RemoveDirectoryA(folder.c_str());
}
