// Word list reading: bytes to UTF-16, the "sep=" line and "#" headers, rows and quoted fields
// (RFC 4180), html fields to formatted runs, and card texts to RTF.
#include "wordlist/word_list.h"

#include "cardset/card_set.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace {

const wchar_t NoColumn = 0;

// What the headers of a list say.
struct ListOptions {
    wchar_t Separator = NoColumn; // NoColumn: guessed from the first row
    bool Html = false;
    bool Media = true;
    std::vector<int> NoTextColumns; // 0-based columns that hold no card text
    bool Headers = true;
};

std::wstring ToWide(const std::string& bytes, UINT codePage, DWORD flags, bool& ok)
{
    ok = true;
    if (bytes.empty())
        return std::wstring();
    int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) {
        ok = false;
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    return wide;
}

// The line (from 1) of position end in text, counting CR LF, LF and CR as one line end each.
int LineAt(const std::wstring& text, size_t end)
{
    int line = 1;
    for (size_t i = 0; i < end && i < text.size(); ++i)
        if (text[i] == L'\n' || (text[i] == L'\r' && (i + 1 >= text.size() || text[i + 1] != L'\n')))
            ++line;
    return line;
}

// Decodes a list's bytes; false for a file that is not text.
bool DecodeList(const std::string& bytes, std::wstring& text, std::string& error)
{
    auto starts = [&](const char* mark, size_t n) { return bytes.size() >= n && bytes.compare(0, n, mark, n) == 0; };
    if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
        bool bigEndian = bytes[0] == '\xFE';
        text.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
            text += static_cast<wchar_t>(bigEndian ? a << 8 | b : b << 8 | a);
        }
    } else {
        size_t nul = bytes.find('\0');
        if (nul != std::string::npos) {
            bool ok;
            error = "The list is not a text file: line " +
                    std::to_string(LineAt(ToWide(bytes.substr(0, nul), CP_ACP, 0, ok), nul)) + " holds a zero byte.";
            return false;
        }
        size_t skip = starts("\xEF\xBB\xBF", 3) ? 3 : 0;
        std::string body = bytes.substr(skip);
        bool ok;
        text = ToWide(body, CP_UTF8, MB_ERR_INVALID_CHARS, ok);
        if (!ok)
            text = ToWide(body, CP_ACP, 0, ok);
    }
    if (text.find(L'\0') != std::wstring::npos) {
        error = "The list is not a text file: line " + std::to_string(LineAt(text, text.find(L'\0'))) +
                " holds a zero character.";
        return false;
    }
    return true;
}

// The line starting at pos (without its line end), and the position after its line end.
std::wstring TakeLine(const std::wstring& text, size_t& pos)
{
    size_t end = text.find_first_of(L"\r\n", pos);
    std::wstring line = text.substr(pos, end == std::wstring::npos ? std::wstring::npos : end - pos);
    pos = end == std::wstring::npos ? text.size() : end + 1;
    if (end != std::wstring::npos && text[end] == L'\r' && pos < text.size() && text[pos] == L'\n')
        ++pos;
    return line;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

std::wstring LowerCase(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Reads the "sep=" line and the "#" header lines at the start of text; pos moves past them.
void ReadHeaders(const std::wstring& text, size_t& pos, ListOptions& options)
{
    size_t next = pos;
    std::wstring line = TakeLine(text, next);
    if (line.size() == 5 && StartsWith(LowerCase(line), L"sep=")) {
        options.Separator = line[4];
        pos = next;
    }
    while (pos < text.size() && text[pos] == L'#') {
        next = pos;
        line = LowerCase(TakeLine(text, next));
        std::wstring original = text.substr(pos + 11 < text.size() ? pos + 11 : text.size(), 1);
        pos = next;
        size_t colon = line.find(L':');
        if (colon == std::wstring::npos)
            continue;
        std::wstring key = line.substr(1, colon - 1), value = line.substr(colon + 1);
        if (key == L"separator") {
            const wchar_t* names[] = {L"tab", L"comma", L"semicolon", L"pipe", L"colon", L"space"};
            const wchar_t chars[] = {L'\t', L',', L';', L'|', L':', L' '};
            for (int i = 0; i < 6; ++i)
                if (value == names[i])
                    options.Separator = chars[i];
            if (value.size() == 1)
                options.Separator = original[0]; // the character itself, as written
        } else if (key == L"html") {
            options.Html = value == L"true";
        } else if (key == L"guid column" || key == L"notetype column" || key == L"deck column" ||
                   key == L"tags column") {
            int column = _wtoi(value.c_str());
            if (column > 0)
                options.NoTextColumns.push_back(column - 1);
        }
    }
}

// The separator of a list without one named: tab, then semicolon, then comma in the first row.
wchar_t GuessSeparator(const std::wstring& text, size_t pos)
{
    std::wstring line = TakeLine(text, pos);
    for (wchar_t candidate : {L'\t', L';', L','})
        if (line.find(candidate) != std::wstring::npos)
            return candidate;
    return L'\t';
}

void AppendRun(CardText& text, const std::wstring& piece, const TextRun& format)
{
    if (piece.empty())
        return;
    if (!text.empty() && text.back().Bold == format.Bold && text.back().Italic == format.Italic &&
        text.back().Underline == format.Underline) {
        text.back().Text += piece;
        return;
    }
    TextRun run = format;
    run.Text = piece;
    text.push_back(run);
}

bool EndsParagraph(const CardText& text)
{
    return text.empty() || text.back().Text.empty() || text.back().Text.back() == L'\n';
}

// The value of an attribute in a tag's text, quoted or not.
std::wstring AttributeValue(const std::wstring& tag, const wchar_t* name)
{
    std::wstring lower = LowerCase(tag);
    size_t at = lower.find(name);
    while (at != std::wstring::npos && at > 0 && !std::iswspace(lower[at - 1]))
        at = lower.find(name, at + 1);
    if (at == std::wstring::npos)
        return std::wstring();
    size_t pos = at + wcslen(name);
    while (pos < tag.size() && std::iswspace(tag[pos]))
        ++pos;
    if (pos >= tag.size() || tag[pos] != L'=')
        return std::wstring();
    ++pos;
    while (pos < tag.size() && std::iswspace(tag[pos]))
        ++pos;
    if (pos < tag.size() && (tag[pos] == L'"' || tag[pos] == L'\'')) {
        size_t end = tag.find(tag[pos], pos + 1);
        return tag.substr(pos + 1, end == std::wstring::npos ? std::wstring::npos : end - pos - 1);
    }
    size_t end = pos;
    while (end < tag.size() && !std::iswspace(tag[end]) && tag[end] != L'>' && tag[end] != L'/')
        ++end;
    return tag.substr(pos, end - pos);
}

void AppendCodePoint(std::wstring& out, unsigned long code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return;
    if (code >= 0x10000) {
        code -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (code >> 10));
        out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
        out += static_cast<wchar_t>(code);
    }
}

// The entity at text[pos] ('&'); pos moves past it. An unknown entity stays as written.
std::wstring DecodeEntity(const std::wstring& text, size_t& pos)
{
    size_t semicolon = text.find(L';', pos);
    if (semicolon == std::wstring::npos || semicolon - pos > 10) {
        ++pos;
        return L"&";
    }
    std::wstring name = text.substr(pos + 1, semicolon - pos - 1);
    std::wstring out;
    if (name == L"amp")
        out = L"&";
    else if (name == L"lt")
        out = L"<";
    else if (name == L"gt")
        out = L">";
    else if (name == L"quot")
        out = L"\"";
    else if (name == L"apos")
        out = L"'";
    else if (name == L"nbsp")
        out = L"\x00A0";
    else if (name.size() > 1 && name[0] == L'#') {
        bool hex = name[1] == L'x' || name[1] == L'X';
        unsigned long code = wcstoul(name.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
        AppendCodePoint(out, code);
    } else {
        ++pos;
        return L"&";
    }
    pos = semicolon + 1;
    return out;
}

// Takes "[sound:name]" references out of a field into card.Sound (the first one counts).
std::wstring TakeSounds(const std::wstring& field, WordListCard& card)
{
    std::wstring out;
    size_t pos = 0;
    for (;;) {
        size_t at = field.find(L"[sound:", pos);
        size_t end = at == std::wstring::npos ? at : field.find(L']', at);
        if (end == std::wstring::npos) {
            out += field.substr(pos);
            return out;
        }
        out += field.substr(pos, at - pos);
        if (card.Sound.empty())
            card.Sound = field.substr(at + 7, end - at - 7);
        pos = end + 1;
    }
}

// An html field as formatted runs: b/strong, i/em and u formats, br and div paragraphs, img
// pictures; other tags left out, entities decoded.
void HtmlToCard(const std::wstring& html, WordListCard& card, CardText& text)
{
    int bold = 0, italic = 0, underline = 0;
    std::wstring piece;
    auto format = [&]() {
        TextRun run;
        run.Bold = bold > 0;
        run.Italic = italic > 0;
        run.Underline = underline > 0;
        return run;
    };
    auto flush = [&]() {
        AppendRun(text, piece, format());
        piece.clear();
    };
    for (size_t pos = 0; pos < html.size();) {
        wchar_t c = html[pos];
        if (c == L'&') {
            piece += DecodeEntity(html, pos);
            continue;
        }
        if (c == L'\r' || c == L'\n') { // line breaks in html are blanks
            piece += L' ';
            pos += c == L'\r' && pos + 1 < html.size() && html[pos + 1] == L'\n' ? 2 : 1;
            continue;
        }
        size_t close = c == L'<' ? html.find(L'>', pos) : std::wstring::npos;
        if (close == std::wstring::npos) {
            piece += c;
            ++pos;
            continue;
        }
        std::wstring tag = html.substr(pos + 1, close - pos - 1);
        pos = close + 1;
        bool ending = !tag.empty() && tag[0] == L'/';
        std::wstring name = LowerCase(tag.substr(ending ? 1 : 0));
        size_t nameEnd = name.find_first_of(L" \t\r\n/");
        name = name.substr(0, nameEnd);
        flush();
        int step = ending ? -1 : 1;
        if (name == L"b" || name == L"strong")
            bold = std::max(0, bold + step);
        else if (name == L"i" || name == L"em")
            italic = std::max(0, italic + step);
        else if (name == L"u")
            underline = std::max(0, underline + step);
        else if (name == L"br")
            AppendRun(text, L"\n", format());
        else if (name == L"div" || name == L"p") {
            if (!EndsParagraph(text))
                AppendRun(text, L"\n", format());
        } else if (name == L"img" && !ending && card.Picture.empty())
            card.Picture = AttributeValue(tag, L"src");
    }
    flush();
}

bool IsBlankChar(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\x00A0';
}

// Drops blanks and empty paragraphs at both ends of a card text.
void TrimCardText(CardText& text)
{
    while (!text.empty()) {
        std::wstring& first = text.front().Text;
        size_t start = 0;
        while (start < first.size() && IsBlankChar(first[start]))
            ++start;
        first.erase(0, start);
        if (!first.empty())
            break;
        text.erase(text.begin());
    }
    while (!text.empty()) {
        std::wstring& last = text.back().Text;
        while (!last.empty() && IsBlankChar(last.back()))
            last.pop_back();
        if (!last.empty())
            break;
        text.pop_back();
    }
}

// A field as a card: formatted text and media references.
void FieldToCard(std::wstring field, const ListOptions& options, WordListCard& card)
{
    if (options.Media)
        field = TakeSounds(field, card);
    CardText text;
    if (options.Html) {
        HtmlToCard(field, card, text);
    } else {
        // Line breaks inside a quoted field are paragraphs.
        std::wstring plain;
        for (size_t i = 0; i < field.size(); ++i) {
            if (field[i] == L'\r' && i + 1 < field.size() && field[i + 1] == L'\n')
                continue;
            plain += field[i] == L'\r' ? L'\n' : field[i];
        }
        AppendRun(text, plain, TextRun());
    }
    TrimCardText(text);
    for (TextRun& run : text)
        card.Text.push_back(run);
}

bool IsEmptyCard(const WordListCard& card)
{
    return card.Text.empty() && card.Picture.empty() && card.Sound.empty();
}

// Splits text from pos into rows of fields and makes pairs of them.
bool ReadRows(const std::wstring& text, size_t pos, const ListOptions& options, std::vector<WordListPair>& pairs,
              std::string& error)
{
    wchar_t separator = options.Separator != NoColumn ? options.Separator : GuessSeparator(text, pos);
    int line = LineAt(text, pos);
    auto isNoText = [&](int column) {
        for (int c : options.NoTextColumns)
            if (c == column)
                return true;
        return false;
    };
    std::vector<std::wstring> fields;
    while (pos < text.size()) {
        int rowLine = line;
        fields.assign(1, std::wstring());
        bool rowEnded = false;
        while (!rowEnded) {
            std::wstring& field = fields.back();
            if (pos < text.size() && text[pos] == L'"') {
                int quoteLine = line;
                ++pos;
                for (;;) {
                    size_t quote = text.find(L'"', pos);
                    if (quote == std::wstring::npos) {
                        error = "Row " + std::to_string(quoteLine) + " of the list: a quoted field is not closed.";
                        return false;
                    }
                    for (size_t i = pos; i < quote; ++i)
                        if (text[i] == L'\n' || (text[i] == L'\r' && (i + 1 >= text.size() || text[i + 1] != L'\n')))
                            ++line;
                    field.append(text, pos, quote - pos);
                    pos = quote + 1;
                    if (pos < text.size() && text[pos] == L'"') {
                        field += L'"';
                        ++pos;
                        continue;
                    }
                    break;
                }
            }
            // Unquoted characters up to the separator or the line end (also after a closing quote).
            size_t end = pos;
            while (end < text.size() && text[end] != separator && text[end] != L'\r' && text[end] != L'\n')
                ++end;
            field.append(text, pos, end - pos);
            pos = end;
            if (field.size() > MaxWordListField) {
                error = "Row " + std::to_string(rowLine) + " of the list: field " + std::to_string(fields.size()) +
                        " has " + std::to_string(field.size()) + " characters; a card text may have at most " +
                        std::to_string(MaxWordListField) + ".";
                return false;
            }
            if (pos < text.size() && text[pos] == separator) {
                ++pos;
                fields.emplace_back();
                continue;
            }
            TakeLine(text, pos);
            ++line;
            rowEnded = true;
        }
        WordListPair pair;
        pair.Row = rowLine;
        int textColumn = 0;
        for (size_t column = 0; column < fields.size(); ++column) {
            if (isNoText(static_cast<int>(column)))
                continue;
            WordListCard& card = textColumn == 0 ? pair.First : pair.Second;
            if (textColumn < 2) {
                FieldToCard(fields[column], options, card);
            } else if (options.Media) {
                // Further fields are read for the second card's picture and sound only.
                WordListCard media;
                FieldToCard(fields[column], options, media);
                if (card.Picture.empty())
                    card.Picture = media.Picture;
                if (card.Sound.empty())
                    card.Sound = media.Sound;
            }
            ++textColumn;
        }
        if (IsEmptyCard(pair.First) && IsEmptyCard(pair.Second))
            continue; // a blank row
        if (IsEmptyCard(pair.First))
            std::swap(pair.First, pair.Second);
        if (pairs.size() >= static_cast<size_t>(MaxCardPairs)) {
            error = "Row " + std::to_string(rowLine) + " of the list is one row too many: a card set holds at most " +
                    std::to_string(MaxCardPairs) + " card pairs.";
            return false;
        }
        pairs.push_back(pair);
    }
    if (pairs.empty()) {
        error = "The list holds no rows to make card pairs of.";
        return false;
    }
    return true;
}

// Scripts the ANSI code pages cover, with the character set of each.
const struct {
    wchar_t First, Last;
    int CharSet;
} ScriptRanges[] = {{0x0100, 0x017F, EASTEUROPE_CHARSET}, {0x0370, 0x03FF, GREEK_CHARSET},
                    {0x1F00, 0x1FFF, GREEK_CHARSET},      {0x0400, 0x04FF, RUSSIAN_CHARSET},
                    {0x0590, 0x05FF, HEBREW_CHARSET},     {0x0600, 0x06FF, ARABIC_CHARSET},
                    {0x0E00, 0x0E7F, THAI_CHARSET}};

int ScriptOf(wchar_t c)
{
    for (size_t i = 0; i < sizeof ScriptRanges / sizeof ScriptRanges[0]; ++i)
        if (c >= ScriptRanges[i].First && c <= ScriptRanges[i].Last)
            return static_cast<int>(i);
    return -1;
}

bool InCodePage(wchar_t c)
{
    char bytes[8];
    BOOL lossy = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes, nullptr, &lossy) > 0 && !lossy;
}

// Appends one character of a card text to RTF.
void AppendRtfChar(std::string& rtf, wchar_t c)
{
    if (c == L'\\' || c == L'{' || c == L'}') {
        rtf += '\\';
        rtf += static_cast<char>(c);
    } else if (c == L'\n') {
        rtf += "\\par\r\n";
    } else if (c == L'\t') {
        rtf += "\\tab ";
    } else if (c < 0x20) {
        // other control characters are left out
    } else if (c < 0x80) {
        rtf += static_cast<char>(c);
    } else {
        char bytes[8];
        BOOL lossy = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes, nullptr, &lossy);
        if (n > 0 && !lossy) {
            static const char Hex[] = "0123456789abcdef";
            for (int i = 0; i < n; ++i) {
                unsigned char b = static_cast<unsigned char>(bytes[i]);
                rtf += "\\'";
                rtf += Hex[b >> 4];
                rtf += Hex[b & 15];
            }
        } else {
            rtf += "\\u" + std::to_string(static_cast<short>(c)) + "?";
        }
    }
}

} // namespace

bool ReadWordList(const std::string& bytes, std::vector<WordListPair>& pairs, std::string& error)
{
    pairs.clear();
    error.clear();
    std::wstring text;
    if (!DecodeList(bytes, text, error))
        return false;
    ListOptions options;
    size_t pos = 0;
    ReadHeaders(text, pos, options);
    return ReadRows(text, pos, options, pairs, error);
}

bool ReadPastedRows(const std::wstring& text, std::vector<WordListPair>& pairs, std::string& error)
{
    pairs.clear();
    error.clear();
    ListOptions options;
    options.Separator = L'\t';
    options.Media = false;
    size_t nul = text.find(L'\0');
    return ReadRows(nul == std::wstring::npos ? text : text.substr(0, nul), 0, options, pairs, error);
}

std::string CardTextToRtf(const CardText& text)
{
    if (text.empty())
        return std::string();
    // Characters of other scripts are set in the card font with their script's character set, so
    // that where the face itself lacks the script a font that has it is drawn instead.
    std::string body, fonts = "{\\f0\\fnil\\fcharset0 Tahoma;}";
    std::vector<int> used(sizeof ScriptRanges / sizeof ScriptRanges[0], 0);
    int font = 0, fontCount = 1;
    TextRun current;
    for (const TextRun& run : text) {
        if (run.Bold != current.Bold)
            body += run.Bold ? "\\b " : "\\b0 ";
        if (run.Italic != current.Italic)
            body += run.Italic ? "\\i " : "\\i0 ";
        if (run.Underline != current.Underline)
            body += run.Underline ? "\\ul " : "\\ulnone ";
        current = run;
        for (wchar_t c : run.Text) {
            int script = c >= 0x80 && !InCodePage(c) ? ScriptOf(c) : -1;
            int wanted = script < 0 ? 0 : used[script];
            if (script >= 0 && !wanted) {
                wanted = used[script] = fontCount++;
                fonts += "{\\f" + std::to_string(wanted) + "\\fnil\\fcharset" +
                         std::to_string(ScriptRanges[script].CharSet) + " Tahoma;}";
            }
            if (wanted != font && c != L' ')
                body += "\\f" + std::to_string(font = wanted) + " ";
            AppendRtfChar(body, c);
        }
    }
    return "{\\rtf1\\ansi\\ansicpg" + std::to_string(GetACP()) + "\\deff0{\\fonttbl" + fonts +
           "}\r\n\\uc1\\pard\\f0\\fs20 " + body + "}";
}

std::string PlainTextToRtf(const std::wstring& text)
{
    WordListCard card;
    ListOptions options;
    options.Media = false;
    FieldToCard(text, options, card);
    return CardTextToRtf(card.Text);
}

std::wstring QuoteField(const std::wstring& field)
{
    if (field.find_first_of(L"\t\"\r\n") == std::wstring::npos && (field.empty() || field[0] != L'"'))
        return field;
    std::wstring quoted = L"\"";
    for (wchar_t c : field) {
        if (c == L'"')
            quoted += L'"';
        quoted += c;
    }
    return quoted + L"\"";
}

std::wstring Utf8ToWide(const std::string& text)
{
    bool ok;
    return ToWide(text, CP_UTF8, 0, ok);
}

std::string WideToAnsi(const std::wstring& text, bool* lossy)
{
    BOOL usedDefault = FALSE;
    std::string out;
    if (!text.empty()) {
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, &usedDefault);
        out.assign(static_cast<size_t>(n > 0 ? n : 0), '\0');
        if (n > 0)
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), &out[0], n,
                                nullptr, &usedDefault);
    }
    if (lossy)
        *lossy = usedDefault != FALSE;
    return out;
}
