// Card pairs, card sets and their files.
#pragma once

#include <string>
#include <vector>

// One entry of a card set: two cards, each with a text (RTF or plain) and three file names.
struct CardPair {
    std::string Text1;
    std::string Text2;
    std::string PictureFileName1;
    std::string PictureFileName2;
    std::string SoundFileName1;
    std::string SoundFileName2;
    std::string VideoFileName1;
    std::string VideoFileName2;
};

// A card set: its pairs in file order. Its name travels beside it.
using CardSet = std::vector<CardPair>;

// The most pairs a card set file is read with, whatever its "Count" claims; a larger card set is
// not saved, so that everything saved loads back.
const int MaxCardPairs = 65536;

// What loading found: the file read, no file of that name, or a file that could not be read.
enum class CardSetFileState { Read, Missing, Unreadable };

// Appends the pairs of the named card set's file to set; a missing or unreadable file adds none.
// For an unreadable file, reason (when given) says why, in words the user can act on. Files saved
// as UTF-8 or UTF-16 with a byte-order mark are read too.
CardSetFileState LoadCardSet(const std::string& name, CardSet& set, std::string* reason = nullptr);

// Stores the card set under its name. The previous file is replaced only once the new one is
// completely written, so a failed save leaves it byte for byte as it was; a file that exists but
// could not be read is never replaced, nor is a card set of more than MaxCardPairs pairs saved.
// True on success; otherwise reason (when given) says why.
bool SaveCardSet(const std::string& name, const CardSet& set, std::string* reason = nullptr);

// A card set file's bytes read into set (appended), and a card set as the text of its file.
void ParseCardSetText(const std::string& bytes, CardSet& set);
std::string FormatCardSetText(const CardSet& set);

std::string EscapeLineBreaks(const std::string& text);
std::string UnescapeLineBreaks(const std::string& text);
// Replaces every occurrence of from (never empty), left to right; work linear in the text's length.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);

// Expands %NAME% environment references in place; unknown names stay as they are.
void ExpandFileName(std::string& fileName);

// True when the second card has neither text nor files, so it shows the first card.
bool IsSecondCardEmpty(const CardPair& pair);
