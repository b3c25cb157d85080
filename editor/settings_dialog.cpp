// Settings dialog: the display time of non-matching cards and the cards' background colour.
#include "editor/settings_dialog.h"

#include "app/dialog.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "app/startup.h"
#include "editor/color_swatch.h"
#include "res/dialog_ids.h"

#include <commdlg.h>
#include <windowsx.h>

#include <string>

namespace {

bool SettingsReentry = false;

BOOL OnSettingsInitDialog(HWND dialog, HWND, LPARAM)
{
    SetDlgItemInt(dialog, IDC_SETTINGS_DURATION, static_cast<UINT>(GetDisplayTime()), FALSE);
    SetSwatchColor(GetDlgItem(dialog, IDC_SETTINGS_SWATCH), GetButtonBackgroundColor());
    return TRUE;
}

std::string GetDialogItemString(HWND dialog, int id)
{
    char text[64] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Stores both values, the duration first, when the duration is usable.
void StoreSettings(HWND dialog)
{
    BOOL translated = FALSE;
    UINT duration = GetDlgItemInt(dialog, IDC_SETTINGS_DURATION, &translated, FALSE);
    // Some platforms read a signed text as a huge unsigned number: a sign is no number here.
    if (!translated || GetDialogItemString(dialog, IDC_SETTINGS_DURATION).find('-') != std::string::npos) {
        ShowFieldError(dialog, "Duration is not a number", IDC_SETTINGS_DURATION);
        return;
    }
    // Mended: the game blocks for the whole duration, so days were accepted that froze it.
    if (duration > static_cast<UINT>(MaxDisplayTime)) {
        ShowFieldError(dialog, "Duration must not be more than 60000 ms", IDC_SETTINGS_DURATION);
        return;
    }
    SetDisplayTime(static_cast<int>(duration));
    SetButtonBackgroundColor(GetSwatchColor(GetDlgItem(dialog, IDC_SETTINGS_SWATCH)));
    EndDialog(dialog, 1);
}

// The colour chooser behind "Choose...": the choice waits in the swatch until OK.
void ChooseCardColor(HWND dialog)
{
    HWND swatch = GetDlgItem(dialog, IDC_SETTINGS_SWATCH);
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = dialog;
    choose.rgbResult = GetSwatchColor(swatch);
    choose.lpCustColors = CustomColors;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (ChooseColorA(&choose))
        SetSwatchColor(swatch, choose.rgbResult);
}

void OnSettingsCommand(HWND dialog, int id, HWND, UINT)
{
    switch (id) {
    case IDOK:
        StoreSettings(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    case IDC_SETTINGS_CHOOSE:
        ChooseCardColor(dialog);
        break;
    }
}

LRESULT DispatchSettings(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(dialog, WM_INITDIALOG, OnSettingsInitDialog);
        HANDLE_MSG(dialog, WM_COMMAND, OnSettingsCommand);
    }
    return DefaultDialogMessage(SettingsReentry, dialog, msg, wParam, lParam);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return RunDialogProcedure(SettingsReentry, DispatchSettings, dialog, msg, wParam, lParam);
}

} // namespace

int ShowSettingsDialog(HWND owner)
{
    // A dialog that failed to open (-1) stored nothing either.
    return RunModalDialog(owner, "SETTINGSDLG", SettingsDialogProc, nullptr) == 1 ? 1 : 0;
}
