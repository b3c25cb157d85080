// Zip archives: what is written reads back byte for byte, and damaged or hostile archives are
// refused before anything is unpacked (or, for damage inside the data, with nothing left behind).
#include "support/test_support.h"
#include "zip/zip_archive.h"

namespace {

std::string RandomBytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
    return bytes;
}

void PutU32(std::string& bytes, size_t at, unsigned long value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

size_t CentralHeader(const std::string& bytes, int n)
{
    size_t at = bytes.find("PK\x01\x02");
    for (; n > 0; --n)
        at = bytes.find("PK\x01\x02", at + 4);
    return at;
}

} // namespace

// Memory and file sources, empty and incompressible ones and a non-ASCII name come back whole (the
// acceptance script has the packages it exports checked by the archive tools). Then each row damages
// that archive in one way: the directory is refused with its reason, or the first entry does not
// unpack and leaves no file.
TEST(ZipArchive, WhatIsWrittenReadsBackAndDamagedArchivesAreRefusedWithTheirReason)
{
    std::string folder = MakeScratchFolder("zip"), good = folder + "\\good.zip", error;
    std::string big = RandomBytes(300000, 7) + std::string(200000, 'a');
    WriteBytes(folder + "\\big.bin", big);
    WriteBytes(folder + "\\empty.bin", "");
    std::vector<ZipSource> sources = {{"Set/f0", "", RandomBytes(1000, 0)},
                                      {"Set/big.bin", folder + "\\big.bin", ""},
                                      {"Set/empty.bin", folder + "\\empty.bin", ""},
                                      {"Set/caf\xe9.txt", "", "caf\xe9"},
                                      {"Set.mnc", "", "[General]\r\nCount=0\r\n"}};
    ASSERT_TRUE(WriteZipArchive(good, sources, error)) << error;
    std::vector<ZipEntry> entries;
    ASSERT_TRUE(ReadZipDirectory(good, entries, error)) << error;
    ASSERT_EQ(sources.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string target = folder + "\\out" + std::to_string(i);
        ASSERT_TRUE(ExtractZipEntry(good, entries[i], target, error)) << error;
        EXPECT_EQ(sources[i].Name, entries[i].Name);
        EXPECT_EQ(sources[i].FilePath.empty() ? sources[i].Data : ReadBytes(sources[i].FilePath), ReadBytes(target));
    }
    EXPECT_LT(ReadBytes(good).size(), big.size()); // deflated
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((good + ".partial").c_str()));
    const std::string bytes = ReadBytes(good);
    size_t end = bytes.rfind("PK\x05\x06");
    struct Row {
        const char* What;
        std::function<void(std::string&)> Damage;
        const char* Directory; // the reason the directory is refused, or "" when only unpacking fails
    };
    const Row rows[] = {
        {"not an archive", [](std::string& b) { b = "just text"; }, "is not a card set package or is damaged"},
        {"cut short", [](std::string& b) { b.resize(b.size() / 2); }, "is not a card set package or is damaged"},
        {"encrypted", [](std::string& b) { b[CentralHeader(b, 1) + 8] |= 1; }, "is encrypted"},
        {"other compression", [](std::string& b) { b[CentralHeader(b, 2) + 10] = 12; }, "cannot be read"},
        {"entry over 1 GB", [](std::string& b) { PutU32(b, CentralHeader(b, 0) + 24, 0x40000001); },
         "larger than 1 GB"},
        {"over 4 GB in all",
         [](std::string& b) {
             for (int i = 0; i < 5; ++i)
                 PutU32(b, CentralHeader(b, i) + 24, 0x40000000);
         },
         "more than 4 GB"},
        {"over 10000 entries", [end](std::string& b) { b[end + 10] = 0x11, b[end + 11] = 0x27; }, "more than 10000"},
        {"header offset outside", [](std::string& b) { PutU32(b, CentralHeader(b, 3) + 42, 0x7FFFFFF0); }, "damaged"},
        {"checksum mismatch", [](std::string& b) { b[CentralHeader(b, 0) + 16] ^= 0x55; }, ""},
        {"bomb: more data than claimed", [](std::string& b) { PutU32(b, CentralHeader(b, 0) + 24, 10); }, ""},
        {"damaged data", [](std::string& b) { b[40] ^= 0x7F, b[41] ^= 0x7F, b[60] ^= 0x7F; }, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.What);
        std::string damaged = bytes, path = folder + "\\damaged.zip";
        row.Damage(damaged);
        WriteBytes(path, damaged);
        entries.clear();
        error.clear();
        bool read = ReadZipDirectory(path, entries, error);
        if (*row.Directory) {
            EXPECT_FALSE(read);
            EXPECT_NE(std::string::npos, error.find(row.Directory)) << error;
            EXPECT_TRUE(entries.empty());
            continue;
        }
        ASSERT_TRUE(read) << error;
        std::string target = folder + "\\unpacked";
        EXPECT_FALSE(ExtractZipEntry(path, entries[0], target, error));
        EXPECT_EQ("The entry Set/f0 is damaged.", error);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(target.c_str()));
    }
}
