#pragma once
// Makes a widget take tracks dragged from the browser: a drop on it is
// reported with the deck it belongs to. The deck's label, picture and panel
// each get one. With no deck (-1) the widget refuses the drop instead of
// passing it to the panel it lies on (a slider on the deck's panel).

#include <QObject>
#include <QWidget>

#include "BrowserModel.h"

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
    int m_deck;
    const core::BrowserModel* m_browser;
};

}  // namespace varonel::ui
