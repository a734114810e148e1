// The synthesiser's promises that other tests build on: written files read back as
// written, fades and breaks are where the recipe puts them, a seed gives one song.

#include <sndfile.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "Synth.h"

using namespace varonel::synth;

namespace {

double rms(const Audio& audio, double fromSeconds, double toSeconds) {
    const size_t begin = size_t(std::llround(fromSeconds * audio.sampleRate)) * audio.channels;
    const size_t end = std::min(
        audio.samples.size(), size_t(std::llround(toSeconds * audio.sampleRate)) * audio.channels);
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i) {
        sum += double(audio.samples[i]) * audio.samples[i];
    }
    return end > begin ? std::sqrt(sum / double(end - begin)) : 0.0;
}

float peakOf(const Audio& audio) {
    float peak = 0.0f;
    for (float v : audio.samples) {
        peak = std::max(peak, std::fabs(v));
    }
    return peak;
}

// A tone plus the extremes, which show both the scaling and the clipping of a format.
Audio testSignal(int sampleRate, int channels) {
    Audio extremes{sampleRate, channels, {}};
    for (float v : {1.0f, -1.0f, 0.5f, -0.25f, 1e-3f}) {
        extremes.samples.insert(extremes.samples.end(), size_t(channels), v);
    }
    return concat(extremes, sine(997.0, 0.25, 0.9f, sampleRate, channels));
}

}  // namespace

class TestSynth : public QObject {
    Q_OBJECT

private slots:
    void wavRoundTrip_data();
    void wavRoundTrip();
    void writersReportFailure_data();
    void writersReportFailure();
    void mp3Header_data();
    void mp3Header();
    void ending_data();
    void ending();
    void breakIsQuietAndSongReturns();
    void seedGivesOneSongAtThePeak();

private:
    QTemporaryDir m_dir;
};

void TestSynth::wavRoundTrip_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("subtype");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("8-bit stereo") << int(WavFormat::Pcm8) << int(SF_FORMAT_PCM_U8) << 44100 << 2
                                  << 1.5 / 128;
    QTest::newRow("16-bit mono 48k")
        << int(WavFormat::Pcm16) << int(SF_FORMAT_PCM_16) << 48000 << 1 << 1.5 / 32768;
    QTest::newRow("24-bit stereo 48k")
        << int(WavFormat::Pcm24) << int(SF_FORMAT_PCM_24) << 48000 << 2 << 1.5 / 8388608;
    QTest::newRow("32-bit stereo")
        << int(WavFormat::Pcm32) << int(SF_FORMAT_PCM_32) << 44100 << 2 << 1e-6;
    QTest::newRow("float mono") << int(WavFormat::Float) << int(SF_FORMAT_FLOAT) << 44100 << 1
                                << 0.0;
}

void TestSynth::wavRoundTrip() {
    QFETCH(int, format);
    QFETCH(int, subtype);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(double, tolerance);
    const Audio audio = testSignal(rate, channels);
    const std::string path = m_dir.filePath("roundtrip.wav").toStdString();
    std::string error;
    QVERIFY2(writeWav(path, audio, WavFormat(format), &error), error.c_str());

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    QVERIFY2(file != nullptr, sf_strerror(nullptr));
    std::vector<float> read(size_t(info.frames) * size_t(info.channels));
    const sf_count_t got = sf_readf_float(file, read.data(), info.frames);
    sf_close(file);
    QCOMPARE(info.format, SF_FORMAT_WAV | subtype);
    QCOMPARE(info.samplerate, rate);
    QCOMPARE(info.channels, channels);
    QCOMPARE(int64_t(info.frames), audio.frames());
    QCOMPARE(int64_t(got), audio.frames());
    for (size_t i = 0; i < read.size(); ++i) {
        if (std::fabs(read[i] - audio.samples[i]) > tolerance) {
            QFAIL(qPrintable(QStringLiteral("sample %1: wrote %2, read %3")
                                 .arg(i)
                                 .arg(audio.samples[i])
                                 .arg(read[i])));
        }
    }
}

void TestSynth::writersReportFailure_data() {
    QTest::addColumn<bool>("mp3");
    QTest::addColumn<int>("channels");
    QTest::addColumn<bool>("missingFolder");
    QTest::newRow("wav, missing folder") << false << 2 << true;
    QTest::newRow("mp3, missing folder") << true << 2 << true;
    QTest::newRow("mp3, three channels") << true << 3 << false;
}

void TestSynth::writersReportFailure() {
    QFETCH(bool, mp3);
    QFETCH(int, channels);
    QFETCH(bool, missingFolder);
    const QString name = missingFolder ? "absent/out" : "out";
    const std::string path = m_dir.filePath(name + (mp3 ? ".mp3" : ".wav")).toStdString();
    const Audio audio = sine(440.0, 0.1, 0.5f, 44100, channels);
    std::string error;
    const bool ok = mp3 ? writeMp3(path, audio, Mp3Mode::Cbr, &error)
                        : writeWav(path, audio, WavFormat::Pcm16, &error);
    QVERIFY(!ok);
    QVERIFY2(error.find(path) != std::string::npos, error.c_str());
    QVERIFY(!QFile::exists(QString::fromStdString(path)));
}

void TestSynth::mp3Header_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QByteArray>("header");  // empty: neither Xing nor Info may appear
    QTest::newRow("cbr") << int(Mp3Mode::Cbr) << 44100 << 2 << QByteArray("Info");
    QTest::newRow("vbr mono 48k") << int(Mp3Mode::Vbr) << 48000 << 1 << QByteArray("Xing");
    QTest::newRow("vbr without header") << int(Mp3Mode::VbrNoXing) << 44100 << 2 << QByteArray();
}

void TestSynth::mp3Header() {
    QFETCH(int, mode);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(QByteArray, header);
    const std::string path = m_dir.filePath("header.mp3").toStdString();
    TrackRecipe recipe;
    recipe.seconds = 3.0;
    recipe.sampleRate = rate;
    recipe.channels = channels;
    std::string error;
    QVERIFY2(writeMp3(path, renderTrack(recipe), Mp3Mode(mode), &error), error.c_str());

    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QVERIFY(data.size() > 10000);
    // The header lives in the first frame: at most 1441 bytes at these rates.
    const QByteArray firstFrame = data.left(1441);
    QVERIFY(uchar(data[0]) == 0xFF && (uchar(data[1]) & 0xE0) == 0xE0);
    if (header.isEmpty()) {
        QVERIFY(!firstFrame.contains("Xing") && !firstFrame.contains("Info"));
    } else {
        QVERIFY(firstFrame.contains(header));
    }
}

void TestSynth::ending_data() {
    QTest::addColumn<double>("fade");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::newRow("fade 4 s") << 4.0 << 44100 << 2;
    QTest::newRow("fade 6 s, mono 48k") << 6.0 << 48000 << 1;
    QTest::newRow("no fade") << 0.0 << 44100 << 2;
}

void TestSynth::ending() {
    QFETCH(double, fade);
    QFETCH(int, rate);
    QFETCH(int, channels);
    TrackRecipe recipe;
    recipe.seconds = 20.0;
    recipe.bpm = 120.0;  // the beat is in from 8 s
    recipe.sampleRate = rate;
    recipe.channels = channels;
    recipe.fadeOutSeconds = fade;
    const Audio audio = renderTrack(recipe);
    QCOMPARE(audio.frames(), int64_t(20 * rate));
    QCOMPARE(audio.samples.back(), 0.0f);

    const double body = rms(audio, 8.0, 12.0);
    QVERIFY(body > 0.05);
    if (fade == 0.0) {
        // Without a fade the song keeps its level to the end.
        QVERIFY(rms(audio, 19.0, 20.0) > 0.7 * body);
        return;
    }
    const double fadeStart = 20.0 - fade;
    QVERIFY2(rms(audio, fadeStart - 1.0, fadeStart) > 0.7 * body, "fade starts too early");
    const double firstHalf = rms(audio, fadeStart, fadeStart + fade / 2);
    const double secondHalf = rms(audio, fadeStart + fade / 2, 20.0);
    QVERIFY2(firstHalf > 1.8 * secondHalf, "the level does not fall through the fade");
    QVERIFY2(rms(audio, 19.8, 20.0) < 0.05 * body, "the fade does not reach silence");
}

void TestSynth::breakIsQuietAndSongReturns() {
    TrackRecipe recipe;
    recipe.seconds = 30.0;
    recipe.bpm = 120.0;
    recipe.breakStart = 12.0;
    recipe.breakSeconds = 8.0;
    const Audio audio = renderTrack(recipe);
    const double before = rms(audio, 8.0, 12.0);
    const double inside = rms(audio, 12.5, 19.5);
    const double after = rms(audio, 20.5, 28.0);
    QVERIFY2(inside < 0.1 * before, "the break is not quiet");
    QVERIFY2(inside > 0.001 * before, "the break is silent: the pads should go on");
    QVERIFY2(after > 0.7 * before, "the song does not come back after the break");
}

void TestSynth::seedGivesOneSongAtThePeak() {
    TrackRecipe recipe;
    recipe.seconds = 6.0;
    recipe.seed = 42;
    recipe.peak = 0.5f;
    const Audio first = renderTrack(recipe);
    QVERIFY(first.samples == renderTrack(recipe).samples);
    QCOMPARE(peakOf(first), 0.5f);
    recipe.seed = 43;
    QVERIFY(first.samples != renderTrack(recipe).samples);
}

QTEST_GUILESS_MAIN(TestSynth)
#include "tst_synth.moc"
