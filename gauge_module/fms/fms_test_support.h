// Shared by the FMS unit tests: a temporary FMS folder that the module's
// FmsDirectoryPath points at, files of chosen records written with the
// navigation-data generator's library, and a clean flight-management state.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/host_panel_services.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/leg_geometry.h"
#include "fms/magnetic_variation.h"
#include "fms/nav_database.h"
#include "navdb.h"
#include "zu/platform/paths.h"

namespace zu::fms_test {

class FmsFolder {
  public:
    FmsFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zu_fms_XXXXXX").string();
        char* made = ::mkdtemp(tmpl.data());
        path_ = made != nullptr ? std::filesystem::path(made) : std::filesystem::path(tmpl);
        const std::string windows = platform::FromHostPath(path_.string()) + "\\";
        windows.copy(FmsDirectoryPath, sizeof FmsDirectoryPath - 1);
        FmsDirectoryPath[std::min(windows.size(), sizeof FmsDirectoryPath - 1)] = '\0';
    }
    ~FmsFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
        FmsDirectoryPath[0] = '\0';
    }
    FmsFolder(const FmsFolder&) = delete;
    FmsFolder& operator=(const FmsFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const char* name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// The plan, the slots and the geometry state as at load.
inline void ResetFlightManagement() {
    FreeWaypointDatabase();
    FlightPlan.count = 0;
    WorkLegsA.count = WorkLegsB.count = WorkLegsC.count = 0;
    FmsFromLeg = FmsToLeg = FmsNextLeg = FmsToLegCopy = LegRecord{};
    FmsToLegIndex = FmsNextLegIndex = -1;
    FmsSequenceRequest = FmsHoldSlots = FmsKeepNext = 0;
    FmsLastLegCount = 999;
    LateralTurnState = 0;
    HoldRecompute = 0;
    NavHeading = 0.0;
    FmsPosition = {0.0, 0.0};
    ProcedureQueryCache = ProcedureQueryCacheRecord{};
    MagVarFileClose();
}

// A TF leg to a fix, as a database waypoint becomes one.
inline LegRecord FixLeg(const char* ident, double lat, double lon) {
    LegRecord l{};
    const WaypointRecord w = navdb::MakeWaypoint('I', ident, "LI", lat, lon);
    WaypointToLeg(w, &l);
    l.end_latitude = lat;
    l.end_longitude = lon;
    return l;
}

}  // namespace zu::fms_test
