// VaronelPlayer: the two-deck player.

#include <QApplication>

#include "PlaceholderWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    varonel::ui::PlaceholderWindow window("VaronelPlayer");
    window.show();
    return app.exec();
}
