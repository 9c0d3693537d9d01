#include "fms/flight_plan.h"

namespace zu {

LegList FlightPlan{};
LegRecord FmsNextLeg{};
int32_t FmsToLegIndex = -1;
int32_t FmsNextLegIndex = -1;
LegRecord FmsToLegCopy{};

}  // namespace zu
