// Laying out and drawing a RichEdit control's text run by run with GDI, for platforms whose
// control cannot format ranges for a device context itself.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <string>
#include <vector>

// Does what EM_FORMATRANGE does, from the runs the control reports (face, size, bold, italic,
// underline, strikeout, colour, paragraph alignment): lays out range->chrg into range->rc (twips)
// measured on range->hdcTarget, draws it on range->hdc when render is set, sets range->rc.bottom
// to the height used and returns the index of the first character not laid out. A range that
// reaches the end of the text includes the final paragraph mark. The first line is always laid
// out, even when it is taller than the rectangle. A null range does nothing (nothing is cached).
LRESULT FormatRichTextRangeByRuns(HWND richEdit, BOOL render, FORMATRANGE* range);

// Characters [Start, End) of one format.
struct FormatRun {
    LONG Start;
    LONG End;
    CHARFORMAT2A Format;
};

// Characters [Start, Stop) of one paragraph, the first of the next, the alignment and the format of
// the paragraph mark (the height of an empty line).
struct TextParagraph {
    LONG Start;
    LONG Stop;
    LONG Next;
    WORD Alignment;
    CHARFORMAT2A Mark;
};

// What the layout of runs reads of a range of a control: its characters, runs and paragraphs (as
// far as a layout has reached), so that it is laid out and drawn again without the control.
struct RichTextRuns {
    std::wstring Text;
    LONG First = 0;
    LONG End = 0; // one past the last character, the final paragraph mark included
    std::vector<FormatRun> Runs;
    std::vector<TextParagraph> Paragraphs;
    bool AllParagraphs = false;
};

// FormatRichTextRangeByRuns that keeps in runs what it read of the control.
LRESULT ReadAndFormatTextRuns(HWND richEdit, RichTextRuns& runs, BOOL render, FORMATRANGE* range);
// Lays out and draws runs read before as ReadAndFormatTextRuns did for their range (range->chrg is
// not used): the same lines and pixels, as far as the paragraphs read reach (a layout no taller
// and no wider than the one that read them reaches no further).
LRESULT FormatTextRuns(RichTextRuns& runs, BOOL render, FORMATRANGE* range);
// True when runs read before (with all their paragraphs) can be given one size by
// SetTextRunsPointSize exactly as setting that size on all of the control's text and reading it
// again would; false where that could differ: where runs that differ in size alone would become
// one, or where a line could be empty (its height then comes from a paragraph mark).
bool TextRunsResizeExactly(const RichTextRuns& runs);
// Gives every run and paragraph mark the size points.
void SetTextRunsPointSize(RichTextRuns& runs, int points);
