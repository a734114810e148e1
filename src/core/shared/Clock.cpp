#include "core/shared/Clock.h"

#include <chrono>

namespace varonel::core {

int64_t SystemClock::monotonicMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace varonel::core
