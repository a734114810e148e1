// Exact and quick track lengths, and the process-wide cache of exact ones.

#include "TrackLength.h"

#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <mutex>
#include <unordered_map>

#include "Decoder.h"
#include "Mpg123Decoder.h"
#include "SndfileDecoder.h"

namespace varonel::audio {

namespace {

struct CacheEntry {
    FileStamp stamp;
    MeasuredLength length;
};

// One entry per path: a new measurement of an edited file replaces the old one, so the
// cache never grows past the number of files looked at.
class LengthCache {
public:
    bool find(const std::string& path, const FileStamp& stamp, MeasuredLength* length) {
        std::lock_guard lock(m_mutex);
        const auto it = m_entries.find(path);
        if (it == m_entries.end() || !(it->second.stamp == stamp)) {
            return false;
        }
        *length = it->second.length;
        return true;
    }

    void store(const std::string& path, const FileStamp& stamp, const MeasuredLength& length) {
        std::lock_guard lock(m_mutex);
        m_entries[path] = {stamp, length};
    }

private:
    std::mutex m_mutex;
    std::unordered_map<std::string, CacheEntry> m_entries;
};

LengthCache& lengthCache() {
    static LengthCache cache;
    return cache;
}

}  // namespace

int32_t MeasuredLength::milliseconds() const {
    if (sampleRate <= 0 || frames <= 0) {
        return 0;
    }
    const int64_t ms = frames * 1000 / sampleRate;
    return int32_t(std::min<int64_t>(ms, std::numeric_limits<int32_t>::max()));
}

FileStamp stampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    return {int64_t(info.st_size),
            int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool cachedLength(const std::string& path, const FileStamp& stamp, MeasuredLength* length) {
    return stamp.valid() && lengthCache().find(path, stamp, length);
}

void rememberLength(const std::string& path, const FileStamp& stamp, const MeasuredLength& length) {
    if (stamp.valid() && length.sampleRate > 0) {
        lengthCache().store(path, stamp, length);
    }
}

int32_t exactLengthMs(const std::string& path) {
    MeasuredLength length;
    if (cachedLength(path, stampOf(path), &length)) {
        return length.milliseconds();
    }
    // Opening measures the file and feeds the cache.
    const DecoderOpenResult opened = openDecoder(path);
    if (!opened.decoder) {
        return -1;
    }
    return MeasuredLength{opened.decoder->lengthFrames(), opened.decoder->sampleRate()}
        .milliseconds();
}

int32_t estimatedLengthMs(const std::string& path) {
    MeasuredLength length;
    const FileStamp stamp = stampOf(path);
    if (cachedLength(path, stamp, &length)) {
        return length.milliseconds();
    }
    const AudioProbe probe = probeAudioFile(path);
    if (!probe.error.empty()) {
        return -1;
    }
    if (probe.container == AudioContainer::Mpeg) {
        return Mpg123Decoder::estimateLength(path, &length) ? length.milliseconds() : -1;
    }
    // A WAV header holds the exact frame count: it is worth keeping.
    std::string error;
    const auto decoder = SndfileDecoder::open(path, &error);
    if (!decoder || !unplayableReason(*decoder, path).empty()) {
        return -1;
    }
    length = {decoder->lengthFrames(), decoder->sampleRate()};
    rememberLength(path, stamp, length);
    return length.milliseconds();
}

}  // namespace varonel::audio
