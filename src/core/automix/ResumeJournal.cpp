#include "core/automix/ResumeJournal.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace varonel::core {

ResumeJournal::ResumeJournal(Transport& transport, const PlaylistModel& playlist,
                             const Clock& clock, const QString& path, QObject* parent)
    : QObject(parent), m_transport(transport), m_playlist(playlist), m_clock(clock), m_path(path) {
    connect(&transport, &Transport::displayChanged, this, &ResumeJournal::poll);
    connect(&transport, &Transport::trackStarted, this,
            [this] { m_trackStart = QDateTime::currentDateTime(); });
    if (transport.EnDiffusion()) {
        m_trackStart = QDateTime::currentDateTime().addMSecs(-transport.onAirPositionMs());
    }
    m_writer = std::thread([this] { writeLoop(); });
}

ResumeJournal::~ResumeJournal() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_writer.join();
}

ResumeState ResumeJournal::snapshot() const {
    ResumeState state;
    state.onAir = m_transport.EnDiffusion();
    state.requetteAuto = m_transport.RequetteAuto();
    state.mixIntelligent = m_transport.MixIntelligent();
    if (state.onAir) {
        state.track = m_transport.onAirRow();
        state.trackStart = m_trackStart;
        state.positionMs = m_transport.onAirPositionMs();
    }
    state.rows = m_playlist.rows();  // shared, not copied
    return state;
}

void ResumeJournal::poll() {
    if (m_closed) {
        return;
    }
    const bool onAir = m_transport.EnDiffusion();
    const QString& track = m_transport.onAirRow().path;
    const bool changed = !m_polled || m_playlist.revision() != m_revision || onAir != m_onAir ||
                         m_transport.RequetteAuto() != m_requetteAuto ||
                         m_transport.MixIntelligent() != m_mixIntelligent || track != m_trackPath;
    const int64_t now = m_clock.monotonicMs();
    if (changed) {
        m_polled = true;
        m_revision = m_playlist.revision();
        m_onAir = onAir;
        m_requetteAuto = m_transport.RequetteAuto();
        m_mixIntelligent = m_transport.MixIntelligent();
        m_trackPath = track;
        m_positionSavedMs = now;
        post({snapshot(), std::nullopt, false});
    } else if (onAir && now - m_positionSavedMs >= kPositionEveryMs) {
        m_positionSavedMs = now;
        post({std::nullopt, m_transport.onAirPositionMs(), false});
    }
}

void ResumeJournal::closeCleanly() {
    m_closed = true;
    post({std::nullopt, std::nullopt, true});
    flush();
}

void ResumeJournal::post(Job job) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_hasPending || job.full || job.remove) {
            m_pending = std::move(job);  // the newest whole state replaces all before
        } else {
            m_pending.position = job.position;
        }
        m_hasPending = true;
    }
    m_changed.notify_all();
}

void ResumeJournal::flush() {
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_hasPending && !m_writing; });
    }
    report();
}

void ResumeJournal::writeLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || m_hasPending; });
        if (!m_hasPending) {
            return;  // quitting, with everything written
        }
        const Job job = std::move(m_pending);
        m_pending = {};
        m_hasPending = false;
        m_writing = true;
        lock.unlock();
        const QString failure = writeJob(job);
        lock.lock();
        m_writing = false;
        const bool first = !failure.isEmpty() && m_failure.isEmpty();
        if (first) {
            m_failure = failure;
        }
        m_changed.notify_all();
        if (first) {
            QMetaObject::invokeMethod(
                this, [this] { report(); }, Qt::QueuedConnection);
        }
    }
}

// On the writing thread. Returns the failure, "" when all went well.
QString ResumeJournal::writeJob(const Job& job) {
    if (job.remove) {
        QFile::remove(m_path);
        return {};
    }
    QString error;
    if (job.full) {
        // A new file put in place only once complete: never half a state.
        QSaveFile file(m_path);
        const QByteArray bytes = encodeResumeState(*job.full);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            error = file.errorString();
        }
    }
    if (job.position && error.isEmpty() && QFile::exists(m_path)) {
        // A line cut short by a crash is passed over when read.
        QFile file(m_path);
        const QByteArray line = encodeResumePosition(*job.position);
        if (!file.open(QIODevice::Append) || file.write(line) != line.size() || !file.flush()) {
            error = file.errorString();
        }
    }
    if (error.isEmpty()) {
        return {};
    }
    return QStringLiteral("L'état de reprise ne peut pas être écrit : ") +
           QDir::toNativeSeparators(m_path) + QStringLiteral(" (") + error + QStringLiteral(")");
}

void ResumeJournal::report() {
    QString failure;
    {
        std::lock_guard lock(m_mutex);
        failure = m_failure;
    }
    if (!failure.isEmpty() && !m_reported) {
        m_reported = true;
        emit cannotWrite(failure);
    }
}

}  // namespace varonel::core
