#include "ui/shared/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "ui/shared/FittingText.h"

namespace varonel::ui {

namespace {

QMessageBox::Icon boxIcon(core::MessageIcon icon) {
    switch (icon) {
        case core::MessageIcon::Information:
            return QMessageBox::Information;
        case core::MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case core::MessageIcon::Critical:
            return QMessageBox::Critical;
        case core::MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// A window of the program shown and kept above the others.
bool windowKeptOnTop() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* window) {
        return window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    });
}

// A dialog goes above a window kept on top only when it is kept on top too.
void keepAboveTopmost(QWidget* dialog) {
    if (windowKeptOnTop()) {
        dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
    }
}

QRect screenArea(const QWidget* owner) {
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

// The room a box's text may take on `area`: the box wraps it at half the
// screen's width (500 pixels at most), and a third of the height leaves room
// for the title, the buttons and the details.
QSize textRoom(const QRect& area) {
    return {std::min(area.width() / 2, 500) - 20, area.height() / 3};
}

}  // namespace

QWidget* QtDialogs::parentWidget() const {
    return m_parent ? m_parent.data() : QApplication::activeWindow();
}

core::MessageAnswer QtDialogs::message(const core::Message& message) {
    QWidget* owner = parentWidget();
    QMessageBox box;
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(boxIcon(message.icon));
    box.setWindowTitle(message.title.isEmpty() ? QApplication::applicationName() : message.title);
    const QString shown = fittingText(message.text, box.fontMetrics(), textRoom(screenArea(owner)));
    box.setText(shown);
    if (shown != message.text) {
        box.setDetailedText(message.text);
    }
    keepAboveTopmost(&box);
    if (owner != nullptr && owner->window()->windowHandle() != nullptr) {
        box.winId();
        box.windowHandle()->setTransientParent(owner->window()->windowHandle());
    }
    if (message.buttons == core::MessageButtons::RetryCancel) {
        QPushButton* retry = box.addButton(QStringLiteral("Réessayer"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
        box.setDefaultButton(retry);
        box.exec();
        return box.clickedButton() == retry ? core::MessageAnswer::Retry
                                            : core::MessageAnswer::Cancel;
    }
    if (message.buttons == core::MessageButtons::YesNoCancel) {
        QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
        box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes  ? core::MessageAnswer::Yes
               : box.clickedButton() == no ? core::MessageAnswer::No
                                           : core::MessageAnswer::Cancel;
    }
    box.addButton(QMessageBox::Ok);
    box.exec();
    return core::MessageAnswer::Ok;
}

QString QtDialogs::openFileName(const QString& folder, const QString& filter) {
    QFileDialog dialog(parentWidget(), QStringLiteral("Ouvrir"), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    keepAboveTopmost(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::saveFileName(const QString& folder, const QString& filter,
                                const QString& defaultSuffix) {
    // The static helper cannot set a default suffix, so the dialog is built here.
    QFileDialog dialog(parentWidget(), QStringLiteral("Sauver"), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    keepAboveTopmost(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace varonel::ui
