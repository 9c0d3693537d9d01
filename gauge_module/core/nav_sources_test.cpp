#include "core/nav_sources.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/systems_tick.h"
#include "instruments/adf_control_heads.h"
#include "instruments/vor_control_heads.h"

namespace zu {
namespace {

class NavSourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        BusPowered.set(kPoweredLeftEssential, 1);
        BusPowered.set(kPoweredLeftMainDc, 1);
        BusPowered.set(kPoweredRightMainDc, 1);
        BusPowered2.set(0, 1);
        Vor1PanelState.mode = Vor2PanelState.mode = 1;
        Adf1PanelState.mode = Adf2PanelState.mode = 1;
        for (NavSourceRecord& r : NavSources) {
            r.receive_state = 1;
            r.bearing_valid = r.distance_valid = r.deviation_valid = r.course_valid = 1;
            r.glideslope_alive = 1;
            r.to_from = 1;
            r.distance = 12.0;
            r.bearing = 45.0;
            r.frequency = 11030;
        }
        VsiSelRequest1 = VsiSelRequest2 = 0;
        FrameChangeBits.store(0x0F);
        AircraftPosition = {50.0, 8.0, 0.0, 0.0};
        Altitude = 0.0f;
    }
    static bool Cleared(const NavSourceRecord& r) {
        return r.receive_state == 0 && r.bearing_valid == 0 && r.distance_valid == 0 &&
               r.deviation_valid == 0 && r.course_valid == 0 && r.glideslope_alive == 0 &&
               r.to_from == 0 && r.distance == 0.0;
    }
};

TEST_F(NavSourcesTest, ReceiverBusOffClearsAllButVor1AndKeepsFrequencies) {
    BusPowered2.set(0, 0);
    NavSourcesReset();
    EXPECT_FALSE(Cleared(NavSources[kNavVor1]));
    for (int i = kNavVor2; i < kNavSourceCount; ++i) {
        EXPECT_TRUE(Cleared(NavSources[i])) << i;
        EXPECT_EQ(NavSources[i].frequency, 11030) << i;
        EXPECT_EQ(NavSources[i].bearing, 45.0) << i;
    }
    BusPowered.set(kPoweredLeftEssential, 0);
    NavSourcesReset();
    EXPECT_TRUE(Cleared(NavSources[kNavVor1]));
    EXPECT_EQ(NavSources[kNavVor1].frequency, 11030);
}

TEST_F(NavSourcesTest, HeadsOffClearTheirRecordsButAdf2) {
    Vor2PanelState.mode = 0;
    Adf1PanelState.mode = 0;
    Adf2PanelState.mode = 0;
    NavSourcesReset();
    EXPECT_FALSE(Cleared(NavSources[kNavVor1]));
    EXPECT_TRUE(Cleared(NavSources[kNavVor2]));
    EXPECT_TRUE(Cleared(NavSources[kNavAdf1]));
    EXPECT_FALSE(Cleared(NavSources[kNavAdf2]));
    Vor1PanelState.mode = 0;
    NavSourcesReset();
    EXPECT_TRUE(Cleared(NavSources[kNavVor1]));
}

TEST_F(NavSourcesTest, ComputedDistanceIsValidUpTo70Nm) {
    NavSourceRecord& vor1 = NavSources[kNavVor1];
    vor1.computed_distance = 1;
    VsiSelValues[0] = {8.0, 50.0, 0.0};
    DmeUpdate();
    EXPECT_DOUBLE_EQ(vor1.distance, 0.0);
    EXPECT_EQ(vor1.distance_valid, 1);
    // 70 nm due north (the arc in radians times the miles per radian).
    VsiSelValues[0] = {8.0, 50.0 + 70.0 / 3436.0974 * 180.0 / 3.14159265358979323846, 0.0};
    DmeUpdate();
    EXPECT_NEAR(vor1.distance, 70.0, 1e-6);
    VsiSelValues[0].latitude += 0.01;
    DmeUpdate();
    EXPECT_GT(vor1.distance, 70.0);
    EXPECT_EQ(vor1.distance_valid, 0);
    // Height counts: 6076 ft above the station is one more mile.
    VsiSelValues[0] = {8.0, 50.0, -6076.1154855643};
    DmeUpdate();
    EXPECT_NEAR(vor1.distance, 1.0, 1e-6);
}

TEST_F(NavSourcesTest, DistanceWaitsForItsTickRequestAndPower) {
    NavSourceRecord& vor2 = NavSources[kNavVor2];
    vor2.computed_distance = 1;
    vor2.distance = 12.0;
    VsiSelValues[1] = {8.0, 50.0, 0.0};
    FrameChangeBits.store(0x07);
    DmeUpdate();
    EXPECT_EQ(vor2.distance, 12.0);
    FrameChangeBits.store(0x0F);
    VsiSelRequest2 = 1;
    DmeUpdate();
    EXPECT_EQ(vor2.distance, 12.0);
    VsiSelRequest2 = 0;
    BusPowered.set(kPoweredRightMainDc, 0);
    DmeUpdate();
    EXPECT_EQ(vor2.computed_distance, 0);
    EXPECT_EQ(vor2.distance, 12.0);
}

}  // namespace
}  // namespace zu
