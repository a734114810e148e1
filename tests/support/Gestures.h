#pragma once
// The operator's mouse gestures on a view, as the system delivers them.

#include <QAbstractItemView>
#include <QtTest>

namespace gestures {

// A click, then the second press reported as a double click.
inline void doubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
}

// The middle of a row of a view (laid out first: rows listed while it was
// hidden are laid out later).
inline QPoint rowPoint(QAbstractItemView* view, int row) {
    view->doItemsLayout();
    return view->visualRect(view->model()->index(row, 0)).center();
}

}  // namespace gestures
