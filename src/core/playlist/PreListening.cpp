#include "PreListening.h"

#include "DeviceList.h"
#include "FileError.h"

namespace varonel::core {

PreListening::PreListening(audio::Player& wavePfl, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_player(wavePfl), m_dialogs(dialogs) {}

void PreListening::rowClicked(const QString& path) {
    btnStop_Click();
    // A file that cannot be opened is told when the operator tries to play it.
    m_path = path;
    openFile();
    m_display.buttonsEnabled = true;
    emit displayChanged();
}

void PreListening::btnPlay_Click() {
    m_display.barMaximum = m_player.lengthMs();
    m_display.barReset = true;
    emit displayChanged();
    if (!startPlaying()) {
        return;  // the operator gave up: nothing else changes
    }
    m_display.barMaximum = m_player.lengthMs();  // the file may have opened at a retry
    m_display.timer2Enabled = true;
    m_display.outputEnabled = false;
    emit displayChanged();
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
    m_display.timer2Enabled = false;
    m_display.outputEnabled = true;
    emit displayChanged();
}

void PreListening::TrackBarPFL_Release(int32_t value) {
    m_player.setPositionMs(value);
    emit displayChanged();
}

void PreListening::PFL_Click(int entry) {
    if (entry < 0) {
        return;
    }
    m_player.stop();
    m_player.setDeviceIndex(deviceIndexForEntry(entry));
}

bool PreListening::takeBarReset() {
    const bool reset = m_display.barReset;
    m_display.barReset = false;
    return reset;
}

}  // namespace varonel::core
