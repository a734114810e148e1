#pragma once
// Makes a widget take tracks dragged from the browser: a drop on it is
// reported with the deck it belongs to. The deck's label, picture and panel
// each get one. A drop takes only on the widget's own face: the controls that
// lie on it (the time left on the picture, the toolbar, the pitch on the
// panel) are no place for a track, though the window hands their drops on to
// the nearest widget that takes drops.

#include <QObject>
#include <QWidget>

#include "core/browser/BrowserModel.h"

namespace varonel::ui {

class DropTarget final : public QObject {
    Q_OBJECT

public:
    DropTarget(QWidget* target, int deck, const core::BrowserModel* browser);

signals:
    void dropped(int deck);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_target;
    int m_deck;
    const core::BrowserModel* m_browser;
};

}  // namespace varonel::ui
