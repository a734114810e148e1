// The live path: file sources and the mixer played by a device output in real
// time through the fault-injecting backend, as the main window plays them.

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "FakeDeviceBackend.h"
#include "Stall.h"
#include "TestSignals.h"
#include "WaitUntil.h"
#include "audio/DeviceOutput.h"
#include "audio/FileSource.h"
#include "audio/Mixer.h"
#include "audio/OutputGroup.h"

using namespace varonel::audio;
using stall::Stall;
using stall::stallingFactory;
using waituntil::waitUntil;

Q_DECLARE_METATYPE(varonel::audio::OutputRoute)

namespace {

constexpr int kRate = 44100;
constexpr float kStep = 5e-5f;  // a ramp sample says how far into its track it is

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

    // The programme plays on "Carte" and the headphones on "Casque", two outputs
    // of one program. One device is unplugged while the system default moves
    // (as a server picks another): the output that lost it goes to the default
    // unless the other output has it, in which case it waits, silent, its
    // position held. The other output is never disturbed, nothing lands on a
    // device that is not its own, and once the device is back (at another
    // position) the output goes back to it by itself.
    void lostDeviceFallsBackWaitsAndComesBack_data() {
        QTest::addColumn<int>("loser");  // 0: the programme, 1: the headphones
        QTest::addColumn<QString>("newDefault");
        QTest::addColumn<OutputRoute>("meanwhile");
        QTest::newRow("programme lost, default free") << 0 << "Enceintes" << OutputRoute::Fallback;
        QTest::newRow("programme lost, default is the headphones")
            << 0 << "Casque" << OutputRoute::Waiting;
        QTest::newRow("headphones lost, default is the programme's")
            << 1 << "Carte" << OutputRoute::Waiting;
    }

    void lostDeviceFallsBackWaitsAndComesBack() {
        QFETCH(int, loser);
        QFETCH(QString, newDefault);
        QFETCH(OutputRoute, meanwhile);
        const std::string names[] = {"Carte", "Casque"};
        const float levels[] = {0.3f, 0.2f};
        FakeDeviceBackend backend(0);
        backend.setDevices({"Carte", "Casque", "Enceintes"});
        backend.setDefault("Carte");
        std::mutex heardMutex;
        std::map<std::string, std::set<float>> heard;  // the values each device played
        backend.setRecorder([&](const std::string& device, const float* block, int frames) {
            std::lock_guard lock(heardMutex);
            heard[device].insert(block, block + size_t(frames) * 2);
        });
        const auto group = std::make_shared<OutputGroup>();
        std::array<FileSource, 2> sources;
        std::array<Mixer, 2> mixers;
        std::array<std::unique_ptr<DeviceOutput>, 2> outputs;
        for (size_t i = 0; i < 2; ++i) {
            const QString path =
                testsignals::writeFloatWav(m_dir.filePath(QString("steady%1.wav").arg(i)),
                                           testsignals::constant(levels[i], 30));
            mixers[i].setSource(0, &sources[i]);
            QVERIFY(sources[i].setFileName(path.toStdString()));
            mixers[i].setInputFinished(0, false);
            outputs[i] = std::make_unique<DeviceOutput>(backend, group);
            outputs[i]->setSource(&mixers[i]);
            outputs[i]->setDeviceIndex(int(i));
            QVERIFY(outputs[i]->start());
        }
        const size_t other = 1 - size_t(loser);
        DeviceOutput& lost = *outputs[size_t(loser)];
        FileSource& lostSource = sources[size_t(loser)];
        QVERIFY(waitUntil(
            [&] { return sources[0].positionMs() > 200 && sources[1].positionMs() > 200; }, 3000));

        backend.setDefault(newDefault.toStdString());
        backend.unplug(names[loser]);
        QVERIFY(waitUntil([&] { return lost.route() == meanwhile; }, 2000));
        const int32_t held = lostSource.positionMs();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (meanwhile == OutputRoute::Waiting) {
            // Nothing heard, nothing counted: a pause, which the meters keep (the
            // smart mix must not take it for a fade).
            QCOMPARE(lostSource.positionMs(), held);
            QVERIFY(lost.levelLeft() > 0);
        } else {
            QCOMPARE(backend.opened().back(), newDefault.toStdString());
            QVERIFY(lostSource.positionMs() > held + 100);
        }

        backend.plug(names[loser]);  // listed again, at the end
        QVERIFY(waitUntil([&] { return lost.route() == OutputRoute::Chosen; }, 3000));
        QCOMPARE(backend.opened().back(), names[loser]);
        const int32_t back = lostSource.positionMs();
        QVERIFY(waitUntil([&] { return lostSource.positionMs() > back + 200; }, 2000));
        QCOMPARE(outputs[other]->reopenCount(), 0);
        QCOMPARE(outputs[other]->route(), OutputRoute::Chosen);
        for (auto& output : outputs) {
            output->close();
        }
        backend.setRecorder({});

        const std::map<std::string, float> own = {
            {"Carte", levels[0]}, {"Casque", levels[1]}, {"Enceintes", levels[loser]}};
        for (const auto& [device, values] : heard) {
            for (const float value : values) {
                QVERIFY2(value == 0.0f || value == own.at(device),
                         qPrintable(QString("%1 on %2").arg(value).arg(device.c_str())));
            }
        }
        QVERIFY(heard["Carte"].count(levels[0]) && heard["Casque"].count(levels[1]));
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
