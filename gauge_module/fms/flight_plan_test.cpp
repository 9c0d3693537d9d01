#include "fms/flight_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/systems_tick.h"
#include "fms/fms_test_support.h"

namespace zu {
namespace {

using fms_test::FixLeg;
using fms_test::FmsFolder;

class FlightPlanTest : public ::testing::Test {
  protected:
    void SetUp() override { fms_test::ResetFlightManagement(); }
    void TearDown() override { fms_test::ResetFlightManagement(); }

    void Load(const char* table_text) {
        navdb::Table t;
        std::string error;
        ASSERT_TRUE(navdb::ParseTable(table_text, &t, &error)) << error;
        ASSERT_TRUE(navdb::WriteTable(t, folder_.path(), &error)) << error;
        LoadWaypointDatabase();
    }
    // Appends database waypoint `ident` to the plan.
    void Append(const char* ident) {
        SearchWaypoints(ident, 0, 0.0, 0.0);
        ASSERT_GT(WaypointSearchResults.count, 0) << ident;
        InsertWaypointLeg(WaypointSearchResults.index[0], static_cast<int32_t>(FmsLegCount),
                          &FlightPlan);
    }
    std::vector<std::string> Idents() const {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < FmsLegCount; ++i) out.emplace_back(FlightPlan.legs[i].ident);
        return out;
    }
    FmsFolder folder_;
};

constexpr const char* kRegion = R"(
apt ORIG 45.0 10.0 300
apt DEST 47.5 10.0 300
wpt AAA LI 45.5 10.0
wpt BBB LI 46.0 10.0
wpt CCC LI 46.5 10.0
wpt DDD LI 47.0 10.0
wpt FAR LI 44.0 12.0
leg kind=2 route=1 proc=SID1 trans=RW36 apt=ORIG fix=AAA pt=TF class=7 path=2
leg kind=2 route=2 proc=SID1 apt=ORIG fix=BBB pt=TF class=7 path=2
leg kind=2 route=3 proc=SID1 trans=CCC apt=ORIG fix=CCC pt=TF class=7 path=2
leg kind=2 route=2 proc=SID2 apt=ORIG fix=FAR pt=TF class=7 path=2
leg kind=1 route=2 proc=STAR1 apt=DEST fix=CCC pt=TF class=7 path=2
leg kind=1 route=2 proc=STAR1 apt=DEST fix=DDD pt=TF class=7 path=2
leg kind=3 route=A proc=APP1 trans=DDD apt=DEST fix=DDD pt=TF class=7 path=2
leg kind=3 route=I proc=APP1 apt=DEST fix=AAA pt=TF class=7 path=2
)";

TEST_F(FlightPlanTest, DepartureJoinsTheRouteOrEndsInADiscontinuity) {
    Load(kRegion);
    Append("CCC");
    Append("DDD");
    char apt[8] = "ORIG", sid[8] = "SID1", rwy[8] = "RW36", trans[8] = "CCC";
    InsertDeparture(&FlightPlan, apt, sid, rwy, trans);
    // Runway transition, the common route (whose legs name no transition)
    // and the named enroute transition; its last fix is the plan's first
    // waypoint, so no discontinuity.
    EXPECT_EQ(Idents(), (std::vector<std::string>{"ORIG", "AAA", "BBB", "CCC", "DDD"}));
    EXPECT_EQ(+FlightPlan.legs[0].list_kind, 4);
    EXPECT_EQ(+FlightPlan.legs[1].list_kind, 2);
    EXPECT_EQ(+FlightPlan.legs[2].list_kind, 2);
    EXPECT_EQ(+FlightPlan.legs[3].list_kind, 4);  // the plan's own CCC stays
    EXPECT_EQ(FmsToLegIndex, 1);
    EXPECT_STREQ(FmsToLeg.ident, "AAA");
    // Another departure replaces the earlier one and the origin.
    char sid2[8] = "SID2", none[8] = "-", none2[8] = "-";
    InsertDeparture(&FlightPlan, apt, sid2, none, none2);
    EXPECT_EQ(none[0], '\0');
    EXPECT_EQ(Idents(), (std::vector<std::string>{"ORIG", "FAR", "*NO LINK*", "CCC", "DDD"}));
    EXPECT_EQ(+FlightPlan.legs[2].list_kind, 2);
    EXPECT_STREQ(FlightPlan.legs[2].path_terminator, "XX");
    EXPECT_NE(+FlightPlan.legs[2].leg_id, kDiscontinuityLegId);
    // The TO leg went with the old departure: the new departure is flown
    // from its origin.
    EXPECT_EQ(FmsToLegIndex, 1);
    EXPECT_STREQ(FmsToLeg.ident, "FAR");
    EXPECT_STREQ(FmsFromLeg.ident, "ORIG");
}

// The TO slot copied back into the plan would bring the slot's kind (5,
// filled) with it, and the leg would no longer go with its departure.
TEST_F(FlightPlanTest, CopyBackMendKeepsThePlanLegsKindSoATakenLegGoesWithItsDeparture) {
    Load(kRegion);
    Append("CCC");
    Append("DDD");
    char apt[8] = "ORIG", sid[8] = "SID1", rwy[8] = "RW36", trans[8] = "CCC";
    InsertDeparture(&FlightPlan, apt, sid, rwy, trans);
    ASSERT_EQ(FmsToLegIndex, 1);
    // Edits copy the TO slot back into the plan; the leg keeps its kind.
    Append("CCC");
    EXPECT_EQ(+FlightPlan.legs[1].list_kind, 2);
    char sid2[8] = "SID2", none[8] = "-", none2[8] = "-";
    InsertDeparture(&FlightPlan, apt, sid2, none, none2);
    EXPECT_EQ(Idents(),
              (std::vector<std::string>{"ORIG", "FAR", "*NO LINK*", "CCC", "DDD", "CCC"}));
}

TEST_F(FlightPlanTest, DepartureIntoAnEmptyPlan) {
    Load(kRegion);
    char apt[8] = "NONE", sid[8] = "SID1", rwy[8] = "RW36", trans[8] = "CCC";
    InsertDeparture(&FlightPlan, apt, sid, rwy, trans);
    EXPECT_TRUE(Idents().empty());  // unknown airport, no procedure
    char orig[8] = "ORIG";
    FlightPlan.count = 0;
    InsertDeparture(&FlightPlan, orig, sid, rwy, trans);
    char empty[8] = "";
    FlightPlan.count = 0;
    InsertDeparture(&FlightPlan, orig, sid, rwy, empty);
    // Without a transition every route part is taken.
    EXPECT_EQ(Idents(), (std::vector<std::string>{"ORIG", "AAA", "BBB", "CCC", "*NO LINK*"}));
}

TEST_F(FlightPlanTest, ArrivalAndApproachJoinAtTheirCommonFix) {
    Load(kRegion);
    Append("ORIG");
    Append("BBB");
    char apt[8] = "DEST", star[8] = "STAR1", atr[8] = "", app[8] = "APP1", aptr[8] = "DDD";
    InsertArrival(&FlightPlan, apt, star, atr, app, aptr);
    // BBB -> (gap) CCC DDD | DDD AAA, then the destination: the arrival's
    // last fix is the approach's first, kept once; the approach ends in a
    // discontinuity before the destination.
    EXPECT_EQ(Idents(), (std::vector<std::string>{"ORIG", "BBB", "*NO LINK*", "CCC", "DDD", "AAA",
                                                  "*NO LINK*", "DEST"}));
    EXPECT_EQ(+FlightPlan.legs[2].list_kind, 1);
    EXPECT_EQ(+FlightPlan.legs[6].list_kind, 3);
    // An arrival without approach ends at the destination.
    char none[8] = "";
    InsertArrival(&FlightPlan, apt, star, atr, none, none);
    EXPECT_EQ(Idents(), (std::vector<std::string>{"ORIG", "BBB", "*NO LINK*", "CCC", "DDD",
                                                  "*NO LINK*", "DEST"}));
}

TEST_F(FlightPlanTest, InsertCapDeleteAndTheTrackedIndices) {
    for (int i = 0; i < 100; ++i) InsertLeg(i, &FlightPlan, FixLeg("W", 45.0 + i * 0.01, 10.0));
    ASSERT_EQ(FmsLegCount, 100u);
    const LegRecord last = FlightPlan.legs[99];
    InsertLeg(0, &FlightPlan, FixLeg("X", 46.0, 10.0));
    EXPECT_EQ(FmsLegCount, 100u);
    EXPECT_EQ(+FlightPlan.legs[99].leg_id, +last.leg_id);
    // Deleting needs an index below the count.
    DeleteLeg(100, &FlightPlan);
    DeleteLeg(-1, &FlightPlan);
    EXPECT_EQ(FmsLegCount, 100u);
    // The TO index follows edits below it.
    SequenceLegs();
    FmsToLegIndex = 5;
    DeleteLeg(2, &FlightPlan);
    EXPECT_EQ(FmsToLegIndex, 4);
    DeleteLeg(4, &FlightPlan);
    EXPECT_EQ(FmsToLegIndex, 4);
    InsertLeg(4, &FlightPlan, FixLeg("Y", 46.0, 10.0));
    EXPECT_EQ(FmsToLegIndex, 5);
    InsertLeg(-7, &FlightPlan, FixLeg("Z", 46.0, 10.0));  // held at 0
    EXPECT_STREQ(FlightPlan.legs[0].ident, "Z");
    EXPECT_EQ(FmsToLegIndex, 6);
    DeleteLeg(0, &FlightPlan);
    InsertLeg(500, &FlightPlan, FixLeg("E", 46.0, 10.0));  // held at the end
    EXPECT_STREQ(FlightPlan.legs[FmsLegCount - 1].ident, "E");
}

TEST_F(FlightPlanTest, SlotsAdvanceOnALegChange) {
    for (int i = 0; i < 4; ++i) InsertLeg(i, &FlightPlan, FixLeg("W", 45.0 + i * 0.2, 10.0));
    FlightPlan.legs[3].leg_class = 0;
    UpdateActiveLeg();
    EXPECT_EQ(FmsToLegIndex, 1);
    EXPECT_EQ(FmsNextLegIndex, 2);
    EXPECT_EQ(+FmsFromLeg.leg_id, +FlightPlan.legs[0].leg_id);
    EXPECT_EQ(+FmsToLegCopy.leg_id, +FlightPlan.legs[1].leg_id);
    EXPECT_EQ(+FmsToLegCopy.list_kind, kSlotFilled);
    FmsSequenceRequest = 1;
    UpdateActiveLeg();
    EXPECT_EQ(FmsToLegIndex, 2);
    EXPECT_EQ(+FmsFromLeg.leg_id, +FlightPlan.legs[1].leg_id);
    EXPECT_EQ(+FmsToLegCopy.leg_id, +FlightPlan.legs[2].leg_id);
    EXPECT_EQ(FmsSequenceRequest, 0);
    // A NEXT leg of leg class 0 stops the advance.
    FmsSequenceRequest = 1;
    UpdateActiveLeg();
    EXPECT_EQ(FmsToLegIndex, 2);
    // A plan of one leg has no slots; an empty TO slot empties the copy.
    while (FmsLegCount > 1) DeleteLeg(static_cast<int32_t>(FmsLegCount) - 1, &FlightPlan);
    FrameChangeBits.store(0x20);
    UpdateActiveLeg();
    FrameChangeBits.store(0);
    EXPECT_FALSE(SlotFilled(FmsFromLeg));
    EXPECT_FALSE(SlotFilled(FmsToLeg));
    EXPECT_FALSE(SlotFilled(FmsNextLeg));
    EXPECT_EQ(+FmsToLegCopy.leg_id, 0u);
    EXPECT_EQ(FmsToLegIndex, -1);
}

TEST_F(FlightPlanTest, AToLegOutsideThePlanTakesThePlansFirstLegAsNext) {
    for (int i = 0; i < 3; ++i) InsertLeg(i, &FlightPlan, FixLeg("W", 45.0 + i * 0.2, 10.0));
    // Flying from the aircraft to a fix that is not in the plan.
    LegRecord to = FixLeg("OFF", 44.0, 9.0);
    to.list_kind = kSlotFilled;
    FmsToLeg = to;
    FmsFromLeg = to;
    FmsHoldSlots = 1;
    SequenceLegs();
    EXPECT_EQ(FmsToLegIndex, -1);
    ASSERT_TRUE(SlotFilled(FmsNextLeg));
    EXPECT_EQ(FmsNextLegIndex, 0);
    EXPECT_EQ(+FmsNextLeg.leg_id, +FlightPlan.legs[0].leg_id);
    EXPECT_EQ(+FmsToLeg.leg_id, +to.leg_id);
    // A TO leg at the plan's end has no NEXT leg.
    FmsToLeg = FlightPlan.legs[2];
    FmsToLeg.list_kind = kSlotFilled;
    EmptyLegSlot(&FmsNextLeg);
    SequenceLegs();
    EXPECT_EQ(FmsToLegIndex, 2);
    EXPECT_FALSE(SlotFilled(FmsNextLeg));
    EXPECT_EQ(FmsNextLegIndex, -1);
}

// Clearing only the copy's first word (its kind and three bytes of the leg
// identifier) would leave the lateral output and the steering flying the
// course, the class and the end point of a TO leg that is gone.
TEST_F(FlightPlanTest, AnEmptyToSlotMendClearsTheWholeCopyNotOnlyItsFirstWord) {
    for (int i = 0; i < 3; ++i) InsertLeg(i, &FlightPlan, FixLeg("W", 45.0 + i * 0.2, 10.0));
    UpdateActiveLeg();
    ASSERT_EQ(+FmsToLegCopy.leg_id, +FlightPlan.legs[1].leg_id);
    ASSERT_NE(FmsToLegCopy.leg_class, 0);
    while (FmsLegCount > 1) DeleteLeg(static_cast<int32_t>(FmsLegCount) - 1, &FlightPlan);
    FrameChangeBits.store(0x20);
    UpdateActiveLeg();
    FrameChangeBits.store(0);
    ASSERT_FALSE(SlotFilled(FmsToLeg));
    EXPECT_EQ(FmsToLegCopy.ident[0], '\0');
    EXPECT_EQ(FmsToLegCopy.leg_class, 0);
    EXPECT_EQ(FmsToLegCopy.path_type, 0);
    EXPECT_EQ(+FmsToLegCopy.magnetic_course, 0.0);
    EXPECT_EQ(+FmsToLegCopy.end_latitude, 0.0);
    EXPECT_EQ(+FmsToLegCopy.end_longitude, 0.0);
}

TEST_F(FlightPlanTest, LegInPlanByIdentifier) {
    InsertLeg(0, &FlightPlan, FixLeg("A", 45.0, 10.0));
    LegRecord other = FixLeg("A", 45.0, 10.0);
    EXPECT_FALSE(LegInPlan(other, FlightPlan));
    EXPECT_TRUE(LegInPlan(FlightPlan.legs[0], FlightPlan));
}

}  // namespace
}  // namespace zu
