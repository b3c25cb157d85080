// The folder of card set files: one "<name>.mnc" file per card set in the application-data folder.
#pragma once

#include <set>
#include <string>

std::string GetCardSetFolder();
std::string GetCardSetPath(const std::string& name);
void EnumerateCardSets(std::set<std::string>& names);
bool CardSetExists(const std::string& name);
void DeleteCardSet(const std::string& name);
void RenameCardSet(const std::string& oldName, const std::string& newName);
void CopyCardSet(const std::string& source, const std::string& target);
bool IsValidCardSetName(const std::string& name);
