#include "audio/OutputGroup.h"

#include <algorithm>

namespace varonel::audio {

void OutputGroup::join(const void* member) {
    std::lock_guard lock(m_mutex);
    if (!findLocked(member)) {
        m_members.push_back(Member{member, {}, {}});
    }
}

void OutputGroup::leave(const void* member) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_members, [member](const Member& m) { return m.key == member; });
}

void OutputGroup::setChosen(const void* member, const std::string& device) {
    std::lock_guard lock(m_mutex);
    if (Member* m = findLocked(member)) {
        m->chosen = device;
    }
}

void OutputGroup::setPlayingOn(const void* member, const std::string& device) {
    std::lock_guard lock(m_mutex);
    if (Member* m = findLocked(member)) {
        m->playingOn = device;
    }
}

bool OutputGroup::takenByOther(const void* member, const std::string& device) const {
    if (device.empty()) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    return std::any_of(m_members.begin(), m_members.end(), [&](const Member& m) {
        return m.key != member && (m.chosen == device || m.playingOn == device);
    });
}

OutputGroup::Member* OutputGroup::findLocked(const void* member) {
    const auto it = std::find_if(m_members.begin(), m_members.end(),
                                 [member](const Member& m) { return m.key == member; });
    return it == m_members.end() ? nullptr : &*it;
}

}  // namespace varonel::audio
