// Settings dialog, colour swatch, and every dialog of the program checked for leaks.
#include "app/help_about.h"
#include "app/settings.h"
#include "editor/card_pair_dialog.h"
#include "editor/card_set_dialog.h"
#include "editor/cardsets_dialog.h"
#include "editor/color_swatch.h"
#include "editor/editor_test_support.h"
#include "editor/name_dialog.h"
#include "editor/settings_dialog.h"
#include "res/dialog_ids.h"

// Durations refused (not a number, above 60000 ms) and kept; colours chosen stored by OK only.
TEST(SettingsDialog, RefusesUnusableDurationsAndStoresByOkOnly)
{
    ResetUserData();
    const std::vector<std::string> refused = {"-5", "abc", "", "4294967296", "60001", "2147483648"};
    const COLORREF chosen = RGB(12, 200, 99), grey = RGB(192, 192, 192);
    DialogDriver driver;
    std::function<void(HWND, size_t)> enter = [&](HWND settings, size_t i) {
        if (i > 0) {
            EXPECT_EQ(GetDlgItem(settings, IDC_SETTINGS_DURATION), GetFocus()) << refused[i - 1];
            EXPECT_EQ("", ReadSetting("DisplayTime"));
        }
        TypeText(settings, i < refused.size() ? refused[i] : "60000", IDC_SETTINGS_DURATION);
        PressDialogButton(settings, IDOK);
        if (i < refused.size())
            driver.Then(Pressing(IDOK, [&, i](HWND settings) { enter(settings, i + 1); }));
    };
    driver.Then([&](HWND settings) {
        EXPECT_EQ("1000", GetDialogItemText(settings, IDC_SETTINGS_DURATION));
        Pixels swatch = CaptureClient(GetDlgItem(settings, IDC_SETTINGS_SWATCH));
        EXPECT_TRUE(swatch.Width > 0 && swatch.Count(grey) == swatch.Width * swatch.Height);
        enter(settings, 0);
    });
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
                EXPECT_EQ(chosen, GetSwatchColor(GetDlgItem(settings, IDC_SETTINGS_SWATCH)));
                TypeText(settings, "0", IDC_SETTINGS_DURATION);
                PressDialogButton(settings, buttons[i][1]);
            }));
        EXPECT_EQ(buttons[i][1] == IDOK ? 1 : 0, ShowSettingsDialog(nullptr));
        EXPECT_EQ(stored[i], GetButtonBackgroundColor()) << i;
    }
    EXPECT_EQ("0", ReadSetting("DisplayTime"));
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

// Every dialog opened and closed 50 times after a first round leaves no GDI or USER objects.
TEST(DialogLeaks, EveryDialogOpenedAndClosedManyTimes)
{
    ResetUserData();
    CardSet cards;
    for (int i = 0; i < 6; ++i)
        cards.push_back(TextPair(MakeRtf("text " + std::to_string(i), "Tahoma", i % 2 == 0, RGB(200, 0, 0))));
    cards.push_back({"", "", "C:\\cat.bmp", "", "", "", "", ""});
    SaveCardSet("One", cards);
    SaveCardSet("Two", cards);
    CardPair pair = cards[0];
    pair.Text2 = MakeRtf("second", "Courier New", true);
    CardPairDialogParams params = {&pair, &cards, 0};
    const std::pair<int, std::function<void()>> dialogs[] = {
        {IDOK, [] { ShowAboutDialog(nullptr); }},
        {IDCANCEL, [] { ShowSettingsDialog(nullptr); }},
        {IDCANCEL, [] { ShowNameDialog(nullptr, NameForCopy, "Name of copied card set", "x"); }},
        {IDCANCEL, [] { ShowCardSetsDialog(nullptr); }},
        {IDCANCEL, [&] { ShowCardSetDialog(nullptr, "Sample", cards); }},
        {IDCANCEL, [&] { ShowCardPairDialog(nullptr, params); }}};
    for (size_t i = 0; i < 6; ++i) {
        int gdi = 0, user = 0;
        for (int round = 0; round <= 50; ++round) {
            DialogDriver driver;
            driver.Press(dialogs[i].first);
            dialogs[i].second();
            PumpMessages();
            EXPECT_TRUE(driver.Done()) << i;
            gdi = round == 0 ? CountGdiObjects() : gdi;
            user = round == 0 ? CountUserObjects() : user;
        }
        EXPECT_LE(CountGdiObjects() - gdi, 5) << i;
        EXPECT_LE(CountUserObjects() - user, 0) << i;
    }
    ResetUserData();
}
