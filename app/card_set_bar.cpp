// Card-set bar: toolbar of board sizes, "Card sets:" label and the card set combo box. Its
// pixel sizes are designed for 96 DPI and drawn at the bar's DPI (kept in its property "Dpi");
// images and font are made again when the main window moves to a monitor of another DPI. The
// toolbar takes the keyboard (arrows, Home, End between its buttons, Space and Enter press one),
// shows each size as a tooltip and tells screen readers the buttons' names.
#include "app/card_set_bar.h"

#include "app/main_window.h"
#include "app/startup.h"
#include "cardset/card_set_folder.h"
#include "game/card_accessible.h"
#include "game/card_button.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <vector>

BoardSize BoardSizes[] = {{2, 2, -1}, {2, 3, -1}, {3, 2, -1}, {4, 4, -1}, {4, 5, -1}, {5, 4, -1}, {0, 0, -1}};

namespace {

const int ImageSize = 96; // at 96 DPI
const int ButtonGap = 15;

HIMAGELIST BoardSizeImages = nullptr;
HBRUSH LabelBrush = nullptr;
int FocusSize = 0; // the board size whose button has the keyboard focus while the toolbar has it

HFONT GetBarFont(HWND bar)
{
    return static_cast<HFONT>(GetPropA(bar, "Font"));
}

HWND CreateBarChild(HWND bar, const char* className, const char* text, DWORD style, int id)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(bar, GWLP_HINSTANCE));
    return CreateWindowExA(0, className, text, style, 0, 0, 0, 0, bar,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

// Fills the toolbar with one button per board size and 15-pixel separators (at 96 DPI) between
// them, replacing the buttons it had.
void AddBoardSizeButtons(HWND toolbar, int dpi)
{
    while (SendMessageA(toolbar, TB_DELETEBUTTON, 0, 0)) {
    }
    int n = CountBoardSizes();
    std::vector<TBBUTTON> buttons(2 * n - 1);
    for (int i = 0; i < n; ++i) {
        TBBUTTON& button = buttons[2 * i];
        button.iBitmap = BoardSizes[i].ImageIndex;
        button.idCommand = 2001 + i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_AUTOSIZE;
        if (i + 1 < n) {
            TBBUTTON& gap = buttons[2 * i + 1];
            gap.iBitmap = ScaleForDpi(ButtonGap, dpi);
            gap.fsStyle = TBSTYLE_SEP;
        }
    }
    SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

// Makes the bar's font and button images for a DPI, replacing those it had.
void MakeDpiObjects(HWND bar, int dpi)
{
    SetPropA(bar, "Dpi", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(10, dpi, 72);
    lstrcpyA(font.lfFaceName, "Arial");
    HFONT barFont = CreateFontIndirectA(&font);
    SendMessageA(GetDlgItem(bar, BarLabelId), WM_SETFONT, reinterpret_cast<WPARAM>(barFont), TRUE);
    SendMessageA(GetDlgItem(bar, BarComboId), WM_SETFONT, reinterpret_cast<WPARAM>(barFont), TRUE);
    DeleteObject(GetBarFont(bar));
    SetPropA(bar, "Font", barFont);

    HWND toolbar = GetDlgItem(bar, BarToolbarId);
    int size = ScaleForDpi(ImageSize, dpi);
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(size, size));
    int n = CountBoardSizes();
    HIMAGELIST old = BoardSizeImages;
    BoardSizeImages = ImageList_Create(size, size, 0, n, 0);
    for (int i = 0; i < n; ++i) {
        HBITMAP image = DrawBoardSizeImage(BoardSizes[i].Rows, BoardSizes[i].Columns, size);
        BoardSizes[i].ImageIndex = ImageList_Add(BoardSizeImages, image, nullptr);
        DeleteObject(image);
    }
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(BoardSizeImages));
    if (old)
        ImageList_Destroy(old);
    AddBoardSizeButtons(toolbar, dpi);
}

// --- The toolbar's keyboard, focus mark and accessible object ---

RECT SizeButtonRect(HWND toolbar, int size)
{
    RECT rect = {};
    SendMessageA(toolbar, TB_GETITEMRECT, 2 * size, reinterpret_cast<LPARAM>(&rect)); // separators between
    return rect;
}

// Presses a board-size button as a click does: the toolbar's command goes to the bar.
void PressSizeButton(HWND toolbar, int size)
{
    SendMessageA(GetParent(toolbar), WM_COMMAND, MAKEWPARAM(2001 + size, BN_CLICKED),
                 reinterpret_cast<LPARAM>(toolbar));
}

int SizeChildCount(HWND)
{
    return CountBoardSizes();
}

std::wstring SizeName(HWND, long child)
{
    return child == CHILDID_SELF ? L"Board sizes" : BoardSizeName(child - 1);
}

long SizeRole(HWND, long child)
{
    return child == CHILDID_SELF ? ROLE_SYSTEM_TOOLBAR : ROLE_SYSTEM_PUSHBUTTON;
}

long SizeState(HWND toolbar, long child)
{
    bool focused = GetFocus() == toolbar && (child == CHILDID_SELF || child - 1 == FocusSize);
    return child == CHILDID_SELF ? (focused ? STATE_SYSTEM_FOCUSED : 0)
                                 : STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0);
}

RECT SizeChildRect(HWND toolbar, long child)
{
    return SizeButtonRect(toolbar, child - 1);
}

const wchar_t* SizeDefaultAction(HWND, long child)
{
    return child == CHILDID_SELF ? nullptr : L"Press";
}

void PressSizeChild(HWND toolbar, long child)
{
    PressSizeButton(toolbar, child - 1);
}

const AccessibleSource SizeButtonsSource = {SizeChildCount, SizeName,          SizeRole,      SizeState,
                                            SizeChildRect,  SizeDefaultAction, PressSizeChild};

// The button with the keyboard focus is the toolbar's hot item too, so that the toolbar's own
// highlight agrees with the focus mark.
void MoveSizeFocus(HWND toolbar, int size)
{
    FocusSize = size;
    SendMessageA(toolbar, TB_SETHOTITEM, 2 * size, 0);
    InvalidateRect(toolbar, nullptr, TRUE);
    NotifyFocus(toolbar, size + 1);
}

// The toolbar as the platform makes it, with the keyboard and the focus mark of our own: a toolbar
// without the flat style has no keyboard focus of its own to show.
LRESULT CALLBACK SizeToolbarProc(HWND toolbar, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    int last = CountBoardSizes() - 1;
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam == VK_LEFT || wParam == VK_UP)
            MoveSizeFocus(toolbar, FocusSize > 0 ? FocusSize - 1 : 0);
        else if (wParam == VK_RIGHT || wParam == VK_DOWN)
            MoveSizeFocus(toolbar, FocusSize < last ? FocusSize + 1 : last);
        else if (wParam == VK_HOME || wParam == VK_END)
            MoveSizeFocus(toolbar, wParam == VK_HOME ? 0 : last);
        else if ((wParam == VK_SPACE || wParam == VK_RETURN) && !(HIWORD(lParam) & KF_REPEAT))
            PressSizeButton(toolbar, FocusSize);
        else
            break;
        ShowFocusMarks();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
        DefSubclassProc(toolbar, msg, wParam, lParam);
        MoveSizeFocus(toolbar, FocusSize);
        return 0;
    case WM_KILLFOCUS:
        DefSubclassProc(toolbar, msg, wParam, lParam);
        SendMessageA(toolbar, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
        InvalidateRect(toolbar, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        LRESULT result = DefSubclassProc(toolbar, msg, wParam, lParam);
        if (GetFocus() == toolbar && FocusMarksShown()) {
            RECT frame = SizeButtonRect(toolbar, FocusSize);
            InflateRect(&frame, -6, -6); // inside the image's outline
            HDC dc = GetDC(toolbar);
            DrawFocusFrame(dc, frame);
            ReleaseDC(toolbar, dc);
        }
        return result;
    }
    case WM_GETOBJECT:
        if (static_cast<long>(lParam) == OBJID_CLIENT)
            return AnswerGetObject(toolbar, wParam, lParam, SizeButtonsSource);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(toolbar, SizeToolbarProc, 0);
        break;
    }
    return DefSubclassProc(toolbar, msg, wParam, lParam);
}

BOOL OnBarCreate(HWND bar, LPCREATESTRUCT)
{
    HWND toolbar = CreateBarChild(bar, TOOLBARCLASSNAMEA, "",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS |
                                      CCS_NOPARENTALIGN | CCS_NORESIZE,
                                  BarToolbarId);
    if (!toolbar)
        return FALSE;
    SetWindowSubclass(toolbar, SizeToolbarProc, 0, 0);
    HWND label = CreateBarChild(bar, "STATIC", "Card sets:", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, BarLabelId);
    if (!label)
        return FALSE;
    HWND combo =
        CreateBarChild(bar, "COMBOBOX", "",
                       WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | CBS_SORT | CBS_DROPDOWNLIST, BarComboId);
    if (!combo)
        return FALSE;

    LabelBrush = CreateSolidBrush(BarBackgroundColor);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // The font's height follows the DPI (10 points); at the display's DPI that is LOGPIXELSY.
    MakeDpiObjects(bar, GetWindowDpi(bar));
    return TRUE;
}

// The main window moved to a monitor of another DPI (forwarded with the new DPI in wParam).
void OnBarDpiChanged(HWND bar, int dpi)
{
    MakeDpiObjects(bar, dpi);
}

void OnBarDestroy(HWND bar)
{
    DestroyWindow(GetDlgItem(bar, BarComboId));
    DestroyWindow(GetDlgItem(bar, BarLabelId));
    DestroyWindow(GetDlgItem(bar, BarToolbarId));
    ImageList_Destroy(BoardSizeImages);
    BoardSizeImages = nullptr;
    DeleteObject(RemovePropA(bar, "Font"));
    RemovePropA(bar, "Dpi");
    DeleteObject(LabelBrush);
    LabelBrush = nullptr;
}

void OnBarSize(HWND bar, UINT, int, int height)
{
    SIZE preferred = GetBarSize(bar);
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HGDIOBJ oldFont = SelectObject(dc, GetBarFont(bar));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    char text[256] = "";
    HWND label = GetDlgItem(bar, BarLabelId);
    GetWindowTextA(label, text, sizeof text);
    SIZE extent = {};
    GetTextExtentPointA(dc, text, lstrlenA(text), &extent);
    SelectObject(dc, oldFont);
    DeleteDC(dc);

    int dpi = GetBarDpi(bar), edge = GetSystemMetricForDpi(SM_CYEDGE, dpi), gap = ScaleForDpi(5, dpi);
    int x = 0;
    MoveWindow(GetDlgItem(bar, BarToolbarId), x, -edge, preferred.cx, height + edge, TRUE);
    x = preferred.cx + gap;
    MoveWindow(label, x, height / 2 - extent.cy / 2, extent.cx, extent.cy, TRUE);
    x = x + extent.cx + gap;
    MoveWindow(GetDlgItem(bar, BarComboId), x, preferred.cy / 2 - metrics.tmHeight / 2, 30 * metrics.tmAveCharWidth,
               10 * metrics.tmHeight, TRUE);
}

// Commands of the toolbar and notifications of the combo box go on to the main window.
void OnBarCommand(HWND bar, int id, HWND control, UINT code)
{
    PostMessageA(GetParent(bar), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

// The tooltip of a board-size button: its size, asked for in the bar's character set or in UTF-16.
LRESULT OnBarNotify(HWND, int, NMHDR* header)
{
    int size = static_cast<int>(header->idFrom) - 2001;
    if (size < 0 || size >= CountBoardSizes())
        return 0;
    if (header->code == TTN_GETDISPINFOA)
        lstrcpynA(reinterpret_cast<NMTTDISPINFOA*>(header)->szText, BoardSizeAnsiName(size).c_str(), 80);
    else if (header->code == TTN_GETDISPINFOW)
        lstrcpynW(reinterpret_cast<NMTTDISPINFOW*>(header)->szText, BoardSizeName(size).c_str(), 80);
    return 0;
}

HBRUSH OnBarCtlColorStatic(HWND, HDC dc, HWND, int)
{
    SetBkColor(dc, BarBackgroundColor);
    return LabelBrush;
}

} // namespace

int CountBoardSizes()
{
    int n = 0;
    while (BoardSizes[n].Rows != 0)
        ++n;
    return n;
}

std::wstring BoardSizeName(int row)
{
    return std::to_wstring(BoardSizes[row].Rows) + L" \u00D7 " + std::to_wstring(BoardSizes[row].Columns);
}

std::string BoardSizeAnsiName(int row)
{
    std::wstring wide = BoardSizeName(row);
    char text[64] = "";
    BOOL substituted = FALSE;
    int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, text, sizeof text, nullptr, &substituted);
    if (length > 0 && !substituted)
        return text;
    return std::to_string(BoardSizes[row].Rows) + " x " + std::to_string(BoardSizes[row].Columns);
}

int GetBarDpi(HWND bar)
{
    INT_PTR dpi = reinterpret_cast<INT_PTR>(GetPropA(bar, "Dpi"));
    return dpi > 0 ? static_cast<int>(dpi) : GetWindowDpi(bar);
}

SIZE GetBarSize(HWND bar)
{
    int n = CountBoardSizes(), dpi = GetBarDpi(bar);
    int ex = GetSystemMetricForDpi(SM_CXEDGE, dpi);
    int ey = GetSystemMetricForDpi(SM_CYEDGE, dpi);
    int image = ScaleForDpi(ImageSize, dpi), gap = ScaleForDpi(ButtonGap, dpi);
    SIZE size = {(4 * ex + image) * n + gap * (n - 1), 4 * ey + image};
    return size;
}

HBITMAP DrawBoardSizeImage(int rows, int columns, int size)
{
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HBITMAP image = CreateCompatibleBitmap(display, size, size);
    HDC dc = CreateCompatibleDC(display);
    HGDIOBJ oldBitmap = SelectObject(dc, image);
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    int cellWidth = (size - 1) / columns;
    int cellHeight = (size - 1) / rows;
    int y = 0;
    for (int r = 0; r < rows; ++r) {
        int h = r == rows - 1 ? size - 1 - y : cellHeight;
        int x = 0;
        for (int c = 0; c < columns; ++c) {
            int w = c == columns - 1 ? size - 1 - x : cellWidth;
            Rectangle(dc, x, y, x + w + 1, y + h + 1);
            x += cellWidth;
        }
        y += cellHeight;
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    DeleteDC(display);
    return image;
}

void FillCardSetCombo(HWND mainWindow)
{
    HWND combo = GetCardSetCombo(mainWindow);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    std::set<std::string> names;
    EnumerateCardSets(names);
    for (const std::string& name : names)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

LRESULT CALLBACK BarWindowProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(bar, WM_CREATE, OnBarCreate);
        HANDLE_MSG(bar, WM_DESTROY, OnBarDestroy);
        HANDLE_MSG(bar, WM_SIZE, OnBarSize);
        HANDLE_MSG(bar, WM_COMMAND, OnBarCommand);
        HANDLE_MSG(bar, WM_CTLCOLORSTATIC, OnBarCtlColorStatic);
        HANDLE_MSG(bar, WM_NOTIFY, OnBarNotify);
    case WmDpiChanged:
        OnBarDpiChanged(bar, LOWORD(wParam));
        return 0;
    case WM_USER:
        return GetBarSize(bar).cy;
    }
    return DefWindowProcA(bar, msg, wParam, lParam);
}
