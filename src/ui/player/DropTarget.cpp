#include "ui/player/DropTarget.h"

#include <QDropEvent>

namespace varonel::ui {

DropTarget::DropTarget(QWidget* target, int deck, const core::BrowserModel* browser)
    : QObject(target), m_target(target), m_deck(deck), m_browser(browser) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (watched != m_target || !m_browser->isOwnDrag(drop->mimeData())) {
                return false;
            }
            if (m_target->childAt(drop->position().toPoint()) != nullptr) {
                drop->ignore();  // over a control lying on the target
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            if (event->type() == QEvent::Drop) {
                emit dropped(m_deck);
            }
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace varonel::ui
