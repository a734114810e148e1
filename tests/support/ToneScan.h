#pragma once
// Which test tones a recording holds, and when: each track of a test is a sine
// of its own frequency, so a sink's recording tells which tracks reached it
// whatever gain the program gave them. The left channel is cut in blocks of
// 100 ms and the amplitude of each tone measured in each block (Goertzel
// filter over a Hann window, so that a loud tone does not leak into its
// neighbours 100 Hz away).

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tonescan {

constexpr int kRate = 44100;
constexpr int kBlock = kRate / 10;
// Heard: above -40 dBFS.
constexpr float kHeard = 0.01f;

// The amplitude of a `hz` sine in each block of the interleaved stereo `samples`.
inline std::vector<float> amplitudes(const std::vector<float>& samples, double hz) {
    std::vector<float> result;
    const double w = 2.0 * std::numbers::pi * hz / kRate;
    const double coefficient = 2.0 * std::cos(w);
    const size_t frames = samples.size() / 2;
    for (size_t start = 0; start + kBlock <= frames; start += kBlock) {
        double s1 = 0.0;
        double s2 = 0.0;
        double windowSum = 0.0;
        for (int i = 0; i < kBlock; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (kBlock - 1));
            windowSum += hann;
            const double s0 = hann * samples[2 * (start + size_t(i))] + coefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        result.push_back(float(2.0 * std::sqrt(std::max(power, 0.0)) / windowSum));
    }
    return result;
}

// Blocks in which the tone is heard.
inline int heardBlocks(const std::vector<float>& amplitude) {
    return int(std::ranges::count_if(amplitude, [](float a) { return a > kHeard; }));
}

}  // namespace tonescan
