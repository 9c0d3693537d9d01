#include "core/nav_sources.h"

#include <cmath>

#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
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

double NavReceiverBearing[2] = {0.0, 0.0};
uint8_t VsiSelRequest1 = 0;
uint8_t VsiSelRequest2 = 0;
VsiSelStation VsiSelValues[2] = {};

void NavSourceClear(NavSourceRecord& r) {
    r.receive_state = 0;
    r.bearing_valid = 0;
    r.distance_valid = 0;
    r.deviation_valid = 0;
    r.course_valid = 0;
    r.glideslope_alive = 0;
    r.to_from = 0;
    r.distance = 0.0;
}

void NavSourcesReset() {
    if (BusPowered2.get(0) == 0) {
        for (int i = kNavVor2; i < kNavSourceCount; ++i) NavSourceClear(NavSources[i]);
    }
    if (BusPowered.get(kPoweredLeftEssential) == 0) NavSourceClear(NavSources[kNavVor1]);
    if (Vor1PanelState.mode == 0) NavSourceClear(NavSources[kNavVor1]);
    if (Vor2PanelState.mode == 0) NavSourceClear(NavSources[kNavVor2]);
    if (Adf1PanelState.mode == 0) NavSourceClear(NavSources[kNavAdf1]);
}

namespace {

constexpr double kNmPerRadian = 3436.0974;
constexpr double kNmPerFoot = 0.00016457883330229652;

void DmeSide(NavSourceRecord& vor, uint8_t request, const VsiSelStation& station) {
    if (request != 0 || vor.computed_distance == 0) return;
    const double arc = GreatCircleArc(station.latitude, station.longitude,
                                      AircraftPosition.latitude, AircraftPosition.longitude);
    const double horizontal = arc * kNmPerRadian;
    const double vertical = Altitude * kNmPerFoot - station.elevation * kNmPerFoot;
    vor.distance = std::sqrt(horizontal * horizontal + vertical * vertical);
    vor.distance_valid = vor.distance > kDmeRangeNm ? 0 : 1;
}

}  // namespace

void DmeUpdate() {
    if ((FrameChangeBits.load(std::memory_order_acquire) & 0x08) == 0) return;
    if (BusPowered.get(kPoweredLeftMainDc) == 0) {
        NavSources[kNavVor1].computed_distance = 0;
    } else {
        DmeSide(NavSources[kNavVor1], VsiSelRequest1, VsiSelValues[0]);
    }
    if (BusPowered.get(kPoweredRightMainDc) == 0) {
        NavSources[kNavVor2].computed_distance = 0;
    } else {
        DmeSide(NavSources[kNavVor2], VsiSelRequest2, VsiSelValues[1]);
    }
}

}  // namespace zu
