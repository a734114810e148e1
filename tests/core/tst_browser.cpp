// The track browser's listing: which files a folder lists and in what order,
// the rows a fill makes, sorting by a column, and durations read on worker
// threads that land only on the rows of their own listing.

#include <fcntl.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <semaphore>

#include "FileBytes.h"
#include "TestTracks.h"
#include "core/browser/BrowserModel.h"
#include "core/browser/DurationReader.h"
#include "core/browser/FolderListing.h"
#include "core/shared/TrackNaming.h"

using namespace varonel::core;

namespace {

QStringList column(const BrowserModel& model, int column) {
    QStringList cells;
    for (int i = 0; i < model.count(); ++i) {
        cells.append(model.data(model.index(i, column)).toString());
    }
    return cells;
}

const BrowserColumns kMixerColumns{Artiste, true};

}  // namespace

class TestBrowser : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // The pattern ignores case, hidden and other files stay out, the order
    // ignores case, and a name that is not valid UTF-8 is listed all the same.
    // Durations are read on worker threads: a WAV gets its length, an empty
    // ".mp3" or a text called ".mp3" reads "--:--"; results of an older
    // listing are dropped.
    void folderListingAndDurations() {
        const QString folder = m_dir.filePath("Musique");
        QVERIFY(
            filebytes::writeTree(folder, {"sub/", ".cache/", "b - x.Mp3", "Intro.mp3", "notes.txt",
                                          QString::fromUtf8(".cachée - x.mp3"), "a.mp3.txt",
                                          "f - x.flac", "o - x.OGG", "p - x.opus", "v - x.oga"}));
        testtracks::write(folder + "/DUPONT - VALSE.WAV", {2.5, 0.3f});
        QVERIFY(filebytes::write(folder + "/c - texte.mp3", "ceci n'est pas du son\n"));
        const QByteArray latin1 = "Caf\xe9 - Noir.mp3";
        const QByteArray latin1Path = QFile::encodeName(folder) + '/' + latin1;
        const int fd = ::open(latin1Path.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0 && ::close(fd) == 0);

        QCOMPARE(listFiles(folder),
                 QStringList({"b - x.Mp3", "c - texte.mp3", QFile::decodeName(latin1),
                              "DUPONT - VALSE.WAV", "f - x.flac", "Intro.mp3", "o - x.OGG",
                              "p - x.opus", "v - x.oga"}));
        QCOMPARE(listSubfolders(folder), QStringList{"sub"});
        for (const char* pseudo : {"proc", "sys", "dev", "run"}) {
            QVERIFY(!listSubfolders("/").contains(QLatin1String(pseudo)));
        }

        BrowserModel model(kMixerColumns);
        DurationReader reader;
        reader.serve(&model);
        model.fill(folder, listFiles(folder), true);
        QStringList durations(9, "--:--");
        durations[3] = "00:02";
        QTRY_COMPARE(column(model, 2), durations);
        QVERIFY(::unlink(latin1Path.constData()) == 0);  // QTemporaryDir could not remove it

        // Results of an older listing are dropped, not read.
        std::counting_semaphore<16> gate(0);
        std::atomic<int> reads{0};
        DurationReader slow(
            [&](const QString&) {
                gate.acquire();
                ++reads;
                return 60000;
            },
            1);
        slow.serve(&model);
        QObject::disconnect(&model, nullptr, &reader, nullptr);
        model.fill(folder, listFiles(folder), true);
        model.fill(folder, {"d - e.mp3"}, false);  // the first listing's jobs are dropped
        gate.release(16);
        QTRY_VERIFY(slow.idle());
        QTest::qWait(20);
        QVERIFY(reads.load() <= 1);  // at most the one already being read
        QCOMPARE(model.row(0).duration, QString());
    }

    // Rows in file order with the mixer's naming; one separator between folder
    // and name, in a root as in a folder; the header counts the files.
    void fillSortAndYield() {
        BrowserModel model(kMixerColumns);
        model.fill("/", {"DUPONT - VALSE.WAV", "Intro.mp3"}, false);
        QCOMPARE(column(model, 0), QStringList({"DUPONT", ""}));
        QCOMPARE(column(model, 3), QStringList({"/DUPONT - VALSE.WAV", "/Intro.mp3"}));
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("2 Fichiers"));
        model.fill("/Musique", {"a - b.mp3"}, false);
        QCOMPARE(model.row(0).path, QStringLiteral("/Musique/a - b.mp3"));

        // Sorting is by text, "--:--" before any time; the selection follows
        // its row; tags are empty again and file order back after the next fill.
        const QStringList names = {"c - 1.mp3", "a - 2.mp3", "b - 3.mp3"};
        model.fill("/m", names, true);
        const QList<quint64> ids = {model.row(0).id, model.row(1).id, model.row(2).id};
        model.setDuration(model.listing(), ids[0], 61000);
        model.setDuration(model.listing(), ids[1], 500);  // under a second
        model.setDuration(model.listing(), ids[2], 9000);
        model.setTag(0, "x");
        const QPersistentModelIndex selected = model.index(2, 0);
        model.sort(BrowserModel::kDurationColumn);
        QCOMPARE(column(model, 2), QStringList({"--:--", "00:09", "01:01"}));
        QCOMPARE(selected.row(), 1);
        // A duration that arrives after a sort still finds its row.
        model.setDuration(model.listing(), ids[0], 125000);
        QCOMPARE(model.row(2).duration, QStringLiteral("02:05"));

        model.fill("/m", names, false);
        QCOMPARE(column(model, 0), QStringList({"c", "a", "b"}));
        QCOMPARE(model.row(0).tag, QString());
        QCOMPARE(column(model, 2), QStringList({"", "", ""}));

        // Events run after rows 0, 15, 30...; a fill started inside them takes over.
        const QStringList many(31, "A - b.mp3");
        int yields = 0;
        QVERIFY(model.fill("/big", many, false, [&] { ++yields; }));
        QCOMPARE(yields, 3);
        QSignalSpy finished(&model, &BrowserModel::fillFinished);
        const bool outer = model.fill("/big", many, false, [&] {
            if (++yields == 4) {  // this fill's first
                model.fill("/small", {"b - c.mp3"}, false);
            }
        });
        QVERIFY(!outer);
        QCOMPARE(model.count(), 1);
        QCOMPARE(model.folder(), QStringLiteral("/small"));
        QCOMPARE(finished.count(), 1);

        // The player's columns name the artist from the file's name alone.
        BrowserModel player({ArtisteSansDossier, false});
        player.fill("/Tubes", {"x - y.mp3"}, false);
        QCOMPARE(player.row(0).artist, QStringLiteral("x"));
    }
};

QTEST_GUILESS_MAIN(TestBrowser)
#include "tst_browser.moc"
