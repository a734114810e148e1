#pragma once
// A grey (or coloured) shading painted in 256 strips as a surface's persistent
// background. The surface is told to draw on a 512 by 512 grid whatever its
// size; its drawing settings are saved first and given back afterwards.

#include <optional>

namespace varonel::core {

// A colour of the shading, each channel 0 to 255.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// What the painting needs of a surface: its drawing settings and a filled box.
class DrawingSurface {
public:
    struct Settings {
        bool autoRedraw = false;  // drawing goes to a persistent image
        int drawWidth = 1;
        int drawStyle = 0;
        int drawMode = 13;
        double scaleWidth = 0.0;
        double scaleHeight = 0.0;
        int scaleMode = 1;
        bool operator==(const Settings&) const = default;
    };
    virtual ~DrawingSurface() = default;
    // False when the surface has no drawing settings: it is then left as it is.
    virtual bool readSettings(Settings* settings) const = 0;
    virtual void setAutoRedraw(bool on) = 0;
    virtual void setDrawWidth(int width) = 0;
    virtual void setDrawStyle(int style) = 0;
    virtual void setDrawMode(int mode) = 0;
    virtual void setScaleMode(int mode) = 0;
    virtual void setScaleWidth(double width) = 0;
    virtual void setScaleHeight(double height) = 0;
    // Fills the box between two corners, in the surface's scale.
    virtual void fillBox(double x1, double y1, double x2, double y2, Rgb colour) = 0;
};

struct GradientOptions {
    std::optional<bool> vRed;
    std::optional<bool> vGreen;
    std::optional<bool> vBlue;
    std::optional<bool> vVert;   // strips stacked from top to bottom
    std::optional<bool> vHoriz;  // strips placed from left to right
    std::optional<bool> vLightToDark;
    int Vitesse = 2;  // at least 2: the first 100 steps change every Vitesse-th
};

void Degrade(DrawingSurface& surface, const GradientOptions& options);

// The grey that the panels' shading (all channels, top to bottom, light to
// dark, Vitesse 2) gives at `fraction` of the surface's height (0 the top, 1
// the bottom), so that texts can be coloured to stay readable on it.
int panelGreyAt(double fraction);

}  // namespace varonel::core
