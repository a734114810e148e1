#pragma once
// The part of a message that a box can show on the screen. A message may name
// folders thousands of characters deep: wrapped at each "/", one such path
// makes a box taller than the screen, its OK button out of reach. Each line is
// kept to a few wrapped lines (a path keeps both its ends) and lines beyond
// what fits are left out; the box then gives the whole text in its details,
// which scroll.

#include <QFontMetrics>
#include <QSize>
#include <QString>

namespace varonel::ui {

// `text` as shown in `room` (the width at which the box wraps its text, the
// height it may take) with `metrics`; `text` itself when it fits.
QString fittingText(const QString& text, const QFontMetrics& metrics, QSize room);

}  // namespace varonel::ui
