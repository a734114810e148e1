#include "ui/shared/FittingText.h"

#include <QStringList>

namespace varonel::ui {

namespace {

// The most wrapped lines one line of the message may take.
constexpr int kLinesPerLine = 3;

int wrappedHeight(const QString& line, const QFontMetrics& metrics, int width) {
    if (line.isEmpty()) {
        return metrics.lineSpacing();
    }
    const QRect bounds(0, 0, width, metrics.lineSpacing() * 10000);
    return metrics.boundingRect(bounds, Qt::TextWordWrap, line).height();
}

}  // namespace

QString fittingText(const QString& text, const QFontMetrics& metrics, QSize room) {
    const int width = std::max(room.width(), metrics.averageCharWidth() * 20);
    const QString ellipsis(QChar(0x2026));
    QStringList shown;
    int height = 0;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (wrappedHeight(line, metrics, width) > kLinesPerLine * metrics.lineSpacing()) {
            line = metrics.elidedText(line, Qt::ElideMiddle, (kLinesPerLine - 1) * width);
        }
        const int lineHeight = wrappedHeight(line, metrics, width);
        // The last line kept leaves room for the mark that says more follows.
        const bool last = i + 1 == lines.size();
        if (height + lineHeight + (last ? 0 : metrics.lineSpacing()) > room.height()) {
            shown.append(ellipsis);
            break;
        }
        shown.append(line);
        height += lineHeight;
    }
    return shown.join(u'\n');
}

}  // namespace varonel::ui
