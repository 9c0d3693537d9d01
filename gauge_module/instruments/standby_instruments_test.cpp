#include "instruments/standby_instruments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "cabin_link/instructor_state_exchange.h"
#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/systems_tick.h"
#include "instruments/gauge_framework.h"
#include "instruments/standby_instruments_layout.h"
#include "resources/resource_table.h"

namespace zu {
namespace {

namespace sl = standby_layout;

gauge::GaugeHeader* Gauge(const char* name) {
    for (gauge::GaugeHeader& g : GaugeTable) {
        if (std::strcmp(g.name, name) == 0) return &g;
    }
    return nullptr;
}

// What the host keeps of one element after a frame.
struct Shown {
    bool hidden = true;
    bool lit = false;
    double value = 0.0;
    double x = 0.0;
    double y = 0.0;
};

std::map<uint32_t, double> g_sources;  // simulator variables by number

// One frame as the host runs it: the update service, then each shown
// element's source variable and callbacks, in list order. Index 0 is the
// gauge's first element (a backdrop where the gauge has one).
std::map<int, Shown> RunFrame(gauge::GaugeHeader* g) {
    g->gauge_callback(g, gauge::kServiceUpdate, 0);
    std::map<int, Shown> out;
    int k = 0;
    for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0], ++k) {
        Shown& s = out[k];
        s.hidden = (e->image_flags & gauge::kImageHidden) != 0;
        s.lit = (e->image_flags & gauge::kImageLuminous) != 0;
        if (s.hidden) continue;
        if (e->source_token != 0) e->source_value = g_sources[e->source_token];
        s.value = e->callback != nullptr ? e->callback(e) : e->source_value;
        if (e->type == gauge::ElementType::Sprite) {
            auto* sp = reinterpret_cast<gauge::SpriteElement*>(e);
            if (sp->x_callback != nullptr) s.x = sp->x_callback(e);
            if (sp->y_callback != nullptr) s.y = sp->y_callback(e);
        } else if (e->type == gauge::ElementType::MovingImage) {
            auto* mi = reinterpret_cast<gauge::MovingImageElement*>(e);
            s.x = s.value * mi->x_scale;
            s.y = mi->y_callback(e) * mi->y_scale;
        }
    }
    return out;
}

class StandbyInstruments : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&Electrics_sys, 0, sizeof Electrics_sys);
        std::fill(std::begin(RefreshCountdown), std::end(RefreshCountdown), 0);
        g_sources.clear();
        RmiSourceSelect1 = RmiSourceSelect2 = 0;
        StbyAttitudeFlagTravel = RmiHeadingFlagTravel = 0;
        InstructorDisplayValues = {};
        RemoteDisplayCountdown = 0;
        ControlSurfacePositions[0] = ControlSurfacePositions[2] = 0.0f;
        for (int32_t& p : RollSpoilerPressure) p = 3000;
        IndicatedAirspeed = 200.0f;
        BusPowered2.set(1, 1);
        Ahrs1 = {};
        for (int i = 0; i < kNavSourceCount; ++i) NavSources[i].bearing = 90.0;
    }
    void TearDown() override {
        for (int32_t& p : RollSpoilerPressure) p = 0;
        IndicatedAirspeed = 0.0f;
        ControlSurfacePositions[0] = ControlSurfacePositions[2] = 0.0f;
    }
    // Re-evaluates a gauge's images: the refresh-all countdown re-arms its
    // group for the next frame.
    static std::map<int, Shown> Refreshed(const char* name) {
        RefreshCountdown[kRefreshAll] = 1;
        return RunFrame(Gauge(name));
    }
};

// ---------------------------------------------------------------------------
// Standby attitude indicator: backdrop, 0 lit face, 1 ball, 2 bank index,
// 3 aircraft, 4 flag (indices + 1 below).

TEST_F(StandbyInstruments, AttitudeBallHoldsPitchAndMovesAcrossTheBank) {
    gauge::GaugeHeader* g = Gauge("Stby attitude");
    g_sources[kStbyPitchToken] = 75.0;
    std::map<int, Shown> f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[2].value, 0.0);  // wings level
    EXPECT_NEAR(f[2].x, 0.0, 1e-9);
    EXPECT_NEAR(f[2].y, 60.0 * sl::kStbyPixelsPerDegree, 1e-9);  // held at 60
    g_sources[kStbyPitchToken] = -80.0;
    f = RunFrame(g);
    EXPECT_NEAR(f[2].y, -60.0 * sl::kStbyPixelsPerDegree, 1e-9);

    // The bank index alone follows token 0x50; turned anticlockwise for a
    // right bank.
    g_sources[kStbyPitchToken] = 0.0;
    g_sources[kStbyBankToken] = 30.0;
    f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[3].value, -30.0);

    // A not-a-number pitch shows level.
    g_sources[kStbyPitchToken] = std::nan("");
    f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[2].y, 0.0);
}

TEST_F(StandbyInstruments, AttitudeWarningFlagSlidesInWithoutTheLeftEssentialBus) {
    gauge::GaugeHeader* g = Gauge("Stby attitude");
    std::map<int, Shown> f;
    for (int i = 0; i < 20; ++i) f = RunFrame(g);
    EXPECT_EQ(StbyAttitudeFlagTravel, 16);
    EXPECT_DOUBLE_EQ(f[5].x, 4.0);  // fully in view
    EXPECT_DOUBLE_EQ(f[5].y, 20.0);
    BusPowered.set(kPoweredLeftEssential, 1);
    for (int i = 0; i < 15; ++i) RunFrame(g);
    EXPECT_EQ(StbyAttitudeFlagTravel, 1);
    f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[5].x, 20.0);  // out of view
    EXPECT_DOUBLE_EQ(f[5].y, 4.0);
    RunFrame(g);
    EXPECT_EQ(StbyAttitudeFlagTravel, 0);
}

// ---------------------------------------------------------------------------
// PFCS: backdrop, 0 lit face, 1/2 left inner, 3/4 right inner, 5/6 left
// outer, 7/8 right outer, 9/10 fourth surface (indices + 1 below).

TEST_F(StandbyInstruments, SpoilerNeedlesFollowLeftRollWithinTheirSpeedAndPressure) {
    gauge::GaugeHeader* g = Gauge("PFCS");
    ControlSurfacePositions[0] = -0.1f;
    std::map<int, Shown> f = RunFrame(g);
    EXPECT_NEAR(f[2].value, 18.2, 1e-4);  // left inner
    EXPECT_DOUBLE_EQ(f[6].value, 0.0);    // left outer: above 140 kt
    EXPECT_DOUBLE_EQ(f[4].value, 180.0);  // right needles stay
    EXPECT_DOUBLE_EQ(f[8].value, 180.0);

    IndicatedAirspeed = 120.0f;
    f = RunFrame(g);
    EXPECT_NEAR(f[2].value, 18.2, 1e-4);
    EXPECT_NEAR(f[6].value, 18.2, 1e-4);

    RollSpoilerPressure[0] = 400;  // exactly 400 keeps the needle at rest
    f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[2].value, 0.0);
    EXPECT_NEAR(f[6].value, 18.2, 1e-4);

    // Right roll: the right needles sweep back from 180.
    ControlSurfacePositions[0] = 0.1f;
    f = RunFrame(g);
    EXPECT_NEAR(f[4].value, 161.8, 1e-4);
    EXPECT_NEAR(f[8].value, 161.8, 1e-4);
    EXPECT_DOUBLE_EQ(f[6].value, 0.0);

    // Without the bus every spoiler rests and the fourth needle points up.
    BusPowered2.set(1, 0);
    ControlSurfacePositions[2] = 0.5f;
    f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[4].value, 180.0);
    EXPECT_DOUBLE_EQ(f[10].value, 270.0);
    BusPowered2.set(1, 1);
    f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[10].value, 255.0);
}

TEST_F(StandbyInstruments, SpoilerNeedlesShowTheInstructorValuesWhileTheyAreSupplied) {
    gauge::GaugeHeader* g = Gauge("PFCS");
    BusPowered2.set(1, 0);                     // no other condition applies
    InstructorDisplayValues.spoiler[0] = 0.1;  // left inner
    InstructorDisplayValues.spoiler[3] = 0.2;  // right outer
    RemoteDisplayCountdown = 10;
    std::map<int, Shown> f = RunFrame(g);
    EXPECT_NEAR(f[2].value, 18.2, 1e-9);
    EXPECT_NEAR(f[8].value, 180.0 - 36.4, 1e-9);
    EXPECT_DOUBLE_EQ(f[6].value, 0.0);
    EXPECT_DOUBLE_EQ(f[4].value, 180.0);
    RemoteDisplayCountdown = 0;
}

// ---------------------------------------------------------------------------
// RMI: 0 lit face, 1 unlit face, 2/3 card, 4 flag, 5/6 pointer 1, 7/8
// pointer 2, 9..12 knobs, 13..16 legends.

TEST_F(StandbyInstruments, RmiCardTurnsWithAhrs1AndPointersFollowTheirSources) {
    gauge::GaugeHeader* g = Gauge("RMI");
    Ahrs1.heading = 88.19824;
    NavSources[kNavVor1].bearing = 30.0;
    NavSources[kNavAdf1].bearing = 270.0;
    NavSources[kNavVor2].bearing = 45.0;
    NavSources[kNavAdf2].bearing = 10.0;
    std::map<int, Shown> f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[2].value, -88.19824);
    EXPECT_DOUBLE_EQ(f[5].value, -60.0);
    EXPECT_DOUBLE_EQ(f[7].value, -45.0);

    // A click swaps pointer 1 to the ADF at once and its images on the
    // next pass of the group.
    gauge::MouseRect* left = &g->mouse_rect[1];
    left->handler(nullptr, gauge::kMouseLeftSingle);
    EXPECT_EQ(RmiSourceSelect1, 1);
    EXPECT_EQ(RefreshCountdown[kRefreshRmi], RefreshHoldCount2);
    f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[5].value, 180.0);  // bearing 270 drawn from three o'clock
    EXPECT_FALSE(f[9].hidden);
    EXPECT_FALSE(f[13].hidden);
    EXPECT_TRUE(f[10].hidden);
    EXPECT_TRUE(f[14].hidden);
    EXPECT_TRUE(f[11].hidden);  // the right selector stays on VOR
    EXPECT_FALSE(f[12].hidden);

    g->mouse_rect[2].handler(nullptr, gauge::kMouseLeftSingle);
    f = RunFrame(g);
    EXPECT_DOUBLE_EQ(f[7].value, -80.0);
    EXPECT_FALSE(f[11].hidden);
    EXPECT_FALSE(f[15].hidden);
    left->handler(nullptr, gauge::kMouseLeftSingle);
    EXPECT_EQ(RmiSourceSelect1, 0);
}

TEST_F(StandbyInstruments, RmiHeadingFlagShowsWithoutTheAvionicsBusOrAValidHeading) {
    gauge::GaugeHeader* g = Gauge("RMI");
    for (int i = 0; i < 16; ++i) RunFrame(g);
    EXPECT_EQ(RmiHeadingFlagTravel, 16);
    AcBusPowered.set(3, 1);
    for (int i = 0; i < 16; ++i) RunFrame(g);
    EXPECT_EQ(RmiHeadingFlagTravel, 0);
    Ahrs1.valid[1] = 1;  // aligning
    for (int i = 0; i < 5; ++i) RunFrame(g);
    EXPECT_EQ(RmiHeadingFlagTravel, 5);
}

// With the panel lights on each gauge shows its lit copies (hiding the
// unlit ones) and lights what has no copy; off, the reverse.
TEST_F(StandbyInstruments, PanelLightingSwapsLitAndUnlitImages) {
    for (const bool lit : {true, false}) {
        PanelLightingCircuit3.set(lit ? 255 : 0);
        std::map<int, Shown> f = Refreshed("Stby attitude");
        EXPECT_EQ(f[1].hidden, !lit);
        for (int k = 2; k <= 5; ++k) EXPECT_EQ(f[k].lit, lit) << k;
        f = Refreshed("PFCS");  // 1 the lit face, then unlit/lit needle pairs
        for (int k = 1; k <= 11; ++k) EXPECT_EQ(f[k].hidden, (k % 2 == 0) == lit) << k;
        f = Refreshed("RMI");
        for (int k : {0, 3, 6, 8}) EXPECT_EQ(f[k].hidden, !lit) << k;
        for (int k : {1, 2, 5, 7}) EXPECT_EQ(f[k].hidden, lit) << k;
        for (int k : {4, 9, 16}) EXPECT_EQ(f[k].lit, lit) << k;
    }
}

TEST_F(StandbyInstruments, EveryElementHasItsBitmapAndThePointersPivotInside) {
    for (const char* name : {"Stby attitude", "PFCS", "RMI"}) {
        gauge::GaugeHeader* g = Gauge(name);
        ASSERT_NE(g->element_list, nullptr) << name;
        for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
            const gauge::BitmapResource* b = FindResource(e->resource_id);
            ASSERT_NE(b, nullptr) << name << " bitmap " << e->resource_id;
            if (e->type == gauge::ElementType::Needle) {
                const auto* n = reinterpret_cast<gauge::NeedleElement*>(e);
                EXPECT_LT(n->pivot.x, b->width) << name;
                EXPECT_LT(n->pivot.y, b->height) << name;
            }
            if (e->type == gauge::ElementType::Sprite) {
                EXPECT_NE(
                    FindResource(reinterpret_cast<gauge::SpriteElement*>(e)->mask_resource_id),
                    nullptr);
            }
        }
    }
    // The RMI's click zones lie on its face.
    const gauge::BitmapResource* face = FindResource(sl::kRmiFaceLit);
    for (int r = 1; r <= 2; ++r) {
        const gauge::MouseRect& m = Gauge("RMI")->mouse_rect[r];
        EXPECT_LE(m.x + m.width, face->width);
        EXPECT_LE(m.y + m.height, face->height);
    }
}

}  // namespace
}  // namespace zu
