// Decoders and track lengths: exact lengths of every WAV and MP3 flavour, seeks that
// land on time, bad files that fail with a clear cause or end cleanly, and the length
// cache.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <random>
#include <thread>

#include "Decoder.h"
#include "Synth.h"
#include "TrackLength.h"

using varonel::audio::Decoder;
using varonel::audio::DecoderOpenResult;
using varonel::audio::estimatedLengthMs;
using varonel::audio::exactLengthMs;
using varonel::audio::openDecoder;
namespace synth = varonel::synth;

namespace {

constexpr double kToleranceMs = 30.0;
constexpr int64_t kMp3FrameSamples = 1152;

// The marker file: silence with short loud tone bursts starting at these times.
constexpr double kMarkerSeconds[] = {2.5, 7.25, 12.0, 16.75};
constexpr double kMarkerFileSeconds = 20.0;
constexpr float kMarkerAmplitude = 0.8f;
// Well above MP3 pre-echo before a burst, well below the burst itself.
constexpr float kOnsetThreshold = 0.3f;

struct Generated {
    QString path;
    int64_t frames = 0;  // the truth: what was written
    int sampleRate = 0;
    int channels = 0;
};

double framesToMs(int64_t frames, int rate) {
    return double(frames) * 1000.0 / rate;
}

std::vector<float> readAll(Decoder& decoder, int64_t chunkFrames = 3001) {
    std::vector<float> all;
    std::vector<float> chunk(size_t(chunkFrames * decoder.channels()));
    for (;;) {
        const int64_t got = decoder.read(chunk.data(), chunkFrames);
        if (got <= 0) {
            return all;
        }
        all.insert(all.end(), chunk.begin(), chunk.begin() + got * decoder.channels());
    }
}

// Reads up to `frames` frames, less only at the end of the stream.
std::vector<float> readSome(Decoder& decoder, int64_t frames) {
    std::vector<float> out(size_t(frames * decoder.channels()));
    int64_t filled = 0;
    while (filled < frames) {
        const int64_t got = decoder.read(out.data() + filled * decoder.channels(), frames - filled);
        if (got <= 0) {
            break;
        }
        filled += got;
    }
    out.resize(size_t(filled * decoder.channels()));
    return out;
}

// First frame at or after `from` whose first channel is louder than the threshold.
int64_t firstLoudFrame(const std::vector<float>& samples, int channels, int64_t from = 0) {
    const int64_t frames = int64_t(samples.size()) / channels;
    for (int64_t i = from; i < frames; ++i) {
        if (std::fabs(samples[size_t(i * channels)]) > kOnsetThreshold) {
            return i;
        }
    }
    return -1;
}

double rms(const std::vector<float>& samples, size_t first, size_t count) {
    count = std::min(count, samples.size() - std::min(first, samples.size()));
    double sum = 0.0;
    for (size_t i = first; i < first + count; ++i) {
        sum += double(samples[i]) * samples[i];
    }
    return count > 0 ? std::sqrt(sum / double(count)) : 0.0;
}

synth::Audio markerSignal(int sampleRate, int channels) {
    synth::Audio out = synth::silence(0.0, sampleRate, channels);
    double at = 0.0;
    for (const double marker : kMarkerSeconds) {
        out = synth::concat(out, synth::silence(marker - at, sampleRate, channels));
        out = synth::concat(out, synth::sine(1000.0, 0.1, kMarkerAmplitude, sampleRate, channels));
        at = marker + 0.1;
    }
    return synth::concat(out, synth::silence(kMarkerFileSeconds - at, sampleRate, channels));
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray randomBytes(int count, uint32_t seed) {
    std::mt19937 random(seed);
    QByteArray bytes(count, '\0');
    for (char& byte : bytes) {
        byte = char(random() & 0xFF);
    }
    return bytes;
}

// Sets the modification time explicitly, so that a test does not depend on the
// resolution of the file system's clock.
void setModifiedSeconds(const QString& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

}  // namespace

class TestDecoder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    // Lengths and whole-file playback.
    void lengthIsExactAndFullyPlayed_data();
    void lengthIsExactAndFullyPlayed();
    void startIsAlignedWithTheOriginal_data();
    void startIsAlignedWithTheOriginal();
    void seekLandsOnTheMarkers_data();
    void seekLandsOnTheMarkers();
    void seekIsClampedToTheStream();

    // Bad input.
    void badFileIsRefusedWithItsCause_data();
    void badFileIsRefusedWithItsCause();
    void damagedFileDecodesWhatItCan_data();
    void damagedFileDecodesWhatItCan();
    void formatChangeMidStreamDoesNotStopPlayback();

    // Length cache and header estimates.
    void estimateIsCloseToTheTruth_data();
    void estimateIsCloseToTheTruth();
    void cacheAnswersUntilTheFileChanges();
    void openingUsesTheCachedLength();
    void cacheIsSafeAcrossThreads();

private:
    QString pathFor(const QString& name) const { return m_dir.filePath(name); }
    void generate(const QString& key, const QString& fileName, const synth::Audio& audio, bool mp3,
                  synth::WavFormat wav, synth::Mp3Mode mode);
    void addFileRows(const QStringList& keys);
    QString copyOf(const QString& key, const QString& newName);

    QTemporaryDir m_dir;
    QMap<QString, Generated> m_files;
};

void TestDecoder::generate(const QString& key, const QString& fileName, const synth::Audio& audio,
                           bool mp3, synth::WavFormat wav, synth::Mp3Mode mode) {
    const QString path = pathFor(fileName);
    std::string error;
    const bool written = mp3 ? synth::writeMp3(path.toStdString(), audio, mode, &error)
                             : synth::writeWav(path.toStdString(), audio, wav, &error);
    QVERIFY2(written, error.c_str());
    m_files.insert(key, {path, audio.frames(), audio.sampleRate, audio.channels});
}

void TestDecoder::initTestCase() {
    QVERIFY(m_dir.isValid());
    using synth::Mp3Mode;
    using synth::WavFormat;
    synth::TrackRecipe recipe;
    recipe.seconds = 23.4;
    recipe.seed = 5;
    const synth::Audio song = synth::renderTrack(recipe);
    const synth::Audio markers = markerSignal(44100, 2);

    const std::pair<QString, WavFormat> wavFormats[] = {{"pcm8", WavFormat::Pcm8},
                                                        {"pcm16", WavFormat::Pcm16},
                                                        {"pcm24", WavFormat::Pcm24},
                                                        {"pcm32", WavFormat::Pcm32},
                                                        {"float", WavFormat::Float}};
    for (const auto& [name, format] : wavFormats) {
        generate("wav " + name, "song-" + name + ".wav", song, false, format, Mp3Mode::Cbr);
        generate("markers wav " + name, "markers-" + name + ".wav", markers, false, format,
                 Mp3Mode::Cbr);
    }
    const std::pair<QString, Mp3Mode> mp3Modes[] = {
        {"cbr", Mp3Mode::Cbr}, {"vbr", Mp3Mode::Vbr}, {"vbr no xing", Mp3Mode::VbrNoXing}};
    for (const auto& [name, mode] : mp3Modes) {
        const QString file = QString(name).replace(' ', '-');
        generate("mp3 " + name, "song-" + file + ".mp3", song, true, WavFormat::Pcm16, mode);
        generate("markers mp3 " + name, "markers-" + file + ".mp3", markers, true, WavFormat::Pcm16,
                 mode);
    }

    // Other rates and channel counts: mono 48 kHz, MPEG-2 at 22.05 kHz, and a
    // six-channel WAV that the engine downmixes later.
    synth::TrackRecipe mono = recipe;
    mono.seconds = 21.7;
    mono.sampleRate = 48000;
    mono.channels = 1;
    const synth::Audio monoSong = synth::renderTrack(mono);
    generate("wav pcm16 mono 48k", "mono.wav", monoSong, false, WavFormat::Pcm16, Mp3Mode::Cbr);
    generate("mp3 vbr no xing mono 48k", "mono-no-xing.mp3", monoSong, true, WavFormat::Pcm16,
             Mp3Mode::VbrNoXing);
    generate("mp3 vbr no xing 22k", "low-rate-no-xing.mp3", synth::sine(330.0, 20.9, 0.5f, 22050),
             true, WavFormat::Pcm16, Mp3Mode::VbrNoXing);
    generate("wav 6 channels", "six.wav", synth::sine(440.0, 20.3, 0.5f, 44100, 6), false,
             WavFormat::Pcm24, Mp3Mode::Cbr);

    // The container is told by content: the wrong extension changes nothing.
    QVERIFY(QFile::copy(m_files["mp3 vbr"].path, pathFor("mp3-named.wav")));
    m_files.insert("mp3 named .wav", {pathFor("mp3-named.wav"), m_files["mp3 vbr"].frames,
                                      m_files["mp3 vbr"].sampleRate, m_files["mp3 vbr"].channels});
    QVERIFY(QFile::copy(m_files["wav pcm16"].path, pathFor("wav-named.mp3")));
    m_files.insert("wav named .mp3",
                   {pathFor("wav-named.mp3"), m_files["wav pcm16"].frames,
                    m_files["wav pcm16"].sampleRate, m_files["wav pcm16"].channels});
}

void TestDecoder::addFileRows(const QStringList& keys) {
    QTest::addColumn<QString>("key");
    for (const QString& key : keys) {
        QTest::newRow(qPrintable(key)) << key;
    }
}

QString TestDecoder::copyOf(const QString& key, const QString& newName) {
    const QString path = pathFor(newName);
    QFile::remove(path);
    return QFile::copy(m_files[key].path, path) ? path : QString();
}

void TestDecoder::lengthIsExactAndFullyPlayed_data() {
    QStringList keys;
    for (const QString& key : m_files.keys()) {
        if (!key.startsWith("markers")) {
            keys << key;
        }
    }
    addFileRows(keys);
}

void TestDecoder::lengthIsExactAndFullyPlayed() {
    QFETCH(QString, key);
    const Generated truth = m_files[key];
    DecoderOpenResult opened = openDecoder(truth.path.toStdString());
    QVERIFY2(opened.decoder, opened.error.c_str());
    Decoder& decoder = *opened.decoder;
    QCOMPARE(decoder.sampleRate(), truth.sampleRate);
    QCOMPARE(decoder.channels(), truth.channels);

    const double lengthErrorMs =
        framesToMs(decoder.lengthFrames() - truth.frames, truth.sampleRate);
    QVERIFY2(std::fabs(lengthErrorMs) <= kToleranceMs, qPrintable(QString::number(lengthErrorMs)));

    const std::vector<float> decoded = readAll(decoder);
    const int64_t played = int64_t(decoded.size()) / truth.channels;
    QVERIFY2(std::llabs(played - decoder.lengthFrames()) <= kMp3FrameSamples,
             qPrintable(QString("%1 read, %2 announced").arg(played).arg(decoder.lengthFrames())));
    const double playedErrorMs = framesToMs(played - truth.frames, truth.sampleRate);
    QVERIFY2(std::fabs(playedErrorMs) <= kToleranceMs, qPrintable(QString::number(playedErrorMs)));
    QCOMPARE(decoder.read(std::vector<float>(64 * truth.channels).data(), 64), int64_t(0));

    // Real sound all the way, within the promised range, up to the last second.
    const auto [low, high] = std::minmax_element(decoded.begin(), decoded.end());
    QVERIFY(*low >= -1.0f && *high <= 1.0f);
    const size_t oneSecond = size_t(truth.sampleRate) * size_t(truth.channels);
    QVERIFY(rms(decoded, decoded.size() - 2 * oneSecond, oneSecond) > 0.01);

    const int32_t exactMs = exactLengthMs(truth.path.toStdString());
    QCOMPARE(exactMs, int32_t(decoder.lengthFrames() * 1000 / truth.sampleRate));
}

void TestDecoder::startIsAlignedWithTheOriginal_data() {
    addFileRows(
        {"markers wav pcm16", "markers mp3 cbr", "markers mp3 vbr", "markers mp3 vbr no xing"});
}

// Decoders drop the encoder's leading delay, so a sound lies where it was written.
// Without that, an MP3 lacking its LAME tag would play 25 ms late.
void TestDecoder::startIsAlignedWithTheOriginal() {
    QFETCH(QString, key);
    const Generated truth = m_files[key];
    DecoderOpenResult opened = openDecoder(truth.path.toStdString());
    QVERIFY2(opened.decoder, opened.error.c_str());
    const std::vector<float> start = readSome(*opened.decoder, truth.sampleRate * 3);
    const int64_t onset = firstLoudFrame(start, truth.channels);
    QVERIFY(onset >= 0);
    const double errorMs = framesToMs(onset, truth.sampleRate) - kMarkerSeconds[0] * 1000.0;
    QVERIFY2(std::fabs(errorMs) <= 5.0, qPrintable(QString::number(errorMs)));
}

void TestDecoder::seekLandsOnTheMarkers_data() {
    addFileRows({"markers wav pcm8", "markers wav pcm16", "markers wav pcm24", "markers wav float",
                 "markers mp3 cbr", "markers mp3 vbr", "markers mp3 vbr no xing"});
}

void TestDecoder::seekLandsOnTheMarkers() {
    QFETCH(QString, key);
    const Generated truth = m_files[key];
    DecoderOpenResult opened = openDecoder(truth.path.toStdString());
    QVERIFY2(opened.decoder, opened.error.c_str());
    Decoder& decoder = *opened.decoder;
    const int rate = truth.sampleRate;

    // Forwards, then backwards: each seek lands 300 ms before a burst, whose onset must
    // then be found 300 ms into what follows.
    std::vector<double> order(std::begin(kMarkerSeconds), std::end(kMarkerSeconds));
    order.insert(order.end(), order.rbegin(), order.rend());
    for (const double marker : order) {
        const int64_t target = int64_t(std::llround((marker - 0.3) * rate));
        QVERIFY(decoder.seek(target));
        const std::vector<float> after = readSome(decoder, rate * 6 / 10);
        const int64_t onset = firstLoudFrame(after, truth.channels);
        QVERIFY2(onset >= 0, qPrintable(QString("no burst after %1 s").arg(marker - 0.3)));
        const double errorMs = framesToMs(target + onset, rate) - marker * 1000.0;
        QVERIFY2(std::fabs(errorMs) <= kToleranceMs,
                 qPrintable(QString("burst at %1 s found %2 ms off").arg(marker).arg(errorMs)));
    }
}

void TestDecoder::seekIsClampedToTheStream() {
    for (const QString key : {"wav pcm16", "mp3 vbr no xing"}) {
        DecoderOpenResult opened = openDecoder(m_files[key].path.toStdString());
        QVERIFY2(opened.decoder, opened.error.c_str());
        Decoder& decoder = *opened.decoder;
        std::vector<float> buffer(size_t(1024 * decoder.channels()));
        QVERIFY(decoder.seek(decoder.lengthFrames() * 2));
        QCOMPARE(decoder.read(buffer.data(), 1024), int64_t(0));
        // After the end, a seek back plays again.
        QVERIFY(decoder.seek(-5));
        QCOMPARE(decoder.read(buffer.data(), 1024), int64_t(1024));
        QVERIFY(decoder.seek(decoder.lengthFrames() - 100));
        const std::vector<float> tail = readAll(decoder);
        QVERIFY(std::llabs(int64_t(tail.size()) / decoder.channels() - 100) <= kMp3FrameSamples);
    }
}

void TestDecoder::badFileIsRefusedWithItsCause_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("cause");

    QTest::newRow("missing") << pathFor("absent.mp3") << "Fichier introuvable";
    writeBytes(pathFor("notes.mp3"), "Ceci est un texte, pas de la musique.\n");
    QTest::newRow("text file") << pathFor("notes.mp3")
                               << "Ce fichier n'est pas un fichier audio (WAV ou MP3)";
    writeBytes(pathFor("noise.wav"), randomBytes(50000, 11));
    QTest::newRow("random bytes") << pathFor("noise.wav")
                                  << "Ce fichier n'est pas un fichier audio (WAV ou MP3)";
    writeBytes(pathFor("empty.wav"), {});
    QTest::newRow("empty file") << pathFor("empty.wav") << "Fichier vide";
    QDir(m_dir.path()).mkdir("folder.mp3");
    QTest::newRow("directory") << pathFor("folder.mp3") << "C'est un dossier, pas un fichier";

    // RIFF/WAVE with its format chunk overwritten.
    QByteArray wav = readBytes(m_files["wav pcm16"].path);
    wav.replace(12, 24, randomBytes(24, 12));
    writeBytes(pathFor("bad-header.wav"), wav);
    QTest::newRow("corrupt WAV header") << pathFor("bad-header.wav") << "Fichier WAV endommagé";
    writeBytes(pathFor("cut-header.wav"), readBytes(m_files["wav pcm16"].path).left(30));
    QTest::newRow("WAV cut in its header") << pathFor("cut-header.wav") << "Fichier WAV endommagé";

    // An ID3v2 tag (10-byte header, 100 bytes of body) and nothing after it.
    QByteArray tagOnly("ID3\x04\x00\x00\x00\x00\x00\x64", 10);
    tagOnly.append(QByteArray(100, '\0'));
    writeBytes(pathFor("tag-only.mp3"), tagOnly);
    QTest::newRow("ID3 tag without frames")
        << pathFor("tag-only.mp3") << "Aucune trame MP3 lisible";

    const QString locked = copyOf("mp3 cbr", "locked.mp3");
    QFile::setPermissions(locked, QFile::Permissions());
    QTest::newRow("no read permission") << locked << "Lecture du fichier refusée";
}

void TestDecoder::badFileIsRefusedWithItsCause() {
    QFETCH(QString, path);
    QFETCH(QString, cause);
    if (cause.startsWith("Lecture du fichier refusée") && ::geteuid() == 0) {
        QSKIP("root reads every file");
    }
    const DecoderOpenResult opened = openDecoder(path.toStdString());
    QVERIFY(!opened.decoder);
    const QString error = QString::fromStdString(opened.error);
    QVERIFY2(error.startsWith(cause) && error.endsWith(" : " + path), qPrintable(error));
    QCOMPARE(exactLengthMs(path.toStdString()), -1);
    QCOMPARE(estimatedLengthMs(path.toStdString()), -1);
}

void TestDecoder::damagedFileDecodesWhatItCan_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("minShare");  // of the original, in time
    QTest::addColumn<double>("maxShare");

    for (const QString key : {"wav pcm16", "wav pcm24", "mp3 cbr", "mp3 vbr", "mp3 vbr no xing"}) {
        const QString name = "truncated " + key;
        const QByteArray bytes = readBytes(m_files[key].path);
        const QString path = pathFor(QString(name).replace(' ', '-'));
        writeBytes(path, bytes.left(bytes.size() / 2 + 7));
        QTest::newRow(qPrintable(name)) << path << 0.3 << 0.7;
    }
    // Bursts of garbage inside the stream are skipped: the rest of the track still plays.
    for (const QString key : {"mp3 cbr", "mp3 vbr no xing"}) {
        const QString name = "garbage inside " + key;
        QByteArray bytes = readBytes(m_files[key].path);
        for (const double at : {0.7, 0.5, 0.3}) {
            bytes.insert(int(bytes.size() * at), randomBytes(3000, uint32_t(at * 100)));
        }
        const QString path = pathFor(QString(name).replace(' ', '-'));
        writeBytes(path, bytes);
        QTest::newRow(qPrintable(name)) << path << 0.9 << 1.01;
    }
}

void TestDecoder::damagedFileDecodesWhatItCan() {
    QFETCH(QString, path);
    QFETCH(double, minShare);
    QFETCH(double, maxShare);
    const Generated original = m_files["wav pcm16"];  // every song file holds the same audio

    DecoderOpenResult opened = openDecoder(path.toStdString());
    QVERIFY2(opened.decoder, opened.error.c_str());
    Decoder& decoder = *opened.decoder;
    const std::vector<float> decoded = readAll(decoder);
    const int64_t played = int64_t(decoded.size()) / decoder.channels();
    QVERIFY2(std::llabs(played - decoder.lengthFrames()) <= kMp3FrameSamples,
             qPrintable(QString("%1 read, %2 announced").arg(played).arg(decoder.lengthFrames())));
    const double share = double(played) / double(original.frames);
    QVERIFY2(share >= minShare && share <= maxShare, qPrintable(QString::number(share)));
    std::vector<float> more(size_t(256 * decoder.channels()));
    QCOMPARE(decoder.read(more.data(), 256), int64_t(0));
}

void TestDecoder::formatChangeMidStreamDoesNotStopPlayback() {
    // Two files glued together: 44.1 kHz stereo, then 22.05 kHz mono.
    const synth::Audio first = synth::sine(440.0, 8.0, 0.5f, 44100, 2);
    const synth::Audio second = synth::sine(660.0, 6.0, 0.5f, 22050, 1);
    const std::string firstPath = pathFor("part1.mp3").toStdString();
    const std::string secondPath = pathFor("part2.mp3").toStdString();
    QVERIFY(synth::writeMp3(firstPath, first, synth::Mp3Mode::VbrNoXing));
    QVERIFY(synth::writeMp3(secondPath, second, synth::Mp3Mode::VbrNoXing));
    const QString glued = pathFor("glued.mp3");
    writeBytes(glued, readBytes(QString::fromStdString(firstPath)) +
                          readBytes(QString::fromStdString(secondPath)));

    DecoderOpenResult opened = openDecoder(glued.toStdString());
    QVERIFY2(opened.decoder, opened.error.c_str());
    Decoder& decoder = *opened.decoder;
    QCOMPARE(decoder.sampleRate(), 44100);
    QCOMPARE(decoder.channels(), 2);
    const std::vector<float> decoded = readAll(decoder);
    const int64_t played = int64_t(decoded.size()) / 2;
    // Playback goes on past the change, and still adds up to the announced length.
    QVERIFY(played >= first.frames() + second.frames() / 2);
    QVERIFY(std::llabs(played - decoder.lengthFrames()) <= kMp3FrameSamples);
    std::vector<float> more(512);
    QCOMPARE(decoder.read(more.data(), 256), int64_t(0));
}

void TestDecoder::estimateIsCloseToTheTruth_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("toleranceMs");
    // Files with a frame count in their headers are estimated exactly; a VBR file
    // without one only from its first frame's bitrate.
    QTest::newRow("wav pcm24") << "wav pcm24" << 1.0;
    QTest::newRow("mp3 cbr") << "mp3 cbr" << kToleranceMs;
    QTest::newRow("mp3 vbr") << "mp3 vbr" << kToleranceMs;
    QTest::newRow("mp3 vbr no xing") << "mp3 vbr no xing" << 0.5 * 23400.0;
}

void TestDecoder::estimateIsCloseToTheTruth() {
    QFETCH(QString, key);
    QFETCH(double, toleranceMs);
    // A copy: the original is already in the cache, which would answer instead.
    const QString path = copyOf(key, "estimate-" + QString(key).replace(' ', '-'));
    QVERIFY(!path.isEmpty());
    const int32_t estimate = estimatedLengthMs(path.toStdString());
    const double truthMs = framesToMs(m_files[key].frames, m_files[key].sampleRate);
    QVERIFY2(std::fabs(estimate - truthMs) <= toleranceMs, qPrintable(QString::number(estimate)));
    // Once measured, the estimate is the exact length.
    const int32_t exact = exactLengthMs(path.toStdString());
    QVERIFY(exact > 0);
    QCOMPARE(estimatedLengthMs(path.toStdString()), exact);
}

void TestDecoder::cacheAnswersUntilTheFileChanges() {
    const QString path = pathFor("cached.wav");
    const std::string file = path.toStdString();
    QVERIFY(synth::writeWav(file, synth::sine(440.0, 5.0, 0.5f, 44100)));
    setModifiedSeconds(path, 1000000000);
    QCOMPARE(exactLengthMs(file), 5000);
    QCOMPARE(exactLengthMs(file), 5000);

    // The same number of frames at half the rate: same size, twice the length. With
    // the old modification time put back, the cache still answers.
    QVERIFY(synth::writeWav(file, synth::sine(440.0, 10.0, 0.5f, 22050)));
    setModifiedSeconds(path, 1000000000);
    QCOMPARE(exactLengthMs(file), 5000);
    QCOMPARE(estimatedLengthMs(file), 5000);

    // An edit that shows in the modification time is measured again.
    setModifiedSeconds(path, 1000000060);
    QCOMPARE(exactLengthMs(file), 10000);
    QCOMPARE(estimatedLengthMs(file), 10000);
    // So is a change of size.
    QVERIFY(synth::writeWav(file, synth::sine(440.0, 3.0, 0.5f, 44100)));
    setModifiedSeconds(path, 1000000060);
    QCOMPARE(exactLengthMs(file), 3000);
}

// A file measured for a list opens for playback without a second scan: the cached
// length is used as long as the file is unchanged.
void TestDecoder::openingUsesTheCachedLength() {
    const QString path = copyOf("mp3 vbr no xing", "reopened.mp3");
    const std::string file = path.toStdString();
    setModifiedSeconds(path, 1000000000);
    const int32_t measured = exactLengthMs(file);
    QVERIFY(measured > 0);
    DecoderOpenResult first = openDecoder(file);
    QVERIFY(first.decoder);
    const int64_t frames = first.decoder->lengthFrames();
    first.decoder.reset();

    // Blank the second half in place: a new scan would find half the frames.
    QByteArray bytes = readBytes(path);
    bytes.replace(bytes.size() / 2, bytes.size() - bytes.size() / 2,
                  QByteArray(bytes.size() - bytes.size() / 2, '\0'));
    writeBytes(path, bytes);
    setModifiedSeconds(path, 1000000000);
    DecoderOpenResult known = openDecoder(file);
    QVERIFY(known.decoder);
    QCOMPARE(known.decoder->lengthFrames(), frames);
    known.decoder.reset();

    setModifiedSeconds(path, 1000000030);
    DecoderOpenResult remeasured = openDecoder(file);
    QVERIFY(remeasured.decoder);
    QVERIFY(remeasured.decoder->lengthFrames() < frames * 6 / 10);
    QVERIFY(exactLengthMs(file) < measured * 6 / 10);
}

void TestDecoder::cacheIsSafeAcrossThreads() {
    const QStringList keys = {"wav pcm16", "mp3 cbr", "mp3 vbr", "mp3 vbr no xing"};
    QStringList paths;
    std::vector<int32_t> expected;
    for (const QString& key : keys) {
        paths << copyOf(key, "threads-" + QString(key).replace(' ', '-'));
        expected.push_back(exactLengthMs(m_files[key].path.toStdString()));
    }
    // Every thread measures every copy, so first measurements race with cache hits.
    std::vector<std::vector<int32_t>> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round) {
                for (const QString& path : paths) {
                    results[t].push_back(exactLengthMs(path.toStdString()));
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::vector<int32_t>& result : results) {
        QCOMPARE(result.size(), size_t(3 * paths.size()));
        for (size_t i = 0; i < result.size(); ++i) {
            QCOMPARE(result[i], expected[i % expected.size()]);
        }
    }
}

QTEST_GUILESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
