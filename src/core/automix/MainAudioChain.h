#pragma once
// The main window's sound chain: file sources 0, 1 and 2 on the mixer's inputs of
// the same numbers, pulled by the main output through its peak limiter. Sources 0
// and 1 take turns on air; source 2 is never started: it reads the lengths of
// files for the lists.

#include <array>
#include <memory>

#include "audio/AudioOutput.h"
#include "audio/FileSource.h"
#include "audio/Mixer.h"

namespace varonel::core {

struct MainAudioChain {
    explicit MainAudioChain(std::unique_ptr<audio::AudioOutput> mainOutput)
        : output(std::move(mainOutput)) {
        for (int i = 0; i < audio::Mixer::kInputs; ++i) {
            mixer.setSource(i, &sources[size_t(i)]);
        }
        output->setSource(&mixer);
        output->setLimiter(true);
    }
    ~MainAudioChain() { output->close(); }

    std::array<audio::FileSource, audio::Mixer::kInputs> sources;
    audio::Mixer mixer;
    std::unique_ptr<audio::AudioOutput> output;
};

}  // namespace varonel::core
