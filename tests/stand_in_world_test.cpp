// The stand-in's world and its aircraft on the ground: the station file
// navdb writes beside the sample aircraft's FMS files, the radio stations,
// ground and runways the aircraft model takes from it, reverse and brakes,
// and touchdowns with their crashes. The model tests step the model alone
// (no module attached), the scenario tests run the simhost program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "e2e_support.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/world.h"

namespace zu::e2e {
namespace {

using simhost::RadioStation;
using simhost::World;

constexpr double kKnot = 1.6878098571;  // feet per second
constexpr double kDeg = 3.14159265358979323846 / 180.0;

World SampleWorld() {
    World w;
    std::string error;
    EXPECT_TRUE(
        simhost::LoadWorld(SampleAircraft() / "FMS" / simhost::kStationFileName, &w, &error))
        << error;
    return w;
}

const RadioStation* Station(const World& w, const std::string& ident) {
    for (const RadioStation& s : w.stations)
        if (s.ident == ident) return &s;
    return nullptr;
}

// A point `nm` from (lat, lon) along a true course.
void Move(double* lat, double* lon, double course, double nm) {
    *lat += nm * std::cos(course * kDeg) / 60.0;
    *lon += nm * std::sin(course * kDeg) / (60.0 * std::cos(*lat * kDeg));
}

TEST(StandInWorld, StationFileEntriesAndRefusedLines) {
    World w;
    std::string error;
    ASSERT_TRUE(simhost::ParseWorld(
        "# comment\n"
        "airport LIPO 45.4289 10.3306 355\n"
        "runway LIPO 14 45.4378 10.3207 142 8200 148 355 made-up\n"
        "vor XVB 112.20 45.3 10.6 239 0\n"
        "dme XVA 113.40 45.05 10.05 300\n"
        "ndb XNA 345 45.5 10.18 355 made-up\n"
        "ils IPO 110.30 LIPO 14 142 4 45.4378 10.3207 355 45.41 10.34 3.5 45.43 10.32 350\n",
        &w, &error))
        << error;
    ASSERT_EQ(w.airports.size(), 1u);
    EXPECT_EQ(w.airports[0].elevation_ft, 355.0);
    ASSERT_EQ(w.runways.size(), 1u);
    EXPECT_EQ(w.runways[0].designator, "14");
    ASSERT_EQ(w.stations.size(), 4u);
    EXPECT_EQ(w.stations[0].frequency, 11220);
    EXPECT_FALSE(w.stations[0].dme);
    EXPECT_EQ(w.stations[1].kind, RadioStation::kDme);
    EXPECT_EQ(w.stations[2].frequency, 3450);  // kHz x 10
    const RadioStation& ils = w.stations[3];
    EXPECT_EQ(ils.kind, RadioStation::kIls);
    EXPECT_EQ(ils.width_deg, 4.0);
    EXPECT_EQ(ils.glide_path_deg, 3.5);
    EXPECT_EQ(ils.glideslope_elevation_ft, 350.0);

    const char* bad[] = {
        "airport LIPO 45.4 10.3",                      // a word short
        "vor XVB 99.0 45.3 10.6 239 1",                // below the band
        "ndb XNA 345 95.0 10.18 355",                  // latitude
        "runway LIPO 14 45.4 10.3 142 8200 148 x",     // elevation
        "vor XVB 112.20 45.3 10.6 239 2",              // DME flag
        "ils IPO 110.30 LIPO 14 142 4 45.4 10.3 355",  // no sites
        "tacan XTC 115.80 44.8 10.6 161",              // unknown
    };
    for (const char* line : bad) {
        World b;
        EXPECT_FALSE(simhost::ParseWorld(std::string("\n") + line + "\n", &b, &error)) << line;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    }
}

TEST(StandInWorld, SampleRegionHasEveryNavaidAndLiposIls) {
    const World w = SampleWorld();
    EXPECT_EQ(w.airports.size(), 8u);
    EXPECT_EQ(w.runways.size(), 26u);
    ASSERT_NE(Station(w, "XVB"), nullptr);
    EXPECT_EQ(Station(w, "XVB")->frequency, 11220);
    ASSERT_NE(Station(w, "XTC"), nullptr);
    ASSERT_NE(Station(w, "XVA"), nullptr);
    EXPECT_EQ(Station(w, "XVA")->kind, RadioStation::kDme);
    ASSERT_NE(Station(w, "XNA"), nullptr);
    EXPECT_EQ(Station(w, "XNA")->kind, RadioStation::kNdb);
    const RadioStation* ils = Station(w, "IPO");
    ASSERT_NE(ils, nullptr);
    EXPECT_EQ(ils->frequency, 11030);
    EXPECT_NEAR(ils->course, 142.0, 1e-9);
    // The threshold is where the FMS's runway fix is.
    EXPECT_NEAR(ils->latitude, 45.4378, 0.0002);
    EXPECT_NEAR(ils->longitude, 10.3207, 0.0002);
    EXPECT_EQ(ils->elevation_ft, 355.0);
    // The glideslope stands past the threshold, the localiser past the far end.
    EXPECT_LT(ils->glideslope_latitude, ils->latitude);
    EXPECT_LT(ils->localizer_latitude, ils->glideslope_latitude);
}

// NAV 1 on LIPO's ILS frequency, 17.5 nm out on the final: the localiser
// from the sample aircraft's station file, with no station of the
// scenario's.
TEST(StandInWorld, Nav1ReceivesLiposLocalizerFrom17NmOut) {
    TempDir tmp;
    const auto aircraft = CopySampleAircraft(tmp.path());
    double lat = 45.437762, lon = 10.320734;
    Move(&lat, &lon, 322.0, 17.5);
    const auto scenario = tmp.path() / "final.txt";
    WriteFile(scenario, "at 0 position " + std::to_string(lat) + " " + std::to_string(lon) +
                            " 355 142\n"
                            "at 0 airborne 3000 160\n"
                            "at 0 offset 0x0350 u16 0x1030\n"
                            "at 1 expect offset 0x0C4A u8 3\n"
                            "at 1 expect var 59 17.5 0.2\n");
    const auto out = tmp.path() / "out";
    const ProcessResult r =
        RunSimhost({"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--seconds",
                    "2", "--out", out.string(), "--no-audio"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const nlohmann::json nav = ReadJson(out / "state.json")["aircraft"]["nav"][0];
    EXPECT_EQ(nav["ident"], "IPO");
    EXPECT_EQ(nav["localizer"], true);
    EXPECT_LT(std::fabs(nav["deviation"].get<double>()), 20.0);  // near the centre line
    EXPECT_EQ(nav["glideslope_deviation"], -127.0);  // 3000 ft is far below the path there
}

// The aircraft model alone, stepped at 30 frames a second in the sample
// world.
class StandInModel : public testing::Test {
  protected:
    void SetUp() override {
        simhost::SimulatorConfig cfg;
        cfg.audio_silent = true;
        sim_ = std::make_unique<simhost::Simulator>(cfg);
        model().SetWorld(SampleWorld());
        model().Attach(*sim_);
    }
    simhost::AircraftModel& model() { return sim_->model(); }
    const simhost::AircraftState& state() { return sim_->model().state(); }
    void Seconds(double s) {
        for (long i = 0; i < std::lround(s * 30.0); ++i) model().Step(*sim_, 1.0 / 30.0);
    }
    void Power(int32_t command) {
        model().OnKeyEvent(0x1011C, static_cast<uint32_t>(command));
        model().OnKeyEvent(0x1011D, static_cast<uint32_t>(command));
    }
    // Rolling on XZVA's runway 09 at 90 kt, a power command held for 8 s
    // (the engines settle), then the brakes: the knots lost in the next 4 s.
    double KnotsLost(int32_t command, double brakes) {
        model().PlaceAirborne(1000, 160);  // engines running
        model().PlaceOnGround(45.0, 9.98, 300, 92);
        model().SetParkingBrake(false);
        model().SetBrakes(0);
        Power(16383);
        for (int i = 0; i < 3000 && state().tas_ft_s < 90.0 * kKnot; ++i) Seconds(1.0 / 30.0);
        Power(command);
        Seconds(8.0);
        const double before = state().tas_ft_s;
        model().SetBrakes(brakes);
        Seconds(4.0);
        EXPECT_TRUE(state().on_ground);
        return (before - state().tas_ft_s) / kKnot;
    }
    // Airborne 200 ft over LIPO's runway 14 final, `nm` out and `aside_nm`
    // north-east of the centre line (left of the inbound course), gear down,
    // flown down at about `fpm` until the wheels touch.
    void LandAtLipo(double nm, double aside_nm, double fpm, bool gear_down = true) {
        double lat = 45.437762, lon = 10.320734;
        Move(&lat, &lon, 322.0, nm);
        Move(&lat, &lon, 52.0, aside_nm);
        model().PlaceOnGround(lat, lon, 355, 142);
        model().PlaceAirborne(555, 120);
        model().SetGear(gear_down);
        Power(4000);
        for (int i = 0; i < 30 * 600 && !state().on_ground; ++i) {
            // The pilot holds the sink rate with the elevator.
            const double vs = model().VerticalSpeedFpm();
            model().SetElevator(std::clamp(-0.05 + (-fpm - vs) * 0.0004, -1.0, 1.0));
            Seconds(1.0 / 30.0);
        }
        ASSERT_TRUE(state().on_ground);
    }

    std::unique_ptr<simhost::Simulator> sim_;
};

// The localiser is seen from its antenna past the far end, the glide path
// from its transmitter past the threshold, as the station file places them.
TEST_F(StandInModel, LiposIlsIsFlownFromItsSitesInTheStationFile) {
    const RadioStation& ils = *Station(model().world(), "IPO");
    const uint16_t nav1 = 0x1030;  // 110.30
    sim_->fsuipc().Poke(0x0350, &nav1, 2);
    auto fly_at = [&](double nm_from_glideslope, double aside_nm, double height_ft) {
        double lat = ils.glideslope_latitude, lon = ils.glideslope_longitude;
        Move(&lat, &lon, 322.0, nm_from_glideslope);
        Move(&lat, &lon, 52.0, 400.0 / 6076.12);  // onto the centre line
        Move(&lat, &lon, 52.0, aside_nm);
        model().PlaceOnGround(lat, lon, 355, 142);
        model().PlaceAirborne(355 + height_ft, 140);
        Seconds(1.0 / 30.0);
        return model().nav(0);
    };
    // On the path 6 nm out: centred.
    const double on_path = 6.0 * 6076.12 * std::tan(3.0 * kDeg);
    simhost::NavReceiverView v = fly_at(6.0, 0.0, on_path);
    EXPECT_TRUE(v.received);
    EXPECT_TRUE(v.localizer);
    EXPECT_EQ(v.ident, "IPO");
    EXPECT_NEAR(v.deviation, 0.0, 3.0);
    EXPECT_NEAR(v.glideslope_deviation, 0.0, 3.0);
    // Left of the inbound course the course lies to the right; a quarter of
    // the 2.5 degree half width at the antenna reads a quarter of full scale.
    const double antenna_nm = 6.0 + (1000.0 + 8200.0 - 1000.0) / 6076.12;
    v = fly_at(6.0, antenna_nm * std::tan(0.625 * kDeg), on_path);
    EXPECT_NEAR(v.deviation, 127.0 / 4.0, 3.0);
    // 0.35 degrees below the path: half the needle's scale, negative.
    v = fly_at(6.0, 0.0, 6.0 * 6076.12 * std::tan(2.65 * kDeg));
    EXPECT_NEAR(v.glideslope_deviation, -127.0 / 2.0, 3.0);
}

TEST_F(StandInModel, ReverseGrowsWithTheCommandAndBrakesByTheirAxis) {
    const double idle = KnotsLost(0, 0);
    const double reverse_quarter = KnotsLost(-4096, 0);
    const double nh_quarter = state().engines[0].nh;
    const double reverse_full = KnotsLost(-16383, 0);
    EXPECT_GT(idle, 0.0);
    EXPECT_GT(reverse_quarter, idle + 1.0);
    EXPECT_GT(reverse_full, reverse_quarter + 1.0);
    EXPECT_LT(state().engines[0].thrust, 0.0);
    // Nh follows the command's magnitude.
    EXPECT_GT(nh_quarter, 70.0);
    EXPECT_GT(state().engines[0].nh, nh_quarter + 10.0);

    const double half = KnotsLost(0, 0.5);
    const double full = KnotsLost(0, 1.0);
    EXPECT_GT(half, idle + 5.0);
    EXPECT_GT(full, half + 5.0);
}

TEST_F(StandInModel, TheGroundIsTheNearestAirportWithinFiveMiles) {
    // 4 nm from LIPO: its elevation, whatever the placing said.
    double lat = 45.4289, lon = 10.3306;
    Move(&lat, &lon, 0.0, 4.0);
    model().PlaceOnGround(lat, lon, 100, 0);
    Seconds(0.1);
    EXPECT_EQ(state().ground_elevation_ft, 355.0);
    EXPECT_EQ(state().altitude_ft, 355.0);
    // 6 nm out: the ground stays as it was.
    Move(&lat, &lon, 0.0, 2.0);
    model().PlaceOnGround(lat, lon, 100, 0);
    Seconds(0.1);
    EXPECT_EQ(state().ground_elevation_ft, 100.0);
}

TEST_F(StandInModel, ALandingAtLipoTouchesDownOnRunway14At355Ft) {
    ASSERT_NO_FATAL_FAILURE(LandAtLipo(0.3, 0.0, 500));
    ASSERT_TRUE(model().last_touchdown().has_value());
    const simhost::Touchdown& t = *model().last_touchdown();
    EXPECT_NEAR(t.altitude_ft, 355.0, 5.0);
    EXPECT_NEAR(state().altitude_ft, 355.0, 5.0);
    EXPECT_EQ(t.airport, "LIPO");
    EXPECT_EQ(t.runway, "14");
    EXPECT_EQ(t.gear, 1.0);
    EXPECT_LT(t.vertical_speed_fpm, 0.0);
    EXPECT_GT(t.vertical_speed_fpm, -1000.0);
    EXPECT_FALSE(t.crash) << t.crash_reason;
    EXPECT_EQ(model().crashes(), 0u);
}

TEST_F(StandInModel, GearUpHardOrOffTheRunwayTouchdownsAreCrashes) {
    ASSERT_NO_FATAL_FAILURE(LandAtLipo(0.3, 0.0, 500, false));
    EXPECT_TRUE(model().last_touchdown()->crash);
    EXPECT_NE(model().last_touchdown()->crash_reason.find("gear"), std::string::npos);
    EXPECT_EQ(model().crashes(), 1u);

    ASSERT_NO_FATAL_FAILURE(LandAtLipo(0.3, 0.0, 1800));
    EXPECT_TRUE(model().last_touchdown()->crash);
    EXPECT_NE(model().last_touchdown()->crash_reason.find("sinking"), std::string::npos);

    // A mile to the side of the runway, gently, at about 120 kt.
    ASSERT_NO_FATAL_FAILURE(LandAtLipo(0.3, 1.0, 500));
    const simhost::Touchdown& t = *model().last_touchdown();
    EXPECT_EQ(t.airport, "LIPO");
    EXPECT_EQ(t.runway, "");
    EXPECT_TRUE(t.crash);
    EXPECT_NE(t.crash_reason.find("off the runways"), std::string::npos);
    EXPECT_EQ(model().crashes(), 3u);
}

// A crash fails the scenario that flew it and is kept in the state file.
TEST(StandInWorld, ACrashFailsTheScenario) {
    TempDir tmp;
    const auto aircraft = CopySampleAircraft(tmp.path());
    const auto scenario = tmp.path() / "gear-up.txt";
    // 300 ft over LIPO's runway, pushed down hard.
    WriteFile(scenario,
              "at 0 position 45.4289 10.3306 355 142\n"
              "at 0 airborne 655 120\n"
              "at 0 elevator -0.3\n"
              "at 30 expect var 60 1\n");
    const auto out = tmp.path() / "out";
    const ProcessResult r =
        RunSimhost({"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--seconds",
                    "31", "--out", out.string(), "--no-audio"});
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_NE(r.err.find("crash"), std::string::npos) << r.err;
    const nlohmann::json state = ReadJson(out / "state.json");
    const nlohmann::json& t = state["aircraft"]["last_touchdown"];
    ASSERT_TRUE(t.is_object());
    EXPECT_EQ(t["crash"], true);
    EXPECT_NE(t["crash_reason"].get<std::string>(), "");
    EXPECT_EQ(t["airport"], "LIPO");
    EXPECT_NEAR(t["altitude_ft"].get<double>(), 355.0, 1e-6);
    EXPECT_EQ(state["scenario"]["failures"], 1);
}

}  // namespace
}  // namespace zu::e2e
