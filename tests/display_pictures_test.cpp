// Every drawn surface of the sample panel (navigation, attitude, traffic,
// weather-radar and head-up displays, the CDU, the battery-temperature
// graphs...) over a scripted flight, painted twice: once with the drawing
// layer's plain reference paths and the pictures copied from the pixels,
// once with the normal paths and the picture buffers swapped. The two
// flights run in forked copies of this process (the module's state is
// global) and report a checksum of every picture of every frame; the
// checksums must agree picture for picture.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "displays/weather_radar.h"
#include "e2e_support.h"
#include "instruments/atc_control_head.h"
#include "module_state.h"
#include "panels/display_control_panels.h"
#include "zu/platform/drawing.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

constexpr double kDeg = 0.017453292519943295;
constexpr int kFrames = 900;

uint64_t PictureChecksum(const std::vector<uint8_t>& picture) {
    uint64_t h = 0xCBF29CE484222325ull ^ picture.size();
    size_t i = 0;
    for (; i + 8 <= picture.size(); i += 8) {
        uint64_t w = 0;
        std::memcpy(&w, picture.data() + i, 8);
        h = (h ^ w) * 0x100000001B3ull;
        h ^= h >> 29;
    }
    for (; i < picture.size(); ++i) h = (h ^ picture[i]) * 0x100000001B3ull;
    return h;
}

// One entry a frame and surface.
struct Shot {
    int32_t frame;
    int32_t gauge;
    int32_t surface;
    uint32_t pictures;
    uint64_t checksum;
};

// The scripted flight; writes its shots to `fd`.
void Fly(int fd, bool reference) {
    RestoreLoadedModuleState();
    TempDir tmp;
    simhost::SimulatorConfig cfg;
    cfg.aircraft_dir = CopySampleAircraft(tmp.path());
    cfg.fps = 15;
    cfg.audio_silent = true;
    cfg.copy_pictures = reference;
    auto sim = std::make_unique<simhost::Simulator>(cfg);
    StartLinkedModule(*sim);
    PinRunningEngines(*sim);
    for (int i = 0; i < 60; ++i) {
        ElectricsEnginesRunning();
        sim->RunFrame();
    }
    // A storm ahead for the radar and the weather overlay, traffic ahead
    // and above for the traffic displays.
    const auto& st = sim->model().state();
    const double track = st.heading_true * kDeg;
    sim->model().AddWeatherCell(simhost::WeatherCell{
        st.latitude + 40.0 / 60.0 * std::cos(track),
        st.longitude + 40.0 / 60.0 * std::sin(track) / std::cos(st.latitude * kDeg), 12.0, 0, 30000,
        5});
    WxRadarState.power_switch = 1;
    WxRadarState.warm_up_countdown = 0;
    WxRadarState.selected_mode = kWxModeWeather;
    TransponderState.mode = 6;
    char line[200];
    std::snprintf(line, sizeof line, "at 0 traffic 0 7 %.7f %.7f %.0f %.1f 300 0\n",
                  st.latitude + 6.0 / 60.0 * std::cos(track),
                  st.longitude + 6.0 / 60.0 * std::sin(track) / std::cos(st.latitude * kDeg),
                  st.altitude_ft + 800, st.heading_true + 180);
    simhost::Scenario traffic;
    std::string error;
    if (simhost::Scenario::Parse(line, "t.txt", &traffic, &error)) {
        simhost::ScenarioContext ctx{*sim, nullptr};
        traffic.RunDue(ctx, 1e9);
    }
    DisplayControlState1.Overlay = 1;
    std::vector<Shot> shots;
    for (int frame = 0; frame < kFrames; ++frame) {
        DisplayControlState1.Mode = (frame / 150) % 3;
        DisplayControlState2.Mode = (frame / 150 + 1) % 3;
        if (frame == 450) WxRadarState.selected_mode = kWxModeMap;
        sim->SetVariable(81, std::fmod(30.0 + frame * 0.7, 360.0));
        sim->SetVariable(0x4E, 12.0 * std::sin(frame * 0.02));
        sim->SetVariable(0x50, 25.0 * std::sin(frame * 0.013));
        ElectricsEnginesRunning();
        sim->RunFrame();
        const auto& gauges = sim->gauges();
        for (size_t g = 0; g < gauges.size(); ++g) {
            for (size_t s = 0; s < gauges[g].surfaces.size(); ++s) {
                const simhost::DrawnSurface& d = *gauges[g].surfaces[s];
                shots.push_back({frame, static_cast<int32_t>(g), static_cast<int32_t>(s),
                                 static_cast<uint32_t>(d.pictures), PictureChecksum(d.picture)});
            }
        }
    }
    sim->Stop();
    const auto* p = reinterpret_cast<const char*>(shots.data());
    size_t left = shots.size() * sizeof(Shot);
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n <= 0) break;
        p += n;
        left -= static_cast<size_t>(n);
    }
}

// The shots of a flight flown in a forked copy of this process.
std::vector<Shot> FlyForked(bool reference) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        platform::DrawUseReferencePaths(reference);
        Fly(fds[1], reference);
        close(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    std::vector<Shot> shots;
    Shot shot{};
    size_t have = 0;
    for (;;) {
        const ssize_t n = read(fds[0], reinterpret_cast<char*>(&shot) + have, sizeof shot - have);
        if (n <= 0) break;
        have += static_cast<size_t>(n);
        if (have == sizeof shot) {
            shots.push_back(shot);
            have = 0;
        }
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return shots;
}

TEST(DisplayPictures, EveryDisplayOverAFlightMatchesTheReferencePaths) {
    const std::vector<Shot> reference = FlyForked(true);
    const std::vector<Shot> fast = FlyForked(false);
    ASSERT_FALSE(reference.empty());
    ASSERT_EQ(reference.size(), fast.size());
    int mismatches = 0;
    for (size_t i = 0; i < reference.size() && mismatches < 10; ++i) {
        const Shot& a = reference[i];
        const Shot& b = fast[i];
        ASSERT_EQ(a.gauge, b.gauge);
        ASSERT_EQ(a.surface, b.surface);
        EXPECT_EQ(a.pictures, b.pictures) << "gauge " << a.gauge << " frame " << a.frame;
        if (a.checksum != b.checksum) {
            ++mismatches;
            ADD_FAILURE() << "gauge " << a.gauge << " surface " << a.surface << " differs at frame "
                          << a.frame;
        }
    }
    // The flight is no still life: the displays drew many different pictures.
    std::set<std::pair<int32_t, uint64_t>> distinct;
    std::set<int32_t> surfaces;
    for (const Shot& s : fast) {
        distinct.insert({s.gauge * 16 + s.surface, s.checksum});
        surfaces.insert(s.gauge * 16 + s.surface);
    }
    EXPECT_GE(surfaces.size(), 10u);
    EXPECT_GE(distinct.size(), surfaces.size() * 5);
}

}  // namespace
}  // namespace zu::e2e
