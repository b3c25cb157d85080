// What the printing tests share: the PDF printer of the test print server.
#pragma once

#include "support/test_support.h"

// Skips the test when no print server runs; fails it when the test setup said one would.
#define REQUIRE_PRINTER()                                                                                              \
    do {                                                                                                               \
        char name[256] = "";                                                                                           \
        DWORD size = sizeof name;                                                                                      \
        if (!GetDefaultPrinterA(name, &size) && getenv("MNEMORA_PRINT_OUTPUT"))                                        \
            FAIL() << "the print server was started but the printer is not visible";                                   \
        if (!GetDefaultPrinterA(name, &size))                                                                          \
            GTEST_SKIP() << "no printer: start the print server (scripts/test-setup/print.sh)";                        \
    } while (0)
