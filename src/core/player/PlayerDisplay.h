#pragma once
// What the two-deck player shows, as plain values: the window copies them into
// its controls whenever the decks say they changed, and tests read them.

#include <QString>
#include <array>
#include <cstdint>

namespace varonel::core {

inline constexpr int kDeckCount = 2;
// The pitch slider's range, in half percents.
inline constexpr int kPitchMin = -30;
inline constexpr int kPitchMax = 30;

struct DeckDisplay {
    QString artiste;                         // LblArtiste
    QString temp = QStringLiteral("--:--");  // Temp: time left while playing
    QString length;                          // Label2: blank until a track is loaded
    QString cueInfo = QStringLiteral("00:00:00");
    QString memoPitch = QStringLiteral("0");
    int pitch = 0;  // Pitch slider, -30 to 30
    int32_t sliderMaximum = 0;
    int32_t sliderValue = 0;
    bool sliderEnabled = true;
    bool outputEnabled = true;
    bool selected = false;  // highlighted as the deck the commands act on
    // VuMettre: scale in seconds set at each start, bar up to `progressSeconds`.
    double progressScale = 1.0;
    double progressSeconds = 0.0;
};

struct PlayerDisplay {
    std::array<DeckDisplay, kDeckCount> decks;
    std::array<QString, 5> statusPanels{QString(), QString(), QString(), QStringLiteral(" Heure "),
                                        QString()};
    QString info;  // state code of the selected deck's player
    // The joystick's last reports.
    QString lblBtn;
    QString x;
    QString y;
    QString ecart;
};

}  // namespace varonel::core
