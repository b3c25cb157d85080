// Settings dialog and colour swatch: defaults, refused durations, what OK and Cancel store, the
// colour chooser and the swatch's painting.
#include "app/settings.h"
#include "editor/color_swatch.h"
#include "editor/editor_test_support.h"
#include "editor/settings_dialog.h"

namespace {

const int DurationId = 101;
const int SwatchId = 102;

class SettingsDialog : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override { ResetUserData(); }
    // Opens the dialog and presses Choose...; chooser runs on the colour chooser and must close it,
    // then after on the settings dialog, which it must close.
    int Choose(std::function<void(HWND)> chooser, std::function<void(HWND)> after)
    {
        Driver.Then(Pressing(103));
        Answer(Driver, chooser, after);
        return ShowSettingsDialog(nullptr);
    }
    DialogDriver Driver;
};

} // namespace

// The dialog opens on the defaults with a grey swatch. A duration above 2147483647 would come
// back negative: it is refused like any text that is no number, with the focus on the field and
// nothing stored. 0 and 2147483647 are kept.
TEST_F(SettingsDialog, RefusesUnusableDurationsAndKeepsTheLimits)
{
    const std::vector<std::string> refused = {"-5", "abc", "", "4294967295", "2147483648", "99999999999"};
    Pixels swatch;
    for (std::string kept : {"0", "2147483647"}) {
        auto enter = [&](const std::string& text) {
            return [&, text](HWND settings) {
                ReplaceFieldText(settings, DurationId, text);
                PressDialogButton(settings, IDOK);
            };
        };
        Driver.Then([&](HWND settings) {
            EXPECT_EQ("1000", GetDialogItemText(settings, DurationId));
            EXPECT_TRUE(SwatchHasColor(GetDlgItem(settings, SwatchId)));
            swatch = CaptureClient(GetDlgItem(settings, SwatchId));
            enter(refused[0])(settings);
        });
        for (size_t i = 0; i < refused.size(); ++i)
            Answer(Driver, IDOK, [&, i](HWND settings) {
                EXPECT_EQ(GetDlgItem(settings, DurationId), GetFocus()) << refused[i];
                EXPECT_EQ("", ReadSetting("DisplayTime")) << refused[i];
                enter(i + 1 < refused.size() ? refused[i + 1] : kept)(settings);
            });
        EXPECT_EQ(1, ShowSettingsDialog(nullptr));
        EXPECT_EQ(kept, ReadSetting("DisplayTime"));
        EXPECT_EQ(std::stoi(kept), GetDisplayTime());
        EXPECT_EQ("192", ReadSetting("ButtonBackgroundColorR"));
        ASSERT_GT(swatch.Width, 0);
        EXPECT_EQ(swatch.Width * swatch.Height, swatch.Count(RGB(192, 192, 192)));
        ResetUserData();
    }
    std::vector<std::string> expected;
    for (int run = 0; run < 2; ++run) {
        expected.push_back("Settings");
        expected.insert(expected.end(), refused.size(), "Error: Duration is not a number");
    }
    EXPECT_EQ(expected, SeenTexts(Driver, 0));
}

// The chooser starts on the swatch's colour, shown from the stored one; its choice waits in the
// swatch and is stored by OK only; a cancelled chooser changes nothing.
TEST_F(SettingsDialog, ChosenColourIsStoredByOkOnly)
{
    const COLORREF chosen = RGB(12, 200, 99);
    std::vector<COLORREF> starts;
    auto choose = [&](COLORREF color, int button) {
        return [&, color, button](HWND chooser) {
            starts.push_back(GetChooserColor(chooser));
            SetChooserColor(chooser, color);
            PressDialogButton(chooser, button);
        };
    };
    auto expectSwatch = [](COLORREF color, int button) {
        return [color, button](HWND settings) {
            EXPECT_EQ(color, GetSwatchColor(GetDlgItem(settings, SwatchId)));
            PressDialogButton(settings, button);
        };
    };
    EXPECT_EQ(0, Choose(choose(chosen, IDOK), expectSwatch(chosen, IDCANCEL)));
    EXPECT_EQ("", ReadSetting("ButtonBackgroundColorR"));
    EXPECT_EQ(1, Choose(choose(chosen, IDOK), expectSwatch(chosen, IDOK)));
    EXPECT_EQ(chosen, GetButtonBackgroundColor());
    EXPECT_EQ("1000", ReadSetting("DisplayTime"));
    EXPECT_EQ(0, Choose(choose(RGB(50, 60, 70), IDCANCEL), expectSwatch(chosen, IDCANCEL)));
    EXPECT_EQ((std::vector<COLORREF>{RGB(192, 192, 192), RGB(192, 192, 192), chosen}), starts);
}

// A swatch never given a colour, and a disabled one, show the button face.
TEST(ColorSwatch, PaintsButtonFaceWithoutColourOrWhenDisabled)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HWND swatch = CreateWindowExA(0, "MnemoraColorClass", "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, swatch);
    EXPECT_FALSE(SwatchHasColor(swatch));
    EXPECT_EQ(0u, GetSwatchColor(swatch));
    const COLORREF face = GetSysColor(COLOR_BTNFACE), red = RGB(255, 0, 0);
    EXPECT_EQ(400, CaptureClient(swatch).Count(face));
    SetSwatchColor(swatch, red);
    EXPECT_EQ(400, CaptureClient(swatch).Count(red));
    EnableWindow(swatch, FALSE);
    EXPECT_EQ(400, CaptureClient(swatch).Count(face));
    EnableWindow(swatch, TRUE);
    EXPECT_EQ(400, CaptureClient(swatch).Count(red));
    ClearSwatchColor(swatch);
    EXPECT_EQ(400, CaptureClient(swatch).Count(face));
    DestroyWindow(parent);
}
