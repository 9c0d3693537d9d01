// One frame of the nine glare-shield guidance panels (autopilot and its
// touch variant, both ID809 displays, both AL801 preselectors, GPWS, both
// RNAV panels): the update service of each gauge and the callbacks of its
// shown elements, as the host runs them, quiet and while every panel
// re-evaluates with a new mode in reverse video and a message blinking.
// The heap in use is compared around the timed loop: a frame must not
// allocate ("heap_bytes_per_frame", expected 0).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>

#include "allocation_count.h"
#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/gauge_table.h"
#include "core/module_frame.h"
#include "instruments/gauge_framework.h"
#include "panels/id809_panels.h"

namespace {

using namespace zu;

constexpr const char* kPanels[] = {"Autopilot",    "Autopilot_touch", "ID809a_Panel",
                                   "ID809b_Panel", "AL801_Panel",     "AL801_Panel_touch",
                                   "GPWS_Panel",   "RNAV1_Panel",     "RNAV2_Panel"};
constexpr int kPanelCount = 9;

gauge::GaugeHeader* Panels[kPanelCount];

void Setup() {
    for (int p = 0; p < kPanelCount; ++p) {
        for (gauge::GaugeHeader& g : GaugeTable) {
            if (std::strcmp(g.name, kPanels[p]) == 0) Panels[p] = &g;
        }
        Panels[p]->gauge_callback(Panels[p], gauge::kServiceInstall, 0);
    }
    for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    for (std::size_t n = 0; n < 4; ++n) AcBusPowered.set(n, 1);
    PanelLightingCircuit2.set(255);
    PanelLightingCircuit4.set(255);
    std::strcpy(FgcSide1.fma.lateral, " WINGS LEVEL");
    std::strcpy(FgcSide1.fma.vertical, "PITCH  ");
    std::strcpy(FgcSide2.fma.lateral, "HDG");
    std::strcpy(FgcSide2.fma.vertical, "ALT     ");
    std::strcpy(FgcMessageLines[0], "ACFT ON GND");
    FGC_comp_AP1_engaged = 1;
    AIRDATA_comp_selected_alt = 12000;
}

void RunPanelsFrame() {
    for (gauge::GaugeHeader* g : Panels) {
        g->gauge_callback(g, gauge::kServiceUpdate, 0);
        for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
            if ((e->image_flags & gauge::kImageHidden) != 0) continue;
            if (e->callback != nullptr) benchmark::DoNotOptimize(e->callback(e));
            if (e->type == gauge::ElementType::MovingImage) {
                auto* mi = reinterpret_cast<gauge::MovingImageElement*>(e);
                benchmark::DoNotOptimize(mi->y_callback(e));
            }
        }
    }
}

void Measure(benchmark::State& state, bool busy) {
    Setup();
    RunPanelsFrame();  // first calls settle the element flags
    const size_t before = mallinfo2().uordblks;
    uint64_t allocations = 0;
    for (auto _ : state) {
        if (busy) {
            for (int group : {kRefreshRadios, kRefreshEngineInstruments, kRefreshSelectors}) {
                RefreshCountdown[group] = RefreshHoldCount;
            }
            Id809BlankCountdown[0] = Id809BlankCountdown[1] = kId809BlankStart;
            Id809BlankCountdown2[0] = Id809BlankCountdown2[1] = kId809BlankStart;
            FgcMessageState1.code = 3;
            FgcMessageState1.code3_flag = 1;
            FgcFlags1[1] = 1;
        }
        const uint64_t allocations_before = BenchCAllocationCount();
        RunPanelsFrame();
        allocations += BenchCAllocationCount() - allocations_before;
    }
    const size_t after = mallinfo2().uordblks;
    state.counters["heap_bytes_per_frame"] =
        static_cast<double>(after > before ? after - before : 0) /
        static_cast<double>(state.iterations());
    RequireNoAllocations(state, "allocations_per_frame", allocations,
                         static_cast<double>(state.iterations()));
}

void BM_GuidancePanelsFrame(benchmark::State& state) {
    Measure(state, false);
}
BENCHMARK(BM_GuidancePanelsFrame);

void BM_GuidancePanelsFrameRefreshing(benchmark::State& state) {
    Measure(state, true);
}
BENCHMARK(BM_GuidancePanelsFrameRefreshing);

}  // namespace
