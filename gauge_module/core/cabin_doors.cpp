#include "core/cabin_doors.h"

#include <algorithm>

#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"

namespace zu {

int32_t DoorOpenLevel = 100;

namespace {

constexpr int kPassDoorLight = CautionIndex(kWarningRow, 7);
constexpr int kBagDoorLight = CautionIndex(kWarningRow, 8);
constexpr int kServiceDoorLight = CautionIndex(kWarningRow, 12);
static_assert(kPassDoorLight == 69 && kBagDoorLight == 78 && kServiceDoorLight == 114);

}  // namespace

void DoorRampUpdate() {
    const bool may_open = OnGround != 0 && GroundSpeed <= 1 &&
                          static_cast<double>(Nh1State.nh) + Nh2State.nh <= 6.0 &&
                          NavBeaconSelector.get() == 0;
    DoorOpenLevel = may_open ? std::min(DoorOpenLevel + 10, 100) : std::max(DoorOpenLevel - 10, 0);

    const uint32_t lit = DoorOpenLevel > 50 && BusPowered.get(kPoweredLeftMainDc) != 0 ? 255u : 0u;
    CautionLightArray[kPassDoorLight] = lit;
    CautionLightArray[kBagDoorLight] = lit;
    CautionLightArray[kServiceDoorLight] = lit;
}

}  // namespace zu
