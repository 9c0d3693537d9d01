// Fuzzes the load of the saved powerplant and flight-control keys.
//
// The input is the text of a saved-flight file (section "zodudori" with any
// keys and values). Whatever it holds, the load must keep every variable in
// its range: ignition selectors 0..2, the throttle limiter 0/1, the flap
// selection 0..4, the gear 0 or 16383, the antiskid switch -1..1 and a
// finite trim.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/flight_controls.h"
#include "core/powerplant.h"
#include "zu/platform/ini_file.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "saved_keys_fuzz: %s\n", what);
        std::abort();
    }
}

// A memory-backed file: nothing is written to disk.
constexpr const char* kPath = "C:\\Flights\\Fuzz.FLT";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    static const bool memory = (platform::SetIniMemoryFiles(true), true);
    (void)memory;
    platform::SetIniMemoryFile(kPath, data, size);

    PowerplantStateLoad(kPath);
    FlightControlsStateLoad(kPath);

    Check(Powerplants_engine_ign1 >= 0 && Powerplants_engine_ign1 <= 2, "ignition 1");
    Check(Powerplants_engine_ign2 >= 0 && Powerplants_engine_ign2 <= 2, "ignition 2");
    Check(Powerplants_controls_throttle_limiter == 0 || Powerplants_controls_throttle_limiter == 1,
          "limiter");
    Check(FlapSelection() >= 0 && FlapSelection() <= 4, "flap selection");
    Check(flight_controls_GEAR == 0 || flight_controls_GEAR == 16383, "gear");
    Check(flight_controls_COPILOT_antiskid_sw >= -1 && flight_controls_COPILOT_antiskid_sw <= 1,
          "antiskid");
    Check(std::isfinite(flight_controls_FF_TRIM), "trim");
    return 0;
}
