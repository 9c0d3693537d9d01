// The CDU's NAV, NAV LEG and DIRECT pages, and what the navigation pages
// share (see cdu_pages_nav.h).
#include "fms/cdu_pages_nav.h"

#include <cmath>
#include <cstring>

#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/fms_nav_output.h"

namespace zu {

int32_t CduNavLegField = 0;
int32_t CduDirectTurn = 0;
uint8_t CduDirectPending = 0;

namespace {

enum : int32_t { kGreen = 0, kWhite = 4, kMagenta = 5 };
enum : int32_t { kBold = 0, kLight = 1 };
inline constexpr int32_t kLegsPerSubPage = 8;

// Leg classes the pages set or test.
enum : uint8_t { kClassHold = 5, kClassProcTurn = 6, kClassNavLeg = 8, kClassDirect = 9 };

// The page DIRECT's RETURN and ENTER go back to is held by the engine; this
// remembers that an identifier typed on DIRECT is out on the choice page,
// so that coming back does not reset the turn direction.
uint8_t DirectLookupOut = 0;

int32_t PlanCount() {
    return static_cast<int32_t>(FlightPlan.count < kLegListCapacity ? FlightPlan.count
                                                                    : kLegListCapacity);
}

// A value rounded into an int, held within [lo, hi] (not a number gives lo).
int32_t RoundedWithin(double v, int32_t lo, int32_t hi) {
    if (!(v >= lo)) return lo;
    if (v > hi) return hi;
    return static_cast<int32_t>(std::lround(v));
}

// Whole degrees 0..359.
int32_t Degrees360(double v) {
    if (!std::isfinite(v)) return 0;
    long d = std::lround(std::fmod(v, 360.0));
    if (d < 0) d += 360;
    return static_cast<int32_t>(d % 360);
}

// A leg's name in eight cells (cut, or padded with blanks).
const char* ShortName(const LegRecord& l) {
    const std::string_view name = FieldText(l.ident);
    const int n = static_cast<int>(name.size() < 8 ? name.size() : 8);
    return CduFormat("%-8.*s", n, name.data());
}

void Slot(const LegRecord& slot, int32_t line, int32_t colour, bool courseLine) {
    if (SlotFilled(slot)) {
        if (courseLine) CduLegLine(slot, line - 1, colour);
        CduLegAnnotation(slot, line, colour);
        return;
    }
    if (courseLine) CduWriteText(" # ----", 3, line - 1, kWhite, kLight);
    CduWriteText("--------", 3, line, kWhite, kBold);
}

void SlotLabels() {
    CduWriteText("FR", 0, 2, kWhite, kLight);
    CduWriteText("TO", 0, 4, kWhite, kLight);
    CduWriteText("NX", 0, 6, kWhite, kLight);
}

void SequenceAndRecompute() {
    SequenceLegs();
    RecomputeFlightPlan(&FlightPlan);
}

void GoNav() {
    CduPage = kCduPageNav;
}

// --- NAV --------------------------------------------------------------

void NavCrossTrack() {
    CduWriteText("XTK ( )", 0, 8, kWhite, kBold);
    const double xtk = FmsCrossTrack;
    CduWriteText(xtk > 0.0 ? "R" : xtk < 0.0 ? "L" : "E", 5, 8, kWhite, kBold);
    const double a = std::fabs(xtk);
    if (a <= 9.99)
        CduFormat("%4.2f", a);
    else if (a <= 99.9)
        CduFormat("%4.1f", a);
    else
        CduFormat("99.9");
    CduWriteText(CduFormatBuffer, 8, 8, kGreen, kBold);
}

void NavWind() {
    CduWriteText(WindComponentSense[0] != 0 ? "TAILWIND" : "HEADWIND", 0, 9, kWhite, kBold);
    const double along = std::fabs(static_cast<double>(MapDisplayState.wind_y));
    CduWriteText(CduFormat("%3d", RoundedWithin(std::trunc(along), 0, 999)), 9, 9, kGreen, kBold);
    CduWriteText("WIND", 0, 10, kWhite, kBold);
    CduWriteText(CduFormat("%03d", RoundedWithin(WindData[1], 0, 360)), 5, 10, kGreen, kBold);
    CduWriteText("T/", 8, 10, kGreen, kBold);
    CduWriteText(CduFormat("%3d", RoundedWithin(WindData[0], 0, 999)), 10, 10, kGreen, kBold);
}

void NavSpeedAndBearing() {
    CduWriteText("GS", 15, 8, kWhite, kBold);
    CduWriteText(CduFormat("%3d", GroundSpeed < 0     ? 0
                                  : GroundSpeed > 999 ? 999
                                                      : GroundSpeed),
                 19, 8, kGreen, kBold);
    CduWriteText("BRG", 15, 9, kWhite, kBold);
    if (NavSources[kNavFms1].bearing_valid != 0)
        CduFormat("%03d\xB0", Degrees360(FmsBearingToWaypoint));
    else
        CduFormat("---");
    CduWriteText(CduFormatBuffer, 19, 9, kGreen, kBold);
    CduWriteText("TKE", 15, 10, kWhite, kBold);
    const double tke = FmsTrackError;
    CduFormat("%03d\xB0%c", RoundedWithin(std::fabs(tke), 0, 180), tke < 0.0 ? 'L' : 'R');
    CduWriteText(CduFormatBuffer, 19, 10, kGreen, kBold);
}

void NavLegsPart() {
    SlotLabels();
    Slot(FmsFromLeg, 2, kGreen, false);
    Slot(FmsToLeg, 4, kMagenta, true);
    Slot(FmsNextLeg, 6, kGreen, true);
    CduAddLine(18, 1, 18, 7, kGreen);
    CduAddLine(0, 7, 23, 7, kGreen);
    CduWriteText("HDGw", 20, 2, kWhite, kBold);
    CduWriteText("MNVRw", 19, 4, kWhite, kBold);
    CduWriteText("APPRw", 19, 6, kWhite, kBold);
    NavCrossTrack();
    NavWind();
    NavSpeedAndBearing();
}

void NavPositionPart() {
    CduWriteText("FMS1 POS", 0, 2, kGreen, kLight);
    FormatLatLon(1, FmsPosition.latitude);
    CduWriteText(CduFormatBuffer, 0, 3, kGreen, kBold);
    FormatLatLon(2, FmsPosition.longitude);
    CduWriteText(CduFormatBuffer, 0, 4, kGreen, kBold);
    CduWriteText("FMS1 Q=01", 15, 3, kGreen, kLight);
    CduWriteText("GPS", 18, 4, kGreen, kBold);
    CduWriteText("UPDATE SENSw", 12, 8, kWhite, kBold);
    CduWriteText("qHOLD POS", 0, 10, kWhite, kBold);
    CduWriteText("SENSORSw", 16, 10, kWhite, kBold);
}

// --- NAV LEG ------------------------------------------------------------

void NavLegPlanNumber(int32_t field, int32_t index) {
    const LegRecord& leg = FlightPlan.legs[index];
    if (field == 1) {
        FmsFromLeg = leg;
        FmsFromLeg.list_kind = kSlotFilled;
        FmsFromLeg.leg_class = kClassNavLeg;
        if (FmsToLeg.leg_class == kClassDirect) FmsToLeg.leg_class = kClassNavLeg;
        FmsHoldSlots = 1;
    } else if (field == 2) {
        FmsToLeg = leg;
        FmsToLeg.list_kind = kSlotFilled;
        FmsToLeg.leg_class = kClassNavLeg;
        EmptyLegSlot(&FmsNextLeg);
        FmsHoldSlots = 1;
    } else {
        FmsNextLeg = leg;
        FmsNextLeg.list_kind = kSlotFilled;
        FmsNextLeg.leg_class = kClassNavLeg;
        FmsKeepNext = 1;
    }
    GoNav();
    SequenceAndRecompute();
}

void NavLegEntry(int32_t field) {
    if (field < 1 || field > 3) return;
    const int32_t index = CduPlanNumberEntry();
    if (index >= 0) {
        NavLegPlanNumber(field, index);
        return;
    }
    LegRecord* slot = field == 1 ? &FmsFromLeg : field == 2 ? &FmsToLeg : &FmsNextLeg;
    if (field == 3 || CduEntryEmpty()) {
        EmptyLegSlot(slot);
        CduRedraw = 1;
        return;
    }
    LookupWaypoint(CduEntryText, 0, 0.0, 0.0);
}

void NavLegChosen() {
    if (CduNavLegField == 1) {
        if (!CduChosenLeg(&FmsFromLeg)) return;
        FmsFromLeg.list_kind = kSlotFilled;
        FmsFromLeg.leg_class = kClassNavLeg;
        if (FmsToLeg.leg_class == kClassDirect) FmsToLeg.leg_class = kClassNavLeg;
        FmsHoldSlots = 1;
        RecomputeFlightPlan(&FlightPlan);
        GoNav();
    } else if (CduNavLegField == 2) {
        if (!CduChosenLeg(&FmsToLeg)) return;
        FmsToLeg.list_kind = kSlotFilled;  // a fresh leg identifier, not in the plan
        FmsHoldSlots = 1;
        RecomputeFlightPlan(&FlightPlan);
        EmptyLegSlot(&FmsNextLeg);
        FmsKeepNext = 1;
        CduNavLegField = 3;
        CduSelectField(3);
    } else {
        return;
    }
    CduRedraw = 1;
}

// --- DIRECT -------------------------------------------------------------

void ApplyDirectTurn() {
    FgcFmsLegParam1 = static_cast<uint32_t>(CduDirectTurn);
    FgcFmsLegParam2 = static_cast<uint32_t>(CduDirectTurn);
    if (FmsToLeg.leg_class != kClassHold && FmsToLeg.leg_class != kClassProcTurn)
        FmsToLeg.turn_direction = static_cast<uint8_t>(CduDirectTurn);
}

// Direct to a leg of the plan (or the present TO leg), flown from the
// present position.
void DirectToLeg(const LegRecord& target) {
    const LegRecord leg = target;
    FmsToLeg = leg;
    FmsFromLeg = leg;
    FmsToLeg.list_kind = kSlotFilled;
    FmsToLeg.leg_class = kClassDirect;
    FmsFromLeg.list_kind = kSlotFilled;
    FmsHoldSlots = 1;
    RecomputeFlightPlan(&FlightPlan);
    EmptyLegSlot(&FmsNextLeg);
    SequenceAndRecompute();
    ApplyDirectTurn();
    GoNav();
}

void DirectToCandidate() {
    LegRecord leg{};
    if (!CduChosenLeg(&leg)) return;
    FmsToLeg = leg;
    FmsFromLeg = FmsToLeg;
    FmsToLeg.list_kind = kSlotFilled;
    FmsToLeg.leg_class = kClassDirect;
    FmsToLeg.annotation_kind = 2;
    SetLegName(FmsFromLeg, "(PPOS)");
    FmsFromLeg.list_kind = kSlotFilled;
    FmsHoldSlots = 1;
    SequenceAndRecompute();
    ApplyDirectTurn();
    CduNavLegField = 3;
    EmptyLegSlot(&FmsNextLeg);
    CduPage = kCduPageNavLeg;
}

void DirectEntry() {
    const int32_t index = CduPlanNumberEntry();
    if (index >= 0 && FlightPlan.legs[index].leg_class != kClassHold) {
        DirectToLeg(FlightPlan.legs[index]);
        return;
    }
    if (CduEntryEmpty()) return;
    DirectLookupOut = 1;
    LookupWaypoint(CduEntryText, 0, 0.0, 0.0);
}

void DirectLineSelect(int32_t key) {
    switch (key) {
        case 5:
            CduReturnPage = kCduPageDirect;
            CduReturnSubPage = CduSubPage;
            CduPage = kCduPagePvor;
            break;
        case 6:
            CduDirectTurn = 1;
            break;
        case 7:
            CduDirectTurn = 2;
            break;
        case 8:
            CduDirectTurn = 0;
            break;
        case 9:
            CduReturnPage = kCduPageDirect;
            CduReturnSubPage = CduSubPage;
            CduHoldFromDirect = 1;
            CduPage = kCduPageHoldFix;
            break;
        case 10:
            CduReturnToCaller();
            break;
        default:
            return;
    }
    CduRedraw = 1;
}

bool HandPlacedTo() {
    return SlotFilled(FmsToLeg) && FmsHoldSlots != 0;
}

}  // namespace

// --- Shared -------------------------------------------------------------

int32_t CduPlanNumberEntry() {
    const char* t = CduEntryText;
    if (t[0] == '\0') return -1;
    int32_t n = 0;
    for (; *t != '\0'; ++t) {
        if (*t < '0' || *t > '9') return -1;
        if (n > 1000) return -1;
        n = n * 10 + (*t - '0');
    }
    if (n < 1 || n > PlanCount()) return -1;
    return n - 1;
}

bool CduEntryEmpty() {
    for (const char* t = CduEntryText; *t != '\0'; ++t)
        if (*t != ' ') return false;
    return true;
}

bool CduChosenLeg(LegRecord* leg) {
    if (WaypointDatabase == nullptr || CduChosenWaypoint < 0 ||
        CduChosenWaypoint >= WaypointDatabaseCount)
        return false;
    const WaypointRecord& r = WaypointDatabase[CduChosenWaypoint];
    *leg = LegRecord{};
    WaypointToLeg(r, leg);
    leg->end_latitude = r.latitude;
    leg->end_longitude = r.longitude;
    return true;
}

int32_t CduNavLegSubPages() {
    const int32_t pages = (PlanCount() + kLegsPerSubPage - 1) / kLegsPerSubPage;
    return pages < 1 ? 1 : pages;
}

void CduNavLegList(int32_t numberColumn, int32_t markColumn, int32_t identColumn) {
    const int32_t count = PlanCount();
    const int32_t first = CduSubPage * kLegsPerSubPage;
    for (int32_t i = first; i < count && i < first + kLegsPerSubPage; ++i) {
        const int32_t line = 2 + (i - first);
        CduWriteText(CduFormat("%2d", i + 1), numberColumn, line, kWhite, kBold);
        CduWriteText(i == FmsToLegIndex ? ">" : " ", markColumn, line, kWhite, kLight);
        CduWriteText(ShortName(FlightPlan.legs[i]), identColumn, line, kGreen, kBold);
    }
}

void CduNavSubPageText(int32_t column) {
    CduWriteText(CduFormat("%1d/%1d", CduSubPage + 1, CduSubPageCount), column, 0, kGreen, kBold);
}

// --- NAV ----------------------------------------------------------------

int32_t CduNavDisplay() {
    CduSubPageCount = 2;
    CduClearScreen();
    if (CduPageEntered != 0) CduClearFields();
    CduWriteText("NAV", 7, 0, kGreen, kBold);
    CduNavSubPageText(15);
    CduWriteText("m", 19, 0, kGreen, kBold);
    if (CduSubPage == 0)
        NavLegsPart();
    else
        NavPositionPart();
    return 0;
}

int32_t CduNavKeys() {
    if (CduSubPage != 0 || CduEvent != kCduEventLineSelect) return 0;
    if (CduKey >= 1 && CduKey <= 3) {
        CduNavLegField = CduKey;
        CduPage = kCduPageNavLeg;
    } else if (CduKey == 7) {
        CduPage = kCduPageManeuver;
    } else {
        CduNavLegField = 0;
    }
    return 0;
}

// --- NAV LEG --------------------------------------------------------------

int32_t CduNavLegDisplay() {
    CduSubPageCount = CduNavLegSubPages();
    CduClearScreen();
    CduWriteText("NAV LEG", 7, 0, kGreen, kBold);
    CduNavSubPageText(16);
    CduWriteText("m", 20, 0, kGreen, kBold);
    SlotLabels();
    Slot(FmsFromLeg, 2, kGreen, false);
    Slot(FmsToLeg, 4, kMagenta, false);
    Slot(FmsNextLeg, 6, kGreen, false);
    // The plan on the right, clear of what the slots' texts left there.
    for (int32_t line = 2; line <= 9; ++line) CduWriteText("            ", 12, line, kGreen, kBold);
    CduNavLegList(13, 15, 16);
    CduWriteText("RETURNw", 17, 10, kWhite, kBold);
    if (CduPageEntered != 0) {
        CduClearFields();
        CduDefineField(1, kCduFieldText, 3, 2, 8, -1);
        CduDefineField(2, kCduFieldText, 3, 4, 8, -1);
        CduDefineField(3, kCduFieldDigits, 3, 6, 8, -1);
        if (CduNavLegField >= 1 && CduNavLegField <= 3) CduSelectField(CduNavLegField);
    }
    return 0;
}

int32_t CduNavLegKeys() {
    switch (CduEvent) {
        case kCduEventSelected:
            CduNavLegField = CduActiveField;
            break;
        case kCduEventEntry:
            NavLegEntry(CduEntryField);
            break;
        case kCduEventChosen:
            NavLegChosen();
            break;
        case kCduEventLineSelect:
            if (CduKey == 10) GoNav();
            break;
        default:
            break;
    }
    return 0;
}

// --- DIRECT ---------------------------------------------------------------

int32_t CduDirectDisplay() {
    const bool pageEntered = CduPage != CduLastPage;
    CduSubPageCount = CduNavLegSubPages();
    CduClearScreen();
    if (CduPageEntered != 0) {
        CduClearFields();
        CduDefineField(1, kCduFieldText, 13, 1, 8, 10001);
        if (pageEntered) {
            if (DirectLookupOut == 0) CduDirectTurn = 0;
            DirectLookupOut = 0;
        }
    }
    CduWriteText("DTO", 7, 0, kGreen, kBold);
    CduNavSubPageText(16);
    CduWriteText("DIRECT", 6, 1, kGreen, kLight);
    CduNavLegList(0, 2, 3);
    CduDirectPending = HandPlacedTo() && CduEditModified == 0 ? 1 : 0;
    if (CduDirectPending != 0)
        CduWriteText(ShortName(FmsToLeg), 13, 1, kGreen, kBold);
    else
        CduWriteText("--------", 13, 1, kWhite, kBold);
    CduWriteText("LEFTw", 19, 2, kWhite, kBold);
    CduWriteText("RIGHTw", 18, 4, kWhite, kBold);
    CduWriteText("AUTOw", 19, 6, kWhite, kBold);
    if (CduDirectTurn == 1)
        CduWriteText("LEFT", 19, 2, kGreen, kLight);
    else if (CduDirectTurn == 2)
        CduWriteText("RIGHT", 18, 4, kGreen, kLight);
    else
        CduWriteText("AUTO", 19, 6, kGreen, kLight);
    CduWriteText("HOLDINGw", 16, 8, kWhite, kBold);
    CduWriteText("qPVOR", 0, 10, kWhite, kBold);
    CduWriteText("RETURNw", 17, 10, kWhite, kBold);
    return 0;
}

int32_t CduDirectKeys() {
    switch (CduEvent) {
        case kCduEventSelected:
            CduNavLegField = CduActiveField;
            break;
        case kCduEventEntry:
            DirectEntry();
            break;
        case kCduEventChosen:
            DirectToCandidate();
            break;
        case kCduEventLineSelect:
            DirectLineSelect(CduKey);
            break;
        case kCduEventKey:
            if (CduKey == kCduKeyCharacter) {
                CduDirectPending = 0;
            } else if (CduKey == kCduKeyEnter && CduDirectPending != 0 &&
                       FmsToLeg.leg_class != kClassHold) {
                DirectToLeg(FmsToLeg);
            }
            break;
        default:
            break;
    }
    return 0;
}

// --- State ----------------------------------------------------------------

void CduNavPagesReset() {
    CduNavLegField = 0;
    CduDirectTurn = 0;
    CduDirectPending = 0;
    DirectLookupOut = 0;
    CduPvorLeg = LegRecord{};
    CduPvorMode = -1;
    CduPvorCourse = 0;
    CduPvorRadial = 0;
    CduPvorOutbound = 0;
    CduHoldLeg = LegRecord{};
    CduHoldEntry = 0;
    CduHoldArmed = 0;
    CduHoldFromDirect = 0;
}

}  // namespace zu
