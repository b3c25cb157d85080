// Card button: one card on the board. It paints itself, shows press feedback while the left
// button is held on it and posts a completed click to the board, which decides what it does.
#include "game/card_button.h"

#include "game/card_face.h"

#include <windowsx.h>

namespace {

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

} // namespace

LRESULT CALLBACK CardButtonProc(HWND card, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(card, WM_CREATE, OnCardCreate);
        HANDLE_MSG(card, WM_DESTROY, OnCardDestroy);
        HANDLE_MSG(card, WM_ERASEBKGND, OnCardEraseBkgnd);
        HANDLE_MSG(card, WM_PAINT, OnCardPaint);
        HANDLE_MSG(card, WM_LBUTTONDOWN, OnCardLButtonDown);
        HANDLE_MSG(card, WM_LBUTTONUP, OnCardLButtonUp);
    case WM_CAPTURECHANGED:
        OnCardCaptureChanged(card, reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return DefWindowProcA(card, msg, wParam, lParam);
}
