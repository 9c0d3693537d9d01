// One frame of the standby attitude indicator, the PFCS, the RMI and the two
// AHRS control panels: the update service of each gauge and every callback
// of its shown elements (sprite and moving-image offsets included), as the
// host runs them, with the aircraft powered, lit and manoeuvring and every
// gauge re-evaluating its images. Reports the allocations per frame
// (expected 0).
#include <benchmark/benchmark.h>

#include <cstring>

#include "allocation_count.h"
#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "instruments/gauge_framework.h"

namespace {

using namespace zu;

constexpr const char* kGauges[] = {"Stby attitude", "PFCS", "RMI", "AHRS1_Panel", "AHRS2_Panel"};

gauge::GaugeHeader* Gauges[5];

double RunElements(gauge::GaugeHeader* g) {
    double sum = 0.0;
    for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
        if ((e->image_flags & gauge::kImageHidden) != 0 || e->callback == nullptr) continue;
        sum += e->callback(e);
        if (e->type == gauge::ElementType::Sprite) {
            auto* sp = reinterpret_cast<gauge::SpriteElement*>(e);
            if (sp->x_callback != nullptr) sum += sp->x_callback(e);
            if (sp->y_callback != nullptr) sum += sp->y_callback(e);
        } else if (e->type == gauge::ElementType::MovingImage) {
            sum += reinterpret_cast<gauge::MovingImageElement*>(e)->y_callback(e);
        }
    }
    return sum;
}

void BM_AttitudeHeadingGaugesFrame(benchmark::State& state) {
    for (int i = 0; i < 5; ++i) {
        for (gauge::GaugeHeader& g : GaugeTable) {
            if (std::strcmp(g.name, kGauges[i]) == 0) Gauges[i] = &g;
        }
        Gauges[i]->parameters = "";
        Gauges[i]->gauge_callback(Gauges[i], gauge::kServiceInstall, 0);
    }
    for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    AcBusPowered.set(3, 1);
    BusPowered2.set(1, 1);
    PanelLightingCircuit2.set(255);
    PanelLightingCircuit3.set(255);
    AhrsSetAligned(Ahrs1);
    AhrsSetAligned(Ahrs2);
    Ahrs1.powered = Ahrs2.powered = 1;
    for (int32_t& p : RollSpoilerPressure) p = 3000;
    IndicatedAirspeed = 120.0f;
    NavSources[kNavVor1].bearing = 30.0;
    NavSources[kNavAdf1].bearing = 300.0;
    uint64_t frames = 0;
    double sink = 0.0;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        RefreshCountdown[kRefreshAll] = 2;  // every gauge re-evaluates its images
        ControlSurfacePositions[0] = (frames & 1) != 0 ? -0.05f : 0.05f;
        Ahrs1.heading = static_cast<double>(frames % 360);
        for (gauge::GaugeHeader* g : Gauges) {
            g->gauge_callback(g, gauge::kServiceUpdate, 0);
            sink += RunElements(g);
        }
        ++frames;
    }
    benchmark::DoNotOptimize(sink);
    RequireNoAllocations(state, "allocations_per_frame", BenchAllocationCount() - before,
                         static_cast<double>(frames));
}
BENCHMARK(BM_AttitudeHeadingGaugesFrame);

}  // namespace
