#pragma once
// Small makers of the main window's named controls, shared by its parts.

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace varonel::ui {

inline QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

inline QFrame* makePanel(const QString& name, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    return panel;
}

// A button that shows a picture. The keys of the transport are read by its
// tick; a focused button would also take Space or Enter as its own click.
inline QPushButton* makePictureButton(const QString& name, const QString& toolTip, int pictureSize,
                                      QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setIconSize(QSize(pictureSize, pictureSize));
    button->setFocusPolicy(Qt::NoFocus);
    button->setFlat(true);
    return button;
}

inline QSlider* makeSlider(const QString& name, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setFocusPolicy(Qt::NoFocus);
    return slider;
}

inline QTimer* makeTimer(const QString& name, int ms, QObject* parent) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(ms);
    return timer;
}

}  // namespace varonel::ui
