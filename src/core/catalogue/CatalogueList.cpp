#include "core/catalogue/CatalogueList.h"

namespace varonel::core {

bool CatalogueList::append(const QString& entry) {
    if (count() >= m_capacity) {
        return false;
    }
    m_entries.append(entry);
    m_upperEntries.append(entry.toUpper());
    return true;
}

void CatalogueList::clear() {
    m_entries.clear();
    m_upperEntries.clear();
}

std::optional<QStringList> CatalogueList::search(const QString& text) const {
    if (text.size() < kMinimumSearchChars) {
        return std::nullopt;
    }
    const QString wanted = text.toUpper();
    QStringList found;
    for (qsizetype i = 0; i < m_upperEntries.size(); ++i) {
        if (m_upperEntries[i].contains(wanted)) {
            found.append(m_entries[i]);
        }
    }
    return found;
}

}  // namespace varonel::core
