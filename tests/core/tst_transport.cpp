// The transport and the smart mix, run in virtual time through the offline
// output, and the smart mix's level statistics alone; the sound on air with the
// silences skipped and one loudness for all, as the render plays it; the names
// that tags give; pre-listening at the loudness of the air.

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "MixListener.h"
#include "ScriptedDialogs.h"
#include "TaggedFiles.h"
#include "TestTracks.h"
#include "TransportRig.h"
#include "audio/OfflineOutput.h"
#include "core/automix/AsRunLog.h"
#include "core/automix/LevelStatistics.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/Timer3.h"
#include "core/automix/TrackPreparation.h"
#include "core/playlist/RowFiller.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/prelistening/PreListening.h"
#include "core/render/VirtualTicks.h"
#include "core/shared/TrackNaming.h"

using namespace varonel;
using namespace varonel::core;
using namespace transportrig;

class TestTransport : public QObject {
    Q_OBJECT

private slots:
    // No hyphen in the folder: the artist is taken from the first one in the path.
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // The list plays to its end: each row goes as it starts, unreadable rows
    // are skipped in the same tick, and with nothing readable left at the exit
    // point the stop runs and the program goes idle after the 2.5 s fade (the
    // request mode the stop leaves is the window test's). A full disk
    // meanwhile never leaves half a line in the daily log, and a line never
    // joins one that an earlier crash left unfinished; the failure is told
    // once, naming the file, and the broadcast goes on as if nothing happened.
    void playsToTheEndAndStops() {
        OnAir air;
        const QString broken = m_dir.filePath("broken - noise.mp3");
        QVERIFY(filebytes::write(broken, QByteArray(4000, 'x')));
        queue(air, {{"a", {10.0}}});
        air.add(m_dir.filePath("gone - missing.wav"));
        air.add(broken);
        queue(air, {{"c", {10.0}}});
        air.add(m_dir.filePath("gone - again.wav"));
        const QString folder = m_dir.filePath(QString("plein%1/").arg(++m_files));
        QDir().mkpath(folder);
        AsRunLog log(air.transport, air.clock, folder);
        const QDateTime day(QDate(2026, 11, 2), QTime(20, 0));
        log.setNow([&] { return day.addMSecs(air.clock.monotonicMs()); });
        QSignalSpy reported(&log, &AsRunLog::cannotWrite);
        const QString file = AsRunLog::dailyFile(folder, day.date());
        const QByteArray old = "2026-11-02 19:58:00\tA - B\t/a.wav\t1000\tarrêt\r\n2026-11-02 19";
        QVERIFY(filebytes::write(file, old));
        QSignalSpy skipped(&air.transport, &Transport::trackSkipped);
        QSignalSpy stops(&air.transport, &Transport::stopBegun);
        {
            const FileSizeLimit limit(old.size() + 10);
            air.transport.CmdPlay_Click();
            QCOMPARE(air.transport.display().playPicture, int(kPlayOnAir));
            QVERIFY(!air.transport.display().outputEnabled);
            QVERIFY(air.driver.advanceUntil([&] { return air.started.size() == 2; }, 12000));
            air.driver.advanceMs(2000);  // a's fade is over: its line is due
            log.flush();
        }
        QCOMPARE(filebytes::read(file), old);
        QVERIFY(air.driver.advanceUntil([&] { return stops.count() == 1; }, 12000));
        QCOMPARE(skipped.count(), 3);
        QVERIFY(air.playlist.isEmpty());
        QCOMPARE(air.transport.display().stopPicture, int(kStopInProgress));
        air.driver.advanceMs(2400);
        QVERIFY(air.transport.stopping());
        air.driver.advanceMs(200);
        QVERIFY(!air.transport.stopping());
        QVERIFY(!air.output.isStarted());
        QVERIFY(air.chain.sources[0].fileName().empty());
        QCOMPARE(air.transport.display().playPicture, int(kPlayIdle));
        QCOMPARE(air.transport.display().stopPicture, int(kStopIdle));
        log.flush();
        QCoreApplication::processEvents();
        QCOMPARE(reported.count(), 1);
        QVERIFY(reported[0][0].toString().contains(folder));
        const QByteArray now = filebytes::read(file);
        QVERIFY2(now.startsWith(old + "\r\n2026-11-02 20:00:") && now.contains("\tTest - c\t") &&
                     now.endsWith("\r\n") && now.count('\n') == 4,
                 QByteArray(now).replace("\r", "<CR>").replace("\n", "<LF>").constData());
    }

    // Held Space toggles at most once per 2 s, here across midnight (the time
    // of day starting again from 0 must not lock it out). Play or Enter on air changes nothing; a
    // stop during a transition fades both tracks; during the stop's fade Play and Enter are
    // refused, and once the stop has ended a start plays properly. The clock shows the time of day.
    void startAndStopByKey() {
        const QTime start(23, 59, 58);
        OnAir air(start);
        queue(air, {{"a", {30.0}}, {"b", {30.0}}, {"c", {30.0}}});
        const int space = int(TransportKey::Space);
        const int enter = int(TransportKey::Enter);
        air.keys.held = {space};
        air.driver.advanceMs(100);
        QVERIFY(air.transport.EnDiffusion());
        air.transport.CmdPlay_Click();
        air.keys.held = {space, enter};
        air.driver.advanceMs(1500);  // Space still held: ignored
        QVERIFY(air.transport.EnDiffusion());
        air.transport.CmdStopImmediat_Click();  // chained: b fades in while Space stops
        air.driver.advanceMs(1500);
        QVERIFY(air.transport.stopping());  // toggled once more, to a stop
        QCOMPARE(air.timer3.time(), start.addSecs(3).toString("HH:mm:ss"));
        air.transport.CmdPlay_Click();
        air.keys.held = {enter};
        air.driver.advanceMs(500);
        air.keys.held.clear();
        air.driver.advanceMs(200);
        QCOMPARE(air.output.levelLeft(), 0);  // both faded
        air.driver.advanceMs(2300);
        QVERIFY(!air.transport.stopping());
        QVERIFY(!air.ticks.isActive("Timer1"));
        QCOMPARE(air.playlist.count(), 1);
        air.transport.CmdPlay_Click();
        air.driver.advanceMs(1000);
        QVERIFY(air.output.levelLeft() > 10000);
    }

    // The refill runs only on air, in automatic mode, at seconds that are a
    // multiple of 10, with fewer than 2 rows. On the way, holding either
    // slider freezes both, and releasing the position slider seeks.
    void refillRunsOnlyWhenAllConditionsHold() {
        OnAir air(QTime(10, 0, 1));
        int calls = 0;
        air.transport.setRequette([&] { ++calls; });
        queue(air, {{"r", {60.0}}, {"r", {60.0}}, {"r", {60.0}}});
        air.driver.advanceMs(10000);  // idle: nothing
        QCOMPARE(calls, 0);
        air.transport.CmdPlay_Click();  // two rows left: nothing but the switch's own request
        air.transport.P1_Click();
        QCOMPARE(calls, 1);
        int follows = 0;
        air.transport.setFollowPfl([&] { ++follows; });
        air.driver.advanceMs(2000);
        QVERIFY(std::abs(air.transport.display().trackBarValue - 2000) <= 120);
        QVERIFY(follows >= 19);
        air.transport.glissement().held = true;  // pre-listening's slider held
        const int32_t frozen = air.transport.display().trackBarValue;
        const int followed = follows;
        air.driver.advanceMs(1000);
        QCOMPARE(air.transport.display().trackBarValue, frozen);
        QCOMPARE(follows, followed);
        air.transport.TrackBar_Release(20000);
        air.driver.advanceMs(500);
        QVERIFY(std::abs(air.chain.sources[0].positionMs() - 20500) <= 150);
        QVERIFY(std::abs(air.transport.display().trackBarValue - 20500) <= 150);
        QVERIFY(follows > followed);
        air.driver.advanceMs(10000 - 3500);
        QCOMPARE(calls, 1);
        air.playlist.removeAt(1);    // one row left
        air.driver.advanceMs(8000);  // 10:00:19 to 10:00:27: no multiple of 10
        QCOMPARE(calls, 1);
        air.driver.advanceMs(4000);           // through 10:00:30
        QVERIFY(calls >= 11 && calls <= 14);  // every 80 ms tick of that second
        const int before = calls;
        air.transport.P1_Click();  // mode off
        air.driver.advanceMs(10000);
        QCOMPARE(calls, before);
    }

    // The smart mix chains a fading track early, the earlier the higher the
    // threshold (a track at a steady level running to its exit point is the
    // render's test). Unticking the
    // box keeps the exit point where the smart mix put it. After an early
    // transition, a track that opens in silence is heard, not skipped on the
    // strength of the previous track's fade. The statistics restart at a
    // start, around each transition and between 5 and 6 s into each track.
    void smartMixChainsFadingTracksEarly_data() {
        QTest::addColumn<double>("fadeSeconds");
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("earliest");
        QTest::addColumn<int>("latest");
        // 60 s track fading linearly over its last 20 s (from 40 s on).
        QTest::newRow("fading, 70") << 20.0 << 12 << 45000 << 48500;
        QTest::newRow("fading, 50") << 20.0 << 8 << 49000 << 52500;
        QTest::newRow("fading, 10") << 20.0 << 0 << 56000 << 58100;
    }
    void smartMixChainsFadingTracksEarly() {
        QFETCH(double, fadeSeconds);
        QFETCH(int, entry);
        QFETCH(int, earliest);
        QFETCH(int, latest);
        OnAir air;
        queue(air, {{"fading", {60.0, 0.8f, fadeSeconds}},
                    {"quiet start", {20.0, 0.6f, 0.0, 3.0}},
                    {"last", {20.0}}});
        air.transport.CheckAutoMix_Click(true);
        air.transport.MixagePourCent_Click(entry);
        air.transport.CmdPlay_Click();
        const auto levels = [&] { return air.transport.statistics().Niveaux().size(); };
        QCOMPARE(levels(), size_t(0));
        air.driver.advanceMs(4000);
        QVERIFY(levels() >= 26 - 1);
        air.driver.advanceMs(1800);  // 5.8 s: reset at each tick of that second
        QVERIFY(levels() <= 8);
        QVERIFY(air.driver.advanceUntil([&] { return air.started.size() == 2; }, 70000));
        const int32_t at = air.started[1].outgoingPosition;
        QVERIFY2(at >= earliest && at <= latest, qPrintable(QString::number(at)));
        QCOMPARE(levels(), size_t(0));
        // The new track's statistics start afresh: after its first tick they
        // hold that tick's level alone, nothing of the track before.
        QVERIFY(air.driver.advanceUntil([&] { return !air.transport.inTransition(); }, 3000));
        QVERIFY(
            air.driver.advanceUntil([&] { return levels() > 0; }, Transport::kTimer1PeriodMs + 20));
        QCOMPARE(levels(), size_t(1));
        QVERIFY(air.driver.advanceUntil([&] { return air.started.size() == 3; }, 30000));
        const int64_t heard = air.started[2].atMs - air.started[1].atMs;
        QVERIFY2(heard > 15000, qPrintable(QString::number(heard)));
        air.transport.CheckAutoMix_Click(false);
        QCOMPARE(air.transport.display().exitPointSeconds, 2);
    }

    // --- Faults the transport must survive ---

    // A first row that cannot play: a missing file asks to retry or give up,
    // asks again at a retry while the file is still missing, and giving up
    // starts nothing and loses nothing. It goes without a question when it
    // names no file (a retry would ask for ever, with nothing to name) or when
    // nobody is there to answer (the offline render), told as a skip; a track
    // of no measurable length is chained as soon as it has ended, instead of
    // holding the air silent until someone presses stop.
    void firstRowThatCannotPlay_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("unattended");
        QTest::addColumn<QString>("told");  // in the question, or the skip's reason
        QTest::addColumn<int>("questions");
        const QString empty = m_dir.filePath("Vide - Rien.wav");
        varonel::synth::writeWav(empty.toStdString(), varonel::synth::silence(0.0));
        const QString gone = m_dir.filePath("gone - never.wav");
        QTest::newRow("missing") << gone << false << "introuvable" << 2;
        QTest::newRow("missing, unattended") << gone << true << "introuvable" << 0;
        QTest::newRow("row without a file")
            << QString() << false << "Aucun fichier : la ligne est vide" << 0;
        QTest::newRow("no length") << empty << false << QString() << 0;
    }
    void firstRowThatCannotPlay() {
        QFETCH(QString, path);
        QFETCH(bool, unattended);
        QFETCH(QString, told);
        QFETCH(int, questions);
        OnAir air;
        air.transport.setUnattended(unattended);
        air.dialogs.answers = {MessageAnswer::Retry};
        air.add(path);
        air.add(track("b", {10.0}));
        QSignalSpy skipped(&air.transport, &Transport::trackSkipped);
        air.transport.CmdPlay_Click();
        air.driver.advanceMs(250);
        QCOMPARE(air.dialogs.shown.size(), questions);
        if (questions > 0) {
            QCOMPARE(air.dialogs.shown[1].title, QString("Alerte"));
            QVERIFY(air.dialogs.shown[1].text.contains(told));
            QVERIFY(!air.transport.EnDiffusion());
            QCOMPARE(air.playlist.count(), 2);
            return;
        }
        QCOMPARE(air.labels.constLast(), QString("Test - b"));
        QCOMPARE(skipped.count(), told.isEmpty() ? 0 : 1);
        QVERIFY(told.isEmpty() || skipped[0][1].toString().contains(told));
    }

    // Each kind of transition, then short items, two in a row. The exit point
    // (PS at 2: 8 s into a 10 s song) is served at the first 100 ms tick past
    // it; the button, or Numpad 0 read at the key timer's next tick, asks the
    // chain and the next tick serves it; the song fades out over 1.6 s. Every
    // row goes on air in order, each following the one before as it ends (a
    // jingle shorter than the fade ends while the song before it still fades),
    // and the as-run log has a line for each with the time it was heard and
    // how it ended.
    void shortItemsAreFollowedAtOnce_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("seconds");
        for (const char* kind : {"exit point", "smart mix", "chain now", "numpad 0"}) {
            for (const double seconds : {0.2, 0.4, 1.0, 1.5, 3.0}) {
                QTest::addRow("%s %.1f s", kind, seconds) << QString(kind) << seconds;
            }
        }
    }
    void shortItemsAreFollowedAtOnce() {
        QFETCH(QString, kind);
        QFETCH(double, seconds);
        OnAir air;
        const QString logFile = m_dir.filePath(QString("short-%1.txt").arg(++m_files));
        AsRunLog log(air.transport, air.clock, QString());
        QString error;
        QVERIFY(log.setFile(logFile, &error));
        const QDateTime day(QDate(2026, 11, 1), QTime(21, 0));
        log.setNow([&] { return day.addMSecs(air.clock.monotonicMs()); });
        // The smart mix hears the song fall to a fraction of its level and chains it
        // early (the case where it then never ended).
        const QString song = track("song", kind == "smart mix" ? testtracks::Shape{20.0, 0.5f, 8.0}
                                                               : testtracks::Shape{10.0});
        air.add(song);
        queue(air, {{"jingle", {seconds}}, {"ident", {seconds}}, {"after", {6.0}}});
        air.transport.CheckAutoMix_Click(kind == "smart mix");
        air.transport.PS_Change(2);
        const auto chainNow = [&] {
            air.driver.advanceMs(3000);
            if (kind == "chain now") {
                air.transport.CmdStopImmediat_Click();
            } else if (kind == "numpad 0") {
                air.keys.held = {int(TransportKey::Numpad0)};
                air.driver.advanceMs(Timer3::kPeriodMs);
                air.keys.held.clear();
            }
        };
        const double silence =
            mixlistener::playAndListen(air.transport, air.driver, 120000, chainNow)
                .longestSilenceMs;
        QCOMPARE(air.labels,
                 QStringList({"Test - song", "Test - jingle", "Test - ident", "Test - after"}));
        QVERIFY2(silence <= 20, qPrintable(QString::number(silence)));
        const int32_t chainedAt = air.started[1].outgoingPosition;
        const int dueAt = kind == "exit point" ? 8000
                          : kind == "numpad 0" ? 3000 + Timer3::kPeriodMs
                                               : 3000;
        QVERIFY2(kind == "smart mix" || (chainedAt >= dueAt && chainedAt < dueAt + 100 + 20),
                 qPrintable(QString::number(chainedAt)));
        QVERIFY(air.driver.advanceUntil([&] { return !air.transport.stopping(); }, 3000));
        QVERIFY(log.finish());
        const QStringList lines = QString::fromUtf8(filebytes::read(logFile))
                                      .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        for (const QString& line : lines) {
            const int heard = line.section('\t', 3, 3).toInt();
            if (line.contains("jingle") || (line.contains("ident") && seconds < 1.6)) {
                QVERIFY2(std::abs(heard - seconds * 1000) <= 30, qPrintable(line));
            }
        }
        // Each line: when it went on air, its label, its file, how long it was
        // heard and how it left the air.
        const QString how = kind == "exit point"  ? "point de sortie"
                            : kind == "smart mix" ? "mix intelligent \\d+ % < \\d+ %"
                                                  : "enchaînement";
        const QString songLine = lines.filter("\tTest - song\t").value(0);
        QVERIFY2(QRegularExpression("^2026-11-01 21:00:00\tTest - song\t" +
                                    QRegularExpression::escape(song) + "\t\\d+\t" + how + "$")
                     .match(songLine)
                     .hasMatch(),
                 qPrintable(songLine));
        QVERIFY2(
            std::abs(songLine.section('\t', 3, 3).toInt() - chainedAt - Transport::kFadeMs) <= 150,
            qPrintable(songLine));
    }

    // A track that misbehaves is followed as soon as it should be: a track's
    // own quiet passage shorter than the 15 s of dead air (which the window
    // test chains) is no dead air; a file that stops
    // decoding before its measured length, or yields nothing at all, has ended
    // whatever its position says. No gap either way.
    void misbehavingTrackIsFollowed_data() {
        QTest::addColumn<double>("silentStart");
        QTest::addColumn<double>("yields");  // the part of its length that the file yields
        QTest::addColumn<int>("earliest");   // when the next track starts
        QTest::addColumn<int>("latest");
        QTest::addColumn<QString>("how");
        QTest::newRow("a quiet start of 14.5 s")
            << 14.5 << 1.0 << 36000 << 36150 << Transport::howExitPoint();
        QTest::newRow("damaged halfway") << 0.0 << 0.5 << 0 << 20000 + 100 << Transport::howEnded();
        QTest::newRow("nothing at all") << 0.0 << 0.0 << 0 << 100 << Transport::howEnded();
    }
    void misbehavingTrackIsFollowed() {
        QFETCH(double, silentStart);
        QFETCH(double, yields);
        QFETCH(int, earliest);
        QFETCH(int, latest);
        QFETCH(QString, how);
        OnAir air;
        air.transport.CheckAutoMix_Click(false);
        queue(air, {{"odd", {40.0, 0.5f, 0.0, silentStart}}, {"next", {6.0}}});
        for (int source = 0; source < 2; ++source) {
            air.chain.sources[size_t(source)].setDecoderFactory([yields](const std::string& path) {
                audio::DecoderOpenResult opened = audio::openDecoder(path);
                if (opened.decoder && path.find("odd") != std::string::npos) {
                    opened.decoder =
                        std::make_unique<CutDecoder>(std::move(opened.decoder), yields);
                }
                return opened;
            });
        }
        QSignalSpy told(&air.transport, &Transport::deadAir);
        QStringList hows;
        QObject::connect(&air.transport, &Transport::trackEnded,
                         [&](const QString&, const QString& how) { hows.append(how); });
        const double silence =
            mixlistener::playAndListen(air.transport, air.driver, 120000).longestSilenceMs;
        QCOMPARE(air.started.size(), 2);
        const int64_t chainedAt = air.started[1].atMs;
        QVERIFY2(chainedAt >= earliest && chainedAt <= latest,
                 qPrintable(QString::number(chainedAt)));
        QVERIFY2(silence <= 20, qPrintable(QString::number(silence)));
        QCOMPARE(hows.value(0), how);
        QCOMPARE(told.size(), 0);
    }

    // --- The smart mix's level statistics, alone ---

    // The window keeps the last 26 samples and truncates the average. A reset
    // blanks the maximum but leaves the average and the percentage; the first
    // sample above 0 after it sets the maximum to the average: 100 %. Against
    // that maximum of 200 each level step is half a percent, shown rounded
    // half to even, and 0 % shows as "%" alone.
    void windowMaximumResetAndPercentage() {
        LevelStatistics stats;
        for (int32_t sample = 1; sample <= 100; ++sample) {
            stats.addSample(sample);
        }
        QCOMPARE(stats.LblMoyenne(), 87);  // (75 + ... + 100) / 26 = 87.5
        feed(&stats, 900, 26);
        feed(&stats, 300, 26);
        QCOMPARE(stats.LblMax(), std::optional<int32_t>(900));
        stats.reset();
        QCOMPARE(stats.LblMax(), std::nullopt);
        QCOMPARE(stats.LblMoyenne(), 300);
        QCOMPARE(stats.NiveauPourCent(), 33);
        stats.addSample(200);
        QCOMPARE(stats.LblMax(), std::optional<int32_t>(200));
        QCOMPARE(stats.NiveauPourCent(), 100);
        for (const auto& [level, text] :
             QList<std::pair<int, QString>>{{1, "%"}, {3, "2%"}, {5, "2%"}, {84, "42%"}}) {
            feed(&stats, level, 26);
            QCOMPARE(stats.LblPourCent(), text);
        }
    }

    // A track whose level has fallen to 10 % of its maximum: the statistics
    // restart strictly between 5 and 6 s into it, and it is chained early in
    // its last 30 s when the threshold is above that percentage, or from its
    // first ticks when it is short, never when its length is unknown.
    void shouldChainEarly_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("duration");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<bool>("chains");
        QTest::addColumn<bool>("resets");

        QTest::newRow("5 000") << 5000 << 180000 << 50.0 << false << false;
        QTest::newRow("5 001") << 5001 << 180000 << 50.0 << false << true;
        QTest::newRow("6 000") << 6000 << 180000 << 50.0 << false << false;
        QTest::newRow("30 s left") << 150000 << 180000 << 50.0 << false << false;
        QTest::newRow("just under 30 s left") << 150001 << 180000 << 50.0 << true << false;
        QTest::newRow("threshold equal to the percentage")
            << 170000 << 180000 << 10.0 << false << false;
        QTest::newRow("short track, from its first ticks")
            << 1000 << 20000 << 50.0 << true << false;
        QTest::newRow("unknown length") << 1000 << 0 << 50.0 << false << false;
    }

    void shouldChainEarly() {
        QFETCH(int, position);
        QFETCH(int, duration);
        QFETCH(double, threshold);
        QFETCH(bool, chains);
        QFETCH(bool, resets);

        LevelStatistics stats;
        feed(&stats, 1000, LevelStatistics::kWindowSize);
        feed(&stats, 100, LevelStatistics::kWindowSize);
        QCOMPARE(stats.shouldChainEarly(position, duration, threshold), chains);
        QCOMPARE(stats.LblMax().has_value(), !resets);
    }

    // --- The sound on air, its names and its pre-listening ---

    // Songs made like real masters: silences of 0.5 to 3 s around them, loud and
    // quiet masters, a fade, a quiet passage in the last 30 s. With both options
    // the broadcast starts at once, no transition leaves more than 300 ms below
    // -40 dBFS, and each track is heard within 0.5 LU of the target; without
    // them, as before, the first silence and the levels go on air as they are.
    void tracksGoOnAirTrimmedAndEven() {
        // The first is mastered loud: driven into saturation, its peaks stand
        // only a few dB above its loudness.
        const synth::TrackRecipe recipes[] = {
            {.channels = 1, .seed = 7, .peak = 0.95f},
            {.channels = 1, .seed = 8, .peak = 0.12f},
            {.channels = 1, .seed = 9, .fadeOutSeconds = 6, .peak = 0.70f},
            {.channels = 1, .seed = 10, .breakStart = 44, .breakSeconds = 5, .peak = 0.25f}};
        const double silences[][2] = {{1.8, 3.0}, {0.5, 1.0}, {3.0, 2.0}, {1.0, 0.5}};
        QStringList paths;
        for (int i = 0; i < 4; ++i) {
            synth::Audio master = synth::renderTrack(recipes[i]);
            if (i == 0) {
                for (float& sample : master.samples) {
                    sample = 0.95f * std::tanh(4 * sample) / std::tanh(4.0f);
                }
            }
            const synth::Audio song =
                synth::concat(synth::concat(synth::silence(silences[i][0], 44100, 1), master),
                              synth::silence(silences[i][1], 44100, 1));
            paths.append(testsignals::writeWavOrFail(
                m_dir.filePath(QString("Master %1 - Chanson.wav").arg(i)), song,
                synth::WavFormat::Pcm16));
        }
        const mixlistener::Heard even = render(paths, SoundOptions());
        QCOMPARE(even.lufs.size(), size_t(4));
        QVERIFY2(even.startSilenceMs < 200, qPrintable(QString::number(even.startSilenceMs)));
        QVERIFY2(even.worstTransitionSilenceMs <= 300,
                 qPrintable(QString::number(even.worstTransitionSilenceMs)));
        for (size_t i = 0; i < even.lufs.size(); ++i) {
            QVERIFY2(std::abs(even.lufs[i] + 16) <= 0.5,
                     qPrintable(QString("track %1: %2 LUFS").arg(i).arg(even.lufs[i])));
        }

        SoundOptions off;
        off.skipSilences = false;
        off.targetLufs.reset();
        const mixlistener::Heard asRecorded = render(paths, off);
        QVERIFY(asRecorded.startSilenceMs >= 1750);
        const auto [quietest, loudest] =
            std::minmax_element(asRecorded.lufs.begin(), asRecorded.lufs.end());
        QVERIFY2(*loudest - *quietest > 10, qPrintable(QString::number(*loudest - *quietest)));
    }

    // A name that gives its artist is kept; one that gives none takes its
    // artist and title from the file's tags (the player's window shows the same
    // in its list); a file without tags keeps what its name gives.
    void namesComeFromTagsOnlyWhenTheNameHasNone() {
        const QString files[] = {taggedfiles::writeOgg(m_dir.filePath("Intermède.ogg"),
                                                       "Orchestre Nocturne", "Ouverture"),
                                 taggedfiles::writeOgg(m_dir.filePath("Dupont - Valse.ogg"),
                                                       "Quelqu'un d'autre", "Autre titre"),
                                 taggedfiles::writeOgg(m_dir.filePath("Sans nom.ogg"), "", "")};
        const QStringList expected[] = {
            {"Orchestre Nocturne", "Ouverture"}, {"Dupont", "Valse"}, {"", ""}};
        audio::FileSource reader;
        for (int i = 0; i < 3; ++i) {
            PlaylistRow row;
            QVERIFY(fillRowFromPath(files[i], sourceLengthReader(reader), MillisecondsCell::Filled,
                                    &row));
            QCOMPARE(QStringList({row.artist, row.title}), expected[i]);
        }
    }

    // Pre-listening plays a track at the gain it will have on air.
    void preListeningHearsTheGainOfTheAir() {
        const QString path = track("niveau", {2.0});
        const auto levelWith = [&](float gain) {
            auto* output = new audio::OfflineOutput(44100);
            audio::Player player{std::unique_ptr<audio::AudioOutput>(output)};
            ScriptedDialogs dialogs;
            VirtualClock clock;
            VirtualTicks ticks(clock);
            SliderHold hold;
            PreListening preListening(player, dialogs, ticks, hold);
            preListening.setGain([gain](const QString&) { return gain; });
            preListening.rowClicked(path);
            preListening.btnPlay_Click();
            output->advanceMs(500);
            return output->levelLeft();
        };
        const double ratio = double(levelWith(0.25f)) / levelWith(1.0f);
        QVERIFY2(std::abs(ratio - 0.25) < 0.03, qPrintable(QString::number(ratio)));
    }

private:
    // A decoder that yields only the first `fraction` of its file and then ends,
    // while its length still reads whole: a file damaged part-way.
    class CutDecoder final : public audio::Decoder {
    public:
        CutDecoder(std::unique_ptr<audio::Decoder> inner, double fraction)
            : m_inner(std::move(inner)), m_left(int64_t(m_inner->lengthFrames() * fraction)) {}
        int sampleRate() const override { return m_inner->sampleRate(); }
        int channels() const override { return m_inner->channels(); }
        int64_t lengthFrames() const override { return m_inner->lengthFrames(); }
        int64_t read(float* out, int64_t frames) override {
            const int64_t got = m_inner->read(out, std::min(frames, m_left));
            m_left -= got;
            return got;
        }
        bool seek(int64_t frame) override { return m_inner->seek(frame); }

    private:
        std::unique_ptr<audio::Decoder> m_inner;
        int64_t m_left;
    };

    static mixlistener::Heard render(const QStringList& paths, const SoundOptions& options) {
        OnAir air;
        for (const QString& path : paths) {
            air.add(path);
        }
        air.transport.CheckAutoMix_Click(true);
        TrackPreparation preparation(TrackPreparation::Missing::AnalyseOnTheSpot);
        preparation.setOptions(options);
        air.transport.setPlanner(&preparation);
        return mixlistener::playAndListen(air.transport, air.driver, 300000);
    }

    static void feed(LevelStatistics* stats, int32_t level, int count) {
        for (int i = 0; i < count; ++i) {
            stats->addSample(level);
        }
    }
    // Appends a row for each track, in order.
    void queue(OnAir& air,
               std::initializer_list<std::pair<const char*, testtracks::Shape>> tracks) {
        for (const auto& [title, shape] : tracks) {
            air.add(track(title, shape));
        }
    }
    // Each in a folder of its own, so that the label is the title alone.
    QString track(const QString& title, testtracks::Shape shape) {
        const QString path = m_dir.filePath(QString("%1/Test - %2.wav").arg(++m_files).arg(title));
        QDir().mkpath(QFileInfo(path).path());
        return testtracks::write(path, shape);
    }
    QTemporaryDir m_dir{QDir::tempPath() + "/varonel_XXXXXX"};
    int m_files = 0;
};

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
