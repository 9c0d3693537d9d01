// Lateral guidance output and the nav-receiver update.
//
// FmsNavOutput (systems tick, every 4th tick while powered) writes the
// FMS1 record of NavSources from the TO leg: course, bearing, distance,
// cross-track deviation and TO/FROM. NavSourcesUpdate (host pass, every
// frame, gauge thread) smooths the VOR bearings, derives validity and time
// to station, serves the symbol generators' station requests from the
// waypoint database, maps the bearing-pointer selections to source
// indices (kept in DisplayControlState1/2) and resets receivers without
// power.
#pragma once

#include <cstdint>

namespace zu {

// Magnetic bearing from the FMS position to the TO waypoint (degrees).
extern double FmsBearingToWaypoint;
// Cross-track distance before clamping (nm; its sign drives the HSI and
// the autopilot).
extern double FmsCrossTrack;
extern double FmsTrackError;
// 1 while the TO leg's leg class is 3.
extern uint8_t FmsLnavFlag;

void FmsNavOutput();
// The output's state without FMS power: FMS1's flags cleared.
void FmsNavOutputUnpowered();
void NavSourcesUpdate();

}  // namespace zu
