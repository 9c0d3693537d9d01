#include "core/named_variables.h"

#include <algorithm>
#include <cmath>

#include "cabin_link/sound_scheme.h"
#include "core/ahrs.h"
#include "core/air_data.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "displays/head_up_guidance.h"
#include "instruments/inclinometer.h"
#include "panels/anti_ice_panel.h"

namespace zu {

const char* const kNamedVarNames[kNamedVarSlots] = {
    "qorra prop0 rpm",
    "qorra prop1 rpm",
    "qorra prop0 pitch",
    "qorra prop1 pitch",
    "qorra wiper position",
    "qorra wiper operating",
    "ZAZ CL1 Position",
    "ZAZ CL2 Position",
    "ZAZ PL1 Position",
    "ZAZ PL2 Position",
    "ZAZ ControlLock Position",
    "ZAZ Flaps Position",
    "Hgs no aiii",
    "Hgs mode",
    "Hgs ias",
    "Hgs ias trend",
    "Hgs gs",
    "Hgs Vsel",
    "Hgs alt",
    "Hgs ra alt",
    "Hgs alt trend",
    "Hgs vs",
    "Hgs altsel",
    "Hgs wind direction",
    "Hgs wind speed",
    "Hgs wind vector visible",
    "Hgs roll angle",
    "Hgs mag hdg",
    "Hgs Slip Skid",
    "Hgs pitch",
    "Hgs pitch compression factor",
    "Hgs course dgr",
    "HGS course deviation",
    "Hgs headingsel dgr",
    "HGS course sel conform position",
    "HGS heading sel conform position",
    "HGS AP lateral mode",
    "HGS AP lateral mode act",
    "HGS AP vertical mode",
    "HGS AP vertical mode act",
    "HGS NAV source",
    "HGS NAV TOFROM pointer",
    "HGS GS pointer",
    "HGS DME readout",
    "HGS 0line position Y",
    "HGS GS line position Y",
    "HGS GS angle",
    "HGS 0line ghosted flag",
    "HGS FPS position X",
    "HGS FPS position Y",
    "HGS FPS ghosted flag",
    "HGS FPS slipskid visible flag",
    "HGS FPS flare cue",
    "HGS flare Command position Y",
    "HGS FD Cue position X",
    "HGS FD Cue position Y",
    "HGS DH message",
    "HGS Lateral Deviation X",
    "HGS Lateral Deviation Y",
    "HGS Vertical Deviation X",
    "HGS Vertical Deviation Y",
    "HGS Acceleration position Y",
    "HGS Approach Status",
    "HGS Runway Elevation",
    "HGS  edge points visible flag",
    "HGS A edge point X",
    "HGS A edge point Y",
    "HGS A edge point angle",
    "HGS A edge point length",
    "HGS B edge point X",
    "HGS B edge point Y",
    "HGS B edge point angle",
    "HGS B edge point length",
    "HGS ground loc line X",
    "HGS WOW",
    "HGS IDLE msg",
    "Apch warn",
    "HGS AP TCS annunciator",
    "HGS ias max",
    "HGS Marker",
    "HGS FORCE IMC",
};
static_assert(kNamedVarSlots == 81, "12 looked up, 'Hgs no aiii' and 68 more registered");

uint32_t NamedVariableIds[kNamedVarSlots] = {};
int32_t NoAiiiBlinkCounter = 0;
int32_t RunwayElevationShown = 0;
int32_t RunwayElevationTimer = 0;
double HgsIasMax = 0.0;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;

// The set service for the pass; null when the host has none.
gauge::SetNamedVariableService SetService = nullptr;

void Set(NamedVarSlot slot, double value) {
    SetService(static_cast<int32_t>(NamedVariableIds[slot]), value);
}

// The values of the pass that several tables read.
struct PassInputs {
    int32_t ra;    // RadioAltitudeReadoutValue, feet
    int32_t mode;  // HGS_HGS_actual_mode
    const NavSourceRecord* sel;
    int32_t sel_index;
    double c;  // pitch compression
    uint32_t tick;
};
PassInputs In{};

void GatherInputs() {
    In.ra = RadioAltitudeReadoutValue;
    In.mode = HGS_HGS_actual_mode;
    // A selection outside the table reads the empty source.
    In.sel_index =
        NavSourceSel1 >= 0 && NavSourceSel1 < kNavSourceCount ? NavSourceSel1 : kNavEmpty;
    In.sel = &NavSources[In.sel_index];
    In.c = static_cast<double>(HgsPitchCompression);
    In.tick = TickCounter.load(std::memory_order_acquire);
}

int32_t CapAt100(int32_t v) {
    return v > 99 ? 100 : v;
}

double CombustionLeverPosition(int32_t v) {
    if (v < 1200) return 0.0;
    if (v < 4500) return 1.0;
    return CapAt100((v - 4500) / 169 + 2);
}

void PublishModelAndLevers() {
    Set(kNvProp0Rpm, PropRpm[0]);
    Set(kNvProp1Rpm, PropRpm[1]);
    Set(kNvProp0Pitch, 100.0 - std::min(std::fabs(PropPitch1 * 63.66), 100.0));
    Set(kNvProp1Pitch, 100.0 - std::min(std::fabs(PropPitch2 * 63.66), 100.0));
    Set(kNvWiperPosition, std::clamp((WiperState.position - 170) * 0.8333333333333334, 0.0, 100.0));
    Set(kNvWiperOperating, WiperSelector > 1 ? 255.0 : 0.0);
    Set(kNvPl1Position, CapAt100(PowerLeverPosition[0] / 240));
    Set(kNvPl2Position, CapAt100(PowerLeverPosition[1] / 240));
    Set(kNvCl1Position, CombustionLeverPosition(PowerLeverValue[0]));
    Set(kNvCl2Position, CombustionLeverPosition(PowerLeverValue[1]));
    Set(kNvControlLockPosition, Powerplants_controls_throttle_limiter != 0 ? 100.0 : 0.0);
    Set(kNvFlapsPosition, flight_controls_FLAPS[0]);
}

void PublishMode() {
    const bool ground = OnGround != 0;
    switch (In.mode) {
        case 0:
            Set(kNvMode, 0);
            break;
        case 1:
            Set(kNvMode, ground ? 1 : 2);
            break;
        case 2:
            Set(kNvMode, ground ? 4 : 3);
            break;
        case 3:
            Set(kNvMode, 5);
            break;
        case 4:
            Set(kNvMode, 6);
            break;
        default:
            break;
    }
}

// Blinks in 8-pass phases for 95 passes once the warning comes, then stays
// dark while it lasts.
void PublishNoAiii() {
    if (HgsApproachWarning == 0) {
        NoAiiiBlinkCounter = 0;
        Set(kNvNoAiii, 0);
        return;
    }
    if (NoAiiiBlinkCounter <= 0) NoAiiiBlinkCounter = 96;
    --NoAiiiBlinkCounter;
    if (NoAiiiBlinkCounter < 1) {
        NoAiiiBlinkCounter = 1;
        Set(kNvNoAiii, 0);
        return;
    }
    Set(kNvNoAiii, NoAiiiBlinkCounter > 1 && (NoAiiiBlinkCounter & 8) != 0 ? 1 : 0);
}

double RadioAltitudeShown() {
    if (OnGround != 0) return 9999.0;
    if (In.ra < 11) return RadioAltitude * 3.2857 - 10.0;
    if (In.ra < 2500) return In.ra;
    return 9999.0;
}

void PublishAirData() {
    Set(kNvIas, std::max(static_cast<double>(IndicatedAirspeed), 50.0));
    Set(kNvIasTrend, LongitudinalAccelFiltered * 6.25);
    Set(kNvGs, GroundSpeed);
    Set(kNvVsel, HGS_RASU_speed);
    Set(kNvAlt, AltimeterShownAltitude1);
    Set(kNvRaAlt, RadioAltitudeShown());
    Set(kNvAltTrend, VerticalSpeedRaw / 10);
    Set(kNvVs, VerticalSpeedRaw / 50 * 50);
    Set(kNvAltsel, AIRDATA_comp_selected_alt);
    Set(kNvWindDirection, (WindData[1] - Heading - 90.0 + 180.0) * kDegToRad);
    Set(kNvWindSpeed, WindData[0]);
    Set(kNvWindVectorVisible, HgsWindVectorVisible);
    Set(kNvRollAngle, BankAttitude * kDegToRad);
    Set(kNvMagHdg, Heading);
    Set(kNvSlipSkid, InclinometerInput);
}

void PublishNavigation() {
    const NavSourceRecord& sel = *In.sel;
    const bool vor = In.sel_index == kNavVor1 || In.sel_index == kNavVor2;
    Set(kNvCourseDgr, sel.course);
    Set(kNvCourseDeviation, sel.deviation_valid != 0 ? sel.lateral_deviation : 999.0);
    Set(kNvNavToFromPointer, vor && sel.deviation_valid != 0 ? sel.to_from : 0);
    Set(kNvGsPointer, HgsGsPointer);
    Set(kNvDmeReadout, sel.distance_valid != 0 ? sel.distance : 999.0);
}

void PublishSymbology() {
    const double zero_line = PitchAttitude / In.c;
    Set(kNvZeroLineY, std::clamp(zero_line, -10.0, 5.0));
    Set(kNvGsLineY, HgsGsLineY);
    Set(kNvGsAngle, HGS_HGS_gs_slope_angle);
    Set(kNvZeroLineGhosted, zero_line > 5.0 || zero_line < -10.0 ? 1 : 0);
    Set(kNvAccelerationY, HgsAccelCueY);
    Set(kNvFpsGhosted, HgsFpsLimited);
    Set(kNvFpsX, HgsFpsX);
    Set(kNvFpsY, HgsFpsY);
    const int32_t dh = FGC_comp_DH_altitude1;
    Set(kNvDhMessage, dh - 40 < In.ra && In.ra < dh + 20 ? 1 : 0);
    const bool flare_mode = In.mode == 1 || In.mode == 3 || In.mode == 4;
    Set(kNvFpsFlareCue,
        In.ra >= 11 && In.ra <= 54 && (In.tick & 1) != 0 && flare_mode && VerticalSpeedRaw < 100
            ? 1
            : 0);
    Set(kNvFpsSlipSkidVisible,
        In.ra < 1500 && (GpwsTakeoffPhase != 0 || PowerLeverPosition[0] > 17000) ? 1 : 0);
    Set(kNvFdCueX, HgsFdCueX);
    Set(kNvFdCueY, HgsFdCueY);
    Set(kNvFlareCommandY, HgsFlareCueY);
    Set(kNvLateralDeviationX, HgsLateralDeviation);
    Set(kNvVerticalDeviationY, HgsVerticalDeviation);
    Set(kNvHeadingselDgr, FGC_comp_HSI1_heading_sel);
    Set(kNvCourseSelConform, AngleDiff(In.sel->course, Heading));
    Set(kNvHeadingSelConform, AngleDiff(FGC_comp_HSI1_heading_sel, Heading));
}

// -1: leave the published value as it is.
int32_t ApLateralMode() {
    const uint8_t rs = In.sel->receive_state;
    int32_t v = -1;
    switch (FGC_comp_AP1_lateral_mode) {
        case 0:
        case 3:
            v = 7;
            break;
        case 1:
            v = 0;
            break;
        case 5:
            v = rs == 2 ? 1 : rs == 1 ? 5 : rs == 4 ? 4 : -1;
            break;
        case 6:
            v = rs == 2 ? 1 : rs == 1 ? 6 : -1;
            break;
        case 7:
            v = 8;
            break;
        case 8:
            v = 4;
            break;
        default:
            break;
    }
    if (FdBarSense != 0) v = 3;
    return v;
}

int32_t ApVerticalMode() {
    switch (FGC_comp_AP1_vertical_mode) {
        case 0:
            return FgcState != 0 ? 1 : 6;
        case 1:
            return 2;
        case 2:
            return 5;
        case 3:
            return 4;
        case 4:
            return 3;
        case 5:
            return 8;
        default:
            return -1;
    }
}

int32_t NavSourceShown() {
    const int32_t s = In.sel_index;
    int32_t v = -1;
    if (In.sel->receive_state == 2) {
        v = s == kNavVor1 ? 1 : 2;
    } else if (s == kNavEmpty) {
        v = 0;
    } else if (s == kNavVor1) {
        v = 5;
    } else if (s == kNavVor2) {
        v = 6;
    } else if (s == kNavFms1 || s == kNavFms2) {
        v = 7;
    }
    if (In.mode > 2 && s == kNavVor1 && In.sel->receive_state == 2) v = 0;
    if (In.mode == 4) v = 0;
    return v;
}

void PublishRunwayElevation() {
    if (In.mode == 2) {
        if (HGS_HGS_elevation_set != RunwayElevationShown) {
            RunwayElevationTimer = 80;
            RunwayElevationShown = HGS_HGS_elevation_set;
        }
    } else {
        RunwayElevationShown = -1;
    }
    if (RunwayElevationTimer > 0) {
        --RunwayElevationTimer;
        Set(kNvRunwayElevation, HGS_HGS_elevation_set);
        RedrawRequest.store(255, std::memory_order_release);
    } else {
        Set(kNvRunwayElevation, -1);
    }
}

void PublishAutopilot() {
    const int32_t lateral = ApLateralMode();
    if (lateral >= 0) Set(kNvApLateralMode, lateral);
    const int32_t vertical = ApVerticalMode();
    if (vertical >= 0) Set(kNvApVerticalMode, vertical);
    Set(kNvApLateralModeAct, FmaFlags1[1]);
    Set(kNvApVerticalModeAct, FmaFlags1[0]);
    const int32_t source = NavSourceShown();
    if (source >= 0) Set(kNvNavSource, source);
    Set(kNvPitch, PitchAttitude);
    Set(kNvPitchCompressionFactor, In.c);
    Set(kNvApproachStatus,
        HgsAiiiAvailable != 0 && In.mode != 2 && (In.tick & 4) != 0 && In.ra >= 501 ? 1 : 0);
    PublishRunwayElevation();
}

// X, Y, angle and length of one edge, in the slots from `x` on.
void PublishEdge(const int32_t (&p1)[2], const int32_t (&p2)[2], NamedVarSlot x) {
    const double x1 = p1[0], y1 = p1[1], x2 = p2[0], y2 = p2[1];
    Set(x, x1);
    Set(static_cast<NamedVarSlot>(x + 1), y1);
    Set(static_cast<NamedVarSlot>(x + 2), EdgeAngle(x1, y1, x2, y2));
    Set(static_cast<NamedVarSlot>(x + 3), EdgeLength(x1, y1, x2, y2));
}

void PublishRunwayEdges() {
    const bool visible =
        In.ra > 60 && Altitude - static_cast<float>(HGS_HGS_elevation_set) < 300.0f && In.mode == 2;
    Set(kNvEdgePointsVisible, visible ? 1 : 0);
    if (!visible) return;
    PublishEdge(HgsRunwayScreenPoints[1], HgsRunwayScreenPoints[2], kNvEdgeAX);
    PublishEdge(HgsRunwayScreenPoints[3], HgsRunwayScreenPoints[4], kNvEdgeBX);
}

void PublishTcsAnnunciator() {
    if (In.mode <= 0) return;
    int32_t v = 0;
    if (FGC_comp_AP1_engaged != 0 || FGC_comp_AP2_engaged != 0) v = 1;
    if (FgcFlags1[0] != 0 || Fgc2TcsActive != 0) v = In.ra < 800 && In.tick != 0 ? 0 : 2;
    Set(kNvApTcsAnnunciator, v);
}

void PublishLast() {
    Set(kNvGroundLocLineX, HgsGroundLocLineX);
    Set(kNvWow, OnGround);
    Set(kNvIdleMsg, HgsIdleMessage);
    Set(kNvApchWarn, HgsApproachWarning);
    HgsIasMax = std::trunc((HgsIasLimit() + 3.14) * 0.1590909090909091) * 6.285714285714286;
    Set(kNvIasMax, HgsIasMax);
    PublishTcsAnnunciator();
    Set(kNvMarker, In.mode > 0 ? MarkerBeacons : 0);
}

}  // namespace

double HgsIasLimit() {
    double v =
        250.0 - std::max(0.0, static_cast<double>(Altitude) - 14000.0) * 0.0031847134232521057;
    if (HostFlapsValue != 0) v = std::min(v, 175.0);
    if (GearTransitCountdown > 0) v = std::min(v, 160.0);
    const int32_t flaps = flight_controls_FLAPS[0];
    if (flaps > 0) v = std::min(v, 163.0);
    if (flaps > 1) v = std::min(v, 150.0);
    if (flaps == 4) v = std::min(v, 130.0);
    return v;
}

double EdgeAngle(double x1, double y1, double x2, double y2) {
    const double dy = y1 - y2;
    const double dx = x1 - x2;
    const double t = std::atan(dx / (dy + 1.1e-9));
    double angle = dy < 0.0 ? kPi - t : -t;
    if (angle < 0.0) angle += 2.0 * kPi;
    if (angle >= 2.0 * kPi) angle -= 2.0 * kPi;
    return angle;
}

double EdgeLength(double x1, double y1, double x2, double y2) {
    return std::sqrt((y2 - y1) * (y2 - y1) + (x2 - x1) * (x2 - x1));
}

void NamedVarsRegister() {
    TraceLine("Initializing XML Vars", 0);
    auto check = PanelServiceSlot<gauge::CheckNamedVariableService>(gauge::kSlotCheckNamedVariable);
    auto reg =
        PanelServiceSlot<gauge::RegisterNamedVariableService>(gauge::kSlotRegisterNamedVariable);
    auto set = PanelServiceSlot<gauge::SetNamedVariableService>(gauge::kSlotSetNamedVariable);
    // 1. The variables the visual model and the lever hardware define.
    for (int i = 0; i < kNamedVarsLookedUp; ++i) {
        NamedVariableIds[i] = check != nullptr ? static_cast<uint32_t>(check(kNamedVarNames[i]))
                                               : static_cast<uint32_t>(-1);
    }
    // 2. "Hgs fake" into the slot "Hgs mode" takes over; "Hgs no aiii" lit.
    auto register_one = [&](const char* name) {
        return reg != nullptr ? static_cast<uint32_t>(reg(name)) : static_cast<uint32_t>(-1);
    };
    NamedVariableIds[kNvMode] = register_one(kNamedVarFake);
    NamedVariableIds[kNvNoAiii] = register_one(kNamedVarNames[kNvNoAiii]);
    if (set != nullptr) set(static_cast<int32_t>(NamedVariableIds[kNvNoAiii]), 1.0);
    // 3. The rest in order.
    for (int i = kNvMode; i < kNamedVarSlots; ++i)
        NamedVariableIds[i] = register_one(kNamedVarNames[i]);
    TraceLine("XML Vars Initialization complete", 0);
}

void NamedVarsPublish() {
    SetService = PanelServiceSlot<gauge::SetNamedVariableService>(gauge::kSlotSetNamedVariable);
    if (SetService == nullptr) return;
    GatherInputs();
    PublishModelAndLevers();
    PublishMode();
    PublishNoAiii();
    PublishAirData();
    PublishNavigation();
    PublishSymbology();
    PublishAutopilot();
    PublishRunwayEdges();
    PublishLast();
}

}  // namespace zu
