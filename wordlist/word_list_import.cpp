// Word list import: the card set is built in memory, its media copied into a temporary folder
// beside the card sets with the card set file, and both moved into place at the end.
#include "wordlist/word_list_import.h"

#include "cardset/card_set_folder.h"
#include "cardset/profile_file.h"
#include "sharing/card_set_package.h"

#include <windows.h>

#include <map>
#include <set>

namespace {

const char MediaFolderVariable[] = "%APPDATA%\\";

std::string Lower(std::string text)
{
    if (!text.empty())
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool IsFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Where a medium the list names is: beside the list, or in "collection.media" beside it. Only
// plain file names are looked up, so a list cannot reach files elsewhere. Empty when not found.
std::string FindMedium(const std::string& listFolder, const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/:*?\"<>|") != std::string::npos)
        return std::string();
    for (const char* sub : {"\\", "\\collection.media\\"}) {
        std::string path = listFolder + sub + name;
        if (IsFile(path))
            return path;
    }
    return std::string();
}

// The media of the card set: source path -> file name in the card set's folder.
struct MediaPlan {
    std::map<std::string, std::pair<std::string, std::string>> Files; // lower-case source -> (source, name)
    std::set<std::string> Taken;
    std::set<std::string> Missed;
};

// The stored file name of a medium the list names, or "" when it was not found (then listed).
std::string PlanMedium(MediaPlan& plan, const std::string& listFolder, const std::string& cardSetName,
                       const std::wstring& wideName, std::vector<std::string>& missing)
{
    if (wideName.empty())
        return std::string();
    bool lossy = false;
    std::string name = WideToAnsi(wideName, &lossy);
    std::string source = lossy ? std::string() : FindMedium(listFolder, name);
    if (source.empty()) {
        if (plan.Missed.insert(Lower(name)).second)
            missing.push_back("File not found, filename " + name);
        return std::string();
    }
    auto known = plan.Files.find(Lower(source));
    if (known == plan.Files.end()) {
        std::string unique = name;
        size_t dot = name.find_last_of('.');
        for (int n = 2; !plan.Taken.insert(Lower(unique)).second; ++n)
            unique = (dot == std::string::npos ? name : name.substr(0, dot)) + " (" + std::to_string(n) + ")" +
                     (dot == std::string::npos ? "" : name.substr(dot));
        known = plan.Files.emplace(Lower(source), std::make_pair(source, unique)).first;
    }
    return MediaFolderVariable + cardSetName + "\\" + known->second.second;
}

} // namespace

bool OpenWordList(const std::string& path, WordList& list, std::string& error)
{
    list = WordList();
    std::string bytes;
    DWORD failure = ReadWholeFile(path, bytes);
    if (failure) {
        error = "The list " + path + " cannot be read: " + DescribeFileError(failure) + ".";
        return false;
    }
    if (!ReadWordList(bytes, list.Pairs, error))
        return false;
    list.Path = path;
    return true;
}

std::string WordListCardSetName(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

CardPair WordListPairToCardPair(const WordListPair& pair)
{
    CardPair cards;
    cards.Text1 = CardTextToRtf(pair.First.Text);
    cards.Text2 = CardTextToRtf(pair.Second.Text);
    return cards;
}

bool ImportWordList(const WordList& list, const std::string& name, std::vector<std::string>& missing,
                    std::string& error)
{
    missing.clear();
    if (CardSetNameTaken(name)) {
        error = "A card set named " + name + " or its folder already exists.";
        return false;
    }
    std::string listFolder = FolderOf(list.Path);
    MediaPlan plan;
    CardSet cards;
    cards.reserve(list.Pairs.size());
    for (const WordListPair& pair : list.Pairs) {
        CardPair card = WordListPairToCardPair(pair);
        card.PictureFileName1 = PlanMedium(plan, listFolder, name, pair.First.Picture, missing);
        card.SoundFileName1 = PlanMedium(plan, listFolder, name, pair.First.Sound, missing);
        card.PictureFileName2 = PlanMedium(plan, listFolder, name, pair.Second.Picture, missing);
        card.SoundFileName2 = PlanMedium(plan, listFolder, name, pair.Second.Sound, missing);
        cards.push_back(card);
    }
    std::string text = FormatCardSetText(cards);
    if (plan.Files.empty()) {
        DWORD failure = WriteFileSafely(GetCardSetPath(name), text);
        if (failure)
            error = "The card set " + name + " cannot be written: " + DescribeFileError(failure) + ".";
        return failure == 0;
    }
    std::string temporary;
    bool ok = MakeImportFolder("~wordlist-", name, temporary, error);
    std::string media = temporary + "\\" + name;
    for (auto file = plan.Files.begin(); ok && file != plan.Files.end(); ++file)
        if (!CopyFileA(file->second.first.c_str(), (media + "\\" + file->second.second).c_str(), TRUE)) {
            error = "The file " + file->second.first + " cannot be copied: " + DescribeFileError(GetLastError()) + ".";
            ok = false;
        }
    std::string cardSetFile = temporary + "\\" + name + ".mnc";
    if (ok) {
        DWORD failure = WriteFileSafely(cardSetFile, text);
        if (failure) {
            error = "The card set " + name + " cannot be written: " + DescribeFileError(failure) + ".";
            ok = false;
        }
    }
    return PlaceImportedCardSet(temporary, name, ok, error);
}
