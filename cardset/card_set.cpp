// Card set files: "General" with the count, then one "Entry<n>" section per pair.
#include "cardset/card_set.h"

#include "app/settings.h"
#include "cardset/card_set_folder.h"
#include "cardset/profile_file.h"

#include <windows.h>

namespace {

const char* const CrWord = "#SPECIALR^";
const char* const LfWord = "#SPECIALN^";

std::string ValueOrEmpty(const ProfileFile& file, const std::string& section, const char* key)
{
    const std::string* value = FindProfileValue(file, section, key);
    return value ? *value : std::string();
}

} // namespace

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    size_t pos = text.find(from);
    while (pos != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos = text.find(from, pos + to.size());
    }
    return text;
}

std::string EscapeLineBreaks(const std::string& text)
{
    return ReplaceAll(ReplaceAll(text, "\r", CrWord), "\n", LfWord);
}

std::string UnescapeLineBreaks(const std::string& text)
{
    return ReplaceAll(ReplaceAll(text, CrWord, "\r"), LfWord, "\n");
}

bool IsSecondCardEmpty(const CardPair& pair)
{
    return pair.Text2.empty() && pair.PictureFileName2.empty() && pair.SoundFileName2.empty() &&
           pair.VideoFileName2.empty();
}

void LoadCardSet(const std::string& name, CardSet& set)
{
    std::string text;
    if (!ReadWholeFile(GetCardSetPath(name), text))
        return;
    ProfileFile file = ParseProfile(text);
    // A damaged count must not make the program hang or run out of memory.
    int count = ParseDecimal(ValueOrEmpty(file, "General", "Count"));
    if (count < 0)
        count = 0;
    if (count > MaxCardPairs)
        count = MaxCardPairs;
    set.reserve(set.size() + count);
    for (int i = 1; i <= count; ++i) {
        std::string section = "Entry" + IntToString(i);
        CardPair pair;
        pair.Text1 = UnescapeLineBreaks(ValueOrEmpty(file, section, "Text1"));
        pair.Text2 = UnescapeLineBreaks(ValueOrEmpty(file, section, "Text2"));
        pair.PictureFileName1 = ValueOrEmpty(file, section, "PictureFileName1");
        pair.PictureFileName2 = ValueOrEmpty(file, section, "PictureFileName2");
        pair.SoundFileName1 = ValueOrEmpty(file, section, "SoundFileName1");
        pair.SoundFileName2 = ValueOrEmpty(file, section, "SoundFileName2");
        pair.VideoFileName1 = ValueOrEmpty(file, section, "VideoFileName1");
        pair.VideoFileName2 = ValueOrEmpty(file, section, "VideoFileName2");
        set.push_back(std::move(pair));
    }
}

bool SaveCardSet(const std::string& name, const CardSet& set)
{
    std::string text;
    size_t size = 64;
    for (const CardPair& p : set)
        size += 160 + p.Text1.size() + p.Text2.size() + p.PictureFileName1.size() + p.PictureFileName2.size() +
                p.SoundFileName1.size() + p.SoundFileName2.size() + p.VideoFileName1.size() + p.VideoFileName2.size();
    text.reserve(size);
    AppendProfileSection(text, "General");
    AppendProfileKey(text, "Count", IntToString(static_cast<int>(set.size())));
    int n = 0;
    for (const CardPair& p : set) {
        AppendProfileSection(text, "Entry" + IntToString(++n));
        AppendProfileKey(text, "Text1", EscapeLineBreaks(p.Text1));
        AppendProfileKey(text, "Text2", EscapeLineBreaks(p.Text2));
        AppendProfileKey(text, "PictureFileName1", p.PictureFileName1);
        AppendProfileKey(text, "PictureFileName2", p.PictureFileName2);
        AppendProfileKey(text, "SoundFileName1", p.SoundFileName1);
        AppendProfileKey(text, "SoundFileName2", p.SoundFileName2);
        AppendProfileKey(text, "VideoFileName1", p.VideoFileName1);
        AppendProfileKey(text, "VideoFileName2", p.VideoFileName2);
    }
    return WriteFileSafely(GetCardSetPath(name), text);
}

void ExpandFileName(std::string& fileName)
{
    if (fileName.find('%') == std::string::npos)
        return;
    std::string buffer(2048, '\0');
    DWORD needed = ExpandEnvironmentStringsA(fileName.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
    if (needed > buffer.size()) {
        // Longer than the usual buffer: ask again with the size the platform named.
        buffer.assign(needed, '\0');
        needed = ExpandEnvironmentStringsA(fileName.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
    }
    if (needed == 0 || needed > buffer.size())
        return;
    fileName = buffer.substr(0, buffer.find('\0'));
}
