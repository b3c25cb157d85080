// Card set packages: one zip file holding "<name>.mnc" and a folder "<name>/" with every picture,
// sound and video the card set names, so that a card set can be handed to another computer.
// Inside the package the card set names its files "%APPDATA%\<name>\<file>", where an import puts
// them.
#pragma once

#include "zip/zip_archive.h"

#include <string>
#include <vector>

// Writes the named card set with its files to path. Files the card set names that do not exist
// are left out and listed in missing (their names stay as they were). False, with a reason, when
// the card set cannot be read or the package cannot be written.
bool ExportCardSet(const std::string& name, const std::string& path, std::vector<std::string>& missing,
                   std::string& error);

// A package checked for import: the card set's name in it and its entries.
struct CardSetPackage {
    std::string Path;
    std::string Name;
    std::vector<ZipEntry> Entries;
};

// Reads and checks a package: exactly one card set file at the top and every other entry inside
// that card set's folder, with no absolute path, drive letter, "..", device or control character
// in any name. False, with the reason, for anything else.
bool OpenCardSetPackage(const std::string& path, CardSetPackage& package, std::string& error);

// True when a card set of this name or its files' folder already exists.
bool CardSetNameTaken(const std::string& name);

// Unpacks a checked package as the card set name (which must not be taken): its files into
// "<application data>\<name>\", the card set with its file names pointing there. Everything is
// written into a temporary folder first and moved into place at the end; on failure nothing is
// left behind and nothing of the user's has changed.
bool ImportCardSetPackage(const CardSetPackage& package, const std::string& name, std::string& error);

// The two ends of every import. MakeImportFolder makes "<card set folder>\<prefix><unique>\<name>\"
// for the card set's files (the card set itself goes beside it as "<name>.mnc"); on failure error
// says why and nothing is left. PlaceImportedCardSet moves both into place when ok is still true
// (the folder first, so that the card set appears last), removes the temporary folder in any case
// and returns whether the card set is now the user's.
bool MakeImportFolder(const std::string& prefix, const std::string& name, std::string& temporary, std::string& error);
bool PlaceImportedCardSet(const std::string& temporary, const std::string& name, bool ok, std::string& error);
