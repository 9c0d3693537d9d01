// One traffic pass of the systems tick with the simulator's whole traffic
// table filled: every slot read into the intruder table, all of them close
// enough to be assessed with their closest approach. Nothing may allocate.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

#include "allocation_count.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/systems_tick.h"
#include "displays/efis_resources.h"
#include "displays/tcas.h"
#include "instruments/atc_control_head.h"

namespace {

void BM_TcasComputeFullTable(benchmark::State& state) {
    using namespace zu;
    BuildTrigTables();
    TransponderState.mode = TransponderState.mode_seen = 6;
    TransponderState.tcas_mode = 3;
    AircraftPosition = {45.0, 10.0, 2700.0, 424.26};
    Altitude = 5000.0f;
    GroundSpeed = 240;
    TcasSlotCount = kTcasTrafficSlotCapacity;
    for (int i = 0; i < kTcasTrafficSlotCapacity; ++i) {
        TcasTrafficSlot& s = TcasTrafficSlots[i];
        s = {};
        s.identifier = static_cast<uint32_t>(i + 1);
        s.latitude = static_cast<float>(45.0 + 0.05 * std::sin(i));
        s.longitude = static_cast<float>(10.0 + 0.05 * std::cos(i));
        s.altitude = 5000.0f + static_cast<float>(i * 10);
        s.heading = static_cast<uint16_t>(i * 683);
        s.ground_speed = 200;
        s.vertical_speed = static_cast<int16_t>(i * 20 - 900);
    }
    FrameChangeBits.store(0x07);
    uint64_t passes = 0;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        TcasCompute();
        benchmark::DoNotOptimize(TcasShownIntruders().count);
        ++passes;
    }
    const uint64_t allocations = BenchAllocationCount() - before;
    state.counters["allocations_per_pass"] =
        passes != 0 ? static_cast<double>(allocations) / passes : 0.0;
    if (allocations > 0) state.SkipWithError("the traffic pass allocates");
    std::memset(TcasTrafficSlots, 0, sizeof TcasTrafficSlots);
    TcasSlotCount = 0;
    TransponderState = {};
    AircraftPosition = {};
    Altitude = 0.0f;
    GroundSpeed = 0;
    FrameChangeBits.store(0);
}
BENCHMARK(BM_TcasComputeFullTable);

}  // namespace
