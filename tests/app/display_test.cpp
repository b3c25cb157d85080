// The program at the display's DPI: its manifest in force, the bar drawn at the DPI, a move to a
// monitor of another DPI, and every dialog without a clipped label or a leak. Runs with the suite at 96 DPI
// and again in prefixes at 144 and 192 DPI.
#include "app/card_set_bar.h"
#include "app/help_about.h"
#include "app/settings.h"
#include "app/startup.h"
#include "editor/card_pair_dialog.h"
#include "editor/card_set_dialog.h"
#include "editor/cardsets_dialog.h"
#include "editor/name_dialog.h"
#include "editor/settings_dialog.h"
#include "editor/text_editor.h"
#include "print/print_command.h"
#include "support/test_support.h"

#include <commctrl.h>

namespace {

// Adds to *clipped each static control or check box whose text, measured in its own font, needs
// more room than its client area gives (a check box's box and gap take 16 pixels at 96 DPI).
BOOL CALLBACK FindClippedLabel(HWND control, LPARAM clipped)
{
    char className[32] = "", text[512] = "";
    GetClassNameA(control, className, sizeof className);
    GetWindowTextA(control, text, sizeof text);
    LONG type = GetWindowLongA(control, GWL_STYLE) & 0x0F;
    bool isStatic = !lstrcmpiA(className, "Static") && (type <= SS_RIGHT || type == SS_LEFTNOWORDWRAP);
    bool isCheckBox = !lstrcmpiA(className, "Button") && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
    if (!*text || !IsWindowVisible(control) || !(isStatic || isCheckBox))
        return TRUE;
    RECT client;
    GetClientRect(control, &client);
    int room = client.right - (isCheckBox ? ScaleForDpi(16, GetWindowDpi(control)) : 0);
    RECT need = {0, 0, room, 0};
    UINT flags = DT_CALCRECT | (isStatic && type <= SS_RIGHT ? DT_WORDBREAK : DT_SINGLELINE);
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    DrawTextA(dc, text, -1, &need, flags);
    ReleaseDC(control, dc); // a window DC drops what was selected into it
    if (need.right > room || need.bottom > client.bottom)
        *reinterpret_cast<std::string*>(clipped) +=
            std::string(text) + " needs " + std::to_string(need.right) + "x" + std::to_string(need.bottom) + "; ";
    return TRUE;
}

// Where the vertical grid lines cross y = 10 in the bar's 2 x 2 image, read back from the
// toolbar's image list, whose images must be size x size.
std::vector<int> FirstImageLines(HWND toolbar, int size)
{
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_TRUE(width == size && height == size) << width << " x " << height << " at " << size;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateBitmap(width, height, 1, 32, nullptr));
    ImageList_Draw(images, BoardSizes[0].ImageIndex, dc, 0, 0, ILD_NORMAL);
    Pixels pixels = CaptureDC(dc, width, height);
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    std::vector<int> lines;
    for (int x = 0; x < pixels.Width; ++x)
        if (pixels.At(x, 10) == RGB(0, 0, 0))
            lines.push_back(x);
    return lines;
}

} // namespace

TEST(Display, EveryWindowAtTheDisplaysDpi)
{
    // The manifest is in force: common controls 6, DPI aware.
    char controls[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), controls, MAX_PATH);
    EXPECT_NE(std::string::npos, std::string(controls).find("common-controls_6595b64144ccf1df_6.")) << controls;
    EXPECT_TRUE(IsProcessDPIAware());

    int dpi = GetWindowDpi(nullptr);                // the display's
    const char* asked = getenv("MNEMORA_TEST_DPI"); // set by the runs at other DPIs
    ASSERT_EQ(asked ? atoi(asked) : dpi, dpi) << "the prefix's LogPixels";
    ResetUserData();
    CardSet cards(3); // texts of several formats, and a listing
    cards[0].Text1 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red200\\green0\\blue0;}\\f0\\cf1\\b Sun}";
    cards[1].Text1 = "Moon", cards[1].Text2 = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0\\i Mond}";
    cards[2].PictureFileName1 = "C:\\cat.bmp";
    ASSERT_TRUE(SaveCardSet("Display", cards));
    WriteSetting("LastProfile", "Display");
    HWND window = OpenMainWindow(), bar = GetDlgItem(window, 1), toolbar = GetDlgItem(bar, BarToolbarId);
    // The bar at the display's DPI, then moved to a monitor of another DPI and back, twice: dpi x
    // dpi images with the grid drawn at that size, the font, the layout; the second trip leaks
    // nothing (the first makes what the controls keep for good).
    int gdiBefore = 0;
    for (int i = 0; i < 5; ++i) {
        int step = i % 2 ? (dpi == 96 ? 144 : 96) : dpi;
        gdiBefore = i == 3 ? CountGdiObjects() : gdiBefore;
        RECT suggested = {10, 20, 10 + 5 * step, 20 + 4 * step}, now;
        if (i > 0) {
            SendMessageA(window, 0x02E0, MAKEWPARAM(step, step), reinterpret_cast<LPARAM>(&suggested));
            GetWindowRect(window, &now);
            EXPECT_TRUE(EqualRect(&suggested, &now)) << step;
        }
        EXPECT_EQ((std::vector<int>{0, (step - 1) / 2, step - 1}), FirstImageLines(toolbar, step));
        GetWindowRect(bar, &now);
        EXPECT_EQ(4 * GetSystemMetricForDpi(SM_CYEDGE, step) + step + ScaleForDpi(5, step), now.bottom - now.top);
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(GetPropA(bar, "Font")), sizeof font, &font);
        EXPECT_EQ(-MulDiv(10, step, 72), font.lfHeight);
    }
    EXPECT_EQ(gdiBefore, CountGdiObjects());

    // Every dialog: no label clipped; opened and closed ten times more, it leaves no GDI or USER
    // objects behind (the first opening makes what stays for good).
    CardPairDialogParams pairParams = {&cards[1], &cards, 1}; // cancelled: the pair stays as it is
    std::pair<std::string, std::function<void()>> dialogs[] = {
        {"about", [&] { ShowAboutDialog(window); }},
        {"settings", [&] { ShowSettingsDialog(window); }},
        {"cardsets", [&] { ShowCardSetsDialog(window); }},
        {"name", [&] { ShowNameDialog(window, NameForNewCardSet, "Name of card set", "Display"); }},
        {"cardset", [&] { ShowCardSetDialog(window, "Display", cards); }},
        {"cardpair", [&] { ShowCardPairDialog(window, pairParams); }},
        {"print", [&] { PrintCardSet(window); }},
    };
    for (const auto& dialog : dialogs) {
        DWORD printerNameSize = 0; // stays 0 when there is no printer
        if (dialog.first == "print" && !GetDefaultPrinterA(nullptr, &printerNameSize) && printerNameSize == 0)
            continue;
        std::string clipped;
        int gdi = 0, user = 0;
        for (int round = 0; round <= 10; ++round) {
            DialogDriver driver;
            driver.Then([&](HWND shown) {
                PumpMessages(round ? 0 : 100);
                if (round == 0)
                    EnumChildWindows(shown, FindClippedLabel, reinterpret_cast<LPARAM>(&clipped));
                RECT bold; // the text editor's buttons are 32 pixels at 96 DPI
                if (dialog.first == "cardpair" &&
                    GetWindowRect(GetDlgItem(GetDlgItem(shown, 101), EditorBoldId), &bold)) {
                    EXPECT_EQ(ScaleForDpi(32, dpi), bold.right - bold.left);
                }
                PressDialogButton(shown, IDCANCEL);
            });
            dialog.second();
            PumpMessages();
            EXPECT_TRUE(driver.Done()) << dialog.first;
            gdi = round == 0 ? CountGdiObjects() : gdi;
            user = round == 0 ? CountUserObjects() : user;
        }
        EXPECT_EQ("", clipped) << dialog.first << " at " << dpi << " DPI";
        EXPECT_LE(CountGdiObjects() - gdi, 5) << dialog.first;
        EXPECT_LE(CountUserObjects() - user, 0) << dialog.first;
    }
    DestroyMainWindow(window);
}
