// VaronelPlayer: the two-deck player.

#include <QApplication>
#include <QTextStream>

#include "core/shared/DesktopIdentity.h"
#include "ui/player/PlayerStartup.h"
#include "ui/shared/FrenchTranslations.h"
#include "ui/shared/QtDialogs.h"
#include "ui/shared/SingleInstance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VaronelPlayer"));
    QApplication::setApplicationVersion(QStringLiteral(VARONEL_VERSION));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QGuiApplication::setDesktopFileName(QLatin1String(varonel::core::kPlayerAppId));

    // One copy per user: a second start brings the first one's window forward.
    varonel::ui::SingleInstance instance(QStringLiteral("VaronelPlayer"));
    if (!instance.isFirst()) {
        instance.askFirstToRaise();
        QTextStream(stderr)
            << "VaronelPlayer est déjà ouvert : sa fenêtre passe au premier plan.\n";
        return 0;
    }
    varonel::ui::installFrenchTranslations(app);

    varonel::ui::QtDialogs dialogs;
    const std::unique_ptr<varonel::ui::PlayerWindow> window = varonel::ui::PlayerMain(dialogs);
    if (!window) {
        return 0;
    }
    QObject::connect(window.get(), &varonel::ui::PlayerWindow::programEnded, &app,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    instance.raiseOnRequest(window.get());
    return app.exec();
}
