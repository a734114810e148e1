#pragma once
// The mixer's main window for window tests: loaded with its program folder in
// a temporary directory, on an offline output and a virtual clock, with the
// scripted dialogs.

#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

#include "FileBytes.h"
#include "ScriptedDialogs.h"
#include "audio/OfflineOutput.h"
#include "core/render/VirtualDriver.h"
#include "core/render/VirtualTicks.h"
#include "ui/varonel/MainWindow.h"
#include "ui/varonel/PlaylistView.h"

namespace mixerrig {

using namespace varonel;
using varonel::ui::MainWindow;
using varonel::ui::PlaylistView;
using Row = varonel::core::PlaylistRow;

// A main window loaded with its program folder in a temporary directory, on an
// offline output and a virtual clock unless another output is given: a device
// output plays in real time, on the system's clock and the window's own timers.
// `ini`, when not empty, is written as the settings file before the load.
// Messages go to the scripted dialogs unless `realDialogs` is given.
// `cheminAppli`, when not empty, is the program folder instead of a new one (a
// second session in the folder of a first).
struct Rig {
    explicit Rig(int screenWidth = 1024, std::unique_ptr<audio::AudioOutput> output = nullptr,
                 const QByteArray& ini = QByteArray(),
                 std::unique_ptr<audio::Player> wavePfl = nullptr,
                 core::Dialogs* realDialogs = nullptr, const QString& cheminAppli = QString())
        : programFolder(cheminAppli.isEmpty() ? folder.path() : cheminAppli) {
        if (!ini.isEmpty() && !filebytes::write(iniPath(), ini)) {
            qFatal("cannot write the settings file");
        }
        // Every track whole at its own level, whatever the background analysis
        // has done by then: the window's tests stay the same at every run.
        if (!QFile::exists(programFolder + "/Varonel.conf") &&
            !filebytes::write(programFolder + "/Varonel.conf",
                              "[Son]\nSauterSilences=false\nNormalisation=off\n")) {
            qFatal("cannot write the options file");
        }
        auto clock = std::make_unique<core::VirtualClock>();
        core::VirtualClock& virtualClock = *clock;
        if (output == nullptr) {
            output = std::make_unique<audio::OfflineOutput>(44100);
            ticks = std::make_unique<core::VirtualTicks>(virtualClock);
        }
        window = std::make_unique<MainWindow>(
            std::make_unique<core::MainAudioChain>(std::move(output)),
            ticks ? std::unique_ptr<core::Clock>(std::move(clock))
                  : std::make_unique<core::SystemClock>(),
            realDialogs != nullptr ? *realDialogs : dialogs,
            wavePfl ? std::move(wavePfl)
                    : std::make_unique<audio::Player>(std::make_unique<audio::OfflineOutput>()),
            ticks.get());
        if (ticks) {
            driver = std::make_unique<core::VirtualDriver>(window->chain(), virtualClock, *ticks);
        }
        MainWindow::LoadOptions options;
        options.cheminAppli = programFolder;
        options.screenWidth = screenWidth;
        options.desktopFolder = folder.filePath("Bureau");
        loaded = window->Form_Load(options);
    }

    template <typename T>
    T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    QString label(const QString& name) const { return find<QLabel>(name)->text(); }
    void trigger(const QString& action) const { find<QAction>(action)->trigger(); }
    void click(const QString& button) const { find<QAbstractButton>(button)->click(); }
    bool enabled(const QString& name) const { return find<QWidget>(name)->isEnabled(); }
    PlaylistView* pl() const { return find<PlaylistView>("PL"); }
    QString iniPath() const { return programFolder + QStringLiteral("/Varonel.Ini"); }
    QPoint rowCentre(int row) const {
        return pl()->visualItemRect(pl()->topLevelItem(row - 1)).center();
    }

    // Cell `column` of every row of PL, top to bottom.
    QStringList column(int column) const {
        QStringList cells;
        for (int i = 0; i < pl()->topLevelItemCount(); ++i) {
            cells.append(pl()->topLevelItem(i)->text(column));
        }
        return cells;
    }
    QStringList artists() const { return column(Row::kArtistColumn); }

    // The tree and the model must always agree, cell by cell.
    bool mirrorsModel() const {
        const core::PlaylistModel& model = window->playlist();
        bool same = model.count() == pl()->topLevelItemCount();
        for (int c = 0; same && c < Row::kColumnCount; ++c) {
            for (int row = 1; row <= model.count(); ++row) {
                same = same && column(c)[row - 1] == model.row(row).cell(c);
            }
        }
        return same;
    }

    QTemporaryDir folder;
    QString programFolder;
    ScriptedDialogs dialogs;
    // Virtual ticks with the offline output, the window's own timers otherwise.
    std::unique_ptr<core::VirtualTicks> ticks;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<core::VirtualDriver> driver;
    bool loaded = false;
};

// Shows a window and makes it the active one.
inline void activate(QWidget* window) {
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QVERIFY2(QTest::qWaitForWindowActive(window), qPrintable(window->objectName()));
}

}  // namespace mixerrig
