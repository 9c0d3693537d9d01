#include "displays/sg_select_panels.h"

#include <gtest/gtest.h>

#include "core/electrical_system.h"
#include "core/flight_guidance_annunciation.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "instruments/gauge_framework.h"

namespace zu {
namespace {

class SgSelTest : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = Electrics_sys;
        Electrics_sys = {};
        NavSources[kNavVor1].computed_distance = 0;
        NavSources[kNavVor2].computed_distance = 0;
        VsiSelRequest1 = VsiSelRequest2 = 0;
        SgTransfer[0] = SgTransfer[1] = 0;
        MarkerBeacons = 0;
        TasDisplayCountdown[0] = TasDisplayCountdown[1] = 0;
    }
    void TearDown() override {
        Electrics_sys = saved_;
        NavSources[kNavVor1].computed_distance = 0;
        NavSources[kNavVor2].computed_distance = 0;
        VsiSelRequest1 = VsiSelRequest2 = 0;
        SgTransfer[0] = SgTransfer[1] = 0;
        MarkerBeacons = 0;
        TasDisplayCountdown[0] = TasDisplayCountdown[1] = 0;
        for (auto& r : TasDisplayRequest) r.store(0);
    }
    static bool Shown(int side, int k) {
        return ElementShown((side == 0 ? VSI1_SELElementList : VSI2_SELElementList)[0], k);
    }
    ElectricsRecord saved_{};
};

TEST_F(SgSelTest, DmeHoldNeedsItsSidesPowerAndRaisesTheRequest) {
    SgSelDmeHoldKey(0);  // no DME power: stays clear
    EXPECT_EQ(NavSources[kNavVor1].computed_distance, 0);
    EXPECT_EQ(VsiSelRequest1, 0);
    BusPowered.set(kPoweredRightMainDc, 1);  // side 2's DME power only
    SgSelDmeHoldKey(0);
    EXPECT_EQ(NavSources[kNavVor1].computed_distance, 0);
    SgSelDmeHoldKey(1);
    EXPECT_EQ(NavSources[kNavVor2].computed_distance, 1);
    EXPECT_EQ(VsiSelRequest2, 1);
    EXPECT_EQ(VsiSelRequest1, 0);
    SgSelVisibility(1);
    EXPECT_TRUE(Shown(1, kSgSelElemHold));
    VsiSelRequest2 = 0;
    SgSelDmeHoldKey(1);  // toggles off, no new request
    EXPECT_EQ(NavSources[kNavVor2].computed_distance, 0);
    EXPECT_EQ(VsiSelRequest2, 0);
}

TEST_F(SgSelTest, TasTransferAndMarkerLegends) {
    SgSelTasKey(1);
    EXPECT_EQ(TasDisplayRequest[1].load(), 1);
    EXPECT_EQ(TasDisplayRequest[0].load(), 0);
    TasDisplayCountdown[1] = 3;
    SgSelVisibility(1);
    EXPECT_FALSE(Shown(1, kSgSelElemTasLamp));  // lamp power off
    BusPowered.set(kPoweredRightEssential, 1);
    SgSelVisibility(1);
    EXPECT_TRUE(Shown(1, kSgSelElemTasLamp));

    SgSelTransferKey(0);
    SgSelVisibility(0);
    EXPECT_EQ(SgTransfer[0], 1);
    EXPECT_TRUE(Shown(0, kSgSelElemTransferLamp));
    SgSelTransferKey(0);
    SgSelVisibility(0);
    EXPECT_FALSE(Shown(0, kSgSelElemTransferLamp));

    // Marker legends need the side's marker power.
    MarkerBeacons = 4;
    SgSelVisibility(0);
    EXPECT_FALSE(Shown(0, kSgSelElemInner));
    AcBusPowered.set(3, 1);
    SgSelVisibility(0);
    EXPECT_TRUE(Shown(0, kSgSelElemInner));
    MarkerBeacons = 1;
    SgSelVisibility(0);
    EXPECT_TRUE(Shown(0, kSgSelElemOuter));
    EXPECT_FALSE(Shown(0, kSgSelElemInner));
    EXPECT_FALSE(Shown(0, kSgSelElemMiddle));
}

// The legends' lettering: "Arial" at weight 400 on every string element
// (DME, HOLD, TAS and the three marker legends), on both panels.
TEST_F(SgSelTest, LegendsAreArialAtWeight400) {
    for (gauge::ElementHeader** list : {VSI1_SELElementList, VSI2_SELElementList}) {
        for (int k : {1, 2, 3, 5, 6, 7}) {
            const auto* e =
                reinterpret_cast<const gauge::StringElement*>(ElementListWalk(list[0], k));
            ASSERT_NE(e, nullptr) << k;
            EXPECT_STREQ(e->font_name, "Arial") << k;
            EXPECT_EQ(e->font_weight, 400) << k;
        }
    }
}

}  // namespace
}  // namespace zu
