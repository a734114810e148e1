// Fuzz target: an audio file as a file source opens it (WAV through libsndfile,
// MP3 through libmpg123, told by its content) with its exact length (the full
// scan of an MP3), its quick length for the browser, and every frame read, with
// a seek back on the way. A stream that opens plays at a rate and with channels
// a device takes, never reads past its announced length, and holds only bounded
// samples.

#include <cmath>
#include <vector>

#include "FuzzFile.h"
#include "audio/Decoder.h"
#include "audio/TrackLength.h"

using namespace varonel::audio;

namespace {

constexpr int64_t kBlockFrames = 4096;

int64_t readToEnd(Decoder& decoder, std::vector<float>* buffer) {
    int64_t total = 0;
    for (;;) {
        const int64_t got = decoder.read(buffer->data(), kBlockFrames);
        fuzzfile::require(got >= 0 && got <= kBlockFrames);
        if (got == 0) {
            return total;
        }
        for (int64_t i = 0; i < got * decoder.channels(); ++i) {
            const float sample = (*buffer)[size_t(i)];
            fuzzfile::require(std::isfinite(sample) && std::fabs(sample) <= kMaxSample);
        }
        total += got;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzfile::write(data, size);
    estimatedLengthMs(path);
    DecoderOpenResult opened = openDecoder(path);
    fuzzfile::require(opened.decoder != nullptr || !opened.error.empty());
    if (!opened.decoder) {
        return 0;
    }
    Decoder& decoder = *opened.decoder;
    fuzzfile::require(decoder.sampleRate() >= kMinSampleRate &&
                      decoder.sampleRate() <= kMaxSampleRate);
    fuzzfile::require(decoder.channels() >= 1 && decoder.channels() <= kMaxChannels);
    const int64_t length = decoder.lengthFrames();
    std::vector<float> buffer(size_t(kBlockFrames * decoder.channels()));
    fuzzfile::require(readToEnd(decoder, &buffer) <= length);
    if (decoder.seek(length / 2)) {
        fuzzfile::require(readToEnd(decoder, &buffer) <= length);
    }
    fuzzfile::require(exactLengthMs(path) ==
                      MeasuredLength{length, decoder.sampleRate()}.milliseconds());
    return 0;
}
