// Settings dialog with its colour swatch.
#include "app/settings.h"
#include "editor/color_swatch.h"
#include "editor/editor_test_support.h"
#include "editor/settings_dialog.h"
#include "res/dialog_ids.h"

// Durations refused (not a number, above 60000 ms) and kept; colours chosen stored by OK only; the
// swatch shows its colour, and the button face when disabled or without a colour.
TEST(SettingsDialog, RefusesUnusableDurationsAndStoresByOkOnly)
{
    ResetUserData();
    const std::vector<std::string> refused = {"-5", "abc", "", "4294967296", "60001", "2147483648"};
    const COLORREF chosen = RGB(12, 200, 99), grey = RGB(192, 192, 192);
    auto filled = [](HWND swatch, COLORREF color) { // the whole swatch
        Pixels pixels = CaptureClient(swatch);
        return pixels.Width > 0 && pixels.Count(color) == pixels.Width * pixels.Height;
    };
    DialogDriver driver;
    driver.Then([&](HWND settings) {
        EXPECT_EQ("1000", GetDialogItemText(settings, IDC_SETTINGS_DURATION));
        EXPECT_TRUE(filled(GetDlgItem(settings, IDC_SETTINGS_SWATCH), grey));
        TypeText(settings, refused[0], IDC_SETTINGS_DURATION);
        PressDialogButton(settings, IDOK);
    });
    for (size_t i = 0; i < refused.size(); ++i) // each refusal answered; the field kept, nothing stored
        driver.Then(Pressing(IDOK, [&, i](HWND settings) {
            EXPECT_EQ(GetDlgItem(settings, IDC_SETTINGS_DURATION), GetFocus()) << refused[i];
            EXPECT_EQ("", ReadSetting("DisplayTime"));
            TypeText(settings, i + 1 < refused.size() ? refused[i + 1] : "60000", IDC_SETTINGS_DURATION);
            PressDialogButton(settings, IDOK);
        }));
    EXPECT_EQ(1, ShowSettingsDialog(nullptr));
    std::vector<std::string> expected(4, "Error: Duration is not a number");
    expected.resize(6, "Error: Duration must not be more than 60000 ms");
    EXPECT_EQ(expected, driver.Told(1));
    EXPECT_EQ("60000|192", ReadSetting("DisplayTime") + "|" + ReadSetting("ButtonBackgroundColorR"));
    // Chooser OK then dialog Cancel; chooser OK then dialog OK; chooser Cancel then dialog Cancel.
    const int buttons[][2] = {{IDOK, IDCANCEL}, {IDOK, IDOK}, {IDCANCEL, IDCANCEL}};
    const COLORREF starts[] = {grey, grey, chosen}, stored[] = {grey, chosen, chosen};
    for (int i = 0; i < 3; ++i) {
        driver.Then(Pressing(IDC_SETTINGS_CHOOSE));
        driver.Then(Closing(
            [&, i](HWND chooser) {
                EXPECT_EQ(starts[i], ChooserColor(chooser));
                ChooserColor(chooser, i == 2 ? RGB(50, 60, 70) : chosen);
                PressDialogButton(chooser, buttons[i][0]);
            },
            [&, i](HWND settings) {
                HWND swatch = GetDlgItem(settings, IDC_SETTINGS_SWATCH);
                EXPECT_TRUE(filled(swatch, chosen));
                if (i == 2) { // disabled, then without a colour
                    EnableWindow(swatch, FALSE);
                    EXPECT_TRUE(filled(swatch, GetSysColor(COLOR_BTNFACE)));
                    EnableWindow(swatch, TRUE);
                    ClearSwatchColor(swatch);
                    EXPECT_TRUE(filled(swatch, GetSysColor(COLOR_BTNFACE)));
                }
                TypeText(settings, "0", IDC_SETTINGS_DURATION);
                PressDialogButton(settings, buttons[i][1]);
            }));
        EXPECT_EQ(buttons[i][1] == IDOK ? 1 : 0, ShowSettingsDialog(nullptr));
        EXPECT_EQ(stored[i], GetButtonBackgroundColor()) << i;
    }
    EXPECT_EQ("0", ReadSetting("DisplayTime"));
    ResetUserData();
}
