#pragma once
// Looks at the next message box the real dialogs show, as the operator would
// see it, then answers it with its default button (OK), so that the program
// goes on. Arm it before the command that raises the box.

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

class BoxWatcher final : public QObject {
public:
    struct Seen {
        QString text;  // empty until a box is seen
        QString details;
        QRect frame;       // on the screen
        QRect screen;      // the screen's available area
        int contrast = 0;  // of the text against the box, 0 to 255
    };

    BoxWatcher() {
        m_poll.setInterval(5);
        connect(&m_poll, &QTimer::timeout, this, &BoxWatcher::look);
        m_poll.start();
    }
    Seen seen;  // what the box showed, once it was seen

private:
    // How far apart the darkest and the lightest greys of the text are (0 to
    // 255): a few for light text on a light ground, some 200 for dark on light.
    static int textContrast(QMessageBox* box) {
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        const QImage image = box->grab().toImage();
        const QRect area = label->geometry().intersected(image.rect());
        int darkest = 255;
        int lightest = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
                lightest = std::max(lightest, qGray(image.pixel(x, y)));
            }
        }
        return lightest - darkest;
    }

    void look() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        m_poll.stop();
        seen.text = box->text();
        seen.details = box->detailedText();
        seen.frame = box->frameGeometry();
        seen.screen = box->screen()->availableGeometry();
        seen.contrast = textContrast(box);
        box->defaultButton() != nullptr ? box->defaultButton()->click() : box->accept();
    }

    QTimer m_poll;
};
