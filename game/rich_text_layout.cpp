// Rich-text layout: not yet built.
#include "game/rich_text_layout.h"

LRESULT FormatRichTextRange(HWND richEdit, BOOL render, FORMATRANGE* range)
{
    return SendMessageA(richEdit, EM_FORMATRANGE, render, reinterpret_cast<LPARAM>(range));
}

void PixelsToTwips(RECT& rect, HDC dc)
{
    rect.left = MulDiv(rect.left, 1440, GetDeviceCaps(dc, LOGPIXELSX));
    rect.right = MulDiv(rect.right, 1440, GetDeviceCaps(dc, LOGPIXELSX));
    rect.top = MulDiv(rect.top, 1440, GetDeviceCaps(dc, LOGPIXELSY));
    rect.bottom = MulDiv(rect.bottom, 1440, GetDeviceCaps(dc, LOGPIXELSY));
}

int RenderRichText(HWND, HDC, HDC, const RECT&, bool, int* heightOut)
{
    if (heightOut)
        *heightOut = 0;
    return 0;
}

void SetRichTextPointSize(HWND, int) {}

bool RichTextFits(HWND, int, HDC, const RECT&, int)
{
    return false;
}

int MeasureRichTextHeight(HWND, HDC)
{
    return 0;
}

int FitRichTextPointSize(HWND, HDC, const RECT&, int)
{
    return 8;
}
