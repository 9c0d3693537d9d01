// The CDU's FPL MENU, DEPARTURE, ARRIVAL, PERF and LIST pages driven by
// keys, on a small navigation database written for the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/flight_guidance_annunciation.h"
#include "core/fsuipc_data_exchange.h"
#include "core/systems_tick.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/fms_test_support.h"
#include "instruments/engine_instruments.h"

namespace zu {
namespace {

// An airport with ten runways, one SID with two runway transitions and one
// enroute transition, and a destination with one STAR and one approach.
constexpr const char* kTable = R"(
apt XZVA 45.0000 10.0000 300
apt LIPO 45.4289 10.3306 355
rwy XZVA 01
rwy XZVA 02
rwy XZVA 03
rwy XZVA 04
rwy XZVA 05
rwy XZVA 06
rwy XZVA 07
rwy XZVA 08
rwy XZVA 18
rwy XZVA 36
rwy LIPO 14
nav V XVA LI 45.0500 10.0500 113.40
nav V XVB LI 45.3000 10.6000 112.20
nav N XNA LI 45.5000 10.1800 345
wpt XEDIS LI 45.3000 10.0000
wpt XFODA LI 45.2985 10.4265
wpt XGALE LI 45.6000 10.0500
wpt XLIFA LI 45.5200 10.2000
wpt XOMBA LI 45.1500 10.0000
leg kind=2 route=1 proc=XVA1D trans=RW36 apt=XZVA ident=(1300) pt=CA class=8 path=1 course=0 alt=1300 altkind=1 nav=XVA
leg kind=2 route=1 proc=XVA1D trans=RW18 apt=XZVA ident=(1300) pt=CA class=8 path=1 course=180 alt=1300 altkind=1 nav=XVA
leg kind=2 route=2 proc=XVA1D apt=XZVA pt=TF class=7 path=2 fix=XOMBA nav=XVA
leg kind=2 route=3 proc=XVA1D trans=XEDIS apt=XZVA pt=TF class=7 path=2 fix=XEDIS nav=XVA
leg kind=1 route=3 proc=XFO1A trans=XFODA apt=LIPO pt=TF class=7 path=2 fix=XFODA nav=XVB
leg kind=1 route=2 proc=XFO1A apt=LIPO pt=TF class=7 path=2 fix=XGALE nav=XVB
leg kind=1 route=2 proc=XFO1A apt=LIPO pt=TF class=7 path=2 fix=XNA nav=XNA
leg kind=3 route=A proc=I14 trans=XGALE apt=LIPO pt=TF class=7 path=2 fix=XGALE nav=XNA
leg kind=3 route=A proc=I14 trans=XGALE apt=LIPO pt=TF class=7 path=2 fix=XLIFA nav=XNA
)";

std::string Line(int line) {
    return std::string(CduScreen.text + line * kCduColumns, kCduColumns);
}

std::vector<std::string> PlanIdents() {
    std::vector<std::string> idents;
    for (uint32_t i = 0; i < FlightPlan.count; ++i) {
        idents.emplace_back(FieldText(FlightPlan.legs[i].ident));
    }
    return idents;
}

class CduProcedurePagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fms_test::ResetFlightManagement();
        CduResetForLoad();
        CduDepartureChoice = {"----", "---", "------", "-----", "", ""};
        CduArrivalChoice = {"----", "---", "------", "-----", "-------", "-----"};
        CduProcedureStep = -1;
        navdb::Table table;
        std::string error;
        ASSERT_TRUE(navdb::ParseTable(kTable, &table, &error)) << error;
        ASSERT_TRUE(navdb::WriteTable(table, folder_.path(), &error)) << error;
        LoadWaypointDatabase();
        ASSERT_GT(WaypointDatabaseCount, 0);
        FmsPosition = {45.0, 10.0};
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
    void Enter(const char* text) {
        Type(text);
        Key(kCduKeyEnter);
    }
    void LineKey(int32_t k) {
        FmsKeyCode.store(k);
        Pass();
        Pass();
    }
    void AddLeg(const char* ident) {
        Enter(ident);
        ASSERT_EQ(CduPage, kCduPageWaypointSelect) << ident;
        Key(kCduKeyEnter);
        ASSERT_EQ(CduPage, kCduPageFlightPlan);
    }
    void OpenMenuPage(int32_t line_key, int32_t page) {
        Key(kCduKeyMenu);
        ASSERT_EQ(CduPage, kCduPageFplMenu);
        LineKey(line_key);
        ASSERT_EQ(CduPage, page);
        Pass();
    }
    fms_test::FmsFolder folder_;
};

TEST_F(CduProcedurePagesTest, MenuOpensBothPagesAndReturnsToThePlanSubPage) {
    Key(kCduKeyMenu);
    ASSERT_EQ(CduPage, kCduPageFplMenu);
    EXPECT_EQ(Line(0).substr(6, 14), "FPL MENU  1/ 2");
    EXPECT_EQ(Line(8).substr(0, 7), "qDEPART");
    LineKey(10);
    EXPECT_EQ(CduPage, kCduPageFlightPlan);
    OpenMenuPage(9, kCduPageArrival);
    EXPECT_EQ(Line(0).substr(5, 7), "ARRIVAL");
    LineKey(10);
    EXPECT_EQ(CduPage, kCduPageFlightPlan);
    OpenMenuPage(4, kCduPageDeparture);
    EXPECT_EQ(Line(0).substr(5, 9), "DEPARTURE");
    EXPECT_EQ(Line(2).substr(20, 4), "----");
    EXPECT_EQ(Line(6).substr(12, 12), "------.-----");
}

TEST_F(CduProcedurePagesTest, DepartureByKeysInsertsTheSidWithItsTransition) {
    AddLeg("XEDIS");
    OpenMenuPage(4, kCduPageDeparture);
    // The airport through the choice page.
    LineKey(6);
    ASSERT_EQ(CduActiveField, 6);
    Enter("XZVA");
    ASSERT_EQ(CduPage, kCduPageWaypointSelect);
    Key(kCduKeyEnter);
    ASSERT_EQ(CduPage, kCduPageDeparture);
    Pass();
    EXPECT_EQ(Line(2).substr(20, 4), "XZVA");
    // Ten runways: two sub-pages of eight.
    LineKey(7);
    ASSERT_EQ(CduProcedureStep, 7);
    EXPECT_EQ(Line(1).substr(0, 10), "SEL RUNWAY");
    EXPECT_EQ(Line(0).substr(15, 5), " 1/ 2");
    EXPECT_EQ(Line(9).substr(0, 5), " 8 08");
    Key(kCduKeyNext);
    EXPECT_EQ(CduProcedureStep, 7);
    EXPECT_EQ(Line(2).substr(0, 5), " 9 18");
    EXPECT_EQ(Line(3).substr(0, 5), "10 36");
    // A number outside the list is ignored, one inside picks the runway.
    Enter("11");
    EXPECT_EQ(Line(4).substr(21, 3), "---");
    LineKey(7);
    Enter("10");
    EXPECT_EQ(Line(4).substr(21, 2), "36");
    EXPECT_EQ(CduProcedureStep, -1);
    // SID, then its transition: the departure goes in.
    LineKey(8);
    EXPECT_EQ(Line(1).substr(0, 7), "SEL SID");
    EXPECT_EQ(Line(2).substr(0, 8), " 1 XVA1D");
    Enter("1");
    LineKey(9);
    EXPECT_EQ(Line(1).substr(0, 14), "SEL TRANSITION");
    EXPECT_EQ(Line(2).substr(0, 8), " 1 XEDIS");
    Enter("1");
    EXPECT_EQ(Line(6).substr(12, 12), " XVA1D.XEDIS");
    // The runway's transition, the common route, the enroute transition
    // joining the plan's XEDIS.
    const std::vector<std::string> expected = {"XZVA", "(1300)", "XOMBA", "XEDIS"};
    EXPECT_EQ(PlanIdents(), expected);
    LineKey(10);
    EXPECT_EQ(CduPage, kCduPageFlightPlan);
}

TEST_F(CduProcedurePagesTest, DepartureTakesThePlanOriginAndDeselectingHidesTheList) {
    AddLeg("XZVA");
    OpenMenuPage(4, kCduPageDeparture);
    EXPECT_EQ(Line(2).substr(20, 4), "XZVA");
    EXPECT_EQ(CduActiveField, 7);
    EXPECT_EQ(CduProcedureStep, 7);
    EXPECT_EQ(Line(1).substr(0, 10), "SEL RUNWAY");
    LineKey(7);
    EXPECT_EQ(CduActiveField, 0);
    EXPECT_EQ(CduProcedureStep, -1);
    EXPECT_EQ(Line(2).substr(0, 3), "   ");
}

TEST_F(CduProcedurePagesTest, ArrivalTakesTheDestinationAndEndsThere) {
    AddLeg("XEDIS");
    AddLeg("XFODA");
    OpenMenuPage(9, kCduPageArrival);
    LineKey(6);
    Enter("LIPO");
    ASSERT_EQ(CduPage, kCduPageWaypointSelect);
    Key(kCduKeyEnter);
    ASSERT_EQ(CduPage, kCduPageArrival);
    // STAR, then its transition list is due at once.
    LineKey(8);
    EXPECT_EQ(Line(1).substr(0, 8), "SEL STAR");
    Enter("1");
    EXPECT_EQ(CduActiveField, 11);
    EXPECT_EQ(Line(1).substr(0, 14), "SEL TRANSITION");
    Enter("1");
    EXPECT_EQ(Line(6).substr(12, 12), "XFO1A .XFODA");
    std::vector<std::string> idents = PlanIdents();
    ASSERT_FALSE(idents.empty());
    EXPECT_EQ(idents.back(), "LIPO");
    // The approach and its transition go in before the destination.
    LineKey(9);
    EXPECT_EQ(Line(1).substr(0, 12), "SEL APPROACH");
    Enter("1");
    EXPECT_EQ(CduActiveField, 12);
    EXPECT_EQ(Line(1).substr(0, 14), "SEL APPR TRANS");
    Enter("1");
    EXPECT_EQ(Line(8).substr(11, 13), "    I14.XGALE");
    idents = PlanIdents();
    EXPECT_EQ(idents.back(), "LIPO");
    EXPECT_NE(std::find(idents.begin(), idents.end(), "XLIFA"), idents.end());
    // Entering the page again takes the destination from the plan.
    LineKey(10);
    OpenMenuPage(9, kCduPageArrival);
    EXPECT_EQ(Line(2).substr(20, 4), "LIPO");
    EXPECT_EQ(CduActiveField, 7);
}

TEST_F(CduProcedurePagesTest, ListShowsTheNearestVorsAndSearchesAgainWhileShown) {
    Key(kCduKeyList);
    ASSERT_EQ(CduPage, kCduPageList);
    Pass();
    EXPECT_EQ(Line(0).substr(9, 4), "LIST");
    EXPECT_EQ(Line(2).substr(6, 6), " 1 XVA");
    EXPECT_EQ(Line(2).substr(20, 4), "PLNw");
    EXPECT_EQ(CduRegionCount, 4);
    // Another VOR comes into range: the idle ticks bring it into the list.
    FmsPosition = {45.25, 10.55};
    for (int i = 0; i < 40; ++i) {
        FrameChangeBits.store(0x02);
        CduDispatchPage();
        CduProcessKeys();
    }
    FrameChangeBits.store(0x20);
    CduDispatchPage();
    EXPECT_EQ(Line(2).substr(6, 6), " 1 XVB");
}

// Puts the aircraft values the PERF page reads back as they were.
struct PerfInputsSaved {
    float flow[2] = {FuelFlowValue[0], FuelFlowValue[1]};
    float quantity[2] = {EngineDisplayValue[0], EngineDisplayValue[1]};
    int32_t tas = TrueAirspeed;
    double weight = GrossWeight;
    int32_t gs = GroundSpeed;
    uint8_t sense = WindComponentSense[0];
    ~PerfInputsSaved() {
        FuelFlowValue[0] = flow[0];
        FuelFlowValue[1] = flow[1];
        EngineDisplayValue[0] = quantity[0];
        EngineDisplayValue[1] = quantity[1];
        TrueAirspeed = tas;
        GrossWeight = weight;
        GroundSpeed = gs;
        WindComponentSense[0] = sense;
    }
};

TEST_F(CduProcedurePagesTest, PerfShowsFuelAndEstimatesOnlyWithAPlan) {
    const PerfInputsSaved saved;
    FuelFlowValue[0] = FuelFlowValue[1] = 300.0f;
    EngineDisplayValue[0] = EngineDisplayValue[1] = 100.0f;
    TrueAirspeed = 0;
    GrossWeight = 30000.0;
    GroundSpeed = 180;
    WindComponentSense[0] = 0;
    Key(kCduKeyPerf);
    ASSERT_EQ(CduPage, kCduPagePerf);
    EXPECT_EQ(Line(0).substr(8, 8), "PERF 1/1");
    EXPECT_EQ(Line(1).substr(6, 3), "180");
    EXPECT_EQ(Line(1).substr(11, 8), "HEADWIND");
    EXPECT_EQ(Line(3).substr(5, 4), "----");
    EXPECT_EQ(Line(8).substr(2, 4), "1363");  // 200 x 6.8132
    // 1363 lb at 601 lb/h: 2 h 16 min, at the 120 kt floor 272 nm.
    EXPECT_EQ(Line(9).substr(1, 5), "02+16");
    EXPECT_EQ(Line(10).substr(1, 5), "  272");
    EXPECT_EQ(Line(7).substr(19, 5), "-----");
    // With a plan: the distance, and the fuel left over the destination.
    Key(kCduKeyFpl);
    AddLeg("XEDIS");
    Key(kCduKeyPerf);
    Pass();
    EXPECT_NE(Line(3).substr(5, 4), "----");
    EXPECT_NE(Line(8).substr(20, 4), "----");
}

}  // namespace
}  // namespace zu
