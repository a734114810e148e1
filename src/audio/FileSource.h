#pragma once
// A file source: one audio file, decoded ahead on its own thread, read by the
// real-time callback as stereo at the output's rate, with a per-sample fade-out.
//
// Threads:
//  - main thread: everything under "main thread" below;
//  - its own decoding thread: fills the chunk queue (private);
//  - the puller (the real-time callback, or the offline caller): pull() and
//    exhausted(), never concurrently with itself.
// Commands cross to the puller through atomics; the puller never locks or
// allocates.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ChunkQueue.h"
#include "RenderSource.h"

typedef struct SRC_STATE_tag SRC_STATE;

namespace varonel::audio {

class Decoder;

class FileSource {
public:
    FileSource();
    ~FileSource();
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // --- Main thread ---

    // Opens `path` and makes it the source's stream from its start; "" releases the
    // current file. Returns false when the file cannot be opened: lastError() then
    // names the cause and the source holds no file.
    bool setFileName(const std::string& path);
    const std::string& fileName() const { return m_path; }
    const std::string& lastError() const { return m_error; }
    bool hasFile() const { return m_hasFile.load(std::memory_order_relaxed); }

    // Exact length of the open file, 0 without one.
    int32_t lengthMs() const { return m_lengthMs; }
    // Position of what the puller has read, in milliseconds of the file.
    int32_t positionMs() const;
    // Seeks; clamped to [0, length].
    void setPositionMs(int32_t ms);

    // Fades the sound to silence over `ms`, after which the source reads exhausted.
    // A request during a fade never makes it last longer than already planned, so
    // repeating it is harmless.
    void fadeOut(int32_t ms);
    // Cancels a fade and an end so that the stream can be heard again (the mixer
    // calls it when it starts the source's input).
    void rearm();

    // Playing speed for varispeed pitch: 1.0 is normal, 1.15 is 15 % faster.
    void setSpeed(double speed);
    // Resample even at equal rates and normal speed, so that speed changes never
    // switch the resampler in or out mid-stream (players with a pitch control).
    void setAlwaysResample(bool always) { m_alwaysResample.store(always); }

    // True once the puller has played the whole stream (main-thread view).
    bool atEnd() const { return m_atEnd.load(std::memory_order_acquire); }

    // --- Puller only ---

    // Fills `frames` stereo frames at context.sampleRate; silence past the end, after
    // a fade or without a file. Returns false when decoded audio was not ready
    // (an underrun; never when context.waitForData is set).
    bool pull(float* stereo, int frames, const RenderContext& context);
    // Nothing more will be heard: the stream has ended, has faded out completely, or
    // there is no file to play.
    bool exhausted() const { return !m_reader.hasFile || m_reader.ended || m_reader.fadedOut; }

private:
    // State owned by the puller.
    struct ReaderState {
        uint32_t generation = 0;
        uint32_t loadGeneration = 0;
        uint32_t fadeSerial = 0;
        uint32_t rearmSerial = 0;
        bool hasFile = false;
        bool ended = false;
        bool fadedOut = false;
        int offset = 0;  // frames of the front chunk already read
        int64_t position = 0;
        bool resampling = false;
        // Fade: gain falls by `gainStep` per frame for `fadeFrames` frames.
        bool fading = false;
        double gain = 1.0;
        double gainStep = 0.0;
        int64_t fadeFrames = 0;
    };

    void decodeLoop();
    bool fillChunk(AudioChunk& chunk, uint32_t generation, int64_t& nextFrame);
    void wakeDecoder();

    // Puller helpers.
    void syncCommands(int sampleRate);
    const AudioChunk* currentChunk(bool wait);
    int readDirect(float* out, int frames, const AudioChunk& chunk);
    int readResampled(float* out, int frames, const AudioChunk& chunk, double ratio);
    void releaseFront();
    void finishStream();
    void applyFade(float* stereo, int frames);

    // Main-thread state.
    std::string m_path;
    std::string m_error;
    int32_t m_lengthMs = 0;

    // Shared between the main and decoding threads, under m_mutex.
    std::mutex m_mutex;
    std::unique_ptr<Decoder> m_decoder;
    std::vector<float> m_decodeScratch;  // one chunk as the file gives it
    int64_t m_seekFrame = 0;
    bool m_quit = false;

    // Crossing to the puller.
    std::atomic<uint32_t> m_generation{0};      // bumped by each load, seek and release
    std::atomic<uint32_t> m_loadGeneration{0};  // the generation of the last load
    std::atomic<bool> m_hasFile{false};
    std::atomic<int> m_fileRate{44100};
    std::atomic<int32_t> m_fadeMs{0};
    std::atomic<uint32_t> m_fadeSerial{0};
    std::atomic<uint32_t> m_rearmSerial{0};
    std::atomic<double> m_speed{1.0};
    std::atomic<bool> m_alwaysResample{false};
    std::atomic<bool> m_demand{false};  // the puller has started reading this load

    // Crossing back from the puller.
    std::atomic<int64_t> m_positionFrames{0};
    std::atomic<uint32_t> m_positionGeneration{0};
    std::atomic<int64_t> m_seekTargetFrames{0};
    std::atomic<bool> m_atEnd{false};

    std::atomic<uint32_t> m_wake{0};  // bumped whenever the decoding thread has work
    ChunkQueue m_queue;
    ReaderState m_reader;
    SRC_STATE* m_resampler = nullptr;
    std::thread m_thread;
};

}  // namespace varonel::audio
