#include "displays/sg_select_panels.h"

#include <cstring>

#include "core/electrical_system.h"
#include "core/flight_guidance_annunciation.h"
#include "core/host_panel_services.h"
#include "core/nav_sources.h"
#include "instruments/gauge_framework.h"

namespace zu {

uint8_t SgTransfer[2] = {0, 0};

namespace {

constexpr int32_t kClickPan = -333;
constexpr int32_t kGroup = kRefreshEngineInstruments;

// Centred in their small boxes, in faces small enough for each word to fit.
constexpr TextStyle kLegend{"Arial", 7, 0x8C8C8C, 0, 1, 400};
constexpr TextStyle kHold{"Arial", 6, 0x00A500, 0, 1, 400};
constexpr TextStyle kOuter{"Arial", 6, 0xBEBE00, 0, 1, 400};
constexpr TextStyle kInner{"Arial", 6, 0xBEBEBE, 0, 1, 400};
constexpr TextStyle kMiddle{"Arial", 6, 0x008CD2, 0, 1, 400};

double DmeText(gauge::ElementHeader* e) {
    std::strcpy(StringBuffer(e), "DME");
    return 0.0;
}
double HoldText(gauge::ElementHeader* e) {
    std::strcpy(StringBuffer(e), "HOLD");
    return 0.0;
}
double TasText(gauge::ElementHeader* e) {
    std::strcpy(StringBuffer(e), "TAS");
    return 0.0;
}
double OuterText(gauge::ElementHeader* e) {
    std::strcpy(StringBuffer(e), "OUT");
    return 0.0;
}
double InnerText(gauge::ElementHeader* e) {
    std::strcpy(StringBuffer(e), "INN");
    return 0.0;
}
double MiddleText(gauge::ElementHeader* e) {
    std::strcpy(StringBuffer(e), "MID");
    return 0.0;
}

// One panel's chain: face, DME, HOLD, TAS, TAS lamp, OUT, INN, MID,
// transfer lamp.
struct SgSelElements {
    gauge::ElementHeader face;
    gauge::StringElement dme;
    gauge::StringElement hold;
    gauge::StringElement tas;
    gauge::IconElement tas_lamp;
    gauge::StringElement outer;
    gauge::StringElement inner;
    gauge::StringElement middle;
    gauge::IconElement transfer_lamp;
    gauge::ElementHeader* next[9][2];
};

constexpr uint32_t kHidden = gauge::kImageHidden;

constexpr SgSelElements MakeSgSelElements(SgSelElements* self) {
    SgSelElements c{};
    c.face = StaticImageRecord(kSgSelFaceLit, 0, 0, kHidden | gauge::kImageLuminous, self->next[0]);
    c.dme = TextRecord(5, 5, 18, 10, kLegend, 0, self->next[1], DmeText);
    c.hold = TextRecord(6, 14, 18, 10, kHold, kHidden, self->next[2], HoldText);
    c.tas = TextRecord(57, 5, 18, 10, kLegend, 0, self->next[3], TasText);
    c.tas_lamp = IconRecord(kSgSelTasLamp, 56, 14, kHidden, self->next[4]);
    c.outer = TextRecord(34, 7, 16, 8, kOuter, kHidden, self->next[5], OuterText);
    c.inner = TextRecord(30, 7, 16, 8, kInner, kHidden, self->next[6], InnerText);
    c.middle = TextRecord(32, 14, 16, 8, kMiddle, kHidden, self->next[7], MiddleText);
    c.transfer_lamp = IconRecord(kSgSelTransferLamp, 106, 4, kHidden, self->next[8]);
    gauge::ElementHeader* chain[9] = {
        &self->face,         &self->dme.header,      &self->hold.header,
        &self->tas.header,   &self->tas_lamp.header, &self->outer.header,
        &self->inner.header, &self->middle.header,   &self->transfer_lamp.header};
    for (int i = 0; i < 9; ++i) {
        c.next[i][0] = i + 1 < 9 ? chain[i + 1] : nullptr;
        c.next[i][1] = nullptr;
    }
    return c;
}

constinit SgSelElements gPanels[2] = {MakeSgSelElements(&gPanels[0]),
                                      MakeSgSelElements(&gPanels[1])};

gauge::GaugeHeader* gHeaders[2] = {nullptr, nullptr};
uint8_t gIsVc[2] = {0, 0};

// What differs between the sides.
NavSourceRecord& Vor(int side) {
    return NavSources[side == 0 ? kNavVor1 : kNavVor2];
}
bool DmePowered(int side) {
    return BusPowered.get(side == 0 ? kPoweredLeftMainDc : kPoweredRightMainDc) != 0;
}
bool LampPowered(int side) {
    return BusPowered.get(side == 0 ? kPoweredLeftEssential : kPoweredRightEssential) != 0;
}
bool MarkerPowered(int side) {
    return AcBusPowered.get(side == 0 ? 3 : 2) != 0;
}

int SideOf(const gauge::GaugeHeader* gauge) {
    return gauge != nullptr && gauge->name != nullptr && std::strcmp(gauge->name, "VSI2 SEL") == 0
               ? 1
               : 0;
}

void Click() {
    PlayClick(&SoundSet[kSoundClickTiny], kClickPan);
    ArmRefresh(kGroup);
}

int32_t DmeHold1(gauge::Point*, uint32_t) {
    return SgSelDmeHoldKey(0);
}
int32_t DmeHold2(gauge::Point*, uint32_t) {
    return SgSelDmeHoldKey(1);
}
int32_t Tas1(gauge::Point*, uint32_t) {
    return SgSelTasKey(0);
}
int32_t Tas2(gauge::Point*, uint32_t) {
    return SgSelTasKey(1);
}
int32_t Transfer1(gauge::Point*, uint32_t) {
    return SgSelTransferKey(0);
}
int32_t Transfer2(gauge::Point*, uint32_t) {
    return SgSelTransferKey(1);
}

}  // namespace

void SgSelVisibility(int side) {
    gauge::ElementHeader* first = &gPanels[side].face;
    // 1. Lighting.
    const bool lit = PanelLightingCircuit3.get() != 0 && gIsVc[side] == 0;
    ShowElement(first, kSgSelElemFace, lit);
    SetElementLit(first, kSgSelElemDme, lit);
    SetElementLit(first, kSgSelElemTas, lit);
    // 2. DME hold.
    ShowElement(first, kSgSelElemHold, Vor(side).computed_distance != 0);
    // 3. TAS lamp.
    ShowElement(first, kSgSelElemTasLamp, LampPowered(side) && TasDisplayCountdown[side] > 0);
    // 4. Marker legends.
    ShowElement(first, kSgSelElemOuter, false);
    ShowElement(first, kSgSelElemInner, false);
    ShowElement(first, kSgSelElemMiddle, false);
    if (MarkerPowered(side) && MarkerBeacons > 0) {
        ShowElement(first,
                    MarkerBeacons == 1   ? kSgSelElemOuter
                    : MarkerBeacons == 2 ? kSgSelElemMiddle
                                         : kSgSelElemInner,
                    true);
    }
    // 5. Transfer lamp.
    ShowElement(first, kSgSelElemTransferLamp, SgTransfer[side] != 0);
}

int32_t SgSelDmeHoldKey(int side) {
    uint8_t& hold = Vor(side).computed_distance;
    if (!DmePowered(side)) {
        hold = 0;
    } else {
        hold = hold != 0 ? 0 : 1;
        if (hold != 0) (side == 0 ? VsiSelRequest1 : VsiSelRequest2) = 1;
    }
    Click();
    return 0;
}

int32_t SgSelTasKey(int side) {
    TasDisplayRequest[side].store(1, std::memory_order_release);
    Click();
    return 0;
}

int32_t SgSelTransferKey(int side) {
    SgTransfer[side] = SgTransfer[side] != 0 ? 0 : 1;
    Click();
    return 0;
}

void SgSelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    const int side = SideOf(gauge);
    switch (service) {
        case gauge::kServiceInstall:
            gHeaders[side] = gauge;
            ArmRefresh(kGroup, RefreshHoldCount2);
            return;
        case kServiceInitialise:
            gHeaders[side] = gauge;
            return;
        case gauge::kServiceUpdate:
            break;
        default:
            return;
    }
    // 1.
    gHeaders[side] = gauge;
    gIsVc[side] = GaugeIsVcFrom(gauge);
    // 2.-3.
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    if (all || TasDisplayCountdown[side] > 0 || MarkerBeacons != 0) ArmRefresh(kGroup);
    // 4.
    if (RefreshGroupStep(kGroup)) SgSelVisibility(side);
}

gauge::ElementHeader* VSI1_SELElementList[2] = {&gPanels[0].face, nullptr};
gauge::ElementHeader* VSI2_SELElementList[2] = {&gPanels[1].face, nullptr};

gauge::MouseRect VSI1_SELMouseRect[] = {
    MouseParent(kSgSelWidth, kSgSelHeight),
    MouseChild(kSgSelButtonX[0], 0, kSgSelButtonWidth, kSgSelButtonHeight, kCursorHand, kClick,
               DmeHold1),
    MouseChild(kSgSelButtonX[1], 0, kSgSelButtonWidth, kSgSelButtonHeight, kCursorHand, kClick,
               Tas1),
    MouseChild(kSgSelButtonX[2], 0, kSgSelButtonWidth, kSgSelButtonHeight, kCursorHand, kClick,
               Transfer1),
    MouseEnd()};
gauge::MouseRect VSI2_SELMouseRect[] = {
    MouseParent(kSgSelWidth, kSgSelHeight),
    MouseChild(kSgSelButtonX[0], 0, kSgSelButtonWidth, kSgSelButtonHeight, kCursorHand, kClick,
               DmeHold2),
    MouseChild(kSgSelButtonX[1], 0, kSgSelButtonWidth, kSgSelButtonHeight, kCursorHand, kClick,
               Tas2),
    MouseChild(kSgSelButtonX[2], 0, kSgSelButtonWidth, kSgSelButtonHeight, kCursorHand, kClick,
               Transfer2),
    MouseEnd()};

}  // namespace zu
