#include "panels/fdr_switchboard.h"

#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "panels/panel_elements.h"

namespace zu {

uint8_t FdrPanelSwitch = 0;
int32_t FdrTestCountdown = 0;
int32_t FdrPanelMode = 1;
uint8_t SwitchboardState = 0;

namespace {

namespace oa = overhead_art;

constexpr int32_t kFdrPan = 341;

// FDR: plate (backdrop), then 0 lit plate, 1 test switch released, 2
// pressed, 3/4/5 selector at 0/1/2.
constexpr ImageSpec kFdrSpec[7] = {
    {oa::kFdrPlate, 0, 0, 0},
    {oa::kFdrPlate, 0, 0, kLitCopy},
    {oa::kToggleDown, 40, 36, kStartHidden},
    {oa::kToggleUp, 40, 36, kStartHidden},
    {oa::kToggleUp, 130, 36, kStartHidden},
    {oa::kToggleCentre, 130, 36, kStartHidden},
    {oa::kToggleDown, 130, 36, kStartHidden},
};
// Switchboard: 0 the open board, 1 the folded strip.
constexpr ImageSpec kBoardSpec[2] = {
    {oa::kBoardOpen, 0, 0, kStartHidden},
    {oa::kBoardFolded, 0, 0, 0},
};
constinit ImageChain<7> gFdr = MakeImageChain(&gFdr, kFdrSpec);
constinit ImageChain<2> gBoard = MakeImageChain(&gBoard, kBoardSpec);

double CallsignLegend(gauge::ElementHeader* element);

struct CallsignElements {
    gauge::ElementHeader plate;
    gauge::StringElement text;
    gauge::ElementHeader* next[2][2];
};
constexpr TextStyle kCallsignStyle{"Arial", 12, 0x00F0F0F0u, 0x00202020u, 1};
constinit CallsignElements gCallsign = {
    StaticImageRecord(oa::kCallsignPlate, 0, 0, 0, gCallsign.next[0]),
    TextRecord(2, 3, oa::kCallsignSize.width - 4, oa::kCallsignSize.height - 6, kCallsignStyle,
               gauge::kImageTransparent, gCallsign.next[1], CallsignLegend),
    {{&gCallsign.text.header, nullptr}, {nullptr, nullptr}}};

gauge::GaugeHeader* gFdrHeader = nullptr;
gauge::GaugeHeader* gBoardHeader = nullptr;
gauge::GaugeHeader* gCallsignHeader = nullptr;
uint8_t gFdrIsVc = 0;

// --- FDR_panel.

void FdrSpringBack() {
    if (FdrTestCountdown > 0) {
        --FdrTestCountdown;
        RedrawRequest.store(255, std::memory_order_relaxed);
    } else {
        FdrPanelSwitch = 0;
    }
}

void FdrPanelVisibility() {
    FdrSpringBack();
    gauge::ElementHeader* first = &gFdr.e[1];
    const bool lit = PanelLit(PanelLightingCircuit1.get(), gFdrIsVc);
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(FdrPanelSwitch).Add(FdrPanelMode).Add(Powered(AcBusPowered.get(3)));
    if (!VisibilityStale(memo, first, key.Key())) return;
    static constexpr int8_t kGlowing[5] = {1, 2, 3, 4, 5};
    ApplyLitBit(first, 0, kGlowing, 5, lit);
    for (int8_t k = 1; k <= 5; ++k) ShowElement(first, k, false);
    ShowElement(first, FdrPanelSwitch != 0 ? 2 : 1, true);
    int8_t selector = 5;
    if (FdrPanelMode == 0) {
        selector = 3;
    } else if (FdrPanelMode == 1 && Powered(AcBusPowered.get(3))) {
        selector = 4;
    }
    ShowElement(first, selector, true);
    VisibilityKept(memo, first, key.Key());
}

int32_t FdrTestSwitch(gauge::Point*, uint32_t) {
    FdrPanelSwitch = static_cast<uint8_t>(1 - FdrPanelSwitch);
    FdrTestCountdown = kFdrTestPasses;
    ClickAndArm(kSoundClickSwitchSmall, kFdrPan, kRefreshOverhead);
    return 0;
}

template <int32_t Mode>
int32_t FdrSelector(gauge::Point*, uint32_t) {
    FdrPanelMode = Mode;
    ClickAndArm(kSoundClickSwitchSmall, kFdrPan, kRefreshOverhead);
    return 0;
}

// --- Switchboard.

void OpenWindow(uint32_t ident) {
    auto open = PanelServiceSlot<gauge::PanelWindowService>(gauge::kSlotPanelWindowOpen);
    if (open != nullptr) open(ident);
}

void ToggleWindow(uint32_t ident) {
    auto toggle = PanelServiceSlot<gauge::PanelWindowService>(gauge::kSlotPanelWindowToggle);
    if (toggle != nullptr) toggle(ident);
}

void SwitchboardVisibility() {
    gauge::ElementHeader* first = &gBoard.e[0];
    ShowElement(first, 0, SwitchboardState == 1);
    ShowElement(first, 1, SwitchboardState != 1);
}

// Buttons 1 to 3 while folded: open the board and ask for the view.
void Unfold() {
    SwitchboardState = 1;
    SendKeyEvent(kSwitchboardViewEvent, kSwitchboardViewValue);
}

template <int Button>
int32_t SwitchboardButton(gauge::Point*, uint32_t) {
    ArmRefresh(kRefreshSwitchboard);
    if (Button == 10) {
        SwitchboardState = SwitchboardState != 0 ? 0 : 1;
        return 0;
    }
    if (SwitchboardState != 1) {
        if (Button <= 3) {
            Unfold();
        } else {
            SwitchboardState = 1;
        }
        return 0;
    }
    if (Button <= 2) {
        OpenWindow(kSwitchboardWindow);
        OpenWindow(kMainPanelWindow);
        SendKeyEvent(Button == 1 ? 0x10172u : 0x10173u, kSwitchboardEventValue);
        SendKeyEvent(kSwitchboardViewEvent, kSwitchboardViewValue);
    } else if (Button == 3) {
        OpenWindow(kMainPanelWindow);
        ToggleWindow(kSwitchboardWindow);
        SendKeyEvent(kSwitchboardViewEvent, kSwitchboardViewValue);
    } else {
        SendKeyEvent(0x10175u + static_cast<uint32_t>(Button - 4), kSwitchboardEventValue);
    }
    return 0;
}

constexpr gauge::MouseRect BoardButton(int button, gauge::MouseHandler h) {
    return MouseChild(2 + 26 * (button - 1), 4, 24, 32, kCursorHand, kClick, h);
}

// --- Call sign.

double CallsignLegend(gauge::ElementHeader* element) {
    char* out = StringBuffer(element);
    int n = 0;
    while (n < kCallsignLength && AtcCallsign[n] != '\0') {
        out[n] = AtcCallsign[n];
        ++n;
    }
    out[n] = '\0';
    return 0.0;
}

}  // namespace

void FdrPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gFdrHeader, gauge, service)) return;
    gFdrIsVc = GaugeIsVcFrom(gauge);
    const bool refresh = RefreshGroupStep(kRefreshOverhead);
    if (refresh || FdrTestCountdown != 0) FdrPanelVisibility();
}

void SwitchboardCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gBoardHeader, gauge, service)) return;
    if (RefreshGroupStep(kRefreshSwitchboard)) SwitchboardVisibility();
}

void CallsignCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceInstall || service == kServiceInitialise) gCallsignHeader = gauge;
}

gauge::ElementHeader* FDR_panelElementList[2] = {&gFdr.e[0], nullptr};
gauge::ElementHeader* SWITCHBOARD_gaugeElementList[2] = {&gBoard.e[0], nullptr};
gauge::ElementHeader* CALLSIGN_gaugeElementList[2] = {&gCallsign.plate, nullptr};

gauge::MouseRect FDR_panelMouseRect[] = {
    MouseParent(oa::kFdrSize.width, oa::kFdrSize.height),
    MouseChild(34, 32, 30, 42, kCursorHand, kClick, FdrTestSwitch),
    MouseChild(124, 32, 30, 14, kCursorHand, kClick, FdrSelector<0>),
    MouseChild(124, 46, 30, 14, kCursorHand, kClick, FdrSelector<1>),
    MouseChild(124, 60, 30, 14, kCursorHand, kClick, FdrSelector<2>),
    MouseEnd()};

gauge::MouseRect SWITCHBOARD_gaugeMouseRect[] = {
    MouseParent(oa::kBoardSize.width, oa::kBoardSize.height),
    BoardButton(1, SwitchboardButton<1>),
    BoardButton(2, SwitchboardButton<2>),
    BoardButton(3, SwitchboardButton<3>),
    BoardButton(4, SwitchboardButton<4>),
    BoardButton(5, SwitchboardButton<5>),
    BoardButton(6, SwitchboardButton<6>),
    BoardButton(7, SwitchboardButton<7>),
    BoardButton(8, SwitchboardButton<8>),
    BoardButton(9, SwitchboardButton<9>),
    BoardButton(10, SwitchboardButton<10>),
    MouseEnd()};

}  // namespace zu
