#include "core/shared/CentrerFenetre.h"

#include "core/shared/TextRules.h"
#include "core/shared/TwipRect.h"

namespace varonel::core {

TwipPosition CentrerFenetre(double screenWidth, double screenHeight, double windowWidth,
                            double windowHeight) {
    return {(screenWidth - windowWidth) / 2.0, (screenHeight - windowHeight) / 2.0};
}

QPoint toPixels(const TwipPosition& position) {
    const auto pixels = [](double twips) {
        return static_cast<int>(roundHalfEven(twips)) / kTwipsPerPixel;
    };
    return {pixels(position.left), pixels(position.top)};
}

}  // namespace varonel::core
