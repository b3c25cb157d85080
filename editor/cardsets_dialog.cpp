// Card sets dialog: not yet built.
#include "editor/cardsets_dialog.h"

int ShowCardSetsDialog(HWND)
{
    return 0;
}
