// Laying out and drawing formatted text: the point-size search that fits a card text into its
// area, shared by the card faces, the card set dialog's list and printing.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <string>

// What EM_FORMATRANGE does: lays out (and with render, draws) range->chrg of the control into
// range->rc on range->hdc for range->hdcTarget; returns the index of the last character laid
// out plus one and leaves in range->rc the area used. A null range releases cached formatting.
// Where the platform's control cannot format ranges, the same is done by other means.
LRESULT FormatRichTextRange(HWND richEdit, BOOL render, FORMATRANGE* range);
// True where FormatRichTextRange lays out runs read from the control (game/text_runs), which can
// be kept and laid out again without it.
bool RichTextFormatsByRuns();

// Loads a card text into a control, replacing its content: RTF as RTF, any other text as plain
// text (a control may refuse plain text offered as RTF). Both start from the format of a new card
// text, Tahoma 10 points, regular, automatic colour, which a text without fonts of its own keeps,
// and from a new control's paragraph format, so that a control can be used again.
void LoadCardText(HWND richEdit, const std::string& text);
// The format a new card text starts from.
CHARFORMAT2A DefaultCardTextFormat();

// Converts a rectangle from pixels of dc to twips.
void PixelsToTwips(RECT& rect, HDC dc);
// Draws the control's whole text into area (pixels of targetDC) on renderDC; returns the last
// character laid out plus one; heightOut, when given, receives the height used in pixels.
int RenderRichText(HWND richEdit, HDC renderDC, HDC targetDC, const RECT& area, bool useCardBackground, int* heightOut);
// Sets every character's size to points, keeping faces, colours and effects.
void SetRichTextPointSize(HWND richEdit, int points);
// Centres every paragraph of the control's text.
void CenterRichTextParagraphs(HWND richEdit);
// True when the whole text lays out on one line as wide as area, no taller than area.
bool RichTextFits(HWND richEdit, int points, HDC dc, const RECT& area, int textLength);
// Height in pixels of the whole text laid out across the screen's width.
int MeasureRichTextHeight(HWND richEdit, HDC dc);
// The largest point size at which the text fits area (8 when every size up to 999 fits, 1 when
// not even 1 point fits).
int FitRichTextPointSize(HWND richEdit, HDC dc, const RECT& area, int textLength);
