// Helpers of the editor tests: dialogs answered in sequence, typing, the editors' RichEdit
// children, list clicks, card texts and the colour chooser's fields.
#pragma once

#include "cardset/card_set.h"
#include "support/test_support.h"

#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Runs an action once this thread's message loop is idle (from a timer), so after pressing a
// dialog's closing button it runs once the dialog has closed, in the loop below it.
void WhenIdle(std::function<void()> action);
// Queues on driver for the next dialog or box: act, which must close it (the int form presses
// that button); then, once it has closed, next on the dialog that owned it.
void Answer(DialogDriver& driver, std::function<void(HWND)> act, std::function<void(HWND owner)> next = nullptr);
void Answer(DialogDriver& driver, int button, std::function<void(HWND owner)> next = nullptr);
// Presses a button of the window it is given; then, once that window has closed, next on its owner.
std::function<void(HWND)> Pressing(int buttonId, std::function<void(HWND owner)> next = nullptr);
// What the driver saw from its from-th dialog on: boxes as "Caption: text", dialogs by caption.
std::vector<std::string> SeenTexts(const DialogDriver& driver, size_t from = 1);

// Types text into a window, one WM_CHAR per character; ReplaceFieldText selects all first.
void TypeText(HWND window, const std::string& text);
void ReplaceFieldText(HWND dialog, int id, const std::string& text);
// The RichEdit child of a rich-text editor control; selecting in it; its selection's format.
HWND GetEditorTextWindow(HWND dialog, int editorId);
void SelectText(HWND richEdit, int first, int last);
CHARFORMATA GetSelectionFormat(HWND richEdit);
// Clicks (or double-clicks, posted) an item of a list box; the item data in list order.
void ClickListItem(HWND list, int position, bool doubleClick = false);
std::vector<LPARAM> GetListItemData(HWND list);

// A simple RTF text in the given face, optionally bold, with one colour; a pair with only it.
std::string MakeRtf(const std::string& text, const std::string& face = "Tahoma", bool bold = false, COLORREF color = 0);
CardPair TextPair(const std::string& text);

// Sets the colour chooser's red, green and blue fields (with addCustom also adds the colour to
// the custom colours), and reads them.
void SetChooserColor(HWND chooser, COLORREF color, bool addCustom = false);
COLORREF GetChooserColor(HWND chooser);
