// The flight plan: the active plan and the FROM, TO and NEXT slots that
// lateral guidance flies and the navigation displays' map shows. The
// plan's edits and sequencing complete this file pair.
#pragma once

#include <cstdint>

#include "fms/nav_database.h"

namespace zu {

// The active flight plan; FmsLegCount is its count.
extern LegList FlightPlan;
inline uint32_t& FmsLegCount = FlightPlan.count;

// List kind of a filled slot.
inline constexpr uint8_t kSlotFilled = 5;
extern LegRecord FmsNextLeg;
extern int32_t FmsToLegIndex;    // -1 = none
extern int32_t FmsNextLegIndex;  // -1 = none
// Copy of the TO slot for the map and the lateral output.
extern LegRecord FmsToLegCopy;

}  // namespace zu
