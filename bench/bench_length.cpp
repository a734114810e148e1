// How long a five-minute VBR MP3 takes to measure exactly (the first time and from the
// cache), and how fast libmpg123 decodes it compared with real time.
//
// The files are generated once and kept in /tmp/varonel-bench between runs.

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Synth.h"
#include "audio/Decoder.h"
#include "audio/TrackLength.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTrackSeconds = 300.0;
const char* const kFolder = "/tmp/varonel-bench";

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

// Writes both VBR flavours of the same song unless an earlier run left them there.
bool prepareFiles(const std::string& withXing, const std::string& withoutXing) {
    if (exists(withXing) && exists(withoutXing)) {
        return true;
    }
    ::mkdir(kFolder, 0755);
    std::printf("Generating a %.0f-second song (once, kept in %s)...\n", kTrackSeconds, kFolder);
    const Clock::time_point start = Clock::now();
    varonel::synth::TrackRecipe recipe;
    recipe.seconds = kTrackSeconds;
    recipe.seed = 42;
    const varonel::synth::Audio song = varonel::synth::renderTrack(recipe);
    std::string error;
    if (!varonel::synth::writeMp3(withXing, song, varonel::synth::Mp3Mode::Vbr, &error) ||
        !varonel::synth::writeMp3(withoutXing, song, varonel::synth::Mp3Mode::VbrNoXing, &error)) {
        std::printf("Cannot write the test files: %s\n", error.c_str());
        return false;
    }
    std::printf("  generated in %.1f s\n", millisecondsSince(start) / 1000.0);
    return true;
}

// Drops the file from the page cache (for this file only), so that the next read
// comes from the disk as it would for a track never played since boot.
void evictFromPageCache(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

void measureLength(const char* label, const std::string& path) {
    // A second name for the same file: the length cache does not know it, the page
    // cache does.
    const std::string alias = path + ".alias";
    ::unlink(alias.c_str());
    ::link(path.c_str(), alias.c_str());

    evictFromPageCache(path);
    Clock::time_point start = Clock::now();
    const int32_t lengthMs = varonel::audio::exactLengthMs(path);
    const double coldMs = millisecondsSince(start);

    start = Clock::now();
    const int32_t aliasMs = varonel::audio::exactLengthMs(alias);
    const double warmMs = millisecondsSince(start);
    ::unlink(alias.c_str());

    constexpr int kCachedCalls = 10000;
    start = Clock::now();
    int32_t cachedMs = 0;
    for (int i = 0; i < kCachedCalls; ++i) {
        cachedMs = varonel::audio::exactLengthMs(path);
    }
    const double cachedEachMs = millisecondsSince(start) / kCachedCalls;

    start = Clock::now();
    const varonel::audio::DecoderOpenResult opened = varonel::audio::openDecoder(path);
    const double openMs = millisecondsSince(start);

    std::printf("%s: length %d ms (%.3f s)\n", label, lengthMs, lengthMs / 1000.0);
    std::printf("  exact length, first time, file read from disk:  %8.3f ms  (goal < 40 ms)  %s\n",
                coldMs, coldMs < 40.0 ? "ok" : "MISSED");
    std::printf("  exact length, first time, file in page cache:   %8.3f ms  (goal < 40 ms)  %s\n",
                warmMs, warmMs < 40.0 ? "ok" : "MISSED");
    std::printf("  exact length, from the length cache:            %8.4f ms  (goal < 1 ms)   %s\n",
                cachedEachMs, cachedEachMs < 1.0 ? "ok" : "MISSED");
    if (cachedMs != lengthMs || aliasMs != lengthMs) {
        std::printf("  INCONSISTENT: %d ms cached, %d ms by another name\n", cachedMs, aliasMs);
    }
    std::printf("  open for playback, length already known:        %8.3f ms  %s\n", openMs,
                opened.decoder ? "" : opened.error.c_str());
}

// The whole file through the project's decoder (float, sanitised), as the engine reads it.
void measureDecoderSpeed(const std::string& path) {
    varonel::audio::DecoderOpenResult opened = varonel::audio::openDecoder(path);
    if (!opened.decoder) {
        std::printf("Cannot open %s: %s\n", path.c_str(), opened.error.c_str());
        return;
    }
    varonel::audio::Decoder& decoder = *opened.decoder;
    std::vector<float> buffer(size_t(4096 * decoder.channels()));
    int64_t frames = 0;
    const Clock::time_point start = Clock::now();
    for (int64_t got; (got = decoder.read(buffer.data(), 4096)) > 0;) {
        frames += got;
    }
    const double seconds = millisecondsSince(start) / 1000.0;
    const double audioSeconds = double(frames) / decoder.sampleRate();
    std::printf("Decoder (libmpg123 + float clamp): %.1f s of audio in %.3f s = %.0f x real time\n",
                audioSeconds, seconds, audioSeconds / seconds);
}

// Bare libmpg123: float output, no processing, as fast as it goes.
void measureDecodeSpeed(const std::string& path) {
    mpg123_init();
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_FLOAT, 0.0);
    if (handle == nullptr || mpg123_open(handle, path.c_str()) != MPG123_OK) {
        std::printf("libmpg123 cannot open %s\n", path.c_str());
        return;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    mpg123_getformat(handle, &rate, &channels, &encoding);
    std::vector<unsigned char> buffer(1 << 16);
    size_t bytes = 0;
    const Clock::time_point start = Clock::now();
    int status = MPG123_OK;
    while (status == MPG123_OK || status == MPG123_NEW_FORMAT) {
        size_t done = 0;
        status = mpg123_read(handle, buffer.data(), buffer.size(), &done);
        bytes += done;
    }
    const double seconds = millisecondsSince(start) / 1000.0;
    mpg123_getformat(handle, &rate, &channels, &encoding);
    const double audioSeconds =
        double(bytes) / double(mpg123_encsize(encoding) * channels) / double(rate);
    mpg123_close(handle);
    mpg123_delete(handle);
    std::printf("Bare libmpg123 decode: %.1f s of audio in %.3f s = %.0f x real time\n",
                audioSeconds, seconds, audioSeconds / seconds);
}

}  // namespace

int main() {
    const std::string withXing = std::string(kFolder) + "/vbr-5min.mp3";
    const std::string withoutXing = std::string(kFolder) + "/vbr-5min-no-xing.mp3";
    if (!prepareFiles(withXing, withoutXing)) {
        return 1;
    }
    std::printf("Five-minute VBR MP3 (%s):\n", kFolder);
    measureLength("VBR with Xing/LAME header", withXing);
    measureLength("VBR without Xing header", withoutXing);
    measureDecodeSpeed(withoutXing);
    measureDecoderSpeed(withoutXing);
    return 0;
}
