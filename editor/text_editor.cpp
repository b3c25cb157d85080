// Rich-text editor control: a formatting bar above a one-line RichEdit. The control holds no text
// of its own; its owner streams texts in and out of the RichEdit child directly.
#include "editor/text_editor.h"

#include "app/message_box.h"
#include "app/startup.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <windowsx.h>

namespace {

// Every RichEdit child has the same class procedure; each editor writes it here.
WNDPROC PreviousRichEditProc = nullptr;

HFONT GetEditorFont(HWND editor)
{
    return static_cast<HFONT>(GetPropA(editor, "Font"));
}

HWND GetRichEdit(HWND editor)
{
    return GetDlgItem(editor, EditorRichEditId);
}

// The RichEdit child does not keep the Tab key: it moves the focus in the dialog instead.
LRESULT CALLBACK RichEditSubclassProc(HWND richEdit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(PreviousRichEditProc, richEdit, msg, wParam, lParam);
    if (msg == WM_GETDLGCODE)
        result &= ~DLGC_WANTTAB;
    return result;
}

// Adds one face to the font list; vertical faces ("@" first) are left out.
int CALLBACK AddFontName(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM param)
{
    HWND list = reinterpret_cast<HWND>(param);
    const char* face = font->lfFaceName;
    if (face[0] != '@' &&
        SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face)) == CB_ERR)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face));
    return 1;
}

HWND CreateEditorChild(HWND editor, const char* className, const char* text, DWORD style, int id)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(editor, GWLP_HINSTANCE));
    return CreateWindowExA(0, className, text, style, 0, 0, 0, 0, editor,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

CHARFORMATA GetSelectionFormat(HWND editor)
{
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(GetRichEdit(editor), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

void SetSelectionFormat(HWND editor, CHARFORMATA& format)
{
    SendMessageA(GetRichEdit(editor), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

// Shows the face of the selection in the font list; a face not in the list (mixed faces) leaves
// the list as it is.
void UpdateFontCombo(HWND editor)
{
    CHARFORMATA format = GetSelectionFormat(editor);
    HWND list = GetDlgItem(editor, EditorFontListId);
    char current[256] = "";
    LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR && SendMessageA(list, CB_GETLBTEXTLEN, selected, 0) < static_cast<LRESULT>(sizeof current))
        SendMessageA(list, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(current));
    if (lstrcmpA(format.szFaceName, current) == 0)
        return;
    LRESULT found = SendMessageA(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(format.szFaceName));
    if (found != CB_ERR)
        SendMessageA(list, CB_SETCURSEL, found, 0);
}

BOOL OnEditorCreate(HWND editor, LPCREATESTRUCT)
{
    HWND richEdit = CreateEditorChild(editor, "RichEdit20A", "", 0x50810080, EditorRichEditId);
    if (!richEdit) {
        char text[128];
        wsprintfA(text, "CreateWindow of RICHEDIT_CLASS (in TEXTPROFILECLASS) failed, error code %d",
                  static_cast<int>(GetLastError()));
        MessageBoxA(editor, text, "Error", MB_ICONERROR);
        return FALSE;
    }
    PreviousRichEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(richEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RichEditSubclassProc)));
    static const char* const Labels[] = {"B", "I", "U", "C"};
    for (int id = EditorBoldId; id <= EditorColorId; ++id)
        if (!CreateEditorChild(editor, "BUTTON", Labels[id - EditorBoldId], WS_CHILD | WS_VISIBLE, id))
            return FALSE;
    HWND list = CreateEditorChild(editor, "COMBOBOX", "", 0x50200103, EditorFontListId);
    if (!list)
        return FALSE;
    // The Tab key reaches the text inside, though the control itself is no tab stop.
    SetWindowLongA(editor, GWL_EXSTYLE, GetWindowLongA(editor, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);

    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(8, GetDeviceCaps(display, LOGPIXELSY), 72);
    font.lfWeight = FW_BOLD;
    lstrcpyA(font.lfFaceName, "Helv");
    HFONT listFont = CreateFontIndirectA(&font);
    SetPropA(editor, "Font", listFont);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont), TRUE);
    LOGFONTA all = {};
    all.lfCharSet = ANSI_CHARSET;
    EnumFontFamiliesExA(display, &all, AddFontName, reinterpret_cast<LPARAM>(list), 0);
    DeleteDC(display);

    LRESULT mask = SendMessageA(richEdit, EM_GETEVENTMASK, 0, 0);
    SendMessageA(richEdit, EM_SETEVENTMASK, 0, mask | ENM_CHANGE | ENM_SELCHANGE);
    return TRUE;
}

void OnEditorDestroy(HWND editor)
{
    for (int id = EditorRichEditId; id <= EditorFontListId; ++id)
        DestroyWindow(GetDlgItem(editor, id));
    HFONT font = GetEditorFont(editor);
    if (font)
        DeleteObject(font);
    RemovePropA(editor, "Font");
}

// Buttons in a row at the top, the font list under them, the text line along the bottom edge.
void LayoutEditor(HWND editor, int width, int height)
{
    RECT line = {0, 0, 100, 14};
    MapDialogRect(GetParent(editor), &line);
    int lineHeight = line.bottom;
    int button = ScaleForDpi(32, GetWindowDpi(editor)); // 32 pixels at 96 DPI
    for (int id = EditorBoldId; id <= EditorColorId; ++id)
        MoveWindow(GetDlgItem(editor, id), (id - EditorBoldId) * button, 0, button, button, TRUE);
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HGDIOBJ old = SelectObject(display, GetEditorFont(editor));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(display, &metrics);
    SelectObject(display, old);
    DeleteDC(display);
    MoveWindow(GetDlgItem(editor, EditorFontListId), 0, button, 25 * metrics.tmAveCharWidth, 15 * metrics.tmHeight,
               TRUE);
    MoveWindow(GetRichEdit(editor), 0, height - lineHeight, width, lineHeight, TRUE);
}

void OnEditorSize(HWND editor, UINT, int width, int height)
{
    LayoutEditor(editor, width, height);
}

void OnEditorSetFocus(HWND editor, HWND)
{
    SetFocus(GetRichEdit(editor));
}

void OnEditorSetFont(HWND editor, HFONT font, BOOL redraw)
{
    PostMessageA(GetRichEdit(editor), WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
}

LRESULT OnEditorNotify(HWND editor, int id, NMHDR* header)
{
    if (id == EditorRichEditId && header->code == EN_SELCHANGE)
        UpdateFontCombo(editor);
    return 0;
}

// Bold, italic or underline for the selection: the opposite of what the control reports for it.
void ToggleEffect(HWND editor, DWORD flag)
{
    CHARFORMATA format = GetSelectionFormat(editor);
    format.dwMask = flag;
    format.dwEffects ^= flag;
    SetSelectionFormat(editor, format);
}

// The colour chooser for the selection, starting on its colour where it has one.
void ChooseTextColor(HWND editor)
{
    CHARFORMATA format = GetSelectionFormat(editor);
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = editor;
    choose.lpCustColors = CustomColors;
    choose.Flags = CC_FULLOPEN | CC_ANYCOLOR;
    if (format.dwEffects & CFE_AUTOCOLOR) {
        choose.Flags |= CC_RGBINIT;
        choose.rgbResult = GetSysColor(COLOR_WINDOWTEXT);
    } else if (format.dwMask & CFM_COLOR) {
        choose.Flags |= CC_RGBINIT;
        choose.rgbResult = format.crTextColor;
    }
    if (!ChooseColorA(&choose))
        return;
    format.dwMask = CFM_COLOR;
    format.dwEffects &= ~CFE_AUTOCOLOR;
    format.crTextColor = choose.rgbResult;
    SetSelectionFormat(editor, format);
}

// The face chosen in the font list, for the selection; size and effects stay.
void SetSelectionFace(HWND editor)
{
    HWND list = GetDlgItem(editor, EditorFontListId);
    LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    char face[256] = "";
    if (selected == CB_ERR || SendMessageA(list, CB_GETLBTEXTLEN, selected, 0) >= static_cast<LRESULT>(sizeof face))
        return;
    SendMessageA(list, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(face));
    CHARFORMATA format = GetSelectionFormat(editor);
    format.dwMask = CFM_FACE;
    lstrcpynA(format.szFaceName, face, LF_FACESIZE);
    SetSelectionFormat(editor, format);
}

void OnEditorCommand(HWND editor, int id, HWND, UINT code)
{
    switch (id) {
    case EditorRichEditId:
        if (code == EN_CHANGE)
            UpdateFontCombo(editor);
        return;
    case EditorBoldId:
        ToggleEffect(editor, CFE_BOLD);
        break;
    case EditorItalicId:
        ToggleEffect(editor, CFE_ITALIC);
        break;
    case EditorUnderlineId:
        ToggleEffect(editor, CFE_UNDERLINE);
        break;
    case EditorColorId:
        ChooseTextColor(editor);
        break;
    case EditorFontListId:
        if (code != CBN_SELCHANGE)
            return;
        SetSelectionFace(editor);
        break;
    default:
        return;
    }
    // The formatting bar hands the focus back so that typing goes on in the text.
    SetFocus(GetRichEdit(editor));
}

LRESULT CALLBACK TextEditorProc(HWND editor, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(editor, WM_CREATE, OnEditorCreate);
        HANDLE_MSG(editor, WM_DESTROY, OnEditorDestroy);
        HANDLE_MSG(editor, WM_SIZE, OnEditorSize);
        HANDLE_MSG(editor, WM_SETFOCUS, OnEditorSetFocus);
        HANDLE_MSG(editor, WM_SETFONT, OnEditorSetFont);
        HANDLE_MSG(editor, WM_NOTIFY, OnEditorNotify);
        HANDLE_MSG(editor, WM_COMMAND, OnEditorCommand);
    case WM_APP:
        UpdateFontCombo(editor);
        return 0;
    }
    return DefWindowProcA(editor, msg, wParam, lParam);
}

} // namespace

bool RegisterTextEditorClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TextEditorProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "MnemoraTextProfile";
    if (!RegisterClassA(&wc)) {
        char text[128];
        wsprintfA(text, "RegisterClass of TEXTPROFILECLASS failed, error code %d", static_cast<int>(GetLastError()));
        MessageBoxA(nullptr, text, "Error", MB_ICONERROR);
        return false;
    }
    return true;
}
