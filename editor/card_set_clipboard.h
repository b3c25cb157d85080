// The card set dialog's pairs in bulk: pairs pasted from and copied to the clipboard as
// tab-separated rows, and pairs made of pictures chosen together.
#pragma once

#include "cardset/card_set.h"

#include <windows.h>

#include <string>
#include <vector>

// Ctrl+V, Ctrl+C and the context menu ("&Paste pairs", "&Copy pairs") of the pair list reach the
// list's dialog as WM_COMMAND with IDC_CARDSET_PASTE or IDC_CARDSET_COPY; Ctrl+A selects every
// pair, Delete is the Remove button while that is enabled.
void AttachPairListCommands(HWND list);

// The clipboard's Unicode text, one pair a row, read as tab-separated. False with the reason (or
// no reason when the clipboard holds no text).
bool ReadClipboardPairs(HWND owner, std::vector<CardPair>& pairs, std::string& error);

// Puts the pairs on the clipboard as rows of each card's plain text, tab-separated, a field with
// line breaks, tabs or quotation marks quoted.
bool CopyPairsToClipboard(HWND owner, const std::vector<CardPair>& pairs);

// Asks for pictures (several at once) and makes a pair of each, in name order: the picture on the
// first card, the file's name as text on the second. False when the user cancelled.
bool ChoosePicturePairs(HWND owner, std::vector<CardPair>& pairs);
// Pairs of pictures given by path, in name order.
std::vector<CardPair> MakePicturePairs(std::vector<std::string> paths);
// The text a picture's file name gives: no folder, no extension, "_" and "-" read as blanks.
std::string PictureNameText(const std::string& path);
