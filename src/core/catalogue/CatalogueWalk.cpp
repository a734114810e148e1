#include "CatalogueWalk.h"

#include <QFileInfo>

#include "FolderScan.h"
#include "FolderSeparator.h"
#include "Volumes.h"

namespace varonel::core {

namespace {

QString resolved(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

}  // namespace

CatalogueWalk::CatalogueWalk(CatalogueList& list, Dialogs& dialogs, std::function<void()> yield)
    : m_list(list), m_dialogs(dialogs), m_yield(std::move(yield)) {}

QString CatalogueWalk::countText() const {
    return m_counted ? u' ' + QString::number(m_count) : QStringLiteral("0");
}

void CatalogueWalk::resetCount() {
    m_count = 0;
    m_counted = false;
}

bool CatalogueWalk::ParcoursDossier(const QString& folder, const FilePattern& pattern) {
    if (m_running) {
        return false;
    }
    m_running = true;
    m_pattern = pattern;
    m_visited.clear();
    m_unreadableCount = 0;
    m_unreadable.clear();
    m_full = false;
    const bool wentOn = visit({folder, resolved(folder)});
    // Once stopped by the operator there is nothing more to tell.
    if (wentOn || m_full) {
        tellUnreadable();
    }
    m_running = false;
    return wentOn;
}

bool CatalogueWalk::visit(const Folder& folder) {
    m_rechercheActive = true;
    m_yield();
    if (!m_rechercheActive) {
        return false;
    }
    const FolderScan scan = scanFolder(folder.path, m_pattern);
    if (!scan.error.isEmpty()) {
        // This folder is left; the walk goes on with the next one of its level.
        ++m_unreadableCount;
        if (m_unreadable.size() < kUnreadableShown) {
            m_unreadable.append(folder.path + QStringLiteral(" : ") + scan.error);
        }
        return true;
    }
    if (m_visited.contains({scan.device, scan.inode})) {
        return true;  // reached again through a link
    }
    m_visited.insert({scan.device, scan.inode});

    for (qsizetype n = scan.subfolders.size(); n > 0 && m_rechercheActive; --n) {
        const QString& name = scan.subfolders[n - 1];
        const QString path = joinFolder(folder.path, name);
        const QString realPath = scan.linkedSubfolders.contains(name)
                                     ? resolved(path)
                                     : joinFolder(folder.realPath, name);
        if (isPseudoFileSystemPath(realPath)) {
            continue;
        }
        if (!visit({path, realPath})) {
            return false;
        }
    }
    for (const QString& name : scan.files) {
        if (!addFile(joinFolder(folder.path, name))) {
            return false;
        }
    }
    return true;
}

bool CatalogueWalk::addFile(const QString& entry) {
    // A line of the catalogue file cannot hold a line end of its own.
    if (entry.contains(u'\n') || entry.contains(u'\r')) {
        return true;
    }
    if (!m_list.append(entry)) {
        m_full = true;
        m_dialogs.message({QString::fromUtf8(kListFullMessage), QString(), MessageIcon::None,
                           MessageButtons::Ok});
        return false;
    }
    ++m_count;
    m_counted = true;
    return true;
}

void CatalogueWalk::tellUnreadable() {
    if (m_unreadableCount == 0) {
        return;
    }
    QString text =
        m_unreadableCount == 1
            ? QStringLiteral("Un dossier n'a pas pu être lu :")
            : QStringLiteral("%1 dossiers n'ont pas pu être lus :").arg(m_unreadableCount);
    text += u'\n' + m_unreadable.join(u'\n');
    if (m_unreadableCount > m_unreadable.size()) {
        text += QStringLiteral("\n...");
    }
    m_dialogs.message({text, QString(), MessageIcon::Exclamation, MessageButtons::Ok});
}

}  // namespace varonel::core
