#pragma once
// The rows of a track browser (`ListRech`): one row per audio file of the folder
// shown, with artist, title, duration and full path, plus the tag that the
// automatic request sets on the rows it has taken. Both programs use it; each
// passes its own naming of the artist and says whether the path column's header
// counts the files.
//
// Main thread only. Durations are read elsewhere (DurationReader) and arrive
// by setDuration(); only rows listed while durations were on ever get one.

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/browser/BrowserRow.h"

namespace varonel::core {

// What a duration reader is asked for: a row of one listing and its file, for
// its length, and for the names its tags give when its own name gives none.
struct DurationJob {
    quint64 rowId = 0;
    QString path;
    bool length = true;
    bool names = false;
};

struct BrowserColumns {
    // The artist of a file name: Artiste in the mixer, ArtisteSansDossier in
    // the player.
    std::function<QString(const QString& name)> artist;
    // Column 3's header becomes "N Fichiers" after each fill; else it stays "Fichier".
    bool countInHeader = true;
};

class BrowserModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kArtistColumn = 0;
    static constexpr int kTitleColumn = 1;
    static constexpr int kDurationColumn = 2;
    static constexpr int kPathColumn = 3;
    static constexpr int kColumnCount = 4;
    // Pending window events run after rows 0, 15, 30 and so on of a fill.
    static constexpr int kYieldEvery = 15;
    static constexpr char kTaken[] = "x";

    explicit BrowserModel(BrowserColumns columns, QObject* parent = nullptr);

    // --- The listing ---

    // Lists `names` (the folder's file list, in its order) as the rows, in that
    // order, tags empty, unsorted. The full path joins folder and name with one
    // separator. `yield` runs after every 15th row so the window stays alive;
    // when a newer fill starts inside it, this one stops and returns false.
    // With `withDurations`, durationsWanted() asks for the rows' lengths.
    bool fill(const QString& folder, const QStringList& names, bool withDurations,
              const std::function<void()>& yield = {});
    // Writes the duration text of the length into a row of the current listing.
    void setDuration(quint64 listing, quint64 rowId, int32_t lengthMs);
    // Writes the artist and title a file's tags give into a row of the current
    // listing.
    void setNames(quint64 listing, quint64 rowId, const QString& artist, const QString& title);

    const QString& folder() const { return m_folder; }
    quint64 listing() const { return m_listing; }
    int count() const { return int(m_rows.size()); }
    const BrowserRow& row(int index) const { return m_rows.at(index); }
    void setTag(int index, const QString& tag) { m_rows[index].tag = tag; }
    // -1 while the rows stand in file order.
    int sortColumn() const { return m_sortColumn; }

    // --- Qt's model ---
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Ascending by the column's text, ignoring case; rows of equal text keep
    // their order. The order lasts until the next fill.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Dragged rows carry, besides Qt's own format, the mark of this model.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    // The dragged data comes from this model: a drop target takes its own
    // browser's rows, never what another program or window drops on it.
    bool isOwnDrag(const QMimeData* data) const;

signals:
    // A fill begins (the view hides itself) and ends (it shows itself again).
    void fillStarted();
    void fillFinished();
    // The lengths (and the tags of files whose name gives no artist) a listing
    // wants read; each fill starts with an empty request, so that the rows of
    // older listings are not read any more.
    void durationsWanted(quint64 listing, const QList<varonel::core::DurationJob>& jobs);

private:
    static QString cell(const BrowserRow& row, int column);
    QByteArray dragMark() const;
    void appendRows(const QList<BrowserRow>& rows);
    void reindex();

    BrowserColumns m_columns;
    QList<BrowserRow> m_rows;
    QHash<quint64, int> m_indexById;
    QString m_folder;
    QString m_pathHeader = QStringLiteral("Fichier");
    quint64 m_listing = 0;
    quint64 m_nextId = 0;
    int m_sortColumn = -1;
};

}  // namespace varonel::core
