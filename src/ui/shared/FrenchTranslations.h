#pragma once
// Qt's own texts (the file dialog's buttons and labels, the message boxes'
// buttons) in French, like everything else the operator reads.

#include <QCoreApplication>

namespace varonel::ui {

// Installs Qt's French translations into the application; false when they are
// not on this system (the texts then stay in Qt's English).
bool installFrenchTranslations(QCoreApplication& app);

}  // namespace varonel::ui
