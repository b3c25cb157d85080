// Pairs in bulk for the card set dialog: the pair list's Ctrl+V, Ctrl+C, Ctrl+A, Delete and context menu, rows
// of the clipboard's Unicode text read as a word list is (tab-separated, quoted fields), and
// pictures chosen together in the open-file dialog.
#include "editor/card_set_clipboard.h"

#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "res/dialog_ids.h"
#include "wordlist/word_list.h"
#include "wordlist/word_list_import.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <windowsx.h>

#include <algorithm>

namespace {

const UINT_PTR PairListSubclassId = 1;

void ShowPairListMenu(HWND list, int x, int y)
{
    if (x == -1 && y == -1) { // from the keyboard: at the list's top-left corner
        POINT corner = {0, 0};
        ClientToScreen(list, &corner);
        x = corner.x, y = corner.y;
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, IDC_CARDSET_PASTE, "&Paste pairs");
    bool selected = SendMessageA(list, LB_GETSELCOUNT, 0, 0) > 0;
    AppendMenuA(menu, MF_STRING | (selected ? 0 : MF_GRAYED), IDC_CARDSET_COPY, "&Copy pairs");
    int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, list, nullptr);
    DestroyMenu(menu);
    if (command)
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(list));
}

LRESULT CALLBACK PairListProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (msg) {
    case WM_KEYDOWN:
        if ((wParam == 'V' || wParam == 'C') && GetKeyState(VK_CONTROL) < 0) {
            int command = wParam == 'V' ? IDC_CARDSET_PASTE : IDC_CARDSET_COPY;
            SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(list));
            return 0;
        }
        if (wParam == 'A' && GetKeyState(VK_CONTROL) < 0) { // every pair selected, as a click would tell
            SendMessageA(list, LB_SETSEL, TRUE, -1);
            SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            return 0;
        }
        if (wParam == VK_DELETE && IsWindowEnabled(GetDlgItem(GetParent(list), IDC_CARDSET_REMOVE))) {
            SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(IDC_CARDSET_REMOVE, 0),
                         reinterpret_cast<LPARAM>(list));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == 0x16 || wParam == 0x03 || wParam == 0x01) // Ctrl+V, Ctrl+C, Ctrl+A: handled above
            return 0;
        break;
    case WM_CONTEXTMENU:
        ShowPairListMenu(list, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(list, PairListProc, PairListSubclassId);
        break;
    }
    return DefSubclassProc(list, msg, wParam, lParam);
}

// A card text's plain Unicode characters, paragraphs separated by CR LF.
std::wstring CardPlainText(HWND converter, const std::string& text)
{
    if (text.empty())
        return std::wstring();
    LoadCardText(converter, text);
    std::wstring read = Utf8ToWide(StreamOutUtf8Text(converter)), plain;
    for (size_t i = 0; i < read.size(); ++i) {
        if (read[i] == L'\r' && i + 1 < read.size() && read[i + 1] == L'\n')
            continue;
        if (read[i] == L'\r' || read[i] == L'\n')
            plain += L"\r\n";
        else
            plain += read[i];
    }
    while (!plain.empty() && (plain.back() == L'\r' || plain.back() == L'\n'))
        plain.pop_back();
    return plain;
}

std::wstring AnsiToWide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

} // namespace

void AttachPairListCommands(HWND list)
{
    SetWindowSubclass(list, PairListProc, PairListSubclassId, 0);
}

bool ReadClipboardPairs(HWND owner, std::vector<CardPair>& pairs, std::string& error)
{
    pairs.clear();
    error.clear();
    if (!OpenClipboard(owner))
        return false;
    std::wstring text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* locked = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (locked) {
        // Never beyond the block, even without a closing zero.
        size_t capacity = GlobalSize(data) / sizeof(wchar_t);
        text.assign(locked, std::find(locked, locked + capacity, L'\0'));
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (text.empty())
        return false;
    std::vector<WordListPair> rows;
    if (!ReadPastedRows(text, rows, error)) {
        error = "The clipboard's rows cannot be pasted: " + error;
        return false;
    }
    for (const WordListPair& row : rows)
        pairs.push_back(WordListPairToCardPair(row));
    return true;
}

bool CopyPairsToClipboard(HWND owner, const std::vector<CardPair>& pairs)
{
    // A control of several lines: one of a single line keeps only a text's first paragraph.
    HWND converter = CreateWindowExA(0, "RichEdit20A", "", ES_MULTILINE, 0, 0, 0, 0, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
    if (!converter)
        return false;
    std::wstring rows;
    for (const CardPair& pair : pairs)
        rows += QuoteField(CardPlainText(converter, pair.Text1)) + L"\t" +
                QuoteField(CardPlainText(converter, pair.Text2)) + L"\r\n";
    DestroyWindow(converter);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (rows.size() + 1) * sizeof(wchar_t));
    if (!block)
        return false;
    wchar_t* locked = static_cast<wchar_t*>(GlobalLock(block));
    std::copy(rows.c_str(), rows.c_str() + rows.size() + 1, locked);
    GlobalUnlock(block);
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(block);
    return placed;
}

std::string PictureNameText(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    std::replace(name.begin(), name.end(), '_', ' ');
    std::replace(name.begin(), name.end(), '-', ' ');
    return name;
}

std::vector<CardPair> MakePicturePairs(std::vector<std::string> paths)
{
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(PictureNameText(a).c_str(), PictureNameText(b).c_str()) < 0;
    });
    std::vector<CardPair> pairs;
    pairs.reserve(paths.size());
    for (const std::string& path : paths) {
        CardPair pair;
        pair.PictureFileName1 = path;
        pair.Text2 = PlainTextToRtf(AnsiToWide(PictureNameText(path)));
        pairs.push_back(pair);
    }
    return pairs;
}

bool ChoosePicturePairs(HWND owner, std::vector<CardPair>& pairs)
{
    pairs.clear();
    std::string files(256 * 1024, '\0');
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = owner;
    open.lpstrFilter = "Picture files (*.bmp;*.jpg;*.png;*.emf)\0*.bmp;*.jpg;*.png;*.emf\0All files (*.*)\0*.*\0";
    open.nFilterIndex = 1;
    open.lpstrFile = &files[0];
    open.nMaxFile = static_cast<DWORD>(files.size());
    open.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_EXPLORER |
                 OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&open))
        return false;
    // One file: its full path. Several: the folder, then each name, each ended by a zero.
    std::vector<std::string> parts;
    for (size_t at = 0; at < files.size() && files[at]; at += parts.back().size() + 1)
        parts.push_back(files.c_str() + at);
    std::vector<std::string> paths;
    if (parts.size() == 1)
        paths = parts;
    for (size_t i = 1; i < parts.size(); ++i)
        paths.push_back(parts[0] + (parts[0].empty() || parts[0].back() == '\\' ? "" : "\\") + parts[i]);
    pairs = MakePicturePairs(paths);
    return !pairs.empty();
}
