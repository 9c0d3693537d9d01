// Unit tests of the hydraulic indicators and the air-system indicators:
// their needle followers and smoothing, power parking and lighting.
#include <gtest/gtest.h>

#include <limits>

#include "core/air_conditioning.h"
#include "core/electrical_system.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/systems_test_support.h"
#include "instruments/air_indicators.h"
#include "instruments/gauge_framework.h"
#include "instruments/hydraulic_indicators.h"
#include "panels/bleed_air_panel.h"
#include "panels/pressurisation_panel.h"

namespace zu {
namespace {

class SystemIndicators : public SystemsStepTest {
  protected:
    void SetUp() override {
        SystemsStepTest::SetUp();
        hydraulic_ = HydraulicIndicators;
        air_ = AirIndicators;
        selector_ = TempIndicatorSelector;
        field_ = LandingFieldElevation;
        knob_ = CabinAltSetKnob;
        HydraulicIndicators = {};
        AirIndicators = {};
    }
    void TearDown() override {
        HydraulicIndicators = hydraulic_;
        AirIndicators = air_;
        TempIndicatorSelector = selector_;
        LandingFieldElevation = field_;
        CabinAltSetKnob = knob_;
        SystemsStepTest::TearDown();
    }
    HydraulicIndicatorRecord hydraulic_{};
    AirIndicatorRecord air_{};
    int32_t selector_ = 0, field_ = 0, knob_ = 0;
};

TEST_F(SystemIndicators, MainPressureNeedlesStepOneUnitPerCallToTheTruncatedValue) {
    HydraulicsState.SystemPressure[0] = 3000;  // 85 units
    double last = 130.0;
    for (int i = 0; i < 85; ++i) {
        const double now = MainHydrNeedle1(nullptr);
        EXPECT_DOUBLE_EQ(now - last, 1.0) << i;
        last = now;
    }
    EXPECT_DOUBLE_EQ(MainHydrNeedle1(nullptr), 215.0);
    // Unpowered: parked at zero at once, then it climbs again from 0.
    Power(kPoweredLeftEssential, false);
    EXPECT_DOUBLE_EQ(MainHydrNeedle1(nullptr), 130.0);
    Power(kPoweredLeftEssential, true);
    EXPECT_DOUBLE_EQ(MainHydrNeedle1(nullptr), 131.0);
}

TEST_F(SystemIndicators, MainPressureNeedlesHoldAtTheirCaps) {
    HydraulicsState.SystemPressure[0] = 5000;
    HydraulicsState.SystemPressure[1] = 5000;
    double n1 = 0.0;
    double n2 = 0.0;
    for (int i = 0; i < 150; ++i) {
        n1 = MainHydrNeedle1(nullptr);
        n2 = MainHydrNeedle2(nullptr);
    }
    EXPECT_DOUBLE_EQ(n1, 230.0);
    EXPECT_DOUBLE_EQ(n2, -50.0);
    EXPECT_FLOAT_EQ(HydraulicIndicators.system[1], 100.0f);
    Power(kPoweredRightEssential, false);
    EXPECT_DOUBLE_EQ(MainHydrNeedle2(nullptr), 50.0);
}

TEST_F(SystemIndicators, StandbyBrakeAndQuantityNeedlesUseTheirScales) {
    HydraulicsState.StandbyOutput[0] = 79;  // 79 / 40 = 1
    HydraulicsState.StandbyOutput[1] = 120;
    HydraulicFluidState.Accumulator = 3000;
    HydraulicsState.Reservoir[0] = 0.05;  // x 40 = 2
    HydraulicsState.Reservoir[1] = 0.1;   // x 20 = 2
    for (int i = 0; i < 100; ++i) {
        StbyHydrNeedle1(nullptr);
        StbyHydrNeedle2(nullptr);
        BrakeHydrNeedle(nullptr);
        HydrQtyNeedle1(nullptr);
        HydrQtyNeedle2(nullptr);
    }
    EXPECT_DOUBLE_EQ(StbyHydrNeedle1(nullptr), 131.0);
    EXPECT_DOUBLE_EQ(StbyHydrNeedle2(nullptr), 47.0);
    EXPECT_DOUBLE_EQ(BrakeHydrNeedle(nullptr), 205.0);
    EXPECT_NEAR(HydrQtyNeedle1(nullptr), 142.0, 1e-5);
    EXPECT_NEAR(HydrQtyNeedle2(nullptr), 38.0, 1e-5);
    Power(kPoweredRightMainDc, false);
    EXPECT_DOUBLE_EQ(BrakeHydrNeedle(nullptr), 130.0);
    Power(kPoweredRightSecondary, false);
    EXPECT_DOUBLE_EQ(StbyHydrNeedle2(nullptr), 50.0);
}

TEST_F(SystemIndicators, HydraulicGaugesSwapFacesWithTheirLighting) {
    gauge::GaugeHeader g{};
    g.element_list = Main_hydr_presElementList;
    PanelLightingCircuit2.set(1);
    RefreshCountdown[5] = 1;
    HydraulicIndicatorCallback(&g, gauge::kServiceUpdate, 0);
    gauge::ElementHeader* first = FirstElement(&g);
    for (int k : {0, 3, 5}) EXPECT_TRUE(ElementShown(first, k)) << k;
    for (int k : {1, 2, 4}) EXPECT_FALSE(ElementShown(first, k)) << k;
    PanelLightingCircuit2.set(0);
    RefreshCountdown[5] = 1;
    HydraulicIndicatorCallback(&g, gauge::kServiceUpdate, 0);
    for (int k : {0, 3, 5}) EXPECT_FALSE(ElementShown(first, k)) << k;
    for (int k : {1, 2, 4}) EXPECT_TRUE(ElementShown(first, k)) << k;
}

TEST_F(SystemIndicators, DuctTemperatureParksUnpoweredButKeepsSmoothing) {
    AirConditioningValues.DuctTemperature[1] = 30.0f;
    TempIndicatorSelector = 2;
    Power(kPoweredRightSecondary, false);
    EXPECT_DOUBLE_EQ(DuctTempNeedle(nullptr), 180.0);
    EXPECT_FLOAT_EQ(AirIndicators.duct_temperature[2], 0.01f);
    Power(kPoweredRightSecondary, true);
    EXPECT_NEAR(DuctTempNeedle(nullptr), 193.0 + 2.1 * 0.02, 1e-5);
}

TEST_F(SystemIndicators, DuctTemperaturesAreHeldWithinTheScale) {
    AirIndicators.duct_temperature[0] = 69.995f;
    AirConditioningValues.DuctTemperature[0] = 100.0f;
    AirConditioningValues.ZoneTemperature[0] = -10.0f;
    AirIndicators.duct_temperature[1] = 0.005f;
    TempIndicatorSelector = 0;
    EXPECT_NEAR(DuctTempNeedle(nullptr), 193.0 + 2.1 * 70.0, 1e-4);
    TempIndicatorSelector = 1;
    EXPECT_DOUBLE_EQ(DuctTempNeedle(nullptr), 193.0);
}

TEST_F(SystemIndicators, CabinRateNeedleMovesTenFeetPerCall) {
    PressurisationState.Rate = 2000.0f;
    const double first = CabinRateNeedle(nullptr);
    EXPECT_NEAR(first, 180.0 + 10.0 / 22.0, 1e-5);
    EXPECT_NEAR(CabinRateNeedle(nullptr), 180.0 + 20.0 / 22.0, 1e-5);
    PressurisationState.Rate = -9000.0f;
    AirIndicators.cabin_rate = -2995.0f;
    EXPECT_NEAR(CabinRateNeedle(nullptr), 180.0 - 3000.0 / 22.0, 1e-3);
    Power(kPoweredRightMainDc, false);
    EXPECT_DOUBLE_EQ(CabinRateNeedle(nullptr), 180.0);
    EXPECT_EQ(AirIndicators.cabin_rate, 0.0f);
}

TEST_F(SystemIndicators, SourcesThatAreNotNumbersLeaveTheNeedlesWhereTheyAre) {
    AirIndicators.duct_temperature[0] = 25.0f;
    AirIndicators.cabin_rate = 500.0f;
    AirConditioningValues.DuctTemperature[0] = std::numeric_limits<float>::quiet_NaN();
    PressurisationState.Rate = std::numeric_limits<float>::quiet_NaN();
    TempIndicatorSelector = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(DuctTempNeedle(nullptr), 193.0 + 2.1 * 25.0, 1e-4);
        EXPECT_NEAR(CabinRateNeedle(nullptr), 180.0 + 500.0 / 22.0, 1e-3);
    }
    // Once the source is a number again the needle follows it.
    AirConditioningValues.DuctTemperature[0] = 30.0f;
    EXPECT_NEAR(DuctTempNeedle(nullptr), 193.0 + 2.1 * 25.01, 1e-4);
}

TEST_F(SystemIndicators, CabinDifferentialAltitudeAndSettingDials) {
    PressurisationState.Differential = 7.5f;
    EXPECT_DOUBLE_EQ(CabinDiffNeedle(nullptr), 248.0 + 48.0 * 6.0);
    PressurisationState.Differential = 2.0f;
    EXPECT_DOUBLE_EQ(CabinDiffNeedle(nullptr), 344.0);
    Power(kPoweredRightMainDc, false);
    EXPECT_NEAR(CabinDiffNeedle(nullptr), 248.0 - 14.4, 1e-5);
    PressurisationState2.CabinAltitude = 5000.0f;
    EXPECT_DOUBLE_EQ(CabinAltNeedle(nullptr), 347.0);
    PressurisationState2.CabinAltitude = 40000.0f;
    EXPECT_DOUBLE_EQ(CabinAltNeedle(nullptr), 525.0);
    Power(kPoweredLeftSecondary, false);
    EXPECT_DOUBLE_EQ(CabinAltNeedle(nullptr), 232.0);
    LandingFieldElevation = 1000;
    CabinAltSetKnob = 50;
    EXPECT_DOUBLE_EQ(CabAltSetDial1(nullptr), 179.0);
    EXPECT_DOUBLE_EQ(CabAltSetDial2(nullptr), 70.0);
}

TEST_F(SystemIndicators, CabinAltitudeSetLightingUsesTheLitBitOnItsMarkings) {
    gauge::GaugeHeader g{};
    g.element_list = CabAltSetIndicatorElementList;
    PanelLightingCircuit1.set(1);
    RefreshCountdown[0] = 1;
    CabAltSetIndicatorCallback(&g, gauge::kServiceUpdate, 0);
    gauge::ElementHeader* first = FirstElement(&g);
    EXPECT_TRUE(ElementShown(first, 2));
    EXPECT_TRUE(ElementShown(first, 5));
    EXPECT_FALSE(ElementShown(first, 1));
    EXPECT_FALSE(ElementShown(first, 4));
    EXPECT_NE(ElementListWalk(first, 3)->image_flags & gauge::kImageLuminous, 0u);
    PanelLightingCircuit1.set(0);
    RefreshCountdown[0] = 1;
    CabAltSetIndicatorCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_TRUE(ElementShown(first, 1));
    EXPECT_FALSE(ElementShown(first, 5));
    EXPECT_EQ(ElementListWalk(first, 3)->image_flags & gauge::kImageLuminous, 0u);
}

}  // namespace
}  // namespace zu
