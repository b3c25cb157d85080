// Rich text laid out run by run: the control reports its character runs and paragraph
// alignments, GDI measures them on the target device and draws them on the rendering device.
// Measuring on the target and drawing each run with its own font keeps screen, memory, metafile
// and printer devices alike exact at their own resolution.
#include "game/text_runs.h"

#include "media/rich_text.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Characters drawn by one call.
const size_t MaxCharsPerCall = 4096;
// Runs read from the control. Each read costs the control a walk over the runs before it, so a
// text of thousands of format changes took minutes to lay out (mended); beyond this many runs the
// rest of the text is laid out in the format of its first character.
const size_t MaxRuns = 500;

// The character attributes that make a run.
const DWORD RunMask =
    CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_CHARSET;

// One font of a layout, for one device resolution.
struct FontEntry {
    LOGFONTA Log;
    HFONT Font;
    int Ascent;
    int Descent;
};

struct FontSet {
    HDC Measure; // the DC whose metrics the fonts report, or null when only drawing
    int Dpi;
    std::vector<FontEntry> Entries;
};

// One laid-out line: characters [Start, End) of the text, its place and height in target pixels.
struct LineBox {
    LONG Start;
    LONG End;
    int Left;
    int Top;
    int Ascent;
};

// The text with its per-character advance, font and run, for characters [First, First + size).
struct MeasuredText {
    LONG First;
    std::wstring Chars;
    std::vector<int> Advance;
    std::vector<int> FontIndex;
    std::vector<int> RunIndex;
};

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

bool IsLineBreak(wchar_t c)
{
    return c == 0x0B || c == 0x2028;
}

bool IsParagraphEnd(wchar_t c)
{
    return c == L'\r' || c == L'\n' || c == 0x2029;
}

DWORD ReadFormat(HWND richEdit, LONG start, LONG end, CHARFORMAT2A& format)
{
    CHARRANGE range = {start, end};
    SendMessageA(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    std::memset(&format, 0, sizeof format);
    format.cbSize = sizeof format;
    SendMessageA(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format.dwMask;
}

// Splits [start, end) into runs of equal character formats. The control clears the mask bits of
// the attributes that differ within a selection, so a run's end is found by doubling and halving
// the selection.
std::vector<FormatRun> ReadRuns(HWND richEdit, LONG start, LONG end)
{
    std::vector<FormatRun> runs;
    CHARFORMAT2A probe;
    for (LONG s = start; s < end;) {
        FormatRun run;
        run.Start = s;
        DWORD mask = ReadFormat(richEdit, s, s + 1, run.Format) & RunMask;
        if (runs.size() + 1 >= MaxRuns) {
            run.End = end;
            runs.push_back(run);
            break;
        }
        auto uniform = [&](LONG e) { return (ReadFormat(richEdit, s, e, probe) & mask) == mask; };
        // Doubling from the run's start, then halving: each read spans about the run itself, so a
        // text of many short runs costs no read over the whole rest of the text per run.
        LONG good = s + 1, bad = end + 1; // [s, good) is one run, [s, bad) is mixed
        for (LONG step = 2; good < end && bad > end; step *= 2) {
            LONG next = std::min<LONG>(s + step, end);
            if (uniform(next))
                good = next;
            else
                bad = next;
        }
        while (bad <= end && bad - good > 1) {
            LONG middle = good + (bad - good) / 2;
            if (uniform(middle))
                good = middle;
            else
                bad = middle;
        }
        run.End = good;
        runs.push_back(run);
        s = good;
    }
    return runs;
}

int DeviceDpi(HDC dc, int index, int fallback)
{
    int type = GetObjectType(dc);
    if (type == OBJ_METADC || type == OBJ_ENHMETADC)
        return fallback;
    int dpi = GetDeviceCaps(dc, index);
    return dpi > 0 ? dpi : fallback;
}

LOGFONTA FontOfFormat(const CHARFORMAT2A& format, int dpiY)
{
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(format.yHeight, dpiY, 1440);
    if (font.lfHeight == 0)
        font.lfHeight = -1;
    font.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (format.dwEffects & CFE_ITALIC) ? 1 : 0;
    font.lfUnderline = (format.dwEffects & CFE_UNDERLINE) ? 1 : 0;
    font.lfStrikeOut = (format.dwEffects & CFE_STRIKEOUT) ? 1 : 0;
    font.lfCharSet = (format.dwMask & CFM_CHARSET) ? format.bCharSet : DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, format.szFaceName, LF_FACESIZE);
    return font;
}

int FindFont(FontSet& fonts, const CHARFORMAT2A& format)
{
    LOGFONTA wanted = FontOfFormat(format, fonts.Dpi);
    for (size_t i = 0; i < fonts.Entries.size(); ++i) {
        const LOGFONTA& have = fonts.Entries[i].Log;
        if (have.lfHeight == wanted.lfHeight && have.lfWeight == wanted.lfWeight && have.lfItalic == wanted.lfItalic &&
            have.lfUnderline == wanted.lfUnderline && have.lfStrikeOut == wanted.lfStrikeOut &&
            have.lfCharSet == wanted.lfCharSet && lstrcmpA(have.lfFaceName, wanted.lfFaceName) == 0)
            return static_cast<int>(i);
    }
    FontEntry entry = {wanted, CreateFontIndirectA(&wanted), 0, 0};
    if (fonts.Measure) {
        HGDIOBJ old = SelectObject(fonts.Measure, entry.Font);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(fonts.Measure, &metrics);
        SelectObject(fonts.Measure, old);
        entry.Ascent = metrics.tmAscent;
        entry.Descent = metrics.tmDescent;
    }
    fonts.Entries.push_back(entry);
    return static_cast<int>(fonts.Entries.size() - 1);
}

void ReleaseFonts(FontSet& fonts)
{
    for (FontEntry& entry : fonts.Entries)
        DeleteObject(entry.Font);
    fonts.Entries.clear();
}

// Measures every character of the runs on the target DC.
MeasuredText MeasureRuns(const std::wstring& text, const std::vector<FormatRun>& runs, FontSet& fonts, LONG first)
{
    MeasuredText measured;
    measured.First = first;
    for (size_t r = 0; r < runs.size(); ++r) {
        const FormatRun& run = runs[r];
        std::wstring chars = text.substr(run.Start, run.End - run.Start);
        std::wstring shown = chars;
        for (wchar_t& c : shown)
            if (c < 32 || c == 0x2028 || c == 0x2029)
                c = L' ';
        int font = FindFont(fonts, run.Format);
        std::vector<int> extents(shown.size() + 1, 0);
        SIZE size;
        HGDIOBJ old = SelectObject(fonts.Measure, fonts.Entries[font].Font);
        GetTextExtentExPointW(fonts.Measure, shown.c_str(), static_cast<int>(shown.size()), 0, nullptr, extents.data(),
                              &size);
        SelectObject(fonts.Measure, old);
        for (size_t i = 0; i < chars.size(); ++i) {
            measured.Chars += chars[i];
            measured.Advance.push_back(extents[i] - (i ? extents[i - 1] : 0));
            measured.FontIndex.push_back(font);
            measured.RunIndex.push_back(static_cast<int>(r));
        }
    }
    return measured;
}

int TabAdvance(int x, int tabWidth)
{
    return tabWidth > 0 ? (x / tabWidth + 1) * tabWidth - x : 0;
}

// Breaks the characters [start, end) of one paragraph into lines no wider than width: after the
// last blank that fits, or, for a word longer than the line, before the character that overflows.
// Every line holds at least one character; an empty paragraph is one empty line.
std::vector<LineBox> BreakParagraph(const MeasuredText& text, LONG start, LONG end, int width, int tabWidth)
{
    std::vector<LineBox> lines;
    LONG lineStart = start;
    LONG lastBreak = -1;
    int x = 0;
    for (LONG i = start; i < end;) {
        wchar_t c = text.Chars[i - text.First];
        if (IsLineBreak(c)) {
            lines.push_back({lineStart, i + 1, 0, 0, 0});
            lineStart = ++i;
            lastBreak = -1;
            x = 0;
            continue;
        }
        int advance = c == L'\t' ? TabAdvance(x, tabWidth) : text.Advance[i - text.First];
        if (!IsSpace(c) && x + advance > width && i > lineStart) {
            LONG breakAt = lastBreak > lineStart ? lastBreak : i;
            lines.push_back({lineStart, breakAt, 0, 0, 0});
            lineStart = i = breakAt;
            lastBreak = -1;
            x = 0;
            continue;
        }
        x += advance;
        if (IsSpace(c))
            lastBreak = i + 1;
        ++i;
    }
    lines.push_back({lineStart, end, 0, 0, 0});
    return lines;
}

// Width of a line without its trailing blanks and breaks.
int LineWidth(const MeasuredText& text, const LineBox& line, int tabWidth)
{
    int x = 0, visible = 0;
    for (LONG i = line.Start; i < line.End; ++i) {
        wchar_t c = text.Chars[i - text.First];
        x += c == L'\t' ? TabAdvance(x, tabWidth) : IsLineBreak(c) ? 0 : text.Advance[i - text.First];
        if (!IsSpace(c) && !IsLineBreak(c))
            visible = x;
    }
    return visible;
}

// Draws one laid-out line on the rendering DC, one ExtTextOutW per run.
void DrawLine(HDC dc, const MeasuredText& text, const LineBox& line, const std::vector<FormatRun>& runs,
              FontSet& renderFonts, const POINT& origin, int renderDpiX, int renderDpiY, int targetDpiX, int targetDpiY,
              int tabWidth)
{
    int baseline = origin.y + MulDiv(line.Top + line.Ascent, renderDpiY, targetDpiY);
    int x = 0;
    for (LONG i = line.Start; i < line.End;) {
        int run = text.RunIndex[i - text.First];
        LONG j = i;
        std::wstring chars;
        std::vector<int> positions;
        while (j < line.End && text.RunIndex[j - text.First] == run) {
            wchar_t c = text.Chars[j - text.First];
            positions.push_back(x);
            x += c == L'\t' ? TabAdvance(x, tabWidth) : IsLineBreak(c) ? 0 : text.Advance[j - text.First];
            chars += (c < 32 || c == 0x2028 || c == 0x2029) ? L' ' : c;
            ++j;
        }
        positions.push_back(x);
        std::vector<int> dx(chars.size());
        for (size_t k = 0; k < chars.size(); ++k)
            dx[k] = MulDiv(line.Left + positions[k + 1], renderDpiX, targetDpiX) -
                    MulDiv(line.Left + positions[k], renderDpiX, targetDpiX);
        const CHARFORMAT2A& format = runs[run].Format;
        COLORREF color = (format.dwEffects & CFE_AUTOCOLOR) || !(format.dwMask & CFM_COLOR)
                             ? GetSysColor(COLOR_WINDOWTEXT)
                             : format.crTextColor;
        SetTextColor(dc, color);
        HGDIOBJ old = SelectObject(dc, renderFonts.Entries[FindFont(renderFonts, format)].Font);
        // In pieces: a metafile device keeps a text's length in 16 bits and overruns its record
        // with a longer one (mended: a long line crashed the height measurement).
        for (size_t first = 0; first < chars.size(); first += MaxCharsPerCall) {
            size_t count = std::min(MaxCharsPerCall, chars.size() - first);
            ExtTextOutW(dc, origin.x + MulDiv(line.Left + positions[first], renderDpiX, targetDpiX), baseline, 0,
                        nullptr, chars.c_str() + first, static_cast<UINT>(count), dx.data() + first);
        }
        SelectObject(dc, old);
        i = j;
    }
}

// The paragraph at index of runs read from the control: read from it when it is given and the
// paragraph not yet read; null past the last.
const TextParagraph* GetParagraph(HWND richEdit, RichTextRuns& runs, size_t index)
{
    if (index < runs.Paragraphs.size())
        return &runs.Paragraphs[index];
    LONG start = runs.Paragraphs.empty() ? runs.First : runs.Paragraphs.back().Next;
    if (!richEdit || runs.AllParagraphs || start >= runs.End) {
        runs.AllParagraphs = runs.AllParagraphs || start >= runs.End;
        return nullptr;
    }
    LONG textEnd = std::min(runs.End, static_cast<LONG>(runs.Text.size()));
    TextParagraph paragraph = {start, start, start, PFA_LEFT, {}};
    while (paragraph.Stop < textEnd && !IsParagraphEnd(runs.Text[paragraph.Stop]))
        ++paragraph.Stop;
    paragraph.Next = paragraph.Stop < runs.End ? paragraph.Stop + 1 : paragraph.Stop;
    PARAFORMAT2 para = {};
    para.cbSize = sizeof para;
    CHARRANGE at = {start, start};
    SendMessageA(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    SendMessageA(richEdit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
    paragraph.Alignment = para.wAlignment;
    ReadFormat(richEdit, paragraph.Stop, paragraph.Stop + 1, paragraph.Mark);
    runs.Paragraphs.push_back(paragraph);
    return &runs.Paragraphs.back();
}

// Lays out (and with render draws) runs; with a control, runs are read from it first and its
// paragraphs as the layout reaches them.
LRESULT FormatRuns(HWND richEdit, RichTextRuns& runs, BOOL render, FORMATRANGE* range)
{
    if (!range)
        return 0;
    HDC target = range->hdcTarget ? range->hdcTarget : range->hdc;
    if (!target)
        return 0;
    CHARRANGE kept = {};
    // Runs are read by moving the selection; a hidden selection moves without redrawing it, which
    // makes reading many times cheaper.
    bool hideSelection = richEdit && !IsWindowVisible(richEdit);
    if (richEdit) {
        SendMessageA(richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
        if (hideSelection)
            SendMessageA(richEdit, EM_HIDESELECTION, TRUE, 0);
        runs = RichTextRuns();
        runs.Text = GetRichTextW(richEdit);
        LONG n = static_cast<LONG>(runs.Text.size());
        runs.First = std::max<LONG>(0, std::min(range->chrg.cpMin, n + 1));
        // A range to the end of the text includes the final paragraph mark, which lays out with the last line.
        runs.End = (range->chrg.cpMax < 0 || range->chrg.cpMax >= n) ? n + 1 : range->chrg.cpMax;
        runs.Runs = ReadRuns(richEdit, runs.First, std::min(runs.End, n));
    }
    const std::wstring& text = runs.Text;
    LONG first = runs.First, end = runs.End;

    int targetDpiX = DeviceDpi(target, LOGPIXELSX, 96);
    int targetDpiY = DeviceDpi(target, LOGPIXELSY, 96);
    RECT area = {MulDiv(range->rc.left, targetDpiX, 1440), MulDiv(range->rc.top, targetDpiY, 1440),
                 MulDiv(range->rc.right, targetDpiX, 1440), MulDiv(range->rc.bottom, targetDpiY, 1440)};
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    int tabWidth = MulDiv(720, targetDpiX, 1440);

    FontSet targetFonts = {target, targetDpiY, {}};
    MeasuredText measured = MeasureRuns(text, runs.Runs, targetFonts, first);

    std::vector<LineBox> placed;
    LONG result = first < end ? end : first;
    int y = 0;
    bool full = false;
    for (size_t index = 0; !full; ++index) {
        const TextParagraph* paragraph = GetParagraph(richEdit, runs, index);
        if (!paragraph)
            break;
        const TextParagraph para = *paragraph;
        // An empty line takes the height of its paragraph mark.
        const FontEntry& markFont = targetFonts.Entries[FindFont(targetFonts, para.Mark)];
        std::vector<LineBox> lines = BreakParagraph(measured, para.Start, para.Stop, width, tabWidth);
        for (size_t l = 0; l < lines.size(); ++l) {
            LineBox& line = lines[l];
            int ascent = 0, descent = 0;
            for (LONG i = line.Start; i < line.End; ++i) {
                const FontEntry& font = targetFonts.Entries[measured.FontIndex[i - first]];
                ascent = std::max(ascent, font.Ascent);
                descent = std::max(descent, font.Descent);
            }
            if (line.Start == line.End) {
                ascent = markFont.Ascent;
                descent = markFont.Descent;
            }
            if (!placed.empty() && y + ascent + descent > height) {
                result = line.Start;
                full = true;
                break;
            }
            int lineWidth = LineWidth(measured, line, tabWidth);
            int left = 0;
            if (para.Alignment == PFA_CENTER)
                left = (width - lineWidth) / 2;
            else if (para.Alignment == PFA_RIGHT)
                left = width - lineWidth;
            line.Left = std::max(0, left);
            line.Top = y;
            line.Ascent = ascent;
            y += ascent + descent;
            placed.push_back(line);
        }
    }
    LONG givenBottom = range->rc.bottom;
    range->rc.bottom = range->rc.top + MulDiv(y, 1440, targetDpiY);

    if (render && range->hdc) {
        HDC dc = range->hdc;
        int renderDpiX = DeviceDpi(dc, LOGPIXELSX, targetDpiX);
        int renderDpiY = DeviceDpi(dc, LOGPIXELSY, targetDpiY);
        // At the target's resolution the fonts are the same: those made for measuring draw too.
        FontSet ownFonts = {nullptr, renderDpiY, {}};
        FontSet& renderFonts = renderDpiY == targetDpiY ? targetFonts : ownFonts;
        int saved = SaveDC(dc);
        POINT origin = {MulDiv(range->rc.left, renderDpiX, 1440), MulDiv(range->rc.top, renderDpiY, 1440)};
        IntersectClipRect(dc, origin.x, origin.y, MulDiv(range->rc.right, renderDpiX, 1440),
                          MulDiv(givenBottom, renderDpiY, 1440));
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
        for (const LineBox& line : placed)
            DrawLine(dc, measured, line, runs.Runs, renderFonts, origin, renderDpiX, renderDpiY, targetDpiX, targetDpiY,
                     tabWidth);
        RestoreDC(dc, saved);
        ReleaseFonts(ownFonts);
    }
    ReleaseFonts(targetFonts);
    if (richEdit)
        SendMessageA(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    if (hideSelection)
        SendMessageA(richEdit, EM_HIDESELECTION, FALSE, 0);
    return result;
}

// True when the control could report a and b as one run once both have the same size (compared
// generously: a pair that might merge is taken as one that does).
bool SameButSize(const CHARFORMAT2A& a, const CHARFORMAT2A& b)
{
    const DWORD effects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_AUTOCOLOR;
    bool sameColour = (a.dwEffects & CFE_AUTOCOLOR) || a.crTextColor == b.crTextColor;
    return (a.dwEffects & effects) == (b.dwEffects & effects) && sameColour && a.bCharSet == b.bCharSet &&
           lstrcmpiA(a.szFaceName, b.szFaceName) == 0;
}

} // namespace

LRESULT FormatRichTextRangeByRuns(HWND richEdit, BOOL render, FORMATRANGE* range)
{
    RichTextRuns runs;
    return FormatRuns(richEdit, runs, render, range);
}

LRESULT ReadAndFormatTextRuns(HWND richEdit, RichTextRuns& runs, BOOL render, FORMATRANGE* range)
{
    return FormatRuns(richEdit, runs, render, range);
}

LRESULT FormatTextRuns(RichTextRuns& runs, BOOL render, FORMATRANGE* range)
{
    return FormatRuns(nullptr, runs, render, range);
}

bool TextRunsResizeExactly(const RichTextRuns& runs)
{
    if (!runs.AllParagraphs)
        return false;
    for (const TextParagraph& paragraph : runs.Paragraphs)
        if (paragraph.Start == paragraph.Stop)
            return false;
    LONG end = std::min(runs.End, static_cast<LONG>(runs.Text.size()));
    for (LONG i = runs.First; i < end; ++i)
        if (IsLineBreak(runs.Text[i]))
            return false;
    for (size_t r = 1; r < runs.Runs.size(); ++r)
        if (SameButSize(runs.Runs[r - 1].Format, runs.Runs[r].Format))
            return false;
    return true;
}

void SetTextRunsPointSize(RichTextRuns& runs, int points)
{
    for (FormatRun& run : runs.Runs)
        run.Format.yHeight = points * 20;
    for (TextParagraph& paragraph : runs.Paragraphs)
        paragraph.Mark.yHeight = points * 20;
}
