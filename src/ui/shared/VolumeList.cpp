#include "ui/shared/VolumeList.h"

#include <QSignalBlocker>

#include "core/shared/Volumes.h"

namespace varonel::ui {

VolumeList::VolumeList(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("Drive1"));
    refresh();
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit volumeChosen(itemText(index)); });
}

void VolumeList::refresh() {
    const QSignalBlocker blocker(this);
    const QString shown = currentText();
    clear();
    addItems(core::volumeRoots());
    if (!shown.isEmpty()) {
        showVolume(shown);
    }
}

void VolumeList::showVolume(const QString& root) {
    const QSignalBlocker blocker(this);
    int index = findText(root);
    if (index < 0) {
        addItem(root);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

void VolumeList::showPopup() {
    refresh();
    QComboBox::showPopup();
}

}  // namespace varonel::ui
