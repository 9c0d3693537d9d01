// Radio altitude, stall warning and ground-proximity alerting. The
// radio-altitude readout is the height every system uses: the displays,
// head-up guidance, ground-proximity logic, flight guidance, sounds and the
// instructor link's gear rule. The stall warning turns the angle of attack
// into one output per side with a test; the ground-proximity logic chooses
// one voice message for the sound scheme by testing the aircraft's state
// against fixed envelopes.
#pragma once

#include <cstdint>

namespace zu {

// Radio altitude readout (whole feet).
extern int32_t RadioAltitudeReadoutValue;
extern uint8_t RadioAltNotReady;
extern uint8_t RadioAltOutOfRange;
extern uint8_t RadioAltWarmupCountdown;  // passes, 25 after power-up
// Test countdowns per side, started by the display-control panels; the
// readout is 100 while either runs.
extern int32_t RadioAltTestCountdown[2];

struct StallWarningStateRecord {
    int32_t output[2];  // -16384..16383: 16383 far from the stall, below -8192 warning
    int32_t test_countdown;
    int32_t test_state;  // 0 none, 1 side-1 test, 2 side-2 test
};
extern StallWarningStateRecord StallWarningState;
extern uint8_t StallWarnUnpowered;
// The two stall-warning flags (side 1, side 2), read by the warning tones.
extern uint8_t StallSystemFail[2];

// The message for the sound scheme to say, 0..20 (0 none, 20 the test).
extern int32_t VoiceAlertIndex;
extern uint8_t GpwsTakeoffPhase;  // initial 1
extern int32_t GpwsTakeoffCountdown;
extern int32_t GpwsHighestAltitude;    // highest radio altitude since take-off
extern int32_t GpwsReferenceAltitude;  // terrain-mode reference, -1 none
// Test request, override, override copy.
extern uint8_t GpwsFlags[3];
// Set by the sound scheme once the test sequence has played through.
extern int32_t GpwsTestAcknowledge;
// The test request as the last pass saw it.
extern uint8_t GpwsTestRequestSeen;
extern uint8_t GpwsPullUpRequest;
extern uint8_t GpwsGlideslopeRequest;
// Flashing pull-up light.
extern uint8_t GpwsAlertFlag;
// [0] the flashing glideslope light, [1] glideslope cancelled.
extern int32_t GpwsPanelState[2];

// Caution-panel elements the alerting lights.
inline constexpr int kStall1SysFailLight = 108;
inline constexpr int kStall2SysFailLight = 109;
inline constexpr int kGpwsTestLight = 118;

// Even-odd crossing test on integer vertices: 1 inside, 0 outside.
int32_t PointInPolygon(int32_t count, const int32_t* xs, const int32_t* ys, int32_t px, int32_t py);

// Systems-tick steps: the readout and ground proximity every 2nd tick, the
// stall warning every tick.
void RadioAltitudeReadout();
void StallWarningUpdate();
void GpwsUpdate();

// Set while the aircraft is in its take-off phase (initial 1).
extern uint8_t GpwsTakeoffPhase;
}  // namespace zu
