#include "core/powerplant.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "cabin_link/instructor_state_exchange.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/fire_protection.h"
#include "core/host_panel_services.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "panels/bleed_air_panel.h"
#include "panels/caution_panels.h"
#include "panels/engine_start_panels.h"
#include "zu/platform/ini_file.h"

namespace zu {
namespace {

class PowerplantTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        std::fill(std::begin(PowerplantsInstructorStates), std::end(PowerplantsInstructorStates),
                  0);
        OnGround = 255;
        IndicatedAirspeed = 0.0f;
        Throttles_delta = 12.0;
        for (int e = 0; e < 2; ++e) {
            HostThrottleLever[e] = 25.0;
            PowerLeverLastHostValue[e] = 25.0;
            HostThrottleInput[e] = 16383;
            PowerLeverPosition[e] = 3000;
            PropFeatherCountdown[e] = 0;
            PropFeatherHold[e] = PropFeatherFromOil[e] = 0;
            ThrottleCommand[e] = -128.0;
            ConditionCommand[e] = 0;
            EgcSwitch[e] = 0;
            EngineStartRequest[e] = 0;
            SystemTimers.EngineStartTimer[e] = 0;
            UptrimFlag[e] = 0;
            EngineOilQty[e] = 4.8f;
            EngineModel[e].oil_watch = kOilWatchPasses;
            PowerplantState.OilTemperatureWord[e] = 3872.0;
        }
        Nh1State = {};
        Nh2State = {};
        IttValue[0] = IttValue[1] = 0;
        Autofeather = {};
        EngineOilStatus[0] = EngineOilStatus[1] = {};
        for (int e = 0; e < 2; ++e) {
            PropBladeHoldCountdown[e] = 0;
            PropFeatherHeldAngle[e] = 0.0;
            StbyOilQty[e] = 1.0f;
        }
        SystemTimers.EngineStartReturn = 0;
        Powerplants_engine_ign1 = Powerplants_engine_ign2 = 0;
        Powerplants_controls_throttle_limiter = 1;
        EngineStartSelector = 1;
        std::copy(std::begin(PneuPanelSwitches), std::end(PneuPanelSwitches), bleed_);
        std::fill(std::begin(PneuPanelSwitches), std::end(PneuPanelSwitches), 0);
        const float throttles[16] = {-4096, 0,    128,  2000, 14157, 14157, 14157, 14157,
                                     128,   3000, 3010, 3020, 24000, 24000, 24000, 24000};
        std::copy(throttles, throttles + 16, ThrottlesGndTable);
        std::copy(throttles, throttles + 16, ThrottlesAirTable);
        PropPitch1 = PropPitch2 = 0.0;
    }
    void TearDown() override { std::copy(std::begin(bleed_), std::end(bleed_), PneuPanelSwitches); }
    int32_t bleed_[4] = {};
};

TEST_F(PowerplantTest, ConditionAxisGivesPanelValueAndDemandOnBothSidesOfTheReverseThreshold) {
    HostThrottleInput[0] = -256;
    HostThrottleInput[1] = -255;
    PowerLeversUpdate();
    EXPECT_EQ(PowerLeverValue[0], 13104);
    EXPECT_EQ(PropControlDemand[0], -4096);
    EXPECT_EQ(PowerLeverValue[1], 13891);
    EXPECT_EQ(PropControlDemand[1], 6744);
    // A feathering propeller is held at -4096 whatever the lever says.
    PropFeatherCountdown[1] = 5;
    PowerLeversUpdate();
    EXPECT_EQ(PropControlDemand[1], -4096);
}

TEST_F(PowerplantTest, LeverReDerivesBeyondTheThresholdAndAgainWhenPulledBackToIdle) {
    HostThrottleLever[0] = 57.0;  // 32 from the last value: not beyond
    PowerLeversUpdate();
    EXPECT_EQ(PowerLeverPosition[0], 3000);
    HostThrottleLever[0] = 57.5;
    PowerLeversUpdate();
    EXPECT_EQ(PowerLeverPosition[0], 3004);  // re-derived: 0..128 maps to 3000..3010
    EXPECT_DOUBLE_EQ(PowerLeverLastHostValue[0], 57.5);
    HostThrottleLever[0] = 16383.0;
    PowerLeversUpdate();
    EXPECT_EQ(PowerLeverPosition[0], 24000);
    EXPECT_EQ(Powerplants_controls_throttle_limiter, 0);  // the control lock releases
    HostThrottleLever[0] = 0.0;                           // back to idle
    PowerLeversUpdate();
    EXPECT_EQ(PowerLeverPosition[0], 3000);
    EXPECT_DOUBLE_EQ(ThrottleCommand[0], -730.0);  // the ground table at idle
}

TEST_F(PowerplantTest, GroundReverseIsLimitedOnlyWhileTheConditionLeverIsBack) {
    HostThrottleLever[0] = -4096.0;  // full reverse: 128
    HostThrottleInput[0] = 0;        // panel value 14000
    PowerLeversUpdate();
    EXPECT_EQ(PowerLeverPosition[0], 128);
    EXPECT_DOUBLE_EQ(ThrottleCommand[0], -1000.0);
    HostThrottleLever[0] = 0.0;
    PowerLeversUpdate();
    HostThrottleInput[0] = 16383;  // panel value 21000
    HostThrottleLever[0] = -4096.0;
    PowerLeversUpdate();
    EXPECT_DOUBLE_EQ(ThrottleCommand[0], -16000.0);
    // Airborne the air table gives full reverse whatever the panel value.
    OnGround = 0;
    HostThrottleLever[0] = 0.0;
    PowerLeversUpdate();
    EXPECT_DOUBLE_EQ(ThrottleCommand[0], -500.0);
}

TEST_F(PowerplantTest, ColdAircraftIsOnTheManualTableAndAPoweredOneGovernsItsNh) {
    HostThrottleLever[0] = 16383.0;
    PowerLeversUpdate();
    EXPECT_EQ(EngineManualFlag[0], 255);  // no power
    EXPECT_DOUBLE_EQ(ThrottleCommand[0], 16300.0);
    EXPECT_EQ(ConditionCommand[0], 0);  // spool below 30 %, ignition off

    BusPowered.set(kPoweredLeftEssential, 1);
    Nh1State.nh = 90.0f;
    PowerLeversUpdate();
    EXPECT_EQ(EngineManualFlag[0], 0);
    EXPECT_FLOAT_EQ(NhTarget[0], 100.0f);
    EXPECT_GE(ThrottleCommand[0], 128.0);
    EXPECT_LE(ThrottleCommand[0], 13501.0);
    // On its target the command is the base throttle of the target.
    HostThrottleLever[0] = 2000.0 + (13000.0 - 3020.0) / (24000.0 - 3020.0) * 12157.0;
    PowerLeversUpdate();
    Nh1State.nh = NhTarget[0];
    PowerLeversUpdate();
    EXPECT_NEAR(ThrottleCommand[0], (NhTarget[0] - 62.0) / 43.0 * 16237.0, 1.0);
    // The instructor's manual word forces the manual table.
    PowerplantsInstructorStates[8] = 1;
    PowerLeversUpdate();
    EXPECT_EQ(EngineManualFlag[0], 255);
}

// Entries 8 and 19 are the ECU words of engine 1 and 2; entry 20 is engine
// 2's torque word and leaves its mode alone.
TEST_F(PowerplantTest, EachEnginesEcuWordForcesItsOwnManualMode) {
    BusPowered.set(kPoweredLeftEssential, 1);
    Nh1State.nh = 90.0f;
    Nh2State.nh = 90.0f;
    PowerLeversUpdate();
    EXPECT_EQ(EngineManualFlag[0], 0);
    EXPECT_EQ(EngineManualFlag[1], 0);
    PowerplantsInstructorStates[20] = 1;
    PowerLeversUpdate();
    EXPECT_EQ(EngineManualFlag[1], 0);
    PowerplantsInstructorStates[20] = 0;
    PowerplantsInstructorStates[19] = 1;
    PowerLeversUpdate();
    EXPECT_EQ(EngineManualFlag[1], 255);
    EXPECT_EQ(EngineManualFlag[0], 0);
    PowerplantsInstructorStates[19] = 2;  // bit 0 only
    PowerLeversUpdate();
    EXPECT_EQ(EngineManualFlag[1], 0);
}

TEST_F(PowerplantTest, NoLightOffWithoutIgnitionAndFuelCutByFailureOrFireHandle) {
    Nh1State.nh = 20.0f;
    PowerLeversUpdate();
    EXPECT_EQ(ConditionCommand[0], 0);
    Powerplants_engine_ign1 = 1;
    PowerLeversUpdate();
    EXPECT_EQ(ConditionCommand[0], 513);
    // An engine the simulator reports burning is not lighting off: it keeps
    // its fuel with the ignition off.
    Powerplants_engine_ign1 = 0;
    IttValue[0] = 1;
    PowerLeversUpdate();
    EXPECT_EQ(ConditionCommand[0], 513);
    EngineFailureWord1 = 1;
    PowerLeversUpdate();
    EXPECT_EQ(ConditionCommand[0], 0);
    EngineFailureWord1 = 0;
    EngineFuelFeed[0] = 0;
    PowerLeversUpdate();
    EXPECT_EQ(ConditionCommand[0], 0);
    EXPECT_EQ(PowerplantState.FuelPressure[0], 0);
    EngineFuelFeed[0] = 1;
    // Oil running out: the oil temperature at the end of its scale cuts the
    // fuel after 480 passes.
    PowerplantState.OilTemperatureWord[0] = 10000.0;
    for (int i = 0; i < kOilWatchPasses - 1; ++i) PowerLeversUpdate();
    EXPECT_EQ(ConditionCommand[0], 513);
    PowerLeversUpdate();
    EXPECT_EQ(ConditionCommand[0], 0);
}

// A flight that begins with the simulator's engines running (a loaded or
// airborne flight, the ignition off): the engine model's cold spool follows
// what the simulator reports instead of cutting the fuel.
TEST_F(PowerplantTest, EngineModelFollowsARunningSimulatorEngineWithTheIgnitionOff) {
    ElectricsEnginesRunning(0.0f, 0.0);
    for (int e = 0; e < 2; ++e) IttValue[e] = 1;
    HostVariables[kHvSpool1].value = HostVariables[kHvSpool2].value = 75.0;
    HostVariables[kHvPropRpm1].value = HostVariables[kHvPropRpm2].value = 1000.0;
    for (int i = 0; i < 400; ++i) {
        PropRpmUpdate();
        PowerLeversUpdate();
    }
    for (int e = 0; e < 2; ++e) {
        EXPECT_GT(ConditionCommand[e], 5) << e;
        EXPECT_NEAR(PropRpm[e], 1000.0, 1.0) << e;
    }
    EXPECT_GT(Nh1State.nh, 65.0f);
    EXPECT_GT(Nh2State.nh, 65.0f);
    HostVariables[kHvSpool1].value = HostVariables[kHvSpool2].value = 0.0;
    HostVariables[kHvPropRpm1].value = HostVariables[kHvPropRpm2].value = 0.0;
    PropRpm[0] = PropRpm[1] = 0.0;
}

TEST_F(PowerplantTest, PublishedSpoolValueDropsWithTheOilRunOut) {
    Nh1State.nh = 50.0f;
    EngineOilQty[0] = 0.0099f;
    PowerLeversUpdate();
    EXPECT_EQ(PowerplantState.SpoolValue[0], 12960);
    EngineOilQty[0] = 0.01f;
    PowerLeversUpdate();
    EXPECT_EQ(PowerplantState.SpoolValue[0], 14400);
}

TEST_F(PowerplantTest, StartsEndWhenRunningOrCancelled) {
    BusPowered.set(kPoweredLeftMainDc, 1);
    BusPowered.set(kPoweredRightMainDc, 1);
    // Engine 2 with the selector on engine 1 is cancelled at once.
    EngineStartSelector = 0;
    EngineStartRequest[1] = 1;
    EngineStartUpdate();
    EXPECT_EQ(EngineStartRequest[1], 0);
    EXPECT_EQ(SystemTimers.EngineStartReturn, kStartEndCountdown - 1);
    // Engine 1 runs on until lit above 61 %.
    EngineStartRequest[0] = 1;
    PowerLeversUpdate();
    EXPECT_EQ(SystemTimers.EngineStartTimer[0], kStartTimerHold - 1);
    Nh1State.nh = 62.0f;
    EngineStartUpdate();
    EXPECT_EQ(EngineStartRequest[0], 1);  // not lit yet
    IttValue[0] = 1;
    EngineStartUpdate();
    EXPECT_EQ(EngineStartRequest[0], 0);
    IttValue[0] = 0;
    // A failed starter (bit 7) never ends a start by itself; SELECT and ARM
    // failures (256, 512) do not fail the starter.
    EngineStartRequest[0] = 1;
    IttValue[0] = 1;
    EngineFailureWord1 = 0x80;
    EngineStartUpdate();
    EXPECT_EQ(EngineStartRequest[0], 1);
    EngineFailureWord1 = 0x300;
    EngineStartUpdate();
    EXPECT_EQ(EngineStartRequest[0], 0);
    IttValue[0] = 0;
    EngineFailureWord1 = 0;
}

TEST_F(PowerplantTest, AutofeatherArmsAboveItsThresholdsAndFeathersTheWeakEngine) {
    BusPowered.set(kPoweredRightMainDc, 1);
    Autofeather.select = 1;
    Autofeather.torque[0] = Autofeather.torque[1] = 100.0f;
    PowerplantState.Torque[0] = PowerplantState.Torque[1] = 100.0;
    PowerLeverPosition[0] = PowerLeverPosition[1] = 18000;
    AutofeatherUpdate();
    EXPECT_EQ(Autofeather.armed, 0);  // exactly 18000 does not arm
    PowerLeverPosition[0] = PowerLeverPosition[1] = 18001;
    AutofeatherUpdate();
    EXPECT_EQ(Autofeather.armed, 1);
    PowerLeverPosition[1] = 18000;
    AutofeatherUpdate();
    EXPECT_EQ(Autofeather.armed, 0);  // ... nor keeps it armed
    PowerLeverPosition[1] = 18001;
    AutofeatherUpdate();
    ASSERT_EQ(Autofeather.armed, 1);

    // Engine 1 loses its torque: its trigger runs, its propeller feathers
    // inside the window, the other engine is uptrimmed.
    PowerplantState.Torque[0] = 0.0;
    int passes = 0;
    while (Autofeather.feather[0] == 0 && passes < 400) {
        AutofeatherUpdate();
        AutofeatherTimers();
        ++passes;
    }
    EXPECT_GT(Autofeather.feather[0], 0);
    EXPECT_EQ(Autofeather.direction[0], 1);
    EXPECT_EQ(Autofeather.feather[1], 0);
    EXPECT_EQ(UptrimFlag[1], 255);
    EXPECT_LT(passes, 300);
}

TEST_F(PowerplantTest, OilRefillAndLeak) {
    EngineOilQty[0] = 1.0f;
    PowerplantsInstructorStates[kPpEngine1OilRefill] = 1;
    EngineOilUpdate();
    EXPECT_FLOAT_EQ(EngineOilQty[0], 4.8f);
    EXPECT_EQ(PowerplantsInstructorStates[kPpEngine1OilRefill], 0);
    EngineFailureWord1 = 0x40;
    EngineOilQty[0] = 0.005f;
    EngineOilUpdate();
    EXPECT_FLOAT_EQ(EngineOilQty[0], 0.0f);  // never below 0
    EngineFailureWord1 = 0;
}

// One pass of the tick's powerplant steps that these cases need, in the
// tick's order.
void LeversAndOil() {
    PowerLeversUpdate();
    EngineOilUpdate();
}

// The instructor's hold bit (entry 2, value 2) on a propeller that governs
// normally holds it at 14000, and in reverse unfeathers it at 10196; it never
// feathers it.
TEST_F(PowerplantTest, HoldBitHoldsAGoverningPropellerAndNeverFeathersIt) {
    Nh1State.nh = Nh2State.nh = 80.0f;
    PowerplantsInstructorStates[2] = 2;
    for (int pass = 0; pass < 3; ++pass) LeversAndOil();
    PowerLeversUpdate();
    EXPECT_EQ(PropFeatherCountdown[0], 0);
    EXPECT_EQ(PropControlDemand[0], 14000);
    // Engine 2, without the bit, follows the full axis: 16383 x 0.207438758
    // + 6797.353.
    EXPECT_EQ(PropControlDemand[1], 10195);

    // -256 is the first reverse value: panel value 13104 keeps the lever
    // state clear, the demand is -4096 and the feather-from-oil rule acts.
    HostThrottleInput[0] = -256;
    for (int pass = 0; pass < 3; ++pass) LeversAndOil();
    PowerLeversUpdate();
    EXPECT_EQ(PropFeatherCountdown[0], 0);
    EXPECT_EQ(PropControlDemand[0], 10196);
}

// The feather switch pushed the other way (direction -1, panel value above
// 11000) unfeathers: the propeller keeps governing instead of feathering.
TEST_F(PowerplantTest, UnfeatherSwitchDoesNotFeatherThePropeller) {
    BusPowered.set(kPoweredRightMainDc, 1);
    Nh1State.nh = 80.0f;
    Autofeather.feather_switch[0] = -1;
    PowerLeversUpdate();
    AutofeatherUpdate();
    ASSERT_EQ(Autofeather.direction[0], -1);
    ASSERT_GT(Autofeather.feather[0], 0);
    for (int pass = 0; pass < 3; ++pass) {
        LeversAndOil();
        AutofeatherUpdate();
    }
    PowerLeversUpdate();
    EXPECT_EQ(PropFeatherCountdown[0], 0);
    EXPECT_EQ(PropControlDemand[0], 10195);
    // Pushed the feathering way (direction +1, panel value below 10000) it
    // feathers.
    Autofeather = {};
    Autofeather.feather_switch[0] = 1;
    HostThrottleInput[0] = -4096;
    PowerLeversUpdate();
    AutofeatherUpdate();
    EngineOilUpdate();
    PowerLeversUpdate();
    EXPECT_GT(PropFeatherCountdown[0], 0);
    EXPECT_EQ(PropControlDemand[0], -4096);
}

// An engine whose propeller oil goes (Nh below 8, no standby oil) is not
// feathered by the oil step: the blade angle it had is held.
TEST_F(PowerplantTest, APropellerThatLosesItsOilHoldsItsBladeAngle) {
    Nh1State.nh = 80.0f;
    PropPitch1 = 0.3;
    LeversAndOil();
    EXPECT_DOUBLE_EQ(PropFeatherHeldAngle[0], 0.3);
    EXPECT_EQ(PropBladeHoldCountdown[0], 0);
    Nh1State.nh = 5.0f;
    PropPitch1 = 0.6;
    for (int pass = 0; pass < 30; ++pass) LeversAndOil();
    EXPECT_EQ(EngineOilStatus[0].prop_oil, 0);
    EXPECT_EQ(PropFeatherCountdown[0], 0);
    EXPECT_GT(PropBladeHoldCountdown[0], 0);
    EXPECT_DOUBLE_EQ(PropFeatherHeldAngle[0], 0.3);
    // One already feathering when its oil goes is held feathered.
    PropFeatherCountdown[0] = 5;
    EngineOilUpdate();
    EXPECT_DOUBLE_EQ(PropFeatherHeldAngle[0], 1.5789473684210527);
    EXPECT_EQ(PropFeatherCountdown[0], 11);
}

// The state of the caution panel's legend with this text.
uint32_t Legend(const char* text) {
    for (int cell = 0; cell < kCautionLegendCells; ++cell) {
        if (std::strcmp(CautionLegendTable[cell], text) == 0) {
            return CautionLightArray[CautionIndex(cell / 14, cell % 14)];
        }
    }
    ADD_FAILURE() << "no legend " << text;
    return 0;
}

// A bus-powered byte by its record offset.
void Bus(int offset, bool on) {
    Electrics_sys.bytes[offset] = on ? 1 : 0;
}

// The transfer valves need the bus at 0x9F and the transfer switch off its
// centre; the left valve the bus at 0x15B with the switch at +1 or the first
// panel switch, the right one 0x15A with -1 or the second; the tank lights
// the bus at 0xA1 and less than 19 in the tank.
TEST_F(PowerplantTest, FuelValvesAndTankLightsFollowTheirSwitchesAndBuses) {
    FuelSystemRecord& f = FuelSystemState;
    f = {};
    f.transfer_switch = 1;
    FuelUpdate();
    EXPECT_EQ(f.transfer_valve[0] + f.transfer_valve[1] + f.left_valve + f.right_valve, 0);
    Bus(0x9F, true);
    FuelUpdate();
    EXPECT_EQ(f.transfer_valve[0], 1);
    EXPECT_EQ(f.transfer_valve[1], 1);
    EXPECT_EQ(f.left_valve, 0);
    Bus(0x15B, true);
    Bus(0x15A, true);
    FuelUpdate();
    EXPECT_EQ(f.left_valve, 1);
    EXPECT_EQ(f.right_valve, 0);
    f.panel_switch[1] = 1;
    FuelUpdate();
    EXPECT_EQ(f.right_valve, 1);
    f.transfer_switch = 0;
    FuelUpdate();
    EXPECT_EQ(f.transfer_valve[0] + f.transfer_valve[1], 0);
    EXPECT_EQ(f.left_valve, 0);
    EXPECT_EQ(f.right_valve, 1);
    f.panel_switch[1] = 0;
    f.transfer_switch = -1;
    Bus(0x15A, false);
    FuelUpdate();
    EXPECT_EQ(f.transfer_valve[0], 1);
    EXPECT_EQ(f.right_valve, 0);  // its bus is off
    Bus(0x15A, true);
    FuelUpdate();
    EXPECT_EQ(f.right_valve, 1);
    EXPECT_EQ(f.left_valve, 0);

    FuelQuantity[0] = 18;
    FuelQuantity[1] = 19;
    FuelUpdate();
    EXPECT_EQ(Legend("#1 TANK FUEL LOW"), 0u);  // no bus
    Bus(0xA1, true);
    FuelUpdate();
    EXPECT_EQ(Legend("#1 TANK FUEL LOW"), 255u);
    EXPECT_EQ(Legend("#2 TANK FUEL LOW"), 0u);
    FuelQuantity[0] = FuelQuantity[1] = 0;
    f = {};
}

// Oil pressure lights below 18000 of the published value (Nh x 288), fuel
// pressure lights below 9000 (Nh x 218, 0 without fuel feed), all on the bus
// at 0xA1.
TEST_F(PowerplantTest, PressureLightsLightBelowTheirPressuresOnTheirBus) {
    Bus(0xA1, true);
    Nh1State.nh = 62.4f;  // 17971
    Nh2State.nh = 62.6f;  // 18028
    PowerLeversUpdate();
    EnginePressureLights();
    EXPECT_EQ(Legend("#1 ENG OIL PRESS"), 255u);
    EXPECT_EQ(Legend("#2 ENG OIL PRESS"), 0u);
    EXPECT_EQ(Legend("#1 ENG FUEL PRESS"), 0u);
    EXPECT_EQ(Legend("#2 ENG FUEL PRESS"), 0u);
    Nh1State.nh = 41.2f;  // 8981
    Nh2State.nh = 41.3f;  // 9003
    PowerLeversUpdate();
    EnginePressureLights();
    EXPECT_EQ(Legend("#1 ENG FUEL PRESS"), 255u);
    EXPECT_EQ(Legend("#2 ENG FUEL PRESS"), 0u);
    EngineFuelFeed[1] = 0;
    PowerLeversUpdate();
    EnginePressureLights();
    EXPECT_EQ(Legend("#2 ENG FUEL PRESS"), 255u);
    EngineFuelFeed[1] = 1;
    Bus(0xA1, false);
    EnginePressureLights();
    for (const char* l :
         {"#1 ENG OIL PRESS", "#2 ENG OIL PRESS", "#1 ENG FUEL PRESS", "#2 ENG FUEL PRESS"}) {
        EXPECT_EQ(Legend(l), 0u) << l;
    }
}

// The manual lights: an engine in manual mode (its EGC switch off
// automatic) on the bus at 0xA1, or both with the pilot-panel override word
// at 1. Every 2nd tick both torque reference words are set to 16000.
TEST_F(PowerplantTest, ManualLightsAndTheTorqueReferenceWords) {
    const uint32_t bits = FrameChangeBits.load();
    Bus(0xA2, true);  // automatic mode needs it
    Bus(0xA1, true);
    Nh1State.nh = Nh2State.nh = 80.0f;
    EgcSwitch[0] = 1;
    PowerLeversUpdate();
    TorqueBugValue[0] = TorqueBugValue[1] = 0;
    FrameChangeBits.store(0x01);
    EngineManualLights();
    EXPECT_EQ(Legend("#1 ENG MANUAL"), 255u);
    EXPECT_EQ(Legend("#2 ENG MANUAL"), 0u);
    EXPECT_EQ(TorqueBugValue[0], 0);
    FrameChangeBits.store(0x03);
    EngineManualLights();
    EXPECT_EQ(TorqueBugValue[0], 16000);
    EXPECT_EQ(TorqueBugValue[1], 16000);
    Bus(0xA1, false);
    EngineManualLights();
    EXPECT_EQ(Legend("#1 ENG MANUAL"), 0u);
    PilotPanelOverride = 1;
    EngineManualLights();
    EXPECT_EQ(Legend("#1 ENG MANUAL"), 255u);
    EXPECT_EQ(Legend("#2 ENG MANUAL"), 255u);
    PilotPanelOverride = 0;
    EgcSwitch[0] = 0;
    FrameChangeBits.store(bits);
}

TEST_F(PowerplantTest, SavedKeysOutOfRangeLeaveTheVariables) {
    const std::string path = ::testing::TempDir() + "powerplant_keys.ini";
    std::remove(path.c_str());
    EXPECT_FALSE(PowerplantStateLoad(path.c_str()));
    EXPECT_EQ(PowerplantLoaded, 0);
    EXPECT_EQ(PowerLeverValue[0], 0);

    Powerplants_engine_ign1 = 1;
    Powerplants_engine_ign2 = 0;
    PowerplantStateSave(path.c_str());
    Powerplants_engine_ign1 = 0;
    EXPECT_TRUE(PowerplantStateLoad(path.c_str()));
    EXPECT_EQ(Powerplants_engine_ign1, 2);  // an ignition on comes back as 2
    EXPECT_EQ(Powerplants_engine_ign2, 0);

    const int32_t hostile = 7;
    platform::WritePrivateProfileStruct("zodudori", "Powerplants_engine_ign2", &hostile, 4,
                                        path.c_str());
    Powerplants_engine_ign2 = 0;
    EXPECT_TRUE(PowerplantStateLoad(path.c_str()));
    EXPECT_EQ(Powerplants_engine_ign2, 0);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace zu
