#include "core/catalogue/CatalogueFile.h"

#include <QFile>
#include <QFileInfo>

#include "core/shared/ExisteFichier.h"
#include "core/shared/LineFile.h"

namespace varonel::core {

bool Filexiste(const QString& fileName) {
    // Hidden and unreadable files do not count, exactly as at start-up.
    return ExisteFichier(fileName);
}

CatalogueReadReport readCatalogueFile(const QString& filePath, CatalogueList* list) {
    CatalogueReadReport report;
    list->clear();
    QStringList lines;
    if (!readLineFile(filePath, &lines, &report.error)) {
        return report;
    }
    report.read = true;
    for (const QString& line : lines) {
        if (!list->append(line)) {
            report.full = true;
            break;
        }
    }
    return report;
}

bool saveCatalogueFile(const QString& filePath, const CatalogueList& list, QString* error) {
    return writeLineFile(filePath, list.entries(), error);
}

bool deleteCatalogueFile(const QString& filePath, QString* error) {
    QFile file(filePath);
    if (!QFileInfo::exists(filePath)) {
        return true;
    }
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    if (!file.remove()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace varonel::core
