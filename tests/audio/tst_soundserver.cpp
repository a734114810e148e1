// The live path on a real sound server: a private PulseAudio server with three
// null sinks, the main output on one and a player on another, recorded through
// their monitors, the main sink unplugged and plugged back, then the player's
// unplugged. Skipped, with the reason, where the server cannot start.

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <thread>

#include "OfflineMix.h"
#include "PulseServer.h"
#include "TestSignals.h"
#include "WaitUntil.h"
#include "audio/DeviceOutput.h"
#include "audio/FileSource.h"
#include "audio/Mixer.h"
#include "audio/OutputGroup.h"
#include "audio/Player.h"

using namespace varonel::audio;
using waituntil::waitUntil;
using namespace std::chrono_literals;
using namespace testsignals;

namespace {

using offlinemix::kRate;
constexpr int kFadeMs = 400;
// What the programs keep queued by default (Varonel.conf, 250 ms).
constexpr int kProgramBufferFrames = 11025;

int indexOfDevice(const AudioOutput& output, const std::string& name) {
    for (int i = 0; !output.deviceName(i).empty(); ++i) {
        if (output.deviceName(i).find(name) != std::string::npos) {
            return i;
        }
    }
    return -100;
}

std::vector<float> leftOf(const std::vector<float>& stereo) {
    std::vector<float> left;
    for (size_t i = 0; i < stereo.size(); i += 2) {
        left.push_back(stereo[i]);
    }
    return left;
}

size_t firstAbove(const std::vector<float>& samples, float level, size_t from = 0) {
    return size_t(std::find_if(samples.begin() + ptrdiff_t(from), samples.end(),
                               [level](float s) { return s > level; }) -
                  samples.begin());
}

}  // namespace

class TestSoundServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QString why;
        if (!m_server.start(&why)) {
            QSKIP(qPrintable("PulseAudio server not available here, test skipped: " + why));
        }
        // The sound system is opened at the first output, after this.
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
        qputenv("PULSE_SERVER", m_server.serverAddress().toLocal8Bit());
        QVERIFY(m_dir.isValid());
    }

    // A transition on the main sink, the player's own signal on the other, the
    // two outputs in one group as the program makes them. Then the main sink
    // goes away twice: with a free default, the programme goes on there at once
    // and comes back to its sink once it returns; with the player's sink as the
    // default, it waits, silent, and never reaches the player's sink. The
    // player's sink, gone in its turn, is waited for just the same.
    void bothOutputsThenTheMainSinkIsRemoved() {
        const std::string x =
            writeFloatWav(m_dir.filePath("x.wav"), constant(0.3f, 6)).toStdString();
        const std::string y =
            writeFloatWav(m_dir.filePath("y.wav"), constant(0.2f, 30)).toStdString();
        FileSource sources[2];
        Mixer mixer;
        mixer.setSource(0, &sources[0]);
        mixer.setSource(1, &sources[1]);
        const auto group = std::make_shared<OutputGroup>();
        DeviceOutput main(systemBackend(), group);
        main.setSource(&mixer);
        Player player(std::make_unique<DeviceOutput>(systemBackend(), group));
        const int sinkA = indexOfDevice(main, "VaronelA");
        const int sinkB = indexOfDevice(main, "VaronelB");
        QVERIFY2(sinkA >= 0 && sinkB >= 0, main.deviceName(0).c_str());
        // The programs' own buffer.
        main.setBufferFrames(kProgramBufferFrames);
        player.output().setBufferFrames(kProgramBufferFrames);
        main.setDeviceIndex(sinkA);
        player.setDeviceIndex(sinkB);
        QVERIFY(player.setFileName(
            writeFloatWav(m_dir.filePath("pfl.wav"), constant(0.1f, 30)).toStdString()));

        QVERIFY(m_server.record("VaronelA"));
        QVERIFY(m_server.record("VaronelB"));
        std::this_thread::sleep_for(400ms);
        std::string error;
        QVERIFY2(player.play(&error), error.c_str());
        QVERIFY(sources[0].setFileName(x));
        mixer.setInputFinished(0, false);
        QVERIFY2(main.start(&error), error.c_str());
        // A new stream on a fresh server takes a moment before it flows.
        QVERIFY(waitUntil([&] { return sources[0].positionMs() >= 500; }, 5000));
        sources[1].load(y);
        mixer.setInputFinished(1, false);
        mixer.fadeOutWhenStarted(0, 1, kFadeMs);
        std::this_thread::sleep_for(std::chrono::milliseconds(kFadeMs + 600));

        // The sink goes with a free default: the programme goes on there.
        QVERIFY(m_server.setDefaultSink("VaronelC"));
        QVERIFY(m_server.removeSink("VaronelA"));
        QVERIFY(waitUntil([&] { return main.route() == OutputRoute::Fallback; }, 2000));
        QVERIFY(m_server.awaitRecorded("VaronelA", kRate, 5000));
        const std::vector<float> a = leftOf(m_server.stopRecording("VaronelA"));
        checkTransition(a, x, y);

        // It comes back: so does the programme, by itself, and it goes on.
        QVERIFY(m_server.addSink("VaronelA"));
        QVERIFY(waitUntil([&] { return main.route() == OutputRoute::Chosen; }, 4000));
        QCOMPARE(m_server.streamsOn("VaronelA"), 1);
        QCOMPARE(m_server.streamsOn("VaronelC"), 0);
        // A null sink just loaded first plays the block it took ahead (up to 2 s).
        const int32_t back = sources[1].positionMs();
        QVERIFY(waitUntil([&] { return sources[1].positionMs() > back + 200; }, 4000));

        // Gone again, with the player's sink as the default: the programme waits,
        // held where it was, and never reaches the player's sink.
        QVERIFY(m_server.setDefaultSink("VaronelB"));
        QVERIFY(m_server.removeSink("VaronelA"));
        QVERIFY(waitUntil([&] { return main.route() == OutputRoute::Waiting; }, 2000));
        const int32_t held = sources[1].positionMs();
        std::this_thread::sleep_for(500ms);
        QCOMPARE(sources[1].positionMs(), held);
        // A pause, which the meters keep: the smart mix must not take it for a fade.
        QVERIFY(main.levelLeft() > 0);
        QVERIFY(m_server.addSink("VaronelA"));
        QVERIFY(waitUntil([&] { return main.route() == OutputRoute::Chosen; }, 4000));
        QCOMPARE(m_server.streamsOn("VaronelA"), 1);
        QVERIFY(waitUntil([&] { return sources[1].positionMs() > held + 200; }, 4000));

        const std::vector<float> b = leftOf(m_server.stopRecording("VaronelB"));
        // Sink B: the player's own signal throughout, never the programme.
        const size_t playerFrame = firstAbove(b, 0.05f);
        QVERIFY(playerFrame + kRate < b.size());
        QCOMPARE(firstAbove(b, 0.15f, playerFrame), b.size());
        QVERIFY(std::abs(b[b.size() - kRate / 5] - 0.1f) < 1e-3f);

        // The player's sink goes, the programme's being the default: the
        // player waits, held, and never reaches the programme's sink. Closed,
        // it leaves the programme playing.
        QVERIFY(m_server.setDefaultSink("VaronelA"));
        QVERIFY(m_server.removeSink("VaronelB"));
        QVERIFY(waitUntil([&] { return player.output().route() == OutputRoute::Waiting; }, 2000));
        const int32_t playerHeld = player.positionMs();
        std::this_thread::sleep_for(500ms);
        QCOMPARE(player.positionMs(), playerHeld);
        QCOMPARE(m_server.streamsOn("VaronelA"), 1);
        player.output().close();
        const int32_t playing = sources[1].positionMs();
        QVERIFY(waitUntil([&] { return sources[1].positionMs() > playing + 200; }, 4000));
    }

private:
    // Sink A's recording: the programme alone, with the transition exactly as the
    // offline render makes it, no gap around it; then, once the sink has gone,
    // the programme on the default sink, where the server moved the recording
    // with it (how long the silence between lasts is the benchmark's).
    static void checkTransition(const std::vector<float>& a, const std::string& x,
                                const std::string& y) {
        const size_t firstSound = firstAbove(a, 0.25f);
        const size_t heardStart = firstAbove(a, 0.45f, firstSound);
        const size_t beforeRemoval = heardStart + size_t(kFadeMs + 400) * kRate / 1000;
        QVERIFY(firstSound + kRate / 5 < heardStart && beforeRemoval < a.size());
        // From a little before the transition on: a stream's first moments on a
        // fresh server are its own business.
        for (size_t i = heardStart - kRate / 5; i < beforeRemoval; ++i) {
            QVERIFY2(a[i] > 0.15f && a[i] < 0.55f, qPrintable(QString::number(i)));
        }
        QVERIFY(std::abs(a[beforeRemoval] - 0.2f) < 1e-3f);  // the incoming track alone
        const std::vector<float> render = offlineTransition(x, y);
        const size_t renderStart = firstAbove(render, 0.45f);
        const size_t overlap = size_t(kFadeMs + 20) * kRate / 1000;
        QVERIFY(renderStart + overlap < render.size());
        // The server keeps 16-bit samples: equal within one step.
        for (size_t k = 0; k < overlap; ++k) {
            QVERIFY2(std::abs(a[heardStart + k] - render[renderStart + k]) < 1e-4f,
                     qPrintable(QString::number(k)));
        }
        // The recording went on a second past the fallback (awaitRecorded).
        QVERIFY(std::abs(a[a.size() - kRate / 10] - 0.2f) < 1e-3f);
    }

    // The same transition rendered offline.
    static std::vector<float> offlineTransition(const std::string& x, const std::string& y) {
        offlinemix::Mix mix(true);
        mix.play(0, QString::fromStdString(x));
        std::vector<float> left = mix.left(offlinemix::framesOf(300));
        mix.play(1, QString::fromStdString(y));
        mix.mixer.fadeOutWhenStarted(0, 1, kFadeMs);
        const std::vector<float> rest = mix.left(offlinemix::framesOf(kFadeMs + 300));
        left.insert(left.end(), rest.begin(), rest.end());
        return left;
    }

    PulseServer m_server{{"VaronelA", "VaronelB", "VaronelC"}};
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSoundServer)
#include "tst_soundserver.moc"
