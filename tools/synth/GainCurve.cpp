#include "GainCurve.h"

#include <algorithm>

namespace varonel::synth::detail {

void GainCurve::add(int64_t frame, float gain) {
    // A point before the previous one would make the curve run backwards; keep order.
    m_points.push_back({std::max(frame, m_points.back().frame), gain});
}

float GainCurve::next() {
    const int64_t frame = m_frame++;
    while (m_segment + 1 < m_points.size() && m_points[m_segment + 1].frame <= frame) {
        ++m_segment;
    }
    const Point& a = m_points[m_segment];
    if (m_segment + 1 == m_points.size()) {
        return a.gain;
    }
    const Point& b = m_points[m_segment + 1];
    const float t = float(frame - a.frame) / float(b.frame - a.frame);
    return a.gain + (b.gain - a.gain) * t;
}

}  // namespace varonel::synth::detail
