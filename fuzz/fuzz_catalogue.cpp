// Fuzz target: Catalogue.txt as the catalogue window reads it at its opening,
// then what the window does with the entries: a search over whole paths in
// upper case, and ArtisteTitre for an entry double-clicked into the playlist.

#include <QString>

#include "FuzzFile.h"
#include "core/catalogue/ArtisteTitre.h"
#include "core/catalogue/CatalogueFile.h"
#include "core/catalogue/CatalogueList.h"

using namespace varonel::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = QString::fromStdString(fuzzfile::write(data, size));
    // A small list too, so that a full one is met as often as the others.
    CatalogueList list(size % 2 == 0 ? CatalogueList::kCapacity : 16);
    const CatalogueReadReport report = readCatalogueFile(path, &list);
    fuzzfile::require(report.read || list.count() == 0);
    fuzzfile::require(list.count() <= list.capacity());
    if (list.count() == 0) {
        return 0;
    }
    const QString& first = list.entries().first();
    const std::optional<QStringList> found = list.search(first.mid(first.size() / 2, 6));
    fuzzfile::require(!found || found->size() <= list.count());
    for (const QString& entry : list.entries().mid(0, 64)) {
        QString artist;
        QString title;
        ArtisteTitre(&artist, &title, entry);
    }
    return 0;
}
