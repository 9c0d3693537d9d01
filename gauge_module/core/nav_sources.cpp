#include "core/nav_sources.h"

#include "core/electrical_system.h"
#include "instruments/adf_control_heads.h"
#include "instruments/vor_control_heads.h"

namespace zu {

namespace {

constexpr NavSourceRecord MakeSource(const char* name, uint8_t kind, char* ident) {
    NavSourceRecord r{};
    r.name = name;
    r.kind = kind;
    r.ident_text = ident;
    r.frequency = 1111;
    r.frequency_sent = 1111;
    return r;
}

}  // namespace

#define ZU_DOTS30 ".............................."

char NavSourceIdentTexts[kNavSourceCount][kNavIdentTextSize + 1] = {
    ZU_DOTS30, ZU_DOTS30, ZU_DOTS30, ZU_DOTS30, ZU_DOTS30,
    ZU_DOTS30, ZU_DOTS30, ZU_DOTS30, ZU_DOTS30};
#undef ZU_DOTS30

NavSourceRecord NavSources[kNavSourceCount] = {
    MakeSource("EMPTY", 0, NavSourceIdentTexts[0]), MakeSource("VOR1", 1, NavSourceIdentTexts[1]),
    MakeSource("VOR2", 1, NavSourceIdentTexts[2]),  MakeSource("ADF1", 3, NavSourceIdentTexts[3]),
    MakeSource("ADF2", 3, NavSourceIdentTexts[4]),  MakeSource("FMS1", 4, NavSourceIdentTexts[5]),
    MakeSource("FMS2", 4, NavSourceIdentTexts[6]),  MakeSource("AUX1", 5, NavSourceIdentTexts[7]),
    MakeSource("AUX2", 5, NavSourceIdentTexts[8]),
};

int32_t NavSourceSel1 = 1;
int32_t NavSourceSel2 = 2;

int32_t FGC_comp_HSI1_bearing0_select = 0;
int32_t FGC_comp_HSI1_bearing1_select = 0;
int32_t FGC_comp_HSI2_bearing0_select = 0;
int32_t FGC_comp_HSI2_bearing1_select = 0;
VsiSelStation VsiSelValues[2] = {};

namespace {

// A receiver without power or switched off shows nothing; its name, kind,
// identifier, bearing, deviation, course and sent values stay.
void ClearNavSource(NavSourceRecord& r) {
    r.receive_state = 0;
    r.bearing_valid = 0;
    r.distance_valid = 0;
    r.frequency = 0;
    r.deviation_valid = 0;
    r.course_valid = 0;
    r.glideslope_alive = 0;
    r.to_from = 0;
    r.distance = 0.0;
}

}  // namespace

void NavSourcesReset() {
    // The radio heads' mode selectors (0 = off) are their mode words.
    if (BusPowered2.get(0) == 0)
        for (int i = kNavVor2; i <= kNavAux2; ++i) ClearNavSource(NavSources[i]);
    if (BusPowered.get(kPoweredLeftEssential) == 0) ClearNavSource(NavSources[kNavVor1]);
    if (Vor1PanelState.mode == 0) ClearNavSource(NavSources[kNavVor1]);
    if (Vor2PanelState.mode == 0) ClearNavSource(NavSources[kNavVor2]);
    if (Adf1PanelState.mode == 0) ClearNavSource(NavSources[kNavAdf1]);
}

}  // namespace zu
