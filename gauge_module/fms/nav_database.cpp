// The navigation database (see nav_database.h).
#include "fms/nav_database.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "fms/cdu_engine.h"
#include "fms/fms_lifecycle.h"
#include "fms/magnetic_variation.h"
#include "zu/platform/files.h"

namespace zu {

WaypointRecord* WaypointDatabase = nullptr;
int32_t WaypointDatabaseCount = 0;
WaypointSearchResultList WaypointSearchResults = {};
RunwayListRecord RunwayList = {};
ProcedureNameListRecord ProcedureNameList = {};
ProcedureQueryCacheRecord ProcedureQueryCache = {};
int32_t TerminalProcedureCount = 0;

namespace {

constexpr double kProcedureFixAltitudeM = 1050.0;
constexpr double kDatabaseYear = 1993.0;
constexpr double kNavaidYear = 2000.0;

std::string FmsFilePath(const char* name) {
    std::string path(FmsDirectoryPath);
    path += name;
    return path;
}

// The CDU's empty-field mark: a text starting with '-' is emptied in place.
void EmptyDashText(char* text) {
    if (text != nullptr && text[0] == '-') text[0] = '\0';
}

std::string_view CallerText(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

// ---------------------------------------------------------------------------
// Damaged records
//
// A file is damaged where its size is not a whole number of records, where
// a text field has no NUL within its width or where a latitude or longitude
// is not finite or out of range. The first damage a read meets is recorded
// once as a load problem of the file, naming the record (counted from 0, as
// the database indexes them, with its first byte); the records are used as
// they are, as before. Built in a fixed buffer: nothing is allocated.

struct RecordDamage {
    char what[192] = {};
    bool found() const { return what[0] != '\0'; }
};

template <size_t N>
bool TextDamaged(RecordDamage& d, const char (&field)[N], const char* name, int64_t index,
                 size_t record_size) {
    for (size_t i = 0; i < N; ++i)
        if (field[i] == '\0') return false;
    std::snprintf(d.what, sizeof d.what,
                  "damaged: record %lld (from byte %lld): the %s has no NUL within its %zu bytes",
                  static_cast<long long>(index),
                  static_cast<long long>(index * static_cast<int64_t>(record_size)), name, N);
    return true;
}

bool CoordinateDamaged(RecordDamage& d, double value, double limit, const char* name, int64_t index,
                       size_t record_size) {
    if (std::isfinite(value) && value >= -limit && value <= limit) return false;
    std::snprintf(d.what, sizeof d.what, "damaged: record %lld (from byte %lld): the %s %g is %s",
                  static_cast<long long>(index),
                  static_cast<long long>(index * static_cast<int64_t>(record_size)), name, value,
                  std::isfinite(value) ? "out of range" : "not finite");
    return true;
}

bool Damaged(RecordDamage& d, const WaypointRecord& r, int64_t i) {
    constexpr size_t n = sizeof r;
    return TextDamaged(d, r.ident, "identifier", i, n) ||
           TextDamaged(d, r.region, "region", i, n) ||
           CoordinateDamaged(d, r.latitude, 90.0, "latitude", i, n) ||
           CoordinateDamaged(d, r.longitude, 180.0, "longitude", i, n) ||
           TextDamaged(d, r.frequency, "frequency", i, n);
}

bool Damaged(RecordDamage& d, const RunwayRecord& r, int64_t i) {
    constexpr size_t n = sizeof r;
    return TextDamaged(d, r.designator, "designator", i, n) ||
           TextDamaged(d, r.airport, "airport", i, n);
}

bool Damaged(RecordDamage& d, const LegRecord& r, int64_t i) {
    constexpr size_t n = sizeof r;
    return TextDamaged(d, r.path_terminator, "path terminator", i, n) ||
           TextDamaged(d, r.ident, "identifier", i, n) ||
           TextDamaged(d, r.procedure, "procedure", i, n) ||
           TextDamaged(d, r.transition, "transition", i, n) ||
           TextDamaged(d, r.airport, "airport", i, n) ||
           CoordinateDamaged(d, r.navaid_latitude, 90.0, "navaid latitude", i, n) ||
           CoordinateDamaged(d, r.navaid_longitude, 180.0, "navaid longitude", i, n) ||
           TextDamaged(d, r.navaid_ident, "navaid identifier", i, n) ||
           CoordinateDamaged(d, r.variation_latitude, 90.0, "variation latitude", i, n) ||
           CoordinateDamaged(d, r.variation_longitude, 180.0, "variation longitude", i, n) ||
           CoordinateDamaged(d, r.fix_latitude, 90.0, "fix latitude", i, n) ||
           CoordinateDamaged(d, r.fix_longitude, 180.0, "fix longitude", i, n) ||
           TextDamaged(d, r.label, "label", i, n) ||
           CoordinateDamaged(d, r.end_latitude, 90.0, "end latitude", i, n) ||
           CoordinateDamaged(d, r.end_longitude, 180.0, "end longitude", i, n);
}

// The checks of one read of a file of `Record`s: the first damaged record
// seen, else (once the read has come to the end) a cut last record.
template <typename Record>
class DamageWatch {
  public:
    explicit DamageWatch(int64_t file_size) : file_size_(file_size) {}
    void See(const Record& record, int64_t index) {
        if (!damage_.found()) Damaged(damage_, record, index);
    }
    // Records the damage of a read that came to the end (`whole`) or met a
    // damaged record on the way; true when the file is damaged.
    bool Report(const platform::File& file, bool whole) {
        constexpr int64_t n = static_cast<int64_t>(sizeof(Record));
        if (!damage_.found() && whole && file_size_ % n != 0) {
            std::snprintf(damage_.what, sizeof damage_.what,
                          "damaged: record %lld (from byte %lld) is cut: %lld of %lld bytes",
                          static_cast<long long>(file_size_ / n),
                          static_cast<long long>(file_size_ / n * n),
                          static_cast<long long>(file_size_ % n), static_cast<long long>(n));
        }
        if (damage_.found()) file.RecordProblem(damage_.what);
        return damage_.found();
    }

  private:
    int64_t file_size_;
    RecordDamage damage_;
};

// Loading, step 3: the variation of every record from the magnetic model,
// written once to "Fmswpt2.dat" (unless the waypoint file is damaged: a
// completed copy is never made of what could not be read whole). The copy
// replaces the old file whole or not at all; when it cannot be written the
// old one stays as it was (a load problem says so) and the variations are
// still kept in memory.
void CompleteVariations(bool write_copy) {
    for (int32_t i = 0; i < WaypointDatabaseCount; ++i) {
        WaypointRecord& r = WaypointDatabase[i];
        r.variation = MagneticVariationAt(r.latitude, r.longitude, 0.0, kDatabaseYear);
    }
    if (!write_copy) return;
    platform::WriteWholeFile(FmsFilePath("Fmswpt2.dat"), WaypointDatabase,
                             static_cast<size_t>(WaypointDatabaseCount) * sizeof(WaypointRecord),
                             true);
}

bool WaypointMatches(const WaypointRecord& r, const char* ident, char type, double lat,
                     double lon) {
    if (ident != nullptr && FieldText(r.ident) != std::string_view(ident)) return false;
    if (lat != 0.0 && !(std::abs(r.longitude - lon) < 0.2 && std::abs(r.latitude - lat) < 0.2))
        return false;
    return type == 0 || r.type == type;
}

// One terminal-procedure file read: every record in order to `visit`,
// which returns false to stop early. The record count is remembered.
template <typename Visit>
void ReadProcedureFile(Visit&& visit) {
    platform::File in;
    if (!in.Open(FmsFilePath("Fmstrm.dat"), "rb")) return;
    const int64_t size = in.Size();
    if (size < 0) return;
    TerminalProcedureCount = static_cast<int32_t>(size / static_cast<int64_t>(sizeof(LegRecord)));
    DamageWatch<LegRecord> damage(size);
    LegRecord rec;
    int32_t i = 0;
    for (; i < TerminalProcedureCount; ++i) {
        if (in.Read(&rec, sizeof rec) != sizeof rec) break;
        damage.See(rec, i);
        if (!visit(rec)) break;
    }
    damage.Report(in, i == TerminalProcedureCount);
    in.Close();
}

void CacheText(char (&field)[64], const char* text) {
    SetFieldText(field, CallerText(text));
}

bool CacheHolds(const char (&field)[64], const char* text) {
    const std::string_view t = CallerText(text);
    return t.size() < sizeof field && FieldText(field) == t;
}

}  // namespace

uint32_t LegIdSequence = 0x2545F491u;

uint32_t NewLegId() {
    // A full-period congruential sequence: no value repeats within 2^32
    // calls; 0 and the discontinuity's 9999 are passed over.
    for (;;) {
        LegIdSequence = LegIdSequence * 1664525u + 1013904223u;
        if (LegIdSequence != 0 && LegIdSequence != 9999) return LegIdSequence;
    }
}

void LoadWaypointDatabase() {
    FreeWaypointDatabase();
    // 1. A file that is not there (or is not a regular file, which the
    //    file layer refuses and reports) loads nothing.
    platform::File in;
    if (!in.Open(FmsFilePath("Fmswpt.dat"), "rb")) return;
    const int64_t size = in.Size();
    if (size < 0) return;
    // 2. The whole file at once. An empty file, or one that does not read
    //    in full, gives no database.
    const int64_t count = size / static_cast<int64_t>(sizeof(WaypointRecord));
    DamageWatch<WaypointRecord> damage(size);
    if (count <= 0 || count > INT32_MAX) {
        damage.Report(in, true);  // a file shorter than one record
        return;
    }
    auto* block = new (std::nothrow) WaypointRecord[static_cast<size_t>(count)];
    if (block == nullptr) return;
    const size_t bytes = static_cast<size_t>(count) * sizeof(WaypointRecord);
    if (in.Read(block, bytes) != bytes) {
        delete[] block;
        return;
    }
    for (int64_t i = 0; i < count; ++i) damage.See(block[i], i);
    const bool damaged = damage.Report(in, true);
    in.Close();
    WaypointDatabase = block;
    WaypointDatabaseCount = static_cast<int32_t>(count);
    // 3. No variation in the file: compute it.
    if (WaypointDatabase[0].variation == 0.0) CompleteVariations(!damaged);
}

void FreeWaypointDatabase() {
    delete[] WaypointDatabase;
    WaypointDatabase = nullptr;
    WaypointDatabaseCount = 0;
}

void SearchWaypointsInto(WaypointSearchResultList* out, const char* ident, char type, double lat,
                         double lon) {
    out->count = 0;
    if (WaypointDatabase == nullptr) return;
    for (int32_t i = 0; i < WaypointDatabaseCount; ++i) {
        if (!WaypointMatches(WaypointDatabase[i], ident, type, lat, lon)) continue;
        out->index[out->count++] = i;
        if (out->count >= kWaypointSearchMax) break;
    }
}

void SortWaypointsByDistanceInto(WaypointSearchResultList* r) {
    // 1. Proximity: the plain sum of the coordinate differences.
    for (int32_t k = 0; k < r->count; ++k) {
        const WaypointRecord& w = WaypointDatabase[r->index[k]];
        r->proximity[k] = std::abs(FmsPosition.latitude - w.latitude) +
                          std::abs(FmsPosition.longitude - w.longitude);
    }
    // 2. Bubble passes from the end to the front, swapping only on a
    //    strictly smaller later value; at most count - 1 passes.
    for (int32_t pass = 0; pass < r->count - 1; ++pass) {
        bool swapped = false;
        for (int32_t k = r->count - 1; k > 0; --k) {
            if (r->proximity[k] < r->proximity[k - 1]) {
                std::swap(r->proximity[k], r->proximity[k - 1]);
                std::swap(r->index[k], r->index[k - 1]);
                swapped = true;
            }
        }
        if (!swapped) break;
    }
}

void SearchWaypoints(const char* ident, char type, double lat, double lon) {
    SearchWaypointsInto(&WaypointSearchResults, ident, type, lat, lon);
}

void SortWaypointsByDistance() {
    SortWaypointsByDistanceInto(&WaypointSearchResults);
}

void LookupWaypoint(const char* ident, char type, double lat, double lon) {
    SearchWaypoints(ident, type, lat, lon);
    SortWaypointsByDistance();
    if (WaypointSearchResults.count > 0) {
        CduReturnPage = CduPage;
        CduReturnSubPage = CduSubPage;
        CduPage = kCduPageWaypointSelect;
    }
}

void ReadRunways(char* airport) {
    // 1. Clear the list; empty a '-' text.
    RunwayList.count = 0;
    EmptyDashText(airport);
    const std::string_view wanted = CallerText(airport);
    // 2. Record by record.
    platform::File in;
    if (!in.Open(FmsFilePath("Fmsrwy.dat"), "rb")) return;
    const int64_t size = in.Size();
    if (size < 0) return;
    const int64_t count = size / static_cast<int64_t>(sizeof(RunwayRecord));
    DamageWatch<RunwayRecord> damage(size);
    RunwayRecord rec;
    // 3. Matches in file order, the first 32 kept.
    int64_t i = 0;
    for (; i < count; ++i) {
        if (in.Read(&rec, sizeof rec) != sizeof rec) break;
        damage.See(rec, i);
        if (FieldText(rec.airport) != wanted) continue;
        if (RunwayList.count < kRunwayListMax) RunwayList.runways[RunwayList.count++] = rec;
    }
    damage.Report(in, i == count);
    in.Close();
}

bool ProcedureRecordMatches(const LegRecord& rec, const char* airport, const char* procedure,
                            const char* transition, int32_t kind, int32_t mask) {
    const int32_t k = rec.list_kind;
    const char r = rec.route_type;
    const std::string_view trans = CallerText(transition);
    const std::string_view proc = CallerText(procedure);
    // 1. Airport and kind.
    if (FieldText(rec.airport) != CallerText(airport)) return false;
    if (kind != 0 && k != kind) return false;
    // 2. Route type against the mask.
    bool accepted = mask == 0 || (r == '1' && (mask & 1) != 0) || (r == '2' && (mask & 2) != 0) ||
                    (r == '3' && (mask & 4) != 0) || (r == 'A' && (mask & 1) != 0 && k == 3);
    if (!accepted && (mask & 2) != 0 && k == 3 && r != 'A') accepted = true;
    if (!accepted) return false;
    // 3. Transition, except for route type '1'.
    if (r != '1' && !trans.empty() && FieldText(rec.transition) != trans) return false;
    // 4. Procedure.
    if (!proc.empty() && FieldText(rec.procedure) != proc) return false;
    // 5. Route type '1' on the first three transition characters.
    if (r == '1' && !trans.empty()) {
        const std::string_view mine = FieldText(rec.transition);
        if (mine.substr(0, 3) != trans.substr(0, 3)) return false;
    }
    return true;
}

void ReadTerminalProcedures(char* airport, char* procedure, char* transition, int32_t kind,
                            int32_t mask) {
    // 1. Empty '-' texts.
    EmptyDashText(airport);
    EmptyDashText(procedure);
    EmptyDashText(transition);
    // 2. The same question as last time leaves the list as it is.
    ProcedureQueryCacheRecord& cache = ProcedureQueryCache;
    if (CacheHolds(cache.airport, airport) && CacheHolds(cache.procedure, procedure) &&
        CacheHolds(cache.transition, transition) && cache.kind == kind && cache.mask == mask)
        return;
    // 3. Remember the question; start an empty list.
    CacheText(cache.airport, airport);
    CacheText(cache.procedure, procedure);
    CacheText(cache.transition, transition);
    cache.kind = kind;
    cache.mask = mask;
    ProcedureNameList.count = 0;
    char last[14] = "           ";
    // 4.-5. Distinct neighbouring names of the accepted records.
    ReadProcedureFile([&](const LegRecord& rec) {
        if (!ProcedureRecordMatches(rec, airport, procedure, transition, kind, mask)) return true;
        if (ProcedureNameList.count >= kProcedureNameListMax) return true;
        const std::string_view name =
            mask == 0 ? FieldText(rec.procedure) : FieldText(rec.transition);
        if (name == FieldText(last)) return true;
        ProcedureNameEntry& e = ProcedureNameList.entries[ProcedureNameList.count++];
        SetFieldText(e.name, name);
        SetFieldText(e.airport, FieldText(rec.airport));
        SetFieldText(last, name);
        return true;
    });
}

void ReadProcedureLegs(LegList* list, char* airport, char* procedure, char* transition,
                       int32_t kind, int32_t mask) {
    // 1. Empty list; empty '-' texts.
    list->count = 0;
    EmptyDashText(airport);
    EmptyDashText(procedure);
    EmptyDashText(transition);
    // 2. Every accepted record as a leg, with its variations.
    ReadProcedureFile([&](const LegRecord& rec) {
        if (list->count >= kProcedureLegsMax) return false;
        if (!ProcedureRecordMatches(rec, airport, procedure, transition, kind, mask)) return true;
        LegRecord leg = rec;
        leg.navaid_variation =
            MagneticVariationAt(leg.variation_latitude, leg.variation_longitude, 0.0, kNavaidYear);
        leg.fix_variation = MagneticVariationAt(leg.end_latitude, leg.end_longitude,
                                                kProcedureFixAltitudeM, kDatabaseYear);
        if ((leg.path_type == 4 || leg.path_type == 6) && leg.fix_latitude == 0.0 &&
            leg.fix_longitude == 0.0)
            leg.path_type = 6;
        list->legs[list->count++] = leg;
        return true;
    });
}

void WaypointToLeg(const WaypointRecord& record, LegRecord* leg) {
    leg->list_kind = 4;
    SetFieldText(leg->ident, FieldText(record.ident));
    SetFieldText(leg->airport, record.type == 'A' ? FieldText(record.region) : std::string_view());
    leg->leg_id = NewLegId();
    SetFieldText(leg->path_terminator, "TF");
    leg->route_type = '4';
    leg->altitude_end_computed = 0;
    leg->leg_class = 7;
    leg->path_type = 2;
    SetFieldText(leg->label, FieldText(record.region));
    leg->fix_latitude = record.latitude;
    leg->fix_longitude = record.longitude;
    leg->fix_variation = record.variation;
    leg->annotation_kind = 2;
}

bool LegInPlan(const LegRecord& leg, const LegList& list) {
    const uint32_t n = list.count < kLegListCapacity ? list.count : kLegListCapacity;
    for (uint32_t i = 0; i < n; ++i)
        if (list.legs[i].leg_id == leg.leg_id) return true;
    return false;
}

}  // namespace zu
