// The saved flight-guidance keys: the navigation sources' courses and
// frequencies, the radio heads' modes, the decision heights, the selected
// headings and bearing pointers, and both computers' modes and references.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/ahrs.h"
#include "core/autopilot_control_laws.h"
#include "core/flight_guidance.h"
#include "core/nav_sources.h"
#include "instruments/adf_control_heads.h"
#include "instruments/vor_control_heads.h"
#include "zu/platform/ini_file.h"

namespace zu {

namespace {

constexpr const char* kSection = "zodudori";

enum class KeyUse : uint8_t { kBoth, kLoadOnly, kSaveOnly };

// What a loaded value must satisfy; one that does not leaves the variable
// as it was.
enum class KeyRange : uint8_t {
    kAny,
    kCourse,         // finite, 0..360
    kVorFrequency,   // 10800..13795
    kAdfFrequency,   // 1000..17999 (100.0..1799.9 kHz)
    kHeadMode,       // 0..4
    kHeading,        // 0..359
    kBearingSelect,  // 0..4
    kVerticalMode,   // 0..5
    kLateralMode,    // 0..7
    kFlag,           // 0..1
    kNonNegative,
    kAltitude,  // finite float, -2000..60000 feet
    kMaster,    // 1..2
};

struct FgcKey {
    const char* name;
    void* value;
    uint8_t width;
    KeyUse use;
    KeyRange range;
};

// In save order; the ADF keys are read on load only, the altitude
// references written on save only.
const FgcKey kFgcKeys[] = {
    {"FGC_comp_NAVSOURCES1radial", &NavSources[kNavVor1].course, 8, KeyUse::kBoth,
     KeyRange::kCourse},
    {"FGC_comp_NAVSOURCES1frq", &NavSources[kNavVor1].frequency, 4, KeyUse::kBoth,
     KeyRange::kVorFrequency},
    {"FGC_comp_NAVSOURCES2radial", &NavSources[kNavVor2].course, 8, KeyUse::kBoth,
     KeyRange::kCourse},
    {"FGC_comp_NAVSOURCES2frq", &NavSources[kNavVor2].frequency, 4, KeyUse::kBoth,
     KeyRange::kVorFrequency},
    {"FGC_comp_NAVSOURCES3radial", &NavSources[kNavAdf1].course, 8, KeyUse::kLoadOnly,
     KeyRange::kCourse},
    {"FGC_comp_NAVSOURCES3frq", &NavSources[kNavAdf1].frequency, 4, KeyUse::kLoadOnly,
     KeyRange::kAdfFrequency},
    {"FGC_comp_NAVSOURCES4radial", &NavSources[kNavAdf2].course, 8, KeyUse::kLoadOnly,
     KeyRange::kCourse},
    {"FGC_comp_NAVSOURCES4frq", &NavSources[kNavAdf2].frequency, 4, KeyUse::kLoadOnly,
     KeyRange::kAdfFrequency},
    {"FGC_comp_VOR1_MODE", &Vor1PanelState.mode, 4, KeyUse::kBoth, KeyRange::kHeadMode},
    {"FGC_comp_VOR2_MODE", &Vor2PanelState.mode, 4, KeyUse::kBoth, KeyRange::kHeadMode},
    {"FGC_comp_ADF1_MODE", &Adf1PanelState.mode, 4, KeyUse::kBoth, KeyRange::kHeadMode},
    {"FGC_comp_ADF2_MODE", &Adf2PanelState.mode, 4, KeyUse::kBoth, KeyRange::kHeadMode},
    {"FGC_comp_DH_altitude1", &FGC_comp_DH_altitude1, 4, KeyUse::kBoth, KeyRange::kNonNegative},
    {"FGC_comp_DH_altitude2", &FGC_comp_DH_altitude2, 4, KeyUse::kBoth, KeyRange::kNonNegative},
    {"FGC_comp_FGC1_system_test_timer", &FGC_comp_FGC1_system_test_timer, 4, KeyUse::kBoth,
     KeyRange::kNonNegative},
    {"FGC_comp_FGC2_system_test_timer", &FGC_comp_FGC2_system_test_timer, 4, KeyUse::kBoth,
     KeyRange::kNonNegative},
    {"FGC_comp_HSI1_heading_sel", &FGC_comp_HSI1_heading_sel, 4, KeyUse::kBoth, KeyRange::kHeading},
    {"FGC_comp_HSI2_heading_sel", &FGC_comp_HSI2_heading_sel, 4, KeyUse::kBoth, KeyRange::kHeading},
    {"FGC_comp_HSI1_bearing0_select", &FGC_comp_HSI1_bearing0_select, 4, KeyUse::kBoth,
     KeyRange::kBearingSelect},
    {"FGC_comp_HSI1_bearing1_select", &FGC_comp_HSI1_bearing1_select, 4, KeyUse::kBoth,
     KeyRange::kBearingSelect},
    {"FGC_comp_HSI2_bearing0_select", &FGC_comp_HSI2_bearing0_select, 4, KeyUse::kBoth,
     KeyRange::kBearingSelect},
    {"FGC_comp_HSI2_bearing1_select", &FGC_comp_HSI2_bearing1_select, 4, KeyUse::kBoth,
     KeyRange::kBearingSelect},
    {"FGC_comp_AP1_vertical_mode", &FGC_comp_AP1_vertical_mode, 4, KeyUse::kBoth,
     KeyRange::kVerticalMode},
    {"FGC_comp_AP1_lateral_mode", &FGC_comp_AP1_lateral_mode, 4, KeyUse::kBoth,
     KeyRange::kLateralMode},
    {"FGC_comp_AP1_dual_approach_mode", &FGC_comp_AP1_dual_approach_mode, 1, KeyUse::kBoth,
     KeyRange::kFlag},
    {"FGC_comp_AP1_vertical_armed_mode_1", &FGC_comp_AP1_vertical_armed_mode_1, 4, KeyUse::kBoth,
     KeyRange::kAny},
    {"FGC_comp_AP1_vertical_armed_mode_2", &FGC_comp_AP1_vertical_armed_mode_2, 4, KeyUse::kBoth,
     KeyRange::kAny},
    {"FGC_comp_AP1_lateral_armed_mode", &FGC_comp_AP1_lateral_armed_mode, 4, KeyUse::kBoth,
     KeyRange::kAny},
    {"FGC_comp_AP1_IAS_speed", &FGC_comp_AP1_IAS_speed, 4, KeyUse::kBoth, KeyRange::kAny},
    {"FGC_comp_AP1_VS_speed", &FGC_comp_AP1_VS_speed, 4, KeyUse::kBoth, KeyRange::kAny},
    {"FGC_comp_AP1_ALT_value", &FGC_comp_AP1_ALT_value, 4, KeyUse::kSaveOnly, KeyRange::kAny},
    {"FGC_comp_AP1_engaged", &FGC_comp_AP1_engaged, 4, KeyUse::kBoth, KeyRange::kAny},
    {"FGC_comp_YD1_engaged", &FGC_comp_YD1_engaged, 4, KeyUse::kBoth, KeyRange::kAny},
    {"FGC_comp_AP_master", &FGC_comp_AP_master, 4, KeyUse::kBoth, KeyRange::kMaster},
    {"FGC_comp_AP_prog_alt", &FGC_comp_AP_prog_alt, 4, KeyUse::kBoth, KeyRange::kAltitude},
    {"FGC_comp_ZAZ_AP1_GS_CHECK", &FGC_comp_ZAZ_AP1_GS_CHECK, 4, KeyUse::kBoth, KeyRange::kAny},
    {"FGC_comp_AP2_vertical_mode", &FGC_comp_AP2_vertical_mode, 4, KeyUse::kBoth,
     KeyRange::kVerticalMode},
    {"FGC_comp_AP2_lateral_mode", &FGC_comp_AP2_lateral_mode, 4, KeyUse::kBoth,
     KeyRange::kLateralMode},
    {"FGC_comp_AP2_dual_approach_mode", &FGC_comp_AP2_dual_approach_mode, 1, KeyUse::kBoth,
     KeyRange::kFlag},
    {"FGC_comp_AP2_vertical_armed_mode_1", &FGC_comp_AP2_vertical_armed_mode_1, 4, KeyUse::kBoth,
     KeyRange::kAny},
    {"FGC_comp_AP2_vertical_armed_mode_2", &FGC_comp_AP2_vertical_armed_mode_2, 4, KeyUse::kBoth,
     KeyRange::kAny},
    {"FGC_comp_AP2_lateral_armed_mode", &FGC_comp_AP2_lateral_armed_mode, 4, KeyUse::kBoth,
     KeyRange::kAny},
    {"FGC_comp_AP2_IAS_speed", &FGC_comp_AP2_IAS_speed, 4, KeyUse::kBoth, KeyRange::kAny},
    {"FGC_comp_AP2_VS_speed", &FGC_comp_AP2_VS_speed, 4, KeyUse::kBoth, KeyRange::kAny},
    {"FGC_comp_AP2_ALT_value", &FGC_comp_AP2_ALT_value, 4, KeyUse::kSaveOnly, KeyRange::kAny},
    {"FGC_comp_AP2_engaged", &FGC_comp_AP2_engaged, 4, KeyUse::kBoth, KeyRange::kAny},
    {"FGC_comp_YD2_engaged", &FGC_comp_YD2_engaged, 4, KeyUse::kBoth, KeyRange::kAny},
    {"FGC_comp_ZAZ_AP2_GS_CHECK", &FGC_comp_ZAZ_AP2_GS_CHECK, 4, KeyUse::kBoth, KeyRange::kAny},
};

bool InRange(int64_t v, int64_t lo, int64_t hi) {
    return v >= lo && v <= hi;
}

bool Acceptable(const FgcKey& key, const uint8_t* bytes) {
    if (key.range == KeyRange::kCourse) {
        double d;
        std::memcpy(&d, bytes, 8);
        return std::isfinite(d) && d >= 0.0 && d <= 360.0;
    }
    if (key.range == KeyRange::kAltitude) {
        float f;
        std::memcpy(&f, bytes, 4);
        return std::isfinite(f) && f >= -2000.0f && f <= 60000.0f;
    }
    int64_t v = 0;
    if (key.width == 1) {
        v = bytes[0];
    } else {
        int32_t i;
        std::memcpy(&i, bytes, 4);
        v = i;
    }
    switch (key.range) {
        case KeyRange::kVorFrequency:
            return InRange(v, 10800, 13795);
        case KeyRange::kAdfFrequency:
            return InRange(v, 1000, 17999);
        case KeyRange::kHeadMode:
            return InRange(v, 0, 4);
        case KeyRange::kHeading:
            return InRange(v, 0, 359);
        case KeyRange::kBearingSelect:
            return InRange(v, 0, 4);
        case KeyRange::kVerticalMode:
            return InRange(v, 0, 5);
        case KeyRange::kLateralMode:
            return InRange(v, 0, 7);
        case KeyRange::kFlag:
            return InRange(v, 0, 1);
        case KeyRange::kMaster:
            return InRange(v, 1, 2);
        case KeyRange::kNonNegative:
            return v >= 0;
        default:
            return true;
    }
}

bool ReadFromFile(const char* key, void* out, uint32_t size, void* context) {
    return platform::GetPrivateProfileStruct(kSection, key, out, size,
                                             static_cast<const char*>(context));
}

}  // namespace

bool FgcStateSave(const char* path) {
    bool ok = true;
    for (const FgcKey& key : kFgcKeys) {
        if (key.use == KeyUse::kLoadOnly) continue;
        ok = platform::WritePrivateProfileStruct(kSection, key.name, key.value, key.width, path) &&
             ok;
    }
    return ok;
}

void FgcStateLoad(const char* path) {
    FgcStateLoadWith(ReadFromFile, const_cast<char*>(path));
}

void FgcStateLoadWith(FgcKeyReader read, void* context) {
    for (const FgcKey& key : kFgcKeys) {
        if (key.use == KeyUse::kSaveOnly) continue;
        uint8_t bytes[8];
        if (!read(key.name, bytes, key.width, context)) continue;
        if (Acceptable(key, bytes)) std::memcpy(key.value, bytes, key.width);
    }
    // A loaded flight has both AHRS aligned, whatever keys it held, and
    // FGC 1's track integrator starts again from 0. An unpowered AHRS drops
    // the alignment again on its next pass.
    ApLaw1.integrator = 0.0;
    AhrsSetAligned(Ahrs1);
    AhrsSetAligned(Ahrs2);
}

int FgcStateKeyCount(bool saved) {
    int n = 0;
    for (const FgcKey& key : kFgcKeys) {
        if (key.use != (saved ? KeyUse::kLoadOnly : KeyUse::kSaveOnly)) ++n;
    }
    return n;
}

const char* FgcStateKeyName(int index) {
    constexpr int count = static_cast<int>(sizeof kFgcKeys / sizeof kFgcKeys[0]);
    return index >= 0 && index < count ? kFgcKeys[index].name : nullptr;
}

}  // namespace zu
