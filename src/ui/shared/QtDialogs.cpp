#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

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

}  // namespace

QWidget* QtDialogs::parentWidget() const {
    return m_parent ? m_parent.data() : QApplication::activeWindow();
}

core::MessageAnswer QtDialogs::message(const core::Message& message) {
    QMessageBox box(parentWidget());
    box.setIcon(boxIcon(message.icon));
    box.setWindowTitle(message.title.isEmpty() ? QApplication::applicationName() : message.title);
    box.setText(message.text);
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
    return QFileDialog::getOpenFileName(parentWidget(), QStringLiteral("Ouvrir"), folder, filter);
}

QString QtDialogs::saveFileName(const QString& folder, const QString& filter,
                                const QString& defaultSuffix) {
    // The static helper cannot set a default suffix, so the dialog is built here.
    QFileDialog dialog(parentWidget(), QStringLiteral("Sauver"), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace varonel::ui
