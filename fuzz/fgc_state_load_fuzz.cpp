// Fuzzes the load of the saved flight-guidance keys from a saved flight.
//
// The input is taken as the text of the saved-flight file. Whatever it holds,
// the load must read only what fits each key, leave every restored value in
// its range and set both AHRS aligned.
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/ahrs.h"
#include "core/flight_guidance.h"
#include "core/nav_sources.h"
#include "instruments/vor_control_heads.h"
#include "zu/platform/paths.h"

namespace {

const std::string& FilePath() {
    static const std::string path = [] {
        char templ[] = "/tmp/zu_fgc_fuzz_XXXXXX";
        if (::mkdtemp(templ) == nullptr) abort();
        return std::string(templ) + "/Fuzz.flt";
    }();
    return path;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fgc_state_load_fuzz: %s\n", what);
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    const std::string& path = FilePath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
    static const std::string module_path = platform::FromHostPath(path);
    FgcStateLoad(module_path.c_str());
    for (int i = kNavVor1; i <= kNavAdf2; ++i) {
        const double c = NavSources[i].course;
        Check(std::isfinite(c) && c >= 0.0 && c <= 360.0, "course out of range");
    }
    Check(NavSources[kNavVor1].frequency == 1111 ||
              (NavSources[kNavVor1].frequency >= 10800 && NavSources[kNavVor1].frequency <= 13795),
          "VOR1 frequency out of range");
    Check(Vor1PanelState.mode >= 0 && Vor1PanelState.mode <= 4, "head mode out of range");
    Check(FGC_comp_HSI1_heading_sel >= 0 && FGC_comp_HSI1_heading_sel <= 359, "heading");
    Check(FGC_comp_AP1_vertical_mode >= 0 && FGC_comp_AP1_vertical_mode <= 5, "vertical mode");
    Check(FGC_comp_AP2_dual_approach_mode <= 1, "dual approach");
    Check(Ahrs1.aligned == 1 && Ahrs2.aligned == 1, "AHRS not aligned");
    return 0;
}
