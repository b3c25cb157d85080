// Card button: one card on the board. It paints itself, shows press feedback while the left
// button is held on it and posts a completed click to the board, which decides what it does. It
// takes the keyboard focus (a click, Tab): arrows, Home and End move the focus across the board,
// Space and Enter post the same click; it tells screen readers its name and state.
#include "game/card_button.h"

#include "game/board.h"
#include "game/card_accessible.h"
#include "game/card_face.h"

#include <windowsx.h>

namespace {

bool FocusMarks = false;
int FocusCardId = 1; // the card that had the focus last, or the first of a new deal

void Invalidate(HWND card)
{
    InvalidateRect(card, nullptr, TRUE);
}

BOOL OnCardCreate(HWND card, LPCREATESTRUCT)
{
    SetWindowLongA(card, PressedSlot, 0);
    SetWindowLongA(card, FaceUpSlot, 0);
    Invalidate(card);
    SetWindowLongA(card, PairIndexSlot, -1);
    Invalidate(card);
    return TRUE;
}

void OnCardDestroy(HWND card)
{
    ReleaseCardPaintCache(card);
}

BOOL OnCardEraseBkgnd(HWND card, HDC dc)
{
    if (CardPaintCoversAll(card))
        return TRUE;
    RECT client;
    GetClientRect(card, &client);
    HBRUSH brush = CreateSolidBrush(GetCardBackgroundColor());
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    return TRUE;
}

void OnCardPaint(HWND card)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(card, &paint);
    PaintCard(card, dc);
    EndPaint(card, &paint);
}

void OnCardLButtonDown(HWND card, BOOL, int, int, UINT)
{
    SetFocus(card);
    SetWindowLongA(card, PressedSlot, 1);
    Invalidate(card);
    SetCapture(card);
}

void OnCardLButtonUp(HWND card, int x, int y, UINT)
{
    ReleaseCapture();
    SetWindowLongA(card, PressedSlot, 0);
    Invalidate(card);
    RECT client;
    GetClientRect(card, &client);
    if (x >= 0 && x < client.right && y >= 0 && y < client.bottom)
        PostMessageA(GetParent(card), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(card), BN_CLICKED),
                     reinterpret_cast<LPARAM>(card));
}

// A press whose capture another window took (a message box, a dialog) ends without a click, so
// the card does not stay drawn pressed.
void OnCardCaptureChanged(HWND card, HWND)
{
    if (GetWindowLongA(card, PressedSlot)) {
        SetWindowLongA(card, PressedSlot, 0);
        Invalidate(card);
    }
}

// The card a key moves the focus to from the card with the given id (stopping at the edges), or 0.
int CardAfterKey(HWND board, int id, UINT key)
{
    int rows = 0, columns = 0;
    if (!GetBoardShape(board, rows, columns) || id < 1 || id > rows * columns)
        return 0;
    int row = (id - 1) / columns, column = (id - 1) % columns;
    switch (key) {
    case VK_LEFT:
        return column > 0 ? id - 1 : id;
    case VK_RIGHT:
        return column < columns - 1 ? id + 1 : id;
    case VK_UP:
        return row > 0 ? id - columns : id;
    case VK_DOWN:
        return row < rows - 1 ? id + columns : id;
    case VK_HOME:
        return 1;
    case VK_END:
        return rows * columns;
    }
    return 0;
}

// Arrows, Home and End move the focus; Space and Enter turn the card the way a click does (a key
// held down turns it once).
void OnCardKeyDown(HWND card, UINT key, BOOL, int repeat, UINT flags)
{
    HWND board = GetParent(card);
    int id = GetDlgCtrlID(card), to = CardAfterKey(board, id, key);
    if (to) {
        ShowFocusMarks();
        SetFocus(GetDlgItem(board, to));
    } else if (key == VK_SPACE || key == VK_RETURN) {
        ShowFocusMarks();
        if (!(flags & KF_REPEAT))
            PostMessageA(board, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(card));
    } else {
        FORWARD_WM_KEYDOWN(card, key, repeat, flags, DefWindowProcA);
    }
}

UINT OnCardGetDlgCode(HWND, LPMSG)
{
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void OnCardSetFocus(HWND card, HWND)
{
    FocusCardId = GetDlgCtrlID(card);
    if (FocusMarks)
        Invalidate(card);
    NotifyFocus(card);
}

void OnCardKillFocus(HWND card, HWND)
{
    if (FocusMarks)
        Invalidate(card);
}

} // namespace

void ShowFocusMarks()
{
    if (FocusMarks)
        return;
    FocusMarks = true;
    HWND focus = GetFocus();
    if (focus)
        InvalidateRect(focus, nullptr, TRUE);
}

bool FocusMarksShown()
{
    return FocusMarks;
}

bool FocusBoardCard(HWND board)
{
    HWND card = GetDlgItem(board, FocusCardId);
    if (!card || FocusCardId < 1)
        card = GetDlgItem(board, 1);
    if (!card)
        return false;
    SetFocus(card);
    return true;
}

void DrawFocusFrame(HDC dc, const RECT& frame)
{
    // A 2 x 2 checker of the DC's text colour (0 bits) and background colour (1 bits).
    static const WORD checker[8] = {0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, checker);
    HBRUSH brush = CreatePatternBrush(pattern);
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0)), oldBack = SetBkColor(dc, RGB(255, 255, 255));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    int width = frame.right - frame.left, height = frame.bottom - frame.top, thick = 2;
    PatBlt(dc, frame.left, frame.top, width, thick, PATCOPY);
    PatBlt(dc, frame.left, frame.bottom - thick, width, thick, PATCOPY);
    PatBlt(dc, frame.left, frame.top + thick, thick, height - 2 * thick, PATCOPY);
    PatBlt(dc, frame.right - thick, frame.top + thick, thick, height - 2 * thick, PATCOPY);
    SelectObject(dc, oldBrush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DeleteObject(brush);
    DeleteObject(pattern);
}

void DrawCardFocusMark(HWND card, HDC dc)
{
    // Whether marks are shown is asked first: asking for the focus is a request to the window
    // server on some platforms, made for every card at every paint.
    if (!FocusMarksShown() || GetFocus() != card)
        return;
    RECT client;
    GetClientRect(card, &client);
    int margin = CardFaceMargin(client.right, client.bottom);
    RECT frame = {margin + 1, margin + 1, client.right - margin - 1, client.bottom - margin - 1};
    if (frame.right - frame.left >= 4 && frame.bottom - frame.top >= 4)
        DrawFocusFrame(dc, frame);
}

void FocusFirstCard(HWND board)
{
    FocusCardId = 1;
    HWND card = GetDlgItem(board, 1);
    if (card && GetActiveWindow() == GetAncestor(board, GA_ROOT))
        SetFocus(card);
}

LRESULT CALLBACK CardButtonProc(HWND card, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(card, WM_CREATE, OnCardCreate);
        HANDLE_MSG(card, WM_DESTROY, OnCardDestroy);
        HANDLE_MSG(card, WM_ERASEBKGND, OnCardEraseBkgnd);
        HANDLE_MSG(card, WM_PAINT, OnCardPaint);
        HANDLE_MSG(card, WM_LBUTTONDOWN, OnCardLButtonDown);
        HANDLE_MSG(card, WM_LBUTTONUP, OnCardLButtonUp);
        HANDLE_MSG(card, WM_KEYDOWN, OnCardKeyDown);
        HANDLE_MSG(card, WM_GETDLGCODE, OnCardGetDlgCode);
        HANDLE_MSG(card, WM_SETFOCUS, OnCardSetFocus);
        HANDLE_MSG(card, WM_KILLFOCUS, OnCardKillFocus);
    case WM_GETOBJECT:
        return AnswerCardGetObject(card, wParam, lParam);
    case WM_CAPTURECHANGED:
        OnCardCaptureChanged(card, reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return DefWindowProcA(card, msg, wParam, lParam);
}
