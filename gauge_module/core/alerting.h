// Alerting: the stall warning and ground-proximity state lives with the
// radio-altitude and alerting steps; these are the names the panels use for
// its flag bytes.
#pragma once

#include <cstdint>

#include "core/radio_altitude_alerting.h"

namespace zu {

// GpwsFlags bytes: [0] test request, [1] override (inverted by the
// Pilot_Panel GPWS button), [2] the override's copy that lights the button.
enum GpwsFlagByte : int { kGpwsTestRequest = 0, kGpwsOverride = 1, kGpwsOverrideCopy = 2 };

// Length of a stall-warning test started from the pilot's side panel, ticks.
inline constexpr int32_t kStallTestTicks = 35;

}  // namespace zu
