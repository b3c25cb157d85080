// Helpers of the editor tests: dialogs answered in sequence, typing, the editors' RichEdit
// children, list clicks and card texts.
#pragma once

#include "cardset/card_set.h"
#include "support/test_support.h"

#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Runs an action once this thread's message loop is idle, from a timer (timer messages come only
// when no other message waits): run right after pressing a dialog's closing button, it runs once
// the dialog has closed, in the loop below it.
void WhenIdle(std::function<void()> action);

// Queues on driver for the next dialog or box: act, which must close it (the int form presses
// that button); then, once it has closed, next on the dialog that owned it.
void Answer(DialogDriver& driver, std::function<void(HWND)> act, std::function<void(HWND owner)> next = nullptr);
void Answer(DialogDriver& driver, int button, std::function<void(HWND owner)> next = nullptr);
// An action that presses a button of the window it is given; then, once that window has closed,
// next (if any) on the window that owned it.
std::function<void(HWND)> Pressing(int buttonId, std::function<void(HWND owner)> next = nullptr);
// What the driver saw from its from-th dialog on: message boxes ("Error", "Question") as
// "Caption: text", dialogs by their caption.
std::vector<std::string> SeenTexts(const DialogDriver& driver, size_t from = 1);

// Types text into a window, one WM_CHAR per character, as the keyboard would.
void TypeText(HWND window, const std::string& text);
// Replaces an edit field's text as a user would by selecting all and typing.
void ReplaceFieldText(HWND dialog, int id, const std::string& text);

// The RichEdit child of a rich-text editor control of a dialog.
HWND GetEditorTextWindow(HWND dialog, int editorId);
// Selects characters first .. last - 1 of a RichEdit (-1, -1: the caret at the end).
void SelectText(HWND richEdit, int first, int last);
// The character format of a RichEdit's selection.
CHARFORMATA GetSelectionFormat(HWND richEdit);

// Clicks (or double-clicks) an item of a list box with the mouse messages a click sends; the
// double click's messages are posted.
void ClickListItem(HWND list, int position, bool doubleClick = false);
// The item data of each item of a list box, in list order.
std::vector<LPARAM> GetListItemData(HWND list);

// A simple RTF text in the given face, optionally bold, with one colour.
std::string MakeRtf(const std::string& text, const std::string& face = "Tahoma", bool bold = false, COLORREF color = 0);
// A pair with only a first text.
CardPair TextPair(const std::string& text);

// Sets the colour chooser's red, green and blue fields; with addCustom also adds the colour to the
// custom colours.
void SetChooserColor(HWND chooser, COLORREF color, bool addCustom = false);
// The colour the chooser's red, green and blue fields show.
COLORREF GetChooserColor(HWND chooser);
