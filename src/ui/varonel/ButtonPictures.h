#pragma once
// The pictures of the main window's picture buttons, drawn at run time so that
// no image file has to ship: the start and stop set `Btn` (indexed as
// core::ButtonPicture), the two pictures of the automatic request switch and
// the catalogue button's.

#include <QList>
#include <QPixmap>

namespace varonel::ui {

// Five pictures: start idle, start on air (lit green), stop idle, stop on air
// (lit red), stop in progress (amber).
QList<QPixmap> makeTransportPictures(int size);

// Chain-now button: two arrows running into each other.
QPixmap makeChainPicture(int size);

// Automatic request switch: picture 0 off, picture 1 on.
QList<QPixmap> makeRequestPictures(int size);

// Catalogue button: a magnifying glass over a list.
QPixmap makeCataloguePicture(int size);

}  // namespace varonel::ui
