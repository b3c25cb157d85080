// Rich-text layout: formatting ranges for a device, the fit test and the point-size search.
#include "game/rich_text_layout.h"

#include "game/card_face.h"
#include "game/text_runs.h"
#include "media/rich_text.h"

namespace {

// Whether the control formats ranges itself: -1 until first asked.
int PlatformFormatsRanges = -1;

// Asks a hidden control to lay out a known text in a large rectangle; a control that formats
// reports the characters it laid out, one that cannot (a stub) reports none.
bool DetectPlatformFormatting()
{
    HWND probe = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    if (!probe)
        return false;
    StreamInRtf(probe, "Mnemora");
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    FORMATRANGE range = {};
    range.hdc = memory;
    range.hdcTarget = memory;
    range.rc = {0, 0, 1440 * 8, 1440 * 8};
    range.rcPage = range.rc;
    range.chrg.cpMin = 0;
    range.chrg.cpMax = -1;
    LRESULT laidOut = SendMessageA(probe, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    SendMessageA(probe, EM_FORMATRANGE, FALSE, 0);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DestroyWindow(probe);
    return laidOut > 0;
}

} // namespace

LRESULT FormatRichTextRange(HWND richEdit, BOOL render, FORMATRANGE* range)
{
    if (PlatformFormatsRanges < 0)
        PlatformFormatsRanges = DetectPlatformFormatting() ? 1 : 0;
    if (PlatformFormatsRanges)
        return SendMessageA(richEdit, EM_FORMATRANGE, render, reinterpret_cast<LPARAM>(range));
    return FormatRichTextRangeByRuns(richEdit, render, range);
}

CHARFORMAT2A DefaultCardTextFormat()
{
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR |
                    CFM_CHARSET | CFM_WEIGHT;
    format.dwEffects = CFE_AUTOCOLOR;
    format.yHeight = 200;
    format.wWeight = FW_NORMAL;
    format.bCharSet = DEFAULT_CHARSET;
    lstrcpyA(format.szFaceName, "Tahoma");
    return format;
}

void LoadCardText(HWND richEdit, const std::string& text)
{
    SetWindowTextA(richEdit, "");
    CHARFORMAT2A format = DefaultCardTextFormat();
    SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    if (IsRichText(text))
        StreamInRtf(richEdit, text);
    else
        AppendPlainText(richEdit, text);
}

void PixelsToTwips(RECT& rect, HDC dc)
{
    rect.left = MulDiv(rect.left, 1440, GetDeviceCaps(dc, LOGPIXELSX));
    rect.right = MulDiv(rect.right, 1440, GetDeviceCaps(dc, LOGPIXELSX));
    rect.top = MulDiv(rect.top, 1440, GetDeviceCaps(dc, LOGPIXELSY));
    rect.bottom = MulDiv(rect.bottom, 1440, GetDeviceCaps(dc, LOGPIXELSY));
}

int RenderRichText(HWND richEdit, HDC renderDC, HDC targetDC, const RECT& area, bool useCardBackground, int* heightOut)
{
    FORMATRANGE range = {};
    range.hdc = renderDC;
    range.hdcTarget = targetDC;
    range.rc = area;
    PixelsToTwips(range.rc, targetDC);
    range.rcPage = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    PixelsToTwips(range.rcPage, targetDC);
    SendMessageA(richEdit, EM_SETSEL, 0, -1);
    SendMessageA(richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
    if (useCardBackground)
        SendMessageA(richEdit, EM_SETBKGNDCOLOR, 0, GetCardBackgroundColor());
    LRESULT result = FormatRichTextRange(richEdit, TRUE, &range);
    FormatRichTextRange(richEdit, TRUE, nullptr);
    if (heightOut)
        *heightOut = TwipsToPixelsY(targetDC, range.rc.bottom - range.rc.top);
    return static_cast<int>(result);
}

void SetRichTextPointSize(HWND richEdit, int points)
{
    SendMessageA(richEdit, EM_SETSEL, 0, -1);
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    // Setting a size costs the control a pass over every run: skipped when every character has it.
    if ((format.dwMask & CFM_SIZE) && format.yHeight == points * 20)
        return;
    format.dwMask = CFM_SIZE;
    format.yHeight = points * 20;
    SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

void CenterRichTextParagraphs(HWND richEdit)
{
    SendMessageA(richEdit, EM_SETSEL, 0, -1);
    PARAFORMAT2 paragraph = {};
    paragraph.cbSize = sizeof paragraph;
    paragraph.dwMask = PFM_ALIGNMENT;
    paragraph.wAlignment = PFA_CENTER;
    SendMessageA(richEdit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
}

bool RichTextFits(HWND richEdit, int points, HDC dc, const RECT& area, int textLength)
{
    SetRichTextPointSize(richEdit, points);
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lstrcpyA(font.lfFaceName, "Tahoma");
    HFONT tahoma = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, tahoma);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    DeleteObject(tahoma);

    // One line of that font, as wide as the area: the text fits when it all lays out on it.
    RECT trial = {0, 0, area.right - area.left, metrics.tmHeight};
    HBITMAP bitmap = CreateCompatibleBitmap(dc, trial.right > 0 ? trial.right : 1, trial.bottom > 0 ? trial.bottom : 1);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    int height = 0;
    int laidOut = RenderRichText(richEdit, memory, dc, trial, true, &height);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return laidOut - 1 == textLength && height <= area.bottom - area.top;
}

int MeasureRichTextHeight(HWND richEdit, HDC dc)
{
    HDC metafile = CreateMetaFileA(nullptr);
    FORMATRANGE range = {};
    range.hdc = metafile;
    range.hdcTarget = dc;
    range.rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    PixelsToTwips(range.rc, dc);
    range.rcPage = range.rc;
    SendMessageA(richEdit, EM_SETSEL, 0, -1);
    SendMessageA(richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range.chrg));
    SendMessageA(richEdit, EM_SETBKGNDCOLOR, 0, RGB(192, 192, 192));
    FormatRichTextRange(richEdit, TRUE, &range);
    FormatRichTextRange(richEdit, TRUE, nullptr);
    DeleteMetaFile(CloseMetaFile(metafile));
    return TwipsToPixelsY(dc, range.rc.bottom);
}

int FitRichTextPointSize(HWND richEdit, HDC dc, const RECT& area, int textLength)
{
    int points = 1;
    for (;;) {
        if (!RichTextFits(richEdit, points, dc, area, textLength)) {
            points -= 2;
            break;
        }
        points += 2;
        if (points >= 1000)
            return 8;
    }
    // A text that does not fit even at 1 point is drawn at 1 point.
    if (points < 1)
        return 1;
    if (RichTextFits(richEdit, points + 1, dc, area, textLength))
        ++points;
    return points;
}
