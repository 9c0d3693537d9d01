// Fuzzes the load of the saved head-up guidance keys.
//
// The input is the text of a saved-flight file (section "zodudori" with any
// keys and values). Whatever it holds, the load must keep every variable in
// its range: modes 0..4, a RASU speed of 0 or 55..400 and a finite
// glideslope angle in -9.99..0.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "displays/head_up_guidance.h"
#include "displays/hgs_panels.h"
#include "zu/platform/ini_file.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "hgs_state_load_fuzz: %s\n", what);
        std::abort();
    }
}

// A memory-backed file: nothing is written to disk.
constexpr const char* kPath = "C:\\Flights\\Hgs.FLT";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    static const bool memory = (platform::SetIniMemoryFiles(true), true);
    (void)memory;
    platform::SetIniMemoryFile(kPath, data, size);

    HgsStateLoad(kPath);

    Check(HGS_HGS_actual_mode >= 0 && HGS_HGS_actual_mode <= 4, "active mode");
    Check(HGS_HGS_stby_mode >= 0 && HGS_HGS_stby_mode <= 4, "standby mode");
    Check(HGS_RASU_speed == 0 || (HGS_RASU_speed >= 55 && HGS_RASU_speed <= 400), "RASU speed");
    Check(std::isfinite(HGS_HGS_gs_slope_angle) && HGS_HGS_gs_slope_angle >= -9.99f &&
              HGS_HGS_gs_slope_angle <= 0.0f,
          "glideslope angle");
    return 0;
}
