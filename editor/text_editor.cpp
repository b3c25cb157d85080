// Rich-text editor control: not yet built.
#include "editor/text_editor.h"

bool RegisterTextEditorClass(HINSTANCE)
{
    return true;
}
