#pragma once
// Listens to a mix played in virtual time as a listener would judge it: when the
// first sound comes, the longest near-silence (below -40 dBFS) after it and the
// longest within 3 s of a transition (a track's own quiet passage is no gap),
// and each track's loudness as heard (EBU R128, from the end of the fade that
// brought it in to the start of the next track).

#include <ebur128.h>

#include <QObject>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "core/automix/Transport.h"
#include "core/render/VirtualDriver.h"

namespace mixlistener {

struct Heard {
    double startSilenceMs = 0;
    double longestSilenceMs = 0;  // after the first sound; infinite if the stop never came
    double worstTransitionSilenceMs = 0;
    std::vector<double> lufs;  // each track as heard, in the order they went on air
};

// Starts the transport, runs `during` (a command while on air) and plays until
// its final stop begins (at most `limitMs`).
inline Heard playAndListen(varonel::core::Transport& transport,
                           varonel::core::VirtualDriver& driver, int64_t limitMs,
                           const std::function<void()>& during = {}) {
    using varonel::core::Transport;
    constexpr int kRate = 44100;
    constexpr float kSilence = 0.01f;
    constexpr int64_t kAroundTransition = 3 * kRate;
    Heard heard;
    std::vector<int64_t> transitions;  // frames at which the second track on went on air
    ebur128_state* segment = nullptr;
    int64_t segmentFrom = 0;
    int64_t frame = 0;
    int64_t firstSound = -1;
    int64_t silentRun = 0;
    int64_t longestRun = 0;
    int64_t worstTransitionRun = 0;
    bool stopped = false;
    const auto closeSegment = [&] {
        double lufs = -HUGE_VAL;
        if (segment && ebur128_loudness_global(segment, &lufs) == EBUR128_SUCCESS &&
            std::isfinite(lufs)) {
            heard.lufs.push_back(lufs);
        }
        if (segment) {
            ebur128_destroy(&segment);
        }
    };
    const QObject listening;  // its connections go with it
    QObject::connect(&transport, &Transport::trackStarted, &listening, [&] {
        if (frame > 0) {
            transitions.push_back(frame);
        }
        closeSegment();
        segment = ebur128_init(2, kRate, EBUR128_MODE_I);
        segmentFrom = frame + int64_t(Transport::kFadeMs) * kRate / 1000;
    });
    QObject::connect(&transport, &Transport::stopBegun, &listening, [&] {
        stopped = true;
        closeSegment();
    });
    driver.setBlockSink([&](const float* block, int frames) {
        if (stopped) {
            return;
        }
        for (int i = 0; i < frames; ++i) {
            const bool loud = std::abs(block[2 * i]) >= kSilence;
            if (loud && firstSound < 0) {
                firstSound = frame + i;
            }
            for (const int64_t at : transitions) {  // a run of silence ends here
                if (loud && silentRun > 0 && frame + i - silentRun < at + kAroundTransition &&
                    frame + i > at - kAroundTransition) {
                    worstTransitionRun = std::max(worstTransitionRun, silentRun);
                }
            }
            silentRun = firstSound >= 0 && !loud ? silentRun + 1 : 0;
            longestRun = std::max(longestRun, silentRun);
        }
        if (segment && frame >= segmentFrom) {
            ebur128_add_frames_float(segment, block, size_t(frames));
        }
        frame += frames;
    });
    transport.CmdPlay_Click();
    if (during) {
        during();
    }
    const bool ended = driver.advanceUntil([&] { return stopped; }, limitMs);
    driver.setBlockSink({});
    closeSegment();
    heard.startSilenceMs = firstSound * 1000.0 / kRate;
    heard.longestSilenceMs = ended ? longestRun * 1000.0 / kRate : HUGE_VAL;
    heard.worstTransitionSilenceMs = worstTransitionRun * 1000.0 / kRate;
    return heard;
}

}  // namespace mixlistener
