#pragma once
// The "Options" menu of the main window: "Sauter les silences" and
// "Normalisation du volume" with its targets. A choice takes effect from the
// next track put on air (and the next one pre-listened) and is kept in the
// options file; a file that cannot be written is told on the status line.
//
// Main thread only.

#include <QObject>
#include <QString>

#include "core/automix/SoundOptions.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace varonel::core {
class StatusLine;
class TrackPreparation;
}  // namespace varonel::core

namespace varonel::ui {

class SoundOptionsMenu final : public QObject {
    Q_OBJECT

public:
    SoundOptionsMenu(QMenuBar* bar, core::TrackPreparation& preparation,
                     core::StatusLine& statusLine, QObject* parent = nullptr);

    // Reads the options from `optionsFile`, shows them and hands them on.
    void load(const QString& optionsFile);

private:
    void show(const core::SoundOptions& options);
    void chosen();

    core::TrackPreparation& m_preparation;
    core::StatusLine& m_statusLine;
    QString m_file;
    QAction* m_skip = nullptr;
    QActionGroup* m_loudness = nullptr;
};

}  // namespace varonel::ui
