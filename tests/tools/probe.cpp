// Looks at a running Mnemora from another process, for the scripts that drive the real program
// with the mouse: where its controls are on the screen, what the card set list holds, and what
// message boxes say.
//   probe window        main window, bar controls and combo box entries
//   probe dialogs       every visible dialog or message box of the program
//   probe frame         screen rectangle of the topmost dialog
//   probe button ID     screen rectangle of a button of the topmost dialog
//   probe item ID N     screen rectangle of item N of a list box of the topmost dialog
//   probe text ID       text of a control of the topmost dialog
//   probe list ID       the items of a list box of the topmost dialog, and its selection
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// An entry of another process's combo box. Asked for in UTF-16, which crosses processes whole.
void GetComboText(HWND combo, int index, char* text, int size)
{
    wchar_t wide[256] = L"";
    text[0] = '\0';
    if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) < 256 &&
        SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide)) != CB_ERR)
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, size, nullptr, nullptr);
}

void PrintRect(const char* name, HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    std::printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

HWND FindMainWindow()
{
    return FindWindowA("MnemoraClass", nullptr);
}

int ProbeWindow()
{
    HWND main = FindMainWindow();
    if (!main || !IsWindowVisible(main))
        return 1;
    char text[256] = "";
    GetWindowTextA(main, text, sizeof text);
    std::printf("title %s\n", text);
    PrintRect("main", main);
    HWND bar = GetDlgItem(main, 1);
    PrintRect("board", GetDlgItem(main, 2));
    PrintRect("toolbar", GetDlgItem(bar, 1));
    PrintRect("label", GetDlgItem(bar, 2));
    HWND combo = GetDlgItem(bar, 3);
    PrintRect("combo", combo);
    int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    std::printf("items");
    for (int i = 0; i < count; ++i) {
        GetComboText(combo, i, text, sizeof text);
        std::printf("%s%s", i ? "|" : " ", text);
    }
    std::printf("\n");
    int selection = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    text[0] = '\0';
    if (selection >= 0)
        GetComboText(combo, selection, text, sizeof text);
    std::printf("selected %s\n", text);
    // Cards of the board: id, face up, pair, screen rectangle.
    for (int id = 1; id <= 20; ++id) {
        HWND card = GetDlgItem(GetDlgItem(main, 2), id);
        if (!card)
            break;
        char name[64];
        std::snprintf(name, sizeof name, "card%d faceup=%ld pair=%ld", id, GetWindowLongA(card, 0),
                      GetWindowLongA(card, 8));
        PrintRect(name, card);
    }
    return 0;
}

BOOL CALLBACK PrintDialog(HWND window, LPARAM)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    char caption[256] = "", text[1024] = "";
    GetWindowTextA(window, caption, sizeof caption);
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    for (char* c = text; *c; ++c)
        if (*c == '\n' || *c == '\r')
            *c = '/';
    std::printf("dialog %s|%s\n", caption, text);
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM param)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "window") == 0)
        return ProbeWindow();
    if (argc >= 2 && std::strcmp(argv[1], "dialogs") == 0) {
        EnumWindows(PrintDialog, 0);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "frame") == 0) {
        HWND dialog = nullptr;
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            return 1;
        PrintRect("frame", dialog);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "button") == 0) {
        HWND dialog = nullptr;
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
        HWND button = dialog ? GetDlgItem(dialog, std::atoi(argv[2])) : nullptr;
        if (!button)
            return 1;
        PrintRect("button", button);
        return 0;
    }
    if (argc >= 4 && std::strcmp(argv[1], "item") == 0) {
        HWND dialog = nullptr;
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
        HWND list = dialog ? GetDlgItem(dialog, std::atoi(argv[2])) : nullptr;
        RECT item = {};
        if (!list || SendMessageA(list, LB_GETITEMRECT, std::atoi(argv[3]), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            return 1;
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
        std::printf("item %ld %ld %ld %ld\n", item.left, item.top, item.right - item.left, item.bottom - item.top);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "text") == 0) {
        HWND dialog = nullptr;
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
        HWND control = dialog ? GetDlgItem(dialog, std::atoi(argv[2])) : nullptr;
        if (!control)
            return 1;
        wchar_t wide[1024] = L"";
        char text[1024] = "";
        // Asked with the message: the text of another process's edit is not its window caption.
        SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        std::printf("text %s\n", text);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "list") == 0) {
        HWND dialog = nullptr;
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
        HWND list = dialog ? GetDlgItem(dialog, std::atoi(argv[2])) : nullptr;
        if (!list)
            return 1;
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        std::printf("count %d\nselected %d\nitems", count, static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)));
        // An owner-drawn list without strings has only item data to show.
        bool strings = (GetWindowLongA(list, GWL_STYLE) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0 ||
                       (GetWindowLongA(list, GWL_STYLE) & LBS_HASSTRINGS) != 0;
        for (int i = 0; i < count && strings; ++i) {
            wchar_t wide[256] = L"";
            char text[256] = "";
            if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 256)
                SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            std::printf("%s%s", i ? "|" : " ", text);
        }
        std::printf("\n");
        return 0;
    }
    std::fprintf(stderr, "usage: probe window | dialogs | frame | button ID | item ID N | text ID | list ID\n");
    return 2;
}
