#pragma once
// The look of the mixer's main window: dark panels, large on-air texts, lists
// that read well in a dim studio.

#include <QWidget>

namespace varonel::ui {

void applyMainStyle(QWidget* window);

}  // namespace varonel::ui
