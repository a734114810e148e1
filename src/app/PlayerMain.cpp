// VaronelPlayer: the two-deck player.

#include <QApplication>

#include "DesktopIdentity.h"
#include "FrenchTranslations.h"
#include "PlayerStartup.h"
#include "QtDialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VaronelPlayer"));
    QApplication::setApplicationVersion(QStringLiteral(VARONEL_VERSION));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QGuiApplication::setDesktopFileName(QLatin1String(varonel::core::kPlayerAppId));

    varonel::ui::installFrenchTranslations(app);

    varonel::ui::QtDialogs dialogs;
    const std::unique_ptr<varonel::ui::PlayerWindow> window = varonel::ui::PlayerMain(dialogs);
    if (!window) {
        return 0;
    }
    QObject::connect(window.get(), &varonel::ui::PlayerWindow::programEnded, &app,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
