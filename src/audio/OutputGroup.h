#pragma once
// The device outputs of one program, which must know each other's devices: an
// output that has lost its own device never falls back onto a device that
// another output of the program has chosen or plays on, so the programme never
// lands in the headphones and a deck's preparation never reaches the audience.
// The program makes one group and hands it to each of its outputs.
//
// Threads: main thread and the outputs' supervisors; never the real-time
// callback.

#include <mutex>
#include <string>
#include <vector>

namespace varonel::audio {

class OutputGroup {
public:
    // `member` is the output itself, as a key.
    void join(const void* member);
    void leave(const void* member);
    // The device `member` has chosen by name ("" for the system default).
    void setChosen(const void* member, const std::string& device);
    // The device `member` plays on now ("" when it has none open).
    void setPlayingOn(const void* member, const std::string& device);
    // True when another member has chosen `device` or plays on it. An unnamed
    // device ("", the system does not say) is nobody's.
    bool takenByOther(const void* member, const std::string& device) const;

private:
    struct Member {
        const void* key = nullptr;
        std::string chosen;
        std::string playingOn;
    };
    Member* findLocked(const void* member);

    mutable std::mutex m_mutex;
    std::vector<Member> m_members;
};

}  // namespace varonel::audio
