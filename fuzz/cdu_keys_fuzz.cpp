// Fuzzes the control-display unit with key sequences: every byte of the
// input is one key (a line-select key, a function key or a character),
// processed on its own systems pass, starting on the NAV page with a
// three-leg plan. Whatever is pressed, the engine's state must stay in its
// ranges: a page of the table (or none), a sub-page within the page's
// count, fields and line art within their tables, and a plan whose TO and
// NEXT indices point into it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/systems_tick.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/cdu_pages_nav.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/fms_nav_output.h"
#include "fms/leg_geometry.h"
#include "fms/nav_database.h"

namespace {

using namespace zu;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "cdu_keys_fuzz: %s\n", what);
        std::abort();
    }
}

WaypointRecord MakeRecord(char type, const char* ident, double lat, double lon) {
    WaypointRecord r{};
    r.type = type;
    SetFieldText(r.ident, ident);
    SetFieldText(r.region, "LI");
    r.latitude = lat;
    r.longitude = lon;
    r.variation = 2.0;
    return r;
}

// The plan every input starts from, built once.
struct PlanStart {
    LegList plan;
    LegRecord from, to, next;
    int32_t to_index, next_index, last_count;
};
PlanStart gStart;

void BuildStartPlan() {
    FlightPlan.count = 0;
    FmsFromLeg = FmsToLeg = FmsNextLeg = LegRecord{};
    FmsToLegIndex = FmsNextLegIndex = -1;
    FmsLastLegCount = 999;
    for (int32_t r : {3, 4, 5})
        InsertWaypointLeg(r, static_cast<int32_t>(FlightPlan.count), &FlightPlan);
    SequenceLegs();
    gStart.plan.count = FlightPlan.count;
    for (uint32_t i = 0; i < FlightPlan.count; ++i) gStart.plan.legs[i] = FlightPlan.legs[i];
    gStart.from = FmsFromLeg;
    gStart.to = FmsToLeg;
    gStart.next = FmsNextLeg;
    gStart.to_index = FmsToLegIndex;
    gStart.next_index = FmsNextLegIndex;
    gStart.last_count = FmsLastLegCount;
}

// A small database in memory, owned by the process (the files of the
// departure and arrival pages are looked for in a folder that is not there).
void SetUpDatabase() {
    static const char* const kIdents[] = {"A",     "AB",    "ABC",   "KAPPA",
                                          "OMEGA", "SIGMA", "DELTA", "ZETA"};
    constexpr int kCount = sizeof kIdents / sizeof kIdents[0];
    auto* db = new WaypointRecord[kCount];
    for (int i = 0; i < kCount; ++i)
        db[i] = MakeRecord(i == 5 ? 'V' : 'I', kIdents[i], 45.0 + 0.3 * i, 7.0 + 0.2 * (i % 3));
    db[kCount - 1].type = 'A';
    WaypointDatabase = db;
    WaypointDatabaseCount = kCount;
    std::snprintf(FmsDirectoryPath, sizeof FmsDirectoryPath, "Z:\\no such folder\\");
    FmsPosition = {45.1, 7.1};
    BuildStartPlan();
}

void ResetState() {
    CduResetForLoad();
    FlightPlan.count = gStart.plan.count;
    for (uint32_t i = 0; i < gStart.plan.count; ++i) FlightPlan.legs[i] = gStart.plan.legs[i];
    WorkLegsA.count = WorkLegsB.count = WorkLegsC.count = 0;
    FmsFromLeg = gStart.from;
    FmsToLeg = gStart.to;
    FmsNextLeg = gStart.next;
    FmsToLegCopy = LegRecord{};
    FmsToLegIndex = gStart.to_index;
    FmsNextLegIndex = gStart.next_index;
    FmsLastLegCount = gStart.last_count;
    FmsSequenceRequest = FmsHoldSlots = FmsKeepNext = 0;
    LateralTurnState = 0;
    HoldRecompute = 0;
    FmsCrossTrack = 0.0;
    FmsInitialised = 1;
    CduPage = kCduPageNav;
}

// The byte's key: 10 line-select keys, the function keys, then characters.
void Deposit(uint8_t b) {
    static const int32_t kFunctionKeys[] = {10, 11, 12, 13, 14, 15, 16, 17, 18,
                                            19, 20, 21, 40, 41, 42, 43, 44, 44};
    constexpr int kFunctions = sizeof kFunctionKeys / sizeof kFunctionKeys[0];
    static const char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    if (b < 10) {
        FmsKeyCode.store(b + 1);
    } else if (b < 10 + kFunctions) {
        CduDepositFunctionKey(kFunctionKeys[b - 10], 0);
    } else if (b < 10 + kFunctions + 36) {
        CduDepositFunctionKey(kCduKeyCharacter, kCharacters[b - 10 - kFunctions]);
    } else if (b == 255) {
        // A cross-track far off on either side.
        FmsCrossTrack = FmsCrossTrack > 0.0 ? -250.0 : 0.37;
    }
    // Anything else: a pass without a key.
}

void CheckInvariants() {
    Check(CduPage >= -1 && CduPage < kCduPageCount, "page");
    Check(CduSubPage >= 0 && CduSubPage < 100, "sub-page");
    Check(CduActiveField >= 0 && CduActiveField <= kCduFieldCount, "active field");
    Check(CduEditCursor >= 0 && CduEditCursor <= 15, "edit cursor");
    Check(CduRegionCount >= 0 && CduRegionCount <= kCduRegionMax, "line art");
    const int32_t n = static_cast<int32_t>(FlightPlan.count);
    Check(n >= 0 && n <= static_cast<int32_t>(kLegListCapacity), "plan size");
    Check(FmsToLegIndex >= -1 && FmsToLegIndex < n, "TO index");
    Check(FmsNextLegIndex >= -1 && FmsNextLegIndex < n, "NEXT index");
    Check(std::memchr(CduEntryText, '\0', sizeof CduEntryText) != nullptr, "entry text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (SetUpDatabase(), true);
    (void)ready;
    ResetState();
    // One key a pass; long inputs are cut, so a run stays short.
    const size_t keys = size < 32 ? size : 32;
    for (size_t i = 0; i < keys; ++i) {
        Deposit(data[i]);
        FrameChangeBits.store(static_cast<uint32_t>(i ^ (i + 1)));
        CduDispatchPage();
        CduProcessKeys();
        // As on the systems tick: the slots follow the plan after the keys.
        UpdateActiveLeg();
        CheckInvariants();
    }
    FrameChangeBits.store(0);
    return 0;
}
