#include "core/browser/BrowserModel.h"

#include <QCoreApplication>
#include <QMimeData>
#include <algorithm>

#include "core/shared/FolderSeparator.h"
#include "core/shared/TrackNaming.h"
#include "core/shared/TrackTags.h"

namespace varonel::core {

BrowserModel::BrowserModel(BrowserColumns columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)) {
    if (!m_columns.artist) {
        m_columns.artist = Artiste;
    }
}

bool BrowserModel::fill(const QString& folder, const QStringList& names, bool withDurations,
                        const std::function<void()>& yield) {
    const quint64 listing = ++m_listing;
    emit fillStarted();
    beginResetModel();
    m_rows.clear();
    m_indexById.clear();
    m_folder = folder;
    m_sortColumn = -1;
    endResetModel();
    emit durationsWanted(listing, {});  // what an older listing still waits for is dropped

    QList<DurationJob> jobs;
    QList<BrowserRow> batch;
    for (int i = 0; i < names.size(); ++i) {
        BrowserRow row;
        row.artist = m_columns.artist(names[i]);
        row.title = Titre(names[i]);
        row.path = joinFolder(folder, names[i]);
        row.id = ++m_nextId;
        const bool tags = nameGivesNoArtist(names[i]);
        if (withDurations || tags) {
            jobs.append({row.id, row.path, withDurations, tags});
        }
        batch.append(row);
        if (i % kYieldEvery == 0 && yield) {
            appendRows(batch);
            batch.clear();
            yield();
            if (m_listing != listing) {
                return false;  // a newer fill has taken over the list
            }
        }
    }
    appendRows(batch);
    if (m_columns.countInHeader) {
        m_pathHeader = QStringLiteral("%1 Fichiers").arg(m_rows.size());
        emit headerDataChanged(Qt::Horizontal, kPathColumn, kPathColumn);
    }
    if (!jobs.isEmpty()) {
        emit durationsWanted(listing, jobs);
    }
    emit fillFinished();
    return true;
}

void BrowserModel::appendRows(const QList<BrowserRow>& rows) {
    if (rows.isEmpty()) {
        return;
    }
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    for (const BrowserRow& row : rows) {
        m_indexById.insert(row.id, int(m_rows.size()));
        m_rows.append(row);
    }
    endInsertRows();
}

void BrowserModel::setDuration(quint64 listing, quint64 rowId, int32_t lengthMs) {
    const auto found = m_indexById.constFind(rowId);
    if (listing != m_listing || found == m_indexById.constEnd()) {
        return;  // a row of an older listing
    }
    m_rows[*found].duration = FTime(lengthMs);
    const QModelIndex cellIndex = index(*found, kDurationColumn);
    emit dataChanged(cellIndex, cellIndex, {Qt::DisplayRole});
}

void BrowserModel::setNames(quint64 listing, quint64 rowId, const QString& artist,
                            const QString& title) {
    const auto found = m_indexById.constFind(rowId);
    if (listing != m_listing || found == m_indexById.constEnd()) {
        return;
    }
    m_rows[*found].artist = artist;
    m_rows[*found].title = title;
    emit dataChanged(index(*found, kArtistColumn), index(*found, kTitleColumn), {Qt::DisplayRole});
}

QString BrowserModel::cell(const BrowserRow& row, int column) {
    switch (column) {
        case kArtistColumn:
            return row.artist;
        case kTitleColumn:
            return row.title;
        case kDurationColumn:
            return row.duration;
        case kPathColumn:
            return row.path;
        default:
            return {};
    }
}

int BrowserModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BrowserModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant BrowserModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) {
        return {};
    }
    const BrowserRow& row = m_rows.at(index.row());
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == kPathColumn)) {
        return cell(row, index.column());
    }
    if (role == Qt::TextAlignmentRole && index.column() == kDurationColumn) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant BrowserModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case kArtistColumn:
            return QStringLiteral("Artiste");
        case kTitleColumn:
            return QStringLiteral("Titre");
        case kDurationColumn:
            return QStringLiteral("Durée");
        case kPathColumn:
            return m_pathHeader;
        default:
            return {};
    }
}

Qt::ItemFlags BrowserModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
           Qt::ItemNeverHasChildren;
}

namespace {
const QString kDragMarkFormat = QStringLiteral("application/x-varonel-navigateur");
}  // namespace

// The process and the model: two programs, or two browsers, never share one.
QByteArray BrowserModel::dragMark() const {
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(quintptr(this));
}

QMimeData* BrowserModel::mimeData(const QModelIndexList& indexes) const {
    QMimeData* data = QAbstractTableModel::mimeData(indexes);
    if (data != nullptr) {
        data->setData(kDragMarkFormat, dragMark());
    }
    return data;
}

bool BrowserModel::isOwnDrag(const QMimeData* data) const {
    return data != nullptr && data->data(kDragMarkFormat) == dragMark();
}

void BrowserModel::sort(int column, Qt::SortOrder /*order*/) {
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<quint64> idsBefore;
    for (const QModelIndex& index : before) {
        idsBefore.append(m_rows.at(index.row()).id);
    }
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [column](const BrowserRow& a, const BrowserRow& b) {
                         return cell(a, column).compare(cell(b, column), Qt::CaseInsensitive) < 0;
                     });
    reindex();
    QModelIndexList after;
    for (int i = 0; i < before.size(); ++i) {
        after.append(index(m_indexById.value(idsBefore[i]), before[i].column()));
    }
    changePersistentIndexList(before, after);
    m_sortColumn = column;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void BrowserModel::reindex() {
    m_indexById.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        m_indexById.insert(m_rows[i].id, i);
    }
}

}  // namespace varonel::core
