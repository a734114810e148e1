#pragma once
// What is known of each audio file looked at: its exact length and, once it has
// been listened through, its analysis. An entry is kept per path with the file's
// size and modification time, so an edited file is measured again. The cache
// lives in memory for the whole process and on disk between runs, so that a
// library is measured and analysed once.
//
// Threads: any thread but the real-time callback; internally synchronised.

#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "audio/TrackAnalysis.h"
#include "audio/TrackLength.h"

namespace varonel::audio {

class TrackCache {
public:
    bool findLength(const std::string& path, const FileStamp& stamp, MeasuredLength* length) const;
    bool findAnalysis(const std::string& path, const FileStamp& stamp,
                      TrackAnalysis* analysis) const;
    // A new length for an edited file drops the analysis of its old version.
    void storeLength(const std::string& path, const FileStamp& stamp, const MeasuredLength& length);
    void storeAnalysis(const std::string& path, const FileStamp& stamp,
                       const TrackAnalysis& analysis);

    // Adds what `file` holds; its lines that cannot be read are left out, so a
    // damaged file costs only the entries it lost. False when it cannot be read
    // at all (a first run has none).
    bool load(const std::string& file);
    // Writes every entry to `file` through a new file put in place only once it is
    // complete: a failed write leaves the old one whole.
    bool save(const std::string& file, std::string* error);
    // Something was stored since the last load or save.
    bool changed() const;
    size_t size() const;

private:
    struct Entry {
        FileStamp stamp;
        MeasuredLength length;
        std::optional<TrackAnalysis> analysis;
    };

    mutable std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
    bool m_changed = false;
};

// The process's one cache, used by the decoders, the length reader and the analyser.
TrackCache& trackCache();

}  // namespace varonel::audio
