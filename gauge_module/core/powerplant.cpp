#include "core/powerplant.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cabin_link/instructor_state_exchange.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "panels/bleed_air_panel.h"
#include "panels/engine_start_panels.h"
#include "panels/side_panels.h"
#include "zu/platform/ini_file.h"

namespace zu {

bool SynchrophaserAvailable() {
    return CopilotSwitchPowered != 0 && PowerplantsInstructorStates[kPpSynchrophaser] == 0;
}

PowerplantStateRecord PowerplantState{};
int32_t TorqueBugValue[2] = {0, 0};
double PropRpm[2] = {0.0, 0.0};
SpoolState Nh1State{};
SpoolState Nh2State{};
float NLValue[2] = {0.0f, 0.0f};
float IttCorrection[2] = {0.0f, 0.0f};
float EngineOilQty[2] = {4.8f, 5.2f};
float StbyOilQty[2] = {1.0f, 1.0f};
float FuelTemp = 0.0f;
SystemTimersRecord SystemTimers{};
SystemTimers2Record SystemTimers2{};

double HostThrottleLever[2] = {3000.0, 3000.0};
int32_t HostThrottleInput[2] = {-4096, -4096};
int32_t PowerLeverPosition[2] = {3000, 3000};
int32_t PowerLeverValue[2] = {10000, 10000};
double PropRpmCommand[2] = {0.0, 0.0};
int32_t PropControlDemand[2] = {-4096, -4096};
double ThrottleCommand[2] = {-128.0, -128.0};
int32_t ConditionCommand[2] = {0, 0};
float NhTarget[2] = {0.0f, 0.0f};
int32_t PropFeatherCountdown[2] = {12, 12};
uint8_t PropFeatherHold[2] = {0, 0};
uint8_t PropFeatherFromOil[2] = {0, 0};
double PropFeatherHeldAngle[2] = {0.0, 0.0};
int32_t PropBladeHoldCountdown[2] = {0, 0};
int32_t Powerplants_engine_ign1 = 0;
int32_t Powerplants_engine_ign2 = 0;
int32_t Powerplants_controls_throttle_limiter = 1;
double PowerLeverLastHostValue[2] = {25.0, 25.0};
int32_t EgcSwitch[2] = {0, 0};
int32_t EngineManualFlag[2] = {255, 255};
int32_t EngineStartRequest[2] = {0, 0};
int32_t UptrimFlag[2] = {0, 0};
AutofeatherRecord Autofeather{};
FuelSystemRecord FuelSystemState{};
float TorqueFiltered[2] = {0.0f, 0.0f};
int32_t TorqueSmoothCount[2] = {0, 0};
EngineOilStatusRecord EngineOilStatus[2]{};
EngineModelRecord EngineModel[2] = {{0.0f, 1.0f, 1, kOilWatchPasses, 0.0, 260},
                                    {0.0f, 1.0f, 1, kOilWatchPasses, 0.0, 260}};
float PropSyncCorrection = 0.0f;
uint8_t PowerplantLoaded = 0;

namespace {

// Tables in TableLookup8 form: eight inputs, then eight outputs.
constexpr float kLeverToThrottleAir[16] = {2600,   3000, 3600, 5000, 7000, 8500, 10000, 24000,
                                           -16000, -500, -400, -300, -110, -45,  0,     13501};
constexpr float kLeverToThrottleGround[16] = {2600,   3000, 3600, 5000, 7000, 8500, 10000, 24000,
                                              -16000, -730, -680, -400, -150, -65,  0,     13501};
constexpr float kLeverToNhTarget[16] = {11282, 13000, 21000, 24000, 24000, 24000, 24000, 24000,
                                        63,    70,    95,    100,   100,   100,   100,   100};
constexpr float kNhTargetToThrottle[16] = {62, 105,   105,   105,   105,   105,   105,   105,
                                           0,  16237, 16237, 16237, 16237, 16237, 16237, 16237};
constexpr float kLeverToThrottleManual[16] = {11282, 13000, 17500, 19500, 22000, 22000,
                                              22000, 22000, 20,    1000,  8100,  12000,
                                              16300, 16300, 16300, 16300};
constexpr float kRpmLimitByAirspeed[16] = {0,    110,  150,  180,  250,  250,  250,  250,
                                           1225, 1225, 1300, 1400, 1500, 1500, 1500, 1500};
constexpr float kHostSpoolScale[16] = {0,    5,    7,    9,    12,   13.5f, 55,   65,
                                       3.0f, 3.0f, 2.6f, 2.3f, 2.1f, 2.0f,  1.5f, 1.0f};
constexpr float kStarterSupply[16] = {25,    25.3f, 25.6f, 26.2f, 26.5f, 27, 27.5f, 28,
                                      0.36f, 0.37f, 0.4f,  0.45f, 0.85f, 1,  1,     1};
constexpr float kAltitudeFactor[16] = {5000,    10000,   15000,    20000,    25000,   25000,
                                       25000,   25000,   1.03172f, 0.99887f, 0.9863f, 0.97537f,
                                       0.9635f, 0.9635f, 0.9635f,  0.9635f};
constexpr float kGroundLeverToSpool[16] = {7000, 10000, 13000, 22000, 24000, 24000, 24000, 24000,
                                           64,   72,    72,    100,   100,   100,   100,   100};
constexpr float kTorqueByRpm[16] = {0, 100,   200,   300,   800,  900,   1050, 1200,
                                    0, 0.09f, 0.18f, 0.45f, 0.8f, 0.89f, 0.9f, 0.97f};
constexpr float kTorqueFloorByBlade[16] = {
    0, 0.00175f, 0.01579f, 0.05263f, 0.14035f, 0.21053f, 100, 100, -6, 1, 8, 14, 18, 21, -6, -6};

constexpr int32_t kReverseThreshold = -255;
constexpr double kBladeReverse = -0.0701754;  // radians (-4 degrees)

double Table(const float* t, double x) {
    return TableLookup8(t, static_cast<float>(x));
}

SpoolState& Spool(int e) {
    return e == 0 ? Nh1State : Nh2State;
}

int32_t& FailureWord(int e) {
    return e == 0 ? EngineFailureWord1 : EngineFailureWord2;
}

int32_t Ignition(int e) {
    return e == 0 ? Powerplants_engine_ign1 : Powerplants_engine_ign2;
}

double BladeAngle(int e) {
    return e == 0 ? PropPitch1 : PropPitch2;
}

bool Airborne() {
    return OnGround == 0;
}

// The instructor's word of an engine: engine 1 uses entry i, engine 2 entry
// i + 12.
int32_t InstructorWord(int e, int i) {
    return PowerplantsInstructorStates[i + 12 * e];
}

void Countdown(int32_t* c) {
    CountdownTick(c);
}

// --- PowerLeversUpdate -----------------------------------------------------

void PublishSpoolValues(int e) {
    const double nh = Spool(e).nh;
    double spool = nh * 288.0;
    if (EngineOilQty[e] < 0.01f) spool *= 0.9;
    PowerplantState.SpoolValue[e] = TruncToInt32(spool);
    PowerplantState.FuelPressure[e] = EngineFuelFeed[e] == 0 ? 0 : TruncToInt32(nh * 218.0);
}

void PanelLeverAndDemand(int e) {
    const int32_t t = HostThrottleInput[e];
    if (t < kReverseThreshold) {
        PowerLeverValue[e] = TruncToInt32(t * 3.5 + 14000.0);
        PropControlDemand[e] = -4096;
    } else {
        PowerLeverValue[e] = TruncToInt32(0.42724609 * t + 14000.0);
        if (PropFeatherCountdown[e] == 0) {
            PropControlDemand[e] = TruncToInt32(t * 0.207438758 + 6797.353);
        }
    }
    if (PropFeatherCountdown[e] > 0) {
        PropControlDemand[e] = -4096;
    } else if (PropFeatherFromOil[e] != 0 && PropControlDemand[e] < 0) {
        PropControlDemand[e] = 10196;
    } else if (PropFeatherHold[e] != 0) {
        PropControlDemand[e] = 14000;
    }
    if (PilotPanelOverride == -1) PropControlDemand[e] = std::min(PropControlDemand[e], 7434);
}

// Re-derives the lever position when the host lever moved beyond the
// threshold since the value it was last derived from (a lever pulled back
// to idle re-derives as well).
void LeverPosition(int e) {
    const double host = HostThrottleLever[e];
    const double moved = std::fabs(host - PowerLeverLastHostValue[e]);
    if (!(moved > Throttles_delta && moved > kLeverRederiveThreshold)) return;
    PowerLeverLastHostValue[e] = host;
    PowerLeverPosition[e] =
        TruncToInt32(Table(OnGround != 0 ? ThrottlesGndTable : ThrottlesAirTable, host));
    double command;
    if (OnGround != 0) {
        command = Table(kLeverToThrottleGround, PowerLeverPosition[e]);
        if (command < -1500.0 && PowerLeverValue[e] < 15000) command = -1000.0;
    } else {
        command = Table(kLeverToThrottleAir, PowerLeverPosition[e]);
        const double limit = e == 0 ? 20.0 : 15.0;
        if (ThrottleCommand[e] < 0.0 && BladeAngle(e) * 57.0 > limit) command = 128.0;
    }
    ThrottleCommand[e] = command;
    if (PowerLeverPosition[e] > 14500) Powerplants_controls_throttle_limiter = 0;
}

// The instructor's ECU word (entry 8 for engine 1, 19 for engine 2) forces
// manual mode.
void ManualMode(int e) {
    const int32_t ecu = PowerplantsInstructorStates[e == 0 ? kPpEcu1 : kPpEcu2];
    const bool automatic = EgcSwitch[e] == 0 && Powered(kPoweredLeftEssential) && (ecu & 1) == 0 &&
                           Spool(e).nh >= 45.0f;
    EngineManualFlag[e] = automatic ? 0 : 255;
}

void ThrottleByMode(int e) {
    if (PowerLeverPosition[e] >= 11000) {
        if (EngineManualFlag[e] == 255 || PilotPanelOverride != 0 || PropFeatherCountdown[e] != 0) {
            ThrottleCommand[e] = Table(kLeverToThrottleManual, PowerLeverPosition[e]);
            ConditionCommand[e] = 19000;
        } else {
            double target = Table(kLeverToNhTarget, PowerLeverPosition[e]);
            if (UptrimFlag[e] != 0) target *= 1.015;
            if (PneuPanelSwitches[e] != 0) target *= 0.988;
            NhTarget[e] = static_cast<float>(target);
            const double base = Table(kNhTargetToThrottle, target);
            const double err = (target - Spool(e).nh) * 4.0;
            const double correction = err * std::fabs(err) / (30.0 + std::fabs(err) + 1e-9);
            ThrottleCommand[e] = std::clamp(base + correction * 163.84, 128.0, 13501.0);
        }
    } else if (PropRpm[e] < 700.0) {
        ConditionCommand[e] = 8000;
    }
}

bool ReverseBand(int e) {
    return PowerLeverPosition[e] > 2500 && PowerLeverPosition[e] < 9000 && HostThrottleInput[e] < 0;
}

// The governor band's floors: with the lever between 2500 and 11000 the
// command is at least 12400 below 40 kt and 16000 from 40 kt; with the
// lever elsewhere it is at least 11000.
void GovernorFloors(int e) {
    const int32_t lever = PowerLeverPosition[e];
    if (lever > 2500 && lever < 11000) {
        if (IndicatedAirspeed < 40.0f) {
            ConditionCommand[e] = std::max(ConditionCommand[e], 12400);
        } else {
            ConditionCommand[e] = 16000;
        }
    } else {
        ConditionCommand[e] = std::max(ConditionCommand[e], 11000);
    }
}

void ConditionByGovernor(int e) {
    const float nh = Spool(e).nh;
    const bool reverse = ReverseBand(e);
    if (reverse) {
        ConditionCommand[e] = (Ignition(e) != 0 || nh > 45.0f) ? 513 : 0;
    } else {
        const double d = 790.0 - EngineModel[e].rpm_governed;
        const double step = std::clamp(d * d * d / 700.0, -1024.0, 1024.0);
        ConditionCommand[e] = std::clamp(TruncToInt32(ConditionCommand[e] + step), 513, 16535);
        GovernorFloors(e);
        if (nh < 60.0f) ConditionCommand[e] = 513;
        if (PropFeatherCountdown[e] > 0) ConditionCommand[e] = 513;
        if (BladeAngle(e) < kBladeReverse) ConditionCommand[e] = 16535;
    }
    const double speed = reverse ? nh : IndicatedAirspeed;
    if (PilotPanelOverride == 1 && speed > 75.0)
        ThrottleCommand[e] = std::min(ThrottleCommand[e], 1024.0);
}

void ConditionOverrides(int e) {
    const float nh = Spool(e).nh;
    if (PowerLeverValue[e] < 20) {
        ConditionCommand[e] = 0;
        HostThrottleInput[e] = -4096;
    }
    if (Airborne() && PropRpm[e] > 800.0) {
        ConditionCommand[e] =
            ThrottleCommand[e] > 4096.0
                ? std::max(513, TruncToInt32(std::fabs(ThrottleCommand[e] + 16.0)))
                : 513;
    }
    if (EngineManualFlag[e] == 255 && ConditionCommand[e] >= 501) {
        ConditionCommand[e] = std::max(513, ConditionCommand[e] / 2);
    }
    if (EngineFuelFeed[e] == 0 || (FailureWord(e) & 1) != 0) ConditionCommand[e] = 0;
    // Oil watch: oil temperature at the end of the scale (oil run out) for
    // 480 passes cuts the fuel.
    if (PowerplantState.OilTemperatureWord[e] < 10000.0) {
        EngineModel[e].oil_watch = kOilWatchPasses;
    } else if (EngineModel[e].oil_watch > 0) {
        --EngineModel[e].oil_watch;
    }
    if (EngineModel[e].oil_watch == 0) ConditionCommand[e] = 0;
    // No light-off without ignition: an engine that does not burn yet, its
    // spool below 30 % and its ignition selector off, gets no fuel. An
    // engine the simulator reports burning is not lighting off and keeps
    // its fuel while the engine model catches up with its spool.
    if (nh < 30.0f && Ignition(e) == 0 && IttValue[e] == 0) ConditionCommand[e] = 0;
}

void StartTimer(int e) {
    int32_t& timer = SystemTimers.EngineStartTimer[e];
    const bool starter_works = (FailureWord(e) & 0x80) == 0;
    if (EngineStartRequest[e] != 0 && (starter_works || Spool(e).nh <= 61.0f)) {
        timer = kStartTimerHold;
    }
    Countdown(&timer);
    if (timer < 100) timer = 0;
    if (!Powered(kPoweredRightEssential)) UptrimFlag[0] = 0;
}

// --- EngineOilUpdate -------------------------------------------------------

// A forced state from an instructor entry: 0 computed, bit 2 forced off,
// else bit 1 forced on.
uint8_t Forced(int32_t entry, uint8_t computed) {
    if (entry == 0) return computed;
    if (entry & 4) return 0;
    if (entry & 2) return 1;
    return computed;
}

void OilUse(int e) {
    EngineOilQty[e] -= Spool(e).nh * 2e-8f;
    const int refill = e == 0 ? kPpEngine1OilRefill : kPpEngine2OilRefill;
    if (PowerplantsInstructorStates[refill] != 0) {
        EngineOilQty[e] = e == 0 ? 4.8f : 5.2f;
        PowerplantsInstructorStates[refill] = 0;
    }
    if (FailureWord(e) & 0x40) EngineOilQty[e] -= 0.01f;
    EngineOilQty[e] = std::max(EngineOilQty[e], 0.0f);
}

void PropellerOil(int e) {
    EngineOilStatusRecord& s = EngineOilStatus[e];
    const bool feathering = Autofeather.feather[e] > 0;
    s.has_oil_pressure = PowerplantState.SpoolValue[e] >= 6001 && EngineOilQty[e] > 0.1f;
    if (feathering) StbyOilQty[e] -= 0.0001f;
    if (s.has_oil_pressure) StbyOilQty[e] = 1.0f;
    StbyOilQty[e] = std::max(StbyOilQty[e], 0.0f);

    s.nh_above_8 = Spool(e).nh > 8.0f && (InstructorWord(e, 1) & 1) == 0;
    s.oil_supply = EngineOilQty[e] > 0.1f && s.nh_above_8;
    s.standby_oil = feathering && StbyOilQty[e] > 0.05f;
    s.prop_oil = s.oil_supply || s.standby_oil;
    s.status_enable = (InstructorWord(e, 2) & 4) == 0;

    uint8_t overspeed = s.overspeed;
    if (PropRpm[e] > 1300.0 && PropControlDemand[e] >= 14000) overspeed = 1;
    if (PropRpm[e] < 1240.0) overspeed = 0;
    s.overspeed = Forced(InstructorWord(e, 3), overspeed);
    uint8_t lever = s.lever;
    if (PowerLeverValue[e] >= 13001) lever = 0;
    if (PowerLeverValue[e] < 10000) lever = 1;
    s.lever = Forced(InstructorWord(e, 4), lever);
    s.feather_direction =
        Forced(InstructorWord(e, 5), feathering && Autofeather.direction[e] == 1 ? 1 : 0);

    s.p = s.status_enable && s.prop_oil;
    s.p_overspeed = s.p && s.overspeed;
    s.q = s.p && !s.overspeed;
    s.q_lever = s.q && s.lever;
    s.r = s.q && !s.lever;
    s.r_feather = s.r && s.feather_direction;
    s.normal = s.r && !s.feather_direction;

    // Blade hold.
    if (!s.prop_oil) PropBladeHoldCountdown[e] = 12;
    if (PropBladeHoldCountdown[e] == 0) {
        PropFeatherHeldAngle[e] = BladeAngle(e);
    } else if (PropFeatherCountdown[e] > 0) {
        PropFeatherHeldAngle[e] = 1.5789473684210527;
        PropFeatherCountdown[e] = 12;
    }

    // Flags for the power-lever step.
    const bool hold_bit = (InstructorWord(e, 2) & 2) != 0;
    if (s.normal && s.prop_oil && !hold_bit && !feathering) {
        PropFeatherFromOil[e] = 0;
        PropFeatherHold[e] = 0;
    } else {
        // Only a propeller with oil that is not governing normally is driven
        // to feather (or, overspeeding at a high demand, pulled back); one
        // without oil keeps its held blade angle, and a normal one is held
        // or unfeathered by the two flags.
        if (s.prop_oil && !s.normal) {
            if (PropControlDemand[e] >= 12000 && s.overspeed) {
                PropControlDemand[e] = 10500;
            } else {
                PropFeatherCountdown[e] = 12;
            }
        }
        PropFeatherFromOil[e] = s.normal && s.prop_oil;
        PropFeatherHold[e] = s.prop_oil ? hold_bit : 0;
    }
    Countdown(&PropBladeHoldCountdown[e]);
    Countdown(&PropFeatherCountdown[e]);
}

// The status bytes of an engine for the instructor station, from the oil
// step's states.
void EngineStatusBytes(int e) {
    namespace sb = status_byte;
    const EngineOilStatusRecord& s = EngineOilStatus[e];
    PowerplantStateRecord& p = PowerplantState;
    uint8_t* run = p.StatusBytes;
    run[sb::kGovernor + e] = s.p;
    run[sb::kStandbyOilLine + e] = s.standby_oil;
    run[sb::kPumpToGovernorLine + e] = s.oil_supply;
    run[sb::kEngineOilLine + e] = s.oil_supply;
    run[sb::kOsgvToMfvLine + e] = s.q;
    run[sb::kStandbyToAfvLine + e] = s.standby_oil;
    uint8_t* block = run + sb::kEngineBlock + sb::kEngineBlockSize * e;
    block[sb::kPcuPump] = s.oil_supply;
    block[sb::kNormal] = s.normal;
    block[sb::kAfv] = s.r_feather;
    block[sb::kMfv] = s.q_lever;
    block[sb::kOsgv] = s.p_overspeed;

    const uint8_t ecu = EngineManualFlag[e] == 0 && s.nh_above_8;
    if (e == 0) {
        run[sb::kEcuLine1] = ecu;
    } else {
        p.OilStatusFlagsA[sb::kEcuLine2] = ecu;
        p.OilStatusFlagsB[sb::kEngine2Oil] = s.oil_supply;
    }
    p.OilStatusFlagsA[sb::kDriveLine + e] = s.nh_above_8;
    p.OilStatusFlagsB[sb::kAfvToMfvLine + e] = s.r_feather || s.standby_oil;
    p.OilStatusFlagsC[sb::kMfvToPcuLine + e] = s.p;
    p.OilStatusFlagsC[sb::kMfvToPcuLine2 + e] = s.p;
}

// The synchrophaser's line: lit while it is available.
void SynchrophaserStatusByte() {
    PowerplantState.OilStatusFlagsB[status_byte::kSynchrophaserLine] = SynchrophaserAvailable();
}

// --- PropRpmUpdate ---------------------------------------------------------

double HostPropRpm(int e) {
    return HostVariables[e == 0 ? kHvPropRpm1 : kHvPropRpm2].value;
}

void Synchrophaser(double host[2]) {
    float target = 0.0f;
    if (SynchrophaserAvailable() && std::fabs(host[0] - host[1]) < 40.0 && host[1] > 880.0 &&
        host[1] < 950.0) {
        target = static_cast<float>(host[0] - host[1]);
    }
    PropSyncCorrection = std::min(RateLimit(target, PropSyncCorrection, 0.1f), 40.0f);
    host[1] += PropSyncCorrection;
}

void PropellerSpeed(int e, double host) {
    double& rpm = PropRpm[e];
    const bool unlit = IttValue[e] == 0;
    if (host < 1050.0 && PropFeatherCountdown[e] > 0 && unlit && Airborne()) {
        rpm = (rpm * 57.0 + 0.1) / 58.0;
    } else if (!unlit && Airborne() && (host < 880.0 || PropFeatherCountdown[e] > 0)) {
        rpm = (rpm * 28.0 + 320.1) / 29.0;
    } else {
        rpm = std::clamp(host, rpm - 60.0, rpm + 5.0);
    }
    if (std::fabs(rpm - EngineModel[e].rpm_governed) > 1.0) EngineModel[e].rpm_governed = rpm;
    if (PropFeatherHold[e] == 0) rpm = std::min(rpm, Table(kRpmLimitByAirspeed, IndicatedAirspeed));
    int32_t& idle = EngineModel[e].ground_idle;
    if (Spool(e).nh <= 55.0f || PropFeatherCountdown[e] != 0) {
        idle = 260;
    } else {
        Countdown(&idle);
    }
    if (idle == 0 && EngineManualFlag[e] == 0 && rpm < 800.0) rpm = (rpm * 1.5 + 800.0) * 0.4;
}

void LowPressureSpool(int e) {
    const double host = HostVariables[e == 0 ? kHvSpool1b : kHvSpool2b].value;
    if (HostPropRpm(e) < 650.0 && Airborne()) {
        NLValue[e] = (NLValue[e] * 1200.0f + 15.0f) / 1201.0f;
    } else if (SystemTimers.EngineStartTimer[e] <= 260) {
        NLValue[e] = static_cast<float>(host);
    } else {
        NLValue[e] = static_cast<float>((NLValue[e] * 120.0 + host) / 121.0);
    }
}

void StartingSpool(int e, double host) {
    SpoolState& s = Spool(e);
    EngineModelRecord& m = EngineModel[e];
    const double volts = BusVolts.get(e == 0 ? kLeftMainBus : kRightMainBus);
    const double k = 1.0 / Table(kStarterSupply, volts);
    m.starter_factor = static_cast<float>(k);
    const int32_t timer = SystemTimers.EngineStartTimer[e];
    double nh = s.nh;
    if (IttValue[e] == 0 && host < 28.0) {
        nh = k <= 1.1 ? host : (host + nh * k) / (k + 1.0);
    } else {
        double h = Table(kAltitudeFactor, Altitude) * host;
        if (timer > 220) h *= 1.002;
        const double f = timer <= 220 ? 50.0 : 100.0;
        nh = (k * nh * f + h) / (f * k + 1.0);
    }
    if (IttValue[e] != 0 && IttCorrection[e] == 0.0f) {
        double c = std::max((20.0 / (nh + 1.10001) - 1.0) * 520.0, 1.0);
        if (k > 1.0) c += (k - 1.0) * 16.0;
        IttCorrection[e] = static_cast<float>(std::min(c, 60.0));
    }
    s.nh = static_cast<float>(nh);
    m.spool_copy = s.nh;
    s.lever_weight = BladeAngle(e) < kBladeReverse ? 0.0f : 1.0f;
}

void RunningSpool(int e, double host) {
    SpoolState& s = Spool(e);
    EngineModelRecord& m = EngineModel[e];
    if (PowerLeverPosition[e] < 3000) host *= EngineManualFlag[e] != 0 ? 1.3 : 0.95;
    const int32_t d = PowerLeverPosition[e] - s.lever_position;
    float activity = s.lever_activity;
    if (std::abs(d) >= 257) activity += static_cast<float>(std::abs(d)) / 512.0f;
    activity = std::min(8.0f, activity) * 0.99125f;
    s.lever_position = PowerLeverPosition[e];
    if (IttValue[e] == 0) activity = 0.0f;
    if (BladeAngle(e) * 57.0 > 65.0) {
        activity = 0.0f;
        s.lever_weight = 0.0f;
    } else {
        s.lever_weight = std::min(activity, 1.0f);
    }
    s.lever_activity = activity;
    if (IttValue[e] != 0 && ConditionCommand[e] > 5) {
        const double w = s.lever_weight;
        const float* d_table = OnGround != 0 ? kGroundLeverToSpool : kLeverToNhTarget;
        const double target = Table(kAltitudeFactor, Altitude) * (1.0 - w) * host +
                              w * Table(d_table, PowerLeverPosition[e]);
        const double limited = RateLimit(static_cast<float>(target), m.spool_copy, 3.0f);
        s.nh = static_cast<float>((limited + 7.0 * s.nh) / 8.0);
    } else {
        TorqueSmoothCount[e] = 2;
        s.nh = static_cast<float>((std::min(host, 2.0) + 50.0 * s.nh) / 51.0);
    }
    m.spool_copy = s.nh;
}

void HighPressureSpool(int e) {
    SpoolState& s = Spool(e);
    EngineModelRecord& m = EngineModel[e];
    double host = HostVariables[e == 0 ? kHvSpool1 : kHvSpool2].value;
    if (s.nh < 65.0f) host *= Table(kHostSpoolScale, host);
    if (IttValue[e] == 0) IttCorrection[e] = 0.0f;
    if (SystemTimers.EngineStartTimer[e] != 0) {
        StartingSpool(e, host);
    } else if (SystemTimers.EngineStartReturn != 0) {
        const double k = m.starter_factor;
        s.nh = static_cast<float>((host + 57.0 * k * s.nh) / (57.0 * k + 1.0));
    } else {
        RunningSpool(e, host);
    }
    if (IttValue[e] != m.itt_last) {
        if (IttValue[e] == 0) {
            s.lever_activity = 3.0f;
        } else {
            m.itt_last = IttValue[e];
        }
    }
    if ((FailureWord(e) & 0x10) && s.nh > 23.0f) s.nh *= 0.993f;
    if (IndicatedAirspeed > 30.0f) {
        s.nh = std::max(s.nh, (IndicatedAirspeed - 30.0f) * 0.053333335f);
    }
}

void EngineTorque(int e) {
    const double rpm = PropRpm[e];
    const double nh = Spool(e).nh;
    const double blade_deg = BladeAngle(e) * 57.0;
    double t = Table(kTorqueByRpm, rpm) * (nh - 68.0) * 4670.0 / (1.15 + rpm);  // altitude factor 1
    t = std::clamp(t, 0.0, 150.0);
    if (blade_deg < 55.0 && PowerLeverPosition[e] < 22586 && UptrimFlag[e] == 0 && t > 100.0) {
        t = (t - 100.0) * 0.27027027 + 100.0;
    }
    float& filtered = TorqueFiltered[e];
    if (t < 20.0 && std::fabs(blade_deg) < 13.0) {
        if (nh > 25.0 && rpm > 700.0)
            t = std::max(t, Table(kTorqueFloorByBlade, std::fabs(BladeAngle(e))));
        filtered = static_cast<float>((t + 3.0 * filtered) / 4.0);
    } else if (TorqueSmoothCount[e] > 0) {
        Countdown(&TorqueSmoothCount[e]);
        const double n = TorqueSmoothCount[e];
        filtered = static_cast<float>((t + n * filtered) / (n + 1.0));
    } else {
        filtered = static_cast<float>((t + filtered) / 2.0);
    }
    double published = filtered;
    if (AngleOfAttack > 0.22 && published < 2.0 && rpm > 800.0) published += 20.0;
    if (PowerplantsInstructorStates[e == 0 ? 10 : 20] & 1) published = 0.0;
    PowerplantState.Torque[e] = published;
}

// --- Autofeather -----------------------------------------------------------

void FilterAutofeatherTorque() {
    for (int e = 0; e < 2; ++e) {
        float& f = Autofeather.torque[e];
        f = Autofeather.test[e] != 0
                ? 61.0f
                : static_cast<float>((f * 75.0 + PowerplantState.Torque[e]) / 76.0);
    }
}

void AutofeatherArming() {
    AutofeatherRecord& a = Autofeather;
    if (a.select != 0) {
        const bool tests = a.test[0] != 0 || a.test[1] != 0;
        if (PropFeatherCountdown[0] > 0 || PropFeatherCountdown[1] > 0) {
            a.armed = 0;
        } else if (a.torque[0] > 45.0f && a.torque[1] > 45.0f && PowerLeverPosition[0] > 18000 &&
                   PowerLeverPosition[1] > 18000) {
            a.armed = 1;
        } else if (!tests) {
            // A lever at exactly 18000 neither arms nor keeps it armed.
            a.armed = 0;
        }
        if (a.test[0] != 0 && a.test[1] != 0) a.armed = 1;
    } else {
        a.armed = 0;
        for (int e = 0; e < 2; ++e) {
            if (UptrimFlag[e] != 0) a.uptrim_had[e] = 1;
            UptrimFlag[e] = 0;
        }
    }
}

void AutofeatherTrigger() {
    AutofeatherRecord& a = Autofeather;
    const int32_t word = PowerplantsInstructorStates[21];
    if (word & 0x100) {
        a.select = 0;
        return;
    }
    if (word & 0x200) {
        a.armed = 0;
        return;
    }
    if (a.armed == 0 || !Powered(kPoweredRightMainDc) || (word & 1) != 0) return;
    const bool tests = a.test[0] != 0 || a.test[1] != 0;
    if (std::fabs(a.torque[0] - a.torque[1]) >= 31.0f && (PowerLeverPosition[0] >= 5501 || tests) &&
        a.trigger[0] == 0 && a.trigger[1] == 0) {
        const int e = a.torque[0] < a.torque[1] ? 0 : 1;
        a.trigger[e] = kAutofeatherTrigger;
    }
}

void AutofeatherFeather() {
    AutofeatherRecord& a = Autofeather;
    for (int e = 0; e < 2; ++e) {
        const int inhibit = e == 0 ? 0 : 12;
        if (!Powered(kPoweredRightMainDc) || (PowerplantsInstructorStates[inhibit] & 1) != 0) {
            a.feather[e] = 0;
            continue;
        }
        if (a.trigger[e] >= 231 && a.trigger[e] <= 259) {
            a.feather[e] = kFeatherCountdown;
            a.direction[e] = 1;
        } else if (a.feather_switch[e] > 0 && PowerLeverValue[e] < 10000) {
            a.feather[e] = kFeatherCountdown;
            a.direction[e] = 1;
        } else if (a.feather_switch[e] < 0 && PowerLeverValue[e] > 11000) {
            a.feather[e] = kFeatherCountdown;
            a.direction[e] = -1;
        }
    }
}

void AutofeatherRefresh() {
    AutofeatherRecord& a = Autofeather;
    for (int e = 0; e < 2; ++e) {
        if (CountdownTick(&a.test_light[e])) a.refresh = 64;
    }
    if (a.select == 0 && a.select_previous == 0) a.trigger[0] = a.trigger[1] = 0;
    if (a.select != a.select_previous || a.armed != a.armed_previous || a.trigger[0] > 0 ||
        a.trigger[1] > 0) {
        a.refresh = 128;
    }
    a.select_previous = a.select;
    a.armed_previous = a.armed;
}

}  // namespace

void PropRpmUpdate() {
    double host[2] = {HostPropRpm(0), HostPropRpm(1)};
    Synchrophaser(host);
    for (int e = 0; e < 2; ++e) PropellerSpeed(e, host[e]);
    for (int e = 0; e < 2; ++e) LowPressureSpool(e);
    for (int e = 0; e < 2; ++e) HighPressureSpool(e);
    for (int e = 0; e < 2; ++e) EngineTorque(e);
}

void PowerLeversUpdate() {
    for (int e = 0; e < 2; ++e) {
        PublishSpoolValues(e);
        PanelLeverAndDemand(e);
        LeverPosition(e);
        ManualMode(e);
        ThrottleByMode(e);
        ConditionByGovernor(e);
        ConditionOverrides(e);
        StartTimer(e);
    }
}

void EngineStartUpdate() {
    for (int e = 0; e < 2; ++e) {
        if (EngineStartRequest[e] == 0) continue;
        const BusPoweredByte bus = e == 0 ? kPoweredLeftMainDc : kPoweredRightMainDc;
        const int32_t selector = e == 0 ? 0 : 2;
        const bool cancelled = !Powered(bus) || EngineStartSelector != selector;
        const bool started =
            (FailureWord(e) & 0x80) == 0 && Spool(e).nh > 61.0f && IttValue[e] != 0;
        if (cancelled || started) {
            EngineStartRequest[e] = 0;
            SystemTimers.EngineStartReturn = kStartEndCountdown;
        }
    }
    if (CountdownTick(&SystemTimers.EngineStartReturn)) RefreshCountdown[0] = 256;
}

void EnginePressureLights() {
    const bool bus = Powered(kPoweredRightEssential);
    SetCautionLight(kWarningRow, 2,
                    bus && PowerplantState.SpoolValue[0] < 18000);  // "#1 ENG OIL PRESS"
    SetCautionLight(kWarningRow, 3,
                    bus && PowerplantState.SpoolValue[1] < 18000);         // "#2 ENG OIL PRESS"
    SetCautionLight(0, 7, bus && PowerplantState.FuelPressure[0] < 9000);  // "#1 ENG FUEL PRESS"
    SetCautionLight(0, 8, bus && PowerplantState.FuelPressure[1] < 9000);  // "#2 ENG FUEL PRESS"
}

void EngineOilUpdate() {
    for (int e = 0; e < 2; ++e) {
        OilUse(e);
        PropellerOil(e);
        EngineStatusBytes(e);
    }
    SynchrophaserStatusByte();
}

void EngineManualLights() {
    if (FrameChangeBits.load(std::memory_order_acquire) & 0x02) {
        TorqueBugValue[0] = TorqueBugValue[1] = 16000;
    }
    const bool bus = Powered(kPoweredRightEssential);
    SetCautionLight(
        4, 6,
        (EngineManualFlag[0] != 0 && bus) || PilotPanelOverride == 1);  // "#1 ENG MANUAL"
    SetCautionLight(
        4, 9,
        (EngineManualFlag[1] != 0 && bus) || PilotPanelOverride == 1);  // "#2 ENG MANUAL"
}

void FuelUpdate() {
    FuelSystemRecord& f = FuelSystemState;
    const int32_t valve = Powered(kPoweredRightMainDc) && f.transfer_switch != 0 ? 1 : 0;
    f.transfer_valve[0] = f.transfer_valve[1] = valve;
    f.left_valve = AcBusPowered.get(1) != 0 && (f.transfer_switch == 1 || f.panel_switch[0] != 0);
    f.right_valve = AcBusPowered.get(0) != 0 && (f.transfer_switch == -1 || f.panel_switch[1] != 0);
    const bool bus = Powered(kPoweredRightEssential);
    SetCautionLight(5, 7, bus && FuelQuantity[0] < 19);  // "#1 TANK FUEL LOW"
    SetCautionLight(5, 8, bus && FuelQuantity[1] < 19);  // "#2 TANK FUEL LOW"
    FuelTemp = AmbientTemperature;
}

void AutofeatherUpdate() {
    FilterAutofeatherTorque();
    AutofeatherArming();
    AutofeatherTrigger();
    AutofeatherFeather();
    AutofeatherRefresh();
}

void PilotPanelRequestUpdate() {
    RefreshCountdown[3] = 25;
}

void AutofeatherTimers() {
    AutofeatherRecord& a = Autofeather;
    for (int e = 0; e < 2; ++e) {
        CountdownTick(&a.trigger[e]);
        CountdownTick(&a.trigger[e]);
    }
    if (a.trigger[0] >= 1) {
        CountdownTick(&a.trigger[0]);
        UptrimFlag[1] = 255;
    } else if (a.trigger[1] >= 1) {
        CountdownTick(&a.trigger[1]);
        UptrimFlag[0] = 255;
    }
    for (int e = 0; e < 2; ++e) {
        CountdownTick(&a.feather[e]);
        if (a.feather[e] < 280) RefreshCountdown[1] = 255;
    }
}

namespace {

constexpr const char* kSavedSection = "zodudori";

bool LoadInt(const char* key, const char* path, int32_t lo, int32_t hi, int32_t* out) {
    int32_t v = 0;
    if (!platform::GetPrivateProfileStruct(kSavedSection, key, &v, sizeof v, path)) return false;
    if (v >= lo && v <= hi) *out = v;
    return true;
}

}  // namespace

void PowerplantStateSave(const char* path) {
    platform::WritePrivateProfileStruct(kSavedSection, "Powerplants_controls_throttle_limiter",
                                        &Powerplants_controls_throttle_limiter, 4, path);
    platform::WritePrivateProfileStruct(kSavedSection, "Powerplants_engine_ign1",
                                        &Powerplants_engine_ign1, 4, path);
    platform::WritePrivateProfileStruct(kSavedSection, "Powerplants_engine_ign2",
                                        &Powerplants_engine_ign2, 4, path);
}

bool PowerplantStateLoad(const char* path) {
    LoadInt("Powerplants_controls_throttle_limiter", path, 0, 1,
            &Powerplants_controls_throttle_limiter);
    LoadInt("Powerplants_engine_ign1", path, 0, 2, &Powerplants_engine_ign1);
    if (!LoadInt("Powerplants_engine_ign2", path, 0, 2, &Powerplants_engine_ign2)) {
        for (int e = 0; e < 2; ++e) {
            PropControlDemand[e] = -4096;
            HostThrottleInput[e] = -4096;
            PowerLeverValue[e] = 0;
        }
        PowerplantLoaded = 0;
        return false;
    }
    PowerplantLoaded = 1;
    if (Powerplants_engine_ign1 > 0) Powerplants_engine_ign1 = 2;
    if (Powerplants_engine_ign2 > 0) Powerplants_engine_ign2 = 2;
    RefreshCountdown[kRefreshGroups - 1] = 96;
    return true;
}

std::atomic<uint8_t> ApDisconnectRequest{0};

}  // namespace zu
