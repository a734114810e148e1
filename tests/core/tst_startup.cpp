// Start-up pieces: the settings files, where they live, file lookup and the
// sound output lists.
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include "AppPaths.h"
#include "DeviceList.h"
#include "ExisteFichier.h"
#include "OutputSettings.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace varonel::core;

Q_DECLARE_METATYPE(OutputSettingsRead::State)

using DeviceNames = QHash<int, QString>;

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void parseOutputChoice_data();
    void parseOutputChoice();
    void chooseOutputs_data();
    void chooseOutputs();
    void settingsRoundTrip();
    void settingsFileStates_data();
    void settingsFileStates();
    void removesReadOnlySettingsFile();
    void cheminAppli_data();
    void cheminAppli();
    void filesLiveInCheminAppli();
    void probeFindsWritableFolders();
    void existeFichier_data();
    void existeFichier();
    void unreadableFileDoesNotExist();
    void deviceEntries_data();
    void deviceEntries();

private:
    QTemporaryDir m_dir;
};

void StartupTest::parseOutputChoice_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");

    QTest::newRow("as written") << "3,1\r\n" << true << 3 << 1;
    QTest::newRow("no line end") << "0,2" << true << 0 << 2;
    QTest::newRow("line end separates") << "3\r\n1\r\n" << true << 3 << 1;
    QTest::newRow("LF separates") << "3\n1" << true << 3 << 1;
    QTest::newRow("spaces around") << " 2 , 1 \r\n" << true << 2 << 1;
    QTest::newRow("nothing selected") << "-1,-1\r\n" << true << -1 << -1;
    QTest::newRow("rest ignored") << "3,1,7\r\n" << true << 3 << 1;
    QTest::newRow("16-bit limits") << "-32768,32767" << true << -32768 << 32767;
    QTest::newRow("empty") << "" << false << 0 << 0;
    QTest::newRow("one number") << "3\r\n" << false << 0 << 0;
    QTest::newRow("words") << "a,b\r\n" << false << 0 << 0;
    QTest::newRow("beyond 16 bits") << "40000,1\r\n" << false << 0 << 0;
    QTest::newRow("semicolon") << "3;1\r\n" << false << 0 << 0;
    QTest::newRow("decimal") << "1.5,1\r\n" << false << 0 << 0;
}

void StartupTest::parseOutputChoice() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, first);
    QFETCH(int, second);

    const std::optional<OutputChoice> choice = varonel::core::parseOutputChoice(text);
    QCOMPARE(choice.has_value(), valid);
    if (valid) {
        QCOMPARE(choice->first, first);
        QCOMPARE(choice->second, second);
    }
}

void StartupTest::chooseOutputs_data() {
    QTest::addColumn<OutputSettingsRead::State>("state");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("listCount");
    QTest::addColumn<int>("selectFirst");
    QTest::addColumn<int>("selectSecond");
    QTest::addColumn<bool>("alert");

    using S = OutputSettingsRead::State;
    QTest::newRow("no file") << S::Missing << 0 << 0 << 3 << 0 << 0 << false;
    QTest::newRow("entries the lists have") << S::Valid << 2 << 1 << 3 << 2 << 1 << false;
    QTest::newRow("3,1 with two entries") << S::Valid << 3 << 1 << 2 << 0 << 0 << true;
    QTest::newRow("second entry missing") << S::Valid << 1 << 2 << 2 << 0 << 0 << true;
    QTest::newRow("nothing selected") << S::Valid << -1 << 0 << 2 << 0 << 0 << true;
    QTest::newRow("last entry of a full list") << S::Valid << 11 << 11 << 12 << 11 << 11 << false;
    QTest::newRow("unreadable file") << S::Unusable << 1 << 1 << 3 << 0 << 0 << true;
}

void StartupTest::chooseOutputs() {
    QFETCH(OutputSettingsRead::State, state);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, listCount);
    QFETCH(int, selectFirst);
    QFETCH(int, selectSecond);
    QFETCH(bool, alert);

    const OutputSettingsRead read{state, {int16_t(first), int16_t(second)}};
    const OutputSelection selection = varonel::core::chooseOutputs(read, listCount, listCount);
    QCOMPARE(selection.first, selectFirst);
    QCOMPARE(selection.second, selectSecond);
    QCOMPARE(selection.showMessage, alert);
    QCOMPARE(selection.deleteFile, alert);
}

void StartupTest::settingsRoundTrip() {
    const QString path = m_dir.filePath("Varonel.Ini");
    QVERIFY(writeOutputSettings(path, {3, 1}));
    QCOMPARE(readBytes(path), QByteArray("3,1\r\n"));
    const OutputSettingsRead read = readOutputSettings(path);
    QCOMPARE(read.state, OutputSettingsRead::State::Valid);
    QCOMPARE(read.choice, (OutputChoice{3, 1}));

    // Overwriting replaces the line rather than appending to it.
    QVERIFY(writeOutputSettings(path, {-1, 0}));
    QCOMPARE(readBytes(path), QByteArray("-1,0\r\n"));
}

void StartupTest::settingsFileStates_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<OutputSettingsRead::State>("state");

    using S = OutputSettingsRead::State;
    QTest::newRow("no file") << "absent.Ini" << QByteArray() << S::Missing;
    QTest::newRow("garbage") << "garbage.Ini" << QByteArray("\x01\x02zz") << S::Unusable;
    QTest::newRow("empty") << "empty.Ini" << QByteArray("") << S::Unusable;
    QTest::newRow("hidden file is not found")
        << ".hidden.Ini" << QByteArray("1,1\r\n") << S::Missing;
}

void StartupTest::settingsFileStates() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(OutputSettingsRead::State, state);

    const QString path = m_dir.filePath(fileName);
    if (state != OutputSettingsRead::State::Missing || fileName.startsWith('.')) {
        QVERIFY(writeBytes(path, bytes));
    }
    QCOMPARE(readOutputSettings(path).state, state);
}

void StartupTest::removesReadOnlySettingsFile() {
    const QString path = m_dir.filePath("PlayerAB.Ini");
    QVERIFY(writeOutputSettings(path, {1, 2}));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    QVERIFY(removeOutputSettings(path));
    QVERIFY(!QFile::exists(path));
    QVERIFY(removeOutputSettings(path));  // already gone is fine
}

void StartupTest::cheminAppli_data() {
    QTest::addColumn<QString>("exeFolder");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("expected");

    QTest::newRow("portable install") << "/opt/varonel" << true << "/opt/varonel/";
    QTest::newRow("already ends with separator") << "/opt/varonel/" << true << "/opt/varonel/";
    QTest::newRow("root folder") << "/" << true << "/";
    QTest::newRow("system install") << "/usr/bin" << false << "/home/u/.local/share/Varonel/";
    QTest::newRow("unknown program folder") << "" << true << "/home/u/.local/share/Varonel/";
}

void StartupTest::cheminAppli() {
    QFETCH(QString, exeFolder);
    QFETCH(bool, writable);
    QFETCH(QString, expected);

    QStringList probed;
    const FolderWritableProbe probe = [&](const QString& folder) {
        probed.append(folder);
        return writable;
    };
    QCOMPARE(CheminAppli(exeFolder, probe, "/home/u/.local/share/Varonel"), expected);
    QVERIFY(probed.isEmpty() || probed == QStringList{exeFolder});
}

void StartupTest::filesLiveInCheminAppli() {
    const QString folder = CheminAppli(m_dir.path(), canCreateFilesIn, "/nowhere");
    QCOMPARE(folder, m_dir.path() + "/");
    QCOMPARE(FichierIni(folder), m_dir.path() + "/Varonel.Ini");
    QCOMPARE(FichierIniPlayer(folder), m_dir.path() + "/PlayerAB.Ini");
    QCOMPARE(FichierCatalogue(folder), m_dir.path() + "/Catalogue.txt");
    // The probe leaves nothing behind in the program folder.
    QCOMPARE(QDir(m_dir.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                 .filter("probe"),
             QStringList{});
}

void StartupTest::probeFindsWritableFolders() {
    QVERIFY(canCreateFilesIn(m_dir.path()));
    QVERIFY(!canCreateFilesIn(m_dir.filePath("does/not/exist")));
}

void StartupTest::existeFichier_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("exists");

    QVERIFY(writeBytes(m_dir.filePath("piste.mp3"), "x"));
    QVERIFY(writeBytes(m_dir.filePath(".cachee.mp3"), "x"));
    QVERIFY(QDir(m_dir.path()).mkpath("dossier"));

    QTest::newRow("ordinary file") << m_dir.filePath("piste.mp3") << true;
    QTest::newRow("spaces around") << "  " + m_dir.filePath("piste.mp3") + "  " << true;
    QTest::newRow("hidden file") << m_dir.filePath(".cachee.mp3") << false;
    QTest::newRow("folder") << m_dir.filePath("dossier") << false;
    QTest::newRow("missing") << m_dir.filePath("absent.mp3") << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blank") << "   " << false;
}

void StartupTest::existeFichier() {
    QFETCH(QString, path);
    QFETCH(bool, exists);
    QCOMPARE(ExisteFichier(path), exists);
}

void StartupTest::unreadableFileDoesNotExist() {
#ifdef Q_OS_UNIX
    if (geteuid() == 0) {
        QSKIP("The superuser reads every file");
    }
#endif
    const QString path = m_dir.filePath("secret.mp3");
    QVERIFY(writeBytes(path, "x"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    QVERIFY(!ExisteFichier(path));
}

void StartupTest::deviceEntries_data() {
    QTest::addColumn<DeviceNames>("names");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("no device names at all") << DeviceNames{} << QStringList{""};
    QTest::newRow("default only") << DeviceNames{{-1, "Sortie par défaut"}}
                                  << QStringList{"Sortie par défaut"};
    QTest::newRow("trimmed, empty names skipped")
        << DeviceNames{{-1, " Défaut "}, {0, "  Carte A  "}, {1, "   "}, {2, "Carte B"}}
        << QStringList{" Défaut ", "Carte A", "Carte B"};
    QTest::newRow("indices above 10 never listed")
        << DeviceNames{{-1, "D"}, {10, "Dix"}, {11, "Onze"}} << QStringList{"D", "Dix"};

    DeviceNames full;
    for (int i = -1; i <= 20; ++i) {
        full.insert(i, QString::number(i));
    }
    QStringList twelve;
    for (int i = -1; i <= 10; ++i) {
        twelve.append(QString::number(i));
    }
    QTest::newRow("at most 12 entries") << full << twelve;
}

void StartupTest::deviceEntries() {
    QFETCH(DeviceNames, names);
    QFETCH(QStringList, entries);

    QList<int> asked;
    const QStringList built = buildDeviceEntries([&](int index) {
        asked.append(index);
        return names.value(index);
    });
    QCOMPARE(built, entries);
    QCOMPARE(asked.first(), -1);
    QCOMPARE(asked.last(), 10);
}

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
