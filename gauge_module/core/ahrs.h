// The two attitude and heading reference systems. Each turns the simulator's
// heading, pitch and bank into the values the displays, the flight guidance
// and the flight management read, with a power-up alignment (40 + 128
// ticks), a fast-align request, a directional-gyro mode slewed from the AHRS
// panel and a slow heading drift. Both run once per systems tick, AHRS 1 then
// AHRS 2, on the left essential bus (main) and the right essential bus
// (standby).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu {

#pragma pack(push, 1)
struct AhrsRecord {
    double heading;       // degrees 0..360, a multiple of 360/65536 once aligned
    double heading_bias;  // directional-gyro offset, degrees
    double bank;          // degrees
    double pitch;         // degrees
    uint8_t powered;
    uint8_t valid[4];  // A..D: 1 while aligning and fine-aligning
    uint8_t gyro_mode;
    uint8_t standby;  // powered from the standby bus only
    uint8_t test;
    uint8_t aligned;
    uint8_t spare_flag;
    uint8_t fast_align_request;  // set by the AHRS panel
    int32_t align_countdown;
    int32_t fine_align_countdown;
    int32_t redraw_countdown;
    int32_t heading_ahead;
    int32_t slew_switch;  // -2..+2, set by the AHRS panel
};
#pragma pack(pop)
static_assert(sizeof(AhrsRecord) == 63);
static_assert(offsetof(AhrsRecord, powered) == 32 && offsetof(AhrsRecord, gyro_mode) == 37);
static_assert(offsetof(AhrsRecord, fast_align_request) == 42);
static_assert(offsetof(AhrsRecord, align_countdown) == 43 &&
              offsetof(AhrsRecord, slew_switch) == 59);

inline constexpr int32_t kAhrsAlignTicks = 40;
inline constexpr int32_t kAhrsFineAlignTicks = 128;
// Degrees per step of the 16-bit heading word, and steps per degree.
inline constexpr double kHeadingWordDegrees = 0.005493164062513411;
inline constexpr double kHeadingWordPerDegree = 182.044444444;

extern AhrsRecord Ahrs1;
extern AhrsRecord Ahrs2;
// The side's AHRS as the displays and the flight guidance reach it.
extern AhrsRecord* const AhrsSource1;
extern AhrsRecord* const AhrsSource2;

// One pass of one AHRS.
void AhrsUpdate(AhrsRecord& ahrs);

// Both AHRS aligned at once (a restored flight).
void AhrsSetAligned(AhrsRecord& ahrs);

// Longitudinal acceleration along the flight path, filtered (knots per
// second), read by the head-up guidance and flight guidance.
extern double LongitudinalAccelFiltered;
// The indicated airspeed of the acceleration's previous tick.
extern float LongitudinalAccelLastIas;

}  // namespace zu
