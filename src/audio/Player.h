#pragma once
// A player: one file on its own output, with play, stop, seek and varispeed pitch.
// Pre-listening uses one, and each deck of the two-deck player has its own.
//
// Threads: main thread only; the sound is pulled by the output's own thread. The
// play and stop orders reach the puller through an OrderedFlag: the puller's own
// "ended" never wipes out an order given at the same moment.

#include <memory>
#include <string>

#include "audio/AudioOutput.h"
#include "audio/FileSource.h"
#include "audio/OrderedFlag.h"

namespace varonel::audio {

class Player {
public:
    // The longest a start or a seek waits for the decoder to have its sound.
    static constexpr int kStreamWaitMs = 200;

    // State codes.
    static constexpr int kStateEmpty = 0;    // no file
    static constexpr int kStateStopped = 1;  // a file, not playing
    static constexpr int kStatePlaying = 6;

    // Plays on a device output when `output` is null.
    explicit Player(std::unique_ptr<AudioOutput> output = nullptr);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Loads a file, stopped at its start (or at cues.startMs, at cues.gain); ""
    // unloads. False with lastError() set when it cannot be opened.
    bool setFileName(const std::string& path, const TrackCues& cues = TrackCues());
    std::string fileName() const { return m_source.fileName(); }
    const std::string& lastError() const { return m_error; }
    // Files are always seekable; kept as a query because the deck's slider asks.
    bool seekable() const { return m_source.hasFile(); }

    // Starts (or resumes) playing, heard at once; at the end of the track it
    // starts again from the top. False with *error set when the output cannot
    // start.
    bool play(std::string* error = nullptr);
    void stop();
    int state() const;

    int32_t lengthMs() const { return m_source.lengthMs(); }
    // Where the ear is, the device's latency taken off.
    int32_t positionMs() const { return m_source.positionMs(); }
    void setPositionMs(int32_t ms);

    // Pitch in percent as varispeed: +15 plays 15 % faster and higher.
    float pitch() const { return m_pitch; }
    void setPitch(float percent);

    std::string deviceName(int index) const { return m_output->deviceName(index); }
    // Moves the player to another device and opens it there at once, paused; it
    // keeps playing if it was.
    void setDeviceIndex(int index);
    int deviceIndex() const { return m_output->deviceIndex(); }

    int32_t levelLeft() const { return m_output->levelLeft(); }
    int32_t levelRight() const { return m_output->levelRight(); }
    AudioOutput& output() { return *m_output; }

private:
    // What the output pulls: the source while playing, silence otherwise.
    class Stream final : public RenderSource {
    public:
        explicit Stream(FileSource& source) : m_source(source) {}
        bool render(float* stereo, int frames, const RenderContext& context) override;
        // Main thread.
        void setPlaying(bool playing) { m_playing.order(playing); }
        bool playing() const { return m_playing.value(); }

    private:
        FileSource& m_source;
        OrderedFlag m_playing{false};
    };

    FileSource m_source;
    Stream m_stream{m_source};
    std::unique_ptr<AudioOutput> m_output;
    std::string m_error;
    float m_pitch = 0.0f;
};

}  // namespace varonel::audio
