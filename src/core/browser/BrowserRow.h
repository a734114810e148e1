#pragma once
// One row of a track browser (`ListRech`): the track as the browser lists it,
// and as it travels from there to the playlist or to a deck.

#include <QString>

namespace varonel::core {

struct BrowserRow {
    QString artist;
    QString title;
    QString duration;  // empty unless durations were on when the row was listed
    QString path;
    QString tag{};   // "" until the automatic request takes the row, then "x"
    quint64 id = 0;  // finds the row again whatever the sort did to its place
};

}  // namespace varonel::core
