// One electrical step with its caution logic, in a running configuration
// (batteries, generators and external power switched on, engines turning).
#include <benchmark/benchmark.h>

#include "core/electrical_system.h"
#include "core/electrical_test_support.h"

namespace {

void BM_ElectricalUpdate(benchmark::State& state) {
    using namespace zu;
    ElectricsEnginesRunning();
    LightingSwitchA.set(255);
    for (auto _ : state) {
        ElectricalUpdate();
        benchmark::DoNotOptimize(Electrics_sys.bytes[0]);
    }
}
BENCHMARK(BM_ElectricalUpdate);

}  // namespace
