#include "core/nav_sources.h"

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

}  // namespace zu
