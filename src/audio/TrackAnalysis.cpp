#include "audio/TrackAnalysis.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "audio/Decoder.h"

namespace varonel::audio {

namespace {

constexpr int64_t kReadFrames = 4096;
// Where the audio starts and ends is found to a hundredth of a second.
constexpr int kWindowsPerSecond = 100;

struct StateDeleter {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};
using Meter = std::unique_ptr<ebur128_state, StateDeleter>;

double toDb(double linear) {
    return linear > 0 ? 20.0 * std::log10(linear) : -120.0;
}

// The summed power of each channel over one window, as loudness sums channels.
class WindowPowers {
public:
    WindowPowers(int channels, int rate)
        : m_channels(channels),
          m_weight(channels == 1 ? 2.0 : 1.0),
          m_windowFrames(std::max(1, rate / kWindowsPerSecond)) {}

    void add(const float* frames, int64_t count) {
        for (int64_t i = 0; i < count; ++i) {
            for (int c = 0; c < m_channels; ++c) {
                const double sample = frames[i * m_channels + c];
                m_sum += sample * sample;
            }
            if (++m_inWindow == m_windowFrames) {
                flush();
            }
        }
    }
    void finish() {
        if (m_inWindow > 0) {
            flush();
        }
    }

    // First and one-past-last frames of the windows whose power reaches
    // `threshold`, widened by one window on each side so no attack is cut.
    // False when none does.
    bool audibleSpan(double threshold, int64_t lengthFrames, int64_t* start, int64_t* end) const {
        const auto loud = [threshold](float power) { return power >= threshold; };
        const auto first = std::find_if(m_powers.begin(), m_powers.end(), loud);
        if (first == m_powers.end()) {
            return false;
        }
        const auto last = std::find_if(m_powers.rbegin(), m_powers.rend(), loud);
        const int64_t firstWindow = first - m_powers.begin();
        const int64_t lastWindow = int64_t(m_powers.size()) - 1 - (last - m_powers.rbegin());
        *start = std::max<int64_t>(0, (firstWindow - 1) * m_windowFrames);
        *end = std::min<int64_t>(lengthFrames, (lastWindow + 2) * m_windowFrames);
        return true;
    }

private:
    void flush() {
        m_powers.push_back(float(m_weight * m_sum / m_inWindow));
        m_sum = 0;
        m_inWindow = 0;
    }

    int m_channels;
    double m_weight;  // a mono file is heard on both sides
    int m_windowFrames;
    int m_inWindow = 0;
    double m_sum = 0;
    std::vector<float> m_powers;
};

}  // namespace

double TrackAnalysis::gainDbFor(double targetLufs, double ceilingDbtp) const {
    if (loudnessLufs <= kSilentLufs) {
        return 0.0;
    }
    // A boost stops where the true peak would pass the ceiling. A track whose own
    // peaks already pass it is not turned down for them: the gain never pushes a
    // peak up, and the output's limiter takes the file's own peaks as it always has.
    return std::min(targetLufs - loudnessLufs, std::max(0.0, ceilingDbtp - truePeakDbtp));
}

bool analyseTrack(const std::string& path, TrackAnalysis* analysis, std::string* error) {
    DecoderOpenResult opened = openDecoder(path);
    if (!opened.decoder) {
        *error = opened.error;
        return false;
    }
    Decoder& decoder = *opened.decoder;
    const int channels = decoder.channels();
    const int rate = decoder.sampleRate();
    Meter meter(
        ebur128_init(unsigned(channels), unsigned(rate), EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK));
    if (!meter) {
        *error = "Analyse impossible de ce format : " + path;
        return false;
    }
    // A mono file plays on both sides: it is measured as it is heard.
    if (channels == 1) {
        ebur128_set_channel(meter.get(), 0, EBUR128_DUAL_MONO);
    }
    WindowPowers windows(channels, rate);
    std::vector<float> block(size_t(kReadFrames) * size_t(channels));
    int64_t frames = 0;
    while (const int64_t got = decoder.read(block.data(), kReadFrames)) {
        ebur128_add_frames_float(meter.get(), block.data(), size_t(got));
        windows.add(block.data(), got);
        frames += got;
    }
    windows.finish();

    TrackAnalysis result;
    result.length = {frames, rate};
    double loudness = -HUGE_VAL;
    ebur128_loudness_global(meter.get(), &loudness);
    result.loudnessLufs = std::max(loudness, TrackAnalysis::kSilentLufs);
    double peak = 0;
    for (int c = 0; c < channels; ++c) {
        double channelPeak = 0;
        ebur128_true_peak(meter.get(), unsigned(c), &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    result.truePeakDbtp = toDb(peak);
    result.audioEndFrame = frames;
    if (result.loudnessLufs > TrackAnalysis::kSilentLufs) {
        const double threshold =
            std::pow(10.0, (result.loudnessLufs - TrackAnalysis::kAudibleBelowLoudnessDb) / 10.0);
        windows.audibleSpan(threshold, frames, &result.audioStartFrame, &result.audioEndFrame);
    }
    *analysis = result;
    return true;
}

}  // namespace varonel::audio
