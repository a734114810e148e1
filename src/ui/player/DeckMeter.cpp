#include "ui/player/DeckMeter.h"

#include <QDragMoveEvent>
#include <QMouseEvent>

namespace varonel::ui {

DeckMeter::DeckMeter(int index, const core::BrowserModel* browser, QWidget* parent)
    : LevelMeterWidget(parent), m_index(index), m_browser(browser) {
    setObjectName(QStringLiteral("MMMeterX%1").arg(index));
    setCaption(QStringLiteral("dB"));
    setBackground(Qt::black);
    setAcceptDrops(true);
}

void DeckMeter::mousePressEvent(QMouseEvent* event) {
    emit clicked(m_index);
    event->accept();
}

// The enter is accepted so that the moves and the leave come here too; each
// move then refuses the drop itself: the track only passes over the meter.
void DeckMeter::dragEnterEvent(QDragEnterEvent* event) {
    m_passing = m_browser->isOwnDrag(event->mimeData());
    if (m_passing) {
        emit dragPassed(m_index);
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void DeckMeter::dragMoveEvent(QDragMoveEvent* event) {
    if (m_passing) {
        emit dragPassed(m_index);
    }
    event->ignore();
}

void DeckMeter::dragLeaveEvent(QDragLeaveEvent* event) {
    if (m_passing) {
        m_passing = false;
        emit dragPassed(m_index);
    }
    event->accept();
}

}  // namespace varonel::ui
