// One frame of the eight pedestal gauges (engine-control, fuel, autofeather
// and gear panels; trim, flap, compass and inclinometer indicators): the
// update service of each gauge and the callbacks of its shown elements, as
// the host runs them, quiet and while every panel re-evaluates with the
// gear in transit, a spring switch off centre and the trim switch held.
// The heap in use is compared around the timed loop: a frame must not
// allocate ("heap_bytes_per_frame", expected 0).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>

#include "allocation_count.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/gauge_table.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "instruments/gauge_framework.h"
#include "instruments/pedestal_indicators.h"

namespace {

using namespace zu;

constexpr const char* kGauges[] = {
    "EGC_panel", "FUEL_panel",      "Autofeather_panel", "Gear",
    "TRIMS",     "FLAPS indicator", "Whiskey compass",   "Inclinometer"};
constexpr int kGaugeCount = 8;

gauge::GaugeHeader* Gauges[kGaugeCount];

void Setup() {
    for (int p = 0; p < kGaugeCount; ++p) {
        for (gauge::GaugeHeader& g : GaugeTable) {
            if (std::strcmp(g.name, kGauges[p]) == 0) Gauges[p] = &g;
        }
        Gauges[p]->parameters = "";
        Gauges[p]->gauge_callback(Gauges[p], gauge::kServiceInstall, 0);
    }
    for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    PanelLightingCircuit2.set(255);
    PanelLightingCircuit3.set(255);
    FlapsHydraulicPressure = 3000;
    FlapDetent = 6;
}

void RunFrame() {
    for (gauge::GaugeHeader* g : Gauges) {
        g->gauge_callback(g, gauge::kServiceUpdate, 0);
        for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
            if ((e->image_flags & gauge::kImageHidden) != 0) continue;
            if (e->callback != nullptr) benchmark::DoNotOptimize(e->callback(e));
            if (e->type == gauge::ElementType::MovingImage) {
                auto* mi = reinterpret_cast<gauge::MovingImageElement*>(e);
                benchmark::DoNotOptimize(mi->y_callback(e));
            } else if (e->type == gauge::ElementType::Slider) {
                auto* sl = reinterpret_cast<gauge::SliderElement*>(e);
                benchmark::DoNotOptimize(sl->y_callback(e));
            }
        }
        g->gauge_callback(g, gauge::kServiceDraw, 0);
    }
}

void Measure(benchmark::State& state, bool busy) {
    Setup();
    RunFrame();  // first calls settle the element flags
    const size_t before = mallinfo2().uordblks;
    uint64_t allocations = 0;
    for (auto _ : state) {
        if (busy) {
            for (int group : {kRefreshRadios, kRefreshRmi, kRefreshHydraulics, kRefreshAll}) {
                RefreshCountdown[group] = RefreshHoldCount;
            }
            GearStates.in_transit[kGearStateNose] = 1;
            GearTransitCountdown = 40;
            Autofeather.feather_switch[0] = 1;
            SystemTimers2.AutofeatherReturn[0] = 100;
            TrimSwitchDirection = 1;
            FlapNeedlePosition = 0.0f;
        }
        const uint64_t allocations_before = BenchCAllocationCount();
        RunFrame();
        allocations += BenchCAllocationCount() - allocations_before;
    }
    const size_t after = mallinfo2().uordblks;
    state.counters["heap_bytes_per_frame"] =
        static_cast<double>(after > before ? after - before : 0) /
        static_cast<double>(state.iterations());
    RequireNoAllocations(state, "allocations_per_frame", allocations,
                         static_cast<double>(state.iterations()));
}

void BM_PedestalGaugesFrame(benchmark::State& state) {
    Measure(state, false);
}
BENCHMARK(BM_PedestalGaugesFrame);

void BM_PedestalGaugesFrameRefreshing(benchmark::State& state) {
    Measure(state, true);
}
BENCHMARK(BM_PedestalGaugesFrameRefreshing);

}  // namespace
