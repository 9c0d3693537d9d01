// Fuzzes the waypoint file: any bytes as "Fmswpt.dat", loaded, searched by
// identifier and by position, sorted by nearness and turned into plan legs.
// Every result index must lie inside the database, every leg's texts must
// end inside their fields.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/nav_database.h"
#include "fms_fuzz_support.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "waypoint_file_fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    fms_fuzz::WriteInput("Fmswpt.dat", data, size);
    LoadWaypointDatabase();
    Check(WaypointDatabaseCount == static_cast<int32_t>(size / sizeof(WaypointRecord)),
          "record count");
    if (WaypointDatabase == nullptr) return 0;
    const WaypointRecord& first = WaypointDatabase[0];
    char ident[13];
    std::memcpy(ident, first.ident, 12);
    ident[12] = '\0';
    FmsPosition = {first.latitude, first.longitude};
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0) {
            SearchWaypoints(ident, 0, 0.0, 0.0);
        } else {
            SearchWaypoints(nullptr, first.type, first.latitude, first.longitude);
        }
        SortWaypointsByDistance();
        Check(WaypointSearchResults.count >= 0 && WaypointSearchResults.count <= kWaypointSearchMax,
              "result count");
        for (int32_t k = 0; k < WaypointSearchResults.count; ++k)
            Check(WaypointSearchResults.index[k] >= 0 &&
                      WaypointSearchResults.index[k] < WaypointDatabaseCount,
                  "result index");
    }
    FlightPlan.count = 0;
    for (int32_t i = 0; i < WaypointDatabaseCount && i < 4; ++i)
        InsertWaypointLeg(i, static_cast<int32_t>(FmsLegCount), &FlightPlan);
    for (uint32_t i = 0; i < FmsLegCount; ++i) {
        const LegRecord& l = FlightPlan.legs[i];
        Check(std::memchr(l.ident, 0, sizeof l.ident) != nullptr, "leg ident");
        Check(std::memchr(l.airport, 0, sizeof l.airport) != nullptr, "leg airport");
        Check(std::memchr(l.label, 0, sizeof l.label) != nullptr, "leg label");
    }
    SequenceLegs();
    FreeWaypointDatabase();
    return 0;
}
