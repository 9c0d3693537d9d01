// Unit tests of the trim, flap, compass and inclinometer indicators: needle
// values from state, the trim switch and knob, the flap needle's travel
// and the ball's damping.
#include "instruments/pedestal_indicators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/systems_tick.h"
#include "instruments/gauge_framework.h"
#include "instruments/inclinometer.h"

namespace zu {
namespace {

std::vector<std::pair<uint32_t, uint32_t>> g_events;
void FakeTrigger(uint32_t event, uint32_t value) {
    g_events.emplace_back(event, value);
}

gauge::GaugeHeader* Gauge(const char* name) {
    for (gauge::GaugeHeader& g : GaugeTable) {
        if (std::strcmp(g.name, name) == 0) return &g;
    }
    return nullptr;
}

bool Shown(gauge::ElementHeader* first, int k) {
    return ElementShown(first, k);
}

class PedestalIndicators : public ::testing::Test {
  protected:
    void SetUp() override {
        table_.slot[gauge::kSlotTriggerKeyEvent] = reinterpret_cast<void*>(&FakeTrigger);
        saved_panels_ = ImportTable.panels;
        ImportTable.panels = &table_;
        g_events.clear();
        Reset();
        BusPowered.set(kPoweredLeftMainDc, 1);
    }
    void TearDown() override {
        ImportTable.panels = saved_panels_;
        Reset();
    }
    static void Reset() {
        Electrics_sys = {};
        for (auto& r : RefreshCountdown) r = 0;
        ElectricalChangeFlag = 0;
        TrimInhibit = 0;
        ElevatorTrim = 0.0f;
        TrimsPanelState = {};
        TrimSwitchDirection = 0;
        TrimSwitchHold = 0;
        FlapNeedlePosition = -90.0f;
        FlapDetent = 2;
        FlapsHydraulicPressure = 0;
        FlapMotionFlag = 0;
        Heading = 0.0f;
        BankAttitude = 0.0f;
        InclinometerBall = 0.0;
        InclinometerShown = 0.0;
        InclinometerInput = 0.0f;
        RemoteDisplayCountdown.store(0);
        InstructorDisplayValues = {};
    }
    static void ClickTrims(int rect) {
        TRIMSMouseRect[rect].handler(nullptr, gauge::kMouseLeftSingle);
    }
    static void RefreshTrims() {
        gauge::GaugeHeader* g = Gauge("TRIMS");
        g->parameters = "";
        g->gauge_callback(g, gauge::kServiceUpdate, 0);
    }
    // Frames until the flap needle first reaches the target from below.
    static int FramesToReach(double target, int limit) {
        for (int frame = 1; frame <= limit; ++frame) {
            FlapNeedleStep();
            if (FlapNeedlePosition >= target) return frame;
        }
        return -1;
    }

    gauge::PanelServiceTable table_{};
    gauge::PanelServiceTable* saved_panels_ = nullptr;
};

TEST_F(PedestalIndicators, TrimNeedlesFollowTrimPowerAndInhibit) {
    ElevatorTrim = 0.1f;
    EXPECT_NEAR(TrimsElevatorNeedle(), 22.8, 1e-4);
    TrimInhibit = 1;
    EXPECT_DOUBLE_EQ(TrimsElevatorNeedle(), 0.0);
    BusPowered.set(kPoweredLeftMainDc, 0);
    EXPECT_DOUBLE_EQ(TrimsElevatorNeedle(), -233.0);
    EXPECT_DOUBLE_EQ(TrimsIndicationNeedle(), -173.0);
    TrimsPanelState.indication = 0.05f;
    EXPECT_NEAR(TrimsKnobPointer(), 0.05 * 364 + 90, 1e-4);  // unpowered too
    BusPowered.set(kPoweredLeftMainDc, 1);
    EXPECT_NEAR(TrimsIndicationNeedle(), 0.05 * 228 + 90, 1e-4);
}

TEST_F(PedestalIndicators, TrimSwitchStepsTheTrimSendsItsEventAndSpringsBack) {
    ClickTrims(2);
    EXPECT_NEAR(ElevatorTrim, 0.00174f, 1e-7);
    EXPECT_EQ(TrimSwitchDirection, 1);
    ASSERT_EQ(g_events.size(), 1u);
    EXPECT_EQ(g_events[0], std::make_pair(0x102E5u, 1u));
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount);
    gauge::ElementHeader* first = TrimsFirst();
    RefreshTrims();
    EXPECT_TRUE(Shown(first, 7));
    EXPECT_FALSE(Shown(first, 5));
    RefreshTrims();
    EXPECT_EQ(TrimSwitchDirection, 1);
    RefreshTrims();  // third pass: back to centre
    EXPECT_EQ(TrimSwitchDirection, 0);
    RefreshTrims();
    EXPECT_TRUE(Shown(first, 5));
    EXPECT_FALSE(Shown(first, 7));

    ClickTrims(1);
    EXPECT_EQ(g_events.back(), std::make_pair(0x102E4u, 1u));
    EXPECT_NEAR(ElevatorTrim, 0.0f, 1e-7);
}

TEST_F(PedestalIndicators, InhibitedTrimMovesTheSwitchButNothingElse) {
    TrimInhibit = 1;
    ClickTrims(1);
    EXPECT_EQ(ElevatorTrim, 0.0f);
    EXPECT_TRUE(g_events.empty());
    EXPECT_EQ(TrimSwitchDirection, -1);
    RefreshTrims();
    EXPECT_TRUE(Shown(TrimsFirst(), 6));
}

TEST_F(PedestalIndicators, TrimKnobMovesOnlyTheIndicationWithoutBounds) {
    for (int i = 0; i < 1000; ++i) ClickTrims(4);
    EXPECT_NEAR(TrimsPanelState.indication, 1.74f, 1e-3);
    EXPECT_EQ(ElevatorTrim, 0.0f);
    EXPECT_TRUE(g_events.empty());
    ClickTrims(3);
    EXPECT_NEAR(TrimsPanelState.indication, 1.74f - 0.00174f, 1e-3);
}

TEST_F(PedestalIndicators, TrimsLightingSwapsNeedlesAndBrightensTheSwitch) {
    PanelLightingCircuit2.set(1);
    RefreshCountdown[kRefreshRadios] = 10;
    RefreshTrims();
    gauge::ElementHeader* first = TrimsFirst();
    for (int k : {0, 2, 4, 9}) EXPECT_TRUE(Shown(first, k)) << k;
    for (int k : {1, 3, 8}) EXPECT_FALSE(Shown(first, k)) << k;
    EXPECT_NE(ElementListWalk(first, 6)->image_flags & gauge::kImageLuminous, 0u);
    // An electrical change re-arms the group.
    PanelLightingCircuit2.set(0);
    RefreshCountdown[kRefreshRadios] = 0;
    ElectricalChangeFlag = 1;
    RefreshTrims();
    EXPECT_TRUE(Shown(first, 1));
    EXPECT_FALSE(Shown(first, 0));
}

TEST_F(PedestalIndicators, FlapNeedleTravelTimeFollowsTheDrivePressure) {
    FlapDetent = 5;
    FlapNeedlePosition = 0.0f;
    FlapsHydraulicPressure = 3000;
    FlapMotionFlag = 1;
    FlapDetent = 6;
    EXPECT_EQ(FramesToReach(120.0, 5000), 667);
    EXPECT_EQ(FlapMotionFlag, 0);  // arrival ends the flap motion
    // It hunts around the target by at most one step.
    for (int i = 0; i < 10; ++i) {
        FlapNeedleStep();
        EXPECT_NEAR(FlapNeedlePosition, 120.0, 0.18 + 1e-3);
    }

    FlapNeedlePosition = 0.0f;
    FlapsHydraulicPressure = 500;
    const int frames = FramesToReach(120.0 - 1e-3, 5000);
    EXPECT_GE(frames, 2399);
    EXPECT_LE(frames, 2401);

    FlapNeedlePosition = 0.0f;
    FlapsHydraulicPressure = 100;
    FlapMotionFlag = 1;
    EXPECT_EQ(FramesToReach(0.01, 100), -1);
    EXPECT_EQ(FlapMotionFlag, 1);  // no pressure: still moving
}

TEST_F(PedestalIndicators, FlapNeedleTargetsAndPower) {
    FlapsHydraulicPressure = 3000;
    const double targets[] = {-90.0, -58.0, -35.0, 0.0, 120.0};
    for (int detent = 2; detent <= 6; ++detent) {
        FlapDetent = detent;
        for (int i = 0; i < 2000; ++i) FlapNeedleStep();
        EXPECT_NEAR(FlapNeedlePosition, targets[detent - 2], 0.2) << detent;
    }
    FlapDetent = 9;  // any other value: flaps up
    for (int i = 0; i < 2000; ++i) FlapNeedleStep();
    EXPECT_NEAR(FlapNeedlePosition, -90.0, 0.2);
    BusPowered.set(kPoweredLeftMainDc, 0);
    EXPECT_DOUBLE_EQ(FlapNeedleStep(), 0.0);
}

TEST_F(PedestalIndicators, CompassCardAndItsLighting) {
    Heading = 0.0f;
    EXPECT_DOUBLE_EQ(CompassCardValue(), 360.0);
    Heading = 90.0f;
    EXPECT_DOUBLE_EQ(CompassCardValue(), 270.0);
    Heading = 361.0f;
    EXPECT_DOUBLE_EQ(CompassCardValue(), 0.0);
    Heading = -1.0f;
    EXPECT_DOUBLE_EQ(CompassCardValue(), 0.0);
    Heading = std::numeric_limits<float>::quiet_NaN();
    EXPECT_DOUBLE_EQ(CompassCardValue(), 0.0);

    gauge::GaugeHeader* g = Gauge("Whiskey compass");
    gauge::ElementHeader* first = g->element_list[0];
    g->gauge_callback(g, gauge::kServiceUpdate, 0);  // nothing running: no change
    EXPECT_TRUE(Shown(first, 1));
    RefreshCountdown[kRefreshAll] = 2;
    g->gauge_callback(g, gauge::kServiceUpdate, 0);
    EXPECT_TRUE(Shown(first, 2));
    EXPECT_FALSE(Shown(first, 1));
    EXPECT_NE(first->image_flags & gauge::kImageLuminous, 0u);
    EXPECT_EQ(RefreshCountdown[kRefreshAll], 1);
}

TEST_F(PedestalIndicators, BallFollowsSmallOffsetsAtOnceAndLargeOnesSlowly) {
    EXPECT_NEAR(InclinometerBallStep(1.0), 0.8, 1e-12);  // D = 1.25
    InclinometerBall = 0.0;
    EXPECT_NEAR(InclinometerBallStep(40.0), 40.0 / 250.0, 1e-12);  // D capped at 250
    // Bank divides the input: 30 degrees and more give a third.
    InclinometerBall = 0.0;
    BankAttitude = -45.0f;
    InclinometerBallStep(30.0);
    EXPECT_FLOAT_EQ(InclinometerInput, 10.0f);
    // The shown value is held within the tube.
    BankAttitude = 0.0f;
    InclinometerBall = 300.0;
    EXPECT_DOUBLE_EQ(InclinometerBallStep(300.0), 127.0);
}

TEST_F(PedestalIndicators, BallShowsTheInstructorValueAndSurvivesBadInput) {
    RemoteDisplayCountdown.store(10);
    InstructorDisplayValues.ball = -500.0;
    EXPECT_DOUBLE_EQ(InclinometerBallStep(0.0), -127.0);
    RemoteDisplayCountdown.store(0);
    InclinometerBall = 5.0;
    InclinometerBallStep(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isfinite(InclinometerBall));
    EXPECT_TRUE(std::isfinite(InclinometerInput));
    // The element's offsets put the ball's bitmap (drawn at rest 12 units
    // left) where the shown value says, lowest at the centre.
    InclinometerBall = 0.0;
    gauge::GaugeHeader* g = Gauge("Inclinometer");
    auto* ball =
        reinterpret_cast<gauge::MovingImageElement*>(ElementListWalk(g->element_list[0], 2));
    ball->header.source_value = 0.0;
    EXPECT_DOUBLE_EQ(ball->header.callback(&ball->header), 12.0);
    EXPECT_DOUBLE_EQ(ball->y_callback(&ball->header), -12.0);
    EXPECT_EQ(ball->header.source_token, kBallToken);
}

}  // namespace
}  // namespace zu
