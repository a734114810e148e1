#include "Requette.h"

#include <random>

#include <QDir>

#include "RowFiller.h"

namespace varonel::core {

namespace {

void tell(const RequetteContext& context, const QString& text) {
    if (context.tell) {
        context.tell(QStringLiteral("Requette : ") + text);
    }
}

// Appends a copy of browser row `index`, its length read again from the file.
bool appendBrowserRow(const RequetteContext& context, int index) {
    PlaylistRow row = rowFromBrowser(context.browser.row(index));
    QString error;
    if (!refreshRowLength(context.reader, MillisecondsCell::Filled, &row, &error)) {
        tell(context, QStringLiteral("titre illisible, non ajouté : ") + error);
        return false;
    }
    context.playlist.append(row);
    return true;
}

bool everyRowTaken(const BrowserModel& browser) {
    for (int i = 0; i < browser.count(); ++i) {
        if (browser.row(i).tag.isEmpty()) {
            return false;
        }
    }
    return true;
}

// A request that leaves the playlist short because the browser has nothing
// more to give says so: the operator must choose another folder before the
// playlist runs dry.
void tellWhenNothingLeft(const RequetteContext& context) {
    if (context.playlist.count() >= kRequetteFillTo || !everyRowTaken(context.browser)) {
        return;
    }
    if (context.browser.count() == 0) {
        tell(context, QStringLiteral("aucun titre dans le navigateur"));
    } else {
        const int rows = context.browser.count();
        const QString taken = rows == 1 ? QStringLiteral("son seul titre est déjà pris")
                                        : QStringLiteral("ses %1 titres sont déjà pris").arg(rows);
        tell(context, QStringLiteral("plus rien à prendre dans %1, %2")
                          .arg(QDir::toNativeSeparators(context.browser.folder()), taken));
    }
}

}  // namespace

int Requette(const RequetteContext& context) {
    if (context.browser.count() == 0) {
        tellWhenNothingLeft(context);
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
    tellWhenNothingLeft(context);
    return appended;
}

}  // namespace varonel::core
