#pragma once
// A widget as a drawing surface for the panels' shading: what is drawn goes to
// a persistent image that is painted, stretched to the widget, under the
// widget's own painting (so its border and children stay on top). The drawing
// settings are kept here; the scale maps the logical grid onto the image.

#include <QImage>
#include <QWidget>

#include "core/shared/Gradient.h"

namespace varonel::ui {

class PaintedSurface final : public core::DrawingSurface {
public:
    explicit PaintedSurface(QWidget* widget);

    bool readSettings(Settings* settings) const override;
    void setAutoRedraw(bool on) override;
    void setDrawWidth(int width) override { m_settings.drawWidth = width; }
    void setDrawStyle(int style) override { m_settings.drawStyle = style; }
    void setDrawMode(int mode) override { m_settings.drawMode = mode; }
    void setScaleMode(int mode) override { m_settings.scaleMode = mode; }
    void setScaleWidth(double width) override { m_settings.scaleWidth = width; }
    void setScaleHeight(double height) override { m_settings.scaleHeight = height; }
    void fillBox(double x1, double y1, double x2, double y2, core::Rgb colour) override;

private:
    QWidget* m_widget;
    Settings m_settings;
    QImage m_image;
};

// The panels' shading (light grey at the top to dark grey at the bottom) as
// the persistent background of `panel`; the labels and check boxes on it get
// the property "shade" ("light" or "dark": what lies under their middle) so
// that the style sheet colours their texts to stay readable.
void paintPanelShading(QWidget* panel);

}  // namespace varonel::ui
