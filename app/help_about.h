// Help page and About box.
#pragma once

#include <windows.h>

#include <string>

// Opens help\mnemora.html beside the program with the system's default action; shows an error
// box naming the page when that fails.
void ShowHelp(HWND owner);
// The About box: title, version and a notice line.
void ShowAboutDialog(HWND owner);

// Full path of the help page: the program's folder, then "help\mnemora.html".
std::string GetHelpPagePath();
