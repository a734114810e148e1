#pragma once
// A main window's design table: every named control's left, top, width and
// height in twips for a screen 800 pixels wide, placed by object name. A
// control inside a panel is placed in the panel's own coordinates. No layout
// manager moves these controls: the screen rules shift them by exact twips in
// the table, and the table is applied again.

#include <QList>
#include <QString>
#include <QWidget>

#include "core/shared/TwipRect.h"

namespace varonel::ui {

struct DesignEntry {
    const char* name;
    core::TwipRect rect;
};

class DesignTable {
public:
    explicit DesignTable(QList<DesignEntry> entries) : m_entries(std::move(entries)) {}

    // The entry of a control; null when the table has none.
    core::TwipRect* find(const QString& name);
    const core::TwipRect* find(const QString& name) const;

    // Places every control of the table found below `root`. Returns the names
    // the table has but `root` lacks, so that a renamed control is noticed.
    QStringList applyTo(QWidget* root) const;

    // The smallest size, in pixels, that holds every control placed directly
    // on `root` (not those inside panels).
    QSize extentOn(const QWidget* root) const;

    const QList<DesignEntry>& entries() const { return m_entries; }

private:
    QList<DesignEntry> m_entries;
};

}  // namespace varonel::ui
