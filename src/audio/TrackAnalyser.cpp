#include "TrackAnalyser.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "TrackAnalysis.h"
#include "TrackCache.h"

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
        m_queue.clear();
    }
    m_changed.notify_all();
    m_thread.join();
}

void TrackAnalyser::request(const std::string& path, bool urgent) {
    {
        std::lock_guard lock(m_mutex);
        const auto queued = std::find(m_queue.begin(), m_queue.end(), path);
        if (queued != m_queue.end()) {
            if (!urgent) {
                return;
            }
            m_queue.erase(queued);
        }
        if (urgent) {
            m_queue.push_front(path);
        } else {
            m_queue.push_back(path);
        }
    }
    m_changed.notify_all();
}

void TrackAnalyser::forget() {
    std::lock_guard lock(m_mutex);
    m_queue.clear();
}

size_t TrackAnalyser::pending() const {
    std::lock_guard lock(m_mutex);
    return m_queue.size() + (m_busy ? 1 : 0);
}

bool TrackAnalyser::waitIdle(int timeoutMs) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return m_queue.empty() && !m_busy; });
}

void TrackAnalyser::run() {
    lowerThisThreadsPriority();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || !m_queue.empty(); });
        if (m_quit) {
            return;
        }
        const std::string path = m_queue.front();
        m_queue.pop_front();
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
        m_changed.notify_all();
    }
}

}  // namespace varonel::audio
