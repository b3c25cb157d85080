// Help page and About box.
#pragma once

#include <windows.h>

void ShowHelp(HWND owner);
void ShowAboutDialog(HWND owner);
