#include "panels/rnav_panels.h"

#include <cstring>

#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "panels/guidance_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

uint8_t RnavFlashPhase[2] = {0, 0};

namespace {

namespace ga = guidance_art;

constexpr int32_t kKeyPan = 100;
constexpr uint32_t kLegendRed = 0x000000DC;
constexpr TextStyle kLegendStyle{"Small Fonts", 6, kLegendRed, 0, 1, 400};

enum : int32_t { kFace = 0, kLegend = 1 };

struct RnavElements {
    gauge::ElementHeader face;
    gauge::StringElement legend;
    gauge::ElementHeader* next[2][2];
};

double LegendText(gauge::ElementHeader* element) {
    std::strcpy(StringBuffer(element), "AP DISNG");
    return 0.0;
}

constexpr RnavElements MakeRnav(RnavElements* self) {
    RnavElements e{};
    const ga::Box l = ga::kRnavLegend;
    e.face = StaticImageRecord(ga::kRnavFaceLit, 0, 0, kLitCopy, self->next[0]);
    e.legend = TextRecord(l.x, l.y, l.width, l.height, kLegendStyle,
                          kStartHidden | gauge::kImageTransparent | gauge::kImageLuminous,
                          self->next[1], LegendText);
    e.next[0][0] = &self->legend.header;
    e.next[0][1] = nullptr;
    e.next[1][0] = nullptr;
    e.next[1][1] = nullptr;
    return e;
}

constinit RnavElements gRnav1 = MakeRnav(&gRnav1);
constinit RnavElements gRnav2 = MakeRnav(&gRnav2);

struct RnavSide {
    RnavElements* elements;
    const uint8_t* warning;  // the side's AP-disengage alert lamp byte
    const FgcMessageStateRecord* message;
};
const RnavSide kSides[2] = {
    {&gRnav1, &FgcFlags1[1], &FgcMessageState1},
    {&gRnav2, &FgcSide2Flags[1], &FgcMessageState2},
};

gauge::GaugeHeader* gHeaders[2] = {};
uint8_t gIsVc[2] = {};

void LampRoutine(int side) {
    const RnavSide& s = kSides[side];
    gauge::ElementHeader* first = &s.elements->face;
    ShowElement(first, kFace, PanelLit(PanelLightingCircuit4.get(), gIsVc[side]));
    const bool warning = *s.warning != 0;
    const bool flashing = warning || AnnunciatorTestSwitch.get() == 1;
    RnavFlashPhase[side] = flashing && FlashPhase() ? 1 : 0;
    ShowElement(first, kLegend,
                Powered(BusPowered.get(kPoweredLeftEssential)) && RnavFlashPhase[side] != 0);
    if (flashing) ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
}

template <int Side>
void RnavCallback(gauge::GaugeHeader* gauge, int32_t service) {
    switch (service) {
        case gauge::kServiceKill:
            PanelKill();
            return;
        case gauge::kServiceInstall:
            gHeaders[Side] = gauge;
            ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
            return;
        default:
            break;
    }
    if (!KeepHeader(&gHeaders[Side], gauge, service)) return;
    const RnavSide& s = kSides[Side];
    gIsVc[Side] = GaugeIsVcFrom(gauge);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    if (s.message->code != 0 || s.message->upper_time != 0 || *s.warning != 0 || all) {
        ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
    }
    if (RefreshGroupStep(kRefreshSelectors)) LampRoutine(Side);
}

int32_t AcknowledgeKey(gauge::Point*, uint32_t) {
    RnavRequest1.store(1, std::memory_order_release);
    RnavRequest2.store(1, std::memory_order_release);
    ClickAndArm(kSoundClickTiny, kKeyPan, kRefreshSelectors, RefreshHoldCount2);
    return 0;
}

constexpr gauge::MouseRect Key() {
    const ga::Box k = ga::kRnavKey;
    return MouseChild(k.x, k.y, k.width, k.height, kCursorHand, kClick, AcknowledgeKey);
}

}  // namespace

void Rnav1PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    RnavCallback<0>(gauge, service);
}

void Rnav2PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    RnavCallback<1>(gauge, service);
}

gauge::ElementHeader* RNAV1_PanelElementList[2] = {&gRnav1.face, nullptr};
gauge::ElementHeader* RNAV2_PanelElementList[2] = {&gRnav2.face, nullptr};

gauge::MouseRect RNAV1_PanelMouseRect[] = {MouseParent(ga::kRnavSize.width, ga::kRnavSize.height),
                                           Key(), MouseEnd()};
gauge::MouseRect RNAV2_PanelMouseRect[] = {MouseParent(ga::kRnavSize.width, ga::kRnavSize.height),
                                           Key(), MouseEnd()};

}  // namespace zu
