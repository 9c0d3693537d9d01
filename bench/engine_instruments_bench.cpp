// One frame of the eighteen engine indicators: the update service of each
// gauge and the callbacks of its shown elements, as the host runs them; and,
// where the simulator stand-in is linked, drawing the engine panel.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "instruments/engine_instruments.h"
#if __has_include("zu/simhost/gauge_renderer.h")
#include "../tests/module_state.h"
#include "allocation_count.h"
#include "zu/simhost/gauge_renderer.h"
#include "zu/simhost/simulator.h"
#endif

namespace {

using namespace zu;

void PowerAndRun(bool lights) {
    for (const BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    PanelLightingCircuit2.set(lights ? 255 : 0);
    PowerplantState.Torque[0] = 80.0;
    PowerplantState.Torque[1] = 79.0;
    PropRpm[0] = PropRpm[1] = 1020.0;
    Nh1State.nh = Nh2State.nh = 92.0f;
    NLValue[0] = NLValue[1] = 95.0f;
}

void RunEngineFrame() {
    for (int i = 1; i <= kEngineIndicatorCount; ++i) {
        gauge::GaugeHeader* g = &GaugeTable[i];
        g->gauge_callback(g, gauge::kServiceUpdate, 0);
        for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
            if ((e->image_flags & gauge::kImageHidden) != 0 || e->callback == nullptr) continue;
            e->source_value = 1000.0;
            benchmark::DoNotOptimize(e->callback(e));
        }
    }
}

// A quiet frame: no countdown runs, so no visibility routine either.
void BM_EngineInstrumentsFrame(benchmark::State& state) {
    PowerAndRun(false);
    for (auto _ : state) RunEngineFrame();
}
BENCHMARK(BM_EngineInstrumentsFrame);

// A frame while the group re-evaluates its elements (after a change).
void BM_EngineInstrumentsFrameRefreshing(benchmark::State& state) {
    PowerAndRun(true);
    for (auto _ : state) {
        RefreshCountdown[2] = RefreshHoldCount;
        RunEngineFrame();
    }
}
BENCHMARK(BM_EngineInstrumentsFrameRefreshing);

#if __has_include("zu/simhost/gauge_renderer.h")

// Drawing the engine panel (18 dials at their design sizes) into a picture.
void BM_EnginePanelDrawing(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "zu_bench_engine_panel";
    fs::create_directories(dir / "panel");
    std::ofstream(dir / "Zuvav.air") << "";
    std::ofstream panel(dir / "panel" / "panel.cfg");
    panel << "[Window00]\nsize_mm=1200,600\ngauge00=ZeveridUvo!maingauge, 0, 0, 25\n";
    const char* names[] = {"Torque1", "Torque2", "Rpm1",   "Rpm2",   "Nh1",         "Nh2",
                           "NL1",     "NL2",     "Itt1",   "Itt2",   "ff1",         "ff2",
                           "Oil1",    "Oil2",    "F_QTY1", "F_QTY2", "F_TANK_TEMP", "F_TEMP"};
    for (int i = 0; i < 18; ++i) {
        panel << "gauge" << i + 1 << "=ZeveridUvo!" << names[i] << ", " << (i % 6) * 200 << ", "
              << (i / 6) * 200 << ", " << (i < 12 ? 200 : 170) << "\n";
    }
    panel.close();

    zu::simhost::SimulatorConfig cfg;
    cfg.aircraft_dir = dir;
    cfg.fsuipc = false;
    cfg.audio_silent = true;
    zu::e2e::RestoreLoadedModuleState();  // whatever earlier flights left
    zu::simhost::Simulator sim(cfg);
    std::string error;
    if (!sim.AttachModule(&Linkage, &ImportTable, &error) || !sim.LoadAircraft(&error) ||
        !sim.Start(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    PowerAndRun(true);
    for (int i = 0; i < 5; ++i) sim.RunFrame();
    zu::simhost::GaugeRenderer renderer(sim);
    const zu::simhost::PanelWindow& window = sim.panel_windows().front();
    cairo_surface_t* picture = renderer.RenderWindow(window, {});
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = BenchCAllocationCount();
        renderer.RenderWindow(window, {}, picture);
        allocations += BenchCAllocationCount() - before;
    }
    RequireNoAllocations(state, "allocations_per_draw", allocations,
                         static_cast<double>(state.iterations()));
    cairo_surface_destroy(picture);
    sim.Stop();
    fs::remove_all(dir);
}
BENCHMARK(BM_EnginePanelDrawing)->Unit(benchmark::kMillisecond);

#endif

}  // namespace
