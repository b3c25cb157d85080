// Helpers of the editor tests (see editor_test_support.h).
#include "editor/editor_test_support.h"

#include <commdlg.h>
#include <richedit.h>

#include <colordlg.h>
#include <cstdio>

OwnerWindow::OwnerWindow()
    : Window(CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                             nullptr))
{
}

OwnerWindow::~OwnerWindow()
{
    DestroyWindow(Window);
}

namespace {

LRESULT CALLBACK LaterWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP) {
        std::function<void()>* action = reinterpret_cast<std::function<void()>*>(lParam);
        (*action)();
        delete action;
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

HWND GetLaterWindow()
{
    static HWND window = nullptr;
    if (!window) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = LaterWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MnemoraTestLater";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "MnemoraTestLater", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    return window;
}

} // namespace

void RunLater(std::function<void()> action)
{
    PostMessageA(GetLaterWindow(), WM_APP, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(action))));
}

void TypeText(HWND window, const std::string& text)
{
    for (char c : text)
        SendMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void ReplaceFieldText(HWND dialog, int id, const std::string& text)
{
    HWND field = GetDlgItem(dialog, id);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, WM_CLEAR, 0, 0);
    TypeText(field, text);
}

HWND GetEditorTextWindow(HWND dialog, int editorId)
{
    return GetDlgItem(GetDlgItem(dialog, editorId), 1);
}

void SelectText(HWND richEdit, int first, int last)
{
    CHARRANGE range = {first, last};
    SendMessageA(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

CHARFORMATA GetSelectionFormat(HWND richEdit)
{
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

namespace {

HHOOK ChooserHook = nullptr;
ChooserStart* WatchedStart = nullptr;

LRESULT CALLBACK WatchChooserMessages(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_INITDIALOG && WatchedStart && !WatchedStart->Seen &&
        GetDlgItem(message->hwnd, COLOR_RED)) {
        // The chooser is opened with its CHOOSECOLOR record as the creation parameter.
        const CHOOSECOLORA* choose = reinterpret_cast<const CHOOSECOLORA*>(message->lParam);
        WatchedStart->Seen = true;
        WatchedStart->Flags = choose->Flags;
        WatchedStart->Color = choose->rgbResult;
    }
    return CallNextHookEx(ChooserHook, code, wParam, lParam);
}

} // namespace

void WatchColorChooser(ChooserStart* start)
{
    *start = ChooserStart();
    WatchedStart = start;
    if (!ChooserHook)
        ChooserHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchChooserMessages, nullptr, GetCurrentThreadId());
}

void StopWatchingColorChooser()
{
    if (ChooserHook)
        UnhookWindowsHookEx(ChooserHook);
    ChooserHook = nullptr;
    WatchedStart = nullptr;
}

void SetChooserColor(HWND chooser, COLORREF color, bool addCustom)
{
    SetDlgItemInt(chooser, COLOR_RED, GetRValue(color), FALSE);
    SetDlgItemInt(chooser, COLOR_GREEN, GetGValue(color), FALSE);
    SetDlgItemInt(chooser, COLOR_BLUE, GetBValue(color), FALSE);
    if (addCustom)
        SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(COLOR_ADD, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(chooser, COLOR_ADD)));
}

void ClickListItem(HWND list, int position, bool doubleClick)
{
    RECT item = {};
    SendMessageA(list, LB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&item));
    LPARAM point = MAKELPARAM((item.left + item.right) / 2, item.top + 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list, WM_LBUTTONUP, 0, point);
    if (doubleClick) {
        // Posted: what a double click opens runs in the dialog's own loop.
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        PostMessageA(list, WM_LBUTTONUP, 0, point);
    }
}

std::vector<LPARAM> GetListItemData(HWND list)
{
    std::vector<LPARAM> data;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        data.push_back(SendMessageA(list, LB_GETITEMDATA, i, 0));
    return data;
}

std::string MakeRtf(const std::string& text, const std::string& face, bool bold, COLORREF color)
{
    char colors[96];
    std::snprintf(colors, sizeof colors, "{\\colortbl;\\red%d\\green%d\\blue%d;}", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 " + face + ";}}" + colors + "\\f0\\fs20\\cf1" + (bold ? "\\b " : " ") +
           text + "}";
}

CardPair TextPair(const std::string& text)
{
    CardPair pair;
    pair.Text1 = text;
    return pair;
}
