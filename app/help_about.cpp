// Help and About: not yet built.
#include "app/help_about.h"

void ShowHelp(HWND) {}
void ShowAboutDialog(HWND) {}
