#include "ui/shared/StatusLineView.h"

#include <QStyle>

namespace varonel::ui {

StatusLineView::StatusLineView(const core::StatusLine& line, QWidget* parent)
    : QLabel(parent), m_line(line) {
    setObjectName(QStringLiteral("LblEtat"));
    // The label must not widen the window to fit a long path.
    setMinimumWidth(1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
    connect(&line, &core::StatusLine::posted, this, &StatusLineView::showCurrent);
    showCurrent();
}

void StatusLineView::showCurrent() {
    const bool warning = m_line.current().kind == core::StatusLine::Kind::Warning;
    setProperty("kind", warning ? QStringLiteral("warning") : QStringLiteral("information"));
    style()->unpolish(this);
    style()->polish(this);
    QStringList lines;
    for (const core::StatusLine::Entry& entry : m_line.history()) {
        lines.append(core::StatusLine::format(entry));
    }
    setToolTip(lines.join(u'\n'));
    fitText();
}

void StatusLineView::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fitText();
}

void StatusLineView::fitText() {
    setText(fontMetrics().elidedText(fullText(), Qt::ElideMiddle, contentsRect().width()));
}

}  // namespace varonel::ui
