// The flight management system's entry points (see fms_lifecycle.h).
#include "fms/fms_lifecycle.h"

#include <cstdio>

#include "core/electrical_system.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "fms/cdu_engine.h"
#include "fms/flight_plan.h"
#include "fms/fms_nav_output.h"
#include "fms/leg_geometry.h"
#include "fms/magnetic_variation.h"
#include "fms/nav_database.h"

namespace zu {

char FmsDirectoryPath[kFmsDirectoryPathSize] = "";
uint8_t FmsPowered = 1;
FmsPositionRecord FmsPosition = {0.0, 0.0};

namespace {

void BuildFmsDirectoryPath() {
    std::snprintf(FmsDirectoryPath, sizeof FmsDirectoryPath, "%sFMS\\", AircraftFolderPath);
}

// Without power the plan is lost.
void FmsPowerLoss() {
    FmsSequenceRequest = 0;
    FmsToLegIndex = -1;
    FmsLegCount = 0;
    WorkLegsA.count = 0;
    // The slots go with the plan; an empty TO slot leaves nothing to show.
    EmptyLegSlot(&FmsFromLeg);
    EmptyLegSlot(&FmsToLeg);
    EmptyLegSlot(&FmsNextLeg);
    FmsHoldSlots = 0;
    FmsKeepNext = 0;
    FmsNextLegIndex = -1;
    FmsToLegCopy = LegRecord{};
    FmsNavOutputUnpowered();
}

}  // namespace

void FmsInitialize() {
    // 1. The magnetic model's coefficients.
    MagVarFileOpen();
    // 2. The FMS folder.
    BuildFmsDirectoryPath();
    // 3. The waypoint database.
    LoadWaypointDatabase();
}

void FmsPositionFromAircraft() {
    FmsPosition.latitude = AircraftPosition.latitude;
    FmsPosition.longitude = AircraftPosition.longitude;
}

void FmsUpdate() {
    // 1. Power.
    FmsPowered = BusPowered.get(kPoweredLeftMainDc);
    // 2. Unpowered: the plan is lost and the CDU goes dark.
    if (FmsPowered == 0) {
        CduPowerLoss();
        FmsPowerLoss();
    }
    // 3. Power returns: the status page counts the warm-up down.
    if (FmsPowered != 0 && CduWarmup == 80) CduPage = kCduPageStatus;
    // 4. The CDU's pages run, powered or not.
    CduDispatchPage();
    if (FmsPowered == 0) return;
    // 5. Keys, position, active leg, lateral output and steering.
    CduProcessKeys();
    FmsPositionFromAircraft();
    UpdateActiveLeg();
    FmsNavOutput();
    FmsSteering();
}

void FmsShutdown() {
    FreeWaypointDatabase();
    MagVarFileClose();
}

}  // namespace zu
