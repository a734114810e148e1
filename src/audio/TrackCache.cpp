#include "audio/TrackCache.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace varonel::audio {

namespace {

// The first line of the file: a file of another kind or version is not read.
constexpr const char* kHeader = "# Varonel : pistes mesurées, version 1";

// path, size, modification, frames, rate, then for an analysed file loudness,
// true peak, first and one-past-last audible frames; separated by tabs.
std::string lineOf(const std::string& path, const FileStamp& stamp, const MeasuredLength& length,
                   const std::optional<TrackAnalysis>& analysis) {
    std::ostringstream line;
    line << path << '\t' << stamp.size << '\t' << stamp.modifiedNs << '\t' << length.frames << '\t'
         << length.sampleRate;
    if (analysis) {
        char numbers[128];
        std::snprintf(numbers, sizeof numbers, "\t%.2f\t%.2f\t%lld\t%lld", analysis->loudnessLufs,
                      analysis->truePeakDbtp, static_cast<long long>(analysis->audioStartFrame),
                      static_cast<long long>(analysis->audioEndFrame));
        line << numbers;
    }
    line << '\n';
    return line.str();
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    size_t from = 0;
    for (;;) {
        const size_t tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab - from));
        if (tab == std::string::npos) {
            return fields;
        }
        from = tab + 1;
    }
}

bool toInt(const std::string& text, int64_t* value) {
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    *value = parsed;
    return !text.empty() && errno == 0 && *end == '\0';
}

bool toDouble(const std::string& text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(*value);
}

bool writeAll(const std::string& file, const std::string& bytes, std::string* error) {
    // A name of this process's own: two programs saving at once never write
    // into each other's new file.
    const std::string fresh = file + ".nouveau-" + std::to_string(::getpid());
    FILE* out = std::fopen(fresh.c_str(), "wb");
    bool ok = out != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = out != nullptr && std::fflush(out) == 0 && ok && ::fsync(fileno(out)) == 0;
    const int cause = errno;
    if (out != nullptr && std::fclose(out) != 0) {
        ok = false;
    }
    if (ok && std::rename(fresh.c_str(), file.c_str()) == 0) {
        return true;
    }
    *error = "Le cache des pistes ne peut pas être écrit : " + file + " (" +
             std::strerror(ok ? errno : cause) + ")";
    std::remove(fresh.c_str());
    return false;
}

}  // namespace

bool TrackCache::findLength(const std::string& path, const FileStamp& stamp,
                            MeasuredLength* length) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(path);
    if (!stamp.valid() || it == m_entries.end() || !(it->second.stamp == stamp)) {
        return false;
    }
    *length = it->second.length;
    return true;
}

bool TrackCache::findAnalysis(const std::string& path, const FileStamp& stamp,
                              TrackAnalysis* analysis) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(path);
    if (!stamp.valid() || it == m_entries.end() || !(it->second.stamp == stamp) ||
        !it->second.analysis) {
        return false;
    }
    *analysis = *it->second.analysis;
    return true;
}

void TrackCache::storeLength(const std::string& path, const FileStamp& stamp,
                             const MeasuredLength& length) {
    if (!stamp.valid() || length.sampleRate <= 0) {
        return;
    }
    std::lock_guard lock(m_mutex);
    Entry& entry = m_entries[path];
    if (!(entry.stamp == stamp)) {
        entry.analysis.reset();
    }
    m_changed = m_changed || !(entry.stamp == stamp) || entry.length.frames != length.frames ||
                entry.length.sampleRate != length.sampleRate;
    entry.stamp = stamp;
    entry.length = length;
}

void TrackCache::storeAnalysis(const std::string& path, const FileStamp& stamp,
                               const TrackAnalysis& analysis) {
    if (!stamp.valid()) {
        return;
    }
    std::lock_guard lock(m_mutex);
    m_entries[path] = {stamp, analysis.length, analysis};
    m_changed = true;
}

bool TrackCache::load(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line != kHeader) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    while (std::getline(in, line)) {
        const std::vector<std::string> f = fieldsOf(line);
        Entry entry;
        int64_t rate = 0;
        if ((f.size() != 5 && f.size() != 9) || f[0].empty() || !toInt(f[1], &entry.stamp.size) ||
            !toInt(f[2], &entry.stamp.modifiedNs) || !toInt(f[3], &entry.length.frames) ||
            !toInt(f[4], &rate) || rate <= 0 || rate > 1000000 || entry.length.frames < 0) {
            continue;
        }
        entry.length.sampleRate = int(rate);
        if (f.size() == 9) {
            TrackAnalysis analysis;
            analysis.length = entry.length;
            if (!toDouble(f[5], &analysis.loudnessLufs) ||
                !toDouble(f[6], &analysis.truePeakDbtp) ||
                !toInt(f[7], &analysis.audioStartFrame) || !toInt(f[8], &analysis.audioEndFrame) ||
                analysis.audioStartFrame < 0 || analysis.audioEndFrame < analysis.audioStartFrame ||
                analysis.audioEndFrame > entry.length.frames) {
                continue;
            }
            entry.analysis = analysis;
        }
        m_entries.emplace(f[0], entry);
    }
    return true;
}

bool TrackCache::save(const std::string& file, std::string* error) {
    std::string bytes = std::string(kHeader) + '\n';
    {
        std::lock_guard lock(m_mutex);
        for (const auto& [path, entry] : m_entries) {
            // A path that holds a line end or a tab could not be read back.
            if (path.find_first_of("\t\r\n") == std::string::npos) {
                bytes += lineOf(path, entry.stamp, entry.length, entry.analysis);
            }
        }
        m_changed = false;
    }
    if (writeAll(file, bytes, error)) {
        return true;
    }
    std::lock_guard lock(m_mutex);
    m_changed = true;
    return false;
}

bool TrackCache::changed() const {
    std::lock_guard lock(m_mutex);
    return m_changed;
}

size_t TrackCache::size() const {
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

TrackCache& trackCache() {
    static TrackCache cache;
    return cache;
}

}  // namespace varonel::audio
