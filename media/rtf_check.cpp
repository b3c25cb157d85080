// The RTF check: one pass over the text with a stack of open groups. It knows the tokens of RTF
// (groups, control words with their numbers, control symbols, hex escapes), the font and colour
// tables and the destinations, and refuses what exceeds the bounds instead of interpreting it.
#include "media/rtf_check.h"

#include <cctype>
#include <cstring>
#include <vector>

using namespace RtfCheck;

namespace {

enum class Table { None, Fonts, Colours };

struct OpenGroup {
    Table In;         // the table whose entries this group's text belongs to
    bool Destination; // opened by \* or a destination word
};

// Control words that open a destination when they start a group.
const char* const DestinationWords[] = {
    "fonttbl",  "colortbl",   "stylesheet", "info",         "pict",      "object",
    "objdata",  "field",      "fldinst",    "fldrslt",      "listtable", "listoverridetable",
    "header",   "footer",     "headerl",    "headerr",      "footerl",   "footerr",
    "footnote", "annotation", "xe",         "tc",           "txe",       "rxe",
    "shp",      "shpinst",    "shptxt",     "sp",           "sn",        "sv",
    "shppict",  "nonshppict", "themedata",  "generator",    "pn",        "pntext",
    "pntxta",   "pntxtb",     "revtbl",     "rsidtbl",      "comment",   "author",
    "title",    "subject",    "operator",   "keywords",     "doccomm",   "company",
    "creatim",  "revtim",     "printim",    "buptim",       "userprops", "template",
    "filetbl",  "falt",       "panose",     "latentstyles", "datastore", "result"};

bool IsDestinationWord(const std::string& word)
{
    for (const char* known : DestinationWords)
        if (word == known)
            return true;
    return false;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Reads the control word at text[i] (just after the backslash): letters, then an optional number
// and its delimiting blank. False when a part is too long or the number out of range.
bool ReadControlWord(const std::string& text, size_t& i, std::string& word, bool& hasNumber, long& number)
{
    size_t start = i;
    while (i < text.size() && IsLetter(text[i]))
        ++i;
    if (i - start > static_cast<size_t>(MaxWordLetters))
        return false;
    word.assign(text, start, i - start);
    bool negative = i < text.size() && text[i] == '-';
    if (negative)
        ++i;
    size_t digits = i;
    number = 0;
    while (i < text.size() && IsDigit(text[i])) {
        if (i - digits >= static_cast<size_t>(MaxNumberDigits))
            return false;
        number = number * 10 + (text[i] - '0');
        ++i;
    }
    hasNumber = i > digits;
    if (negative && !hasNumber)
        return false;
    if (negative)
        number = -number;
    if (hasNumber && (number < MinNumber || number > MaxNumber))
        return false;
    if (i < text.size() && text[i] == ' ')
        ++i;
    return true;
}

} // namespace

bool IsSafeRtf(const std::string& text)
{
    if (text.size() > MaxLength || (text.compare(0, 5, "{\\rtf") != 0 && text.compare(0, 6, "{\\urtf") != 0))
        return false;
    std::vector<OpenGroup> groups;
    int destinations = 0, fonts = 0, colours = 0, nameLength = 0;
    bool groupStart = false, starred = false, closed = false;
    // A character of text: counted toward the font name or the table entries it belongs to.
    auto addText = [&](char c) {
        Table in = groups.empty() ? Table::None : groups.back().In;
        if (in == Table::Fonts) {
            if (c == ';') {
                nameLength = 0;
                return ++fonts <= MaxTableEntries;
            }
            return c == '\r' || c == '\n' || ++nameLength <= MaxFontNameLength;
        }
        if (in == Table::Colours && c == ';')
            return ++colours <= MaxTableEntries;
        return true;
    };
    // Marks the innermost group as a destination, of the given table or of none.
    auto openDestination = [&](Table table) {
        if (groups.back().Destination)
            return true;
        groups.back().Destination = true;
        groups.back().In = table;
        return ++destinations <= MaxDestinationDepth;
    };
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (closed) {
            // After the outermost group only blanks and line ends may follow.
            if (c != ' ' && c != '\r' && c != '\n' && c != '\t' && c != '\0')
                return false;
            ++i;
            continue;
        }
        if (c == '\0')
            return false;
        if (c == '{') {
            if (static_cast<int>(groups.size()) >= MaxGroupDepth)
                return false;
            groups.push_back({groups.empty() ? Table::None : groups.back().In, false});
            groupStart = true;
            starred = false;
            ++i;
            continue;
        }
        if (c == '}') {
            if (groups.empty())
                return false;
            if (groups.back().Destination)
                --destinations;
            if (groups.back().In == Table::Fonts)
                nameLength = 0;
            groups.pop_back();
            closed = groups.empty();
            groupStart = starred = false;
            ++i;
            continue;
        }
        if (c != '\\') {
            if (!addText(c))
                return false;
            groupStart = starred = false;
            ++i;
            continue;
        }
        if (++i >= text.size())
            return false;
        c = text[i];
        if (IsLetter(c)) {
            std::string word;
            bool hasNumber = false;
            long number = 0;
            if (!ReadControlWord(text, i, word, hasNumber, number) || word == "bin")
                return false;
            if (word == "fonttbl" || word == "colortbl") {
                if (!openDestination(word == "fonttbl" ? Table::Fonts : Table::Colours))
                    return false;
            } else if ((groupStart || starred) && IsDestinationWord(word)) {
                if (!openDestination(Table::None))
                    return false;
            }
            if ((word == "red" || word == "green" || word == "blue") && hasNumber && (number < 0 || number > 255))
                return false;
            groupStart = starred = false;
            continue;
        }
        ++i;
        if (c == '*') {
            if (!groupStart || !openDestination(Table::None))
                return false;
            starred = true;
            groupStart = false;
            continue;
        }
        if (c == '\'') {
            if (i + 1 >= text.size() || !IsHex(text[i]) || !IsHex(text[i + 1]))
                return false;
            i += 2;
            c = 'x';
        } else if (c == '\0') {
            return false;
        }
        if ((c == '\\' || c == '{' || c == '}' || c == 'x') && !addText(c))
            return false;
        groupStart = starred = false;
    }
    return closed;
}
