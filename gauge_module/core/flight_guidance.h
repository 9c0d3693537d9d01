// Flight guidance: the mode logic of the two flight-guidance computers (FGC 1
// and FGC 2). The mode-select pass turns the autopilot panel's requests, its
// knob, the AFCS-master selection, the go-around button and the joystick TCS
// and AP-disconnect buttons into engage states, modes and targets; each FGC
// step captures armed modes, handles station passage, touch control
// steering, dual approach and the "AP DISENG" alert, and then runs its
// control laws (core/autopilot_control_laws.h).
//
// Tick step 16: FgcModeSelect every 2nd tick, then Fgc1Step and Fgc2Step
// every tick, while the simulation is not frozen and a loaded flight has
// settled (FlightLoadCounter above 240).
//
// Threads: the request bytes, ApKnob, FGC_comp_AP_master and the RNAV
// acknowledge bytes are written by panel handlers on the gauge thread; the
// button states and the new-data flags by the FSUIPC poll on the gauge
// thread. They are atomics; the mode-select pass takes each request with an
// exchange, so a request raised while it is being served is never lost.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/ahrs.h"
#include "core/nav_sources.h"

namespace zu {

// ---------------------------------------------------------------------------
// Panel requests and inputs (written on the gauge thread)

enum ApRequestIndex : int {
    kApRequestAp = 0,
    kApRequestYd = 1,
    kApRequestMasterTransfer = 2,  // swaps the coupled side
    kApRequestNavSelectSide = 3,   // toggles NavSelectSide
    kApRequestVorSource = 4,
    kApRequestFmsSource = 5,
    kApRequestHdg = 6,
    kApRequestIas = 7,
    kApRequestAlt = 8,
    kApRequestNav = 9,
    kApRequestVs = 10,
    kApRequestAltSel = 11,
    kApRequestAppr = 12,
    kApRequestBc = 13,
    kApRequestStandby = 14,         // all modes off
    kApRequestMasterSelected = 15,  // an ID809 AFCS-master key was pressed
    kApRequestGoAround = 16,
    kApRequestCount = 17,
};
// 1 = pressed; only the mode-select pass clears a byte.
extern std::atomic<uint8_t> ApButtonRequest[kApRequestCount];
// The autopilot panel's knob: one count per click, no bounds, no wrap.
extern std::atomic<int32_t> ApKnob;
// The AFCS master: bit 0 FGC 1, bit 1 FGC 2 (1 or 2; initial 1). Saved with
// the flight.
extern std::atomic<int32_t> FGC_comp_AP_master;
static_assert(sizeof(std::atomic<int32_t>) == 4 && std::atomic<int32_t>::is_always_lock_free);
// RNAV panel acknowledge of the AP-disengage alert, per side.
extern std::atomic<uint8_t> RnavRequest1;
extern std::atomic<uint8_t> RnavRequest2;
// Set by every FSUIPC poll; each FGC runs its control laws after fresh data.
extern std::atomic<uint8_t> FgcNewData1;
extern std::atomic<uint8_t> FgcNewData2;
// The joystick's TCS and AP-disconnect buttons (1 = held), from the button
// slots the poll claimed.
extern std::atomic<uint8_t> TcsButtonState;
extern std::atomic<uint8_t> ApDisconnectButtonState;
// The VOR 1 record's radio value as the poll copies it (above 0: passage).
extern double FgcPassageInput;

// ---------------------------------------------------------------------------
// Engagement and modes

// Autopilot and yaw damper engaged, per computer (0 or 1).
extern int32_t FGC_comp_AP1_engaged;
extern int32_t FGC_comp_AP2_engaged;
extern int32_t FGC_comp_YD1_engaged;
extern int32_t FGC_comp_YD2_engaged;

// System-test countdowns of the two computers (ticks; initial 360, so the
// self-test runs after loading).
extern int32_t FGC_comp_FGC1_system_test_timer;
extern int32_t FGC_comp_FGC2_system_test_timer;

// Vertical modes: 0 pitch hold (go-around pitch while the go-around flag is
// set), 1 altitude hold, 2 vertical speed, 3 airspeed, 4 glideslope, 5 none.
enum FgcVerticalMode : int32_t {
    kVertPitch = 0,
    kVertAlt = 1,
    kVertVs = 2,
    kVertIas = 3,
    kVertGs = 4,
    kVertNone = 5,
};
// Lateral modes: 0 wings level (basic), 1 heading, 2 roll hold, 3 wings
// level, 5 navigation (VOR, localizer, back course, LNAV), 6 approach,
// 7 none. 4 is not used.
enum FgcLateralMode : int32_t {
    kLatBasic = 0,
    kLatHdg = 1,
    kLatRollHold = 2,
    kLatWingsLevel = 3,
    kLatNav = 5,
    kLatAppr = 6,
    kLatNone = 7,
};
extern int32_t FGC_comp_AP1_vertical_mode;
extern int32_t FGC_comp_AP2_vertical_mode;
extern int32_t FGC_comp_AP1_lateral_mode;
extern int32_t FGC_comp_AP2_lateral_mode;
// Armed modes: vertical 1 = ALT SEL (0 or 1), vertical 2 = glideslope (0 or
// 2), lateral: 1 NAV or BC, 2 APPR.
extern int32_t FGC_comp_AP1_vertical_armed_mode_1;
extern int32_t FGC_comp_AP1_vertical_armed_mode_2;
extern int32_t FGC_comp_AP1_lateral_armed_mode;
extern int32_t FGC_comp_AP2_vertical_armed_mode_1;
extern int32_t FGC_comp_AP2_vertical_armed_mode_2;
extern int32_t FGC_comp_AP2_lateral_armed_mode;
// 1 during a dual approach ("DUAL").
extern uint8_t FGC_comp_AP1_dual_approach_mode;
extern uint8_t FGC_comp_AP2_dual_approach_mode;
// 1 once the glideslope capture conditions were met.
extern int32_t FGC_comp_ZAZ_AP1_GS_CHECK;
extern int32_t FGC_comp_ZAZ_AP2_GS_CHECK;
// Saved-flight words of the panel state.
extern int32_t FGC_comp_AP1_IAS_speed;
extern int32_t FGC_comp_AP1_VS_speed;
extern int32_t FGC_comp_AP1_ALT_value;
extern int32_t FGC_comp_AP2_IAS_speed;
extern int32_t FGC_comp_AP2_VS_speed;
extern int32_t FGC_comp_AP2_ALT_value;

// ---------------------------------------------------------------------------
// Side blocks

// The five flight-mode annunciator fields of one FGC, 20-character texts.
inline constexpr int kFmaTextSize = 20;
struct FmaTexts {
    char vertical[kFmaTextSize];         // active vertical mode
    char lateral[kFmaTextSize];          // active lateral mode
    char vertical_armed1[kFmaTextSize];  // altitude preselect
    char vertical_armed2[kFmaTextSize];  // glideslope
    char lateral_armed[kFmaTextSize];
};

// One FGC's block: the coupled side (1, 2, or 3 during a dual approach;
// FgcSide1's is the one the panel lamps show), the side whose source the
// VOR and FMS source buttons change (NavSelectSide, the panels'
// NavSourceSide), the navigation source it flies, its AHRS, the vertical
// mode of its last pass and its annunciator texts.
struct FgcSideRecord {
    int32_t coupled_side;
    int32_t nav_select_side;
    NavSourceRecord* nav_source;
    AhrsRecord* ahrs;
    int32_t previous_vertical_mode;
    FmaTexts fma;
};
extern FgcSideRecord FgcSide1;
extern FgcSideRecord FgcSide2;

// [0] vertical, [1] lateral field shows a captured (steady) mode.
extern uint8_t FmaFlags1[2];
extern uint8_t FmaFlags2[2];

// FGC 1: [0] TCS active, [1] AP-disengage alert lamp (RNAV 1 panel),
// [2] unused, [3] FGC 2 go-around.
extern uint8_t FgcFlags1[4];
// FGC 2: [1] AP-disengage alert lamp (RNAV 2 panel).
extern uint8_t FgcSide2Flags[4];
extern uint8_t Fgc2TcsActive;  // TCS active on FGC 2
extern uint8_t FgcState;       // 1 while go-around is active on FGC 1
extern uint8_t FdBarSense;     // 1 while back course is selected
extern uint8_t FdBarSense2;

// ---------------------------------------------------------------------------
// Targets (shared by both FGCs)

extern float FgcPitchTarget;        // degrees, nose up positive, +-20
extern float FgcVsTarget;           // feet per minute, +-3000
extern int32_t FgcIasTarget;        // knots, 0..400
extern float FGC_comp_AP_prog_alt;  // feet, the altitude held in ALT (saved)
extern double FgcBankLimit;         // degrees
extern double FgcRollCommand;       // degrees, the commanded bank (FGC 1)
extern double FgcRollCommand2;
extern double FgcHeadingTarget;  // degrees, AHRS unbiased heading frame
extern double FgcHeadingTarget2;

// The active leg's turn direction (1 or 2) handed over by the flight
// management system; 0 on slot rebuilds.
extern uint32_t FgcFmsLegParam1;
extern uint32_t FgcFmsLegParam2;

// The guidance's copy of the selected source's glideslope needle.
extern int32_t FgcGlideslopeDeviation;
extern int32_t FgcGlideslopeDeviation2;

// FGC 1 and FGC 2 power (copies of the two FGC supplies).
extern uint8_t AfcsPower1;
extern uint8_t AfcsPower2;

// The pressure altitude the coupled side flies (BaroAltitude1 or 2).
extern const float* BaroAltitudeSource;

// Per-FGC working state of the mode logic and its control laws.
struct FgcChannelState {
    uint8_t over_station;  // station passage in progress
    int32_t over_station_countdown;
    uint8_t capture_wait;  // VOR capture waits for the intercept decision
    uint8_t nav_capture_started;
    uint8_t appr_capture_started;
    int32_t signal_kind;       // last non-zero signal type (1 VOR, 2 localizer)
    double lateral_deviation;  // needle units, signed
    float station_value;
    uint8_t gs_captured_latch;
    int32_t last_knob;
    int32_t tcs_lateral_mode;  // lateral mode at the last pass without TCS
    int32_t saved_coupled_side;
    uint8_t last_ap_disconnect_button;
    int32_t last_ap_engaged;
};
extern FgcChannelState FgcChannel1;
extern FgcChannelState FgcChannel2;

// State of the mode-select pass.
struct FgcSelectState {
    int32_t last_ap1, last_ap2, last_yd1, last_yd2;
    uint8_t manual_disconnect;
    uint8_t last_ap_disconnect_button;
    double gs_sine;
};
extern FgcSelectState FgcSelect;

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

// Advisory bytes: [0], [1] air-data tests per side; [2], [3] set while the
// FGC 1 / FGC 2 supply is lost (the take-off warning tone sounds).
extern uint8_t AirDataFlags[4];
// Altitude-alert request, raised near the selected altitude and cleared by
// the warning tone.
extern uint8_t AltitudeAlertFlag;

// ---------------------------------------------------------------------------
// The passes

void FgcModeSelect();
void Fgc1Step();
void Fgc2Step();
// Tick step 16: the three passes in order, when the guidance may run.
void FlightGuidanceTick(uint32_t rate);

}  // namespace zu
