// Plain text of control-written RTF: groups, destinations skipped, formatting words ignored, the
// font table read for each font's code page, text bytes and escaped bytes decoded in the code page
// of the font they are set in, Unicode escapes kept; anything else declines, so that the caller
// uses the control.
#include "editor/rtf_plain_text.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

namespace {

// Words that change only formats, never characters.
const std::set<std::string> FormatWords = {
    "rtf",    "ansi",  "deftab", "deflang", "deflangfe", "viewkind",    "pard",      "fs",     "b",
    "i",      "ul",    "ulnone", "strike",  "cf",        "cb",          "highlight", "lang",   "langfe",
    "ltrpar", "ltrch", "loch",   "hich",    "dbch",      "nowidctlpar", "ql",        "qc",     "qr",
    "qj",     "li",    "ri",     "fi",      "sa",        "sb",          "sl",        "slmult", "kerning"};
// Groups whose content is not text.
const std::set<std::string> Destinations = {"fonttbl", "colortbl", "stylesheet", "info", "generator"};

// What a group holds for the groups inside it.
struct GroupState {
    bool Skip = false;      // not text
    bool FontTable = false; // inside the font table
    int Font = -1;          // the font set by \f, or -1 for the default font
    int UnicodeSkip = 1;    // characters standing in for each Unicode escape (\uc)
};

// The code page in which the control reads the bytes of a font of the character set; 0 for one it
// does not read as text (symbol fonts).
UINT CharSetCodePage(long charSet, UINT defaultCodePage)
{
    if (charSet == ANSI_CHARSET)
        return 1252;
    if (charSet == DEFAULT_CHARSET)
        return defaultCodePage;
    CHARSETINFO info = {};
    if (charSet == SYMBOL_CHARSET ||
        !TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(charSet)), &info, TCI_SRCCHARSET))
        return 0;
    return info.ciACP;
}

// The reader's state between the tokens of the text.
struct Reader {
    explicit Reader(std::wstring& plain) : Plain(plain) {}
    std::wstring& Plain;
    std::vector<GroupState> Groups;
    std::map<int, UINT> FontCodePages;
    UINT DefaultCodePage = GetACP();
    int DefaultFont = 0;
    int DefiningFont = -1; // the font table's entry being read
    int ToSkip = 0;        // characters still standing in for a Unicode escape
    bool ParagraphEnded = false;
    std::string Bytes; // text bytes not yet decoded, all in BytesCodePage
    UINT BytesCodePage = 0;

    // The code page of the current font, or 0 when it is unknown or not text.
    UINT CodePage() const
    {
        int font = Groups.back().Font < 0 ? DefaultFont : Groups.back().Font;
        auto found = FontCodePages.find(font);
        if (found != FontCodePages.end())
            return found->second;
        return Groups.back().Font < 0 ? DefaultCodePage : 0;
    }
    // Decodes the bytes collected; false when they are not characters of their code page.
    bool Flush()
    {
        if (Bytes.empty())
            return true;
        int size = static_cast<int>(Bytes.size());
        int n = MultiByteToWideChar(BytesCodePage, MB_ERR_INVALID_CHARS, Bytes.data(), size, nullptr, 0);
        if (n <= 0)
            return false;
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(BytesCodePage, MB_ERR_INVALID_CHARS, Bytes.data(), size, &wide[0], n);
        Bytes.clear();
        for (wchar_t c : wide)
            if (c < 32)
                return false;
        Plain += wide;
        return true;
    }
    // One character of text, as a byte of the current font's code page; false to decline.
    bool AddByte(char byte)
    {
        if (Groups.back().Skip)
            return true;
        if (ParagraphEnded)
            return false;
        if (ToSkip > 0) {
            --ToSkip;
            return true;
        }
        UINT codePage = CodePage();
        if (!codePage || static_cast<unsigned char>(byte) < 32)
            return false;
        if (static_cast<unsigned char>(byte) < 0x80 && Bytes.empty()) {
            Plain += static_cast<wchar_t>(byte);
            return true;
        }
        if (!Bytes.empty() && BytesCodePage != codePage && !Flush())
            return false;
        BytesCodePage = codePage;
        Bytes += byte;
        return true;
    }
    // A control word with its parameter; false to decline.
    bool Word(const std::string& word, long parameter)
    {
        GroupState& group = Groups.back();
        if (Destinations.count(word)) {
            group.Skip = true;
            group.FontTable = word == "fonttbl";
            return true;
        }
        if (group.FontTable) {
            if (word == "f")
                FontCodePages[DefiningFont = static_cast<int>(parameter)] = DefaultCodePage;
            else if (word == "fcharset" && DefiningFont >= 0)
                FontCodePages[DefiningFont] = CharSetCodePage(parameter, DefaultCodePage);
            else if (word == "cpg" && DefiningFont >= 0)
                FontCodePages[DefiningFont] =
                    IsValidCodePage(static_cast<UINT>(parameter)) ? static_cast<UINT>(parameter) : 0;
            return true;
        }
        if (group.Skip)
            return true;
        if (word == "ansicpg") {
            if (!IsValidCodePage(static_cast<UINT>(parameter)))
                return false;
            DefaultCodePage = static_cast<UINT>(parameter);
        } else if (word == "deff") {
            DefaultFont = static_cast<int>(parameter);
        } else if (word == "f") {
            group.Font = static_cast<int>(parameter);
        } else if (word == "plain") {
            group.Font = -1;
        } else if (word == "uc") {
            group.UnicodeSkip = static_cast<int>(parameter);
        } else if (word == "u") {
            if (ParagraphEnded || !Flush())
                return false;
            wchar_t wide = static_cast<wchar_t>(parameter < 0 ? parameter + 65536 : parameter);
            if (wide < 32)
                return false;
            Plain += wide;
            ToSkip = group.UnicodeSkip;
        } else if (word == "par") {
            // Only the paragraph mark that ends the one line.
            if (ParagraphEnded)
                return false;
            ParagraphEnded = true;
        } else if (!FormatWords.count(word)) {
            return false;
        }
        return true;
    }
};

} // namespace

bool ReadControlRtfPlainText(const std::string& rtf, std::wstring& plain)
{
    plain.clear();
    if (rtf.compare(0, 6, "{\\rtf1") != 0)
        return false;
    Reader reader(plain);
    size_t n = rtf.size();
    for (size_t i = 0; i < n;) {
        char c = rtf[i];
        if (c == '{') {
            GroupState inner = reader.Groups.empty() ? GroupState() : reader.Groups.back();
            inner.Skip = inner.Skip || rtf.compare(i + 1, 2, "\\*") == 0;
            reader.Groups.push_back(inner);
            ++i;
        } else if (c == '}') {
            if (reader.Groups.empty() || !reader.Flush())
                return false;
            reader.Groups.pop_back();
            ++i;
            if (reader.Groups.empty()) // the end: only blanks may follow
                return rtf.find_first_not_of(" \r\n", i) == std::string::npos || rtf[i] == '\0';
        } else if (reader.Groups.empty()) {
            return false;
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else if (c != '\\') {
            if (!reader.AddByte(c))
                return false;
            ++i;
        } else if (i + 1 < n && (rtf[i + 1] == '\\' || rtf[i + 1] == '{' || rtf[i + 1] == '}')) {
            if (!reader.AddByte(rtf[i + 1]))
                return false;
            i += 2;
        } else if (i + 1 < n && rtf[i + 1] == '\'') {
            if (i + 3 >= n || !std::isxdigit(static_cast<unsigned char>(rtf[i + 2])) ||
                !std::isxdigit(static_cast<unsigned char>(rtf[i + 3])))
                return false;
            if (!reader.AddByte(static_cast<char>(std::strtol(rtf.substr(i + 2, 2).c_str(), nullptr, 16))))
                return false;
            i += 4;
        } else if (i + 1 < n && rtf[i + 1] == '*') {
            i += 2;
        } else if (i + 1 >= n || !std::isalpha(static_cast<unsigned char>(rtf[i + 1]))) {
            if (!reader.Groups.back().Skip)
                return false;
            i += 2;
        } else {
            size_t start = i + 1, end = start;
            while (end < n && std::isalpha(static_cast<unsigned char>(rtf[end])))
                ++end;
            size_t digits = end;
            if (digits < n && (rtf[digits] == '-' || std::isdigit(static_cast<unsigned char>(rtf[digits]))))
                ++digits;
            while (digits < n && std::isdigit(static_cast<unsigned char>(rtf[digits])))
                ++digits;
            long parameter = digits > end ? std::strtol(rtf.substr(end, digits - end).c_str(), nullptr, 10) : 0;
            i = digits < n && rtf[digits] == ' ' ? digits + 1 : digits;
            // Bytes end where a word changes the font or stands between them.
            if (!reader.Groups.back().Skip && !reader.Flush())
                return false;
            if (!reader.Word(rtf.substr(start, end - start), parameter))
                return false;
        }
    }
    return false;
}
