#pragma once
// Positions and sizes of the main windows' controls, in twips as their design
// tables give them for a screen 800 pixels wide. The screen rules shift them by
// exact twips, so they stay in twips until they are placed.

#include <QRect>

namespace varonel::core {

// The programs take 15 twips per pixel for granted.
inline constexpr int kTwipsPerPixel = 15;

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    // Pixels, each value divided by 15 and rounded down as the design does.
    QRect toPixels() const {
        return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                height / kTwipsPerPixel};
    }
    bool operator==(const TwipRect&) const = default;
};

}  // namespace varonel::core
