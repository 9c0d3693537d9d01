// Painting only on change shows exactly what painting every picture shows:
// each scripted flight is flown twice, once with every drawing sequence
// forced to run and once with the repaint keys, and every surface's picture
// and texts are compared frame by frame, and so are the flags and texts of
// every gauge's elements (the panels show, hide and light them, and format
// their readouts, only when what they show changed). The first (lockstep, powered cockpit, the
// aircraft turning, pitching and banking, display modes, formats, transfer, brightness and power
// changed, steady stretches between, in which panel switches, the panel lighting and the
// annunciator test are clicked); the second a cruise as the full-cockpit scenario flies it: the
// aircraft moving north at 10,000 ft towards a storm cell with a flight
// plan on the map, the weather radar on and both navigation displays in
// the map mode with the weather overlay, the ground speed changed, a turn,
// a stretch in the arc mode and a composite one, and a steady stretch in
// which the display gauges must draw far fewer pictures than ticks.
// The sample panel has the virtual-cockpit displays (163 x 130, as their
// 2D twins, and called after them): in the keyed flights they copy their
// twins' pictures whenever those are theirs, so the copies are compared too.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/fsuipc_data_exchange.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"
#include "displays/efis_display_gauges.h"
#include "displays/repaint_key.h"
#include "displays/sg_select_panels.h"
#include "displays/tcas_display.h"
#include "displays/weather_radar.h"
#include "e2e_support.h"
#include "fms/cdu_engine.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/nav_database.h"
#include "instruments/atc_control_head.h"
#include "module_state.h"
#include "panels/display_control_panels.h"
#include "zu/simhost/cdu_keys.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

constexpr uint32_t kPitchToken = 77;
constexpr uint32_t kBankToken = 79;
constexpr uint32_t kHeadingToken = 81;
constexpr uint32_t kRadioAltitudeToken = 614;

uint64_t Fnv(uint64_t h, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
    return h;
}

struct Flight {
    std::vector<std::string> surfaces;  // gauge name of each surface
    std::vector<uint64_t> sums;         // per frame one per surface, in panel order
    uint64_t drawn_pictures = 0;        // drawing sequences the display gauges ran
    uint64_t copied_pictures = 0;       // pictures they copied from their twins
    uint64_t navigation_copies = 0;     // of them, the navigation displays'
    // The cruise's steady stretch: ticks, and the pictures each display
    // gauge drew in them.
    uint32_t steady_ticks = 0;
    uint32_t steady_pictures[kDisplayScreenCount] = {};
    uint64_t steady_radar_pictures = 0;  // changes of the radar's picture in them
};

uint32_t DrawnPictures() {
    uint32_t n = 0;
    for (const DisplayScreen& s : DisplayScreens) n += s.pictures;
    return n;
}

uint32_t CopiedPictures() {
    uint32_t n = 0;
    for (const DisplayScreen& s : DisplayScreens) n += s.copies;
    return n;
}

uint64_t SurfaceSum(const std::vector<uint8_t>& picture,
                    const std::vector<platform::DrawTextEntry>& texts) {
    uint64_t h = Fnv(0xCBF29CE484222325ull, picture.data(), picture.size());
    for (const platform::DrawTextEntry& t : texts) h = Fnv(h, &t, sizeof t);
    return h;
}

// What the script changes at a frame of the scripted part.
void ScriptStep(simhost::Simulator& sim, int f) {
    // Turning right, pitching and banking in the first stretch, back left
    // from 600 and steady after 800 (the slaving mark's arrow turns round
    // with the heading held); steady between (the keys' stretch).
    const bool moving = f < 200 || (f >= 600 && f < 800);
    if (moving) {
        sim.SetVariable(kHeadingToken, 90.0 + (f < 200 ? f : 800 - f) * 0.37);
        sim.SetVariable(kPitchToken, 5.0 * std::sin(f * 0.05));
        sim.SetVariable(kBankToken, 20.0 * std::sin(f * 0.031));
        sim.SetVariable(kRadioAltitudeToken, 150.0 + f * 0.5);
    }
    // CDU keys: ACCEPT, the NAV page, the flight plan page and an ident
    // typed into its field.
    const auto keys = [&sim](std::vector<std::string> words) {
        std::vector<int> rects;
        std::string error;
        EXPECT_TRUE(simhost::CduKeyRects(words, &rects, &error)) << error;
        EXPECT_TRUE(sim.QueueCduKeys(rects, &error)) << error;
    };
    if (f == 250 || f == 420) keys({"L5"});
    if (f == 300) keys({"NAV"});
    if (f == 500) keys({"FPL"});
    if (f == 560) keys({"XNA"});
    // The head-up guidance panel: an elevation typed (its cursor blinks),
    // then entered; the runway-speed unit's speed up.
    const auto click = [&sim](const char* gauge, int rect) {
        simhost::GaugeInstance* g = sim.FindGauge(gauge);
        std::string error;
        EXPECT_TRUE(g != nullptr && sim.Click(*g, rect, false, &error)) << gauge << error;
    };
    if (f == 600) click("HGS_panel", 3);
    if (f == 620) click("HGS_panel", 5);
    if (f == 650) click("RASU_panel", 2);
    if (f == 700) click("HGS_panel", 14);
    // Panel switches, the lighting switches and the annunciator test, each
    // twice: what the panels show changes and changes back.
    static constexpr struct {
        const char* gauge;
        int rect;
    } kPanelClicks[] = {
        {"Lights_Panel", 5},
        {"Lights_Panel", 6},
        {"Lights_Panel", 7},
        {"Lights_Panel", 8},
        {"Lights_rightpanel", 8},
        {"battery_panel", 6},
        {"ac_Panel", 5},
        {"Pilot_Panel", 1},
        {"Pilot_Panel", 2},
        {"PneuPanel", 1},
        {"PneuPanel_touch", 1},
        {"FirePanel", 1},
        {"AntiicePanel", 1},
        {"Gear", 2},
        {"clock1", 1},
        {"AUDIO_Panel", 1},
        {"MARKERS_Panel", 1},
        {"Lights_exterior1_Panel", 1},
        {"Lights_exterior2_Panel", 1},
        {"Lights_rightpanel", 4},
        {"RMI", 1},
        {"FUEL_panel", 1},
        {"Autofeather_panel", 1},
        {"EGC_panel", 1},
        {"Stby_hydr", 1},
        {"Bypass_doors", 1},
        {"FDR_panel", 1},
        {"PressPanel", 1},
        {"PressPanel_touch", 1},
        {"ENTERTAINMENT_Panel", 1},
        {"TRIMS", 1},

    };
    constexpr int kClicks = static_cast<int>(std::size(kPanelClicks));
    if (f >= 202 && f < 202 + 2 * kClicks * 5 && (f - 202) % 5 == 0) {
        const int i = (f - 202) / 5;
        const auto& c = kPanelClicks[i % kClicks];
        if (i >= kClicks && c.rect == 8 && std::strcmp(c.gauge, "Lights_rightpanel") == 0) {
            click(c.gauge, 7);  // the annunciator test back to its middle position
        } else {
            click(c.gauge, c.rect);
        }
    }
    // Traffic: one parked ahead and one closing head-on, the computer
    // switched off and on again.
    if (f == 100) {
        TransponderState.mode = 6;
        const auto& st = sim.model().state();
        const double h = st.heading_true * 0.017453292519943295;
        char text[400];
        std::snprintf(text, sizeof text,
                      "at 0 traffic 0 11 %.7f %.7f %.0f %.1f 0 0\n"
                      "at 0 traffic 1 12 %.7f %.7f %.0f %.1f 600 0\n",
                      st.latitude + 3.0 * std::cos(h) / 60.0,
                      st.longitude + 3.0 * std::sin(h) / 60.0, st.altitude_ft + 1000.0,
                      st.heading_true, st.latitude + 7.5 * std::cos(h) / 60.0,
                      st.longitude + 7.5 * std::sin(h) / 60.0, st.altitude_ft + 300.0,
                      st.heading_true + 180.0);
        simhost::Scenario scenario;
        std::string error;
        EXPECT_TRUE(simhost::Scenario::Parse(text, "traffic.txt", &scenario, &error)) << error;
        simhost::ScenarioContext context{sim, nullptr};
        for (const auto& r : scenario.RunDue(context, 1e9)) EXPECT_TRUE(r.ok) << r.message;
    }
    if (f == 700) TransponderState.mode = 0;
    if (f == 740) TransponderState.mode = 6;
    // Display modes, formats, transfer, brightness, test and power.
    if (f == 220) DisplayControlState1.Mode = 1;  // arc
    if (f == 260) DisplayControlState2.Mode = 2;  // map
    if (f == 300) DisplayBrightnessLevel = 175;
    if (f == 330 || f == 380) DisplayFormat[0] = f == 330;  // composite
    if (f == 400 || f == 450) SgTransfer[0] = f == 400;     // side 2's generator
    if (f == 480) RadioAltTestCountdown[0] = 40;
    if (f == 540) DisplayControlState1.Mode = 0;
    if (f >= 820) BusPowered2.set(0, 0);  // side 2 loses its displays
}

// Every surface's picture and texts of the frame just run, as one sum each,
// and each gauge's element flags (without the host's redraw mark, which a
// repaint clears) and texts as one sum.
void RecordFrame(simhost::Simulator& sim, Flight& flight) {
    for (const simhost::GaugeInstance& g : sim.gauges()) {
        for (const auto& d : g.surfaces) flight.sums.push_back(SurfaceSum(d->picture, d->texts));
        uint64_t flags = 0xCBF29CE484222325ull;
        for (const simhost::ElementState& e : g.elements) {
            const uint32_t f = e.element->image_flags & ~gauge::kImageOnScreen;
            flags = Fnv(Fnv(flags, &f, sizeof f), e.text.data(), e.text.size());
        }
        flight.sums.push_back(flags);
    }
}

// A fresh module in the sample aircraft at `fps` frames a second, every
// picture forced or keyed; the flight's surfaces named. Null on a failure.
std::unique_ptr<simhost::Simulator> StartFlight(bool every_picture, const TempDir& tmp,
                                                Flight& flight, int fps = 15) {
    RestoreLoadedModuleState();
    RepaintEveryPicture = every_picture;
    simhost::SimulatorConfig cfg;
    cfg.aircraft_dir = CopySampleAircraft(tmp.path());
    cfg.fps = fps;
    auto sim = std::make_unique<simhost::Simulator>(cfg);
    StartLinkedModule(*sim);
    if (::testing::Test::HasFatalFailure()) return nullptr;
    for (const simhost::GaugeInstance& g : sim->gauges()) {
        for (size_t i = 0; i < g.surfaces.size(); ++i) flight.surfaces.push_back(g.name);
        flight.surfaces.push_back(g.name + " elements");
    }
    return sim;
}

Flight Fly(bool every_picture) {
    Flight flight;
    TempDir tmp;
    auto sim = StartFlight(every_picture, tmp, flight);
    if (sim == nullptr) return flight;
    DisplayControlState1.Mode = 0;
    DisplayControlState2.Mode = 0;
    DisplayBrightnessLevel = 255;
    sim->SetVariable(kHeadingToken, 90.0);
    const uint32_t pictures_before = DrawnPictures();
    const uint32_t copies_before = CopiedPictures();
    // Unpowered, then the engines bring the buses and the displays up.
    for (int i = 0; i < 30; ++i) {
        sim->RunFrame();
        RecordFrame(*sim, flight);
    }
    PinRunningEngines(*sim);
    for (int f = 0; f < 900; ++f) {
        ElectricsEnginesRunning();
        ScriptStep(*sim, f);
        sim->RunFrame();
        RecordFrame(*sim, flight);
    }
    EXPECT_EQ(FmsPowered, 1);
    for (const DisplayScreen& s : DisplayScreens) flight.drawn_pictures += s.pictures;
    flight.drawn_pictures -= pictures_before;
    for (const DisplayScreen& s : DisplayScreens) flight.copied_pictures += s.copies;
    flight.copied_pictures -= copies_before;
    sim->Stop();
    RepaintEveryPicture = false;
    DisplayFormat[0] = 0;
    SgTransfer[0] = 0;
    DisplayBrightnessLevel = 191;
    std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
    return flight;
}

// --- The cruise.

constexpr int kCruiseFrames = 2100;
// The steady stretch, to the end: straight and level, the position moving,
// the radar on and its picture unchanged (clear air since frame 1050, swept
// black by frame 1500).
constexpr int kSteadyFrom = 1800;

uint64_t RadarPictureSum() {
    const WxPictureImage& p = WxPictureFront();
    return Fnv(0xCBF29CE484222325ull, &p, sizeof p);
}

void RunScenarioText(simhost::Simulator& sim, const char* text) {
    simhost::Scenario scenario;
    std::string error;
    EXPECT_TRUE(simhost::Scenario::Parse(text, "cruise.txt", &scenario, &error)) << error;
    simhost::ScenarioContext context{sim, nullptr};
    for (const auto& r : scenario.RunDue(context, 1e9)) EXPECT_TRUE(r.ok) << r.message;
}

void AppendFix(const char* ident) {
    SearchWaypoints(ident, 0, 0.0, 0.0);
    ASSERT_GT(WaypointSearchResults.count, 0) << ident;
    InsertWaypointLeg(WaypointSearchResults.index[0], static_cast<int32_t>(FmsLegCount),
                      &FlightPlan);
}

void CruiseStep(simhost::Simulator& sim, int f) {
    const auto click = [&sim](const char* gauge, int rect) {
        simhost::GaugeInstance* g = sim.FindGauge(gauge);
        std::string error;
        EXPECT_TRUE(g != nullptr && sim.Click(*g, rect, false, &error)) << gauge << error;
    };
    if (f == 0) {
        // North at 10,000 ft and 220 kt, a storm cell ahead.
        RunScenarioText(sim,
                        "at 0 position 45 10 500 0\n"
                        "at 0 weather 45.6 10 15 2000 30000 4\n"
                        "at 0 weather 45.45 10.25 8 4000 25000 3\n");
        sim.model().PlaceAirborne(10000, 220);
        DisplayControlState1.Mode = 2;
        DisplayControlState2.Mode = 2;
        DisplayControlState1.Overlay = 1;
        DisplayControlState2.Overlay = 1;
    }
    // The radar on, in WX.
    if (f == 5) click("WX display", 1);
    if (f == 10) click("WX display", 3);
    // A flight plan ahead on the map.
    if (f == 40) {
        EXPECT_EQ(FmsPowered, 1);
        AppendFix("XOMBA");
        AppendFix("XEDIS");
        AppendFix("XFODA");
        FmsInitialised = 1;
    }
    // Faster, then slower: the ground speed changes for a while.
    if (f == 450) sim.model().PlaceAirborne(10000, 250);
    if (f == 600) sim.model().PlaceAirborne(10000, 200);
    // A turn right and back, banked.
    if (f >= 700 && f < 800) {
        const double t = (f < 750 ? f - 700 : 800 - f) * 0.2;
        sim.SetVariable(kHeadingToken, t);
        sim.SetVariable(kBankToken, f < 750 ? 15.0 : -15.0);
    }
    if (f == 800) {
        sim.SetVariable(kHeadingToken, 0.0);
        sim.SetVariable(kBankToken, 0.0);
    }
    // Side 1 in the arc mode, side 2 in the composite format, for a while;
    // then the range halved.
    if (f == 850) DisplayControlState1.Mode = 1;
    if (f == 850) DisplayFormat[1] = 1;
    if (f == 950) DisplayControlState1.Mode = 2;
    if (f == 950) DisplayFormat[1] = 0;
    if (f == 1000) WxRangeKey(2);
    // Clear air: the radar's picture turns black and stays so.
    if (f == 1050) RunScenarioText(sim, "at 0 weather clear\n");
}

Flight FlyCruise(bool every_picture) {
    Flight flight;
    TempDir tmp;
    auto sim = StartFlight(every_picture, tmp, flight);
    if (sim == nullptr) return flight;
    DisplayBrightnessLevel = 255;
    const uint32_t pictures_before = DrawnPictures();
    const uint32_t copies_before = CopiedPictures();
    // HSI1_VC and HSI2_VC.
    const uint32_t navigation_copies_before = DisplayScreens[5].copies + DisplayScreens[7].copies;
    // Unpowered, then the engines bring the buses and the displays up.
    for (int i = 0; i < 30; ++i) {
        sim->RunFrame();
        RecordFrame(*sim, flight);
    }
    PinRunningEngines(*sim);
    uint32_t steady_tick = 0;
    uint32_t steady_pictures[kDisplayScreenCount] = {};
    uint64_t steady_radar = 0;
    for (int f = 0; f < kCruiseFrames; ++f) {
        ElectricsEnginesRunning();
        CruiseStep(*sim, f);
        if (f == kSteadyFrom) {
            steady_tick = TickCounter.load();
            for (int i = 0; i < kDisplayScreenCount; ++i)
                steady_pictures[i] = DisplayScreens[i].pictures;
            steady_radar = RadarPictureSum();
        }
        sim->RunFrame();
        RecordFrame(*sim, flight);
        if (f >= kSteadyFrom && RadarPictureSum() != steady_radar) {
            ++flight.steady_radar_pictures;
            steady_radar = RadarPictureSum();
        }
    }
    flight.steady_ticks = TickCounter.load() - steady_tick;
    for (int i = 0; i < kDisplayScreenCount; ++i) {
        flight.steady_pictures[i] = DisplayScreens[i].pictures - steady_pictures[i];
    }
    // The flight was what it means to be: powered, the radar painting, the
    // plan on both maps.
    EXPECT_EQ(FmsPowered, 1);
    EXPECT_GE(WxRadarState.display_mode, kWxModeWeather);
    EXPECT_GE(EhsiSets[0].map.last, 1);
    EXPECT_GE(EhsiSets[2].map.last, 1);
    flight.drawn_pictures = DrawnPictures() - pictures_before;
    flight.copied_pictures = CopiedPictures() - copies_before;
    flight.navigation_copies =
        DisplayScreens[5].copies + DisplayScreens[7].copies - navigation_copies_before;
    sim->Stop();
    RepaintEveryPicture = false;
    DisplayFormat[1] = 0;
    DisplayBrightnessLevel = 191;
    std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
    return flight;
}

// Every surface of every frame of the keyed flight as the full repaints
// had it (the first ten differences told).
void ExpectSameSums(const std::vector<uint64_t>& full, const Flight& keyed) {
    const size_t per_frame = keyed.surfaces.size();
    ASSERT_EQ(full.size(), keyed.sums.size());
    int mismatches = 0;
    for (size_t i = 0; i < full.size() && mismatches < 10; ++i) {
        if (full[i] == keyed.sums[i]) continue;
        ADD_FAILURE() << keyed.surfaces[i % per_frame] << " differs at frame " << i / per_frame;
        ++mismatches;
    }
}

// The full-repaint flight runs in a child process forked from this one, so
// both flights start from the very same module state; the child writes its
// checksums, then its count of pictures, to a file.
std::vector<uint64_t> FlyFullRepaintInChild(const std::filesystem::path& file,
                                            Flight (*fly)(bool) = Fly) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        Flight full = fly(true);
        full.sums.push_back(full.copied_pictures);
        full.sums.push_back(full.drawn_pictures);
        WriteFile(file, std::string(reinterpret_cast<const char*>(full.sums.data()),
                                    full.sums.size() * 8));
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    const std::string bytes = ReadFile(file);
    std::vector<uint64_t> sums(bytes.size() / 8);
    std::memcpy(sums.data(), bytes.data(), sums.size() * 8);
    return sums;
}

TEST(RepaintExactness, EveryPictureOfAFlightEqualsAFullRepaint) {
    TempDir tmp;
    std::vector<uint64_t> full = FlyFullRepaintInChild(tmp.path() / "full");
    ASSERT_FALSE(full.empty()) << "the full-repaint flight failed";
    const uint64_t full_pictures = full.back();
    full.pop_back();
    const uint64_t full_copies = full.back();
    full.pop_back();
    const Flight keyed = Fly(false);
    ASSERT_FALSE(HasFatalFailure());
    ExpectSameSums(full, keyed);
    // The flight has pictures to skip: the keyed run draws fewer.
    EXPECT_GT(full_pictures, 0u);
    EXPECT_LT(keyed.drawn_pictures, full_pictures);
    // The full repaints draw every picture; the keyed flight copies some of
    // the virtual-cockpit pictures from their twins.
    EXPECT_EQ(full_copies, 0u);
    EXPECT_GT(keyed.copied_pictures, 0u);
    std::printf("repaint exactness: full %llu pictures; keyed %llu drawn, %llu copied\n",
                static_cast<unsigned long long>(full_pictures),
                static_cast<unsigned long long>(keyed.drawn_pictures),
                static_cast<unsigned long long>(keyed.copied_pictures));
}

// The cruise: the map, the radar's overlay and a moving aircraft compared
// picture by picture; in its steady stretch each display gauge draws far
// fewer pictures than there are ticks (before the keys held what the
// pictures draw, the maps and the overlay drew every tick).
TEST(RepaintExactness, ACruiseWithTheMapAndTheRadarEqualsAFullRepaint) {
    TempDir tmp;
    std::vector<uint64_t> full = FlyFullRepaintInChild(tmp.path() / "full", FlyCruise);
    ASSERT_GE(full.size(), 2u) << "the full-repaint flight failed";
    const uint64_t full_pictures = full.back();
    full.pop_back();
    full.pop_back();  // the full repaints' copies
    const Flight keyed = FlyCruise(false);
    ASSERT_FALSE(HasFatalFailure());
    ExpectSameSums(full, keyed);
    EXPECT_LT(keyed.drawn_pictures, full_pictures / 2);
    // The virtual-cockpit maps, with the radar's overlay, copy their twins'
    // pictures too.
    EXPECT_GT(keyed.navigation_copies, 0u);
    // The steady stretch.
    ASSERT_GT(keyed.steady_ticks, 100u);
    EXPECT_EQ(keyed.steady_radar_pictures, 0u);
    for (int i = 0; i < kDisplayScreenCount; ++i) {
        EXPECT_LE(keyed.steady_pictures[i] * 10, keyed.steady_ticks)
            << DisplayScreens[i].name << " drew " << keyed.steady_pictures[i] << " pictures in "
            << keyed.steady_ticks << " ticks";
    }
}

// Powered from the very first frame, so the displays' first surfaces and
// their first warm-up are compared too (unpowered frames first would paint
// both picture buffers black before it); at 30 frames a second, so that
// some frames see no new systems tick and draw nothing.
Flight FlyPoweredFromTheStart(bool every_picture) {
    Flight flight;
    TempDir tmp;
    auto sim = StartFlight(every_picture, tmp, flight, 30);
    if (sim == nullptr) return flight;
    DisplayBrightnessLevel = 255;
    const uint32_t pictures_before = DrawnPictures();
    const uint32_t traffic_before = TcasScreens[0].pictures;
    PinRunningEngines(*sim);
    for (int f = 0; f < 60; ++f) {
        ElectricsEnginesRunning();
        sim->SetVariable(kHeadingToken, 90.0 + f * 0.5);
        sim->RunFrame();
        RecordFrame(*sim, flight);
    }
    // The displays warmed up and drew.
    flight.drawn_pictures = DrawnPictures() - pictures_before;
    EXPECT_GT(flight.drawn_pictures, 0u);
    EXPECT_GT(TcasScreens[0].pictures, traffic_before);
    sim->Stop();
    RepaintEveryPicture = false;
    DisplayBrightnessLevel = 191;
    std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
    return flight;
}

TEST(RepaintExactness, AFlightPoweredFromItsFirstFrameEqualsAFullRepaint) {
    TempDir tmp;
    std::vector<uint64_t> full = FlyFullRepaintInChild(tmp.path() / "full", FlyPoweredFromTheStart);
    ASSERT_GE(full.size(), 2u) << "the full-repaint flight failed";
    full.pop_back();  // the count of pictures
    full.pop_back();  // the count of copies
    const Flight keyed = FlyPoweredFromTheStart(false);
    ASSERT_FALSE(HasFatalFailure());
    ExpectSameSums(full, keyed);
}

}  // namespace
}  // namespace zu::e2e
