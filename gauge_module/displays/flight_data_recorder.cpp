#include "displays/flight_data_recorder.h"

#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "panels/fdr_switchboard.h"

namespace zu {

static_assert(kFdrCautionIndex == CautionIndex(0, 13));

void FdrUpdate() {
    CautionLightArray[kFdrCautionIndex] = 0;
    if (BusPowered.get(kPoweredLeftEssential) != 0 && BusPowered.get(kPoweredLeftMainDc) != 0 &&
        FdrPanelSwitch == 0 && NavBeaconSelector.get() == 0) {
        CautionLightArray[kFdrCautionIndex] = 255;
    }
}

}  // namespace zu
