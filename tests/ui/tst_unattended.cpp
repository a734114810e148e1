// Varonel left alone on air, through its window: dead air is chained and
// told, and a broadcast killed mid-air comes back: a first session plays and
// is killed, then a second session in its folder brings back the playlist
// exactly and resumes as the operator answers. A damaged state file
// and a clean close leave nothing to resume.

#include <QtTest>
#include <QtWidgets>

#include "AsRunLines.h"
#include "MixerRig.h"
#include "TestTracks.h"
#include "core/automix/AsRunLog.h"
#include "core/automix/ResumeJournal.h"
#include "core/automix/ResumeState.h"
#include "ui/shared/StatusLineView.h"

using namespace mixerrig;

namespace {

// Where the first session is killed: this far into its second track.
constexpr int32_t kKillAtMs = 12000;

QString statusHistory(const Rig& rig) {
    QStringList texts;
    for (const core::StatusLine::Entry& entry : rig.window->statusLine().history()) {
        texts.append(entry.text);
    }
    return texts.join('\n');
}

struct Killed {
    QList<Row> rows;
    QString onAir;
    int32_t positionMs = -1;
};

// The first session: plays `pls` with the request switch on and the smart mix
// off, and is killed once its second track is kKillAtMs in. A kill leaves the
// folder as its files were at that moment and nothing the program would have
// done after: those files are kept at that moment and put back once the
// window is gone. Virtual time brings it there in a few milliseconds, where
// the air would take seconds: its journal is given the time it would have had.
Killed killMidAir(const QString& folder, const QString& pls) {
    Killed killed;
    QMap<QString, QByteArray> files;
    {
        Rig rig(1024, nullptr, QByteArray(), nullptr, nullptr, folder);
        rig.window->offerResume();
        rig.dialogs.fileNames = {pls};
        rig.trigger("MnuOuvrir");
        rig.click("CheckAutoMix");
        rig.click("P1");
        rig.click("CmdPlay");
        const core::Transport& transport = rig.window->transport();
        const QString second = rig.window->playlist().row(1).path;
        rig.driver->advanceUntil(
            [&] {
                return transport.onAirRow().path == second &&
                       transport.onAirPositionMs() >= kKillAtMs;
            },
            120000);
        rig.window->resumeJournal()->flush();
        killed = {rig.window->playlist().rows(), transport.onAirRow().path,
                  transport.onAirPositionMs()};
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
            files.insert(file.fileName(), filebytes::read(file.filePath()));
        }
    }
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        filebytes::write(folder + '/' + it.key(), it.value());
    }
    return killed;
}

}  // namespace

Q_DECLARE_METATYPE(varonel::core::MessageAnswer)

class UnattendedTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_tracks{QDir::tempPath() + QStringLiteral("/varonelalone_XXXXXX")};
    QString m_pls;

    QString track(const QString& name) const { return m_tracks.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(m_tracks.isValid());
        QStringList paths;
        for (const char* name : {"Alpha - Un.wav", "Beta - Deux.wav", "Gamma - Trois.wav",
                                 "Delta - Quatre.wav", "Epsilon - Cinq.wav"}) {
            paths.append(testtracks::write(track(name), {30.0, 0.5f}));
        }
        m_pls = track("session.pls");
        QVERIFY(filebytes::write(m_pls, (paths.join("\r\n") + "\r\n").toUtf8()));
        testtracks::write(track("Muet - Silence.wav"), {30.0, 0.0f});
    }

    // Killed on air, then started again: the playlist and the switches come
    // back before anything is asked; one question, and the broadcast resumes
    // as answered, within 5 s of where it was; the as-run log has the line
    // that the kill lost.
    void killedOnAirComesBack_data() {
        QTest::addColumn<core::MessageAnswer>("answer");
        QTest::addColumn<int>("onAirRow");  // -1: the track killed on air; -2: none
        QTest::newRow("the track killed on air") << core::MessageAnswer::Yes << -1;
        QTest::newRow("the next one") << core::MessageAnswer::No << 0;
        QTest::newRow("no resume") << core::MessageAnswer::Cancel << -2;
    }
    void killedOnAirComesBack() {
        QFETCH(core::MessageAnswer, answer);
        QFETCH(int, onAirRow);
        QTemporaryDir folder;
        const Killed killed = killMidAir(folder.path(), m_pls);
        QCOMPARE(killed.rows.size(), 3);

        Rig rig(1024, nullptr, QByteArray(), nullptr, nullptr, folder.path());
        QCOMPARE(rig.window->playlist().rows(), killed.rows);
        QVERIFY(rig.window->transport().RequetteAuto());
        QVERIFY(!rig.window->transport().MixIntelligent());
        QVERIFY(!rig.find<QCheckBox>("CheckAutoMix")->isChecked());
        QVERIFY(rig.dialogs.shown.isEmpty());

        rig.dialogs.answers = {answer};
        rig.window->offerResume();
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QVERIFY(rig.dialogs.shown[0].text.contains("« Beta - Deux »"));
        rig.driver->advanceMs(100);
        const core::Transport& transport = rig.window->transport();
        // What is on air, and the rows left under it.
        const QString onAir = onAirRow == -1  ? killed.onAir
                              : onAirRow == 0 ? killed.rows[0].path
                                              : QString();
        QCOMPARE(transport.EnDiffusion() ? transport.onAirRow().path : QString(), onAir);
        QCOMPARE(rig.window->playlist().rows(), killed.rows.mid(onAirRow == 0 ? 1 : 0));
        if (onAirRow == -1) {
            const int32_t resumed = transport.onAirPositionMs();
            QVERIFY2(std::abs(resumed - killed.positionMs) <= 5000,
                     qPrintable(QString("%1 / %2").arg(resumed).arg(killed.positionMs)));
        }
        QVERIFY(rig.mirrorsModel());
        rig.window->asRunLog()->flush();
        const QStringList interrupted =
            asrunlines::read(rig.programFolder).filter("\t" + core::AsRunLog::howInterrupted());
        QCOMPARE(interrupted.size(), 1);
        QVERIFY(interrupted[0].contains("\tBeta - Deux\t" + killed.onAir + "\t"));

        // Off air, a clean close removes the state file, and the next session
        // starts empty, as the program always did.
        if (onAirRow == -2) {
            QVERIFY(rig.window->close());
            QVERIFY(!QFile::exists(rig.window->fichierReprise()));
            Rig next(1024, nullptr, QByteArray(), nullptr, nullptr, folder.path());
            next.window->offerResume();
            QCOMPARE(next.window->playlist().count(), 0);
            QVERIFY(next.dialogs.shown.isEmpty());
        }
    }

    // A state file that cannot be trusted brings nothing back and asks
    // nothing; it is set aside and the operator told.
    void damagedStateFile_data() {
        core::ResumeState state;
        state.onAir = true;
        state.track = {"Alpha", "Un", "00:30", track("Alpha - Un.wav"), "30000"};
        state.positionMs = 4000;
        state.rows = {{"Beta", "Deux", "00:30", track("Beta - Deux.wav"), "30000"}};
        const QByteArray whole = core::encodeResumeState(state);
        QByteArray changed = whole;
        changed[changed.indexOf("Deux")] = 'd';
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("cut short") << whole.left(whole.size() / 2);
        QTest::newRow("a byte changed") << changed;
        QTest::newRow("not a state file") << QByteArray("[Varonel]\r\nsortie=1\r\n");
    }
    void damagedStateFile() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        const QString file = core::resumeFile(folder.path() + '/');
        QVERIFY(filebytes::write(file, bytes));
        Rig rig(1024, nullptr, QByteArray(), nullptr, nullptr, folder.path());
        rig.window->offerResume();
        QVERIFY(rig.dialogs.shown.isEmpty());
        QCOMPARE(rig.window->playlist().count(), 0);
        QVERIFY2(statusHistory(rig).contains("endommagé"), qPrintable(statusHistory(rig)));
        QCOMPARE(filebytes::read(file + ".endommage"), bytes);
    }

    // A track of silence is chained after 15 s; the status line says why (the
    // transport's tests see the end it reports, which the as-run log writes).
    void deadAirIsChainedAndTold() {
        Rig rig;
        const QString silent = track("Muet - Silence.wav");
        const QString pls = track("silence.pls");
        QVERIFY(
            filebytes::write(pls, (silent + "\r\n" + track("Alpha - Un.wav") + "\r\n").toUtf8()));
        rig.dialogs.fileNames = {pls};
        rig.trigger("MnuOuvrir");
        rig.click("CmdPlay");
        rig.driver->advanceMs(15300);
        QCOMPARE(rig.label("LblArtiste"), QStringLiteral("Alpha - Un"));
        QVERIFY2(statusHistory(rig).contains("Silence à l'antenne depuis 15 s, titre suivant : " +
                                             silent),
                 qPrintable(statusHistory(rig)));
    }
};

QTEST_MAIN(UnattendedTest)
#include "tst_unattended.moc"
