// The card set folder: names map to "<application data>\<name>.mnc".
#include "cardset/card_set_folder.h"

#include "cardset/profile_file.h"

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
    if (GetFileAttributesA(GetCardSetPath(name).c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_INVALID_NAME;
}

namespace {

bool Failed(std::string* reason)
{
    if (reason)
        *reason = DescribeFileError(GetLastError());
    return false;
}

} // namespace

bool DeleteCardSet(const std::string& name, std::string* reason)
{
    return DeleteFileA(GetCardSetPath(name).c_str()) || Failed(reason);
}

bool RenameCardSet(const std::string& oldName, const std::string& newName, std::string* reason)
{
    std::string from = GetCardSetPath(oldName);
    std::string to = GetCardSetPath(newName);
    if (oldName == newName || lstrcmpiA(oldName.c_str(), newName.c_str()) != 0)
        return MoveFileA(from.c_str(), to.c_str()) || Failed(reason); // never replaces the target
    // Only the letter case changes: some file systems keep the old spelling on a direct move, so
    // the file goes through a temporary name (and back, should the second move fail).
    std::string temporary = from + ".renaming";
    if (!MoveFileA(from.c_str(), temporary.c_str()))
        return Failed(reason);
    if (MoveFileA(temporary.c_str(), to.c_str()))
        return true;
    Failed(reason);
    MoveFileA(temporary.c_str(), from.c_str());
    return false;
}

bool CopyCardSet(const std::string& source, const std::string& target, std::string* reason)
{
    std::string bytes;
    DWORD error = ReadWholeFile(GetCardSetPath(source), bytes);
    if (error == 0)
        error = WriteFileSafely(GetCardSetPath(target), bytes);
    if (error != 0 && reason)
        *reason = DescribeFileError(error);
    return error == 0;
}

bool IsValidCardSetName(const std::string& name)
{
    return name.find_first_of("<>:\"/\\|?*") == std::string::npos;
}

bool HasControlCharacters(const std::string& name)
{
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            return true;
    return false;
}

// The platform takes these names, before the first dot and without trailing blanks, for devices.
bool IsDeviceName(const std::string& name)
{
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char& c : base)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

bool CardSetPathFits(const std::string& name)
{
    return GetCardSetPath(name).size() < MAX_PATH;
}

std::string DescribeFileError(DWORD error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "the file is in use by another program";
    case ERROR_ACCESS_DENIED:
        return "access to the file is denied (it may be read-only, protected or a folder)";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "the file does not exist";
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return "a file of that name already exists";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME:
        return "the name cannot be used for a file";
    }
    char text[64];
    wsprintfA(text, "error code %lu", static_cast<unsigned long>(error));
    return text;
}
