#pragma once
// The real message boxes and file dialogs of the programs, behind the one
// interface that tests answer with scripts.
//
// Every box reaches the operator: it is a window of its own (a child would
// take its owner's style sheet, light text on the splash), kept above the
// window that raised it, and above every window of the program kept on top
// (the catalogue window), where it would otherwise open beneath it and leave
// the program refusing every click. Its text is cut to the screen, the whole
// of it in the details, so that its buttons can always be reached.

#include <QPointer>
#include <QWidget>

#include "core/shared/Dialogs.h"

namespace varonel::ui {

class QtDialogs final : public core::Dialogs {
public:
    // Boxes belong to `parent` when it is set, else to the active window.
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    core::MessageAnswer message(const core::Message& message) override;
    QString openFileName(const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& folder, const QString& filter,
                         const QString& defaultSuffix) override;

private:
    QWidget* parentWidget() const;

    QPointer<QWidget> m_parent;
};

}  // namespace varonel::ui
