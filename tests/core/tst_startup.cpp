// Start-up pieces: the settings and options files (the request's rules
// included) and where they live.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "core/request/RequestRules.h"
#include "core/shared/AppPaths.h"
#include "core/shared/OutputSettings.h"
#include "core/shared/ProgramLayout.h"
#include "core/shared/ProgramOptions.h"

using namespace varonel::core;

Q_DECLARE_METATYPE(RequestRules)

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void settingsFileChoosesOutputs_data() {
        QTest::addColumn<QByteArray>("bytes");  // a null array: no file
        QTest::addColumn<int>("listCount");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("alert");

        // A plain good line and a position beyond the lists are read through
        // the main window's own settings test.
        QTest::newRow("numbers on two lines") << QByteArray("3\r\n1\r\n") << 4 << 3 << 1 << false;
        QTest::newRow("1,2 with two entries") << QByteArray("1,2\r\n") << 2 << 0 << 0 << true;
        QTest::newRow("nothing selected") << QByteArray("-1,-1\r\n") << 2 << 0 << 0 << true;
        QTest::newRow("no file") << QByteArray() << 3 << 0 << 0 << false;
        // A hidden file is taken for no file at all.
        QTest::newRow(".hidden") << QByteArray("3\r\n1\r\n") << 4 << 0 << 0 << false;
        QTest::newRow("garbage") << QByteArray("\x01\x02zz") << 3 << 0 << 0 << true;
        // The devices' names, on the second line, win over the positions...
        QTest::newRow("name beyond the old count")
            << QByteArray("5,1\r\nE3\tE1\r\n") << 4 << 3 << 1 << false;
        // ...when the lists hold them; otherwise the positions serve as before.
        QTest::newRow("name gone") << QByteArray("1,2\r\nGone\tE1\r\n") << 4 << 1 << 1 << false;
        QTest::newRow("name gone, position too")
            << QByteArray("3,1\r\nGone\t\r\n") << 2 << 0 << 0 << true;
    }

    void settingsFileChoosesOutputs() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, listCount);
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(bool, alert);

        const QString path = m_dir.filePath(QTest::currentDataTag() + QString(".Ini"));
        if (!bytes.isNull()) {
            QVERIFY(filebytes::write(path, bytes));
        }
        QStringList entries;
        for (int i = 0; i < listCount; ++i) {
            entries.append(QStringLiteral("E%1").arg(i));
        }
        const OutputSelection selection = chooseOutputs(readOutputSettings(path), entries, entries);
        QCOMPARE(selection, (OutputSelection{first, second, alert, alert}));
    }

    // The options file: the output buffer and the request's separation rules,
    // a default for what is missing or wrong; only a missing file or section
    // is written, with the defaults, for the operator to find.
    void optionsFile_data() {
        QTest::addColumn<QByteArray>("bytes");  // a null array: no file
        QTest::addColumn<int>("tamponMs");
        QTest::addColumn<RequestRules>("rules");

        const int byDefault = ProgramOptions().tamponMs;
        QTest::newRow("no file") << QByteArray() << byDefault << RequestRules{};
        QTest::newRow("set") << QByteArray(
                                    "[Sorties]\r\nTamponMs=400\r\n[requette]\r\n"
                                    "artiste_pistes=5\r\nartiste_minutes=0\r\n"
                                    "titre_heures=12\r\n")
                             << 400 << RequestRules{5, 0, 12};
        QTest::newRow("out of range") << QByteArray(
                                             "[Sorties]\nTamponMs=5\n[requette]\n"
                                             "artiste_pistes=beaucoup\nartiste_minutes=-4\n")
                                      << byDefault << RequestRules{};
        QTest::newRow("other keys only")
            << QByteArray("[Autre]\nCle=1\n") << byDefault << RequestRules{};
    }
    void optionsFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, tamponMs);
        QFETCH(RequestRules, rules);

        const QString path = m_dir.filePath(QTest::currentDataTag() + QString(".conf"));
        if (!bytes.isNull()) {
            QVERIFY(filebytes::write(path, bytes));
        }
        QCOMPARE(readProgramOptions(path).tamponMs, tamponMs);
        QVERIFY(createProgramOptionsIfMissing(path));
        const QByteArray written = filebytes::read(path);
        QVERIFY2(bytes.isNull() ? written.contains("[Sorties]") && written.contains("TamponMs=250")
                                : written == bytes,
                 written);
        QCOMPARE(RequestRules::load(path), rules);
        QVERIFY(filebytes::read(path).contains("artiste_pistes="));
    }

    // The first line is what older versions wrote and read, the names follow,
    // and a name that would break its line is left out. On a full disk the
    // options file is not made, and says so, and nothing is left behind (the
    // settings file kept whole is the player window's test).
    void settingsAndOptionsWrites() {
        const QString ini = m_dir.filePath("Plein.Ini");
        QVERIFY(writeOutputSettings(ini, {-1, 0}, "Deux\nlignes", "Défaut"));
        QCOMPARE(filebytes::read(ini), QByteArray("-1,0\r\n\tD\xc3\xa9"
                                                  "faut\r\n"));
        QString confError;
        {
            const FileSizeLimit limit(4);
            QVERIFY(!createProgramOptionsIfMissing(m_dir.filePath("Plein.conf"), &confError));
        }
        QVERIFY(!confError.isEmpty());
        QCOMPARE(QDir(m_dir.path()).entryList({"Plein*"}, QDir::Files | QDir::Hidden),
                 QStringList{"Plein.Ini"});
    }

    // The program's folder when files can be made there, else the user's data
    // folder; the probe leaves nothing behind.
    void cheminAppliFallsBackToUserData() {
        const QString data = "/home/u/.local/share/Varonel";
        QCOMPARE(CheminAppli(m_dir.path(), canCreateFilesIn, data), m_dir.path() + "/");
        QCOMPARE(CheminAppli(m_dir.filePath("absent"), canCreateFilesIn, data), data + "/");
        QCOMPARE(CheminAppli(
                     "", [](const QString&) { return true; }, data),
                 data + "/");
        QCOMPARE(QDir(m_dir.path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                     .filter("probe"),
                 QStringList{});
    }

    // The helper beside the programs is a portable folder, even inside a tree
    // that looks installed; only the helper where an install puts it makes one.
    void programLayout_data() {
        QTest::addColumn<QStringList>("helpers");  // relative to the tree's root
        QTest::addColumn<QString>("helperFolder");
        QTest::addColumn<bool>("installed");
        QTest::newRow("build folder") << QStringList{"bin/varonel-installer"} << "bin/" << false;
        QTest::newRow("system install")
            << QStringList{"libexec/varonel/varonel-installer"} << "libexec/varonel/" << true;
        QTest::newRow("copied beside an install")
            << QStringList{"bin/varonel-installer", "libexec/varonel/varonel-installer"} << "bin/"
            << false;
        QTest::newRow("no helper") << QStringList{} << "bin/" << false;
        QTest::newRow("a folder of the helper's name")
            << QStringList{"libexec/varonel/varonel-installer/"} << "bin/" << false;
    }

    void programLayout() {
        QFETCH(QStringList, helpers);
        QFETCH(QString, helperFolder);
        QFETCH(bool, installed);
        QTemporaryDir tree;
        QVERIFY(filebytes::writeTree(tree.path(), QStringList{"bin/"} + helpers, "#!/bin/sh\n"));
        const ProgramLayout layout = varonel::core::programLayout(tree.filePath("bin"));
        QCOMPARE(layout.programFolder, tree.filePath("bin/"));
        QCOMPARE(layout.helperFolder, tree.filePath(helperFolder));
        QCOMPARE(layout.installed, installed);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
