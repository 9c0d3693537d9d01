// Radio altitude, stall warning and ground-proximity alerting.
//
// Only the values other systems and the panels read and write are here so
// far; the alerting steps come with their system.
#pragma once

#include <cstdint>

#include "core/radio_altitude_alerting.h"

namespace zu {

// Stall-warning flag per side (non-zero: stall warning).
extern uint8_t StallSystemFail[2];
// The ground-proximity message to say, 0..20.
extern int32_t VoiceAlertIndex;

enum GpwsFlagByte : int {
    kGpwsTestRequest = 0,
    kGpwsOverride = 1,
    kGpwsOverrideCopy = 2,
    kGpwsTestAcknowledge = 3,  // set by the voice once the test message has played
    kGpwsFlagCount
};
extern uint8_t GpwsFlags[kGpwsFlagCount];

struct StallWarningRecord {
    int32_t test_selector;  // 0 none, 1 side 1, 2 side 2
    int32_t test_timer;     // ticks; armed with kStallTestTicks
};
extern StallWarningRecord StallWarningState;
inline constexpr int32_t kStallTestTicks = 35;

}  // namespace zu
