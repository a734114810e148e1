#pragma once
// The drive list `Drive1`: the mounted volumes by their root path. Its entries
// are read again each time it opens, so a volume plugged in or removed since
// shows as it is now.

#include <QComboBox>

namespace varonel::ui {

class VolumeList final : public QComboBox {
    Q_OBJECT

public:
    explicit VolumeList(QWidget* parent = nullptr);

    // Shows `root` as the chosen volume, adding it if the list lacks it.
    void showVolume(const QString& root);
    void refresh();

    void showPopup() override;

signals:
    // The operator chose a volume.
    void volumeChosen(const QString& root);
};

}  // namespace varonel::ui
