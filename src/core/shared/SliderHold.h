#pragma once
// `GlissementEnCours`: the operator holds one of the main window's position
// sliders, the track on air's or pre-listening's. While it is held no tick moves
// either slider; one flag for both, shared by the transport and pre-listening.

namespace varonel::core {

struct SliderHold {
    bool held = false;
};

}  // namespace varonel::core
