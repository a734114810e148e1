// varonel-installer: installs the suite's audio component for the current
// user. The programs start it on their first run:
//     varonel-installer VaronelAudio.composant

#include <QCoreApplication>
#include <QTextStream>

#include "ui/shared/SystemFolder.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VARONEL_VERSION));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: varonel-installer <composant>\n";
        return 2;
    }
    QString error;
    if (!varonel::ui::installComposant(args.at(1), &error)) {
        QTextStream(stderr) << "varonel-installer: " << error << '\n';
        return 1;
    }
    return 0;
}
