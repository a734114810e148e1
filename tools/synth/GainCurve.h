#pragma once
// A piecewise-linear gain over frames, read frame after frame: the break and the
// fade-out of a song are drawn with it.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varonel::synth::detail {

class GainCurve {
public:
    explicit GainCurve(float initial = 1.0f) { m_points.push_back({0, initial}); }

    // Points are added in order of frame; the gain is linear between them and
    // holds the last point's gain afterwards.
    void add(int64_t frame, float gain);

    // Gain at the next frame (the first call gives frame 0).
    float next();

private:
    struct Point {
        int64_t frame;
        float gain;
    };

    std::vector<Point> m_points;
    size_t m_segment = 0;
    int64_t m_frame = 0;
};

}  // namespace varonel::synth::detail
