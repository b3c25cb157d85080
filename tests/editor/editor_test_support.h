// Steps shared by the editor tests: dialogs answered in turn, typing, selecting and card texts.
#pragma once

#include "cardset/card_set.h"
#include "support/test_support.h"

#include <colordlg.h>
#include <richedit.h>

#include <map>

inline std::map<UINT_PTR, std::function<void()>> IdleActions;

inline void CALLBACK RunIdleAction(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    std::function<void()> action = IdleActions[id];
    IdleActions.erase(id);
    action();
}

// Runs an action once this thread's modal loop is idle: after a dialog has closed, in its owner's.
inline void WhenIdle(std::function<void()> action)
{
    IdleActions[SetTimer(nullptr, 0, 1, RunIdleAction)] = std::move(action);
}

// For a driver: act, which closes the window; then, once it has closed, next on its owner.
inline std::function<void(HWND)> Closing(std::function<void(HWND)> act, std::function<void(HWND)> next = nullptr)
{
    return [act, next](HWND window) {
        HWND owner = GetWindow(window, GW_OWNER);
        act(window);
        if (next)
            WhenIdle([next, owner] { next(owner); });
    };
}

inline const auto Pressing = [](int button, std::function<void(HWND)> next = nullptr) {
    return Closing([button](HWND window) { PressDialogButton(window, button); }, next);
};

inline std::string GetDialogItemText(HWND dialog, int id)
{
    char text[4096] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Types into a window, one WM_CHAR a character; with field, into that field of it, replacing all.
inline void TypeText(HWND window, const std::string& text, int field = 0)
{
    if (field) {
        window = GetDlgItem(window, field);
        SendMessageA(window, EM_SETSEL, 0, -1);
        SendMessageA(window, WM_CLEAR, 0, 0);
    }
    for (char c : text)
        SendMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// The RichEdit child of a rich-text editor control.
inline const auto EditorText = [](HWND dialog, int editorId) { return GetDlgItem(GetDlgItem(dialog, editorId), 1); };

// Selects in a RichEdit control and returns the selection's format.
inline CHARFORMATA SelectText(HWND richEdit, int first, int last)
{
    CHARRANGE range = {first, last};
    SendMessageA(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

// Clicks (or double-clicks, posted to run in the dialog's own loop) an item of a list box.
inline void ClickListItem(HWND list, int position, bool doubleClick = false)
{
    RECT item = {};
    SendMessageA(list, LB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&item));
    LPARAM point = MAKELPARAM((item.left + item.right) / 2, item.top + 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list, WM_LBUTTONUP, 0, point);
    if (doubleClick)
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point), PostMessageA(list, WM_LBUTTONUP, 0, point);
}

// A one-colour RTF card text; a pair with only it.
inline std::string MakeRtf(const std::string& text, const std::string& face = "Tahoma", bool bold = false,
                           COLORREF color = 0)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 " + face + ";}}{\\colortbl;\\red" + std::to_string(GetRValue(color)) +
           "\\green" + std::to_string(GetGValue(color)) + "\\blue" + std::to_string(GetBValue(color)) +
           ";}\\f0\\fs20\\cf1" + (bold ? "\\b " : " ") + text + "}";
}

inline const auto TextPair = [](const std::string& text) { return CardPair{text, "", "", "", "", "", "", ""}; };

// The colour chooser's colour; setting it with addCustom also adds it to the custom colours.
inline COLORREF ChooserColor(HWND chooser, COLORREF color = CLR_INVALID, bool addCustom = false)
{
    const int fields[] = {COLOR_RED, COLOR_GREEN, COLOR_BLUE};
    for (int i = 0; i < 3 && color != CLR_INVALID; ++i)
        SetDlgItemInt(chooser, fields[i], (color >> (8 * i)) & 0xFF, FALSE);
    if (addCustom)
        PressDialogButton(chooser, COLOR_ADD);
    return RGB(GetDlgItemInt(chooser, COLOR_RED, nullptr, FALSE), GetDlgItemInt(chooser, COLOR_GREEN, nullptr, FALSE),
               GetDlgItemInt(chooser, COLOR_BLUE, nullptr, FALSE));
}
