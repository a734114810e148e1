#include "audio/Mpg123Decoder.h"

#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "audio/FileAccess.h"

namespace varonel::audio {

// The file as libmpg123 reads it. Its own reader makes a system call or two per frame,
// which doubles the time of a length scan; reads through a 64 KiB buffer do not.
// pread() rather than a memory map: a file cut short by another program while it is
// played must end the track, not crash it.
class BufferedInput {
public:
    // Null, with *reason set, unless `path` is a regular file that can be read.
    static std::unique_ptr<BufferedInput> open(const std::string& path, std::string* reason) {
        const int fd = openRegularFile(path, reason);
        return fd < 0 ? nullptr : std::unique_ptr<BufferedInput>(new BufferedInput(fd));
    }
    ~BufferedInput() { ::close(m_fd); }
    BufferedInput(const BufferedInput&) = delete;
    BufferedInput& operator=(const BufferedInput&) = delete;

    void rewind() {
        m_position = 0;
        m_bufferLength = 0;
    }

    static mpg123_ssize_t readCallback(void* self, void* out, size_t bytes) {
        return static_cast<BufferedInput*>(self)->read(static_cast<unsigned char*>(out), bytes);
    }
    static off_t seekCallback(void* self, off_t offset, int whence) {
        return off_t(static_cast<BufferedInput*>(self)->seek(offset, whence));
    }

private:
    static constexpr size_t kBufferBytes = 64 * 1024;

    explicit BufferedInput(int fd) : m_fd(fd), m_buffer(kBufferBytes) {}

    mpg123_ssize_t read(unsigned char* out, size_t bytes) {
        size_t copied = 0;
        while (copied < bytes) {
            const int64_t offset = m_position - m_bufferStart;
            if (offset >= 0 && offset < int64_t(m_bufferLength)) {
                const size_t n = std::min(bytes - copied, m_bufferLength - size_t(offset));
                std::memcpy(out + copied, m_buffer.data() + offset, n);
                copied += n;
                m_position += int64_t(n);
                continue;
            }
            const ssize_t got = ::pread(m_fd, m_buffer.data(), m_buffer.size(), m_position);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return copied > 0 ? mpg123_ssize_t(copied) : mpg123_ssize_t(got);
            }
            m_bufferStart = m_position;
            m_bufferLength = size_t(got);
        }
        return mpg123_ssize_t(copied);
    }

    int64_t seek(int64_t offset, int whence) {
        int64_t base = m_position;
        if (whence == SEEK_SET) {
            base = 0;
        } else if (whence == SEEK_END) {
            struct stat info {};
            if (::fstat(m_fd, &info) != 0) {
                return -1;
            }
            base = info.st_size;
        }
        if (base + offset < 0) {
            return -1;
        }
        m_position = base + offset;
        return m_position;
    }

    int m_fd;
    std::vector<unsigned char> m_buffer;
    int64_t m_bufferStart = 0;
    size_t m_bufferLength = 0;
    int64_t m_position = 0;
};

namespace {

// After this many reads in a row that deliver nothing without ending, the stream is
// taken as ended: a damaged file must never keep the decoding thread spinning.
constexpr int kMaxIdleReads = 4096;

// The lowest bitrate of MPEG audio (MPEG-2 and 2.5 layer III), in bits a second.
constexpr int64_t kMinBitrate = 8000;

struct HandleCloser {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleCloser>;

struct Stream {
    std::unique_ptr<BufferedInput> input;  // declared first: outlives the handle
    Handle handle;
    int sampleRate = 0;
    int channels = 0;
    int64_t leadIn = 0;
};

void initLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// Opens `path`, reads up to the first audio frame and fixes the output to float at the
// stream's own rate and channel count.
bool openStream(const std::string& path, Stream* stream, std::string* error) {
    initLibraryOnce();
    std::string reason;
    std::unique_ptr<BufferedInput> input =
        BufferedInput::open(path, &reason);  // outlives the handle
    if (!input) {
        *error = reason + " : " + path;
        return false;
    }
    int status = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &status));
    if (!handle) {
        *error = "Décodeur MP3 indisponible : " + path;
        return false;
    }
    mpg123_handle* h = handle.get();
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_NO_RESYNC, 0.0);
    // Garbage of any length inside the stream is skipped rather than ending the track.
    mpg123_param(h, MPG123_RESYNC_LIMIT, -1, 0.0);
    // Float output at the stream's own rate and channel count, whatever they are,
    // so that the opening converts nothing.
    mpg123_format_none(h);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i) {
        mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    }
    // No cleanup callback: the input belongs to the stream, not to the handle.
    if (mpg123_replace_reader_handle(h, &BufferedInput::readCallback, &BufferedInput::seekCallback,
                                     nullptr) != MPG123_OK ||
        mpg123_open_handle(h, input.get()) != MPG123_OK) {
        *error = "Impossible d'ouvrir le fichier MP3 : " + path;
        return false;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        (channels != 1 && channels != 2) || encoding != MPG123_ENC_FLOAT_32) {
        *error = "Aucune trame MP3 lisible dans ce fichier : " + path;
        return false;
    }
    // From now on only this format is allowed: should a later frame change rate or
    // channel count, libmpg123 converts it to this one (or reports an error, which
    // ends the stream). It is set on the open stream rather than by opening it again
    // with it: a second opening may settle on another first frame than the first
    // did, and libmpg123 can then loop for ever converting it (a damaged file found
    // by the fuzzer).
    mpg123_format_none(h);
    mpg123_format(h, rate, channels, MPG123_ENC_FLOAT_32);
    mpg123_frameinfo2 info{};
    mpg123_info2(h, &info);
    long encoderDelay = -1;
    double unused = 0.0;
    mpg123_getstate(h, MPG123_ENC_DELAY, &encoderDelay, &unused);
    // Without a LAME tag libmpg123 trims nothing, and the stream starts with the
    // encoder's and decoder's delays: about 25 ms of silence that shifts every position
    // and lengthens the track. Trimming the standard delay lines the stream up with the
    // original; the end padding (unknown without the tag) stays and is under 1152 - 529
    // samples + 576, i.e. below 28 ms at 44.1 kHz.
    stream->leadIn = (info.layer == 3 && encoderDelay < 0) ? Mpg123Decoder::kStandardLeadIn : 0;
    stream->input = std::move(input);
    stream->handle = std::move(handle);
    stream->sampleRate = int(rate);
    stream->channels = channels;
    return true;
}

}  // namespace

std::unique_ptr<Mpg123Decoder> Mpg123Decoder::open(const std::string& path,
                                                   const MeasuredLength& known,
                                                   std::string* error) {
    Stream stream;
    if (!openStream(path, &stream, error)) {
        return nullptr;
    }
    mpg123_handle* h = stream.handle.get();
    int64_t length = 0;
    if (known.frames > 0 && known.sampleRate == stream.sampleRate) {
        length = known.frames;
    } else {
        // Header counts (Xing) lie for truncated or damaged files and are missing from
        // some VBR files: only counting every frame gives the length read() delivers.
        if (mpg123_scan(h) != MPG123_OK) {
            *error = "Lecture du fichier MP3 impossible : " + path;
            return nullptr;
        }
        length = std::max<int64_t>(0, int64_t(mpg123_length(h)) - stream.leadIn);
    }
    if (length <= 0) {
        *error = "Aucune trame MP3 lisible dans ce fichier : " + path;
        return nullptr;
    }
    std::unique_ptr<Mpg123Decoder> decoder(
        new Mpg123Decoder(stream.handle.release(), std::move(stream.input)));
    decoder->m_sampleRate = stream.sampleRate;
    decoder->m_channels = stream.channels;
    decoder->m_leadIn = stream.leadIn;
    decoder->m_length = length;
    if (!decoder->seek(0)) {
        *error = "Lecture du fichier MP3 impossible : " + path;
        return nullptr;
    }
    return decoder;
}

bool Mpg123Decoder::estimateLength(const std::string& path, MeasuredLength* length) {
    Stream stream;
    std::string ignored;
    if (!openStream(path, &stream, &ignored)) {
        return false;
    }
    const int64_t total = mpg123_length(stream.handle.get());
    // A header count that would need less than 8 kbit/s, the lowest MPEG bitrate, is
    // damage: a 1 KiB file announcing days of audio.
    struct stat info {};
    const int64_t bytes = ::stat(path.c_str(), &info) == 0 ? int64_t(info.st_size) : 0;
    if (total <= 0 || total / stream.sampleRate > bytes * 8 / kMinBitrate + 1) {
        return false;
    }
    *length = {std::max<int64_t>(0, total - stream.leadIn), stream.sampleRate};
    return true;
}

Mpg123Decoder::Mpg123Decoder(mpg123_handle* handle, std::unique_ptr<BufferedInput> input)
    : m_input(std::move(input)), m_handle(handle) {}

Mpg123Decoder::~Mpg123Decoder() {
    HandleCloser()(m_handle);
}

int64_t Mpg123Decoder::read(float* out, int64_t frames) {
    frames = std::min(frames, m_length - m_position);
    if (m_ended || frames <= 0) {
        return 0;
    }
    const size_t frameBytes = sizeof(float) * size_t(m_channels);
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    const size_t wanted = size_t(frames) * frameBytes;
    size_t filled = 0;
    int idleReads = 0;
    while (filled < wanted && !m_ended) {
        size_t done = 0;
        const int status = mpg123_read(m_handle, bytes + filled, wanted - filled, &done);
        filled += done;
        idleReads = done > 0 ? 0 : idleReads + 1;
        const bool formatLost = status == MPG123_NEW_FORMAT && !formatIsStillOurs();
        // MPG123_DONE at the true end, or damage libmpg123 cannot decode past.
        const bool stopped = status != MPG123_OK && status != MPG123_NEW_FORMAT;
        m_ended = formatLost || stopped || idleReads > kMaxIdleReads;
    }
    const int64_t got = int64_t(filled / frameBytes);
    sanitizeSamples(out, got * m_channels);
    m_position += got;
    return got;
}

bool Mpg123Decoder::seek(int64_t frame) {
    frame = std::clamp<int64_t>(frame, 0, m_length);
    const int64_t landed = mpg123_seek(m_handle, off_t(frame + m_leadIn), SEEK_SET);
    if (landed < 0) {
        return false;
    }
    m_position = std::max<int64_t>(0, landed - m_leadIn);
    m_ended = false;
    return true;
}

bool Mpg123Decoder::formatIsStillOurs() {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    return mpg123_getformat(m_handle, &rate, &channels, &encoding) == MPG123_OK &&
           rate == m_sampleRate && channels == m_channels && encoding == MPG123_ENC_FLOAT_32;
}

}  // namespace varonel::audio
