#pragma once
// The look of the mixer's windows: dark panels, large on-air texts, lists that
// read well in a dim studio.

#include <QWidget>

namespace varonel::ui {

void applyMainStyle(QWidget* window);

// The catalogue window `F3`: the same dark family, with a plain readable list
// of paths and a search box that stands out.
void applyCatalogueStyle(QWidget* window);

}  // namespace varonel::ui
