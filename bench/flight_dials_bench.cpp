// One frame of the pilots' flight dials (selectors, clocks, airspeed
// indicators, altimeters and standby altimeter): each gauge's update service
// and the callbacks of its shown elements, as the host runs them. The
// allocations counter must stay at 0.
#include <benchmark/benchmark.h>

#include <cstring>

#include "allocation_count.h"
#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "instruments/gauge_framework.h"

namespace {

using namespace zu;

constexpr const char* kDials[] = {"Course_hdg_selector1",
                                  "Course_hdg_selector1_touch",
                                  "Course_hdg_selector2",
                                  "clock1",
                                  "clock2",
                                  "Speedometer1",
                                  "Speedometer1_touch",
                                  "Speedometer2",
                                  "Speedometer2_touch",
                                  "Altimeter1",
                                  "Altimeter1_touch",
                                  "Altimeter2",
                                  "Altimeter2_touch",
                                  "Stby Altimeter",
                                  "Stby Altimeter_touch"};

gauge::GaugeHeader* Find(const char* name) {
    for (gauge::GaugeHeader& g : GaugeTable) {
        if (std::strcmp(g.name, name) == 0) return &g;
    }
    return nullptr;
}

void RunDialsFrame(gauge::GaugeHeader* const* gauges) {
    for (size_t i = 0; i < std::size(kDials); ++i) {
        gauge::GaugeHeader* g = gauges[i];
        g->gauge_callback(g, gauge::kServiceUpdate, 0);
        for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
            if ((e->image_flags & gauge::kImageHidden) != 0) continue;
            if (e->callback != nullptr) benchmark::DoNotOptimize(e->callback(e));
            if (e->type == gauge::ElementType::MovingImage) {
                auto* m = reinterpret_cast<gauge::MovingImageElement*>(e);
                if (m->y_callback != nullptr) benchmark::DoNotOptimize(m->y_callback(e));
            }
        }
    }
}

void FlightDialsFrame(benchmark::State& state, bool refreshing) {
    gauge::GaugeHeader* gauges[std::size(kDials)];
    for (size_t i = 0; i < std::size(kDials); ++i) gauges[i] = Find(kDials[i]);
    for (const BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    PanelLightingCircuit3.set(255);
    PanelLightingCircuit4.set(255);
    IndicatedAirspeed = 187.4f;
    Altitude = 17250.0f;
    PressureAltitude = 17250.0f;
    BaroAltitude1 = BaroAltitude2 = 17245.0f;
    std::strcpy(Clock1State.texts[0], "15");
    RunDialsFrame(gauges);
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        if (refreshing) {
            RefreshCountdown[kRefreshEngineInstruments] = RefreshHoldCount;
            RefreshCountdown[kRefreshSelectors] = RefreshHoldCount;
        }
        BaroAltitude1 += 1.0f;
        RunDialsFrame(gauges);
    }
    RequireNoAllocations(state, "allocations_per_frame", BenchAllocationCount() - before,
                         static_cast<double>(state.iterations()));
    for (const BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 0);
}

// A quiet frame: drums, needles and readouts, no visibility routine.
void BM_FlightDialsFrame(benchmark::State& state) {
    FlightDialsFrame(state, false);
}
BENCHMARK(BM_FlightDialsFrame);

// A frame while both refresh groups re-evaluate their elements.
void BM_FlightDialsFrameRefreshing(benchmark::State& state) {
    FlightDialsFrame(state, true);
}
BENCHMARK(BM_FlightDialsFrameRefreshing);

}  // namespace
