#pragma once
// One deck's controls in the player's window, each named with the deck's index
// (0 for deck A, 1 for deck B): the panel `PlatineA` with the artist
// `LblArtiste`, the time panel `Picture1` (time left `Temp`, length `Label2`,
// `Label1`), the progress bar `VuMettre`, the pitch slider `Pitch` and its text
// `MemoPitch`, the toolbar `bar1`; and on the window around it the position
// slider `Slider`, the cue point `CueInfo` and the deck's two meters
// `MMMeterX`. The deck's output list comes from the window's output lists.
// It forwards the operator's gestures to the decks and shows what they say.
//
// Main thread only.

#include <QObject>
#include <array>

#include "core/browser/BrowserModel.h"
#include "core/player/PlayerDecks.h"

class QLabel;
class QSlider;
class QToolBar;
class QFrame;

namespace varonel::ui {

class DeckMeter;
class ProgressBar;

class DeckPanel final : public QObject {
    Q_OBJECT

public:
    DeckPanel(QWidget* host, core::PlayerDecks& decks, int deck, const core::BrowserModel* browser);

    // Copies the deck's display into its controls.
    void applyDisplay();
    // Reads the deck player's two levels into its meters.
    void refreshLevels();

protected:
    // A click on the deck's label, picture or panel selects the deck.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanel(QWidget* host, const core::BrowserModel* browser);
    void buildAround(QWidget* host, const core::BrowserModel* browser);
    void buildToolbar();
    void connectSliders();
    void showSelected(bool selected);

    core::PlayerDecks& m_decks;
    const int m_deck;
    int m_shownSelected = -1;
    QFrame* m_platine = nullptr;
    QFrame* m_picture1 = nullptr;
    QLabel* m_lblArtiste = nullptr;
    QLabel* m_temp = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_memoPitch = nullptr;
    QLabel* m_cueInfo = nullptr;
    ProgressBar* m_vuMettre = nullptr;
    QSlider* m_pitch = nullptr;
    QSlider* m_slider = nullptr;
    QToolBar* m_bar1 = nullptr;
    std::array<DeckMeter*, 2> m_meters{};
};

}  // namespace varonel::ui
