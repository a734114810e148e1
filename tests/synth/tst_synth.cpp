// The synthesiser's promises that other tests build on: written files read back as
// written, fades and breaks are where the recipe puts them, a seed gives one song.

#include <sndfile.h>

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

}  // namespace

class TestSynth : public QObject {
    Q_OBJECT

private slots:
    void wavRoundTrip_data();
    void wavRoundTrip();
    void fadeReachesSilence();
    void breakIsQuietAndSongReturns();
    void seedGivesOneSongAtThePeak();

private:
    QTemporaryDir m_dir;
};

void TestSynth::wavRoundTrip_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("subtype");
    QTest::addColumn<int>("channels");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("8-bit stereo") << int(WavFormat::Pcm8) << int(SF_FORMAT_PCM_U8) << 2
                                  << 1.5 / 128;
    QTest::newRow("16-bit mono") << int(WavFormat::Pcm16) << int(SF_FORMAT_PCM_16) << 1
                                 << 1.5 / 32768;
    QTest::newRow("24-bit stereo")
        << int(WavFormat::Pcm24) << int(SF_FORMAT_PCM_24) << 2 << 1.5 / 8388608;
    QTest::newRow("32-bit stereo") << int(WavFormat::Pcm32) << int(SF_FORMAT_PCM_32) << 2 << 1e-6;
    QTest::newRow("float mono") << int(WavFormat::Float) << int(SF_FORMAT_FLOAT) << 1 << 0.0;
}

void TestSynth::wavRoundTrip() {
    QFETCH(int, format);
    QFETCH(int, subtype);
    QFETCH(int, channels);
    QFETCH(double, tolerance);
    const int rate = 48000;  // not the default, so that a writer ignoring it fails
    // The extremes show both the scaling and the clipping of a format.
    Audio audio{rate, channels, {}};
    for (float v : {1.0f, -1.0f, 0.5f, -0.25f, 1e-3f}) {
        audio.samples.insert(audio.samples.end(), size_t(channels), v);
    }
    audio = concat(audio, sine(997.0, 0.25, 0.9f, rate, channels));
    const std::string path = m_dir.filePath("roundtrip.wav").toStdString();
    std::string error;
    QVERIFY2(writeWav(path, audio, WavFormat(format), &error), error.c_str());

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    QVERIFY2(file != nullptr, sf_strerror(nullptr));
    std::vector<float> read(audio.samples.size());
    sf_readf_float(file, read.data(), audio.frames());
    sf_close(file);
    QCOMPARE(info.format, SF_FORMAT_WAV | subtype);
    QCOMPARE(info.samplerate, rate);
    QCOMPARE(info.channels, channels);
    QCOMPARE(int64_t(info.frames), audio.frames());
    double worst = 0.0;
    for (size_t i = 0; i < read.size(); ++i) {
        worst = std::max(worst, double(std::fabs(read[i] - audio.samples[i])));
    }
    QVERIFY2(worst <= tolerance, qPrintable(QString::number(worst)));
}

void TestSynth::fadeReachesSilence() {
    TrackRecipe recipe;
    recipe.seconds = 20.0;  // the beat is in from 8 s
    recipe.fadeOutSeconds = 4.0;
    const Audio audio = renderTrack(recipe);
    QCOMPARE(audio.frames(), int64_t(20 * 44100));
    QCOMPARE(audio.samples.back(), 0.0f);

    const double body = rms(audio, 8.0, 12.0);
    QVERIFY2(rms(audio, 15.0, 16.0) > 0.7 * body, "fade starts too early");
    QVERIFY2(rms(audio, 19.8, 20.0) < 0.05 * body, "the fade does not reach silence");
}

void TestSynth::breakIsQuietAndSongReturns() {
    TrackRecipe recipe;
    recipe.seconds = 30.0;
    recipe.breakStart = 12.0;
    recipe.breakSeconds = 8.0;
    const Audio audio = renderTrack(recipe);
    const double before = rms(audio, 8.0, 12.0);
    QVERIFY2(rms(audio, 12.5, 19.5) < 0.1 * before, "the break is not quiet");
    QVERIFY2(rms(audio, 20.5, 28.0) > 0.7 * before, "the song does not come back");
}

void TestSynth::seedGivesOneSongAtThePeak() {
    TrackRecipe recipe;
    recipe.seconds = 6.0;
    recipe.seed = 42;
    recipe.peak = 0.5f;
    const Audio first = renderTrack(recipe);
    QVERIFY(first.samples == renderTrack(recipe).samples);
    const auto loudest = std::ranges::max_element(
        first.samples, [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    QCOMPARE(std::fabs(*loudest), 0.5f);
    recipe.seed = 43;
    QVERIFY(first.samples != renderTrack(recipe).samples);
}

QTEST_GUILESS_MAIN(TestSynth)
#include "tst_synth.moc"
