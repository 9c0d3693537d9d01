// Flight guidance: modes, self-tests and the advisories.
#pragma once

#include <cstdint>

namespace zu {

// Vertical mode of each FGC (5 none, 1 altitude hold).
extern int32_t FGC_comp_AP1_vertical_mode;
extern int32_t FGC_comp_AP2_vertical_mode;
// System self-test countdowns.
extern int32_t FGC_comp_FGC1_system_test_timer;
extern int32_t FGC_comp_FGC2_system_test_timer;
// Advisory bytes: [0], [1] air-data tests per side; [2], [3] set while the
// FGC 1 / FGC 2 supply is lost (the take-off warning tone sounds).
extern uint8_t AirDataFlags[4];
// Altitude-alert request, raised near the selected altitude and cleared by
// the warning tone.
extern uint8_t AltitudeAlertFlag;

}  // namespace zu
