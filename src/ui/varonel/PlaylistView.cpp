#include "ui/varonel/PlaylistView.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace varonel::ui {

namespace {

using core::PlaylistRow;

// Design widths of the columns, in pixels; the milliseconds column is hidden.
constexpr int kColumnWidths[PlaylistRow::kColumnCount] = {200, 200, 47, 400, 0};

bool sameRow(const QTreeWidgetItem& item, const PlaylistRow& row) {
    for (int column = 0; column < PlaylistRow::kColumnCount; ++column) {
        if (item.text(column) != row.cell(column)) {
            return false;
        }
    }
    return true;
}

QTreeWidgetItem* makeItem(const PlaylistRow& row) {
    auto* item = new QTreeWidgetItem;
    for (int column = 0; column < PlaylistRow::kColumnCount; ++column) {
        item->setText(column, row.cell(column));
    }
    item->setTextAlignment(PlaylistRow::kDurationColumn, Qt::AlignRight | Qt::AlignVCenter);
    // Rows can be dragged but nothing is dropped *into* a row: a drop always
    // lands between rows, as the model's move rule says.
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled |
                   Qt::ItemNeverHasChildren);
    return item;
}

}  // namespace

PlaylistView::PlaylistView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("PL"));
    setColumnCount(PlaylistRow::kColumnCount);
    setHeaderLabels({QStringLiteral("Artiste"), QStringLiteral("Titre"), QStringLiteral("Durée"),
                     QStringLiteral("Fichier"), QStringLiteral("milisecondes")});
    for (int column = 0; column < PlaylistRow::kColumnCount; ++column) {
        setColumnWidth(column, kColumnWidths[column]);
    }
    setColumnHidden(PlaylistRow::kMillisecondsColumn, true);
    header()->setStretchLastSection(false);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    // The drop target is the row under the cursor, shown by our own highlight.
    setDropIndicatorShown(false);
}

void PlaylistView::syncFrom(const core::PlaylistModel& model) {
    const int shown = topLevelItemCount();
    const int wanted = model.count();
    int prefix = 0;
    while (prefix < shown && prefix < wanted &&
           sameRow(*topLevelItem(prefix), model.row(prefix + 1))) {
        ++prefix;
    }
    int suffix = 0;
    while (suffix < shown - prefix && suffix < wanted - prefix &&
           sameRow(*topLevelItem(shown - 1 - suffix), model.row(wanted - suffix))) {
        ++suffix;
    }
    for (int i = shown - suffix - 1; i >= prefix; --i) {
        delete takeTopLevelItem(i);
    }
    QList<QTreeWidgetItem*> items;
    for (int row = prefix + 1; row <= wanted - suffix; ++row) {
        items.append(makeItem(model.row(row)));
    }
    insertTopLevelItems(prefix, items);
    if (m_highlightRow > topLevelItemCount()) {
        setHighlightRow(0);
    }
}

int PlaylistView::rowAt(QPoint viewportPos) const {
    QTreeWidgetItem* item = itemAt(viewportPos);
    return item ? indexOfTopLevelItem(item) + 1 : 0;
}

int PlaylistView::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? 0 : indexOfTopLevelItem(selected.constFirst()) + 1;
}

void PlaylistView::armReorderDrag() {
    const int row = selectedRow();
    m_dragged =
        row > 0 ? QPersistentModelIndex(model()->index(row - 1, 0)) : QPersistentModelIndex();
}

int PlaylistView::armedRow() const {
    return m_dragged.isValid() ? m_dragged.row() + 1 : 0;
}

bool PlaylistView::acceptsSource(const QObject* source) const {
    return source != nullptr && (source == this || source == m_browser);
}

void PlaylistView::dropFrom(const QObject* source, QPoint viewportPos) {
    const int target = rowAt(viewportPos);
    if (source == this) {
        const int from = armedRow();
        if (from > 0 && target > 0) {
            emit reorderDropped(from, target);
        }
    } else if (acceptsSource(source)) {
        emit browserDropped(target);
    }
    setHighlightRow(0);
}

void PlaylistView::startDrag(Qt::DropActions) {
    armReorderDrag();
    // Offered as a copy only, so that the view never removes the dragged row
    // itself: the model moves it when it is dropped here, and a drop anywhere
    // else changes nothing.
    QTreeWidget::startDrag(Qt::CopyAction);
    m_dragged = QPersistentModelIndex();
    setHighlightRow(0);
}

void PlaylistView::dragEnterEvent(QDragEnterEvent* event) {
    if (!acceptsSource(event->source())) {
        event->ignore();
        return;
    }
    setHighlightRow(rowAt(event->position().toPoint()));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void PlaylistView::dragMoveEvent(QDragMoveEvent* event) {
    if (!acceptsSource(event->source())) {
        event->ignore();
        return;
    }
    // The base class scrolls the list when the cursor nears its edges.
    QTreeWidget::dragMoveEvent(event);
    setHighlightRow(rowAt(event->position().toPoint()));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void PlaylistView::dragLeaveEvent(QDragLeaveEvent* event) {
    QTreeWidget::dragLeaveEvent(event);
    setHighlightRow(0);
}

void PlaylistView::dropEvent(QDropEvent* event) {
    if (!acceptsSource(event->source())) {
        event->ignore();
        setHighlightRow(0);
        return;
    }
    dropFrom(event->source(), event->position().toPoint());
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void PlaylistView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && !event->isAutoRepeat()) {
        emit deleteReleased();
        event->accept();
        return;
    }
    QTreeWidget::keyReleaseEvent(event);
}

void PlaylistView::setHighlightRow(int row) {
    if (row != m_highlightRow) {
        m_highlightRow = row;
        viewport()->update();
    }
}

void PlaylistView::paintEvent(QPaintEvent* event) {
    QTreeWidget::paintEvent(event);
    if (m_highlightRow <= 0 || m_highlightRow > topLevelItemCount()) {
        return;
    }
    QRect target = visualItemRect(topLevelItem(m_highlightRow - 1));
    target.setLeft(0);
    target.setRight(viewport()->width() - 1);
    QPainter painter(viewport());
    painter.setPen(QPen(QColor(0xf5, 0xa6, 0x23), 2));
    painter.drawRect(target.adjusted(1, 1, -1, -1));
}

}  // namespace varonel::ui
