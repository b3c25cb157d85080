// The print command: which cards are printed, the print dialog with its "Rounded corners" check
// box, the "Error(s)" report, and what printing leaves behind.
#include "print/print_command.h"

#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "print_test_support.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

namespace {

CardPair MakePair(const std::string& text1, const std::string& picture1, const std::string& text2 = "",
                  const std::string& picture2 = "")
{
    CardPair pair;
    pair.Text1 = text1;
    pair.PictureFileName1 = picture1;
    pair.Text2 = text2;
    pair.PictureFileName2 = picture2;
    return pair;
}

bool SameItems(const PrintList& expected, const PrintList& actual)
{
    if (expected.size() != actual.size())
        return false;
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i].Text != actual[i].Text || expected[i].PictureFileName != actual[i].PictureFileName)
            return false;
    return true;
}

TEST(PrintList, PairsArePrintedWholeOrNotAtAll)
{
    CardPair onlySound = MakePair("sun", "sun.png");
    onlySound.SoundFileName2 = "sun.wav";
    CardPair onlyVideo = MakePair("moon", "");
    onlyVideo.VideoFileName2 = "moon.avi";
    CardPair noFirst = MakePair("", "", "second", "second.png");
    noFirst.SoundFileName1 = "first.wav";
    CardSet cards = {
        MakePair("one", "", "two", ""),            // both cards
        MakePair("same", "same.png"),              // empty second card: the first twice
        onlySound,                                 // second card cannot be printed: neither is
        onlyVideo,                                 // the same with a video
        noFirst,                                   // first card cannot be printed: neither is
        MakePair("", "left.png", "", "right.png"), // pictures alone are printed
    };
    PrintList expected = {{"one", ""},          {"two", ""},      {"same", "same.png"},
                          {"same", "same.png"}, {"", "left.png"}, {"", "right.png"}};
    PrintList actual = BuildPrintList(cards);
    EXPECT_TRUE(SameItems(expected, actual));
    EXPECT_TRUE(BuildPrintList(CardSet()).empty());
}

// The command run from a main window whose bar has the named card set selected.
class PrintCommandTest : public testing::Test {
  protected:
    void SetUp() override
    {
        ResetUserData();
        folder = MakeScratchFolder("print-command");
    }
    void TearDown() override
    {
        if (mainWindow)
            DestroyWindow(mainWindow);
        PumpMessages();
        ResetUserData();
    }

    void OpenMainWindow(const std::string& selected)
    {
        mainWindow = CreateMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(nullptr, mainWindow);
        if (!selected.empty())
            SendMessageA(GetCardSetCombo(mainWindow), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(selected.c_str()));
    }

    std::string folder;
    HWND mainWindow = nullptr;
};

TEST_F(PrintCommandTest, NothingSelectedOnlySaysSo)
{
    OpenMainWindow("");
    DialogDriver driver;
    driver.Press(IDOK);
    PrintCardSet(mainWindow);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Error", driver.Seen()[0].Caption);
    EXPECT_EQ("No card set selected", driver.Seen()[0].Text);
}

TEST_F(PrintCommandTest, DialogHookWritesTheRoundedCornersFlag)
{
    REQUIRE_PRINTER();
    ASSERT_TRUE(SaveCardSet("Hook", {MakePair("first", "", "second", "")}));
    OpenMainWindow("Hook");
    std::vector<std::string> before = ListPrintedFiles();
    int flagBefore = -1, flagAfter = -1;
    bool checkBoxShown = false, helpHidden = false, startsUnchecked = false;
    std::string checkBoxText;
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        int* flag = static_cast<int*>(GetPropA(dialog, "RoundedCornersPtr"));
        if (flag)
            flagBefore = *flag;
        checkBoxShown = IsWindowVisible(GetDlgItem(dialog, 1042)) != FALSE;
        helpHidden = !IsWindowVisible(GetDlgItem(dialog, 1038));
        startsUnchecked = IsDlgButtonChecked(dialog, 1042) == BST_UNCHECKED;
        checkBoxText = GetDialogItemText(dialog, 1042);
        CheckDlgButton(dialog, 1042, BST_CHECKED);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        // The dialog has not closed yet, so the flag it points to still lives.
        if (flag)
            flagAfter = *flag;
    });
    PrintCardSet(mainWindow);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Print", driver.Seen()[0].Caption);
    EXPECT_EQ(0, flagBefore);
    EXPECT_EQ(1, flagAfter);
    EXPECT_TRUE(checkBoxShown);
    EXPECT_TRUE(helpHidden);
    EXPECT_TRUE(startsUnchecked);
    EXPECT_EQ("&Rounded corners", checkBoxText);
    if (getenv("MNEMORA_PRINT_OUTPUT")) {
        std::string printed = WaitForPrintedFile(before);
        ASSERT_FALSE(printed.empty());
        EXPECT_EQ(1, CountPdfPages(printed));
    }
}

TEST_F(PrintCommandTest, CancelPrintsAndReportsNothing)
{
    REQUIRE_PRINTER();
    ASSERT_TRUE(SaveCardSet("Cancel", {MakePair("", folder + "\\missing.png")}));
    OpenMainWindow("Cancel");
    std::vector<std::string> before = ListPrintedFiles();
    DialogDriver driver;
    driver.Press(IDCANCEL);
    driver.Press(IDOK); // a report, if one came
    PrintCardSet(mainWindow);
    PumpMessages(300);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Print", driver.Seen()[0].Caption);
    EXPECT_TRUE(WaitForPrintedFile(before, 2000).empty());
}

// Prints the named card set through the dialog and returns the report's text ("" for none).
std::string PrintAndReadReport(HWND mainWindow)
{
    DialogDriver driver;
    driver.Press(IDOK);
    driver.Press(IDOK);
    PrintCardSet(mainWindow);
    PumpMessages(200);
    EXPECT_GE(driver.Seen().size(), 1u);
    if (driver.Seen().size() < 2)
        return "";
    EXPECT_EQ("Error(s)", driver.Seen()[1].Caption);
    return driver.Seen()[1].Text;
}

TEST_F(PrintCommandTest, ReportListsSixErrorsThenAnEllipsis)
{
    REQUIRE_PRINTER();
    std::string missing = folder + "\\missing.png";
    std::string metafile = folder + "\\missing.emf";
    // Each pair with an empty second card prints its failing picture twice.
    CardSet seven = {MakePair("a", missing), MakePair("b", missing), MakePair("c", missing),
                     MakePair("d", metafile, "text only", "")};
    CardSet six = {MakePair("a", missing), MakePair("b", missing), MakePair("c", missing)};
    ASSERT_TRUE(SaveCardSet("Seven", seven));
    ASSERT_TRUE(SaveCardSet("Six", six));
    ASSERT_TRUE(SaveCardSet("None", {MakePair("fine", "")}));
    std::string line = "CreateDecoderFromFilename failed\n";

    OpenMainWindow("Seven");
    EXPECT_EQ(line + line + line + line + line + line + "...", PrintAndReadReport(mainWindow));

    SendMessageA(GetCardSetCombo(mainWindow), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>("Six"));
    EXPECT_EQ(line + line + line + line + line + line, PrintAndReadReport(mainWindow));

    SendMessageA(GetCardSetCombo(mainWindow), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>("None"));
    EXPECT_EQ("", PrintAndReadReport(mainWindow));
}

TEST_F(PrintCommandTest, PrintingFortyCardsTwiceLeavesNoObjectsBehind)
{
    REQUIRE_PRINTER();
    std::string bitmap = folder + "\\green.bmp";
    std::string metafile = folder + "\\black.emf";
    WritePicture(bitmap, PictureFormat::Bmp, 60, 40, Solid(RGB(0, 160, 0)));
    WriteEnhancedMetafile(metafile, 300, 200, RGB(0, 0, 0));
    CardSet forty;
    for (int i = 0; i < 20; ++i)
        forty.push_back(
            MakePair("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Tahoma;}}\\f0\\b card " + std::to_string(i) + "\\b0}",
                     bitmap, "plain " + std::to_string(i), metafile));
    ASSERT_TRUE(SaveCardSet("Forty", forty));
    ASSERT_EQ(40u, BuildPrintList(forty).size());
    OpenMainWindow("Forty");

    // The first jobs load the printer driver, the fonts and the dialog's resources for good (the
    // count rises once, by a few objects, on the second job and then stays).
    EXPECT_EQ("", PrintAndReadReport(mainWindow));
    EXPECT_EQ("", PrintAndReadReport(mainWindow));
    int gdi = CountGdiObjects();
    int user = CountUserObjects();
    EXPECT_EQ("", PrintAndReadReport(mainWindow));
    EXPECT_EQ("", PrintAndReadReport(mainWindow));
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
}

} // namespace
