#pragma once
// The playlist queue as plain data: row 1 is the next track to play. The main
// window mirrors it in its list view; every index of this API starts at 1.

#include <QList>
#include <QStringList>

#include "core/playlist/PlaylistRow.h"

namespace varonel::core {

class PlaylistModel {
public:
    int count() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    // True when index names a row (1 to count()).
    bool hasRow(int index) const { return index >= 1 && index <= count(); }

    // The row at index; index must satisfy hasRow().
    const PlaylistRow& row(int index) const;

    void append(const PlaylistRow& row);
    // Inserts before the row at index; count() + 1 appends. False (and nothing
    // changes) for any other index.
    bool insertAt(int index, const PlaylistRow& row);
    // False (and nothing changes) when index is not a row.
    bool removeAt(int index);
    void clear() {
        m_rows.clear();
        ++m_revision;
    }

    // Reorder drop: the row `from` is taken out, then put back at index `to` of
    // the shortened list, so a row moved down lands just below the target row
    // and a row moved up lands just above it. Nothing moves, and false comes
    // back, when from or to is not a row (from 0 means no drag was armed).
    bool moveRow(int from, int to);

    // Column 3 of every row, in row order.
    QStringList paths() const;

    // Every row, in order. A copy costs nothing until one side changes (the
    // rows are shared), so another thread may keep one to write it out.
    const QList<PlaylistRow>& rows() const { return m_rows; }
    // Counts every change of the rows, so a watcher sees that they changed.
    quint64 revision() const { return m_revision; }

private:
    QList<PlaylistRow> m_rows;
    quint64 m_revision = 0;
};

}  // namespace varonel::core
