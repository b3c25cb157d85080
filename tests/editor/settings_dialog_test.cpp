// Settings dialog and colour swatch: refused durations, what OK and Cancel store, the colour
// chooser and the swatch's painting.
#include "app/settings.h"
#include "editor/color_swatch.h"
#include "editor/editor_test_support.h"
#include "editor/settings_dialog.h"
#include "res/dialog_ids.h"

// The dialog opens on the defaults with a grey swatch. Durations that are no number, and those
// above 60000 ms (mended: days were accepted and froze the game), are refused with their message,
// the focus on the field and nothing stored; 0 and 60000 are kept. The chooser starts on the
// swatch's colour; its choice is stored by OK only; a cancelled chooser changes nothing.
TEST(SettingsDialog, RefusesUnusableDurationsAndStoresByOkOnly)
{
    ResetUserData();
    const std::vector<std::string> refused = {"-5", "abc", "", "4294967296", "60001", "2147483648"};
    const COLORREF chosen = RGB(12, 200, 99), grey = RGB(192, 192, 192);
    std::vector<COLORREF> starts;
    for (std::string kept : {"0", "60000"}) {
        DialogDriver driver;
        std::function<void(HWND, size_t)> enter = [&](HWND settings, size_t i) {
            if (i > 0) {
                EXPECT_EQ(GetDlgItem(settings, IDC_SETTINGS_DURATION), GetFocus()) << refused[i - 1];
                EXPECT_EQ("", ReadSetting("DisplayTime"));
            }
            ReplaceFieldText(settings, IDC_SETTINGS_DURATION, i < refused.size() ? refused[i] : kept);
            PressDialogButton(settings, IDOK);
            if (i < refused.size())
                Answer(driver, IDOK, [&, i](HWND settings) { enter(settings, i + 1); });
        };
        driver.Then([&](HWND settings) {
            EXPECT_EQ("1000", GetDialogItemText(settings, IDC_SETTINGS_DURATION));
            Pixels swatch = CaptureClient(GetDlgItem(settings, IDC_SETTINGS_SWATCH));
            EXPECT_EQ(swatch.Width * swatch.Height, swatch.Count(grey));
            EXPECT_GT(swatch.Width, 0);
            enter(settings, 0);
        });
        EXPECT_EQ(1, ShowSettingsDialog(nullptr));
        EXPECT_EQ(kept, ReadSetting("DisplayTime"));
        EXPECT_EQ("192", ReadSetting("ButtonBackgroundColorR"));
        std::vector<std::string> expected(4, "Error: Duration is not a number");
        expected.resize(6, "Error: Duration must not be more than 60000 ms");
        EXPECT_EQ(expected, SeenTexts(driver));
        ResetUserData();
    }
    // Chooser OK then dialog Cancel, chooser OK then dialog OK, chooser Cancel then dialog Cancel.
    const int buttons[][2] = {{IDOK, IDCANCEL}, {IDOK, IDOK}, {IDCANCEL, IDCANCEL}};
    const COLORREF stored[] = {grey, chosen, chosen};
    for (int i = 0; i < 3; ++i) {
        DialogDriver driver;
        driver.Then(Pressing(IDC_SETTINGS_CHOOSE));
        Answer(
            driver,
            [&, i](HWND chooser) {
                starts.push_back(GetChooserColor(chooser));
                SetChooserColor(chooser, i == 2 ? RGB(50, 60, 70) : chosen);
                PressDialogButton(chooser, buttons[i][0]);
            },
            [&, i](HWND settings) {
                EXPECT_EQ(i == 2 ? stored[i] : chosen, GetSwatchColor(GetDlgItem(settings, IDC_SETTINGS_SWATCH)));
                PressDialogButton(settings, buttons[i][1]);
            });
        EXPECT_EQ(buttons[i][1] == IDOK ? 1 : 0, ShowSettingsDialog(nullptr));
        EXPECT_EQ(stored[i], GetButtonBackgroundColor()) << i;
    }
    EXPECT_EQ((std::vector<COLORREF>{grey, grey, chosen}), starts);
    ResetUserData();
}

// A swatch never given a colour, and a disabled one, show the button face.
TEST(ColorSwatch, PaintsButtonFaceWithoutColourOrWhenDisabled)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HWND swatch = CreateWindowExA(0, "MnemoraColorClass", "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), red = RGB(255, 0, 0);
    std::vector<int> counts = {CaptureClient(swatch).Count(face)};
    SetSwatchColor(swatch, red);
    counts.push_back(CaptureClient(swatch).Count(red));
    EnableWindow(swatch, FALSE);
    counts.push_back(CaptureClient(swatch).Count(face));
    EnableWindow(swatch, TRUE);
    counts.push_back(CaptureClient(swatch).Count(red));
    ClearSwatchColor(swatch);
    counts.push_back(CaptureClient(swatch).Count(face));
    EXPECT_EQ(std::vector<int>(5, 400), counts);
    DestroyWindow(parent);
}
