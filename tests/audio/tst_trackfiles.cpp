// Track files read: exact lengths of every WAV and MP3 flavour, seeks that land
// on time, bad files that fail with a clear cause or end cleanly, a track's
// loudness, true peak and where its audio lies, and the cache that keeps what
// was learned.

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <variant>

#include "FileBytes.h"
#include "Synth.h"
#include "audio/Decoder.h"
#include "audio/TrackAnalysis.h"
#include "audio/TrackCache.h"
#include "audio/TrackLength.h"

using namespace varonel::audio;
using namespace varonel::synth;

namespace {

constexpr double kToleranceMs = 30.0;
constexpr int64_t kMp3FrameSamples = 1152;
// The marker files: 20 s of silence with short loud tone bursts starting at these times.
constexpr double kMarkerSeconds[] = {2.5, 7.25, 12.0, 16.75, 18.5};
// Well above MP3 pre-echo before a burst, well below the burst itself.
constexpr float kOnsetThreshold = 0.3f;

struct Generated {
    QString path;
    std::shared_ptr<const Audio> audio;  // the truth: what was written
    // A WAV file reads back what was written within one step of its format;
    // compressed files have no such promise (-1).
    double tolerance = -1;
};

double framesToMs(int64_t frames, int rate) {
    return double(frames) * 1000.0 / rate;
}

// Reads up to `frames` frames (less only at the end of the stream) in odd-sized chunks
// that straddle the MP3 frames.
std::vector<float> readUpTo(Decoder& decoder, int64_t frames = int64_t(1) << 40) {
    const int channels = decoder.channels();
    std::vector<float> out;
    std::vector<float> chunk(size_t(3001 * channels));
    for (int64_t got = 1, filled = 0; got > 0 && filled < frames; filled += got) {
        got = std::max<int64_t>(
            0, decoder.read(chunk.data(), std::min<int64_t>(3001, frames - filled)));
        out.insert(out.end(), chunk.begin(), chunk.begin() + got * channels);
    }
    return out;
}

// First frame whose first channel is louder than the threshold, or -1.
int64_t firstLoudFrame(const std::vector<float>& samples, int channels) {
    for (size_t i = 0; i < samples.size(); i += size_t(channels)) {
        if (std::fabs(samples[i]) > kOnsetThreshold) {
            return int64_t(i) / channels;
        }
    }
    return -1;
}

QByteArray randomBytes(int count, quint32 seed) {  // count: a multiple of 4
    QByteArray bytes(count, '\0');
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), count / 4);
    return bytes;
}

// Sets the modification time explicitly, so that a test does not depend on the
// resolution of the file system's clock.
void setModifiedSeconds(const QString& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

}  // namespace

class TestTrackFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QMap<QString, Generated> m_files;
    int m_analysed = 0;

    QString pathFor(const QString& name) const { return m_dir.filePath(name); }

    // Writes `audio` as a WAV file, an MP3 file, or through libsndfile in one
    // of its formats (FLAC, Ogg Vorbis, Opus) as an encoder would.
    void generate(const QString& name, const std::shared_ptr<const Audio>& shared,
                  std::variant<WavFormat, Mp3Mode, int> as, double tolerance = -1) {
        const Audio& audio = *shared;
        const std::string path = pathFor(name).toStdString();
        std::string error;
        if (const auto* wav = std::get_if<WavFormat>(&as)) {
            QVERIFY2(writeWav(path, audio, *wav, &error), error.c_str());
        } else if (const auto* mp3 = std::get_if<Mp3Mode>(&as)) {
            QVERIFY2(writeMp3(path, audio, *mp3, &error), error.c_str());
        } else {
            SF_INFO info{0, audio.sampleRate, audio.channels, std::get<int>(as), 0, 0};
            SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
            QVERIFY2(file, sf_strerror(nullptr));
            sf_writef_float(file, audio.samples.data(), audio.frames());
            sf_close(file);
        }
        m_files.insert(name, {pathFor(name), shared, tolerance});
    }

    bool analyse(const Audio& audio, TrackAnalysis* analysis) {
        const std::string path = pathFor(QString("analysed%1.wav").arg(++m_analysed)).toStdString();
        std::string error;
        return writeWav(path, audio, WavFormat::Float) && analyseTrack(path, analysis, &error);
    }

    double lengthMs(const QString& key) { return m_files[key].audio->seconds() * 1000.0; }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        TrackRecipe recipe{.seconds = 23.4, .seed = 5};
        const auto song = std::make_shared<const Audio>(renderTrack(recipe));
        // The extremes first: they show both the scaling and the clipping of a format.
        const auto wav = std::make_shared<const Audio>(
            concat({44100, 2, {1.0f, 1.0f, -1.0f, -1.0f, 0.5f, -0.25f, 1e-3f, -1e-3f}}, *song));
        generate("pcm8.wav", wav, WavFormat::Pcm8, 1.5 / 128);
        generate("pcm24.wav", wav, WavFormat::Pcm24, 1.5 / 8388608);
        generate("pcm32.wav", wav, WavFormat::Pcm32, 1e-6);
        generate("float.wav", wav, WavFormat::Float, 0.0);
        generate("cbr.mp3", song, Mp3Mode::Cbr);
        generate("vbr.mp3", song, Mp3Mode::Vbr);
        generate("vbr no xing.mp3", song, Mp3Mode::VbrNoXing);
        generate("flac.flac", song, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
        generate("vorbis.ogg", song, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
        // The delay trimmed from an MP3 without its LAME tag is counted in samples.
        recipe.sampleRate = 48000;
        recipe.channels = 1;
        const auto mono = std::make_shared<const Audio>(renderTrack(recipe));
        generate("pcm16 mono 48k.wav",
                 std::make_shared<const Audio>(concat({48000, 1, {1.0f, -1.0f, 0.5f}}, *mono)),
                 WavFormat::Pcm16, 1.5 / 32768);
        generate("vbr no xing mono 48k.mp3", mono, Mp3Mode::VbrNoXing);
        generate("opus 48k.opus", mono, SF_FORMAT_OGG | SF_FORMAT_OPUS);

        auto markers = std::make_shared<Audio>(silence(20.0));
        const Audio burst = sine(1000.0, 0.1, 0.8f);
        for (const double at : kMarkerSeconds) {
            std::copy(burst.samples.begin(), burst.samples.end(),
                      markers->samples.begin() + std::lround(at * 44100) * 2);
        }
        generate("markers.wav", markers, WavFormat::Pcm16);
        generate("markers vbr.mp3", markers, Mp3Mode::Vbr);
        generate("markers vbr no xing.mp3", markers, Mp3Mode::VbrNoXing);
    }

    // Every generated file, and damaged ones: length within 30 ms of the truth, or within the
    // share of the original that survives the damage, and read() delivers all of it. In the
    // marker files, each burst is heard where it was written, from the start and after seeks.
    void decodesTheWholeFile_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("key");   // the generated file it comes from
        QTest::addColumn<double>("minMs");  // for the length and for what read() delivers
        QTest::addColumn<double>("maxMs");
        for (const QString& key : m_files.keys()) {
            QTest::newRow(qPrintable(key))
                << m_files[key].path << key << lengthMs(key) - kToleranceMs
                << lengthMs(key) + kToleranceMs;
        }
        const auto damaged = [this](const char* row, const QString& key, const QByteArray& bytes,
                                    double minMs, double maxMs) {
            QVERIFY(filebytes::write(pathFor(row), bytes));
            QTest::newRow(row) << pathFor(row) << key << minMs << maxMs;
        };
        for (const char* key : {"pcm16 mono 48k.wav", "vbr.mp3"}) {  // the MP3's count then lies
            const QByteArray bytes = filebytes::read(m_files[key].path);
            damaged(qPrintable("truncated " + QString(key)), key, bytes.left(bytes.size() / 2 + 7),
                    lengthMs(key) * 0.3, lengthMs(key) * 0.7);
        }
        // Bursts of garbage inside the stream are skipped: the rest of the track still plays.
        QByteArray bytes = filebytes::read(m_files["cbr.mp3"].path);
        for (const double at : {0.7, 0.5, 0.3}) {
            bytes.insert(int(bytes.size() * at), randomBytes(3000, uint32_t(at * 100)));
        }
        damaged("garbage inside mp3", "cbr.mp3", bytes, lengthMs("cbr.mp3") * 0.9,
                lengthMs("cbr.mp3") * 1.01);
        // A 6 s file glued on at 22.05 kHz mono: playback goes on past the change.
        const QString tail = pathFor("tail.mp3");
        QVERIFY(writeMp3(tail.toStdString(), sine(660.0, 6.0, 0.5f, 22050, 1), Mp3Mode::VbrNoXing));
        const QString key = "vbr no xing.mp3";
        damaged("format change inside mp3", key,
                filebytes::read(m_files[key].path) + filebytes::read(tail), lengthMs(key) + 1500.0,
                lengthMs(key) + 6030.0);
    }

    void decodesTheWholeFile() {
        QFETCH(QString, path);
        QFETCH(QString, key);
        QFETCH(double, minMs);
        QFETCH(double, maxMs);
        const Generated file = m_files[key];
        const Audio& truth = *file.audio;
        DecoderOpenResult opened = openDecoder(path.toStdString());
        QVERIFY2(opened.decoder, opened.error.c_str());
        Decoder& decoder = *opened.decoder;
        QCOMPARE(decoder.sampleRate(), truth.sampleRate);
        QCOMPARE(decoder.channels(), truth.channels);
        const int rate = truth.sampleRate;
        const bool markers = key.startsWith("markers");
        if (markers) {
            // Decoders drop the encoder's leading delay, so a sound lies where it was
            // written. Without that, an MP3 lacking its LAME tag would play 25 ms late.
            const int64_t start = firstLoudFrame(readUpTo(decoder, rate * 3), truth.channels);
            const double startErrorMs = framesToMs(start, rate) - kMarkerSeconds[0] * 1000.0;
            QVERIFY2(start >= 0 && std::fabs(startErrorMs) <= 5.0,
                     qPrintable(QString::number(startErrorMs)));
            QVERIFY(decoder.seek(0));
        }
        const std::vector<float> decoded = readUpTo(decoder);
        const int64_t played = int64_t(decoded.size()) / truth.channels;
        const double lengthMs = framesToMs(decoder.lengthFrames(), truth.sampleRate);
        const double playedMs = framesToMs(played, truth.sampleRate);
        QVERIFY2(lengthMs >= minMs && lengthMs <= maxMs && playedMs >= minMs && playedMs <= maxMs &&
                     std::llabs(played - decoder.lengthFrames()) <= kMp3FrameSamples,
                 qPrintable(QString("%1 ms announced, %2 ms read").arg(lengthMs).arg(playedMs)));
        if (file.tolerance >= 0 && path == file.path) {
            QCOMPARE(decoded.size(), truth.samples.size());
            const double worst = std::transform_reduce(
                decoded.begin(), decoded.end(), truth.samples.begin(), 0.0,
                [](double a, double b) { return std::max(a, b); },
                [](float a, float b) { return double(std::fabs(a - b)); });
            QVERIFY2(worst <= file.tolerance, qPrintable(QString::number(worst)));
        }

        // Real sound all the way, up to the last second.
        const auto second = ptrdiff_t(rate) * truth.channels;
        const auto last = decoded.end() - second;
        QVERIFY(std::inner_product(last - second, last, last - second, 0.0) >
                1e-4 * double(second));
        QCOMPARE(exactLengthMs(path.toStdString()), int32_t(decoder.lengthFrames() * 1000 / rate));
        if (!markers) {
            return;
        }

        // Forwards, then backwards: each seek lands 300 ms before a burst, whose onset must
        // then be found 300 ms into what follows.
        std::vector<double> order(std::begin(kMarkerSeconds), std::end(kMarkerSeconds));
        order.insert(order.end(), order.rbegin(), order.rend());
        for (const double marker : order) {
            const int64_t target = std::llround((marker - 0.3) * rate);
            QVERIFY(decoder.seek(target));
            const int64_t onset = firstLoudFrame(readUpTo(decoder, rate * 6 / 10), truth.channels);
            const double errorMs = framesToMs(target + onset, rate) - marker * 1000.0;
            QVERIFY2(onset >= 0 && std::fabs(errorMs) <= kToleranceMs,
                     qPrintable(QString("burst at %1 s found %2 ms off").arg(marker).arg(errorMs)));
        }

        // Seeks are clamped to the stream; after the end, a seek back plays again.
        std::vector<float> buffer(size_t(1024 * truth.channels));
        QVERIFY(decoder.seek(decoder.lengthFrames() * 2));
        QCOMPARE(decoder.read(buffer.data(), 1024), int64_t(0));
        QVERIFY(decoder.seek(-5));
        QCOMPARE(decoder.read(buffer.data(), 1024), int64_t(1024));
    }

    void badFileIsRefusedWithItsCause_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("cause");
        // `bytes`, when not null, are written as the file first.
        const auto add = [this](const char* row, const QString& name, const QByteArray& bytes,
                                const char* cause) {
            QVERIFY(bytes.isNull() || filebytes::write(pathFor(name), bytes));
            QTest::newRow(row) << pathFor(name) << cause;
        };
        add("missing", "absent.mp3", {}, "Fichier introuvable");
        // Named .wav: the container is told by content, never by the extension.
        add("random bytes", "noise.wav", randomBytes(50000, 11),
            "Ce fichier n'est pas un fichier audio (WAV ou MP3)");
        add("empty file", "empty.wav", "", "Fichier vide");
        QDir(m_dir.path()).mkdir("folder.mp3");
        add("directory", "folder.mp3", {}, "C'est un dossier, pas un fichier");
        // RIFF/WAVE with its format chunk overwritten.
        add("corrupt WAV header", "bad-header.wav",
            filebytes::read(m_files["pcm24.wav"].path).replace(12, 24, randomBytes(24, 12)),
            "Fichier WAV endommagé");
        // An ID3v2 tag (10-byte header, 100 bytes of body) and nothing after it.
        add("ID3 tag without frames", "tag-only.mp3",
            QByteArray("ID3\x04\x00\x00\x00\x00\x00\x64", 10) + QByteArray(100, '\0'),
            "Aucune trame MP3 lisible");
        QVERIFY(QFile::copy(m_files["cbr.mp3"].path, pathFor("locked.mp3")));
        QFile::setPermissions(pathFor("locked.mp3"), QFile::Permissions());
        add("no read permission", "locked.mp3", {}, "Lecture du fichier refusée");
        // Well-formed files that no device could play.
        add("100 Hz", "100hz.wav", filebytes::wav16(100, 1, 400),
            "Fréquence d'échantillonnage impossible à jouer (100 Hz");
        add("500 kHz", "500khz.wav", filebytes::wav16(500000, 2, 1000),
            "Fréquence d'échantillonnage impossible à jouer (500000 Hz");
        add("12 channels", "12ch.wav", filebytes::wav16(44100, 12, 1000),
            "Nombre de canaux impossible à jouer (12");
    }

    void badFileIsRefusedWithItsCause() {
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

    // Inputs the fuzzer found (fuzz/fuzz_decoder), kept as it wrote them in
    // findings/: each opens or is refused, reads to its end and gets its
    // lengths, where it used to hang for good. An MP3 whose first frame found
    // differed between two openings had libmpg123 loop for ever converting it
    // to the rate of the first.
    void fuzzFindingsEnd_data() {
        QTest::addColumn<QString>("path");
        const QDir findings(QFINDTESTDATA("findings"));
        for (const QFileInfo& file : findings.entryInfoList(QDir::Files)) {
            QTest::newRow(qPrintable(file.fileName())) << file.filePath();
        }
        QVERIFY(findings.exists() && !findings.isEmpty());
    }

    void fuzzFindingsEnd() {
        QFETCH(QString, path);
        DecoderOpenResult opened = openDecoder(path.toStdString());
        QVERIFY(opened.decoder || !opened.error.empty());
        if (opened.decoder) {
            QVERIFY(int64_t(readUpTo(*opened.decoder).size()) <=
                    opened.decoder->lengthFrames() * opened.decoder->channels());
        }
        QVERIFY(estimatedLengthMs(path.toStdString()) < 1000);
    }

    // A VBR file's header holds its frame count, which gives the length without a
    // scan. A measured file keeps its length, also for playback, which then skips
    // its scan, as long as its size and modification time are unchanged.
    void cacheAnswersUntilTheFileChanges() {
        // A copy: the original is already in the cache, which would answer instead.
        const QString path = pathFor("cached.mp3");
        QVERIFY(QFile::copy(m_files["vbr.mp3"].path, path));
        const std::string file = path.toStdString();
        QVERIFY2(std::fabs(estimatedLengthMs(file) - lengthMs("vbr.mp3")) <= kToleranceMs,
                 qPrintable(QString::number(estimatedLengthMs(file))));
        const auto openedFrames = [&file] {  // what playback takes for the length
            const DecoderOpenResult opened = openDecoder(file);
            return opened.decoder ? opened.decoder->lengthFrames() : int64_t(-1);
        };
        setModifiedSeconds(path, 1000000000);
        const int32_t measured = exactLengthMs(file);
        const int64_t frames = openedFrames();
        QVERIFY(measured > 0 && frames > 0);

        // Blank the second half in place: a new scan would find half the frames.
        QByteArray bytes = filebytes::read(path);
        const qsizetype half = bytes.size() / 2;
        QVERIFY(filebytes::write(
            path, bytes.replace(half, bytes.size() - half, QByteArray(bytes.size() - half, 0))));
        setModifiedSeconds(path, 1000000000);
        QCOMPARE(exactLengthMs(file), measured);
        QCOMPARE(estimatedLengthMs(file), measured);
        QCOMPARE(openedFrames(), frames);

        // An edit that shows in the modification time is measured again.
        setModifiedSeconds(path, 1000000060);
        const int64_t remeasured = openedFrames();
        QVERIFY(remeasured > 0 && remeasured < frames * 6 / 10);
        QVERIFY(estimatedLengthMs(file) < measured * 6 / 10);
        // So is a change of size alone.
        QVERIFY(filebytes::write(path, bytes.left(half / 2)));
        setModifiedSeconds(path, 1000000060);
        QVERIFY(exactLengthMs(file) < measured * 4 / 10);
    }

    // A 1 kHz sine on both channels measures as EBU R128 says: its loudness in
    // LUFS and its true peak in dBTP are its amplitude in dBFS (-6.0 at half of
    // full scale), whatever silences surround it and at any rate; the audio
    // starts and ends where the sine does, never inside it. Its gain brings it to
    // the target, even a loud master whose own peaks pass the ceiling.
    void measuresLoudnessPeakAndWhereTheAudioIs_data() {
        QTest::addColumn<double>("lead");
        QTest::addColumn<double>("tail");
        QTest::addColumn<float>("amplitude");
        QTest::addColumn<int>("rate");
        QTest::newRow("silences around") << 1.5 << 2.0 << 0.5f << 44100;
        QTest::newRow("quiet master, 48 kHz") << 0.5 << 3.0 << 0.05f << 48000;
        QTest::newRow("no silence") << 0.0 << 0.0 << 0.5f << 44100;
        QTest::newRow("loud master") << 0.2 << 0.0 << 0.99f << 44100;
    }
    void measuresLoudnessPeakAndWhereTheAudioIs() {
        QFETCH(double, lead);
        QFETCH(double, tail);
        QFETCH(float, amplitude);
        QFETCH(int, rate);
        const double seconds = 10.0;
        const Audio audio = concat(
            concat(silence(lead, rate), sine(1000, seconds, amplitude, rate)), silence(tail, rate));
        TrackAnalysis analysis;
        QVERIFY(analyse(audio, &analysis));
        const double dbfs = 20 * std::log10(amplitude);
        QVERIFY2(std::abs(analysis.loudnessLufs - dbfs) < 0.2,
                 qPrintable(QString::number(analysis.loudnessLufs)));
        QVERIFY(std::abs(analysis.truePeakDbtp - dbfs) < 0.2);
        QVERIFY(std::abs(analysis.gainDbFor(-16, -1) - (-16 - analysis.loudnessLufs)) < 0.01);
        const double start = analysis.audioStartFrame / double(rate);
        const double end = analysis.audioEndFrame / double(rate);
        QVERIFY2(start <= lead && start > lead - 0.03 && end >= lead + seconds &&
                     end < lead + seconds + 0.03,
                 qPrintable(QString("%1 s to %2 s").arg(start).arg(end)));
        QCOMPARE(analysis.length.frames, audio.frames());
    }

    // The gain stops short of the target where a boost would push a track's true
    // peak past the ceiling; a track with nothing audible is left as it is.
    void gainStopsAtTheCeiling() {
        TrackAnalysis quietButPeaky;
        // A quiet sine with one click at half of full scale: boosting it to
        // -16 LUFS would push the click past -1 dBTP.
        Audio audio = sine(440, 10.0, 0.01f);
        audio.samples[44100] = audio.samples[44101] = 0.5f;
        QVERIFY(analyse(audio, &quietButPeaky));
        const double gain = quietButPeaky.gainDbFor(-16, -1);
        QVERIFY(gain > 0 && gain < -16 - quietButPeaky.loudnessLufs);
        QVERIFY2(std::abs(quietButPeaky.truePeakDbtp + gain + 1) < 0.01,
                 qPrintable(QString::number(quietButPeaky.truePeakDbtp + gain)));

        TrackAnalysis silent;
        QVERIFY(analyse(silence(3.0), &silent));
        QCOMPARE(silent.loudnessLufs, TrackAnalysis::kSilentLufs);
        QCOMPARE(silent.gainDbFor(-16, -1), 0.0);
        QCOMPARE(silent.audioStartFrame, int64_t(0));
        QCOMPARE(silent.audioEndFrame, silent.length.frames);
    }

    // What the cache learned comes back from its file in another run; a damaged
    // line costs only its entry, a file of another kind is not read, and an
    // edited file is not taken for its old version.
    void cacheKeepsWhatItLearnedAcrossRuns() {
        const std::string path = pathFor("Cache - Titre.wav").toStdString();
        QVERIFY(writeWav(path, sine(500, 2.0, 0.3f)));
        TrackAnalysis analysis;
        std::string error;
        QVERIFY(analyseTrack(path, &analysis, &error));
        TrackCache first;
        first.storeAnalysis(path, stampOf(path), analysis);
        first.storeLength("/elsewhere.mp3", {10, 20}, {4410, 44100});
        const QString file = m_dir.filePath("Pistes.cache");
        QVERIFY(first.save(file.toStdString(), &error));
        QVERIFY(!first.changed());

        QByteArray bytes = filebytes::read(file);
        bytes.replace("/elsewhere.mp3\t10\t20\t4410", "/elsewhere.mp3\t10\tx\t4410");
        QVERIFY(filebytes::write(file, bytes));
        TrackCache second;
        QVERIFY(second.load(file.toStdString()));
        QCOMPARE(second.size(), size_t(1));
        TrackAnalysis read;
        QVERIFY(second.findAnalysis(path, stampOf(path), &read));
        QVERIFY(std::abs(read.loudnessLufs - analysis.loudnessLufs) < 0.01);
        FileStamp edited = stampOf(path);
        edited.modifiedNs += 1;
        QVERIFY(!second.findAnalysis(path, edited, &read));

        QVERIFY(filebytes::write(file, "another file\n" + bytes));
        QVERIFY(!TrackCache().load(file.toStdString()));
    }
};

QTEST_GUILESS_MAIN(TestTrackFiles)
#include "tst_trackfiles.moc"
