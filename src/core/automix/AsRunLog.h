#pragma once
// The as-run log: one line for each track that went on air, appended when it is
// no longer heard, to a file of the day "Diffusion-AAAA-MM-JJ.txt" in the settings
// folder (or to one given file, for the offline render):
//
//     2026-11-01 14:03:27<TAB>Artiste - Titre<TAB>/full/path.mp3<TAB>183456<TAB>point de sortie
//
// the local date and time the track started, its artist and title as LblArtiste
// shows them, its path, the milliseconds it was heard, and how it ended. A
// track skipped because its file could not be opened gets a line at once, heard
// 0 ms, its end "sautée : " and the reason.
//
// The lines are written on a thread of the log's own, so a slow disk never holds
// up a transition. Each line is appended whole or not at all: a full disk never
// leaves half a line, and the lines already in the file are never touched. A log
// that cannot be written never disturbs the broadcast: cannotWrite() is emitted
// once for the whole session, and nothing else changes.
//
// Threads: main thread, except the writing thread inside.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "audio/ReplacementFile.h"
#include "core/shared/Clock.h"

namespace varonel::core {

class Transport;

class AsRunLog : public QObject {
    Q_OBJECT

public:
    // Logs the tracks of `transport` into the daily files of `folder` (ending with
    // a separator, as CheminAppli does).
    AsRunLog(Transport& transport, const Clock& clock, const QString& folder,
             QObject* parent = nullptr);
    ~AsRunLog() override;

    // Every line to this one file instead of the daily files. The file is written
    // anew beside `path` and put in its place by finish(): an older file of that
    // name stays whole until then. False, with a French *error, when the new file
    // cannot be made; the lines then go nowhere.
    bool setFile(const QString& path, QString* error);
    // Where the local date and time of a start come from (the offline render's
    // virtual time); the system's by default.
    void setNow(std::function<QDateTime()> now) { m_now = std::move(now); }

    // The daily file of `date` in `folder`.
    static QString dailyFile(const QString& folder, const QDate& date);
    // How a skipped track "ended", with the reader's reason.
    static QString howSkipped(const QString& reason) {
        return QStringLiteral("sautée : ") + reason;
    }
    // How a track ended when the program itself died under it.
    static QString howInterrupted() {
        return QStringLiteral("interrompue : arrêt imprévu de Varonel");
    }
    // The line of a track that was on air when the program died, written by the
    // next session: it was heard from `start` for about `heardMs`.
    void writeInterrupted(const QDateTime& start, const QString& artisteTitre, const QString& path,
                          int64_t heardMs);
    // One line, without its line end.
    static QString line(const QDateTime& start, const QString& artisteTitre, const QString& path,
                        int64_t heardMs, const QString& how);

    // Waits until every line so far is written; reports a failure not yet
    // reported (for a caller without an event loop).
    void flush();
    // flush(), then puts the file of setFile() in place. False when a line or the
    // file could not be written: the failure has then been reported.
    bool finish();

signals:
    // The log could not be written: a French text for the operator. Once a session.
    void cannotWrite(const QString& message);

private:
    struct OnAir {
        QString path;
        QString artisteTitre;
        QDateTime start;
        int64_t startMs = 0;
    };
    struct Pending {
        QString file;   // where the line goes
        QString shown;  // the file the operator knows
        QByteArray bytes;
        bool durable = true;
    };

    static QString cannotWriteMessage(const QString& file, const QString& reason);
    void started(const QString& artisteTitre, const QString& path);
    void ended(const QString& path, const QString& how);
    void skipped(const QString& path, const QString& reason);
    // Hands one line to the writing thread, for the daily file of `start`.
    void write(const QDateTime& start, const QString& text);
    void writeLoop();
    void report();

    const Clock& m_clock;
    QString m_folder;
    QString m_file;
    std::unique_ptr<audio::ReplacementFile> m_replacement;  // the new m_file
    std::function<QDateTime()> m_now;
    QList<OnAir> m_onAir;
    bool m_reported = false;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Pending> m_pending;
    bool m_writing = false;
    bool m_quit = false;
    QString m_failure;  // the first failure's message, "" while none
    std::thread m_writer;
};

}  // namespace varonel::core
