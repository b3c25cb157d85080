// The card pair dialog: the texts and files of the two cards of one pair.
#pragma once

#include "cardset/card_set.h"

#include <windows.h>

#include <string>

// What the dialog edits: Pair is written only by a successful OK; Cards is read for the duplicate
// check, which skips Index (-1 for a pair not yet in Cards).
struct CardPairDialogParams {
    CardPair* Pair;
    const CardSet* Cards;
    int Index;
};

// Runs the dialog; 1 after a successful OK, 0 after Cancel or when the dialog could not open
// (that failure has been shown).
int ShowCardPairDialog(HWND owner, CardPairDialogParams& params);

// The plain characters of a card text (RTF or plain), as UTF-8, for telling equal texts apart
// whatever their formatting.
std::string PlainTextForCompare(const std::string& text);
