// Rich-text layout: formatting ranges for a device, the fit test and the point-size search.
#include "game/rich_text_layout.h"

#include "game/card_face.h"
#include "game/text_runs.h"
#include "media/rich_text.h"

#include <algorithm>
#include <climits>
#include <vector>

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

// A first guess at the size the point-size search finds: the smaller of the size whose Tahoma line
// is as high as the area and the size at which the text, in Tahoma, is as wide as the area. Only
// where the search starts depends on it, never what it finds.
int GuessFittingPointSize(HWND richEdit, HDC dc, const RECT& area)
{
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    dpi = dpi > 0 ? dpi : 96;
    // A Tahoma line is about 1.21 em high.
    int guess = MulDiv(area.bottom - area.top, 72 * 100, 121 * dpi);
    GETTEXTLENGTHEX length = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    if (SendMessageA(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0) > 1000)
        return guess;
    std::wstring text = GetRichTextW(richEdit);
    if (text.empty())
        return guess;
    const int Reference = 100;
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(Reference, dpi, 72);
    lstrcpyA(font.lfFaceName, "Tahoma");
    HFONT tahoma = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, tahoma);
    SIZE extent = {};
    bool measured = GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent) && extent.cx > 0;
    SelectObject(dc, old);
    DeleteObject(tahoma);
    if (measured)
        guess = std::min(guess, MulDiv(area.right - area.left, Reference, extent.cx));
    return guess;
}

} // namespace

bool RichTextFormatsByRuns()
{
    if (PlatformFormatsRanges < 0)
        PlatformFormatsRanges = DetectPlatformFormatting() ? 1 : 0;
    return PlatformFormatsRanges == 0;
}

LRESULT FormatRichTextRange(HWND richEdit, BOOL render, FORMATRANGE* range)
{
    if (!RichTextFormatsByRuns())
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

// The paragraph format of a new control, read once from one.
static const PARAFORMAT2& NewParagraphFormat()
{
    static const PARAFORMAT2 format = [] {
        PARAFORMAT2 read = {};
        read.cbSize = sizeof read;
        HWND fresh = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
        SendMessageA(fresh, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&read));
        DestroyWindow(fresh);
        return read;
    }();
    return format;
}

void LoadCardText(HWND richEdit, const std::string& text)
{
    SetWindowTextA(richEdit, "");
    // As new, whatever emptying keeps of the text before: a control used again would otherwise
    // give a plain text the paragraph format of the text it held.
    SendMessageA(richEdit, EM_SETSEL, 0, -1);
    SendMessageA(richEdit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&NewParagraphFormat()));
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

// One line of the size's font, as wide as the area: the text fits when it all lays out on it.
static RECT TrialLine(int points, HDC dc, const RECT& area)
{
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lstrcpyA(font.lfFaceName, "Tahoma");
    HFONT tahoma = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, tahoma);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    DeleteObject(tahoma);
    return {0, 0, area.right - area.left, metrics.tmHeight};
}

bool RichTextFits(HWND richEdit, int points, HDC dc, const RECT& area, int textLength)
{
    SetRichTextPointSize(richEdit, points);
    RECT trial = TrialLine(points, dc, area);
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

// Where the layout of runs stands in for the control, the control's runs and paragraphs read once
// for the fit tests: setting a size on every run in the control was most of a fit test of a text
// of many format changes (1.6 s of 1.9 for 22000). False where that layout is not used or the runs
// at another size would not be exact.
static bool ReadRunsForFitTests(HWND richEdit, HDC dc, RichTextRuns& runs)
{
    if (!RichTextFormatsByRuns())
        return false;
    FORMATRANGE range = {};
    range.hdc = range.hdcTarget = dc;
    range.rc = {0, 0, INT_MAX / 4, INT_MAX / 4}; // every paragraph laid out, and so read
    range.chrg = {0, -1};                        // the whole text, as selecting all gives it
    ReadAndFormatTextRuns(richEdit, runs, FALSE, &range);
    return TextRunsResizeExactly(runs);
}

// RichTextFits on runs read once, sized here instead of in the control (each trial gives every run
// its size, so the runs serve every trial).
static bool KeptRunsFit(RichTextRuns& runs, int points, HDC dc, const RECT& area, int textLength)
{
    SetTextRunsPointSize(runs, points);
    FORMATRANGE range = {};
    range.hdc = range.hdcTarget = dc;
    range.rc = TrialLine(points, dc, area);
    PixelsToTwips(range.rc, dc);
    LRESULT laidOut = FormatTextRuns(runs, FALSE, &range);
    return laidOut - 1 == textLength && TwipsToPixelsY(dc, range.rc.bottom - range.rc.top) <= area.bottom - area.top;
}

int FitRichTextPointSize(HWND richEdit, HDC dc, const RECT& area, int textLength)
{
    RichTextRuns kept;
    bool useKept = ReadRunsForFitTests(richEdit, dc, kept);
    auto fitsAt = [&](int points) {
        return useKept ? KeptRunsFit(kept, points, dc, area, textLength)
                       : RichTextFits(richEdit, points, dc, area, textLength);
    };
    // The size searched for is what trying 1, 3, 5, ... 999 points in turn gives: the last odd
    // size before the first that fails, one point more when that fits too; 8 when every odd size
    // fits, 1 when none does. A text that fits at one size fits at every smaller one (glyphs and
    // lines only grow with the size), so the first failing odd size is found by galloping from a
    // guess near the area's height limit and halving, in a handful of fit tests instead of up to
    // five hundred. Odd size 2k + 1 is step k; steps up to lo fit, steps from hi on fail.
    auto fits = [&](int step) { return fitsAt(2 * step + 1); };
    const int Steps = 500;
    int guess = GuessFittingPointSize(richEdit, dc, area) / 2;
    guess = guess < 0 ? 0 : guess >= Steps ? Steps - 1 : guess;
    int lo = -1, hi = Steps;
    if (fits(guess)) {
        lo = guess;
        for (int jump = 1; lo < Steps - 1 && hi == Steps; jump *= 2) {
            int next = std::min(lo + jump, Steps - 1);
            if (fits(next))
                lo = next;
            else
                hi = next;
        }
    } else {
        hi = guess;
        for (int jump = 1; hi > 0 && lo < 0; jump *= 2) {
            int next = std::max(hi - jump, 0);
            if (fits(next))
                lo = next;
            else
                hi = next;
        }
    }
    while (hi - lo > 1) {
        int middle = lo + (hi - lo) / 2;
        if (fits(middle))
            lo = middle;
        else
            hi = middle;
    }
    if (hi == Steps)
        return 8;
    // A text that does not fit even at 1 point is drawn at 1 point.
    if (lo < 0)
        return 1;
    int points = 2 * lo + 1;
    if (fitsAt(points + 1))
        ++points;
    return points;
}
