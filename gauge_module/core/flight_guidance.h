// Flight guidance: the state of the two flight-guidance computers (modes,
// engagement, side blocks, self-test countdowns, advisories, the values
// exchanged with the flight management system) that the mode logic,
// control laws and messages keep and the displays, the autopilot servo
// output and the instructor link read.
//
// The mode logic itself is not part of the module yet: these values keep
// their initial values except where the instructor link's bulk targets set
// them.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/nav_sources.h"

namespace zu {

// Autopilot and yaw damper engaged, per computer (non-zero while engaged).
extern int32_t FGC_comp_AP1_engaged;
extern int32_t FGC_comp_AP2_engaged;
extern int32_t FGC_comp_YD1_engaged;

// System-test countdowns of the two computers (ticks; initial 360, so the
// self-test runs after loading).
extern int32_t FGC_comp_FGC1_system_test_timer;
extern int32_t FGC_comp_FGC2_system_test_timer;

// Go-around, back-course
// and FMA capture flags; touch control steering of both computers.
extern uint8_t FgcState;       // 1 while go-around is active
extern uint8_t FdBarSense;     // 1 while back course is selected
extern uint8_t FmaFlags1[2];   // [0] vertical, [1] lateral captured
extern uint8_t FgcFlags1[4];   // [0] TCS active on FGC 1
extern uint8_t Fgc2TcsActive;  // TCS active on FGC 2

// Vertical mode of each computer (5 none, 1 altitude hold).
extern int32_t FGC_comp_AP1_vertical_mode;
extern int32_t FGC_comp_AP2_vertical_mode;

// Advisory bytes: [0], [1] air-data tests per side; [2], [3] set while the
// FGC 1 / FGC 2 supply is lost (the take-off warning tone sounds).
extern uint8_t AirDataFlags[4];
// Altitude-alert request, raised near the selected altitude and cleared by
// the warning tone.
extern uint8_t AltitudeAlertFlag;

// Lateral mode of each FGC (7 none, 5 the FMS lateral mode).
extern int32_t FGC_comp_AP1_lateral_mode;
extern int32_t FGC_comp_AP2_lateral_mode;

// One FGC's side block: the coupled side (1, 2, or 3 during a dual
// approach), the side whose source the source buttons change, and the
// navigation source it flies.
// The five flight-mode annunciator fields of one FGC, 20-character texts.
inline constexpr int kFmaTextSize = 20;
struct FmaTexts {
    char vertical[kFmaTextSize];         // active vertical mode
    char lateral[kFmaTextSize];          // active lateral mode
    char vertical_armed1[kFmaTextSize];  // altitude preselect
    char vertical_armed2[kFmaTextSize];  // glideslope
    char lateral_armed[kFmaTextSize];
};
struct FgcSideRecord {
    int32_t coupled_side;
    int32_t nav_select_side;
    NavSourceRecord* nav_source;
    FmaTexts fma;
};
extern FgcSideRecord FgcSide1;
extern FgcSideRecord FgcSide2;

// The active leg's turn direction (1 or 2) handed over by the flight
// management system; 0 on slot rebuilds.
extern uint32_t FgcFmsLegParam1;
extern uint32_t FgcFmsLegParam2;

// Wind components for the navigation displays and the map heading value
// (drift angle, degrees) that the FMS adds to its reference course in LNAV.
struct MapDisplayStateRecord {
    float wind_y;
    float wind_x;
    double map_value;
};
extern MapDisplayStateRecord MapDisplayState;

// Frames left before the nav-receiver station look-up may run again.
extern int32_t RadioLookupHoldoff;
// Modes, armed modes and references of the two computers, as the mode
// logic keeps them and the saved flight restores them.
extern uint8_t FGC_comp_AP1_dual_approach_mode;
extern int32_t FGC_comp_AP1_vertical_armed_mode_1;
extern int32_t FGC_comp_AP1_vertical_armed_mode_2;
extern int32_t FGC_comp_AP1_lateral_armed_mode;
extern int32_t FGC_comp_AP1_IAS_speed;
extern int32_t FGC_comp_AP1_VS_speed;
extern int32_t FGC_comp_AP1_ALT_value;
extern int32_t FGC_comp_AP_master;
extern int32_t FGC_comp_AP_prog_alt;
extern int32_t FGC_comp_ZAZ_AP1_GS_CHECK;
extern uint8_t FGC_comp_AP2_dual_approach_mode;
extern int32_t FGC_comp_AP2_vertical_armed_mode_1;
extern int32_t FGC_comp_AP2_vertical_armed_mode_2;
extern int32_t FGC_comp_AP2_lateral_armed_mode;
extern int32_t FGC_comp_AP2_IAS_speed;
extern int32_t FGC_comp_AP2_VS_speed;
extern int32_t FGC_comp_AP2_ALT_value;
extern int32_t FGC_comp_YD2_engaged;
extern int32_t FGC_comp_ZAZ_AP2_GS_CHECK;

// Bearing-pointer selectors of the two navigation displays, 0..4.
extern int32_t FGC_comp_HSI1_bearing0_select;
extern int32_t FGC_comp_HSI1_bearing1_select;
extern int32_t FGC_comp_HSI2_bearing0_select;
extern int32_t FGC_comp_HSI2_bearing1_select;

// Decision heights, feet (initial 200).
extern int32_t FGC_comp_DH_altitude1;
extern int32_t FGC_comp_DH_altitude2;

// Selected headings of the two heading selectors, whole degrees (initial 0).
extern int32_t FGC_comp_HSI1_heading_sel;
extern int32_t FGC_comp_HSI2_heading_sel;

// The side-1 guidance source (a record of NavSources; initial VOR1) and the
// flight guidance's copy of its glideslope needle.
extern NavSourceRecord* FgcSide1Source;
extern int32_t FgcGlideslopeDeviation;

// Panel requests and displays: the autopilot, ID809, AL801 and RNAV panels
// raise the requests on the gauge thread; the mode-select pass takes them.
inline constexpr int kApRequestCount = 17;
extern std::atomic<uint8_t> ApButtonRequest[kApRequestCount];
extern std::atomic<int32_t> ApKnob;
extern std::atomic<uint8_t> RnavRequest1;
extern std::atomic<uint8_t> RnavRequest2;
extern uint8_t FmaFlags2[2];
extern uint8_t FgcSide2Flags[4];  // [1] AP-disengage alert lamp of FGC 2
// Message lines: side 1 upper, lower, side 2 upper, lower, advisory 1, 2.
extern char FgcMessageLines[6][20];
struct FgcMessageStateRecord {
    int32_t code;        // upper line: 0 none, 1, 2 acknowledged, 3 new
    int32_t upper_time;  // passes
    uint8_t code3_flag;  // annunciator power and code 3
    int32_t lower_time;  // passes
};
extern FgcMessageStateRecord FgcMessageState1;
extern FgcMessageStateRecord FgcMessageState2;

// Air-data flags of the advisory step: [0], [1] the side-1 and side-2
// air-data test bytes, [2], [3] air data 1 and 2 failed.

}  // namespace zu
