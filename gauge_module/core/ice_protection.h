// Ice and rain protection: the panel's switch state that other systems and
// the saved flight read. The protection step itself (boots, heaters, pitot
// heat, intake doors and their lights) joins this file pair when it lands.
#pragma once

#include <cstdint>

namespace zu {

// Pitot heat switches, 0 off / 255 on (toggled by the anti-ice panel, saved
// with the flight under these names).
extern int32_t Antiice_sys_pitot1_ice_sw;
extern int32_t Antiice_sys_pitot2_ice_sw;

// True for a value a pitot heat switch can hold (0 or 255).
constexpr bool IsPitotSwitchValue(int32_t v) {
    return v == 0 || v == 255;
}

// The anti-ice panel's selector, -2..+2 (one of the panel words the
// protection step keeps); any position but 0 shifts the attitude displays'
// speed-scale pointer.
extern int32_t IceProtectionAntiIceSelector;

}  // namespace zu
