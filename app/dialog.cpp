// The dialog procedure pattern shared by every dialog of the program.
#include "app/dialog.h"

namespace {

// Messages whose result a dialog procedure returns itself instead of storing it.
bool ReturnsResultDirectly(UINT msg)
{
    return msg == WM_INITDIALOG || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM ||
           msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON;
}

} // namespace

INT_PTR RunDialogProcedure(bool& reentry, DialogDispatcher dispatcher, HWND dialog, UINT msg, WPARAM wParam,
                           LPARAM lParam)
{
    if (reentry) {
        reentry = false;
        return FALSE;
    }
    LRESULT result = dispatcher(dialog, msg, wParam, lParam);
    if (ReturnsResultDirectly(msg))
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

LRESULT DefaultDialogMessage(bool& reentry, HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    reentry = true;
    LRESULT result = DefDlgProcA(dialog, msg, wParam, lParam);
    // DefDlgProcA calls the dialog procedure first, which clears the flag; should it not have
    // (a window already gone), the flag must not swallow the dialog's next message.
    reentry = false;
    return result;
}

HINSTANCE GetWindowInstance(HWND window)
{
    HINSTANCE instance = window ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)) : nullptr;
    return instance ? instance : GetModuleHandleA(nullptr);
}

INT_PTR RunModalDialog(HWND owner, const char* templateName, DLGPROC procedure, void* params)
{
    return DialogBoxParamA(GetWindowInstance(owner), templateName, owner, procedure, reinterpret_cast<LPARAM>(params));
}

void SetDialogParams(HWND dialog, void* params)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(params));
}
