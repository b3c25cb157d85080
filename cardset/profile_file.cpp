// Reader and writer of the profile-file layout (see profile_file.h).
#include "cardset/profile_file.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// The characters the platform's profile reader takes for blanks around names and values.
bool IsProfileBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1a;
}

std::string Trim(const char* begin, const char* end)
{
    while (begin < end && IsProfileBlank(*begin))
        ++begin;
    while (end > begin && IsProfileBlank(end[-1]))
        --end;
    return std::string(begin, end);
}

// Removes one pair of matching quotation marks around a value, as the platform's reader does.
std::string StripQuotes(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

// Names are compared without regard to case (section and key names are plain ASCII words).
std::string LowerCase(std::string name)
{
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z'))
            return false;
    }
    return true;
}

// True when a value written as it is would not read back unchanged.
bool NeedsQuotes(const std::string& value)
{
    if (value.empty())
        return false;
    if (IsProfileBlank(value.front()) || IsProfileBlank(value.back()))
        return true;
    return value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
}

} // namespace

ProfileFile ParseProfile(const std::string& text)
{
    ProfileFile file;
    const char* p = text.data();
    const char* end = p + text.size();
    ProfileSection* current = nullptr;
    while (p < end) {
        const char* lineStart = p;
        while (p < end && *p != '\r' && *p != '\n')
            ++p;
        const char* lineEnd = p;
        while (p < end && (*p == '\r' || *p == '\n'))
            ++p;
        while (lineStart < lineEnd && IsProfileBlank(*lineStart))
            ++lineStart;
        while (lineEnd > lineStart && IsProfileBlank(lineEnd[-1]))
            --lineEnd;
        if (lineStart == lineEnd)
            continue;
        if (*lineStart == '[') {
            const char* close = lineEnd - 1;
            while (close > lineStart && *close != ']')
                --close;
            if (close > lineStart) {
                file.Sections.push_back(ProfileSection{std::string(lineStart + 1, close), {}});
                file.FirstSection.emplace(LowerCase(file.Sections.back().Name), file.Sections.size() - 1);
                current = &file.Sections.back();
                continue;
            }
        }
        if (!current) {
            // Keys before the first section belong to a section without a name.
            file.Sections.push_back(ProfileSection{});
            file.FirstSection.emplace(std::string(), file.Sections.size() - 1);
            current = &file.Sections.back();
        }
        const char* equals = static_cast<const char*>(std::memchr(lineStart, '=', lineEnd - lineStart));
        ProfileKey key;
        if (equals) {
            key.Name = Trim(lineStart, equals);
            key.Value = StripQuotes(Trim(equals + 1, lineEnd));
        } else {
            key.Name = Trim(lineStart, lineEnd);
        }
        current->Keys.push_back(std::move(key));
    }
    return file;
}

const std::string* FindProfileValue(const ProfileFile& file, const std::string& section, const std::string& key)
{
    // Only the first section of a name counts, as with the platform's reader.
    auto found = file.FirstSection.find(LowerCase(section));
    if (found == file.FirstSection.end())
        return nullptr;
    for (const ProfileKey& k : file.Sections[found->second].Keys) {
        if (SameName(k.Name, key))
            return &k.Value;
    }
    return nullptr;
}

void AppendProfileSection(std::string& text, const std::string& name)
{
    text += '[';
    text += name;
    text += "]\r\n";
}

void AppendProfileKey(std::string& text, const std::string& key, const std::string& value)
{
    text += key;
    text += '=';
    if (NeedsQuotes(value)) {
        text += '"';
        text += value;
        text += '"';
    } else {
        text += value;
    }
    text += "\r\n";
}

std::string DecodeProfileBytes(const std::string& bytes)
{
    auto starts = [&](const char* mark, size_t n) { return bytes.size() >= n && bytes.compare(0, n, mark, n) == 0; };
    std::wstring wide;
    if (starts("\xEF\xBB\xBF", 3)) {
        int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data() + 3, static_cast<int>(bytes.size() - 3),
                                    nullptr, 0);
        if (n <= 0)
            return bytes.substr(3); // not UTF-8 after all: the bytes as they are
        wide.resize(n);
        MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size() - 3), &wide[0], n);
    } else if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
        bool bigEndian = bytes[0] == '\xFE';
        wide.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned char a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
            wide += static_cast<wchar_t>(bigEndian ? a << 8 | b : b << 8 | a);
        }
    } else {
        return bytes;
    }
    if (wide.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n, nullptr, nullptr);
    return text;
}

DWORD ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = 0;
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            error = GetLastError();
            break;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    if (error != 0)
        bytes.clear();
    return error;
}

DWORD ProbeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_PATH_NOT_FOUND ? ERROR_FILE_NOT_FOUND : error;
    }
    CloseHandle(file);
    return 0;
}

DWORD WriteFileSafely(const std::string& path, const std::string& text)
{
    // A file the user made read-only is not replaced (some platforms' rename would do it), nor
    // one that could not be read: what it holds is unknown, so it may hold the only copy.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return ERROR_ACCESS_DENIED;
    DWORD probe = ProbeFile(path);
    if (probe != 0 && probe != ERROR_FILE_NOT_FOUND)
        return probe;
    std::string folder = path;
    size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    char temp[MAX_PATH * 4] = "";
    if (folder.size() + 14 >= sizeof temp)
        return ERROR_FILENAME_EXCED_RANGE;
    if (!GetTempFileNameA(folder.c_str(), "mnc", 0, temp))
        return GetLastError();
    DWORD error = 0;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
    } else {
        size_t done = 0;
        while (error == 0 && done < text.size()) {
            DWORD part = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1 << 20));
            DWORD written = 0;
            if (!WriteFile(file, text.data() + done, part, &written, nullptr) || written != part)
                error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
            done += written;
        }
        if (!FlushFileBuffers(file) && error == 0)
            error = GetLastError();
        if (!CloseHandle(file) && error == 0)
            error = GetLastError();
    }
    if (error == 0 && !MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    if (error != 0)
        DeleteFileA(temp);
    return error;
}
