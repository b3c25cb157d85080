// Settings dialog: not yet built.
#include "editor/settings_dialog.h"

int ShowSettingsDialog(HWND)
{
    return 0;
}
