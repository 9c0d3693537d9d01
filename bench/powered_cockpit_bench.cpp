// One frame of the sample aircraft's cockpit with every bus powered and the
// engines running, the module linked in and the stand-in in lockstep (15
// frames a second, so a systems tick every frame and a picture due on every
// display each frame):
//   BM_PoweredCockpitFrame/repaint_all:R/turning:T
// R = 1 runs every display's drawing sequence on every tick (the full
// repaint), R = 0 draws only the pictures that change; T = 1 turns, pitches
// and banks the aircraft every frame, T = 0 holds it still. The counter
// `pictures` is the display pictures drawn per frame, `copies` those the
// virtual-cockpit twins copied instead of drawing.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "../tests/module_state.h"
#include "core/electrical_test_support.h"
#include "core/module_frame.h"
#include "displays/efis_display_gauges.h"
#include "displays/repaint_key.h"
#include "panels/display_control_panels.h"
#include "zu/simhost/simulator.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kPitchToken = 77;
constexpr uint32_t kBankToken = 79;
constexpr uint32_t kHeadingToken = 81;

uint64_t DisplayPictures() {
    uint64_t n = 0;
    for (const zu::DisplayScreen& s : zu::DisplayScreens) n += s.pictures;
    return n;
}

uint64_t DisplayCopies() {
    uint64_t n = 0;
    for (const zu::DisplayScreen& s : zu::DisplayScreens) n += s.copies;
    return n;
}

void BM_PoweredCockpitFrame(benchmark::State& state) {
    const bool repaint_all = state.range(0) != 0;
    const bool turning = state.range(1) != 0;
    const fs::path dir = fs::temp_directory_path() / "zu_bench_powered_cockpit";
    fs::remove_all(dir);
    fs::copy(ZU_SAMPLE_AIRCRAFT_DIR, dir, fs::copy_options::recursive);
    zu::simhost::SimulatorConfig cfg;
    cfg.aircraft_dir = dir;
    cfg.audio_silent = true;
    cfg.fps = 15;
    zu::e2e::RestoreLoadedModuleState();  // whatever earlier flights left
    auto sim = std::make_unique<zu::simhost::Simulator>(cfg);
    std::string error;
    if (!sim->AttachModule(&Linkage, &ImportTable, &error) || !sim->LoadAircraft(&error) ||
        !sim->Start(&error)) {
        return state.SkipWithError(error.c_str());
    }
    // Running engines as the simulator reports them; every generator on line.
    for (uint32_t token : {626u, 645u}) sim->SetVariable(token, 75.0);
    for (uint32_t token : {700u, 708u}) sim->SetVariable(token, 1000.0);
    for (uint32_t token : {131u, 166u}) sim->SetVariable(token, 1.0);
    for (uint32_t token : {199u, 234u}) sim->SetVariable(token, 16383.0);
    zu::DisplayControlState1.Mode = 1;  // arc on side 1, rose on side 2
    for (int i = 0; i < 300; ++i) {
        zu::ElectricsEnginesRunning();
        sim->RunFrame();
    }
    zu::RepaintEveryPicture = repaint_all;
    const uint64_t pictures_before = DisplayPictures();
    const uint64_t copies_before = DisplayCopies();
    int64_t frame = 0;
    for (auto _ : state) {
        state.PauseTiming();
        zu::ElectricsEnginesRunning();
        if (turning) {
            ++frame;
            sim->SetVariable(kHeadingToken, std::fmod(90.0 + frame * 0.37, 360.0));
            sim->SetVariable(kPitchToken, 5.0 * std::sin(frame * 0.05));
            sim->SetVariable(kBankToken, 20.0 * std::sin(frame * 0.031));
        }
        state.ResumeTiming();
        sim->RunFrame();
    }
    state.counters["pictures"] =
        benchmark::Counter(static_cast<double>(DisplayPictures() - pictures_before),
                           benchmark::Counter::kAvgIterations);
    state.counters["copies"] = benchmark::Counter(
        static_cast<double>(DisplayCopies() - copies_before), benchmark::Counter::kAvgIterations);
    zu::RepaintEveryPicture = false;
    zu::DisplayControlState1.Mode = 0;
    sim->Stop();
    sim.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
}
BENCHMARK(BM_PoweredCockpitFrame)
    ->ArgNames({"repaint_all", "turning"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
