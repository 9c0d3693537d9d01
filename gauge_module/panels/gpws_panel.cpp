#include "panels/gpws_panel.h"

#include "core/electrical_system.h"
#include "core/radio_altitude_alerting.h"
#include "panels/guidance_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

namespace {

namespace ga = guidance_art;

constexpr int32_t kButtonPan = 0;

enum : int32_t { kFace = 0, kWarningLamp = 1, kGlideslopeLamp = 2 };

constexpr ImageSpec kGpwsSpec[3] = {
    {ga::kGpwsFaceLit, 0, 0, kLitCopy},
    {ga::kGpwsWarningLamp, ga::kGpwsWarningBox.x, ga::kGpwsWarningBox.y, kLitCopy},
    {ga::kGpwsGlideslopeLamp, ga::kGpwsGlideslopeBox.x, ga::kGpwsGlideslopeBox.y, kLitCopy},
};
constinit ImageChain<3> gGpws = MakeImageChain(&gGpws, kGpwsSpec);

gauge::GaugeHeader* gGpwsHeader = nullptr;
uint8_t gGpwsIsVc = 0;

void LampRoutine() {
    gauge::ElementHeader* first = &gGpws.e[0];
    const ElementList list(first);
    ShowElement(list, kFace, PanelLit(PanelLightingCircuit4.get(), gGpwsIsVc));
    const bool warning = GpwsAlertFlag != 0;
    const bool glideslope = GpwsPanelState[0] != 0;
    ShowElement(list, kWarningLamp, warning);
    ShowElement(list, kGlideslopeLamp, glideslope);
    if (warning || glideslope) ArmRefresh(kRefreshSelectors);
}

int32_t TestButton(gauge::Point*, uint32_t) {
    GpwsFlags[0] = 1;
    ClickAndArm(kSoundClickTiny, kButtonPan, kRefreshSelectors);
    return 0;
}

int32_t GlideslopeCancel(gauge::Point*, uint32_t) {
    GpwsPanelState[1] = 1;
    ClickAndArm(kSoundClickTiny, kButtonPan, kRefreshSelectors);
    return 0;
}

}  // namespace

void GpwsPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gGpwsHeader, gauge, service)) return;
    gGpwsIsVc = GaugeIsVcFrom(gauge);
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
        ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
    }
    const bool running = RefreshGroupStep(kRefreshSelectors);
    if (running || GpwsAlertFlag != 0 || GpwsPanelState[0] != 0) LampRoutine();
}

gauge::ElementHeader* GPWS_PanelElementList[2] = {&gGpws.e[0], nullptr};

gauge::MouseRect GPWS_PanelMouseRect[] = {
    MouseParent(ga::kGpwsSize.width, ga::kGpwsSize.height),
    MouseChild(1, 1, 38, 20, kCursorHand, kClick, TestButton),
    MouseChild(4, 28, 30, 17, kCursorHand, kClick, GlideslopeCancel), MouseEnd()};

}  // namespace zu
