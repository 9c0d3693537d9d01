#include "fms/fms_nav_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/systems_tick.h"
#include "fms/fms_test_support.h"
#include "instruments/adf_control_heads.h"
#include "instruments/vor_control_heads.h"
#include "panels/display_control_panels.h"

namespace zu {
namespace {

class FmsNavOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fms_test::ResetFlightManagement();
        saved_sources_ = std::make_unique<Sources>();
        std::memcpy(saved_sources_->records, NavSources, sizeof NavSources);
        saved_electrics_ = Electrics_sys;
        FrameChangeBits.store(0x04);
        FmsPowered = 1;
    }
    void TearDown() override {
        std::memcpy(NavSources, saved_sources_->records, sizeof NavSources);
        Electrics_sys = saved_electrics_;
        FrameChangeBits.store(0);
        GroundSpeed = 0;
        FmsPowered = 1;
        fms_test::ResetFlightManagement();
    }
    // A TO leg at (lat, lon), course 000.
    void ToLegAt(double lat, double lon, uint8_t leg_class = 7) {
        FmsToLegCopy = fms_test::FixLeg("TO", lat, lon);
        FmsToLegCopy.leg_class = leg_class;
        FmsToLegCopy.magnetic_course = 0.0;
        FmsToLegCopy.fix_variation = 0.0;
        FmsToLegCopy.fixed_distance = 1;
    }
    struct Sources {
        NavSourceRecord records[kNavSourceCount];
    };
    std::unique_ptr<Sources> saved_sources_;
    ElectricsRecord saved_electrics_{};
};

TEST_F(FmsNavOutputTest, WritesFms1FromTheToLeg) {
    const NavSourceRecord& r = NavSources[kNavFms1];
    FmsPosition = {0.0, 0.0};
    ToLegAt(1.0, 0.0);
    Ahrs1.heading = 10.0;
    FmsNavOutput();
    EXPECT_EQ(r.kind, 4);
    EXPECT_EQ(r.receive_state, 4);
    EXPECT_EQ(r.course_valid, 1);
    EXPECT_EQ(r.bearing_valid, 1);
    EXPECT_NEAR(r.distance, 60.0, 0.01);
    // Relative to the AHRS heading, not wrapped.
    EXPECT_NEAR(r.bearing, 350.0, 1e-3);
    EXPECT_EQ(r.to_from, 1);
    EXPECT_NEAR(r.lateral_deviation, 0.0, 0.01);
    Ahrs1.heading = 0.0;

    // 7 nm off the course: full scale; west of a northbound leg is positive.
    FmsPosition = {0.0, -7.0 / 60.0};
    FmsNavOutput();
    EXPECT_GT(FmsCrossTrack, 6.9);
    EXPECT_EQ(r.lateral_deviation, 127.0);

    // Abeam the waypoint, exactly 90 degrees off the course: TO. Past it,
    // FROM.
    FmsPosition = {0.0, 0.0};
    ToLegAt(0.0, 1.0);
    FmsNavOutput();
    EXPECT_EQ(r.to_from, 1);
    ToLegAt(-0.01, 1.0);
    FmsNavOutput();
    EXPECT_EQ(r.to_from, 2);

    // Without a fixed distance the distance is 0 and not valid.
    FmsToLegCopy.fixed_distance = 0;
    FmsNavOutput();
    EXPECT_EQ(r.distance_valid, 0);
    EXPECT_EQ(r.distance, 0.0);
}

TEST_F(FmsNavOutputTest, PposLegUsesTheHostVariationAndNoPathMeansNoGuidance) {
    FmsPosition = {0.0, 0.0};
    ToLegAt(1.0, 0.0, 9);
    FmsToLegCopy.fix_variation = 20.0;
    NavHeading = 5.0;
    FmsNavOutput();
    EXPECT_NEAR(FmsBearingToWaypoint, 355.0, 1e-3);
    ToLegAt(1.0, 0.0, 7);
    FmsToLegCopy.fix_variation = 20.0;
    FmsNavOutput();
    EXPECT_NEAR(FmsBearingToWaypoint, 340.0, 1e-3);
    // Path type 0: no bearing, distance or deviation.
    FmsToLegCopy.path_type = 0;
    FmsNavOutput();
    EXPECT_EQ(NavSources[kNavFms1].bearing_valid, 0);
    EXPECT_EQ(NavSources[kNavFms1].distance_valid, 0);
    EXPECT_EQ(NavSources[kNavFms1].deviation_valid, 0);
    // Only every 4th tick.
    FrameChangeBits.store(0x02);
    FmsToLegCopy.path_type = 2;
    FmsNavOutput();
    EXPECT_EQ(NavSources[kNavFms1].bearing_valid, 0);
}

TEST_F(FmsNavOutputTest, NavReceiverUpdate) {
    BusPowered.set(kPoweredLeftEssential, 1);
    BusPowered2.set(0, 1);
    BusPowered2.set(1, 1);
    Vor1PanelState.mode = 1;
    Vor2PanelState.mode = 1;
    Adf1PanelState.mode = 1;
    NavSources[kNavVor1].receive_state = 1;
    NavSources[kNavVor2].receive_state = 2;  // a localiser
    // Bearings near north are taken as they are; others are smoothed.
    NavSources[kNavVor1].bearing = 100.0;
    HostNavBearing[0] = 5.0;
    NavSourcesUpdate();
    EXPECT_EQ(NavSources[kNavVor1].bearing, 5.0);
    HostNavBearing[0] = 355.0;
    NavSourcesUpdate();
    EXPECT_EQ(NavSources[kNavVor1].bearing, 355.0);
    NavSources[kNavVor1].bearing = 180.0;
    HostNavBearing[0] = 189.0;
    NavSourcesUpdate();
    EXPECT_NEAR(NavSources[kNavVor1].bearing, 181.0, 1e-5);
    EXPECT_EQ(NavSources[kNavVor1].bearing_valid, 1);
    EXPECT_EQ(NavSources[kNavVor2].bearing, 90.0);
    EXPECT_EQ(NavSources[kNavVor2].bearing_valid, 0);
    EXPECT_EQ(NavSources[kNavAdf1].receive_state, 3);
    EXPECT_STREQ(NavSources[kNavAdf2].name, "ADF2");

    // Bearing pointers and the selection defaults.
    FGC_comp_HSI1_bearing0_select = 3;
    FGC_comp_HSI1_bearing1_select = 4;
    FGC_comp_HSI2_bearing0_select = 2;
    FGC_comp_HSI2_bearing1_select = 9;  // out of range: unchanged
    DisplayControlState2.BearingPointerSource[1] = 6;
    NavSourceSel1 = 0;
    NavSourceSel2 = 5;
    DisplayFormatFlags1[0] = 1;
    NavSourcesUpdate();
    EXPECT_EQ(DisplayControlState1.BearingPointerSource[0], 5);
    EXPECT_EQ(DisplayControlState1.BearingPointerSource[1], 8);
    EXPECT_EQ(DisplayControlState2.BearingPointerSource[0], 3);
    EXPECT_EQ(DisplayControlState2.BearingPointerSource[1], 6);
    EXPECT_EQ(NavSourceSel1, 2);
    EXPECT_EQ(NavSourceSel2, 5);
    DisplayFormatFlags1[0] = 0;
    FGC_comp_HSI1_bearing0_select = FGC_comp_HSI1_bearing1_select = 0;
    FGC_comp_HSI2_bearing0_select = FGC_comp_HSI2_bearing1_select = 0;
    NavSourceSel1 = 1;
    NavSourceSel2 = 2;

    // Time to station every 8th tick; 0 at ground speed 0.
    NavSources[kNavFms1].distance_valid = 1;
    NavSources[kNavFms1].distance = 25.0;
    FrameChangeBits.store(0x08);
    GroundSpeed = 200;
    NavSourcesUpdate();
    EXPECT_EQ(NavSources[kNavFms1].time_to_station, 7);
    GroundSpeed = 0;
    NavSourcesUpdate();
    EXPECT_EQ(NavSources[kNavFms1].time_to_station, 0);
    Vor1PanelState.mode = Vor2PanelState.mode = Adf1PanelState.mode = 0;
}

TEST_F(FmsNavOutputTest, StationLookupKeepsTheCduResults) {
    fms_test::FmsFolder folder;
    WaypointRecord w = navdb::MakeWaypoint('D', "ABC", "LI", 45.2, 10.1, 812);
    w.variation = 1.0;
    WaypointRecord far = navdb::MakeWaypoint('D', "ABC", "LI", 48.0, 12.0, 5);
    far.variation = 1.0;
    ASSERT_TRUE(navdb::WriteRecords(folder / "Fmswpt.dat", std::vector<WaypointRecord>{far, w}));
    LoadWaypointDatabase();
    BusPowered.set(kPoweredLeftMainDc, 1);
    AircraftPosition = {45.0, 10.0, 0.0, 0.0};
    std::snprintf(NavSources[kNavVor1].ident_text, kNavIdentTextSize + 1, "ABC");
    NavSources[kNavVor1].distance_valid = 1;
    NavSources[kNavVor1].computed_distance = 1;
    WaypointSearchResults.count = 3;
    VsiSelRequest1 = 1;
    NavSourcesUpdate();
    EXPECT_EQ(VsiSelRequest1, 0);
    EXPECT_EQ(+VsiSelValues[0].latitude, 45.2);
    EXPECT_EQ(+VsiSelValues[0].longitude, 10.1);
    EXPECT_EQ(+VsiSelValues[0].elevation, 812.0);
    EXPECT_EQ(WaypointSearchResults.count, 3);
    EXPECT_EQ(+FmsPosition.latitude, 45.0);
    // No signal: the station is dropped.
    NavSources[kNavVor1].distance_valid = 0;
    VsiSelRequest1 = 1;
    NavSourcesUpdate();
    EXPECT_EQ(NavSources[kNavVor1].computed_distance, 0);
    // The hold-off keeps the request for later.
    RadioLookupHoldoff = 3;
    VsiSelRequest1 = 1;
    NavSourcesUpdate();
    EXPECT_EQ(VsiSelRequest1, 1);
    RadioLookupHoldoff = 0;
    VsiSelRequest1 = 0;
    std::snprintf(NavSources[kNavVor1].ident_text, kNavIdentTextSize + 1, "%s",
                  "..............................");
    VsiSelValues[0] = VsiSelStation{};
    AircraftPosition = {45.0, 10.0, 0.0, 0.0};
}

TEST_F(FmsNavOutputTest, PowerLossEmptiesThePlanAndClearsFms1) {
    FlightPlan.count = 3;
    FmsToLegIndex = 1;
    FmsToLegCopy.leg_id = 77;
    NavSources[kNavFms1].course_valid = 1;
    NavSources[kNavFms1].deviation_valid = 1;
    BusPowered.set(kPoweredLeftMainDc, 0);
    FmsUpdate();
    EXPECT_EQ(FmsPowered, 0);
    EXPECT_EQ(FmsLegCount, 0u);
    EXPECT_EQ(FmsToLegIndex, -1);
    EXPECT_EQ(+FmsToLegCopy.leg_id, 0u);
    EXPECT_EQ(NavSources[kNavFms1].course_valid, 0);
    EXPECT_EQ(NavSources[kNavFms1].deviation_valid, 0);
}

}  // namespace
}  // namespace zu
