// Cost of one flight-guidance tick with the advisories: the mode-select
// pass, both FGC steps with their annunciator texts, self-tests and control
// laws (fresh data each tick), and the primary-display advisories, with the
// autopilot engaged in heading and altitude hold. Must not allocate:
// "allocations_per_call" counts operator new calls per tick (expected 0).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "allocation_count.h"
#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/host_panel_services.h"
#include "core/systems_tick.h"

uint64_t BenchAllocationCount();

namespace {

void BM_FlightGuidanceTick(benchmark::State& state) {
    zu::LeftAvionicsBus.set(115);
    zu::RightAvionicsBus.set(115);
    zu::AcBusPowered.set(2, 1);
    zu::AcBusPowered.set(3, 1);
    zu::BusPowered.set(zu::kPoweredRightEssential, 1);
    zu::AhrsSetAligned(zu::Ahrs1);
    zu::AhrsSetAligned(zu::Ahrs2);
    zu::OnGround = 0;
    zu::IndicatedAirspeed = 180.0f;
    zu::FGC_comp_FGC1_system_test_timer = zu::FGC_comp_FGC2_system_test_timer = 0;
    zu::FGC_comp_AP1_engaged = 1;
    zu::FGC_comp_AP1_vertical_mode = zu::kVertAlt;
    zu::FGC_comp_AP1_lateral_mode = zu::kLatHdg;
    zu::FGC_comp_HSI1_heading_sel = 30;
    uint32_t tick = 0;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        ++tick;
        const uint32_t rate = tick ^ (tick - 1);
        zu::FrameChangeBits.store(rate);
        zu::FgcNewData1.store(1);
        zu::FgcNewData2.store(1);
        if (rate & 0x02) zu::FgcModeSelect();
        zu::Fgc1Step();
        zu::Fgc2Step();
        zu::PfdAdvisoriesUpdate();
        benchmark::DoNotOptimize(zu::FgcRollCommand);
    }
    RequireNoAllocations(state, "allocations_per_call", BenchAllocationCount() - before,
                         static_cast<double>(state.iterations()));
    zu::FGC_comp_AP1_engaged = 0;
    zu::FrameChangeBits.store(0);
}
BENCHMARK(BM_FlightGuidanceTick);

}  // namespace
