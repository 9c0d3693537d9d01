#include "core/hydraulics.h"

#include <gtest/gtest.h>

#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/systems_test_support.h"

namespace zu {
namespace {

class HydraulicsTest : public SystemsStepTest {
  protected:
    void SetUp() override {
        SystemsStepTest::SetUp();
        ControlSurfacePositions[0] = ControlSurfacePositions[2] = 0.0f;
        BrakeInputWords[0] = 0;
        GroundSpeed = 0;
        GearTransitCountdown = 0;
        HostGearHandle = 16383;
        flight_controls_GEAR = 16383;
        ParkingBrake = 0;
        HydraulicsState.LastParkingBrake = 0;
        flight_controls_FLAPS[0] = HydraulicsState.LastFlapSelection;
        FireProtectionState.FireHandle[0] = FireProtectionState.FireHandle[1] = 0;
        for (uint8_t* b : {RuddersShutoffA, RuddersShutoffB, HydraulicShutoff}) b[0] = b[1] = 0;
        StbyHydPumpSelect[0] = StbyHydPumpSelect[1] = 1;
        StbyPumpToggle = 0;
    }
    void TearDown() override {
        GearTransitCountdown = 0;
        SystemsStepTest::TearDown();
    }

    // Runs n driver passes, every one on a 4th and 8th tick when asked.
    static void Run(int n, uint32_t bits = 0x02) {
        FrameChangeBits.store(bits);
        for (int i = 0; i < n; ++i) HydraulicsDriver();
    }
    static void EnginesRunning() {
        PropRpm[0] = 1200.0;  // flow factor 1
        PropRpm[1] = 800.0;   // flow factor 2
    }
};

TEST_F(HydraulicsTest, RunningEnginesSettleJustBelowTheirPumps) {
    EnginesRunning();
    Run(400);
    EXPECT_EQ(HydraulicsState.EdpFlowFactor[0], 1);
    EXPECT_EQ(HydraulicsState.EdpFlowFactor[1], 2);
    EXPECT_EQ(HydraulicsState.EdpPressure[0], 2950);
    EXPECT_EQ(HydraulicsState.EdpPressure[1], 2902);
    EXPECT_EQ(HydraulicsState.SystemPressure[0], 2901);
    EXPECT_EQ(HydraulicsState.SystemPressure[1], 2854);
    EXPECT_EQ(HydraulicsState.SystemPressure[1], 2854);
    EXPECT_EQ(HydraulicsState.System2Weak, 0);
    // No caution for a pump at pressure; the consumers see their system.
    EXPECT_EQ(Light(1, 7), 0u);
    EXPECT_EQ(FlapsHydraulicPressure, 2901);
    EXPECT_EQ(RollSpoilerPressure[0], 900);
    EXPECT_EQ(RollSpoilerPressure[3], 900);
    EXPECT_EQ(HydraulicsState.GearPressure, 2854);
    // On the ground at rest the rudders get 1500 psi, and are not inhibited.
    EXPECT_EQ(RudderPressure[0], 1500);
    EXPECT_EQ(RudderInputInhibit, 0);

    // Propellers stopped: both systems fall below 150/160 and read 0.
    PropRpm[0] = PropRpm[1] = 0.0;
    Run(400);
    EXPECT_EQ(HydraulicsState.SystemPressure[0], 0);
    EXPECT_EQ(HydraulicsState.SystemPressure[1], 0);
    EXPECT_EQ(Light(1, 7), 255u);  // "#1 ENG HYD PUMP"
    EXPECT_EQ(Light(1, 8), 255u);
    EXPECT_EQ(RudderInputInhibit, 1);
}

TEST_F(HydraulicsTest, HealthyCruiseLightsNoRollSpoilerCaution) {
    // Above 150 kt system 2 no longer feeds the outboard spoilers; the
    // inboard pair stays on system 1.
    EnginesRunning();
    OnGround = 0;
    IndicatedAirspeed = 200.0f;
    Run(400);
    EXPECT_EQ(RollSpoilerPressure[0], 900);  // left inboard
    EXPECT_EQ(RollSpoilerPressure[2], 900);  // right inboard
    EXPECT_EQ(RollSpoilerPressure[1], 0);    // left outboard
    EXPECT_EQ(RollSpoilerPressure[3], 0);    // right outboard
    FlightSurfacesUpdate();
    EXPECT_EQ(Light(2, 10), 0u);  // "ROLL SPLR INBD HYD"
    EXPECT_EQ(Light(2, 11), 0u);  // "ROLL SPLR OUTB HYD"

    // Slowed below 140 kt the outboard pair is fed again.
    IndicatedAirspeed = 130.0f;
    Run(400);
    EXPECT_EQ(RollSpoilerPressure[1], 900);
    EXPECT_EQ(RollSpoilerPressure[3], 900);
    FlightSurfacesUpdate();
    EXPECT_EQ(Light(2, 10), 0u);
    EXPECT_EQ(Light(2, 11), 0u);
}

TEST_F(HydraulicsTest, PulledFireHandleStopsItsPumpOnTheNextPass) {
    EnginesRunning();
    Run(100);
    FireProtectionState.FireHandle[0] = 255;
    Run(1);
    EXPECT_EQ(HydraulicsState.EdpPressure[0], 0);
    EXPECT_GT(HydraulicsState.EdpPressure[1], 2000);
}

TEST_F(HydraulicsTest, FlapSelectionDrainsSystemOneWhileTheMotionCountdownRuns) {
    EnginesRunning();
    Run(400);
    SystemTimers.HydraulicTimer = 0;
    const int32_t before = HydraulicsState.SystemPressure[0];
    flight_controls_FLAPS[0] = HydraulicsState.LastFlapSelection + 1;
    Run(1);
    EXPECT_EQ(FlapHydraulicWord, 368);
    EXPECT_EQ(SystemTimers.HydraulicTimer, 15);
    EXPECT_LT(HydraulicsState.SystemPressure[0], before * 6 / 7 + 1);
    Run(367);
    EXPECT_EQ(FlapHydraulicWord, 1);
    Run(2);
    EXPECT_EQ(FlapHydraulicWord, 0);
    Run(400);
    EXPECT_EQ(HydraulicsState.SystemPressure[0], before);
    flight_controls_FLAPS[0] = HydraulicsState.LastFlapSelection - 1;
    Run(1);
}

TEST_F(HydraulicsTest, LowReservoirTwoMakesSystemTwoWeakAndFreezesTheThirdQuantity) {
    EnginesRunning();
    HydraulicsState.Reservoir[1] = 1.4;
    Run(2, 0x06);
    EXPECT_EQ(HydraulicsState.System2Weak, 255);
    const double q3 = HydraulicsState.Reservoir[2];
    HydraulicsState.Reservoir[1] = 1.0;
    Run(1, 0x06);
    EXPECT_DOUBLE_EQ(HydraulicsState.Reservoir[2], q3);
    // With q3 frozen the standby pump 2 draws on it, not on reservoir 2.
    HydraulicsState.Reservoir[2] = 0.18;
    StbyHydPumpSelect[1] = 2;
    AcGenerator1Switch.set(255);
    AcGenerator1Voltage.set(115);
    Run(1, 0x06);
    EXPECT_EQ(HydraulicsState.StandbyOutput[1],
              static_cast<int32_t>(115 * 30.0 * (0.18 * 16.66666) / 6.0));
}

TEST_F(HydraulicsTest, RudderPressureLimitsFollowAirspeedAndTheOtherShutOff) {
    EnginesRunning();
    IndicatedAirspeed = 141.0f;
    Run(400);
    EXPECT_EQ(RudderPressure[0], 900);
    EXPECT_EQ(RudderPressure[1], 900);
    IndicatedAirspeed = 140.0f;
    Run(1);
    EXPECT_EQ(RudderPressure[0], 1500);
    RuddersShutoffA[1] = 255;
    Run(1);
    EXPECT_EQ(RudderPressure[0], HydraulicsState.SystemPressure[0]);
    // Its own shut-off lets rudder 2 decay by a tenth per pass.
    const int32_t r2 = RudderPressure[1];
    Run(1);
    EXPECT_EQ(RudderPressure[1], static_cast<int32_t>(r2 * 0.9));
}

TEST_F(HydraulicsTest, InstructorFailuresLeakStopAndHeat) {
    EnginesRunning();
    Run(50);
    // Leak on EDP 1: reservoir 1 shrinks by the decay factor each pass.
    HydraulicsInstructorStates[kHydElemEdp1] = kHydFailLeak;
    const double q = HydraulicsState.Reservoir[0];
    Run(1);
    EXPECT_DOUBLE_EQ(HydraulicsState.Reservoir[0], q * 0.995);
    // A leak down to nothing never goes below an empty reservoir.
    HydraulicDecayFactor = -1.0;
    Run(1);
    EXPECT_EQ(HydraulicsState.Reservoir[0], 0.0);
    HydraulicDecayFactor = 0.995;
    HydraulicsInstructorStates[kHydElemEdp1] = 0;
    // Refill entry 20: back to 2.3 quarts, the request cleared.
    HydraulicsInstructorStates[kHydStateRefill1] = 12345;
    Run(1, 0x06);
    EXPECT_DOUBLE_EQ(HydraulicsState.Reservoir[0], 2.3);
    EXPECT_EQ(HydraulicsInstructorStates[kHydStateRefill1], 0);

    HydraulicsInstructorStates[kHydElemEdp2] = kHydFailInoperative;
    Run(1);
    EXPECT_EQ(HydraulicsState.EdpPressure[1], 0);

    HydraulicsInstructorStates[kHydElemEdp1] = kHydFailHot;
    Run(60, 0x0E);
    EXPECT_GT(HydraulicsState.FluidTemperature[0], 160.0f);
    EXPECT_EQ(Light(0, 4), 255u);  // "#1 HYD FLUID HOT"
    Power(kPoweredLeftEssential, false);
    Run(1, 0x0E);
    EXPECT_EQ(Light(0, 4), 0u);
}

TEST_F(HydraulicsTest, ParkingBrakeDrawsOnTheAccumulator) {
    EnginesRunning();
    HydraulicFluidState.Accumulator = 2500;
    Run(100);
    EXPECT_EQ(HydraulicFluidState.Accumulator, 2854);
    const int32_t acc = HydraulicFluidState.Accumulator;
    PropRpm[0] = PropRpm[1] = 0.0;
    Run(200);
    ParkingBrake = 32767;
    Run(1);
    EXPECT_EQ(HydraulicFluidState.Accumulator, acc - 400);
    ParkingBrake = 0;
    Run(1);
    EXPECT_EQ(HydraulicFluidState.Accumulator, acc - 400);
}

TEST_F(HydraulicsTest, RudderInhibitOverrideAboveNinetyKnots) {
    Run(1);
    EXPECT_EQ(RudderInputInhibit, 1);
    FlightSurfacesInstructorStates[kSurfaceRudder] = 4;
    Run(1);
    EXPECT_EQ(RudderInputInhibit, 1);  // slow: no override
    IndicatedAirspeed = 100.0f;
    Run(1);
    EXPECT_EQ(RudderInputInhibit, 0);
    EnginesRunning();
    Run(200);
    FlightSurfacesInstructorStates[kSurfaceRudder] = 1;
    Run(1);
    EXPECT_EQ(RudderInputInhibit, 1);
}

TEST_F(HydraulicsTest, PtuSwitchPushesSystemOneIntoSystemTwo) {
    PropRpm[0] = 1200.0;
    PropRpm[1] = 0.0;
    Run(200);
    EXPECT_EQ(HydraulicsState.SystemPressure[1], 0);
    StbyPumpToggle = 1;
    Run(200);
    EXPECT_EQ(HydraulicsState.PtuSwitchFlag, 255);
    EXPECT_GT(HydraulicsState.SystemPressure[1], 1000);
    // Without the right essential bus the PTU does nothing.
    Power(kPoweredRightEssential, false);
    Run(300);
    EXPECT_EQ(HydraulicsState.SystemPressure[1], 0);
}

// The instructor's PTU arrow: the switch counts only with system 1 above
// 2000 psi, the automatic command only with the right essential bus.
TEST_F(HydraulicsTest, InstructorPtuArrowNeedsSystemOneOrTheBus) {
    PropRpm[1] = 0.0;
    StbyPumpToggle = 255;
    Power(kPoweredRightEssential, false);
    PropRpm[0] = 150.0;  // a weak engine-driven pump 1
    Run(400);
    ASSERT_EQ(HydraulicsState.PtuSwitchFlag, 255);
    ASSERT_GE(HydraulicsState.SystemPressure[0], 400);
    ASSERT_LE(HydraulicsState.SystemPressure[0], 2000);
    EXPECT_EQ(InstructorHydraulicsValue(kHydValuePtuRunning), 0.0);
    Power(kPoweredRightEssential, true);
    Run(1);
    ASSERT_LE(HydraulicsState.SystemPressure[0], 2000);
    EXPECT_EQ(InstructorHydraulicsValue(kHydValuePtuRunning), 0.0);

    // Full system 1 pressure: the switch shows the arrow, bus or not.
    Power(kPoweredRightEssential, false);
    PropRpm[0] = 1200.0;
    Run(400);
    ASSERT_GT(HydraulicsState.SystemPressure[0], 2000);
    EXPECT_EQ(InstructorHydraulicsValue(kHydValuePtuRunning), 1.0);

    // The switch off, the gear handle down with the gear remembered up and
    // pump 2 stopped: the automatic command, shown only with its bus.
    StbyPumpToggle = 0;
    HostGearHandle = 16383;
    flight_controls_GEAR = 0;
    Run(1);
    ASSERT_EQ(HydraulicsState.PtuSwitchFlag, 0);
    ASSERT_EQ(HydraulicsState.PtuAutoCommand, 255);
    EXPECT_EQ(InstructorHydraulicsValue(kHydValuePtuRunning), 0.0);
    Power(kPoweredRightEssential, true);
    EXPECT_EQ(InstructorHydraulicsValue(kHydValuePtuRunning), 1.0);
}

TEST_F(HydraulicsTest, InstructorSeesPressuresQuantitiesAndSurfaceAvailability) {
    EnginesRunning();
    Run(400);
    EXPECT_EQ(InstructorHydraulicsValue(kHydValueSystem2Pressure), 2854.0);
    EXPECT_EQ(InstructorHydraulicsValue(kHydValueEdp1Pressure), 2950.0);
    EXPECT_DOUBLE_EQ(InstructorHydraulicsValue(kHydValueReservoir2Quarts),
                     HydraulicsState.Reservoir[1]);
    EXPECT_EQ(InstructorHydraulicsValue(kHydValueReservoir2Isolation), 0.0);
    // Group 3: the rudder is available (not inhibited), flaps and spoilers
    // have their pressure.
    EXPECT_EQ(InstructorFlightSurfacesValue(kSurfaceRudder), 1.0);
    EXPECT_EQ(InstructorFlightSurfacesValue(kSurfaceFlapLeft), 1.0);
    EXPECT_EQ(InstructorFlightSurfacesValue(kSurfaceSpoiler2Inboard), 1.0);
    HydraulicsInstructorStates[kHydElemSpoilers2] = kHydFailInoperative;
    Run(1);
    // Consumer 13 feeds both outboard spoilers; the inboard pair stays.
    EXPECT_EQ(InstructorFlightSurfacesValue(kSurfaceSpoiler1Outboard), 0.0);
    EXPECT_EQ(InstructorFlightSurfacesValue(kSurfaceSpoiler2Outboard), 0.0);
    EXPECT_EQ(InstructorFlightSurfacesValue(kSurfaceSpoiler1Inboard), 1.0);
    EXPECT_EQ(InstructorFlightSurfacesValue(kSurfaceSpoiler2Inboard), 1.0);

    // Bulk identifiers 56/57 set the engine-driven pumps.
    const auto fgc_test1 = FGC_comp_FGC1_system_test_timer;
    const auto fgc_test2 = FGC_comp_FGC2_system_test_timer;
    InstructorApplyValue(57, 100000.0);
    EXPECT_EQ(HydraulicsState.EdpPressure[1], 2700);
    InstructorApplyValue(56, 99999.0);
    EXPECT_EQ(HydraulicsState.EdpPressure[0], 0);
    FGC_comp_FGC1_system_test_timer = fgc_test1;
    FGC_comp_FGC2_system_test_timer = fgc_test2;
}

}  // namespace
}  // namespace zu
