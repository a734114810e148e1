#include "core/render/RenderTargets.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <optional>

#include "core/shared/FileNames.h"

namespace varonel::core {

namespace {

// What tells one file from another: its device and inode when it exists, its
// folder's and its name when it does not yet.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    QString name;
    bool operator==(const Identity&) const = default;
};

std::optional<Identity> identityOf(const QString& path, mode_t* mode = nullptr) {
    struct stat info {};
    if (::stat(systemPath(path).c_str(), &info) == 0) {
        if (mode != nullptr) {
            *mode = info.st_mode;
        }
        return Identity{info.st_dev, info.st_ino, {}};
    }
    const QFileInfo file(path);
    if (::stat(systemPath(file.absolutePath()).c_str(), &info) != 0) {
        return std::nullopt;  // the write itself will say why
    }
    return Identity{info.st_dev, info.st_ino, file.fileName()};
}

QString refusal(const RenderTarget& target, const QString& why) {
    return target.option + QStringLiteral(" ") + target.path + QStringLiteral(" : ") + why;
}

QString refuseOne(const RenderTarget& target, const Identity& identity, mode_t mode,
                  const std::optional<Identity>& playlist, const QStringList& tracks) {
    if (identity.name.isEmpty() && S_ISDIR(mode)) {
        return refusal(target, QStringLiteral("c'est un dossier, pas un fichier"));
    }
    if (identity.name.isEmpty() && !S_ISREG(mode)) {
        return refusal(target,
                       QStringLiteral("ce n'est pas un fichier ordinaire ; il n'est pas remplacé"));
    }
    if (identity == playlist) {
        return refusal(target, QStringLiteral("c'est la playlist ; elle n'est pas écrasée"));
    }
    for (const QString& track : tracks) {
        const std::optional<Identity> trackIdentity = identityOf(track);
        if (trackIdentity && trackIdentity->name.isEmpty() && identity == *trackIdentity) {
            return refusal(
                target,
                QStringLiteral("c'est une piste de la playlist (%1) ; elle n'est pas écrasée")
                    .arg(track));
        }
    }
    return {};
}

}  // namespace

QString refuseRenderTargets(const QList<RenderTarget>& targets, const QString& playlist,
                            const QStringList& tracks) {
    const std::optional<Identity> playlistIdentity = identityOf(playlist);
    QList<Identity> seen;
    for (const RenderTarget& target : targets) {
        mode_t mode = 0;
        const std::optional<Identity> identity = identityOf(target.path, &mode);
        if (!identity) {
            continue;
        }
        const QString why = refuseOne(target, *identity, mode, playlistIdentity, tracks);
        if (!why.isEmpty()) {
            return why;
        }
        if (seen.contains(*identity)) {
            return QStringLiteral("--log et --output désignent le même fichier : ") + target.path;
        }
        seen.append(*identity);
    }
    return {};
}

}  // namespace varonel::core
