// The standby attitude indicator, the RMI and the AHRS control panels in a
// running module: the stand-in flies, the test works the panels' controls
// through their mouse rectangles and reads what the simulator would draw.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "cabin_link/instructor_message.h"
#include "cabin_link/instructor_state_exchange.h"
#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/flight_guidance.h"
#include "core/flight_persistence.h"
#include "core/nav_sources.h"
#include "e2e_support.h"
#include "instruments/adf_control_heads.h"
#include "instruments/standby_instruments.h"
#include "instruments/standby_instruments_layout.h"
#include "module_state.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

using simhost::GaugeInstance;
using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr uint32_t kOnGroundToken = 60;
constexpr uint32_t kHeadingToken = 81;

// Element indices as the simulator walks them. RMI: 2 the unlit card, 4 the
// heading flag, 5 pointer 1 (unlit). Standby attitude: 2 the ball, 3 the
// bank index. AHRS panels: the legends "DG", "SLAVE", "FAST", "BASIC",
// "AUXPR" at 2..6.
constexpr int kRmiCard = 2;
constexpr int kRmiPointer1 = 5;
constexpr int kStbyBall = 2;
constexpr int kStbyBank = 3;
constexpr int kDgLegend = 2;
constexpr int kSlaveLegend = 3;
constexpr int kFastLegend = 4;
constexpr int kBasicLegend = 5;
constexpr int kAuxLegend = 6;
// AHRS panel rectangles.
constexpr int kSlewRight = 2;
constexpr int kDgButton = 3;
constexpr int kFastButton = 4;

class AttitudeHeadingGauges : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        sim_->SetVariable(kOnGroundToken, 1.0);
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        RestoreLoadedModuleState();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    // Frames until `n` more systems ticks have run.
    void Ticks(int n) {
        const uint64_t end = sim_->ticks() + static_cast<uint64_t>(n);
        while (sim_->ticks() < end) sim_->RunFrame();
    }
    template <typename F>
    bool FramesUntil(F done, int max_frames = 2000) {
        for (int i = 0; i < max_frames; ++i) {
            if (done()) return true;
            sim_->RunFrame();
        }
        return done();
    }
    GaugeInstance& Gauge(const char* name) {
        GaugeInstance* g = sim_->FindGauge(name);
        EXPECT_NE(g, nullptr) << name;
        return *g;
    }
    const simhost::ElementState& Element(const char* gauge, int k) {
        return Gauge(gauge).elements.at(static_cast<size_t>(k));
    }
    bool LegendShown(const char* gauge, int k) { return !Element(gauge, k).hidden; }
    void Click(const char* gauge, int rect) {
        std::string error;
        ASSERT_TRUE(sim_->Click(Gauge(gauge), rect, false, &error)) << error;
    }
    // The crew powers the aircraft once the simulator has loaded the flight
    // (a load leaves a powered AHRS aligned at once).
    void BatteryOn() {
        ASSERT_TRUE(FramesUntil([] { return FlightLoadCounter > 240; }));
        BatteryMasterSwitch.set(255);
        MainBatterySwitch.set(255);
    }
    void AlignBoth() {
        BatteryOn();
        ASSERT_TRUE(FramesUntil([] { return Ahrs1.aligned != 0 && Ahrs2.aligned != 0; }));
        Frames(2);
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(AttitudeHeadingGauges, BatteryMasterAlignsTheAhrsAndTheRmiCardReadsItsHeading) {
    sim_->SetVariable(kHeadingToken, 88.0);  // the poll adds 0.2
    Frames(20);
    BatteryOn();
    // The flight guidance's power-up self-test holds the coarse alignment
    // until it ends; the fine alignment follows.
    ASSERT_TRUE(FramesUntil([] { return FGC_comp_FGC1_system_test_timer <= 1; }));
    Ticks(60);  // fine alignment: BASIC lit, the heading flag in view
    EXPECT_EQ(+Ahrs1.aligned, 0);
    EXPECT_TRUE(LegendShown("AHRS1_Panel", kBasicLegend));
    EXPECT_FALSE(LegendShown("AHRS1_Panel", kSlaveLegend));
    EXPECT_EQ(RmiHeadingFlagTravel, 16);  // the flag fully in view

    ASSERT_TRUE(FramesUntil([] { return Ahrs1.aligned != 0; }));
    Frames(20);
    EXPECT_NEAR(Element("RMI", kRmiCard).value, -88.19824, 1e-5);
    EXPECT_EQ(RmiHeadingFlagTravel, 0);
    EXPECT_TRUE(LegendShown("AHRS1_Panel", kSlaveLegend));
    EXPECT_TRUE(LegendShown("AHRS2_Panel", kSlaveLegend));
    EXPECT_FALSE(LegendShown("AHRS1_Panel", kBasicLegend));
    EXPECT_EQ(Element("AHRS1_Panel", kSlaveLegend).text, "SLAVE");
}

TEST_F(AttitudeHeadingGauges, FastButtonHoldsAnAlignmentWithThreeTicksLeftAtFive) {
    BatteryOn();
    ASSERT_TRUE(FramesUntil([] { return Ahrs1.align_countdown == 3; }));
    Click("AHRS1_Panel", kFastButton);
    EXPECT_EQ(+Ahrs1.fast_align_request, 1);
    // Each pass raises the countdown to 5, then counts it down one.
    for (int i = 0; i < 10; ++i) {
        Ticks(1);
        EXPECT_EQ(+Ahrs1.align_countdown, 4);
    }
    EXPECT_EQ(+Ahrs2.align_countdown, 0);  // AHRS 2 aligns on
    Frames(1);
    EXPECT_TRUE(LegendShown("AHRS1_Panel", kFastLegend));
    // A second press releases it.
    Click("AHRS1_Panel", kFastButton);
    EXPECT_EQ(+Ahrs1.fast_align_request, 0);
    Ticks(4);
    EXPECT_EQ(+Ahrs1.align_countdown, 0);
    Frames(1);
    EXPECT_FALSE(LegendShown("AHRS1_Panel", kFastLegend));
}

TEST_F(AttitudeHeadingGauges, LeftEssentialBusFailedLeavesTheAhrsOnAuxiliaryPower) {
    BatteryOn();
    Frames(30);
    EXPECT_FALSE(LegendShown("AHRS1_Panel", kAuxLegend));
    EXPECT_EQ(StbyAttitudeFlagTravel, 0);
    ElectricsInstructorStates[kElecLeftEssentialBus] = 255;
    Frames(20);
    ASSERT_EQ(BusPowered.get(kPoweredLeftEssential), 0);
    EXPECT_EQ(+Ahrs1.standby, 1);
    EXPECT_TRUE(LegendShown("AHRS1_Panel", kAuxLegend));
    EXPECT_TRUE(LegendShown("AHRS2_Panel", kAuxLegend));
    EXPECT_EQ(Element("AHRS1_Panel", kAuxLegend).text, "AUXPR");
    // The standby attitude indicator's flag drops with the same bus.
    EXPECT_EQ(StbyAttitudeFlagTravel, 16);  // fully in view
}

TEST_F(AttitudeHeadingGauges, DirectionalGyroAtSlewTwoTurnsHalfADegreeATick) {
    sim_->SetVariable(kHeadingToken, 120.0);
    ASSERT_NO_FATAL_FAILURE(AlignBoth());
    Click("AHRS1_Panel", kDgButton);
    Click("AHRS1_Panel", kSlewRight);
    Click("AHRS1_Panel", kSlewRight);
    EXPECT_EQ(+Ahrs1.slew_switch, 2);
    Ticks(1);
    const double start = Ahrs1.heading;
    const double other = Ahrs2.heading;
    Ticks(10);
    // Half a degree a tick, on the 360/65536 grid.
    EXPECT_NEAR(Ahrs1.heading - start, 5.0, 2 * kHeadingWordDegrees);
    EXPECT_NEAR(+Ahrs2.heading, other, kHeadingWordDegrees);  // still slaved
    Frames(1);
    EXPECT_TRUE(LegendShown("AHRS1_Panel", kDgLegend));
    EXPECT_FALSE(LegendShown("AHRS1_Panel", kSlaveLegend));
    EXPECT_NEAR(Element("RMI", kRmiCard).value, -Ahrs1.heading, 1e-9);
}

TEST_F(AttitudeHeadingGauges, NdbDueNorthPutsTheAdfPointerAtLeftAbeam) {
    ElectricsEnginesRunning();
    Frames(60);
    // Parked at 45 N 10 E heading 090 true; the NDB 30 nm due north.
    sim_->model().AddStation({simhost::RadioStation::kNdb, 3450, 45.5, 10.0, 0.0, 0.0, "NB"});
    Adf1PanelState.mode = 1;
    Adf1Radio.active = 345.0f;
    NavSources[kNavAdf1].frequency = 3450;
    Frames(10);
    // Pointer 1 on the VOR receiver until its knob is turned to ADF.
    EXPECT_NEAR(Element("RMI", kRmiPointer1).value, NavSources[kNavVor1].bearing - 90.0, 1e-9);
    Click("RMI", 1);
    Frames(2);
    EXPECT_EQ(RmiSourceSelect1, 1);
    EXPECT_NEAR(Element("RMI", kRmiPointer1).value, 180.0, 0.5);
}

TEST_F(AttitudeHeadingGauges, StandbyAttitudeTakesPitchAndBankFromTheSimulator) {
    sim_->SetVariable(0x4E, 75.0);  // beyond the ball's stop
    sim_->SetVariable(0x50, 30.0);
    Frames(3);
    const simhost::ElementState& ball = Element("Stby attitude", kStbyBall);
    EXPECT_DOUBLE_EQ(ball.value, -30.0);
    // Held at 60 degrees, along the ball's own vertical.
    EXPECT_NEAR(std::hypot(ball.x, ball.y), 60.0 * standby_layout::kStbyPixelsPerDegree, 1e-9);
    EXPECT_GT(ball.x, 0.0);
    EXPECT_DOUBLE_EQ(Element("Stby attitude", kStbyBank).value, -30.0);
}

}  // namespace
}  // namespace zu::e2e
