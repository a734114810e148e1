#pragma once
// A deck's progress bar `VuMettre`: a box in light blue from the left edge to
// the position, on a scale of the track's length in seconds.

#include <QWidget>

namespace varonel::ui {

class ProgressBar final : public QWidget {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    // The scale (the track's length) and the bar's end, both in seconds; a bar
    // at 0 is a cleared picture.
    void setBar(double scaleSeconds, double seconds);
    double barFraction() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_scale = 1.0;
    double m_seconds = 0.0;
};

}  // namespace varonel::ui
