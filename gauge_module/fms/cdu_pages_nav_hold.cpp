// The CDU's PVOR, HOLD FIX, HOLDING and MANEUVER pages (see
// cdu_pages_nav.h).
#include <cmath>
#include <cstring>

#include "core/shared_maths.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/cdu_pages_nav.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/leg_geometry.h"

namespace zu {

LegRecord CduPvorLeg = {};
int32_t CduPvorMode = -1;
int32_t CduPvorRadial = 0;
int32_t CduPvorOutbound = 0;
LegRecord CduHoldLeg = {};
int32_t CduHoldEntry = 0;
uint8_t CduHoldArmed = 0;
uint8_t CduHoldFromDirect = 0;

namespace {

enum : int32_t { kGreen = 0, kWhite = 4 };
enum : int32_t { kBold = 0, kLight = 1 };
enum : uint8_t { kClassHold = 5, kClassNavLeg = 8 };

inline constexpr int32_t kHoldInboundDefault = 166;
inline constexpr int32_t kHoldTurnRight = 2;
inline constexpr double kHoldLegDefaultNm = 5.0;
// A hold leg flown at the holding speed: minutes per nautical mile.
inline constexpr double kHoldMinutesPerNm = 0.2;

bool HoldDefined() {
    return CduHoldLeg.leg_class == kClassHold;
}

bool HoldArmed() {
    return CduHoldLeg.hold_armed == kHoldArmedMark;
}

bool HoldFixInPlan() {
    return LegInPlan(CduHoldLeg, FlightPlan);
}

// The value of a complete digits entry within [0, limit), or -1.
int32_t EntryBelow(int32_t limit) {
    if (CduEntryEmpty()) return -1;
    const float v = CduEntryValue;
    if (!(v >= 0.0f) || v >= static_cast<float>(limit)) return -1;
    return static_cast<int32_t>(v);
}

void OpenHolding() {
    CduPage = kCduPageHolding;
}

// --- PVOR ---------------------------------------------------------------

void PvorValue(bool shown, int32_t value, int32_t line) {
    if (shown)
        CduFormat("%03d\xB0", value);
    else
        CduFormat("---");
    CduWriteText(CduFormatBuffer, 20, line, kGreen, kBold);
}

void PvorEntry(int32_t field) {
    if (field == 1) {
        if (std::strlen(CduEntryText) < 2) {
            CduPvorLeg = LegRecord{};
            CduRedraw = 1;
        } else {
            LookupWaypoint(CduEntryText, 0, 0.0, 0.0);
        }
        return;
    }
    if (field < 2 || field > 4) return;
    const int32_t mode = field - 2;
    if (CduEntryEmpty()) {
        if (CduPvorMode == mode) CduPvorMode = -1;
        return;
    }
    // Courses above 360 are not courses: the entry is refused.
    const int32_t v = EntryBelow(361);
    if (v < 0) return;
    CduPvorMode = mode;
    if (mode == 0) {
        CduPvorCourse = v;
    } else if (mode == 1) {
        CduPvorRadial = v;
        CduPvorCourse = v - 180 < 0 ? v + 180 : v - 180;
    } else {
        CduPvorOutbound = v;
        CduPvorCourse = v;
    }
}

void PvorAccept() {
    if (!SlotFilled(CduPvorLeg) || CduPvorMode < 0) return;
    CduPvorLeg.magnetic_course = CduPvorCourse;
    FmsToLeg = CduPvorLeg;
    FmsFromLeg = CduPvorLeg;
    SetLegName(FmsFromLeg, "PVOR");
    FmsHoldSlots = 1;
    RecomputeFlightPlan(&FlightPlan);
    CduNavLegField = 3;
    EmptyLegSlot(&FmsNextLeg);
    CduPage = kCduPageNavLeg;
}

// --- HOLDING --------------------------------------------------------------

// The entry is chosen again while the hold is not being flown.
void HoldingEntryUpdate() {
    if (!HoldDefined()) return;
    const bool flown = SlotFilled(FmsToLeg) && FmsToLeg.leg_id == CduHoldLeg.leg_id;
    if (flown && LateralTurnState <= 2) return;
    GreatCircleDistanceCourse(CduHoldLeg.fix_latitude, CduHoldLeg.fix_longitude,
                              FmsPosition.latitude, FmsPosition.longitude);
    const double course =
        AngleSub360(GreatCircleDistanceCourseResult.course, CduHoldLeg.fix_variation);
    CduHoldEntry = HoldEntryType(LegInboundCourse(CduHoldLeg), course, CduHoldLeg.turn_direction);
}

const char* EntryText(int32_t entry) {
    switch (entry) {
        case 1:
            return "DRECT";
        case 2:
            return "TRDRP";
        case 3:
            return "PARLL";
        default:
            return "";
    }
}

// Right-aligned at the screen's edge.
void WriteRight(const char* text, int32_t line) {
    const int32_t n = static_cast<int32_t>(std::strlen(text));
    CduWriteText(text, kCduColumns - n, line, kGreen, kBold);
}

void HoldingLabels() {
    CduWriteText("HOLDING 1/1", 6, 0, kGreen, kBold);
    CduWriteText("FIX", 0, 1, kGreen, kLight);
    CduWriteText("INBD", 0, 3, kGreen, kLight);
    CduWriteText("DIR", 0, 5, kGreen, kLight);
    CduWriteText("TURN", 0, 7, kGreen, kLight);
    CduWriteText("TIME", 20, 1, kGreen, kLight);
    CduWriteText("DIST", 20, 3, kGreen, kLight);
    CduWriteText("ETA", 21, 5, kGreen, kLight);
    CduWriteText("ENTRY", 19, 7, kGreen, kLight);
}

void HoldingValues() {
    const LegRecord& h = CduHoldLeg;
    const std::string_view name = FieldText(h.ident);
    const int n = static_cast<int>(name.size() < 8 ? name.size() : 8);
    CduWriteText(CduFormat("%.*s", n, name.data()), 0, 2, kGreen, kBold);
    const int32_t inbound = LegInboundCourse(h);
    CduWriteText(CduFormat("%03d\xB0", inbound), 0, 4, kGreen, kBold);
    // A procedure's hold may carry any course: the reciprocal is taken in
    // a wider type.
    const int64_t outbound = ((static_cast<int64_t>(inbound) + 180) % 360 + 360) % 360;
    CduWriteText(CduFormat("%03d\xB0", static_cast<int32_t>(outbound)), 0, 6, kGreen, kBold);
    CduWriteText(h.turn_direction == 1 ? "LEFT" : "RIGHT", 0, 8, kGreen, kBold);
    const double length = LegLength(h);
    if (CduActiveField != 6) WriteRight(CduFormat("%2.1f", length * kHoldMinutesPerNm), 2);
    if (CduActiveField != 7) WriteRight(CduFormat("%3.1f", length), 4);
    HoldingEntryUpdate();
    CduWriteText(EntryText(CduHoldEntry), 19, 8, kGreen, kBold);
}

void HoldingFields() {
    CduClearFields();
    CduDefineField(1, kCduFieldText, 0, 2, 5, -1);
    CduDefineField(2, kCduFieldDigits, 0, 4, 3, -1);
    CduDefineField(3, kCduFieldDigits, 0, 6, 3, -1);
    CduDefineField(4, kCduFieldText, 0, 8, 1, -1);
    CduDefineField(6, kCduFieldDigits, 22, 2, 2, -1);
    CduDefineField(7, kCduFieldDigits, 21, 4, 3, -1);
}

void HoldingEntry(int32_t field) {
    if (!HoldDefined() && field != 1) return;
    switch (field) {
        case 1:
            if (!CduEntryEmpty()) LookupWaypoint(CduEntryText, 0, 0.0, 0.0);
            return;
        case 2:
        case 3: {
            const int32_t v = EntryBelow(361);
            if (v < 0) return;
            SetLegInboundCourse(CduHoldLeg, field == 2 ? v : (v + 180) % 360);
            CduSelectField(4);
            break;
        }
        case 4:
            if (CduEntryText[0] == 'L')
                CduHoldLeg.turn_direction = 1;
            else if (CduEntryText[0] == 'R')
                CduHoldLeg.turn_direction = 2;
            else
                return;
            CduSelectField(6);
            break;
        case 6:
        case 7: {
            // Tenths of a minute, or tenths of a nautical mile; a hold
            // needs legs of some length.
            const int32_t v = EntryBelow(1000);
            if (v <= 0) return;
            SetLegLength(CduHoldLeg, field == 6 ? v * 0.5 : v * 0.1);
            break;
        }
        default:
            return;
    }
    HoldUpdate();
    CduRedraw = 1;
}

void HoldingProceed() {
    if (!HoldDefined()) return;
    const bool inPlan = HoldFixInPlan();
    if (HoldArmed() || !inPlan || CduHoldFromDirect != 0) {
        ActivateHold();
        if (!inPlan || CduHoldFromDirect != 0) CduPage = kCduPageNav;
    } else {
        CduHoldLeg.hold_armed = kHoldArmedMark;
    }
    HoldUpdate();
    CduRedraw = 1;
}

// --- HOLD FIX -------------------------------------------------------------

void HoldFixFrom(const LegRecord& leg) {
    CduHoldLeg = leg;
    if (CduHoldLeg.leg_class != kClassHold) HoldDefaults(&CduHoldLeg);
    OpenHolding();
}

}  // namespace

void HoldDefaults(LegRecord* leg) {
    leg->list_kind = 4;
    SetFieldText(leg->path_terminator, "HM");
    leg->leg_class = kClassHold;
    SetLegInboundCourse(*leg, kHoldInboundDefault);
    leg->turn_direction = kHoldTurnRight;
    SetLegLength(*leg, kHoldLegDefaultNm);
    leg->hold_armed = 0;
    SetLegHoldFix(*leg, FieldText(leg->ident), leg->fix_latitude, leg->fix_longitude,
                  leg->fix_variation);
}

void HoldUpdate() {
    if (!HoldArmed()) return;
    if (SlotFilled(FmsToLeg) && FmsToLeg.leg_id == CduHoldLeg.leg_id) {
        FmsToLeg = CduHoldLeg;
        FmsToLeg.list_kind = kSlotFilled;
    }
    const uint32_t n = FlightPlan.count < kLegListCapacity ? FlightPlan.count : kLegListCapacity;
    for (uint32_t i = 0; i < n; ++i)
        if (FlightPlan.legs[i].leg_id == CduHoldLeg.leg_id) FlightPlan.legs[i] = CduHoldLeg;
}

void ActivateHold() {
    FmsToLeg = CduHoldLeg;
    FmsToLeg.list_kind = kSlotFilled;
    FmsFromLeg = FmsToLeg;
    SetLegName(FmsFromLeg, "(PPOS)");
    FmsFromLeg.leg_class = kClassNavLeg;
    FmsFromLeg.annotation_kind = 2;
    FmsFromLeg.list_kind = kSlotFilled;
    FmsHoldSlots = 1;
    RecomputeFlightPlan(&FlightPlan);
    EmptyLegSlot(&FmsNextLeg);
    SequenceLegs();
    RecomputeFlightPlan(&FlightPlan);
    CduNavLegField = 3;
    CduHoldLeg.hold_armed = kHoldArmedMark;
}

// --- PVOR -------------------------------------------------------------------

int32_t CduPvorDisplay() {
    CduSubPageCount = 1;
    CduClearScreen();
    if (CduPageEntered != 0) {
        CduClearFields();
        CduDefineField(1, kCduFieldText, 19, 2, 5, -1);
        CduDefineField(2, kCduFieldDigits, 20, 4, 3, -1);
        CduDefineField(3, kCduFieldDigits, 20, 6, 3, -1);
        CduDefineField(4, kCduFieldDigits, 20, 8, 3, -1);
    }
    CduWriteText("PVOR", 7, 0, kGreen, kBold);
    CduNavSubPageText(16);
    CduWriteText("WPT", 21, 1, kGreen, kBold);
    if (SlotFilled(CduPvorLeg)) {
        const std::string_view name = FieldText(CduPvorLeg.ident);
        const int n = static_cast<int>(name.size() < 5 ? name.size() : 5);
        CduWriteText(CduFormat("%.*s", n, name.data()), 19, 2, kGreen, kBold);
    } else {
        CduWriteText("-----", 19, 2, kGreen, kBold);
    }
    CduWriteText("DESIRED TRACK", 11, 3, kGreen, kBold);
    PvorValue(CduPvorMode == 0, CduPvorCourse, 4);
    CduWriteText("RADIAL", 18, 5, kGreen, kBold);
    CduWriteText("INBOUND", 12, 6, kGreen, kBold);
    PvorValue(CduPvorMode == 1, CduPvorRadial, 6);
    CduWriteText("OUTBOUND", 11, 8, kGreen, kBold);
    PvorValue(CduPvorMode == 2, CduPvorOutbound, 8);
    CduWriteText("qACCEPT", 0, 10, kWhite, kBold);
    CduWriteText("RETURNw", 17, 10, kWhite, kBold);
    return 0;
}

int32_t CduPvorKeys() {
    if (CduEvent == kCduEventEntry) {
        PvorEntry(CduEntryField);
        CduRedraw = 1;
    } else if (CduEvent == kCduEventChosen) {
        if (!CduChosenLeg(&CduPvorLeg)) return 0;
        CduPvorLeg.list_kind = kSlotFilled;
        FmsToLeg.path_type = 2;
        CduRedraw = 1;
        if (CduPvorMode < 0) CduSelectField(2);
    } else if (CduEvent == kCduEventLineSelect) {
        if (CduKey >= 6 && CduKey <= 9) {
            CduSelectField(CduKey - 5);
            CduRedraw = 1;
        } else if (CduKey == 10) {
            CduReturnToCaller();
        } else if (CduKey == 5) {
            PvorAccept();
        }
    }
    return 0;
}

// --- HOLD FIX ---------------------------------------------------------------

int32_t CduHoldFixDisplay() {
    CduSubPageCount = CduNavLegSubPages();
    CduClearScreen();
    if (CduPageEntered != 0) {
        CduClearFields();
        CduDefineField(1, kCduFieldText, 0, 4, 5, -1);
        if (CduPage != CduLastPage) CduDirectTurn = 0;
    }
    CduWriteText("HOLD FIX", 6, 0, kGreen, kBold);
    CduNavSubPageText(16);
    CduWriteText("HOLD FIX", 0, 3, kGreen, kLight);
    CduWriteText("-----", 0, 4, kWhite, kBold);
    CduNavLegList(14, 16, 17);
    CduWriteText("RETURNw", 17, 10, kWhite, kBold);
    return 0;
}

int32_t CduHoldFixKeys() {
    if (CduEvent == kCduEventEntry && CduEntryField == 1) {
        const int32_t index = CduPlanNumberEntry();
        if (index >= 0)
            HoldFixFrom(FlightPlan.legs[index]);
        else if (!CduEntryEmpty())
            LookupWaypoint(CduEntryText, 0, 0.0, 0.0);
    } else if (CduEvent == kCduEventChosen) {
        LegRecord leg{};
        if (!CduChosenLeg(&leg)) return 0;
        CduHoldLeg = leg;
        HoldDefaults(&CduHoldLeg);
        OpenHolding();
    } else if (CduEvent == kCduEventKey && CduKey == kCduKeyEnter) {
        if (SlotFilled(FmsToLeg)) HoldFixFrom(FmsToLeg);
    } else if (CduEvent == kCduEventLineSelect && CduKey == 10) {
        CduReturnToCaller();
    }
    return 0;
}

// --- HOLDING ----------------------------------------------------------------

int32_t CduHoldingDisplay() {
    CduSubPageCount = 1;
    CduClearScreen();
    if (CduPageEntered != 0) HoldingFields();
    HoldingLabels();
    CduAddHoldPicture(CduHoldLeg.turn_direction, kGreen);
    HoldingValues();
    const bool arm = HoldFixInPlan() && CduHoldFromDirect == 0 && !HoldArmed();
    CduWriteText(arm ? "qARM HOLD" : "qDTO HOLD", 0, 10, kWhite, kBold);
    CduWriteText("RETURNw", 17, 10, kWhite, kBold);
    return 0;
}

int32_t CduHoldingKeys() {
    if (CduEvent == kCduEventEntry) {
        HoldingEntry(CduEntryField);
    } else if (CduEvent == kCduEventChosen) {
        if (!CduChosenLeg(&CduHoldLeg)) return 0;
        HoldDefaults(&CduHoldLeg);
        CduSelectField(2);
        CduRedraw = 1;
    } else if (CduEvent == kCduEventLineSelect) {
        if (CduKey == 5)
            HoldingProceed();
        else if (CduKey == 10)
            CduReturnToCaller();
    }
    return 0;
}

// --- MANEUVER ---------------------------------------------------------------

int32_t CduManeuverDisplay() {
    CduSubPageCount = 1;
    CduClearScreen();
    if (CduPageEntered != 0) CduClearFields();
    CduWriteText("MANEUVER", 6, 0, kGreen, kBold);
    CduWriteText("qHOLDING DEFN", 0, 2, kWhite, kBold);
    CduWriteText("qPROCEED", 0, 4, kWhite, kBold);
    CduWriteText("qDISARM HOLD", 0, 6, kWhite, kBold);
    CduWriteText("qCONTINUE HOLD", 0, 8, kWhite, kBold);
    CduWriteText("HDGw", 20, 2, kWhite, kBold);
    CduWriteText("PVORw", 19, 4, kWhite, kBold);
    CduWriteText("SXTKw", 19, 6, kWhite, kBold);
    CduWriteText("RETURNw", 17, 10, kWhite, kBold);
    return 0;
}

int32_t CduManeuverKeys() {
    if (CduEvent != kCduEventLineSelect) return 0;
    switch (CduKey) {
        case 1:
            CduHoldFromDirect = 0;
            CduPage = kCduPageHoldFix;
            break;
        case 2:
            CduHoldArmed = 1;
            break;
        case 3:
            if (HoldFixInPlan() && HoldArmed()) {
                CduHoldLeg.hold_armed = 0;
                HoldUpdate();
            }
            break;
        case 4:
            // Continuing needs a leg to hold at.
            if (!SlotFilled(FmsToLeg)) break;
            FmsToLeg.annotation_kind = 5;
            CduHoldArmed = 0;
            CduHoldLeg = FmsToLeg;
            HoldUpdate();
            break;
        case 7:
            CduPage = kCduPagePvor;
            break;
        case 10:
            CduReturnToCaller();
            break;
        default:
            return 0;
    }
    CduRedraw = 1;
    return 0;
}

}  // namespace zu
