// The rich-text editor control "MnemoraTextProfile".
#pragma once

#include <windows.h>

// Registers the control's class; shows its own error and returns false on failure.
bool RegisterTextEditorClass(HINSTANCE instance);
