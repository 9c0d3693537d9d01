// The flight management system's leg record and leg list: the layout the
// flight plan keeps and the navigation displays' map reads. The navigation
// database, its files and queries complete this header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu {

#pragma pack(push, 1)

struct LegRecord {
    uint8_t list_kind;  // 1 arrival, 2 departure, 3 approach, 4 enroute; slots: 5 filled, 0 empty
    uint32_t leg_id;    // 9999 = discontinuity
    char path_terminator[3];  // "TF", "XX", "HM", "HA", ...
    char route_type;          // '1', '2', '3', '4', 'A' or a final-approach letter
    char ident[25];
    char procedure[12];
    char transition[7];
    char airport[5];
    uint8_t altitude_end_computed;  // set when a course-to-altitude end point is computed
    uint8_t leg_class;              // 0 = not flown
    uint8_t turn_direction;         // 1 or 2
    double defining_distance_nm;
    int32_t procedure_course;  // degrees magnetic
    uint8_t annotation_kind;   // 0 = unlinked ("*NO LINK*" on the pages)
    double navaid_latitude;
    double navaid_longitude;
    char navaid_ident[8];
    double navaid_variation;
    uint8_t fly_over;
    double magnetic_course;  // degrees 0..360
    double leg_distance_nm;  // 999.0 without a previous position
    double variation_latitude;
    double variation_longitude;
    uint8_t true_north;
    uint8_t path_type;  // 1..7, 6 = no fix position
    uint8_t hold_armed;
    int32_t intercept_course;
    double fix_latitude;
    double fix_longitude;
    char label[8];  // region, or "(MANUAL)", "PPOS", "PVOR"
    double fix_variation;
    int32_t altitude_ft;
    uint8_t altitude_kind;  // 1 and 4 at or above, 2 at or below, 3 within 100 ft
    uint8_t unused[8];
    double end_latitude;
    double end_longitude;
    uint8_t fixed_distance;  // distance sums count only legs where it is set
};
static_assert(sizeof(LegRecord) == 208);
static_assert(
    offsetof(LegRecord, leg_id) == 1 && offsetof(LegRecord, path_terminator) == 5 &&
    offsetof(LegRecord, route_type) == 8 && offsetof(LegRecord, ident) == 9 &&
    offsetof(LegRecord, procedure) == 34 && offsetof(LegRecord, transition) == 46 &&
    offsetof(LegRecord, airport) == 53 && offsetof(LegRecord, altitude_end_computed) == 58 &&
    offsetof(LegRecord, leg_class) == 59 && offsetof(LegRecord, turn_direction) == 60 &&
    offsetof(LegRecord, defining_distance_nm) == 61 &&
    offsetof(LegRecord, procedure_course) == 69 && offsetof(LegRecord, annotation_kind) == 73 &&
    offsetof(LegRecord, navaid_latitude) == 74 && offsetof(LegRecord, navaid_longitude) == 82 &&
    offsetof(LegRecord, navaid_ident) == 90 && offsetof(LegRecord, navaid_variation) == 98 &&
    offsetof(LegRecord, fly_over) == 106 && offsetof(LegRecord, magnetic_course) == 107 &&
    offsetof(LegRecord, leg_distance_nm) == 115 && offsetof(LegRecord, variation_latitude) == 123 &&
    offsetof(LegRecord, variation_longitude) == 131 && offsetof(LegRecord, true_north) == 139 &&
    offsetof(LegRecord, path_type) == 140 && offsetof(LegRecord, hold_armed) == 141 &&
    offsetof(LegRecord, intercept_course) == 142 && offsetof(LegRecord, fix_latitude) == 146 &&
    offsetof(LegRecord, fix_longitude) == 154 && offsetof(LegRecord, label) == 162 &&
    offsetof(LegRecord, fix_variation) == 170 && offsetof(LegRecord, altitude_ft) == 178 &&
    offsetof(LegRecord, altitude_kind) == 182 && offsetof(LegRecord, unused) == 183 &&
    offsetof(LegRecord, end_latitude) == 191 && offsetof(LegRecord, end_longitude) == 199 &&
    offsetof(LegRecord, fixed_distance) == 207);

#pragma pack(pop)

// Room of a leg list.
inline constexpr uint32_t kLegListCapacity = 100;

// A leg list: a count, then the legs, index 0 first.
struct LegList {
    uint32_t count;
    LegRecord legs[kLegListCapacity];
};

}  // namespace zu
