// Card set files: the platform's layout, escapes, long values, damaged files and safe saving.
#include "cardset/card_set.h"
#include "cardset/card_set_folder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// The keys of an entry and the fields they hold.
const std::pair<const char*, std::string CardPair::*> Fields[] = {
    {"Text1", &CardPair::Text1},
    {"Text2", &CardPair::Text2},
    {"PictureFileName1", &CardPair::PictureFileName1},
    {"PictureFileName2", &CardPair::PictureFileName2},
    {"SoundFileName1", &CardPair::SoundFileName1},
    {"SoundFileName2", &CardPair::SoundFileName2},
    {"VideoFileName1", &CardPair::VideoFileName1},
    {"VideoFileName2", &CardPair::VideoFileName2},
};

class CardSetFile : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override { ResetUserData(); }
};

// A pair with every field set but one, file names as the player writes them.
CardPair FullPair(int n)
{
    CardPair pair;
    for (const auto& field : Fields)
        pair.*field.second = "C:\\" + std::string(field.first) + " " + std::to_string(n);
    pair.SoundFileName2.clear();
    pair.VideoFileName1 = "%TEMP%\\v" + std::to_string(n) + ".mpg";
    return pair;
}

// Every field of every pair, for comparing sets.
std::string Dump(const CardSet& set)
{
    std::string all;
    for (const CardPair& pair : set)
        for (const auto& field : Fields)
            all += std::string(field.first) + "=" + pair.*field.second + "|";
    return all;
}

CardSet Load(const std::string& name)
{
    CardSet set;
    LoadCardSet(name, set);
    return set;
}

// Writes a card set the way the platform's profile functions do, into path.
void SaveWithPlatform(const std::string& path, const CardSet& set)
{
    DeleteFileA(path.c_str());
    WritePrivateProfileStringA("General", "Count", std::to_string(set.size()).c_str(), path.c_str());
    for (size_t i = 0; i < set.size(); ++i)
        for (const auto& field : Fields) {
            std::string value = set[i].*field.second;
            value = field.first[0] == 'T' ? EscapeLineBreaks(value) : value;
            WritePrivateProfileStringA(("Entry" + std::to_string(i + 1)).c_str(), field.first, value.c_str(),
                                       path.c_str());
        }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); // flush the platform's cache
}

std::string ReadWithPlatform(const std::string& path, size_t entry, const char* key)
{
    std::string buffer(20000, '\0');
    DWORD n = GetPrivateProfileStringA(("Entry" + std::to_string(entry)).c_str(), key, "", &buffer[0],
                                       static_cast<DWORD>(buffer.size()), path.c_str());
    return buffer.substr(0, n);
}

int CountFilesIn(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    int n = 0;
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        n += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(search);
    return n;
}

} // namespace

TEST_F(CardSetFile, LayoutIsByteForByteWhatThePlatformWritesAndReadsBack)
{
    ASSERT_TRUE(SaveCardSet("empty", CardSet()));
    EXPECT_EQ("[General]\r\nCount=0\r\n", ReadBytes(GetCardSetPath("empty")));
    EXPECT_TRUE(Load("empty").empty());
    EXPECT_TRUE(Load("does not exist").empty());
    CardSet set = {FullPair(1), CardPair{}, FullPair(3)};
    set[2].Text1 = "a\r\nb";       // stored as escape words on one line
    set[2].Text2 = "x#SPECIALN^y"; // the escape words have no escape of their own
    ASSERT_TRUE(SaveCardSet("ours", set));
    SaveWithPlatform(GetCardSetPath("platform"), set);
    std::string bytes = ReadBytes(GetCardSetPath("ours"));
    EXPECT_EQ(ReadBytes(GetCardSetPath("platform")), bytes);
    EXPECT_NE(std::string::npos, bytes.find("[Entry2]\r\nText1=\r\nText2=\r\nPictureFileName1=\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("Text1=a#SPECIALR^#SPECIALN^b\r\n"));
    CardSet loaded = Load("ours");
    set[2].Text2 = "x\ny";
    EXPECT_EQ(Dump(set), Dump(loaded));
    LoadCardSet("ours", loaded); // loading appends to what the caller passes
    EXPECT_EQ(6u, loaded.size());
}

TEST_F(CardSetFile, LongValuesRoundTripWhole)
{
    CardSet set(2);
    while (set[0].Text1.size() < 1000000)
        set[0].Text1 += "{\\rtf1 lorem ipsum \\b dolor\\b0 sit amet}\r\n";
    set[0].PictureFileName1 = "C:\\" + std::string(300, 'p') + ".png";
    for (int i = 0; i < 2000; ++i)
        set[1].Text2 += "x\r\n";
    ASSERT_TRUE(SaveCardSet("long", set));
    EXPECT_TRUE(Dump(set) == Dump(Load("long")));
}

// A damaged count can neither hang the program nor exhaust its memory.
TEST_F(CardSetFile, DamagedFilesAreReadWithinBounds)
{
    const struct {
        std::string File;
        size_t Pairs;
        const char* First; // the first pair's first text; pairs missing from the file are empty
    } files[] = {
        {"[General]\r\nCount=3\r\n[Entry1]\r\nText1=only\r\n", 3, "only"},
        {"[General]\r\nCount=2147483647\r\n[Entry1]\r\nText1=a\r\n", static_cast<size_t>(MaxCardPairs), "a"},
        {"[General]\r\nCount=-5\r\n[Entry1]\r\nText1=a\r\n", 0, ""},
        {"[General]\r\nCount=abc\r\n[Entry1]\r\nText1=a\r\n", 0, ""},
        {"[General]\r\nCount=\r\n[Entry1]\r\nText1=a\r\n", 0, ""},
        {"[General]\r\nCount=-2147483648\r\n", 0, ""},
        {std::string("\0\xff[Gen\r\n==\r\n[General\r\n", 21), 0, ""},
        // Names compare without regard to case, blanks around names and values are dropped, and
        // only the counted sections are read.
        {"[general]\r\ncount = 1\r\n[ENTRY1]\r\nTEXT1 =  first  \r\n[Entry2]\r\nText1=second\r\n", 1, "first"},
    };
    for (const auto& file : files) {
        WriteBytes(GetCardSetPath("damaged"), file.File);
        CardSet loaded = Load("damaged");
        ASSERT_EQ(file.Pairs, loaded.size()) << file.File;
        EXPECT_EQ(file.First, loaded.empty() ? "" : loaded.front().Text1);
        EXPECT_TRUE(loaded.size() < 2 || Dump({loaded.back()}) == Dump(CardSet(1))) << file.File;
    }
    // The next save drops what was not read.
    ASSERT_TRUE(SaveCardSet("damaged", Load("damaged")));
    EXPECT_EQ(std::string::npos, ReadBytes(GetCardSetPath("damaged")).find("Entry2"));
}

// Every value the platform's profile functions can carry reads back the same through the
// program's reader and writer, in both directions.
TEST_F(CardSetFile, FilesOfEitherSideReadBackIdenticallyThroughTheOther)
{
    const std::vector<std::string> values = {"",
                                             "plain",
                                             "with = equals",
                                             ";looks like a comment",
                                             "[looks like a section]",
                                             "\"quoted\"",
                                             "'single'",
                                             "\"",
                                             "\"\"",
                                             "'unbalanced\"",
                                             "  blanks around  ",
                                             "\tTab\t",
                                             "caf\xe9 \xe0 la cr\xe8me",
                                             "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 \\b bold\\b0\\par}",
                                             std::string(16000, 'w')};
    CardSet set(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        set[i].PictureFileName1 = values[i];
    std::string platformPath = GetCardSetPath("by-platform"), programPath = GetCardSetPath("by-program");
    SaveWithPlatform(platformPath, set);
    ASSERT_TRUE(SaveCardSet("by-program", set));
    CardSet ours = Load("by-platform");
    ASSERT_EQ(values.size(), ours.size());
    for (size_t i = 0; i < values.size(); ++i) {
        // Written by the platform, read by the program: the same as the platform reads.
        EXPECT_EQ(ReadWithPlatform(platformPath, i + 1, "PictureFileName1"), ours[i].PictureFileName1) << i;
        // Written by the program, read by the platform: exactly what was saved.
        EXPECT_EQ(values[i], ReadWithPlatform(programPath, i + 1, "PictureFileName1")) << i;
    }
    EXPECT_EQ(Dump(set), Dump(Load("by-program")));
}

// A save goes through a temporary file: a failed one leaves the previous file as it was and no
// temporary file behind, and a read-only file is not replaced.
TEST_F(CardSetFile, FailedSaveLeavesThePreviousFileAndNoTemporaryFile)
{
    ASSERT_TRUE(SaveCardSet("kept", {FullPair(1)}));
    std::string path = GetCardSetPath("kept"), before = ReadBytes(path);
    int files = CountFilesIn(GetCardSetFolder());
    CardSet changed = {FullPair(2), FullPair(3)};
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(SaveCardSet("kept", changed));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_EQ(files, CountFilesIn(GetCardSetFolder()));
    EXPECT_FALSE(SaveCardSet("no\\such\\folder", changed));
    EXPECT_TRUE(SaveCardSet("kept", changed));
    EXPECT_EQ(Dump(changed), Dump(Load("kept")));
}

TEST(CardSetFileNames, ExpandFileNameReplacesKnownReferencesOnly)
{
    char windows[MAX_PATH];
    GetEnvironmentVariableA("WINDIR", windows, sizeof windows);
    SetEnvironmentVariableA("MNEMORA_LONG", std::string(3000, 'L').c_str()); // beyond the usual buffer
    const std::pair<std::string, std::string> names[] = {
        {"%WINDIR%\\media\\ding.wav", std::string(windows) + "\\media\\ding.wav"},
        {"C:\\pictures\\cat.png", "C:\\pictures\\cat.png"},
        {"%NO_SUCH_VARIABLE_HERE%\\x.png", "%NO_SUCH_VARIABLE_HERE%\\x.png"},
        {"%MNEMORA_LONG%\\y", std::string(3000, 'L') + "\\y"},
    };
    for (const auto& name : names) {
        std::string expanded = name.first;
        ExpandFileName(expanded);
        EXPECT_EQ(name.second, expanded);
    }
}
