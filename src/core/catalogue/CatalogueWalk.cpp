#include "core/catalogue/CatalogueWalk.h"

#include <climits>
#include <cstdlib>

#include "core/shared/FileNames.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/Volumes.h"

namespace varonel::core {

namespace {

// The folder's place once every link is resolved, or the path itself when it
// cannot be resolved.
QString resolved(const QString& path) {
    char real[PATH_MAX];
    if (::realpath(toSystemName(path).constData(), real) == nullptr) {
        return path;
    }
    return fromSystemName(real);
}

}  // namespace

CatalogueWalk::CatalogueWalk(CatalogueList& list, Dialogs& dialogs)
    : m_list(list), m_dialogs(dialogs) {}

QString CatalogueWalk::countText() const {
    return m_counted ? u' ' + QString::number(m_count) : QStringLiteral("0");
}

void CatalogueWalk::resetCount() {
    m_count = 0;
    m_counted = false;
}

bool CatalogueWalk::start(const QString& folder, const FilePattern& pattern) {
    if (running()) {
        return false;
    }
    m_rechercheActive = true;
    m_pattern = pattern;
    m_visited.clear();
    m_unreadableCount = 0;
    m_unreadable.clear();
    m_full = false;
    m_stack.append({folder, resolved(folder), {}});
    return true;
}

bool CatalogueWalk::ParcoursDossier(const QString& folder, const FilePattern& pattern,
                                    const std::function<void()>& yield) {
    if (!start(folder, pattern)) {
        return false;
    }
    Step outcome = Step::More;
    while (outcome == Step::More) {
        yield();
        outcome = step();
    }
    return outcome == Step::Done;
}

// The folder on top of the stack is always one not read yet.
CatalogueWalk::Step CatalogueWalk::step() {
    if (m_stack.isEmpty()) {
        return Step::Done;
    }
    if (!m_rechercheActive) {
        return end(Step::Abandoned);
    }
    if (!enter(&m_stack.last())) {
        m_stack.removeLast();  // the walk goes on with the next folder of its level
    }
    return descend();
}

bool CatalogueWalk::enter(Frame* frame) {
    // Subfolders in pseudo file systems are never stacked; this keeps out a
    // walk asked to start in one (the browser may show /proc).
    if (isPseudoFileSystemPath(frame->realPath)) {
        return false;
    }
    frame->scan = scanFolder(frame->path, m_pattern);
    if (!frame->scan.error.isEmpty()) {
        ++m_unreadableCount;
        if (m_unreadable.size() < kUnreadableShown) {
            m_unreadable.append(frame->path + QStringLiteral(" : ") + frame->scan.error);
        }
        return false;
    }
    const QPair<quint64, quint64> identity{frame->scan.device, frame->scan.inode};
    if (m_visited.contains(identity)) {
        return false;  // reached again through a link
    }
    m_visited.insert(identity);
    frame->subfoldersLeft = frame->scan.subfolders.size();
    return true;
}

// Down to the next subfolder still to walk, adding the files of each folder
// whose subfolders are all done on the way back up.
CatalogueWalk::Step CatalogueWalk::descend() {
    while (!m_stack.isEmpty()) {
        Frame& top = m_stack.last();
        while (top.subfoldersLeft > 0) {
            const QString& name = top.scan.subfolders[--top.subfoldersLeft];
            const QString path = joinFolder(top.path, name);
            const QString realPath = top.scan.linkedSubfolders.contains(name)
                                         ? resolved(path)
                                         : joinFolder(top.realPath, name);
            if (!isPseudoFileSystemPath(realPath)) {
                m_stack.append({path, realPath, {}});  // `top` is not used again
                return Step::More;
            }
        }
        for (const QString& name : top.scan.files) {
            if (!addFile(joinFolder(top.path, name))) {
                return end(Step::Abandoned);
            }
        }
        m_stack.removeLast();
    }
    return end(Step::Done);
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

CatalogueWalk::Step CatalogueWalk::end(Step outcome) {
    m_stack.clear();
    // Once stopped by the operator there is nothing more to tell.
    if (outcome == Step::Done || m_full) {
        tellUnreadable();
    }
    return outcome;
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
