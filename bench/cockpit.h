// The whole cockpit flying, for the benchmarks that measure a frame, a tick
// and a host pass under the load they carry in a flight: the sample
// aircraft's panel (all 147 gauges) with the module in-process, flown by
// the sample aircraft's scenario `full-cockpit.txt` (powered, generators on,
// both engines running, airborne at 10,000 ft), optionally with its lines
// that switch on the weather radar, the TCAS traffic and the navigation
// displays' map with the weather overlay.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"

namespace zu::bench {

class FlyingCockpit {
  public:
    // Runs the scenario for `seconds` of simulated time (the aircraft is
    // airborne from 60 s and the radar warmed up by 76 s).
    explicit FlyingCockpit(bool radar_traffic_map, double seconds = 90.0);
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

}  // namespace zu::bench
