// The name dialog: asks for the name of a new, renamed or copied card set.
#pragma once

#include <windows.h>

#include <string>

enum NameDialogMode { NameForNewCardSet = 0, NameForRename = 1, NameForCopy = 2 };

// The accepted name, exactly as typed; empty when the user cancelled. prompt is the caption.
std::string ShowNameDialog(HWND owner, int mode, const std::string& prompt, const std::string& initialName);
