#include "ui/shared/BrowserView.h"

#include <QHeaderView>

#include "core/shared/TwipRect.h"

namespace varonel::ui {

BrowserView::BrowserView(core::BrowserModel* model, QWidget* parent)
    : QTreeView(parent), m_model(model) {
    setObjectName(QStringLiteral("ListRech"));
    setModel(model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    // The model sorts once per click and stays so until the next fill; the
    // view's own sorting would sort again at every change.
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_model->sort(column);
        header()->setSortIndicator(column, Qt::AscendingOrder);
        header()->setSortIndicatorShown(true);
    });
    connect(model, &core::BrowserModel::fillStarted, this, [this] {
        header()->setSortIndicatorShown(false);
        hide();  // the list is hidden while it fills
    });
    connect(model, &core::BrowserModel::fillFinished, this, [this] { show(); });
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit rowClicked(index.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowDoubleClicked(index.row()); });
}

void BrowserView::setColumnTwips(const QList<int>& twips) {
    for (int column = 0; column < twips.size(); ++column) {
        setColumnHidden(column, twips[column] <= 0);
        if (twips[column] > 0) {
            setColumnWidth(column, twips[column] / core::kTwipsPerPixel);
        }
    }
}

void BrowserView::startDrag(Qt::DropActions supportedActions) {
    const int row = selectedRow();
    if (row < 0) {
        return;  // nothing chosen: nothing to carry
    }
    emit rowDragged(row);
    QTreeView::startDrag(supportedActions);
}

int BrowserView::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

}  // namespace varonel::ui
