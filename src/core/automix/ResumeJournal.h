#pragma once
// Keeps the broadcast's resume state (ResumeState) on disk as it changes: the
// playlist, the track on air, the request and smart mix switches at each
// change, and the position on air every second. A clean close removes the file,
// so that the next start has nothing to resume.
//
// The window thread only notes what changed and hands a copy of the rows (a
// shared one, that costs nothing) to a writing thread of the journal's own,
// which encodes and writes it: a change never costs the window a tick, however
// long the playlist. Changes that come faster than the disk are folded into
// the last one. A file that cannot be written never disturbs the broadcast:
// cannotWrite() is emitted once.
//
// Threads: main thread, except the writing thread inside.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "core/automix/ResumeState.h"
#include "core/automix/Transport.h"
#include "core/playlist/PlaylistModel.h"
#include "core/shared/Clock.h"

namespace varonel::core {

class ResumeJournal : public QObject {
    Q_OBJECT

public:
    static constexpr int64_t kPositionEveryMs = 1000;

    // Watches `transport` and `playlist`, writing to `path`. Nothing is written
    // before the first poll().
    ResumeJournal(Transport& transport, const PlaylistModel& playlist, const Clock& clock,
                  const QString& path, QObject* parent = nullptr);
    ~ResumeJournal() override;

    // Looks for a change; the transport's every tick calls it.
    void poll();
    // The program closes cleanly: the file goes, and nothing is written after.
    void closeCleanly();
    // Waits until everything asked so far is on disk.
    void flush();

    // The state as the window has it now.
    ResumeState snapshot() const;

signals:
    // The file could not be written: a French text for the operator. Once a session.
    void cannotWrite(const QString& message);

private:
    struct Job {
        std::optional<ResumeState> full;
        std::optional<int32_t> position;  // after `full` when both
        bool remove = false;
    };

    void post(Job job);
    void writeLoop();
    QString writeJob(const Job& job);
    void report();

    Transport& m_transport;
    const PlaylistModel& m_playlist;
    const Clock& m_clock;
    QString m_path;
    bool m_closed = false;
    bool m_reported = false;

    // What was written last, as the window saw it.
    bool m_polled = false;
    quint64 m_revision = 0;
    bool m_onAir = false;
    bool m_requetteAuto = false;
    bool m_mixIntelligent = false;
    QString m_trackPath;
    QDateTime m_trackStart;
    int64_t m_positionSavedMs = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    Job m_pending;
    bool m_hasPending = false;
    bool m_writing = false;
    bool m_quit = false;
    QString m_failure;
    std::thread m_writer;
};

}  // namespace varonel::core
