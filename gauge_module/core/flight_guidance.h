// Flight guidance state read by the displays: the system-test countdown,
// the back-course sense, the selected headings, the wind components and the
// map heading value. The flight guidance computers complete this file pair.
#pragma once

#include <cstdint>

namespace zu {

// System-test countdown of flight guidance computer 1 (ticks; 0 = no test).
extern int32_t FGC_comp_FGC1_system_test_timer;
extern uint8_t FdBarSense;  // 1 while back course is selected

// Selected heading of each side (whole degrees).
extern int32_t FGC_comp_HSI1_heading_sel;
extern int32_t FGC_comp_HSI2_heading_sel;

// Wind components for the navigation displays and the map heading value
// (drift angle, degrees) that the FMS adds to its reference course in LNAV.
struct MapDisplayStateRecord {
    float wind_y;
    float wind_x;
    double map_value;
};
extern MapDisplayStateRecord MapDisplayState;
// Sense of the wind components: [0] 0 head wind, 1 tail wind; [1] 1 from
// the left (blowing right), 0 from the right.
extern uint8_t WindComponentSense[2];

}  // namespace zu
