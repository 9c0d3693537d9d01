// One 16th systems tick's share of the aircraft systems: the cabin reset,
// air conditioning, pressurisation, hydraulics, ice protection and fire
// protection, in a running configuration (engines turning, bleed air, boots
// and propeller heaters cycling in the air). Nothing may allocate.
#include <benchmark/benchmark.h>

#include "allocation_count.h"
#include "core/air_conditioning.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/fire_protection.h"
#include "core/hydraulics.h"
#include "core/ice_protection.h"
#include "core/systems_tick.h"

namespace {

void BM_AircraftSystemsSixteenthTick(benchmark::State& state) {
    using namespace zu;
    ElectricsEnginesRunning(80.0f, 1200.0);
    for (int i = 0; i < 20; ++i) ElectricalUpdate();
    EngineAirValue[0] = EngineAirValue[1] = 30;
    OnGround = 0;
    Altitude = 15000.0f;
    IceProtectionState.BootMode = 2;
    IceProtectionState.AntiIceSelector = 1;
    IceProtectionState.WindshieldMode = 1;
    FrameChangeBits.store(0xFE);
    uint64_t ticks = 0;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        CabinPressureReset();
        AirConditioningUpdate();
        PressurisationUpdate();
        HydraulicsDriver();
        IceProtectionUpdate();
        FireProtectionUpdate();
        benchmark::DoNotOptimize(HydraulicsState.SystemPressure[0]);
        ++ticks;
    }
    RequireNoAllocations(state, "allocations_per_tick", BenchAllocationCount() - before,
                         static_cast<double>(ticks));
    OnGround = 1;
    Altitude = 0.0f;
}
BENCHMARK(BM_AircraftSystemsSixteenthTick);

}  // namespace
