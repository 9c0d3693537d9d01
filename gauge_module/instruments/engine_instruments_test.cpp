#include "instruments/engine_instruments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/systems_tick.h"
#include "instruments/engine_dials.h"
#include "instruments/gauge_framework.h"
#include "resources/resource_table.h"

namespace zu {
namespace {

namespace ed = engine_dials;

gauge::GaugeHeader* Gauge(const char* name) {
    for (gauge::GaugeHeader& g : GaugeTable) {
        if (std::strcmp(g.name, name) == 0) return &g;
    }
    return nullptr;
}

// What the host does for one gauge in one frame: the update service, then
// every shown element's source variable and callback in list order.
struct Frame {
    std::map<int, double> angle;  // element index -> needle angle
    std::string text;             // the readout
};

std::map<uint32_t, double> g_sources;  // simulator variables by number

Frame RunFrame(gauge::GaugeHeader* g) {
    g->gauge_callback(g, gauge::kServiceUpdate, 0);
    Frame f;
    int k = 0;
    for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr;
         e = e->next_element != nullptr ? e->next_element[0] : nullptr, ++k) {
        if ((e->image_flags & gauge::kImageHidden) != 0 || e->callback == nullptr) continue;
        if (e->source_token != 0) e->source_value = g_sources[e->source_token];
        const double v = e->callback(e);
        if (e->type == gauge::ElementType::Needle) f.angle[k] = v;
        if (e->type == gauge::ElementType::String) f.text = StringBuffer(e);
    }
    return f;
}

void PowerAllBuses(bool on) {
    for (const BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, on ? 1 : 0);
}

class EngineInstrumentsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&Electrics_sys, 0, sizeof Electrics_sys);
        std::fill(std::begin(RefreshCountdown), std::end(RefreshCountdown), 0);
        std::fill(std::begin(EngineTestCountdown), std::end(EngineTestCountdown), 0);
        FuelQtyTestCountdown = 0;
        for (float* v : {TorqueDisplay, PropRpmDisplay, NhDisplay, NlDisplay, IttDisplay, IttRaw,
                         FuelFlowValue, EngineDisplayValue, OilTempDisplay, OilPressDisplay}) {
            v[0] = v[1] = 0.0f;
        }
        IttCallCount[0] = IttCallCount[1] = 0;
        PowerplantState = {};
        SystemTimers = {};
        InstructorDisplayValues = {};
        RemoteDisplayCountdown = 0;
        EngineFailureWord1 = EngineFailureWord2 = 0;
        EngineOilQty[0] = 4.8f;
        EngineOilQty[1] = 5.2f;
        Nh1State = {};
        Nh2State = {};
        PropRpm[0] = PropRpm[1] = 0.0;
        IndicatedAirspeed = 0.0f;
        Altitude = 0.0f;
        g_sources.clear();
        // Unlit elements shown, as after a change with the lights off.
        for (int i = 1; i <= kEngineIndicatorCount; ++i) {
            RefreshCountdown[kRefreshEngineInstruments] = 1;
            GaugeTable[i].gauge_callback(&GaugeTable[i], gauge::kServiceUpdate, 0);
        }
        PowerAllBuses(true);
    }
};

TEST_F(EngineInstrumentsTest, TorqueOrderTestBeatsNormalUnpoweredBeatsTestRemoteBeatsAll) {
    gauge::GaugeHeader* g = Gauge("Torque1");
    PowerplantState.Torque[0] = 50.0;
    EXPECT_NEAR(RunFrame(g).angle[3], 50.0 * 32.938 * 0.058291 + 160.0, 1e-3);

    Autofeather.test[0] = 255;
    RunFrame(g);
    EXPECT_FLOAT_EQ(TorqueDisplay[0], 2009.218f);

    EngineTestCountdown[kTorque1Indicator] = 55;
    RunFrame(g);
    EXPECT_FLOAT_EQ(TorqueDisplay[0], 3419.0f);  // test beats the autofeather test

    BusPowered.set(kPoweredLeftMainDc, 0);
    RunFrame(g);
    EXPECT_FLOAT_EQ(TorqueDisplay[0], -245.0f);  // unpowered beats test

    RemoteDisplayCountdown = 750;
    RunFrame(g);
    EXPECT_NEAR(TorqueDisplay[0], 50.0 * 32.938, 1e-2);  // the remote display shows the raw value

    // A torque dip shows 0 while it runs and is counted by the needle.
    RemoteDisplayCountdown = 0;
    BusPowered.set(kPoweredLeftMainDc, 1);
    Autofeather.test[0] = 0;
    EngineTestCountdown[kTorque1Indicator] = 0;
    PowerplantState.TorqueDipCountdown[0] = 2;
    RunFrame(g);
    EXPECT_EQ(TorqueDisplay[0], 0.0f);
    EXPECT_EQ(PowerplantState.TorqueDipCountdown[0], 1);
}

TEST_F(EngineInstrumentsTest, TorqueReadoutAndOverLimitLampFollowTheTest) {
    gauge::GaugeHeader* g = Gauge("Torque2");
    gauge::ElementHeader* first = g->element_list[0];
    RunFrame(g);
    EXPECT_EQ(RunFrame(g).text, "   0");
    EXPECT_FALSE(ElementShown(first, 7));

    gauge::Point p{};
    Torque2MouseRect[1].handler(&p, gauge::kMouseLeftSingle);
    EXPECT_EQ(EngineTestCountdown[kTorque2Indicator], 55);
    int test_frames = 0;
    int lamp_frames = 0;
    float previous = TorqueDisplay[1];
    for (int i = 0; i < 60; ++i) {
        RunFrame(g);
        // The lamp follows the value of the previous frame (3419 is over the
        // limit).
        EXPECT_EQ(ElementShown(first, 7), previous > 3410.0f) << i;
        if (ElementShown(first, 7)) ++lamp_frames;
        if (TorqueDisplay[1] == 3419.0f) ++test_frames;
        previous = TorqueDisplay[1];
    }
    EXPECT_EQ(lamp_frames, test_frames);
    // The gauge callback and the needle both count the 55 down: 27 frames.
    EXPECT_EQ(test_frames, 27);
    // The readout runs a frame behind the needle (it comes first in the list).
    Frame f = RunFrame(g);
    EXPECT_EQ(f.text, "   0");
    EXPECT_FALSE(ElementShown(first, 7));

    EngineTestCountdown[kTorque2Indicator] = 10;
    RunFrame(g);
    EXPECT_EQ(RunFrame(g).text, "1038");

    // Without either display bus the readout is a single blank.
    BusPowered.set(kPoweredRightEssential, 0);
    BusPowered.set(kPoweredLeftEssential, 0);
    EXPECT_EQ(RunFrame(g).text, " ");
}

TEST_F(EngineInstrumentsTest, LightingSelectsLitOrUnlitCopiesWhileTheGroupRuns) {
    gauge::GaugeHeader* g = Gauge("Torque1");
    gauge::ElementHeader* first = g->element_list[0];
    // Nothing re-evaluates while no countdown runs.
    PanelLightingCircuit2.set(255);
    RunFrame(g);
    EXPECT_FALSE(ElementShown(first, 0));
    EXPECT_TRUE(ElementShown(first, 1));

    RefreshCountdown[kRefreshAll] = 1;  // an electrical change
    RunFrame(g);
    for (int lit : {0, 4, 6}) EXPECT_TRUE(ElementShown(first, lit)) << lit;
    for (int unlit : {1, 3, 5}) EXPECT_FALSE(ElementShown(first, unlit)) << unlit;
    EXPECT_EQ(RefreshCountdown[kRefreshEngineInstruments], RefreshHoldCount - 1);

    // The oil dial follows the re-arming done by the others.
    gauge::GaugeHeader* oil = Gauge("Oil2");
    RunFrame(oil);
    EXPECT_TRUE(ElementShown(oil->element_list[0], 3));
    EXPECT_FALSE(ElementShown(oil->element_list[0], 2));

    PanelLightingCircuit2.set(0);
    RunFrame(g);
    for (int lit : {0, 4, 6}) EXPECT_FALSE(ElementShown(first, lit)) << lit;
    for (int unlit : {1, 3, 5}) EXPECT_TRUE(ElementShown(first, unlit)) << unlit;
}

TEST_F(EngineInstrumentsTest, PropellerSpeedScalesWithNhOnlySlowAndLow) {
    gauge::GaugeHeader* g = Gauge("Rpm1");
    PropRpm[0] = 1000.0;
    Nh1State.nh = 41.0f;  // between the table points 20 (0.13) and 62 (1.0)
    RunFrame(g);
    EXPECT_NEAR(PropRpmDisplay[0], 1000.0 * (1.0 - (62.0 - 41.0) / 42.0 * 0.87), 0.01);
    IndicatedAirspeed = 80.0f;
    RunFrame(g);
    EXPECT_FLOAT_EQ(PropRpmDisplay[0], 1000.0f);
    IndicatedAirspeed = 0.0f;
    Nh1State.nh = 61.0f;
    RunFrame(g);
    EXPECT_FLOAT_EQ(PropRpmDisplay[0], 1000.0f);

    BusPowered.set(kPoweredLeftEssential, 0);
    EXPECT_EQ(RunFrame(g).text, " ");
    EXPECT_FLOAT_EQ(PropRpmDisplay[0], -45.0f);
    RemoteDisplayCountdown = 10;
    RunFrame(g);
    EXPECT_FLOAT_EQ(PropRpmDisplay[0], 1000.0f);
}

TEST_F(EngineInstrumentsTest, SpoolSpeedsTestBeatsNormalUnpoweredBeatsTestNoRemote) {
    gauge::GaugeHeader* nh = Gauge("Nh2");
    gauge::GaugeHeader* nl = Gauge("NL1");
    Nh2State.nh = 87.25f;
    NLValue[0] = 91.5f;
    RunFrame(nh);
    RunFrame(nl);
    EXPECT_EQ(RunFrame(nh).text, " 872");  // tenths of a percent
    EXPECT_EQ(RunFrame(nl).text, " 915");
    EngineTestCountdown[kNh2Indicator] = 10;
    EngineTestCountdown[kNl1Indicator] = 10;
    RunFrame(nh);
    RunFrame(nl);
    EXPECT_FLOAT_EQ(NhDisplay[1], 105.0f);
    EXPECT_FLOAT_EQ(NlDisplay[0], 1050.0f);
    BusPowered.set(kPoweredLeftEssential, 0);  // Nh of both engines and NL1
    RemoteDisplayCountdown = 100;              // no remote step on these dials
    RunFrame(nh);
    RunFrame(nl);
    EXPECT_FLOAT_EQ(NhDisplay[1], -4.5f);
    EXPECT_FLOAT_EQ(NlDisplay[0], -45.0f);
    EXPECT_EQ(RunFrame(nh).text, " ");
}

TEST_F(EngineInstrumentsTest, IttUnpoweredBeatsRemoteAndLampShowsAboveLimit) {
    gauge::GaugeHeader* g = Gauge("Itt2");
    gauge::ElementHeader* first = g->element_list[0];
    InstructorDisplayValues.itt[1] = 850.0;
    RemoteDisplayCountdown = 100;
    EngineTestCountdown[kItt2Indicator] = 20;
    RunFrame(g);
    EXPECT_FLOAT_EQ(IttDisplay[1], 850.0f);  // remote beats test
    RunFrame(g);
    EXPECT_TRUE(ElementShown(first, 5));  // 850 > 800, shown on the next update

    BusPowered.set(kPoweredRightEssential, 0);
    RunFrame(g);
    EXPECT_FLOAT_EQ(IttDisplay[1], -63.0f);  // unpowered beats remote
    RunFrame(g);
    EXPECT_FALSE(ElementShown(first, 5));
}

TEST_F(EngineInstrumentsTest, IttSmoothsTowardTheRawValueAndComputesOnOddCalls) {
    gauge::GaugeHeader* g = Gauge("Itt1");
    Nh1State.nh = 90.0f;
    g_sources[631] = 1000.0;
    // Bleed on, Nh table 1.0, sea level 1.04851.
    const double raw = 1.04851 * 1000.0 * 0.393114;
    RunFrame(g);
    EXPECT_NEAR(IttRaw[0], raw, 1e-2);
    EXPECT_NEAR(IttDisplay[0], raw / 46.0, 1e-2);
    // The even call reuses the raw value even when the source changed.
    g_sources[631] = 2000.0;
    RunFrame(g);
    EXPECT_NEAR(IttRaw[0], raw, 1e-2);
    RunFrame(g);
    EXPECT_NEAR(IttRaw[0], 2.0 * raw, 2e-2);

    // Hot start raises the raw value by the table factor (1.5 near 600).
    EngineFailureWord1 = 0x20;
    g_sources[631] = 1800.0;  // 1800 * 0.2836 = 510: factor 1.5
    IttCallCount[0] = 0;
    RunFrame(g);
    EXPECT_NEAR(IttRaw[0], 1.5 * 1800.0 * 1.04851 * 0.393114, 0.05);
}

TEST_F(EngineInstrumentsTest, FuelFlowIsRateLimitedAndCapped) {
    gauge::GaugeHeader* g = Gauge("ff1");
    PropRpm[0] = 1000.0;  // factor 1.0
    g_sources[638] = 3000.0;
    SystemTimers.EngineStartTimer[0] = 300;
    RunFrame(g);
    EXPECT_FLOAT_EQ(FuelFlowValue[0], 0.5f);
    SystemTimers.EngineStartTimer[0] = 0;
    RunFrame(g);
    EXPECT_FLOAT_EQ(FuelFlowValue[0], 5.5f);
    FuelFlowValue[0] = 1599.0f;
    RunFrame(g);
    EXPECT_FLOAT_EQ(FuelFlowValue[0], 1600.0f);

    BusPowered.set(kPoweredLeftMainDc, 0);
    RunFrame(g);
    EXPECT_FLOAT_EQ(FuelFlowValue[0], -45.0f);
    InstructorDisplayValues.fuel_flow[0] = 700.0;
    RemoteDisplayCountdown = 5;
    RunFrame(g);
    EXPECT_FLOAT_EQ(FuelFlowValue[0], 700.0f);  // remote beats unpowered
}

TEST_F(EngineInstrumentsTest, OilPressureFlickersThenDecaysAndTemperatureClimbs) {
    gauge::GaugeHeader* g = Gauge("Oil1");
    g_sources[147] = 9000.0;
    g_sources[148] = 30000.0;
    EngineOilQty[0] = 0.3f;
    for (int i = 0; i < 50; ++i) {
        RunFrame(g);
        EXPECT_GE(OilPressDisplay[0], 30000.0f - 2250.0f);
        EXPECT_LE(OilPressDisplay[0], 30000.0f + 750.0f);
        EXPECT_FLOAT_EQ(OilTempDisplay[0], 9000.0f);
    }
    EngineOilQty[0] = 0.05f;  // below the flicker band: a pure decay
    const float before = OilPressDisplay[0];
    Frame f = RunFrame(g);
    EXPECT_FLOAT_EQ(OilPressDisplay[0], before * 0.975f);
    EXPECT_GT(OilTempDisplay[0], 9000.0f);
    EXPECT_NEAR(f.angle[4], 50.0 - OilPressDisplay[0] * 0.002, 1e-3);

    BusPowered.set(kPoweredLeftEssential, 0);
    RunFrame(g);
    EXPECT_EQ(OilPressDisplay[0], 0.0f);
    EXPECT_EQ(OilTempDisplay[0], 0.0f);
}

TEST_F(EngineInstrumentsTest, FuelQuantityTestRunsTowardItsReadingInBothIndicators) {
    gauge::GaugeHeader* g1 = Gauge("F_QTY1");
    gauge::GaugeHeader* g2 = Gauge("F_QTY2");
    g_sources[304] = 100.0;
    g_sources[303] = 100.0;
    RunFrame(g1);
    EXPECT_FLOAT_EQ(EngineDisplayValue[0], 2.0f);  // 2 per frame from 0
    FuelQtyTestCountdown = 135;
    for (int i = 0; i < 20; ++i) {
        RunFrame(g1);
        RunFrame(g2);
    }
    EXPECT_GT(EngineDisplayValue[0], 180.0f);
    EXPECT_LT(EngineDisplayValue[0], 444.0f);
    // Two callbacks and two needles share the countdown.
    EXPECT_EQ(FuelQtyTestCountdown, 135 - 20 * 4);
    BusPowered.set(kPoweredRightEssential, 0);
    RunFrame(g2);
    EXPECT_FLOAT_EQ(EngineDisplayValue[1], -32.0f);
}

TEST_F(EngineInstrumentsTest, TemperatureNeedlesReadTheirSources) {
    gauge::GaugeHeader* tank = Gauge("F_TANK_TEMP");
    g_sources[341] = 15.0;
    EXPECT_NEAR(RunFrame(tank).angle[2], 15.0 * 1.33333 + 270.0, 1e-3);
    BusPowered.set(kPoweredRightMainDc, 0);
    EXPECT_NEAR(RunFrame(tank).angle[2], -65.0 * 1.33333 + 270.0, 1e-3);

    gauge::GaugeHeader* temp = Gauge("F_TEMP");
    PowerAllBuses(false);  // no power check
    FuelTemp = 12.7f;
    Frame f = RunFrame(temp);
    EXPECT_DOUBLE_EQ(f.angle[2], 32.0 + 160.0);
    EXPECT_DOUBLE_EQ(f.angle[4], 20.0 - 32.0);
}

// Every needle points at the printed mark of the value it displays, and
// every bitmap the elements name is in the module.
TEST_F(EngineInstrumentsTest, NeedlesMatchTheirPrintedScalesAndBitmapsExist) {
    PowerplantState.Torque[0] = 60.0;
    EXPECT_NEAR(RunFrame(Gauge("Torque1")).angle[3],
                ed::ScaleAngle(ed::Layout(ed::Dial::Torque).scale[0], 60.0), 1e-3);
    NLValue[1] = 80.0f;
    EXPECT_NEAR(RunFrame(Gauge("NL2")).angle[3],
                ed::ScaleAngle(ed::Layout(ed::Dial::Nl).scale[0], 80.0), 1e-3);
    g_sources[182] = 90.0 * 150.0;  // 90 degrees C
    g_sources[183] = 60.0 * 375.0;  // 60 psi
    Frame oil = RunFrame(Gauge("Oil2"));
    EXPECT_NEAR(oil.angle[2], ed::ScaleAngle(ed::Layout(ed::Dial::Oil).scale[0], 90.0), 1e-3);
    EXPECT_NEAR(oil.angle[4], ed::ScaleAngle(ed::Layout(ed::Dial::Oil).scale[1], 60.0), 1e-3);

    for (int i = 1; i <= 18; ++i) {
        gauge::GaugeHeader* g = &GaugeTable[i];
        ASSERT_NE(g->element_list, nullptr) << g->name;
        for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
            if (e->type == gauge::ElementType::String) continue;
            const gauge::BitmapResource* b = FindResource(e->resource_id);
            ASSERT_NE(b, nullptr) << g->name << " bitmap " << e->resource_id;
            if (e->type == gauge::ElementType::Needle) {
                const auto* n = reinterpret_cast<gauge::NeedleElement*>(e);
                EXPECT_LT(n->pivot.x, b->width);
                EXPECT_LT(n->pivot.y, b->height);
            }
        }
    }
}

}  // namespace
}  // namespace zu
