#include "core/flight_guidance.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cabin_link/sound_scheme.h"
#include "core/afcs_messages.h"
#include "core/air_data.h"
#include "core/autopilot_control_laws.h"
#include "core/electrical_system.h"
#include "core/flight_guidance_annunciation.h"
#include "core/flight_guidance_unit.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/shared_maths.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "panels/display_control_panels.h"

namespace zu {

std::atomic<uint8_t> ApButtonRequest[kApRequestCount] = {};
std::atomic<int32_t> ApKnob{0};
std::atomic<int32_t> FGC_comp_AP_master{1};
std::atomic<uint8_t> RnavRequest1{0};
std::atomic<uint8_t> RnavRequest2{0};
std::atomic<uint8_t> FgcNewData1{0};
std::atomic<uint8_t> FgcNewData2{0};
std::atomic<uint8_t> TcsButtonState{0};
std::atomic<uint8_t> ApDisconnectButtonState{0};
double FgcPassageInput = 0.0;

int32_t FGC_comp_AP1_engaged = 0;
int32_t FGC_comp_AP2_engaged = 0;
int32_t FGC_comp_YD1_engaged = 0;
int32_t FGC_comp_YD2_engaged = 0;
int32_t FGC_comp_FGC1_system_test_timer = 360;
int32_t FGC_comp_FGC2_system_test_timer = 360;
int32_t FGC_comp_AP1_vertical_mode = kVertNone;
int32_t FGC_comp_AP2_vertical_mode = kVertNone;
int32_t FGC_comp_AP1_lateral_mode = kLatNone;
int32_t FGC_comp_AP2_lateral_mode = kLatNone;
int32_t FGC_comp_AP1_vertical_armed_mode_1 = 0;
int32_t FGC_comp_AP1_vertical_armed_mode_2 = 0;
int32_t FGC_comp_AP1_lateral_armed_mode = 0;
int32_t FGC_comp_AP2_vertical_armed_mode_1 = 0;
int32_t FGC_comp_AP2_vertical_armed_mode_2 = 0;
int32_t FGC_comp_AP2_lateral_armed_mode = 0;
uint8_t FGC_comp_AP1_dual_approach_mode = 0;
uint8_t FGC_comp_AP2_dual_approach_mode = 0;
int32_t FGC_comp_ZAZ_AP1_GS_CHECK = 0;
int32_t FGC_comp_ZAZ_AP2_GS_CHECK = 0;
int32_t FGC_comp_AP1_IAS_speed = 0;
int32_t FGC_comp_AP1_VS_speed = 0;
int32_t FGC_comp_AP1_ALT_value = 0;
int32_t FGC_comp_AP2_IAS_speed = 0;
int32_t FGC_comp_AP2_VS_speed = 0;
int32_t FGC_comp_AP2_ALT_value = 0;

FgcSideRecord FgcSide1 = {1, 1, &NavSources[kNavVor1], &Ahrs1, kVertNone, {}};
FgcSideRecord FgcSide2 = {1, 1, &NavSources[kNavVor1], &Ahrs2, kVertNone, {}};
uint8_t FmaFlags1[2] = {0, 0};
uint8_t FmaFlags2[2] = {0, 0};
uint8_t FgcFlags1[4] = {0, 0, 0, 0};
uint8_t FgcSide2Flags[4] = {0, 0, 0, 0};
uint8_t Fgc2TcsActive = 0;
uint8_t FgcState = 0;
uint8_t FdBarSense = 0;
uint8_t FdBarSense2 = 0;

float FgcPitchTarget = 0.0f;
float FgcVsTarget = 0.0f;
int32_t FgcIasTarget = 0;
float FGC_comp_AP_prog_alt = 0.0f;
double FgcBankLimit = 25.0;
double FgcRollCommand = 0.0;
double FgcRollCommand2 = 0.0;
double FgcHeadingTarget = 0.0;
double FgcHeadingTarget2 = 0.0;
uint32_t FgcFmsLegParam1 = 0;
uint32_t FgcFmsLegParam2 = 0;
int32_t FgcGlideslopeDeviation = 0;
int32_t FgcGlideslopeDeviation2 = 0;
uint8_t AfcsPower1 = 0;
uint8_t AfcsPower2 = 0;
const float* BaroAltitudeSource = &BaroAltitude1;

FgcChannelState FgcChannel1 = {0, 0, 0, 0, 0, 0, 0.0, 0.0f, 0, 0, kLatNone, -1, 0, 0};
FgcChannelState FgcChannel2 = {0, 0, 0, 0, 0, 0, 0.0, 0.0f, 0, 0, kLatNone, -1, 0, 0};
FgcSelectState FgcSelect = {0, 0, 0, 0, 0, 0, 0.0};

MapDisplayStateRecord MapDisplayState = {0.0f, 0.0f, 0.0};
int32_t RadioLookupHoldoff = 0;
int32_t FGC_comp_HSI1_bearing0_select = 0;
int32_t FGC_comp_HSI1_bearing1_select = 0;
int32_t FGC_comp_HSI2_bearing0_select = 0;
int32_t FGC_comp_HSI2_bearing1_select = 0;
int32_t FGC_comp_DH_altitude1 = 200;
int32_t FGC_comp_DH_altitude2 = 200;
int32_t FGC_comp_HSI1_heading_sel = 0;
int32_t FGC_comp_HSI2_heading_sel = 0;
uint8_t AirDataFlags[4] = {};
uint8_t AltitudeAlertFlag = 0;

}  // namespace zu

namespace zu {

FgcUnit FgcUnit1() {
    return FgcUnit{1,
                   FGC_comp_AP1_engaged,
                   FGC_comp_YD1_engaged,
                   FGC_comp_AP1_vertical_mode,
                   FGC_comp_AP1_lateral_mode,
                   FGC_comp_AP1_vertical_armed_mode_1,
                   FGC_comp_AP1_vertical_armed_mode_2,
                   FGC_comp_AP1_lateral_armed_mode,
                   FGC_comp_AP1_dual_approach_mode,
                   FGC_comp_ZAZ_AP1_GS_CHECK,
                   FgcState,
                   FdBarSense,
                   FgcFlags1[0],
                   FgcFlags1[1],
                   FgcRollCommand,
                   FgcHeadingTarget,
                   FgcFmsLegParam1,
                   FgcGlideslopeDeviation,
                   AfcsPower1,
                   FGC_comp_FGC1_system_test_timer,
                   RnavRequest1,
                   FgcNewData1,
                   FgcSide1,
                   FgcChannel1,
                   ApLaw1,
                   FgcMessageState1,
                   FgcMessageLines[kMsgSide1Upper],
                   FgcMessageLines[kMsgSide1Lower],
                   FgcMessageLines[kMsgAdvisory1],
                   FmaFlags1,
                   FlightDirectorRollCommand,
                   FlightDirectorPitchCommand,
                   AhrsSource1};
}

FgcUnit FgcUnit2() {
    return FgcUnit{2,
                   FGC_comp_AP2_engaged,
                   FGC_comp_YD2_engaged,
                   FGC_comp_AP2_vertical_mode,
                   FGC_comp_AP2_lateral_mode,
                   FGC_comp_AP2_vertical_armed_mode_1,
                   FGC_comp_AP2_vertical_armed_mode_2,
                   FGC_comp_AP2_lateral_armed_mode,
                   FGC_comp_AP2_dual_approach_mode,
                   FGC_comp_ZAZ_AP2_GS_CHECK,
                   FgcFlags1[3],
                   FdBarSense2,
                   Fgc2TcsActive,
                   FgcSide2Flags[1],
                   FgcRollCommand2,
                   FgcHeadingTarget2,
                   FgcFmsLegParam2,
                   FgcGlideslopeDeviation2,
                   AfcsPower2,
                   FGC_comp_FGC2_system_test_timer,
                   RnavRequest2,
                   FgcNewData2,
                   FgcSide2,
                   FgcChannel2,
                   ApLaw2,
                   FgcMessageState2,
                   FgcMessageLines[kMsgSide2Upper],
                   FgcMessageLines[kMsgSide2Lower],
                   FgcMessageLines[kMsgAdvisory2],
                   FmaFlags2,
                   FlightDirectorRollCommand2,
                   FlightDirectorPitchCommand2,
                   AhrsSource2};
}

bool FgcPlayOnce(int sound_index) {
    SoundObject* object = &SoundSet[sound_index];
    if (object->buffer == nullptr) return false;
    if (RestoreSoundBuffer(object) != 0) return true;
    platform::SoundBufferStop(object->buffer);
    platform::SoundBufferSetCurrentPosition(object->buffer, 0);
    SoundStart(object, 0);
    return true;
}

namespace {

// Capture band of the preselected altitude (feet) by |vertical speed|.
constexpr float kAltSelCaptureBand[16] = {0,   250, 1000, 1500, 2000, 2500, 3000, 4000,
                                          100, 250, 300,  400,  500,  600,  700,  800};
constexpr int32_t kMessagePasses = 36;
constexpr double kGoAroundPitch = 9.0;
constexpr double kDefaultBankLimit = 25.0;
constexpr float kPitchTargetLimit = 20.0f;
constexpr float kVsTargetLimit = 3000.0f;
constexpr int32_t kIasTargetMax = 400;
constexpr double kTcsMinBank = 6.0;
constexpr double kTcsMaxBank = 25.0;

uint32_t Rate() {
    return FrameChangeBits.load(std::memory_order_acquire);
}

bool TakeRequest(int index) {
    return ApButtonRequest[index].exchange(0, std::memory_order_acq_rel) != 0;
}

bool Airborne() {
    return OnGround == 0;
}

bool AnnunciatorPower() {
    return BusPowered.get(kPoweredRightEssential) != 0;
}

uint8_t SignalType(const FgcUnit& u) {
    return u.side.nav_source != nullptr ? u.side.nav_source->receive_state : kSignalNone;
}

bool FmsSource(const FgcUnit& u) {
    return u.side.nav_source != nullptr && u.side.nav_source->kind == kSourceKindFms;
}

bool RadioSignal(uint8_t signal) {
    return signal == kSignalVor || signal == kSignalLocalizer;
}

void ModesOff(FgcUnit& u) {
    u.vertical = kVertNone;
    u.lateral = kLatNone;
    u.arm_alt_sel = 0;
    u.arm_gs = 0;
    u.arm_lateral = 0;
}

void PlayAfcsSound() {
    FgcPlayOnce(kSoundElectricsInit);
}

bool UpperLineReads(const FgcUnit& u, const char* text) {
    return std::strncmp(u.upper_line, text, kFgcMessageTextSize) == 0;
}

// Filtered rate of change of the indicated airspeed, knots per second.
void LongitudinalAccelUpdate() {
    const double rate = (IndicatedAirspeed - LongitudinalAccelLastIas) / 0.064;
    LongitudinalAccelLastIas = IndicatedAirspeed;
    if (!std::isfinite(rate)) return;
    LongitudinalAccelFiltered += (std::clamp(rate, -50.0, 50.0) - LongitudinalAccelFiltered) * 0.1;
}

// ---------------------------------------------------------------------------
// Mode select and engagement

void SelectPower() {
    AfcsPower1 = LeftAvionicsBus.get() != 0 ? 1 : 0;
    AfcsPower2 = RightAvionicsBus.get() != 0 ? 1 : 0;
    FgcServoValid[0] = AfcsPower1;
    FgcServoValid[1] = AfcsPower2;
}

void SelectGoAround(FgcUnit& u1, FgcUnit& u2) {
    const bool disconnect = ApDisconnectRequest.exchange(0, std::memory_order_acq_rel) != 0;
    if (TakeRequest(kApRequestGoAround) || disconnect) {
        for (FgcUnit* u : {&u1, &u2}) {
            if (u->power == 0) continue;
            FgcPitchTarget = static_cast<float>(kGoAroundPitch);
            u->ap = 0;
            u->lateral = kLatBasic;
            u->vertical = kVertPitch;
            u->arm_alt_sel = u->arm_gs = u->arm_lateral = 0;
            u->go_around = 1;
        }
    }
    for (FgcUnit* u : {&u1, &u2}) {
        if (u->vertical != kVertPitch || u->lateral == kLatNone || u->power == 0) u->go_around = 0;
    }
}

bool AhrsNotAligned(const AhrsRecord* a) {
    return a->valid[0] != 0 || a->valid[1] != 0 || a->valid[2] != 0;
}

void SelectAhrsAndAirData() {
    if (AhrsNotAligned(AhrsSource1) || AirDataFlags[2] != 0) FGC_comp_AP1_engaged = 0;
    if (AhrsNotAligned(AhrsSource2) || AirDataFlags[3] != 0) FGC_comp_AP2_engaged = 0;
}

void SelectApButton(FgcUnit& u1, FgcUnit& u2) {
    if (!TakeRequest(kApRequestAp)) return;
    const int32_t master = FGC_comp_AP_master.load(std::memory_order_acquire);
    for (FgcUnit* u : {&u1, &u2}) {
        if ((master & (1 << (u->number - 1))) == 0) continue;
        if (u->ap == 0) {
            if (!Airborne()) {
                FgcMessageSet("ACFT ON GND", 3, kMessagePasses);
                continue;
            }
            FgcBankLimit = kDefaultBankLimit;
            u->ap = 1;
            u->yd = 1;
            FgcState = 0;
            for (FgcUnit* v : {&u1, &u2}) {
                if (v->lateral == kLatNone) {
                    v->lateral = kLatBasic;
                    v->vertical = kVertPitch;
                }
            }
        } else {
            u->ap = 0;
            FgcSelect.manual_disconnect = 1;
        }
    }
}

void SelectDisconnectButton() {
    const uint8_t state = ApDisconnectButtonState.load(std::memory_order_acquire);
    if (state == 1 && FgcSelect.last_ap_disconnect_button != 1) {
        FGC_comp_AP1_engaged = 0;
        FGC_comp_AP2_engaged = 0;
        PlayAfcsSound();
    }
    FgcSelect.last_ap_disconnect_button = state;
}

void SelectYdButton(FgcUnit& u1, FgcUnit& u2) {
    if (!TakeRequest(kApRequestYd)) return;
    const int32_t master = FGC_comp_AP_master.load(std::memory_order_acquire);
    for (FgcUnit* u : {&u1, &u2}) {
        if (u->yd != 0) {
            u->yd = 0;
            u->ap = 0;
        } else if ((master & (1 << (u->number - 1))) != 0) {
            u->yd = 1;
        }
    }
}

void SelectAlignmentHold(FgcUnit& u1, FgcUnit& u2) {
    for (FgcUnit* u : {&u1, &u2}) {
        if (u->ahrs->redraw_countdown > 0) {
            u->ap = 0;
            u->yd = 0;
        }
    }
}

void SelectSides(FgcUnit& u1, FgcUnit& u2) {
    if (FgcSide1.coupled_side == 0) FgcSide1.coupled_side = 1;
    if (FgcSide1.nav_select_side == 0) FgcSide1.nav_select_side = 1;
    if (TakeRequest(kApRequestMasterTransfer)) {
        FgcSide1.coupled_side = FgcSide1.coupled_side == 1 ? 2 : 1;
        for (FgcUnit* u : {&u1, &u2}) {
            u->ap = 0;
            ModesOff(*u);
        }
    }
    if (TakeRequest(kApRequestNavSelectSide)) {
        FgcSide1.nav_select_side = FgcSide1.nav_select_side == 1 ? 2 : 1;
    }
    const bool side1 = FgcSide1.nav_select_side != 2;
    if (TakeRequest(kApRequestFmsSource)) {
        (side1 ? NavSourceSel1 : NavSourceSel2) = kNavFms1;
        (side1 ? FgcChannel1 : FgcChannel2).over_station = 0;
    }
    if (TakeRequest(kApRequestVorSource)) {
        if (side1) {
            NavSourceSel1 = DisplayFormatFlags1[0] != 0 ? kNavVor2 : kNavVor1;
        } else {
            NavSourceSel2 = DisplayControlState2.Transfer[0] != 0 ? kNavVor1 : kNavVor2;
        }
    }
}

void SelectHdgAltVsIas(FgcUnit& u1, FgcUnit& u2) {
    const bool hdg = TakeRequest(kApRequestHdg);
    const bool alt = TakeRequest(kApRequestAlt);
    const bool vs = TakeRequest(kApRequestVs);
    const bool ias = TakeRequest(kApRequestIas);
    if (hdg) FgcBankLimit = kDefaultBankLimit;
    if (vs) FgcVsTarget = static_cast<float>(VerticalSpeedRaw);
    for (FgcUnit* u : {&u1, &u2}) {
        if (hdg) u->lateral = u->lateral == kLatHdg ? kLatWingsLevel : kLatHdg;
        if (alt) u->vertical = u->vertical == kVertAlt ? kVertPitch : kVertAlt;
        if (vs) u->vertical = u->vertical == kVertVs ? kVertPitch : kVertVs;
        if (ias) u->vertical = u->vertical == kVertIas ? kVertPitch : kVertIas;
    }
}

void SelectAltSel(FgcUnit& u1, FgcUnit& u2) {
    if (!TakeRequest(kApRequestAltSel)) return;
    for (FgcUnit* u : {&u1, &u2}) {
        u->arm_alt_sel = u->arm_alt_sel == 0 ? 1 : 0;
        if (u->arm_alt_sel == 1 && u->vertical == kVertGs) {
            FgcMessageSet("INVALID OP", 1, kMessagePasses);
            u->arm_alt_sel = 0;
        }
    }
}

void SelectNav(FgcUnit& u1, FgcUnit& u2) {
    if (!TakeRequest(kApRequestNav)) return;
    for (FgcUnit* u : {&u1, &u2}) {
        FgcBankLimit = kDefaultBankLimit;
        if (u->arm_lateral == 1 || u->lateral == kLatNav) {
            u->arm_lateral = 0;
            if (u->lateral == kLatNav) u->lateral = kLatWingsLevel;
            continue;
        }
        const uint8_t signal = SignalType(*u);
        if (signal == kSignalFms || RadioSignal(signal)) {
            u->arm_lateral = 1;
            u->channel.capture_wait = 1;
        } else {
            FgcMessageSetLower("CHECK NAV FREQ", kMessagePasses);
        }
    }
}

void SelectAppr(FgcUnit& u1, FgcUnit& u2) {
    if (!TakeRequest(kApRequestAppr)) return;
    for (FgcUnit* u : {&u1, &u2}) {
        FgcBankLimit = kDefaultBankLimit;
        if (FmsSource(*u)) {
            FgcMessageSetLower("CHECK NAV SOURCE", kMessagePasses);
            continue;
        }
        if (u->channel.gs_captured_latch != 0 && u->vertical != kVertGs) continue;
        if (u->arm_lateral != 2 && u->lateral != kLatAppr && u->vertical != kVertGs) {
            if (RadioSignal(SignalType(*u))) {
                u->arm_lateral = 2;
                u->channel.capture_wait = 1;
                u->arm_gs = 2;
            } else {
                FgcMessageSetLower("CHECK NAV FREQ", kMessagePasses);
            }
            u->lateral = kLatWingsLevel;
        } else {
            if (u->arm_lateral == 2) u->arm_lateral = 0;
            if (u->vertical == kVertGs) u->vertical = kVertPitch;
            u->arm_gs = 0;
            u->back_course = 0;
            u->lateral = kLatWingsLevel;
        }
    }
    FgcChannel1.gs_captured_latch = 0;
    FgcChannel2.gs_captured_latch = 0;
}

void SelectBc(FgcUnit& u1, FgcUnit& u2) {
    if (!TakeRequest(kApRequestBc)) return;
    for (FgcUnit* u : {&u1, &u2}) {
        if (FmsSource(*u)) {
            FgcMessageSetLower("CHECK NAV SOURCE", kMessagePasses);
            continue;
        }
        FgcBankLimit = kDefaultBankLimit;
        if (u->back_course == 0) {
            if (SignalType(*u) == kSignalLocalizer) {
                u->arm_lateral = 1;
                u->channel.capture_wait = 1;
                u->back_course = 1;
            } else {
                FgcMessageSetLower("CHECK NAV FREQ", kMessagePasses);
            }
        } else {
            u->arm_lateral = 0;
            u->back_course = 0;
            if (u->arm_gs != 0 || u->vertical == kVertGs) {
                u->arm_gs = 0;
                u->vertical = kVertPitch;
                u->lateral = kLatWingsLevel;
            } else {
                u->lateral = kLatBasic;
            }
        }
    }
}

void SelectBackCourseAndStandby(FgcUnit& u1, FgcUnit& u2) {
    for (FgcUnit* u : {&u1, &u2}) {
        if (u->lateral != kLatNav && u->lateral != kLatAppr && u->arm_lateral == 0) {
            u->back_course = 0;
        }
    }
    if (TakeRequest(kApRequestStandby)) {
        FgcBankLimit = kDefaultBankLimit;
        ModesOff(u1);
        ModesOff(u2);
    }
}

void SelectSources() {
    FgcSide1.ahrs = AhrsSource1;
    FgcSide2.ahrs = AhrsSource2;
    const int32_t sel = FgcSide1.coupled_side == 1 ? NavSourceSel1 : NavSourceSel2;
    NavSourceRecord* source = &NavSources[std::clamp(sel, 0, kNavSourceCount - 1)];
    FgcSide1.nav_source = source;
    FgcSide2.nav_source = source;
}

void SelectEngagementMessages(FgcUnit& u1, FgcUnit& u2) {
    FgcSelectState& s = FgcSelect;
    if (TakeRequest(kApRequestMasterSelected)) {
        const int32_t master = FGC_comp_AP_master.load(std::memory_order_acquire);
        FgcMessageSetLower(master == 2 ? "R AFCS MSTR" : "L AFCS MSTR", 8);
        if (u1.ap != 0 || u2.ap != 0) {
            u1.ap = (master & 1) != 0 ? 1 : 0;
            u2.ap = (master & 2) != 0 ? 1 : 0;
        }
        if (u1.yd != 0 || u2.yd != 0) {
            u1.yd = (master & 1) != 0 ? 1 : 0;
            u2.yd = (master & 2) != 0 ? 1 : 0;
        }
    }
    const bool ap_before = s.last_ap1 != 0 || s.last_ap2 != 0;
    const bool ap_now = u1.ap != 0 || u2.ap != 0;
    const bool ap_same = s.last_ap1 == u1.ap && s.last_ap2 == u2.ap;
    const bool yd_same = s.last_yd1 == u1.yd && s.last_yd2 == u2.yd;
    if (ap_same && !yd_same) {
        if (s.last_yd1 == 0 && s.last_yd2 == 0) {
            FgcMessageSetLower("YD ENG", 8);
        } else if (u1.yd == 0 && u2.yd == 0) {
            FgcMessageSet("YD DISENG", 1, kMessagePasses);
        }
    }
    if (!ap_before && ap_now) FgcMessageSetLower("AP ENG", 8);
    if (ap_before && !ap_now) {
        FgcMessageSet("AP DISENG", s.manual_disconnect != 0 ? 1 : 3, kMessagePasses);
        if (s.manual_disconnect == 0) PlayAfcsSound();
    }
    s.last_ap1 = u1.ap;
    s.last_ap2 = u2.ap;
    s.last_yd1 = u1.yd;
    s.last_yd2 = u2.yd;
    s.manual_disconnect = 0;
    if (Airborne() && (u1.tcs != 0 || u2.tcs != 0)) FgcMessageSetLower("TCS ENGAGE", 4);
}

void SelectAlways(FgcUnit& u1, FgcUnit& u2) {
    for (FgcUnit* u : {&u1, &u2}) {
        if (u->lateral == kLatNone) u->ap = 0;
    }
    if (StallSystemFail[0] != 0 || StallSystemFail[1] != 0 || !Airborne()) {
        u1.ap = 0;
        u2.ap = 0;
    }
    if (u1.power == 0) {
        FgcVsTarget = 0.0f;
        ModesOff(u1);
    }
}

void SelectRadioSources() {
    DmeUpdate();
    if (CountdownTick(&RadioLookupHoldoff)) RedrawRequest.store(255, std::memory_order_release);
}

void SelectCopyToFgc2() {
    BaroAltitudeSource = FgcSide1.coupled_side == 2 ? &BaroAltitude2 : &BaroAltitude1;
    FGC_comp_AP2_vertical_mode = FGC_comp_AP1_vertical_mode;
    FGC_comp_AP2_lateral_mode = FGC_comp_AP1_lateral_mode;
    FGC_comp_AP2_vertical_armed_mode_1 = FGC_comp_AP1_vertical_armed_mode_1;
    FGC_comp_AP2_vertical_armed_mode_2 = FGC_comp_AP1_vertical_armed_mode_2;
    FGC_comp_AP2_lateral_armed_mode = FGC_comp_AP1_lateral_armed_mode;
    FgcHeadingTarget2 = FgcHeadingTarget;
    FgcRollCommand2 = FgcRollCommand;
    FgcSide2.coupled_side = FgcSide1.coupled_side;
    FgcSide2.nav_select_side = FgcSide1.nav_select_side;
}

// ---------------------------------------------------------------------------
// FGC steps

double BaroAltitude() {
    return BaroAltitudeSource != nullptr ? *BaroAltitudeSource : BaroAltitude1;
}

void StepAltSelCapture(FgcUnit& u) {
    if (u.arm_alt_sel == 0) return;
    const double error = std::trunc(std::fabs(BaroAltitude() - AIRDATA_comp_selected_alt));
    const double band =
        TableLookup8(kAltSelCaptureBand, static_cast<float>(std::abs(VerticalSpeedRaw)));
    if (error < band) {
        u.arm_alt_sel = 0;
        u.vertical = kVertAlt;
        FGC_comp_AP_prog_alt = static_cast<float>(AIRDATA_comp_selected_alt);
    }
}

void StepGsCapture(FgcUnit& u) {
    if (u.arm_gs != 2) return;
    if (u.vertical == kVertGs) u.vertical = kVertPitch;
    u.gs_check = 0;
    const NavSourceRecord* src = u.side.nav_source;
    if (SignalType(u) != kSignalLocalizer) {
        u.arm_gs = 0;
        return;
    }
    if (src->glideslope_alive != 0 && u.gs_deviation > -50 && u.gs_deviation < 120 &&
        u.lateral == kLatAppr) {
        u.gs_check = 1;
        u.arm_gs = 0;
        u.vertical = kVertGs;
    }
}

void StepNavArmed(FgcUnit& u, uint8_t wait_before) {
    if (u.arm_lateral != 1 || u.channel.over_station != 0) return;
    const uint8_t signal = SignalType(u);
    if (signal == kSignalLocalizer) {
        u.lateral = kLatHdg;
    } else if (u.lateral != kLatHdg && u.lateral != kLatRollHold && u.lateral != kLatWingsLevel) {
        u.lateral = kLatHdg;
    }
    if (RadioSignal(signal)) {
        if (std::fabs(u.channel.lateral_deviation) >= 126.0) {
            u.channel.capture_wait = 1;
        } else {
            u.channel.nav_capture_started = 1;
            if (wait_before == 0 || signal == kSignalLocalizer) {
                u.arm_lateral = 0;
                u.lateral = kLatNav;
                u.channel.nav_capture_started = 0;
            }
        }
    } else {
        u.arm_lateral = 0;
        u.channel.capture_wait = 1;
    }
    if (FmsSource(u)) {
        u.lateral = kLatNav;
        u.arm_lateral = 0;
    }
}

void StepApprArmed(FgcUnit& u, uint8_t wait_before) {
    if (u.arm_lateral != 2) return;
    u.lateral = kLatHdg;
    const uint8_t signal = SignalType(u);
    if (RadioSignal(signal)) {
        if (std::fabs(u.channel.lateral_deviation) < 126.0) {
            u.channel.appr_capture_started = 1;
            if (wait_before == 0 || signal == kSignalLocalizer) {
                u.lateral = kLatAppr;
                u.channel.appr_capture_started = 0;
                u.arm_lateral = 0;
            }
        }
    } else {
        u.channel.capture_wait = 1;
        u.arm_lateral = 0;
    }
}

// The knob's clicks since the last pass; `knob` is the count read once at
// the start of this step, so a click made meanwhile counts on the next pass.
int32_t KnobSteps(FgcUnit& u, int32_t knob) {
    const int32_t steps = knob - u.channel.last_knob;
    if (steps != 0) {
        u.go_around = 0;
        u.channel.last_knob = knob;
    }
    return steps;
}

double CurrentPitch(const FgcUnit& u) {
    return -u.ahrs->pitch;
}

void StepIasPitch(FgcUnit& u) {
    const double e = std::clamp((FgcIasTarget - IndicatedAirspeed) * 0.33, -2.5, 2.5);
    const double a = e - LongitudinalAccelFiltered;
    double s = a > 0.0 ? a * a / (a + 1.5) : -a * a / (1.5 - a);
    s = std::clamp(s, -0.54, 0.54);
    double target = std::clamp(FgcPitchTarget - s * 0.0375, -20.0, 20.0);
    if (FGC_comp_AP1_engaged == 0 && FGC_comp_AP2_engaged == 0) {
        const double p = CurrentPitch(u);
        target = std::clamp(target, p - 3.0, p + 3.0);
    }
    if (std::isfinite(target)) FgcPitchTarget = static_cast<float>(target);
}

void StepGlideslope(FgcUnit& u) {
    u.arm_gs = 0;
    const NavSourceRecord* src = u.side.nav_source;
    if (SignalType(u) == kSignalLocalizer && src->glideslope_alive != 0) {
        if (Rate() & 0x10) {
            const double angle = src->glideslope_inclination * (360.0 / 65536.0);
            FgcSelect.gs_sine = std::sin(angle * 0.017453292519943295);
        }
        if (u.gs_check == 0) {
            FgcVsTarget = 0.0f;
        } else {
            const double vs = GroundSpeed * FgcSelect.gs_sine * 101.26666 - u.gs_deviation * 6.0;
            FgcVsTarget = static_cast<float>(std::clamp(std::min(0.0, vs), -3000.0, 0.0));
            u.fma_flags[0] = std::abs(u.gs_deviation) < 25 ? 1 : 0;
            u.channel.gs_captured_latch = 1;
        }
        u.arm_alt_sel = 0;
    } else {
        u.vertical = kVertPitch;
        u.gs_check = 0;
    }
    if (u.lateral != kLatAppr) {
        u.vertical = kVertPitch;
        u.arm_gs = 2;
    }
}

void StepVerticalWork(FgcUnit& u, int32_t knob) {
    const int32_t steps = KnobSteps(u, knob);
    switch (u.vertical) {
        case kVertPitch:
            if (steps != 0) {
                FgcPitchTarget = std::clamp(FgcPitchTarget - 0.1f * static_cast<float>(steps),
                                            -kPitchTargetLimit, kPitchTargetLimit);
            }
            break;
        case kVertAlt:
            if (steps != 0) {
                u.vertical = kVertPitch;
                FgcMessageSet("VERT MODE OFF", 2, kMessagePasses);
            }
            break;
        case kVertVs:
            if (steps != 0) {
                FgcVsTarget = std::clamp(FgcVsTarget - 100.1f * static_cast<float>(steps),
                                         -kVsTargetLimit, kVsTargetLimit);
            }
            if (Rate() & 0x04) {
                FgcVsTarget = static_cast<float>(std::trunc(FgcVsTarget * 1.001 * 0.01) * 100.0);
            }
            break;
        case kVertIas:
            if (steps != 0) FgcIasTarget = std::clamp(FgcIasTarget + steps, 0, kIasTargetMax);
            StepIasPitch(u);
            break;
        case kVertGs:
            StepGlideslope(u);
            break;
        default:
            break;
    }
}

void StepStationPassage(FgcUnit& u) {
    FgcChannelState& c = u.channel;
    const uint8_t signal = SignalType(u);
    if (FgcPassageInput > 0.0 && signal == kSignalNone && c.signal_kind == kSignalLocalizer) {
        c.over_station_countdown = 64;
    }
    if (c.signal_kind == kSignalLocalizer) {
        c.over_station = CountdownTick(&c.over_station_countdown) ? 1 : 0;
    }
    if (FmsSource(u) && u.lateral == kLatNav) return;
    if (!RadioSignal(signal)) {
        if (c.over_station == 0) u.lateral = kLatWingsLevel;
        return;
    }
    if (std::fabs(c.lateral_deviation) >= 127.0) {
        if (c.over_station == 0) {
            u.arm_lateral = u.lateral == kLatNav ? 1 : 2;
            u.lateral = kLatWingsLevel;
        }
        return;
    }
    if (signal == kSignalLocalizer && c.station_value == 0.0f && FgcPassageInput > 0.0) {
        c.over_station_countdown = 32;
    }
    if (signal == kSignalVor && u.lateral == kLatNav && c.station_value > 50000.0f) {
        c.over_station_countdown = 32;
    }
    c.over_station = CountdownTick(&c.over_station_countdown) ? 1 : 0;
    const int32_t mode = u.lateral;
    u.arm_lateral = 0;
    if (mode == kLatAppr) {
        if (c.gs_captured_latch == 0 && u.vertical != kVertGs &&
            u.side.nav_source->glideslope_inclination != 0 && signal == kSignalLocalizer) {
            u.arm_gs = 2;
        }
    } else {
        u.arm_gs = 0;
    }
}

void StepLateralWork(FgcUnit& u) {
    switch (u.lateral) {
        case kLatBasic:
        case kLatWingsLevel:
            u.roll_command = 0.0;
            break;
        case kLatHdg: {
            const int32_t side = FgcSide1.coupled_side;
            if (side == 1 || side == 2) {
                const int32_t sel =
                    side == 1 ? FGC_comp_HSI1_heading_sel : FGC_comp_HSI2_heading_sel;
                u.heading_target = (sel + 0.35) - u.ahrs->heading_bias;
            }
            break;
        }
        case kLatNav:
        case kLatAppr:
            StepStationPassage(u);
            break;
        default:
            break;
    }
}

bool DualApproachConditions(const FgcUnit& u) {
    return AfcsPower1 != 0 && AfcsPower2 != 0 && RadioAltitudeReadoutValue >= 26 &&
           RadioAltitudeReadoutValue <= 1199 && u.lateral == kLatAppr && u.vertical == kVertGs &&
           NavSources[kNavVor1].receive_state == kSignalLocalizer &&
           NavSources[kNavVor2].receive_state == kSignalLocalizer;
}

void EnterDualApproach(FgcUnit& u) {
    u.dual = 1;
    if (FgcSide1.coupled_side != 3) u.channel.saved_coupled_side = FgcSide1.coupled_side;
    FgcSide1.coupled_side = 3;
}

void StepNotDual(FgcUnit& u) {
    u.dual = 0;
    if (FGC_comp_AP1_engaged != 0 && FGC_comp_AP2_engaged != 0) FGC_comp_AP2_engaged = 0;
    if (FGC_comp_YD1_engaged != 0 && FGC_comp_YD2_engaged != 0) FGC_comp_YD2_engaged = 0;
    const int32_t saved = u.channel.saved_coupled_side;
    if (FgcSide1.coupled_side == 3 && (saved == 1 || saved == 2)) FgcSide1.coupled_side = saved;
}

void StepTcs(FgcUnit& u) {
    const bool active =
        TcsButtonState.load(std::memory_order_acquire) == 1 && u.power != 0 && Airborne();
    if (!active) {
        u.tcs = 0;
        u.channel.tcs_lateral_mode = u.lateral;
        return;
    }
    u.tcs = 1;
    const double bank = u.ahrs->bank;
    const double magnitude = std::fabs(bank);
    u.roll_command = std::clamp(-bank, -kTcsMaxBank, kTcsMaxBank);
    FgcBankLimit =
        magnitude >= kTcsMinBank && magnitude <= kTcsMaxBank ? magnitude : kDefaultBankLimit;
    if (magnitude < kTcsMinBank) u.roll_command = 0.0;
    const int32_t before = u.channel.tcs_lateral_mode;
    if (before == kLatWingsLevel || before == kLatBasic || before == kLatRollHold) {
        u.lateral = magnitude < kTcsMinBank ? kLatWingsLevel : kLatRollHold;
    }
    u.go_around = 0;
}

void StepBasicLateral(FgcUnit& u) {
    const bool basic = u.lateral == kLatBasic || u.lateral == kLatNone ||
                       (u.number == 2 && u.lateral == kLatWingsLevel);
    if (!basic) return;
    FgcBankLimit = kDefaultBankLimit;
    u.leg_param = 0;
    u.roll_command = 0.0;
}

void StepSyncTargets(FgcUnit& u) {
    const bool tcs = u.tcs != 0;
    const bool full = u.number == 1;
    if ((full || tcs) && !(u.vertical == kVertAlt && !tcs)) {
        FGC_comp_AP_prog_alt = static_cast<float>(BaroAltitude());
    }
    if (full && !(u.vertical == kVertIas && !tcs)) {
        FgcIasTarget = std::clamp(TruncToInt32(IndicatedAirspeed), 0, kIasTargetMax);
    }
    const bool vs_mode = u.vertical == kVertVs || u.vertical == kVertIas || u.vertical == kVertGs;
    if ((full || tcs) && !(vs_mode && !tcs)) {
        FgcVsTarget =
            std::clamp(static_cast<float>(VerticalSpeedRaw), -kVsTargetLimit, kVsTargetLimit);
    }
    if ((u.vertical != u.side.previous_vertical_mode || tcs) && u.go_around != 1) {
        FgcPitchTarget = static_cast<float>(
            std::clamp(CurrentPitch(u), -double{kPitchTargetLimit}, double{kPitchTargetLimit}));
    }
    u.side.previous_vertical_mode = u.vertical;
}

void StepBasicModes(FgcUnit& u) {
    const bool no_lateral = u.lateral == kLatNone;
    const bool no_vertical = u.vertical == kVertNone;
    if (no_lateral && no_vertical) return;
    if (no_vertical) u.vertical = kVertPitch;
    if (no_lateral) u.lateral = kLatWingsLevel;
}

void StepAlert(FgcUnit& u) {
    const bool ap_diseng = UpperLineReads(u, "AP DISENG");
    const bool on =
        ((ap_diseng && u.messages.code.load(std::memory_order_acquire) != 0) || u.test_timer > 0) &&
        u.rnav.load(std::memory_order_acquire) == 0 && AnnunciatorPower();
    SoundObject* sound = &SoundSet[kSoundApDisconnect];
    if (on) {
        if (Rate() & 0x10) u.alert_lamp = 1;
        if (sound->buffer != nullptr && !SoundPlaying(kSoundApDisconnect) &&
            RestoreSoundBuffer(sound) == 0) {
            SoundStart(sound, 1);
        }
    } else {
        u.alert_lamp = 0;
        if (u.ap == u.channel.last_ap_engaged && sound->buffer != nullptr) {
            platform::SoundBufferStop(sound->buffer);
            platform::SoundBufferSetCurrentPosition(sound->buffer, 0);
        }
    }
    if ((u.test_timer == 0 && !ap_diseng) || u.power == 0) {
        u.rnav.store(0, std::memory_order_release);
    }
}

// Step 9, powered or not: the knob's count is taken as seen, so clicks made
// while the computer is unpowered are never applied later.
void StepKeepKnob(FgcUnit& u, int32_t knob) {
    u.channel.last_knob = knob;
}

void StepClose(FgcUnit& u) {
    ApDisconnectSoundSelect();
    u.channel.last_ap_engaged = u.ap;
    if (AcBusPowered.get(u.number == 1 ? 3 : 2) == 0) u.yd = 0;
}

}  // namespace

void FgcModeSelect() {
    FgcUnit u1 = FgcUnit1();
    FgcUnit u2 = FgcUnit2();
    SelectPower();
    SelectGoAround(u1, u2);
    if (AfcsPower1 != 0) {
        SelectAhrsAndAirData();
        SelectApButton(u1, u2);
        SelectDisconnectButton();
        SelectYdButton(u1, u2);
        SelectAlignmentHold(u1, u2);
        SelectSides(u1, u2);
        SelectHdgAltVsIas(u1, u2);
        SelectAltSel(u1, u2);
        SelectNav(u1, u2);
        SelectAppr(u1, u2);
        SelectBc(u1, u2);
        SelectBackCourseAndStandby(u1, u2);
        SelectSources();
        SelectEngagementMessages(u1, u2);
    } else {
        u1.ap = u1.yd = u2.ap = u2.yd = 0;
        FgcFmsLegParam1 = 0;
        FgcFmsLegParam2 = 0;
    }
    SelectAlways(u1, u2);
    SelectRadioSources();
    SelectCopyToFgc2();
}

void Fgc1Step() {
    FgcUnit u = FgcUnit1();
    const int32_t knob = ApKnob.load(std::memory_order_acquire);
    FmaTextUpdate();
    AfcsSelfTest1();
    const uint8_t wait_before = u.channel.capture_wait;
    if (u.lateral != kLatNav && u.lateral != kLatAppr) u.channel.over_station = 0;
    if (u.lateral == kLatNone) u.roll_command = 0.0;
    bool dual = false;
    if (u.power != 0) {
        StepAltSelCapture(u);
        StepGsCapture(u);
        StepNavArmed(u, wait_before);
        StepApprArmed(u, wait_before);
        StepVerticalWork(u, knob);
        StepLateralWork(u);
        dual = DualApproachConditions(u);
        if (dual) EnterDualApproach(u);
    }
    if (!dual) StepNotDual(u);
    StepTcs(u);
    StepBasicLateral(u);
    StepSyncTargets(u);
    StepBasicModes(u);
    StepKeepKnob(u, knob);
    StepAlert(u);
    StepClose(u);
    if (u.new_data.exchange(0, std::memory_order_acq_rel) != 0) ApControlLaws();
}

void Fgc2Step() {
    FgcUnit u = FgcUnit2();
    FgcModeAnnunciation();
    AfcsSelfTest2();
    if (u.lateral != kLatNav && u.lateral != kLatAppr) u.channel.over_station = 0;
    if (u.lateral == kLatNone) u.roll_command = 0.0;
    const bool dual = DualApproachConditions(u);
    if (dual) {
        EnterDualApproach(u);
    } else {
        StepNotDual(u);
    }
    StepTcs(u);
    StepBasicLateral(u);
    StepSyncTargets(u);
    StepBasicModes(u);
    StepKeepKnob(u, ApKnob.load(std::memory_order_acquire));
    StepAlert(u);
    StepClose(u);
    if (u.new_data.exchange(0, std::memory_order_acq_rel) != 0) ApControlLaws2();
}

void FlightGuidanceTick(uint32_t rate) {
    LongitudinalAccelUpdate();
    if (SimFrozen.load(std::memory_order_acquire) != 0 || FlightLoadCounter <= 240) return;
    if (rate & 0x02) FgcModeSelect();
    Fgc1Step();
    Fgc2Step();
}

}  // namespace zu
