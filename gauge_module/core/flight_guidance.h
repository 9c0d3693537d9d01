// Flight guidance: modes, side blocks and the values the flight management
// system exchanges with it.
#pragma once

#include <cstdint>

#include "core/nav_sources.h"

namespace zu {

// Lateral mode of each FGC (7 none, 5 the FMS lateral mode).
extern int32_t FGC_comp_AP1_lateral_mode;
extern int32_t FGC_comp_AP2_lateral_mode;

// One FGC's side block: the coupled side (1, 2, or 3 during a dual
// approach), the side whose source the source buttons change, and the
// navigation source it flies.
struct FgcSideRecord {
    int32_t coupled_side;
    int32_t nav_select_side;
    NavSourceRecord* nav_source;
};
extern FgcSideRecord FgcSide1;
extern FgcSideRecord FgcSide2;

// The active leg's turn direction (1 or 2) handed over by the flight
// management system; 0 on slot rebuilds.
extern uint32_t FgcFmsLegParam1;
extern uint32_t FgcFmsLegParam2;

// Wind components for the navigation displays and the map heading value
// (drift angle, degrees) that the FMS adds to its reference course in LNAV.
struct MapDisplayStateRecord {
    float wind_y;
    float wind_x;
    double map_value;
};
extern MapDisplayStateRecord MapDisplayState;

// Frames left before the nav-receiver station look-up may run again.
extern int32_t RadioLookupHoldoff;

}  // namespace zu
