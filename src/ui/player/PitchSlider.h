#pragma once
// A deck's pitch slider `Pitch`, from -30 to 30 half percents: a click on its
// groove and a notch of the wheel each move it one step (0.5 %). A plain
// slider pages ten steps a click, again and again while the button is held,
// and scrolls three steps a notch.

#include <QSlider>

namespace varonel::ui {

class PitchSlider final : public QSlider {
    Q_OBJECT

public:
    explicit PitchSlider(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int m_wheelEighths = 0;  // what the wheel has turned short of a whole notch
};

}  // namespace varonel::ui
