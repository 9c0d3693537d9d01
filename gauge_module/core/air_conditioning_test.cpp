#include "core/air_conditioning.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/systems_test_support.h"

namespace zu {
namespace {

class AirConditioningTest : public SystemsStepTest {
  protected:
    void SetUp() override {
        SystemsStepTest::SetUp();
        SystemTimers2.BatteryTempTest = 0;
        for (int32_t& s : PneuPanelSwitches) s = 255;
        for (int32_t& s : PneuSwitch) s = 0;
        for (int32_t& k : PneuKnob) k = 0;
        PneuKnob[0] = 9;
        PressurisationMode = 0;
        PressPanelKnob = 0;
        EngineAirValue[0] = EngineAirValue[1] = 30;
        AirConditioningHostValues[0] = AirConditioningHostValues[1] = 80;
        IceProtectionState.PackLoadWord[0] = IceProtectionState.PackLoadWord[1] = 0;
    }
    static void Pass(int n = 1) {
        for (int i = 0; i < n; ++i) {
            AirConditioningUpdate();
            PressurisationUpdate();
        }
    }
    static PressurisationStateRecord& P() { return PressurisationState; }
};

TEST_F(AirConditioningTest, BatteryReadoutsFollowOatUnlessTheTestHoldsThem) {
    AmbientTemperature = 20.0f;
    AirConditioningState.battery_redraw_countdown = 0;
    AirConditioningState.battery_temperature_last[0] = 0.0f;
    Pass();
    EXPECT_FLOAT_EQ(AirConditioningState.battery_temperature[0], 21.0f);
    EXPECT_FLOAT_EQ(AirConditioningState.battery_temperature[1], 21.4f);
    EXPECT_EQ(AirConditioningState.battery_redraw_countdown, 20);
    SystemTimers2.BatteryTempTest = 50;
    AirConditioningState.battery_temperature[0] = 69.0f;
    Pass();
    EXPECT_FLOAT_EQ(AirConditioningState.battery_temperature[0], 69.0f);
}

TEST_F(AirConditioningTest, PacksTakeClampedBleedAndABleedOffPackBlowsNothing) {
    EngineAirValue[0] = 60;
    Pass();
    EXPECT_EQ(EngineAirValue[0], 46);
    EXPECT_EQ(AirConditioningState.PackValue[0], 45 + 46 / 7 + 2);
    PneuPanelSwitches[1] = 0;
    AmbientTemperature = 7.0f;
    Pass();
    EXPECT_EQ(AirConditioningState.PackValue[1], 0);
    EXPECT_FLOAT_EQ(AirConditioningState.PackOutletTemperature[1], 7.0f);
    // An unpowered main bus stops its pack; a heavy de-ice load cuts a quarter.
    Power(kPoweredLeftMainDc, false);
    IceProtectionState.PackLoadWord[0] = 5;
    Pass();
    EXPECT_EQ(AirConditioningState.PackValue[0], 0);
    Power(kPoweredLeftMainDc, true);
    Pass();
    EXPECT_EQ(AirConditioningState.PackValue[0], static_cast<int32_t>((45 + 6 + 2) * 0.75));
}

TEST_F(AirConditioningTest, AutomaticZoneWithBothPacksOffKeepsItsValve) {
    PneuPanelSwitches[0] = PneuPanelSwitches[1] = 0;
    PneuSwitch[1] = 2;
    AmbientTemperature = 20.0f;
    AirConditioningValues.ZoneTemperature[0] = 20.0f;
    AirConditioningValues.ZoneValve[0] = 37.0f;
    Pass(10);
    EXPECT_FLOAT_EQ(AirConditioningValues.ZoneValve[0], 37.0f);
    EXPECT_TRUE(std::isfinite(AirConditioningValues.ZoneTemperature[0]));
    // Far below the target the automatic control opens the valve.
    AirConditioningValues.ZoneTemperature[0] = 10.0f;
    Pass();
    EXPECT_FLOAT_EQ(AirConditioningValues.ZoneValve[0], 100.0f);
}

TEST_F(AirConditioningTest, OnTheGroundTheCabinFollowsAmbient) {
    ReferencePressure = 990.0;
    P().CabinPressure = 1013.0;
    P().OutflowValve = 20.0f;
    Pass(400);
    EXPECT_FLOAT_EQ(P().OutflowValve, 100.0f);
    EXPECT_NEAR(P().CabinPressure, 990.0, 1.0);
    // The one-shot reset equalises at once.
    P().CabinPressure = 1013.0;
    CabinPressureResetRequest = 1;
    CabinPressureReset();
    EXPECT_DOUBLE_EQ(P().CabinPressure, 990.0);
    EXPECT_EQ(CabinPressureResetRequest, 0);
}

TEST_F(AirConditioningTest, ScheduleChangesAt20000Feet) {
    OnGround = 0;
    ReferencePressure = 1013.0;
    CabinRateKnob = 100.0f;
    // The cabin near 4000 ft keeps the error inside the rate limits.
    const double cabin_4000 = 1013.0 - 4000.0 / 35.538;
    const float expected[2][2] = {{19999.0f, 19999.0f * 0.25f},
                                  {21000.0f, 5000.0f + 0.6f * 1000.0f}};
    for (const auto& [altitude, target] : expected) {
        P().CabinPressure = cabin_4000;
        Altitude = altitude;
        Pass();
        EXPECT_NEAR(P().TargetError + PressurisationState2.CabinAltitude, target, 1.0f) << altitude;
    }
    // Beyond the rate limit the error is held at 25 R.
    CabinRateKnob = 10.0f;
    P().CabinPressure = cabin_4000;
    Pass();
    EXPECT_FLOAT_EQ(P().TargetError, 250.0f);
    CabinRateKnob = 50.0f;
}

TEST_F(AirConditioningTest, ControllerStaysFiniteAtItsSingularPoints) {
    OnGround = 0;
    Altitude = 10000.0f;
    PressurisationState2.CabinAltitude = 0.0f;
    // a = rate - e = -25 and d = -100 make both fractions' denominators 0.
    P().Rate = 0.0f;
    P().RateLast = 0.0f;
    for (int i = 0; i < 50; ++i) {
        Pass();
        ASSERT_TRUE(std::isfinite(P().OutflowValve));
        ASSERT_GE(P().OutflowValve, 0.0f);
        ASSERT_LE(P().OutflowValve, 100.0f);
    }
    // Manual mode doubles the setting; the valve stays within 0..100.
    PressurisationMode = 1;
    PressPanelKnob = 100;
    Pass();
    EXPECT_FLOAT_EQ(P().OutflowValve, 100.0f);
}

TEST_F(AirConditioningTest, ReliefOpensTheValveAndHighCabinLightsCabinPress) {
    OnGround = 0;
    PressurisationMode = 1;
    PressPanelKnob = 0;
    PneuPanelSwitches[0] = PneuPanelSwitches[1] = 0;
    ReferencePressure = 500.0;
    P().CabinPressure = 1013.0;
    P().OutflowValve = 0.0f;
    // Well above the relief pressure: the valve opens fully.
    Altitude = 6.5f / 0.000324f;
    PressurisationUpdate();
    EXPECT_GT(P().Differential, 6.0f);
    EXPECT_EQ(P().ManualPosition, 100);
    EXPECT_FLOAT_EQ(P().OutflowValve, 100.0f);
    // Just above it the valve opens in proportion.
    P().CabinPressure = 1013.0;
    P().OutflowValve = 0.0f;
    Altitude = 5.96f / 0.000324f;
    PressurisationUpdate();
    EXPECT_GT(P().ManualPosition, 0);
    EXPECT_LT(P().ManualPosition, 100);
    EXPECT_FLOAT_EQ(P().OutflowValve, static_cast<float>(P().ManualPosition));
    EXPECT_EQ(Light(6, 6), 0u);

    P().CabinPressure = 1013.0 - 10000.0 / 35.538;
    PressurisationUpdate();
    EXPECT_GT(PressurisationState2.CabinAltitude, 9500.0f);
    EXPECT_EQ(Light(6, 6), 255u);  // "CABIN PRESS"
    Power(kPoweredRightEssential, false);
    PressurisationUpdate();
    EXPECT_EQ(Light(6, 6), 0u);
}

TEST_F(AirConditioningTest, PowerUpCountdownHeldUnpoweredAndRefreshesAtOne) {
    Power(kPoweredRightEssential, false);
    PressModeChangeTimer = 3;
    PressurisationUpdate();
    EXPECT_EQ(PressModeChangeTimer, 10);
    Power(kPoweredRightEssential, true);
    RefreshCountdown[0] = 0;
    for (int i = 0; i < 8; ++i) PressurisationUpdate();
    EXPECT_EQ(PressModeChangeTimer, 2);
    EXPECT_EQ(RefreshCountdown[0], 0);
    PressurisationUpdate();
    EXPECT_EQ(RefreshCountdown[0], 64);
}

}  // namespace
}  // namespace zu
