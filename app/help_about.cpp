// Help page and About box.
#include "app/help_about.h"

#include "app/dialog.h"
#include "app/startup.h"
#include "res/dialog_ids.h"

#include <shellapi.h>
#include <windowsx.h>

#include <string>

namespace {

const char* const VersionText = "1.0";
const char* const NoticeLine = "A memory game with cards you make yourself.";

bool AboutReentry = false;

// Caption and texts of the About box; the creation parameter is the program's title.
BOOL OnAboutInitDialog(HWND dialog, HWND, LPARAM param)
{
    const char* title = reinterpret_cast<const char*>(param);
    if (!title)
        title = "";
    SetWindowTextA(dialog, (std::string("About ") + title).c_str());
    SetDlgItemTextA(dialog, IDC_ABOUT_TITLE, title);
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, (std::string("Version ") + VersionText).c_str());
    SetDlgItemTextA(dialog, IDC_ABOUT_NOTICE, NoticeLine);
    return TRUE;
}

void OnAboutCommand(HWND dialog, int id, HWND, UINT)
{
    if (id == IDOK || id == IDCANCEL)
        EndDialog(dialog, 0);
}

LRESULT DispatchAbout(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(dialog, WM_INITDIALOG, OnAboutInitDialog);
        HANDLE_MSG(dialog, WM_COMMAND, OnAboutCommand);
    }
    return DefaultDialogMessage(AboutReentry, dialog, msg, wParam, lParam);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return RunDialogProcedure(AboutReentry, DispatchAbout, dialog, msg, wParam, lParam);
}

} // namespace

std::string GetHelpPagePath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string page = path;
    while (!page.empty() && page.back() != '\\')
        page.pop_back();
    return page + "help\\mnemora.html";
}

void ShowHelp(HWND owner)
{
    std::string page = GetHelpPagePath();
    INT_PTR result =
        reinterpret_cast<INT_PTR>(ShellExecuteA(owner, nullptr, page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        char text[MAX_PATH + 64];
        wsprintfA(text, "ShellExecute of %s failed, error code %d", page.c_str(), static_cast<int>(result));
        MessageBoxA(owner, text, "Error", MB_ICONERROR);
    }
}

void ShowAboutDialog(HWND owner)
{
    RunModalDialog(owner, "ABOUTDLG", AboutDialogProc, AppTitle);
}
