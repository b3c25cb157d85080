// Looks at a running Mnemora from another process, for the acceptance script that drives it with
// the mouse. probe window: title, rectangles of main window, toolbar, combo box, its entries and
// selection, each card (face up, pair, rectangle); probe dialogs: "dialog caption|text" of each
// visible dialog or message box. Of the topmost dialog: probe rect ID (0: the dialog), probe list ID
// (the items of a list box of strings).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Text of another process's window or list entry, asked for in UTF-16, which crosses processes.
const char* Narrow(const wchar_t* wide)
{
    static char text[1024];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    for (char* c = text; *c; ++c)
        *c = *c == '\n' || *c == '\r' ? '/' : *c;
    return text;
}

// A window's screen rectangle as "name x y w h".
void PrintRect(const char* name, HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    std::printf("%s%s%ld %ld %ld %ld\n", name, *name ? " " : "", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Entries of a combo box (entries = CB_GETLBTEXT) or list box (LB_GETTEXT), joined by "|".
void PrintEntries(HWND list, int count, UINT lengthMessage, UINT textMessage)
{
    std::printf("items");
    for (int i = 0; i < count; ++i) {
        wchar_t wide[256] = L"";
        if (SendMessageW(list, lengthMessage, i, 0) < 256)
            SendMessageW(list, textMessage, i, reinterpret_cast<LPARAM>(wide));
        std::printf("%s%s", i ? "|" : " ", Narrow(wide));
    }
    std::printf("\n");
}

BOOL CALLBACK VisitDialog(HWND window, LPARAM topmost)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    if (topmost) {
        *reinterpret_cast<HWND*>(topmost) = window;
        return FALSE;
    }
    wchar_t caption[256] = L"", text[1024] = L"";
    GetWindowTextW(window, caption, 256);
    GetDlgItemTextW(window, 0xFFFF, text, 1024);
    std::printf("dialog %s|", Narrow(caption));
    return std::printf("%s\n", Narrow(text)) != 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    HWND main = FindWindowA("MnemoraClass", nullptr), dialog = nullptr;
    EnumWindows(VisitDialog, reinterpret_cast<LPARAM>(&dialog));
    HWND control =
        dialog && argc > 2 ? (std::atoi(argv[2]) ? GetDlgItem(dialog, std::atoi(argv[2])) : dialog) : nullptr;
    if (command == "window" && main && IsWindowVisible(main)) {
        wchar_t title[256] = L"";
        GetWindowTextW(main, title, 256);
        std::printf("title %s\n", Narrow(title));
        HWND bar = GetDlgItem(main, 1), board = GetDlgItem(main, 2), combo = GetDlgItem(bar, 3);
        PrintRect("main", main);
        PrintRect("toolbar", GetDlgItem(bar, 1));
        PrintRect("combo", combo);
        PrintEntries(combo, static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0)), CB_GETLBTEXTLEN, CB_GETLBTEXT);
        wchar_t selected[256] = L""; // a drop-down list's text: its selected entry
        SendMessageW(combo, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(selected));
        std::printf("selected %s\n", Narrow(selected));
        for (int id = 1; GetDlgItem(board, id); ++id) {
            char name[64];
            HWND card = GetDlgItem(board, id);
            std::snprintf(name, sizeof name, "card%d faceup=%ld pair=%ld", id, GetWindowLongA(card, 0),
                          GetWindowLongA(card, 8));
            PrintRect(name, card);
        }
    } else if (command == "dialogs") {
        EnumWindows(VisitDialog, 0);
    } else if (command == "rect" && control) {
        PrintRect("", control);
    } else if (command == "list" && control) {
        PrintEntries(control, static_cast<int>(SendMessageA(control, LB_GETCOUNT, 0, 0)), LB_GETTEXTLEN, LB_GETTEXT);
    } else {
        return 1;
    }
    return 0;
}
