// Helpers of the editor tests: an owner window, typing, the editors' RichEdit children, and
// watching the colour chooser open.
#pragma once

#include "cardset/card_set.h"

#include <windows.h>

#include <richedit.h>

#include <functional>
#include <string>
#include <vector>

// A hidden top-level window that owns the dialogs under test.
struct OwnerWindow {
    HWND Window;
    OwnerWindow();
    ~OwnerWindow();
};

// Runs an action from the message loop that runs next: posted from a message box's action
// right after its button, it runs once the box has closed, in the dialog below it.
void RunLater(std::function<void()> action);

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

// What the colour chooser was opened with, seen from its first message.
struct ChooserStart {
    bool Seen = false;
    DWORD Flags = 0;
    COLORREF Color = 0;
};
// Watches this thread for the next colour chooser and records how it was opened.
void WatchColorChooser(ChooserStart* start);
void StopWatchingColorChooser();

// Sets the chooser's red, green and blue fields; with addCustom also adds it to the custom colours.
void SetChooserColor(HWND chooser, COLORREF color, bool addCustom);

// Clicks (or double-clicks) an item of a list box with the mouse messages a click sends; the
// double click's messages are posted.
void ClickListItem(HWND list, int position, bool doubleClick = false);
// The item data of each item of a list box, in list order.
std::vector<LPARAM> GetListItemData(HWND list);

// A simple RTF text in the given face, optionally bold, with one colour.
std::string MakeRtf(const std::string& text, const std::string& face = "Tahoma", bool bold = false, COLORREF color = 0);

// A pair with only a first text.
CardPair TextPair(const std::string& text);
