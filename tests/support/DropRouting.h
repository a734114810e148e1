#pragma once
// A drag dropped on a window as the window system delivers it: to the widget
// under the point or, when that one takes no drops, to its nearest parent
// that does, at the point mapped into it; entered, moved over, then dropped.
// (The offscreen platform ends a real drag at once, so tests drop this way.)

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace droprouting {

// Drops `data` at `at` (in `window`'s coordinates).
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

}  // namespace droprouting
