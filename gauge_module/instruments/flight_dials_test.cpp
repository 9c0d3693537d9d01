#include "instruments/flight_dials.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/systems_tick.h"
#include "displays/display_pixel_size.h"
#include "instruments/airspeed_indicators.h"
#include "instruments/altimeters.h"
#include "instruments/clocks.h"
#include "instruments/course_selectors.h"
#include "instruments/gauge_framework.h"
#include "resources/resource_table.h"

namespace zu {
namespace {

namespace fd = flight_dials;

gauge::GaugeHeader* Gauge(const char* name) {
    for (gauge::GaugeHeader& g : GaugeTable) {
        if (std::strcmp(g.name, name) == 0) return &g;
    }
    return nullptr;
}

// What the host shows of one gauge after one frame: the update service,
// then every shown element's callbacks in list order.
struct Frame {
    std::map<int, double> value;  // needle angle, icon value, or moving-image offset value
    std::map<int, std::string> text;
    std::map<int, bool> shown;
};

Frame RunFrame(gauge::GaugeHeader* g) {
    g->gauge_callback(g, gauge::kServiceUpdate, 0);
    Frame f;
    int k = 0;
    for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr;
         e = e->next_element != nullptr ? e->next_element[0] : nullptr, ++k) {
        const bool shown = (e->image_flags & gauge::kImageHidden) == 0;
        f.shown[k] = shown;
        if (!shown) continue;
        if (e->type == gauge::ElementType::MovingImage) {
            auto* m = reinterpret_cast<gauge::MovingImageElement*>(e);
            if (m->y_callback != nullptr) {
                f.value[k] = m->y_callback(e);
                continue;
            }
        }
        if (e->callback == nullptr) continue;
        f.value[k] = e->callback(e);
        if (e->type == gauge::ElementType::String) f.text[k] = StringBuffer(e);
    }
    return f;
}

// Mouse rectangle n (1 = the first child) of a gauge.
int32_t Click(const char* name, int n, int32_t x = 0, int32_t y = 0) {
    gauge::GaugeHeader* g = Gauge(name);
    gauge::Point p{x, y};
    return g->mouse_rect[n].handler(&p, g->mouse_rect[n].mouse_flags);
}

class FlightDialsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&Electrics_sys, 0, sizeof Electrics_sys);
        std::fill(std::begin(RefreshCountdown), std::end(RefreshCountdown), 0);
        Altimeter1Baro = Altimeter2Baro = {1013.25f, 29.92f, 12};
        StbyAltimeterBaro = {1013.25f, 29.92f};
        AltimeterShownAltitude1 = AltimeterShownAltitude2 = 0;
        BaroAltitude1 = BaroAltitude2 = 0.0f;
        for (AltimeterDrumState& s : AltimeterDrums) s = {};
        for (int32_t& z : AltimeterTouchZone) z = 0;
        PfdAdvisoryFlag = PfdAdvisoryFlag2 = 0;
        std::fill(std::begin(AirDataFlags), std::end(AirDataFlags), 0);
        PressureAltitude = 0.0f;
        Altitude = 0.0f;
        IndicatedAirspeed = 0.0f;
        AirspeedSide[0] = AirspeedSide[1] = {200, 0, 10, 1};
        AsiTouchZone[0] = AsiTouchZone[1] = 0;
        DisplayPixelSize[0] = DisplayPixelSize2[0] = 1024;
        DisplayPixelSize[1] = DisplayPixelSize2[1] = 768;
        Clock1State = {};
        Clock2State = {};
        std::memset(ClockReadoutBrightSeen, 0, sizeof ClockReadoutBrightSeen);
        CourseKnobDisplay[0] = CourseKnobDisplay[1] = 25;
        CourseTouchKnob = HeadingTouchKnob = {};
        FGC_comp_HSI1_heading_sel = FGC_comp_HSI2_heading_sel = 0;
        NavSourceSel1 = kNavVor1;
        NavSourceSel2 = kNavVor2;
        saved_courses_[0] = NavSources[kNavVor1].course;
        saved_courses_[1] = NavSources[kNavVor2].course;
        NavSources[kNavVor1].course = 0.0;
        NavSources[kNavVor2].course = 0.0;
    }
    void TearDown() override {
        NavSources[kNavVor1].course = saved_courses_[0];
        NavSources[kNavVor2].course = saved_courses_[1];
    }
    static void PowerEssentials(bool on) {
        BusPowered.set(kPoweredLeftEssential, on ? 1 : 0);
        BusPowered.set(kPoweredRightEssential, on ? 1 : 0);
    }
    double saved_courses_[2] = {};
};

// ---------------------------------------------------------------------------
// Altimeters

TEST_F(FlightDialsTest, AltitudeDrumsFollowTheirDigitsAndRollFromTheDrumBelow) {
    AltimeterDrumState s{};
    s.whole = 12345;
    AltitudeDrums(&s, false);
    EXPECT_EQ(s.drum[0], 88);
    EXPECT_EQ(s.drum[1], 80);
    EXPECT_EQ(s.drum[2], 90);
    EXPECT_EQ(s.drum[3], 100);

    // The hundreds drum rolls over the last tenth of the twenty-foot drum:
    // r 91..99 on the pilots' altimeters, 82..99 on the standby.
    s.whole = 12395;
    AltitudeDrums(&s, false);
    EXPECT_EQ(s.drum[1], 75);
    AltitudeDrums(&s, true);
    EXPECT_EQ(s.drum[1], 73);
    s.whole = 12385;
    AltitudeDrums(&s, false);
    EXPECT_EQ(s.drum[1], 80);
    AltitudeDrums(&s, true);
    EXPECT_EQ(s.drum[1], 78);

    // A roll ripples up while each drum below is in its last tenth.
    s.whole = 19999;
    AltitudeDrums(&s, false);
    EXPECT_EQ(s.drum[1], 11);
    EXPECT_EQ(s.drum[2], 11);
    EXPECT_EQ(s.drum[3], 91);
}

TEST_F(FlightDialsTest, SettingWindowsShowHectopascalsAndInches) {
    int32_t d[4];
    SettingDrums(10132, d);  // 1013.2
    EXPECT_EQ(d[0], 78);
    EXPECT_EQ(d[1], 100);
    EXPECT_EQ(d[2], 110);
    EXPECT_EQ(d[3], 100);
    SettingDrums(29920, d);  // 29.920
    EXPECT_EQ(d[0], 90);
    EXPECT_EQ(d[1], 20);
    EXPECT_EQ(d[2], 20);
    EXPECT_EQ(d[3], 90);
}

TEST_F(FlightDialsTest, PointerTurnsOncePerThousandFeetAndBackwardsBelowZero) {
    EXPECT_EQ(AltimeterPointerAngle(0, false), -90);
    EXPECT_EQ(AltimeterPointerAngle(250, false), 0);
    EXPECT_EQ(AltimeterPointerAngle(1250, false), 0);
    EXPECT_EQ(AltimeterPointerAngle(300, true), -198);
    // Huge altitudes do not overflow.
    EXPECT_GE(AltimeterPointerAngle(std::numeric_limits<int32_t>::max(), false), -90);
}

TEST_F(FlightDialsTest, ShownAltitudeFollowsTheBaroAltitudeAt25FeetAFrame) {
    gauge::GaugeHeader* g = Gauge("Altimeter1");
    PowerEssentials(true);
    AltimeterShownAltitude1 = 1000;
    BaroAltitude1 = 1100.0f;
    int32_t seen[4];
    for (int32_t& v : seen) {
        RunFrame(g);
        v = AltimeterShownAltitude1;
    }
    EXPECT_EQ(seen[0], 1025);
    EXPECT_EQ(seen[1], 1050);
    EXPECT_EQ(seen[2], 1075);
    EXPECT_EQ(seen[3], 1100);

    // With both essential buses down the altimeter freezes.
    PowerEssentials(false);
    BaroAltitude1 = 2000.0f;
    RunFrame(g);
    EXPECT_EQ(AltimeterShownAltitude1, 1100);

    // The plain gauge keeps the other side current; the touch gauge does not.
    BaroAltitude2 = 4321.7f;
    RunFrame(g);
    EXPECT_EQ(AltimeterShownAltitude2, 4321);
    AltimeterShownAltitude2 = 0;
    RunFrame(Gauge("Altimeter1_touch"));
    EXPECT_EQ(AltimeterShownAltitude2, 0);
}

TEST_F(FlightDialsTest, AltimeterElementsShowDrumsPointerAndNegativeAltitude) {
    gauge::GaugeHeader* g = Gauge("Altimeter2");
    PowerEssentials(true);
    AltimeterShownAltitude2 = 12345;
    BaroAltitude2 = 12345.0f;
    Frame f = RunFrame(g);
    EXPECT_EQ(f.value[2], 88);
    EXPECT_EQ(f.value[3], 88);
    EXPECT_EQ(f.value[4], 80);
    EXPECT_EQ(f.value[5], 90);
    EXPECT_EQ(f.value[6], 100);
    EXPECT_EQ(f.value[16], (12345 * 360 / 1000) % 360 - 90);

    AltimeterShownAltitude2 = -300;
    BaroAltitude2 = -300.0f;
    f = RunFrame(g);
    EXPECT_EQ(AltimeterDrums[kAltimeter2].whole, 300);
    EXPECT_EQ(AltimeterDrums[kAltimeter2].negative, 1);
    EXPECT_EQ(f.value[4], 80);  // hundreds digit 3
    EXPECT_EQ(f.value[6], 0);   // ten-thousands drum shows the negative flag
    EXPECT_EQ(f.value[16], -198);
}

TEST_F(FlightDialsTest, OffFlagSlidesInOverSixFramesAndFollowsTheAirDataTest) {
    gauge::GaugeHeader* g = Gauge("Altimeter1");
    // Unpowered: the travel grows 2 a frame, the element's value falls to 0.
    Altimeter1Baro.off_flag = 0;
    for (int i = 1; i <= 6; ++i) {
        Frame f = RunFrame(g);
        EXPECT_EQ(Altimeter1Baro.off_flag, 2 * i);
        EXPECT_EQ(f.value[15], 12 - 2 * i);
    }
    RunFrame(g);
    EXPECT_EQ(Altimeter1Baro.off_flag, 12);
    PowerEssentials(true);
    for (int i = 0; i < 6; ++i) RunFrame(g);
    EXPECT_EQ(Altimeter1Baro.off_flag, 0);
    AirDataFlags[0] = 1;
    RunFrame(g);
    EXPECT_EQ(Altimeter1Baro.off_flag, 2);
    EXPECT_EQ(Altimeter2Baro.off_flag, 12);  // the other side keeps its own
}

TEST_F(FlightDialsTest, SettingKnobsStepAQuarterAndStopAtTheirEnds) {
    Click("Altimeter1", 2);
    EXPECT_FLOAT_EQ(Altimeter1Baro.hpa, 1013.5f);
    EXPECT_NEAR(Altimeter1Baro.inhg, 1013.5 * kInHgPerHpa, 1e-4);
    EXPECT_EQ(RefreshCountdown[kRefreshEngineInstruments], RefreshHoldCount2);
    Altimeter1Baro.hpa = 900.0f;
    RefreshCountdown[kRefreshEngineInstruments] = 0;
    Click("Altimeter1", 1);
    EXPECT_FLOAT_EQ(Altimeter1Baro.hpa, 900.0f);
    EXPECT_EQ(RefreshCountdown[kRefreshEngineInstruments], RefreshHoldCount2);
    StbyAltimeterBaro.hpa = 1150.0f;
    Click("Stby Altimeter", 2);
    EXPECT_FLOAT_EQ(StbyAltimeterBaro.hpa, 1150.0f);

    // Drag knob: clockwise zone to zone raises, counter-clockwise lowers,
    // a jump across changes nothing.
    Altimeter2Baro.hpa = 1013.25f;
    Click("Altimeter2_touch", 2);  // zone 0 -> 1
    Click("Altimeter2_touch", 3);  // 1 -> 2
    EXPECT_FLOAT_EQ(Altimeter2Baro.hpa, 1013.75f);
    Click("Altimeter2_touch", 2);  // 2 -> 1
    EXPECT_FLOAT_EQ(Altimeter2Baro.hpa, 1013.5f);
    Click("Altimeter2_touch", 4);  // 1 -> 3
    EXPECT_FLOAT_EQ(Altimeter2Baro.hpa, 1013.5f);
}

TEST_F(FlightDialsTest, StandbyReadsFromPressureAltitudeWithItsOwnStandard) {
    gauge::GaugeHeader* g = Gauge("Stby Altimeter");
    PressureAltitude = 5000.0f;
    RunFrame(g);
    EXPECT_NEAR(AltimeterDrums[kStbyAltimeter].source, 5007.6, 0.01);
    EXPECT_EQ(AltimeterDrums[kStbyAltimeter].whole, 5007);
    RefreshCountdown[kRefreshEngineInstruments] = 1;
    const Frame f = RunFrame(g);
    for (int k : {11, 12, 13, 14, 15, 18}) EXPECT_FALSE(f.shown.at(k)) << k;
    EXPECT_TRUE(f.shown.at(10));
}

TEST_F(FlightDialsTest, AlertLampAndLightingFollowTheirFlags) {
    gauge::GaugeHeader* g = Gauge("Altimeter1");
    PfdAdvisoryFlag = 1;
    PanelLightingCircuit3.set(1);
    Frame f = RunFrame(g);
    EXPECT_TRUE(f.shown[18]);
    EXPECT_TRUE(f.shown[0]);
    EXPECT_FALSE(f.shown[1]);
    EXPECT_TRUE(f.shown[17]);
    EXPECT_FALSE(f.shown[16]);
    PfdAdvisoryFlag = 0;
    PanelLightingCircuit3.set(0);
    RefreshCountdown[kRefreshEngineInstruments] = 1;
    f = RunFrame(g);
    EXPECT_FALSE(f.shown[18]);
    EXPECT_FALSE(f.shown[0]);
    EXPECT_TRUE(f.shown[16]);
}

// ---------------------------------------------------------------------------
// Airspeed indicators

TEST_F(FlightDialsTest, AirspeedNeedleAndMaximumSpeedPointer) {
    EXPECT_DOUBLE_EQ(AirspeedNeedleAngle(30.0f), -65.25);
    EXPECT_DOUBLE_EQ(AirspeedNeedleAngle(400.0f), AirspeedNeedleAngle(380.0f));
    EXPECT_DOUBLE_EQ(AirspeedNeedleAngle(150.9f), 150 * 0.915 - 111);
    EXPECT_DOUBLE_EQ(AirspeedNeedleAngle(std::nanf("")), -65.25);
    EXPECT_DOUBLE_EQ(MaxSpeedKnots(10000.0f), 242.0);
    EXPECT_NEAR(MaxSpeedKnots(20000.0f), 222.9, 0.01);
    Altitude = 20000.0f;
    IndicatedAirspeed = 123.7f;
    Frame f = RunFrame(Gauge("Speedometer1"));
    EXPECT_NEAR(f.value[3], 97.40, 0.005);
    EXPECT_DOUBLE_EQ(f.value[2], 23);  // knots strip
}

// The knots strip shows the whole knots modulo 100 within its travel of 2 to
// 106: 0 and 1 (at rest, at 100 and 101 kt) stand at 2.
TEST_F(FlightDialsTest, KnotsStripStaysWithinItsTravel) {
    const struct {
        float knots;
        double shown;
    } kCases[] = {{0.0f, 2},   {1.9f, 2},   {2.0f, 2},   {3.5f, 3},    {99.9f, 99},
                  {100.4f, 2}, {101.0f, 2}, {102.0f, 2}, {150.0f, 50}, {-20.0f, 2}};
    for (const auto& c : kCases) {
        IndicatedAirspeed = c.knots;
        EXPECT_DOUBLE_EQ(RunFrame(Gauge("Speedometer2")).value[2], c.shown) << c.knots;
    }
}

TEST_F(FlightDialsTest, SpeedKnobStepsTwoKnotsBetweenItsStops) {
    for (int i = 0; i < 75; ++i) Click("Speedometer1", 1);
    EXPECT_EQ(AirspeedSide[0].knob, 50);
    Click("Speedometer1", 1);
    EXPECT_EQ(AirspeedSide[0].knob, 50);
    for (int i = 0; i < 175; ++i) Click("Speedometer1", 2);
    EXPECT_EQ(AirspeedSide[0].knob, 400);
    EXPECT_EQ(AirspeedSide[1].knob, 200);
    // The touch knob of side 2 shares side 2's bug.
    Click("Speedometer2_touch", 2);  // zone 0 -> 1
    EXPECT_EQ(AirspeedSide[1].knob, 202);
    Click("Speedometer2_touch", 1);  // 1 -> 0
    Click("Speedometer2_touch", 4);  // 0 -> 3
    EXPECT_EQ(AirspeedSide[1].knob, 198);
    Frame f = RunFrame(Gauge("Speedometer2"));
    EXPECT_DOUBLE_EQ(f.value[11], 198 * 0.915 - 111);
    EXPECT_DOUBLE_EQ(f.value[13], 198 * 2.7 - 110);
}

TEST_F(FlightDialsTest, DialClicksMoveTheTwoBugsInTurn) {
    AirspeedDialClick(0, 0, 500, 1024, 768);  // fx 0, fy positive
    EXPECT_EQ(AirspeedSide[0].bug_b, 177);
    EXPECT_EQ(AirspeedSide[0].bug_a, 0);
    AirspeedDialClick(0, 1024, 768, 1024, 768);  // fx 169, fy 84: atan 26.4
    EXPECT_EQ(AirspeedSide[0].bug_a, 23);
    AirspeedDialClick(0, 100, 0, 1024, 768);  // fy -47 over fx 16: below -70
    EXPECT_EQ(AirspeedSide[0].bug_b, -73);
    // Without a display size the click is ignored.
    AirspeedDialClick(0, 10, 10, 0, 768);
    EXPECT_EQ(AirspeedSide[0].toggle, 0);
    EXPECT_EQ(AirspeedSide[0].bug_b, -73);
    // Through the rectangle: the plain gauge scales by DisplayPixelSize2.
    DisplayPixelSize2[0] = 0;
    Click("Speedometer2", 3, 10, 10);
    EXPECT_EQ(AirspeedSide[1].bug_b, 10);
    DisplayPixelSize2[0] = 1024;
    Click("Speedometer2", 3, 0, 10);
    EXPECT_EQ(AirspeedSide[1].bug_b, -3);
}

TEST_F(FlightDialsTest, AirspeedLightingSwapsCopiesAndBrightensTheStrip) {
    PanelLightingCircuit3.set(1);
    RefreshCountdown[kRefreshAll] = 1;
    gauge::GaugeHeader* g = Gauge("Speedometer1_touch");
    const Frame f = RunFrame(g);
    for (int k : {0, 4, 6, 8, 10, 12, 14}) EXPECT_TRUE(f.shown.at(k)) << k;
    for (int k : {1, 3, 5, 7, 9, 11, 13}) EXPECT_FALSE(f.shown.at(k)) << k;
    EXPECT_NE(ElementListWalk(FirstElement(g), 2)->image_flags & gauge::kImageLuminous, 0u);
}

// ---------------------------------------------------------------------------
// Clocks

// Clock elements are numbered after the backdrop.
int ClockElement(int k) {
    return k + 1;
}

TEST_F(FlightDialsTest, ClockShowsItsTextsWhilePowered) {
    gauge::GaugeHeader* g = Gauge("clock1");
    std::strcpy(Clock1State.texts[0], "15");
    std::strcpy(Clock1State.texts[1], "01");
    std::strcpy(Clock1State.texts[2], "12");
    BusPowered.set(kPoweredLeftEssential, 1);
    RefreshCountdown[kRefreshSelectors] = 1;
    Frame f = RunFrame(g);
    EXPECT_EQ(f.text[ClockElement(13)], "12");
    EXPECT_EQ(f.text[ClockElement(14)], "01");
    EXPECT_EQ(f.text[ClockElement(15)], "15");
    // clock2 hangs on the right main DC bus, so it stays blank.
    RefreshCountdown[kRefreshSelectors] = 1;
    f = RunFrame(Gauge("clock2"));
    EXPECT_FALSE(f.shown[ClockElement(13)]);
    BusPowered.set(kPoweredLeftEssential, 0);
    RefreshCountdown[kRefreshSelectors] = 1;
    f = RunFrame(g);
    for (int k = 13; k <= 15; ++k) EXPECT_FALSE(f.shown[ClockElement(k)]);
}

TEST_F(FlightDialsTest, ClockSwitchesSetTheirWordsAndImages) {
    gauge::GaugeHeader* g = Gauge("clock2");
    Clock2State.time_of_day[0] = 42;
    Click("clock2", 3);  // switch A at 1 takes the seconds
    EXPECT_EQ(Clock2State.set_control, 1);
    EXPECT_EQ(Clock2State.entered_value, 42);
    EXPECT_EQ(RefreshCountdown[kRefreshSelectors], RefreshHoldCount2);
    Click("clock2", 9);   // mode switch at 1: chronometer
    Click("clock2", 10);  // switch D at -1: reset
    EXPECT_EQ(Clock2State.chrono_control, -1);
    Frame f = RunFrame(g);
    EXPECT_EQ(Clock2State.display_mode, 2);
    // Images of a switch are for -1, 1, 0: A at 1 shows its second image.
    EXPECT_FALSE(f.shown[ClockElement(1)]);
    EXPECT_TRUE(f.shown[ClockElement(2)]);
    EXPECT_FALSE(f.shown[ClockElement(3)]);
    EXPECT_TRUE(f.shown[ClockElement(10)]);
    Click("clock2", 7);
    RunFrame(g);
    EXPECT_EQ(Clock2State.display_mode, 0);

    // Switch B's position 1 is momentary.
    Click("clock2", 6);
    EXPECT_EQ(Clock2State.second_control, 1);
    RunFrame(g);
    EXPECT_EQ(Clock2State.second_control, 0);
    f = RunFrame(g);
    EXPECT_TRUE(f.shown[ClockElement(6)]);  // centre image
}

// The readouts' colour values 255 and 180 (0x00BBGGRR) are red and dim red.
TEST_F(FlightDialsTest, ClockReadoutsBrightenWithTheDisplayFlag) {
    gauge::GaugeHeader* g = Gauge("clock1");
    auto colours = [&] {
        std::vector<uint32_t> out;
        for (int k = 13; k <= 15; ++k) {
            out.push_back(reinterpret_cast<gauge::StringElement*>(
                              ElementListWalk(FirstElement(g), ClockElement(k)))
                              ->fg_colour);
        }
        return out;
    };
    const std::vector<uint32_t> kDimRed(3, 0x0000B4u);
    const std::vector<uint32_t> kRed(3, 0x0000FFu);
    BusPowered.set(kPoweredLeftEssential, 1);
    RefreshCountdown[kRefreshSelectors] = 2;
    RunFrame(g);
    EXPECT_EQ(RefreshCountdown[kRefreshClocksCaution], 0);
    EXPECT_EQ(colours(), kDimRed);  // as it starts
    Clock1State.display_bright = 1;
    RunFrame(g);
    EXPECT_EQ(RefreshCountdown[kRefreshClocksCaution], 4);
    EXPECT_EQ(colours(), kRed);
    Clock1State.display_bright = 0;
    RefreshCountdown[kRefreshSelectors] = 1;
    RunFrame(g);
    EXPECT_EQ(colours(), kDimRed);
}

// ---------------------------------------------------------------------------
// Course and heading selectors

TEST_F(FlightDialsTest, HeadingKnobWrapsRoundTheCompass) {
    FGC_comp_HSI1_heading_sel = 355;
    Click("Course_hdg_selector1", 6);  // +10
    EXPECT_EQ(FGC_comp_HSI1_heading_sel, 5);
    FGC_comp_HSI2_heading_sel = 3;
    Click("Course_hdg_selector2", 5);  // -10
    EXPECT_EQ(FGC_comp_HSI2_heading_sel, 353);
    Click("Course_hdg_selector2", 7);  // -1
    Click("Course_hdg_selector2", 8);  // +1
    Click("Course_hdg_selector2", 8);
    EXPECT_EQ(FGC_comp_HSI2_heading_sel, 354);
    EXPECT_EQ(RefreshCountdown[kRefreshSelectors], RefreshHoldCount);
}

TEST_F(FlightDialsTest, CourseKnobStepsTheSelectedSourceAndItsOwnNeedle) {
    NavSources[kNavVor1].course = 0.6;
    Click("Course_hdg_selector1", 3);  // -1
    EXPECT_DOUBLE_EQ(NavSources[kNavVor1].course, 0.0);
    EXPECT_EQ(CourseKnobDisplay[0], 24);
    NavSources[kNavVor1].course = 10.7;
    Click("Course_hdg_selector1", 4);  // +1
    EXPECT_DOUBLE_EQ(NavSources[kNavVor1].course, 11.0);
    Click("Course_hdg_selector1", 1);  // -10
    EXPECT_DOUBLE_EQ(NavSources[kNavVor1].course, 1.0);
    EXPECT_EQ(CourseKnobDisplay[0], 15);

    // Another source: the needle keeps its value until the knob turns.
    NavSourceSel1 = kNavVor2;
    NavSources[kNavVor2].course = 200.0;
    Frame f = RunFrame(Gauge("Course_hdg_selector1"));
    EXPECT_DOUBLE_EQ(f.value[2], 15);  // course needle (after the backdrop)
    Click("Course_hdg_selector1", 2);  // +10
    EXPECT_DOUBLE_EQ(NavSources[kNavVor2].course, 210.0);
    EXPECT_EQ(CourseKnobDisplay[0], 25);
    EXPECT_EQ(CourseKnobDisplay[1], 25);

    // A course that is not a number, or far out of range, comes back on the dial.
    NavSources[kNavVor2].course = std::nan("");
    Click("Course_hdg_selector1", 4);
    EXPECT_DOUBLE_EQ(NavSources[kNavVor2].course, 1.0);
    NavSources[kNavVor2].course = -1e12;
    Click("Course_hdg_selector1", 4);
    EXPECT_GE(NavSources[kNavVor2].course, 0.0);
    EXPECT_LT(NavSources[kNavVor2].course, 360.0);

    // A selection outside the sources steps only the needle.
    NavSourceSel2 = 12;
    Click("Course_hdg_selector2", 2);
    EXPECT_EQ(CourseKnobDisplay[1], 35);
}

TEST_F(FlightDialsTest, TouchKnobsAccelerateWhenTurnedQuickly) {
    TickCounter = 100;
    Click("Course_hdg_selector1_touch", 2);  // course zone 0 -> 1
    EXPECT_EQ(CourseKnobDisplay[0], 26);
    Click("Course_hdg_selector1_touch", 3);
    EXPECT_EQ(CourseKnobDisplay[0], 27);
    Click("Course_hdg_selector1_touch", 4);
    EXPECT_EQ(CourseKnobDisplay[0], 32);
    Click("Course_hdg_selector1_touch", 3);  // back: counter-clockwise, still quick
    EXPECT_EQ(CourseKnobDisplay[0], 27);
    // The heading knob keeps its own state.
    Click("Course_hdg_selector1_touch", 6);
    EXPECT_EQ(FGC_comp_HSI1_heading_sel, 1);
    TickCounter = 0;
}

TEST_F(FlightDialsTest, SelectorLightingShowsLitCopiesOutsideTheVirtualCockpit) {
    gauge::GaugeHeader* g = Gauge("Course_hdg_selector2");
    PanelLightingCircuit4.set(1);
    RefreshCountdown[kRefreshSelectors] = 2;
    Frame f = RunFrame(g);
    EXPECT_TRUE(f.shown[1]);   // lit face
    EXPECT_FALSE(f.shown[2]);  // unlit course needle
    EXPECT_TRUE(f.shown[3]);
    const char* saved = g->parameters;
    g->parameters = "VC";
    f = RunFrame(g);
    g->parameters = saved;
    EXPECT_FALSE(f.shown[1]);
    EXPECT_TRUE(f.shown[2]);
}

// ---------------------------------------------------------------------------
// Artwork

TEST_F(FlightDialsTest, ElementListsHaveTheirLengthsAndEveryBitmapExists) {
    const std::map<std::string, int> lengths = {{"Course_hdg_selector1", 6},
                                                {"Course_hdg_selector1_touch", 6},
                                                {"Course_hdg_selector2", 6},
                                                {"clock1", 17},
                                                {"clock2", 17},
                                                {"Speedometer1", 15},
                                                {"Speedometer1_touch", 15},
                                                {"Speedometer2", 15},
                                                {"Speedometer2_touch", 15},
                                                {"Altimeter1", 20},
                                                {"Altimeter1_touch", 20},
                                                {"Altimeter2", 20},
                                                {"Altimeter2_touch", 20},
                                                {"Stby Altimeter", 20},
                                                {"Stby Altimeter_touch", 20}};
    for (const auto& [name, length] : lengths) {
        gauge::GaugeHeader* g = Gauge(name.c_str());
        ASSERT_NE(g, nullptr) << name;
        ASSERT_NE(g->element_list, nullptr) << name;
        int count = 0;
        for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr && count <= length;
             e = e->next_element[0], ++count) {
            if (e->type == gauge::ElementType::String) continue;
            EXPECT_NE(FindResource(e->resource_id), nullptr) << name << " " << e->resource_id;
            if (e->type == gauge::ElementType::MovingImage) {
                const auto* m = reinterpret_cast<gauge::MovingImageElement*>(e);
                EXPECT_NE(FindResource(m->mask_resource_id), nullptr) << name;
            }
        }
        EXPECT_EQ(count, length) << name;
    }
}

// The drum strips are drawn for the drum formulas: a strip placed at its
// window and shifted by the drum value shows the label's row at the
// window's middle, inside the strip.
TEST_F(FlightDialsTest, DrumStripsCoverEveryDrumValue) {
    const gauge::BitmapResource* digits = FindResource(fd::kAltDigitStrip);
    ASSERT_NE(digits, nullptr);
    for (int v = 0; v <= 110; ++v) {
        const double row = fd::kDrumHeight / 2.0 - v * fd::kDrumScale;
        EXPECT_LT(row + fd::kDrumHeight / 2.0, digits->height + 1) << v;
    }
    const gauge::BitmapResource* low = FindResource(fd::kSetLowStripHpa);
    ASSERT_NE(low, nullptr);
    EXPECT_GE(low->height,
              fd::kSetDrumHeight / 2.0 - 110 * fd::kSetLowScale + fd::kSetDrumHeight / 2.0);
    const gauge::BitmapResource* strip = FindResource(fd::kAsiStrip);
    ASSERT_NE(strip, nullptr);
    EXPECT_GE(strip->width, fd::kAsiStripWindowWidth - 99 * fd::kAsiStripScale);
}

}  // namespace
}  // namespace zu
