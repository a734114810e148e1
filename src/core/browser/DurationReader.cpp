#include "core/browser/DurationReader.h"

#include <QMetaObject>
#include <algorithm>

#include "audio/TrackLength.h"
#include "core/shared/TrackTags.h"

namespace varonel::core {

int32_t DurationReader::exactLength(const QString& path) {
    return audio::exactLengthMs(path.toStdString());
}

DurationReader::DurationReader(LengthFunction length, int workers, QObject* parent)
    : QObject(parent), m_length(std::move(length)) {
    for (int i = 0; i < std::max(workers, 1); ++i) {
        m_workers.emplace_back([this] { work(); });
    }
}

DurationReader::~DurationReader() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    for (std::thread& worker : m_workers) {
        worker.join();
    }
}

void DurationReader::read(quint64 listing, const QList<DurationJob>& jobs) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.clear();
        for (const DurationJob& job : jobs) {
            m_queue.push_back({listing, job});
        }
    }
    m_wake.notify_all();
}

void DurationReader::serve(BrowserModel* model) {
    connect(model, &BrowserModel::durationsWanted, this, &DurationReader::read);
    connect(this, &DurationReader::durationRead, model, &BrowserModel::setDuration);
    connect(this, &DurationReader::namesRead, model, &BrowserModel::setNames);
}

bool DurationReader::idle() const {
    std::lock_guard lock(m_mutex);
    return m_queue.empty() && m_busy == 0;
}

void DurationReader::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || !m_queue.empty(); });
        if (m_quit) {
            return;
        }
        const Job job = m_queue.front();
        m_queue.pop_front();
        ++m_busy;
        lock.unlock();
        TagNames names;
        if (job.row.names && readTagNames(job.row.path, &names)) {
            QMetaObject::invokeMethod(
                this,
                [this, job, names] {
                    emit namesRead(job.listing, job.row.rowId, names.artist, names.title);
                },
                Qt::QueuedConnection);
        }
        if (job.row.length) {
            const int32_t length = m_length(job.row.path);
            // Runs on the main thread; dropped with this object if it is gone by then.
            QMetaObject::invokeMethod(
                this,
                [this, job, length] { emit durationRead(job.listing, job.row.rowId, length); },
                Qt::QueuedConnection);
        }
        lock.lock();
        --m_busy;
    }
}

}  // namespace varonel::core
