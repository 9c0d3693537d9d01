#include "core/host_panel_services.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "cabin_link/instructor_state_exchange.h"
#include "core/autopilot_control_laws.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_data_exchange.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"

namespace zu {

int32_t HostIoStartDelay = kHostIoStartHold;
uint8_t StartupEventsSent = 0;

namespace {
constexpr gauge::HostVariable Token(uint32_t token) {
    return {token, nullptr, 0, 0.0, 0.0};
}
}  // namespace

// Every record starts with its token number; the lookup fills the rest.
gauge::HostVariable HostVariables[kHostVariableCount] = {
    Token(1),   Token(341), Token(800), Token(61),  Token(64),  Token(73),  Token(74),  Token(60),
    Token(79),  Token(77),  Token(834), Token(82),  Token(81),  Token(614), Token(65),  Token(703),
    Token(711), Token(131), Token(166), Token(705), Token(713), Token(700), Token(708), Token(198),
    Token(233), Token(199), Token(234), Token(626), Token(645), Token(627), Token(646), Token(633),
    Token(652), Token(702), Token(328), Token(320), Token(321), Token(784), Token(786), Token(331),
    Token(785), Token(787), Token(304), Token(303), Token(634), Token(653), Token(147), Token(147),
    Token(348), Token(70),  Token(369), Token(550), Token(31),  Token(31),  Token(40),  Token(49),
    Token(59),  Token(50),  Token(58),  Token(35),  Token(39),  Token(20),  Token(354), Token(343),
    Token(344), Token(332), Token(325), Token(563), Token(573), Token(895), Token(896), Token(897),
    Token(898), Token(891), Token(892), Token(364), Token(182),
};

int32_t HostTickCount = 0;
float AmbientTemperature = 15.0f;
double AmbientSecondValue = 0.0;
double HostSpeedValue = 0.0;
float PressureAltitude = 0.0f;
float BankAttitude = 0.0f;
float PitchAttitude = 0.0f;
double FgcAdvisoryHostValue = 0.0;
double NavHeading = 0.0;
float Heading = 0.0f;
double RadioAltitude = 0.0;
double PropPitch1 = 0.0;
double PropPitch2 = 0.0;
float EngineHostValueA[2] = {0.0f, 0.0f};
float EngineHostValueB[2] = {0.0f, 0.0f};
double EngineHostValue702 = 0.0;
float FlapPosition = 0.0f;
float ControlSurfacePositions[3] = {0.0f, 0.0f, 0.0f};
int32_t HostGearHandle = 16383;
float ElevatorTrim = 0.0f;
double ElevatorTrimHostValue = 0.0;
int32_t FuelQuantity[2] = {0, 0};
int32_t EngineAirValue[2] = {0, 0};
int32_t AirConditioningHostValues[2] = {0, 0};
double ReferencePressure = 1013.0;
int32_t VerticalSpeed = 0;
int32_t HostValue369 = 0;
int32_t MarkerBeacons = 0;
double WindData[2] = {0.0, 0.0};
int32_t HostFlapsValue = 0;
int32_t HostValue325 = 0;
double EngineStarterValue[2] = {0.0, 0.0};
double HostNavBearing[2] = {0.0, 0.0};
int32_t OnGroundHold = 0;

double ThrottleLastSent[2] = {0.0, 0.0};
double PowerplantValuesSent[2] = {0.0, 0.0};
double PropLeverLastSent[2] = {0.0, 0.0};
uint8_t RudderDriven = 0;
uint8_t ThrottleLimiterSent = 0;
uint8_t TrimInhibit = 0;
uint8_t TrimInhibitPrevious = 0;
double TrimRunValue = 0.0;
float TrimOutput = 0.0f;
float TrimOutputKept = 0.0f;
int32_t TrimDisplayCountdown = 0;
int32_t FlapDetentSent = 0;
int32_t KeyEventPairSent[2] = {0, 0};
int32_t LandingLightCopy = 0;
int32_t BrakeCountdown = 0;
uint8_t BrakesApplied = 0;
uint8_t ThrottlesReleased = 0;
uint8_t LoadingWindowOpened = 0;
uint8_t ApServoEngaged = 0;
int32_t ElevatorTrimOut = 0;
int32_t RudderTrimSent = 0;

uint8_t RudderInputInhibit = 0;
double RemotePositionValues[3] = {0.0, 0.0, 0.0};
uint8_t PilotPanelFlag = 0;
int32_t PilotTrimRequest = 0;
int32_t PilotTrimTimer = 0;
int32_t PilotPanelOverride = 0;
int32_t KeyEventPanelWords[4] = {0, 0, 0, 0};

void LookupHostVariable(gauge::HostVariable* var) {
    auto lookup = PanelServiceSlot<gauge::LookupVariableService>(gauge::kSlotLookupVariable);
    if (lookup != nullptr) lookup(var);
}

void SendKeyEvent(uint32_t event, uint32_t value) {
    auto trigger = PanelServiceSlot<gauge::TriggerKeyEventService>(gauge::kSlotTriggerKeyEvent);
    if (trigger != nullptr) trigger(event, value);
}

namespace {

// The host's look-up service, fetched once for the poll's many look-ups
// (null outside the poll: each look-up then fetches it).
gauge::LookupVariableService PollLookupService = nullptr;

double Look(int index) {
    gauge::HostVariable* var = &HostVariables[index];
    if (PollLookupService != nullptr) {
        PollLookupService(var);
    } else {
        LookupHostVariable(var);
    }
    return var->value;
}

// Event values are the simulator's 32-bit words; negative values go as
// their two's complement.
void Send(uint32_t event, int32_t value) {
    SendKeyEvent(event, static_cast<uint32_t>(value));
}

void SendStartupEvents() {
    if (FlightLoadCounter < 100) {
        Send(kEvtAxisA, 0);
    } else if (FlightLoadCounter < 150) {
        Send(kEvtAxisA, 0x2000);
    }
    Send(kEvtAxisB, 0);
    Send(0x101A4, 0xFFFF);
    Send(0x103E7, 0xFFFF);
    Send(0x103BD, 0xFFFF);
    Send(0x10187, 1);
    Send(0x1018D, 1);
    Send(0x10187, 3);
    Send(0x1018D, 4);
    Send(0x100A5, 47);
}

void OnGroundUpdate(int32_t raw) {
    if (raw != 0) {
        OnGround = 255;
        OnGroundHold = 0;
        return;
    }
    if (OnGround == 0) return;
    // Airborne while still on the ground: the release waits for 32
    // consecutive airborne passes; a ground pass in between cancels it.
    if (OnGroundHold == 0) OnGroundHold = kOnGroundReleaseHold;
    if (--OnGroundHold <= 0) {
        OnGroundHold = 0;
        OnGround = 0;
    }
}

// The ten navigation records, each looked up in place: the VOR1, ADF1 and
// VOR2 radio values, the two receivers' raw bearings (smoothed into the VOR
// records by the navigation-source update), their DME distances (taken while
// no computed distance is kept), their lateral deviations (byte form) and
// ADF1's relative bearing.
void NavSourcesHostPoll() {
    NavSources[kNavVor1].radio_value = Look(kHvNav31a);
    NavSources[kNavAdf1].radio_value = Look(kHvNav31b);
    NavReceiverBearing[0] = Look(kHvNav40);
    NavReceiverBearing[1] = Look(kHvNav49);
    const double dme[2] = {Look(kHvNav59), Look(kHvNav50)};
    for (int side = 0; side < 2; ++side) {
        NavSourceRecord& vor = NavSources[side == 0 ? kNavVor1 : kNavVor2];
        if (vor.computed_distance == 0) vor.distance = dme[side];
    }
    NavSources[kNavVor1].lateral_deviation = Look(kHvNav58);
    NavSources[kNavVor2].lateral_deviation = Look(kHvNav35);
    NavSources[kNavAdf1].bearing = Look(kHvNav39);
    NavSources[kNavVor2].radio_value = Look(kHvNav20);
}

void PollHostVariables() {
    HostTickCount = RoundToInt32(Look(kHvTickCount));
    if (HostIoStartDelay > 0) return;

    if (FrameChangeBits.load(std::memory_order_acquire) & 0x20) {
        AmbientTemperature = static_cast<float>(Look(kHvAmbientTemperature));
        AmbientSecondValue = Look(kHvAmbientSecond);
    }

    if (StartupEventsSent == 0) {
        SendStartupEvents();
        StartupEventsSent = 1;
    }

    IndicatedAirspeed = static_cast<float>(Look(kHvIndicatedAirspeed));
    HostSpeedValue = Look(kHvSpeedValue) * 0.00005;
    Altitude = static_cast<float>(Look(kHvAltitude) * 3.28);
    PressureAltitude = static_cast<float>(Look(kHvPressureAltitude));
    OnGroundUpdate(RoundToInt32(Look(kHvOnGround)));
    double bank = Look(kHvBank);
    if (bank > 180.0) bank -= 360.0;
    BankAttitude = static_cast<float>(bank);
    PitchAttitude = static_cast<float>(Look(kHvPitch));
    FgcAdvisoryHostValue = Look(kHvAdvisoryValue);
    NavHeading = Look(kHvNavHeading);
    Heading = static_cast<float>(Look(kHvHeading) + 0.2);
    RadioAltitude = Look(kHvRadioAltitude);
    VerticalSpeedRaw = RoundToInt32(Look(kHvVerticalSpeed) * 0.76875);
    PropPitch1 = Look(kHvPropPitch1);
    PropPitch2 = Look(kHvPropPitch2);
    IttValue[0] = RoundToInt32(Look(kHvItt1)) & 0xFF;
    IttValue[1] = RoundToInt32(Look(kHvItt2)) & 0xFF;
    EngineHostValueA[0] = static_cast<float>(Look(kHvEngineValueA1));
    EngineHostValueA[1] = static_cast<float>(Look(kHvEngineValueA2));
    Look(kHvPropRpm1);
    Look(kHvPropRpm2);

    // Split power-lever synchronisation: with both engines at about the same
    // spool speed, levers that differ by less than the sync factor are taken
    // as one (the engine-2 value).
    double lever1 = Look(kHvLever1);
    const double lever2 = Look(kHvLever2);
    if (std::fabs(static_cast<double>(Nh1State.nh) - Nh2State.nh) < 25.0 &&
        std::fabs(lever1 - lever2) < SPLIT_PLS_SYNC_FACTOR) {
        lever1 = lever2;
        HostVariables[kHvLever1].value = lever2;
    }
    HostThrottleLever[0] = lever1;
    HostThrottleLever[1] = lever2;

    HostThrottleInput[0] = RoundToInt32(Look(kHvThrottleInput1));
    HostThrottleInput[1] = RoundToInt32(Look(kHvThrottleInput2));
    Look(kHvSpool1);
    Look(kHvSpool2);
    Look(kHvSpool1b);
    Look(kHvSpool2b);
    EngineHostValueB[0] = static_cast<float>(Look(kHvEngineValueB1));
    EngineHostValueB[1] = static_cast<float>(Look(kHvEngineValueB2));
    EngineHostValue702 = Look(kHvEngineValue702);
    FlapPosition = static_cast<float>(Look(kHvFlapPosition));
    Look(kHvFlightControlA);
    Look(kHvFlightControlB);
    ControlSurfacePositions[0] = static_cast<float>(Look(kHvSurface1));
    ControlSurfacePositions[2] = static_cast<float>(Look(kHvSurface3));
    HostGearHandle = RoundToInt32(Look(kHvGearHandle));
    ElevatorTrim = static_cast<float>(Look(kHvElevatorTrim));
    ElevatorTrimHostValue = Look(kHvTrimValue);
    FuelQuantity[0] = RoundToInt32(Look(kHvFuelTank1));
    FuelQuantity[1] = RoundToInt32(Look(kHvFuelTank2));
    EngineAirValue[0] = RoundToInt32(Look(kHvEngineAir1));
    EngineAirValue[1] = RoundToInt32(Look(kHvEngineAir2));
    AirConditioningHostValues[0] = RoundToInt32(Look(kHvAirConditioning1) * 0.0454545 - 101.0);
    AirConditioningHostValues[1] = RoundToInt32(Look(kHvAirConditioning2) * 0.0454545 - 101.0);
    ReferencePressure = Look(kHvReferencePressure) * 0.0628931;
    VerticalSpeed = RoundToInt32(Look(kHvVerticalSpeed70));
    HostValue369 = RoundToInt32(Look(kHvValue369));
    Look(kHvRecord550);
    NavSourcesHostPoll();
    MarkerBeacons = RoundToInt32(Look(kHvMarkerBeacons));
    WindData[0] = Look(kHvWindSpeed);
    double wind_dir = std::fmod(Look(kHvWindDirection) - NavHeading, 360.0);
    if (!std::isfinite(wind_dir)) wind_dir = 0.0;
    if (wind_dir < 0.0) wind_dir += 360.0;
    WindData[1] = wind_dir;
    HostFlapsValue = RoundToInt32(Look(kHvFlapsValue));
    HostValue325 = RoundToInt32(Look(kHvValue325));
    EngineStarterValue[0] = RoundToInt32(Look(kHvStarter1));
    EngineStarterValue[1] = RoundToInt32(Look(kHvStarter2));
    PowerplantState.OilTemperatureWord[0] = HostVariables[kHvAirConditioning1].value;
    PowerplantState.OilTemperatureWord[1] = Look(kHvOilTemperature2);
}

}  // namespace

void HostVarsPoll() {
    PollLookupService = PanelServiceSlot<gauge::LookupVariableService>(gauge::kSlotLookupVariable);
    PollHostVariables();
    PollLookupService = nullptr;
}

namespace {

// Bus-powered bytes of Electrics_sys that gate the start switches and the
// pilot's trim.
constexpr BusPoweredByte kEngine1StartPower = kPoweredLeftMainDc;
constexpr BusPoweredByte kEngine2StartPower = kPoweredRightMainDc;
constexpr BusPoweredByte kTrimPower = kPoweredLeftEssential;

constexpr uint32_t kThrottleEvents[2] = {kEvtThrottle1, kEvtThrottle2};
constexpr uint32_t kPowerplantEvents[2] = {kEvtPowerplant1, kEvtPowerplant2};
constexpr uint32_t kPropLeverEvents[2] = {kEvtPropLever1, kEvtPropLever2};
constexpr uint32_t kStarterEvents[2] = {kEvtStarter1, kEvtStarter2};

// The four trim failures: failure bit in the third word and the index of
// the surface value that must reach 400 for it to act.
struct TrimFailure {
    int32_t bit;
    int surface_index;
    double run_step;
};
constexpr TrimFailure kTrimFailures[4] = {
    {0x01, 3, -0.25}, {0x02, 4, -0.25}, {0x04, 5, 0.25}, {0x08, 6, 0.25}};

// Instructor flight-surface failures: each surface's entry of the table
// holds its failure code (kSurfaceFail*, as the instructor panel sends it).
// The two elevators and the two ailerons always fail together.
bool ElevatorsFreeFloating() {
    return (FlightSurfacesInstructorStates[kSurfaceElevator1] &
            FlightSurfacesInstructorStates[kSurfaceElevator2] & kSurfaceFailFreeFloating) != 0;
}

bool AileronsFailed() {
    return FlightSurfacesInstructorStates[kSurfaceAileron1] != 0 ||
           FlightSurfacesInstructorStates[kSurfaceAileron2] != 0;
}

void ThrottleEvents() {
    if (PilotPanelOverride == -1) {
        for (int e = 0; e < 2; ++e) {
            if (PropControlDemand[e] > 900) {
                Send(kThrottleEvents[e], 6797);
                ThrottleLastSent[e] = 27;
            }
        }
    } else if (ThrottleLastSent[0] == 27 || ThrottleLastSent[1] == 27) {
        ThrottleLastSent[0] = 37;
        ThrottleLastSent[1] = 37;
    }
    for (int e = 0; e < 2; ++e) {
        const double out = PropControlDemand[e];
        if (std::fabs(out - ThrottleLastSent[e]) > Throttles_delta &&
            (out >= 0.0 || OnGround != 0)) {
            Send(kThrottleEvents[e], RoundToInt32(out));
            ThrottleLastSent[e] = out;
        }
    }
}

void StarterEvents() {
    bool flag[2] = {EngineStartRequest[0] != 0, EngineStartRequest[1] != 0};
    if (FrameChangeBits.load(std::memory_order_acquire) & 0x04) {
        if (IttValue[0] != 0 && Powerplants_engine_ign1 == 2 &&
            BusPowered.get(kEngine1StartPower) != 0) {
            flag[0] = true;
        }
        if (IttValue[1] != 0 && Powerplants_engine_ign2 == 2 &&
            BusPowered.get(kEngine2StartPower) != 0) {
            flag[1] = true;
        }
    }
    for (int e = 0; e < 2; ++e) {
        if (flag[e] && EngineStarterValue[e] == 0.0) {
            Send(kStarterEvents[e], 0x4000);
        } else if (!flag[e] && EngineStarterValue[e] != 0.0) {
            Send(kStarterEvents[e], 0);
        }
    }
}

void RudderEvents() {
    if (RudderInputInhibit == 0) {
        if (std::abs(static_cast<int32_t>(JoystickRudderOut)) > 300) {
            Send(kEvtRudder, JoystickRudderOut);
            RudderDriven = 1;
        } else if (RudderDriven != 0) {
            Send(kEvtRudder, 0);
            RudderDriven = 0;
        }
    } else {
        Send(kEvtRudder, 0);
    }
    const int32_t rudder = FlightSurfacesInstructorStates[kSurfaceRudder];
    if (rudder & kSurfaceFailDeflectLeft) {
        Send(kEvtRudder, 15000);
    } else if (rudder & kSurfaceFailDeflectRight) {
        Send(kEvtRudder, -15000);
    }
}

void ElevatorAndAileronEvents() {
    if (ElevatorsFreeFloating()) Send(kEvtElevator, 0);
    if (Powerplants_controls_throttle_limiter != 0) {
        Send(kEvtElevator, 16530);
        ThrottleLimiterSent = 1;
    } else if (ThrottleLimiterSent != 0) {
        Send(kEvtElevator, 0);
        ThrottleLimiterSent = 0;
    }
    if (AileronsFailed()) Send(kEvtAileron, 0);
}

void TrimFailures() {
    TrimInhibit = 0;
    TrimRunValue = 0.0;
    for (const TrimFailure& f : kTrimFailures) {
        if ((FlightSurfacesInstructorStates[2] & f.bit) != 0 &&
            FlightSurfacesInstructorStates[f.surface_index] >= 400) {
            TrimInhibit = 1;
            TrimRunValue += f.run_step;
        }
    }
    float out = TorqueYawValue;
    if (BusPowered.get(kTrimPower) != 0) out += static_cast<float>(PilotTrimRequest);
    TrimOutput = out;
    if (std::fabs(out - TrimOutputKept) > 0.001f) {
        TrimOutputKept = out;
        TrimDisplayCountdown = 128;
    }
}

void PanelPairEvents() {
    const int32_t pair_a = KeyEventPanelWords[0] | KeyEventPanelWords[1];
    if (pair_a != KeyEventPairSent[0]) {
        Send(pair_a != 0 ? 0x10218 : 0x10219, 255);
        KeyEventPairSent[0] = pair_a;
    }
    const int32_t pair_b = KeyEventPanelWords[2] | KeyEventPanelWords[3];
    if (pair_b != KeyEventPairSent[1]) {
        Send(pair_b != 0 ? 0x101ED : 0x101EE, 255);
        KeyEventPairSent[1] = pair_b;
    }
}

void LandingLightEvents() {
    const int32_t sw = LandingLightSwitch1.get();
    if (sw != LandingLightCopy) {
        Send(kEvtLandingLightsOff, 25);
        if (sw != 0) {
            for (int i = 0; i < 3; ++i) Send(kEvtLandingLightsUp, 25);
        }
        LandingLightCopy = sw;
    }
    if (sw != 0) LandingLightOutput2.set(1);
}

void BrakeEvents() {
    CountdownTick(&BrakeCountdown);
    if (BrakeCountdown != 0) return;
    if (BRAKES_FAILURE_ENABLED == 0) return;
    const bool pressed = BrakeInputWords[1] > 5 || BrakeInputWords[2] > 5;
    if (HydraulicFluidState.Accumulator < 800 && GroundSpeed > 0 && ParkingBrake == 0 && pressed) {
        Send(kEvtBrakeLeft, 1);
        Send(kEvtBrakeRight, 1);
        BrakesApplied = 1;
        BrakeCountdown = 9;
    } else if (BrakesApplied != 0) {
        Send(kEvtBrakeLeft, 1);
        Send(kEvtBrakeRight, 1);
        BrakesApplied = 0;
        BrakeCountdown = 9;
    }
}

void LoadingWindow() {
    if (FlightLoadCounter < 240) {
        if (LoadingWindowOpened == 0) {
            auto toggle =
                PanelServiceSlot<gauge::PanelWindowService>(gauge::kSlotPanelWindowToggle);
            if (toggle != nullptr) toggle(kLoadingPanelWindow);
            LoadingWindowOpened = 1;
        }
    } else if (LoadingWindowOpened != 0) {
        auto close = PanelServiceSlot<gauge::PanelWindowService>(gauge::kSlotPanelWindowClose);
        if (close != nullptr) close(kLoadingPanelWindow);
        LoadingWindowOpened = 0;
    }
}

void SimulatorCheckEvents() {
    if (Look(kHvCheck895) == 0.0) Send(0x103BE, 1);
    if (Look(kHvCheck896) == 0.0) Send(0x103BF, 1);
    if (Look(kHvCheck897) != 0.0) Send(0x103C0, 1);
    if (Look(kHvCheck898) != 0.0) Send(0x103C1, 1);
    if (Look(kHvCheck891) == 0.0) Send(0x10324, 1);
    if (Look(kHvCheck892) == 0.0) Send(0x10325, 1);
    if (Look(kHvCheck364) == 0.0) Send(0x102C1, 1);
}

}  // namespace

void HostKeyEventsSend() {
    // 1. The two axis events.
    Send(kEvtAxisA, 0);
    Send(kEvtAxisB, 0);
    // 2.
    if (HostPassChangeBits & 0x08) Send(0x10216, 255);
    // 3. Throttles.
    ThrottleEvents();
    // 4. The powerplant's per-engine values, once per tick.
    if (PowerplantValuesPending.load(std::memory_order_acquire) != 0) {
        for (int e = 0; e < 2; ++e) {
            Send(kPowerplantEvents[e], RoundToInt32(ThrottleCommand[e]));
            PowerplantValuesSent[e] = ThrottleCommand[e];
        }
        PowerplantValuesPending.store(0, std::memory_order_release);
    }
    // 5. Engine start switches.
    StarterEvents();
    // 6. Rudder.
    RudderEvents();
    // 7. and 8. Elevator and ailerons.
    ElevatorAndAileronEvents();
    // 9. Trim failures and the trim output of the write batch.
    TrimFailures();
    // 10. Flaps.
    if (FlapDetent != FlapDetentSent) {
        Send(kEvtFlaps, FlapDetent * 2048);
        FlapDetentSent = FlapDetent;
    }
    // 11. The two on/off pairs.
    PanelPairEvents();
    // 12. Landing lights.
    LandingLightEvents();
    // 13. Propeller levers.
    const bool lever_refresh = (FrameChangeBits.load(std::memory_order_acquire) & 0x08) != 0;
    for (int e = 0; e < 2; ++e) {
        const double out = ConditionCommand[e];
        if (std::fabs(out - PropLeverLastSent[e]) > Throttles_delta || lever_refresh) {
            Send(kPropLeverEvents[e], RoundToInt32(out));
            PropLeverLastSent[e] = out;
        }
    }
    // 14. Brakes.
    BrakeEvents();
    // 15. Release all four throttles once per module life.
    if (ThrottlesReleased == 0) {
        Send(kEvtThrottle1, -4096);
        Send(kEvtThrottle2, -4096);
        Send(kEvtThrottle3, -4096);
        Send(kEvtThrottle4, -4096);
        ThrottlesReleased = 1;
    }
    // 16. Pilot-panel trim switch.
    if (BusPowered.get(kTrimPower) != 0 && PilotPanelFlag != 0) {
        if (PilotTrimRequest == 1) {
            Send(kEvtTrimDown, 1);
        } else if (PilotTrimRequest == -1) {
            Send(kEvtTrimUp, 1);
        }
    }
    // 17. and 18. Every 16th pass: the loading window and the checks of the
    // simulator's own settings.
    if (HostPassChangeBits & 0x10) {
        LoadingWindow();
        SimulatorCheckEvents();
    }
}

void PilotTrimTimerStep() {
    CountdownTick(&PilotTrimTimer);
    if (PilotTrimTimer == 0) PilotTrimRequest = 0;
}

void FscomTrimming() {
    TraceLine("ENTERING FSCOM TRIMMING ", 0);
    ApServoEngaged = 0;
    if (FGC_comp_AP1_engaged == 0 && FGC_comp_AP2_engaged == 0) {
        ElevatorTrimOut = ElevatorTrimInput;
    } else {
        const bool running = HostPauseIndicator == 0;
        bool sent = false;
        if ((FgcSide1.coupled_side & 1) && FgcServoValid[0] != 0 && FgcServoFault[0] == 0 &&
            AcBusPowered.get(3) != 0 && running) {
            const double out = ElevatorTrimOut - 3000.0 * ApPitchServoOutput1;
            ElevatorTrimOut = RoundToInt32(std::clamp(out, -15900.0, 15900.0));
            sent = true;
        }
        if ((FgcSide1.coupled_side & 2) && FgcServoValid[1] != 0 && FgcServoFault[1] == 0 &&
            AcBusPowered.get(2) != 0 && running) {
            const int32_t out = ElevatorTrimOut - RoundToInt32(3000.0 * ApPitchServoOutput2);
            ElevatorTrimOut = std::clamp(out, -16381, 16381);
            sent = true;
        }
        if (sent) {
            ApServoEngaged = 1;
            Send(kEvtElevatorTrim, ElevatorTrimOut);
            if (!AileronsFailed()) Send(kEvtAileron, -ApRollServoOutput);
            if (SimFrozen.load(std::memory_order_acquire) != 0) Send(kEvtAileron, 0);
        }
    }
    Send(kEvtRudderTrim, RudderTrimOutput);
    RudderTrimSent = RudderTrimOutput;
    TraceLine("EXITING FSCOM TRIMMING ", 0);
}

}  // namespace zu
