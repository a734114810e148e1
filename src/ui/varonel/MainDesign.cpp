#include "ui/varonel/MainDesign.h"

namespace varonel::ui {

DesignTable mainDesignTable() {
    return DesignTable({
        // Top band, left: the transport buttons, the request switch, the clock
        // and the level meters, in their panel (coordinates inside Picture2).
        {"Picture2", {60, 60, 3540, 1860}},
        {"CmdPlay", {90, 90, 840, 840}},
        {"CmdStop", {960, 90, 840, 840}},
        {"CmdStopImmediat", {1830, 90, 840, 840}},
        {"P1", {2760, 150, 720, 720}},
        {"LblTime", {90, 990, 3360, 450}},
        {"MMLevelX1", {90, 1500, 3360, 135}},
        {"MMLevelX2", {90, 1680, 3360, 135}},
        // Top band, right: what is on air (coordinates inside Picture1).
        {"Picture1", {3660, 60, 8280, 1860}},
        {"LblArtiste", {150, 90, 7980, 540}},
        {"LblPo", {150, 690, 1950, 540}},
        {"LblReste", {2190, 690, 5940, 540}},
        {"TrackBar", {150, 1350, 7980, 390}},
        // Shown over the time left's free side while the main output has lost
        // its device.
        {"LblSortiePerdue", {2250, 660, 4200, 600}},
        // Middle band, left: the main output, the exit point, the smart mix,
        // the playlist's total time and the duration switch of the browser.
        {"LblSortie", {60, 2010, 3540, 240}},
        {"Output", {60, 2250, 3540, 360}},
        {"LblPointSortie", {60, 2700, 2700, 270}},
        {"LblPS", {2940, 2670, 660, 330}},
        {"PS", {60, 3000, 3540, 330}},
        {"CheckAutoMix", {60, 3420, 1980, 360}},
        {"MixagePourCent", {2070, 3420, 840, 360}},
        {"LblPourCent", {2940, 3420, 660, 360}},
        {"LblTempsTitre", {60, 3870, 1800, 240}},
        {"LblTemps", {60, 4110, 1800, 360}},
        {"CheckDuree", {1920, 3930, 1680, 510}},
        // Middle band, right: the playlist.
        {"PL", {3660, 1980, 8280, 2490}},
        // Bottom band, left: drive and folder, then pre-listening and the
        // catalogue.
        {"Drive1", {60, 4560, 3540, 360}},
        {"Dir1", {60, 4950, 3540, 1680}},
        {"Label2", {60, 6690, 3540, 240}},
        {"PFL", {60, 6930, 3540, 360}},
        {"btnPlay", {60, 7350, 510, 450}},
        {"btnStop", {600, 7350, 510, 450}},
        {"TrackBarPFL", {1170, 7410, 1890, 360}},
        // The catalogue window's button, beside pre-listening.
        {"P3", {3120, 7320, 480, 480}},
        // Bottom band, right: the browser list.
        {"ListRech", {3660, 4560, 8280, 3270}},
    });
}

}  // namespace varonel::ui
