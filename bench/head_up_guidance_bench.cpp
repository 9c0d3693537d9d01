// Cost of one head-up guidance pass in the approach mode AIII below 300 ft:
// the mode logic, AIII availability, the flight-path and flare guidance, and
// the runway outline with its projection. Must not allocate:
// "allocations_per_call" counts operator new calls per pass (expected 0).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "allocation_count.h"
#include "core/autopilot_control_laws.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"
#include "displays/head_up_guidance.h"

uint64_t BenchAllocationCount();

namespace {

void BM_HgsUpdateAiii(benchmark::State& state) {
    using namespace zu;
    BusPowered.set(kPoweredLeftMainDc, 1);
    for (int i : {kNavVor1, kNavVor2}) {
        NavSources[i].receive_state = 2;
        NavSources[i].deviation_valid = 1;
        NavSources[i].glideslope_alive = 1;
        NavSources[i].glideslope_inclination = 64990;
        NavSources[i].glideslope_inclination_copy = 64990;
        NavSources[i].runway_heading = 49152;
        NavSources[i].course = 90.0;
        NavSources[i].glideslope_latitude = 5000000;
        NavSources[i].glideslope_longitude = 119304647;
        NavSources[i].glideslope_altitude = 165;
    }
    Nav1StationPosition[0] = 5000000;
    Nav1StationPosition[1] = 119500000;
    Nav1StationPosition[2] = 165;
    NavSourceSel1 = kNavVor1;
    FGC_comp_AP1_lateral_mode = 6;
    FGC_comp_AP1_vertical_mode = 4;
    OnGround = 0;
    IndicatedAirspeed = 120.0f;
    Heading = 90.0f;
    PitchAttitude = -2.0f;
    BankAttitude = 3.0f;
    Altitude = 800.0f;
    RadioAltitudeReadoutValue = 250;
    RadioAltitude = 76.0;
    VerticalSpeedRaw = -650;
    HgsAccelerations[0] = -10.0;
    HgsAccelerations[1] = 200.0;
    HgsAccelerations[2] = 200.0;
    HgsAccelerations[3] = 5.0;
    AircraftPosition.latitude = 45.0;
    AircraftPosition.north_nm = 2700.5;
    AircraftPosition.east_nm = 420.0;
    HGS_HGS_actual_mode = kHgsModeAiii;
    HGS_HGS_stby_mode = kHgsModeImc;
    uint32_t tick = 0;
    const uint64_t before = BenchAllocationCount();
    for (auto _ : state) {
        ++tick;
        FrameChangeBits.store(tick ^ (tick - 1));
        HgsUpdate();
        benchmark::DoNotOptimize(HgsRunwayScreenPoints);
    }
    RequireNoAllocations(state, "allocations_per_call", BenchAllocationCount() - before,
                         static_cast<double>(state.iterations()));
    HGS_HGS_actual_mode = HGS_HGS_stby_mode = 0;
    FrameChangeBits.store(0);
}
BENCHMARK(BM_HgsUpdateAiii);

}  // namespace
