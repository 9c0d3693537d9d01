// The whole cockpit, for the benchmarks that measure a frame, a tick and a
// host pass under the load they carry: the sample aircraft's panel (all 147
// gauges) with the module in-process, run by the sample aircraft's scenario
// `full-cockpit.txt`. Flying, the aircraft is powered, its generators on and
// both engines running, airborne at 10,000 ft, optionally with the lines
// that switch on the weather radar, the TCAS traffic and the navigation
// displays' map with the weather overlay. Parked, it is the same aircraft
// before it takes off: powered, engines running, on the ground, and nothing
// changes any more.
//
// MeasureEach is the benchmarks' one loop: it times one call per iteration,
// with the work that sets it up and checks it untimed around it, and reports
// the median and the 99th percentile of the calls' wall-clock times
// ("median_us", "p99_us"), the median of the time the calling thread ran in
// them ("cpu_median_us": on a busy machine the wall clock also holds the
// time the thread waited for a core) and the allocations per call (every
// malloc of the process while the call runs); it fails the benchmark when a
// call allocated.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "allocation_count.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"

namespace zu::bench {

enum class CockpitLoad {
    Parked,                 // powered, engines running, on the ground, nothing changing
    Flying,                 // every display on, each with its basic picture
    FlyingRadarTrafficMap,  // and the weather radar, the traffic and the map on
};

class FlyingCockpit {
  public:
    // Runs the scenario for `seconds` of simulated time (the aircraft is
    // airborne from 60 s and the radar warmed up by 76 s; parked, the
    // engines have settled by 90 s).
    explicit FlyingCockpit(CockpitLoad load, double seconds = 90.0);
    ~FlyingCockpit();
    FlyingCockpit(const FlyingCockpit&) = delete;
    FlyingCockpit& operator=(const FlyingCockpit&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    simhost::Simulator& sim() { return *sim_; }

  private:
    std::filesystem::path aircraft_;
    std::ofstream event_log_;  // the event log is written (to nowhere) as in a real run
    std::unique_ptr<simhost::Simulator> sim_;
    simhost::Scenario scenario_;
    std::string error_;
};

// The time the calling thread has run, in seconds.
inline double ThreadCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Per iteration: before() untimed, timed() timed, after() untimed. before
// and after return false when the iteration cannot go on; the benchmark
// then fails with `failure`. `per` names the allocation counter
// ("allocations_per_frame", ...).
template <typename Before, typename Timed, typename After>
void MeasureEach(benchmark::State& state, const char* per, Before before, Timed timed, After after,
                 const char* failure = "an iteration could not be set up") {
    using Clock = std::chrono::steady_clock;
    const auto capacity =
        static_cast<size_t>(std::min<benchmark::IterationCount>(state.max_iterations, 100000));
    std::vector<double> us;
    std::vector<double> cpu_us;
    us.reserve(capacity);
    cpu_us.reserve(capacity);
    uint64_t allocations = 0;
    uint64_t calls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!before()) {
            state.SkipWithError(failure);
            break;
        }
        const uint64_t allocated_before = BenchCAllocationCount();
        state.ResumeTiming();
        const double cpu_start = ThreadCpuSeconds();
        const Clock::time_point start = Clock::now();
        timed();
        const Clock::time_point end = Clock::now();
        const double cpu = ThreadCpuSeconds() - cpu_start;
        state.PauseTiming();
        allocations += BenchCAllocationCount() - allocated_before;
        ++calls;
        if (us.size() < us.capacity()) {
            us.push_back(std::chrono::duration<double, std::micro>(end - start).count());
            cpu_us.push_back(cpu * 1e6);
        }
        const bool went_on = after();
        state.ResumeTiming();
        if (!went_on) {
            state.SkipWithError(failure);
            break;
        }
    }
    if (!us.empty()) {
        std::sort(us.begin(), us.end());
        std::sort(cpu_us.begin(), cpu_us.end());
        state.counters["median_us"] = us[us.size() / 2];
        state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
        state.counters["cpu_median_us"] = cpu_us[cpu_us.size() / 2];
    }
    RequireNoAllocations(state, per, allocations, static_cast<double>(calls));
}

}  // namespace zu::bench
