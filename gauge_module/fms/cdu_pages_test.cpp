// The CDU pages driven by keys, as the keyboard gauges deposit them.
#include "fms/cdu_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/systems_tick.h"
#include "fms/cdu_engine.h"
#include "fms/fms_test_support.h"

namespace zu {
namespace {

std::string Line(int line) {
    return std::string(CduScreen.text + line * kCduColumns, kCduColumns);
}

class CduPagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fms_test::ResetFlightManagement();
        CduResetForLoad();
        std::vector<WaypointRecord> records = {
            navdb::MakeWaypoint('I', "KAPPA", "LI", 45.5, 7.0),
            navdb::MakeWaypoint('V', "KAPPA", "LF", 48.0, 2.0, 320, "113.10"),
            navdb::MakeWaypoint('I', "OMEGA", "LI", 45.2, 7.3),
            navdb::MakeWaypoint('A', "LIMC", "LIMC", 45.63, 8.72, -120),
        };
        for (WaypointRecord& r : records) r.variation = 2.0;
        ASSERT_TRUE(navdb::WriteRecords(folder_ / "Fmswpt.dat", records));
        LoadWaypointDatabase();
        ASSERT_EQ(WaypointDatabaseCount, 4);
        FmsPosition = {45.0, 7.0};
        FmsInitialised = 1;
        CduPage = kCduPageFlightPlan;
        Pass();
    }
    void TearDown() override {
        CduResetForLoad();
        fms_test::ResetFlightManagement();
        FrameChangeBits.store(0);
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
    void LineKey(int32_t k) {
        FmsKeyCode.store(k);
        Pass();
        Pass();
    }
    void AddLeg(const char* ident) {
        Type(ident);
        Key(kCduKeyEnter);
        ASSERT_EQ(CduPage, kCduPageWaypointSelect) << ident;
        Key(kCduKeyEnter);
        ASSERT_EQ(CduPage, kCduPageFlightPlan);
    }
    fms_test::FmsFolder folder_;
};

TEST_F(CduPagesTest, EmptyPlanOpensOnAnActiveEntryLine) {
    EXPECT_EQ(Line(2).substr(0, 8), " 1 -----");
    EXPECT_EQ(Line(0).substr(13, 5), " 1/ 1");
    EXPECT_EQ(CduActiveField, 1);
    EXPECT_EQ(CduFieldTable[1].linked_key, 0);
}

TEST_F(CduPagesTest, IdentifierGoesThroughTheChoicePageNearestFirst) {
    Type("KAPPA");
    Key(kCduKeyEnter);
    ASSERT_EQ(CduPage, kCduPageWaypointSelect);
    EXPECT_EQ(Line(0).substr(14, 5), " 1/ 2");
    EXPECT_NE(Line(5).find("INTERSECTION"), std::string::npos);
    Key(kCduKeyNext);
    EXPECT_EQ(CduSubPage, 1);
    EXPECT_NE(Line(5).find("VOR"), std::string::npos);
    EXPECT_NE(Line(7).find("113.10"), std::string::npos);
    Key(kCduKeyPrev);
    Key(kCduKeyEnter);
    ASSERT_EQ(CduPage, kCduPageFlightPlan);
    ASSERT_EQ(FlightPlan.count, 1u);
    EXPECT_EQ(FieldText(FlightPlan.legs[0].ident), "KAPPA");
    EXPECT_DOUBLE_EQ(FlightPlan.legs[0].fix_latitude, 45.5);
    EXPECT_EQ(Line(2).substr(0, 8), " 1 KAPPA");
    EXPECT_EQ(Line(4).substr(0, 8), " 2 -----");
}

TEST_F(CduPagesTest, UnknownIdentifierInsertsNothingAndReturnOnChoiceDoesNotInsert) {
    Type("ZZZZ");
    Key(kCduKeyEnter);
    EXPECT_EQ(CduPage, kCduPageFlightPlan);
    EXPECT_EQ(FlightPlan.count, 0u);
    CduSelectField(1);
    Type("OMEGA");
    Key(kCduKeyEnter);
    ASSERT_EQ(CduPage, kCduPageWaypointSelect);
    LineKey(10);
    EXPECT_EQ(CduPage, kCduPageFlightPlan);
    EXPECT_EQ(FlightPlan.count, 0u);
}

TEST_F(CduPagesTest, FiveLegsMakeTwoSubPagesAndTheNewLegStaysInView) {
    const char* idents[5] = {"KAPPA", "OMEGA", "LIMC", "OMEGA", "KAPPA"};
    for (const char* id : idents) AddLeg(id);
    EXPECT_EQ(FlightPlan.count, 5u);
    EXPECT_EQ(CduSubPage, 1);
    EXPECT_EQ(Line(0).substr(13, 5), " 2/ 2");
    EXPECT_EQ(Line(2).substr(0, 8), " 6 -----");
    Key(kCduKeyPrev);
    EXPECT_EQ(Line(0).substr(13, 5), " 1/ 2");
    // Leg 2 has a course and distance line above it.
    EXPECT_NE(Line(3).find("NM"), std::string::npos);
}

TEST_F(CduPagesTest, TheToLegsNumberCourseAndTextsAreAllMagenta) {
    AddLeg("KAPPA");
    AddLeg("OMEGA");
    AddLeg("LIMC");
    SequenceLegs();
    ASSERT_EQ(FmsToLegIndex, 1);
    Key(kCduKeyFpl);
    auto colour = [](int column, int line) {
        return +CduScreen.colour[line * kCduColumns + column];
    };
    constexpr int kMagentaIndex = 5, kWhiteIndex = 4, kGreenIndex = 0;
    // Leg 2 (OMEGA) is the TO leg: its number, its course and distance
    // line above it and its identifier in magenta.
    ASSERT_EQ(Line(4).substr(0, 8), " 2 OMEGA");
    EXPECT_EQ(colour(1, 4), kMagentaIndex);
    ASSERT_NE(Line(3).find("NM"), std::string::npos);
    EXPECT_EQ(colour(5, 3), kMagentaIndex);
    EXPECT_EQ(colour(10, 3), kMagentaIndex);
    EXPECT_EQ(colour(3, 4), kMagentaIndex);
    // Leg 3 is not: white number and course line, green identifier.
    ASSERT_EQ(Line(6).substr(0, 7), " 3 LIMC");
    EXPECT_EQ(colour(1, 6), kWhiteIndex);
    EXPECT_EQ(colour(5, 5), kWhiteIndex);
    EXPECT_EQ(colour(3, 6), kGreenIndex);
}

TEST_F(CduPagesTest, DeleteArmsThenDeletesAndAnyOtherKeyCancels) {
    AddLeg("KAPPA");
    AddLeg("OMEGA");
    ASSERT_EQ(FlightPlan.count, 2u);
    LineKey(1);  // select leg 1
    EXPECT_EQ(CduLegSelected, 1);
    EXPECT_EQ(Line(2).substr(20, 4), "DELw");
    LineKey(6);
    EXPECT_EQ(CduScreen.blink[2 * kCduColumns + 20], 1);
    LineKey(7);  // INFO: cancels
    EXPECT_EQ(FlightPlan.count, 2u);
    EXPECT_EQ(CduScreen.blink[2 * kCduColumns + 20], 0);
    LineKey(6);
    LineKey(6);
    ASSERT_EQ(FlightPlan.count, 1u);
    EXPECT_EQ(FieldText(FlightPlan.legs[0].ident), "OMEGA");
}

TEST_F(CduPagesTest, InitShowsPositionAndAcceptTurnsItGreen) {
    CduResetForLoad();
    FmsPosition = {45.0, 7.0};
    CduPage = kCduPageInit;
    Pass();
    EXPECT_EQ(Line(4).substr(0, 10), "N  45 00.0");
    EXPECT_EQ(CduScreen.colour[4 * kCduColumns], 2);
    LineKey(5);
    EXPECT_EQ(FmsInitialised, 1);
    EXPECT_EQ(CduScreen.colour[4 * kCduColumns], 0);
    EXPECT_EQ(Line(10).find("ACCEPT"), std::string::npos);
}

TEST_F(CduPagesTest, InformationBlockShowsNegativeElevationRightAligned) {
    CduClearScreen();
    CduWaypointInfo(3);
    EXPECT_NE(Line(5).find("AIRPORT"), std::string::npos);
    EXPECT_EQ(Line(8).substr(12, 7), "-   120");
    EXPECT_EQ(Line(9).substr(12, 6), "E  2.0");
    CduWaypointInfo(-1);  // out of range: nothing written, no fault
}

}  // namespace
}  // namespace zu
