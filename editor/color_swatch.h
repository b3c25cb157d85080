// The colour swatch control of the settings dialog.
#pragma once

#include <windows.h>

void RegisterColorSwatchClass(HINSTANCE instance);
