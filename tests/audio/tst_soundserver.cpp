// The live path on a real sound server: a private PulseAudio server with two null
// sinks, the main output on one and a player on the other, both recorded through
// their monitors. Skipped, with the reason, where the server cannot start.

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <thread>

#include "DeviceOutput.h"
#include "FileSource.h"
#include "Mixer.h"
#include "OfflineOutput.h"
#include "Player.h"
#include "PulseServer.h"
#include "TestSignals.h"

using namespace varonel::audio;

namespace {

constexpr int kRate = 44100;
constexpr int kFadeMs = 400;

int indexOfDevice(const AudioOutput& output, const std::string& name) {
    for (int i = 0; i < 32; ++i) {
        const std::string listed = output.deviceName(i);
        if (listed.empty()) {
            break;
        }
        if (listed.find(name) != std::string::npos) {
            return i;
        }
    }
    return -100;
}

std::vector<float> leftOf(const std::vector<float>& stereo) {
    std::vector<float> left(stereo.size() / 2);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = stereo[2 * i];
    }
    return left;
}

size_t firstAbove(const std::vector<float>& samples, float level, size_t from = 0) {
    for (size_t i = from; i < samples.size(); ++i) {
        if (samples[i] > level) {
            return i;
        }
    }
    return samples.size();
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
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
        // SDL opens its audio on first use, after this.
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
        qputenv("PULSE_SERVER", m_server.serverAddress().toLocal8Bit());
        QVERIFY(m_dir.isValid());
    }

    // A transition on the main sink, the player's own signal on the other; then
    // the main sink goes away mid-play and the programme goes on, on the default.
    void bothOutputsThenTheMainSinkIsRemoved() {
        const std::string x =
            testsignals::writeFloatWav(m_dir.filePath("x.wav"), testsignals::constant(0.3f, 6))
                .toStdString();
        const std::string y =
            testsignals::writeFloatWav(m_dir.filePath("y.wav"), testsignals::constant(0.2f, 12))
                .toStdString();
        const std::string second =
            testsignals::writeFloatWav(m_dir.filePath("pfl.wav"), testsignals::constant(0.1f, 12))
                .toStdString();
        FileSource sources[2];
        Mixer mixer;
        mixer.setSource(0, &sources[0]);
        mixer.setSource(1, &sources[1]);
        DeviceOutput main;
        main.setSource(&mixer);
        Player player;
        const int sinkA = indexOfDevice(main, "VaronelA");
        const int sinkB = indexOfDevice(main, "VaronelB");
        QVERIFY2(sinkA >= 0 && sinkB >= 0, main.deviceName(0).c_str());
        main.setDeviceIndex(sinkA);
        // A server shares the machine with the tests running beside this one: two
        // buffers' worth of latency keeps it from dropping blocks.
        main.setBufferFrames(2048);
        static_cast<DeviceOutput&>(player.output()).setBufferFrames(2048);
        player.setDeviceIndex(sinkB);
        QVERIFY(player.setFileName(second));

        QVERIFY(m_server.record("VaronelA"));
        QVERIFY(m_server.record("VaronelB"));
        sleepMs(400);
        std::string error;
        QVERIFY2(player.play(&error), error.c_str());
        QVERIFY(sources[0].setFileName(x));
        mixer.setInputFinished(0, false);
        QVERIFY2(main.start(&error), error.c_str());
        // A new stream on a fresh server takes a moment before it flows.
        QElapsedTimer warmUp;
        warmUp.start();
        while (sources[0].positionMs() < 500 && warmUp.elapsed() < 5000) {
            sleepMs(10);
        }
        QVERIFY(sources[0].positionMs() >= 500);
        sources[1].load(y);
        mixer.setInputFinished(1, false);
        mixer.fadeOutWhenStarted(0, 1, kFadeMs);
        sleepMs(kFadeMs + 600);
        QVERIFY(mixer.inputFinished(0));

        QVERIFY(m_server.removeSink("VaronelA"));
        sleepMs(1500);
        const std::vector<float> a = leftOf(m_server.stopRecording("VaronelA"));
        const std::vector<float> b = leftOf(m_server.stopRecording("VaronelB"));
        main.close();
        player.stop();

        // Sink A: the programme alone, with the transition exactly as the offline
        // render makes it, and no gap around it until the sink goes.
        // (The server then moves A's monitor, and the recording, to B.)
        const size_t firstSound = firstAbove(a, 0.25f);
        const size_t heardStart = firstAbove(a, 0.45f, firstSound);
        const size_t beforeRemoval = heardStart + size_t(kFadeMs + 400) * kRate / 1000;
        QVERIFY(firstSound + kRate / 5 < heardStart && beforeRemoval < a.size());
        // From a little before the transition on: a stream's first moments on a fresh
        // server are its own business.
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

        // Sink B: the player's own signal, then the programme on top of it.
        const size_t playerFrame = firstAbove(b, 0.05f);
        const size_t resumed = firstAbove(b, 0.2f, playerFrame);
        QVERIFY2(resumed < b.size(), "the programme never came back on the default sink");
        QVERIFY(resumed > playerFrame + kRate / 5);
        // Nothing of the programme before it (a server under load may drop a block).
        for (size_t i = playerFrame; i + kRate / 100 < resumed; ++i) {
            QVERIFY2(b[i] < 0.15f, qPrintable(QString::number(i)));
        }
        QVERIFY(std::abs(b[(playerFrame + resumed) / 2] - 0.1f) < 1e-3f);
        QVERIFY(std::abs(b[b.size() - kRate / 5] - 0.3f) < 1e-3f);

        // The dead air: the server moved A's recording to B's monitor with the
        // programme, so the recording runs on through the loss.
        size_t gapStart = beforeRemoval;
        while (gapStart < a.size() && a[gapStart] > 0.1f) {
            ++gapStart;
        }
        const size_t gapEnd = firstAbove(a, 0.25f, gapStart);
        QVERIFY(gapEnd < a.size());
        const double deadAirMs = double(gapEnd - gapStart) * 1000.0 / kRate;
        qInfo("dead air after the main sink was removed: %.0f ms", deadAirMs);
        // Under the sanitizers everything runs several times slower.
        const bool sanitized =
            qEnvironmentVariableIsSet("ASAN_OPTIONS") || qEnvironmentVariableIsSet("TSAN_OPTIONS");
        QVERIFY2(deadAirMs < (sanitized ? 2000.0 : 500.0), qPrintable(QString::number(deadAirMs)));
    }

private:
    // The same transition rendered offline.
    static std::vector<float> offlineTransition(const std::string& x, const std::string& y) {
        FileSource sources[2];
        Mixer mixer;
        mixer.setSource(0, &sources[0]);
        mixer.setSource(1, &sources[1]);
        OfflineOutput output(kRate);
        output.setSource(&mixer);
        output.setLimiter(true);
        output.start();
        sources[0].setFileName(x);
        mixer.setInputFinished(0, false);
        std::vector<float> left;
        const auto pull = [&](int ms) {
            for (int done = 0; done < ms * kRate / 1000; done += 441) {
                const float* block = output.pull(441);
                for (int i = 0; i < 441; ++i) {
                    left.push_back(block[2 * i]);
                }
            }
        };
        pull(300);
        sources[1].setFileName(y);
        mixer.setInputFinished(1, false);
        mixer.fadeOutWhenStarted(0, 1, kFadeMs);
        pull(kFadeMs + 300);
        return left;
    }

    PulseServer m_server;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSoundServer)
#include "tst_soundserver.moc"
