// Head-up guidance: the HGS computer. It keeps the HGS modes and crew
// entries (runway elevation and glideslope angle typed on the HGS panel),
// the runway-speed unit's speed, decides whether the approach mode AIII is
// available and computes, once per systems tick, the positions of the
// head-up symbols (flight-path symbol, flight-director and flare cues,
// acceleration cue, glideslope line and deviation pointers). It draws
// nothing: the simulator's own head-up gauge draws from the named variables,
// the HGS panels show the modes and entries, and the runway outline is
// projected by displays/hgs_runway_projection.
//
// Positions are in the head-up display's pixel grid, whose flight-path
// neutral point is (525, 249). Modes: 0 none (unpowered), 1 PRI, 2 AIII
// (approach with flare guidance), 3 IMC, 4 VMC.
//
// The panels' mouse handlers (gauge thread) only raise key bytes or write
// the digit key; every key takes effect in the next HgsUpdate (tick thread),
// which takes each key by exchange so that a press made meanwhile is kept.
#pragma once

#include <atomic>
#include <cstdint>

namespace zu {

inline constexpr int32_t kHgsModeNone = 0;
inline constexpr int32_t kHgsModePri = 1;
inline constexpr int32_t kHgsModeAiii = 2;
inline constexpr int32_t kHgsModeImc = 3;
inline constexpr int32_t kHgsModeVmc = 4;

// Neutral point of the flight-path symbol and the grid's scales.
inline constexpr double kHgsNeutralX = 525.0;
inline constexpr double kHgsNeutralY = 249.0;
inline constexpr double kHgsPixelsPerDegreeX = 19.35;
inline constexpr double kHgsPixelsPerDegreeY = 24.0;
// Outputs that are not shown.
inline constexpr double kHgsNotShown = -999.0;
inline constexpr double kHgsCueNotShown = -100.0;
inline constexpr double kHgsNoGlideslope = 999.0;

// RASU speed limits (knots); below the minimum the readout is blank (0).
inline constexpr int32_t kRasuSpeedMin = 55;
inline constexpr int32_t kRasuSpeedMax = 400;
// Entry lengths of the elevation (feet) and glideslope-angle entries.
inline constexpr int32_t kHgsElevationDigits = 5;
inline constexpr int32_t kHgsSlopeDigits = 3;
inline constexpr int kHgsEntryTextSize = 16;
// Passes the IDLE message stays after the last AIII pass below 6 ft.
inline constexpr int32_t kHgsIdlePasses = 64;

// Settings and mode words (the persisted ones are saved with the flight).
extern int32_t HGS_HGS_actual_mode;           // active mode 0..4
extern int32_t HGS_HGS_stby_mode;             // standby (pre-selected) mode 0..4
extern int32_t HGS_HGS_elevation_set;         // runway elevation, feet (initial 543)
extern float HGS_HGS_gs_slope_angle;          // glideslope angle, degrees (initial -3.0)
extern std::atomic<int32_t> HgsDigitKey;      // digit key 0..9 pressed, -1 none
extern int32_t HgsPitchCompression;           // 1, or 2 outside +-20 degrees of pitch
extern int32_t HgsBlinkCounter;               // 0..15, +1 every 2nd tick (initial 8)
extern int32_t HgsEntryLength;                // characters typed, -1 before the first entry
extern char HgsEntryText[kHgsEntryTextSize];  // the entry's digits
extern int32_t HgsPanelBrightness;            // HGS panel text: 200, 255 bright, 0 dark
extern int32_t RasuBrightness;                // RASU readout (constant 200)
extern int32_t HGS_RASU_speed;                // knots: 0 blank or 55..400 (initial 55)
// Pitch-command factor the flight guidance's pitch laws apply (1.0 after
// every guidance pass).
extern double HgsPitchCommandFactor;

// Status bytes.
extern uint8_t HgsPowered;  // the left main DC bus powers the HGS
extern uint8_t HgsBothIls;  // both receivers receive a localiser
extern uint8_t HgsAiiiAvailable;
extern uint8_t HgsAiiiArmed;  // the standby mode is preset to AIII once
extern uint8_t HgsApproachWarning;
extern uint8_t HgsElevationEntry;
extern uint8_t HgsSlopeEntry;
extern uint8_t HgsEntryTyped;         // a digit typed since the entry started
extern int32_t HgsWindVectorVisible;  // 255 shown, 0 hidden
extern uint8_t HgsIdleMessage;

// Key bytes of the HGS panel and the RASU (1 = pressed, taken by the tick).
struct HgsKeyPressRecord {
    std::atomic<uint8_t> transfer;
    std::atomic<uint8_t> cycle;
    std::atomic<uint8_t> elevation;
    std::atomic<uint8_t> slope;
    std::atomic<uint8_t> enter;
    std::atomic<uint8_t> clear;
    std::atomic<uint8_t> bright;
    std::atomic<uint8_t> dark;
    std::atomic<uint8_t> test;  // raised, no consumer
    std::atomic<uint8_t> rasu_down;
    std::atomic<uint8_t> rasu_up;
    std::atomic<uint8_t> rasu_bright_down;  // raised, no consumer
    std::atomic<uint8_t> rasu_bright_up;    // raised, no consumer
};
extern HgsKeyPressRecord HgsKeyPress;

// Area in which the flight-path symbol may stand: left, top, right, bottom.
extern int32_t HgsLayoutLimits[4];

// Symbol outputs (kHgsNotShown; kHgsCueNotShown for the acceleration and
// flare cues).
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

// Flare state and the mode logic's latches.
extern int32_t HgsFlareArmed;
extern int32_t HgsFlareActive;
extern int32_t HgsIdleTimer;        // passes
extern double HgsFlareSinkRef;      // ft/min
extern double HgsFlareCommand;      // degrees
extern double HgsFlarePitchTarget;  // degrees
extern uint8_t HgsAiiiPresetLatch;
extern uint8_t HgsGoAroundLatch;
extern uint8_t HgsOnGroundPrevious;  // the on-ground byte of the previous pass

// Rotation about the forward axis by the bank (row-vector form for
// TransformPoints), shared with the runway projection.
extern double HgsBankMatrix[4][4];

// The runway's five points on the head-up screen (x, y); [1]-[2] is edge A,
// [3]-[4] edge B.
inline constexpr int kHgsRunwayPoints = 5;
extern int32_t HgsRunwayScreenPoints[kHgsRunwayPoints][2];

// The whole step, once per systems tick before the landing gear.
void HgsUpdate();

// Its steps, in their order.
void HgsModeLogic();
void HgsAiiiAvailability();
void HgsKeyEntry();
void RasuSpeedKeys();
void HgsLayoutUpdate();
void HgsFlightPathUpdate();
void HgsFlareGuidance();

}  // namespace zu
