#pragma once
// Reads the exact lengths of a browser listing's files on worker threads, so
// that a folder of thousands of files never freezes the window: the rows show
// at once and their durations follow, first row first. The tags of files whose
// name gives no artist are read there too. Each result comes back
// on the main thread, tagged with its listing; a new listing drops what the
// previous one still had waiting.
//
// Threads: the public functions and the signals belong to the main thread; the
// workers only run the length function and leave their results under the
// mutex, where the main thread collects them every few milliseconds while
// anything is to come.

#include <QObject>
#include <QString>
#include <QTimer>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/browser/BrowserModel.h"
#include "core/shared/TrackTags.h"

namespace varonel::core {

class DurationReader final : public QObject {
    Q_OBJECT

public:
    // The exact length in milliseconds, or -1 for a file that is not audio.
    // Called on the workers: it must be safe to call from several threads.
    using LengthFunction = std::function<int32_t(const QString& path)>;

    // The exact length of the audio layer, the one the playlist reads too.
    static int32_t exactLength(const QString& path);

    explicit DurationReader(LengthFunction length = exactLength, int workers = 2,
                            QObject* parent = nullptr);
    ~DurationReader() override;
    DurationReader(const DurationReader&) = delete;
    DurationReader& operator=(const DurationReader&) = delete;

    // Queues the rows of `listing`, dropping every row of older listings not
    // yet read.
    void read(quint64 listing, const QList<DurationJob>& jobs);
    // Reads a model's durations whenever a fill asks for them.
    void serve(BrowserModel* model);
    // Nothing queued and nothing being read.
    bool idle() const;

signals:
    void durationRead(quint64 listing, quint64 rowId, int32_t lengthMs);
    void namesRead(quint64 listing, quint64 rowId, const QString& artist, const QString& title);

private:
    struct Job {
        quint64 listing = 0;
        DurationJob row;
    };
    struct Result {
        quint64 listing = 0;
        quint64 rowId = 0;
        std::optional<TagNames> names;    // when asked and the tags gave them
        std::optional<int32_t> lengthMs;  // when asked
    };
    void work();
    void deliver();

    LengthFunction m_length;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_queue;
    std::vector<Result> m_results;
    int m_busy = 0;
    bool m_quit = false;
    std::vector<std::thread> m_workers;
    QTimer m_delivery;  // main thread
};

}  // namespace varonel::core
