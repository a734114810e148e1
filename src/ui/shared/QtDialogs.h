#pragma once
// The real message boxes and file dialogs of the programs, behind the one
// interface that tests answer with scripts.

#include <QPointer>
#include <QWidget>

#include "Dialogs.h"

namespace varonel::ui {

class QtDialogs final : public core::Dialogs {
public:
    // Boxes are centred on `parent` when it is set, else on the active window.
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
