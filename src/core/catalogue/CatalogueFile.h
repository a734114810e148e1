#pragma once
// The catalogue file `Catalogue.txt` in the program folder: one full path per
// line, CR LF after each, in catalogue order; no header, count or trailer. Read
// as UTF-8 or Windows-1252, written as UTF-8.

#include <QString>

#include "core/catalogue/CatalogueList.h"

namespace varonel::core {

// True when the name, trimmed, is not blank and names an ordinary file that can
// be read and is not hidden; false on any error. A read-only file counts.
bool Filexiste(const QString& fileName);

struct CatalogueReadReport {
    // False when the file could not be read; the list was then left empty.
    bool read = false;
    // The file held more entries than the list can take: the first ones fill it.
    bool full = false;
    // Why the file could not be read.
    QString error;
};

// Empties the list, then appends each line of the file as one entry, in file
// order, unchecked.
CatalogueReadReport readCatalogueFile(const QString& filePath, CatalogueList* list);

// Writes every entry, first to last, one per line (an empty list gives an empty
// file). The old file stays whole until the new one is complete on disk, so a
// failure never leaves a half-written or empty file in its place. False, with
// the reason in *error, on failure.
bool saveCatalogueFile(const QString& filePath, const CatalogueList& list, QString* error);

// Makes the file writable (a read-only file is deleted all the same), then
// deletes it. A file that is already gone counts as deleted. False, with the
// reason in *error, on failure.
bool deleteCatalogueFile(const QString& filePath, QString* error);

}  // namespace varonel::core
