#pragma once
// The files a render writes (the mix, and the as-run log) checked against the
// files it reads before anything is written: the render never writes over its
// playlist, one of the playlist's tracks or its other output, whatever the
// spelling of the path (links, "./", a second hard link), and never replaces
// something that is not a regular file (a device such as /dev/full, a folder).

#include <QString>
#include <QStringList>

namespace varonel::core {

struct RenderTarget {
    QString option;  // "--output" or "--log", as the refusal names it
    QString path;
};

// Why the targets may not be written, as one French line; "" when they may.
// `tracks` are the playlist's lines; those that name no file are passed over.
QString refuseRenderTargets(const QList<RenderTarget>& targets, const QString& playlist,
                            const QStringList& tracks);

}  // namespace varonel::core
