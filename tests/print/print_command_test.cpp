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

// Reads the dialog template "PRINTDLG" from the program's resources.
struct TemplateControl {
    int Id;
    std::wstring Class;
    std::wstring Text;
    DWORD Style;
    short X, Y, Cx, Cy;
};

const WORD* ReadTemplateString(const WORD* at, std::wstring& text)
{
    text.clear();
    if (*at == 0xFFFF) {
        text = L"#" + std::to_wstring(at[1]);
        return at + 2;
    }
    while (*at)
        text += static_cast<wchar_t>(*at++);
    return at + 1;
}

// A control class as its name, also where the template gives it as an ordinal.
std::wstring ClassName(std::wstring name)
{
    const std::pair<const wchar_t*, const wchar_t*> ordinals[] = {
        {L"#128", L"BUTTON"}, {L"#129", L"EDIT"}, {L"#130", L"STATIC"}, {L"#133", L"COMBOBOX"}};
    for (const auto& ordinal : ordinals)
        if (name == ordinal.first)
            return ordinal.second;
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(towupper(c));
    return name;
}

const WORD* AlignToDword(const WORD* at)
{
    return reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(at) + 3) & ~static_cast<ULONG_PTR>(3));
}

TEST(PrintDialogTemplate, IsTheCommonLayoutWithTheRoundedCornersCheckBox)
{
    HRSRC resource = FindResourceA(nullptr, "PRINTDLG", MAKEINTRESOURCEA(5)); // RT_DIALOG
    ASSERT_NE(nullptr, resource);
    const DLGTEMPLATE* dialog = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, resource)));
    EXPECT_EQ(0x90C800C4u, dialog->style);
    EXPECT_EQ(32, dialog->x);
    EXPECT_EQ(32, dialog->y);
    EXPECT_EQ(288, dialog->cx);
    EXPECT_EQ(186, dialog->cy);
    const WORD* at = reinterpret_cast<const WORD*>(dialog + 1);
    std::wstring menu, className, title, font;
    at = ReadTemplateString(at, menu);
    at = ReadTemplateString(at, className);
    at = ReadTemplateString(at, title);
    EXPECT_EQ(L"Print", title);
    WORD pointSize = *at++;
    at = ReadTemplateString(at, font);
    EXPECT_EQ(8, pointSize);
    EXPECT_EQ(L"MS Shell Dlg", font);

    const TemplateControl expected[] = {
        {1075, L"BUTTON", L"Printer", 0x50020007, 8, 4, 272, 84},
        {1093, L"STATIC", L"&Name:", 0x50020000, 16, 20, 36, 8},
        {1139, L"COMBOBOX", L"", 0x50230103, 52, 18, 152, 152},
        {1025, L"BUTTON", L"&Properties...", 0x50030000, 212, 17, 60, 14},
        {1095, L"STATIC", L"Status:", 0x50020080, 16, 36, 36, 10},
        {1099, L"STATIC", L"", 0x5002008C, 52, 36, 224, 10},
        {1094, L"STATIC", L"Type:", 0x50020080, 16, 48, 36, 10},
        {1098, L"STATIC", L"", 0x5002008C, 52, 48, 224, 10},
        {1097, L"STATIC", L"Where:", 0x50020080, 16, 60, 36, 10},
        {1101, L"STATIC", L"", 0x5002008C, 52, 60, 224, 10},
        {1096, L"STATIC", L"Comment:", 0x50020080, 16, 72, 36, 10},
        {1100, L"STATIC", L"", 0x5002008C, 52, 72, 156, 10},
        {1040, L"BUTTON", L"Print to fi&le", 0x50030003, 212, 72, 64, 12},
        {1072, L"BUTTON", L"Print range", 0x50020007, 8, 92, 144, 64},
        {1056, L"BUTTON", L"&All", 0x50020004, 16, 106, 64, 12},
        {1058, L"BUTTON", L"Pa&ges", 0x50000004, 16, 122, 36, 12},
        {1057, L"BUTTON", L"&Selection", 0x50000004, 16, 138, 64, 12},
        {1089, L"STATIC", L"&from:", 0x50020002, 52, 124, 20, 8},
        {1152, L"EDIT", L"", 0x50832000, 74, 122, 26, 12},
        {1090, L"STATIC", L"&to:", 0x50020002, 102, 124, 16, 8},
        {1153, L"EDIT", L"", 0x50832000, 120, 122, 26, 12},
        {1073, L"BUTTON", L"Copies", 0x50020007, 160, 92, 120, 64},
        {1092, L"STATIC", L"Number of &copies:", 0x50020000, 168, 108, 68, 8},
        {1154, L"EDIT", L"", 0x50832000, 240, 106, 32, 12},
        {1086, L"STATIC", L"", 0x50020203, 162, 124, 76, 28},
        {1041, L"BUTTON", L"C&ollate", 0x50030003, 240, 130, 36, 12},
        {1042, L"BUTTON", L"&Rounded corners", 0x50030003, 8, 164, 64, 12},
        {1, L"BUTTON", L"OK", 0x50030001, 180, 164, 48, 14},
        {2, L"BUTTON", L"Cancel", 0x50010000, 232, 164, 48, 14},
        {1038, L"BUTTON", L"&Help", 0x50010000, 8, 164, 48, 14},
    };
    ASSERT_EQ(sizeof expected / sizeof expected[0], dialog->cdit);
    for (const TemplateControl& want : expected) {
        at = AlignToDword(at);
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(at);
        at = reinterpret_cast<const WORD*>(item + 1);
        std::wstring itemClass, text;
        at = ReadTemplateString(at, itemClass);
        at = ReadTemplateString(at, text);
        WORD extra = *at++;
        at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at) + extra);
        SCOPED_TRACE(want.Id);
        EXPECT_EQ(want.Id, item->id);
        EXPECT_TRUE(want.Class == ClassName(itemClass));
        EXPECT_TRUE(want.Text == text);
        EXPECT_EQ(want.Style, item->style);
        EXPECT_EQ(want.X, item->x);
        EXPECT_EQ(want.Y, item->y);
        EXPECT_EQ(want.Cx, item->cx);
        EXPECT_EQ(want.Cy, item->cy);
    }
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

TEST_F(PrintCommandTest, MetafileErrorsNameTheFileInTheReport)
{
    REQUIRE_PRINTER();
    std::string metafile = folder + "\\missing.emf";
    ASSERT_TRUE(SaveCardSet("Metafile", {MakePair("", metafile, "text", "")}));
    OpenMainWindow("Metafile");
    EXPECT_EQ("GetEnhMetaFile failed, filename " + metafile + "\n", PrintAndReadReport(mainWindow));
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
