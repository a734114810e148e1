#include "core/browser/DurationReader.h"

#include <algorithm>

#include "audio/TrackLength.h"

namespace varonel::core {

namespace {

// How often the main thread collects the workers' results while any are due.
constexpr int kDeliveryMs = 20;

}  // namespace

int32_t DurationReader::exactLength(const QString& path) {
    return audio::exactLengthMs(path.toStdString());
}

DurationReader::DurationReader(LengthFunction length, int workers, QObject* parent)
    : QObject(parent), m_length(std::move(length)) {
    m_delivery.setInterval(kDeliveryMs);
    connect(&m_delivery, &QTimer::timeout, this, &DurationReader::deliver);
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
    if (!m_delivery.isActive()) {
        m_delivery.start();
    }
}

// Hands the results read so far to the main thread's receivers; stops once
// nothing more can come.
void DurationReader::deliver() {
    std::vector<Result> results;
    {
        std::lock_guard lock(m_mutex);
        results.swap(m_results);
        if (m_queue.empty() && m_busy == 0) {
            m_delivery.stop();
        }
    }
    for (const Result& result : results) {
        if (result.names) {
            emit namesRead(result.listing, result.rowId, result.names->artist, result.names->title);
        }
        if (result.lengthMs) {
            emit durationRead(result.listing, result.rowId, *result.lengthMs);
        }
    }
}

void DurationReader::serve(BrowserModel* model) {
    connect(model, &BrowserModel::durationsWanted, this, &DurationReader::read);
    connect(this, &DurationReader::durationRead, model, &BrowserModel::setDuration);
    connect(this, &DurationReader::namesRead, model, &BrowserModel::setNames);
}

bool DurationReader::idle() const {
    std::lock_guard lock(m_mutex);
    return m_queue.empty() && m_busy == 0 && m_results.empty();
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
        Result result;
        result.listing = job.listing;
        result.rowId = job.row.rowId;
        TagNames names;
        if (job.row.names && readTagNames(job.row.path, &names)) {
            result.names = names;
        }
        if (job.row.length) {
            result.lengthMs = m_length(job.row.path);
        }
        lock.lock();
        if (result.names || result.lengthMs) {
            m_results.push_back(std::move(result));
        }
        --m_busy;
    }
}

}  // namespace varonel::core
