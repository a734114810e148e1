#include "core/playlist/PlaylistModel.h"

namespace varonel::core {

const PlaylistRow& PlaylistModel::row(int index) const {
    Q_ASSERT(hasRow(index));
    return m_rows.at(index - 1);
}

void PlaylistModel::append(const PlaylistRow& row) {
    m_rows.append(row);
    ++m_revision;
}

bool PlaylistModel::insertAt(int index, const PlaylistRow& row) {
    if (index < 1 || index > count() + 1) {
        return false;
    }
    m_rows.insert(index - 1, row);
    ++m_revision;
    return true;
}

bool PlaylistModel::removeAt(int index) {
    if (!hasRow(index)) {
        return false;
    }
    m_rows.removeAt(index - 1);
    ++m_revision;
    return true;
}

bool PlaylistModel::moveRow(int from, int to) {
    if (!hasRow(from) || !hasRow(to)) {
        return false;
    }
    const PlaylistRow moved = m_rows.takeAt(from - 1);
    // `to` counts rows of the full list; in the shortened one it is at most
    // count() + 1, which appends.
    m_rows.insert(to - 1, moved);
    ++m_revision;
    return true;
}

QStringList PlaylistModel::paths() const {
    QStringList result;
    result.reserve(m_rows.size());
    for (const PlaylistRow& row : m_rows) {
        result.append(row.path);
    }
    return result;
}

}  // namespace varonel::core
