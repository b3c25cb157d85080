// Main window: creates the bar and the board, routes every command, starts games, and follows
// the DPI of the monitor it is on.
#include "app/main_window.h"

#include "app/card_set_bar.h"
#include "app/help_about.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "app/startup.h"
#include "editor/cardsets_dialog.h"
#include "editor/settings_dialog.h"
#include "game/board.h"
#include "game/card_button.h"
#include "game/idle_work.h"
#include "media/picture.h"
#include "media/video_frames.h"
#include "print/print_command.h"
#include "res/resource.h"

#include <windowsx.h>

std::string CurrentCardSetName;

namespace {

const int BarId = 1;
const int BoardId = 2;

HWND CreateChild(HWND parent, const char* className, int id)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

// Idle work after start-up: what a card's first picture and first video would otherwise wait for.
bool PrepareForMedia(HWND)
{
    return LoadNextPictureDecoder() || LoadNextVideoComponent();
}

BOOL OnMainCreate(HWND window, LPCREATESTRUCT)
{
    if (!CreateChild(window, "MnemoraBarClass", BarId) || !CreateChild(window, "MnemoraGameClass", BoardId))
        return FALSE;
    FillCardSetCombo(window);
    std::string last = ReadSetting("LastProfile");
    if (!last.empty()) {
        HWND combo = GetCardSetCombo(window);
        LRESULT found = SendMessageA(combo, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(last.c_str()));
        if (found != CB_ERR)
            SendMessageA(combo, CB_SETCURSEL, found, 0);
    }
    CurrentCardSetName = last;
    ScheduleIdleWork(window, PrepareForMedia);
    return TRUE;
}

void OnMainDestroy(HWND window)
{
    WriteSetting("LastProfile", CurrentCardSetName);
    DestroyWindow(GetDlgItem(window, BarId));
    DestroyWindow(GetDlgItem(window, BoardId));
    PostQuitMessage(0);
}

void OnMainSize(HWND window, UINT, int width, int height)
{
    HWND bar = GetDlgItem(window, BarId);
    int barHeight = static_cast<int>(SendMessageA(bar, WM_USER, 0, 0)) + ScaleForDpi(5, GetBarDpi(bar));
    MoveWindow(bar, 0, 0, width, barHeight, TRUE);
    MoveWindow(GetDlgItem(window, BoardId), 0, barHeight, width, height - barHeight, TRUE);
}

// Moved to a monitor of another DPI: the bar makes its images and font anew, the window takes the
// rectangle the system suggests and lays its children out again (its size may be unchanged).
void OnMainDpiChanged(HWND window, int dpi, const RECT& suggested)
{
    SendMessageA(GetDlgItem(window, BarId), WmDpiChanged, MAKEWPARAM(dpi, dpi), 0);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window, &client);
    OnMainSize(window, SIZE_RESTORED, client.right, client.bottom);
}

void OnMainInitMenuPopup(HWND window, HMENU popup, UINT, BOOL)
{
    bool selected = SendMessageA(GetCardSetCombo(window), CB_GETCURSEL, 0, 0) != CB_ERR;
    EnableMenuItem(popup, IDM_PRINT, MF_BYCOMMAND | (selected ? MF_ENABLED : MF_GRAYED));
}

// Loads the card set selected in the bar and deals it on a board of the given size.
void StartSelectedGame(HWND window, int sizeRow)
{
    HWND combo = GetCardSetCombo(window);
    LRESULT selection = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR) {
        ShowErrorBox(window, "No card set selected");
        return;
    }
    char name[256] = "";
    if (SendMessageA(combo, CB_GETLBTEXTLEN, selection, 0) < static_cast<LRESULT>(sizeof name))
        SendMessageA(combo, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(name));
    CurrentCardSetName = name;
    CardSet* cards = new CardSet;
    LoadCardSet(name, *cards);
    std::string error;
    if (!StartGame(GetDlgItem(window, BoardId), cards, BoardSizes[sizeRow].Rows, BoardSizes[sizeRow].Columns, error)) {
        ShowErrorBox(window, error);
        delete cards;
    }
}

// Tab and Shift+Tab: the keyboard focus goes round the board-size buttons, the card set list and
// the board's cards (skipped while the board has none).
void MoveFocusAround(HWND window, bool backwards)
{
    HWND bar = GetDlgItem(window, BarId), board = GetDlgItem(window, BoardId);
    const HWND stops[] = {GetDlgItem(bar, BarToolbarId), GetDlgItem(bar, BarComboId), board};
    const int n = 3;
    HWND focus = GetFocus();
    int at = backwards ? 0 : n - 1; // from elsewhere: the first going forward, the last going back
    for (int i = 0; i < n; ++i)
        if (focus == stops[i] || IsChild(stops[i], focus))
            at = i;
    ShowFocusMarks();
    for (int step = 1; step <= n; ++step) {
        int next = (at + (backwards ? n - step : step)) % n;
        if (next != 2) {
            SetFocus(stops[next]);
            return;
        }
        if (FocusBoardCard(board))
            return;
    }
}

void OnMainCommand(HWND window, int id, HWND, UINT code)
{
    switch (id) {
    case IDM_CARDSETS:
        if (ShowCardSetsDialog(window)) {
            EndGame(GetDlgItem(window, BoardId));
            FillCardSetCombo(window);
        }
        break;
    case IDM_EXIT:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case IDM_SETTINGS:
        if (ShowSettingsDialog(window))
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        break;
    case IDM_PRINT:
        PrintCardSet(window);
        break;
    case IDM_ABOUT:
        ShowAboutDialog(window);
        break;
    case IDM_HELP:
        ShowHelp(window);
        break;
    case IDM_FOCUS_NEXT:
    case IDM_FOCUS_PREVIOUS:
        MoveFocusAround(window, id == IDM_FOCUS_PREVIOUS);
        break;
    default:
        if (id >= IDM_BOARDSIZE_FIRST && id <= IDM_BOARDSIZE_LAST) {
            if (code == 1) // Ctrl+1 to Ctrl+6: a keyboard player, shown where the focus is
                ShowFocusMarks();
            StartSelectedGame(window, id - IDM_BOARDSIZE_FIRST);
        }
        break;
    }
}

} // namespace

HWND GetCardSetCombo(HWND mainWindow)
{
    return GetDlgItem(GetDlgItem(mainWindow, BarId), BarComboId);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(window, WM_CREATE, OnMainCreate);
        HANDLE_MSG(window, WM_DESTROY, OnMainDestroy);
        HANDLE_MSG(window, WM_SIZE, OnMainSize);
        HANDLE_MSG(window, WM_COMMAND, OnMainCommand);
        HANDLE_MSG(window, WM_INITMENUPOPUP, OnMainInitMenuPopup);
    case WmDpiChanged:
        OnMainDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}
