// The folder of card set files: one "<name>.mnc" file per card set in the application-data folder.
#pragma once

#include <windows.h>

#include <set>
#include <string>

std::string GetCardSetFolder();
std::string GetCardSetPath(const std::string& name);
void EnumerateCardSets(std::set<std::string>& names);

// True when anything is stored under the name's path, also a file that cannot be read: such a
// name is taken, so that nothing is ever saved, renamed or copied onto it.
bool CardSetExists(const std::string& name);

// The folder operations: true on success; otherwise reason (when given) says why, and the folder
// is as it was. Copying reads the source and writes the target as a save does.
bool DeleteCardSet(const std::string& name, std::string* reason = nullptr);
bool RenameCardSet(const std::string& oldName, const std::string& newName, std::string* reason = nullptr);
bool CopyCardSet(const std::string& source, const std::string& target, std::string* reason = nullptr);

// The checks of a new name, each for its own message in the name dialog: none of the nine
// characters < > : " / \ | ? *; no control character; not a device name (CON, PRN, AUX, NUL,
// COM1 to COM9, LPT1 to LPT9, with any extension); a path that fits the platform's limit.
bool IsValidCardSetName(const std::string& name);
bool HasControlCharacters(const std::string& name);
bool IsDeviceName(const std::string& name);
bool CardSetPathFits(const std::string& name);

// A file operation's failure in words the user can act on.
std::string DescribeFileError(DWORD error);
