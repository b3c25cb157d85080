// The rich-text editor control "MnemoraTextProfile": a one-line RichEdit with bold, italic,
// underline and colour buttons and a list of font faces.
#pragma once

#include <windows.h>

// Children of the control, by id.
const int EditorRichEditId = 1;
const int EditorBoldId = 2;
const int EditorItalicId = 3;
const int EditorUnderlineId = 4;
const int EditorColorId = 5;
const int EditorFontListId = 6;

// Registers the control's class; shows its own error and returns false on failure.
bool RegisterTextEditorClass(HINSTANCE instance);
