// The print command: its dialog with the "Rounded corners" check box, what the user is told.
#include "print/print_command.h"

#include "app/card_set_bar.h"
#include "app/main_window.h"
#include "print_test_support.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

namespace {

BOOL CALLBACK CancelJob(HDC, int)
{
    return FALSE;
}

// Mended: a job whose start fails (no printer's context; a printer's job cancelled) is aborted,
// nothing drawn, an "Error" box names card set, call and error code. (Wine's driver writes a job
// only at its end: no job fails midway here.)
TEST(PrintReport, AFailedJobIsToldAloneElseTheFailedPictures)
{
    char printerName[256] = "";
    DWORD size = sizeof printerName;
    HDC printer =
        GetDefaultPrinterA(printerName, &size) ? CreateDCA("WINSPOOL", printerName, nullptr, nullptr) : nullptr;
    SetAbortProc(printer, CancelJob);
    std::string line = "CreateDecoderFromFilename failed", six, failure;
    for (HDC dc : {CreateCompatibleDC(nullptr), CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr), printer}) {
        PrintErrorList errors;
        failure = dc ? PrintCards("Birds", dc, PrintList(5, {"text", "missing.png"}), 0, errors) : failure;
        EXPECT_EQ(0u, failure.find("StartDoc of card set \"Birds\" failed, error code ")) << failure;
        EXPECT_TRUE(errors.empty()) << "cards were drawn after the failed start";
        GetObjectType(dc) == OBJ_ENHMETADC ? DeleteEnhMetaFile(CloseEnhMetaFile(dc)) : DeleteDC(dc);
    }
    // Otherwise failed pictures come in one "Error(s)" box, at most six lines, then "...".
    for (int i = 0; i < 6; ++i)
        six += line + "\n";
    auto told = [&line](const std::string& jobFailure, size_t errors) {
        DialogDriver driver;
        driver.Press(IDOK);
        ReportPrintResult(nullptr, jobFailure, PrintErrorList(errors, line));
        return driver.Seen().empty() ? "" : driver.Seen()[0].Caption + ": " + driver.Seen()[0].Text;
    };
    EXPECT_EQ("", told("", 0));
    EXPECT_EQ("Error(s): " + six, told("", 6));
    EXPECT_EQ("Error(s): " + six + "...", told("", 7));
    EXPECT_EQ("Error: " + failure, told(failure, 7));
}

// Runs the command on the card set selected by name; `inDialog` acts on the print dialog and ends
// it (OK unless given). "Caption: text" of each dialog and box that came.
std::string PrintCommand(HWND window, const char* name, const std::function<void(HWND)>& inDialog = nullptr)
{
    if (name)
        SendMessageA(GetCardSetCombo(window), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    DialogDriver driver;
    driver.Then(inDialog ? inDialog : [](HWND dialog) { PressDialogButton(dialog, IDOK); });
    driver.Press(IDOK);
    PrintCardSet(window);
    PumpMessages(200);
    std::string told;
    for (const SeenDialog& seen : driver.Seen())
        told += (told.empty() ? "" : "; ") + seen.Caption + (seen.Text.empty() ? "" : ": " + seen.Text);
    return told;
}

// Through the real print dialog with its template and hook: the check box starts unchecked, its
// state is written to the flag on OK; cancel prints and tells nothing; picture errors come in the
// report; printing forty cards again leaves no objects behind.
TEST(PrintCommand, ThroughThePrintDialog)
{
    ResetUserData();
    HWND window = OpenMainWindow();
    EXPECT_EQ("Error: No card set selected", PrintCommand(window, nullptr));
    REQUIRE_PRINTER();

    std::string folder = MakeScratchFolder("print-command"), bitmap = folder + "\\green.bmp",
                metafile = folder + "\\m.emf";
    WritePicture(bitmap, PictureFormat::Bmp, 60, 40, [](int, int) { return RGB(0, 160, 0); });
    WriteEnhancedMetafile(metafile, 300, 200, RGB(0, 0, 0));
    CardSet forty;
    for (int i = 0; i < 20; ++i)
        forty.push_back(
            {"{\\rtf1\\ansi\\b card " + std::to_string(i) + "\\b0}", "plain", bitmap, metafile, "", "", "", ""});
    ASSERT_TRUE(SaveCardSet("Forty", forty) &&
                SaveCardSet("Missing", {{"", "text", "missing.png", "missing.png", "", "", "", ""}}));
    FillCardSetCombo(window);

    std::string flags; // the flag, the check box as the dialog opens, the flag after OK
    EXPECT_EQ("Print", PrintCommand(window, "Forty", [&](HWND dialog) {
                  int* flag = static_cast<int*>(GetPropA(dialog, "RoundedCornersPtr"));
                  flags = std::to_string(flag ? *flag : -1) + std::to_string(IsDlgButtonChecked(dialog, 1042));
                  CheckDlgButton(dialog, 1042, BST_CHECKED);
                  SendMessageA(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
                  flags += std::to_string(flag ? *flag : -1); // the dialog has not closed: the flag still lives
              }));
    EXPECT_EQ("001", flags);
    EXPECT_EQ("Print", PrintCommand(window, "Missing", [](HWND dialog) { PressDialogButton(dialog, IDCANCEL); }));
    EXPECT_EQ("Print; Error(s): CreateDecoderFromFilename failed\nCreateDecoderFromFilename failed\n",
              PrintCommand(window, "Missing"));

    // The first jobs load the printer driver, fonts and dialog resources for good.
    int gdi = 0, user = 0;
    for (int job = 0; job < 4; ++job) {
        if (job == 2)
            gdi = CountGdiObjects(), user = CountUserObjects();
        EXPECT_EQ("Print", PrintCommand(window, "Forty"));
    }
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(user, CountUserObjects());
    DestroyMainWindow(window);
    ResetUserData();
}

} // namespace
