// A frame, a systems tick and a host pass of the whole cockpit (see
// cockpit.h), flying with every display on, and again with the weather
// radar, the TCAS traffic and the map on; and a frame of the cockpit parked:
//   BM_CockpitFrame...   the gauges' update and draw services of one frame
//                        (the host pass and every display's painting among
//                        them); the clock advance with its ticks and the
//                        stand-in's model step run untimed before each
//   BM_SystemsTick...    one 64 ms systems tick, a frame's gauges run
//                        untimed after every second one
//   BM_HostPass          the main gauge's per-frame host pass against the
//                        stand-in's FSUIPC server and panel services
//   BM_SimhostFrame...   a whole frame as simhost runs it (clock advance,
//                        ticks, model step, gauges, pictures, sound), with
//                        simhost's own share of it ("simhost_own_us": the
//                        frame less the gauges' services and the ticks)
// Each reports the median and the 99th percentile of its iterations
// ("median_us", "p99_us", see MeasureEach). None of them may allocate: the
// frame's count covers the module's gauges with their painting and the
// stand-in's services inside them (its FSUIPC serving and event log among
// them); the stand-in's renderer is measured apart
// (panel_drawing_bench.cpp), and reports its count.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "../tests/module_state.h"
#include "allocation_count.h"
#include "cockpit.h"
#include "core/gauge_table.h"
#include "core/module_frame.h"
#include "core/systems_tick.h"

namespace zu::bench {

namespace fs = std::filesystem;

namespace {

// The scenario line's time ("at T ..."), or -1.
double LineTime(const std::string& line) {
    if (line.rfind("at ", 0) != 0) return -1.0;
    return std::strtod(line.c_str() + 3, nullptr);
}

// Parked, the aircraft stays on the ground: what the crew does from take-off on is left out.
constexpr double kTakeOffSeconds = 60.0;

}  // namespace

FlyingCockpit::FlyingCockpit(CockpitLoad load, double seconds) {
    // The module is loaded once in this process: each flight starts from
    // its state as loaded, whatever the benchmarks before left in it.
    e2e::RestoreLoadedModuleState();
    aircraft_ = fs::temp_directory_path() / ("zu_bench_cockpit_" + std::to_string(::getpid()));
    fs::remove_all(aircraft_);
    fs::copy(ZU_SAMPLE_AIRCRAFT_DIR, aircraft_, fs::copy_options::recursive);
    event_log_.open("/dev/null");
    simhost::SimulatorConfig cfg;
    cfg.aircraft_dir = aircraft_;
    cfg.audio_silent = true;
    cfg.event_log = &event_log_;
    sim_ = std::make_unique<simhost::Simulator>(cfg);
    if (!sim_->AttachModule(&Linkage, &ImportTable, &error_) || !sim_->LoadAircraft(&error_) ||
        !sim_->Start(&error_)) {
        if (error_.empty()) error_ = "the simulator did not start";
        return;
    }
    std::ifstream file(aircraft_ / "scenarios" / "full-cockpit.txt");
    std::stringstream text;
    std::string line;
    while (std::getline(file, line)) {
        const bool radar_traffic_map = line.find("radar, traffic, map") != std::string::npos;
        if (radar_traffic_map && load != CockpitLoad::FlyingRadarTrafficMap) continue;
        if (load == CockpitLoad::Parked && LineTime(line) >= kTakeOffSeconds) continue;
        text << line << '\n';
    }
    if (!simhost::Scenario::Parse(text.str(), "full-cockpit.txt", &scenario_, &error_)) return;
    simhost::ScenarioContext ctx{*sim_, [](const std::string&, std::string* error) {
                                     *error = "no snapshots here";
                                     return false;
                                 }};
    while (sim_->elapsed_seconds() < seconds) {
        sim_->BeginFrame();
        scenario_.RunDue(ctx, sim_->elapsed_seconds());
        sim_->RunGauges();
    }
    if (scenario_.failures() > 0) error_ = "the scenario failed";
}

FlyingCockpit::~FlyingCockpit() {
    if (sim_) sim_->Stop();
    std::error_code ec;
    fs::remove_all(aircraft_, ec);
}

namespace {

// The benchmark library is built from source in release mode
// (third_party/benchmark) and says so ("library_build_type"); the report
// states beside it how the code measured here was built.
constexpr const char* kBuild =
#if defined(__OPTIMIZE__) && defined(NDEBUG)
    "optimised, NDEBUG";
#elif defined(__OPTIMIZE__)
    "optimised, assertions on";
#else
    "not optimised (debug)";
#endif
const bool kBuildReported = [] {
    benchmark::AddCustomContext("zu_build", kBuild);
    return true;
}();

constexpr auto kAlways = [] { return true; };

void CockpitFrame(benchmark::State& state, CockpitLoad load) {
    FlyingCockpit cockpit(load);
    if (!cockpit.ok()) return state.SkipWithError(cockpit.error().c_str());
    simhost::Simulator& sim = cockpit.sim();
    MeasureEach(
        state, "allocations_per_frame",
        [&] {
            sim.BeginFrame();
            return true;
        },
        [&] { sim.RunGauges(); }, kAlways);
}

void BM_CockpitFrame(benchmark::State& state) {
    CockpitFrame(state, CockpitLoad::Flying);
}
BENCHMARK(BM_CockpitFrame)->Unit(benchmark::kMicrosecond)->Iterations(1500);

void BM_CockpitFrameRadarTrafficMap(benchmark::State& state) {
    CockpitFrame(state, CockpitLoad::FlyingRadarTrafficMap);
}
BENCHMARK(BM_CockpitFrameRadarTrafficMap)->Unit(benchmark::kMicrosecond)->Iterations(1500);

// Parked with nothing changing, a frame should find nothing to redraw.
void BM_CockpitFrameParked(benchmark::State& state) {
    CockpitFrame(state, CockpitLoad::Parked);
}
BENCHMARK(BM_CockpitFrameParked)->Unit(benchmark::kMicrosecond)->Iterations(1500);

void CockpitTick(benchmark::State& state, CockpitLoad load) {
    FlyingCockpit cockpit(load);
    if (!cockpit.ok()) return state.SkipWithError(cockpit.error().c_str());
    simhost::Simulator& sim = cockpit.sim();
    uint64_t ticks = 0;
    MeasureEach(
        state, "allocations_per_tick",
        [&] {
            if (ticks++ % 2 == 1) sim.RunGauges();
            return true;
        },
        [] { SystemsTick(0, 0, 0, 0, 0); }, kAlways);
}

void BM_SystemsTick(benchmark::State& state) {
    CockpitTick(state, CockpitLoad::Flying);
}
BENCHMARK(BM_SystemsTick)->Unit(benchmark::kMicrosecond)->Iterations(3000);

void BM_SystemsTickRadarTrafficMap(benchmark::State& state) {
    CockpitTick(state, CockpitLoad::FlyingRadarTrafficMap);
}
BENCHMARK(BM_SystemsTickRadarTrafficMap)->Unit(benchmark::kMicrosecond)->Iterations(3000);

void BM_HostPass(benchmark::State& state) {
    FlyingCockpit cockpit(CockpitLoad::Flying);
    if (!cockpit.ok()) return state.SkipWithError(cockpit.error().c_str());
    simhost::Simulator& sim = cockpit.sim();
    MeasureEach(
        state, "allocations_per_pass",
        [&] {
            sim.BeginFrame();
            sim.RunGauges();
            return true;
        },
        [] { MaingaugeProc(); }, kAlways);
}
BENCHMARK(BM_HostPass)->Unit(benchmark::kMicrosecond)->Iterations(1500);

void SimhostFrame(benchmark::State& state, CockpitLoad load) {
    FlyingCockpit cockpit(load);
    if (!cockpit.ok()) return state.SkipWithError(cockpit.error().c_str());
    simhost::Simulator& sim = cockpit.sim();
    const simhost::Simulator::FrameTiming before = sim.frame_timing();
    MeasureEach(
        state, "allocations_per_frame", kAlways, [&] { sim.RunFrame(); }, kAlways);
    const simhost::Simulator::FrameTiming& after = sim.frame_timing();
    const uint64_t frames = after.frames - before.frames;
    const uint64_t module_ns = after.gauge_ns - before.gauge_ns + after.tick_ns - before.tick_ns;
    const uint64_t frame_ns = after.frame_ns - before.frame_ns;
    if (frames > 0) {
        state.counters["simhost_own_us"] =
            static_cast<double>(frame_ns - std::min(frame_ns, module_ns)) /
            static_cast<double>(frames) / 1000.0;
    }
}

void BM_SimhostFrame(benchmark::State& state) {
    SimhostFrame(state, CockpitLoad::FlyingRadarTrafficMap);
}
BENCHMARK(BM_SimhostFrame)->Unit(benchmark::kMicrosecond)->Iterations(1500);

void BM_SimhostFrameParked(benchmark::State& state) {
    SimhostFrame(state, CockpitLoad::Parked);
}
BENCHMARK(BM_SimhostFrameParked)->Unit(benchmark::kMicrosecond)->Iterations(1500);

}  // namespace
}  // namespace zu::bench
