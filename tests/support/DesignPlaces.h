#pragma once
// What is wrong with a window's design table once applied: the controls it
// names that the window lacks, those that leave the screen (or, inside a
// panel, their panel), and the pairs placed side by side that overlap.

#include <QStringList>
#include <QWidget>
#include <functional>

#include "ui/shared/DesignTable.h"

namespace designplaces {

// `checked` tells which overlapping pairs count; all of them by default.
inline QStringList misplaced(
    QWidget* centre, const varonel::ui::DesignTable& design, QRect screen,
    const std::function<bool(const QString&, const QString&)>& checked = {}) {
    QStringList faults = design.applyTo(centre);
    QList<QPair<QString, QRect>> placed;
    for (const varonel::ui::DesignEntry& entry : design.entries()) {
        const QString name = QLatin1String(entry.name);
        const QWidget* widget = centre->findChild<QWidget*>(name);
        if (widget == nullptr) {
            continue;
        }
        if (widget->parentWidget() != centre) {
            if (!widget->parentWidget()->rect().contains(widget->geometry())) {
                faults.append(name + " leaves its panel");
            }
        } else if (!screen.contains(widget->geometry())) {
            faults.append(name + " leaves the screen");
        } else {
            placed.append({name, widget->geometry()});
        }
    }
    for (int i = 0; i < placed.size(); ++i) {
        for (int j = i + 1; j < placed.size(); ++j) {
            if (placed[i].second.intersects(placed[j].second) &&
                (!checked || checked(placed[i].first, placed[j].first))) {
                faults.append(placed[i].first + " / " + placed[j].first);
            }
        }
    }
    return faults;
}

}  // namespace designplaces
