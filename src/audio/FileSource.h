#pragma once
// A file source: one audio file, opened and decoded ahead on its own thread, read
// by the puller as stereo at the output's rate, with a per-sample fade-out.
//
// Threads:
//  - main thread: everything under "Main thread" below. load() never waits for
//    the disk; setFileName() and waitForLoad() wait for the file to open, for the
//    callers that need its length at once (the length reader, a deck, the start).
//  - its own decoding thread: opens and measures files, seeks and fills the chunk
//    queue. It reads the disk holding no lock that the main thread waits for.
//  - the puller (the real-time callback, or the offline caller): everything under
//    "Puller only", never concurrently with itself.
// Each load is numbered, and a load or a seek starts a new stream whose tag holds
// that number; decoded chunks, positions and ends carry their stream's tag. The
// main thread's orders reach the puller whole (the stream to play with the fade
// asked of its load), so a fade never reaches another file. The puller never locks
// or allocates.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/ChunkQueue.h"
#include "audio/Decoder.h"
#include "audio/NewestOrder.h"
#include "audio/RenderSource.h"

typedef struct SRC_STATE_tag SRC_STATE;

namespace varonel::audio {

// Where a load begins to play and how loud: the start of a track's audio and the
// gain that brings it to the broadcast's loudness. Both are applied on the
// decoding thread, so they cost the puller nothing; seeks keep the gain.
struct TrackCues {
    int32_t startMs = 0;
    float gain = 1.0f;
};

class FileSource {
public:
    enum class LoadState {
        Empty,    // no file asked for
        Loading,  // the decoding thread is opening it
        Ready,    // open; its length is known
        Failed,   // it could not be opened: lastError() says why
    };
    // How files are opened: openDecoder() unless a test stands in for the disk.
    using DecoderFactory = std::function<DecoderOpenResult(const std::string& path)>;
    using Cues = TrackCues;

    FileSource();
    ~FileSource();
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // --- Main thread ---

    // Makes `path` the source's stream from its start (or from cues.startMs) and
    // returns at once; the decoding thread opens it. "" releases the current file.
    void load(const std::string& path, const Cues& cues = Cues());
    // load(), then waits until the file is open. False when it cannot be opened:
    // lastError() then names the cause and the source holds no file.
    bool setFileName(const std::string& path, const Cues& cues = Cues());
    // Waits at most `timeoutMs` (forever when negative) for the last load to open
    // or fail. True when its outcome is known.
    bool waitForLoad(int timeoutMs);
    // Waits at most `timeoutMs` (twice: for the file, then for its sound) until
    // the last load or seek is open and its first blocks decoded, so that a
    // start right after fills a device buffer without waiting. True when it is.
    bool waitForStream(int timeoutMs);
    LoadState loadState() const;

    // The file of the last load, "" when it failed or was released.
    std::string fileName() const;
    std::string lastError() const;
    bool hasFile() const { return loadState() == LoadState::Ready; }

    // Exact length of the open file, 0 without one (and until it is open).
    int32_t lengthMs() const;
    // Position of what is heard now, in milliseconds of the file: what the puller
    // has read, less what the device holds still (see RenderContext).
    int32_t positionMs() const;
    // Seeks the file of the last load; clamped to [0, length].
    void setPositionMs(int32_t ms);

    // Fades the file of the last load to silence over `ms`, after which the source
    // reads exhausted. A request during a fade never makes it last longer than
    // already planned, so repeating it is harmless. The fade runs on the output's
    // clock: it goes on through a gap in the decoded audio.
    void fadeOut(int32_t ms);

    // Playing speed for varispeed pitch: 1.0 is normal, 1.15 is 15 % faster.
    void setSpeed(double speed);
    // Resample even at equal rates and normal speed, so that speed changes never
    // switch the resampler in or out mid-stream (players with a pitch control).
    void setAlwaysResample(bool always) { m_alwaysResample.store(always); }

    // True once the puller has played the last load's stream to its end. A fade
    // does not clear it; a new load or a seek does.
    bool atEnd() const;
    // True once the puller has begun to play the last load.
    bool hasStarted() const;
    // Number of the last load (main-thread view).
    uint32_t loadNumber() const { return m_load; }

    // For tests: opens files through `factory`. Set before loading.
    void setDecoderFactory(DecoderFactory factory);

    // --- Puller only ---

    // Fills `frames` stereo frames at context.sampleRate; silence past the end, after
    // a fade, without a file, and before the load's first audio is decoded (a load
    // starts with its first sample, never with a gap). Returns false when decoded
    // audio ran out in the middle of the stream (an underrun; never when
    // context.waitForData is set). A stream that delivers nothing for two seconds
    // of output, or that cannot be read further, ends there.
    bool pull(float* stereo, int frames, const RenderContext& context);
    // For a source that is not pulled in this block: takes in the main thread's
    // orders and hands back decoded audio that can no longer be heard, so that
    // the next load always finds room.
    // `frames` is the block the source sits out.
    void service(const RenderContext& context, int frames);
    // True when the next pull of `frames` would begin the load with its first
    // audio and no gap after it (or the load has begun already). Waits for the
    // decoder when context.waitForData.
    bool readyToStart(const RenderContext& context, int frames);
    // Starts a fade of the current load now (the mixer's cross-fade).
    void fadeOutNow(int32_t ms, int sampleRate);
    // Number of the load the puller plays.
    uint32_t pullerLoad() const { return uint32_t(m_reader.tag >> 32); }
    // Nothing more will be heard: the stream has ended, has faded out completely,
    // there is no file to play, or it failed to open.
    bool exhausted() const { return !m_reader.hasFile || m_reader.ended || m_reader.fadedOut; }

private:
    // A load and a seek both start a new stream; the tag says which: the load's
    // number in the high half, a count of streams in the low half.
    static constexpr uint32_t kReleaseBit = 0x80000000u;  // in the low half: no file

    struct ReaderState {
        uint64_t tag = 0;
        bool hasFile = false;
        bool started = false;  // the load has begun to play
        bool awaiting = true;  // this stream has not delivered its first chunk yet
        bool ended = false;
        bool fadedOut = false;
        int offset = 0;             // frames of the front chunk already read
        int64_t stalledFrames = 0;  // output frames in a row with nothing decoded
        int64_t position = 0;
        int64_t streamStart = 0;     // file frame this stream began at
        int64_t framesAfterEnd = 0;  // output frames sent since the stream ended
        int fileRate = 44100;
        bool resampling = false;
        // Fade: gain falls by `gainStep` per frame for `fadeFrames` frames.
        bool fading = false;
        double gain = 1.0;
        double gainStep = 0.0;
        int64_t fadeFrames = 0;
    };

    // Everything the main thread has ordered the puller, given whole at each order.
    struct Orders {
        uint64_t stream = 0;  // tag of the stream to play
        int32_t fadeMs = -1;  // the fade last asked of the stream's load; -1 for none
    };

    struct Request {
        uint64_t tag = 0;
        bool isLoad = false;
        std::string path;  // load
        Cues cues;         // load
        int32_t seekMs = 0;
    };

    struct LoadInfo {
        uint32_t load = 0;
        LoadState state = LoadState::Empty;
        int32_t lengthMs = 0;
        std::string error;
    };

    void post(Request request);
    void decodeLoop();
    bool fillChunk(Decoder& decoder, AudioChunk& chunk, uint64_t tag, int64_t& nextFrame,
                   float gain);
    void announcePrefilled(uint64_t tag);
    void wakeDecoder();
    uint64_t nextTag(uint32_t load, bool release);

    // Puller helpers.
    void takeOrders(int sampleRate);
    void startFade(int32_t ms, int sampleRate);
    const AudioChunk* currentChunk(bool wait);
    int readDirect(float* out, int frames, const AudioChunk& chunk);
    int readResampled(float* out, int frames, const AudioChunk& chunk, double ratio);
    void releaseFront();
    void dropUnheard();
    void finishStream();
    void applyFade(float* stereo, int written, int frames);
    void noteStall(bool stalled, int frames, int sampleRate);
    bool enoughQueued(int frames, const RenderContext& context) const;
    void publishPosition(const RenderContext& context);

    // Main-thread state.
    std::string m_path;
    uint32_t m_load = 0;
    uint32_t m_streams = 0;
    int32_t m_seekTargetMs = 0;
    Orders m_orders;

    // Requests to the decoding thread: the last load, and the last seek after it.
    // Held only to copy a request in or out, never while reading the disk.
    std::mutex m_requestMutex;
    std::vector<Request> m_requests;
    DecoderFactory m_factory;
    bool m_quit = false;

    // What the decoding thread found about the last load it opened, and the
    // last stream whose first blocks it decoded.
    mutable std::mutex m_infoMutex;
    std::condition_variable m_infoChanged;
    LoadInfo m_info;
    uint64_t m_prefilledTag = 0;

    // Crossing to the puller: the orders, and two settings of which only the
    // newest value counts, read where they are used.
    NewestOrder<Orders> m_ordersToPuller;
    std::atomic<double> m_speed{1.0};
    std::atomic<bool> m_alwaysResample{false};

    // Crossing back from the puller (tags of the stream they are about).
    std::atomic<uint64_t> m_demandTag{0};    // the puller reads this stream
    std::atomic<uint64_t> m_finishedTag{0};  // this stream will never be heard again
    std::atomic<uint64_t> m_positionTag{0};
    std::atomic<int32_t> m_positionMs{0};
    std::atomic<uint64_t> m_endedTag{~uint64_t(0)};
    std::atomic<uint32_t> m_startedLoad{0};

    std::atomic<uint32_t> m_wake{0};  // bumped whenever the decoding thread has work
    ChunkQueue m_queue;
    ReaderState m_reader;
    SRC_STATE* m_resampler = nullptr;
    std::thread m_thread;
};

}  // namespace varonel::audio
