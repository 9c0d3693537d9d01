// One systems tick's AHRS, alerting, air-data and clock steps, and one host
// pass's navigation-source reset, with the aircraft powered and flying.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/ahrs.h"
#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"

namespace {

void BM_FlightInstrumentSteps(benchmark::State& state) {
    using namespace zu;
    std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
    for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, 1);
    AcBusPowered.set(3, 1);
    RightAvionicsBus.set(115);
    AhrsSetAligned(Ahrs1);
    AhrsSetAligned(Ahrs2);
    Heading = 123.4f;
    IndicatedAirspeed = 160.0f;
    RadioAltitude = 300.0;
    VerticalSpeedRaw = -1500;
    uint32_t tick = 0;
    for (auto _ : state) {
        ++tick;
        FrameChangeBits.store(tick ^ (tick - 1));
        SimClockUtc[0] = static_cast<uint8_t>(tick % 60);
        AhrsUpdate(Ahrs1);
        AhrsUpdate(Ahrs2);
        RadioAltitudeReadout();
        StallWarningUpdate();
        GpwsUpdate();
        AirDataUpdate();
        ClockUpdate(0);
        ClockUpdate(1);
        ClockSetBytes[0] = ClockSetBytes[1] = 255;
        NavSourcesReset();
        DmeUpdate();
        benchmark::DoNotOptimize(Ahrs1.heading);
        benchmark::DoNotOptimize(VoiceAlertIndex);
    }
}
BENCHMARK(BM_FlightInstrumentSteps);

}  // namespace
