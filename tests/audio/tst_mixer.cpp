// The file sources and the mixer, heard through the offline output at sample level.

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include "FileBytes.h"
#include "OfflineMix.h"
#include "TestSignals.h"

using namespace varonel::audio;
using namespace testsignals;
using namespace offlinemix;
using Chain = offlinemix::Mix;

class TestMixer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void fadeOutReachesSilenceAndFinishes() {
        Chain chain;
        chain.play(0, writeFloatWav(m_dir.filePath("a.wav"), constant(0.5f, 10)));
        chain.left(framesOf(1000));
        chain.sources[0].fadeOut(1600);
        const std::vector<float> fade = chain.left(framesOf(2000));
        // Falling steadily, and silent from 1600 ms on (within one block).
        QVERIFY(fade[size_t(framesOf(800))] > 0.2f && fade[size_t(framesOf(800))] < 0.3f);
        QVERIFY(fade[size_t(framesOf(1600) - kBlock)] > 0.0f);
        for (size_t i = size_t(framesOf(1600)); i < fade.size(); ++i) {
            QCOMPARE(fade[i], 0.0f);
        }
        QVERIFY(chain.mixer.inputFinished(0));
        // Repeating the order during the fade never stretches it.
        chain.play(1, writeFloatWav(m_dir.filePath("b.wav"), constant(0.5f, 10)));
        chain.left(framesOf(100));
        chain.sources[1].fadeOut(1600);
        chain.left(framesOf(800));
        chain.sources[1].fadeOut(1600);
        chain.left(framesOf(800) + kBlock);
        QVERIFY(chain.mixer.inputFinished(1));
    }

    // A transition: B starts as A fades; they overlap for exactly the fade.
    void twoSourcesOverlapForTheFade() {
        Chain chain;
        chain.play(0, writeFloatWav(m_dir.filePath("low.wav"), constant(0.25f, 10)));
        chain.left(framesOf(500));
        chain.play(1, writeFloatWav(m_dir.filePath("high.wav"), constant(0.5f, 10)));
        chain.sources[0].fadeOut(1600);
        const std::vector<float> mix = chain.left(framesOf(3000));
        QVERIFY(std::abs(mix[0] - 0.75f) < 0.001f);            // both, A at full level
        QVERIFY(mix[size_t(framesOf(1500))] > 0.5f);           // A still heard
        QCOMPARE(mix[size_t(framesOf(1600) + kBlock)], 0.5f);  // B alone
        int64_t lastOverlap = 0;
        for (size_t i = 0; i < mix.size(); ++i) {
            if (mix[i] > 0.5f + 1e-6f) {
                lastOverlap = int64_t(i);
            }
        }
        QVERIFY(std::abs(lastOverlap - framesOf(1600)) <= kBlock);
        QVERIFY(chain.mixer.inputFinished(0));
        QVERIFY(!chain.mixer.inputFinished(1));
    }

    void wholeFilePlaysThenInputFinishes() {
        Chain chain;
        chain.play(2, writeFloatWav(m_dir.filePath("short.wav"), constant(0.5f, 2)));
        QCOMPARE(chain.sources[2].lengthMs(), 2000);
        const std::vector<float> out = chain.left(framesOf(2500));
        const auto heard = std::count(out.begin(), out.end(), 0.5f);
        QCOMPARE(int64_t(heard), framesOf(2000));
        QVERIFY(chain.mixer.inputFinished(2));
        QCOMPARE(chain.sources[2].positionMs(), 2000);
    }

    void seekLandsWithinThirtyMs_data() {
        QTest::addColumn<int>("target");
        QTest::newRow("forward") << 7300;
        QTest::newRow("near start") << 40;
        QTest::newRow("near end") << 19950;
        QTest::newRow("back to start") << 0;
    }
    void seekLandsWithinThirtyMs() {
        QFETCH(int, target);
        static const QString path = writeFloatWav(m_dir.filePath("ramp.wav"), ramp(20));
        Chain chain;
        chain.play(0, path);
        chain.left(framesOf(3000));
        chain.sources[0].setPositionMs(target);
        QCOMPARE(chain.sources[0].positionMs(), target);  // reported at once
        const float first = chain.left(1)[0];
        const double heardMs = double(first) * 20000.0;
        QVERIFY2(std::abs(heardMs - target) <= 30.0, qPrintable(QString::number(heardMs)));
        QVERIFY(std::abs(chain.sources[0].positionMs() - target) <= 30);
    }

    void pausedMixHoldsEverySource() {
        Chain chain;
        chain.play(0, writeFloatWav(m_dir.filePath("p.wav"), constant(0.5f, 5)));
        chain.left(framesOf(1000));
        chain.mixer.setPaused(true);
        const std::vector<float> held = chain.left(framesOf(1000));
        QVERIFY(std::all_of(held.begin(), held.end(), [](float s) { return s == 0.0f; }));
        QVERIFY(std::abs(chain.sources[0].positionMs() - 1000) <= 30);
        chain.mixer.setPaused(false);
        QCOMPARE(chain.left(1)[0], 0.5f);
    }

    void levelsFollowWhatIsHeard() {
        Chain chain;
        const varonel::synth::Audio step =
            varonel::synth::concat(varonel::synth::silence(1.0), varonel::synth::sine(1000, 1.0));
        chain.play(0, writeFloatWav(m_dir.filePath("step.wav"), step));
        chain.output.pull(kBlock);
        QCOMPARE(chain.output.levelLeft(), 0);
        QCOMPARE(chain.output.levelRight(), 0);
        // The first block that carries the tone shows it; the one before does not.
        const int64_t stepFrame = framesOf(1000);
        int64_t pulled = kBlock;
        while (pulled + kBlock <= stepFrame) {
            chain.output.pull(kBlock);
            pulled += kBlock;
            QCOMPARE(chain.output.levelLeft(), 0);
        }
        chain.output.pull(kBlock);
        QVERIFY(chain.output.levelLeft() > 30000);
        chain.output.pull(kBlock);
        QVERIFY(chain.output.levelLeft() > 32700 && chain.output.levelRight() > 32700);
    }

    // Each bad input fails to open with its own message, or plays what it can and
    // ends; either way the source next to it plays on without a gap.
    void badInputNeverStallsTheOthers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("opens");
        // Each cause of a refusal is told by tst_decoder; here, one refusal and
        // the files that open and then end early.
        QByteArray mp3 = mp3Bytes(2.0);
        QByteArray burst = mp3;
        burst.insert(burst.size() / 3, QByteArray(3000, char(0xFF)));
        burst.insert(burst.size() * 2 / 3, QByteArray(2000, char(0x5A)));
        QTest::newRow("refused") << "notes.mp3" << QByteArray("hello, this is no audio\n") << false;
        QTest::newRow("truncated mp3") << "cut.mp3" << mp3.left(mp3.size() / 2) << true;
        QTest::newRow("garbage inside mp3") << "burst.mp3" << burst << true;
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
        const bool opened = chain.sources[1].setFileName(path.toStdString());
        QCOMPARE(opened, opens);
        if (!opened) {
            QVERIFY(!chain.sources[1].lastError().empty());
        }
        chain.mixer.setInputFinished(1, false);
        const std::vector<float> mix = chain.left(framesOf(4000));
        // The bad source ends (or never starts) and the good one is heard throughout.
        QVERIFY(chain.mixer.inputFinished(1));
        QVERIFY(!chain.mixer.inputFinished(0));
        QVERIFY(std::all_of(mix.begin() + framesOf(2500), mix.end(),
                            [](float s) { return std::abs(s - 0.25f) < 1e-6f; }));
    }

private:
    static QByteArray mp3Bytes(double seconds) {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.mp3");
        varonel::synth::writeMp3(path.toStdString(), varonel::synth::sine(440, seconds, 0.5f));
        return filebytes::read(path);
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestMixer)
#include "tst_mixer.moc"
