#include "ui/shared/FrenchTranslations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace varonel::ui {

bool installFrenchTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace varonel::ui
