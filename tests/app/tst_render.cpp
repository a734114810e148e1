// The offline render, through the real Varonel executable.

#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sndfile.h>

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "TestTracks.h"

namespace {

struct Run {
    int status = -1;
    QStringList out;
    QStringList err;
};

// A crash or a run past two minutes reads as status -1.
Run runVaronel(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(VARONEL_EXECUTABLE), arguments);
    const bool ended = process.waitForFinished(120000);
    Run run;
    run.status = ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    return run;
}

int64_t lineMs(const QString& line) {
    const QTime time = QTime::fromString(line.section('\t', 0, 0), QStringLiteral("HH:mm:ss.zzz"));
    return time.msecsSinceStartOfDay();
}

}  // namespace

class TestRender : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        for (int i = 1; i <= 3; ++i) {
            m_tracks.append(testtracks::write(
                m_dir.filePath(QString("Groupe %1 - Chanson.wav").arg(i)), {20.0, 0.5f}));
        }
    }

    void rendersTheWholeMixAndReportsEachTrack() {
        const QString playlist = writePlaylist("mix.pls", m_tracks);
        const QString wav = m_dir.filePath("mix.wav");
        const QString log = m_dir.filePath("mix.txt");
        const Run run = runVaronel({"--render", playlist, "--output", wav, "--log", log});
        QVERIFY2(run.status == 0, qPrintable(run.err.join('\n')));
        QCOMPARE(run.err, QStringList());
        QCOMPARE(run.out.size(), 4);
        QVERIFY(run.out[3].endsWith("\tstop"));
        // --log writes the as-run log beside the mix, a line a track.
        const QStringList lines =
            QString::fromUtf8(filebytes::read(log)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QString told = QString("Groupe %1 - Chanson\t%2").arg(i + 1).arg(m_tracks[i]);
            QCOMPARE(run.out[i].section('\t', 1), told);
            QCOMPARE(lines[i].section('\t', 1, 2), told);
            QCOMPARE(lines[i].section('\t', 4), QString("point de sortie"));
        }
        // Smart mix on by default, exit point 2 s: steady 20 s tracks chain near 18 s.
        QCOMPARE(lineMs(run.out[0]), int64_t(0));
        QVERIFY(std::abs(lineMs(run.out[1]) - 18000) <= 120);
        QVERIFY(std::abs(lineMs(run.out[2]) - 36000) <= 240);
        // The file: 16-bit stereo 44.1 kHz, ending 2.5 s after the stop began.
        SF_INFO info{};
        SNDFILE* file = sf_open(wav.toLocal8Bit().constData(), SFM_READ, &info);
        QVERIFY(file);
        sf_close(file);
        QCOMPARE(QList<int>({info.samplerate, info.channels, info.format}),
                 QList<int>({44100, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16}));
        const int64_t fileMs = info.frames * 1000 / 44100;
        QVERIFY(std::abs(fileMs - (lineMs(run.out[3]) + 2500)) <= 20);
        // Rendering is deterministic.
        const QString again = m_dir.filePath("again.wav");
        QCOMPARE(runVaronel({"--render", playlist, "--output", again}).status, 0);
        QCOMPARE(filebytes::read(again), filebytes::read(wav));
    }

    void optionsSetTheExitPointAndSmartMix() {
        const QString playlist = writePlaylist("two.pls", m_tracks.mid(0, 2));
        const Run plain = runVaronel({"--render", playlist, "--no-output", "--no-smart-mix"});
        QVERIFY2(plain.status == 0, qPrintable(plain.err.join('\n')));
        QVERIFY(std::abs(lineMs(plain.out[1]) - 16000) <= 120);  // design value, 4 s
        const Run early = runVaronel(
            {"--render", playlist, "--no-output", "--exit-point", "10", "--smart-mix", "70"});
        QVERIFY2(early.status == 0, qPrintable(early.err.join('\n')));
        QVERIFY(std::abs(lineMs(early.out[1]) - 10000) <= 120);
    }

    // A song chained early by the smart mix on its silent end, then a jingle that
    // ends during the song's fade: the render goes on to the last song and ends.
    void jingleAfterAnEarlyTransitionKeepsTheMixGoing() {
        const QString silentEnd = testtracks::write(m_dir.filePath("Calme - Fin muette.wav"),
                                                    {20.0, 0.5f, 0.0, 0.0, 8.0});
        const QString jingle =
            testtracks::write(m_dir.filePath("Station - Jingle.wav"), {1.0, 0.5f});
        const QString playlist =
            writePlaylist("jingle.pls", {m_tracks[0], silentEnd, jingle, m_tracks[1]});
        const Run run = runVaronel({"--render", playlist, "--output", m_dir.filePath("j.wav")});
        QVERIFY2(run.status == 0, qPrintable(run.err.join('\n')));
        QCOMPARE(run.out.size(), 5);
        QCOMPARE(run.out[3].section('\t', 2), m_tracks[1]);
        QVERIFY(std::abs(lineMs(run.out[3]) - lineMs(run.out[2]) - 1000) <= 20);
    }

    // Refusals: wrong options, inputs that are not playlists (which used to
    // hang the render), and outputs that would destroy a file the render did
    // not create. Each says why in French in one line, exits with 2, and
    // leaves every file it was given as it was.
    void refusalsExitWithTwoAndOneLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("cause");
        const QString ok = writePlaylist("ok.pls", m_tracks.mid(0, 1));
        const QString out = m_dir.filePath("o.wav");
        // A render of `playlist` to `output`, with `more`.
        const auto row = [&](const char* name, const QString& playlist, const QString& output,
                             const QStringList& more, const char* cause) {
            QTest::newRow(name) << QStringList{"--render", playlist, "--output", output} + more
                                << cause;
        };
        const auto add = [&](const char* name, const QStringList& more, const char* cause) {
            row(name, ok, out, more, cause);
        };
        row("missing playlist", m_dir.filePath("none.pls"), out, {}, "Fichier introuvable");
        row("playlist is a folder", m_dir.path(), out, {}, "C'est un dossier");
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath("fifo.pls")).constData(), 0600) == 0);
        row("playlist is a FIFO without writer", m_dir.filePath("fifo.pls"), out, {},
            "pas un fichier ordinaire");
        row("playlist is /dev/zero", "/dev/zero", out, {}, "pas un fichier ordinaire");
        QFile huge(m_dir.filePath("huge.pls"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(65LL * 1024 * 1024));
        row("playlist past the bounds of a list", huge.fileName(), out, {}, "trop volumineux");
        row("unwritable output", ok, m_dir.filePath("no/such/dir.wav"), {}, "introuvable");
        add("exit point too far", {"--exit-point", "31"}, "--exit-point");
        add("unknown option", {"--loud", "1"}, "Option inconnue : --loud");
        add("smart mix twice", {"--smart-mix", "50", "--smart-mix", "60"}, "deux fois");
        add("smart mix on and off", {"--smart-mix", "50", "--no-smart-mix"}, "s'excluent");
        add("loudness not offered", {"--loudness", "-20"}, "--loudness");
        add("log is the playlist", {"--log", ok}, "c'est la playlist");
        QVERIFY(QFile::link(ok, m_dir.filePath("link.pls")));
        row("output is the playlist through a link", ok, m_dir.filePath("link.pls"), {},
            "c'est la playlist");
        add("log is a track, spelled with ./",
            {"--log", m_dir.path() + "/./" + m_tracks[0].section('/', -1)}, "piste de la playlist");
        const QString hardLink = m_dir.filePath("hard.wav");
        QVERIFY(::link(QFile::encodeName(m_tracks[0]).constData(),
                       QFile::encodeName(hardLink).constData()) == 0);
        row("output is a second name of a track", ok, hardLink, {}, "piste de la playlist");
        add("log is the output", {"--log", m_dir.path() + "/./o.wav"}, "le même fichier");
        add("log is /dev/full", {"--log", "/dev/full"}, "pas un fichier ordinaire");
        row("output is a folder", ok, m_dir.filePath("folder"), {}, "c'est un dossier");
        QVERIFY(QDir(m_dir.path()).mkpath("folder"));
        add("no hours", {"--hours", "0"}, "--hours");
        add("output and no output", {"--no-output"}, "Il faut");
        QTest::newRow("nothing to play") << QStringList{"--render", "--no-output"} << "Il faut";
    }
    void refusalsExitWithTwoAndOneLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, cause);
        QHash<QString, QByteArray> before;
        for (const QString& argument : arguments) {
            before.insert(argument, fingerprint(argument));
        }
        const Run run = runVaronel(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err.size(), 1);
        QVERIFY2(run.err[0].contains(cause, Qt::CaseInsensitive), qPrintable(run.err[0]));
        QCOMPARE(run.out, QStringList());
        for (const QString& argument : arguments) {
            QVERIFY2(fingerprint(argument) == before[argument], qPrintable(argument));
        }
        QCOMPARE(leftovers(), QStringList());
    }

    // A track that cannot be read is skipped with one line naming it: a file
    // that is gone, WAV files of absurd sample rates (which used to hang the
    // render for good); the tracks around them play. A log that cannot be
    // written is told once and the mix is rendered all the same.
    void unplayableTracksAreSkippedWithOneLineEach() {
        const QString missing = m_dir.filePath("Absent - Fantôme.mp3");
        QStringList paths{m_tracks[0], missing};
        for (const int rate : {1, 10, 100, 171, 400000}) {
            paths.append(m_dir.filePath(QString("Rate %1 - Hz.wav").arg(rate)));
            QVERIFY(filebytes::write(paths.last(), filebytes::wav16(rate, 1, 3 * rate + 10)));
        }
        paths.append(m_tracks[1]);
        const Run run =
            runVaronel({"--render", writePlaylist("holes.pls", paths), "--output",
                        m_dir.filePath("h.wav"), "--log", m_dir.filePath("no/such/dir.txt")});
        QVERIFY2(run.status == 0, qPrintable(run.err.join('\n')));
        QCOMPARE(run.out.size(), 3);
        QCOMPARE(run.out[1].section('\t', 2), m_tracks[1]);
        QCOMPARE(run.err.size(), 7);
        QCOMPARE(run.err.filter(missing).size(), 1);
        QCOMPARE(run.err.filter("Fréquence d'échantillonnage impossible à jouer").size(), 5);
        QCOMPARE(run.err.filter("no/such/dir.txt").size(), 1);
    }

    // A mix or a log that cannot be written in full (here a disk that fills)
    // leaves the files of those names as they were, and says so.
    void failedWriteKeepsTheOldFiles() {
        const QString playlist = writePlaylist("full.pls", m_tracks);
        const QString wav = m_dir.filePath("full.wav");
        const QString log = m_dir.filePath("full.txt");
        QVERIFY(filebytes::write(wav, "ancien mix") && filebytes::write(log, "ancien journal"));
        Run run;
        {
            const FileSizeLimit limit(200000);
            run = runVaronel({"--render", playlist, "--output", wav, "--log", log});
        }
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.join('\n').contains("Écriture du fichier WAV impossible"),
                 qPrintable(run.err.join('\n')));
        QCOMPARE(filebytes::read(wav), QByteArray("ancien mix"));
        QCOMPARE(filebytes::read(log), QByteArray("ancien journal"));
        QCOMPARE(leftovers(), QStringList());
    }

    // Six minutes of the request over a folder of three tracks, nothing
    // written: the air never stops before the time is up, and the three
    // tracks come round again and again, never one twice in a row.
    void requestRendersHoursWithoutStopping() {
        const QString folder = m_dir.filePath("requette");
        QVERIFY(QDir().mkpath(folder));
        QStringList tracks;
        for (const QString& track : std::as_const(m_tracks)) {
            tracks.append(folder + '/' + QFileInfo(track).fileName());
            QVERIFY(QFile::copy(track, tracks.constLast()));
        }
        const Run run =
            runVaronel({"--render", "--request", folder, "--hours", "0.1", "--no-output"});
        QVERIFY2(run.status == 0, qPrintable(run.err.join('\n')));
        // Every line but the last names a track of the folder: one stop, at the end.
        QCOMPARE(run.out.constLast(), QStringLiteral("00:06:00.000\tstop"));
        const QStringList played = run.out.mid(0, run.out.size() - 1);
        QVERIFY2(played.size() >= 360 / 20, qPrintable(QString::number(played.size())));
        for (int i = 0; i < played.size(); ++i) {
            QVERIFY2(tracks.contains(played[i].section('\t', 2)), qPrintable(played[i]));
            QVERIFY(i == 0 || played[i].section('\t', 2) != played[i - 1].section('\t', 2));
        }
        QVERIFY2(run.err.filter("nouveau tour").size() > 1, qPrintable(run.err.join('\n')));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);  // nothing written
    }

private:
    // What a file is, to tell whether a run changed it: the bytes of a regular
    // file; of anything else (a folder, a FIFO, a device) that it is still there
    // and still not a regular file.
    static QByteArray fingerprint(const QString& path) {
        const QFileInfo info(path);
        return info.isFile() ? filebytes::read(path)
                             : QByteArray(info.exists() ? "<other>" : "<absent>");
    }

    // Files the render began and did not put in place.
    QStringList leftovers() const {
        return QDir(m_dir.path()).entryList({".*.tmp"}, QDir::Files | QDir::Hidden);
    }

    QString writePlaylist(const QString& name, const QStringList& paths) {
        const QString path = m_dir.filePath(name);
        if (!filebytes::write(path, (paths.join("\r\n") + "\r\n").toUtf8())) {
            qFatal("cannot write the playlist");
        }
        return path;
    }

    QTemporaryDir m_dir{QDir::tempPath() + "/varonel_XXXXXX"};
    QStringList m_tracks;
};

QTEST_GUILESS_MAIN(TestRender)
#include "tst_render.moc"
