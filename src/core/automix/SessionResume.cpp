#include "core/automix/SessionResume.h"

#include <algorithm>

#include "core/shared/TrackNaming.h"

namespace varonel::core {

void restoreSession(const ResumeState& state, PlaylistModel& playlist, Transport& transport) {
    playlist.clear();
    for (const PlaylistRow& row : state.rows) {
        playlist.append(row);
    }
    if (transport.MixIntelligent() != state.mixIntelligent) {
        transport.CheckAutoMix_Click(state.mixIntelligent);
    }
    // Without a request: the playlist must come back as it was.
    transport.setRequetteAuto(state.requetteAuto);
    transport.CalculTiming();
}

ResumeChoice askResume(const ResumeState& state, Dialogs& dialogs) {
    const QString track = state.track.artist + QStringLiteral(" - ") + state.track.title;
    const QString text =
        QStringLiteral(
            "La diffusion s'est interrompue sans que Varonel soit fermé, pendant "
            "« %1 » (à %2).\n\n"
            "Reprendre ce titre quelques secondes avant l'endroit où il s'est arrêté "
            "(Oui), passer au titre suivant (Non), ou ne pas reprendre la diffusion "
            "(Annuler) ?")
            .arg(track, FTime(state.positionMs));
    switch (dialogs.message({text, QStringLiteral("Reprise de la diffusion"),
                             MessageIcon::Exclamation, MessageButtons::YesNoCancel})) {
        case MessageAnswer::Yes:
            return ResumeChoice::Track;
        case MessageAnswer::No:
            return ResumeChoice::Next;
        default:
            return ResumeChoice::None;
    }
}

void resumeBroadcast(ResumeChoice choice, const ResumeState& state, PlaylistModel& playlist,
                     Transport& transport) {
    switch (choice) {
        case ResumeChoice::Track:
            playlist.insertAt(1, state.track);
            transport.resumeAt(std::max(state.positionMs - kResumeBackMs, 0));
            break;
        case ResumeChoice::Next:
            if (playlist.isEmpty() && transport.RequetteAuto()) {
                // The request fills what the interrupted track left empty.
                transport.setRequetteAuto(false);
                transport.P1_Click();
            }
            transport.CmdPlay_Click();
            break;
        case ResumeChoice::None:
            break;
    }
}

}  // namespace varonel::core
