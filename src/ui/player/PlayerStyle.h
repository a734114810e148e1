#pragma once
// The look of the player's window: the decks' grey panels, light at the top and
// dark at the bottom, with dark texts on the light part and light ones below.

#include <QWidget>

namespace varonel::ui {

void applyPlayerStyle(QWidget* window);

}  // namespace varonel::ui
