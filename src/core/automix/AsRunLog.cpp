#include "core/automix/AsRunLog.h"

#include <QDir>

#include "audio/FileAccess.h"
#include "core/automix/Transport.h"
#include "core/shared/FileNames.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/TrackNaming.h"

namespace varonel::core {

AsRunLog::AsRunLog(Transport& transport, const Clock& clock, const QString& folder, QObject* parent)
    : QObject(parent),
      m_clock(clock),
      m_folder(folder),
      m_now([] { return QDateTime::currentDateTime(); }) {
    connect(&transport, &Transport::trackStarted, this, &AsRunLog::started);
    connect(&transport, &Transport::trackEnded, this, &AsRunLog::ended);
    connect(&transport, &Transport::trackSkipped, this, &AsRunLog::skipped);
    m_writer = std::thread([this] { writeLoop(); });
}

AsRunLog::~AsRunLog() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_writer.join();
}

QString AsRunLog::dailyFile(const QString& folder, const QDate& date) {
    return folder + QStringLiteral("Diffusion-") + date.toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".txt");
}

QString AsRunLog::cannotWriteMessage(const QString& file, const QString& reason) {
    return QStringLiteral("Le journal de diffusion ne peut pas être écrit : ") +
           QDir::toNativeSeparators(file) + QStringLiteral(" (") + reason + QStringLiteral(")");
}

QString AsRunLog::line(const QDateTime& start, const QString& artisteTitre, const QString& path,
                       int64_t heardMs, const QString& how) {
    // A reason from the system could hold a tab or a line end; it must not
    // split the line into false fields or false lines.
    QString flatHow = how;
    flatHow.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
    return start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + '\t' + artisteTitre + '\t' +
           QDir::toNativeSeparators(path) + '\t' + QString::number(heardMs) + '\t' + flatHow;
}

void AsRunLog::started(const QString& artisteTitre, const QString& path) {
    m_onAir.append({path, artisteTitre, m_now(), m_clock.monotonicMs()});
}

void AsRunLog::ended(const QString& path, const QString& how) {
    for (qsizetype i = 0; i < m_onAir.size(); ++i) {
        if (m_onAir[i].path != path) {
            continue;
        }
        const OnAir track = m_onAir.takeAt(i);
        const int64_t heard = std::max<int64_t>(0, m_clock.monotonicMs() - track.startMs);
        write(track.start, line(track.start, track.artisteTitre, track.path, heard, how));
        return;
    }
}

// A skipped track was never heard: its line is written at once, dated when it
// should have gone on air.
void AsRunLog::skipped(const QString& path, const QString& reason) {
    const QDateTime now = m_now();
    const QString name = fileNameOf(path);
    write(now, line(now, Artiste(name) + QStringLiteral(" - ") + Titre(name), path, 0,
                    howSkipped(reason)));
}

void AsRunLog::writeInterrupted(const QDateTime& start, const QString& artisteTitre,
                                const QString& path, int64_t heardMs) {
    const QDateTime when = start.isValid() ? start : m_now();
    write(when, line(when, artisteTitre, path, heardMs, howInterrupted()));
}

void AsRunLog::write(const QDateTime& start, const QString& text) {
    if (!m_file.isEmpty() && !m_replacement) {
        return;  // the file of setFile() could not be made: told already
    }
    Pending pending;
    pending.shown = m_file.isEmpty() ? dailyFile(m_folder, start.date()) : m_file;
    pending.file = m_replacement ? fromSystemName(m_replacement->temporaryPath()) : pending.shown;
    // A daily file waits for the disk, so that a late failure is still told; a
    // file of setFile() is flushed once, when finish() puts it in place.
    pending.durable = m_file.isEmpty();
    pending.bytes = (text + QStringLiteral("\r\n")).toUtf8();
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(std::move(pending));
    }
    m_changed.notify_all();
}

void AsRunLog::writeLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || !m_pending.empty(); });
        if (m_pending.empty()) {
            return;  // quitting, with everything written
        }
        std::vector<Pending> batch;
        batch.swap(m_pending);
        m_writing = true;
        lock.unlock();
        QString failure;
        for (const Pending& pending : batch) {
            std::string reason;
            if (!audio::appendRecord(systemPath(pending.file), pending.bytes.toStdString(),
                                     pending.durable, &reason)) {
                failure = cannotWriteMessage(pending.shown, QString::fromStdString(reason));
            }
        }
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

bool AsRunLog::setFile(const QString& path, QString* error) {
    m_file = path;
    m_replacement = std::make_unique<audio::ReplacementFile>(systemPath(path));
    std::string reason;
    if (!m_replacement->create(&reason)) {
        *error = cannotWriteMessage(path, QString::fromStdString(reason));
        m_replacement.reset();
        m_reported = true;  // told by the caller: once a session
        return false;
    }
    return true;
}

bool AsRunLog::finish() {
    flush();
    bool failed = false;
    {
        std::lock_guard lock(m_mutex);
        failed = !m_failure.isEmpty();
    }
    if (!m_replacement || failed) {
        m_replacement.reset();
        return !failed && m_file.isEmpty();
    }
    std::string reason;
    const bool done = m_replacement->commit(&reason);
    m_replacement.reset();
    if (!done) {
        {
            std::lock_guard lock(m_mutex);
            m_failure = cannotWriteMessage(m_file, QString::fromStdString(reason));
        }
        report();
    }
    return done;
}

void AsRunLog::flush() {
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_pending.empty() && !m_writing; });
    }
    report();
}

void AsRunLog::report() {
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
