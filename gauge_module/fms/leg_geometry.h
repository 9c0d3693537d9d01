// Leg geometry (end point, magnetic course and distance of each leg by its
// path type and leg class), the steering step that decides when the TO leg
// is passed (turn anticipation, passage abeam, altitude termination), the
// two holding state machines, the holding-entry choice, and the distance
// and time to a waypoint.
#pragma once

#include <cstdint>

#include "fms/nav_database.h"

namespace zu {

// Step of the holding state machines; 0 = not in a hold sequence.
extern int32_t LateralTurnState;
// Set by the steering whenever a leg change is requested; the holding
// state machines advance one step per computation while it is set.
extern uint8_t HoldRecompute;
// Step counter and chosen entry (1 direct, 2 teardrop, 3 parallel) of the
// leg-class-5 hold, and the leg it was started for.
extern int32_t HoldEntryStep;
extern int32_t HoldEntryKind;
extern uint32_t HoldEntryLegId;
// The leg-class-6 hold: its leg and its hold point.
extern uint32_t HoldLegId;
extern double HoldPointLatitude;
extern double HoldPointLongitude;
// The last usable previous latitude and longitude given to a computation.
extern double GeometryLastLatitude;
extern double GeometryLastLongitude;

// Leg distance without a previous position, and the shortest leg.
inline constexpr double kNoPreviousLegNm = 999.0;
inline constexpr double kMinLegNm = 0.2;

// The leg's geometry from the previous leg's end point (0.0, 0.0 = none).
void ComputeLegGeometry(LegRecord* leg, double prev_lat, double prev_lon);
void FmsSteering();
// Distance (nm) before the fix at which the turn from course a to b starts.
double TurnAnticipation(double course_a, double course_b);
// 1 direct, 2 teardrop, 3 parallel.
int32_t HoldEntryType(double inbound_course, double aircraft_course, int32_t turn_direction);
// Along the plan from the aircraft to plan leg `index` (negative behind).
double DistanceToWaypoint(int32_t index);
// Hours to plan leg `index` at the true airspeed, at least 120 kt.
double TimeToWaypoint(int32_t index);

}  // namespace zu
