#include "audio/TrackAnalyser.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>

#include "audio/TrackAnalysis.h"
#include "audio/TrackCache.h"

namespace varonel::audio {

namespace {

// Below the decoding threads, which must keep the sound fed.
constexpr int kNice = 10;

void lowerThisThreadsPriority() {
    const auto thread = id_t(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, thread, kNice);
}

}  // namespace

TrackAnalyser::TrackAnalyser(Done done) : m_done(std::move(done)) {
    m_thread = std::thread([this] { run(); });
}

TrackAnalyser::~TrackAnalyser() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
    saveCache();
}

void TrackAnalyser::setCacheFile(const std::string& file) {
    std::lock_guard lock(m_mutex);
    m_cacheFile = file;
}

void TrackAnalyser::request(const std::string& path, bool urgent) {
    {
        std::lock_guard lock(m_mutex);
        if (m_queued.insert(path).second) {
            (urgent ? m_urgent : m_queue).push_back(path);
        } else if (urgent) {
            // Already waiting among the others: it moves up; its older place is
            // passed over when reached, since it is no longer in m_queued then.
            m_urgent.push_back(path);
        }
    }
    m_changed.notify_all();
}

void TrackAnalyser::forget() {
    std::lock_guard lock(m_mutex);
    m_urgent.clear();
    m_queue.clear();
    m_queued.clear();
}

size_t TrackAnalyser::pending() const {
    std::lock_guard lock(m_mutex);
    return m_queued.size() + (m_busy ? 1 : 0);
}

bool TrackAnalyser::waitIdle(int timeoutMs) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return m_queued.empty() && !m_busy; });
}

// Under the lock.
bool TrackAnalyser::takeNext(std::string* path) {
    for (std::deque<std::string>* queue : {&m_urgent, &m_queue}) {
        while (!queue->empty()) {
            *path = std::move(queue->front());
            queue->pop_front();
            if (m_queued.erase(*path) > 0) {
                return true;
            }
        }
    }
    return false;
}

void TrackAnalyser::run() {
    lowerThisThreadsPriority();
    std::unique_lock lock(m_mutex);
    for (;;) {
        std::string path;
        m_changed.wait(lock, [&] { return m_quit || takeNext(&path); });
        if (m_quit) {
            return;
        }
        m_busy = true;
        lock.unlock();
        const FileStamp stamp = stampOf(path);
        TrackAnalysis analysis;
        bool ok = trackCache().findAnalysis(path, stamp, &analysis);
        if (!ok) {
            std::string error;
            ok = analyseTrack(path, &analysis, &error);
            if (ok) {
                trackCache().storeAnalysis(path, stamp, analysis);
            }
        }
        if (m_done) {
            m_done(path, ok);
        }
        lock.lock();
        m_busy = false;
        if (m_queued.empty()) {
            lock.unlock();
            saveCache();
            lock.lock();
        }
        m_changed.notify_all();
    }
}

void TrackAnalyser::saveCache() {
    std::string file;
    {
        std::lock_guard lock(m_mutex);
        file = m_cacheFile;
    }
    std::string error;
    if (!file.empty() && trackCache().changed()) {
        trackCache().save(file, &error);
    }
}

}  // namespace varonel::audio
