#pragma once
// Shows a status line (core::StatusLine) in one label: the last message with
// its time, cut in the middle when the window is too narrow for it (the time,
// the start of the reason and the file's name stay readable), its whole text
// and the messages before it in the tooltip. A warning is drawn apart from a
// mere information through the "kind" property that the style sheet reads.
//
// Main thread only.

#include <QLabel>

#include "core/shared/StatusLine.h"

namespace varonel::ui {

class StatusLineView final : public QLabel {
    Q_OBJECT

public:
    StatusLineView(const core::StatusLine& line, QWidget* parent = nullptr);

    // The message as shown, before any cut; "" before the first one.
    QString fullText() const { return core::StatusLine::format(m_line.current()); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showCurrent();
    void fitText();

    const core::StatusLine& m_line;
};

}  // namespace varonel::ui
