// Start-up of the automatic mixer: the first run installs the audio component
// and creates the desktop shortcuts, later runs go straight to the main window.
// Every user folder is redirected into a temporary directory.

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "BoxWatcher.h"
#include "MixerRig.h"
#include "ScriptedDialogs.h"
#include "ui/shared/FrenchTranslations.h"
#include "ui/shared/QtDialogs.h"
#include "ui/shared/SystemFolder.h"
#include "ui/varonel/DesktopShortcuts.h"
#include "ui/varonel/VaronelStartup.h"

using namespace varonel;

namespace {

// The value of `key` in the desktop entry at `path`; empty when it has none.
QString entryValue(const QString& path, const QString& key) {
    const QString text = QString::fromUtf8(filebytes::read(path));
    const QRegularExpression line('^' + key + "=(.*)$", QRegularExpression::MultilineOption);
    return line.match(text).captured(1);
}

}  // namespace

class VaronelStartupTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toUtf8());
    }

    // Qt's own buttons and the file dialog read in French.
    void qtTextsInFrench() {
        QVERIFY(ui::installFrenchTranslations(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 QStringLiteral("Annuler"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"),
                 QStringLiteral("Voir dans :"));
    }

    // The installer takes a plain file name only: nothing lands outside its folder.
    void installComposant() {
        for (const QString& name :
             {QString(), QStringLiteral("../Essai.composant"), QStringLiteral(".Essai")}) {
            QString error;
            QVERIFY2(!ui::installComposant(name, &error) && !error.isEmpty(), qPrintable(name));
            QVERIFY(!QFileInfo(ui::DossierSysteme() + name).exists() || name.isEmpty());
        }
        QString error;
        QVERIFY2(ui::installComposant("Essai.composant", &error), qPrintable(error));
        QVERIFY(QFileInfo(ui::DossierSysteme() + "Essai.composant").isFile());
    }

    // A program folder with spaces and the characters that desktop entries
    // reserve: '%' is doubled so it is no field code, '$' is escaped inside the
    // quotes, then the backslash as a value.
    void shortcuts() {
        QTemporaryDir desktop;
        const QString folder = m_home.filePath(QStringLiteral("Mes programmes/100% $son"));
        QVERIFY(QDir().mkpath(folder));
        const QString exec =
            "\"" + m_home.path() + QStringLiteral("/Mes programmes/100%% \\\\$son/");
        QVERIFY(filebytes::write(folder + "/VaronelPlayer", ""));
        const QString launcher = desktop.filePath("Varonel 2.5.desktop");
        QString error;
        QVERIFY2(ui::CreationRaccourcis(desktop.path(), folder, &error), qPrintable(error));
        QCOMPARE(entryValue(launcher, "Exec"), exec + "Varonel\"");
        QCOMPARE(entryValue(launcher, "Path"), folder);
        // No icon beside the programs: the one an install puts in the icon theme.
        QCOMPARE(entryValue(launcher, "Icon"), QStringLiteral("org.varonel.Varonel"));
        QCOMPARE(entryValue(desktop.filePath("VaronelPlayer 2.5.desktop"), "Exec"),
                 exec + "VaronelPlayer\"");

        // Each call writes the launchers again, whatever became of them; without
        // the player beside the mixer, only the mixer's.
        QVERIFY(QFile::resize(launcher, 0));
        QVERIFY(QFile::remove(desktop.filePath("VaronelPlayer 2.5.desktop")));
        QVERIFY(QFile::remove(folder + "/VaronelPlayer"));
        QVERIFY(ui::CreationRaccourcis(desktop.path(), folder));
        QCOMPARE(entryValue(launcher, "Name"), QStringLiteral("Varonel 2.5"));
        QVERIFY(!QFile::exists(desktop.filePath("VaronelPlayer 2.5.desktop")));
    }

    // "Création des raccourcis" from the menu starts the executables, not the
    // settings folder (here a temporary one, as for a read-only program folder),
    // and makes the player's launcher too.
    void menuLaunchersStartTheExecutables() {
        mixerrig::Rig rig;
        QVERIFY(rig.loaded);
        rig.trigger("mnulinks");
        const QString bin = QCoreApplication::applicationDirPath();
        const QString desktop = rig.folder.filePath("Bureau/");
        QCOMPARE(entryValue(desktop + "Varonel 2.5.desktop", "Exec"), '"' + bin + "/Varonel\"");
        QCOMPARE(entryValue(desktop + "VaronelPlayer 2.5.desktop", "Exec"),
                 '"' + bin + "/VaronelPlayer\"");
        QCOMPARE(entryValue(desktop + "VaronelPlayer 2.5.desktop", "Icon"),
                 bin + "/org.varonel.VaronelPlayer.svg");
        QVERIFY(rig.dialogs.shown.isEmpty());
    }

    // The first run tells the install with a box readable over the splash
    // (dark text on the box's light ground, not the splash's light text).
    void firstRunThenLaterRun() {
        QTemporaryDir program;
        QTemporaryDir desktop;
        QFile::remove(ui::cheminComposantAudio());
        ui::MainOptions options;
        options.cheminAppli = program.path();
        options.desktopFolder = desktop.path();
        options.installWaitMs = 100;
        const QString launcher = desktop.filePath("Varonel 2.5.desktop");
        {
            ui::QtDialogs boxes;
            const BoxWatcher watcher;
            const ui::VaronelProgram first = ui::Main(boxes, options);
            QVERIFY(first.f1 && first.f1->isVisible());
            QCOMPARE(watcher.seen.text, QStringLiteral("Installation de la librairie"));
            QVERIFY2(watcher.seen.contrast >= 128,
                     qPrintable(QString::number(watcher.seen.contrast)));
            QVERIFY(!first.f2->isVisible());  // the splash ends with the load
            QVERIFY(QFileInfo(launcher).isExecutable());
            QVERIFY(QFileInfo(desktop.filePath("VaronelPlayer 2.5.desktop")).isExecutable());
            // The installer, started from the program folder, puts the component in place.
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(ui::cheminComposantAudio()).isFile(), 10000);
            QVERIFY(first.f1->close());
        }

        // Later runs find the component: no message, shortcuts left alone.
        QVERIFY(QFile::remove(launcher));
        ScriptedDialogs dialogs;
        const ui::VaronelProgram later = ui::Main(dialogs, options);
        QVERIFY(dialogs.shown.isEmpty());
        QVERIFY(!QFile::exists(launcher));
        QVERIFY(later.f1->close());
    }
};

QTEST_MAIN(VaronelStartupTest)
#include "tst_varonelstartup.moc"
