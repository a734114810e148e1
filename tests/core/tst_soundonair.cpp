// The sound on air with the silences skipped and one loudness for all, heard
// through the offline output as the render plays it; the names that tags give;
// pre-listening at the loudness of the air.

#include <QTemporaryDir>
#include <QtTest>

#include "MixListener.h"
#include "ScriptedDialogs.h"
#include "Synth.h"
#include "TaggedFiles.h"
#include "TestSignals.h"
#include "TransportRig.h"
#include "audio/OfflineOutput.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/TrackPreparation.h"
#include "core/playlist/RowFiller.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/prelistening/PreListening.h"
#include "core/render/VirtualTicks.h"
#include "core/shared/TrackNaming.h"

using namespace varonel;
using namespace varonel::core;

class TestSoundOnAir : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Songs made like real masters: silences of 0.5 to 3 s around them, loud and
    // quiet masters, a fade, and a quiet passage in the last 30 s of the last
    // one (its gain must come from the song; the listening stops 200 s in,
    // before the passage). With both options the broadcast starts at once,
    // nothing leaves more than 300 ms below -40 dBFS, and each track is heard
    // within 0.5 LU of the target; without them, as before, the first silence
    // and the levels go on air as they are.
    void tracksGoOnAirTrimmedAndEven() {
        // The first is mastered loud: driven into saturation, its peaks stand
        // only a few dB above its loudness.
        const synth::TrackRecipe recipes[] = {
            {.channels = 1, .seed = 7, .peak = 0.95f},
            {.channels = 1, .seed = 8, .peak = 0.12f},
            {.channels = 1, .seed = 9, .fadeOutSeconds = 6, .peak = 0.70f},
            {.channels = 1, .seed = 10, .breakStart = 44, .breakSeconds = 5, .peak = 0.25f}};
        const double silences[][2] = {{1.8, 3.0}, {0.5, 1.0}, {3.0, 2.0}, {1.0, 0.5}};
        QStringList paths;
        for (int i = 0; i < 4; ++i) {
            synth::Audio master = synth::renderTrack(recipes[i]);
            if (i == 0) {
                for (float& sample : master.samples) {
                    sample = 0.95f * std::tanh(4 * sample) / std::tanh(4.0f);
                }
            }
            const synth::Audio song =
                synth::concat(synth::concat(synth::silence(silences[i][0], 44100, 1), master),
                              synth::silence(silences[i][1], 44100, 1));
            paths.append(testsignals::writeWavOrFail(
                m_dir.filePath(QString("Master %1 - Chanson.wav").arg(i)), song,
                synth::WavFormat::Pcm16));
        }
        const mixlistener::Heard even = render(paths, SoundOptions());
        QCOMPARE(even.lufs.size(), size_t(4));
        QVERIFY2(even.startSilenceMs < 200, qPrintable(QString::number(even.startSilenceMs)));
        QVERIFY2(even.longestSilenceMs <= 300, qPrintable(QString::number(even.longestSilenceMs)));
        for (size_t i = 0; i < even.lufs.size(); ++i) {
            QVERIFY2(std::abs(even.lufs[i] + 16) <= 0.5,
                     qPrintable(QString("track %1: %2 LUFS").arg(i).arg(even.lufs[i])));
        }

        SoundOptions off;
        off.skipSilences = false;
        off.targetLufs.reset();
        const mixlistener::Heard asRecorded = render(paths, off);
        QVERIFY(asRecorded.startSilenceMs >= 1750);
        const auto [quietest, loudest] =
            std::minmax_element(asRecorded.lufs.begin(), asRecorded.lufs.end());
        QVERIFY2(*loudest - *quietest > 10, qPrintable(QString::number(*loudest - *quietest)));
    }

    // A name that gives its artist is kept; one that gives none takes its
    // artist and title from the file's tags (the player's window shows the same
    // in its list); a file without tags keeps what its name gives.
    void namesComeFromTagsOnlyWhenTheNameHasNone() {
        const QString files[] = {writeOgg("Intermède.ogg", "Orchestre Nocturne", "Ouverture"),
                                 writeOgg("Dupont - Valse.ogg", "Quelqu'un d'autre", "Autre titre"),
                                 writeOgg("Sans nom.ogg", "", "")};
        const QStringList expected[] = {
            {"Orchestre Nocturne", "Ouverture"}, {"Dupont", "Valse"}, {"", ""}};
        audio::FileSource reader;
        for (int i = 0; i < 3; ++i) {
            PlaylistRow row;
            QVERIFY(fillRowFromPath(files[i], sourceLengthReader(reader), MillisecondsCell::Filled,
                                    &row));
            QCOMPARE(QStringList({row.artist, row.title}), expected[i]);
        }
    }

    // Pre-listening plays a track at the gain it will have on air.
    void preListeningHearsTheGainOfTheAir() {
        const QString path =
            testsignals::writeWavOrFail(m_dir.filePath("Niveau - Test.wav"),
                                        testsignals::constant(0.5f, 2.0), synth::WavFormat::Pcm16);
        const auto levelWith = [&](float gain) {
            auto* output = new audio::OfflineOutput(44100);
            audio::Player player{std::unique_ptr<audio::AudioOutput>(output)};
            ScriptedDialogs dialogs;
            VirtualClock clock;
            VirtualTicks ticks(clock);
            SliderHold hold;
            PreListening preListening(player, dialogs, ticks, hold);
            preListening.setGain([gain](const QString&) { return gain; });
            preListening.rowClicked(path);
            preListening.btnPlay_Click();
            output->advanceMs(500);
            return output->levelLeft();
        };
        const double ratio = double(levelWith(0.25f)) / levelWith(1.0f);
        QVERIFY2(std::abs(ratio - 0.25) < 0.03, qPrintable(QString::number(ratio)));
    }

private:
    static mixlistener::Heard render(const QStringList& paths, const SoundOptions& options) {
        transportrig::OnAir air;
        for (const QString& path : paths) {
            air.add(path);
        }
        air.transport.CheckAutoMix_Click(true);
        TrackPreparation preparation(TrackPreparation::Missing::AnalyseOnTheSpot);
        preparation.setOptions(options);
        air.transport.setPlanner(&preparation);
        return mixlistener::playAndListen(air.transport, air.driver, 200000);
    }

    QString writeOgg(const QString& name, const QString& artist, const QString& title) {
        return taggedfiles::writeOgg(m_dir.filePath(name), artist, title);
    }

    // No hyphen in the folder: the artist is taken from the first one in the path.
    QTemporaryDir m_dir{QDir::tempPath() + "/varonel_XXXXXX"};
};

QTEST_GUILESS_MAIN(TestSoundOnAir)
#include "tst_soundonair.moc"
