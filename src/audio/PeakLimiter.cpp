#include "audio/PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace varonel::audio {

// How it keeps its promise. Each input frame asks for the gain that brings its
// peak to the ceiling (1 when it is below). The lowest request of the last
// kWindow frames is held, and that held value is averaged over kWindow frames:
// when a peak leaves the delay line, every one of the kWindow values averaged
// was held at or below its request, so the gain applied to it is low enough. The
// average falls in a straight line over the window, without a step. The release
// only ever moves the gain up towards that average, never past it.
void PeakLimiter::process(float* stereo, int frames, int sampleRate) {
    setRate(sampleRate);
    for (int i = 0; i < frames; ++i) {
        float* frame = stereo + size_t(i) * 2;
        const float peak = std::max(std::fabs(frame[0]), std::fabs(frame[1]));
        // A hair under the exact ratio, so the product rounded to float stays below.
        const double needed =
            peak > kCeiling ? double(kCeiling) / double(peak) * (1.0 - 1e-6) : 1.0;

        const int at = m_position;
        m_limitedInWindow += (needed < 1.0) - (m_needed[size_t(at)] < 1.0);
        m_needed[size_t(at)] = needed;
        double held = 1.0;
        if (m_limitedInWindow > 0) {
            held = *std::min_element(m_needed.begin(), m_needed.end());
        }
        m_heldSum += held - m_held[size_t(at)];
        m_held[size_t(at)] = held;
        double average = m_heldSum / kWindow;
        if (average > 1.0 - 1e-12) {
            // A window of exact ones: back to bit-for-bit, whatever rounding left.
            average = 1.0;
            m_heldSum = kWindow;
        }
        if (average < m_envelope) {
            m_envelope = average;
            m_holdLeft = m_holdFrames;
        } else if (m_holdLeft > 0) {
            --m_holdLeft;
        } else if (m_envelope < average) {
            m_envelope += (average - m_envelope) * m_releaseCoefficient;
            if (average - m_envelope < 1e-6) {
                m_envelope = average;
            }
        }

        // The oldest frame of the window goes out, the new one takes its place.
        const int oldest = (at + 1) % kWindow;
        const float outLeft = m_delay[size_t(oldest) * 2];
        const float outRight = m_delay[size_t(oldest) * 2 + 1];
        m_delay[size_t(at) * 2] = frame[0];
        m_delay[size_t(at) * 2 + 1] = frame[1];
        if (m_envelope == 1.0) {
            frame[0] = outLeft;
            frame[1] = outRight;
        } else {
            const auto gain = float(m_envelope);
            frame[0] = outLeft * gain;
            frame[1] = outRight * gain;
        }
        m_position = oldest;
    }
}

void PeakLimiter::reset() {
    m_delay.fill(0.0f);
    m_needed.fill(1.0);
    m_held.fill(1.0);
    m_position = 0;
    m_limitedInWindow = 0;
    m_heldSum = kWindow;
    m_envelope = 1.0;
    m_holdLeft = 0;
}

void PeakLimiter::setRate(int sampleRate) {
    if (sampleRate == m_rate || sampleRate <= 0) {
        return;
    }
    m_rate = sampleRate;
    m_holdFrames = int64_t(kHoldMs * sampleRate / 1000.0);
    m_releaseCoefficient = 1.0 - std::exp(-1000.0 / (kReleaseMs * sampleRate));
}

}  // namespace varonel::audio
