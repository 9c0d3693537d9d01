// The navigation pages (NAV, NAV LEG, DIRECT, PVOR, HOLD FIX, HOLDING,
// MANEUVER) driven by keys, as the keyboard gauges deposit them.
#include "fms/cdu_pages_nav.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/flight_guidance.h"
#include "core/nav_sources.h"
#include "core/systems_tick.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/fms_nav_output.h"
#include "fms/fms_test_support.h"

namespace zu {
namespace {

std::string Line(int line) {
    return std::string(CduScreen.text + line * kCduColumns, kCduColumns);
}

bool Shows(int line, const std::string& text) {
    return Line(line).find(text) != std::string::npos;
}

class CduNavPagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fms_test::ResetFlightManagement();
        CduResetForLoad();
        std::vector<WaypointRecord> records = {
            navdb::MakeWaypoint('I', "KAPPA", "LI", 45.5, 7.0),
            navdb::MakeWaypoint('I', "OMEGA", "LI", 45.2, 7.3),
            navdb::MakeWaypoint('V', "SIGMA", "LI", 45.8, 7.6, 320, "113.10"),
            navdb::MakeWaypoint('I', "DELTA", "LI", 46.1, 7.2),
            navdb::MakeWaypoint('I', "ZETA", "LI", 44.6, 6.8),
        };
        for (WaypointRecord& r : records) r.variation = 2.0;
        ASSERT_TRUE(navdb::WriteRecords(folder_ / "Fmswpt.dat", records));
        LoadWaypointDatabase();
        ASSERT_EQ(WaypointDatabaseCount, 5);
        FmsPosition = {45.0, 7.0};
        FmsInitialised = 1;
        FmsCrossTrack = FmsTrackError = FmsBearingToWaypoint = 0.0;
        NavSources[kNavFms1].bearing_valid = 0;
    }
    void TearDown() override {
        CduResetForLoad();
        fms_test::ResetFlightManagement();
        FrameChangeBits.store(0);
        FmsCrossTrack = FmsTrackError = FmsBearingToWaypoint = 0.0;
        NavSources[kNavFms1].bearing_valid = 0;
        FgcFmsLegParam1 = FgcFmsLegParam2 = 0;
    }
    void Pass() {
        FrameChangeBits.store(0);
        CduDispatchPage();
        CduProcessKeys();
    }
    void Key(int32_t code, char ch = 0) {
        CduDepositFunctionKey(code, ch);
        Pass();
        Pass();
    }
    void Type(const char* text) {
        for (; *text != '\0'; ++text) Key(kCduKeyCharacter, *text);
    }
    void Enter(const char* text) {
        Type(text);
        Key(kCduKeyEnter);
    }
    void LineKey(int32_t k) {
        FmsKeyCode.store(k);
        Pass();
        Pass();
    }
    // Accepts the first (nearest) candidate on the choice page.
    void Choose() {
        ASSERT_EQ(CduPage, kCduPageWaypointSelect);
        Key(kCduKeyEnter);
        Pass();
    }
    void Open(int32_t page) {
        CduPage = page;
        Pass();
        Pass();
    }
    // A plan of the database's fixes in the given order, flown from its
    // first two legs.
    void Plan(const std::vector<int32_t>& records) {
        for (int32_t r : records)
            InsertWaypointLeg(r, static_cast<int32_t>(FlightPlan.count), &FlightPlan);
        SequenceLegs();
        RecomputeFlightPlan(&FlightPlan);
    }
    fms_test::FmsFolder folder_;
};

TEST_F(CduNavPagesTest, NavShowsSlotsCrossTrackSideAndDashesWithoutBearing) {
    Plan({0, 1, 2});
    Open(kCduPageNav);
    EXPECT_EQ(Line(0).substr(7, 3), "NAV");
    EXPECT_EQ(Line(0).substr(15, 3), "1/2");
    EXPECT_EQ(Line(2).substr(0, 8), "FR KAPPA");
    EXPECT_EQ(Line(4).substr(0, 8), "TO OMEGA");
    EXPECT_EQ(CduScreen.colour[4 * kCduColumns + 3], 5);
    EXPECT_EQ(Line(6).substr(0, 8), "NX SIGMA");
    EXPECT_TRUE(Shows(5, "NM"));  // the NEXT leg's course line
    EXPECT_EQ(Line(9).substr(15, 7), "BRG ---");

    struct Case {
        double xtk;
        const char* side;
        const char* value;
    };
    for (const Case& c : {Case{0.25, "R", "0.25"}, Case{-12.34, "L", "12.3"},
                          Case{0.0, "E", "0.00"}, Case{-250.0, "L", "99.9"}}) {
        FmsCrossTrack = c.xtk;
        CduRedraw = 1;
        Pass();
        EXPECT_EQ(Line(8).substr(0, 7), std::string("XTK (") + c.side + ")") << c.xtk;
        EXPECT_EQ(Line(8).substr(8, 4), c.value) << c.xtk;
    }
    NavSources[kNavFms1].bearing_valid = 1;
    FmsBearingToWaypoint = 359.7;
    FmsTrackError = -12.4;
    CduRedraw = 1;
    Pass();
    EXPECT_EQ(Line(9).substr(19, 4), "000\xB0");
    EXPECT_EQ(Line(10).substr(19, 5), "012\xB0L");
}

TEST_F(CduNavPagesTest, EmptySlotsShowPlaceholdersAndSecondSubPageThePosition) {
    Open(kCduPageNav);
    EXPECT_EQ(Line(2).substr(3, 8), "--------");
    EXPECT_EQ(Line(3).substr(3, 7), " # ----");
    Key(kCduKeyNext);
    EXPECT_EQ(CduSubPage, 1);
    EXPECT_EQ(Line(3).substr(0, 10), "N  45 00.0");
    EXPECT_TRUE(Shows(3, "FMS1 Q=01"));
    Key(kCduKeyNext);  // the last sub-page: NEXT stays
    EXPECT_EQ(CduSubPage, 1);
    LineKey(2);  // not on this sub-page
    EXPECT_EQ(CduPage, kCduPageNav);
    Key(kCduKeyPrev);
    Key(kCduKeyPrev);  // the first sub-page: PREV stays
    EXPECT_EQ(CduSubPage, 0);
}

TEST_F(CduNavPagesTest, NavLegTakesPlanLegThreeAsTheToLeg) {
    Plan({0, 1, 2, 3});
    Open(kCduPageNav);
    LineKey(2);
    ASSERT_EQ(CduPage, kCduPageNavLeg);
    EXPECT_EQ(CduNavLegField, 2);
    EXPECT_EQ(CduActiveField, 2);
    EXPECT_EQ(Line(0).substr(7, 7), "NAV LEG");
    Enter("3");
    EXPECT_EQ(CduPage, kCduPageNav);
    EXPECT_EQ(FmsToLegIndex, 2);
    EXPECT_EQ(FieldText(FmsToLeg.ident), "SIGMA");
    EXPECT_EQ(FmsToLeg.leg_class, 8);
    EXPECT_EQ(FieldText(FmsNextLeg.ident), "DELTA");
    EXPECT_EQ(FmsHoldSlots, 1);
    // The flight-plan page shows it in magenta.
    Key(kCduKeyFpl);
    EXPECT_EQ(CduScreen.colour[6 * kCduColumns + 3], 5);
    EXPECT_EQ(CduScreen.colour[4 * kCduColumns + 3], 0);
}

TEST_F(CduNavPagesTest, NavLegIdentifierForTheToSlotThenNextByNumber) {
    Plan({0, 1, 2});
    Open(kCduPageNav);
    LineKey(2);
    Enter("DELTA");
    Choose();
    ASSERT_EQ(CduPage, kCduPageNavLeg);
    EXPECT_EQ(FieldText(FmsToLeg.ident), "DELTA");
    EXPECT_FALSE(LegInPlan(FmsToLeg, FlightPlan));
    EXPECT_FALSE(SlotFilled(FmsNextLeg));
    EXPECT_EQ(CduNavLegField, 3);
    EXPECT_EQ(CduActiveField, 3);
    // The NEXT field takes digits only; a number beyond the plan empties it.
    Enter("9");
    EXPECT_FALSE(SlotFilled(FmsNextLeg));
    CduSelectField(3);
    Enter("3");
    EXPECT_EQ(CduPage, kCduPageNav);
    EXPECT_EQ(FieldText(FmsNextLeg.ident), "SIGMA");
    EXPECT_EQ(FmsKeepNext, 1);
    // An empty FROM entry empties the FROM slot.
    Open(kCduPageNavLeg);
    LineKey(1);
    Type("X");
    Key(kCduKeyBack);
    Key(kCduKeyEnter);
    EXPECT_FALSE(SlotFilled(FmsFromLeg));
    LineKey(10);
    EXPECT_EQ(CduPage, kCduPageNav);
}

TEST_F(CduNavPagesTest, DirectToAnIdentifierFliesFromPresentPositionWithTheChosenTurn) {
    Plan({0, 1, 2});
    Key(kCduKeyDirect);
    ASSERT_EQ(CduPage, kCduPageDirect);
    EXPECT_EQ(Line(0).substr(7, 3), "DTO");
    EXPECT_EQ(Line(3).substr(0, 9), " 2>OMEGA ");
    EXPECT_EQ(Line(6).substr(19, 4), "AUTO");
    EXPECT_EQ(CduScreen.colour[6 * kCduColumns + 19], 0);
    LineKey(6);  // LEFT
    EXPECT_EQ(CduDirectTurn, 1);
    EXPECT_EQ(CduScreen.colour[2 * kCduColumns + 19], 0);
    // The identifier field is defined, not selected: L1 selects it.
    EXPECT_EQ(CduActiveField, 0);
    LineKey(1);
    EXPECT_EQ(CduActiveField, 1);
    Enter("ZETA");
    Choose();  // back through DIRECT: the turn stays
    ASSERT_EQ(CduPage, kCduPageNavLeg);
    EXPECT_EQ(CduDirectTurn, 1);
    EXPECT_EQ(FieldText(FmsToLeg.ident), "ZETA");
    EXPECT_EQ(FmsToLeg.leg_class, 9);
    EXPECT_EQ(FmsToLeg.turn_direction, 1);
    EXPECT_EQ(FgcFmsLegParam1, 1u);
    EXPECT_EQ(FgcFmsLegParam2, 1u);
    EXPECT_EQ(CduNavLegField, 3);
    EXPECT_EQ(Line(2).substr(0, 9), "FR (PPOS)");
    EXPECT_EQ(FieldText(FmsFromLeg.label), "PPOS");
    // The present-position leg keeps its name when the slots are rebuilt.
    BuildPposLegs();
    EXPECT_EQ(FieldText(FmsFromLeg.ident), "(PPOS)");
    EXPECT_DOUBLE_EQ(FmsFromLeg.end_latitude, 45.0);
    // Entered again by its key, DIRECT starts on automatic turns.
    Key(kCduKeyDirect);
    EXPECT_EQ(CduDirectTurn, 0);
}

TEST_F(CduNavPagesTest, DirectToPlanNumberAndEnterOnTheHandPlacedToLeg) {
    Plan({0, 1, 2, 3});
    Key(kCduKeyDirect);
    EXPECT_EQ(Line(1).substr(13, 8), "--------");
    EXPECT_EQ(CduDirectPending, 0);
    LineKey(7);  // RIGHT
    LineKey(1);
    Enter("3");
    ASSERT_EQ(CduPage, kCduPageNav);
    EXPECT_EQ(FmsToLegIndex, 2);
    EXPECT_EQ(FmsToLeg.leg_class, 9);
    EXPECT_EQ(FmsToLeg.turn_direction, 2);
    EXPECT_EQ(FieldText(FmsNextLeg.ident), "DELTA");
    // Now the TO leg is hand-placed: DIRECT offers it, ENTER flies to it.
    Key(kCduKeyDirect);
    EXPECT_EQ(Line(1).substr(13, 8), "SIGMA   ");
    EXPECT_EQ(CduDirectPending, 1);
    FmsFromLeg = FlightPlan.legs[0];
    FmsFromLeg.list_kind = kSlotFilled;
    Key(kCduKeyEnter);
    EXPECT_EQ(CduPage, kCduPageNav);
    EXPECT_EQ(FieldText(FmsToLeg.ident), "SIGMA");
    EXPECT_EQ(FieldText(FmsFromLeg.ident), "(PPOS)");
    // Typing withdraws the offer.
    Key(kCduKeyDirect);
    LineKey(1);
    Type("K");
    EXPECT_EQ(CduDirectPending, 0);
}

TEST_F(CduNavPagesTest, DirectRefusesAHoldByNumberAndOpensOnTheViewedSubPage) {
    std::vector<int32_t> legs;
    for (int i = 0; i < 10; ++i) legs.push_back(i % 5);
    Plan(legs);
    FlightPlan.legs[3].leg_class = 5;
    Key(kCduKeyFpl);
    Key(kCduKeyNext);
    ASSERT_EQ(CduSubPage, 1);
    Key(kCduKeyDirect);
    EXPECT_EQ(CduSubPage, 1);
    EXPECT_EQ(Line(2).substr(0, 2), " 9");
    EXPECT_EQ(Line(3).substr(0, 2), "10");
    const LegRecord to = FmsToLeg;
    LineKey(1);
    Enter("4");  // a hold: looked up as an identifier, which finds nothing
    EXPECT_EQ(CduPage, kCduPageDirect);
    EXPECT_EQ(+FmsToLeg.leg_id, +to.leg_id);
    LineKey(5);  // PVOR, returning to DIRECT
    ASSERT_EQ(CduPage, kCduPagePvor);
    LineKey(10);
    EXPECT_EQ(CduPage, kCduPageDirect);
}

TEST_F(CduNavPagesTest, PvorRadialGivesTheReciprocalCourseAndAcceptFliesIt) {
    Plan({0, 1, 2});
    Open(kCduPagePvor);
    EXPECT_EQ(Line(2).substr(19, 5), "-----");
    LineKey(5);  // ACCEPT without a waypoint: nothing
    EXPECT_EQ(CduPage, kCduPagePvor);
    LineKey(8);  // radial
    Enter("090");
    EXPECT_EQ(CduPvorMode, 1);
    EXPECT_EQ(CduPvorCourse, 270);
    EXPECT_EQ(Line(6).substr(20, 4), "090\xB0");
    EXPECT_EQ(Line(4).substr(20, 3), "---");
    LineKey(8);
    Enter("270");
    EXPECT_EQ(CduPvorCourse, 90);
    LineKey(9);
    Enter("400");  // not a course
    EXPECT_EQ(CduPvorMode, 1);
    LineKey(8);  // an empty radial undefines it
    Type("1");
    Key(kCduKeyBack);
    Key(kCduKeyEnter);
    EXPECT_EQ(CduPvorMode, -1);
    LineKey(6);
    Enter("SIGMA");
    Choose();
    ASSERT_EQ(CduPage, kCduPagePvor);
    EXPECT_EQ(Line(2).substr(19, 5), "SIGMA");
    EXPECT_EQ(CduActiveField, 2);  // no course yet: the desired track is next
    EXPECT_EQ(FmsToLeg.path_type, 2);
    Enter("045");
    LineKey(5);
    ASSERT_EQ(CduPage, kCduPageNavLeg);
    EXPECT_EQ(FieldText(FmsFromLeg.ident), "PVOR");
    EXPECT_EQ(FieldText(FmsFromLeg.label), "PVOR");
    EXPECT_EQ(FieldText(FmsToLeg.ident), "SIGMA");
    EXPECT_DOUBLE_EQ(FmsToLeg.magnetic_course, 45.0);
    EXPECT_FALSE(SlotFilled(FmsNextLeg));
    EXPECT_EQ(CduNavLegField, 3);
}

TEST_F(CduNavPagesTest, HoldFixOnAFreshFixGivesTheDefaultRightHold) {
    Plan({0, 1});
    Open(kCduPageManeuver);
    LineKey(1);
    ASSERT_EQ(CduPage, kCduPageHoldFix);
    // L1 selects the fix field, which the page defined on entry.
    EXPECT_EQ(CduActiveField, 0);
    LineKey(1);
    EXPECT_EQ(CduActiveField, 1);
    Enter("SIGMA");
    Choose();
    ASSERT_EQ(CduPage, kCduPageHolding);
    Pass();
    EXPECT_EQ(Line(0).substr(6, 11), "HOLDING 1/1");
    EXPECT_EQ(Line(2).substr(0, 5), "SIGMA");
    EXPECT_EQ(Line(4).substr(0, 4), "166\xB0");
    EXPECT_EQ(Line(6).substr(0, 4), "346\xB0");
    EXPECT_EQ(Line(8).substr(0, 5), "RIGHT");
    EXPECT_EQ(Line(2).substr(21, 3), "1.0");
    EXPECT_EQ(Line(4).substr(21, 3), "5.0");
    // The aircraft south-west of the fix, inbound 166 with right turns.
    EXPECT_EQ(CduHoldEntry, 3);
    EXPECT_EQ(Line(8).substr(19, 5), "PARLL");
    EXPECT_EQ(Line(10).substr(0, 9), "qDTO HOLD");
    ASSERT_EQ(CduRegionCount, 1);
    EXPECT_EQ(CduRegions[0].kind, 2);
    EXPECT_EQ(CduRegions[0].x1, 2);
    EXPECT_EQ(FieldText(CduHoldLeg.navaid_ident), "SIGMA");
    EXPECT_DOUBLE_EQ(CduHoldLeg.navaid_latitude, 45.8);
}

TEST_F(CduNavPagesTest, HoldingFieldsEditTheHoldInTurn) {
    Open(kCduPageHoldFix);
    LineKey(1);
    Enter("SIGMA");
    Choose();
    LineKey(3);  // direction from the fix
    Enter("270");
    EXPECT_EQ(LegInboundCourse(CduHoldLeg), 90);
    EXPECT_EQ(CduActiveField, 4);
    Enter("L");
    EXPECT_EQ(CduHoldLeg.turn_direction, 1);
    EXPECT_EQ(CduActiveField, 6);
    Enter("15");  // 1.5 minutes
    EXPECT_DOUBLE_EQ(LegLength(CduHoldLeg), 7.5);
    EXPECT_EQ(Line(2).substr(21, 3), "1.5");
    EXPECT_EQ(Line(8).substr(0, 4), "LEFT");
    LineKey(7);
    Enter("123");  // 12.3 nm
    EXPECT_DOUBLE_EQ(LegLength(CduHoldLeg), 12.3);
    EXPECT_EQ(Line(4).substr(20, 4), "12.3");
    LineKey(2);
    Enter("361");  // refused
    EXPECT_EQ(LegInboundCourse(CduHoldLeg), 90);
    LineKey(7);
    Enter("0");  // a hold needs legs of some length
    EXPECT_DOUBLE_EQ(LegLength(CduHoldLeg), 12.3);
}

TEST_F(CduNavPagesTest, HoldAtAPlanLegArmsThenActivatesAndDisarms) {
    Plan({0, 1, 2, 3});
    Open(kCduPageHoldFix);
    LineKey(1);
    Enter("3");
    ASSERT_EQ(CduPage, kCduPageHolding);
    EXPECT_EQ(FieldText(CduHoldLeg.ident), "SIGMA");
    EXPECT_EQ(Line(10).substr(0, 9), "qARM HOLD");
    LineKey(5);
    EXPECT_EQ(CduHoldLeg.hold_armed, kHoldArmedMark);
    EXPECT_EQ(CduPage, kCduPageHolding);
    EXPECT_EQ(Line(10).substr(0, 9), "qDTO HOLD");
    // Armed: the plan's leg carries the hold.
    EXPECT_EQ(FlightPlan.legs[2].leg_class, 5);
    EXPECT_EQ(FieldText(FlightPlan.legs[2].path_terminator), "HM");
    // MANEUVER: DISARM clears the mark.
    Open(kCduPageManeuver);
    LineKey(3);
    EXPECT_EQ(CduHoldLeg.hold_armed, 0);
    LineKey(2);
    EXPECT_EQ(CduHoldArmed, 1);
    // Armed again, the second press flies it at once.
    Open(kCduPageHolding);
    LineKey(5);
    LineKey(5);
    EXPECT_EQ(CduPage, kCduPageHolding);
    EXPECT_EQ(FmsToLeg.leg_class, 5);
    EXPECT_EQ(+FmsToLeg.leg_id, +FlightPlan.legs[2].leg_id);
    EXPECT_EQ(FmsToLegIndex, 2);
    EXPECT_EQ(FieldText(FmsFromLeg.ident), "(PPOS)");
    EXPECT_EQ(FmsFromLeg.leg_class, 8);
    // CONTINUE HOLD takes the TO leg as the hold.
    Open(kCduPageManeuver);
    LineKey(4);
    EXPECT_EQ(CduHoldArmed, 0);
    EXPECT_EQ(FmsToLeg.annotation_kind, 5);
    EXPECT_EQ(+CduHoldLeg.leg_id, +FmsToLeg.leg_id);
}

TEST_F(CduNavPagesTest, HoldFromDirectIsFlownAtOnceAndEnterTakesTheToLeg) {
    Plan({0, 1, 2});
    Key(kCduKeyDirect);
    LineKey(9);
    ASSERT_EQ(CduPage, kCduPageHoldFix);
    EXPECT_EQ(CduHoldFromDirect, 1);
    Key(kCduKeyEnter);  // the present TO leg
    ASSERT_EQ(CduPage, kCduPageHolding);
    EXPECT_EQ(FieldText(CduHoldLeg.ident), "OMEGA");
    EXPECT_EQ(Line(10).substr(0, 9), "qDTO HOLD");
    LineKey(5);
    EXPECT_EQ(CduPage, kCduPageNav);
    EXPECT_EQ(FmsToLeg.leg_class, 5);
    EXPECT_EQ(Line(4).substr(3, 6), "(HOLD)");
}

TEST_F(CduNavPagesTest, ManeuverAndReturnPromptsReachTheirPages) {
    Open(kCduPageNav);
    LineKey(7);
    ASSERT_EQ(CduPage, kCduPageManeuver);
    LineKey(7);
    EXPECT_EQ(CduPage, kCduPagePvor);
    LineKey(10);
    EXPECT_EQ(CduPage, kCduPageNav);
    LineKey(5);  // no prompt there: NAV stays, the slot choice clears
    EXPECT_EQ(CduPage, kCduPageNav);
    EXPECT_EQ(CduNavLegField, 0);
    // Without a hold, ARM/DTO HOLD and CONTINUE HOLD change nothing.
    Open(kCduPageHolding);
    LineKey(5);
    EXPECT_FALSE(SlotFilled(FmsToLeg));
    Open(kCduPageManeuver);
    LineKey(4);
    EXPECT_EQ(CduHoldLeg.leg_class, 0);
}

}  // namespace
}  // namespace zu
