#include "panels/ahrs_panels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/ahrs.h"
#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/gauge_table.h"
#include "core/module_frame.h"
#include "instruments/gauge_framework.h"
#include "resources/resource_table.h"

namespace zu {
namespace {

gauge::GaugeHeader* Gauge(const char* name) {
    for (gauge::GaugeHeader& g : GaugeTable) {
        if (std::strcmp(g.name, name) == 0) return &g;
    }
    return nullptr;
}

// Elements after the plate: 0 lit overlay, 1 "DG", 2 "SLAVE", 3 "FAST",
// 4 "BASIC", 5 "AUXPR", 6/7 knob unlit/lit.
gauge::ElementHeader* Element(gauge::GaugeHeader* g, int k) {
    return ElementListWalk(g->element_list[0], k + 1);
}
bool Shown(gauge::GaugeHeader* g, int k) {
    return (Element(g, k)->image_flags & gauge::kImageHidden) == 0;
}

// Rectangles 1..5: slew left, slew right, DG, FAST, alignment.
void Click(gauge::GaugeHeader* g, int rect) {
    g->mouse_rect[rect].handler(nullptr, gauge::kMouseLeftSingle);
}

class AhrsPanels : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&Electrics_sys, 0, sizeof Electrics_sys);
        std::fill(std::begin(RefreshCountdown), std::end(RefreshCountdown), 0);
        Ahrs1 = {};
        Ahrs2 = {};
        AdcTestTimer1 = 0;
        FGC_comp_FGC1_system_test_timer = FGC_comp_FGC2_system_test_timer = 0;
        panel_ = Gauge("AHRS1_Panel");
        panel_->parameters = "";
    }
    void TearDown() override { Ahrs1 = Ahrs2 = AhrsRecord{}; }
    // One update with the panel's group running.
    void Refresh(gauge::GaugeHeader* g) {
        RefreshCountdown[kRefreshRadios] = RefreshHoldCount;
        g->gauge_callback(g, gauge::kServiceUpdate, 0);
    }
    gauge::GaugeHeader* panel_ = nullptr;
};

TEST_F(AhrsPanels, SlewSwitchStopsAtTwoEitherWayAndTheKnobShowsItsPosition) {
    EXPECT_DOUBLE_EQ(AhrsSlewKnobValue(Ahrs1), -90.0);  // centre: pointing up
    for (int i = 0; i < 4; ++i) Click(panel_, 2);
    EXPECT_EQ(+Ahrs1.slew_switch, 2);
    EXPECT_DOUBLE_EQ(AhrsSlewKnobValue(Ahrs1), 0.0);
    for (int i = 0; i < 5; ++i) Click(panel_, 1);
    EXPECT_EQ(+Ahrs1.slew_switch, -2);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount);
    EXPECT_DOUBLE_EQ(Element(panel_, 6)->callback(Element(panel_, 6)), -180.0);
    EXPECT_EQ(+Ahrs2.slew_switch, 0);  // the other AHRS is left alone
}

TEST_F(AhrsPanels, DgAndAlignmentNeedPowerWhileFastDoesNot) {
    Click(panel_, 3);
    Click(panel_, 5);
    EXPECT_EQ(+Ahrs1.gyro_mode, 0);
    EXPECT_EQ(+Ahrs1.align_countdown, 0);
    Ahrs1.powered = 1;
    Click(panel_, 3);
    EXPECT_EQ(+Ahrs1.gyro_mode, 1);
    Click(panel_, 3);
    EXPECT_EQ(+Ahrs1.gyro_mode, 0);
    Click(panel_, 5);
    EXPECT_EQ(+Ahrs1.align_countdown, kAhrsAlignTicks);

    // FAST during an alignment sets the request and clears it again; with
    // no alignment running it stays clear.
    Ahrs1.powered = 0;
    Click(panel_, 4);
    EXPECT_EQ(+Ahrs1.fast_align_request, 1);
    Click(panel_, 4);
    EXPECT_EQ(+Ahrs1.fast_align_request, 0);
    Ahrs1.align_countdown = 0;
    Click(panel_, 4);
    EXPECT_EQ(+Ahrs1.fast_align_request, 0);
}

TEST_F(AhrsPanels, LegendsFollowTheRecordOnlyWhilePowered) {
    Ahrs1.aligned = 1;
    Ahrs1.standby = 1;
    Ahrs1.test = 1;
    Refresh(panel_);
    for (int k = 1; k <= 5; ++k) EXPECT_FALSE(Shown(panel_, k)) << k;  // unpowered

    Ahrs1.powered = 1;
    Refresh(panel_);
    EXPECT_FALSE(Shown(panel_, 1));  // DG
    EXPECT_TRUE(Shown(panel_, 2));   // SLAVE: aligned, not in gyro mode
    EXPECT_FALSE(Shown(panel_, 3));  // FAST
    EXPECT_TRUE(Shown(panel_, 4));   // BASIC
    EXPECT_TRUE(Shown(panel_, 5));   // AUXPR

    Ahrs1.gyro_mode = 1;
    Ahrs1.fast_align_request = 1;
    Ahrs1.test = 0;
    Ahrs1.standby = 0;
    Refresh(panel_);
    EXPECT_TRUE(Shown(panel_, 1));
    EXPECT_FALSE(Shown(panel_, 2));
    EXPECT_TRUE(Shown(panel_, 3));
    EXPECT_FALSE(Shown(panel_, 4));
    EXPECT_FALSE(Shown(panel_, 5));

    // Each legend names itself in its own colour.
    const char* const kTexts[5] = {"DG", "SLAVE", "FAST", "BASIC", "AUXPR"};
    for (int k = 1; k <= 5; ++k) {
        gauge::ElementHeader* e = Element(panel_, k);
        EXPECT_DOUBLE_EQ(e->callback(e), 0.0);
        EXPECT_STREQ(StringBuffer(e), kTexts[k - 1]);
        EXPECT_EQ(reinterpret_cast<gauge::StringElement*>(e)->fg_colour,
                  k == 4 ? kAhrsLegendGreen : kAhrsLegendAmber);
    }
}

TEST_F(AhrsPanels, OnlyTheLampTestWithAnnunciatorPowerLightsEveryLegend) {
    AnnunciatorTestSwitch.set(1);  // the caution test
    BusPowered.set(kPoweredRightEssential, 1);
    Refresh(panel_);
    for (int k = 1; k <= 5; ++k) EXPECT_FALSE(Shown(panel_, k)) << k;
    AnnunciatorTestSwitch.set(2);
    Refresh(panel_);
    for (int k = 1; k <= 5; ++k) EXPECT_TRUE(Shown(panel_, k)) << k;
    BusPowered.set(kPoweredRightEssential, 0);
    Refresh(panel_);
    for (int k = 1; k <= 5; ++k) EXPECT_FALSE(Shown(panel_, k)) << k;
}

TEST_F(AhrsPanels, LightingSwapsTheKnobButNeverInTheVirtualCockpit) {
    PanelLightingCircuit2.set(255);
    Refresh(panel_);
    EXPECT_TRUE(Shown(panel_, 0));
    EXPECT_TRUE(Shown(panel_, 7));
    EXPECT_FALSE(Shown(panel_, 6));
    panel_->parameters = "VC";
    Refresh(panel_);
    EXPECT_EQ(AhrsPanelIsVc[0], 1);
    EXPECT_FALSE(Shown(panel_, 0));
    EXPECT_FALSE(Shown(panel_, 7));
    EXPECT_TRUE(Shown(panel_, 6));
    panel_->parameters = "";
    Refresh(panel_);
    EXPECT_EQ(AhrsPanelIsVc[0], 0);
}

TEST_F(AhrsPanels, KeepsRefreshingThroughTheAlignmentAndTheTests) {
    // Idle: the group runs down.
    RefreshCountdown[kRefreshRadios] = 2;
    panel_->gauge_callback(panel_, gauge::kServiceUpdate, 0);
    panel_->gauge_callback(panel_, gauge::kServiceUpdate, 0);
    panel_->gauge_callback(panel_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], 0);
    // Aligning: re-armed on every update.
    Ahrs1.align_countdown = 12;
    panel_->gauge_callback(panel_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount - 1);
    Ahrs1.align_countdown = 0;
    RefreshCountdown[kRefreshRadios] = 0;
    FGC_comp_FGC2_system_test_timer = 1;
    panel_->gauge_callback(panel_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount - 1);
    // The fine alignment after the countdown counts as aligning too, until
    // the AHRS has aligned.
    FGC_comp_FGC2_system_test_timer = 0;
    RefreshCountdown[kRefreshRadios] = 0;
    Ahrs1.powered = 1;
    Ahrs1.fine_align_countdown = 100;
    panel_->gauge_callback(panel_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount - 1);
    RefreshCountdown[kRefreshRadios] = 0;
    Ahrs1.aligned = 1;
    panel_->gauge_callback(panel_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], 0);
    // AHRS 2's alignment keeps only its own panel refreshing.
    FGC_comp_FGC2_system_test_timer = 0;
    RefreshCountdown[kRefreshRadios] = 0;
    Ahrs2.align_countdown = 5;
    panel_->gauge_callback(panel_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], 0);
}

TEST_F(AhrsPanels, EveryBitmapExistsAndTheClickZonesLieOnThePlate) {
    for (const char* name : {"AHRS1_Panel", "AHRS2_Panel"}) {
        gauge::GaugeHeader* g = Gauge(name);
        const gauge::BitmapResource* plate = FindResource(g->element_list[0]->resource_id);
        ASSERT_NE(plate, nullptr);
        for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
            if (e->type != gauge::ElementType::String) {
                EXPECT_NE(FindResource(e->resource_id), nullptr) << name;
            }
        }
        int rects = 0;
        for (gauge::MouseRect* m = g->mouse_rect + 1; m->kind != gauge::MouseRectKind::End; ++m) {
            EXPECT_LE(m->x + m->width, plate->width);
            EXPECT_LE(m->y + m->height, plate->height);
            ++rects;
        }
        EXPECT_EQ(rects, 5);
    }
}

}  // namespace
}  // namespace zu
