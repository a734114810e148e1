#pragma once
// The playlist list view `PL`: a mirror of the core playlist model that turns
// the operator's gestures into row numbers. Rows are reordered by dragging
// them inside the list and arrive from the browser by dragging them onto it;
// the window decides what each drop and the Delete key do to the model.

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTreeWidget>

#include "core/playlist/PlaylistModel.h"

namespace varonel::ui {

class PlaylistView final : public QTreeWidget {
    Q_OBJECT

public:
    explicit PlaylistView(QWidget* parent = nullptr);

    // The browser list whose rows may be dropped here.
    void setBrowser(const QWidget* browser) { m_browser = browser; }

    // Makes the list show the model's rows. Only the span that differs is
    // replaced, so rows taken from the top by the transport keep the
    // selection, the scroll position and a drag in progress.
    void syncFrom(const core::PlaylistModel& model);

    // Row (from 1) under a point of the viewport; 0 over empty space.
    int rowAt(QPoint viewportPos) const;
    // Selected row (from 1); 0 when none.
    int selectedRow() const;
    // Row highlighted as the drop target while something is dragged; 0 when none.
    int dropHighlightRow() const { return m_highlightRow; }

    // A reorder drag begins: the selected row is the one to move. Its number
    // follows the rows removed above it, and reads 0 once it is gone itself.
    void armReorderDrag();
    int armedRow() const;

    // What a drop at a viewport point does, by where the drag came from: this
    // list reorders, the browser inserts, anything else is refused.
    bool acceptsSource(const QObject* source) const;
    void dropFrom(const QObject* source, QPoint viewportPos);

signals:
    // Move row `from` to `to` (both from 1).
    void reorderDropped(int from, int to);
    // Insert the browser's selected row before `insertBefore` (from 1), or
    // append it when insertBefore is 0.
    void browserDropped(int insertBefore);
    // The Delete key was released while the list had the focus.
    void deleteReleased();

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setHighlightRow(int row);

    QPointer<const QWidget> m_browser;
    QPersistentModelIndex m_dragged;
    int m_highlightRow = 0;
};

}  // namespace varonel::ui
