// Zip archives, the container of shared card sets: written with deflate, read when stored or
// deflated. Reading checks the whole directory against the limits below before anything is
// unpacked, and every unpacked entry against its size and checksum.
#pragma once

#include <string>
#include <vector>

// The most a card set package may hold.
const size_t MaxZipEntries = 10000;
const unsigned long long MaxZipEntrySize = 1ull << 30; // 1 GiB unpacked
const unsigned long long MaxZipTotalSize = 4ull << 30; // 4 GiB unpacked, all entries together

// One file of an archive as its central directory names it. Names use "/" between folders and
// are in the ANSI code page (names stored as UTF-8 are converted).
struct ZipEntry {
    std::string Name;
    unsigned Method = 0; // 0 stored, 8 deflated
    unsigned long Crc = 0;
    unsigned long long PackedSize = 0;
    unsigned long long Size = 0;
    unsigned long long DataOffset = 0;
};

// What goes into an archive: a file's contents (FilePath) or bytes in memory (Data).
struct ZipSource {
    std::string Name;
    std::string FilePath;
    std::string Data;
};

// Reads the directory of the archive at path. False, with a reason in error, for a file that is
// not a zip archive, is damaged, encrypted, uses another compression or exceeds the limits.
bool ReadZipDirectory(const std::string& path, std::vector<ZipEntry>& entries, std::string& error);

// Unpacks one entry into a new file at target (an existing file is never replaced). False, with
// the new file removed, when the data is damaged or does not match its size or checksum.
bool ExtractZipEntry(const std::string& path, const ZipEntry& entry, const std::string& target, std::string& error);

// Writes an archive of the sources (deflated) to path through a temporary file beside it, which
// replaces path only when everything is written. False, with a reason, on any failure.
bool WriteZipArchive(const std::string& path, const std::vector<ZipSource>& sources, std::string& error);
