#include "FileSource.h"

#include <samplerate.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Decoder.h"
#include "TrackLength.h"

namespace varonel::audio {
namespace {

// About 1.1 s of audio decoded ahead at 44.1 kHz.
constexpr size_t kQueueChunks = 24;
// Chunks decoded right after a load or seek, before the puller asks for any: a
// start is then heard at once, while a file that is only opened for its length
// (the playlist's length reader) costs almost nothing.
constexpr int kPrefillChunks = 2;
// The decoding thread is woken when the ring has drained to half, and wakes an
// offline reader when this many chunks wait: each side then works in batches
// instead of handing the processor over at every chunk.
constexpr size_t kRefillBelow = kQueueChunks / 2;
constexpr size_t kReaderBatch = 4;

int64_t msToFrames(int64_t ms, int rate) {
    return ms * rate / 1000;
}

}  // namespace

FileSource::FileSource() : m_queue(kQueueChunks) {
    int error = 0;
    m_resampler = src_new(SRC_SINC_FASTEST, 2, &error);
    m_thread = std::thread([this] { decodeLoop(); });
}

FileSource::~FileSource() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    wakeDecoder();
    m_thread.join();
    src_delete(m_resampler);
}

// ---------------------------------------------------------------------------
// Main thread

bool FileSource::setFileName(const std::string& path) {
    std::unique_ptr<Decoder> opened;
    m_error.clear();
    if (!path.empty()) {
        DecoderOpenResult result = openDecoder(path);
        if (!result.decoder) {
            m_error = result.error;
        }
        opened = std::move(result.decoder);
    }
    m_path = opened ? path : std::string();
    m_lengthMs =
        opened ? MeasuredLength{opened->lengthFrames(), opened->sampleRate()}.milliseconds() : 0;
    {
        std::lock_guard lock(m_mutex);
        std::swap(m_decoder, opened);
        m_seekFrame = 0;
        m_seekTargetFrames.store(0);
        m_hasFile.store(m_decoder != nullptr);
        if (m_decoder) {
            m_fileRate.store(m_decoder->sampleRate());
        }
        m_demand.store(false);
        m_atEnd.store(false);
        const uint32_t generation = m_generation.load() + 1;
        m_loadGeneration.store(generation);
        m_generation.store(generation, std::memory_order_release);
    }
    wakeDecoder();
    // The previous decoder (now in `opened`) closes its file here, off the lock.
    return m_error.empty();
}

int32_t FileSource::positionMs() const {
    if (!hasFile()) {
        return 0;
    }
    const int rate = m_fileRate.load();
    const bool settled =
        m_positionGeneration.load(std::memory_order_acquire) == m_generation.load();
    const int64_t frames = settled ? m_positionFrames.load() : m_seekTargetFrames.load();
    return int32_t(std::min<int64_t>(frames * 1000 / rate, m_lengthMs));
}

void FileSource::setPositionMs(int32_t ms) {
    if (!hasFile()) {
        return;
    }
    const int64_t frame = msToFrames(std::clamp(ms, 0, m_lengthMs), m_fileRate.load());
    {
        std::lock_guard lock(m_mutex);
        m_seekFrame = frame;
        m_seekTargetFrames.store(frame);
        m_atEnd.store(false);
        m_generation.store(m_generation.load() + 1, std::memory_order_release);
    }
    wakeDecoder();
}

void FileSource::fadeOut(int32_t ms) {
    m_fadeMs.store(std::max(ms, 0));
    m_fadeSerial.fetch_add(1, std::memory_order_release);
}

void FileSource::rearm() {
    m_rearmSerial.fetch_add(1, std::memory_order_release);
}

void FileSource::setSpeed(double speed) {
    m_speed.store(std::clamp(speed, 0.25, 4.0));
}

void FileSource::wakeDecoder() {
    m_wake.fetch_add(1, std::memory_order_release);
    m_wake.notify_one();
}

// ---------------------------------------------------------------------------
// Decoding thread

void FileSource::decodeLoop() {
    uint32_t producedGeneration = 0;
    bool endWritten = true;
    int chunksThisGeneration = 0;
    int64_t nextFrame = 0;
    for (;;) {
        const uint32_t wakeSeen = m_wake.load(std::memory_order_acquire);
        bool produced = false;
        {
            std::lock_guard lock(m_mutex);
            if (m_quit) {
                return;
            }
            const uint32_t generation = m_generation.load();
            if (generation != producedGeneration) {
                producedGeneration = generation;
                chunksThisGeneration = 0;
                endWritten = m_decoder == nullptr;
                nextFrame = m_seekFrame;
                if (m_decoder && !m_decoder->seek(m_seekFrame)) {
                    // A stream that cannot seek ends where the seek was asked.
                    AudioChunk* slot = m_queue.writeSlot();
                    endWritten = slot != nullptr;
                    if (slot) {
                        *slot = AudioChunk{};
                        slot->generation = generation;
                        slot->firstFrame = nextFrame;
                        slot->endOfStream = true;
                        m_queue.publish();
                        m_queue.wakeReader();
                    }
                }
            }
            const bool wanted = m_demand.load() || chunksThisGeneration < kPrefillChunks;
            AudioChunk* slot = endWritten || !wanted ? nullptr : m_queue.writeSlot();
            if (slot) {
                endWritten = fillChunk(*slot, generation, nextFrame);
                m_queue.publish();
                if (endWritten || m_queue.size() >= kReaderBatch) {
                    m_queue.wakeReader();
                }
                ++chunksThisGeneration;
                produced = true;
            }
        }
        if (!produced) {
            m_wake.wait(wakeSeen, std::memory_order_acquire);
        }
    }
}

// Decodes one chunk as stereo; returns true when it is the stream's last.
bool FileSource::fillChunk(AudioChunk& chunk, uint32_t generation, int64_t& nextFrame) {
    const int channels = m_decoder->channels();
    std::vector<float>& scratch = m_decodeScratch;
    scratch.resize(size_t(AudioChunk::kFrames) * std::max(channels, 1));

    chunk.generation = generation;
    chunk.firstFrame = nextFrame;
    chunk.endOfStream = false;
    int filled = 0;
    while (filled < AudioChunk::kFrames) {
        const int64_t got = m_decoder->read(scratch.data(), AudioChunk::kFrames - filled);
        if (got <= 0) {
            chunk.endOfStream = true;
            break;
        }
        for (int64_t i = 0; i < got; ++i) {
            const float* in = &scratch[size_t(i) * channels];
            float* out = &chunk.samples[size_t(filled + i) * 2];
            out[0] = in[0];
            out[1] = channels > 1 ? in[1] : in[0];
        }
        filled += int(got);
    }
    chunk.frames = filled;
    nextFrame += filled;
    return chunk.endOfStream;
}

// ---------------------------------------------------------------------------
// Puller

bool FileSource::pull(float* stereo, int frames, const RenderContext& context) {
    syncCommands(context.sampleRate);
    ReaderState& r = m_reader;
    int written = 0;
    bool starved = false;
    if (r.hasFile && !r.ended && !r.fadedOut) {
        if (!m_demand.load(std::memory_order_relaxed)) {
            m_demand.store(true);
            wakeDecoder();
        }
        const int fileRate = m_fileRate.load(std::memory_order_relaxed);
        const double speed = m_speed.load(std::memory_order_relaxed);
        const bool resample = m_alwaysResample.load(std::memory_order_relaxed) ||
                              fileRate != context.sampleRate || speed != 1.0;
        if (resample && !r.resampling) {
            src_reset(m_resampler);
        }
        r.resampling = resample;
        const double ratio = double(context.sampleRate) / (fileRate * speed);
        while (written < frames && !r.ended) {
            const AudioChunk* chunk = currentChunk(context.waitForData);
            if (!chunk) {
                starved = true;
                break;
            }
            float* out = stereo + size_t(written) * 2;
            written += r.resampling ? readResampled(out, frames - written, *chunk, ratio)
                                    : readDirect(out, frames - written, *chunk);
        }
    }
    std::memset(stereo + size_t(written) * 2, 0, size_t(frames - written) * 2 * sizeof(float));
    applyFade(stereo, written);
    m_positionFrames.store(r.position, std::memory_order_relaxed);
    m_positionGeneration.store(r.generation, std::memory_order_release);
    return !starved;
}

// Takes in what the main thread asked since the last block.
void FileSource::syncCommands(int sampleRate) {
    ReaderState& r = m_reader;
    const uint32_t generation = m_generation.load(std::memory_order_acquire);
    if (generation != r.generation) {
        r.generation = generation;
        r.hasFile = m_hasFile.load();
        r.ended = false;
        r.offset = 0;
        r.position = m_seekTargetFrames.load();
        src_reset(m_resampler);
        const uint32_t loadGeneration = m_loadGeneration.load();
        if (loadGeneration != r.loadGeneration) {
            // A new file starts at full volume.
            r.loadGeneration = loadGeneration;
            r.fading = r.fadedOut = false;
            r.gain = 1.0;
        }
    }
    const uint32_t rearmSerial = m_rearmSerial.load(std::memory_order_acquire);
    if (rearmSerial != r.rearmSerial) {
        r.rearmSerial = rearmSerial;
        r.fading = r.fadedOut = false;
        r.gain = 1.0;
    }
    const uint32_t fadeSerial = m_fadeSerial.load(std::memory_order_acquire);
    if (fadeSerial != r.fadeSerial) {
        r.fadeSerial = fadeSerial;
        const int64_t frames = std::max<int64_t>(1, msToFrames(m_fadeMs.load(), sampleRate));
        if (!r.fadedOut && (!r.fading || frames < r.fadeFrames)) {
            r.fading = true;
            r.fadeFrames = frames;
            r.gainStep = r.gain / double(frames);
        }
    }
}

// The front chunk of the current generation; stale chunks are handed back unread.
const AudioChunk* FileSource::currentChunk(bool wait) {
    for (;;) {
        const AudioChunk* chunk = m_queue.front();
        if (!chunk) {
            if (!wait) {
                return nullptr;
            }
            m_queue.waitForData();
            continue;
        }
        if (chunk->generation == m_reader.generation) {
            return chunk;
        }
        releaseFront();
    }
}

int FileSource::readDirect(float* out, int frames, const AudioChunk& chunk) {
    ReaderState& r = m_reader;
    const int n = std::min(frames, chunk.frames - r.offset);
    std::memcpy(out, &chunk.samples[size_t(r.offset) * 2], size_t(n) * 2 * sizeof(float));
    r.offset += n;
    r.position = chunk.firstFrame + r.offset;
    if (r.offset >= chunk.frames) {
        if (chunk.endOfStream) {
            finishStream();
        }
        releaseFront();
        r.offset = 0;
    }
    return n;
}

int FileSource::readResampled(float* out, int frames, const AudioChunk& chunk, double ratio) {
    ReaderState& r = m_reader;
    SRC_DATA data{};
    data.data_in = &chunk.samples[size_t(r.offset) * 2];
    data.input_frames = chunk.frames - r.offset;
    data.data_out = out;
    data.output_frames = frames;
    data.src_ratio = ratio;
    data.end_of_input = chunk.endOfStream ? 1 : 0;
    if (src_process(m_resampler, &data) != 0) {
        // A resampler fault ends the stream rather than looping on it.
        finishStream();
        return 0;
    }
    r.offset += int(data.input_frames_used);
    r.position = chunk.firstFrame + r.offset;
    const bool chunkDone = r.offset >= chunk.frames;
    // At the end of the stream the resampler is drained until it gives nothing more.
    if (chunkDone && (!chunk.endOfStream || data.output_frames_gen == 0)) {
        if (chunk.endOfStream) {
            finishStream();
        }
        releaseFront();
        r.offset = 0;
    }
    return int(data.output_frames_gen);
}

// Hands the front chunk back; the decoding thread is woken once the ring has
// drained to half.
void FileSource::releaseFront() {
    m_queue.pop();
    if (m_queue.size() <= kRefillBelow) {
        wakeDecoder();
    }
}

void FileSource::finishStream() {
    m_reader.ended = true;
    m_atEnd.store(true, std::memory_order_release);
}

void FileSource::applyFade(float* stereo, int frames) {
    ReaderState& r = m_reader;
    if (r.fadedOut) {
        std::memset(stereo, 0, size_t(frames) * 2 * sizeof(float));
        return;
    }
    if (!r.fading) {
        return;
    }
    for (int i = 0; i < frames; ++i) {
        if (r.fadeFrames <= 0) {
            std::memset(stereo + size_t(i) * 2, 0, size_t(frames - i) * 2 * sizeof(float));
            break;
        }
        r.gain = std::max(0.0, r.gain - r.gainStep);
        --r.fadeFrames;
        stereo[2 * i] *= float(r.gain);
        stereo[2 * i + 1] *= float(r.gain);
    }
    if (r.fadeFrames <= 0) {
        r.fading = false;
        r.fadedOut = true;
        r.gain = 0.0;
    }
}

}  // namespace varonel::audio
