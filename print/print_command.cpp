// Print command: not yet built.
#include "print/print_command.h"

void PrintCardSet(HWND) {}
