#pragma once
// The player's window for window tests: loaded with its program folder in a
// temporary directory, on a virtual clock, with the scripted dialogs; its decks
// on offline outputs unless a backend is given (the program's own decks then
// play on it).

#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

#include "FakeDeviceBackend.h"
#include "FileBytes.h"
#include "ScriptedDialogs.h"
#include "audio/OfflineOutput.h"
#include "ui/player/PlayerWindow.h"

namespace playerrig {

using namespace varonel;
using varonel::ui::PlayerWindow;

// `ini`, when not null, is written as the settings file before the load.
struct PlayerRig {
    explicit PlayerRig(FakeDeviceBackend* backend = nullptr, const QByteArray& ini = {},
                       int screenWidth = 800) {
        if (!ini.isNull() && !filebytes::write(folder.filePath("PlayerAB.Ini"), ini)) {
            qFatal("cannot write the settings file");
        }
        PlayerWindow::DeckPlayers decks;
        if (backend) {
            decks = PlayerWindow::deckPlayers(*backend);
        } else {
            for (auto& deck : decks) {
                deck = std::make_unique<audio::Player>(std::make_unique<audio::OfflineOutput>());
            }
        }
        auto ownedClock = std::make_unique<core::VirtualClock>();
        clock = ownedClock.get();
        window = std::make_unique<PlayerWindow>(std::move(ownedClock), dialogs, std::move(decks[0]),
                                                std::move(decks[1]));
        loaded = window->Form_Load({.cheminAppli = folder.path(), .screenWidth = screenWidth});
    }
    template <typename T>
    T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    // Clicks a button of a deck's toolbar.
    void press(int deck, const char* button) const {
        auto* bar = find<QToolBar>(QStringLiteral("bar1%1").arg(deck));
        auto* action = bar->findChild<QAction*>(QLatin1String(button));
        qobject_cast<QAbstractButton*>(bar->widgetForAction(action))->click();
    }
    QString text(const QString& name) const { return find<QLabel>(name)->text(); }
    // Loads `path` on `deck` as a drop does.
    void load(int deck, const QString& path) const {
        window->decks().setMorceauGlisse({"Dupont", "Valse", QString(), path});
        window->decks().dropOnDeck(deck);
    }
    // Shows the window and makes it the active one.
    void activate() const {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    // Moves the clock on and runs the 50 ms tick.
    void tick(int ms = core::PlayerMainTimer::kPeriodMs) const {
        clock->advanceMs(ms);
        window->mainTimer().Timer1_Timer();
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    core::VirtualClock* clock = nullptr;
    std::unique_ptr<PlayerWindow> window;
    bool loaded = false;
};

}  // namespace playerrig
