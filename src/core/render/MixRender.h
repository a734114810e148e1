#pragma once
// The offline render of a whole mix: a playlist file played exactly as on air,
// through the same transport, smart mix and mixing code, in virtual time and with
// no window, into a 16-bit stereo WAV file.
//
//     Varonel --render PLAYLIST --output MIX.wav [--exit-point N]
//             [--smart-mix PERCENT | --no-smart-mix] [--log FILE]
//             [--no-trim] [--loudness off|-23|-18|-16|-14]
//             [--request FOLDER] [--hours N] [--no-output]
//
// With --request, the automatic request tops the playlist up from FOLDER with
// its switch on, as on air (PLAYLIST may then be left out); --hours ends the
// mix after N hours; --no-output renders without writing the audio anywhere
// (a render of days, for its track lines and its log).

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

#include "core/automix/SoundOptions.h"

namespace varonel::core {

struct RenderOptions {
    QString playlist;
    QString output;
    int exitPointSeconds = 2;  // as after start-up, with the smart mix on
    bool smartMix = true;
    int smartMixPercent = 50;
    QString log;       // the as-run log's lines go there when given
    QString request;   // the request's folder, "" for none
    double hours = 0;  // 0: until the playlist runs out
    bool noOutput = false;
    // As the window's Options menu has them; the defaults are the window's.
    SoundOptions sound;
    // Where what is known of each track is kept between runs; "" for nowhere.
    QString trackCacheFile;
};

// Exit statuses of the render.
inline constexpr int kRenderOk = 0;
inline constexpr int kRenderFailed = 2;

// Reads the options after the program name. Nothing, with a one-line reason in
// *error, when they are wrong.
std::optional<RenderOptions> parseRenderOptions(const QStringList& arguments, QString* error);

// What --help prints.
QString renderHelpText();

// Renders the mix. Prints a line per track as it goes on air and a last line
// when the final stop begins on `out`, a line per skipped track and any failure
// on `err`. Returns kRenderOk or kRenderFailed.
int renderMix(const RenderOptions& options, QTextStream& out, QTextStream& err);

}  // namespace varonel::core
