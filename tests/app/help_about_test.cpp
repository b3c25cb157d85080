// Help page and About box: the page's path, the error when it is missing, the About texts and
// every way of closing the box.
#include "app/help_about.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

std::string HelpFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1) + "help";
}

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

// Escape, Enter and the close box each close the box, which shows its title, version and a notice.
TEST(HelpAbout, AboutShowsItsTextsAndEveryWayCloses)
{
    std::vector<std::string> texts;
    for (int way = 0; way < 3; ++way) {
        DialogDriver driver;
        driver.Then([&, way](HWND dialog) {
            for (int id : {101, 102, 103, IDOK})
                texts.push_back(GetDialogItemText(dialog, id));
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
    ASSERT_EQ(12u, texts.size());
    EXPECT_EQ("Mnemora", texts[0]);
    EXPECT_EQ("Version 1.0", texts[1]);
    EXPECT_NE("", texts[2]);
    EXPECT_NE("Notice", texts[2]);
    EXPECT_EQ("Close", texts[3]);
}

// The page lies in the program's help folder; when it is missing the error box names it, when it
// is there it opens without a box.
TEST(HelpAbout, HelpPageOpensOrItsAbsenceIsReportedWithItsPath)
{
    std::string folder = HelpFolder(), page = folder + "\\mnemora.html";
    EXPECT_EQ(page, GetHelpPagePath());
    DeleteFileA(page.c_str());
    RemoveDirectoryA(folder.c_str());
    {
        DialogDriver driver;
        driver.Press(IDOK);
        ShowHelp(nullptr);
        ASSERT_EQ(1u, driver.Seen().size());
        EXPECT_EQ("Error: ShellExecute of " + page + " failed, error code 2",
                  driver.Seen()[0].Caption + ": " + driver.Seen()[0].Text);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteBytes(page, "<html><body>help</body></html>");
    PageAssociation association;
    DialogDriver driver;
    driver.Press(IDOK);
    ShowHelp(nullptr);
    PumpMessages(200);
    EXPECT_TRUE(driver.Seen().empty()) << driver.Seen()[0].Text;
    DeleteFileA(page.c_str());
    RemoveDirectoryA(folder.c_str());
}
