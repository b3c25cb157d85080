// What the card set dialog's list shows of each pair: its card texts through one hidden rich-text
// converter, made while a card set dialog is open, or the listing of its file names.
#pragma once

#include "cardset/card_set.h"
#include "game/text_runs.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

const COLORREF SelectedBackground = RGB(0, 0, 255);
const COLORREF SelectedText = RGB(255, 255, 255);

// What the list needs of one pair, worked out once: a pair's texts go through the converter again
// only when the pair is new or was changed.
struct PairView {
    bool Known = false;
    bool Rich = false;
    std::wstring Plain;       // the plain text a pair with texts sorts by
    bool HeightKnown = false; // false while a pair with texts has only the provisional height
    int Height = 0;           // pixels, for a pair with texts
    bool DisplayKnown = false;
    std::string Display;
    // What the converter's layout read of a pair with texts in sight, kept to draw it again
    // without the converter (where the layout reads runs from it); null until then.
    std::shared_ptr<RichTextRuns> Layout;
};

// The views of the pairs of the card set a dialog shows.
struct PairViews {
    const CardSet* Cards = nullptr;
    std::vector<PairView> Views;
    // The memory DC on which texts are laid out for measuring, made once per dialog.
    HDC MeasureDC = nullptr;
    // The height given to pairs with texts until they are measured: the first one measured.
    int ProvisionalHeight = 0;
    // The screen's size in pixels, across which texts are laid out, read once per dialog (asking
    // for it is a request to the window server on some platforms).
    SIZE Screen = {0, 0};
};

// Makes the converter for an opening dialog (false when it could not be made: texts then show as
// empty lines); closing it releases what the views kept for measuring too.
bool OpenPairConverter();
void ClosePairConverter(PairViews& views);

// The view of a pair, its plain text read as it is first asked for; a pair with texts is measured
// then only when its plain text needed the converter.
const PairView& GetPairView(PairViews& views, size_t index);
// Measures a pair with texts through the converter; with keep, what the layout read of it is kept
// for drawing it.
void MeasurePairView(PairViews& views, size_t index, bool keep);
void ReleaseMeasureDC(PairViews& views);
// The display text of a pair, made when it is first drawn.
const std::string& GetDisplayText(PairViews& views, size_t index);
// Height of a line of the display's default font, in which listings are drawn.
int GetDefaultLineHeight();

// Draws a pair's texts into the item's rectangle, in white on blue when selected: not selected,
// from what was kept of it (kept now if it was not), else through the converter.
void DrawPairText(PairViews& views, size_t index, const DRAWITEMSTRUCT* draw, bool selected);
// Switches keeping what the layout read of pairs on (the default) or off, for checking that both
// draw the same.
void KeepPairLayouts(bool enabled);
