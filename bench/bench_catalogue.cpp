// How fast the catalogue window builds and searches its catalogue, through its
// real widgets: the walk of a tree of 20 000 audio files in 2 000 folders
// (beside 20 000 other files) from the window's loading to the end of the walk,
// counting the label and caption updates, against `find` over the same tree in
// the same run; the longest gap between two turns of the event loop during the
// walk; and Enter in the search box over a full catalogue of 32 767 entries,
// for a search that finds a few entries and one that finds them all.
//
// The files are generated in /tmp/varonel-bench/catalogue and removed at the end.

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "GapMeter.h"
#include "core/catalogue/CatalogueList.h"
#include "core/catalogue/CatalogueWalk.h"
#include "core/shared/LineFile.h"
#include "ui/varonel/CatalogueWindow.h"

namespace {

const QString kRoot = QStringLiteral("/tmp/varonel-bench/catalogue");
constexpr int kTopFolders = 40;
constexpr int kSubfolders = 49;  // 40 x (1 + 49) = 2 000 folders
constexpr int kAudioPerFolder = 10;
constexpr int kOtherPerFolder = 10;
// Runs of each, interleaved; the fastest of each is compared, the figure least
// disturbed by whatever else the machine does.
constexpr int kRuns = 7;
constexpr int kEnters = 20;

class SilentDialogs final : public varonel::core::Dialogs {
public:
    varonel::core::MessageAnswer message(const varonel::core::Message& /*message*/) override {
        ++shown;
        return varonel::core::MessageAnswer::Ok;
    }
    QString openFileName(const QString& /*folder*/, const QString& /*filter*/) override {
        return {};
    }
    QString saveFileName(const QString& /*folder*/, const QString& /*filter*/,
                         const QString& /*defaultSuffix*/) override {
        return {};
    }
    int shown = 0;
};

bool touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

// One folder's files: audio files under names the catalogue splits, in both
// extensions and several letter cases, and as many files it must leave out.
bool fillFolder(const QString& folder, int number) {
    static const char* const kAudio[] = {"mp3", "wav", "MP3", "Wav"};
    static const char* const kOther[] = {"txt", "jpg", "m3u", "nfo"};
    for (int i = 0; i < kAudioPerFolder; ++i) {
        const QString name = QStringLiteral("%1/Artiste %2 - Titre %3.%4")
                                 .arg(folder)
                                 .arg(number)
                                 .arg(i)
                                 .arg(QLatin1String(kAudio[i % 4]));
        if (!touch(name)) {
            return false;
        }
    }
    for (int i = 0; i < kOtherPerFolder; ++i) {
        if (!touch(QStringLiteral("%1/Notes %2.%3").arg(folder).arg(i).arg(kOther[i % 4]))) {
            return false;
        }
    }
    return true;
}

bool makeTree(const QString& root) {
    int number = 0;
    for (int top = 0; top < kTopFolders; ++top) {
        const QString topFolder = QStringLiteral("%1/Genre %2").arg(root).arg(top);
        if (!QDir().mkpath(topFolder) || !fillFolder(topFolder, number++)) {
            return false;
        }
        for (int sub = 0; sub < kSubfolders; ++sub) {
            const QString folder = QStringLiteral("%1/Album %2").arg(topFolder).arg(sub);
            if (!QDir().mkpath(folder) || !fillFolder(folder, number++)) {
                return false;
            }
        }
    }
    return true;
}

double fastest(const QList<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

// Seconds of `find` listing the audio files of the tree; *found gets their number.
double timeFind(const QString& root, int* found) {
    QElapsedTimer clock;
    clock.start();
    QProcess find;
    find.start(QStringLiteral("find"),
               {root, "-type", "f", "(", "-iname", "*.mp3", "-o", "-iname", "*.wav", ")"});
    find.waitForFinished(-1);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    *found = int(find.readAllStandardOutput().count('\n'));
    return seconds;
}

varonel::core::CatalogueHost hostFor(const QString& catalogueFile, const QString& folder,
                                     SilentDialogs* dialogs) {
    varonel::core::CatalogueHost host;
    host.fichierCatalogue = catalogueFile;
    host.browserFolder = [folder] { return folder; };
    host.addToPlaylist = [](const varonel::core::PlaylistRow& /*row*/, QString* /*error*/) {
        return false;
    };
    host.dialogs = dialogs;
    return host;
}

// Seconds from the window's loading to the end of its first walk, with the
// longest gap between events meanwhile in *longestGap; *found gets the count.
double timeWindowWalk(const QString& root, GapMeter& gaps, qint64* longestGap, int* found) {
    SilentDialogs dialogs;
    auto* window = new varonel::ui::CatalogueWindow(
        hostFor(kRoot + QStringLiteral("/absent/Catalogue.txt"), root, &dialogs));
    QEventLoop loop;
    QObject::connect(&window->session(), &varonel::core::CatalogueSession::walkEnded, &loop,
                     &QEventLoop::quit);
    gaps.start();
    QElapsedTimer clock;
    clock.start();
    window->Form_Load();
    loop.exec();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    *longestGap = std::max(*longestGap, gaps.stop());
    *found = window->session().lstFoundFiles().count();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return seconds;
}

// The same walk without a window, its steps back to back.
double timeBareWalk(const QString& root) {
    varonel::core::CatalogueList list;
    SilentDialogs dialogs;
    varonel::core::CatalogueWalk walk(list, dialogs);
    QElapsedTimer clock;
    clock.start();
    walk.ParcoursDossier(root, varonel::core::FilePattern(), [] {});
    return double(clock.nsecsElapsed()) / 1e9;
}

// A full catalogue file: 32 767 paths, among which `rare` holds a few.
bool writeFullCatalogue(const QString& file, const QString& rare) {
    QStringList lines;
    for (int i = 0; i < varonel::core::CatalogueList::kCapacity; ++i) {
        lines.append(QStringLiteral("/media/musique/Genre %1/Album %2/Artiste %3 - Titre %4.mp3")
                         .arg(i % 40)
                         .arg(i % 49)
                         .arg(i)
                         .arg(i % 10));
    }
    for (int i = 0; i < 5; ++i) {
        lines[i * 6000] =
            QStringLiteral("/media/musique/Divers/%1 - Titre %2.mp3").arg(rare).arg(i);
    }
    return varonel::core::writeLineFile(file, lines);
}

// Milliseconds per Enter in the search box, the result list laid out.
double timeEnter(varonel::ui::CatalogueWindow* window, const QString& text, int* results) {
    auto* rech = window->findChild<QLineEdit*>(QStringLiteral("Rech"));
    rech->setText(text);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kEnters; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(rech, &press);
        QCoreApplication::processEvents();
    }
    const double ms = double(clock.nsecsElapsed()) / 1e6 / kEnters;
    *results = window->findChild<QAbstractItemView*>(QStringLiteral("List2"))->model()->rowCount();
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString tree = kRoot + QStringLiteral("/arbre");
    QDir(kRoot).removeRecursively();
    std::printf("Preparing %s...\n", qPrintable(kRoot));
    if (!makeTree(tree)) {
        std::printf("Cannot write the test tree\n");
        return 1;
    }
    int found = 0;
    timeFind(tree, &found);  // the tree in the page cache for both
    QList<double> findTimes;
    QList<double> walkTimes;
    QList<double> bareTimes;
    GapMeter gaps;
    qint64 longestGap = 0;
    int findFound = 0;
    for (int run = 0; run < kRuns; ++run) {
        findTimes.append(timeFind(tree, &findFound));
        walkTimes.append(timeWindowWalk(tree, gaps, &longestGap, &found));
        bareTimes.append(timeBareWalk(tree));
    }

    const QString catalogueFile = kRoot + QStringLiteral("/Catalogue.txt");
    const QString rare = QStringLiteral("Zanzibar");
    if (!writeFullCatalogue(catalogueFile, rare)) {
        std::printf("Cannot write the catalogue file\n");
        return 1;
    }
    SilentDialogs dialogs;
    auto* window = new varonel::ui::CatalogueWindow(hostFor(catalogueFile, tree, &dialogs));
    window->Form_Load();
    int rareResults = 0;
    int allResults = 0;
    const double rareMs = timeEnter(window, rare.toLower(), &rareResults);
    const double allMs = timeEnter(window, QStringLiteral(".Mp3"), &allResults);
    const int entries = window->session().lstFoundFiles().count();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QDir(kRoot).removeRecursively();

    const double walk = fastest(walkTimes);
    const double find = fastest(findTimes);
    std::printf("catalogue_tree: %d audio files found by the window, %d by find (no goal)\n", found,
                findFound);
    std::printf("catalogue_find_20000_audio_2000_folders: %.3f s (reference)\n", find);
    std::printf("catalogue_walk_window_20000_audio_2000_folders: %.3f s (goal <= %.3f s)\n", walk,
                1.5 * find);
    std::printf("catalogue_walk_vs_find: %.2f x (goal <= 1.5 x)\n", walk / find);
    std::printf("catalogue_walk_without_window: %.3f s (no goal)\n", fastest(bareTimes));
    std::printf("catalogue_longest_event_gap_during_walk: %lld ms (goal < 100 ms)\n", longestGap);
    std::printf("catalogue_search_%d_entries_%d_found: %.2f ms per Enter (goal < 10 ms)\n", entries,
                rareResults, rareMs);
    std::printf("catalogue_search_%d_entries_%d_found: %.2f ms per Enter (goal < 10 ms)\n", entries,
                allResults, allMs);
    return 0;
}
