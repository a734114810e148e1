// The live path: file sources and the mixer played by a device output in real
// time through the fault-injecting backend, as the main window plays them.

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "DeviceOutput.h"
#include "FakeDeviceBackend.h"
#include "FileSource.h"
#include "Mixer.h"
#include "TestSignals.h"

using namespace varonel::audio;

namespace {

constexpr int kRate = 44100;
constexpr float kStep = 5e-5f;  // a ramp sample says how far into its track it is

template <typename Done>
bool waitUntil(Done done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A stereo track heard on one channel only, rising by kStep from kStep.
QString writeOneSided(const QString& path, int channel, double seconds) {
    varonel::synth::Audio audio;
    audio.sampleRate = kRate;
    const size_t frames = size_t(seconds * kRate);
    audio.samples.assign(frames * 2, 0.0f);
    for (size_t i = 0; i < frames; ++i) {
        audio.samples[2 * i + size_t(channel)] = float(i + 1) * kStep;
    }
    return testsignals::writeFloatWav(path, audio);
}

// Everything the device played, block by block.
struct Recording {
    std::mutex mutex;
    std::vector<std::vector<float>> blocks;

    FakeDeviceBackend::Recorder recorder() {
        return [this](const std::string&, const float* block, int frames) {
            std::lock_guard lock(mutex);
            blocks.emplace_back(block, block + size_t(frames) * 2);
        };
    }
    std::vector<std::vector<float>> take() {
        std::lock_guard lock(mutex);
        return std::move(blocks);
    }
};

// Two sources on a mixer, played by a device output on fake device 0.
struct Live {
    FakeDeviceBackend backend{1};
    FileSource sources[2];
    Mixer mixer;
    DeviceOutput output{backend};
    Recording recording;

    Live() {
        mixer.setSource(0, &sources[0]);
        mixer.setSource(1, &sources[1]);
        output.setSource(&mixer);
        output.setDeviceIndex(0);
        output.setLimiter(false);  // samples are compared as they were decoded
        backend.setRecorder(recording.recorder());
    }
    ~Live() { backend.setRecorder({}); }
    void play(int input, const QString& path) {
        mixer.setInputFinished(input, true);
        sources[input].load(path.toStdString());
        mixer.setInputFinished(input, false);
    }
};

// A decoder of a constant level that can be made to hang in read() or in its
// opening, the way a file on a stalled disk does.
struct Stall {
    std::mutex mutex;
    std::condition_variable released;
    bool stalled = false;
    std::atomic<bool> inside{false};  // a call is hanging now

    void hold() {
        std::lock_guard lock(mutex);
        stalled = true;
    }
    bool isStalled() {
        std::lock_guard lock(mutex);
        return stalled;
    }
    void release() {
        {
            std::lock_guard lock(mutex);
            stalled = false;
        }
        released.notify_all();
    }
    void pass() {
        std::unique_lock lock(mutex);
        inside = stalled;
        released.wait(lock, [this] { return !stalled; });
        inside = false;
    }
};

class StallingDecoder final : public Decoder {
public:
    explicit StallingDecoder(Stall& stall) : m_stall(stall) {}
    int sampleRate() const override { return kRate; }
    int channels() const override { return 2; }
    int64_t lengthFrames() const override { return int64_t(kRate) * 30; }
    int64_t read(float* out, int64_t frames) override {
        m_stall.pass();
        std::fill(out, out + frames * 2, 0.5f);
        return frames;
    }
    bool seek(int64_t) override { return true; }

private:
    Stall& m_stall;
};

FileSource::DecoderFactory stallingFactory(Stall& stall) {
    return [&stall](const std::string&) {
        stall.pass();
        return DecoderOpenResult{std::make_unique<StallingDecoder>(stall), {}};
    };
}

}  // namespace

class TestLiveOutput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_left = writeOneSided(m_dir.filePath("left.wav"), 0, 0.6);
        m_right = writeOneSided(m_dir.filePath("right.wav"), 1, 0.6);
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
        const auto blocks = live.recording.take();

        int starts = 0;
        bool heard = false;
        float previous[2] = {0.0f, 0.0f};
        for (const std::vector<float>& block : blocks) {
            const size_t frames = block.size() / 2;
            bool silent = true;
            for (size_t i = 0; i < frames; ++i) {
                for (size_t c = 0; c < 2; ++c) {
                    const float s = block[2 * i + c];
                    silent = silent && s == 0.0f;
                    if (previous[c] == 0.0f && s != 0.0f) {
                        // A track begins here: at the block's first frame, from its start.
                        ++starts;
                        QCOMPARE(i, size_t(0));
                        for (size_t k = 0; k < 64; ++k) {
                            QCOMPARE(block[2 * k + c], float(k + 1) * kStep);
                        }
                    }
                    previous[c] = s;
                }
            }
            QVERIFY(!(heard && silent));
            heard = heard || !silent;
        }
        QCOMPARE(starts, kTransitions + 1);
        QCOMPARE(live.output.underruns(), uint64_t(0));
    }

    // A fade asked while the input was not pulled belonged to the file before:
    // the next file loaded into that source plays at full level.
    void nextTrackIsNeverFadedByAnEarlierCommand() {
        Live live;
        const QString steady = testsignals::writeFloatWav(m_dir.filePath("steady.wav"),
                                                          testsignals::constant(0.5f, 5));
        live.play(0, steady);
        live.play(1, steady);
        QVERIFY(live.output.start());
        QVERIFY(waitUntil([&] { return live.sources[1].positionMs() >= 200; }, 3000));
        live.mixer.setInputFinished(1, true);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        live.sources[1].fadeOut(300);  // not pulled: it can only fade this file
        live.play(1, steady);
        QVERIFY(waitUntil([&] { return live.sources[1].positionMs() >= 700; }, 3000));
        live.recording.take();
        QVERIFY(waitUntil([&] { return live.sources[1].positionMs() >= 900; }, 3000));
        // Both sources at 0.5: a faded second source would leave 0.5 alone.
        const auto blocks = live.recording.take();
        QVERIFY(!blocks.empty());
        QCOMPARE(blocks.back()[0], 1.0f);
        QVERIFY(!live.mixer.inputFinished(1));
    }

    // Output A plays on "Carte" and output B on "Casque". The card is unplugged:
    // "Casque" moves to position 0, where A's device was, yet A goes on the
    // system default and B is never disturbed. Once the card is back (at another
    // position), A's next start takes it again.
    void lostDeviceReopensByNameAndComesBackAtTheNextStart() {
        FakeDeviceBackend backend(0);
        backend.setDevices({"Carte", "Casque"});
        FileSource a;
        FileSource b;
        Mixer mixerA;
        Mixer mixerB;
        DeviceOutput outputA(backend);
        DeviceOutput outputB(backend);
        const QString steady =
            testsignals::writeFloatWav(m_dir.filePath("long.wav"), testsignals::constant(0.3f, 30));
        for (auto [mixer, source] : {std::pair{&mixerA, &a}, std::pair{&mixerB, &b}}) {
            mixer->setSource(0, source);
            QVERIFY(source->setFileName(steady.toStdString()));
            mixer->setInputFinished(0, false);
        }
        outputA.setSource(&mixerA);
        outputB.setSource(&mixerB);
        outputA.setDeviceIndex(0);
        outputB.setDeviceIndex(1);
        QVERIFY(outputA.start());
        QVERIFY(outputB.start());
        QVERIFY(waitUntil([&] { return b.positionMs() > 200; }, 3000));

        backend.unplug("Carte");
        QVERIFY(waitUntil([&] { return outputA.reopenCount() == 1; }, 2000));
        QVERIFY(outputA.onFallback());
        const auto afterLoss = backend.opened();
        QCOMPARE(afterLoss.back(), std::string("Fake default"));
        const int32_t aAtReopen = a.positionMs();
        QVERIFY(waitUntil([&] { return a.positionMs() > aAtReopen + 200; }, 2000));
        QCOMPARE(outputB.reopenCount(), 0);
        QVERIFY(b.positionMs() > 400);

        backend.plug("Carte");  // now at position 1
        outputA.stop();
        QVERIFY(outputA.start());
        QCOMPARE(backend.opened().back(), std::string("Carte"));
        QVERIFY(!outputA.onFallback());
        QCOMPARE(outputB.reopenCount(), 0);
        QCOMPARE(outputB.deviceIndex(), 1);
    }

    // A decoder that hangs in mid-stream: the window's calls on its source never
    // wait for it, and a fade asked of it ends on time, so its input finishes.
    void stalledDecoderBlocksNeitherTheWindowNorTheFade() {
        Live live;
        Stall stall;
        live.sources[0].setDecoderFactory(stallingFactory(stall));
        live.play(0, "stalling");
        QVERIFY(live.output.start());
        QVERIFY(waitUntil([&] { return live.sources[0].positionMs() > 100; }, 3000));
        stall.hold();
        QVERIFY(waitUntil([&] { return stall.inside.load(); }, 3000));

        // A watchdog lets the decoder go after 5 s: if a call below waited for it,
        // it returns only after that, and the check after it fails.
        std::atomic<bool> watchdogFired{false};
        std::thread watchdog([&] {
            if (!waitUntil([&] { return !stall.isStalled(); }, 5000)) {
                watchdogFired = true;
                stall.release();
            }
        });
        live.sources[0].fadeOut(200);
        (void)live.sources[0].positionMs();
        (void)live.sources[0].lengthMs();
        live.sources[0].setPositionMs(1000);
        live.sources[1].load(m_left.toStdString());
        QVERIFY(!watchdogFired.load());
        // The fade runs on the output's clock, through the gap.
        QVERIFY(waitUntil([&] { return live.mixer.inputFinished(0); }, 2000));
        QVERIFY(stall.inside.load());
        QVERIFY(!watchdogFired.load());
        stall.release();
        watchdog.join();
    }

    // A file that hangs while it opens: load() returns at once, and the source
    // reports it as opening until it answers.
    void loadNeverWaitsForTheDisk() {
        FileSource source;
        Stall stall;
        stall.hold();
        source.setDecoderFactory(stallingFactory(stall));
        source.load("stalling");
        QCOMPARE(source.loadState(), FileSource::LoadState::Loading);
        QVERIFY(!source.waitForLoad(50));
        QCOMPARE(source.lengthMs(), 0);
        stall.release();
        QVERIFY(source.waitForLoad(3000));
        QCOMPARE(source.loadState(), FileSource::LoadState::Ready);
        QCOMPARE(source.lengthMs(), 30000);
    }

private:
    QTemporaryDir m_dir;
    QString m_left;
    QString m_right;
};

QTEST_GUILESS_MAIN(TestLiveOutput)
#include "tst_liveoutput.moc"
