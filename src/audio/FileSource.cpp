#include "audio/FileSource.h"

#include <samplerate.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/TrackLength.h"

namespace varonel::audio {
namespace {

// About 3 s of audio decoded ahead at 44.1 kHz: a busy machine can leave the
// decoding thread waiting a long while before the sound runs short.
constexpr size_t kQueueChunks = 64;
// Slots that one stream never fills: whatever the puller has not yet handed back,
// a new load or seek always finds room for its first chunks.
constexpr size_t kReservedChunks = 4;
// Chunks decoded right after a load or seek, before the puller asks for any: a
// start then fills a whole device buffer at once (some 280 ms, more than the
// programs' default buffer), while a file that is only opened for its length
// (the playlist's length reader) costs little.
constexpr int kPrefillChunks = 6;
// Frames of file a resampler may read ahead of what it gives.
constexpr int64_t kResamplerMargin = 64;
// The decoding thread is woken when the ring has drained to half, and wakes an
// offline reader when this many chunks wait: each side then works in batches
// instead of handing the processor over at every chunk.
constexpr size_t kRefillBelow = kQueueChunks / 2;
constexpr size_t kReaderBatch = 4;
// A playing stream whose decoder delivers nothing for this long has ended: the
// air is better served by the next track than by waiting on a stalled file.
constexpr int kStallLimitMs = 2000;

int64_t msToFrames(int64_t ms, int rate) {
    return ms * rate / 1000;
}

uint32_t loadOf(uint64_t tag) {
    return uint32_t(tag >> 32);
}

}  // namespace

FileSource::FileSource() : m_factory(openDecoder), m_queue(kQueueChunks) {
    int error = 0;
    m_resampler = src_new(SRC_SINC_FASTEST, 2, &error);
    m_thread = std::thread([this] { decodeLoop(); });
}

FileSource::~FileSource() {
    {
        std::lock_guard lock(m_requestMutex);
        m_quit = true;
    }
    wakeDecoder();
    m_thread.join();
    src_delete(m_resampler);
}

// ---------------------------------------------------------------------------
// Main thread

uint64_t FileSource::nextTag(uint32_t load, bool release) {
    m_streams = (m_streams + 1) & ~kReleaseBit;
    return (uint64_t(load) << 32) | m_streams | (release ? kReleaseBit : 0);
}

void FileSource::load(const std::string& path, const Cues& cues) {
    m_path = path;
    ++m_load;
    m_seekTargetMs = std::max(cues.startMs, 0);
    const uint64_t tag = nextTag(m_load, path.empty());
    // A new file starts at full volume, whatever was asked of the previous one.
    m_orders = Orders{tag, -1};
    m_ordersToPuller.give(m_orders);
    Request request;
    request.tag = tag;
    request.isLoad = true;
    request.path = path;
    request.cues = cues;
    post(std::move(request));
}

bool FileSource::setFileName(const std::string& path, const Cues& cues) {
    load(path, cues);
    waitForLoad(-1);
    return path.empty() || loadState() == LoadState::Ready;
}

bool FileSource::waitForLoad(int timeoutMs) {
    std::unique_lock lock(m_infoMutex);
    const auto known = [this] { return m_path.empty() || m_info.load == m_load; };
    if (timeoutMs < 0) {
        m_infoChanged.wait(lock, known);
        return true;
    }
    return m_infoChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), known);
}

bool FileSource::waitForStream(int timeoutMs) {
    if (!waitForLoad(timeoutMs)) {
        return false;
    }
    const uint64_t tag = m_orders.stream;
    std::unique_lock lock(m_infoMutex);
    return m_infoChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return m_prefilledTag == tag || m_info.state != LoadState::Ready;
    });
}

FileSource::LoadState FileSource::loadState() const {
    if (m_path.empty()) {
        return LoadState::Empty;
    }
    std::lock_guard lock(m_infoMutex);
    return m_info.load == m_load ? m_info.state : LoadState::Loading;
}

std::string FileSource::fileName() const {
    return loadState() == LoadState::Failed ? std::string() : m_path;
}

std::string FileSource::lastError() const {
    std::lock_guard lock(m_infoMutex);
    return m_info.load == m_load && m_info.state == LoadState::Failed ? m_info.error
                                                                      : std::string();
}

int32_t FileSource::lengthMs() const {
    if (m_path.empty()) {
        return 0;
    }
    std::lock_guard lock(m_infoMutex);
    return m_info.load == m_load && m_info.state == LoadState::Ready ? m_info.lengthMs : 0;
}

int32_t FileSource::positionMs() const {
    const LoadState state = loadState();
    if (state != LoadState::Ready && state != LoadState::Loading) {
        return 0;
    }
    const bool settled = m_positionTag.load(std::memory_order_acquire) == m_orders.stream;
    const int32_t ms = settled ? m_positionMs.load(std::memory_order_relaxed) : m_seekTargetMs;
    const int32_t length = lengthMs();
    return length > 0 ? std::min(ms, length) : ms;
}

void FileSource::setPositionMs(int32_t ms) {
    const LoadState state = loadState();
    if (state != LoadState::Ready && state != LoadState::Loading) {
        return;
    }
    const int32_t length = lengthMs();
    m_seekTargetMs = length > 0 ? std::clamp(ms, 0, length) : std::max(ms, 0);
    const uint64_t tag = nextTag(m_load, false);
    m_orders.stream = tag;
    m_ordersToPuller.give(m_orders);
    Request request;
    request.tag = tag;
    request.seekMs = m_seekTargetMs;
    post(std::move(request));
}

// The transport asks again at every tick until the track has ended: an order that
// changes nothing is not given.
void FileSource::fadeOut(int32_t ms) {
    const int32_t clamped = std::max(ms, 0);
    if (clamped != m_orders.fadeMs) {
        m_orders.fadeMs = clamped;
        m_ordersToPuller.give(m_orders);
    }
}

void FileSource::setSpeed(double speed) {
    m_speed.store(std::clamp(speed, 0.25, 4.0));
}

bool FileSource::atEnd() const {
    return m_endedTag.load(std::memory_order_acquire) == m_orders.stream;
}

bool FileSource::hasStarted() const {
    return m_load != 0 && m_startedLoad.load(std::memory_order_acquire) == m_load;
}

void FileSource::setDecoderFactory(DecoderFactory factory) {
    std::lock_guard lock(m_requestMutex);
    m_factory = std::move(factory);
}

// A load replaces every request still waiting; a seek replaces an earlier seek.
void FileSource::post(Request request) {
    {
        std::lock_guard lock(m_requestMutex);
        if (request.isLoad) {
            m_requests.clear();
        } else if (!m_requests.empty() && !m_requests.back().isLoad) {
            m_requests.pop_back();
        }
        m_requests.push_back(std::move(request));
    }
    wakeDecoder();
}

void FileSource::wakeDecoder() {
    m_wake.fetch_add(1, std::memory_order_release);
    m_wake.notify_one();
}

// ---------------------------------------------------------------------------
// Decoding thread

void FileSource::decodeLoop() {
    std::unique_ptr<Decoder> decoder;
    uint32_t openLoad = 0;
    uint64_t tag = 0;
    bool endWritten = true;
    bool failed = false;
    int chunks = 0;
    int64_t nextFrame = 0;
    float gain = 1.0f;
    for (;;) {
        const uint32_t wakeSeen = m_wake.load(std::memory_order_acquire);
        std::vector<Request> requests;
        DecoderFactory factory;
        {
            std::lock_guard lock(m_requestMutex);
            if (m_quit) {
                return;
            }
            requests.swap(m_requests);
            if (!requests.empty() && requests.front().isLoad) {
                factory = m_factory;
            }
        }
        // The disk is read from here on with no lock held.
        for (Request& request : requests) {
            if (request.isLoad) {
                decoder.reset();  // the previous file closes here
                LoadInfo info;
                info.load = loadOf(request.tag);
                if (!request.path.empty()) {
                    DecoderOpenResult opened = factory(request.path);
                    decoder = std::move(opened.decoder);
                    info.state = decoder ? LoadState::Ready : LoadState::Failed;
                    info.error = std::move(opened.error);
                    if (decoder) {
                        info.lengthMs =
                            MeasuredLength{decoder->lengthFrames(), decoder->sampleRate()}
                                .milliseconds();
                    }
                }
                {
                    std::lock_guard lock(m_infoMutex);
                    m_info = std::move(info);
                }
                m_infoChanged.notify_all();
                openLoad = loadOf(request.tag);
                tag = request.tag;
                nextFrame = 0;
                gain = request.cues.gain;
                if (decoder && request.cues.startMs > 0) {
                    const int64_t start = msToFrames(request.cues.startMs, decoder->sampleRate());
                    // A file that cannot seek plays from its first sample.
                    nextFrame = decoder->seek(start) ? start : 0;
                }
                failed = !request.path.empty() && !decoder;
                endWritten = !decoder && !failed;
                chunks = 0;
            } else if (loadOf(request.tag) == openLoad) {
                tag = request.tag;
                chunks = 0;
                nextFrame = 0;
                endWritten = !decoder;
                failed = false;
                if (decoder) {
                    nextFrame = msToFrames(request.seekMs, decoder->sampleRate());
                    // A stream that cannot seek ends where the seek was asked.
                    failed = !decoder->seek(nextFrame);
                    endWritten = false;
                }
            }
        }
        const bool finished = m_finishedTag.load(std::memory_order_acquire) == tag;
        const bool wanted =
            !finished &&
            (m_demandTag.load(std::memory_order_acquire) == tag || chunks < kPrefillChunks) &&
            (m_queue.size() < kQueueChunks - kReservedChunks || chunks < kPrefillChunks);
        AudioChunk* slot = endWritten || !wanted ? nullptr : m_queue.writeSlot();
        if (slot) {
            if (failed) {
                *slot = AudioChunk{};
                slot->tag = tag;
                slot->firstFrame = nextFrame;
                slot->endOfStream = true;
                slot->failed = true;
                endWritten = true;
            } else {
                endWritten = fillChunk(*decoder, *slot, tag, nextFrame, gain);
            }
            m_queue.publish();
            ++chunks;
            if (endWritten || chunks == kPrefillChunks || m_queue.size() >= kReaderBatch) {
                m_queue.wakeReader();
            }
            if (endWritten || chunks == kPrefillChunks) {
                announcePrefilled(tag);
            }
            continue;
        }
        m_wake.wait(wakeSeen, std::memory_order_acquire);
    }
}

// Tells a main thread waiting in waitForStream() that `tag` can be played.
void FileSource::announcePrefilled(uint64_t tag) {
    {
        std::lock_guard lock(m_infoMutex);
        m_prefilledTag = tag;
    }
    m_infoChanged.notify_all();
}

// Decodes one chunk as stereo; returns true when it is the stream's last.
bool FileSource::fillChunk(Decoder& decoder, AudioChunk& chunk, uint64_t tag, int64_t& nextFrame,
                           float gain) {
    static thread_local std::vector<float> scratch;
    const int channels = std::max(decoder.channels(), 1);
    scratch.resize(size_t(AudioChunk::kFrames) * size_t(channels));

    chunk.tag = tag;
    chunk.sampleRate = decoder.sampleRate();
    chunk.firstFrame = nextFrame;
    chunk.endOfStream = false;
    chunk.failed = false;
    int filled = 0;
    while (filled < AudioChunk::kFrames) {
        const int64_t got = decoder.read(scratch.data(), AudioChunk::kFrames - filled);
        if (got <= 0) {
            chunk.endOfStream = true;
            break;
        }
        for (int64_t i = 0; i < got; ++i) {
            const float* in = &scratch[size_t(i) * size_t(channels)];
            float* out = &chunk.samples[size_t(filled + i) * 2];
            out[0] = in[0] * gain;
            out[1] = (channels > 1 ? in[1] : in[0]) * gain;
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
    takeOrders(context.sampleRate);
    ReaderState& r = m_reader;
    int written = 0;
    bool starved = false;
    if (r.ended) {
        r.framesAfterEnd += frames;
    }
    // A stream that has not begun waits until it can fill the block without a gap.
    if (!exhausted() && (!r.awaiting || context.waitForData || enoughQueued(frames, context))) {
        if (m_demandTag.load(std::memory_order_relaxed) != r.tag) {
            m_demandTag.store(r.tag, std::memory_order_release);
            wakeDecoder();
        }
        const double speed = m_speed.load(std::memory_order_relaxed);
        while (written < frames && !r.ended) {
            const AudioChunk* chunk = currentChunk(context.waitForData);
            if (!chunk) {
                // Before its first chunk a stream is waited for, not missed.
                starved = !r.awaiting;
                break;
            }
            if (chunk->failed) {
                releaseFront();
                finishStream();
                break;
            }
            if (r.awaiting) {
                r.awaiting = false;
                r.position = chunk->firstFrame;
                r.streamStart = chunk->firstFrame;
                if (!r.started) {
                    r.started = true;
                    m_startedLoad.store(pullerLoad(), std::memory_order_release);
                }
            }
            r.fileRate = chunk->sampleRate;
            const bool resample = m_alwaysResample.load(std::memory_order_relaxed) ||
                                  r.fileRate != context.sampleRate || speed != 1.0;
            if (resample && !r.resampling) {
                src_reset(m_resampler);
            }
            r.resampling = resample;
            const double ratio = double(context.sampleRate) / (r.fileRate * speed);
            float* out = stereo + size_t(written) * 2;
            const int offset = r.offset;
            const int n = r.resampling ? readResampled(out, frames - written, *chunk, ratio)
                                       : readDirect(out, frames - written, *chunk);
            if (n == 0 && r.offset == offset && m_queue.front() == chunk && !r.ended) {
                // Nothing read and nothing given: a stream that cannot move on ends
                // here rather than hold the puller.
                finishStream();
            }
            written += n;
        }
        noteStall(written == 0 && starved, frames, context.sampleRate);
    }
    std::memset(stereo + size_t(written) * 2, 0, size_t(frames - written) * 2 * sizeof(float));
    applyFade(stereo, written, frames);
    publishPosition(context);
    if (exhausted()) {
        dropUnheard();
    }
    return !starved;
}

void FileSource::noteStall(bool stalled, int frames, int sampleRate) {
    ReaderState& r = m_reader;
    r.stalledFrames = stalled ? r.stalledFrames + frames : 0;
    if (r.stalledFrames >= msToFrames(kStallLimitMs, sampleRate)) {
        finishStream();
    }
}

void FileSource::service(const RenderContext& context, int frames) {
    takeOrders(context.sampleRate);
    if (m_reader.ended) {
        // What the device still held of the end goes on being heard.
        m_reader.framesAfterEnd += frames;
        publishPosition(context);
    }
    if (exhausted()) {
        dropUnheard();
        return;
    }
    // Chunks of an earlier stream are handed back; the current stream's wait.
    const AudioChunk* chunk = m_queue.front();
    bool released = false;
    while (chunk && chunk->tag != m_reader.tag) {
        m_queue.pop();
        released = true;
        chunk = m_queue.front();
    }
    if (released) {
        wakeDecoder();
    }
}

bool FileSource::readyToStart(const RenderContext& context, int frames) {
    takeOrders(context.sampleRate);
    if (m_reader.started) {
        return true;
    }
    if (exhausted()) {
        return false;
    }
    const AudioChunk* chunk = currentChunk(context.waitForData);
    return chunk && !chunk->failed && (context.waitForData || enoughQueued(frames, context));
}

// True when the current stream can fill `frames` output frames from what is
// decoded, or its end is decoded: it can then begin without a gap.
bool FileSource::enoughQueued(int frames, const RenderContext& context) const {
    const double speed = m_speed.load(std::memory_order_relaxed);
    int64_t needed = -1;
    int64_t queued = 0;
    for (size_t i = 0;; ++i) {
        const AudioChunk* chunk = m_queue.peek(i);
        if (!chunk) {
            return false;
        }
        if (chunk->tag != m_reader.tag) {
            continue;  // an earlier stream's, handed back when reached
        }
        if (chunk->failed || chunk->endOfStream) {
            return true;
        }
        if (needed < 0) {
            // Resampling reads a few frames ahead of what it gives.
            needed = int64_t(std::ceil(double(frames) * chunk->sampleRate * speed /
                                       std::max(context.sampleRate, 1))) +
                     kResamplerMargin;
        }
        queued += chunk->frames;
        if (queued >= needed) {
            return true;
        }
    }
}

void FileSource::fadeOutNow(int32_t ms, int sampleRate) {
    startFade(ms, sampleRate);
}

// The position heard now: what was read, less what the device holds still
// (after the end, less what it held then and has not played since), never
// before the point the stream started from.
void FileSource::publishPosition(const RenderContext& context) {
    const ReaderState& r = m_reader;
    if (r.awaiting || r.fileRate <= 0) {
        return;
    }
    const int64_t lagFrames = std::max<int64_t>(context.latencyFrames - r.framesAfterEnd, 0);
    const auto behind =
        int64_t(double(lagFrames) * r.fileRate * m_speed.load(std::memory_order_relaxed) /
                std::max(context.sampleRate, 1));
    const int64_t heard = std::max(r.position - behind, r.streamStart);
    m_positionMs.store(int32_t(heard * 1000 / r.fileRate), std::memory_order_relaxed);
    m_positionTag.store(r.tag, std::memory_order_release);
}

// Takes in what the main thread ordered since the last block.
void FileSource::takeOrders(int sampleRate) {
    Orders orders;
    if (!m_ordersToPuller.take(&orders)) {
        return;
    }
    ReaderState& r = m_reader;
    if (orders.stream != r.tag) {
        if (loadOf(orders.stream) != loadOf(r.tag)) {
            // A new file starts at full volume, whatever was asked of the previous one.
            r.fading = r.fadedOut = false;
            r.gain = 1.0;
            r.started = false;
        }
        r.tag = orders.stream;
        r.hasFile = (orders.stream & kReleaseBit) == 0;
        r.awaiting = true;
        r.ended = false;
        r.framesAfterEnd = 0;
        r.offset = 0;
        r.stalledFrames = 0;
        src_reset(m_resampler);
    }
    // The fade comes again with each later order of its load (a seek): a fade
    // already under way is never made longer, so only a shorter one changes it.
    if (orders.fadeMs >= 0) {
        startFade(orders.fadeMs, sampleRate);
    }
}

void FileSource::startFade(int32_t ms, int sampleRate) {
    ReaderState& r = m_reader;
    const int64_t frames = std::max<int64_t>(1, msToFrames(ms, sampleRate));
    if (!r.fadedOut && (!r.fading || frames < r.fadeFrames)) {
        r.fading = true;
        r.fadeFrames = frames;
        r.gainStep = r.gain / double(frames);
    }
}

// The front chunk of the current stream; stale chunks are handed back unread.
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
        if (chunk->tag == m_reader.tag) {
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

// Nothing of the current stream will be heard: every chunk goes back, and the
// decoding thread stops working on it.
void FileSource::dropUnheard() {
    if (m_finishedTag.load(std::memory_order_relaxed) != m_reader.tag) {
        m_finishedTag.store(m_reader.tag, std::memory_order_release);
    }
    bool released = false;
    while (m_queue.front()) {
        m_queue.pop();
        released = true;
    }
    if (released) {
        wakeDecoder();
    }
}

void FileSource::finishStream() {
    m_reader.ended = true;
    m_endedTag.store(m_reader.tag, std::memory_order_release);
}

// The fade runs over every frame of the block, delivered or not: it keeps the
// output's time even when the decoder lags.
void FileSource::applyFade(float* stereo, int written, int frames) {
    ReaderState& r = m_reader;
    if (r.fadedOut) {
        std::memset(stereo, 0, size_t(written) * 2 * sizeof(float));
        return;
    }
    if (!r.fading) {
        return;
    }
    for (int i = 0; i < frames; ++i) {
        if (r.fadeFrames <= 0) {
            if (i < written) {
                std::memset(stereo + size_t(i) * 2, 0, size_t(written - i) * 2 * sizeof(float));
            }
            break;
        }
        r.gain = std::max(0.0, r.gain - r.gainStep);
        --r.fadeFrames;
        if (i < written) {
            stereo[2 * i] *= float(r.gain);
            stereo[2 * i + 1] *= float(r.gain);
        }
    }
    if (r.fadeFrames <= 0) {
        r.fading = false;
        r.fadedOut = true;
        r.gain = 0.0;
    }
}

}  // namespace varonel::audio
