#include "core/shared/DeviceList.h"

#include "core/shared/TextRules.h"

namespace varonel::core {

QStringList buildDeviceEntries(const DeviceNameForIndex& nameForIndex, DeviceEntryNames names) {
    QStringList entries{nameForIndex(kDefaultDeviceIndex)};
    for (int index = 0; index <= kLastListedDeviceIndex; ++index) {
        const QString reported = nameForIndex(index);
        const QString trimmed = trimSpaces(reported);
        if (!trimmed.isEmpty()) {
            entries.append(names == DeviceEntryNames::Trimmed ? trimmed : reported);
        }
    }
    return entries;
}

}  // namespace varonel::core
