#include "ui/varonel/DesktopShortcuts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "core/shared/DesktopIdentity.h"
#include "core/shared/ExisteFichier.h"
#include "core/shared/ProgramLayout.h"

namespace varonel::ui {

namespace {

// A value of a desktop entry: backslashes and line breaks escaped.
QString escapeValue(QString text) {
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return text;
}

// One argument of the Exec key: quoted, with the characters that the quoting
// rules reserve escaped, and '%' doubled so that it is never a field code.
QString quoteExecArgument(QString argument) {
    QString quoted;
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool writeLauncher(const QString& path, const QString& text, QString* error) {
    QSaveFile file(path);
    // commit() does not see a failure of the last buffered bytes' flush.
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.flush() ||
        !file.commit()) {
        if (error) {
            *error = QStringLiteral("%1 : %2").arg(path, file.errorString());
        }
        return false;
    }
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    return true;
}

}  // namespace

QString desktopEntry(const QString& name, const QString& programFolder, const QString& program,
                     const QString& appId) {
    const QString folder = QDir(programFolder).absolutePath();
    const QString target = QDir(folder).filePath(program);
    const QString iconFile = QDir(folder).filePath(appId + QStringLiteral(".svg"));
    const QString icon = QFileInfo::exists(iconFile) ? iconFile : appId;
    // The launcher's text is made of escaped values; the Exec key's argument
    // is quoted first, then escaped like any value.
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Version=1.0\n"
               "Name=%1\n"
               "Exec=%2\n"
               "Path=%3\n"
               "Icon=%4\n"
               "Terminal=false\n"
               "Categories=AudioVideo;Audio;\n")
        .arg(escapeValue(name), escapeValue(quoteExecArgument(target)), escapeValue(folder),
             escapeValue(icon));
}

bool CreationRaccourcis(const QString& desktopFolder, const QString& programFolder,
                        QString* error) {
    if (!QDir().mkpath(desktopFolder)) {
        if (error) {
            *error = desktopFolder;
        }
        return false;
    }
    const QDir desktop(desktopFolder);
    if (!writeLauncher(desktop.filePath(QLatin1String(kVaronelLauncher)),
                       desktopEntry(QStringLiteral("Varonel 2.5"), programFolder,
                                    QStringLiteral("Varonel"), QLatin1String(core::kVaronelAppId)),
                       error)) {
        return false;
    }
    // The player's launcher only when the player is installed beside us.
    if (!core::ExisteFichier(QDir(programFolder).filePath(QStringLiteral("VaronelPlayer")))) {
        return true;
    }
    return writeLauncher(
        desktop.filePath(QLatin1String(kPlayerLauncher)),
        desktopEntry(QStringLiteral("VaronelPlayer 2.5"), programFolder,
                     QStringLiteral("VaronelPlayer"), QLatin1String(core::kPlayerAppId)),
        error);
}

bool CreationRaccourcis() {
    return CreationRaccourcis(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
                              core::programLayout().programFolder);
}

}  // namespace varonel::ui
