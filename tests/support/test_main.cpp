// Entry point of every test program: starts the program's libraries and window classes once.
#include "app/startup.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Crashes end the test program at once instead of waiting for a debugger or a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    if (!StartApplication(GetModuleHandleA(nullptr), nullptr))
        return 1;
    int result = RUN_ALL_TESTS();
    StopApplication();
    return result;
}
