#pragma once
// Listens to a mix played in virtual time as a listener would judge it: when the
// first sound comes, the longest near-silence (below -40 dBFS) around each
// transition, and each track's loudness as heard (EBU R128, from the end of the
// fade that brought it in to the start of the next track).

#include <ebur128.h>

#include <QObject>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/automix/Transport.h"
#include "core/render/VirtualDriver.h"

namespace mixlistener {

struct Heard {
    double startSilenceMs = 0;
    double worstTransitionSilenceMs = 0;
    std::vector<double> lufs;  // each track as heard, in the order they went on air

    double spread() const {
        if (lufs.empty()) {
            return 0;
        }
        const auto [low, high] = std::minmax_element(lufs.begin(), lufs.end());
        return *high - *low;
    }
};

// Starts the transport and plays until its final stop begins (at most `limitMs`).
inline Heard playAndListen(varonel::core::Transport& transport,
                           varonel::core::VirtualDriver& driver, int64_t limitMs) {
    using varonel::core::Transport;
    constexpr int kRate = 44100;
    constexpr float kSilence = 0.01f;
    constexpr int64_t kAroundTransitionMs = 3000;
    Heard heard;
    std::vector<int64_t> starts;
    std::vector<bool> silentBlocks;
    ebur128_state* segment = nullptr;
    int64_t segmentFrom = 0;
    int64_t frame = 0;
    int64_t firstSound = -1;
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
    const QMetaObject::Connection started =
        QObject::connect(&transport, &Transport::trackStarted, [&] {
            starts.push_back(driver.nowMs());
            closeSegment();
            segment = ebur128_init(2, kRate, EBUR128_MODE_I);
            segmentFrom = frame + int64_t(Transport::kFadeMs) * kRate / 1000;
        });
    const QMetaObject::Connection stop = QObject::connect(&transport, &Transport::stopBegun, [&] {
        stopped = true;
        closeSegment();
    });
    driver.setBlockSink([&](const float* block, int frames) {
        if (stopped) {
            return;
        }
        bool silent = true;
        for (int i = 0; i < frames; ++i) {
            const bool loud = std::abs(block[2 * i]) >= kSilence;
            silent = silent && !loud;
            if (loud && firstSound < 0) {
                firstSound = frame + i;
            }
        }
        silentBlocks.push_back(silent);
        if (segment && frame >= segmentFrom) {
            ebur128_add_frames_float(segment, block, size_t(frames));
        }
        frame += frames;
    });
    transport.CmdPlay_Click();
    driver.advanceUntil([&] { return stopped; }, limitMs);
    driver.setBlockSink({});
    QObject::disconnect(started);
    QObject::disconnect(stop);
    closeSegment();

    const double blockMs = 1000.0 * varonel::core::VirtualDriver::kBlockFrames / kRate;
    heard.startSilenceMs = firstSound * 1000.0 / kRate;
    for (size_t t = 1; t < starts.size(); ++t) {
        const auto from = size_t(std::max<int64_t>(0, starts[t] - kAroundTransitionMs) / blockMs);
        const auto to =
            std::min(silentBlocks.size(), size_t((starts[t] + kAroundTransitionMs) / blockMs));
        int run = 0;
        for (size_t b = from; b < to; ++b) {
            run = silentBlocks[b] ? run + 1 : 0;
            heard.worstTransitionSilenceMs =
                std::max(heard.worstTransitionSilenceMs, run * blockMs);
        }
    }
    return heard;
}

}  // namespace mixlistener
