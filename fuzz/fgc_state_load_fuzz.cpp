// Fuzzes the load of the saved flight-guidance keys.
//
// The saved flight's INI layer has its own fuzz target; here the input plays
// the decoded keys: each key the load asks for takes its next byte of the
// input as "present or missing" and, when present, the bytes that follow as
// its value. Whatever they hold, every restored value must stay in its range,
// and both AHRS end aligned exactly when the flight held any of the keys.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "core/ahrs.h"
#include "core/flight_guidance.h"
#include "core/nav_sources.h"
#include "instruments/adf_control_heads.h"
#include "instruments/vor_control_heads.h"

namespace {

struct Input {
    const uint8_t* p;
    size_t left;
};

bool ReadKey(const char*, void* out, uint32_t size, void* context) {
    Input& in = *static_cast<Input*>(context);
    if (in.left == 0) return false;
    const bool present = (in.p[0] & 1) != 0;
    ++in.p;
    --in.left;
    if (!present || in.left < size) return false;
    std::memcpy(out, in.p, size);
    in.p += size;
    in.left -= size;
    return true;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fgc_state_load_fuzz: %s\n", what);
        std::abort();
    }
}

bool Frequency(int32_t f, int32_t lo, int32_t hi) {
    return f == 1111 || (f >= lo && f <= hi);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    Input in{data, size};
    Ahrs1.aligned = Ahrs2.aligned = 0;
    FgcStateLoadWith(ReadKey, &in);
    for (int i = kNavVor1; i <= kNavAdf2; ++i) {
        const double c = NavSources[i].course;
        Check(std::isfinite(c) && c >= 0.0 && c <= 360.0, "course out of range");
    }
    Check(Frequency(NavSources[kNavVor1].frequency, 10800, 13795), "VOR1 frequency");
    Check(Frequency(NavSources[kNavVor2].frequency, 10800, 13795), "VOR2 frequency");
    Check(Frequency(NavSources[kNavAdf1].frequency, 1000, 17999), "ADF1 frequency");
    for (int32_t mode :
         {Vor1PanelState.mode, Vor2PanelState.mode, Adf1PanelState.mode, Adf2PanelState.mode}) {
        Check(mode >= 0 && mode <= 4, "head mode out of range");
    }
    Check(FGC_comp_HSI1_heading_sel >= 0 && FGC_comp_HSI1_heading_sel <= 359, "heading");
    Check(FGC_comp_HSI2_bearing1_select >= 0 && FGC_comp_HSI2_bearing1_select <= 4, "bearing");
    Check(FGC_comp_AP1_vertical_mode >= 0 && FGC_comp_AP1_vertical_mode <= 5, "vertical mode");
    Check(FGC_comp_AP2_lateral_mode >= 0 && FGC_comp_AP2_lateral_mode <= 7, "lateral mode");
    Check(FGC_comp_AP2_dual_approach_mode <= 1, "dual approach");
    Check(FGC_comp_DH_altitude1 >= 0, "decision height");
    Check(std::isfinite(FGC_comp_AP_prog_alt), "held altitude");
    const int32_t master = FGC_comp_AP_master.load();
    Check(master == 1 || master == 2, "AFCS master");
    // Every load ends with both references aligned, whatever keys the flight holds.
    Check(Ahrs1.aligned == 1 && Ahrs2.aligned == 1, "AHRS alignment");
    return 0;
}
