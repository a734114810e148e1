// Device outputs in real time through the fault-injecting backend, as the
// windows play them: file sources and the mixer heard block by block, a player
// whose card is lost or absent, and disks that hang (the outputs of a group
// losing their devices are the sound server test's, on a real server).

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

#include "FakeDeviceBackend.h"
#include "Stall.h"
#include "TestSignals.h"
#include "WaitUntil.h"
#include "audio/DeviceOutput.h"
#include "audio/FileSource.h"
#include "audio/Mixer.h"
#include "audio/Player.h"

using namespace varonel::audio;
using stall::Stall;
using stall::stallingFactory;
using waituntil::waitUntil;
using namespace testsignals;

namespace {

constexpr float kStep = 5e-5f;  // a ramp sample says how far into its track it is

// Two sources on a mixer, played by a device output on fake device 0, which
// keeps every block it played.
struct Live {
    FakeDeviceBackend backend{1};
    FileSource sources[2];
    Mixer mixer;
    DeviceOutput output{backend};

    Live() {
        mixer.setSource(0, &sources[0]);
        mixer.setSource(1, &sources[1]);
        output.setSource(&mixer);
        output.setDeviceIndex(0);
        output.setLimiter(false);  // samples are compared as they were decoded
    }
    void play(int input, const QString& path) {
        mixer.setInputFinished(input, true);
        sources[input].load(path.toStdString());
        mixer.setInputFinished(input, false);
    }
};

}  // namespace

class TestLiveOutput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        // Heard on one channel only.
        m_left = writeFloatWav(m_dir.filePath("left.wav"), ramp(0.6, kStep, 0));
        m_right = writeFloatWav(m_dir.filePath("right.wav"), ramp(0.6, kStep, 1));
        m_steady = writeFloatWav(m_dir.filePath("steady.wav"), constant(0.5f, 20));
    }

    // Fifty transitions in a row, each into the source the previous one faded
    // out: every track is first heard at the first frame of a device block with
    // its own first sample, the fade overlaps it, no block is silent, and not one
    // underrun is counted.
    void fiftyTransitionsEachStartOnTheirFirstBlock() {
        Live live;
        constexpr int kTransitions = 50;
        live.play(0, m_left);
        QVERIFY(live.output.start());
        for (int t = 1; t <= kTransitions; ++t) {
            const int next = t % 2;
            QVERIFY(waitUntil([&] { return live.sources[1 - next].positionMs() >= 60; }, 3000));
            live.play(next, next == 0 ? m_left : m_right);
            live.mixer.fadeOutWhenStarted(1 - next, next, 40);
            QVERIFY(waitUntil([&] { return live.mixer.inputFinished(1 - next); }, 3000));
        }
        QVERIFY(waitUntil([&] { return live.sources[0].positionMs() >= 60; }, 3000));
        live.output.close();
        const auto blocks = live.backend.takePlayed("Fake card 0");

        int starts = 0;
        bool heard = false;
        float previous[2] = {0.0f, 0.0f};
        for (const std::vector<float>& block : blocks) {
            const bool silent =
                std::all_of(block.begin(), block.end(), [](float s) { return s == 0.0f; });
            QVERIFY(!(heard && silent));
            heard = heard || !silent;
            for (size_t i = 0; i < block.size(); ++i) {
                if (previous[i % 2] == 0.0f && block[i] != 0.0f) {
                    // A track begins here: at the block's first frame, from its start.
                    ++starts;
                    QCOMPARE(i / 2, size_t(0));
                    for (size_t k = 0; k < 64; ++k) {
                        QCOMPARE(block[2 * k + i % 2], float(k + 1) * kStep);
                    }
                }
                previous[i % 2] = block[i];
            }
        }
        QCOMPARE(starts, kTransitions + 1);
        QCOMPARE(live.output.underruns(), uint64_t(0));
    }

    // A file that hangs while it opens: load() returns at once, and the source
    // tells it is opening until it answers. Its decoder then hangs in
    // mid-stream: the window's calls on its source never wait for it, and a
    // fade asked of it ends on time, so its input finishes.
    void stalledDiskBlocksNeitherTheWindowNorTheFade() {
        Live live;
        Stall stall;
        stall.hold();
        live.sources[0].setDecoderFactory(stallingFactory(stall));
        live.play(0, "stalling");
        QVERIFY(!live.sources[0].waitForLoad(50));
        QCOMPARE(live.sources[0].lengthMs(), 0);
        stall.release();
        QVERIFY(live.sources[0].waitForLoad(3000));
        QCOMPARE(live.sources[0].lengthMs(), 30000);
        QVERIFY(live.output.start());
        QVERIFY(waitUntil([&] { return live.sources[0].positionMs() > 100; }, 3000));
        stall.hold();
        QVERIFY(waitUntil([&] { return stall.inside.load(); }, 3000));

        // A watchdog lets the decoder go after 5 s: if a call below waited for it,
        // it returns only after that, and the check after it fails.
        std::atomic<bool> watchdogFired{false};
        std::thread watchdog([&] {
            watchdogFired = !waitUntil([&] { return !stall.inside.load(); }, 5000);
            stall.release();
        });
        live.sources[0].fadeOut(200);
        (void)live.sources[0].positionMs();
        (void)live.sources[0].lengthMs();
        live.sources[0].setPositionMs(1000);
        live.sources[1].load(m_left.toStdString());
        QVERIFY(!watchdogFired.load());
        // The fade runs on the output's clock, through the gap.
        QVERIFY(waitUntil([&] { return live.mixer.inputFinished(0); }, 2000));
        QVERIFY(stall.inside.load());  // still hanging: the watchdog never fired
        stall.release();
        watchdog.join();
    }

    // A player whose card is lost while it plays (still listed, as after a
    // glitch) reopens it and resumes where the loss caught it: nothing skipped.
    // A card that is not there is played around on the default; with no card at
    // all the start fails and names the cause.
    void playerFollowsItsCard() {
        FakeDeviceBackend backend(1);
        Player player(std::make_unique<DeviceOutput>(backend));
        auto& device = static_cast<DeviceOutput&>(player.output());
        player.setDeviceIndex(0);
        QVERIFY(player.setFileName(m_steady.toStdString()));
        QVERIFY(player.play());
        QVERIFY(waitUntil([&] { return player.positionMs() > 300; }, 3000));
        backend.unplug("Fake card 0", true);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const int32_t atLoss = player.positionMs();
        QVERIFY(waitUntil([&] { return device.reopenCount() == 1; }, 2000));
        const int32_t atReopen = player.positionMs();
        // Nothing played while the card was away (one block may have been in flight).
        QVERIFY2(atReopen - atLoss < 60, qPrintable(QString("%1 %2").arg(atLoss).arg(atReopen)));
        QVERIFY(waitUntil([&] { return player.positionMs() > atReopen + 200; }, 2000));

        player.setDeviceIndex(5);
        QCOMPARE(player.output().route(), OutputRoute::Fallback);
        player.stop();
        player.output().close();
        backend.setDevices({});
        std::string error;
        QVERIFY(!player.play(&error));
        QCOMPARE(error, std::string("Sortie audio introuvable : n° 5"));
        QCOMPARE(player.output().route(), OutputRoute::Waiting);
    }

    // A device holds 300 ms before they are heard: the position and the meters
    // show what is heard (silence until the ear reaches the second second), and
    // a stop sets the track back to where the ear was.
    void positionAndMetersFollowWhatIsHeard() {
        FakeDeviceBackend backend(1);
        backend.setLatencyFrames(13230);
        const QString path =
            writeFloatWav(m_dir.filePath("late.wav"),
                          varonel::synth::concat(constant(0.0f, 1.0), constant(0.5f, 4.0)));
        Player player(std::make_unique<DeviceOutput>(backend));
        player.setDeviceIndex(0);
        QVERIFY(player.setFileName(path.toStdString()));
        QVERIFY(player.play());
        QElapsedTimer timer;
        timer.start();
        int32_t position = 0;
        while (position < 1500 && timer.elapsed() < 5000) {
            position = player.positionMs();
            const int32_t level = std::min(player.levelLeft(), player.levelRight());
            QVERIFY2(position > 950 || std::max(player.levelLeft(), player.levelRight()) == 0,
                     qPrintable(QString::number(position)));
            QVERIFY2(position < 1100 || level > 0, qPrintable(QString::number(position)));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        QVERIFY(position >= 1500);
        const int32_t heard = player.positionMs();
        player.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        QVERIFY2(std::abs(player.positionMs() - heard) <= 60,
                 qPrintable(QString("%1 %2").arg(heard).arg(player.positionMs())));
    }

private:
    QTemporaryDir m_dir;
    QString m_steady;
    QString m_left;
    QString m_right;
};

QTEST_GUILESS_MAIN(TestLiveOutput)
#include "tst_liveoutput.moc"
