// Start-up of the automatic mixer: the first run installs the audio component
// and creates the desktop shortcuts, later runs go straight to the main window.
// Every user folder is redirected into a temporary directory.

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "DesktopShortcuts.h"
#include "ScriptedDialogs.h"
#include "SystemFolder.h"
#include "VaronelStartup.h"

using namespace varonel;

namespace {

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                          : QStringLiteral("<missing>");
}

// The value of `key` in a desktop entry's text.
QString entryValue(const QString& text, const QString& key) {
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char('='))) {
            return line.mid(key.size() + 1);
        }
    }
    return QStringLiteral("<none>");
}

}  // namespace

class VaronelStartupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void dossierSysteme();
    void installComposant_data();
    void installComposant();
    void desktopEntry_data();
    void desktopEntry();
    void shortcutsAreRewritten();
    void firstRunThenLaterRun();

private:
    QTemporaryDir m_home;
};

void VaronelStartupTest::initTestCase() {
    QVERIFY(m_home.isValid());
    qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
}

void VaronelStartupTest::dossierSysteme() {
    const QString folder = ui::DossierSysteme();
    QCOMPARE(folder, m_home.filePath(QStringLiteral("data/Varonel/systeme/")));
    QCOMPARE(ui::cheminComposantAudio(), folder + QStringLiteral("VaronelAudio.composant"));
}

void VaronelStartupTest::installComposant_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("installed");
    QTest::newRow("plain name") << "Essai.composant" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("parent folder") << "../Essai.composant" << false;
    QTest::newRow("sub folder") << "sous/Essai.composant" << false;
    QTest::newRow("hidden") << ".Essai" << false;
}

void VaronelStartupTest::installComposant() {
    QFETCH(QString, name);
    QFETCH(bool, installed);
    QString error;
    QCOMPARE(ui::installComposant(name, &error), installed);
    QCOMPARE(error.isEmpty(), installed);
    if (installed) {
        QVERIFY(QFileInfo(ui::DossierSysteme() + name).isFile());
        QFile::remove(ui::DossierSysteme() + name);
    } else {
        // Nothing was written outside the folder either.
        QVERIFY(!QFile::exists(m_home.filePath(QStringLiteral("data/Varonel/Essai.composant"))));
    }
}

void VaronelStartupTest::desktopEntry_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << "/opt/varonel"
                           << "\"/opt/varonel/Varonel\"";
    // Spaces are kept inside the quotes; '%' is doubled so it is no field
    // code; '$' is escaped inside the quotes, then the backslash as a value.
    QTest::newRow("spaces and specials") << "/home/dj/Mes programmes/100% $son"
                                         << "\"/home/dj/Mes programmes/100%% \\\\$son/Varonel\"";
}

void VaronelStartupTest::desktopEntry() {
    QFETCH(QString, folder);
    QFETCH(QString, exec);
    const QString text =
        ui::desktopEntry(QStringLiteral("Varonel 2.5"), folder, QStringLiteral("Varonel"));
    QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    QCOMPARE(entryValue(text, QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entryValue(text, QStringLiteral("Name")), QStringLiteral("Varonel 2.5"));
    QCOMPARE(entryValue(text, QStringLiteral("Exec")), exec);
    QCOMPARE(entryValue(text, QStringLiteral("Path")), folder);
    QVERIFY(entryValue(text, QStringLiteral("Icon")) != QStringLiteral("<none>"));
}

void VaronelStartupTest::shortcutsAreRewritten() {
    QTemporaryDir desktop;
    const QString launcher = desktop.filePath(QStringLiteral("Varonel 2.5.desktop"));
    const QString player = desktop.filePath(QStringLiteral("VaronelPlayer 2.5.desktop"));
    QString error;
    QVERIFY2(ui::CreationRaccourcis(desktop.path(), QStringLiteral("/opt/varonel"), &error),
             qPrintable(error));
    for (const QString& path : {launcher, player}) {
        QVERIFY(QFileInfo(path).isFile());
        QVERIFY(QFileInfo(path).isExecutable());
    }
    QCOMPARE(entryValue(readText(player), QStringLiteral("Exec")),
             QStringLiteral("\"/opt/varonel/VaronelPlayer\""));
    QCOMPARE(entryValue(readText(launcher), QStringLiteral("Path")),
             QStringLiteral("/opt/varonel"));

    // Each call writes them again, whatever became of them.
    QFile spoiled(launcher);
    QVERIFY(spoiled.open(QIODevice::WriteOnly | QIODevice::Truncate));
    spoiled.write("spoiled");
    spoiled.close();
    QVERIFY(ui::CreationRaccourcis(desktop.path(), QStringLiteral("/opt/varonel")));
    QCOMPARE(entryValue(readText(launcher), QStringLiteral("Name")), QStringLiteral("Varonel 2.5"));
}

void VaronelStartupTest::firstRunThenLaterRun() {
    QTemporaryDir program;
    QTemporaryDir desktop;
    QFile::remove(ui::cheminComposantAudio());
    ui::MainOptions options;
    options.cheminAppli = program.path();
    options.desktopFolder = desktop.path();
    options.installWaitMs = 100;
    const QString launcher = desktop.filePath(QStringLiteral("Varonel 2.5.desktop"));

    {
        ScriptedDialogs dialogs;
        const ui::VaronelProgram first = ui::Main(dialogs, options);
        QVERIFY(first.f1);
        QCOMPARE(dialogs.texts(), QStringList{"Installation de la librairie"});
        QCOMPARE(dialogs.shown[0].icon, core::MessageIcon::Information);
        QVERIFY(first.f1->isVisible());
        QVERIFY(!first.f2->isVisible());  // the splash ends with the load
        QVERIFY(QFileInfo(launcher).isExecutable());
        QVERIFY(QFileInfo(desktop.filePath(QStringLiteral("VaronelPlayer 2.5.desktop"))).isFile());
        // The installer, started from the program folder, puts the component in place.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(ui::cheminComposantAudio()).isFile(), 10000);
        QVERIFY(first.f1->close());
    }
    QVERIFY(QFile::exists(program.filePath(QStringLiteral("Varonel.Ini"))));

    // Later runs find the component: no message, shortcuts left alone.
    QVERIFY(QFile::remove(launcher));
    ScriptedDialogs dialogs;
    const ui::VaronelProgram later = ui::Main(dialogs, options);
    QVERIFY(later.f1);
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(!QFile::exists(launcher));
    QVERIFY(later.f1->close());
}

QTEST_MAIN(VaronelStartupTest)
#include "tst_varonelstartup.moc"
