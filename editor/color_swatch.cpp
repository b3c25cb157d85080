// Colour swatch: paints its client area in its colour, or in the button face when it has none
// or is disabled.
#include "editor/color_swatch.h"

#include <windowsx.h>

namespace {

// Window extra slots, 32 bits each.
const int ColorSlot = 0;
const int HasColorSlot = 4;

BOOL OnSwatchCreate(HWND swatch, LPCREATESTRUCT)
{
    ClearSwatchColor(swatch);
    return TRUE;
}

void OnSwatchEnable(HWND swatch, BOOL)
{
    InvalidateRect(swatch, nullptr, TRUE);
}

void OnSwatchPaint(HWND swatch)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(swatch, &paint);
    RECT client;
    GetClientRect(swatch, &client);
    bool enabled = !(GetWindowLongA(swatch, GWL_STYLE) & WS_DISABLED);
    if (SwatchHasColor(swatch) && enabled) {
        HBRUSH brush = CreateSolidBrush(GetSwatchColor(swatch));
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(swatch, &paint);
}

LRESULT CALLBACK ColorSwatchProc(HWND swatch, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(swatch, WM_CREATE, OnSwatchCreate);
        HANDLE_MSG(swatch, WM_ENABLE, OnSwatchEnable);
        HANDLE_MSG(swatch, WM_PAINT, OnSwatchPaint);
    }
    return DefWindowProcA(swatch, msg, wParam, lParam);
}

} // namespace

void RegisterColorSwatchClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ColorSwatchProc;
    wc.cbWndExtra = 8;
    wc.hInstance = instance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "MnemoraColorClass";
    RegisterClassA(&wc);
}

void SetSwatchColor(HWND swatch, COLORREF color)
{
    SetWindowLongA(swatch, HasColorSlot, 1);
    SetWindowLongA(swatch, ColorSlot, static_cast<LONG>(color));
    InvalidateRect(swatch, nullptr, TRUE);
}

void ClearSwatchColor(HWND swatch)
{
    SetWindowLongA(swatch, HasColorSlot, 0);
    InvalidateRect(swatch, nullptr, TRUE);
}

COLORREF GetSwatchColor(HWND swatch)
{
    return static_cast<COLORREF>(GetWindowLongA(swatch, ColorSlot));
}

bool SwatchHasColor(HWND swatch)
{
    return GetWindowLongA(swatch, HasColorSlot) == 1;
}
