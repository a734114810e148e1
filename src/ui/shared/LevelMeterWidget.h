#pragma once
// A horizontal level meter: a bar from green through yellow to red whose
// length follows a level from 0 to 32767, falling back smoothly rather than
// flickering when the level drops.

#include <QWidget>

namespace varonel::ui {

class LevelMeterWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFullScale = 32767;
    // How much of full scale the bar may fall per update (about 1.2 s from the
    // top to nothing at 50 ms per update).
    static constexpr int kFallPerUpdate = kFullScale / 24;

    explicit LevelMeterWidget(QWidget* parent = nullptr);

    // A new reading: the bar rises at once and falls by at most kFallPerUpdate.
    void setLevel(int level);
    // The length shown, 0 to kFullScale.
    int shownLevel() const { return m_shown; }
    // The colour behind the bar, and a caption drawn over its right end.
    void setBackground(const QColor& colour);
    QColor background() const { return m_background; }
    void setCaption(const QString& caption);

    QSize sizeHint() const override { return {200, 12}; }
    QSize minimumSizeHint() const override { return {60, 8}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_shown = 0;
    QColor m_background{0x14, 0x17, 0x1b};
    QString m_caption;
};

}  // namespace varonel::ui
