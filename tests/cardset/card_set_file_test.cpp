// Card set files: layout, escapes, limits, damaged files and safe saving.
#include "cardset/card_set.h"
#include "cardset/card_set_folder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class CardSetFile : public testing::Test {
  protected:
    void SetUp() override { ResetUserData(); }
    void TearDown() override { ResetUserData(); }
};

CardPair FullPair(int n)
{
    std::string k = std::to_string(n);
    return CardPair{"text one " + k,
                    "text two " + k,
                    "C:\\p1_" + k + ".png",
                    "C:\\p2_" + k + ".jpg",
                    "C:\\s1_" + k + ".wav",
                    "",
                    "%TEMP%\\v1_" + k + ".mpg",
                    "v2_" + k + ".wmv"};
}

bool SamePairs(const CardSet& a, const CardSet& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const CardPair& x = a[i];
        const CardPair& y = b[i];
        if (x.Text1 != y.Text1 || x.Text2 != y.Text2 || x.PictureFileName1 != y.PictureFileName1 ||
            x.PictureFileName2 != y.PictureFileName2 || x.SoundFileName1 != y.SoundFileName1 ||
            x.SoundFileName2 != y.SoundFileName2 || x.VideoFileName1 != y.VideoFileName1 ||
            x.VideoFileName2 != y.VideoFileName2)
            return false;
    }
    return true;
}

// Writes a card set the way the platform's profile functions do, into path.
void SaveWithPlatform(const std::string& path, const CardSet& set)
{
    DeleteFileA(path.c_str());
    const char* file = path.c_str();
    WritePrivateProfileStringA("General", "Count", std::to_string(set.size()).c_str(), file);
    for (size_t i = 0; i < set.size(); ++i) {
        std::string section = "Entry" + std::to_string(i + 1);
        const CardPair& p = set[i];
        const char* s = section.c_str();
        WritePrivateProfileStringA(s, "Text1", EscapeLineBreaks(p.Text1).c_str(), file);
        WritePrivateProfileStringA(s, "Text2", EscapeLineBreaks(p.Text2).c_str(), file);
        WritePrivateProfileStringA(s, "PictureFileName1", p.PictureFileName1.c_str(), file);
        WritePrivateProfileStringA(s, "PictureFileName2", p.PictureFileName2.c_str(), file);
        WritePrivateProfileStringA(s, "SoundFileName1", p.SoundFileName1.c_str(), file);
        WritePrivateProfileStringA(s, "SoundFileName2", p.SoundFileName2.c_str(), file);
        WritePrivateProfileStringA(s, "VideoFileName1", p.VideoFileName1.c_str(), file);
        WritePrivateProfileStringA(s, "VideoFileName2", p.VideoFileName2.c_str(), file);
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file); // flush the platform's cache
}

std::string ReadWithPlatform(const std::string& path, const char* section, const char* key)
{
    std::string buffer(20000, '\0');
    DWORD n = GetPrivateProfileStringA(section, key, "", &buffer[0], static_cast<DWORD>(buffer.size()), path.c_str());
    buffer.resize(n);
    return buffer;
}

int CountFilesIn(const std::string& folder)
{
    int n = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        n += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return n;
}

} // namespace

TEST_F(CardSetFile, EmptySetWritesOnlyTheCount)
{
    ASSERT_TRUE(SaveCardSet("empty", CardSet()));
    EXPECT_EQ("[General]\r\nCount=0\r\n", ReadBytes(GetCardSetPath("empty")));
    CardSet loaded;
    LoadCardSet("empty", loaded);
    EXPECT_TRUE(loaded.empty());
}

TEST_F(CardSetFile, LayoutIsByteForByteWhatThePlatformWrites)
{
    CardSet set = {FullPair(1), CardPair{}, FullPair(3)};
    set[2].Text1 = "a\r\nb";
    ASSERT_TRUE(SaveCardSet("ours", set));
    std::string platformPath = GetCardSetPath("platform");
    SaveWithPlatform(platformPath, set);
    EXPECT_EQ(ReadBytes(platformPath), ReadBytes(GetCardSetPath("ours")));
    EXPECT_NE(std::string::npos, ReadBytes(platformPath).find("[Entry2]\r\nText1=\r\nText2=\r\nPictureFileName1=\r\n"));
}

TEST_F(CardSetFile, RoundTripsEveryField)
{
    CardSet set;
    for (int i = 1; i <= 10; ++i)
        set.push_back(FullPair(i));
    ASSERT_TRUE(SaveCardSet("ten", set));
    CardSet loaded;
    LoadCardSet("ten", loaded);
    EXPECT_TRUE(SamePairs(set, loaded));
    EXPECT_EQ("text one 10", ReadWithPlatform(GetCardSetPath("ten"), "Entry10", "Text1"));
    // Loading appends to what the caller passes.
    LoadCardSet("ten", loaded);
    EXPECT_EQ(20u, loaded.size());
}

TEST_F(CardSetFile, LineBreaksAreStoredAsEscapeWordsOnOneLine)
{
    CardSet set(1);
    set[0].Text1 = "a\r\nb";
    set[0].Text2 = "x#SPECIALN^y";
    ASSERT_TRUE(SaveCardSet("breaks", set));
    std::string bytes = ReadBytes(GetCardSetPath("breaks"));
    EXPECT_NE(std::string::npos, bytes.find("Text1=a#SPECIALR^#SPECIALN^b\r\n"));
    CardSet loaded;
    LoadCardSet("breaks", loaded);
    ASSERT_EQ(1u, loaded.size());
    EXPECT_EQ("a\r\nb", loaded[0].Text1);
    EXPECT_EQ("x\ny", loaded[0].Text2); // the escape words have no escape of their own
    EXPECT_EQ("#SPECIALR^#SPECIALN^", EscapeLineBreaks("\r\n"));
    EXPECT_EQ("aXXb", ReplaceAll("aXb", "X", "XX"));
}

TEST_F(CardSetFile, LongValuesRoundTripWhole)
{
    CardSet set(2);
    std::string text;
    while (text.size() < 1000000)
        text += "{\\rtf1 lorem ipsum \\b dolor\\b0 sit amet}\r\n";
    set[0].Text1 = text;
    set[0].PictureFileName1 = "C:\\" + std::string(300, 'p') + ".png";
    for (int i = 0; i < 2000; ++i)
        set[1].Text2 += "x\r\n";
    ASSERT_TRUE(SaveCardSet("long", set));
    CardSet loaded;
    LoadCardSet("long", loaded);
    EXPECT_TRUE(SamePairs(set, loaded));
}

TEST_F(CardSetFile, DamagedCountsAreBounded)
{
    std::string path = GetCardSetPath("damaged");
    WriteBytes(path, "[General]\r\nCount=3\r\n[Entry1]\r\nText1=only\r\n");
    CardSet three;
    LoadCardSet("damaged", three);
    ASSERT_EQ(3u, three.size());
    EXPECT_EQ("only", three[0].Text1);
    EXPECT_TRUE(SamePairs(CardSet(2), CardSet(three.begin() + 1, three.end())));

    WriteBytes(path, "[General]\r\nCount=2147483647\r\n[Entry1]\r\nText1=a\r\n");
    CardSet huge;
    LoadCardSet("damaged", huge);
    EXPECT_EQ(static_cast<size_t>(MaxCardPairs), huge.size());

    for (const char* count : {"-5", "abc", "", "-2147483648"}) {
        WriteBytes(path, std::string("[General]\r\nCount=") + count + "\r\n[Entry1]\r\nText1=a\r\n");
        CardSet none;
        LoadCardSet("damaged", none);
        EXPECT_TRUE(none.empty()) << count;
    }
    WriteBytes(path, std::string("\0\xff[Gen\r\n==\r\n[General\r\n", 21));
    CardSet garbage;
    LoadCardSet("damaged", garbage);
    EXPECT_TRUE(garbage.empty());
}

TEST_F(CardSetFile, ExtraSectionsAreIgnoredAndDroppedByTheNextSave)
{
    WriteBytes(GetCardSetPath("extra"),
               "[general]\r\ncount = 1\r\n[ENTRY1]\r\nTEXT1 =  first  \r\n[Entry2]\r\nText1=second\r\n");
    CardSet loaded;
    LoadCardSet("extra", loaded);
    ASSERT_EQ(1u, loaded.size());
    EXPECT_EQ("first", loaded[0].Text1);
    ASSERT_TRUE(SaveCardSet("extra", loaded));
    EXPECT_EQ(std::string::npos, ReadBytes(GetCardSetPath("extra")).find("Entry2"));
}

// Every value the platform's profile functions can carry reads back the same through the
// program's reader and writer, in both directions.
TEST_F(CardSetFile, FilesOfEitherSideReadBackIdenticallyThroughTheOther)
{
    const std::vector<std::string> values = {
        "",
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
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 \\b bold\\b0 and \\i italic\\i0\\par}",
        std::string(16000, 'w'),
    };
    CardSet set;
    for (const std::string& v : values) {
        CardPair p;
        p.Text1 = v;
        p.PictureFileName2 = v;
        set.push_back(p);
    }
    // Written by the platform, read by the program: the same as the platform reads.
    std::string platformPath = GetCardSetPath("by-platform");
    SaveWithPlatform(platformPath, set);
    CardSet ours;
    LoadCardSet("by-platform", ours);
    ASSERT_EQ(values.size(), ours.size());
    for (size_t i = 0; i < values.size(); ++i) {
        std::string section = "Entry" + std::to_string(i + 1);
        EXPECT_EQ(UnescapeLineBreaks(ReadWithPlatform(platformPath, section.c_str(), "Text1")), ours[i].Text1) << i;
        EXPECT_EQ(ReadWithPlatform(platformPath, section.c_str(), "PictureFileName2"), ours[i].PictureFileName2) << i;
    }
    // Written by the program, read by the platform: exactly what was saved.
    ASSERT_TRUE(SaveCardSet("by-program", set));
    std::string ourPath = GetCardSetPath("by-program");
    for (size_t i = 0; i < values.size(); ++i) {
        std::string section = "Entry" + std::to_string(i + 1);
        EXPECT_EQ(values[i], ReadWithPlatform(ourPath, section.c_str(), "Text1")) << i;
        EXPECT_EQ(values[i], ReadWithPlatform(ourPath, section.c_str(), "PictureFileName2")) << i;
    }
    CardSet back;
    LoadCardSet("by-program", back);
    EXPECT_TRUE(SamePairs(set, back));
}

TEST_F(CardSetFile, FailedSaveLeavesThePreviousFileAndNoTemporaryFile)
{
    CardSet original = {FullPair(1)};
    ASSERT_TRUE(SaveCardSet("kept", original));
    std::string path = GetCardSetPath("kept");
    std::string before = ReadBytes(path);
    int filesBefore = CountFilesIn(GetCardSetFolder());
    CardSet changed = {FullPair(2), FullPair(3)};

    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(SaveCardSet("kept", changed));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_EQ(filesBefore, CountFilesIn(GetCardSetFolder()));

    EXPECT_FALSE(SaveCardSet("no\\such\\folder", changed));
    EXPECT_TRUE(SaveCardSet("kept", changed));
    CardSet loaded;
    LoadCardSet("kept", loaded);
    EXPECT_TRUE(SamePairs(changed, loaded));
}

TEST_F(CardSetFile, MissingFileLoadsNoPairs)
{
    CardSet loaded;
    LoadCardSet("does not exist", loaded);
    EXPECT_TRUE(loaded.empty());
}

TEST_F(CardSetFile, ExpandFileNameReplacesKnownReferencesOnly)
{
    char windows[MAX_PATH];
    GetEnvironmentVariableA("WINDIR", windows, sizeof windows);
    std::string name = "%WINDIR%\\media\\ding.wav";
    ExpandFileName(name);
    EXPECT_EQ(std::string(windows) + "\\media\\ding.wav", name);
    std::string plain = "C:\\pictures\\cat.png";
    ExpandFileName(plain);
    EXPECT_EQ("C:\\pictures\\cat.png", plain);
    std::string unknown = "%NO_SUCH_VARIABLE_HERE%\\x.png";
    ExpandFileName(unknown);
    EXPECT_EQ("%NO_SUCH_VARIABLE_HERE%\\x.png", unknown);
    SetEnvironmentVariableA("MNEMORA_LONG", std::string(3000, 'L').c_str());
    std::string longName = "%MNEMORA_LONG%\\y";
    ExpandFileName(longName);
    EXPECT_EQ(std::string(3000, 'L') + "\\y", longName);
}
