#pragma once
// The main output's peak limiter: what stays below -1 dBFS passes untouched, bit
// for bit; louder peaks (a loud master, two loud tracks overlapping) are brought
// down to -1 dBFS by a gain that falls smoothly ahead of them and comes back
// slowly after them, so nothing is ever clipped and a steady track never pumps.
//
// Both channels share one gain, so the stereo image never moves. The sound comes
// out kLookaheadFrames - 1 frames late: that is what lets the gain fall before the
// peak arrives.
//
// Threads: the puller only. No allocation after construction.

#include <array>
#include <cstdint>

namespace varonel::audio {

class PeakLimiter {
public:
    static constexpr float kCeiling = 0.89125094f;  // -1 dBFS
    static constexpr int kLookaheadFrames = 64;     // about 1.5 ms at 44.1 kHz
    static constexpr double kHoldMs = 20.0;
    static constexpr double kReleaseMs = 250.0;

    PeakLimiter() { reset(); }

    // Limits `frames` interleaved stereo frames in place at `sampleRate`.
    void process(float* stereo, int frames, int sampleRate);
    // Forgets everything (silence in the delay line, no gain reduction).
    void reset();

    static constexpr int latencyFrames() { return kLookaheadFrames - 1; }
    // The gain applied to the last frame, 1.0 when nothing was limited.
    double gain() const { return m_envelope; }

private:
    void setRate(int sampleRate);

    static constexpr int kWindow = kLookaheadFrames;
    std::array<float, 2 * kWindow> m_delay{};
    std::array<double, kWindow> m_needed{};  // gain each input frame asks for
    std::array<double, kWindow> m_held{};    // lowest of the last kWindow needs
    int m_position = 0;
    int m_limitedInWindow = 0;  // frames of the window that ask for less than 1
    double m_heldSum = 0.0;
    double m_envelope = 1.0;
    int64_t m_holdLeft = 0;
    int m_rate = 0;
    int64_t m_holdFrames = 0;
    double m_releaseCoefficient = 0.0;
};

}  // namespace varonel::audio
