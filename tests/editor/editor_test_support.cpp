// Helpers of the editor tests (see editor_test_support.h).
#include "editor/editor_test_support.h"

#include <colordlg.h>
#include <cstdio>
#include <map>

namespace {

std::map<UINT_PTR, std::function<void()>> IdleActions;

void CALLBACK RunIdleAction(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    std::function<void()> action = IdleActions[id];
    IdleActions.erase(id);
    action();
}

} // namespace

void WhenIdle(std::function<void()> action)
{
    IdleActions[SetTimer(nullptr, 0, 1, RunIdleAction)] = std::move(action);
}

void Answer(DialogDriver& driver, std::function<void(HWND)> act, std::function<void(HWND owner)> next)
{
    driver.Then([act, next](HWND dialog) {
        HWND owner = GetWindow(dialog, GW_OWNER);
        act(dialog);
        if (next)
            WhenIdle([next, owner] { next(owner); });
    });
}

void Answer(DialogDriver& driver, int button, std::function<void(HWND owner)> next)
{
    driver.Then(Pressing(button, next));
}

std::function<void(HWND)> Pressing(int buttonId, std::function<void(HWND owner)> next)
{
    return [buttonId, next](HWND window) {
        HWND owner = GetWindow(window, GW_OWNER);
        PressDialogButton(window, buttonId);
        if (next)
            WhenIdle([next, owner] { next(owner); });
    };
}

std::vector<std::string> SeenTexts(const DialogDriver& driver, size_t from)
{
    std::vector<std::string> texts;
    for (size_t i = from; i < driver.Seen().size(); ++i) {
        const SeenDialog& seen = driver.Seen()[i];
        bool box = seen.Caption == "Error" || seen.Caption == "Question";
        texts.push_back(box ? seen.Caption + ": " + seen.Text : seen.Caption);
    }
    return texts;
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
    for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i)
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

void SetChooserColor(HWND chooser, COLORREF color, bool addCustom)
{
    SetDlgItemInt(chooser, COLOR_RED, GetRValue(color), FALSE);
    SetDlgItemInt(chooser, COLOR_GREEN, GetGValue(color), FALSE);
    SetDlgItemInt(chooser, COLOR_BLUE, GetBValue(color), FALSE);
    if (addCustom)
        SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(COLOR_ADD, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(chooser, COLOR_ADD)));
}

COLORREF GetChooserColor(HWND chooser)
{
    return RGB(GetDlgItemInt(chooser, COLOR_RED, nullptr, FALSE), GetDlgItemInt(chooser, COLOR_GREEN, nullptr, FALSE),
               GetDlgItemInt(chooser, COLOR_BLUE, nullptr, FALSE));
}
