#pragma once
// What the transport shows in the main window, as plain values: the window copies
// them into its labels, sliders and buttons whenever the transport says they
// changed, and tests read them directly.

#include <QString>
#include <cstdint>

namespace varonel::core {

// Pictures of the start and stop buttons, as indices of the window's picture set.
enum ButtonPicture {
    kPlayIdle = 0,
    kPlayOnAir = 1,
    kStopIdle = 2,
    kStopOnAir = 3,
    kStopInProgress = 4,
};

struct TransportDisplay {
    QString artiste = QStringLiteral("Artiste - Titre");  // LblArtiste
    QString position = QStringLiteral("--:--");           // LblPo
    QString reste = QStringLiteral("--:--");              // LblReste
    QString temps = QStringLiteral("00:00");              // LblTemps
    QString pourCent = QStringLiteral("%");               // LblPourCent
    int32_t trackBarMaximum = 0;                          // TrackBar
    int32_t trackBarValue = 0;
    bool outputEnabled = true;  // Output
    int playPicture = kPlayIdle;
    int stopPicture = kStopIdle;
    bool requetteAuto = false;    // picture of P1: on or off
    bool mixIntelligent = false;  // LblPourCent and MixagePourCent shown
    int exitPointSeconds = 4;     // PS and LblPS
};

}  // namespace varonel::core
