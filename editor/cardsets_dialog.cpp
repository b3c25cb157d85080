// Card sets dialog: the list of card sets with Add, Rename, Copy, Modify and Remove, Export and
// Import of card set packages, and Import of word lists.
#include "editor/cardsets_dialog.h"

#include "app/dialog.h"
#include "app/message_box.h"
#include "cardset/card_set.h"
#include "cardset/card_set_folder.h"
#include "editor/card_set_dialog.h"
#include "editor/name_dialog.h"
#include "res/dialog_ids.h"
#include "sharing/card_set_package.h"
#include "wordlist/word_list_import.h"

#include <commdlg.h>
#include <windowsx.h>

#include <set>
#include <string>
#include <vector>

int CardSetsChanged = 0;

namespace {

bool CardSetsReentry = false;

const int SelectionButtons[] = {IDC_CARDSETS_RENAME, IDC_CARDSETS_MODIFY, IDC_CARDSETS_REMOVE, IDC_CARDSETS_COPY,
                                IDC_CARDSETS_EXPORT};

void EnableSelectionButtons(HWND dialog, BOOL enable)
{
    for (int id : SelectionButtons)
        EnableWindow(GetDlgItem(dialog, id), enable);
}

// Refills the list from the folder; afterwards nothing is selected.
void FillCardSetList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_CARDSETS_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::set<std::string> names;
    EnumerateCardSets(names);
    for (const std::string& name : names)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    EnableSelectionButtons(dialog, FALSE);
    SetFocus(list);
}

// The selected card set's name; false when none is selected.
bool GetSelectedName(HWND dialog, std::string& name)
{
    HWND list = GetDlgItem(dialog, IDC_CARDSETS_LIST);
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return false;
    char buffer[256] = "";
    if (SendMessageA(list, LB_GETTEXTLEN, selected, 0) >= static_cast<LRESULT>(sizeof buffer))
        return false;
    SendMessageA(list, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(buffer));
    name = buffer;
    return true;
}

// Authors the card set in the card set dialog and saves it after Save. When the file cannot be
// written the user is told and the card set dialog opens again with the edits, so that nothing
// is lost unknowingly: Save tries again, Cancel gives the edits up. True when saved.
bool AuthorAndSave(HWND dialog, const std::string& name, CardSet& cards, bool isNew)
{
    int changedBefore = CardSetsChanged;
    for (;;) {
        if (!ShowCardSetDialog(dialog, name, cards))
            return false;
        std::string reason;
        if (SaveCardSet(name, cards, &reason)) {
            if (isNew)
                CardSetsChanged = 1;
            return true;
        }
        CardSetsChanged = changedBefore; // mended: a save that failed changed nothing
        ShowErrorBox(dialog, "Card set \"" + name + "\" could not be saved: " + reason + "." +
                                 (isNew ? "" : " Its file was left as it was.") +
                                 "\nYour changes are still open: save them again, or cancel to give them up.");
    }
}

void AddCardSet(HWND dialog)
{
    std::string name = ShowNameDialog(dialog, NameForNewCardSet, "Name of new card set", "");
    if (name.empty())
        return;
    CardSet cards;
    if (AuthorAndSave(dialog, name, cards, true))
        FillCardSetList(dialog);
}

void RenameSelectedCardSet(HWND dialog)
{
    std::string oldName;
    if (!GetSelectedName(dialog, oldName))
        return;
    std::string newName = ShowNameDialog(dialog, NameForRename, "New name of card set", oldName);
    if (newName.empty())
        return;
    std::string reason;
    if (RenameCardSet(oldName, newName, &reason))
        CardSetsChanged = 1;
    else
        ShowErrorBox(dialog,
                     "Card set \"" + oldName + "\" could not be renamed to \"" + newName + "\": " + reason + ".");
    FillCardSetList(dialog);
}

void CopySelectedCardSet(HWND dialog)
{
    std::string source;
    if (!GetSelectedName(dialog, source))
        return;
    std::string target = ShowNameDialog(dialog, NameForCopy, "Name of copied card set", source);
    if (target.empty())
        return;
    std::string reason;
    if (CopyCardSet(source, target, &reason))
        CardSetsChanged = 1;
    else
        ShowErrorBox(dialog, "Card set \"" + source + "\" could not be copied to \"" + target + "\": " + reason + ".");
    FillCardSetList(dialog);
}

void RemoveSelectedCardSet(HWND dialog)
{
    std::string name;
    if (!GetSelectedName(dialog, name))
        return;
    if (!AskQuestion(dialog, "Are you really sure that you want to remove card set \"" + name + "\"?"))
        return;
    std::string reason;
    if (DeleteCardSet(name, &reason))
        CardSetsChanged = 1;
    else
        ShowErrorBox(dialog, "Card set \"" + name + "\" could not be removed: " + reason + ".");
    FillCardSetList(dialog);
}

// Modify: the card set as stored, authored and saved again. Mended: a file that could not be read
// was edited as an empty card set and then saved over; now it is refused and left as it is.
void EditCardSet(HWND dialog)
{
    std::string name;
    if (!GetSelectedName(dialog, name))
        return;
    CardSet cards;
    std::string reason;
    if (LoadCardSet(name, cards, &reason) == CardSetFileState::Unreadable) {
        ShowErrorBox(dialog,
                     "Card set \"" + name + "\" could not be read: " + reason + ".\nIts file was left as it was.");
        return;
    }
    AuthorAndSave(dialog, name, cards, false);
}

// The file a name typed in an open dialog stands for: the name as typed when such a file exists,
// else the name with each extension of the selected filter in turn ("words" finds words.txt with
// the word lists' filter); empty when there is none. The dialog itself would add one default
// extension whatever the filter, and refuse a name without it.
std::string FindTypedFile(const std::string& typed, const char* filters, DWORD filterIndex)
{
    auto isFile = [](const std::string& name) {
        DWORD attributes = GetFileAttributesA(name.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    if (isFile(typed))
        return typed;
    // The filter's patterns: the second of its pair of strings.
    const char* pattern = filters;
    for (DWORD skip = 1; *pattern && skip < 2 * filterIndex; ++skip)
        pattern += lstrlenA(pattern) + 1;
    std::string patterns = pattern;
    for (size_t at = 0; at < patterns.size();) {
        size_t end = patterns.find(';', at);
        std::string one = patterns.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? patterns.size() : end + 1;
        if (one.compare(0, 2, "*.") == 0 && one.find_first_of("*?", 1) == std::string::npos &&
            isFile(typed + one.substr(1)))
            return typed + one.substr(1);
    }
    return std::string();
}

// Asks for a package file to write (save) or, with lists, a package or word list to read; false
// when the user cancelled.
bool ChoosePackageFile(HWND dialog, bool save, std::string& path, bool lists = false)
{
    char file[MAX_PATH] = "";
    lstrcpynA(file, path.c_str(), sizeof file);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.lpstrFilter = lists ? "Card set packages (*.zip)\0*.zip\0Word lists (*.txt;*.csv;*.tsv)\0*.txt;*.csv;*.tsv\0"
                            : "Card set packages (*.zip)\0*.zip\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = save ? "zip" : nullptr;
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : 0);
    if (save) {
        if (!GetSaveFileNameA(&ofn))
            return false;
        path = file;
        return true;
    }
    // A name that finds no file is told, and asked for again.
    for (;;) {
        if (!GetOpenFileNameA(&ofn))
            return false;
        path = FindTypedFile(file, ofn.lpstrFilter, ofn.nFilterIndex);
        if (!path.empty())
            return true;
        ShowErrorBox(dialog, std::string("File \"") + file + "\" not found.\nCheck the file name and try again.");
    }
}

// Export: the selected card set with its files as one package; files it names that are missing
// are listed in one report, and the package is written without them.
void ExportSelectedCardSet(HWND dialog)
{
    std::string name, path;
    if (!GetSelectedName(dialog, name))
        return;
    path = name + ".zip";
    if (!ChoosePackageFile(dialog, true, path))
        return;
    std::vector<std::string> missing;
    std::string error;
    if (!ExportCardSet(name, path, missing, error)) {
        ShowErrorBox(dialog, "Card set \"" + name + "\" could not be exported: " + error);
        return;
    }
    for (std::string& file : missing)
        file = "File not found, filename " + file;
    if (!missing.empty())
        ShowErrorReport(dialog, missing);
}

// A word list becomes a new card set under a name the user gives (the list's file name offered);
// media it names that were not found are reported together at the end.
void ImportWordListFile(HWND dialog, const std::string& path)
{
    WordList list;
    std::string error;
    if (!OpenWordList(path, list, error)) {
        ShowErrorBox(dialog, error);
        return;
    }
    std::string name = WordListCardSetName(path);
    for (;;) {
        name = ShowNameDialog(dialog, NameForNewCardSet, "Name of new card set", name);
        if (name.empty())
            return;
        if (!CardSetNameTaken(name))
            break;
        ShowErrorBox(dialog, "A card set named \"" + name + "\" or a folder of that name already exists.");
    }
    std::vector<std::string> missing;
    if (!ImportWordList(list, name, missing, error)) {
        ShowErrorBox(dialog, "The list could not be imported: " + error);
        return;
    }
    CardSetsChanged = 1;
    FillCardSetList(dialog);
    if (!missing.empty())
        ShowErrorReport(dialog, missing);
}

bool IsWordListFile(const std::string& path)
{
    size_t dot = path.find_last_of('.');
    std::string extension = dot == std::string::npos ? "" : path.substr(dot);
    return lstrcmpiA(extension.c_str(), ".zip") != 0;
}

// Import: a package becomes a card set of the user's, under its own name or, when that is taken,
// under a name the user gives; a word list becomes a new card set.
void ImportCardSet(HWND dialog)
{
    std::string path, error;
    if (!ChoosePackageFile(dialog, false, path, true))
        return;
    if (IsWordListFile(path)) {
        ImportWordListFile(dialog, path);
        return;
    }
    CardSetPackage package;
    if (!OpenCardSetPackage(path, package, error)) {
        ShowErrorBox(dialog, error);
        return;
    }
    std::string name = package.Name;
    while (CardSetNameTaken(name)) {
        name = ShowNameDialog(dialog, NameForNewCardSet, "Name of imported card set", name);
        if (name.empty())
            return;
        if (CardSetNameTaken(name))
            ShowErrorBox(dialog, "A card set named \"" + name + "\" or a folder of that name already exists.");
    }
    if (!ImportCardSetPackage(package, name, error)) {
        ShowErrorBox(dialog, "The package could not be imported: " + error);
        return;
    }
    CardSetsChanged = 1;
    FillCardSetList(dialog);
}

BOOL OnCardSetsInitDialog(HWND dialog, HWND, LPARAM)
{
    CardSetsChanged = 0;
    FillCardSetList(dialog);
    return TRUE;
}

void OnCardSetsCommand(HWND dialog, int id, HWND, UINT code)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, CardSetsChanged);
        break;
    case IDC_CARDSETS_LIST:
        if (code == LBN_SELCHANGE)
            EnableSelectionButtons(dialog, TRUE);
        else if (code == LBN_DBLCLK)
            EditCardSet(dialog);
        break;
    case IDC_CARDSETS_ADD:
        AddCardSet(dialog);
        break;
    case IDC_CARDSETS_RENAME:
        RenameSelectedCardSet(dialog);
        break;
    case IDC_CARDSETS_MODIFY:
        EditCardSet(dialog);
        break;
    case IDC_CARDSETS_REMOVE:
        RemoveSelectedCardSet(dialog);
        break;
    case IDC_CARDSETS_COPY:
        CopySelectedCardSet(dialog);
        break;
    case IDC_CARDSETS_EXPORT:
        ExportSelectedCardSet(dialog);
        break;
    case IDC_CARDSETS_IMPORT:
        ImportCardSet(dialog);
        break;
    }
}

LRESULT DispatchCardSets(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        HANDLE_MSG(dialog, WM_INITDIALOG, OnCardSetsInitDialog);
        HANDLE_MSG(dialog, WM_COMMAND, OnCardSetsCommand);
    }
    return DefaultDialogMessage(CardSetsReentry, dialog, msg, wParam, lParam);
}

INT_PTR CALLBACK CardSetsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return RunDialogProcedure(CardSetsReentry, DispatchCardSets, dialog, msg, wParam, lParam);
}

} // namespace

int ShowCardSetsDialog(HWND owner)
{
    INT_PTR result = RunModalDialog(owner, "PROFILESDLG", CardSetsDialogProc, nullptr);
    return result > 0 ? static_cast<int>(result) : 0;
}
