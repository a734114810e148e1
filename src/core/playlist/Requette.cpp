#include "Requette.h"

#include <random>

#include "RowFiller.h"

namespace varonel::core {

namespace {

// Appends a copy of browser row `index`, its length read again from the file.
bool appendBrowserRow(const RequetteContext& context, int index) {
    const QStringList cells = context.browser.cells(index);
    PlaylistRow row;
    for (int column = 0; column <= PlaylistRow::kPathColumn; ++column) {
        row.setCell(column, cells[column]);
    }
    if (!refreshRowLength(context.reader, MillisecondsCell::Filled, &row)) {
        return false;
    }
    context.playlist.append(row);
    return true;
}

}  // namespace

int Requette(const RequetteContext& context) {
    if (context.browser.count() == 0) {
        return 0;
    }
    if (context.busy) {
        context.busy(true);
    }
    if (context.yield) {
        context.yield();
    }
    // The time limit runs on the monotonic clock: a time of day would never get
    // past it across midnight, and a request whose every row is taken would
    // draw for ever.
    const int64_t t0 = context.clock.monotonicMs();
    std::mt19937 random(uint32_t(context.clock.timeOfDay().msecsSinceStartOfDay()));
    std::uniform_real_distribution<double> draw(0.0, 1.0);
    int appended = 0;
    while (context.playlist.count() < kRequetteFillTo &&
           context.clock.monotonicMs() - t0 <= kRequetteLimitMs) {
        if (context.yield) {
            context.yield();
        }
        const int rows = context.browser.count();
        if (rows == 0) {
            continue;  // the folder changed meanwhile; its rows may come
        }
        const int index = std::min(int(draw(random) * rows), rows - 1);
        if (!context.browser.row(index).tag.isEmpty()) {
            continue;
        }
        // A file that cannot be read is tagged as well, so that it is never
        // drawn again, but it adds no broken row.
        context.browser.setTag(index, QLatin1String(BrowserModel::kTaken));
        if (appendBrowserRow(context, index)) {
            ++appended;
            if (context.playlistGrown) {
                context.playlistGrown();
            }
        }
    }
    if (context.busy) {
        context.busy(false);
    }
    return appended;
}

}  // namespace varonel::core
