#pragma once
// The busy pointer for the length of a scope: it is restored however the
// scope ends.

#include <QGuiApplication>

namespace varonel::ui {

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace varonel::ui
