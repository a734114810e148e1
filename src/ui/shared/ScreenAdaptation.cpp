#include "ui/shared/ScreenAdaptation.h"

#include <QGuiApplication>
#include <QScreen>

namespace varonel::ui {

core::WindowRule adaptToScreen(QMainWindow* window, QWidget* centre, DesignTable& table,
                               QSize screen, ScreenRule rule) {
    const core::ControlLookup lookup = [&table](const QString& name) { return table.find(name); };
    const core::WindowRule decided = rule(double(screen.width()) * core::kTwipsPerPixel,
                                          double(screen.height()) * core::kTwipsPerPixel, lookup);
    table.applyTo(centre);
    centre->setMinimumSize(table.extentOn(centre));
    if (decided.normalState) {
        window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
        const QRect place = decided.window.toPixels();
        window->resize(place.size());
        window->move(place.topLeft());
    }
    return decided;
}

QSize screenSize(int widthOverride) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    QSize size = screen ? screen->geometry().size() : QSize(0, 0);
    if (widthOverride >= 0) {
        size.setWidth(widthOverride);
        size.setHeight(std::max(size.height(), 600));
    }
    return size;
}

}  // namespace varonel::ui
