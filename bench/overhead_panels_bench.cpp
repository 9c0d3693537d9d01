// One frame of the overhead, caution, side and glareshield panels: the
// update and draw services of each of their gauges and the callbacks of
// their shown elements, as the host runs them, plus the recorder light's
// tick step; with the annunciator test on, so every caution legend is
// shown and written. Reports the allocations per frame (expected 0).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "allocation_count.h"
#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "displays/flight_data_recorder.h"
#include "instruments/gauge_framework.h"
#include "zu/platform/drawing.h"

namespace {

using namespace zu;

constexpr const char* kGauges[] = {"Master_Fire_Warning",
                                   "Master_Caution_Light",
                                   "Master_Warning_Light",
                                   "Prop_Ground",
                                   "battery_panel",
                                   "ac_Panel",
                                   "DcMeterPanel",
                                   "AcMeterPanel",
                                   "BatTempMeterPanel",
                                   "Lights_Panel",
                                   "Lights_rightpanel",
                                   "Lights_exterior1_Panel",
                                   "Lights_exterior2_Panel",
                                   "stormlights1",
                                   "stormlights2",
                                   "Landing gear inhibit switch",
                                   "Nose Gear Alt Door",
                                   "PA_panel",
                                   "CVR_panel",
                                   "Caution",
                                   "Caution_Large",
                                   "Pilot_Panel",
                                   "Copilot panel",
                                   "FDR_panel",
                                   "SWITCHBOARD_gauge",
                                   "CALLSIGN_gauge",
                                   "PneuPanel",
                                   "PneuPanel_touch",
                                   "PressPanel",
                                   "PressPanel_touch",
                                   "AntiicePanel"};

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

void BM_OverheadPanelsFrame(benchmark::State& state) {
    const std::vector<gauge::GaugeHeader*> gauges = Gauges();
    for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    AcBusPowered.set(3, 1);
    PanelLightingCircuit1.set(255);
    AnnunciatorTestSwitch.set(1);
    // The battery-temperature graphs paint into surfaces of their own.
    static uint8_t pixels[2][152 * 14 * 4];
    gauge::DrawingSurface surfaces[2];
    for (int i = 0; i < 2; ++i) {
        surfaces[i] = {152,       14,
                       152 * 4,   sizeof pixels[i],
                       pixels[i], platform::DrawContextCreate(pixels[i], 152, 14, 152 * 4)};
    }
    for (gauge::GaugeHeader* g : gauges) {
        g->gauge_callback(g, gauge::kServiceInstall, 0);
        if (std::strcmp(g->name, "BatTempMeterPanel") == 0) {
            gauge::ElementHeader* e = g->element_list[0]->next_element[0]->next_element[0];
            e->surface = &surfaces[0];
            e->next_element[0]->surface = &surfaces[1];
        }
    }
    uint64_t frames = 0;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        RefreshCountdown[kRefreshAll] = 2;  // every panel re-evaluates its elements
        RefreshCountdown[kRefreshOverhead] = 8;
        SystemTimers.IceTimer = 1;
        for (gauge::GaugeHeader* g : gauges) {
            g->gauge_callback(g, gauge::kServiceUpdate, 0);
            RunElements(g);
        }
        for (gauge::GaugeHeader* g : gauges) g->gauge_callback(g, gauge::kServiceDraw, 0);
        FdrUpdate();
        ++frames;
    }
    RequireNoAllocations(state, "allocations_per_frame", BenchAllocationCount() - before,
                         static_cast<double>(frames));
    for (auto& s : surfaces)
        platform::DrawContextDestroy(static_cast<platform::DrawContext*>(s.context));
}
BENCHMARK(BM_OverheadPanelsFrame);

}  // namespace
