#pragma once
// The folder list `Dir1`: the current folder's path from the root down, each
// folder one step further in, then the current folder's subfolders. A double
// click on an entry makes it the current folder; Backspace goes up. Enter and
// the keypad's + and - are not the list's: they go on to the window, whose
// ticks read them as the transport's or the deck's keys. A folder that has gone
// away (a volume unplugged) gives way to the nearest folder above it that is
// still there. The current folder shows in bold.

#include <QTreeWidget>

namespace varonel::ui {

class FolderList final : public QTreeWidget {
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);

    // Makes `folder` (or the nearest existing folder above it) the current
    // folder; emits folderChanged() when that changes the path, or always when
    // `relist` is set (the operator chose the folder shown: it is read again).
    void setPath(const QString& folder, bool relist = false);
    const QString& path() const { return m_path; }

signals:
    void folderChanged(const QString& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild();

    QString m_path;
};

}  // namespace varonel::ui
