#include "ui/shared/DesignTable.h"

namespace varonel::ui {

core::TwipRect* DesignTable::find(const QString& name) {
    for (DesignEntry& entry : m_entries) {
        if (name == QLatin1String(entry.name)) {
            return &entry.rect;
        }
    }
    return nullptr;
}

const core::TwipRect* DesignTable::find(const QString& name) const {
    return const_cast<DesignTable*>(this)->find(name);
}

QStringList DesignTable::applyTo(QWidget* root) const {
    QStringList missing;
    for (const DesignEntry& entry : m_entries) {
        auto* widget = root->findChild<QWidget*>(QLatin1String(entry.name));
        if (widget == nullptr) {
            missing.append(QLatin1String(entry.name));
            continue;
        }
        widget->setGeometry(entry.rect.toPixels());
    }
    return missing;
}

QSize DesignTable::extentOn(const QWidget* root) const {
    QRect extent;
    for (const DesignEntry& entry : m_entries) {
        const auto* widget = root->findChild<QWidget*>(QLatin1String(entry.name));
        if (widget != nullptr && widget->parentWidget() == root) {
            extent |= entry.rect.toPixels();
        }
    }
    return {extent.right() + 1, extent.bottom() + 1};
}

}  // namespace varonel::ui
