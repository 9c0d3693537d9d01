// The pilots' flight dials in a running module: clocks, altimeters, airspeed
// indicators and the course and heading selectors as the stand-in shows
// them, driven by clicks on their rectangles.
#include "instruments/flight_dials.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/flight_guidance.h"
#include "core/host_panel_services.h"
#include "e2e_support.h"
#include "instruments/airspeed_indicators.h"
#include "instruments/altimeters.h"
#include "instruments/clocks.h"
#include "instruments/course_selectors.h"
#include "module_state.h"
#include "zu/simhost/gauge_renderer.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

using simhost::GaugeInstance;
using simhost::Simulator;
using simhost::SimulatorConfig;
namespace fd = flight_dials;

constexpr uint32_t kOnGroundToken = 60;
constexpr uint32_t kPressureAltitudeToken = 74;  // feet

class FlightDialsFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
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
    GaugeInstance& Gauge(const char* name) {
        GaugeInstance* g = sim_->FindGauge(name);
        EXPECT_NE(g, nullptr) << name;
        return *g;
    }
    void Click(const char* name, int rect, int times = 1) {
        std::string error;
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(sim_->Click(Gauge(name), rect, false, &error)) << error;
        }
    }
    const simhost::ElementState& Element(const char* name, int k) {
        return Gauge(name).elements.at(k);
    }
    void SetUtc(uint8_t hours, uint8_t minutes, uint8_t seconds) {
        sim_->fsuipc().Poke(0x023B, &hours, 1);
        sim_->fsuipc().Poke(0x0239, &minutes, 1);
        sim_->fsuipc().Poke(0x023A, &seconds, 1);
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

// Clock elements follow the backdrop: readouts 13-15 are list entries 14-16.
constexpr int kClockHours = 14;
constexpr int kClockMinutes = 15;
constexpr int kClockSeconds = 16;

TEST_F(FlightDialsFlight, ClocksShowTheTimeOnlyWhilePowered) {
    SetUtc(12, 1, 15);
    Frames(40);
    EXPECT_TRUE(Element("clock1", kClockHours).hidden);
    EXPECT_TRUE(Element("clock2", kClockSeconds).hidden);

    ElectricsEnginesRunning();
    Frames(60);
    ASSERT_NE(BusPowered.get(kPoweredLeftEssential), 0);
    EXPECT_FALSE(Element("clock1", kClockHours).hidden);
    EXPECT_EQ(Element("clock1", kClockHours).text, "12");
    EXPECT_EQ(Element("clock1", kClockMinutes).text, "01");
    EXPECT_EQ(Element("clock1", kClockSeconds).text, "15");

    // Switch B's position 1 sends one key event and springs back.
    Click("clock1", 6);
    Frames(3);
    const auto counts = sim_->KeyEventCounts();
    ASSERT_EQ(counts.count(kClockSecondKeyEvent), 1u);
    EXPECT_EQ(counts.at(kClockSecondKeyEvent).count, 1u);
    EXPECT_EQ(counts.at(kClockSecondKeyEvent).last.value, 1u);
    EXPECT_EQ(Clock1State.second_control, 0);
    EXPECT_FALSE(Element("clock1", 7).hidden);  // switch B's centre image
    EXPECT_TRUE(Element("clock1", 6).hidden);   // its image for 1
}

TEST_F(FlightDialsFlight, ElapsedTimeRollsOverMidnight) {
    ElectricsEnginesRunning();
    Frames(20);
    Click("clock2", 8);  // mode switch at 0: elapsed time
    Clock2State.elapsed[0] = 59;
    Clock2State.elapsed[1] = 59;
    Clock2State.elapsed[2] = 23;
    // The poll releases on-ground after 32 airborne passes; then a few
    // simulated seconds.
    sim_->SetVariable(kOnGroundToken, 0.0);
    Frames(120);
    EXPECT_EQ(Element("clock2", kClockHours).text, "00");
    EXPECT_EQ(Element("clock2", kClockMinutes).text, "00");
    EXPECT_EQ(Element("clock2", kClockSeconds).text.size(), 2u);
    EXPECT_EQ(Clock2State.display_mode, 1);
}

TEST_F(FlightDialsFlight, AltimetersFollowTheirSettingsAndTheOffFlagLeaves) {
    Frames(20);
    // Cold and dark: the OFF flag stands in its window.
    EXPECT_DOUBLE_EQ(Element("Altimeter1", 15).y, 0.0);
    ElectricsEnginesRunning();
    Frames(120);
    EXPECT_DOUBLE_EQ(Element("Altimeter1", 15).y, 12 * fd::kOffFlagScale);
    EXPECT_EQ(AltimeterShownAltitude1, static_cast<int32_t>(BaroAltitude1));

    const int32_t before = AltimeterShownAltitude1;
    Click("Altimeter1", 2, 4);  // + 1 hPa
    EXPECT_FLOAT_EQ(Altimeter1Baro.hpa, 1014.25f);
    Frames(10);
    EXPECT_NEAR(AltimeterShownAltitude1 - before, 30.41, 1.0);
    // The setting window shows 1014.2 on its lowest drum.
    EXPECT_DOUBLE_EQ(Element("Altimeter1", 7).y, (110 - 42) * fd::kSetLowScale);

    // The standby reads 7.6 ft above pressure altitude at 1013.25.
    EXPECT_NEAR(AltimeterDrums[kStbyAltimeter].source - std::fabs(PressureAltitude), 7.6, 0.01);

    // The air-data test shows 999.9 while its timer runs above 64.
    AdcTestTimer1 = kAdcTestTicks;
    Frames(60);
    EXPECT_EQ(AltimeterShownAltitude1, 999);
}

TEST_F(FlightDialsFlight, AirspeedIndicatorRestsAtFiftyKnotsAndItsBugsMove) {
    Frames(20);
    // Parked: the needle rests at 50 kt, unpowered or not.
    EXPECT_DOUBLE_EQ(Element("Speedometer1", 5).value, -65.25);
    Click("Speedometer1", 1, 75);
    EXPECT_EQ(AirspeedSide[0].knob, 50);
    Click("Speedometer1", 3);  // the first dial click moves bug B
    EXPECT_EQ(AirspeedSide[0].bug_a, 0);
    EXPECT_NE(AirspeedSide[0].bug_b, 10);
    Frames(2);
    EXPECT_DOUBLE_EQ(Element("Speedometer1", 9).value, AirspeedSide[0].bug_b);
    EXPECT_DOUBLE_EQ(Element("Speedometer1", 11).value, 50 * 0.915 - 111);
}

TEST_F(FlightDialsFlight, SelectorsTurnTheHeadingBug) {
    Frames(5);
    Click("Course_hdg_selector1", 6);  // heading +10
    Click("Course_hdg_selector1", 8);  // +1
    Click("Course_hdg_selector2", 5);  // side 2: -10
    Frames(2);
    EXPECT_EQ(FGC_comp_HSI1_heading_sel, 11);
    EXPECT_EQ(FGC_comp_HSI2_heading_sel, 350);
    // The unlit heading needle (entry 4 after the backdrop) shows it.
    EXPECT_DOUBLE_EQ(Element("Course_hdg_selector1", 4).value, 11);
    EXPECT_DOUBLE_EQ(Element("Course_hdg_selector2", 2).value, CourseKnobDisplay[1]);
}

// The altimeter pointer is drawn along +x and turned by its formula's angle
// (zero at three o'clock): on the picture it points at the altitude's mark.
TEST_F(FlightDialsFlight, AltimeterPointerPointsAtTheMarkOfItsAltitude) {
    ElectricsEnginesRunning();
    Frames(60);
    GaugeInstance& g = Gauge("Altimeter1");
    const double scale = static_cast<double>(fd::kAltSize) / g.width;
    simhost::GaugeRenderer renderer(*sim_);
    for (const int32_t feet : {250, 600, 875}) {
        sim_->SetVariable(kPressureAltitudeToken, feet);
        Frames(40);
        ASSERT_EQ(AltimeterDrums[kAltimeter1].whole, feet);
        cairo_surface_t* s =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fd::kAltSize, fd::kAltSize);
        cairo_t* cr = cairo_create(s);
        renderer.RenderGauge(cr, g, scale, 1.0);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        const double mark = feet * fd::kAltDegreesPerFoot;
        const double along = RadialBrightness(s, fd::kAltCentre, fd::kAltCentre, mark, 30, 55);
        const double across =
            RadialBrightness(s, fd::kAltCentre, fd::kAltCentre, mark + 90, 30, 55);
        cairo_surface_destroy(s);
        EXPECT_GT(along, 150) << feet;
        EXPECT_GT(along, across + 60) << feet;
    }
}

}  // namespace
}  // namespace zu::e2e
