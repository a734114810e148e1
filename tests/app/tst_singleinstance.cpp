// One copy of each program per user: a second start asks the first to bring its
// window forward and ends, with or without a session bus; the command line of
// the offline render is not concerned.

#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "FileBytes.h"
#include "ui/shared/SingleInstance.h"

class SingleInstanceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QProcessEnvironment m_user = QProcessEnvironment::systemEnvironment();

    // Starts `program` as the test's user.
    void start(QProcess& process, const QString& program, const QStringList& arguments = {}) {
        process.setProcessEnvironment(m_user);
        process.start(program, arguments);
    }

private slots:
    // A user of their own: runtime, data and configuration folders in the
    // temporary home, the audio component already installed, no session bus.
    void initTestCase() {
        QVERIFY(m_home.isValid());
        m_user.insert("HOME", m_home.path());
        m_user.insert("XDG_RUNTIME_DIR", m_home.filePath("run"));
        m_user.insert("XDG_DATA_HOME", m_home.filePath("data"));
        m_user.insert("XDG_CONFIG_HOME", m_home.filePath("config"));
        m_user.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + m_home.filePath("no-bus"));
        QVERIFY(QDir(m_home.path()).mkpath("run"));
        QVERIFY(QFile::setPermissions(m_home.filePath("run"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QDir(m_home.path()).mkpath("data/Varonel/systeme"));
        QVERIFY(filebytes::write(m_home.filePath("data/Varonel/systeme/VaronelAudio.composant"),
                                 "installé\n"));
    }

    // Within one process: the second claim is not the first, and its request
    // brings the first one's minimised window back.
    void secondClaimRaisesTheFirstWindow() {
        QTemporaryDir run;
        varonel::ui::SingleInstance first("Essai", run.path());
        varonel::ui::SingleInstance second("Essai", run.path());
        QVERIFY(first.isFirst());
        QVERIFY(!second.isFirst());
        QWidget window;
        window.showMinimized();
        QVERIFY(window.isMinimized());
        first.raiseOnRequest(&window);
        QVERIFY(second.askFirstToRaise());
        QTRY_VERIFY(!window.isMinimized());
        // Another program's claim is its own.
        QVERIFY(varonel::ui::SingleInstance("Autre", run.path()).isFirst());
    }

    void secondStartEnds_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("Varonel") << QStringLiteral(VARONEL_EXECUTABLE);
        QTest::newRow("VaronelPlayer") << QStringLiteral(PLAYER_EXECUTABLE);
    }

    void secondStartEnds() {
        QFETCH(QString, program);
        // The first copy's claim: a socket named after the program.
        const QString socket = "varonel-" + QFileInfo(program).fileName() + ".socket";
        QProcess first;
        start(first, program);
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_home.filePath("run/" + socket)), 20000);

        QProcess second;
        start(second, program);
        QVERIFY2(second.waitForFinished(15000), "the second copy did not end");
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardError().contains("déjà ouvert"));
        QCOMPARE(first.state(), QProcess::Running);

        // The command line of the offline render runs beside the window; its
        // help tells every option.
        if (program.endsWith("/Varonel")) {
            QProcess help;
            start(help, program, {"--help"});
            QVERIFY(help.waitForFinished(15000));
            QCOMPARE(help.exitCode(), 0);
            const QByteArray text = help.readAllStandardOutput();
            for (const char* word :
                 {"--render", "--output", "--exit-point", "--smart-mix", "--no-smart-mix", "--log",
                  "--no-trim", "--loudness", "--request", "--hours", "--no-output"}) {
                QVERIFY2(text.contains(word), word);
            }
        }
        first.kill();
        QVERIFY(first.waitForFinished());
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
