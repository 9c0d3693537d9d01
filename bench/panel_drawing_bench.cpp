// Drawing the sample aircraft's panel: every panel window once, as a live
// view draws them, with the module running in-process on the sample panel
// (all 147 gauges placed at their sizes in eight windows).
//   BM_SamplePanelDrawEveryWindow  every window drawn whole (the bitmaps
//                                  already scaled to their placed sizes)
//   BM_SamplePanelFrame            one frame of the flight, then every window
//                                  whose picture changed (the live view)
//   BM_SamplePanelFirstDraw        every window with an empty bitmap cache
//                                  (after a scale change or resize)
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/gauge_table.h"
#include "core/module_frame.h"
#include "zu/simhost/gauge_renderer.h"
#include "zu/simhost/simulator.h"

namespace {

using zu::simhost::GaugeRenderer;
using zu::simhost::PanelWindow;
using zu::simhost::RenderOptions;
using zu::simhost::Simulator;

struct SamplePanel {
    Simulator sim;
    GaugeRenderer renderer;
    std::vector<cairo_surface_t*> pictures;
    std::string error;

    static zu::simhost::SimulatorConfig Config() {
        zu::simhost::SimulatorConfig cfg;
        cfg.aircraft_dir = ZU_SAMPLE_AIRCRAFT_DIR;
        cfg.fsuipc = false;  // the module writes nothing into the aircraft folder
        cfg.audio_silent = true;
        return cfg;
    }
    SamplePanel() : sim(Config()), renderer(sim) {
        if (!sim.AttachModule(&Linkage, &ImportTable, &error) ||
            !sim.LoadAircraft(&error) || !sim.Start(&error)) {
            return;
        }
        for (int i = 0; i < 30; ++i) sim.RunFrame();
        for (const PanelWindow& w : sim.panel_windows())
            pictures.push_back(renderer.RenderWindow(w, RenderOptions{}));
    }
    ~SamplePanel() {
        for (cairo_surface_t* p : pictures) cairo_surface_destroy(p);
        sim.Stop();
    }
    bool ok() const { return error.empty(); }
};

void BM_SamplePanelDrawEveryWindow(benchmark::State& state) {
    SamplePanel panel;
    if (!panel.ok()) return state.SkipWithError(panel.error.c_str());
    const auto& windows = panel.sim.panel_windows();
    for (auto _ : state) {
        for (size_t i = 0; i < windows.size(); ++i)
            panel.renderer.RenderWindow(windows[i], RenderOptions{}, panel.pictures[i]);
    }
    state.counters["windows"] = static_cast<double>(windows.size());
}
BENCHMARK(BM_SamplePanelDrawEveryWindow)->Unit(benchmark::kMillisecond);

void BM_SamplePanelFrame(benchmark::State& state) {
    SamplePanel panel;
    if (!panel.ok()) return state.SkipWithError(panel.error.c_str());
    const auto& windows = panel.sim.panel_windows();
    int64_t drawn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        panel.sim.RunFrame();
        state.ResumeTiming();
        for (size_t i = 0; i < windows.size(); ++i) {
            if (!panel.renderer.WindowChanged(windows[i], RenderOptions{})) continue;
            panel.renderer.RenderWindow(windows[i], RenderOptions{}, panel.pictures[i]);
            ++drawn;
        }
    }
    state.counters["windows_drawn"] =
        benchmark::Counter(static_cast<double>(drawn), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SamplePanelFrame)->Unit(benchmark::kMillisecond);

void BM_SamplePanelFirstDraw(benchmark::State& state) {
    SamplePanel panel;
    if (!panel.ok()) return state.SkipWithError(panel.error.c_str());
    const auto& windows = panel.sim.panel_windows();
    double scale = 1.0;
    for (auto _ : state) {
        scale = scale == 1.0 ? 1.0 + 1e-9 : 1.0;  // a new scale empties the cache
        for (size_t i = 0; i < windows.size(); ++i)
            panel.renderer.RenderWindow(windows[i], RenderOptions{scale, 1.0}, panel.pictures[i]);
    }
}
BENCHMARK(BM_SamplePanelFirstDraw)->Unit(benchmark::kMillisecond);

}  // namespace
