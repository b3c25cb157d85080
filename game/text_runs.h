// Laying out and drawing a RichEdit control's text run by run with GDI, for platforms whose
// control cannot format ranges for a device context itself.
#pragma once

#include <windows.h>

#include <richedit.h>

// Does what EM_FORMATRANGE does, from the runs the control reports (face, size, bold, italic,
// underline, strikeout, colour, paragraph alignment): lays out range->chrg into range->rc (twips)
// measured on range->hdcTarget, draws it on range->hdc when render is set, sets range->rc.bottom
// to the height used and returns the index of the first character not laid out. A range that
// reaches the end of the text includes the final paragraph mark. The first line is always laid
// out, even when it is taller than the rectangle. A null range does nothing (nothing is cached).
LRESULT FormatRichTextRangeByRuns(HWND richEdit, BOOL render, FORMATRANGE* range);
