// Exact and quick track lengths; exact ones are kept in the track cache.

#include "audio/TrackLength.h"

#include <sys/stat.h>

#include <algorithm>
#include <limits>

#include "audio/Decoder.h"
#include "audio/Mpg123Decoder.h"
#include "audio/SndfileDecoder.h"
#include "audio/TrackCache.h"

namespace varonel::audio {

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
    return trackCache().findLength(path, stamp, length);
}

void rememberLength(const std::string& path, const FileStamp& stamp, const MeasuredLength& length) {
    trackCache().storeLength(path, stamp, length);
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
