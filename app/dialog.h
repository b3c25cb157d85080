// The one way every dialog of the program runs: modal, from a resource template, with a parameter
// block in its user slot, and a dialog procedure that lets the default processing run exactly once.
#pragma once

#include <windows.h>

// A dialog's dispatcher: sends the messages the dialog handles to their handlers and hands every
// other message to DefaultDialogMessage with the dialog's own re-entry flag.
using DialogDispatcher = LRESULT (*)(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// The body of every dialog procedure. reentry is the dialog's process-wide flag, false at start.
// When it is set the call comes back from DefDlgProcA: the flag is cleared and FALSE returned so
// the default processing runs. Otherwise the dispatcher runs; its result is returned directly for
// the messages whose result is the procedure's return value, else stored as the message result.
INT_PTR RunDialogProcedure(bool& reentry, DialogDispatcher dispatcher, HWND dialog, UINT msg, WPARAM wParam,
                           LPARAM lParam);

// For a message the dialog does not handle: sets the flag and returns DefDlgProcA's result.
LRESULT DefaultDialogMessage(bool& reentry, HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// DialogBoxParamA with the owner's instance (the program's own when there is no owner) and the
// parameter block as creation parameter; returns what DialogBoxParamA returns (-1 on failure).
INT_PTR RunModalDialog(HWND owner, const char* templateName, DLGPROC procedure, void* params);

// The parameter block kept in the dialog's user slot.
void SetDialogParams(HWND dialog, void* params);
template <typename T> T* GetDialogParams(HWND dialog)
{
    return reinterpret_cast<T*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The instance a window was created with.
HINSTANCE GetWindowInstance(HWND window);
