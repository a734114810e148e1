#include "DropTarget.h"

#include <QDropEvent>

namespace varonel::ui {

DropTarget::DropTarget(QWidget* target, int deck, const core::BrowserModel* browser)
    : QObject(target), m_deck(deck), m_browser(browser) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!m_browser->isOwnDrag(drag->mimeData())) {
                return false;
            }
            if (m_deck < 0 && event->type() == QEvent::DragMove) {
                drag->ignore();  // no drop here, and not on the panel beneath either
                return true;
            }
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!m_browser->isOwnDrag(drop->mimeData()) || m_deck < 0) {
                return false;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            emit dropped(m_deck);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace varonel::ui
