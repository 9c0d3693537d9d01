// Head-up guidance: the HGS modes and crew entries, its status bytes and the
// symbol positions it computes every tick for the head-up picture (which the
// simulator's own gauge draws from the named variables). The guidance step
// is not part of the module yet: these keep their initial values until it
// is.
#pragma once

#include <cstdint>

namespace zu {

extern int32_t HGS_HGS_actual_mode;    // active mode 0..4
extern int32_t HGS_HGS_elevation_set;  // runway elevation, feet (initial 543)
extern float HGS_HGS_gs_slope_angle;   // glideslope angle, degrees (initial -3.0)
extern int32_t HgsPitchCompression;    // 1, or 2 outside +-20 degrees of pitch
extern int32_t HGS_RASU_speed;         // knots: 0 blank or 55..400 (initial 55)
// Pitch-command factor the flight guidance's pitch laws apply (initial 1.0).
extern double HgsPitchCommandFactor;

// Status bytes.
extern uint8_t HgsAiiiAvailable;
extern uint8_t HgsApproachWarning;
extern int32_t HgsWindVectorVisible;  // 255 shown, 0 hidden
extern uint8_t HgsIdleMessage;

// Symbol outputs (-999 not shown; -100 for the acceleration and flare cues).
extern double HgsFpsX;
extern double HgsFpsY;
extern int32_t HgsFpsLimited;
extern double HgsGsLineY;
extern double HgsLateralDeviation;
extern double HgsVerticalDeviation;
extern double HgsGroundLocLineX;
extern double HgsAccelCueY;
extern double HgsFdCueX;
extern double HgsFdCueY;
extern double HgsFlareCueY;
extern double HgsGsPointer;

// The runway's five points on the head-up screen (x, y); [1]-[2] is edge A,
// [3]-[4] edge B.
inline constexpr int kHgsRunwayPoints = 5;
extern int32_t HgsRunwayScreenPoints[kHgsRunwayPoints][2];

}  // namespace zu
