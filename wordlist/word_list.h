// Word lists: a text file of rows, one card pair a row, read into card texts. Spreadsheet exports
// (CSV with or without a "sep=" line), tab-separated lists and flash-card exports with "#" headers
// (separator, html, columns that hold no card text) are read; the reading needs no window.
#pragma once

#include <string>
#include <vector>

// A piece of a card text in one format. Paragraphs are separated by L'\n'.
struct TextRun {
    std::wstring Text;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
};
using CardText = std::vector<TextRun>;

// One card of a row: its text and the names of the picture and sound the row refers to.
struct WordListCard {
    CardText Text;
    std::wstring Picture;
    std::wstring Sound;
};

struct WordListPair {
    WordListCard First;
    WordListCard Second;
    int Row = 0; // the line of the list the row starts on, from 1
};

// The most characters of one field: a card text as stored may be no longer.
const size_t MaxWordListField = 16383;

// Reads a word list file's bytes (UTF-8 with or without byte-order mark, UTF-16 with one, else the
// ANSI code page) into pairs. False, with a message naming the row, for a list that is empty, is
// not text, has an unclosed quotation mark, a field longer than a card text may be, or more rows
// than a card set holds.
bool ReadWordList(const std::string& bytes, std::vector<WordListPair>& pairs, std::string& error);

// Reads pasted rows: tab-separated, quoted as a list is, no headers, no media references.
bool ReadPastedRows(const std::wstring& text, std::vector<WordListPair>& pairs, std::string& error);

// A card text as a card stores it: RTF in the editor's default font, characters of the ANSI code
// page as themselves, every other character as a Unicode escape. An empty text stays empty.
std::string CardTextToRtf(const CardText& text);
// The same for a plain text; line breaks (CR LF, LF or CR) become paragraphs.
std::string PlainTextToRtf(const std::wstring& text);

// A field of pasted or copied rows, quoted when it holds a tab, a quotation mark or a line break.
std::wstring QuoteField(const std::wstring& field);

std::wstring Utf8ToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text, bool* lossy = nullptr);
