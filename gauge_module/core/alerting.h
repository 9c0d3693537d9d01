// Radio altitude, stall and ground-proximity alerting.
//
// Only the panel inputs are here so far: the stall-warning test that the
// pilot's side panel starts and the ground-proximity flags of its GPWS
// button. The alerting steps that read and count them come with their
// system.
#pragma once

#include <cstdint>

namespace zu {

struct StallWarningRecord {
    int32_t test_selector;  // 0 none, 1 side 1, 2 side 2
    int32_t test_timer;     // ticks; armed with kStallTestTicks
};
extern StallWarningRecord StallWarningState;
inline constexpr int32_t kStallTestTicks = 35;

// [0] test request, [1] override (inverted by the Pilot_Panel GPWS button),
// [2] the override's copy that lights the button.
extern uint8_t GpwsFlags[3];
enum GpwsFlag : int { kGpwsTestRequest = 0, kGpwsOverride = 1, kGpwsOverrideCopy = 2 };

}  // namespace zu
