#include "core/hydraulics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "cabin_link/instructor_state_exchange.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/flight_controls.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/powerplant.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"

namespace zu {

constinit HydraulicsStateRecord HydraulicsState = [] {
    HydraulicsStateRecord s{};
    s.Reservoir[0] = 2.3;
    s.Reservoir[1] = 4.3;
    s.Reservoir[2] = 4.3;
    s.PumpFactor[0] = s.PumpFactor[1] = s.PumpFactor[2] = 6.0;
    for (float& t : s.FluidTemperature) t = 15.0f;
    return s;
}();
constinit HydraulicFluidStateRecord HydraulicFluidState{3000};

int32_t FlapsHydraulicPressure = 0;
int32_t RudderPressure[2] = {0, 0};
int32_t RollSpoilerPressure[4] = {0, 0, 0, 0};
int32_t FlapHydraulicWord = 0;

int32_t StbyHydPumpSelect[2] = {1, 1};
int32_t StbyPumpToggle = 0;

namespace {

constexpr double kRefill[2] = {2.3, 4.3};
constexpr int32_t kFlapMotionTicks = 368;
constexpr int32_t kHydraulicTimerArm = 15;
constexpr int32_t kGearHandleDown = 16383;
constexpr float kHeatTermMax = 210.0f;
constexpr float kFluidHotDegrees = 160.0f;

// EDP flow factor against propeller rpm: slow pressure build-up at low rpm.
constexpr float kEdpFlowTable[16] = {0,  500, 600, 700, 800, 900, 1050, 1200,
                                     14, 12,  8,   3,   2,   1.2, 1.1,  1.01};

HydraulicsStateRecord& H = HydraulicsState;
int32_t& Sys1 = HydraulicsState.SystemPressure[0];
int32_t& Sys2 = HydraulicsState.SystemPressure[1];

bool Bus(BusPoweredByte b) {
    return BusPowered.get(b) != 0;
}

int32_t Failure(int element) {
    return HydraulicsInstructorStates[element];
}
bool Leaking(int element) {
    return (Failure(element) & kHydFailLeak) != 0;
}
bool Inoperative(int element) {
    return (Failure(element) & kHydFailInoperative) != 0;
}
bool Hot(int element) {
    return (Failure(element) & kHydFailHot) != 0;
}

// A reservoir loses the leak factor's share; quantities never go negative.
void Leak(int reservoir) {
    double& q = H.Reservoir[reservoir];
    q = std::max(0.0, q * HydraulicDecayFactor);
}
void LeakIf(int element, int reservoir) {
    if (Leaking(element)) Leak(reservoir);
}
// The PTU-fed side while system 2 is weak, else reservoir 2.
int System2Reservoir() {
    return H.System2Weak != 0 ? 2 : 1;
}

// a × num / den in the 32-bit integer arithmetic of the pressure words.
int32_t Scale(int32_t a, int32_t num, int32_t den) {
    return static_cast<int32_t>(static_cast<int64_t>(a) * num / den);
}

bool Deflected(float position, float threshold) {
    return std::fabs(position) >= threshold;
}

// 1. Reservoirs and pump factors (every 4th tick), refill requests.
void ReservoirStep() {
    if ((FrameChangeBits.load(std::memory_order_relaxed) & 0x04) == 0) return;
    H.Reservoir[0] = std::max(0.0, H.Reservoir[0] - NLValue[0] * 1.2e-7);
    H.Reservoir[1] = std::max(0.0, H.Reservoir[1] - NLValue[1] * 2e-7);
    if (H.System2Weak == 0) H.Reservoir[2] = H.Reservoir[1];
    H.PumpFactor[0] = H.Reservoir[0] <= 0.18 ? H.Reservoir[0] * 32.0 : 6.0;
    H.PumpFactor[1] = H.Reservoir[1] <= 0.18 ? H.Reservoir[1] * 32.0 : 6.0;
    H.PumpFactor[2] = H.Reservoir[2] <= 0.36 ? H.Reservoir[2] * 16.66666 : 6.0;
    for (int i = 0; i < 2; ++i) {
        int32_t& request = HydraulicsInstructorStates[kHydStateRefill1 + i];
        if (request == 0) continue;
        request = 0;
        H.Reservoir[i] = kRefill[i];
    }
}

// 2. Engine-driven pump pressures and flow factors.
void EdpStep() {
    if (RemoteDisplayCountdown.load(std::memory_order_acquire) != 0) return;
    for (int e = 0; e < 2; ++e) {
        H.EdpPressure[e] = TruncToInt32(std::min(H.PumpFactor[e] * PropRpm[e] * 2.35, 3000.0));
        H.EdpFlowFactor[e] =
            TruncToInt32(TableLookup8(kEdpFlowTable, static_cast<float>(PropRpm[e])));
    }
}

// 3. EDP failures and the fire handles.
void EdpFailureStep() {
    for (int e = 0; e < 2; ++e) {
        const int element = kHydElemEdp1 + e;
        if (Inoperative(element)) {
            H.EdpPressure[e] = 0;
            H.EdpFlowFactor[e] = 0;
        }
        LeakIf(element, e);
        if (FireProtectionState.FireHandle[e] != 0) H.EdpPressure[e] = 0;
    }
}

// 4. Flap motion countdown.
void FlapMotionStep() {
    const int32_t selection = FlapSelection();
    if (selection != H.LastFlapSelection) {
        H.FlapMotionCountdown = kFlapMotionTicks;
        H.LastFlapSelection = selection;
    } else {
        CountdownTick(&H.FlapMotionCountdown);
    }
    FlapHydraulicWord = H.FlapMotionCountdown;
}

// 5. Standby pump 1 (left variable AC bus).
void StandbyPump1Step() {
    const int32_t select = StbyHydPumpSelect[0];
    const bool runs = select == 2 || (select == 1 && FlapSelection() > 0);
    H.StandbyOutput[0] =
        runs ? TruncToInt32(LeftVariableAcBus.get() * 30.0 * H.PumpFactor[0] / 6.0) : 0;
    if (Inoperative(kHydElemStandbyPump1)) H.StandbyOutput[0] = 0;
    LeakIf(kHydElemStandbyPump1, 0);
}

// 6. Standby pump 2 (AC generators), fed from the PTU side while weak.
void StandbyPump2Step() {
    const int32_t select = StbyHydPumpSelect[1];
    const bool weak = H.System2Weak != 0;
    const bool runs =
        select == 2 || (select == 1 && ((OnGround == 0 && weak) || FlapSelection() > 0));
    const int32_t v1 = AcGenerator1Voltage.get(), v2 = AcGenerator2Voltage.get();
    const bool generator =
        (AcGenerator1Switch.get() != 0 && v1 > 0) || (AcGenerator2Switch.get() != 0 && v2 > 0);
    H.StandbyOutput[1] = 0;
    if (runs && generator) {
        const double f = weak ? H.PumpFactor[2] : H.PumpFactor[1];
        H.StandbyOutput[1] = TruncToInt32(std::max(v1, v2) * 30.0 * f / 6.0);
    }
    if (Inoperative(kHydElemStandbyPump2)) H.StandbyOutput[1] = 0;
    LeakIf(kHydElemStandbyPump2, System2Reservoir());
}

// (sys × flow + pump) / (flow + 1): the system pressure moves towards the
// pump's, slowly while the flow factor is high.
int32_t Blend(int32_t sys, int32_t flow, int32_t pump) {
    return static_cast<int32_t>((static_cast<int64_t>(sys) * flow + pump) / (flow + 1LL));
}

// 7. System pressures from the pumps.
void SystemPressureStep() {
    int32_t* edp = H.EdpPressure;
    int32_t* flow = H.EdpFlowFactor;
    Sys1 = std::max(Sys1, Blend(Sys1, flow[0], edp[0]));
    if (Sys1 < 150) Sys1 = 0;
    Sys2 = std::max(Sys2, Blend(Sys2, flow[1], edp[1]));
    if (Sys2 < 160) Sys2 = 0;
    H.System2Weak = (edp[1] < 800 || H.Reservoir[1] < 1.5) ? 255 : 0;
    const bool weak = H.System2Weak != 0;
    edp[0] = std::min(edp[0], Sys1);
    edp[1] = std::min(edp[1], Sys2);
    int32_t* s = H.StandbyOutput;
    Sys1 = std::max(Sys1, static_cast<int32_t>((s[0] + 12LL * Sys1) / 13));
    Sys2 = std::max(Sys2, static_cast<int32_t>(((weak ? 0 : s[1]) + 12LL * Sys2) / 13));
    s[0] = std::min(s[0], Sys1);
    if (!weak) s[1] = std::min(s[1], Sys2);
}

// 8. The power transfer unit: system 1 drives system 2.
void PtuStep() {
    H.PtuRunning = 0;
    if (H.PtuSwitchFlag == 0 && H.PtuAutoCommand == 0) return;
    if (Sys1 < 400 || H.Reservoir[0] < 0.24 || H.Reservoir[1] < 0.24 ||
        !Bus(kPoweredRightEssential)) {
        return;
    }
    Sys2 = TruncToInt32(std::max<double>(Sys2, (H.PumpFactor[1] * Sys1 * 5.0 / 6.0 + Sys2) / 6.0));
    Sys1 = TruncToInt32(Sys1 * 5.444444444444445 / 6.0);
    H.PtuRunning = 1;
    if (Sys1 > 200) LeakIf(kHydElemPtu1, 0);
    if (Sys2 > 200) LeakIf(kHydElemPtu2, 1);
}

// 9. System 1 consumers.
void System1ConsumersStep() {
    Sys1 = Scale(Sys1, 60, 61);
    if (Leaking(kHydElemMainLine1)) {
        Leak(0);
        Sys1 = Scale(Sys1, 12, 13);
    }
    if (Inoperative(kHydElemMainLine1)) Sys1 /= 12;
    H.Consumer[8] = Inoperative(kHydElemFlapDrive) ? 0 : Sys1;
    if (H.FlapMotionCountdown > 0 || FlapMotionFlag != 0) {
        Sys1 = Scale(Sys1, 6, 7);
        LeakIf(kHydElemFlapDrive, 0);
        SystemTimers.HydraulicTimer = kHydraulicTimerArm;
    }
    const bool spoiler1_off = RuddersShutoffB[0] != 0 || HydraulicShutoff[0] != 0;
    if (Deflected(ControlSurfacePositions[0], 0.12f) && !spoiler1_off) {
        Sys1 = Scale(Sys1, 50, 51);
        LeakIf(kHydElemSpoilers1, 0);
    }
    H.Consumer[9] = (spoiler1_off || Inoperative(kHydElemSpoilers1)) ? 0 : std::min(Sys1, 900);
    const int16_t brake = BrakeInputWords[0];
    if (brake > 0 && ParkingBrake == 0) {
        Sys1 = Scale(Sys1, 40, 41);
        LeakIf(kHydElemBrakes, 0);
    }
    H.Consumer[10] = Inoperative(kHydElemBrakes) ? 0 : Sys1;
    if (brake > 0 && GroundSpeed > 10) Sys1 = Scale(Sys1, 50, 51);
    if (Deflected(ControlSurfacePositions[2], 0.06f) && RuddersShutoffA[0] == 0) {
        Sys1 = Scale(Sys1, 25, 26);
        LeakIf(kHydElemRudder1, 0);
        LeakIf(kHydElemUtility2, 0);
    }
}

// A rudder actuator's pressure: it decays while its own shut-off is set;
// otherwise it is its system's pressure, limited by airspeed unless the
// other actuator is without pressure or shut off.
int32_t RudderOutput(int32_t previous, bool shut_off, int32_t own, int32_t other,
                     bool other_shut_off, int element) {
    int32_t out;
    if (shut_off) {
        out = TruncToInt32(previous * 0.9);
    } else if (other < 500 || other_shut_off) {
        out = std::min(own, 3000);
    } else {
        out = std::min(own, IndicatedAirspeed >= 141.0f ? 900 : 1500);
    }
    return Inoperative(element) ? 0 : out;
}

// 10. Rudder 1 (consumer 12).
void Rudder1Step() {
    const int32_t other = H.System2Weak != 0 ? H.StandbyOutput[1] : Sys2;
    H.Consumer[12] = RudderOutput(H.Consumer[12], RuddersShutoffA[0] != 0, Sys1, other,
                                  RuddersShutoffA[1] != 0, kHydElemRudder1);
}

// 11. System 2 consumers and rudder 2 (consumer 17).
void System2ConsumersStep() {
    Sys2 = Scale(Sys2, 60, 61);
    if (Leaking(kHydElemMainLine2)) {
        Leak(1);
        Sys2 = Scale(Sys2, 12, 13);
    }
    if (Inoperative(kHydElemMainLine2)) Sys2 /= 12;
    if (ControlSurfacePositions[2] > 0.07f && GroundSpeed > 0) Sys2 = Scale(Sys2, 45, 46);
    if (Deflected(ControlSurfacePositions[2], 0.07f) && RuddersShutoffA[1] == 0) {
        Sys2 = Scale(Sys2, 25, 26);
        LeakIf(kHydElemRudder2, System2Reservoir());
    }
    const int32_t own = H.System2Weak != 0 ? H.StandbyOutput[1] : Sys2;
    H.Consumer[17] = RudderOutput(H.Consumer[17], RuddersShutoffA[1] != 0, own, Sys1,
                                  RuddersShutoffA[0] != 0, kHydElemRudder2);
}

// 12. Gear (consumer 15) and the system-2 roll spoilers (consumer 13).
void GearAndSpoilers2Step() {
    if (GearTransitCountdown > 0) Sys2 = TruncToInt32(Sys2 * 7.5 * 0.11764705882352941);
    if (HostGearHandle >= kGearHandleDown && Sys2 > 200 && GearAltExtension == 0) {
        LeakIf(kHydElemGear, 1);
    }
    H.Consumer[15] = Inoperative(kHydElemGear) ? 0 : Sys2;
    const bool slow = IndicatedAirspeed < 150.0f;
    if (slow && RuddersShutoffB[1] == 0 && Deflected(ControlSurfacePositions[0], 0.12f)) {
        Sys2 = Scale(Sys2, 50, 51);
        LeakIf(kHydElemSpoilers2, 1);
    }
    const bool off = RuddersShutoffB[1] != 0 || IndicatedAirspeed > 150.0f ||
                     HydraulicShutoff[1] != 0 || Inoperative(kHydElemSpoilers2);
    H.Consumer[13] = off ? 0 : std::min(Sys2, 900);
}

// 13. Parking-brake accumulator (consumer 14).
void AccumulatorStep() {
    int32_t& acc = HydraulicFluidState.Accumulator;
    if (Sys2 > 2000 && Sys2 > acc) acc = Sys2;
    if (ParkingBrake != H.LastParkingBrake) {
        LeakIf(kHydElemParkingBrake, 1);
        if (ParkingBrake == 32767) acc = std::max(0, acc - 400);
        H.LastParkingBrake = ParkingBrake;
    }
}

// 14. Rudder input inhibit, with the instructor's override above 90 kt.
void RudderInhibitStep() {
    RudderInputInhibit = (H.Consumer[12] < 250 && H.Consumer[17] < 250) ? 1 : 0;
    if (IndicatedAirspeed > 90.0f) {
        const int32_t w = FlightSurfacesInstructorStates[kSurfaceRudder];
        if ((w & 1) != 0) RudderInputInhibit = 1;
        if ((w & 6) != 0) RudderInputInhibit = 0;
    }
}

// 15. PTU commands for the next pass.
void PtuCommandStep() {
    H.PtuSwitchFlag = StbyPumpToggle >= 1 ? 255 : 0;
    const bool handle_down = HostGearHandle >= kGearHandleDown;
    const bool gear_moving = !handle_down && GearTransitCountdown > 0;
    const bool automatic = (handle_down || gear_moving) && flight_controls_GEAR == 0 &&
                           H.EdpPressure[0] > 2000 && H.EdpPressure[1] < 2000;
    H.PtuAutoCommand = automatic ? 255 : 0;
    if (Sys1 < 400 || H.Reservoir[0] < 0.24 || H.Reservoir[1] < 0.24 || Inoperative(kHydElemPtu1) ||
        Inoperative(kHydElemPtu2)) {
        H.PtuSwitchFlag = 0;
        H.PtuAutoCommand = 0;
    }
}

// 16. Pump lights and the system-2 utility outputs.
void PumpLightsStep() {
    const bool bus = Bus(kPoweredRightEssential);
    SetCautionLight(1, 7, bus && H.EdpPressure[0] < 2000);  // "#1 ENG HYD PUMP"
    SetCautionLight(1, 8, bus && H.EdpPressure[1] < 2000);  // "#2 ENG HYD PUMP"
    H.Consumer[16] = Inoperative(kHydElemUtility2) ? 0 : Sys2;
    H.Consumer16Copy = H.Consumer[16];
}

// 17. Fluid temperatures (every 8th tick).
void TemperatureStep() {
    if ((FrameChangeBits.load(std::memory_order_relaxed) & 0x08) == 0) return;
    const float base = std::max(AmbientTemperature, -15.0f);
    constexpr int kElements[4] = {kHydElemEdp1, kHydElemEdp2, kHydElemStandbyPump1,
                                  kHydElemStandbyPump2};
    for (int i = 0; i < 4; ++i) {
        float& h = H.HeatTerm[i];
        if (i < 2) {
            h = static_cast<float>(
                (H.EdpPressure[i] * 0.001 * (30.0 / (H.EdpFlowFactor[i] + 0.001)) + h * 20.0) *
                0.047523808);
            if (Hot(kElements[i])) h *= 1.4f;
        } else {
            h = static_cast<float>((H.StandbyOutput[i - 2] * 0.001 + h * 20.0) * 0.047523808);
            if (Hot(kElements[i])) h *= 1.5f;
        }
        h = std::min(h, kHeatTermMax);
        H.FluidTemperature[i] = base + h;
    }
    const bool bus = Bus(kPoweredLeftEssential);
    SetCautionLight(0, 4, bus && H.FluidTemperature[0] > kFluidHotDegrees);  // "#1 HYD FLUID HOT"
    SetCautionLight(1, 4, bus && H.FluidTemperature[1] > kFluidHotDegrees);  // "#2 HYD FLUID HOT"
    SetCautionLight(0, 5, bus && H.FluidTemperature[2] > kFluidHotDegrees);  // "#1 SPU HOT"
    SetCautionLight(1, 5, bus && H.FluidTemperature[3] > kFluidHotDegrees);  // "#2 SPU HOT"
}

// The words the flight controls, the gear and the gauges read.
void PublishStep() {
    H.Consumer9Copy = H.Consumer[9];
    H.Consumer13Copy = H.Consumer[13];
    H.GearPressure = H.Consumer[15];
    FlapsHydraulicPressure = H.Consumer[8];
    RudderPressure[0] = H.Consumer[12];
    RudderPressure[1] = H.Consumer[17];
    // System 1 feeds the inboard pair, system 2 the outboard pair (cut above
    // 150 kt, where the outboard spoilers no longer move).
    RollSpoilerPressure[0] = H.Consumer[9];
    RollSpoilerPressure[1] = H.Consumer[13];
    RollSpoilerPressure[2] = H.Consumer9Copy;
    RollSpoilerPressure[3] = H.Consumer13Copy;
}

}  // namespace

void HydraulicsUpdate() {
    ReservoirStep();
    EdpStep();
    EdpFailureStep();
    FlapMotionStep();
    StandbyPump1Step();
    StandbyPump2Step();
    SystemPressureStep();
    PtuStep();
    System1ConsumersStep();
    Rudder1Step();
    System2ConsumersStep();
    GearAndSpoilers2Step();
    AccumulatorStep();
    RudderInhibitStep();
    PtuCommandStep();
    PumpLightsStep();
    TemperatureStep();
    PublishStep();
}

void HydraulicsDriver() {
    HydraulicsUpdate();
    if (Sys1 != H.LastSystemPressure[0] || Sys2 != H.LastSystemPressure[1]) {
        SystemTimers.HydraulicTimer = kHydraulicTimerArm;
    }
    H.LastSystemPressure[0] = Sys1;
    H.LastSystemPressure[1] = Sys2;
}

}  // namespace zu
