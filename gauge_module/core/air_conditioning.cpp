#include "core/air_conditioning.h"

#include <algorithm>
#include <cmath>

#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/ice_protection.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/shared_maths.h"
#include "panels/bleed_air_panel.h"
#include "panels/pressurisation_panel.h"

namespace zu {

AirConditioningRecord AirConditioningState{};
constinit AirConditioningValuesRecord AirConditioningValues{
    {50.0f, 50.0f}, {15.0f, 15.0f}, {15.0f, 15.0f}};
constinit PressurisationStateRecord PressurisationState{0.0f, 0.0f, 100.0f, 1013.0, 0.0f,
                                                        0.0f, 0.0f, 0,      0.0f};
PressurisationState2Record PressurisationState2{};
uint8_t CabinPressureResetRequest = 1;

namespace {

AirConditioningRecord& A = AirConditioningState;
AirConditioningValuesRecord& V = AirConditioningValues;
PressurisationStateRecord& P = PressurisationState;

constexpr int32_t kBatteryRedrawArm = 20;
constexpr float kPackOverheat = 257.0f;
constexpr float kBleedHot = 287.0f;
constexpr float kScheduleBreakFeet = 20000.0f;
constexpr float kCabinPressFeet = 9500.0f;
constexpr double kReliefPsi = 5.9;
constexpr int32_t kPowerUpCount = 10;

bool Bus(BusPoweredByte b) {
    return BusPowered.get(b) != 0;
}

// Keeps a denominator off 0, keeping its sign.
double AwayFromZero(double d) {
    constexpr double kSmallest = 1e-3;
    if (std::fabs(d) >= kSmallest) return d;
    return std::signbit(d) ? -kSmallest : kSmallest;
}

// 1. Battery temperature readouts (held while the meter's test runs).
void BatteryTemperatureStep() {
    if (SystemTimers2.BatteryTempTest == 0) {
        const float oat = AmbientTemperature;
        A.battery_temperature[0] = 0.15f * oat + 18.0f;
        A.battery_temperature[1] = 0.12f * oat + 19.0f;
    }
    for (int i = 0; i < 2; ++i) {
        if (A.battery_temperature[i] - A.battery_temperature_last[i] > 0.5f) {
            A.battery_redraw_countdown = kBatteryRedrawArm;
        }
    }
    A.battery_temperature_last[0] = A.battery_temperature[0];
    A.battery_temperature_last[1] = A.battery_temperature[1];
}

// 2.-3. Pack flows from the engines' bleed air.
void PackFlowStep() {
    for (int32_t& bleed : EngineAirValue) bleed = std::min(bleed, kBleedFlowLimit);
    const int32_t common = EngineAirValue[0] / 7 + 2;
    constexpr BusPoweredByte kPackBus[2] = {kPoweredLeftMainDc, kPoweredRightMainDc};
    for (int i = 0; i < 2; ++i) {
        int32_t flow = std::min(EngineAirValue[i], PneuKnob[0] * 5) + common;
        if (!Bus(kPackBus[i]) || PneuPanelSwitches[i] == 0 ||
            A.PackOutletTemperature[i] > kPackOverheat) {
            flow = 0;
        }
        if (IceProtectionState.PackLoadWord[i] > 4) flow = TruncToInt32(flow * 0.75);
        A.PackValue[i] = flow;
    }
}

// 4. Pack outlet temperatures.
void PackOutletStep() {
    const double oat = AmbientTemperature;
    constexpr double kKeep[2] = {100.0, 90.0};
    constexpr double kScale[2] = {0.00990099, 0.010989011};
    for (int i = 0; i < 2; ++i) {
        float& t = A.PackOutletTemperature[i];
        if (PneuPanelSwitches[i] == 0) {
            t = AmbientTemperature;
            continue;
        }
        const double flow = A.PackValue[i];
        const double heat = AirConditioningHostValues[i];
        const double num =
            std::trunc((t * kKeep[i] + oat) * kScale[i] + (flow * 0.083333336 + 2.0) * heat);
        t = static_cast<float>(num / (flow * 0.07692308 + 2.0));
    }
}

// 5. Bleed-hot lights.
void BleedHotStep() {
    const bool bus = Bus(kPoweredRightEssential);
    SetCautionLight(1, 6, bus && A.PackOutletTemperature[0] > kBleedHot);  // "#1 BLEED HOT"
    SetCautionLight(1, 9, bus && A.PackOutletTemperature[1] > kBleedHot);  // "#2 BLEED HOT"
}

// 7. One zone's valve. Manual and automatic control take their power from
// opposite secondary buses.
void ZoneValve(int zone, double base, double mean) {
    const int32_t mode = PneuSwitch[2 * zone + 1];
    const int32_t step = PneuSwitch[2 * zone];
    const BusPoweredByte manual_bus = zone == 0 ? kPoweredRightSecondary : kPoweredLeftSecondary;
    const BusPoweredByte auto_bus = zone == 0 ? kPoweredLeftSecondary : kPoweredRightSecondary;
    float& valve = V.ZoneValve[zone];
    if (mode == 1 && Bus(manual_bus)) {
        valve += static_cast<float>(step);
    } else if (mode == 2 && Bus(auto_bus)) {
        const double target = PneuKnob[1 + zone] * 4 + 20;
        const double z = V.ZoneTemperature[zone];
        if (std::fabs(std::trunc(z - target)) < 1.0) {
            // Both packs off leave nothing to mix: the valve stays.
            if (mean != base) valve = static_cast<float>((target - base) * 130.0 / (mean - base));
        } else if (z > target + 1.0) {
            valve = 0.0f;
        } else if (z < target - 1.0) {
            valve = 100.0f;
        }
    }
    valve = std::clamp(valve, 0.0f, 100.0f);
}

// 6.-9. Mixing: zone valves, duct and zone temperatures, recirculation.
void ZoneStep() {
    const double oat = AmbientTemperature;
    const double f = (A.PackValue[0] + A.PackValue[1]) * 0.5;
    const double m = (A.PackOutletTemperature[0] + A.PackOutletTemperature[1]) * 0.5;
    const double b = oat - f;
    A.MeanFlow = static_cast<float>(f);
    A.MeanOutletTemperature = static_cast<float>(m);
    for (int zone = 0; zone < 2; ++zone) {
        ZoneValve(zone, b, m);
        const double valve = V.ZoneValve[zone];
        V.DuctTemperature[zone] = static_cast<float>((m * valve + (100.0 - valve) * b) * 0.005);
        const double mix = f / ((3 - A.RecircFan) * 3.0);
        const double z = V.ZoneTemperature[zone];
        V.ZoneTemperature[zone] = static_cast<float>(
            (V.DuctTemperature[zone] * mix + 10000.0 * ((z * 20000.0 + oat) * 4.99975e-5)) /
            (mix + 10000.0));
    }
    A.RecircFan = PneuPanelSwitches[2] != 0 && Bus(kPoweredLeftSecondary) ? 1 : 0;
}

// Pressurisation 1.-2. The cabin pressure follows the packs' inflow and
// the outflow valve.
void CabinPressureStep() {
    if (OnGround != 0) P.OutflowValve = 100.0f;
    const double o = P.OutflowValve;
    const double ambient = ReferencePressure;
    const double k = (100.0 - o) * 0.0125;
    const double outflow =
        (0.033333335 * o * ambient + P.CabinPressure * 200.0) / (0.033333335 * o + 200.0);
    P.CabinPressure = ((A.MeanFlow * 68.0 + ambient) * k + outflow * 270.0) / (k + 270.0);
}

// 3. Cabin altitude, differential pressure and rate.
void CabinAltitudeStep() {
    float& cabin = PressurisationState2.CabinAltitude;
    cabin = static_cast<float>((1013.0 - P.CabinPressure) * 35.538);
    if (OnGround != 0) P.ReferenceCabinAltitude = cabin;
    P.Differential = std::fabs((Altitude - cabin) * 0.000324f);
    P.Rate = (cabin - P.CabinAltitudeLast) * 120.0f;
    P.CabinAltitudeLast = cabin;
}

// The automatic schedule's cabin altitude for the aircraft's altitude.
double ScheduledCabinAltitude(double altitude) {
    if (altitude < kScheduleBreakFeet) return altitude * 0.25;
    return (altitude - kScheduleBreakFeet) * 0.6 + 5000.0;
}

// 4. The controller (in the air).
void ControllerStep() {
    if (OnGround != 0) return;
    float& o = P.OutflowValve;
    if (PressurisationMode == 0) {
        const double cabin = PressurisationState2.CabinAltitude;
        double e;
        if (Altitude <= LandingFieldElevation || PressurisationSwitch != 0) {
            e = LandingFieldElevation - cabin;
        } else {
            e = ScheduledCabinAltitude(Altitude) - cabin;
        }
        const double r = CabinRateKnob;
        e = std::clamp(e, -15.0 * r, 25.0 * r);
        P.TargetError = static_cast<float>(e);
        const double a = P.Rate - e;
        const double d = -(P.Rate - P.RateLast);
        P.RateLast = P.Rate;
        double d1 = d * d / AwayFromZero(d + 100.0);
        const double a1 = a * a / AwayFromZero(a + 25.0);
        if (a1 < 0.0) d1 = -d1;
        o = static_cast<float>(std::clamp(o - (d1 + a1) * 0.00025, 0.0, 100.0) +
                               PressPanelKnob * 0.03125);
    } else if (PressurisationMode == 1) {
        o = static_cast<float>(PressPanelKnob * 2);
    } else if (PressurisationMode == 2) {
        o = 100.0f;
    }
    o = std::clamp(o, 0.0f, 100.0f);
}

// 5.-6. Manual-position word, power, relief.
void ReliefStep() {
    P.ManualPosition = PressPanelKnob * 2;
    if (!Bus(kPoweredLeftMainDc)) {
        P.ManualPosition = 0;
        P.OutflowValve = 0.0f;
    }
    if (P.Differential > kReliefPsi) {
        const float excess =
            static_cast<float>((static_cast<double>(P.Differential) - kReliefPsi) * 1000.0);
        P.ManualPosition = TruncToInt32(std::min(excess, 100.0f));
        P.OutflowValve = std::max(P.OutflowValve, static_cast<float>(P.ManualPosition));
    }
}

// 7.-8. "CABIN PRESS" and the controller's power-up countdown.
void PressLightAndPowerStep() {
    const bool bus = Bus(kPoweredRightEssential);
    SetCautionLight(6, 6, bus && PressurisationState2.CabinAltitude > kCabinPressFeet);  // "CABIN PRESS"
    if (!bus) {
        PressModeChangeTimer = kPowerUpCount;
        return;
    }
    CountdownTick(&PressModeChangeTimer);
    if (PressModeChangeTimer == 1) RefreshCountdown[0] = 64;
}

}  // namespace

void CabinPressureReset() {
    if (CabinPressureResetRequest == 0) return;
    P.CabinPressure = ReferencePressure;
    CabinPressureResetRequest = 0;
}

void AirConditioningUpdate() {
    BatteryTemperatureStep();
    PackFlowStep();
    PackOutletStep();
    BleedHotStep();
    ZoneStep();
}

void PressurisationUpdate() {
    CabinPressureStep();
    CabinAltitudeStep();
    ControllerStep();
    ReliefStep();
    PressLightAndPowerStep();
}

}  // namespace zu
