#pragma once
// The mixer's track browser: the shared drive, folder and file lists feeding
// `ListRech`, with what only the mixer does with them. The duration switch
// `CheckDuree`; a row clicked is loaded for pre-listening; a row double-clicked
// goes to the end of the playlist; and the automatic request `Requette` takes
// random rows for the playlist.
//
// Main thread only.

#include <QObject>
#include <functional>

#include "core/browser/BrowserModel.h"
#include "core/browser/DurationReader.h"
#include "core/playlist/PlaylistModel.h"
#include "core/prelistening/PreListening.h"
#include "core/request/RequetteRound.h"
#include "core/shared/Clock.h"
#include "core/shared/StatusLine.h"
#include "core/shared/TrackLengthReader.h"
#include "ui/shared/TrackBrowser.h"

class QPushButton;

namespace varonel::ui {

class PlaylistCommands;

class MixerBrowser final : public QObject {
    Q_OBJECT

public:
    // `status` hears what a request could not do (a file it could not read,
    // nothing left to take).
    MixerBrowser(QWidget* host, core::PlaylistModel& playlist, PlaylistCommands& commands,
                 core::PreListening& preListening, core::StatusLine& status,
                 core::TrackLengthReader reader, std::function<void()> calculTiming);

    // What the request remembers between runs (the air's history, the rules,
    // the catalogue, the round), and whether its switch is on: then it never
    // runs dry.
    void setRound(core::RequetteRound* round, std::function<bool()> switchOn) {
        m_round = round;
        m_switchOn = std::move(switchOn);
    }
    // Tops the playlist up with random rows of the browser, then recomputes
    // the total time.
    void Requette();
    void CheckDuree_Click();

    TrackBrowser& browser() { return m_browser; }
    core::BrowserModel& model() { return m_model; }
    core::DurationReader* durations() { return &m_durations; }

private:
    void ListRech_Click(int row);
    void ListRech_DblClick(int row);
    void showDureeState();

    core::BrowserModel m_model;
    core::DurationReader m_durations;
    TrackBrowser m_browser;
    core::PlaylistModel& m_playlist;
    PlaylistCommands& m_commands;
    core::PreListening& m_preListening;
    core::StatusLine& m_status;
    core::TrackLengthReader m_reader;
    // The request's 1.5 s run in real time, with the window's events: a
    // virtual clock (the offline render, the tests) does not move inside it.
    core::SystemClock m_clock;
    std::function<void()> m_calculTiming;
    core::RequetteRound* m_round = nullptr;
    std::function<bool()> m_switchOn;
    QPushButton* m_checkDuree;
};

}  // namespace varonel::ui
