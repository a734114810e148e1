#pragma once
// The mixer with its file sources, pulled by an offline output: the engine
// heard at sample level, block by block, without a device or a clock.

#include <QString>
#include <QtTest>

#include <algorithm>
#include <vector>

#include "audio/FileSource.h"
#include "audio/Mixer.h"
#include "audio/OfflineOutput.h"

namespace offlinemix {

constexpr int kRate = 44100;
constexpr int kBlock = 1024;

inline int64_t framesOf(int ms) {
    return int64_t(ms) * kRate / 1000;
}

struct Mix {
    varonel::audio::FileSource sources[varonel::audio::Mixer::kInputs];
    varonel::audio::Mixer mixer;
    varonel::audio::OfflineOutput output{kRate};

    explicit Mix(bool limiter = false) {
        for (int i = 0; i < varonel::audio::Mixer::kInputs; ++i) {
            mixer.setSource(i, &sources[i]);
        }
        output.setSource(&mixer);
        output.setLimiter(limiter);
        output.start();
    }
    // Loads the file on the input and lets the mixer hear it.
    void play(int input, const QString& path) {
        mixer.setInputFinished(input, true);
        QVERIFY2(sources[input].setFileName(path.toStdString()),
                 sources[input].lastError().c_str());
        mixer.setInputFinished(input, false);
    }
    // Pulls `frames` and returns the left channel.
    std::vector<float> left(int64_t frames) {
        std::vector<float> out;
        for (int64_t done = 0; done < frames; done += kBlock) {
            const int n = int(std::min<int64_t>(kBlock, frames - done));
            const float* block = output.pull(n);
            for (int i = 0; i < n; ++i) {
                out.push_back(block[2 * i]);
            }
        }
        return out;
    }
};

}  // namespace offlinemix
