// Device outputs: two at once on different devices, a player that loses its
// device mid-play (through a fault-injecting backend), and SDL's own path. An
// output that falls back while the other plays on is tested in tst_liveoutput.

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

#include "FakeDeviceBackend.h"
#include "TestSignals.h"
#include "WaitUntil.h"
#include "audio/DeviceOutput.h"
#include "audio/Player.h"

using namespace varonel::audio;
using waituntil::waitUntil;

namespace {

// Counts what it is asked for, and plays a quiet constant.
class CountingSource final : public RenderSource {
public:
    bool render(float* stereo, int frames, const RenderContext&) override {
        std::fill(stereo, stereo + frames * 2, 0.25f);
        frames_.fetch_add(frames);
        return true;
    }
    int64_t frames() const { return frames_.load(); }

private:
    std::atomic<int64_t> frames_{0};
};

// Output A on fake device 0 and output B on fake device 1, each with its source.
struct TwoOutputs {
    FakeDeviceBackend backend{2};
    CountingSource sourceA;
    CountingSource sourceB;
    DeviceOutput outputA{backend};
    DeviceOutput outputB{backend};

    TwoOutputs() {
        outputA.setSource(&sourceA);
        outputB.setSource(&sourceB);
        outputA.setDeviceIndex(0);
        outputB.setDeviceIndex(1);
    }
    // Starts both and waits until both are being pulled.
    bool startBoth() {
        return outputA.start() && outputB.start() &&
               waitUntil([&] { return sourceA.frames() > 8192 && sourceB.frames() > 8192; }, 3000);
    }
};

}  // namespace

class TestOutputs : public QObject {
    Q_OBJECT

private slots:
    // A device that is not there is played around on the default; with no
    // device at all the start fails and names the cause.
    void deviceNamesCoverDefaultAndListedDevices() {
        FakeDeviceBackend backend(2);
        DeviceOutput output(backend);
        QCOMPARE(output.deviceName(-1), std::string("Fake default"));
        QCOMPARE(output.deviceName(1), std::string("Fake card 1"));
        QCOMPARE(output.deviceName(2), std::string());
        QCOMPARE(output.deviceName(10), std::string());
        std::string error;
        output.setDeviceIndex(5);
        QVERIFY(output.start(&error));
        QCOMPARE(output.route(), OutputRoute::Fallback);
        output.close();
        backend.refuseIndex(-1);
        QVERIFY(!output.start(&error));
        QCOMPARE(error, std::string("Sortie audio introuvable : n° 5"));
        QCOMPARE(output.route(), OutputRoute::Waiting);
    }

    // The track resumes where the loss caught it: nothing is skipped.
    void playerResumesFromWhereItWas() {
        QTemporaryDir dir;
        const QString path =
            testsignals::writeFloatWav(dir.filePath("c.wav"), testsignals::constant(0.3f, 20));
        FakeDeviceBackend backend(1);
        auto output = std::make_unique<DeviceOutput>(backend);
        DeviceOutput* device = output.get();
        Player player(std::move(output));
        player.setDeviceIndex(0);
        QVERIFY(player.setFileName(path.toStdString()));
        QVERIFY(player.play());
        QVERIFY(waitUntil([&] { return player.positionMs() > 300; }, 3000));
        backend.unplugAllOf(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const int32_t atLoss = player.positionMs();
        QVERIFY(waitUntil([&] { return device->reopenCount() == 1; }, 2000));
        const int32_t atReopen = player.positionMs();
        // Nothing played while the card was away (one block may have been in flight).
        QVERIFY2(atReopen - atLoss < 60, qPrintable(QString("%1 %2").arg(atLoss).arg(atReopen)));
        QVERIFY(waitUntil([&] { return player.positionMs() > atReopen + 200; }, 2000));
        QCOMPARE(player.state(), Player::kStatePlaying);
    }

    // Stopping or closing one output leaves the other playing.
    void twoOutputsRunIndependently() {
        TwoOutputs two;
        two.outputB.setBufferFrames(512);
        QVERIFY(two.startBoth());
        two.outputA.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const int64_t aStopped = two.sourceA.frames();
        const int64_t bRunning = two.sourceB.frames();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        QCOMPARE(two.sourceA.frames(), aStopped);
        QVERIFY(two.sourceB.frames() > bRunning);
        QCOMPARE(two.outputA.levelLeft(), 0);
        QVERIFY(two.outputB.levelLeft() > 8000);
        two.outputA.close();
        const int64_t bAfterClose = two.sourceB.frames();
        QVERIFY(waitUntil([&] { return two.sourceB.frames() > bAfterClose + 2048; }, 2000));
    }

    // The real SDL path (the dummy driver in tests, which offers one device).
    void sdlOutputStartsStopsAndCloses() {
        CountingSource source;
        DeviceOutput output;
        QVERIFY(!output.deviceName(-1).empty());
        QCOMPARE(output.deviceName(11), std::string());
        output.setSource(&source);
        std::string error;
        QVERIFY2(output.start(&error), error.c_str());
        QVERIFY(output.sampleRate() > 0);
        QVERIFY(waitUntil([&] { return source.frames() > 8192; }, 3000));
        output.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const int64_t stopped = source.frames();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        QCOMPARE(source.frames(), stopped);
        QVERIFY(output.start(&error));
        QVERIFY(waitUntil([&] { return source.frames() > stopped + 4096; }, 3000));
        output.close();
        QVERIFY(!output.isStarted());
    }
};

QTEST_GUILESS_MAIN(TestOutputs)
#include "tst_outputs.moc"
