// Varonel: the automatic mixer.

#include <QApplication>
#include <QTextStream>

#include "core/render/MixRender.h"
#include "core/shared/AppPaths.h"
#include "core/shared/DesktopIdentity.h"
#include "ui/shared/FrenchTranslations.h"
#include "ui/shared/QtDialogs.h"
#include "ui/shared/SingleInstance.h"
#include "ui/varonel/VaronelStartup.h"

namespace {

// The program starts its window without arguments; with any, it is the command
// line (the offline render, the help), which needs no display.
int runCommandLine(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains("--help") || arguments.contains("-h")) {
        out << varonel::core::renderHelpText();
        return varonel::core::kRenderOk;
    }
    QString error;
    const auto options = varonel::core::parseRenderOptions(arguments, &error);
    if (!options) {
        err << error << " (voir Varonel --help)\n";
        return varonel::core::kRenderFailed;
    }
    varonel::core::RenderOptions render = *options;
    render.trackCacheFile = varonel::core::FichierCachePistes(varonel::core::CheminAppli());
    return varonel::core::renderMix(render, out, err);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        return runCommandLine(argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varonel"));
    QApplication::setApplicationVersion(QStringLiteral(VARONEL_VERSION));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QGuiApplication::setDesktopFileName(QLatin1String(varonel::core::kVaronelAppId));

    // One copy per user: a second start brings the first one's window forward.
    varonel::ui::SingleInstance instance(QStringLiteral("Varonel"));
    if (!instance.isFirst()) {
        instance.askFirstToRaise();
        QTextStream(stderr) << "Varonel est déjà ouvert : sa fenêtre passe au premier plan.\n";
        return 0;
    }
    varonel::ui::installFrenchTranslations(app);

    varonel::ui::QtDialogs dialogs;
    const varonel::ui::VaronelProgram program = varonel::ui::Main(dialogs);
    if (!program.f1) {
        return 0;
    }
    QObject::connect(program.f1.get(), &varonel::ui::MainWindow::programEnded, &app,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    instance.raiseOnRequest(program.f1.get());
    return app.exec();
}
