// Card pair dialog: two rich-text editors, six file fields with Browse..., the checks of OK, and
// buttons that start the system's character map, paint program and sound recorder.
#include "editor/card_pair_dialog.h"

#include "app/dialog.h"
#include "app/message_box.h"
#include "editor/text_editor.h"
#include "game/rich_text_layout.h"
#include "media/rich_text.h"
#include "res/dialog_ids.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <shellapi.h>
#include <windowsx.h>

namespace {

bool CardPairReentry = false;

// Tooltips of the editors' formatting buttons.
struct EditorTooltip {
    int EditorId;
    int ChildId;
    const char* Text;
};

const EditorTooltip EditorTooltips[] = {
    {IDC_PAIR_TEXT1, EditorBoldId, "Bold"},
    {IDC_PAIR_TEXT1, EditorItalicId, "Italic"},
    {IDC_PAIR_TEXT1, EditorUnderlineId, "Underline"},
    {IDC_PAIR_TEXT1, EditorColorId, "Color"},
    {IDC_PAIR_TEXT2, EditorBoldId, "Bold"},
    {IDC_PAIR_TEXT2, EditorItalicId, "Italic"},
    {IDC_PAIR_TEXT2, EditorUnderlineId, "Underline"},
    {IDC_PAIR_TEXT2, EditorColorId, "Color"},
    {0, 0, nullptr},
};

// A file field: its edit, the message when its file is missing, and the pair's field.
struct FileField {
    int EditId;
    const char* MissingMessage;
    std::string CardPair::*Member;
};

// In the order OK checks them.
const FileField FileFields[] = {
    {IDC_PAIR_PICTURE1, "Picture file does not exist", &CardPair::PictureFileName1},
    {IDC_PAIR_PICTURE2, "Picture file does not exist", &CardPair::PictureFileName2},
    {IDC_PAIR_SOUND1, "Sound file does not exist", &CardPair::SoundFileName1},
    {IDC_PAIR_SOUND2, "Sound file does not exist", &CardPair::SoundFileName2},
    {IDC_PAIR_VIDEO1, "Video file does not exist", &CardPair::VideoFileName1},
    {IDC_PAIR_VIDEO2, "Video file does not exist", &CardPair::VideoFileName2},
};

HWND GetEditorRichEdit(HWND dialog, int editorId)
{
    return GetDlgItem(GetDlgItem(dialog, editorId), EditorRichEditId);
}

int GetTextLength(HWND richEdit)
{
    GETTEXTLENGTHEX query = {GTL_DEFAULT, 1200};
    return static_cast<int>(SendMessageA(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

void SetEditorText(HWND dialog, int editorId, const std::string& text)
{
    if (!text.empty())
        LoadCardText(GetEditorRichEdit(dialog, editorId), text);
}

std::string GetEditorText(HWND dialog, int editorId)
{
    HWND richEdit = GetEditorRichEdit(dialog, editorId);
    if (GetTextLength(richEdit) == 0)
        return std::string();
    return StreamOutRtf(richEdit);
}

// An editor that holds no text starts typing in Tahoma 10 pt.
void SetEditorDefaultFont(HWND dialog, int editorId)
{
    HWND richEdit = GetEditorRichEdit(dialog, editorId);
    if (GetTextLength(richEdit) >= 1)
        return;
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE;
    format.yHeight = 200;
    lstrcpyA(format.szFaceName, "Tahoma");
    SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    // Some RichEdit versions give typed text the format of the empty text's paragraph end, which
    // keeps the dialog font: it gets the same format.
    SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

std::string GetFieldText(HWND dialog, int id)
{
    char text[256] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// True when the file, with its %NAME% references expanded, can be opened for reading.
bool FileExists(const std::string& fileName)
{
    std::string expanded = fileName;
    ExpandFileName(expanded);
    HFILE file = _lopen(expanded.c_str(), OF_READ);
    if (file == HFILE_ERROR)
        return false;
    _lclose(file);
    return true;
}

// The plain text of a card text, converted in the given RichEdit control.
std::string PlainTextIn(HWND richEdit, const std::string& text)
{
    if (!richEdit)
        return std::string();
    LoadCardText(richEdit, text);
    return StreamOutUtf8Text(richEdit);
}

// True when another pair of the card set has the same files and the same plain texts.
bool IsDuplicatePair(const CardPairDialogParams& params, const CardPair& candidate)
{
    if (!params.Cards)
        return false;
    // One converter for the whole check: streaming in replaces its content completely.
    HWND converter = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    std::string plain1 = PlainTextIn(converter, candidate.Text1);
    std::string plain2 = PlainTextIn(converter, candidate.Text2);
    bool duplicate = false;
    const CardSet& cards = *params.Cards;
    for (size_t i = 0; i < cards.size() && !duplicate; ++i) {
        const CardPair& other = cards[i];
        if (static_cast<int>(i) == params.Index)
            continue;
        duplicate =
            other.PictureFileName1 == candidate.PictureFileName1 &&
            other.PictureFileName2 == candidate.PictureFileName2 && other.SoundFileName1 == candidate.SoundFileName1 &&
            other.SoundFileName2 == candidate.SoundFileName2 && other.VideoFileName1 == candidate.VideoFileName1 &&
            other.VideoFileName2 == candidate.VideoFileName2 && PlainTextIn(converter, other.Text1) == plain1 &&
            PlainTextIn(converter, other.Text2) == plain2;
    }
    if (converter)
        DestroyWindow(converter);
    return duplicate;
}

// OK: every named file exists, the first card has content, no other pair is the same; then the
// fields go into the pair.
void AcceptPair(HWND dialog)
{
    CardPairDialogParams* params = GetDialogParams<CardPairDialogParams>(dialog);
    CardPair candidate;
    candidate.Text1 = GetEditorText(dialog, IDC_PAIR_TEXT1);
    candidate.Text2 = GetEditorText(dialog, IDC_PAIR_TEXT2);
    for (const FileField& field : FileFields) {
        std::string fileName = GetFieldText(dialog, field.EditId);
        // Mended: a pasted line break was stored as it was and split the entry in the file.
        if (fileName.find_first_of("\r\n") != std::string::npos) {
            ShowFieldError(dialog, "File name must not contain a line break", field.EditId);
            return;
        }
        if (!IsBlank(fileName) && !FileExists(fileName)) {
            ShowFieldError(dialog, field.MissingMessage, field.EditId);
            return;
        }
        candidate.*field.Member = fileName;
    }
    if (candidate.Text1.empty() && IsBlank(candidate.PictureFileName1) && IsBlank(candidate.SoundFileName1) &&
        IsBlank(candidate.VideoFileName1)) {
        ShowFieldError(dialog, "A text, picture, sound or video for 1st card must be specified", -1);
        return;
    }
    if (IsDuplicatePair(*params, candidate)) {
        ShowFieldError(dialog, "Card pair already exists", IDC_PAIR_TEXT1);
        return;
    }
    *params->Pair = candidate;
    EndDialog(dialog, 1);
}

// The open-file dialog for a picture, sound or video; the chosen full path replaces the field.
void BrowseForFile(HWND dialog, int editId, const char* kind)
{
    static const char PictureFilter[] = "Picture files (*.bmp;*.jpg;*.png;*.emf)\0*.bmp;*.jpg;*.png;*.emf\0"
                                        "All files (*.*)\0*.*\0";
    static const char SoundFilter[] = "Sound files (*.wav;*.wma;*.mid;*.mp3)\0*.wav;*.wma;*.mid;*.mp3\0"
                                      "All files (*.*)\0*.*\0";
    static const char VideoFilter[] = "Video files (*.mpg;*.wmv)\0*.mpg;*.wmv\0All files (*.*)\0*.*\0";
    char file[256] = "";
    char title[256] = "";
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = dialog;
    open.lpstrFile = file;
    open.nMaxFile = sizeof file;
    open.lpstrFileTitle = title;
    open.nMaxFileTitle = sizeof title;
    open.nFilterIndex = 1;
    open.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (lstrcmpiA(kind, "PIC") == 0)
        open.lpstrFilter = PictureFilter;
    else if (lstrcmpiA(kind, "SND") == 0)
        open.lpstrFilter = SoundFilter;
    else if (lstrcmpiA(kind, "VID") == 0)
        open.lpstrFilter = VideoFilter;
    if (GetOpenFileNameA(&open))
        SetDlgItemTextA(dialog, editId, file);
}

// Starts a program with the shell; failures name the program and the shell's error code.
void RunTool(HWND dialog, const char* file)
{
    INT_PTR result = reinterpret_cast<INT_PTR>(ShellExecuteA(dialog, nullptr, file, nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        char text[512];
        wsprintfA(text, "ShellExecute of %s failed, error code %d", file, static_cast<int>(result));
        MessageBoxA(dialog, text, "Error", MB_ICONERROR);
    }
}

void RunCharacterMap(HWND dialog)
{
    RunTool(dialog, "charmap.exe");
}

void RunPaint(HWND dialog)
{
    RunTool(dialog, "mspaint.exe");
}

// A 32-bit program on a 64-bit system reaches the native system folder through "sysnative".
void RunSoundRecorder(HWND dialog)
{
    BOOL emulated = FALSE;
    IsWow64Process(GetCurrentProcess(), &emulated);
    const char* path =
        emulated ? "%windir%\\sysnative\\soundrecorder.exe" : "%SystemRoot%\\system32\\soundrecorder.exe";
    char expanded[256] = "";
    ExpandEnvironmentStringsA(path, expanded, sizeof expanded);
    RunTool(dialog, expanded);
}

void AddEditorTooltips(HWND dialog)
{
    HINSTANCE instance = GetWindowInstance(dialog);
    HWND tooltips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, instance, nullptr);
    if (!tooltips)
        return;
    for (const EditorTooltip* row = EditorTooltips; row->EditorId != 0; ++row) {
        HWND button = GetDlgItem(GetDlgItem(dialog, row->EditorId), row->ChildId);
        if (!button)
            continue;
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = const_cast<char*>(row->Text);
        SendMessageA(tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

BOOL OnPairInitDialog(HWND dialog, HWND, LPARAM param)
{
    SetDialogParams(dialog, reinterpret_cast<void*>(param));
    CardPairDialogParams* params = reinterpret_cast<CardPairDialogParams*>(param);
    for (const FileField& field : FileFields)
        SetDlgItemTextA(dialog, field.EditId, ((*params->Pair).*field.Member).c_str());
    AddEditorTooltips(dialog);
    // The texts are loaded once the editors have been created and have their font.
    PostMessageA(dialog, WM_APP, 0, 0);
    return TRUE;
}

void OnPairApp(HWND dialog)
{
    CardPairDialogParams* params = GetDialogParams<CardPairDialogParams>(dialog);
    SetEditorText(dialog, IDC_PAIR_TEXT1, params->Pair->Text1);
    SetEditorText(dialog, IDC_PAIR_TEXT2, params->Pair->Text2);
    SetEditorDefaultFont(dialog, IDC_PAIR_TEXT1);
    SetEditorDefaultFont(dialog, IDC_PAIR_TEXT2);
    PostMessageA(GetDlgItem(dialog, IDC_PAIR_TEXT1), WM_APP, 0, 0);
    PostMessageA(GetDlgItem(dialog, IDC_PAIR_TEXT2), WM_APP, 0, 0);
}

void OnPairCommand(HWND dialog, int id, HWND, UINT)
{
    switch (id) {
    case IDOK:
        AcceptPair(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    case IDC_PAIR_BROWSE_PICTURE1:
        BrowseForFile(dialog, IDC_PAIR_PICTURE1, "PIC");
        break;
    case IDC_PAIR_BROWSE_PICTURE2:
        BrowseForFile(dialog, IDC_PAIR_PICTURE2, "PIC");
        break;
    case IDC_PAIR_BROWSE_SOUND1:
        BrowseForFile(dialog, IDC_PAIR_SOUND1, "SND");
        break;
    case IDC_PAIR_BROWSE_SOUND2:
        BrowseForFile(dialog, IDC_PAIR_SOUND2, "SND");
        break;
    case IDC_PAIR_BROWSE_VIDEO1:
        BrowseForFile(dialog, IDC_PAIR_VIDEO1, "VID");
        break;
    case IDC_PAIR_BROWSE_VIDEO2:
        BrowseForFile(dialog, IDC_PAIR_VIDEO2, "VID");
        break;
    case IDC_PAIR_CHARMAP:
        RunCharacterMap(dialog);
        break;
    case IDC_PAIR_SOUNDRECORDER:
        RunSoundRecorder(dialog);
        break;
    case IDC_PAIR_PAINT:
        RunPaint(dialog);
        break;
    }
}

LRESULT DispatchCardPair(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(dialog, WM_INITDIALOG, OnPairInitDialog);
        HANDLE_MSG(dialog, WM_COMMAND, OnPairCommand);
    case WM_APP:
        OnPairApp(dialog);
        return 0;
    }
    return DefaultDialogMessage(CardPairReentry, dialog, msg, wParam, lParam);
}

INT_PTR CALLBACK CardPairDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return RunDialogProcedure(CardPairReentry, DispatchCardPair, dialog, msg, wParam, lParam);
}

} // namespace

std::string PlainTextForCompare(const std::string& text)
{
    HWND converter = CreateHiddenRichEdit(GetModuleHandleA(nullptr));
    std::string plain = PlainTextIn(converter, text);
    if (converter)
        DestroyWindow(converter);
    return plain;
}

int ShowCardPairDialog(HWND owner, CardPairDialogParams& params)
{
    INT_PTR result = RunModalDialog(owner, "PROFILEENTRYDLG", CardPairDialogProc, &params);
    if (result == -1) {
        char text[128];
        wsprintfA(text, "DialogBoxParam of PROFILEENTRYDLG failed, error code %d", static_cast<int>(GetLastError()));
        MessageBoxA(owner, text, "Error", MB_ICONERROR);
        return 0;
    }
    return static_cast<int>(result);
}
