// The flight management system's entry points: initialisation once the
// simulator link is up (main gauge, gauge thread), the update on every
// 64 ms systems tick, and shutdown at the main gauge's kill service.
//
// A power loss (the left main DC bus, FMS power) wipes the flight plan.
#pragma once

#include <cstdint>

namespace zu {

// The aircraft folder followed by "FMS\": the folder of the FMS files.
inline constexpr int kFmsDirectoryPathSize = 272;
extern char FmsDirectoryPath[kFmsDirectoryPathSize];

// Copy of the FMS bus-powered byte, taken on every tick (1 at start).
extern uint8_t FmsPowered;

// Position of the FMS (degrees), copied from the aircraft on every powered
// tick; all FMS distances and proximities use it.
struct FmsPositionRecord {
    double latitude;
    double longitude;
};
extern FmsPositionRecord FmsPosition;

void FmsInitialize();
void FmsUpdate();
void FmsShutdown();
void FmsPositionFromAircraft();

}  // namespace zu
