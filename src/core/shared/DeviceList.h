#pragma once
// The entries of a sound output list and the device index each one stands for.
// Entry 0 is the system's default output (device -1); the others are the named
// devices 0 to 10, in order.

#include <QString>
#include <QStringList>
#include <functional>

namespace varonel::core {

inline constexpr int kDefaultDeviceIndex = -1;
inline constexpr int kLastListedDeviceIndex = 10;

// The output's name for a device index (-1 for the default output).
using DeviceNameForIndex = std::function<QString(int deviceIndex)>;

// How the named devices' entries read: trimmed of spaces (the mixer), or as
// the device reports them (the player).
enum class DeviceEntryNames { Trimmed, AsReported };

// Entry 0: the name for -1, as given. Then, for each index 0 to 10 whose name
// is not blank once trimmed of spaces, that name. At most 12 entries, at least one.
QStringList buildDeviceEntries(const DeviceNameForIndex& nameForIndex,
                               DeviceEntryNames names = DeviceEntryNames::Trimmed);

// The device index for an entry position. It assumes, as the listing does, that
// the named devices have consecutive indices.
constexpr int deviceIndexForEntry(int entry) {
    return entry - 1;
}

}  // namespace varonel::core
