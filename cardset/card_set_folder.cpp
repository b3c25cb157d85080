// The card set folder: names map to "<application data>\<name>.mnc".
#include "cardset/card_set_folder.h"

#include <windows.h>

#include <shlobj.h>

std::string GetCardSetFolder()
{
    char path[MAX_PATH + 1] = "";
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &items)) && items) {
        if (!SHGetPathFromIDListA(items, path))
            path[0] = '\0';
        CoTaskMemFree(items);
    }
    std::string folder = path;
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

std::string GetCardSetPath(const std::string& name)
{
    return GetCardSetFolder() + "\\" + name + ".mnc";
}

void EnumerateCardSets(std::set<std::string>& names)
{
    std::string pattern = GetCardSetFolder() + "\\*.mnc";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string file = found.cFileName;
        size_t dot = file.find_last_of('.');
        if (dot != std::string::npos)
            names.insert(file.substr(0, dot));
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

bool CardSetExists(const std::string& name)
{
    HFILE file = _lopen(GetCardSetPath(name).c_str(), OF_READ);
    if (file == HFILE_ERROR)
        return false;
    _lclose(file);
    return true;
}

void DeleteCardSet(const std::string& name)
{
    DeleteFileA(GetCardSetPath(name).c_str());
}

void RenameCardSet(const std::string& oldName, const std::string& newName)
{
    std::string from = GetCardSetPath(oldName);
    std::string to = GetCardSetPath(newName);
    if (oldName == newName || lstrcmpiA(oldName.c_str(), newName.c_str()) != 0) {
        MoveFileA(from.c_str(), to.c_str());
        return;
    }
    // Only the letter case changes: some file systems keep the old spelling on a direct move, so
    // the file goes through a temporary name (and back, should the second move fail).
    std::string temporary = from + ".renaming";
    if (!MoveFileA(from.c_str(), temporary.c_str()))
        return;
    if (!MoveFileA(temporary.c_str(), to.c_str()))
        MoveFileA(temporary.c_str(), from.c_str());
}

void CopyCardSet(const std::string& source, const std::string& target)
{
    CopyFileA(GetCardSetPath(source).c_str(), GetCardSetPath(target).c_str(), FALSE);
}

bool IsValidCardSetName(const std::string& name)
{
    return name.find_first_of("<>:\"/\\|?*") == std::string::npos;
}
