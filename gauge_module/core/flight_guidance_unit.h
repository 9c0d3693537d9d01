// One flight-guidance computer seen as a set of references to its own words,
// so the mode logic, control laws, annunciation and self-test are written
// once for both FGCs. Internal to the flight guidance files.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/ahrs.h"
#include "core/autopilot_control_laws.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"

namespace zu {

struct FgcUnit {
    int number;  // 1 or 2
    int32_t& ap;
    int32_t& yd;
    int32_t& vertical;
    int32_t& lateral;
    int32_t& arm_alt_sel;
    int32_t& arm_gs;
    int32_t& arm_lateral;
    uint8_t& dual;
    int32_t& gs_check;
    uint8_t& go_around;
    uint8_t& back_course;
    uint8_t& tcs;
    uint8_t& alert_lamp;
    double& roll_command;
    double& heading_target;
    uint32_t& leg_param;
    int32_t& gs_deviation;
    uint8_t& power;
    int32_t& test_timer;
    std::atomic<uint8_t>& rnav;
    std::atomic<uint8_t>& new_data;
    FgcSideRecord& side;
    FgcChannelState& channel;
    ApLawState& law;
    FgcMessageStateRecord& messages;
    char* upper_line;
    char* lower_line;
    char* advisory_line;
    uint8_t* fma_flags;
    double& fd_roll;
    double& fd_pitch;
    AhrsRecord* ahrs;
};

// The pressure altitude of the coupled side, feet.
inline double FgcBaroAltitude() {
    return BaroAltitudeSource != nullptr ? *BaroAltitudeSource : 0.0;
}

FgcUnit FgcUnit1();
FgcUnit FgcUnit2();

// Signal types of a source record.
inline constexpr uint8_t kSignalNone = 0;
inline constexpr uint8_t kSignalVor = 1;
inline constexpr uint8_t kSignalLocalizer = 2;
inline constexpr uint8_t kSignalFms = 4;
inline constexpr uint8_t kSourceKindFms = 4;

}  // namespace zu

namespace zu {

// Plays a sound of the sound set once from its start (after restoring its
// buffer); nothing when it has no buffer or the restore fails. False when
// the object has no buffer.
bool FgcPlayOnce(int sound_index);

}  // namespace zu
