// Reading and writing the profile-file layout of card set files.
//
// The platform's profile functions cut long values (at 16383 characters, or to a length modulo
// 65536), so card sets use this reader and writer of the same layout instead: "[Section]" lines
// followed by "Key=value" lines, CR LF line ends. Reading follows the platform's rules: section
// and key names compare without regard to case, the first section and key of a name count,
// blanks around names and values are dropped, and one pair of matching quotation marks around
// a value is removed (values in ProfileFile are as read). Writing quotes a value that would
// otherwise not read back as written.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct ProfileKey {
    std::string Name;
    std::string Value;
};

struct ProfileSection {
    std::string Name;
    std::vector<ProfileKey> Keys;
};

struct ProfileFile {
    std::vector<ProfileSection> Sections;
    // Lower-cased section name -> index of the first section of that name.
    std::map<std::string, size_t> FirstSection;
};

// Parses the text of a profile file.
ProfileFile ParseProfile(const std::string& text);

// The text of a file's bytes in the ANSI code page: a UTF-8 byte-order mark is skipped (and valid
// UTF-8 after it converted), UTF-16 with a byte-order mark (either byte order) converted.
std::string DecodeProfileBytes(const std::string& bytes);

// Reads a whole file into bytes. 0 on success, else the platform's error code
// (ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND for a missing file).
DWORD ReadWholeFile(const std::string& path, std::string& bytes);

// 0 when path names a file that can be read or nothing at all (ERROR_FILE_NOT_FOUND), else the
// error code that reading it gives.
DWORD ProbeFile(const std::string& path);

// Writes text to path through a temporary file beside it that replaces the old file only once
// everything is written and flushed. 0 on success; otherwise the error code, and the old file is
// untouched. A read-only file, and a file that exists but cannot be read, are never replaced.
DWORD WriteFileSafely(const std::string& path, const std::string& text);

// The value of key in section, or null when either is missing.
const std::string* FindProfileValue(const ProfileFile& file, const std::string& section, const std::string& key);

// Appends "[name]" and its keys to text, in the platform's layout.
void AppendProfileSection(std::string& text, const std::string& name);
void AppendProfileKey(std::string& text, const std::string& key, const std::string& value);
