#pragma once
// The browser list `ListRech`: a report view of a browser model. A click on a
// column header sorts the rows by that column; rows are dragged out of it (to
// the playlist, to a deck) but nothing is dropped into it.

#include <QTreeView>

#include "core/browser/BrowserModel.h"

namespace varonel::ui {

class BrowserView final : public QTreeView {
    Q_OBJECT

public:
    explicit BrowserView(core::BrowserModel* model, QWidget* parent = nullptr);

    // Widths of the four columns in twips; 0 hides a column.
    void setColumnTwips(const QList<int>& twips);
    // The selected row (from 0), -1 when none.
    int selectedRow() const;
    core::BrowserModel* browserModel() const { return m_model; }

signals:
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    // A drag of the selected row begins (the player picks the track up here).
    void rowDragged(int row);

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    core::BrowserModel* m_model;
};

}  // namespace varonel::ui
