// The program's entry point.
#include "app/startup.h"
#include "res/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand)
{
    if (!StartApplication(instance, previous))
        return 0;
    HWND mainWindow = CreateMainWindow(instance);
    if (!mainWindow)
        return 0;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    int exitCode = RunMessageLoop(mainWindow, accelerators);
    StopApplication();
    return exitCode;
}
