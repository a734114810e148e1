#pragma once
// One of the player's four level meters `MMMeterX` (0 and 1 deck A's, 2 and 3
// deck B's), captioned "dB". A click on it selects its deck; a track dragged
// from the browser over it is reported at every move (entering, moving,
// leaving), so that it loads onto the meter's deck on the way.

#include "core/browser/BrowserModel.h"
#include "ui/shared/LevelMeterWidget.h"

namespace varonel::ui {

class DeckMeter final : public LevelMeterWidget {
    Q_OBJECT

public:
    DeckMeter(int index, const core::BrowserModel* browser, QWidget* parent = nullptr);
    int index() const { return m_index; }

signals:
    void clicked(int meter);
    void dragPassed(int meter);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;

private:
    int m_index;
    const core::BrowserModel* m_browser;
    bool m_passing = false;
};

}  // namespace varonel::ui
