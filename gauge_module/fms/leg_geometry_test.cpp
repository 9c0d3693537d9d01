#include "fms/leg_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/air_data.h"
#include "core/fsuipc_data_exchange.h"
#include "core/nav_sources.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "fms/fms_nav_output.h"
#include "fms/fms_test_support.h"

namespace zu {
namespace {

class LegGeometryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fms_test::ResetFlightManagement();
        saved_gs_ = GroundSpeed;
        saved_vs_ = VerticalSpeedRaw;
        saved_alt_ = Altitude;
    }
    void TearDown() override {
        GroundSpeed = saved_gs_;
        VerticalSpeedRaw = saved_vs_;
        Altitude = saved_alt_;
        BaroAltitude1 = 0.0f;
        NavSources[kNavFms1].bearing_valid = 0;
        FmsBearingToWaypoint = 0.0;
        FrameChangeBits.store(0);
        fms_test::ResetFlightManagement();
    }
    // One steering pass on a 4th tick; true when it asked for a leg change.
    static bool Steer() {
        FmsSequenceRequest = 0;
        HoldRecompute = 0;
        FrameChangeBits.store(0x04);
        FmsSteering();
        return FmsSequenceRequest != 0;
    }
    int32_t saved_gs_ = 0, saved_vs_ = 0;
    float saved_alt_ = 0;
};

double DistanceBetween(double lat_a, double lon_a, double lat_b, double lon_b) {
    GreatCircleDistanceCourse(lat_a, lon_a, lat_b, lon_b);
    return GreatCircleDistanceCourseResult.distance;
}

TEST_F(LegGeometryTest, CourseToAltitudeLengthFromClimbAndSpeed) {
    LegRecord leg{};
    leg.path_type = 1;
    leg.leg_class = 8;
    leg.altitude_ft = 3000;
    leg.magnetic_course = 0.0;
    BaroAltitude1 = 0.0f;
    VerticalSpeedRaw = 1000;
    GroundSpeed = 150;
    ComputeLegGeometry(&leg, 45.0, 10.0);
    EXPECT_NEAR(DistanceBetween(45.0, 10.0, +leg.end_latitude, +leg.end_longitude), 7.5, 1e-6);
    EXPECT_NEAR(+leg.leg_distance_nm, 7.5, 1e-6);
    EXPECT_EQ(+leg.altitude_end_computed, 1);
    EXPECT_EQ(+leg.fixed_distance, 0);
    // Descending at 2000 ft/min takes half the time; a slow ground speed
    // counts as 100 kt.
    VerticalSpeedRaw = -2000;
    GroundSpeed = 40;
    ComputeLegGeometry(&leg, 45.0, 10.0);
    EXPECT_NEAR(+leg.leg_distance_nm, 2.5, 1e-6);
    // Already there: a tiny leg.
    BaroAltitude1 = 2990.0f;
    ComputeLegGeometry(&leg, 45.0, 10.0);
    EXPECT_LT(+leg.leg_distance_nm, 1e-6);
}

TEST_F(LegGeometryTest, FirstLegHasNoPreviousPosition) {
    LegList& list = WorkLegsB;
    list.count = 2;
    list.legs[0] = fms_test::FixLeg("A", 45.0, 10.0);
    list.legs[1] = fms_test::FixLeg("B", 45.5, 10.0);
    RecomputeFlightPlan(&list);
    EXPECT_EQ(+list.legs[0].leg_distance_nm, 999.0);
    EXPECT_NEAR(+list.legs[1].leg_distance_nm, 30.0, 0.01);
    EXPECT_NEAR(+list.legs[1].magnetic_course, 360.0 - 0.0, 0.01);
    EXPECT_EQ(+list.legs[1].fixed_distance, 1);
}

TEST_F(LegGeometryTest, ParallelInterceptEndsOnTheFix) {
    LegRecord leg = fms_test::FixLeg("F", 45.2, 10.2);
    leg.path_type = 3;
    leg.leg_class = 8;
    leg.procedure_course = 90;
    leg.intercept_course = 90;
    ComputeLegGeometry(&leg, 45.0, 10.0);
    EXPECT_EQ(+leg.end_latitude, 45.2);
    EXPECT_EQ(+leg.end_longitude, 10.2);
    // Flying north-east to meet the course north through the fix.
    leg.procedure_course = 45;
    leg.intercept_course = 0;
    leg.fix_latitude = 45.5;
    leg.fix_longitude = 10.5;
    ComputeLegGeometry(&leg, 45.0, 10.0);
    EXPECT_NEAR(+leg.end_longitude, 10.5, 0.01);
    EXPECT_TRUE(std::isfinite(+leg.end_latitude));
}

TEST_F(LegGeometryTest, TurnAnticipationByGroundSpeedAngleAndAltitude) {
    GroundSpeed = 200;
    Altitude = 5000.0f;
    // Angles go through the heading words' fixed point (0.01 degree).
    EXPECT_NEAR(TurnAnticipation(90.0, 180.0), 2.4, 1e-3);
    EXPECT_NEAR(TurnAnticipation(350.0, 80.0), 2.4, 1e-3);
    EXPECT_NEAR(TurnAnticipation(90.0, 90.0), 0.5, 1e-6);
    Altitude = 10500.0f;
    EXPECT_NEAR(TurnAnticipation(90.0, 180.0), 4.8, 1e-3);
    GroundSpeed = 400;
    EXPECT_EQ(TurnAnticipation(0.0, 180.0), 13.0);
    GroundSpeed = 150;
    Altitude = 0.0f;
    EXPECT_NEAR(TurnAnticipation(0.0, 45.0), (1.2 + 0.35) * 0.5 + 0.5, 1e-3);
}

TEST_F(LegGeometryTest, HoldEntrySectorsWithInclusiveBounds) {
    // Inbound 000, right turns: the outbound side lies around 180.
    EXPECT_EQ(HoldEntryType(0.0, 0.0, 2), 1);
    EXPECT_EQ(HoldEntryType(0.0, 110.0, 2), 1);  // exactly 90 off the direct sector
    EXPECT_EQ(HoldEntryType(0.0, 111.0, 2), 2);
    EXPECT_EQ(HoldEntryType(0.0, 180.0, 2), 2);  // 35 from the teardrop line
    EXPECT_EQ(HoldEntryType(0.0, 181.0, 2), 3);
    EXPECT_EQ(HoldEntryType(0.0, 289.0, 2), 3);
    EXPECT_EQ(HoldEntryType(0.0, 290.0, 2), 1);
    // Left turns mirror it.
    EXPECT_EQ(HoldEntryType(0.0, 250.0, 1), 1);
    EXPECT_EQ(HoldEntryType(0.0, 249.0, 1), 2);
    EXPECT_EQ(HoldEntryType(0.0, 180.0, 1), 2);
    EXPECT_EQ(HoldEntryType(0.0, 179.0, 1), 3);
    EXPECT_EQ(HoldEntryType(0.0, 71.0, 1), 3);
}

TEST_F(LegGeometryTest, PreviousPositionsOfEveryHemisphereAreRemembered) {
    LegRecord leg{};
    leg.path_type = 4;
    leg.leg_class = 0;
    leg.variation_latitude = -33.0;
    leg.variation_longitude = -70.0;
    leg.defining_distance_nm = 5.0;
    ComputeLegGeometry(&leg, -33.5, -70.5);
    EXPECT_EQ(GeometryLastLatitude, -33.5);
    EXPECT_EQ(GeometryLastLongitude, -70.5);
    // A leg without a previous position uses them for the navaid distance.
    ComputeLegGeometry(&leg, 0.0, 0.0);
    EXPECT_NEAR(+leg.leg_distance_nm, std::abs(DistanceBetween(-33.0, -70.0, -33.5, -70.5) - 5.0),
                1e-6);
    EXPECT_EQ(GeometryLastLatitude, -33.5);
}

TEST_F(LegGeometryTest, DistanceAndTimeAlongThePlan) {
    FlightPlan.count = 4;
    for (int i = 0; i < 4; ++i) {
        FlightPlan.legs[i] = fms_test::FixLeg("W", 45.0 + i * 0.5, 10.0);
        FlightPlan.legs[i].leg_distance_nm = 30.0;
        FlightPlan.legs[i].fixed_distance = 1;
    }
    FmsToLeg = FlightPlan.legs[1];
    FmsToLeg.leg_distance_nm = 12.0;
    FmsToLegIndex = 1;
    FmsNextLegIndex = 2;
    EXPECT_EQ(DistanceToWaypoint(1), 12.0);
    EXPECT_EQ(DistanceToWaypoint(0), -12.0);
    EXPECT_EQ(DistanceToWaypoint(3), 72.0);
    FlightPlan.legs[3].fixed_distance = 0;
    EXPECT_EQ(DistanceToWaypoint(3), 42.0);
    FmsToLeg.fixed_distance = 0;
    EXPECT_EQ(DistanceToWaypoint(1), 0.0);
    FmsToLeg.fixed_distance = 1;
    TrueAirspeed = 100 * 128;
    EXPECT_NEAR(TimeToWaypoint(1), 12.0 / 120.0, 1e-12);
    TrueAirspeed = 240 * 128;
    EXPECT_NEAR(TimeToWaypoint(1), 12.0 / 240.0, 1e-12);
    TrueAirspeed = 0;
}

TEST_F(LegGeometryTest, ProcedureHoldStepsThroughEntryIntoTheRacetrack) {
    // A hold at a fix 20 nm north, inbound 180, right turns, flown from the
    // south (a direct entry).
    FmsPosition = {45.0, 10.0};
    FmsToLeg = fms_test::FixLeg("HOLD", 45.0 + 20.0 / 60.0, 10.0);
    FmsToLeg.list_kind = kSlotFilled;
    FmsToLeg.leg_class = 5;
    FmsToLeg.procedure_course = 180;
    FmsToLeg.turn_direction = 2;
    SetFieldText(FmsToLeg.path_terminator, "HM");
    ComputeLegGeometry(&FmsToLeg, 45.0, 10.0);
    EXPECT_EQ(LateralTurnState, 3);
    EXPECT_EQ(+FmsToLeg.path_type, 2);
    EXPECT_EQ(HoldEntryKind, HoldEntryType(180.0, 0.0, 2));
    // Each passage (a leg change asked for) moves the hold on one step.
    std::vector<int32_t> states;
    for (int i = 0; i < 6; ++i) {
        HoldRecompute = 1;
        ComputeLegGeometry(&FmsToLeg, 45.0, 10.0);
        states.push_back(LateralTurnState);
    }
    // Approach, direct entry, then the racetrack until the pilot leaves it.
    EXPECT_EQ(states.front(), 2);
    EXPECT_EQ(states.back(), 1);
    EXPECT_EQ(FmsSequenceRequest, 0);

    // "HA": the racetrack ends at the altitude.
    SetFieldText(FmsToLeg.path_terminator, "HA");
    FmsToLeg.altitude_ft = 3000;
    FmsToLeg.altitude_kind = 1;
    BaroAltitude1 = 2000.0f;
    HoldRecompute = 1;
    ComputeLegGeometry(&FmsToLeg, 45.0, 10.0);
    EXPECT_EQ(FmsSequenceRequest, 0);
    BaroAltitude1 = 3100.0f;
    HoldRecompute = 1;
    for (int i = 0; i < 3 && FmsSequenceRequest == 0; ++i) {
        HoldRecompute = 1;
        ComputeLegGeometry(&FmsToLeg, 45.0, 10.0);
    }
    EXPECT_EQ(FmsSequenceRequest, 1);
}

// The fix is passed when the bearing to it lies more than 90 degrees off
// the TO course, a course-to-altitude leg's fix as much as any other.
TEST_F(LegGeometryTest, SteeringSequencesALegWhoseFixIsBehind) {
    GroundSpeed = 200;
    Altitude = 5000.0f;
    for (const uint8_t path : {uint8_t{1}, uint8_t{2}}) {
        FmsToLegCopy = fms_test::FixLeg("FIX", 45.0, 10.0);
        FmsToLegCopy.path_type = path;
        FmsToLegCopy.leg_class = 8;
        FmsToLegCopy.magnetic_course = 30.0;
        FmsToLegCopy.leg_distance_nm = 20.0;  // far beyond any anticipation
        FmsToLegCopy.altitude_ft = 9000;
        FmsToLegCopy.altitude_kind = 1;  // not reached
        NavSources[kNavFms1].bearing_valid = 1;
        FmsBearingToWaypoint = 119.0;
        EXPECT_FALSE(Steer()) << +path;
        FmsBearingToWaypoint = 121.0;
        EXPECT_TRUE(Steer()) << +path;
        EXPECT_EQ(HoldRecompute, 1) << +path;
        FmsBearingToWaypoint = 299.0;  // across north: 91 degrees the other way
        EXPECT_TRUE(Steer()) << +path;
        // Without a valid bearing there is no passage.
        NavSources[kNavFms1].bearing_valid = 0;
        EXPECT_FALSE(Steer()) << +path;
        EXPECT_EQ(HoldRecompute, 0) << +path;
        // Nor while a hold or procedure turn is flown.
        NavSources[kNavFms1].bearing_valid = 1;
        LateralTurnState = 2;
        EXPECT_FALSE(Steer()) << +path;
        LateralTurnState = 0;
    }
    // The turn anticipation is not for a course-to-altitude leg.
    FmsToLegCopy.leg_distance_nm = 0.1;
    FmsBearingToWaypoint = 30.0;
    EXPECT_TRUE(Steer());  // path type 2
    FmsToLegCopy.path_type = 1;
    EXPECT_FALSE(Steer());
    // Steering works on 4th ticks only; a change already asked for moves
    // the holds on.
    FmsBearingToWaypoint = 210.0;
    FmsSequenceRequest = 0;
    FrameChangeBits.store(0x02);
    FmsSteering();
    EXPECT_EQ(FmsSequenceRequest, 0);
    FmsSequenceRequest = 1;
    HoldRecompute = 0;
    FrameChangeBits.store(0x04);
    FmsSteering();
    EXPECT_EQ(HoldRecompute, 1);
}

// A course-to-altitude leg ends at its constraint: at or above (kinds 1
// and 4), at or below (2), within 100 ft (3).
TEST_F(LegGeometryTest, SteeringEndsACourseToAltitudeLegAtItsConstraint) {
    FmsToLegCopy = fms_test::FixLeg("CA", 45.0, 10.0);
    FmsToLegCopy.path_type = 1;
    FmsToLegCopy.leg_class = 8;
    FmsToLegCopy.leg_distance_nm = 5.0;
    FmsToLegCopy.altitude_ft = 3000;
    struct Case {
        uint8_t kind;
        float baro;
        bool ends;
    };
    for (const Case& c :
         {Case{1, 3000.0f, true}, Case{1, 2999.0f, false}, Case{4, 3400.0f, true},
          Case{4, 2990.0f, false}, Case{2, 3000.0f, true}, Case{2, 2500.0f, true},
          Case{2, 3001.0f, false}, Case{3, 2901.0f, true}, Case{3, 3099.0f, true},
          Case{3, 2900.0f, false}, Case{3, 3100.0f, false}, Case{0, 3000.0f, false}}) {
        FmsToLegCopy.altitude_kind = c.kind;
        BaroAltitude1 = c.baro;
        EXPECT_EQ(Steer(), c.ends) << +c.kind << " " << c.baro;
        EXPECT_EQ(HoldRecompute, c.ends ? 1 : 0) << +c.kind << " " << c.baro;
    }
}

}  // namespace
}  // namespace zu
