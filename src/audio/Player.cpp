#include "audio/Player.h"

#include <algorithm>
#include <cstring>

#include "audio/DeviceOutput.h"

namespace varonel::audio {

Player::Player(std::unique_ptr<AudioOutput> output)
    : m_output(output ? std::move(output) : std::make_unique<DeviceOutput>()) {
    m_source.setAlwaysResample(true);
    m_output->setSource(&m_stream);
}

Player::~Player() {
    m_output->close();
}

bool Player::setFileName(const std::string& path, const TrackCues& cues) {
    m_stream.setPlaying(false);
    const bool ok = m_source.setFileName(path, cues);
    m_error = m_source.lastError();
    return ok;
}

bool Player::play(std::string* error) {
    if (!m_source.hasFile()) {
        m_error = "Aucun fichier chargé";
        if (error) {
            *error = m_error;
        }
        return false;
    }
    if (m_source.atEnd()) {
        m_source.setPositionMs(0);
    }
    if (m_stream.playing()) {
        return true;  // playing already: nothing to do
    }
    // The device waits paused between plays (a track that ended leaves it
    // running): started afresh on decoded sound, it is heard at once.
    m_output->stop();
    m_source.waitForStream(kStreamWaitMs);
    m_stream.setPlaying(true);
    if (!m_output->start(&m_error)) {
        m_stream.setPlaying(false);
        if (error) {
            *error = m_error;
        }
        return false;
    }
    return true;
}

// The device is paused and what it held dropped, and the track is set back to
// the point heard last: a start goes on from there, and a cue stored now is
// where the ear is.
void Player::stop() {
    const bool wasPlaying = m_stream.playing();
    const int32_t heard = m_source.positionMs();
    m_stream.setPlaying(false);
    m_output->stop();
    if (wasPlaying && m_source.hasFile() && !m_source.atEnd()) {
        m_source.setPositionMs(heard);
    }
}

// While playing, the device is paused for the length of the decoder's seek and
// started again on the new place: a short break rather than a buffer's worth
// of silence or of the old place.
void Player::setPositionMs(int32_t ms) {
    if (!m_stream.playing()) {
        m_source.setPositionMs(ms);
        return;
    }
    m_output->stop();
    m_source.setPositionMs(ms);
    m_source.waitForStream(kStreamWaitMs);
    m_output->start(&m_error);
}

int Player::state() const {
    if (!m_source.hasFile()) {
        return kStateEmpty;
    }
    return m_stream.playing() ? kStatePlaying : kStateStopped;
}

void Player::setPitch(float percent) {
    m_pitch = std::clamp(percent, -50.0f, 50.0f);
    m_source.setSpeed(1.0 + m_pitch / 100.0);
}

// The device is opened at once, paused: the first start is then heard as soon
// as any other.
void Player::setDeviceIndex(int index) {
    const bool wasPlaying = m_stream.playing();
    m_output->close();
    m_output->setDeviceIndex(index);
    if (wasPlaying) {
        m_output->start(&m_error);
    } else {
        m_output->open(&m_error);
    }
}

bool Player::Stream::render(float* stereo, int frames, const RenderContext& context) {
    const OrderedFlag::Reading playing = m_playing.read();
    if (!playing.value()) {
        m_source.service(context, frames);
        std::memset(stereo, 0, size_t(frames) * 2 * sizeof(float));
        return true;
    }
    const bool complete = m_source.pull(stereo, frames, context);
    if (m_source.exhausted()) {
        m_playing.setIfNoNewerOrder(playing, false);
    }
    return complete;
}

}  // namespace varonel::audio
