// One electrical step with its caution logic, in a running configuration
// (batteries, generators and external power switched on, engines turning).
#include <benchmark/benchmark.h>

#include "core/electrical_system.h"
#include "core/host_panel_services.h"

namespace {

void BM_ElectricalUpdate(benchmark::State& state) {
    using namespace zu;
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    DcGenerator1Switch.set(255);
    DcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
    LightingSwitchA.set(255);
    Nh1State.nh = Nh2State.nh = 70.0f;
    PropRpm[0] = PropRpm[1] = 1000.0;
    for (auto _ : state) {
        ElectricalUpdate();
        benchmark::DoNotOptimize(Electrics_sys.bytes[0]);
    }
}
BENCHMARK(BM_ElectricalUpdate);

}  // namespace
