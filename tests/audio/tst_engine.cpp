// The engine heard offline, at sample level, without a device or a clock: file
// sources and the mixer, the main output's peak limiter, the players, and the
// orders by which the main thread reaches the puller.

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <thread>

#include "FileBytes.h"
#include "OfflineMix.h"
#include "TestSignals.h"
#include "audio/NewestOrder.h"
#include "audio/OrderedFlag.h"
#include "audio/PeakLimiter.h"
#include "audio/Player.h"
#include "audio/TimeText.h"

using namespace varonel::audio;
using namespace testsignals;
using namespace offlinemix;
using Chain = offlinemix::Mix;
using namespace varonel::synth;

class TestEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // The mixer on one rig: a paused mix holds every source. Then B starts as
    // A fades out: A falls steadily and is silent, finished, from the end of
    // the fade on (within one block); repeating the order during a fade never
    // stretches it. A fade asked while an input was not pulled belonged to the
    // file before: the next file loaded there plays at full level.
    void mixerHoldsFadesAndStartsAgain() {
        Chain chain;
        const QString high = writeFloatWav(m_dir.filePath("high.wav"), constant(0.5f, 10));
        chain.play(0, writeFloatWav(m_dir.filePath("low.wav"), constant(0.25f, 10)));
        chain.left(framesOf(500));
        chain.mixer.setPaused(true);
        const std::vector<float> held = chain.left(framesOf(1000));
        QVERIFY(std::all_of(held.begin(), held.end(), [](float s) { return s == 0.0f; }));
        QVERIFY(std::abs(chain.sources[0].positionMs() - 500) <= 30);
        chain.mixer.setPaused(false);

        chain.play(1, high);
        chain.sources[0].fadeOut(1600);
        const std::vector<float> mix = chain.left(framesOf(3000));
        QVERIFY(std::abs(mix[0] - 0.75f) < 0.001f);  // both, A at full level
        const float half = mix[size_t(framesOf(800))];
        QVERIFY2(half > 0.6f && half < 0.65f, qPrintable(QString::number(half)));
        QVERIFY(mix[size_t(framesOf(1600) - kBlock)] > 0.5f);  // A still heard
        QVERIFY(std::all_of(mix.begin() + framesOf(1600), mix.end(),
                            [](float s) { return s == 0.5f; }));  // B alone
        QVERIFY(chain.mixer.inputFinished(0));

        chain.sources[1].fadeOut(1600);
        chain.left(framesOf(800));
        chain.sources[1].fadeOut(1600);
        chain.left(framesOf(800) + kBlock);
        QVERIFY(chain.mixer.inputFinished(1));

        chain.play(0, high);
        chain.left(framesOf(50));
        chain.sources[1].fadeOut(300);  // not pulled: it can only fade this file
        chain.play(1, high);
        // Both sources at 0.5: a faded second source would leave 0.5 alone.
        QCOMPARE(chain.left(framesOf(900)).back(), 1.0f);
    }

    // Seeks one after the other, forwards, near the end and back to the
    // start: each is reported at once and heard within 30 ms.
    void seekLandsWithinThirtyMs() {
        Chain chain;
        // Each sample holds its time in seconds.
        chain.play(0, writeFloatWav(m_dir.filePath("ramp.wav"), ramp(20, 1.0f / kRate)));
        chain.left(framesOf(3000));
        for (const int target : {7300, 19950, 0}) {
            chain.sources[0].setPositionMs(target);
            QCOMPARE(chain.sources[0].positionMs(), target);
            const double heardMs = chain.left(1)[0] * 1000.0;
            QVERIFY2(std::abs(heardMs - target) <= 30.0, qPrintable(QString::number(heardMs)));
        }
    }

    // Each bad input fails to open with its own message, or plays what it can and
    // ends; either way the source next to it plays on without a gap.
    void badInputNeverStallsTheOthers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("opens");
        // Each cause of a refusal, and each way a file ends early, is told by
        // tst_trackfiles; here, one refusal and one file that ends early.
        const QString mp3Path = m_dir.filePath("x.mp3");
        QVERIFY(writeMp3(mp3Path.toStdString(), sine(440, 2.0, 0.5f)));
        const QByteArray mp3 = filebytes::read(mp3Path);
        QTest::newRow("refused") << "notes.mp3" << QByteArray("hello, this is no audio\n") << false;
        QTest::newRow("truncated mp3") << "cut.mp3" << mp3.left(mp3.size() / 2) << true;
    }
    void badInputNeverStallsTheOthers() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, opens);
        const QString path = m_dir.filePath(name);
        QVERIFY(filebytes::write(path, content));
        Chain chain;
        chain.play(0, writeFloatWav(m_dir.filePath("good.wav"), constant(0.25f, 6)));
        chain.mixer.setInputFinished(1, true);
        QCOMPARE(chain.sources[1].setFileName(path.toStdString()), opens);
        QCOMPARE(chain.sources[1].lastError().empty(), opens);
        chain.mixer.setInputFinished(1, false);
        const std::vector<float> mix = chain.left(framesOf(4000));
        // The bad source ends (or never starts) and the good one is heard throughout.
        QVERIFY(chain.mixer.inputFinished(1));
        QVERIFY(std::all_of(mix.begin() + framesOf(2500), mix.end(),
                            [](float s) { return std::abs(s - 0.25f) < 1e-6f; }));
    }

    // Below -1 dBFS the main output changes nothing: every sample of a track
    // (here on the third input) comes out as it went in, only later, up to its
    // end, where its input finishes.
    void trackPeakingAtMinusThreeDbPassesBitForBit() {
        Chain main(true);  // the main output: the limiter on
        const Audio track = sine(997, 2, float(std::pow(10.0, -3.0 / 20.0)));
        main.play(2, writeFloatWav(m_dir.filePath("m3.wav"), track));
        const std::vector<float> out = main.left(framesOf(2500));
        const auto delay = size_t(PeakLimiter::latencyFrames());
        for (size_t i = 0; i + delay < out.size(); ++i) {
            QCOMPARE(out[i + delay], 2 * i < track.samples.size() ? track.samples[2 * i] : 0.0f);
        }
        QVERIFY(main.mixer.inputFinished(2));
        QCOMPARE(main.sources[2].positionMs(), 2000);
    }

    // Two full-scale tracks overlapping, one of them a loud master decoded past
    // full scale: what goes out stays under full scale with no flat tops, and
    // the meters show it.
    void loudOverlapNeverClips() {
        Chain main(true);  // the main output: the limiter on
        main.play(0, writeFloatWav(m_dir.filePath("hot.wav"), sine(220, 3, 1.6f)));
        main.play(1, writeFloatWav(m_dir.filePath("full.wav"), sine(331, 3, 1.0f)));
        const std::vector<float> out = main.left(kRate * 2);
        const auto [low, high] = std::minmax_element(out.begin(), out.end());
        QVERIFY2(*high <= PeakLimiter::kCeiling && *low >= -PeakLimiter::kCeiling,
                 qPrintable(QString("%1 %2").arg(*low, 0, 'g', 9).arg(*high, 0, 'g', 9)));
        QVERIFY(*high > 0.85f);  // limited, not muted
        int longestFlatTop = 0;  // equal samples in a row at more than 80 % of full scale
        for (size_t i = 1, run = 0; i < out.size(); ++i) {
            run = std::fabs(out[i]) > 0.8f && out[i] == out[i - 1] ? run + 1 : 0;
            longestFlatTop = std::max(longestFlatTop, int(run));
        }
        QVERIFY2(longestFlatTop < 2, qPrintable(QString::number(longestFlatTop)));
        main.output.pull(kBlock);  // the meters show the last block, a whole one
        QVERIFY(main.output.levelLeft() <= int32_t(PeakLimiter::kCeiling * 32767) + 1);
        QVERIFY(main.output.levelLeft() > 25000);
    }

    // A steady track louder than the ceiling is turned down by a steady gain:
    // its peaks do not move from one cycle to the next (no pumping).
    void steadyLoudTrackDoesNotPump() {
        Chain main(true);  // the main output: the limiter on
        main.play(0, writeFloatWav(m_dir.filePath("steady.wav"), sine(60, 4, 1.4f)));
        const std::vector<float> out = main.left(kRate * 3);
        std::vector<float> peaks;
        const ptrdiff_t window = kRate / 20;  // three cycles of 60 Hz
        for (auto from = out.begin() + kRate / 2; out.end() - from >= window; from += window) {
            const auto [low, high] = std::minmax_element(from, from + window);
            peaks.push_back(std::max(-*low, *high));
        }
        const auto [lowest, highest] = std::minmax_element(peaks.begin(), peaks.end());
        QVERIFY(*highest <= PeakLimiter::kCeiling);
        const double swingDb = 20.0 * std::log10(double(*highest) / double(*lowest));
        QVERIFY2(swingDb < 0.1, qPrintable(QString::number(swingDb)));
    }

    // A player at a pitch, on an output at another rate than the file's:
    // nothing plays before a file; it plays faster or slower by its pitch,
    // holds its place while stopped, plays on from a seek to the end and stops
    // there; a file that cannot open empties it.
    void playerPlaysAtItsPitch_data() {
        QTest::addColumn<float>("pitch");
        QTest::newRow("+15 %") << 15.0f;
        QTest::newRow("-30 %") << -30.0f;
    }
    void playerPlaysAtItsPitch() {
        QFETCH(float, pitch);
        const double speed = 1.0 + pitch / 100.0;
        Player player(std::make_unique<OfflineOutput>(48000));
        auto& output = static_cast<OfflineOutput&>(player.output());
        QVERIFY(!player.play());
        QVERIFY(player.setFileName(
            writeFloatWav(m_dir.filePath("sixty.wav"), constant(0.5f, 60)).toStdString()));
        player.setPitch(pitch);
        QVERIFY(player.play());
        output.advanceMs(2000);
        const int32_t at = player.positionMs();
        QVERIFY2(std::abs(at - 2000 * speed) <= 60, qPrintable(QString::number(at)));
        QVERIFY(player.levelLeft() > 16000);
        player.stop();
        output.advanceMs(1000);
        QCOMPARE(player.positionMs(), at);
        QCOMPARE(player.levelLeft(), 0);
        player.setPositionMs(30000);
        QVERIFY(player.play());
        // Count the frames that carry the track's sound until the player stops.
        int64_t heard = 0;
        while (player.state() == Player::kStatePlaying && output.elapsedMs() < 100000) {
            const float* block = output.pull(1024);
            for (int i = 0; i < 1024; ++i) {
                heard += block[2 * i] > 0.25f ? 1 : 0;
            }
        }
        const double played = double(heard) / 48000.0;
        QVERIFY2(std::abs(played - 30.0 / speed) < 0.1, qPrintable(QString::number(played)));
        QCOMPARE(player.positionMs(), player.lengthMs());
        QVERIFY(!player.setFileName(m_dir.filePath("nothing.wav").toStdString()));
        QVERIFY(!player.lastError().empty());
        QCOMPARE(player.state(), Player::kStateEmpty);
    }

    void timeTextFitsTheDisplay_data() {
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("negative") << -5 << "00:00.00";
        QTest::newRow("hundredths truncated") << 83456 << "01:23.45";
        QTest::newRow("99 minutes") << 5999990 << "99:59.99";
        QTest::newRow("wraps past 99") << 6000000 << "00:00.00";
    }
    void timeTextFitsTheDisplay() {
        QFETCH(int, ms);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(timeText(ms)), text);
    }

    // The puller's change is dropped after an order given since it read the flag,
    // even an order of the very value it read.
    void pullerNeverOverridesANewerOrder() {
        OrderedFlag flag(false);
        const OrderedFlag::Reading stale = flag.read();
        flag.order(false);
        flag.setIfNoNewerOrder(stale, true);
        QCOMPARE(flag.value(), false);

        flag.setIfNoNewerOrder(flag.read(), true);
        QCOMPARE(flag.value(), true);
    }

    // However many orders come while nothing takes them, the next take finds
    // the newest, once. Taken while being given, orders only ever go forward,
    // and the last is taken.
    void pullerTakesTheNewestOrderOnly() {
        constexpr int kLast = 200000;
        NewestOrder<int> orders;
        for (int i = 1; i <= 1000; ++i) {
            orders.give(-i);
        }
        int previous = 0;
        QVERIFY(orders.take(&previous));
        QCOMPARE(previous, -1000);
        QVERIFY(!orders.take(&previous));
        std::thread main([&] {
            for (int i = 1; i <= kLast; ++i) {
                orders.give(i);
            }
        });
        bool backwards = false;
        for (int taken = 0; previous < kLast;) {
            if (orders.take(&taken)) {
                backwards = backwards || taken <= previous;
                previous = taken;
            }
        }
        main.join();
        QVERIFY(!backwards);
        QVERIFY(!orders.take(&previous));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
