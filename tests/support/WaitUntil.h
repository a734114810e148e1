#pragma once
// Waiting in real time for what other threads do (a device's callback, a
// worker), for tests that cannot run on a virtual clock.

#include <QDeadlineTimer>

#include <chrono>
#include <thread>

namespace waituntil {

// Polls `done` every `pollMs` until it holds (true) or `ms` pass (false).
template <typename Done>
bool waitUntil(Done done, int ms, int pollMs = 2) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
    return true;
}

}  // namespace waituntil
