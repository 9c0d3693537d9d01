#include "core/flight_controls.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cabin_link/instructor_state_exchange.h"
#include "core/air_data.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/joystick_input.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "panels/side_panels.h"
#include "zu/platform/ini_file.h"

namespace zu {

int32_t GearCommanded = 16383;
int32_t flight_controls_GEAR = 16383;
int32_t GearHandlePrevious = 16383;
int32_t GearHandleCountdown = 0;
int32_t GearToggleCountdown = 0;
int32_t GearTransitCountdown = 0;
int32_t GearLegPosition[3] = {76, 76, 76};
int32_t GearLegLight[3] = {1, 1, 1};
GearStatesRecord GearStates{};
AltGearRecord AltGearState{};
uint8_t GearInhibitGuard = 0;
uint8_t GearAltExtension = 0;
int32_t GearAltExtensionCountdown = 0;
uint8_t GearInhibitSwitch = 0;
uint8_t NoseGearAltDoorGuard = 0;
int32_t flight_controls_FLAPS[2] = {0, 0};
int32_t FlapDetent = 2;
double FlapLastCommand = 4096.0;
int32_t FlapCountdown = 0;
uint8_t FlapDriveWait = 0;
uint8_t FlapMotionFlag = 0;
int16_t JoystickRudderOut = 0;
int32_t NoseSteeringSwitch = 0;
uint8_t RuddersShutoffA[2] = {0, 0};
uint8_t RuddersShutoffB[2] = {0, 0};
uint8_t HydraulicShutoff[2] = {0, 0};
uint8_t StickPusherShutoff = 0;
int32_t RudderTrimOutput = 0;
int32_t FlightControlGating = 0;
float TorqueYawValue = 0.0f;
int32_t RudderTrimValue = 0;
float ControlTorque[2] = {0.0f, 0.0f};
int32_t PusherHoldCountdown = 20;
int32_t PusherPushCountdown = 0;
int32_t PusherBudget = 3;
uint8_t GearFlags[kGearFlagCount] = {};
uint8_t GearWarningTestCount = 0;
uint8_t GearWarningRequest = 0;
int32_t flight_controls_COPILOT_antiskid_sw = 0;
int32_t CopilotPanelTimer = 0;
uint8_t CopilotSwitchPowered = 0;
double flight_controls_FF_TRIM = -0.16;

namespace {

constexpr uint32_t kEvtGearUp = 66079;
constexpr uint32_t kEvtGearDown = 66080;
constexpr uint32_t kEvtGearToggle = 65570;
constexpr uint32_t kEvtPusherTrim = 65706;
constexpr uint32_t kGearEventValue = 16535;
constexpr int32_t kGearDown = 16383;
constexpr int32_t kLegDown = 76;

constexpr float kSteeringGain[16] = {0, 512,   2048, 4096, 8192, 8192, 8192, 8192,
                                     0, 0.25f, 0.5f, 1.5f, 2,    2,    2,    2};
constexpr float kTorqueByLeverRunning[16] = {3000, 7000, 12000, 15500, 17000, 20000, 24000, 24000,
                                             921,  255,  75,    45,    0,     0,     0,     0};
constexpr float kTorqueByLeverGround[16] = {3000, 7000, 12000, 15500, 20000, 24000, 24000, 24000,
                                            1228, 600,  278,   0,     0,     0,     0,     0};
constexpr float kTorqueByBlade[16] = {
    -0.210526f, 0,    0.210526f, 0.421053f, 0.561404f, 0.736842f, 1.31579f, 1.33333f,
    2048,       1024, 800,       512,       256,       256,       256,      256};
constexpr float kYawByTorque[16] = {-32000, -8000, -512, 0, 512, 8000, 32000, 32000,
                                    -100,   -100,  -75,  0, 75,  100,  100,   100};
constexpr float kHeightFactor[16] = {-5, 0, 60, 60, 60, 60, 60, 60, 1.6f, 1.6f, 1, 1, 1, 1, 1, 1};

void SetSelection(int32_t s) {
    flight_controls_FLAPS[0] = s;
}

bool FlapFailure() {
    return (FlightSurfacesInstructorStates[3] & 1) != 0 &&
           (FlightSurfacesInstructorStates[4] & 1) != 0;
}

void FlapSelectionStep() {
    int32_t sel = FlapSelection();
    if (FlapPosition > FlapLastCommand + 20.0)
        sel = FlapPosition > 16000.0f ? 4 : std::min(sel + 1, 4);
    if (FlapPosition < FlapLastCommand - 20.0)
        sel = FlapPosition < 2000.0f ? 0 : std::max(sel - 1, 0);
    SetSelection(sel);
    if (FlapsHydraulicPressure > 500 && !FlapFailure()) {
        const int32_t detent = sel + 2;
        if (detent != FlapDetent) FlapMotionFlag = 1;
        FlapDetent = detent;
        FlapDriveWait = 0;
    } else {
        FlapDriveWait = 1;
    }
    if (RemoteDisplayCountdown.load(std::memory_order_acquire) != 0) FlapDriveWait = 0;
    FlapDetent = std::clamp(FlapDetent, 2, 6);
    FlapDetentSent += 20;
    FlapCountdown = 12;
    FlapLastCommand = FlapDetent * 2048.0;
}

// The hydraulic surface lights; all dark with their bus unpowered, the
// first three re-evaluated only every 8th pass while it is powered.
void SurfaceLights() {
    const bool bus = Powered(kPoweredRightEssential);
    if (!bus || (HostPassChangeBits & 0x08) != 0) {
        SetCautionLight(3, 10, bus && RudderPressure[0] < 600);  // "#1 RUD HYD"
        SetCautionLight(3, 11, bus && RudderPressure[1] < 600);  // "#2 RYD HYD"
        SetCautionLight(
            4, 10,
            bus && (RudderPressure[0] >= 2851 || RudderPressure[1] >= 2851));  // "RUD FULL PRESS"
    }
    const bool adc_test = AdcTestTimer1 > 0 || AdcTestTimer2 > 0;
    SetCautionLight(
        0, 10,
        bus && !adc_test && (RudderPressure[0] < 100 || RudderPressure[1] < 100));  // "RUD PRESS"
    SetCautionLight(2, 10, bus && (RollSpoilerPressure[0] < 600 || RollSpoilerPressure[2] < 600));
    SetCautionLight(2, 11,
                    bus && IndicatedAirspeed < 140.0f &&
                        (RollSpoilerPressure[1] < 600 || RollSpoilerPressure[3] < 400));
    SetCautionLight(5, 11,
                    bus && (FlapsHydraulicPressure < 1500 || FlapFailure()) &&
                        (FlapHydraulicWord >= 1 || FlapDriveWait != 0));  // "FLAP POWER"
}

// The handle, the commanded gear and the remembered handle are up at 0 and
// down at any other value: the simulator's handle reads 16383 down, the
// instructor station writes 32767. The gear words keep 0 or 16383.
bool GearIsDown(int32_t word) {
    return word != 0;
}

int32_t GearWord(int32_t handle) {
    return GearIsDown(handle) ? kGearDown : 0;
}

void SendGearPosition(int32_t gear) {
    SendKeyEvent(GearIsDown(gear) ? kEvtGearDown : kEvtGearUp, kGearEventValue);
}

void GearWarnings() {
    const int32_t reference = flight_controls_GEAR;
    const bool split = (PowerLeverPosition[0] > 13000) != (PowerLeverPosition[1] > 13000) &&
                       PowerLeverPosition[0] != 13000 && PowerLeverPosition[1] != 13000;
    bool warning = false;
    if (split && reference < 16000 && IndicatedAirspeed < 130.0f) warning = true;
    if (IndicatedAirspeed < 130.0f && PowerLeverPosition[0] < 13000 &&
        PowerLeverPosition[1] < 13000 && reference < 16000) {
        GearWarningRequest = 0;
        warning = true;
    } else if (GearWarningRequest != 0) {
        warning = false;
    }
    if (Autofeather.select == 0 && FlapSelection() > 2 && reference < 16000) warning = true;
    if (GearWarningTestCount > 0) {
        --GearWarningTestCount;
        warning = true;
    }
    GearFlags[kGearFlagWarning] = warning ? 1 : 0;
}

void OverspeedWarnings() {
    double limit = 242.0;
    if (Altitude > 14000.0f) limit = 242.0 - (Altitude - 14000.0) * 0.0031847134;
    bool warning = IndicatedAirspeed > limit;
    if (OnGround != 0 && (TorqueFiltered[0] > 60.0f || TorqueFiltered[1] > 60.0f)) {
        const int32_t sel = FlapSelection();
        if (ElevatorTrimInput < -2555 || ElevatorTrimInput > 7599 || PowerLeverValue[0] < 20000 ||
            PowerLeverValue[1] < 20000 || sel > 3 || sel == 0 || ParkingBrake != 0) {
            warning = true;
        }
    }
    GearFlags[kGearFlagTakeoffWarning] = warning ? 1 : 0;
}

void GroundLights() {
    const bool bus = Powered(kPoweredRightEssential);
    SetCautionLight(2, 13, bus && ParkingBrake != 0);                   // "PARKING BRAKE"
    SetCautionLight(6, 1, bus && GearFlags[kGearFlagTailStrike] != 0);  // "TOUCHED RUNWAY"
    if ((HostPassChangeBits & 0x08) == 0) return;
    if (CountdownTick(&CopilotPanelTimer) && CopilotPanelTimer == 1) RefreshCountdown[5] = 25;
    const bool antiskid = Powered(kPoweredRightMainDc) &&
                          (flight_controls_COPILOT_antiskid_sw == 0 || CopilotPanelTimer > 1);
    SetCautionLight(3, 12, antiskid);  // "INBD ANTI SKID"
    SetCautionLight(3, 13, antiskid);  // "OUTBD ANTISKID"
    CopilotSwitchPowered = Powered(kPoweredRightSecondary) && PilotPanelState.copilot_toggle != 0;
}

// Gear sequence: one leg's light and transit for extension and retraction.
// Legs of GearLegPosition are nose, left, right; of GearStates left, nose,
// right.
constexpr int kLegNose = 0, kLegLeft = 1, kLegRight = 2;
constexpr int kStateOf[3] = {kGearStateNose, kGearStateLeft, kGearStateRight};

void Extension(int32_t t) {
    if (t == 0) {
        for (int leg = 0; leg < 3; ++leg) {
            GearLegPosition[leg] = kLegDown;
            GearLegLight[leg] = 1;
            GearStates.in_transit[kStateOf[leg]] = 0;
        }
        return;
    }
    GearStates.in_transit[kGearStateNose] = 1;
    if (t >= 35)
        GearLegLight[kLegNose] = 0;
    else if (t >= 29)
        GearLegLight[kLegNose] = 1;
    GearStates.nose_door = t >= 66 ? 1 : 0;
    if (t >= 28) GearStates.in_transit[kGearStateLeft] = 1;
    if (t > 32)
        GearLegLight[kLegLeft] = 0;
    else if (t >= 28)
        GearLegLight[kLegLeft] = 1;
    if (t >= 31) GearStates.in_transit[kGearStateRight] = 1;
    if (t > 37)
        GearLegLight[kLegRight] = 0;
    else if (t >= 31)
        GearLegLight[kLegRight] = 1;
    for (int leg = 0; leg < 3; ++leg) {
        if (GearLegPosition[leg] < kLegDown) GearLegPosition[leg] = 90 - t;
    }
}

void Retraction(int32_t t) {
    if (t == 0) {
        for (int leg = 0; leg < 3; ++leg) {
            GearLegPosition[leg] = 0;
            GearLegLight[leg] = 0;
            GearStates.in_transit[kStateOf[leg]] = 0;
        }
        return;
    }
    if (t >= 22) GearStates.in_transit[kGearStateNose] = 1;
    if (t >= 66) {
        GearLegLight[kLegNose] = 1;
        GearStates.nose_door = 1;
    } else if (t >= 22) {
        GearLegLight[kLegNose] = 0;
        if (t >= 28) GearStates.nose_door = 0;
    }
    if (t >= 20) GearStates.in_transit[kGearStateLeft] = 1;
    if (t >= 68)
        GearLegLight[kLegLeft] = 1;
    else if (t >= 20)
        GearLegLight[kLegLeft] = 0;
    if (t >= 22) GearStates.in_transit[kGearStateRight] = 1;
    if (t >= 64)
        GearLegLight[kLegRight] = 1;
    else if (t >= 22)
        GearLegLight[kLegRight] = 0;
    for (int leg = 0; leg < 3; ++leg) {
        if (GearLegPosition[leg] > 0) GearLegPosition[leg] = t - 12;
    }
}

void AlternateRequests() {
    int32_t& t = GearTransitCountdown;
    if (AltGearState.pump[0] != 0) {
        AltGearState.pump[0] = 0;
        t = 61;
        GearStates.in_transit[kGearStateLeft] = 1;
    }
    if (AltGearState.nose_door != 0) {
        AltGearState.nose_door = 0;
        t = 61;
        GearStates.in_transit[kGearStateNose] = 1;
        GearStates.in_transit[kGearStateRight] = 1;
        for (int leg : {kLegNose, kLegRight}) {
            if (IndicatedAirspeed > 160.0f) {
                GearLegLight[leg] = 0;
            } else if (GearAltExtension != 0 && GearLegPosition[leg] == kLegDown) {
                GearLegLight[leg] = 1;
            }
        }
    }
    if (GearAltExtension == 0) return;
    for (int leg = 0; leg < 3; ++leg) {
        const bool moving = GearStates.in_transit[kStateOf[leg]] != 0;
        if (IndicatedAirspeed < 160.0f && moving && GearLegPosition[leg] == kLegDown) {
            GearLegLight[leg] = 1;
        }
    }
    if (AltGearState.pump[1] != 0) {
        AltGearState.pump[1] = 0;
        bool unlit_moving = false;
        for (int leg : {kLegNose, kLegRight}) {
            unlit_moving |= GearStates.in_transit[kStateOf[leg]] != 0 && GearLegLight[leg] == 0;
        }
        if (unlit_moving) {
            for (int leg : {kLegNose, kLegRight}) {
                if (GearLegPosition[leg] == kLegDown) GearLegLight[leg] = 1;
            }
        }
    }
    for (int leg = 0; leg < 3; ++leg) {
        if (GearStates.in_transit[kStateOf[leg]] != 0) {
            GearLegPosition[leg] = std::min(GearLegPosition[leg] + 4, kLegDown);
        }
    }
    if (GearLegPosition[kLegLeft] == kLegDown && GearStates.in_transit[kGearStateLeft] != 0) {
        GearLegLight[kLegLeft] = 1;
    }
}

// Steering is available with its switch on, below 40 kt, hydraulic system 1
// pressurised and its bus powered.
bool SteeringAvailable() {
    return NoseSteeringSwitch != 0 && IndicatedAirspeed < 40.0f &&
           HydraulicsState.SystemPressure[0] >= 1501 && Powered(kPoweredRightMainDc);
}

// The output the rudder position asks for, through the gain table.
double SteeringFromRudder() {
    const double s = ControlSurfacePositions[0];
    if (std::fabs(s) <= 0.012) return 0.0;
    const double k = TableLookup8(kSteeringGain, static_cast<float>(std::fabs(s * 81920.0)));
    return std::clamp(k * s * -81920.0, -15000.0, 15000.0);
}

// With the joystick in use its rudder axis is added and the sum reversed.
double SteeringWithJoystick(double out) {
    if (DINPUT_USE == 0) return out;
    return std::clamp(-(JoystickRudderAxis + out), -15000.0, 15000.0);
}

}  // namespace

int32_t FlapSelection() {
    return flight_controls_FLAPS[0];
}

void NoseSteeringUpdate() {
    SetCautionLight(2, 12, false);  // "NOSE STEERING"
    const double out = SteeringAvailable() ? SteeringWithJoystick(SteeringFromRudder()) : 0.0;
    JoystickRudderOut = static_cast<int16_t>(std::clamp(out, -16383.0, 16383.0));
}

void FlightSurfacesUpdate() {
    if (FlapCountdown > 0) {
        CountdownTick(&FlapCountdown);
    } else {
        const bool was_running = SystemTimers.HydraulicTimer > 0;
        CountdownTick(&SystemTimers.HydraulicTimer);
        if ((FlapDriveWait != 0 && was_running) ||
            std::fabs(FlapPosition - FlapLastCommand) > Throttles_delta) {
            FlapSelectionStep();
        }
    }
    SurfaceLights();
    if (!Powered(kPoweredLeftEssential)) {
        HydraulicShutoff[0] = HydraulicShutoff[1] = 0;
        RuddersShutoffA[0] = RuddersShutoffA[1] = 0;
        RuddersShutoffB[0] = RuddersShutoffB[1] = 0;
    }
}

void GearHandleUpdate() {
    CountdownTick(&GearHandleCountdown);
    if (GearAltExtension != 0 && !GearIsDown(GearCommanded) && GearStates.in_transit[0] != 0 &&
        GearStates.in_transit[1] != 0 && GearStates.in_transit[2] != 0) {
        GearCommanded = kGearDown;
        GearHandleCountdown = 12;
        GearTransitCountdown = 66;
    }
    const bool handle_down = GearIsDown(HostGearHandle);
    if (GearHandleCountdown == 0 && OnGround == 0 &&
        handle_down != GearIsDown(GearHandlePrevious)) {
        if (GearAltExtension != 0 && GearIsDown(GearCommanded) != handle_down) {
            SendGearPosition(handle_down ? 0 : kGearDown);
            GearHandleCountdown = 12;
            flight_controls_GEAR = kGearDown - flight_controls_GEAR;
        } else {
            GearCommanded = GearWord(HostGearHandle);
            GearTransitCountdown = 76;
            GearFlags[kGearFlagUpRequest] = 1;
            flight_controls_GEAR = GearWord(HostGearHandle);
        }
    }
    GearHandlePrevious = HostGearHandle;
    if (GearHandleCountdown > 8) SendGearPosition(GearCommanded);
    if (OnGround != 0) GearCommanded = flight_controls_GEAR;
    CountdownTick(&GearToggleCountdown);
    if (GearAltExtension == 0 && handle_down != GearIsDown(flight_controls_GEAR) &&
        HydraulicsState.SystemPressure[1] >= 700 && GearToggleCountdown == 0) {
        SendKeyEvent(kEvtGearToggle, kGearEventValue);
        GearToggleCountdown = 12;
        GearCommanded = flight_controls_GEAR;
        GearFlags[kGearFlagUpRequest] = 1;
    }
    GearWarnings();
    OverspeedWarnings();
    GroundLights();
}

void TorqueEffectsUpdate() {
    const bool both_lit = IttValue[0] != 0 && IttValue[1] != 0;
    for (int e = 0; e < 2; ++e) {
        const double blade = e == 0 ? PropPitch1 : PropPitch2;
        double t;
        if (IttValue[e] == 0) {
            t = TableLookup8(kTorqueByBlade, static_cast<float>(blade)) * PropRpm[e] / 1200.0;
        } else if (OnGround != 0 && both_lit) {
            t = TableLookup8(kTorqueByLeverGround, static_cast<float>(PowerLeverPosition[e]));
        } else {
            t = TableLookup8(kTorqueByLeverRunning, static_cast<float>(PowerLeverPosition[e])) *
                PropRpm[e] / 900.0;
        }
        if (IttValue[e] != 0 && blade < -0.122807 && t > 1000.0) t = 2048.0;
        ControlTorque[e] = static_cast<float>(t);
    }
    if (IttValue[0] == 0 && IttValue[1] == 0) {
        ControlTorque[0] *= 0.5f;
        ControlTorque[1] *= 0.5f;
    }
    for (float& t : ControlTorque) t = std::min(t, 16000.0f);
    double trim = TableLookup8(kHeightFactor, static_cast<float>(RadioAltitude * 3.2857)) *
                  (ControlTorque[0] + ControlTorque[1]);
    if (TrimInhibit != 0) trim += 200.0 * PilotTrimRequest;
    trim = std::min(trim, 16000.0);
    if (!GearIsDown(GearCommanded)) {
        for (int32_t pos : GearLegPosition) {
            if (pos == kLegDown) trim += 150.0;
        }
    }
    RudderTrimOutput = TruncToInt32(trim);
    FlightControlGating = RudderTrimOutput;
    if (NoseGearAltDoorGuard != 0 || GearInhibitSwitch != 0) {
        GearAltExtension = 1;
    } else if (GearAltExtension != 0 && !CountdownTick(&GearAltExtensionCountdown)) {
        GearAltExtension = 0;
    }
    const double s0 = (PropPitch1 < 0.0 ? -1.0 : 1.0) * TorqueFiltered[0];
    const double s1 = (PropPitch2 < 0.0 ? -1.0 : 1.0) * TorqueFiltered[1];
    TorqueYawValue = static_cast<float>(
        TableLookup8(kYawByTorque, ControlTorque[1] - ControlTorque[0]) * 0.001745 +
        (s0 - s1) * 0.001);
}

void StickPusherUpdate() {
    if (StallWarningState.output[0] > -14000 || RadioAltitudeReadoutValue < 400 ||
        GroundSpeed < 30 || IndicatedAirspeed > 200.0f) {
        PusherHoldCountdown = 20;
    }
    if (!Powered(kPoweredLeftEssential)) {
        StickPusherShutoff = 0;
    } else if (PusherHoldCountdown == 0 && PusherPushCountdown == 0 && StickPusherShutoff == 0 &&
               PusherBudget > 0) {
        PusherPushCountdown = 196;
        RudderTrimValue = 20;
        SendKeyEvent(kEvtPusherTrim, static_cast<uint32_t>(ElevatorTrimOut - 3500));
        --PusherBudget;
        PusherHoldCountdown = 20;
    }
    CountdownTick(&PusherHoldCountdown);
    CountdownTick(&PusherPushCountdown);
    SetCautionLight(1, 11,
                    Powered(kPoweredLeftEssential) &&
                        (StickPusherShutoff != 0 || StallWarningState.test_state == 1 ||
                         StallWarningState.test_state == 2));
}

void GearSequenceUpdate() {
    int32_t& t = GearTransitCountdown;
    const int32_t p = HydraulicsState.SystemPressure[1];
    const uint32_t rate = FrameChangeBits.load(std::memory_order_acquire);
    if ((GearAltExtension == 0 && p > 2000) || (p > 699 && (rate & 0x02))) CountdownTick(&t);
    if (p >= 701 && GearAltExtension == 0) {
        if (GearIsDown(GearCommanded)) {
            Extension(t);
        } else {
            Retraction(t);
        }
    }
    const int32_t end = GearIsDown(flight_controls_GEAR) ? kLegDown : 0;
    for (int leg = 0; leg < 3; ++leg) {
        GearStates.disagree[kStateOf[leg]] = GearLegPosition[leg] != end ? 1 : 0;
    }
    AlternateRequests();
    for (int32_t& pos : GearLegPosition) pos = std::clamp(pos, 0, kLegDown);
}

namespace {

constexpr const char* kSavedSection = "zodudori";

}  // namespace

void FlightControlsStateSave(const char* path) {
    platform::WritePrivateProfileStruct(kSavedSection, "flight_controls_FLAPS",
                                        flight_controls_FLAPS, 8, path);
    platform::WritePrivateProfileStruct(kSavedSection, "flight_controls_GEAR",
                                        &flight_controls_GEAR, 4, path);
    platform::WritePrivateProfileStruct(kSavedSection, "flight_controls_COPILOT_antiskid_sw",
                                        &flight_controls_COPILOT_antiskid_sw, 4, path);
    platform::WritePrivateProfileStruct(kSavedSection, "flight_controls_FF_TRIM",
                                        &flight_controls_FF_TRIM, 8, path);
}

void FlightControlsStateLoad(const char* path) {
    uint8_t flaps[8];
    if (platform::GetPrivateProfileStruct(kSavedSection, "flight_controls_FLAPS", flaps, 8, path)) {
        int32_t sel = 0;
        std::memcpy(&sel, flaps, sizeof sel);
        if (sel >= 0 && sel <= 4) std::memcpy(flight_controls_FLAPS, flaps, 8);
    }
    int32_t v = 0;
    if (platform::GetPrivateProfileStruct(kSavedSection, "flight_controls_GEAR", &v, 4, path) &&
        (v == 0 || v == kGearDown)) {
        flight_controls_GEAR = v;
    }
    if (platform::GetPrivateProfileStruct(kSavedSection, "flight_controls_COPILOT_antiskid_sw", &v,
                                          4, path) &&
        v >= -1 && v <= 1) {
        flight_controls_COPILOT_antiskid_sw = v;
    }
    double trim = 0.0;
    if (platform::GetPrivateProfileStruct(kSavedSection, "flight_controls_FF_TRIM", &trim, 8,
                                          path) &&
        std::isfinite(trim)) {
        flight_controls_FF_TRIM = trim;
    }
    HostGearHandle = flight_controls_GEAR;
    GearCommanded = flight_controls_GEAR;
    SendGearPosition(flight_controls_GEAR);
}

}  // namespace zu
