#pragma once
// A session that did not end cleanly comes back: its playlist exactly, its
// request and smart mix switches, and, when it was on air, one question to the
// operator: resume the track that was on air from a few seconds before where
// it was, go on with the next one, or leave the air silent.
//
// Main thread only.

#include "core/automix/ResumeState.h"
#include "core/automix/Transport.h"
#include "core/playlist/PlaylistModel.h"
#include "core/shared/Dialogs.h"

namespace varonel::core {

enum class ResumeChoice { Track, Next, None };

// The track that was on air starts again this long before where it was.
inline constexpr int32_t kResumeBackMs = 3000;

// The playlist becomes the state's rows, and the switches take its values.
void restoreSession(const ResumeState& state, PlaylistModel& playlist, Transport& transport);

// The question, for a state that was on air.
ResumeChoice askResume(const ResumeState& state, Dialogs& dialogs);

// Starts the broadcast as chosen: the track that was on air put back at the
// top and started before where it was, or the playlist from its top.
void resumeBroadcast(ResumeChoice choice, const ResumeState& state, PlaylistModel& playlist,
                     Transport& transport);

}  // namespace varonel::core
