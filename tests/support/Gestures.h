#pragma once
// The operator's gestures as the system delivers them: mouse clicks on a
// view, keys sent to the window, drops routed to the widget that takes them.

#include <QAbstractItemView>
#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QWindow>
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

// A key event sent to the window, which hands it on to its focused widget
// and, when that one lets it go, to its parents. Offscreen Qt gives no scan
// code, and neither does this.
inline void sendKey(QWidget* window, QEvent::Type type, int key,
                    Qt::KeyboardModifiers modifiers = {}, bool autoRepeat = false) {
    QKeyEvent event(type, key, modifiers, 0, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(window->window()->windowHandle(), &event);
}

inline void press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = {}) {
    sendKey(window, QEvent::KeyPress, key, modifiers);
}

inline void release(QWidget* window, int key, Qt::KeyboardModifiers modifiers = {}) {
    sendKey(window, QEvent::KeyRelease, key, modifiers);
}

// Drops `data` at `at` (in `window`'s coordinates) as the window system
// does: to the widget under the point or, when that one takes no drops, to
// its nearest parent that does; entered, moved over, then dropped. (The
// offscreen platform ends a real drag at once, so tests drop this way.)
inline void drop(QWidget* window, QPoint at, const QMimeData* data) {
    QWidget* target = window->childAt(at);
    while (target != nullptr && !target->acceptDrops()) {
        target = target->parentWidget();
    }
    if (target == nullptr) {
        return;
    }
    const QPoint mapped = target->mapFrom(window, at);
    QDragEnterEvent enter(mapped, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(mapped, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent dropped(mapped, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}

}  // namespace gestures
