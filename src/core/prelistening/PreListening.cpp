#include "core/prelistening/PreListening.h"

#include "core/shared/DeviceList.h"
#include "core/shared/FileError.h"

namespace varonel::core {

PreListening::PreListening(audio::Player& wavePfl, Dialogs& dialogs, TickSource& ticks,
                           SliderHold& glissement, QObject* parent)
    : QObject(parent),
      m_player(wavePfl),
      m_dialogs(dialogs),
      m_glissement(glissement),
      m_timer2(ticks.makeTick(QStringLiteral("Timer2"), kTimer2PeriodMs, [this] { follow(); })) {}

PreListening::~PreListening() = default;

// Every change shows where the player stands now: a slider that waited for the
// next tick would show the previous track's position, or the one before a seek.
void PreListening::shown() {
    m_display.barMaximum = m_player.lengthMs();
    follow();
}

void PreListening::follow() {
    if (!m_glissement.held) {
        m_display.barValue = m_player.positionMs();
    }
    emit displayChanged();
}

void PreListening::rowClicked(const QString& path) {
    btnStop_Click();
    // A file that cannot be opened is told when the operator tries to play it.
    m_path = path;
    openFile();
    m_display.buttonsEnabled = true;
    shown();
}

void PreListening::btnPlay_Click() {
    shown();
    if (!startPlaying()) {
        return;  // the operator gave up: nothing else changes
    }
    m_timer2->start();
    m_display.outputEnabled = false;
    shown();  // the file may have opened at a retry
}

// Plays, showing the player's own text after each failure; the operator may
// try again or give up, so a failure that persists never loops by itself. A
// file that did not open is named with the reason, and a retry opens it again:
// it may have come back since the row was clicked.
bool PreListening::startPlaying() {
    std::string error;
    while (!m_player.play(&error)) {
        QString text = QString::fromStdString(error);
        const bool noFile = m_player.state() == audio::Player::kStateEmpty && !isBlankPath(m_path);
        if (noFile) {
            text += QStringLiteral(".\n") + fileErrorText(m_path, m_openError);
        }
        const Message message{text, QString(), MessageIcon::None, MessageButtons::RetryCancel};
        if (m_dialogs.message(message) != MessageAnswer::Retry) {
            return false;
        }
        if (noFile) {
            openFile();
        }
    }
    return true;
}

void PreListening::openFile() {
    m_openError.clear();
    audio::TrackCues cues;
    cues.gain = m_gain ? m_gain(m_path) : 1.0f;
    if (!m_player.setFileName(m_path.toStdString(), cues)) {
        m_openError = QString::fromStdString(m_player.lastError());
    }
}

void PreListening::btnStop_Click() {
    m_player.stop();
    m_timer2->stop();
    m_display.outputEnabled = true;
    shown();
}

void PreListening::TrackBarPFL_Release(int32_t value) {
    m_glissement.held = false;
    m_player.setPositionMs(value);
    follow();
}

void PreListening::PFL_Click(int entry) {
    if (entry < 0) {
        return;
    }
    m_player.stop();
    m_player.setDeviceIndex(deviceIndexForEntry(entry));
}

}  // namespace varonel::core
