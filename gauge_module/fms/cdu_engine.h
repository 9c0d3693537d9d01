// The control-display unit engine: the CDU's page state. The flight
// management system's database look-up switches the unit to its
// waypoint-selection page and the PPOS/PVOR legs read the PVOR course;
// the engine itself (screen, page table, dispatcher, keys) completes this.
#pragma once

#include <cstdint>

namespace zu {

// Current page, -1 = none (while the unit is unpowered).
extern int32_t CduPage;
// 0-based sub-page of the current page.
extern int32_t CduSubPage;
// Where "RETURN" and ENTER on the selection pages go back to (8 = the NAV
// page), and its sub-page (-1 = none).
extern int32_t CduReturnPage;
extern int32_t CduReturnSubPage;
// The course of a PVOR leg (degrees magnetic), kept after the plan.
extern int32_t CduPvorCourse;

// The waypoint-selection page.
inline constexpr int32_t kCduPageWaypointSelect = 4;

}  // namespace zu
