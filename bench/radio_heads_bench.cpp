// One frame of the eleven radio heads: the update service of each gauge and
// the callbacks of its shown elements, as the host runs them, quiet and
// while the heads re-evaluate (after a click, with a mode timer running).
// The heap in use is compared around the timed loop: a frame must not
// allocate ("heap_bytes_per_frame", expected 0).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>

#include "allocation_count.h"
#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/module_frame.h"
#include "instruments/vor_control_heads.h"

namespace {

using namespace zu;

constexpr const char* kHeads[] = {"VOR1_Panel",       "VOR1_Panel_touch", "VOR2_Panel",
                                  "VOR2_Panel_touch", "ADF1_Panel",       "ADF2_Panel",
                                  "ADF1_Panel_touch", "ADF2_Panel_touch", "ATC1_Panel",
                                  "COM1_Panel",       "COM2_Panel"};

gauge::GaugeHeader* Heads[11];

void Setup(bool lights) {
    for (int h = 0; h < 11; ++h) {
        for (gauge::GaugeHeader& g : GaugeTable) {
            if (std::strcmp(g.name, kHeads[h]) == 0) Heads[h] = &g;
        }
    }
    for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    for (std::size_t n = 0; n < 4; ++n) AcBusPowered.set(n, 1);
    BusPowered2.set(0, 1);
    PanelLightingCircuit2.set(lights ? 255 : 0);
    PanelLightingCircuit4.set(lights ? 255 : 0);
}

void RunHeadsFrame() {
    for (gauge::GaugeHeader* g : Heads) {
        g->gauge_callback(g, gauge::kServiceUpdate, 0);
        for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
            if ((e->image_flags & gauge::kImageHidden) != 0 || e->callback == nullptr) continue;
            benchmark::DoNotOptimize(e->callback(e));
        }
    }
}

void Measure(benchmark::State& state, bool refreshing) {
    Setup(refreshing);
    RunHeadsFrame();  // first calls settle the element flags
    const size_t before = mallinfo2().uordblks;
    uint64_t allocations = 0;
    for (auto _ : state) {
        if (refreshing) {
            RefreshCountdown[kRefreshRadios] = RefreshHoldCount;
            RefreshCountdown[kRefreshSelectors] = RefreshHoldCount;
            Vor1PanelState.mode_timer = 300;
        }
        const uint64_t allocations_before = BenchCAllocationCount();
        RunHeadsFrame();
        allocations += BenchCAllocationCount() - allocations_before;
    }
    const size_t after = mallinfo2().uordblks;
    state.counters["heap_bytes_per_frame"] =
        static_cast<double>(after > before ? after - before : 0) /
        static_cast<double>(state.iterations());
    RequireNoAllocations(state, "allocations_per_frame", allocations,
                         static_cast<double>(state.iterations()));
}

void BM_RadioHeadsFrame(benchmark::State& state) {
    Measure(state, false);
}
BENCHMARK(BM_RadioHeadsFrame);

void BM_RadioHeadsFrameRefreshing(benchmark::State& state) {
    Measure(state, true);
}
BENCHMARK(BM_RadioHeadsFrameRefreshing);

}  // namespace
