#pragma once
// The two decks of the player and the state they share: the selected deck
// `PlatineCourante` that every command acts on, each deck's cue point and held
// slider, and the track last picked up in the browser. Each deck loads a track,
// starts it from where it stands or from its cue point, stops it, stores a cue
// point, seeks and changes its pitch (varispeed, -15 % to +15 % in half
// percents). The decks never act on each other.
//
// Main thread only; the players' sound is pulled by their outputs' threads.

#include <QObject>
#include <array>

#include "audio/Player.h"
#include "core/browser/BrowserRow.h"
#include "core/player/PlayerDisplay.h"
#include "core/shared/Dialogs.h"

namespace varonel::core {

// The buttons of a deck's toolbar `bar1`, in their order.
enum class Bar1Button { Stop, Play, Cue, CuePlay };

class PlayerDecks final : public QObject {
    Q_OBJECT

public:
    PlayerDecks(audio::Player& deckA, audio::Player& deckB, Dialogs& dialogs,
                QObject* parent = nullptr);

    // --- Routines ---

    // Loads MorceauGlisse onto the selected deck, unless that deck plays.
    void LoadAudioFile();
    // Starts the selected deck from where its player stands, when its file is there.
    void BtnPLay();

    // --- Events of the window ---

    void bar1_ButtonClick(int deck, Bar1Button button);
    // A click on a deck's LblArtiste, Picture1 or PlatineA.
    void selectDeck(int deck);
    // A click on meter 0 to 3: meters 0 and 1 are deck A's, 2 and 3 deck B's.
    void MMMeterX_Click(int meter);
    // The Pitch slider of `deck` reports a new value (the operator's or the program's).
    void Pitch_Change(int deck, int value);
    void Slider_Press(int deck);
    void Slider_Release(int deck, int32_t value);
    void Output_Click(int deck, int entry);

    // --- Track list ---

    // The browser row picked up: it stays until the next pick-up, and every
    // drop loads it.
    void setMorceauGlisse(const BrowserRow& row) { m_morceauGlisse = row; }
    const BrowserRow& MorceauGlisse() const { return m_morceauGlisse; }
    // A track dropped on a deck's label, picture or panel.
    void dropOnDeck(int deck);
    // A dragged track passing over a meter loads it onto that meter's deck.
    void meterDragPass(int meter);

    // --- Used by the tick, the keys and the joystick ---

    // Sets a Pitch slider as the program does, kept within -30 and 30; its
    // change handling runs when the value changes.
    void setPitchValue(int deck, int value);
    void stopDeck(int deck);
    void storeCue(int deck);
    void cuePlay(int deck);

    int PlatineCourante() const { return m_platineCourante; }
    void setPlatineCourante(int deck);
    int32_t PointCue(int deck) const { return m_pointCue[size_t(deck)]; }
    bool CurseurTenu(int deck) const { return m_curseurTenu[size_t(deck)]; }
    audio::Player& player(int deck) { return *m_players[size_t(deck)]; }
    const audio::Player& player(int deck) const { return *m_players[size_t(deck)]; }
    bool playing(int deck) const;
    bool anyPlaying() const { return playing(0) || playing(1); }

    PlayerDisplay& display() { return m_display; }
    const PlayerDisplay& display() const { return m_display; }
    // Tells the window that display() changed.
    void changed() { emit displayChanged(); }

signals:
    void displayChanged();

private:
    DeckDisplay& deck(int d) { return m_display.decks[size_t(d)]; }
    bool startPlaying(int d);

    std::array<audio::Player*, kDeckCount> m_players;
    Dialogs& m_dialogs;
    int m_platineCourante = 0;
    std::array<int32_t, kDeckCount> m_pointCue{};
    std::array<bool, kDeckCount> m_curseurTenu{};
    BrowserRow m_morceauGlisse;
    PlayerDisplay m_display;
};

// The deck a meter belongs to.
constexpr int deckOfMeter(int meter) {
    return meter < 2 ? 0 : 1;
}

// The pitch text: half the slider value in the user's number format ("1,5" in
// French, "-3", "0").
QString memoPitchText(int sliderValue);

}  // namespace varonel::core
