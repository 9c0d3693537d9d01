// Switch state of the bleed-air and air-conditioning panel that the
// systems and instruments read.
#pragma once

#include <cstdint>

namespace zu {

// Toggles 0/255, initial 255: [0] and [1] engine 1 and 2 bleed, [2] the
// air-conditioning switch, [3] the large switch read by the engine sound.
extern int32_t PneuPanelSwitches[4];

// Zone temperature controls: [0] zone 1 manual step (-1, 0, +1), [1] zone 1
// mode (0 neither, 1 manual, 2 automatic), [2] and [3] the same for zone 2.
// Zone 1 is the flight compartment, zone 2 the cabin.
extern int32_t PneuSwitch[4];
// [0] bleed-flow knob 0..9 (flow limit 5 x the setting), [1] and [2] the
// zone 1 and zone 2 temperature knobs -5..+5 (target 4 x value + 20 C).
extern int32_t PneuKnob[3];
// Source selector of the duct-temperature indicator, 0..2 (initial 1).
extern int32_t TempIndicatorSelector;

}  // namespace zu
