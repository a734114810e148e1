#pragma once
// Analyses tracks in the background, one at a time on a thread of its own at a
// low priority, so that neither the window nor the sound ever waits for it.
// Results go into the track cache (TrackCache.h); a file already analysed there
// is not analysed again. Whenever it has nothing left to do and the cache has
// changed, it saves the cache to its file, on its own thread too.
//
// Threads: the public functions from any thread but the real-time callback; the
// callback given at construction runs on the analyser's thread.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>

namespace varonel::audio {

class TrackAnalyser {
public:
    // Told of each file once its analysis is in the cache (`ok`) or has failed.
    using Done = std::function<void(const std::string& path, bool ok)>;

    explicit TrackAnalyser(Done done = {});
    // Saves the cache a last time when it has changed.
    ~TrackAnalyser();
    TrackAnalyser(const TrackAnalyser&) = delete;
    TrackAnalyser& operator=(const TrackAnalyser&) = delete;

    // Where the cache is kept between runs ("" for nowhere). Set before requests.
    void setCacheFile(const std::string& file);
    // Queues a file; an urgent one (about to play) goes before all the others.
    void request(const std::string& path, bool urgent = false);
    // Drops what is still queued.
    void forget();
    // Files queued or being analysed.
    size_t pending() const;
    // Waits until nothing is pending, at most `timeoutMs`. True when idle.
    bool waitIdle(int timeoutMs) const;

private:
    void run();
    bool takeNext(std::string* path);
    void saveCache();

    Done m_done;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::deque<std::string> m_urgent;
    std::deque<std::string> m_queue;
    std::unordered_set<std::string> m_queued;
    std::string m_cacheFile;
    bool m_busy = false;
    bool m_quit = false;
    std::thread m_thread;
};

}  // namespace varonel::audio
