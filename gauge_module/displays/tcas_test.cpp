#include "displays/tcas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"
#include "displays/efis_resources.h"
#include "instruments/atc_control_head.h"

namespace zu {
namespace {

constexpr double kOwnLat = 45.0;
constexpr double kOwnLon = 10.0;

class TcasComputeTest : public testing::Test {
  protected:
    void SetUp() override {
        BuildTrigTables();
        TransponderState = {};
        TransponderState.mode = TransponderState.mode_seen = 6;
        TransponderState.tcas_mode = 3;
        TcasState = {};
        TcasRangeNm = 5;
        TcasIntruders[0] = {};
        TcasIntruders[1] = {};
        TcasIntruderShown.store(0);
        std::memset(TcasTrafficSlots, 0, sizeof TcasTrafficSlots);
        TcasSlotCount = 32;
        AircraftPosition = {kOwnLat, kOwnLon, kOwnLat * 60.0,
                            std::cos(kOwnLat * 0.017453292519943295) * kOwnLon * 60.0};
        Altitude = 5000.0f;
        Heading = 0.0f;
        NavHeading = 0.0;
        GroundSpeed = 240;
        VerticalSpeedRaw = 0;
        StallSystemFail[0] = StallSystemFail[1] = 0;
        RadioAltitudeReadoutValue = 2500;
        FrameChangeBits.store(0x07);
    }
    void TearDown() override {
        TransponderState = {};
        TcasState = {};
        TcasRangeNm = 5;
        TcasSlotCount = 0;
        std::memset(TcasTrafficSlots, 0, sizeof TcasTrafficSlots);
        TcasIntruders[0] = {};
        TcasIntruders[1] = {};
        AircraftPosition = {};
        Altitude = 0.0f;
        GroundSpeed = 0;
        RadioAltitudeReadoutValue = 0;
        FrameChangeBits.store(0);
    }
    // A slot east and north of the own aircraft in nautical miles.
    static void Slot(int i, uint32_t id, double east_nm, double north_nm, double altitude,
                     double heading = 0.0, uint16_t speed = 0, int16_t vs = 0) {
        TcasTrafficSlot& s = TcasTrafficSlots[i];
        s.identifier = id;
        s.latitude = static_cast<float>(kOwnLat + north_nm / 60.0);
        s.longitude = static_cast<float>(
            kOwnLon + east_nm / (60.0 * std::cos(kOwnLat * 0.017453292519943295)));
        s.altitude = static_cast<float>(altitude);
        s.heading = static_cast<uint16_t>(std::lround(heading * 65536.0 / 360.0) & 0xFFFF);
        s.ground_speed = speed;
        s.vertical_speed = vs;
    }
    static const TcasIntruderTable& Shown() { return TcasShownIntruders(); }
    static const TcasIntruder* Find(uint32_t id) {
        const TcasIntruderTable& t = Shown();
        for (int i = 0; i < t.count; ++i) {
            if (t.intruders[i].identifier == id) return &t.intruders[i];
        }
        return nullptr;
    }
};

TEST_F(TcasComputeTest, TransponderTestEndsInStandbyAndVfrCodeIsBcd) {
    TransponderState = {};
    TransponderState.mode = 1;
    TransponderState.test_timer = 3;
    for (int i = 0; i < 3; ++i) {
        TcasCompute();
        EXPECT_EQ(TransponderState.mode, 1);
    }
    TcasCompute();
    EXPECT_EQ(TransponderState.mode, 2);
    TcasCompute();
    EXPECT_EQ(TransponderState.tcas_mode, 1);

    std::strcpy(TransponderVfrCodeText, "0021");
    TransponderState.mode = 5;
    TcasCompute();
    EXPECT_EQ(TransponderCodeBcd, 0x21);
    TransponderState.mode = 3;
    TcasCompute();
    TransponderCodePtr = TransponderCodeText;
}

TEST_F(TcasComputeTest, AltitudeWindowAndProximityLimits) {
    Slot(0, 1, 0.0, 3.0, 5000.0 + 2999.0);
    Slot(1, 2, 0.0, 3.0, 5000.0 + 3000.0);
    Slot(2, 3, 0.0, 3.0, 5000.0 - 2999.0);
    Slot(3, 4, 0.0, 3.0, 5000.0 + 1200.0);
    Slot(4, 5, 0.0, 3.0, 5000.0 + 1201.0);
    Slot(5, 6, 0.0, 6.0, 5000.0);
    Slot(6, 7, 0.0, 6.01, 5000.0);
    TcasCompute();
    EXPECT_NE(Find(1), nullptr);
    EXPECT_EQ(Find(2), nullptr);
    EXPECT_NE(Find(3), nullptr);
    ASSERT_NE(Find(4), nullptr);
    EXPECT_EQ(Find(4)->proximate, 1);
    EXPECT_STREQ(Find(4)->relative_altitude_text, "+12");
    EXPECT_EQ(Find(5)->proximate, 0);
    EXPECT_STREQ(Find(3)->relative_altitude_text, "-29");
    // Distances are great-circle miles from the own position.
    EXPECT_NEAR(Find(6)->distance, 6.0, 1e-3);
    EXPECT_EQ(Find(6)->proximate, 1);
    EXPECT_EQ(Find(7)->proximate, 0);
}

TEST_F(TcasComputeTest, OffsetsBearingAndRatesShareOneEastPositiveFrame) {
    Slot(0, 1, 3.0, 4.0, 5000.0, 90.0, 120, -600);
    TcasCompute();
    const TcasIntruder* t = Find(1);
    ASSERT_NE(t, nullptr);
    EXPECT_NEAR(t->east_offset, 3.0, 1e-3);
    EXPECT_NEAR(t->north_offset, 4.0, 1e-3);
    EXPECT_NEAR(t->distance, 5.0, 0.01);
    EXPECT_NEAR(t->bearing, std::atan2(3.0, 4.0) * 57.29577951308232, 0.1);
    // Heading 090 flies east at 2 nm a minute.
    EXPECT_NEAR(t->east_rate, 2.0, 0.02);
    EXPECT_NEAR(t->north_rate, 0.0, 0.02);
    EXPECT_NEAR(t->vertical_rate, -600 * 0.0001646, 1e-9);
    EXPECT_NEAR(TcasOwn.north_rate, 4.0, 0.02);
    EXPECT_NEAR(TcasOwn.east_rate, 0.0, 0.02);
}

TEST_F(TcasComputeTest, ClosestApproachOfHeadOnAndCrossingTraffic) {
    // Head-on, 6 nm apart (5.96 along the track, to stay within 6 nm),
    // 0.4 nm abeam, 240 kt each.
    Slot(0, 1, 0.4, 5.96, 5000.0, 180.0, 240);
    // A collision course from the right: 3 nm east, 3 nm north, heading 270.
    Slot(1, 2, 3.0, 3.0, 5000.0, 270.0, 240);
    TcasCompute();
    const TcasIntruder* head_on = Find(1);
    ASSERT_NE(head_on, nullptr);
    EXPECT_NEAR(head_on->approach_time, 5.96 / 8.0, 0.01);
    // The rates are those of the displays' fixed-point rotation (a tenth of
    // a degree's steps, a knot's rounding).
    EXPECT_NEAR(head_on->approach_distance, 0.40, 0.02);
    EXPECT_EQ(head_on->threat, 1u);
    const TcasIntruder* crossing = Find(2);
    ASSERT_NE(crossing, nullptr);
    EXPECT_NEAR(crossing->approach_time, 0.75, 0.01);
    EXPECT_LT(crossing->approach_distance, 0.05);
    EXPECT_EQ(crossing->threat, 1u);
    EXPECT_EQ(TcasState.traffic_request, 1);
}

TEST_F(TcasComputeTest, TrafficRequestNeedsHeightAndStallWarningSystems) {
    Slot(0, 1, 0.0, 2.0, 5000.0, 180.0, 240);
    RadioAltitudeReadoutValue = 400;
    TcasCompute();
    EXPECT_EQ(Find(1)->threat, 1u);
    EXPECT_EQ(TcasState.traffic_request, 0);
    RadioAltitudeReadoutValue = 401;
    StallSystemFail[1] = 1;
    TcasCompute();
    EXPECT_EQ(TcasState.traffic_request, 0);
    StallSystemFail[1] = 0;
    TcasCompute();
    EXPECT_EQ(TcasState.traffic_request, 1);
    // Below the assessing mode the traffic is shown but never assessed.
    TransponderState.tcas_mode = 2;
    TcasCompute();
    EXPECT_EQ(Shown().count, 1);
    EXPECT_EQ(Find(1)->proximate, 0);
    EXPECT_EQ(TcasState.traffic_request, 0);
    TransponderState.tcas_mode = 1;
    TcasCompute();
    EXPECT_EQ(Shown().count, 0);
}

TEST_F(TcasComputeTest, EveryFourthTickRebuildsTheOtherCopy) {
    Slot(0, 1, 0.0, 2.0, 5000.0);
    FrameChangeBits.store(0x01);
    TcasCompute();
    EXPECT_EQ(Shown().count, 0);
    EXPECT_EQ(TcasIntruderShown.load(), 0);
    FrameChangeBits.store(0x07);
    TcasCompute();
    EXPECT_EQ(TcasIntruderShown.load(), 1);
    EXPECT_EQ(Shown().count, 1);
    EXPECT_EQ(TcasIntruders[0].count, 0);  // the copy shown before is untouched
    TcasCompute();
    EXPECT_EQ(TcasIntruderShown.load(), 0);
    EXPECT_EQ(Shown().count, 1);
}

TEST_F(TcasComputeTest, RangeStartsAtFiveAndKeepsItsLastValue) {
    FrameChangeBits.store(0x07);
    TcasState.range_index = 2;
    TcasCompute();
    EXPECT_EQ(TcasRangeNm, 20);
    TcasState.range_index = 7;
    TcasCompute();
    EXPECT_EQ(TcasRangeNm, 20);
    TcasState.range_index = 3;
    TcasCompute();
    EXPECT_EQ(TcasRangeNm, 40);
}

TEST_F(TcasComputeTest, BrokenSlotsAreSkippedAndTheTableIsBounded) {
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    Slot(0, 1, 0.0, 2.0, 5000.0);
    TcasTrafficSlots[0].latitude = kNan;
    Slot(1, 2, 0.0, 2.0, 5000.0);
    TcasTrafficSlots[1].altitude = kInf;
    Slot(2, 3, 0.0, 2.0, 5000.0);
    TcasTrafficSlots[2].longitude = -kInf;
    Slot(3, 0, 0.0, 2.0, 5000.0);  // empty slot
    Slot(4, 5, 0.0, 2.0, 5000.0);
    TcasTrafficSlots[4].latitude = 1e30f;
    TcasCompute();
    EXPECT_EQ(Shown().count, 0);
    // Across the date line the east offset is the short way round.
    AircraftPosition.longitude = 179.9;
    TcasTrafficSlots[5] = {};
    TcasTrafficSlots[5].identifier = 6;
    TcasTrafficSlots[5].latitude = static_cast<float>(kOwnLat);
    TcasTrafficSlots[5].longitude = -179.95f;
    TcasTrafficSlots[5].altitude = 5000.0f;
    TcasCompute();
    ASSERT_NE(Find(6), nullptr);
    EXPECT_NEAR(Find(6)->east_offset, 0.15 * 60.0 * std::cos(kOwnLat * 0.017453292519943295),
                0.01);
    // A full host table never overruns the intruder table.
    for (int i = 0; i < kTcasTrafficSlotCapacity; ++i) {
        Slot(i, static_cast<uint32_t>(i + 1), 0.0, 1.0, 5000.0);
    }
    AircraftPosition.longitude = kOwnLon;
    TcasSlotCount = 65535;
    TcasCompute();
    EXPECT_EQ(Shown().count, kTcasTrafficSlotCapacity);
}

}  // namespace
}  // namespace zu
