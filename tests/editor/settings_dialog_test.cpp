// Settings dialog and colour swatch: defaults, refused durations, what OK and Cancel store, the
// colour chooser and the swatch's painting.
#include "app/settings.h"
#include "app/startup.h"
#include "editor/color_swatch.h"
#include "editor/editor_test_support.h"
#include "editor/settings_dialog.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include <vector>

namespace {

const int DurationId = 101;
const int SwatchId = 102;
const int ChooseId = 103;

class SettingsDialog : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override { ResetUserData(); }
    OwnerWindow Owner;
};

} // namespace

TEST_F(SettingsDialog, OpensWithTheDefaultsWhenNothingIsStored)
{
    DialogDriver driver;
    std::string duration;
    COLORREF color = 0;
    bool hasColor = false;
    Pixels swatch;
    driver.Then([&](HWND dialog) {
        duration = GetDialogItemText(dialog, DurationId);
        color = GetSwatchColor(GetDlgItem(dialog, SwatchId));
        hasColor = SwatchHasColor(GetDlgItem(dialog, SwatchId));
        swatch = CaptureClient(GetDlgItem(dialog, SwatchId));
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, ShowSettingsDialog(Owner.Window));
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Settings", driver.Seen()[0].Caption);
    EXPECT_EQ("1000", duration);
    EXPECT_TRUE(hasColor);
    EXPECT_EQ(RGB(192, 192, 192), color);
    ASSERT_GT(swatch.Width, 0);
    EXPECT_EQ(swatch.Width * swatch.Height, swatch.Count(RGB(192, 192, 192)));
}

TEST_F(SettingsDialog, RefusesUnusableDurationsThenStoresZero)
{
    const std::vector<std::string> refused = {"-5", "abc", "", "4294967295", "2147483648", "99999999999"};
    DialogDriver driver;
    HWND settings = nullptr;
    std::vector<bool> focusOnField;
    std::vector<std::string> storedMeanwhile;
    std::function<void(size_t)> attempt = [&](size_t i) {
        ReplaceFieldText(settings, DurationId, i < refused.size() ? refused[i] : "0");
        PressDialogButton(settings, IDOK);
        if (i == refused.size())
            return;
        driver.Then([&, i](HWND box) {
            PressDialogButton(box, IDOK);
            RunLater([&, i] {
                focusOnField.push_back(GetFocus() == GetDlgItem(settings, DurationId));
                storedMeanwhile.push_back(ReadSetting("DisplayTime"));
                attempt(i + 1);
            });
        });
    };
    driver.Then([&](HWND dialog) {
        settings = dialog;
        attempt(0);
    });
    EXPECT_EQ(1, ShowSettingsDialog(Owner.Window));
    ASSERT_EQ(refused.size() + 1, driver.Seen().size());
    for (size_t i = 0; i < refused.size(); ++i) {
        EXPECT_EQ("Error", driver.Seen()[i + 1].Caption) << refused[i];
        EXPECT_EQ("Duration is not a number", driver.Seen()[i + 1].Text) << refused[i];
        EXPECT_TRUE(focusOnField[i]) << refused[i];
        EXPECT_EQ("", storedMeanwhile[i]) << refused[i];
    }
    EXPECT_EQ("0", ReadSetting("DisplayTime"));
    EXPECT_EQ(0, GetDisplayTime());
    EXPECT_EQ("192", ReadSetting("ButtonBackgroundColorR"));
}

TEST_F(SettingsDialog, LargestStorableDurationIsKept)
{
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        ReplaceFieldText(dialog, DurationId, "2147483647");
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(1, ShowSettingsDialog(Owner.Window));
    EXPECT_EQ(2147483647, GetDisplayTime());
}

TEST_F(SettingsDialog, ChosenColourIsStoredByOkOnly)
{
    const COLORREF chosen = RGB(12, 200, 99);
    {
        DialogDriver driver;
        HWND settings = nullptr;
        COLORREF pending = 0;
        driver.Then([&](HWND dialog) {
            settings = dialog;
            PressDialogButton(dialog, ChooseId);
        });
        driver.Then([&](HWND chooser) {
            SetChooserColor(chooser, chosen, false);
            PressDialogButton(chooser, IDOK);
            RunLater([&] {
                pending = GetSwatchColor(GetDlgItem(settings, SwatchId));
                PressDialogButton(settings, IDCANCEL);
            });
        });
        EXPECT_EQ(0, ShowSettingsDialog(Owner.Window));
        EXPECT_EQ(chosen, pending);
        EXPECT_EQ(RGB(192, 192, 192), GetButtonBackgroundColor());
        EXPECT_EQ("", ReadSetting("ButtonBackgroundColorR"));
    }
    {
        DialogDriver driver;
        HWND settings = nullptr;
        driver.Then([&](HWND dialog) {
            settings = dialog;
            PressDialogButton(dialog, ChooseId);
        });
        driver.Then([&](HWND chooser) {
            SetChooserColor(chooser, chosen, false);
            PressDialogButton(chooser, IDOK);
            RunLater([&] { PressDialogButton(settings, IDOK); });
        });
        EXPECT_EQ(1, ShowSettingsDialog(Owner.Window));
        EXPECT_EQ(chosen, GetButtonBackgroundColor());
        EXPECT_EQ("1000", ReadSetting("DisplayTime"));
    }
    {
        DialogDriver driver;
        COLORREF shown = 0;
        driver.Then([&](HWND dialog) {
            shown = GetSwatchColor(GetDlgItem(dialog, SwatchId));
            PressDialogButton(dialog, IDCANCEL);
        });
        ShowSettingsDialog(Owner.Window);
        EXPECT_EQ(chosen, shown);
    }
}

TEST_F(SettingsDialog, ChooserStartsOnTheSwatchColourAndCancelKeepsIt)
{
    SetButtonBackgroundColor(RGB(1, 2, 3));
    ChooserStart start;
    WatchColorChooser(&start);
    DialogDriver driver;
    HWND settings = nullptr;
    COLORREF after = 0;
    driver.Then([&](HWND dialog) {
        settings = dialog;
        PressDialogButton(dialog, ChooseId);
    });
    driver.Then([&](HWND chooser) {
        SetChooserColor(chooser, RGB(50, 60, 70), false);
        PressDialogButton(chooser, IDCANCEL);
        RunLater([&] {
            after = GetSwatchColor(GetDlgItem(settings, SwatchId));
            PressDialogButton(settings, IDCANCEL);
        });
    });
    ShowSettingsDialog(Owner.Window);
    StopWatchingColorChooser();
    ASSERT_TRUE(start.Seen);
    EXPECT_EQ(static_cast<DWORD>(CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR), start.Flags & 0x1FF);
    EXPECT_EQ(RGB(1, 2, 3), start.Color);
    EXPECT_EQ(RGB(1, 2, 3), after);
}

// A swatch never given a colour, and a disabled one, show the button face.
TEST(ColorSwatch, PaintsButtonFaceWithoutColourOrWhenDisabled)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HWND swatch = CreateWindowExA(0, "MnemoraColorClass", "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, swatch);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_FALSE(SwatchHasColor(swatch));
    EXPECT_EQ(0u, GetSwatchColor(swatch));
    EXPECT_EQ(400, CaptureClient(swatch).Count(face));
    SetSwatchColor(swatch, RGB(255, 0, 0));
    EXPECT_EQ(400, CaptureClient(swatch).Count(RGB(255, 0, 0)));
    EnableWindow(swatch, FALSE);
    EXPECT_EQ(400, CaptureClient(swatch).Count(face));
    EnableWindow(swatch, TRUE);
    EXPECT_EQ(400, CaptureClient(swatch).Count(RGB(255, 0, 0)));
    ClearSwatchColor(swatch);
    EXPECT_EQ(400, CaptureClient(swatch).Count(face));
    DestroyWindow(parent);
}
