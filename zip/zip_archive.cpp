// Zip archives: the central directory, local headers and entry data of the common zip layout,
// without the 64-bit extension (the limits keep every size and offset below 4 GiB), compressed
// with zlib's raw deflate.
#include "zip/zip_archive.h"

#include <windows.h>

#include <zlib.h>

#include <algorithm>

namespace {

const DWORD LocalHeaderSignature = 0x04034b50;
const DWORD CentralHeaderSignature = 0x02014b50;
const DWORD EndOfDirectorySignature = 0x06054b50;
const size_t LocalHeaderSize = 30, CentralHeaderSize = 46, EndOfDirectorySize = 22;
const unsigned EncryptedFlag = 0x0001, StrongEncryptionFlag = 0x0040, Utf8NameFlag = 0x0800;
const DWORD ChunkSize = 64 * 1024;

unsigned ReadU16(const unsigned char* p)
{
    return p[0] | (p[1] << 8);
}

unsigned long ReadU32(const unsigned char* p)
{
    return static_cast<unsigned long>(p[0]) | (static_cast<unsigned long>(p[1]) << 8) |
           (static_cast<unsigned long>(p[2]) << 16) | (static_cast<unsigned long>(p[3]) << 24);
}

void PutU16(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& out, unsigned long value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, (value >> 16) & 0xFFFF);
}

// Reads exactly size bytes at offset.
bool ReadAt(HANDLE file, unsigned long long offset, void* buffer, DWORD size)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ReadFile(file, buffer, size, &read, nullptr) &&
           read == size;
}

bool WriteAll(HANDLE file, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = size > ChunkSize ? ChunkSize : static_cast<DWORD>(size), written = 0;
        if (!WriteFile(file, p, chunk, &written, nullptr) || written != chunk)
            return false;
        p += chunk;
        size -= chunk;
    }
    return true;
}

std::string ConvertName(const std::string& name, UINT from, UINT to)
{
    int wideLength = MultiByteToWideChar(from, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, name.data(), static_cast<int>(name.size()), &wide[0], wideLength);
    int length = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, &converted[0], length, nullptr, nullptr);
    return converted;
}

bool IsAscii(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Finds the end-of-directory record in the last 64 KiB of the file.
bool FindEndOfDirectory(HANDLE file, unsigned long long fileSize, unsigned char record[EndOfDirectorySize],
                        unsigned long long& recordOffset)
{
    if (fileSize < EndOfDirectorySize)
        return false;
    unsigned long long tailSize = fileSize < 0xFFFF + EndOfDirectorySize ? fileSize : 0xFFFF + EndOfDirectorySize;
    std::string tail(static_cast<size_t>(tailSize), '\0');
    if (!ReadAt(file, fileSize - tailSize, &tail[0], static_cast<DWORD>(tailSize)))
        return false;
    for (size_t i = tail.size() - EndOfDirectorySize + 1; i-- > 0;) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(tail.data()) + i;
        if (ReadU32(p) == EndOfDirectorySignature && i + EndOfDirectorySize + ReadU16(p + 20) == tail.size()) {
            std::copy(p, p + EndOfDirectorySize, record);
            recordOffset = fileSize - tailSize + i;
            return true;
        }
    }
    return false;
}

// Checks one central directory header and fills entry from it; the local header is checked too.
bool ReadEntry(HANDLE file, const unsigned char* h, unsigned long long directoryOffset, ZipEntry& entry,
               std::string& error)
{
    unsigned flags = ReadU16(h + 8);
    entry.Method = ReadU16(h + 10);
    entry.Crc = ReadU32(h + 16);
    entry.PackedSize = ReadU32(h + 20);
    entry.Size = ReadU32(h + 24);
    unsigned long long headerOffset = ReadU32(h + 42);
    if (flags & (EncryptedFlag | StrongEncryptionFlag)) {
        error = "The entry " + entry.Name + " is encrypted.";
        return false;
    }
    if (entry.Method != 0 && entry.Method != 8) {
        error = "The entry " + entry.Name + " is compressed in a way that cannot be read.";
        return false;
    }
    if (entry.PackedSize == 0xFFFFFFFF || entry.Size == 0xFFFFFFFF || headerOffset == 0xFFFFFFFF ||
        entry.Size > MaxZipEntrySize) {
        error = "The entry " + entry.Name + " is larger than 1 GB.";
        return false;
    }
    if (entry.Method == 0 && entry.PackedSize != entry.Size) {
        error = "The entry " + entry.Name + " is damaged.";
        return false;
    }
    unsigned char local[LocalHeaderSize];
    if (headerOffset + LocalHeaderSize > directoryOffset || !ReadAt(file, headerOffset, local, LocalHeaderSize) ||
        ReadU32(local) != LocalHeaderSignature) {
        error = "The entry " + entry.Name + " is damaged.";
        return false;
    }
    entry.DataOffset = headerOffset + LocalHeaderSize + ReadU16(local + 26) + ReadU16(local + 28);
    if (entry.DataOffset + entry.PackedSize > directoryOffset) {
        error = "The entry " + entry.Name + " is damaged.";
        return false;
    }
    return true;
}

} // namespace

bool ReadZipDirectory(const std::string& path, std::vector<ZipEntry>& entries, std::string& error)
{
    entries.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "The file " + path + " cannot be opened, error code " + std::to_string(GetLastError()) + ".";
        return false;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    unsigned char end[EndOfDirectorySize];
    unsigned long long endOffset = 0;
    bool ok = FindEndOfDirectory(file, static_cast<unsigned long long>(size.QuadPart), end, endOffset);
    unsigned long long count = ok ? ReadU16(end + 10) : 0;
    unsigned long long directorySize = ok ? ReadU32(end + 12) : 0, directoryOffset = ok ? ReadU32(end + 16) : 0;
    if (!ok || ReadU16(end + 4) != 0 || directoryOffset + directorySize > endOffset) {
        CloseHandle(file);
        error = "The file " + path + " is not a card set package or is damaged.";
        return false;
    }
    if (count > MaxZipEntries) {
        CloseHandle(file);
        error = "The package holds more than " + std::to_string(MaxZipEntries) + " files.";
        return false;
    }
    std::string directory(static_cast<size_t>(directorySize), '\0');
    ok = directorySize == 0 || ReadAt(file, directoryOffset, &directory[0], static_cast<DWORD>(directorySize));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(directory.data());
    size_t at = 0;
    unsigned long long total = 0;
    for (unsigned long long i = 0; ok && i < count; ++i) {
        if (at + CentralHeaderSize > directory.size() || ReadU32(p + at) != CentralHeaderSignature) {
            ok = false;
            break;
        }
        size_t nameLength = ReadU16(p + at + 28), rest = nameLength + ReadU16(p + at + 30) + ReadU16(p + at + 32);
        if (at + CentralHeaderSize + rest > directory.size()) {
            ok = false;
            break;
        }
        ZipEntry entry;
        entry.Name.assign(directory, at + CentralHeaderSize, nameLength);
        if (ReadU16(p + at + 8) & Utf8NameFlag)
            entry.Name = ConvertName(entry.Name, CP_UTF8, CP_ACP);
        if (!ReadEntry(file, p + at, directoryOffset, entry, error)) {
            CloseHandle(file);
            entries.clear();
            return false;
        }
        total += entry.Size;
        if (total > MaxZipTotalSize) {
            CloseHandle(file);
            entries.clear();
            error = "The package unpacks to more than 4 GB.";
            return false;
        }
        entries.push_back(entry);
        at += CentralHeaderSize + rest;
    }
    CloseHandle(file);
    if (!ok) {
        entries.clear();
        error = "The file " + path + " is not a card set package or is damaged.";
    }
    return ok;
}

bool ExtractZipEntry(const std::string& path, const ZipEntry& entry, const std::string& target, std::string& error)
{
    error = "The entry " + entry.Name + " is damaged.";
    HANDLE in = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) {
        error = "The file " + path + " cannot be opened, error code " + std::to_string(GetLastError()) + ".";
        return false;
    }
    HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        error = "The file " + target + " cannot be written, error code " + std::to_string(GetLastError()) + ".";
        CloseHandle(in);
        return false;
    }
    z_stream z = {};
    bool ok = entry.Method == 0 || inflateInit2(&z, -MAX_WBITS) == Z_OK;
    bool streamOpen = ok && entry.Method == 8;
    std::string packed(ChunkSize, '\0'), unpacked(ChunkSize, '\0');
    unsigned long long offset = entry.DataOffset, left = entry.PackedSize, written = 0;
    unsigned long crc = crc32(0, nullptr, 0);
    bool finished = entry.Method == 0;
    while (ok && left > 0) {
        DWORD chunk = left > ChunkSize ? ChunkSize : static_cast<DWORD>(left);
        ok = ReadAt(in, offset, &packed[0], chunk);
        offset += chunk;
        left -= chunk;
        if (ok && entry.Method == 0) {
            crc = crc32(crc, reinterpret_cast<const Bytef*>(packed.data()), chunk);
            written += chunk;
            ok = WriteAll(out, packed.data(), chunk);
            continue;
        }
        z.next_in = reinterpret_cast<Bytef*>(&packed[0]);
        z.avail_in = chunk;
        while (ok && z.avail_in > 0 && !finished) {
            z.next_out = reinterpret_cast<Bytef*>(&unpacked[0]);
            z.avail_out = ChunkSize;
            int status = inflate(&z, Z_NO_FLUSH);
            size_t produced = ChunkSize - z.avail_out;
            // More than the directory claims is damage (or a bomb): stop before writing it.
            ok = (status == Z_OK || status == Z_STREAM_END || (status == Z_BUF_ERROR && produced > 0)) &&
                 written + produced <= entry.Size;
            if (ok) {
                crc = crc32(crc, reinterpret_cast<const Bytef*>(unpacked.data()), static_cast<uInt>(produced));
                written += produced;
                ok = WriteAll(out, unpacked.data(), produced);
            }
            finished = status == Z_STREAM_END;
        }
    }
    if (streamOpen)
        inflateEnd(&z);
    ok = ok && finished && written == entry.Size && crc == entry.Crc;
    if (ok && !FlushFileBuffers(out)) {
        error = "The file " + target + " cannot be written, error code " + std::to_string(GetLastError()) + ".";
        ok = false;
    }
    CloseHandle(out);
    CloseHandle(in);
    if (!ok)
        DeleteFileA(target.c_str());
    else
        error.clear();
    return ok;
}

namespace {

// Appends one source's local header and deflated data to the archive; fills its directory record.
bool WriteSource(HANDLE out, const ZipSource& source, std::string& directory, std::string& error)
{
    std::string name = source.Name;
    unsigned flags = 0;
    if (!IsAscii(name)) {
        name = ConvertName(name, CP_ACP, CP_UTF8);
        flags |= Utf8NameFlag;
    }
    HANDLE in = INVALID_HANDLE_VALUE;
    if (!source.FilePath.empty()) {
        in = CreateFileA(source.FilePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (in == INVALID_HANDLE_VALUE) {
            error =
                "The file " + source.FilePath + " cannot be read, error code " + std::to_string(GetLastError()) + ".";
            return false;
        }
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME stamp;
    SystemTimeToFileTime(&now, &stamp);
    WORD dosDate = 0, dosTime = 0;
    FileTimeToDosDateTime(&stamp, &dosDate, &dosTime);
    LARGE_INTEGER zero = {}, start = {};
    SetFilePointerEx(out, zero, &start, FILE_CURRENT);

    std::string header;
    PutU32(header, LocalHeaderSignature);
    PutU16(header, 20);
    PutU16(header, flags);
    PutU16(header, 8);
    PutU16(header, dosTime);
    PutU16(header, dosDate);
    size_t sizesAt = header.size();
    PutU32(header, 0); // checksum and sizes, written once known
    PutU32(header, 0);
    PutU32(header, 0);
    PutU16(header, static_cast<unsigned>(name.size()));
    PutU16(header, 0);
    header += name;
    bool ok = WriteAll(out, header.data(), header.size());

    z_stream z = {};
    ok = ok && deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    std::string chunk(ChunkSize, '\0'), packed(ChunkSize, '\0');
    unsigned long long size = 0, packedSize = 0;
    unsigned long crc = crc32(0, nullptr, 0);
    size_t dataAt = 0;
    bool last = false;
    while (ok && !last) {
        DWORD got = 0;
        if (in != INVALID_HANDLE_VALUE) {
            ok = ReadFile(in, &chunk[0], ChunkSize, &got, nullptr) != 0;
        } else {
            got = static_cast<DWORD>(std::min<size_t>(ChunkSize, source.Data.size() - dataAt));
            std::copy(source.Data.begin() + static_cast<long>(dataAt),
                      source.Data.begin() + static_cast<long>(dataAt + got), chunk.begin());
            dataAt += got;
        }
        last = got == 0;
        size += got;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(chunk.data()), got);
        z.next_in = reinterpret_cast<Bytef*>(&chunk[0]);
        z.avail_in = got;
        do {
            z.next_out = reinterpret_cast<Bytef*>(&packed[0]);
            z.avail_out = ChunkSize;
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            size_t produced = ChunkSize - z.avail_out;
            packedSize += produced;
            ok = ok && WriteAll(out, packed.data(), produced);
        } while (ok && z.avail_out == 0);
        if (size > MaxZipEntrySize) {
            error = "The file " + source.FilePath + " is larger than 1 GB.";
            ok = false;
        }
    }
    deflateEnd(&z);
    if (in != INVALID_HANDLE_VALUE)
        CloseHandle(in);
    if (!ok) {
        if (error.empty())
            error = "The package cannot be written, error code " + std::to_string(GetLastError()) + ".";
        return false;
    }
    std::string sizes;
    PutU32(sizes, crc);
    PutU32(sizes, static_cast<unsigned long>(packedSize));
    PutU32(sizes, static_cast<unsigned long>(size));
    LARGE_INTEGER at, end;
    at.QuadPart = start.QuadPart + static_cast<LONGLONG>(sizesAt);
    ok = SetFilePointerEx(out, zero, &end, FILE_CURRENT) && SetFilePointerEx(out, at, nullptr, FILE_BEGIN) &&
         WriteAll(out, sizes.data(), sizes.size()) && SetFilePointerEx(out, end, nullptr, FILE_BEGIN);
    if (!ok || end.QuadPart > 0xFFFFFFFFLL) {
        error = "The package would be larger than 4 GB.";
        return false;
    }
    PutU32(directory, CentralHeaderSignature);
    PutU16(directory, 20);
    PutU16(directory, 20);
    PutU16(directory, flags);
    PutU16(directory, 8);
    PutU16(directory, dosTime);
    PutU16(directory, dosDate);
    directory += sizes;
    PutU16(directory, static_cast<unsigned>(name.size()));
    PutU16(directory, 0);
    PutU16(directory, 0);
    PutU16(directory, 0);
    PutU16(directory, 0);
    PutU32(directory, 0);
    PutU32(directory, static_cast<unsigned long>(start.QuadPart));
    directory += name;
    return true;
}

} // namespace

bool WriteZipArchive(const std::string& path, const std::vector<ZipSource>& sources, std::string& error)
{
    error.clear();
    if (sources.size() > MaxZipEntries) {
        error = "A package holds at most " + std::to_string(MaxZipEntries) + " files.";
        return false;
    }
    std::string temporary = path + ".partial";
    HANDLE out = CreateFileA(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        error = "The file " + path + " cannot be written, error code " + std::to_string(GetLastError()) + ".";
        return false;
    }
    std::string directory;
    bool ok = true;
    for (const ZipSource& source : sources)
        if (!(ok = WriteSource(out, source, directory, error)))
            break;
    LARGE_INTEGER zero = {}, directoryOffset = {};
    if (ok) {
        SetFilePointerEx(out, zero, &directoryOffset, FILE_CURRENT);
        std::string end;
        PutU32(end, EndOfDirectorySignature);
        PutU16(end, 0);
        PutU16(end, 0);
        PutU16(end, static_cast<unsigned>(sources.size()));
        PutU16(end, static_cast<unsigned>(sources.size()));
        PutU32(end, static_cast<unsigned long>(directory.size()));
        PutU32(end, static_cast<unsigned long>(directoryOffset.QuadPart));
        PutU16(end, 0);
        ok = static_cast<unsigned long long>(directoryOffset.QuadPart) + directory.size() < 0xFFFFFFFFull &&
             WriteAll(out, directory.data(), directory.size()) && WriteAll(out, end.data(), end.size()) &&
             FlushFileBuffers(out);
        if (!ok)
            error = "The package cannot be written, error code " + std::to_string(GetLastError()) + ".";
    }
    CloseHandle(out);
    if (ok && !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = "The file " + path + " cannot be written, error code " + std::to_string(GetLastError()) + ".";
        ok = false;
    }
    if (!ok)
        DeleteFileA(temporary.c_str());
    return ok;
}
