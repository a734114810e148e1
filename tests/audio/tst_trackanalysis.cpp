// A track listened through once: its loudness, true peak and where its audio
// starts and ends, and the cache that keeps all of it between runs.

#include <QTemporaryDir>
#include <QtTest>

#include "FileBytes.h"
#include "Synth.h"
#include "TestSignals.h"
#include "audio/TrackAnalysis.h"
#include "audio/TrackCache.h"

using namespace varonel;

class TestTrackAnalysis : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // A 1 kHz sine on both channels measures as EBU R128 says: its loudness in
    // LUFS and its true peak in dBTP are its amplitude in dBFS (-6.0 at half of
    // full scale), whatever silences surround it and at any rate; the audio
    // starts and ends where the sine does, never inside it.
    void measuresLoudnessPeakAndWhereTheAudioIs_data() {
        QTest::addColumn<double>("lead");
        QTest::addColumn<double>("tail");
        QTest::addColumn<float>("amplitude");
        QTest::addColumn<int>("rate");
        QTest::newRow("silences around") << 1.5 << 2.0 << 0.5f << 44100;
        QTest::newRow("quiet master, 48 kHz") << 0.5 << 3.0 << 0.05f << 48000;
        QTest::newRow("no silence") << 0.0 << 0.0 << 0.5f << 44100;
    }
    void measuresLoudnessPeakAndWhereTheAudioIs() {
        QFETCH(double, lead);
        QFETCH(double, tail);
        QFETCH(float, amplitude);
        QFETCH(int, rate);
        const double seconds = 10.0;
        const synth::Audio audio = synth::concat(
            synth::concat(synth::silence(lead, rate), synth::sine(1000, seconds, amplitude, rate)),
            synth::silence(tail, rate));
        audio::TrackAnalysis analysis;
        QVERIFY(analyse(audio, &analysis));
        const double dbfs = 20 * std::log10(amplitude);
        QVERIFY2(std::abs(analysis.loudnessLufs - dbfs) < 0.2,
                 qPrintable(QString::number(analysis.loudnessLufs)));
        QVERIFY(std::abs(analysis.truePeakDbtp - dbfs) < 0.2);
        const double start = analysis.audioStartFrame / double(rate);
        const double end = analysis.audioEndFrame / double(rate);
        QVERIFY2(start <= lead && start > lead - 0.03 && end >= lead + seconds &&
                     end < lead + seconds + 0.03,
                 qPrintable(QString("%1 s to %2 s").arg(start).arg(end)));
        QCOMPARE(analysis.length.frames, audio.frames());
    }

    // The gain brings a track to the target unless a boost would push its true
    // peak past the ceiling; a loud track is brought down to the target even when
    // its own peaks pass the ceiling; a track with nothing audible is left as it is.
    void gainStopsAtTheCeiling() {
        audio::TrackAnalysis quietButPeaky;
        // A quiet sine with one click at half of full scale: boosting it to
        // -16 LUFS would push the click past -1 dBTP.
        synth::Audio audio = synth::sine(440, 10.0, 0.01f);
        audio.samples[44100] = audio.samples[44101] = 0.5f;
        QVERIFY(analyse(audio, &quietButPeaky));
        const double gain = quietButPeaky.gainDbFor(-16, -1);
        QVERIFY(gain > 0 && gain < -16 - quietButPeaky.loudnessLufs);
        QVERIFY2(std::abs(quietButPeaky.truePeakDbtp + gain + 1) < 0.01,
                 qPrintable(QString::number(quietButPeaky.truePeakDbtp + gain)));

        audio::TrackAnalysis loud;
        QVERIFY(analyse(synth::sine(1000, 10.0, 0.99f), &loud));
        QVERIFY(std::abs(loud.gainDbFor(-16, -1) - (-16 - loud.loudnessLufs)) < 0.01);

        audio::TrackAnalysis silent;
        QVERIFY(analyse(synth::silence(3.0), &silent));
        QCOMPARE(silent.loudnessLufs, audio::TrackAnalysis::kSilentLufs);
        QCOMPARE(silent.gainDbFor(-16, -1), 0.0);
        QCOMPARE(silent.audioStartFrame, int64_t(0));
        QCOMPARE(silent.audioEndFrame, silent.length.frames);
    }

    // What the cache learned comes back from its file in another run; a damaged
    // line costs only its entry, a file of another kind is not read, and an
    // edited file is not taken for its old version.
    void cacheKeepsWhatItLearnedAcrossRuns() {
        const QString track = m_dir.filePath("Cache - Titre.wav");
        testsignals::writeWavOrFail(track, synth::sine(500, 2.0, 0.3f), synth::WavFormat::Pcm16);
        const std::string path = track.toStdString();
        audio::TrackAnalysis analysis;
        std::string error;
        QVERIFY(audio::analyseTrack(path, &analysis, &error));
        audio::TrackCache first;
        first.storeAnalysis(path, audio::stampOf(path), analysis);
        first.storeLength("/elsewhere.mp3", {10, 20}, {4410, 44100});
        const QString file = m_dir.filePath("Pistes.cache");
        QVERIFY(first.save(file.toStdString(), &error));
        QVERIFY(!first.changed());

        QByteArray bytes = filebytes::read(file);
        bytes.replace("/elsewhere.mp3\t10\t20\t4410", "/elsewhere.mp3\t10\tx\t4410");
        QVERIFY(filebytes::write(file, bytes));
        audio::TrackCache second;
        QVERIFY(second.load(file.toStdString()));
        QCOMPARE(second.size(), size_t(1));
        audio::TrackAnalysis read;
        QVERIFY(second.findAnalysis(path, audio::stampOf(path), &read));
        QCOMPARE(read.audioEndFrame, analysis.audioEndFrame);
        QVERIFY(std::abs(read.loudnessLufs - analysis.loudnessLufs) < 0.01);
        audio::FileStamp edited = audio::stampOf(path);
        edited.modifiedNs += 1;
        QVERIFY(!second.findAnalysis(path, edited, &read));

        QVERIFY(filebytes::write(file, "another file\n" + bytes));
        QVERIFY(!audio::TrackCache().load(file.toStdString()));
    }

private:
    bool analyse(const synth::Audio& audio, audio::TrackAnalysis* analysis) {
        const QString path = m_dir.filePath(QString("t%1.wav").arg(++m_files));
        testsignals::writeWavOrFail(path, audio, synth::WavFormat::Float);
        std::string error;
        return audio::analyseTrack(path.toStdString(), analysis, &error);
    }

    QTemporaryDir m_dir;
    int m_files = 0;
};

QTEST_GUILESS_MAIN(TestTrackAnalysis)
#include "tst_trackanalysis.moc"
