// The card set dialog: the pairs of one card set, with Add, Modify and Remove.
#pragma once

#include "cardset/card_set.h"

#include <windows.h>

#include <string>

// Edits cards in place; 1 after Save, 0 after Cancel or when the dialog could not open (that
// failure has been shown). The caller saves the card set after a 1.
int ShowCardSetDialog(HWND owner, const std::string& name, CardSet& cards);

// How the dialog shows a pair: its card texts as one RTF text (quoted: their plain UTF-8 texts,
// each in double quotes), or for a pair without texts the list of its file names. hasText, when
// given, tells which. Texts need the dialog's converter and come out empty while no card set
// dialog is open.
std::string PairDisplayText(const CardPair& pair, bool quoted, bool* hasText);
