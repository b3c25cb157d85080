// Shared helpers of the tests: the program's windows in-process, message boxes and dialogs
// answered by a timer, pixels read back, object counts, and a clean card set folder and registry.
#pragma once

#include <windows.h>

// GoogleTest and the standard library parts that every test uses come with this header.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

// Dispatches every waiting message of this thread; with a time, keeps doing so for that long.
void PumpMessages(DWORD milliseconds = 0);

// What a message box or dialog said when it was answered.
struct SeenDialog {
    std::string Caption;
    std::string Text; // a message box's text (its static control 0xFFFF), else empty
};

// Hands a key-down to a window as the message loop would, with Ctrl or Shift (or neither) held:
// through the accelerators of a main window when given. Returns the window then focused.
HWND PressKey(HWND window, UINT key, BYTE modifier = 0, HWND mainWindow = nullptr, HACCEL accelerators = nullptr);

// Sends WM_COMMAND for a button of a dialog as a click would.
void PressDialogButton(HWND dialog, int buttonId);

// Answers the dialogs that the code under test opens modally on this thread, in order. Each
// action receives the dialog window once it is visible; it may type, click and finally end the
// dialog (PressDialogButton). Everything seen is recorded. The actions run from a thread timer
// that the modal loops dispatch; one driver at a time.
class DialogDriver {
  public:
    DialogDriver();
    ~DialogDriver();
    // Queues an action for the next dialog that appears.
    void Then(std::function<void(HWND dialog)> action) { Pending.push_back(std::move(action)); }
    // Queues "press this button" for the next message box or dialog.
    void Press(int buttonId)
    {
        Then([buttonId](HWND dialog) { PressDialogButton(dialog, buttonId); });
    }
    // From the from-th on: the program's boxes ("Error", "Error(s)", "Question") as "Caption:
    // text", other dialogs by their caption.
    std::vector<std::string> Told(size_t from = 0) const;
    // True when every queued action has run.
    bool Done() const { return Pending.empty(); }

    // What the timer works on: the actions to come, what was seen and the dialogs already answered.
    std::deque<std::function<void(HWND)>> Pending;
    std::vector<SeenDialog> SeenDialogs;
    std::set<HWND> Handled;
};

// Runs action, answering the first dialog it opens with first (when given) and every other with OK;
// what they said (DialogDriver::Told), joined by "; ".
std::string Answered(const std::function<void()>& action, const std::function<void(HWND)>& first = nullptr);

// A window's client area, read back as pixels (0x00BBGGRR).
struct Pixels {
    int Width = 0;
    int Height = 0;
    std::vector<COLORREF> Data;
    COLORREF At(int x, int y) const { return Data[static_cast<size_t>(y) * Width + x]; }
    int Count(COLORREF color) const { return static_cast<int>(std::count(Data.begin(), Data.end(), color)); }
};
Pixels CaptureClient(HWND window);
// The pixels of a memory DC's selected bitmap, or of any DC of the given size.
Pixels CaptureDC(HDC dc, int width, int height);

// The process's GDI and USER objects. Where the platform's own count is not available, GDI
// objects are counted in the process's handle table and USER objects as this thread's windows.
int CountGdiObjects();
int CountUserObjects();

// The name (and, when asked, the state) that a window's accessible object or its child gives screen
// readers; "?" when there is none.
std::wstring AccessibleName(HWND window, long child = 0, long* state = nullptr);

// Removes every card set file and the program's registry settings of the test prefix.
void ResetUserData();
// Writes a file with exactly these bytes.
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
// A folder for a test's own files, emptied first.
std::string MakeScratchFolder(const std::string& name);
// A path below the source tree ("samples\\Shapes.mnc"), as the test program under Wine sees it.
std::string SourcePath(const std::string& below);

// Creates the program's main window (at its start-up size, shown) with the card sets of the
// folder; DestroyMainWindow destroys it and removes the quit message its destruction posts, so
// that later modal loops of the same test program keep running.
HWND OpenMainWindow();
void DestroyMainWindow(HWND mainWindow);
