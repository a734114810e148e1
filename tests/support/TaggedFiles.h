#pragma once
// Short Ogg Vorbis files carrying the artist and title tags a tagger would
// write, for the tests of names read from tags.

#include <fileref.h>
#include <sndfile.h>
#include <tag.h>

#include <QFile>
#include <QString>

#include "Synth.h"

namespace taggedfiles {

// Writes `path` with these tags (none when `artist` is empty).
inline QString writeOgg(const QString& path, const QString& artist, const QString& title) {
    const varonel::synth::Audio audio = varonel::synth::sine(440, 1.0, 0.3f);
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (file == nullptr) {
        qFatal("cannot write %s", qPrintable(path));
    }
    sf_writef_float(file, audio.samples.data(), audio.frames());
    sf_close(file);
    if (!artist.isEmpty()) {
        TagLib::FileRef ref(QFile::encodeName(path).constData());
        ref.tag()->setArtist(TagLib::String(artist.toStdString(), TagLib::String::UTF8));
        ref.tag()->setTitle(TagLib::String(title.toStdString(), TagLib::String::UTF8));
        ref.save();
    }
    return path;
}

}  // namespace taggedfiles
