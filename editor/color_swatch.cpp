// Colour swatch: not yet built.
#include "editor/color_swatch.h"

void RegisterColorSwatchClass(HINSTANCE) {}
