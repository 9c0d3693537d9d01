// The navigation database of the flight management system: the three FMS
// files and the queries on them.
//
// "Fmswpt.dat" (navaids, airports, intersections; WaypointRecord) is read
// into memory once at FMS initialisation; "Fmsrwy.dat" (RunwayRecord) and
// "Fmstrm.dat" (terminal procedures, one LegRecord each) are read from disk
// again on every query. All three are headerless arrays of packed
// little-endian records; a trailing partial record is ignored. When the
// first waypoint record carries no magnetic variation (exactly 0.0), the
// variation of every record is computed with the magnetic model and the
// completed database is written once to "Fmswpt2.dat", replacing the old
// copy whole (never when "Fmswpt.dat" is damaged; when the folder cannot
// be written the old copy stays as it was).
//
// Texts inside records are NUL-terminated within their fields; a field
// filled to its last byte is read up to its width and never beyond.
//
// A damaged file (a cut last record, a text without its NUL, a latitude or
// longitude that is not finite or out of range) is read as far as it goes,
// as any other; the first damage each file shows is recorded as a load
// problem of that file (zu/platform/load_problems.h), naming the record.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zu {

static_assert(std::endian::native == std::endian::little,
              "the FMS records are read and written in the machine's byte order");

#pragma pack(push, 1)

// One record of "Fmswpt.dat" and "Fmswpt2.dat".
struct WaypointRecord {
    char type;  // 'V', 'T', 'D' VHF navaids, 'N' NDB, 'A' airport, 'I' (or other) intersection
    uint8_t reserved;
    char ident[12];
    char region[6];  // region, or for an airport its code copied into a leg's airport field
    double latitude;
    double longitude;
    int32_t elevation_ft;
    char frequency[7];
    double variation;  // degrees east; 0.0 in record 0 = the file carries none
};
static_assert(sizeof(WaypointRecord) == 55);
static_assert(offsetof(WaypointRecord, ident) == 2 && offsetof(WaypointRecord, region) == 14 &&
              offsetof(WaypointRecord, latitude) == 20 &&
              offsetof(WaypointRecord, longitude) == 28 &&
              offsetof(WaypointRecord, elevation_ft) == 36 &&
              offsetof(WaypointRecord, frequency) == 40 &&
              offsetof(WaypointRecord, variation) == 47);

// One record of "Fmsrwy.dat".
struct RunwayRecord {
    char designator[4];
    char airport[5];
    uint8_t unused[20];
};
static_assert(sizeof(RunwayRecord) == 29);
static_assert(offsetof(RunwayRecord, airport) == 4 && offsetof(RunwayRecord, unused) == 9);

// One leg of a leg list, and one record of "Fmstrm.dat". Every offset is
// part of the file format. Fields the pages use that have no place of their
// own live in bytes 73, 106, 139 and 141 or share a field (see the named
// accessors below); bytes 183..190 stay unused.
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

// The pages' names for shared fields.
inline int32_t LegInboundCourse(const LegRecord& l) {
    return l.procedure_course;
}
inline double LegLength(const LegRecord& l) {
    return l.defining_distance_nm;
}
inline double LegArcRadius(const LegRecord& l) {
    return l.defining_distance_nm;
}
inline double LegOffset(const LegRecord& l) {
    return l.defining_distance_nm;
}
inline int32_t LegRadial(const LegRecord& l) {
    return l.intercept_course;
}
// The terminating text and the hold fix are the navaid fields (74..105).
inline const char* LegTerminatingText(const LegRecord& l) {
    return l.navaid_ident;
}
inline double LegHoldFixLatitude(const LegRecord& l) {
    return l.navaid_latitude;
}
inline double LegHoldFixLongitude(const LegRecord& l) {
    return l.navaid_longitude;
}
inline const char* LegName(const LegRecord& l) {
    return l.ident;
}

// Room of a leg list.
inline constexpr uint32_t kLegListCapacity = 100;

// A leg list: a count, then the legs, index 0 first.
struct LegList {
    uint32_t count;
    LegRecord legs[kLegListCapacity];
};

// Text of a record field: up to its first NUL, never past its width.
template <size_t N>
std::string_view FieldText(const char (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n] != '\0') ++n;
    return std::string_view(field, n);
}
// Writes a text into a field, cut to width - 1 characters, NUL-terminated
// and the rest cleared.
template <size_t N>
constexpr void SetFieldText(char (&field)[N], std::string_view text) {
    size_t n = text.size() < N - 1 ? text.size() : N - 1;
    for (size_t i = 0; i < N; ++i) field[i] = i < n ? text[i] : '\0';
}

// The same fields for the pages that write them (by value: the record is
// packed, so its fields are not aligned for references).
inline void SetLegInboundCourse(LegRecord& l, int32_t course) {
    l.procedure_course = course;
}
inline void SetLegLength(LegRecord& l, double nm) {
    l.defining_distance_nm = nm;
}
// The hold fix: its name, position and variation.
inline void SetLegHoldFix(LegRecord& l, std::string_view name, double lat, double lon,
                          double variation) {
    SetFieldText(l.navaid_ident, name);
    l.navaid_latitude = lat;
    l.navaid_longitude = lon;
    l.navaid_variation = variation;
}
// A leg made by the system is named by both its identifier and its label.
inline void SetLegName(LegRecord& l, std::string_view name) {
    SetFieldText(l.ident, name);
    SetFieldText(l.label, name);
}

// The loaded waypoint file (null while nothing is loaded).
extern WaypointRecord* WaypointDatabase;
extern int32_t WaypointDatabaseCount;

inline constexpr int kWaypointSearchMax = 45;
struct WaypointSearchResultList {
    int32_t index[kWaypointSearchMax];
    double proximity[kWaypointSearchMax];
    int32_t count;
};
extern WaypointSearchResultList WaypointSearchResults;

inline constexpr int kRunwayListMax = 32;
struct RunwayListRecord {
    RunwayRecord runways[kRunwayListMax];
    int32_t count;
};
extern RunwayListRecord RunwayList;

inline constexpr int kProcedureNameListMax = 32;
struct ProcedureNameEntry {
    char name[14];
    char airport[5];
};
static_assert(sizeof(ProcedureNameEntry) == 19);
struct ProcedureNameListRecord {
    ProcedureNameEntry entries[kProcedureNameListMax];
    int32_t count;
};
extern ProcedureNameListRecord ProcedureNameList;

struct ProcedureQueryCacheRecord {
    char airport[64];
    char procedure[64];
    char transition[64];
    int32_t kind;
    int32_t mask;
};
extern ProcedureQueryCacheRecord ProcedureQueryCache;
// Record count of the last "Fmstrm.dat" read.
extern int32_t TerminalProcedureCount;

// Most legs one procedure read appends.
inline constexpr uint32_t kProcedureLegsMax = 96;

void LoadWaypointDatabase();
void FreeWaypointDatabase();
// ident may be null, type 0 and lat 0.0 for "any".
void SearchWaypoints(const char* ident, char type, double lat, double lon);
void SortWaypointsByDistance();
// The same on a result list of the caller's (the nav-receiver station
// look-up keeps its own, so the CDU's selection list stays as it is).
void SearchWaypointsInto(WaypointSearchResultList* out, const char* ident, char type, double lat,
                         double lon);
void SortWaypointsByDistanceInto(WaypointSearchResultList* list);
void LookupWaypoint(const char* ident, char type, double lat, double lon);
// The texts are the callers' buffers: one starting with '-' is emptied in
// place.
void ReadRunways(char* airport);
void ReadTerminalProcedures(char* airport, char* procedure, char* transition, int32_t kind,
                            int32_t mask);
void ReadProcedureLegs(LegList* list, char* airport, char* procedure, char* transition,
                       int32_t kind, int32_t mask);
void WaypointToLeg(const WaypointRecord& record, LegRecord* leg);
bool LegInPlan(const LegRecord& leg, const LegList& list);

// A fresh leg identifier: pseudo-random, never 0 and never 9999.
// The leg identifiers' sequence: the last one handed out.
extern uint32_t LegIdSequence;
uint32_t NewLegId();

// The common match rule of a procedure record against a query.
bool ProcedureRecordMatches(const LegRecord& rec, const char* airport, const char* procedure,
                            const char* transition, int32_t kind, int32_t mask);

}  // namespace zu
