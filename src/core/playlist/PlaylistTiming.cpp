#include "core/playlist/PlaylistTiming.h"

#include "core/shared/TextRules.h"

namespace varonel::core {

namespace {

constexpr int64_t kSecondsPerHour = 3600;
constexpr int64_t kSecondsPerMinute = 60;

// Division rounded towards minus infinity, so that the text stays consistent
// even for a (never expected) negative total.
int64_t floorDiv(int64_t value, int64_t divisor) {
    const int64_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

}  // namespace

int64_t totalMilliseconds(const PlaylistModel& playlist) {
    double total = 0.0;
    for (int i = 1; i <= playlist.count(); ++i) {
        total = roundHalfEven(total + leadingNumber(playlist.row(i).milliseconds));
    }
    return static_cast<int64_t>(total);
}

int64_t rowLengthMs(const PlaylistRow& row) {
    const double ms = leadingNumber(row.milliseconds);
    if (ms > 0) {
        return int64_t(ms);
    }
    // A row added by a double click has only its duration text.
    const qsizetype colon = row.durationText.indexOf(u':');
    if (colon < 0) {
        return 0;
    }
    const double minutes = leadingNumber(QStringView(row.durationText).left(colon));
    const double seconds = leadingNumber(QStringView(row.durationText).mid(colon + 1));
    return int64_t((minutes * kSecondsPerMinute + seconds) * 1000);
}

QString totalTimeText(int64_t totalMs) {
    // Hours come from the rounded seconds too: taking them from the raw total
    // would show 0h0mn for the half second just below each full hour.
    const auto seconds = static_cast<int64_t>(roundHalfEven(static_cast<double>(totalMs) / 1000.0));
    const int64_t hours = floorDiv(seconds, kSecondsPerHour);
    const int64_t minutes = (seconds - hours * kSecondsPerHour) / kSecondsPerMinute;
    return QString::number(hours) + u'h' + QString::number(minutes) + QStringLiteral("mn");
}

QString CalculTiming(const PlaylistModel& playlist) {
    return totalTimeText(totalMilliseconds(playlist));
}

}  // namespace varonel::core
