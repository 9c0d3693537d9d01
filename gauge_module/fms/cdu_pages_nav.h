// The CDU pages with which the pilot flies the plan: NAV (the home page),
// NAV LEG, DIRECT, PVOR, HOLDING, MANEUVER and HOLD FIX. They fill the FROM,
// TO and NEXT slots of the flight plan by hand and call its operations; the
// flight plan's sequencing keeps hand-placed slots while FmsHoldSlots is set.
#pragma once

#include <cstdint>

#include "fms/nav_database.h"

namespace zu {

inline constexpr int32_t kCduPageNavLeg = 9;
inline constexpr int32_t kCduPagePvor = 11;
inline constexpr int32_t kCduPageHolding = 12;
inline constexpr int32_t kCduPageManeuver = 13;
inline constexpr int32_t kCduPageHoldFix = 15;

// The slot NAV LEG edits first: 1 FROM, 2 TO, 3 NEXT, 0 none.
extern int32_t CduNavLegField;
// Turn direction of a direct-to: 0 automatic, 1 left, 2 right.
extern int32_t CduDirectTurn;
// ENTER on DIRECT flies direct to the present (hand-placed) TO leg.
extern uint8_t CduDirectPending;

// The PVOR being defined, its mode (-1 undefined, 0 desired track,
// 1 radial, 2 outbound) and the entered radial and outbound values
// (degrees); the course to fly is CduPvorCourse.
extern LegRecord CduPvorLeg;
extern int32_t CduPvorMode;
extern int32_t CduPvorRadial;
extern int32_t CduPvorOutbound;

// The hold definition (armed mark 255 = armed), the entry last computed for
// it (1 direct, 2 teardrop, 3 parallel), and PROCEED's mark.
extern LegRecord CduHoldLeg;
extern int32_t CduHoldEntry;
extern uint8_t CduHoldArmed;
inline constexpr uint8_t kHoldArmedMark = 255;
// Set while the hold pages were opened from DIRECT.
extern uint8_t CduHoldFromDirect;

int32_t CduNavDisplay();
int32_t CduNavKeys();
int32_t CduNavLegDisplay();
int32_t CduNavLegKeys();
int32_t CduDirectDisplay();
int32_t CduDirectKeys();
int32_t CduPvorDisplay();
int32_t CduPvorKeys();
int32_t CduHoldingDisplay();
int32_t CduHoldingKeys();
int32_t CduManeuverDisplay();
int32_t CduManeuverKeys();
int32_t CduHoldFixDisplay();
int32_t CduHoldFixKeys();

// The hold's fields as a fresh hold at `leg`'s fix: right turns, inbound
// 166, 5 nm legs, not armed.
void HoldDefaults(LegRecord* leg);
// While the hold is armed: the TO slot and every plan leg that is the
// hold's leg take the definition.
void HoldUpdate();
// The hold becomes the TO leg, flown from the present position.
void ActivateHold();

// Shared by the navigation pages.
// The plan index of a complete entry that is a plan number 1..count, or -1.
int32_t CduPlanNumberEntry();
// True when the completed entry holds nothing but blanks.
bool CduEntryEmpty();
// The candidate accepted on the choice page as a leg ending at its fix;
// false (leg untouched) when there is none.
bool CduChosenLeg(LegRecord* leg);
// Plan legs eight to a sub-page on lines 2..9: number, TO mark, identifier.
void CduNavLegList(int32_t numberColumn, int32_t markColumn, int32_t identColumn);
// Sub-page count of that list.
int32_t CduNavLegSubPages();
// "n/m" of the sub-page from a column, green bold.
void CduNavSubPageText(int32_t column);

// The pages' state as at load.
void CduNavPagesReset();

}  // namespace zu
