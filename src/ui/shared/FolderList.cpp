#include "ui/shared/FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

#include "core/browser/FolderListing.h"
#include "core/shared/FolderSeparator.h"

namespace varonel::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

// The folder itself if it is there, else the nearest folder above it that is.
QString nearestExisting(QString folder) {
    folder = QDir::cleanPath(folder);
    while (!QFileInfo(folder).isDir() && folder != QDir::rootPath()) {
        folder = QFileInfo(folder).path();
    }
    return folder;
}

// The folders from the root down to `folder`: "/", "/home", "/home/dj".
QStringList chainTo(const QString& folder) {
    QStringList chain;
    for (QString step = folder;; step = QFileInfo(step).path()) {
        chain.prepend(step);
        if (QDir(step).isRoot()) {
            break;
        }
    }
    return chain;
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("Dir1"));
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setIndentation(10);
    setExpandsOnDoubleClick(false);
    // Not on activation: a style may activate on a single click, and Enter
    // activates too, which would open a folder as the broadcast starts.
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { setPath(item->data(0, kPathRole).toString(), true); });
}

void FolderList::setPath(const QString& folder, bool relist) {
    const QString target = nearestExisting(folder);
    const bool changed = relist || target != m_path;
    m_path = target;
    rebuild();
    if (changed) {
        emit folderChanged(m_path);
    }
}

void FolderList::rebuild() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parent = nullptr;
    for (const QString& step : chainTo(m_path)) {
        const QString name = QDir(step).isRoot() ? step : QFileInfo(step).fileName();
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        item->setText(0, name);
        item->setIcon(0, open);
        item->setData(0, kPathRole, step);
        item->setToolTip(0, step);
        parent = item;
    }
    for (const QString& name : core::listSubfolders(m_path)) {
        auto* item = new QTreeWidgetItem(parent);
        item->setText(0, name);
        item->setIcon(0, closed);
        item->setData(0, kPathRole, core::joinFolder(m_path, name));
    }
    expandAll();
    QFont bold = parent->font(0);
    bold.setBold(true);
    parent->setFont(0, bold);
    setCurrentItem(parent);
    scrollToItem(parent, QAbstractItemView::PositionAtTop);
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Backspace) {
        setPath(QFileInfo(m_path).path());
        return;
    }
    // The tree would open the current entry on Enter and fold or unfold it on
    // the keypad's + and -; they are left to the window instead.
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    if (key == Qt::Key_Return || key == Qt::Key_Enter ||
        (keypad && (key == Qt::Key_Plus || key == Qt::Key_Minus))) {
        event->ignore();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

}  // namespace varonel::ui
