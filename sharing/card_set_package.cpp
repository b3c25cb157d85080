// Card set packages: export gathers the named files once each under unique names and rewrites
// the card set's names to where an import will put them; import checks every entry name before
// anything is written and builds the card set in a temporary folder that is moved into place.
#include "sharing/card_set_package.h"

#include "cardset/card_set.h"
#include "cardset/card_set_folder.h"
#include "cardset/profile_file.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

const char MediaFolderVariable[] = "%APPDATA%\\";

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The six file names of a pair, for reading and rewriting alike.
std::vector<std::string*> FileNames(CardPair& pair)
{
    return {&pair.PictureFileName1, &pair.PictureFileName2, &pair.SoundFileName1,
            &pair.SoundFileName2,   &pair.VideoFileName1,   &pair.VideoFileName2};
}

// "cat.jpg" taken by another file becomes "cat (2).jpg", then "cat (3).jpg" ...
std::string UniqueName(const std::string& name, std::set<std::string>& taken)
{
    std::string candidate = name;
    size_t dot = name.find_last_of('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    for (int n = 2; !taken.insert(Lower(candidate)).second; ++n)
        candidate = stem + " (" + std::to_string(n) + ")" + extension;
    return candidate;
}

// Why an entry name may not be unpacked, or "" when it may.
std::string CheckEntryName(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name.find(':') != std::string::npos)
        return "it names an absolute path or a drive";
    if (HasControlCharacters(name))
        return "it holds a control character";
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "." || part == "..")
            return "it leads out of its folder";
        if (!part.empty() && (IsDeviceName(part) || part.find_first_of("<>\"|?*") != std::string::npos))
            return "it names a device or holds a character a file name cannot have";
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return "";
}

std::string LastErrorText()
{
    return DescribeFileError(GetLastError());
}

// Removes a folder with everything in it (the import's temporary folder). A link to a folder in it
// (a junction or symbolic link) is removed as a link where the platform lets it, and never
// followed: mended, the removal emptied the folder it led to, wherever that was.
void RemoveFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string item = found.cFileName;
            if (item == "." || item == "..")
                continue;
            std::string path = folder + "\\" + item;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                if (!RemoveDirectoryA(path.c_str()))
                    DeleteFileA(path.c_str());
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolder(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// Creates the folders of a relative path ("a\b\file": a and a\b) below root.
bool CreateFolders(const std::string& root, const std::string& relative)
{
    for (size_t slash = relative.find('\\'); slash != std::string::npos; slash = relative.find('\\', slash + 1)) {
        std::string folder = root + "\\" + relative.substr(0, slash);
        if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

} // namespace

bool ExportCardSet(const std::string& name, const std::string& path, std::vector<std::string>& missing,
                   std::string& error)
{
    missing.clear();
    CardSet set;
    std::string reason;
    if (LoadCardSet(name, set, &reason) != CardSetFileState::Read) {
        error = "The card set " + name + " cannot be read" + (reason.empty() ? "." : ": " + reason + ".");
        return false;
    }
    std::vector<ZipSource> sources(1);
    std::map<std::string, std::string> packed; // lower-case expanded path -> name in the package
    std::set<std::string> taken, missed;
    for (CardPair& pair : set)
        for (std::string* fileName : FileNames(pair)) {
            if (fileName->empty())
                continue;
            std::string expanded = *fileName;
            ExpandFileName(expanded);
            std::string key = Lower(expanded);
            auto known = packed.find(key);
            if (known == packed.end()) {
                if (!IsFile(expanded)) {
                    if (missed.insert(key).second)
                        missing.push_back(expanded);
                    continue;
                }
                std::string inPackage = UniqueName(BaseName(expanded), taken);
                known = packed.emplace(key, inPackage).first;
                sources.push_back({name + "/" + inPackage, expanded, ""});
            }
            *fileName = MediaFolderVariable + name + "\\" + known->second;
        }
    sources[0] = {name + ".mnc", "", FormatCardSetText(set)};
    return WriteZipArchive(path, sources, error);
}

bool OpenCardSetPackage(const std::string& path, CardSetPackage& package, std::string& error)
{
    package = CardSetPackage();
    std::vector<ZipEntry> entries;
    if (!ReadZipDirectory(path, entries, error))
        return false;
    std::vector<std::string> cardSets;
    for (ZipEntry& entry : entries) {
        std::replace(entry.Name.begin(), entry.Name.end(), '\\', '/');
        std::string why = CheckEntryName(entry.Name);
        if (!why.empty()) {
            error = "The package cannot be imported: the entry " + entry.Name + " is refused because " + why + ".";
            return false;
        }
        if (entry.Name.find('/') == std::string::npos && Lower(entry.Name).size() > 4 &&
            Lower(entry.Name).compare(entry.Name.size() - 4, 4, ".mnc") == 0)
            cardSets.push_back(entry.Name.substr(0, entry.Name.size() - 4));
    }
    if (cardSets.size() != 1) {
        error = cardSets.empty() ? "The package holds no card set." : "The package holds more than one card set.";
        return false;
    }
    if (!IsValidCardSetName(cardSets[0]) || !CardSetPathFits(cardSets[0])) {
        error = "The package's card set name " + cardSets[0] + " cannot be used for a card set.";
        return false;
    }
    std::string folder = Lower(cardSets[0] + "/");
    for (const ZipEntry& entry : entries)
        if (Lower(entry.Name) != Lower(cardSets[0] + ".mnc") && Lower(entry.Name).compare(0, folder.size(), folder)) {
            error = "The package cannot be imported: the entry " + entry.Name + " is outside the folder " +
                    cardSets[0] + ".";
            return false;
        }
    package.Path = path;
    package.Name = cardSets[0];
    package.Entries = entries;
    return true;
}

bool CardSetNameTaken(const std::string& name)
{
    return CardSetExists(name) ||
           GetFileAttributesA((GetCardSetFolder() + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ImportCardSetPackage(const CardSetPackage& package, const std::string& name, std::string& error)
{
    if (CardSetNameTaken(name)) {
        error = "A card set named " + name + " or its folder already exists.";
        return false;
    }
    std::string temporary, media;
    if (!MakeImportFolder("~import-", name, temporary, error))
        return false;
    media = temporary + "\\" + name;
    bool ok = true;
    std::string cardSetFile = temporary + "\\" + name + ".mnc";
    std::string packageFolder = package.Name + "/";
    for (const ZipEntry& entry : package.Entries) {
        bool isCardSet = entry.Name.find('/') == std::string::npos;
        std::string relative = isCardSet ? "" : entry.Name.substr(packageFolder.size());
        if (!isCardSet && (relative.empty() || relative.back() == '/'))
            continue; // a folder entry
        std::replace(relative.begin(), relative.end(), '/', '\\');
        if (!isCardSet && !CreateFolders(media, relative)) {
            error = "The folder for " + entry.Name + " cannot be made: " + LastErrorText() + ".";
            ok = false;
        }
        if (!ok || !ExtractZipEntry(package.Path, entry, isCardSet ? cardSetFile : media + "\\" + relative, error)) {
            ok = false;
            break;
        }
    }
    // The card set's names follow its new name.
    std::string text;
    ok = ok && ReadWholeFile(cardSetFile, text) == 0;
    if (ok) {
        CardSet set;
        ParseCardSetText(text, set);
        std::string from = Lower(MediaFolderVariable + package.Name + "\\");
        for (CardPair& pair : set)
            for (std::string* fileName : FileNames(pair))
                if (Lower(fileName->substr(0, from.size())) == from)
                    *fileName = MediaFolderVariable + name + "\\" + fileName->substr(from.size());
        DeleteFileA(cardSetFile.c_str());
        ok = WriteFileSafely(cardSetFile, FormatCardSetText(set)) == 0;
        if (!ok)
            error = "The card set cannot be written: " + LastErrorText() + ".";
    }
    return PlaceImportedCardSet(temporary, name, ok, error);
}

bool MakeImportFolder(const std::string& prefix, const std::string& name, std::string& temporary, std::string& error)
{
    temporary = GetCardSetFolder() + "\\" + prefix + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount());
    std::string media = temporary + "\\" + name;
    bool made = CreateDirectoryA(temporary.c_str(), nullptr) != 0;
    if (made && CreateDirectoryA(media.c_str(), nullptr))
        return true;
    error = "The folder " + temporary + " cannot be made: " + LastErrorText() + ".";
    if (made) // mended: a folder of that name that was there already was emptied
        RemoveFolder(temporary);
    return false;
}

bool PlaceImportedCardSet(const std::string& temporary, const std::string& name, bool ok, std::string& error)
{
    // Into place: the folder first, then the card set, which makes the import visible.
    std::string media = temporary + "\\" + name, cardSetFile = media + ".mnc";
    std::string finalFolder = GetCardSetFolder() + "\\" + name;
    if (ok && !MoveFileA(media.c_str(), finalFolder.c_str())) {
        error = "The folder " + finalFolder + " cannot be made: " + LastErrorText() + ".";
        ok = false;
    } else if (ok && !MoveFileA(cardSetFile.c_str(), GetCardSetPath(name).c_str())) {
        error = "The card set " + name + " cannot be written: " + LastErrorText() + ".";
        MoveFileA(finalFolder.c_str(), media.c_str());
        ok = false;
    }
    RemoveFolder(temporary);
    return ok;
}
