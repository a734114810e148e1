// How fast the track browser lists a folder of 2 000 MP3 files (CBR, VBR with a
// Xing header and VBR without one, 20 s each) through its real widgets: with
// durations off; with durations on, from the folder change to the last
// duration shown, first with the files out of the page cache and then a second
// listing of the same folder; and the longest gap between two window events
// meanwhile. Also a folder of 20 000 files without durations.
//
// The files are generated once and kept in /tmp/varonel-bench/browser.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>

#include "GapMeter.h"
#include "Synth.h"
#include "core/browser/DurationReader.h"
#include "core/shared/TrackNaming.h"
#include "ui/shared/FolderList.h"
#include "ui/shared/TrackBrowser.h"

namespace {

const QString kRoot = QStringLiteral("/tmp/varonel-bench/browser");
constexpr int kMp3Files = 2000;
constexpr int kManyFiles = 20000;

// Copies of three encodings of one song, under names the browser splits.
bool prepareMp3Folder(const QString& folder) {
    if (QDir(folder).entryList(QDir::Files).size() == kMp3Files) {
        return true;
    }
    QDir().mkpath(folder);
    varonel::synth::TrackRecipe recipe;
    recipe.seconds = 20.0;
    const varonel::synth::Audio song = varonel::synth::renderTrack(recipe);
    const varonel::synth::Mp3Mode modes[] = {varonel::synth::Mp3Mode::Cbr,
                                             varonel::synth::Mp3Mode::Vbr,
                                             varonel::synth::Mp3Mode::VbrNoXing};
    QStringList masters;
    for (int m = 0; m < 3; ++m) {
        masters.append(kRoot + QStringLiteral("/master%1.mp3").arg(m));
        if (!varonel::synth::writeMp3(masters.last().toStdString(), song, modes[m])) {
            return false;
        }
    }
    for (int i = 0; i < kMp3Files; ++i) {
        const QString name = QStringLiteral("%1/Artiste %2 - Titre %2.mp3").arg(folder).arg(i);
        if (!QFile::exists(name) && !QFile::copy(masters[i % 3], name)) {
            return false;
        }
    }
    return true;
}

bool prepareManyFolder(const QString& folder) {
    if (QDir(folder).entryList(QDir::Files).size() == kManyFiles) {
        return true;
    }
    QDir().mkpath(folder);
    for (int i = 0; i < kManyFiles; ++i) {
        QFile file(QStringLiteral("%1/Groupe %2 - Morceau.wav").arg(folder).arg(i));
        if (!file.exists() && !file.open(QIODevice::WriteOnly)) {
            return false;
        }
    }
    return true;
}

// Out of the page cache, as files not read since boot; as far as the system lets a
// user program ask.
void evictFolder(const QString& folder) {
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        const int fd = ::open(QFile::encodeName(folder + '/' + name).constData(), O_RDONLY);
        if (fd >= 0) {
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}

bool allDurationsShown(const varonel::core::BrowserModel& model) {
    for (int i = 0; i < model.count(); ++i) {
        if (model.row(i).duration.isEmpty()) {
            return false;
        }
    }
    return model.count() > 0;
}

// Seconds from the folder change to the list filled (and, with durations, to the
// last duration shown).
double listFolder(varonel::ui::TrackBrowser& browser, const QString& folder, bool durations,
                  GapMeter& gaps, qint64* longestGap) {
    browser.setDurationsOn(durations);
    gaps.start();
    QElapsedTimer clock;
    clock.start();
    browser.folders()->setPath(folder, true);
    while (durations && !allDurationsShown(*browser.model())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    *longestGap = std::max(*longestGap, gaps.stop());
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString mp3Folder = kRoot + QStringLiteral("/mp3");
    const QString manyFolder = kRoot + QStringLiteral("/many");
    std::printf("Preparing %s (once)...\n", qPrintable(kRoot));
    if (!prepareMp3Folder(mp3Folder) || !prepareManyFolder(manyFolder)) {
        std::printf("Cannot write the test folders\n");
        return 1;
    }
    QWidget host;
    varonel::core::BrowserModel model({varonel::core::Artiste, true});
    varonel::core::DurationReader reader;
    reader.serve(&model);
    varonel::ui::TrackBrowser browser(&host, &model);
    host.resize(800, 600);
    host.show();
    GapMeter gaps;
    qint64 longestGap = 0;

    browser.folders()->setPath(kRoot, true);
    evictFolder(mp3Folder);
    const double off = listFolder(browser, mp3Folder, false, gaps, &longestGap);
    browser.folders()->setPath(kRoot, true);
    evictFolder(mp3Folder);
    const double cold = listFolder(browser, mp3Folder, true, gaps, &longestGap);
    browser.folders()->setPath(kRoot, true);
    const double second = listFolder(browser, mp3Folder, true, gaps, &longestGap);
    browser.folders()->setPath(kRoot, true);
    qint64 manyGap = 0;
    const double many = listFolder(browser, manyFolder, false, gaps, &manyGap);

    std::printf("browser_list_2000_mp3_durations_off: %.3f s (goal < 0.3 s)\n", off);
    std::printf("browser_durations_2000_mp3_cold: %.3f s (goal < 3 s)\n", cold);
    std::printf("browser_durations_2000_mp3_second_listing: %.3f s (goal < 0.5 s)\n", second);
    std::printf("browser_longest_event_gap: %lld ms (goal < 100 ms)\n", longestGap);
    std::printf("browser_list_20000_files_durations_off: %.3f s (no goal)\n", many);
    std::printf("browser_longest_event_gap_20000_files: %lld ms (no goal)\n", manyGap);
    return 0;
}
