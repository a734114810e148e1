#include "core/shared/Gradient.h"

#include <algorithm>

namespace varonel::core {

namespace {

constexpr int kSteps = 256;
constexpr double kGrid = 512.0;
constexpr int kStripUnits = 2;

// The intensity after step `i`: it rises every Vitesse-th step over the first
// 100 steps (step 0 included), then at every step.
int intensityAfter(int i, int vitesse) {
    int c = 0;
    for (int step = 0; step <= i; ++step) {
        if (step >= 100 || step % vitesse == 0) {
            ++c;
        }
    }
    return c;
}

}  // namespace

void Degrade(DrawingSurface& surface, const GradientOptions& options) {
    const bool red = options.vRed.value_or(false);
    const bool green = options.vGreen.value_or(false);
    // Blue is forced on when neither red nor green is chosen, even if asked off.
    const bool blue = (!red && !green) || options.vBlue.value_or(false);
    const bool vert = options.vVert.value_or(false);
    const bool horiz = !vert || options.vHoriz.value_or(!vert);
    const bool lightToDark = options.vLightToDark.value_or(true);
    const int vitesse = std::max(options.Vitesse, 2);

    DrawingSurface::Settings saved;
    if (!surface.readSettings(&saved)) {
        return;
    }
    surface.setAutoRedraw(true);
    surface.setDrawWidth(2);
    surface.setDrawStyle(6);
    surface.setDrawMode(13);
    surface.setScaleMode(3);
    surface.setScaleWidth(kGrid);
    surface.setScaleHeight(kGrid);

    int c = 0;
    int y = 0;
    int x = 0;
    for (int i = 0; i < kSteps; ++i) {
        if (i >= 100 || i % vitesse == 0) {
            ++c;
        }
        const int value = lightToDark ? 255 - c : c;
        const Rgb colour{red ? value : 0, green ? value : 0, blue ? value : 0};
        if (vert) {
            surface.fillBox(0, y, kGrid, y + kStripUnits, colour);
            y += kStripUnits;
        }
        if (horiz) {
            surface.fillBox(x, 0, x + kStripUnits, kGrid, colour);
            x += kStripUnits;
        }
    }

    surface.setAutoRedraw(saved.autoRedraw);
    surface.setDrawWidth(saved.drawWidth);
    surface.setDrawStyle(saved.drawStyle);
    surface.setDrawMode(saved.drawMode);
    surface.setScaleMode(saved.scaleMode);
    surface.setScaleWidth(saved.scaleWidth);
    surface.setScaleHeight(saved.scaleHeight);
}

int panelGreyAt(double fraction) {
    const int step = std::clamp(int(fraction * kSteps), 0, kSteps - 1);
    return 255 - intensityAfter(step, 2);
}

}  // namespace varonel::core
