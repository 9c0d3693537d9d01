// End to end: the flight management system in the stand-in, in lockstep.
// The module loads the sample aircraft's navigation data, completes the
// variations, builds a departure, enroute and arrival plan, sequences the
// legs while the stand-in flies, and drives the FMS1 navigation source.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/electrical_system.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "e2e_support.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/fms_nav_output.h"
#include "fms/leg_geometry.h"
#include "fms/nav_database.h"
#include "module_state.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

std::string ReadBytes(const std::filesystem::path& file) {
    return ReadFile(file);
}

std::vector<WaypointRecord> Records(const std::filesystem::path& file) {
    const std::string bytes = ReadBytes(file);
    std::vector<WaypointRecord> out(bytes.size() / sizeof(WaypointRecord));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(WaypointRecord));
    return out;
}

class FmsEndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        aircraft_ = CopySampleAircraft(tmp_.path());
        WriteFile(aircraft_ / "ini" / "Kvx4f700.ini", "[Dirarov]\nSTAMP=15\nNETWORK_SERVER=0\n");
        RestoreLoadedModuleState();
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
    }
    void Start() {
        simhost::SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
        sim_ = std::make_unique<simhost::Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        for (int i = 0; i < 60 && (HostIoStartDelay > 0 || FsuipcLinkReady == 0); ++i) Frames(1);
        Frames(2);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    // Battery power on the left main DC bus, the FMS bus.
    void PowerFms(bool on) {
        const int32_t v = on ? 255 : 0;
        BatteryMasterSwitch.set(v);
        MainBatterySwitch.set(v);
        MainBusTieSwitch.set(v);
        Frames(60);  // past the buses' hold-up time
    }
    void Append(const char* ident) {
        SearchWaypoints(ident, 0, 0.0, 0.0);
        ASSERT_GT(WaypointSearchResults.count, 0) << ident;
        InsertWaypointLeg(WaypointSearchResults.index[0], static_cast<int32_t>(FmsLegCount),
                          &FlightPlan);
    }
    int32_t IndexOf(const char* ident) const {
        for (uint32_t i = 0; i < FmsLegCount; ++i)
            if (std::string(FlightPlan.legs[i].ident) == ident) return static_cast<int32_t>(i);
        return -1;
    }
    // The stand-in flying at 200 kt (the module reads exactly 200 kt).
    void Fly(double lat, double lon, double heading) {
        sim_->model().PlaceOnGround(lat, lon, 300, heading);
        sim_->model().PlaceAirborne(3000, 191);
        Powerplants_controls_throttle_limiter = 0;  // no control lock pushing the nose down
        const uint32_t gs_word = static_cast<uint32_t>(200.0 * 1852.0 / 3600.0 * 65536.0);
        sim_->fsuipc().Poke(0x02B4, &gs_word, 4);
    }
    double DistanceTo(const LegRecord& leg) const {
        GreatCircleDistanceCourse(leg.fix_latitude, leg.fix_longitude, AircraftPosition.latitude,
                                  AircraftPosition.longitude);
        return GreatCircleDistanceCourseResult.distance;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<simhost::Simulator> sim_;
};

double MagvarTool(double lat, double lon) {
    char args[128];
    std::snprintf(args, sizeof args, "%.10f", lat);
    const std::string la = args;
    std::snprintf(args, sizeof args, "%.10f", lon);
    const ProcessResult r =
        RunProgram(ZU_MAGVAR_EXE, {ZU_SAMPLE_COEFFICIENTS, la, args, "0", "1993.0"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    return std::stod(r.out);
}

TEST(SampleNavigationData, CoversTheRecordKindsTheFmsFlies) {
    const auto fms = SampleAircraft() / "FMS";
    const std::vector<WaypointRecord> wpts = Records(fms / "Fmswpt.dat");
    const std::string trm = ReadFile(fms / "Fmstrm.dat");
    const std::string rwy = ReadFile(fms / "Fmsrwy.dat");
    ASSERT_EQ(trm.size() % sizeof(LegRecord), 0u);
    ASSERT_EQ(rwy.size() % sizeof(RunwayRecord), 0u);
    std::vector<LegRecord> legs(trm.size() / sizeof(LegRecord));
    std::memcpy(legs.data(), trm.data(), trm.size());

    // Every waypoint type, one identifier twice, no variation in record 0.
    std::set<char> types;
    std::map<std::string, int> idents;
    for (const WaypointRecord& w : wpts) {
        types.insert(w.type);
        ++idents[std::string(FieldText(w.ident))];
    }
    EXPECT_EQ(types, (std::set<char>{'A', 'D', 'I', 'N', 'T', 'V'}));
    EXPECT_TRUE(std::any_of(idents.begin(), idents.end(), [](auto& e) { return e.second > 1; }));
    EXPECT_EQ(+wpts[0].variation, 0.0);

    // An airport with more than eight runway ends.
    std::map<std::string, int> ends;
    for (size_t i = 0; i < rwy.size(); i += sizeof(RunwayRecord)) {
        RunwayRecord r;
        std::memcpy(&r, rwy.data() + i, sizeof r);
        ++ends[std::string(FieldText(r.airport))];
    }
    EXPECT_TRUE(std::any_of(ends.begin(), ends.end(), [](auto& e) { return e.second > 8; }));

    // Procedure legs: unique ids, linked, fix = end point, and the kinds.
    std::set<uint32_t> ids;
    std::set<int> classes, paths;
    std::set<std::string> terminators;
    std::set<std::pair<int, char>> routes;
    for (const LegRecord& l : legs) {
        const uint32_t id = l.leg_id;
        EXPECT_TRUE(ids.insert(id).second) << id;
        EXPECT_NE(+l.leg_id, 0u);
        EXPECT_NE(+l.leg_id, 9999u);
        EXPECT_NE(+l.annotation_kind, 0);
        EXPECT_EQ(+l.end_latitude, +l.fix_latitude);
        EXPECT_EQ(+l.end_longitude, +l.fix_longitude);
        EXPECT_EQ(+l.variation_latitude, +l.navaid_latitude);
        classes.insert(+l.leg_class);
        paths.insert(+l.path_type);
        terminators.insert(std::string(FieldText(l.path_terminator)));
        routes.insert({+l.list_kind, +l.route_type});
    }
    for (int c : {1, 3, 5, 6, 8, 10}) EXPECT_TRUE(classes.count(c)) << "class " << c;
    for (int p : {1, 3, 4}) EXPECT_TRUE(paths.count(p)) << "path " << p;
    EXPECT_TRUE(terminators.count("HM"));
    EXPECT_TRUE(terminators.count("HA"));
    EXPECT_TRUE(routes.count({2, '1'}) && routes.count({2, '2'}) && routes.count({2, '3'}));
    EXPECT_TRUE(routes.count({1, '3'}) && routes.count({3, 'A'}));
}

TEST(MagvarTool, ChecksItsArgumentsAndReadsAnyCoefficientFile) {
    TempDir tmp;
    const auto file = tmp.path() / "axial.cof";
    // An axial dipole without the end line: the read still ends; the
    // declination is 0 everywhere, again on every call.
    WriteFile(file, "    2000.0  AXIAL\n  1  0  -29000.0  0.0  0.0  0.0\n");
    for (int i = 0; i < 2; ++i) {
        const ProcessResult r = RunProgram(ZU_MAGVAR_EXE, {file.string(), "45", "10", "0", "2000"});
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_EQ(r.out, "0.000000\n");
    }
    // The sample aircraft's model in northern Italy today: a few degrees east.
    const ProcessResult now =
        RunProgram(ZU_MAGVAR_EXE, {ZU_SAMPLE_COEFFICIENTS, "45", "10", "0", "2025.5"});
    ASSERT_EQ(now.exit_code, 0);
    EXPECT_GT(std::stod(now.out), 2.5);
    EXPECT_LT(std::stod(now.out), 5.0);
    EXPECT_EQ(RunProgram(ZU_MAGVAR_EXE, {file.string(), "45", "10", "0"}).exit_code, 2);
    EXPECT_EQ(RunProgram(ZU_MAGVAR_EXE, {file.string(), "north", "10", "0", "2000"}).exit_code, 2);
    EXPECT_EQ(RunProgram(ZU_MAGVAR_EXE, {file.string(), "95", "10", "0", "2000"}).exit_code, 2);
    EXPECT_EQ(
        RunProgram(ZU_MAGVAR_EXE, {(tmp.path() / "none.cof").string(), "45", "10", "0", "2000"})
            .exit_code,
        3);
}

TEST_F(FmsEndToEnd, DatabaseVariationsAreWrittenOnce) {
    const auto fms = aircraft_ / "FMS";
    // A flight of the build's sample aircraft (the demonstration) leaves its
    // own copy behind; this flight must write it afresh.
    std::filesystem::remove(fms / "Fmswpt2.dat");
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::vector<WaypointRecord> in = Records(fms / "Fmswpt.dat");
    const std::vector<WaypointRecord> out = Records(fms / "Fmswpt2.dat");
    ASSERT_EQ(in.size(), out.size());
    ASSERT_GT(in.size(), 10u);
    for (size_t i = 0; i < in.size(); ++i) {
        EXPECT_EQ(std::memcmp(&in[i], &out[i], offsetof(WaypointRecord, variation)), 0) << i;
        if (i % 7 == 0) {
            EXPECT_NEAR(+out[i].variation, MagvarTool(+in[i].latitude, +in[i].longitude), 5e-7)
                << i;
        }
    }
    EXPECT_EQ(WaypointDatabaseCount, static_cast<int32_t>(in.size()));
    sim_->Stop();
    sim_.reset();
    EXPECT_EQ(WaypointDatabase, nullptr);  // freed at the kill service

    // A file that carries its variation is left alone.
    std::filesystem::remove(fms / "Fmswpt2.dat");
    std::vector<WaypointRecord> with = in;
    with[0].variation = 1.25;
    WriteFile(fms / "Fmswpt.dat", std::string(reinterpret_cast<const char*>(with.data()),
                                              with.size() * sizeof(with[0])));
    RestoreLoadedModuleState();
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_FALSE(std::filesystem::exists(fms / "Fmswpt2.dat"));
    EXPECT_EQ(+WaypointDatabase[0].variation, 1.25);
}

TEST_F(FmsEndToEnd, SampleRouteSequencesAndGuides) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(PowerFms(true));
    ASSERT_EQ(FmsPowered, 1);

    // Departure from the start, enroute XEDIS and XFODA, arrival and
    // approach to LIPO.
    ASSERT_NO_FATAL_FAILURE(Append("XOMBA"));
    ASSERT_NO_FATAL_FAILURE(Append("XEDIS"));
    ASSERT_NO_FATAL_FAILURE(Append("XFODA"));
    char apt[8] = "XZVA", sid[8] = "XVA1D", rwy[8] = "RW36", trans[8] = "-";
    InsertDeparture(&FlightPlan, apt, sid, rwy, trans);
    char dest[8] = "LIPO", star[8] = "XFO1A", atr[8] = "XFODA", app[8] = "I14", aptr[8] = "XLIFA";
    InsertArrival(&FlightPlan, dest, star, atr, app, aptr);
    std::vector<std::string> idents;
    for (uint32_t i = 0; i < FmsLegCount; ++i) idents.emplace_back(FlightPlan.legs[i].ident);
    // The departure's last fix (XEDIS) joins the route at XOMBA and the
    // arrival's first (XFODA) joins it at XFODA. The arrival's runway
    // transition, read by the approach transition's name, intercepts the
    // final to XLIFA; the approach goes on from XFA14 down the final.
    const std::vector<std::string> expected = {
        "XZVA",      "(1300)", "XOMBA", "XVA16",  "XOMBA", "XEDIS", "XFODA",     "XGALE", "XLIFA",
        "*NO LINK*", "XFA14",  "XRW14", "(1500)", "XNA",   "XNA",   "*NO LINK*", "LIPO"};
    EXPECT_EQ(idents, expected);
    EXPECT_EQ(FieldText(FlightPlan.legs[8].path_terminator), "CI");
    // Each procedure leg is annotated as its kind calls for on the pages:
    // the altitude of a climb, the fix of a leg to a fix, the distance of a
    // DME leg, "(INTCPT)" for the intercept.
    const std::vector<std::pair<size_t, int>> annotations = {{1, 1}, {2, 2},  {3, 6},  {5, 2},
                                                             {8, 7}, {10, 2}, {12, 1}, {13, 2}};
    for (const auto& [leg, kind] : annotations)
        EXPECT_EQ(FlightPlan.legs[leg].annotation_kind, kind) << FlightPlan.legs[leg].ident;
    EXPECT_EQ(FmsToLegIndex, 1);

    // Go direct to XEDIS from the south, flying north; the next leg turns
    // 90 degrees right to XFODA.
    const int32_t edis = IndexOf("XEDIS");
    ASSERT_GT(edis, 0);
    FmsToLegIndex = edis;
    FmsLastLegCount = 999;
    Fly(45.24, 10.0, 0.0);
    Frames(3);
    ASSERT_EQ(FmsToLegIndex, edis);
    EXPECT_NEAR(std::abs(AngleDiff(+FmsToLegCopy.magnetic_course, +FmsNextLeg.magnetic_course)),
                90.0, 0.05);

    // FMS1 on the way: kind 4, validity 4, TO, the time to the station.
    Frames(60);
    const NavSourceRecord& fms1 = NavSources[kNavFms1];
    EXPECT_EQ(fms1.kind, 4);
    EXPECT_EQ(fms1.receive_state, 4);
    EXPECT_EQ(fms1.course_valid, 1);
    EXPECT_EQ(fms1.to_from, 1);
    EXPECT_EQ(fms1.distance_valid, 1);
    EXPECT_EQ(GroundSpeed, 200);
    EXPECT_EQ(fms1.time_to_station, static_cast<int32_t>(fms1.distance * 60.0 / 200.0));
    EXPECT_LT(std::abs(fms1.lateral_deviation), 5.0);

    // The turn starts 2.4 nm before the fix at 200 kt; the TO distance is
    // refreshed every 32nd tick.
    double at_change = -1.0;
    const LegRecord edis_leg = FlightPlan.legs[edis];
    for (int i = 0; i < 3000 && at_change < 0.0; ++i) {
        Frames(1);
        if (FmsToLegIndex != edis) at_change = DistanceTo(edis_leg);
    }
    EXPECT_EQ(FmsToLegIndex, edis + 1);
    EXPECT_GE(at_change, 2.29);
    EXPECT_LE(at_change, 2.4);

    // 7 nm off the course to XFODA: full-scale deviation, negative on the
    // right (south) of the eastbound leg.
    Fly(45.2985 - 7.0 / 60.0, 10.2, 90.0);
    Frames(10);
    EXPECT_NEAR(FmsCrossTrack, -7.0, 0.2);
    EXPECT_EQ(fms1.lateral_deviation, -127.0);
    EXPECT_EQ(fms1.deviation_valid, 1);
    Fly(45.2985 + 7.0 / 60.0, 10.2, 90.0);
    Frames(10);
    EXPECT_EQ(fms1.lateral_deviation, 127.0);

    // Without FMS power the plan is lost and FMS1 shows nothing.
    ASSERT_NO_FATAL_FAILURE(PowerFms(false));
    EXPECT_EQ(FmsPowered, 0);
    EXPECT_EQ(FmsLegCount, 0u);
    EXPECT_EQ(FmsToLegIndex, -1);
    EXPECT_EQ(fms1.course_valid, 0);
    EXPECT_EQ(fms1.bearing_valid, 0);
    EXPECT_EQ(fms1.distance_valid, 0);
    EXPECT_EQ(fms1.deviation_valid, 0);
    EXPECT_EQ(+FmsToLegCopy.leg_id, 0u);
}

TEST_F(FmsEndToEnd, ArrivalTurnsAtXgaleOntoTheInterceptLeg) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(PowerFms(true));
    ASSERT_NO_FATAL_FAILURE(Append("XFODA"));
    char dest[8] = "LIPO", star[8] = "XFO1A", atr[8] = "XFODA", app[8] = "I14", aptr[8] = "XLIFA";
    InsertArrival(&FlightPlan, dest, star, atr, app, aptr);
    const int32_t gale = IndexOf("XGALE");
    ASSERT_GT(gale, 0);
    ASSERT_EQ(FieldText(FlightPlan.legs[gale + 1].path_terminator), "CI");

    // Inbound to XGALE from XFODA (true course 319), 6 nm out at 200 kt.
    // The next leg flies 088 until the final course 140 through XLIFA: a
    // right turn of some 130 degrees, begun 1.9 x 130 / 90 + 0.5 = 3.2 nm
    // before the fix.
    FmsToLegIndex = gale;
    FmsLastLegCount = 999;
    Fly(45.5246, 10.1441, 318.8);
    Frames(3);
    ASSERT_EQ(FmsToLegIndex, gale);
    const LegRecord gale_leg = FlightPlan.legs[gale];
    double at_change = -1.0;
    for (int i = 0; i < 3000 && at_change < 0.0; ++i) {
        Frames(1);
        if (FmsToLegIndex != gale) at_change = DistanceTo(gale_leg);
    }
    EXPECT_EQ(FmsToLegIndex, gale + 1);
    EXPECT_GE(at_change, 2.9);
    EXPECT_LE(at_change, 3.3);

    // FMS1 then steers the intercept: course 088.
    Frames(40);
    const NavSourceRecord& fms1 = NavSources[kNavFms1];
    EXPECT_EQ(fms1.course_valid, 1);
    EXPECT_NEAR(std::abs(AngleDiff(fms1.course, 88.0)), 0.0, 2.0);
}

}  // namespace
}  // namespace zu::e2e
