// Fuzzes the terminal-procedure file. The input starts with the query:
// airport, procedure and transition texts (each up to '|', at most 8
// characters), a kind byte and a mask byte; the rest is "Fmstrm.dat". The
// names of the query are read; unless bit 6 of the kind byte is set the
// procedure is then inserted into a short plan as a departure (bit 7
// clear) or an arrival (set) and the plan is sequenced: nothing may read or
// write outside the lists, and the counts stay within their caps. The file
// is cut to 4 records.
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
        std::fprintf(stderr, "procedure_file_fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    char airport[9], procedure[9], transition[9];
    fms_fuzz::TakeText(data, size, airport, 8);
    fms_fuzz::TakeText(data, size, procedure, 8);
    fms_fuzz::TakeText(data, size, transition, 8);
    if (size < 2) return 0;
    const int32_t kind = data[0] % 5;
    const bool departure = (data[0] & 0x80) == 0;
    const bool names_only = (data[0] & 0x40) != 0;
    const int32_t mask = data[1] & 7;
    data += 2;
    size -= 2;
    if (size > 4 * sizeof(LegRecord)) size = 4 * sizeof(LegRecord);
    fms_fuzz::WriteInput("Fmstrm.dat", data, size);

    ProcedureQueryCache = ProcedureQueryCacheRecord{};
    ReadTerminalProcedures(airport, procedure, transition, kind, mask);
    Check(ProcedureNameList.count >= 0 && ProcedureNameList.count <= kProcedureNameListMax,
          "name count");
    if (names_only) return 0;

    // A plan of two legs, then the procedure as a departure and an arrival.
    FlightPlan.count = 0;
    FmsFromLeg = FmsToLeg = FmsNextLeg = LegRecord{};
    FmsToLegIndex = FmsNextLegIndex = -1;
    FmsKeepNext = FmsHoldSlots = FmsSequenceRequest = 0;
    LegRecord a{};
    a.leg_class = 7;
    a.path_type = 2;
    a.fix_latitude = a.end_latitude = 45.0;
    a.fix_longitude = a.end_longitude = 10.0;
    InsertLeg(0, &FlightPlan, a);
    a.fix_latitude = a.end_latitude = 45.5;
    InsertLeg(1, &FlightPlan, a);
    char none[1] = {'\0'};
    // The insertions read the legs (the departure with mask 6 and 1, the
    // arrival and approach with every mask).
    if (departure) {
        InsertDeparture(&FlightPlan, airport, procedure, transition, none);
    } else {
        InsertArrival(&FlightPlan, airport, procedure, transition, procedure, transition);
    }
    Check(WorkLegsA.count <= kLegListCapacity && WorkLegsB.count <= kLegListCapacity &&
              WorkLegsC.count <= kLegListCapacity,
          "work list count");
    Check(FmsLegCount <= kLegListCapacity, "plan count");
    Check(FmsToLegIndex >= -1 && FmsToLegIndex < static_cast<int32_t>(FmsLegCount) + 1, "TO index");
    for (int i = 0; i < 3; ++i) {
        FmsSequenceRequest = 1;
        UpdateActiveLeg();
    }
    return 0;
}
