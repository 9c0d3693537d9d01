#include "instruments/master_lights.h"

#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/host_panel_services.h"
#include "core/powerplant.h"
#include "core/systems_tick.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/side_panels.h"

namespace zu {

int32_t FireWarningShown = 0;

namespace {

namespace oa = overhead_art;

constexpr int16_t kLampInset = 4;

// Housing with the dark lamp, then 0 the lit lamp (starts hidden).
template <uint32_t Housing, uint32_t Lamp>
struct MasterArt {
    static constexpr ImageSpec spec[2] = {
        {Housing, 0, 0, 0},
        {Lamp, kLampInset, kLampInset, kStartHidden},
    };
};

constinit ImageChain<2> gFire =
    MakeImageChain(&gFire, MasterArt<oa::kFireHousing, oa::kFireLamp>::spec);
constinit ImageChain<2> gCaution =
    MakeImageChain(&gCaution, MasterArt<oa::kMasterCautionHousing, oa::kMasterCautionLamp>::spec);
constinit ImageChain<2> gWarning =
    MakeImageChain(&gWarning, MasterArt<oa::kMasterWarningHousing, oa::kMasterWarningLamp>::spec);

// Plate (backdrop), then 0 lit plate, 1 and 2 the engine lamps.
constexpr ImageSpec kPropGroundSpec[4] = {
    {oa::kPropGroundPlate, 0, 0, 0},
    {oa::kPropGroundPlate, 0, 0, kLitCopy},
    {oa::kPropGroundLamp, 4, 16, kStartHidden},
    {oa::kPropGroundLamp, 30, 16, kStartHidden},
};
constinit ImageChain<4> gPropGround = MakeImageChain(&gPropGround, kPropGroundSpec);

gauge::GaugeHeader* gFireHeader = nullptr;
gauge::GaugeHeader* gCautionHeader = nullptr;
gauge::GaugeHeader* gWarningHeader = nullptr;
gauge::GaugeHeader* gPropGroundHeader = nullptr;
uint8_t gPropGroundIsVc = 0;

gauge::ElementHeader* Lamp(ImageChain<2>& chain) {
    return &chain.e[1];
}

bool AnnunciatorPowered() {
    return Powered(BusPowered.get(kPoweredRightEssential));
}

// Master caution or warning visibility: the flash phase while the lamp
// test is on or the alert stands, published for the caution panels.
void MasterLampVisibility(ImageChain<2>& chain, EU8 flag, EU8 flash_out) {
    const bool flashing = AnnunciatorTestSwitch.get() == 1 || flag.get() != 0;
    const uint8_t flash =
        flashing ? static_cast<uint8_t>(TickCounter.load(std::memory_order_relaxed) & 2u) : 0;
    flash_out.set(flash);
    if (AnnunciatorPowered() && flash != 0) {
        ShowElement(Lamp(chain), 0, true);
        ArmRefresh(kRefreshSelectors);
    } else {
        ShowElement(Lamp(chain), 0, false);
    }
}

void MasterLampUpdate(ImageChain<2>& chain, EU8 flag, EU8 flash_out) {
    if (ConsumeElectricalChange()) ArmRefresh(kRefreshSelectors);
    if (RefreshGroupStep(kRefreshSelectors)) MasterLampVisibility(chain, flag, flash_out);
}

int32_t FireLampClick(gauge::Point*, uint32_t) {
    FireWarningAck = 1;
    PlayClick(&SoundSet[kSoundClickTiny], 1233);
    return 0;
}

int32_t CautionLampClick(gauge::Point*, uint32_t) {
    MasterCautionAck.set(1);
    PlayClick(&SoundSet[kSoundClickTiny], 900);
    return 0;
}

int32_t WarningLampClick(gauge::Point*, uint32_t) {
    MasterWarningAck.set(1);
    PlayClick(&SoundSet[kSoundClickTiny], 666);
    return 0;
}

bool InGroundRange(int engine) {
    const int32_t lever = PowerLeverPosition[engine];
    return OnGround != 0 ? lever < kGroundRangeOnGround : lever < kGroundRangeAirborne;
}

}  // namespace

bool PropGroundLampShown(int engine) {
    bool shown = false;
    if (Powered(BusPowered.get(kPoweredLeftEssential))) {
        const int32_t position = PropGroundSwitch[engine];
        if (InGroundRange(engine)) {
            shown = position != -1 || PilotPanelBlink != 0;
        } else {
            shown = position == 1;
        }
    }
    if (RemoteDisplayCountdown.load(std::memory_order_acquire) > 0 &&
        InstructorDisplayValues.prop_ground_lamp[engine] != 0) {
        shown = true;
    }
    return shown;
}

void MasterFireWarningCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gFireHeader, gauge, service)) return;
    const bool changed = ConsumeElectricalChange();
    if (FireWarningActive != FireWarningShown || changed) {
        ArmRefresh(kRefreshSelectors);
        FireWarningShown = FireWarningActive;
    }
    if (RefreshGroupStep(kRefreshSelectors)) {
        ShowElement(Lamp(gFire), 0,
                    AnnunciatorPowered() && FireWarningAck == 0 && FireWarningActive != 0);
    }
}

void MasterCautionCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gCautionHeader, gauge, service)) return;
    MasterLampUpdate(gCaution, MasterCautionFlag, MasterCautionFlash);
}

void MasterWarningCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gWarningHeader, gauge, service)) return;
    MasterLampUpdate(gWarning, MasterWarningFlag, MasterWarningFlash);
}

void PropGroundCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gPropGroundHeader, gauge, service)) return;
    gauge::ElementHeader* first = &gPropGround.e[1];
    const ElementList list(first);
    if (ConsumeElectricalChange()) ArmRefresh(kRefreshSelectors);
    if (RefreshGroupStep(kRefreshSelectors)) {
        // The lit background shows only in the virtual-cockpit instance: the
        // 2D panel's bitmap carries its own lighting.
        ShowElement(list, 0, PanelLightingCircuit4.get() != 0 && gPropGroundIsVc != 0);
    }
    for (int engine = 0; engine < 2; ++engine) {
        ShowElement(list, 1 + engine, PropGroundLampShown(engine));
    }
    gPropGroundIsVc = GaugeIsVcFrom(gauge);
}

gauge::ElementHeader* Master_Fire_WarningElementList[2] = {&gFire.e[0], nullptr};
gauge::ElementHeader* Master_Caution_LightElementList[2] = {&gCaution.e[0], nullptr};
gauge::ElementHeader* Master_Warning_LightElementList[2] = {&gWarning.e[0], nullptr};
gauge::ElementHeader* Prop_GroundElementList[2] = {&gPropGround.e[0], nullptr};

gauge::MouseRect Master_Fire_WarningMouseRect[] = {
    MouseParent(oa::kMasterSize.width, oa::kMasterSize.height),
    MouseChild(0, 0, oa::kMasterSize.width, oa::kMasterSize.height, kCursorHand, kClick,
               FireLampClick),
    MouseEnd()};
gauge::MouseRect Master_Caution_LightMouseRect[] = {
    MouseParent(oa::kMasterSize.width, oa::kMasterSize.height),
    MouseChild(0, 0, oa::kMasterSize.width, oa::kMasterSize.height, kCursorHand, kClick,
               CautionLampClick),
    MouseEnd()};
gauge::MouseRect Master_Warning_LightMouseRect[] = {
    MouseParent(oa::kMasterSize.width, oa::kMasterSize.height),
    MouseChild(0, 0, oa::kMasterSize.width, oa::kMasterSize.height, kCursorHand, kClick,
               WarningLampClick),
    MouseEnd()};

}  // namespace zu
