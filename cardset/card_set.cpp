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

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to)
{
    std::string result;
    size_t done = 0;
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, done)) {
        result.append(text, done, pos - done);
        result += to;
        done = pos + from.size();
    }
    return done == 0 ? text : result.append(text, done, std::string::npos);
}

std::string EscapeLineBreaks(const std::string& text)
{
    return ReplaceAll(ReplaceAll(text, "\r", CrWord), "\n", LfWord);
}

// Mended: replacing the words in place moved the rest of the text for each one, so a long text
// full of them took minutes. One pass gives the same result, as the two words cannot overlap.
std::string UnescapeLineBreaks(const std::string& text)
{
    const size_t wordLength = 10;
    std::string result;
    result.reserve(text.size());
    size_t done = 0;
    for (size_t hash = text.find('#'); hash != std::string::npos; hash = text.find('#', hash + 1)) {
        bool cr = text.compare(hash, wordLength, CrWord) == 0;
        if (!cr && text.compare(hash, wordLength, LfWord) != 0)
            continue;
        result.append(text, done, hash - done);
        result += cr ? '\r' : '\n';
        done = hash + wordLength;
        hash = done - 1;
    }
    return result.append(text, done, std::string::npos);
}

bool IsSecondCardEmpty(const CardPair& pair)
{
    return pair.Text2.empty() && pair.PictureFileName2.empty() && pair.SoundFileName2.empty() &&
           pair.VideoFileName2.empty();
}

void ParseCardSetText(const std::string& bytes, CardSet& set)
{
    ProfileFile file = ParseProfile(DecodeProfileBytes(bytes));
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

CardSetFileState LoadCardSet(const std::string& name, CardSet& set, std::string* reason)
{
    std::string bytes;
    DWORD error = ReadWholeFile(GetCardSetPath(name), bytes);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return CardSetFileState::Missing;
    if (error != 0) {
        if (reason)
            *reason = DescribeFileError(error);
        return CardSetFileState::Unreadable;
    }
    ParseCardSetText(bytes, set);
    return CardSetFileState::Read;
}

std::string FormatCardSetText(const CardSet& set)
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
    return text;
}

bool SaveCardSet(const std::string& name, const CardSet& set, std::string* reason)
{
    if (set.size() > static_cast<size_t>(MaxCardPairs)) {
        if (reason)
            *reason = "it has more than " + IntToString(MaxCardPairs) + " card pairs";
        return false;
    }
    DWORD error = WriteFileSafely(GetCardSetPath(name), FormatCardSetText(set));
    if (error != 0 && reason)
        *reason = DescribeFileError(error);
    return error == 0;
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
