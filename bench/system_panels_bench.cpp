// One frame of the fire panel, the hydraulic panels and indicators, the
// shut-off panels, the alternate gear pump, the bypass doors and the
// air-system indicators: the update and draw services of each gauge and the
// callbacks of their shown elements, as the host runs them, with every bus
// powered, the lamp test on and the needles moving. Reports the
// allocations per frame (expected 0).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "allocation_count.h"
#include "core/air_conditioning.h"
#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "instruments/gauge_framework.h"

namespace {

using namespace zu;

constexpr const char* kGauges[] = {"FirePanel",
                                   "Bypass_doors",
                                   "DuctTemp",
                                   "CabAltSetIndicator",
                                   "PressComp_Diff",
                                   "PressComp_Alt",
                                   "PressComp_Rate",
                                   "Stby_hydr",
                                   "Stby_hydr_pres",
                                   "Main_hydr_pres",
                                   "Brake_hydr_pres",
                                   "Hydr_qty",
                                   "Roll_spoilers_shutoff",
                                   "Rudders_shutoff",
                                   "StickPusher_shutoff",
                                   "Alternate Gear Pump"};

std::vector<gauge::GaugeHeader*> Gauges() {
    std::vector<gauge::GaugeHeader*> out;
    for (const char* name : kGauges) {
        for (gauge::GaugeHeader& g : GaugeTable) {
            if (std::strcmp(g.name, name) == 0) out.push_back(&g);
        }
    }
    return out;
}

void RunElements(gauge::GaugeHeader* g) {
    if (g->element_list == nullptr) return;
    for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
        if ((e->image_flags & gauge::kImageHidden) == 0 && e->callback != nullptr) e->callback(e);
    }
}

void BM_SystemPanelsFrame(benchmark::State& state) {
    const std::vector<gauge::GaugeHeader*> gauges = Gauges();
    for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    PanelLightingCircuit1.set(255);
    PanelLightingCircuit2.set(255);
    AnnunciatorTestSwitch.set(2);
    for (gauge::GaugeHeader* g : gauges) g->gauge_callback(g, gauge::kServiceInstall, 0);
    uint64_t frames = 0;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        // Pressures and temperatures that swing, so the followers move.
        const int32_t swing = (frames & 128) != 0 ? 3000 : 0;
        HydraulicsState.SystemPressure[0] = HydraulicsState.SystemPressure[1] = swing;
        PressurisationState.Rate = static_cast<float>(swing) - 1500.0f;
        RefreshCountdown[kRefreshAll] = 2;
        for (int group :
             {kRefreshOverhead, kRefreshRadios, kRefreshSelectors, kRefreshHydraulics}) {
            RefreshCountdown[group] = 2;
        }
        for (gauge::GaugeHeader* g : gauges) {
            g->gauge_callback(g, gauge::kServiceUpdate, 0);
            RunElements(g);
        }
        for (gauge::GaugeHeader* g : gauges) g->gauge_callback(g, gauge::kServiceDraw, 0);
        ++frames;
    }
    RequireNoAllocations(state, "allocations_per_frame", BenchAllocationCount() - before,
                         static_cast<double>(frames));
}
BENCHMARK(BM_SystemPanelsFrame);

}  // namespace
