#pragma once
// Where a window goes to sit at the centre of the screen, worked out in twips as
// the windows other than the main windows are placed (the about window and the
// catalogue window).

#include <QPoint>

namespace varonel::core {

// Left and top of a window, in twips, in floating point.
struct TwipPosition {
    double left = 0.0;
    double top = 0.0;
};

// Left := (screen width - window width) / 2, top := (screen height - window
// height) / 2, all in twips, computed in floating point.
TwipPosition CentrerFenetre(double screenWidth, double screenHeight, double windowWidth,
                            double windowHeight);

// Pixels of a position in twips: the twips rounded to a whole number (a half
// goes to the even neighbour), then divided by 15 as whole numbers, as the
// window is placed on the screen.
QPoint toPixels(const TwipPosition& position);

}  // namespace varonel::core
