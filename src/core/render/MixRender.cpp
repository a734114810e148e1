#include "core/render/MixRender.h"

#include <QDateTime>
#include <limits>
#include <memory>

#include "audio/OfflineOutput.h"
#include "core/automix/AsRunLog.h"
#include "core/automix/LevelStatistics.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/Timer3.h"
#include "core/automix/TrackPreparation.h"
#include "core/automix/Transport.h"
#include "core/playlist/RowFiller.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/render/RenderRequest.h"
#include "core/render/RenderTargets.h"
#include "core/render/VirtualDriver.h"
#include "core/request/RequestRules.h"
#include "core/shared/AppPaths.h"
#include "core/shared/FileError.h"
#include "core/shared/FileNames.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/LineFile.h"
#include "core/shared/TrackNaming.h"

namespace varonel::core {
namespace {

constexpr int kRenderRate = 44100;
constexpr int kMaxRenderHours = 24 * 365;
constexpr int64_t kHourMs = 3600 * 1000;

// No one is there to answer: messages go to the error stream.
class UnattendedDialogs final : public Dialogs {
public:
    explicit UnattendedDialogs(QTextStream& err) : m_err(err) {}
    MessageAnswer message(const Message& message) override {
        m_err << QString(message.text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) << '\n';
        return MessageAnswer::Cancel;
    }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }

private:
    QTextStream& m_err;
};

QString mixTime(int64_t ms) {
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000, 2, 10, QChar('0'))
        .arg(ms / 60000 % 60, 2, 10, QChar('0'))
        .arg(ms / 1000 % 60, 2, 10, QChar('0'))
        .arg(ms % 1000, 3, 10, QChar('0'));
}

bool parseInt(const QString& text, int* value) {
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

// Every line becomes a row; a file that cannot be read keeps its row with no
// length, and the transport skips it when its turn comes.
void fillPlaylist(const QStringList& lines, audio::FileSource& reader, PlaylistModel* playlist) {
    const TrackLengthReader readLength = sourceLengthReader(reader);
    for (const QString& line : lines) {
        if (isBlankPath(line)) {
            continue;  // names no track, as in the window's Ouvrir
        }
        PlaylistRow row;
        if (!fillRowFromPath(line, readLength, MillisecondsCell::Filled, &row)) {
            row.artist = Artiste(fileNameOf(line));
            row.title = Titre(fileNameOf(line));
            row.path = line;
        }
        playlist->append(row);
    }
}

}  // namespace

std::optional<RenderOptions> parseRenderOptions(const QStringList& arguments, QString* error) {
    RenderOptions options;
    QStringList given;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        const bool smartMixOption = option == "--smart-mix" || option == "--no-smart-mix";
        if (given.contains(option)) {
            *error = QStringLiteral("Option donnée deux fois : ") + option;
            return std::nullopt;
        }
        if (smartMixOption && (given.contains("--smart-mix") || given.contains("--no-smart-mix"))) {
            *error = QStringLiteral("--smart-mix et --no-smart-mix s'excluent : un seul des deux");
            return std::nullopt;
        }
        given.append(option);
        if (option == "--no-trim") {
            options.sound.skipSilences = false;
            continue;
        }
        if (option == "--no-smart-mix") {
            options.smartMix = false;
            continue;
        }
        if (option == "--no-output") {
            options.noOutput = true;
            continue;
        }
        // With --request, the playlist may be left out: --render stands alone.
        if (option == "--render" &&
            (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--")))) {
            continue;
        }
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("Option incomplète : ") + option;
            return std::nullopt;
        }
        const QString& value = arguments[++i];
        if (option == "--render") {
            options.playlist = value;
        } else if (option == "--output") {
            options.output = value;
        } else if (option == "--log") {
            options.log = value;
        } else if (option == "--loudness") {
            if (!options.sound.setLoudnessText(value)) {
                *error = QStringLiteral("--loudness : off, -23, -18, -16 ou -14");
                return std::nullopt;
            }
        } else if (option == "--request") {
            options.request = value;
        } else if (option == "--hours") {
            bool ok = false;
            options.hours = value.toDouble(&ok);
            if (!ok || !(options.hours > 0) || options.hours > kMaxRenderHours) {
                *error = QStringLiteral("--hours : un nombre d'heures de plus de 0 à %1")
                             .arg(kMaxRenderHours);
                return std::nullopt;
            }
        } else if (option == "--exit-point") {
            if (!parseInt(value, &options.exitPointSeconds) || options.exitPointSeconds < 1 ||
                options.exitPointSeconds > 30) {
                *error = QStringLiteral("--exit-point : un nombre de secondes de 1 à 30");
                return std::nullopt;
            }
        } else if (option == "--smart-mix") {
            if (!mixagePourCentEntries().contains(value)) {
                *error = QStringLiteral("--smart-mix : un pourcentage parmi ") +
                         mixagePourCentEntries().join(QStringLiteral(", "));
                return std::nullopt;
            }
            options.smartMixPercent = value.toInt();
        } else {
            *error = QStringLiteral("Option inconnue : ") + option;
            return std::nullopt;
        }
    }
    if ((options.playlist.isEmpty() && options.request.isEmpty()) ||
        options.output.isEmpty() == !options.noOutput) {
        *error = QStringLiteral(
            "Il faut --render PLAYLIST ou --request DOSSIER, et --output MIX.wav ou --no-output");
        return std::nullopt;
    }
    if (!options.smartMix && !given.contains("--exit-point")) {
        options.exitPointSeconds = 4;
    }
    return options;
}

QString renderHelpText() {
    return QStringLiteral(
        "Varonel : mixage automatique.\n"
        "\n"
        "Sans argument, ouvre la fenêtre du programme.\n"
        "\n"
        "Varonel --render [PLAYLIST] --output MIX.wav [--exit-point N]\n"
        "        [--smart-mix POURCENT | --no-smart-mix] [--log FICHIER]\n"
        "        [--no-trim] [--loudness off|-23|-18|-16|-14]\n"
        "        [--request DOSSIER] [--hours N] [--no-output]\n"
        "  Joue la playlist (fichier .pls) comme à l'antenne, sans fenêtre et plus vite\n"
        "  que le temps réel, et écrit le mix en WAV 16 bits stéréo 44 100 Hz.\n"
        "  --exit-point N        point de sortie en secondes, de 1 à 30 (2 avec le mix\n"
        "                        intelligent, 4 sans)\n"
        "  --smart-mix POURCENT  seuil du mix intelligent : 10, 15, ... 70 (50 par défaut)\n"
        "  --no-smart-mix        sans mix intelligent\n"
        "  --no-trim             joue chaque piste entière, silences du début et de la\n"
        "                        fin compris (par défaut, ils sont sautés)\n"
        "  --loudness CIBLE      amène chaque piste à CIBLE LUFS (-16 par défaut), ou\n"
        "                        off pour laisser chacune à son niveau\n"
        "  --log FICHIER         écrit le journal de diffusion du mix dans FICHIER (une\n"
        "                        ligne par piste : date et heure, Artiste - Titre, chemin,\n"
        "                        millisecondes entendues, fin)\n"
        "  --request DOSSIER     requette automatique sur les fichiers de DOSSIER, son mode\n"
        "                        activé dès le départ, comme à l'antenne (PLAYLIST est\n"
        "                        alors facultative)\n"
        "  --hours N             arrête le mix au bout de N heures (décimales admises :\n"
        "                        0.5 pour une demi-heure)\n"
        "  --no-output           n'écrit le mix nulle part (au lieu de --output) : pour\n"
        "                        un mix de plusieurs jours, ses lignes et son journal\n"
        "  Affiche une ligne par piste mise à l'antenne :\n"
        "    HH:MM:SS.mmm<TAB>Artiste - Titre<TAB>chemin complet\n"
        "  puis HH:MM:SS.mmm<TAB>stop quand l'arrêt final commence.\n"
        "  Une piste illisible est sautée (une ligne sur la sortie d'erreur).\n"
        "  Le mix et le journal sont écrits dans des fichiers neufs, mis en place à la\n"
        "  fin seulement : un fichier du même nom reste intact jusque-là.\n"
        "  Code de sortie : 0 si tout va bien, 2 si la playlist manque ou est\n"
        "  illisible, si le fichier de sortie ne peut être écrit, si une option est\n"
        "  fausse, ou si --output ou --log désigne la playlist, une de ses pistes,\n"
        "  l'autre fichier, ou autre chose qu'un fichier ordinaire (rien n'est écrasé).\n"
        "\n"
        "Varonel --help\n"
        "  Affiche cette aide.\n");
}

int renderMix(const RenderOptions& options, QTextStream& out, QTextStream& err) {
    QStringList lines;
    QString error;
    if (!options.playlist.isEmpty() && !readLineFile(options.playlist, &lines, &error)) {
        err << "Playlist illisible : " << options.playlist << " (" << error << ")\n";
        return kRenderFailed;
    }
    QList<RenderTarget> targets;
    if (!options.noOutput) {
        targets.append({QStringLiteral("--output"), options.output});
    }
    if (!options.log.isEmpty()) {
        targets.append({QStringLiteral("--log"), options.log});
    }
    if (const QString refused = refuseRenderTargets(targets, options.playlist, lines);
        !refused.isEmpty()) {
        err << refused << '\n';
        return kRenderFailed;
    }
    auto ownedOutput = std::make_unique<audio::OfflineOutput>(kRenderRate);
    audio::OfflineOutput& output = *ownedOutput;
    std::string wavError;
    if (!options.noOutput && !output.openWav(systemPath(options.output), &wavError)) {
        err << fromSystemName(wavError) << '\n';
        return kRenderFailed;
    }
    MainAudioChain chain(std::move(ownedOutput));
    PlaylistModel playlist;
    fillPlaylist(lines, chain.sources[2], &playlist);

    VirtualClock clock;
    VirtualTicks ticks(clock);
    UnattendedDialogs dialogs(err);
    Transport transport(chain, playlist, clock, ticks, dialogs);
    // The clock and the refill of the 80 ms tick; no keys.
    Timer3 timer3(transport, clock, ticks);
    transport.setUnattended(true);
    // Each track is analysed before it plays, so that a render is always the same.
    TrackPreparation preparation(TrackPreparation::Missing::AnalyseOnTheSpot);
    preparation.setOptions(options.sound);
    if (!options.trackCacheFile.isEmpty()) {
        preparation.useCacheFile(options.trackCacheFile);
    }
    transport.setPlanner(&preparation);
    transport.CheckAutoMix_Click(options.smartMix);
    transport.PS_Change(options.exitPointSeconds);
    transport.MixagePourCent_Click(
        int(mixagePourCentEntries().indexOf(QString::number(options.smartMixPercent))));
    VirtualDriver driver(chain, clock, ticks);

    // The as-run log, in the render's own time: it starts now and runs virtually.
    std::unique_ptr<AsRunLog> asRunLog;
    if (!options.log.isEmpty()) {
        asRunLog = std::make_unique<AsRunLog>(transport, clock, QString());
        // A log that cannot be made is told once; the mix is rendered all the same.
        if (QString logError; !asRunLog->setFile(options.log, &logError)) {
            err << logError << '\n';
        }
        const QDateTime renderStart = QDateTime::currentDateTime();
        asRunLog->setNow(
            [&clock, renderStart] { return renderStart.addMSecs(clock.monotonicMs()); });
        QObject::connect(asRunLog.get(), &AsRunLog::cannotWrite,
                         [&err](const QString& message) { err << message << '\n'; });
    }

    bool stopBegun = false;
    QObject::connect(
        &transport, &Transport::trackStarted, [&](const QString& label, const QString& path) {
            out << mixTime(clock.monotonicMs()) << '\t' << label << '\t' << path << '\n';
            out.flush();
        });
    QObject::connect(&transport, &Transport::trackSkipped,
                     [&](const QString& path, const QString& reason) {
                         err << "Piste illisible, sautée : " << path << " (" << reason << ")\n";
                     });
    QObject::connect(&transport, &Transport::stopBegun, [&] {
        out << mixTime(clock.monotonicMs()) << "\tstop\n";
        stopBegun = true;
    });

    std::unique_ptr<RenderRequest> request;
    if (!options.request.isEmpty()) {
        request = std::make_unique<RenderRequest>(
            options.request, transport, playlist, clock, chain.sources[2],
            RequestRules::read(RequestRules::confFile(CheminAppli())),
            [&err](const QString& text) { err << text << '\n'; });
        transport.P1_Click();  // the switch on, and a first request
    }

    transport.CmdPlay_Click();
    if (!transport.EnDiffusion()) {
        output.discardWav();
        return kRenderFailed;
    }
    const auto ended = [&] { return stopBegun && !transport.stopping(); };
    const int64_t limitMs = options.hours > 0 ? int64_t(options.hours * kHourMs)
                                              : std::numeric_limits<int64_t>::max() / 2;
    if (!driver.advanceUntil(ended, limitMs)) {
        transport.CmdStop_Click();
        driver.advanceUntil(ended, limitMs);
    }
    if (!output.closeWav(&wavError)) {
        err << fromSystemName(wavError) << '\n';
        return kRenderFailed;  // the log of a mix that was not written is dropped
    }
    if (asRunLog) {
        asRunLog->finish();
    }
    return kRenderOk;
}

}  // namespace varonel::core
