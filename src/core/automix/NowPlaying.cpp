#include "core/automix/NowPlaying.h"

#include <QFileInfo>

namespace varonel::core {

NowPlaying::NowPlaying(Transport& transport, const MainAudioChain& chain, QObject* parent)
    : QObject(parent), m_transport(transport), m_chain(chain) {
    connect(&transport, &Transport::trackStarted, this, &NowPlaying::started);
    connect(&transport, &Transport::trackEnded, this, &NowPlaying::ended);
    connect(&transport, &Transport::displayChanged, this, &NowPlaying::followState);
    connect(&transport, &Transport::stopBegun, this, &NowPlaying::followState);
}

int32_t NowPlaying::positionMs() const {
    if (m_track.number == 0) {
        return 0;
    }
    return m_chain.sources[size_t(m_transport.SourceActive())].positionMs();
}

void NowPlaying::playPause() {
    if (m_transport.EnDiffusion()) {
        stop();
    } else {
        play();
    }
}

// The window shows "artist - title", the artist being the text before the
// first hyphen of the file name: the first " - " splits them back. A name
// without one is shown as " - ", and is told by its file name.
void NowPlaying::started(const QString& artisteTitre, const QString& path) {
    const qsizetype dash = artisteTitre.indexOf(QStringLiteral(" - "));
    m_track.artist = dash < 0 ? QString() : artisteTitre.left(dash);
    m_track.title = dash < 0 ? artisteTitre : artisteTitre.mid(dash + 3);
    if (m_track.title.isEmpty()) {
        m_track.title = QFileInfo(path).completeBaseName();
    }
    m_track.path = path;
    // The source that just opened the file knows its length.
    m_track.lengthMs = 0;
    for (int source = 0; source < 2; ++source) {
        const audio::FileSource& file = m_chain.sources[size_t(source)];
        if (file.hasFile() && QString::fromStdString(file.fileName()) == path) {
            m_track.lengthMs = file.lengthMs();
        }
    }
    m_track.number = ++m_count;
    emit trackChanged();
    followState();
}

// A track that ends during a transition hands over to the next; once off
// air, the last one heard leaves nothing on air.
void NowPlaying::ended() {
    if (m_transport.EnDiffusion() || m_track.number == 0) {
        return;
    }
    m_track = Track();
    emit trackChanged();
}

void NowPlaying::followState() {
    if (m_transport.EnDiffusion() != m_playing) {
        m_playing = m_transport.EnDiffusion();
        emit playingChanged();
    }
}

}  // namespace varonel::core
