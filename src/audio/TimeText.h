#pragma once
// The time text of the players' displays: minutes, seconds and hundredths,
// "mm:ss.cc", as wide as "00:00:00". A cue point needs the hundredths. Minutes
// past 99 wrap round, as two digits are all the display has.
//
// Threads: any.

#include <cstdint>
#include <string>

namespace varonel::audio {

// Negative times show as "00:00.00".
std::string timeText(int32_t ms);

}  // namespace varonel::audio
