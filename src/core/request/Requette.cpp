#include "core/request/Requette.h"

#include <memory>
#include <optional>

#include <QDir>

#include "core/playlist/RowFiller.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/TrackNaming.h"

namespace varonel::core {

namespace {

void tell(const RequetteContext& context, const QString& text) {
    if (context.tell) {
        context.tell(QStringLiteral("Requette : ") + text);
    }
}

// Appends a copy of a browser row, or of a file from elsewhere named as the
// browser would list it, its length read again from the file.
bool appendRow(const RequetteContext& context, const QString& path, const BrowserRow* browserRow) {
    PlaylistRow row;
    if (browserRow == nullptr) {
        const QString name = fileNameOf(path);
        row.artist = Artiste(name);
        row.title = Titre(name);
        row.path = path;
    } else {
        row = rowFromBrowser(*browserRow);
    }
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
    if (context.browser.count() == 0 && !(context.round && context.neverDry)) {
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
    const PlayHistory noHistory;
    std::unique_ptr<RequetteRound> ownRound;
    if (context.round == nullptr) {
        ownRound = std::make_unique<RequetteRound>(
            noHistory, context.clock, uint32_t(context.clock.timeOfDay().msecsSinceStartOfDay()));
    }
    RequetteRound& round = context.round ? *context.round : *ownRound;
    const RequetteRound::Tell tellRound = [&context](const QString& text) { tell(context, text); };
    int appended = 0;
    while (context.playlist.count() < kRequetteFillTo &&
           context.clock.monotonicMs() - t0 <= kRequetteLimitMs) {
        if (context.yield) {
            context.yield();
        }
        // Read again at every turn: the folder may have changed meanwhile, or a
        // nested request taken rows.
        const RequetteRound::Pick pick =
            round.next(context.browser, context.playlist, context.neverDry, tellRound);
        if (pick.isEmpty() && context.neverDry) {
            break;  // the catalogue and a new round found nothing either
        }
        if (pick.isEmpty()) {
            continue;  // nothing now; the folder may change before the limit
        }
        // A file that cannot be read is taken as well, so that it is never
        // drawn again in this round, but it adds no broken row.
        std::optional<BrowserRow> browserRow;
        if (pick.browserRow >= 0) {
            browserRow = context.browser.row(pick.browserRow);
        }
        round.take(pick, context.browser);
        if (appendRow(context, pick.path, browserRow ? &*browserRow : nullptr)) {
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
