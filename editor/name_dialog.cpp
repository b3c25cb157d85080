// Name dialog: one card set name, refused when blank, holding a character a file name cannot
// hold, naming a device, too long for a path, or already taken.
#include "editor/name_dialog.h"

#include "app/dialog.h"
#include "app/message_box.h"
#include "cardset/card_set_folder.h"
#include "res/dialog_ids.h"

#include <windowsx.h>

namespace {

bool NameReentry = false;

struct NameDialogParams {
    int Mode;
    std::string Prompt;
    std::string Name;
};

BOOL OnNameInitDialog(HWND dialog, HWND, LPARAM param)
{
    SetDialogParams(dialog, reinterpret_cast<void*>(param));
    NameDialogParams* params = reinterpret_cast<NameDialogParams*>(param);
    SetWindowTextA(dialog, params->Prompt.c_str());
    SetDlgItemTextA(dialog, IDC_NAME_EDIT, params->Name.c_str());
    return TRUE;
}

// The checks in order; the first that fails is shown and the dialog stays open.
void AcceptName(HWND dialog)
{
    NameDialogParams* params = GetDialogParams<NameDialogParams>(dialog);
    char buffer[256] = "";
    GetDlgItemTextA(dialog, IDC_NAME_EDIT, buffer, sizeof buffer);
    std::string text = buffer;
    if (IsBlank(text)) {
        MessageBoxA(dialog, "Name must not be blank", "Error", MB_ICONERROR);
        return;
    }
    if (!IsValidCardSetName(text)) {
        MessageBoxA(dialog, "Name must not contain a <, >, :, \", /, \\, |, ? or * character", "Error", MB_ICONERROR);
        return;
    }
    // Mended: names the file system cannot hold made files that could not be used afterwards.
    if (HasControlCharacters(text)) {
        MessageBoxA(dialog, "Name must not contain control characters or line breaks", "Error", MB_ICONERROR);
        return;
    }
    if (IsDeviceName(text)) {
        MessageBoxA(dialog, "Name must not be a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9)", "Error",
                    MB_ICONERROR);
        return;
    }
    if (!CardSetPathFits(text)) {
        MessageBoxA(dialog, "Name is too long for a file name", "Error", MB_ICONERROR);
        return;
    }
    // A card set may be renamed to its own name in other letter case.
    bool ownName = params->Mode == NameForRename && lstrcmpiA(text.c_str(), params->Name.c_str()) == 0;
    if (CardSetExists(text) && !ownName) {
        MessageBoxA(dialog, "Card set already exists", "Error", MB_ICONERROR);
        return;
    }
    params->Name = text;
    EndDialog(dialog, 1);
}

void OnNameCommand(HWND dialog, int id, HWND, UINT)
{
    if (id == IDOK)
        AcceptName(dialog);
    else if (id == IDCANCEL)
        EndDialog(dialog, 0);
}

LRESULT DispatchName(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(dialog, WM_INITDIALOG, OnNameInitDialog);
        HANDLE_MSG(dialog, WM_COMMAND, OnNameCommand);
    }
    return DefaultDialogMessage(NameReentry, dialog, msg, wParam, lParam);
}

INT_PTR CALLBACK NameDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return RunDialogProcedure(NameReentry, DispatchName, dialog, msg, wParam, lParam);
}

} // namespace

std::string ShowNameDialog(HWND owner, int mode, const std::string& prompt, const std::string& initialName)
{
    NameDialogParams params = {mode, prompt, initialName};
    if (RunModalDialog(owner, "NAMEDLG", NameDialogProc, &params) > 0)
        return params.Name;
    return std::string();
}
