// A word list made into a card set in one step: the list read, its pictures and sounds looked up
// beside it (or in a "collection.media" folder beside it) and copied into the card set's folder
// "<application data>\<name>\", as a card set package import puts them.
#pragma once

#include "cardset/card_set.h"
#include "wordlist/word_list.h"

#include <string>
#include <vector>

struct WordList {
    std::string Path;
    std::vector<WordListPair> Pairs;
};

// Reads the list file at path; false with the reason (naming the row) when it cannot be used.
bool OpenWordList(const std::string& path, WordList& list, std::string& error);

// The name a card set made of the list is offered under: the file's name without its extension.
std::string WordListCardSetName(const std::string& path);

// A pair's two cards as a card pair stores them (texts as RTF, no files).
CardPair WordListPairToCardPair(const WordListPair& pair);

// Writes the list as the card set name (which must not be taken), with the media it names that
// were found. Media not found are listed in missing ("File not found, filename ..."). The card set
// and its folder are made in a temporary folder and moved into place once complete; on failure
// nothing is left behind.
bool ImportWordList(const WordList& list, const std::string& name, std::vector<std::string>& missing,
                    std::string& error);
