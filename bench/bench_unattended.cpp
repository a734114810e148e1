// A broadcast left alone for three days: Varonel renders 72 hours of the
// automatic request over a folder of 200 generated tracks by 40 artists
// (--render --request --hours 72 --no-output), and its track lines give the
// stops and the shortest gap between two plays of one artist (names compared
// case and accents aside, as the request compares them). The render's peak
// memory is read at 1 hour and at 72 hours of mix. Then the time to save the
// resume state of a 10 000-row playlist, on the journal's own thread and on
// the window's.
//
//     bench_unattended [FOLDER]    (default: the system's temporary folder;
//                                   the tracks are kept there for the next run)

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>
#include <thread>

#include "ScriptedDialogs.h"
#include "Synth.h"
#include "audio/OfflineOutput.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/ResumeJournal.h"
#include "core/automix/Transport.h"
#include "core/playlist/PlaylistModel.h"
#include "core/render/VirtualTicks.h"
#include "core/request/NameKey.h"
#include "core/shared/TrackNaming.h"

using namespace varonel;

namespace {

constexpr int kArtists = 40;
constexpr int kTracksPerArtist = 5;
constexpr int kHours = 72;
constexpr int64_t kHourMs = 3600 * 1000;
constexpr int kStateRows = 10000;
constexpr int kSaveRuns = 21;

// Forty artists, each written two ways on its own files (accents and case), so
// that the request must see one artist where the file names show two.
QString artistName(int artist, int track) {
    static const char* const kNames[] = {"Élodie", "Hélène", "Gaëlle", "Noé",   "Zoé",
                                         "Loïc",   "Anaïs",  "Jérôme", "Chloé", "Irène"};
    const QString name = QStringLiteral("%1 et les Échos %2")
                             .arg(QString::fromUtf8(kNames[artist % 10]))
                             .arg(artist / 10 + 1);
    return track % 2 == 0 ? name : core::nameKey(name).toUpper();
}

// The tracks, 110 to 170 s of mono: forty artists of songs that long take more
// than an hour to come round, so the 60 minutes between two plays of an artist
// can be kept. Files already there are kept.
QString makeFolder(const QString& folder) {
    QDir().mkpath(folder);
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < kArtists * kTracksPerArtist; i = next++) {
            const int artist = i % kArtists;
            const int track = i / kArtists;
            const QString path = folder + QStringLiteral("/%1 - Chanson %2.wav")
                                              .arg(artistName(artist, track))
                                              .arg(track + 1);
            if (QFileInfo(path).size() > 0) {
                continue;
            }
            synth::TrackRecipe recipe;
            recipe.seconds = 110 + (i * 37) % 61;
            recipe.channels = 1;
            recipe.seed = 1000 + uint32_t(i);
            recipe.bpm = 90 + (i * 7) % 50;
            recipe.fadeOutSeconds = i % 3 == 0 ? 8.0 : 0.0;
            const QString partial = path + QStringLiteral(".part");
            synth::writeWav(partial.toStdString(), synth::renderTrack(recipe));
            QFile::rename(partial, path);
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    return folder;
}

int64_t peakKilobytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

int64_t lineMs(const QString& line) {
    const QStringList parts = line.section(u'\t', 0, 0).split(u':');
    if (parts.size() != 3) {
        return -1;
    }
    return parts[0].toLongLong() * kHourMs + parts[1].toLongLong() * 60000 +
           int64_t(parts[2].toDouble() * 1000);
}

struct Play {
    int64_t startMs;
    QString artistKey;
};

void renderThreeDays(const QString& folder) {
    QProcess varonel;
    varonel.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer wall;
    wall.start();
    varonel.start(QStringLiteral(VARONEL_EXECUTABLE), {"--render", "--request", folder, "--hours",
                                                       QString::number(kHours), "--no-output"});
    if (!varonel.waitForStarted()) {
        std::printf("unattended_render: Varonel did not start\n");
        return;
    }
    const qint64 pid = varonel.processId();
    QList<Play> plays;
    int stops = 0;
    int64_t peakAtOneHour = -1;
    int64_t peakAtEnd = -1;
    QByteArray pending;
    while (varonel.state() != QProcess::NotRunning || varonel.bytesAvailable() > 0) {
        varonel.waitForReadyRead(200);
        pending += varonel.readAllStandardOutput();
        qsizetype end = 0;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            const int64_t at = lineMs(line);
            if (peakAtOneHour < 0 && at >= kHourMs) {
                peakAtOneHour = peakKilobytes(pid);
            }
            if (line.endsWith(QLatin1String("\tstop"))) {
                if (at < kHours * kHourMs) {
                    ++stops;  // the air stopped before the hours were up
                } else {
                    peakAtEnd = peakKilobytes(pid);
                }
                continue;
            }
            const QString name = QFileInfo(line.section(u'\t', 2)).fileName();
            plays.append({at, core::nameKey(core::Artiste(name))});
        }
    }
    const double wallSeconds = wall.elapsed() / 1000.0;

    // Between two plays of one artist: the tracks in between, and the minutes
    // from the end of the first (the start of the next track and its 1.6 s
    // fade) to the start of the second.
    QHash<QString, int> lastIndex;
    int fewestTracks = std::numeric_limits<int>::max();
    double fewestMinutes = std::numeric_limits<double>::max();
    for (int i = 0; i < plays.size(); ++i) {
        const auto last = lastIndex.constFind(plays[i].artistKey);
        if (last != lastIndex.cend()) {
            fewestTracks = std::min(fewestTracks, i - *last - 1);
            const int64_t heardUntil = plays[*last + 1].startMs + core::Transport::kFadeMs;
            fewestMinutes = std::min(fewestMinutes, (plays[i].startMs - heardUntil) / 60000.0);
        }
        lastIndex[plays[i].artistKey] = i;
    }
    std::printf("unattended_render_wall_time: %.1f s (goal: minutes, for %d h of mix)\n",
                wallSeconds, kHours);
    std::printf("unattended_render_exit_status: %d (goal 0)\n", varonel.exitCode());
    std::printf("unattended_tracks_on_air: %lld tracks\n", static_cast<long long>(plays.size()));
    std::printf("unattended_stops: %d stops (goal 0)\n", stops);
    std::printf("unattended_artist_gap_tracks: %d tracks (goal >= 3)\n", fewestTracks);
    std::printf("unattended_artist_gap_minutes: %.1f min (goal >= 60)\n", fewestMinutes);
    std::printf("unattended_peak_memory_1h: %.1f MB (goal flat)\n", peakAtOneHour / 1024.0);
    std::printf("unattended_peak_memory_72h: %.1f MB (goal flat)\n", peakAtEnd / 1024.0);
}

// The journal as the window runs it: a change noted on the window's thread,
// then written on the journal's own (encoded, written, put in place, synced).
void saveTenThousandRows() {
    QTemporaryDir dir;
    core::PlaylistModel playlist;
    for (int i = 0; i < kStateRows; ++i) {
        core::PlaylistRow row;
        row.artist = QStringLiteral("Artiste %1").arg(i % 400);
        row.title = QStringLiteral("Titre de la chanson %1").arg(i);
        row.durationText = QStringLiteral("03:%1").arg(i % 60, 2, 10, QChar(u'0'));
        row.path = QStringLiteral(
                       "/home/radio/Musique/Dossier %1/Artiste %2 - Titre de la "
                       "chanson %3.mp3")
                       .arg(i % 50)
                       .arg(i % 400)
                       .arg(i);
        row.milliseconds = QString::number(180000 + i % 60 * 1000);
        playlist.append(row);
    }
    core::MainAudioChain chain(std::make_unique<audio::OfflineOutput>(44100));
    core::VirtualClock clock;
    core::VirtualTicks ticks(clock);
    ScriptedDialogs dialogs;
    core::Transport transport(chain, playlist, clock, ticks, dialogs);
    core::ResumeJournal journal(transport, playlist, clock, dir.filePath("Varonel.reprise"));
    QList<double> windowMs;
    QList<double> savedMs;
    for (int run = 0; run < kSaveRuns; ++run) {
        playlist.moveRow(1, kStateRows);  // a change, as a drag makes one
        QElapsedTimer timer;
        timer.start();
        journal.poll();
        windowMs.append(timer.nsecsElapsed() / 1e6);
        journal.flush();
        savedMs.append(timer.nsecsElapsed() / 1e6);
    }
    QList<double> encodeMs;
    for (int run = 0; run < kSaveRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray bytes = core::encodeResumeState(journal.snapshot());
        encodeMs.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(encodeMs.begin(), encodeMs.end());
    std::sort(windowMs.begin(), windowMs.end());
    std::sort(savedMs.begin(), savedMs.end());
    std::printf(
        "unattended_state_save_10000_rows: %.1f ms median, %.1f ms worst of %d "
        "(goal < 20 ms, on the journal's thread, off the audio path)\n",
        savedMs[kSaveRuns / 2], savedMs.last(), kSaveRuns);
    std::printf("unattended_state_encode_10000_rows: %.1f ms median (part of the save)\n",
                encodeMs[kSaveRuns / 2]);
    std::printf(
        "unattended_state_save_window_thread: %.3f ms median, %.3f ms worst "
        "(goal: under a tick)\n",
        windowMs[kSaveRuns / 2], windowMs.last());
    std::printf("unattended_state_file_size: %.0f kB\n",
                QFileInfo(dir.filePath("Varonel.reprise")).size() / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is known
    const QString folder = app.arguments().size() > 1
                               ? app.arguments()[1]
                               : QDir::tempPath() + QStringLiteral("/varonel-bench-unattended");
    QElapsedTimer making;
    making.start();
    makeFolder(folder);
    std::printf("unattended_folder: %d tracks by %d artists in %s (%.1f s to make or find)\n",
                kArtists * kTracksPerArtist, kArtists, qPrintable(folder),
                making.elapsed() / 1000.0);
    saveTenThousandRows();
    if (!app.arguments().contains(QStringLiteral("--save-only"))) {
        renderThreeDays(folder);
    }
    return 0;
}
