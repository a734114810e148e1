#pragma once
// A position slider (a deck's `Slider`, the mixer's `TrackBar` and
// `TrackBarPFL`): a press beside the handle brings the handle under the
// pointer and holds it there, as a press on the handle would, so that the
// track is sought once, at the release, wherever the hand leaves it. A plain
// slider pages towards the pointer instead and pages again every 50 ms while
// the button stays down: a seek at each step, and the playing track stalls.

#include <QSlider>

namespace varonel::ui {

class SeekSlider final : public QSlider {
    Q_OBJECT

public:
    explicit SeekSlider(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect handleRect() const;
    // The value that puts the handle's middle at `point`.
    int valueAt(QPoint point) const;
};

}  // namespace varonel::ui
