// The print command: prints the card set selected in the bar.
#pragma once

#include "cardset/card_set.h"
#include "print/print_layout.h"

#include <windows.h>

// Asks for a printer and prints the selected card set's cards; reports a failed job or pictures.
void PrintCardSet(HWND mainWindow);

// The cards to print, in order: both cards of each pair that has a printable first and second
// card (the first card twice when the second is empty); other pairs are left out whole.
PrintList BuildPrintList(const CardSet& cards);

// After printing: an "Error" box with the job's failure (from PrintCards) when it stopped, else
// one "Error(s)" box listing the failed pictures when there are any.
void ReportPrintResult(HWND mainWindow, const std::string& failure, const PrintErrorList& errors);
