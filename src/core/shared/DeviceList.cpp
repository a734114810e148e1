#include "DeviceList.h"

#include "TextRules.h"

namespace varonel::core {

QStringList buildDeviceEntries(const DeviceNameForIndex& nameForIndex) {
    QStringList entries{nameForIndex(kDefaultDeviceIndex)};
    for (int index = 0; index <= kLastListedDeviceIndex; ++index) {
        const QString name = trimSpaces(nameForIndex(index));
        if (!name.isEmpty()) {
            entries.append(name);
        }
    }
    return entries;
}

}  // namespace varonel::core
