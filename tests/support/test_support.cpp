// Shared helpers of the tests (see test_support.h).
#include "support/test_support.h"

#include "app/startup.h"
#include "cardset/card_set_folder.h"

#include <oleacc.h>

#include <cstdint>
#include <fstream>
#include <sstream>

void PumpMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (milliseconds)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

namespace {

DialogDriver* Running = nullptr;
UINT_PTR DriverTimer = 0;

BOOL CALLBACK FindNewDialog(HWND window, LPARAM param)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window) || Running->Handled.count(window))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

void CALLBACK DriveDialogs(HWND, UINT, UINT_PTR, DWORD)
{
    static DWORD unansweredSince = 0;
    HWND dialog = nullptr;
    if (Running)
        EnumThreadWindows(GetCurrentThreadId(), FindNewDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        unansweredSince = 0;
        return;
    }
    char caption[256] = "", text[4096] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
    if (Running->Pending.empty()) {
        // A box no queued action answers would hold the test in its modal loop until the test
        // run's timeout: after 20 s it fails the test, named, and is cancelled.
        if (!unansweredSince) {
            unansweredSince = GetTickCount();
        } else if (GetTickCount() - unansweredSince > 20000) {
            ADD_FAILURE() << "nobody answered \"" << caption << "\": " << text;
            Running->Handled.insert(dialog);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return;
    }
    unansweredSince = 0;
    Running->Handled.insert(dialog);
    Running->SeenDialogs.push_back({caption, text});
    std::function<void(HWND)> action = Running->Pending.front();
    Running->Pending.pop_front();
    action(dialog);
}

} // namespace

DialogDriver::DialogDriver()
{
    Running = this;
    DriverTimer = SetTimer(nullptr, 0, 30, DriveDialogs);
}

DialogDriver::~DialogDriver()
{
    KillTimer(nullptr, DriverTimer);
    Running = nullptr;
}

std::vector<std::string> DialogDriver::Told(size_t from) const
{
    std::vector<std::string> texts;
    for (size_t i = from; i < SeenDialogs.size(); ++i) {
        const SeenDialog& seen = SeenDialogs[i];
        bool box = seen.Caption == "Error" || seen.Caption == "Error(s)" || seen.Caption == "Question";
        texts.push_back(box ? seen.Caption + ": " + seen.Text : seen.Caption);
    }
    return texts;
}

std::string Answered(const std::function<void()>& action, const std::function<void(HWND)>& first)
{
    DialogDriver driver;
    if (first)
        driver.Then(first);
    for (int i = 0; i < 8; ++i)
        driver.Press(IDOK);
    action();
    PumpMessages(200);
    std::string told;
    for (const std::string& text : driver.Told())
        told += (told.empty() ? "" : "; ") + text;
    return told;
}

HWND PressKey(HWND window, UINT key, BYTE modifier, HWND mainWindow, HACCEL accelerators)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    keys[modifier] = 0x80;
    SetKeyboardState(keys);
    MSG msg = {window, WM_KEYDOWN, key, 1, GetTickCount(), {0, 0}};
    if (!accelerators || !TranslateAcceleratorA(mainWindow, accelerators, &msg))
        DispatchMessageA(&msg);
    keys[modifier] = 0;
    SetKeyboardState(keys);
    PumpMessages();
    return GetFocus();
}

void PressDialogButton(HWND dialog, int buttonId)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

Pixels CaptureDC(HDC source, int width, int height)
{
    Pixels pixels = {width, height, std::vector<COLORREF>(static_cast<size_t>(width) * height)};
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD* rgb = static_cast<const DWORD*>(bits); // 0x00RRGGBB, the reverse of a COLORREF
    for (size_t i = 0; i < pixels.Data.size(); ++i)
        pixels.Data[i] = RGB(GetBValue(rgb[i]), GetGValue(rgb[i]), GetRValue(rgb[i]));
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    return pixels;
}

Pixels CaptureClient(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    Pixels pixels = CaptureDC(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
    return pixels;
}

namespace {

// Counts live entries of the process's GDI handle table, for platforms whose GetGuiResources
// answers 0: 65536 entries of 24 bytes (the same layout for both builds), the object type in byte
// 14 of each.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds" // the compiler's view of the segment read
const unsigned char* FindGdiHandleTable()
{
    // The thread block names the process block; that one names the handle table.
    const unsigned char* teb = reinterpret_cast<const unsigned char*>(NtCurrentTeb());
#ifdef _WIN64
    const unsigned char* peb = *reinterpret_cast<const unsigned char* const*>(teb + 0x60);
    return *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);
#else
    // A 32-bit process under a 64-bit system: the 32-bit thread block's GdiBatchCount (0xF70)
    // holds the address of the 64-bit thread block, and the table is named only in the 64-bit
    // process block (thread block + 0x60 → process block + 0xF8, both 64-bit pointers that lie
    // below 4 GB). A 32-bit system names it in the 32-bit process block (0x30 → 0x94).
    ULONG teb64 = *reinterpret_cast<const ULONG*>(teb + 0xF70);
    if (teb64) {
        auto peb64 = static_cast<uintptr_t>(*reinterpret_cast<const ULONGLONG*>(static_cast<uintptr_t>(teb64) + 0x60));
        auto table = static_cast<uintptr_t>(*reinterpret_cast<const ULONGLONG*>(peb64 + 0xF8));
        if (table)
            return reinterpret_cast<const unsigned char*>(table);
    }
    const unsigned char* peb = *reinterpret_cast<const unsigned char* const*>(teb + 0x30);
    return *reinterpret_cast<const unsigned char* const*>(peb + 0x94);
#endif
}

int CountGdiHandleTableEntries()
{
    const unsigned char* table = FindGdiHandleTable();
    if (!table)
        return 0;
    int n = 0;
    for (size_t i = 0; i < 0x10000; ++i)
        n += table[i * 24 + 14] != 0;
    return n;
}
#pragma GCC diagnostic pop

BOOL CALLBACK CountChildWindow(HWND, LPARAM param)
{
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

BOOL CALLBACK CountThreadWindow(HWND window, LPARAM param)
{
    ++*reinterpret_cast<int*>(param);
    EnumChildWindows(window, CountChildWindow, param);
    return TRUE;
}

// Creates the folder, or deletes the files in it (read-only ones too).
void EmptyFolder(const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string path = folder + "\\" + found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
    FindClose(search);
}

} // namespace

int CountGdiObjects()
{
    GdiFlush();
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return count ? static_cast<int>(count) : CountGdiHandleTableEntries();
}

int CountUserObjects()
{
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (count)
        return static_cast<int>(count);
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountThreadWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

std::wstring AccessibleName(HWND window, long child, long* state)
{
    IAccessible* object = nullptr;
    if (AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object)) != S_OK)
        return L"?";
    VARIANT which, answer;
    VariantInit(&which);
    which.vt = VT_I4;
    which.lVal = child;
    BSTR name = nullptr;
    std::wstring said = object->get_accName(which, &name) == S_OK && name ? name : L"?";
    SysFreeString(name);
    if (state && object->get_accState(which, &answer) == S_OK)
        *state = answer.lVal;
    object->Release();
    return said;
}

void ResetUserData()
{
    EmptyFolder(GetCardSetFolder());
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon\\Mnemora");
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string MakeScratchFolder(const std::string& name)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    CreateDirectoryA((std::string(temp) + "mnemora-tests").c_str(), nullptr);
    std::string folder = std::string(temp) + "mnemora-tests\\" + name;
    EmptyFolder(folder);
    return folder;
}

std::string SourcePath(const std::string& below)
{
    std::string path = std::string("Z:") + __FILE__;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path.substr(0, path.rfind("\\tests\\support\\")) + "\\" + below;
}

HWND OpenMainWindow()
{
    HWND mainWindow = CreateMainWindow(GetModuleHandleA(nullptr));
    ShowWindow(mainWindow, SW_SHOWNORMAL); // none of them acts on a window that was not made
    UpdateWindow(mainWindow);
    PumpMessages();
    return mainWindow;
}

void DestroyMainWindow(HWND mainWindow)
{
    DestroyWindow(mainWindow);
    PumpMessages();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
