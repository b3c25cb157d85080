// A video's frame size from its file's header. Building a filter graph to ask the size takes the
// platform up to a second per file, on the program's one thread; the formats offered for cards name
// the frame size near the start of the file, which is what the graph's decoders report as well.
// Every offset read is checked against the bytes at hand: damaged headers give false, never a read
// outside them.
#include "media/video_header.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

// The header is read from this much of the file at most.
const DWORD HeaderBytes = 256 * 1024;
// Sizes outside this are taken as a damaged header.
const uint32_t LargestSide = 16384;

bool Has(const std::string& bytes, uint64_t at, uint64_t count)
{
    return at <= bytes.size() && count <= bytes.size() - at;
}

uint32_t Read32(const std::string& bytes, uint64_t at)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool IsTag(const std::string& bytes, uint64_t at, const char* tag)
{
    return Has(bytes, at, 4) && bytes.compare(at, 4, tag) == 0;
}

bool Plausible(uint32_t width, int32_t height, int& outWidth, int& outHeight)
{
    uint32_t rows = height < 0 ? 0u - static_cast<uint32_t>(height) : static_cast<uint32_t>(height);
    if (width == 0 || rows == 0 || width > LargestSide || rows > LargestSide)
        return false;
    outWidth = static_cast<int>(width), outHeight = static_cast<int>(rows);
    return true;
}

// The bitmap header of the first video stream among the chunks in [at, end) of an AVI file,
// descending into the header lists; a stream list's format chunk counts only after a video
// stream header.
bool FindAviVideoFormat(const std::string& bytes, uint64_t at, uint64_t end, int depth, int& width, int& height)
{
    bool videoStream = false;
    while (at + 8 <= end) {
        uint64_t size = Read32(bytes, at + 4), data = at + 8;
        if (size > end - data)
            size = end - data; // a header cut short: what is there still counts
        if (IsTag(bytes, at, "LIST") && size >= 4 && depth < 2 &&
            (IsTag(bytes, data, "hdrl") || IsTag(bytes, data, "strl"))) {
            if (FindAviVideoFormat(bytes, data + 4, data + size, depth + 1, width, height))
                return true;
        } else if (IsTag(bytes, at, "strh") && size >= 4) {
            videoStream = IsTag(bytes, data, "vids");
        } else if (IsTag(bytes, at, "strf") && videoStream && size >= 12) {
            return Plausible(Read32(bytes, data + 4), static_cast<int32_t>(Read32(bytes, data + 8)), width, height);
        } else if (IsTag(bytes, at, "movi") || IsTag(bytes, at, "idx1")) {
            return false;
        }
        at = data + size + (size & 1);
    }
    return false;
}

bool ReadAviSize(const std::string& bytes, int& width, int& height)
{
    if (!IsTag(bytes, 0, "RIFF") || !IsTag(bytes, 8, "AVI "))
        return false;
    return FindAviVideoFormat(bytes, 12, bytes.size(), 0, width, height);
}

// An MPEG video stream's sequence header at at: its horizontal and vertical size.
bool ReadSequenceHeader(const std::string& bytes, uint64_t at, int& width, int& height)
{
    if (!Has(bytes, at, 7))
        return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at + 4;
    return Plausible(p[0] << 4 | p[1] >> 4, (p[1] & 0x0F) << 8 | p[2], width, height);
}

// An MPEG video stream, or a program stream walked pack by pack and packet by packet up to the first
// video packet, whose payload holds the sequence header (start codes cannot occur inside a packet's
// own header, and only a video stream keeps them out of its data).
bool ReadMpegSize(const std::string& bytes, int& width, int& height)
{
    static const std::string Sequence("\0\0\1\xB3", 4);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (uint64_t at = 0; Has(bytes, at, 6) && p[at] == 0 && p[at + 1] == 0 && p[at + 2] == 1;) {
        unsigned char code = p[at + 3];
        if (code == 0xB3)
            return ReadSequenceHeader(bytes, at, width, height);
        if (code == 0xBA && (p[at + 4] & 0xF0) == 0x20) {
            at += 12; // an MPEG-1 pack header
        } else if (code == 0xBA && (p[at + 4] & 0xC0) == 0x40) {
            if (!Has(bytes, at, 14))
                return false;
            at += 14 + (p[at + 13] & 7); // an MPEG-2 pack header and its stuffing
        } else if (code >= 0xBB) {
            uint64_t end = at + 6 + (p[at + 4] << 8 | p[at + 5]);
            if (code >= 0xE0 && code <= 0xEF) {
                size_t found = bytes.find(Sequence, at + 6);
                return found != std::string::npos && found + 4 <= end &&
                       ReadSequenceHeader(bytes, found, width, height);
            }
            at = end;
        } else {
            return false;
        }
    }
    return false;
}

// The identifiers of an ASF file's header object, its stream properties and the video stream type,
// as they are stored: the first three fields little-endian.
const unsigned char AsfHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                     0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const unsigned char AsfStreamProperties[16] = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                               0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const unsigned char AsfVideoMedia[16] = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                                         0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

bool IsGuid(const std::string& bytes, uint64_t at, const unsigned char (&guid)[16])
{
    return Has(bytes, at, 16) && std::memcmp(bytes.data() + at, guid, 16) == 0;
}

// ASF: the first video stream's properties, whose bitmap header follows the encoded image size.
bool ReadAsfSize(const std::string& bytes, int& width, int& height)
{
    if (!IsGuid(bytes, 0, AsfHeader) || !Has(bytes, 0, 30))
        return false;
    for (uint64_t at = 30; Has(bytes, at, 24);) {
        uint64_t size = Read32(bytes, at + 16) | static_cast<uint64_t>(Read32(bytes, at + 20)) << 32;
        if (size < 24)
            return false;
        if (IsGuid(bytes, at, AsfStreamProperties) && IsGuid(bytes, at + 24, AsfVideoMedia) && Has(bytes, at, 89) &&
            size >= 89) {
            uint64_t format = at + 89, formatSize = static_cast<unsigned char>(bytes[at + 87]) |
                                                    static_cast<unsigned char>(bytes[at + 88]) << 8;
            if (formatSize >= 12 && Has(bytes, format, 12))
                return Plausible(Read32(bytes, format + 4), static_cast<int32_t>(Read32(bytes, format + 8)), width,
                                 height);
            return Plausible(Read32(bytes, at + 78), static_cast<int32_t>(Read32(bytes, at + 82)), width, height);
        }
        if (size > bytes.size() - at)
            return false;
        at += size;
    }
    return false;
}

} // namespace

bool ReadVideoHeaderSize(const std::string& bytes, int& width, int& height)
{
    return ReadAviSize(bytes, width, height) || ReadMpegSize(bytes, width, height) || ReadAsfSize(bytes, width, height);
}

bool ReadVideoFileHeaderSize(const std::string& fileName, int& width, int& height)
{
    HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string bytes(HeaderBytes, '\0');
    DWORD read = 0;
    BOOL done = ReadFile(file, &bytes[0], HeaderBytes, &read, nullptr);
    CloseHandle(file);
    bytes.resize(done ? read : 0);
    return ReadVideoHeaderSize(bytes, width, height);
}
