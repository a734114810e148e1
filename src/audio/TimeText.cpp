#include "audio/TimeText.h"

#include <cstdio>

namespace varonel::audio {

std::string timeText(int32_t ms) {
    const int32_t t = ms < 0 ? 0 : ms;
    const int minutes = (t / 60000) % 100;
    const int seconds = (t / 1000) % 60;
    const int hundredths = (t / 10) % 100;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d.%02d", minutes, seconds, hundredths);
    return text;
}

}  // namespace varonel::audio
