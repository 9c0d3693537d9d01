#include "panels/pa_cvr_panels.h"

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "panels/panel_elements.h"

namespace zu {

uint8_t PaPanelSwitches[3] = {0, 0, 0};
int32_t CvrEraseCountdown = 0;

namespace {

namespace oa = overhead_art;

constexpr int32_t kCvrPan = 666;
constexpr int32_t kEraseHoldCount = 128;
// The TEST button's events: left click, repeated while held.
constexpr uint32_t kCvrTestEvents = kHeldClick;

// PA: plate (backdrop), then 0 lit plate, 1-3 the button lamps, then the
// four buttons.
constexpr ImageSpec kPaSpec[9] = {
    {oa::kPaPlate, 0, 0, 0},
    {oa::kPaPlate, 0, 0, kLitCopy},
    {oa::kPaLamp, 20, 30, kStartHidden},
    {oa::kPaLamp, 62, 30, kStartHidden},
    {oa::kPaLamp, 146, 30, kStartHidden},
    {oa::kButton, 24, 50, 0},
    {oa::kButton, 66, 50, 0},
    {oa::kButton, 150, 50, 0},
    {oa::kButton, 108, 50, 0},  // the call button (no lamp)
};
// CVR: plate (backdrop), then 0 lit plate, 1 recorder lamp, 2 erase lamp.
constexpr ImageSpec kCvrSpec[4] = {
    {oa::kCvrPlate, 0, 0, 0},
    {oa::kCvrPlate, 0, 0, kLitCopy},
    {oa::kCvrStatusLamp, 30, 40, kStartHidden},
    {oa::kCvrEraseLamp, 150, 40, kStartHidden},
};
constinit ImageChain<9> gPa = MakeImageChain(&gPa, kPaSpec);
constinit ImageChain<4> gCvr = MakeImageChain(&gCvr, kCvrSpec);

gauge::GaugeHeader* gPaHeader = nullptr;
gauge::GaugeHeader* gCvrHeader = nullptr;
uint8_t gPaIsVc = 0;
uint8_t gCvrIsVc = 0;

bool PanelBusPowered() {
    return Powered(BusPowered.get(kPoweredLeftMainDc));
}

void PaRefresh() {
    gauge::ElementHeader* first = &gPa.e[1];
    const ElementList list(first);
    ShowElement(list, 0, PanelLit(PanelLightingCircuit2.get(), gPaIsVc));
    for (int i = 0; i < 3; ++i) ShowElement(list, 1 + i, PaPanelSwitches[i] != 0);
}

void CvrRefresh() {
    gauge::ElementHeader* first = &gCvr.e[1];
    const ElementList list(first);
    ShowElement(list, 0, PanelLit(PanelLightingCircuit2.get(), gCvrIsVc));
    if (!Powered(AcBusPowered.get(3))) {
        ShowElement(list, 1, false);
        ShowElement(list, 2, false);
        return;
    }
    const bool erasing = ConsumeTrigger(&CvrEraseCountdown);
    ShowElement(list, 2, erasing);
    ShowElement(list, 1, !erasing);
}

void PlayCallChime() {
    PlayClickFromStartKeepPan(&SoundSet[kSoundCall]);
}

template <int I, int32_t Pan>
int32_t PaButton(gauge::Point*, uint32_t) {
    PlayClick(&SoundSet[kSoundClickTiny], Pan);
    PaPanelSwitches[I] = PaPanelSwitches[I] != 0 ? 0 : 1;
    if (!PanelBusPowered()) {
        PaPanelSwitches[I] = 0;
    } else if (I == 1 && PaPanelSwitches[I] == 1) {
        PlayCallChime();
    }
    ArmRefresh(kRefreshRadios);
    return 0;
}

int32_t PaCall(gauge::Point*, uint32_t) {
    if (PanelBusPowered()) PlayCallChime();
    ArmRefresh(kRefreshRadios);
    return 0;
}

int32_t CvrTest(gauge::Point*, uint32_t) {
    if (Powered(AcBusPowered.get(3)) && OnGround != 0 && CvrTestDone != 0) {
        CvrTestTimer = kCvrTestTicks;
    }
    ClickAndArm(kSoundClickTiny, kCvrPan, kRefreshRadios);
    return 0;
}

int32_t CvrErase(gauge::Point*, uint32_t) {
    ClickAndArm(kSoundClickTiny, kCvrPan, kRefreshRadios, kEraseHoldCount);
    CvrEraseCountdown = kCvrErasePasses;
    return 0;
}

template <void (*Refresh)()>
void GroupOneUpdate(gauge::GaugeHeader** keep, uint8_t* is_vc, gauge::GaugeHeader* gauge,
                    int32_t service) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(keep, gauge, service)) return;
    *is_vc = GaugeIsVcFrom(gauge);
    if (RefreshGroupStep(kRefreshRadios)) Refresh();
}

}  // namespace

void PaPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    GroupOneUpdate<PaRefresh>(&gPaHeader, &gPaIsVc, gauge, service);
}

void CvrPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    GroupOneUpdate<CvrRefresh>(&gCvrHeader, &gCvrIsVc, gauge, service);
}

gauge::ElementHeader* PA_panelElementList[2] = {&gPa.e[0], nullptr};
gauge::ElementHeader* CVR_panelElementList[2] = {&gCvr.e[0], nullptr};

gauge::MouseRect PA_panelMouseRect[] = {
    MouseParent(oa::kPaSize.width, oa::kPaSize.height),
    MouseChild(20, 28, 34, 46, kCursorHand, kClick, PaButton<0, -1365>),
    MouseChild(62, 28, 34, 46, kCursorHand, kClick, PaButton<1, 1000>),
    MouseChild(104, 28, 34, 46, kCursorHand, kClick, PaCall),
    MouseChild(146, 28, 34, 46, kCursorHand, kClick, PaButton<2, 1000>),
    MouseEnd()};

gauge::MouseRect CVR_panelMouseRect[] = {
    MouseParent(oa::kCvrSize.width, oa::kCvrSize.height),
    MouseChild(30, 36, 60, 34, kCursorHand, kCvrTestEvents, CvrTest),
    MouseChild(150, 36, 60, 34, kCursorHand, kClick, CvrErase), MouseEnd()};

}  // namespace zu
