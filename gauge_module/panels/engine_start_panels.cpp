#include "panels/engine_start_panels.h"

#include "core/electrical_system.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/sound_objects.h"
#include "instruments/gauge_framework.h"
#include "panels/engine_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

int32_t EngineStartSelector = 1;
uint8_t EngineStartLegendShown = 0;
uint8_t EngineStartSelectShown = 0;

namespace {

constexpr int32_t kSpringReturnCount = 8;
constexpr int32_t kPanelRefresh = 300;
constexpr int32_t kIgnitionPan = 233;
constexpr int32_t kSelectorPan = 566;
constexpr int32_t kSpringBackPan = 3000;

namespace ep = engine_panels_art;

// Layout in design pixels.
constexpr int32_t kWidth = ep::kStartPanelSize.width;
constexpr int32_t kHeight = ep::kStartPanelSize.height;
constexpr int16_t kIgnitionX[2] = {16, 157};
constexpr int16_t kToggleY = 44;
constexpr int16_t kSelectorX = 62;
constexpr int16_t kSelectorY = 42;
constexpr int16_t kButtonX = 116;
constexpr int16_t kButtonY = 42;

// Elements: 0 the plate, 1 its lit copy, 2-19 the switch images (each
// switch: unlit images of positions 0, 2, 1, then their lit copies), 20 the
// SELECT legend, 21 the START legend.
constexpr ImageSpec Image(uint32_t id, int16_t x, int16_t y, bool lit) {
    return {id, x, y, lit ? kLitCopy : kStartHidden};
}
constexpr ImageSpec kStartSpec[20] = {
    {ep::kStartPlate, 0, 0, 0},
    {ep::kStartPlate, 0, 0, kLitCopy},
    Image(ep::kIgnitionDown, kIgnitionX[0], kToggleY, false),
    Image(ep::kIgnitionUp, kIgnitionX[0], kToggleY, false),
    Image(ep::kIgnitionCentre, kIgnitionX[0], kToggleY, false),
    Image(ep::kIgnitionDown, kIgnitionX[0], kToggleY, true),
    Image(ep::kIgnitionUp, kIgnitionX[0], kToggleY, true),
    Image(ep::kIgnitionCentre, kIgnitionX[0], kToggleY, true),
    Image(ep::kIgnitionDown, kIgnitionX[1], kToggleY, false),
    Image(ep::kIgnitionUp, kIgnitionX[1], kToggleY, false),
    Image(ep::kIgnitionCentre, kIgnitionX[1], kToggleY, false),
    Image(ep::kIgnitionDown, kIgnitionX[1], kToggleY, true),
    Image(ep::kIgnitionUp, kIgnitionX[1], kToggleY, true),
    Image(ep::kIgnitionCentre, kIgnitionX[1], kToggleY, true),
    Image(ep::kSelectorLeft, kSelectorX, kSelectorY, false),
    Image(ep::kSelectorRight, kSelectorX, kSelectorY, false),
    Image(ep::kSelectorUp, kSelectorX, kSelectorY, false),
    Image(ep::kSelectorLeft, kSelectorX, kSelectorY, true),
    Image(ep::kSelectorRight, kSelectorX, kSelectorY, true),
    Image(ep::kSelectorUp, kSelectorX, kSelectorY, true),
};
// Element of each switch's position (unlit; the lit copy is 3 further on).
constexpr int8_t kPositionElement[3][3] = {{2, 4, 3}, {8, 10, 9}, {14, 16, 15}};

double SelectLegend(gauge::ElementHeader* element);
double StartLegend(gauge::ElementHeader* element) {
    CopyText(StringBuffer(element), kStringBufferSize, "START");
    return 0.0;
}

struct StartPanelElements {
    ImageChain<20> images;
    gauge::StringElement select;
    gauge::StringElement start;
    gauge::ElementHeader* next[2][2];
};
constexpr TextStyle kSelectStyle{"Arial", 9, 0x0040D0FFu, 0x00000000u, 1};
constexpr TextStyle kStartStyle{"Arial", 9, 0x0040D040u, 0x00000000u, 1};
constexpr StartPanelElements MakeStartPanel(StartPanelElements* self) {
    StartPanelElements p{};
    p.images = MakeImageChain(&self->images, kStartSpec, &self->select.header);
    p.select =
        TextRecord(kSelectorX - 6, 84, 46, 12, kSelectStyle,
                   gauge::kImageTransparent | gauge::kImageLuminous, self->next[0], SelectLegend);
    p.start = TextRecord(kButtonX + 3, kButtonY + 9, 28, 12, kStartStyle,
                         gauge::kImageHidden | gauge::kImageTransparent | gauge::kImageLuminous,
                         self->next[1], StartLegend);
    p.next[0][0] = &self->start.header;
    p.next[1][0] = nullptr;
    return p;
}
constinit StartPanelElements gStart = MakeStartPanel(&gStart);
gauge::GaugeHeader* gStartHeader = nullptr;
uint8_t gStartIsVc = 0;

gauge::ElementHeader* First() {
    return &gStart.images.e[0];
}

void ShowSwitch(int sw, int32_t position, bool lit) {
    gauge::ElementHeader* first = First();
    for (int p = 0; p < 3; ++p) {
        const int8_t unlit = kPositionElement[sw][p];
        ShowElement(first, unlit, !lit && p == position);
        ShowElement(first, unlit + 3, lit && p == position);
    }
}

// The lit plate is never shown in the virtual cockpit; the switches show
// their lit images there too.
VisibilityMemo gStartMemo;

void ShowImages() {
    const bool lit = PanelLightingCircuit1.get() != 0;
    RepaintKeyBuilder key;
    key.Add(lit).Add(gStartIsVc).Add(Powerplants_engine_ign1).Add(Powerplants_engine_ign2);
    key.Add(EngineStartSelector);
    if (!VisibilityStale(gStartMemo, First(), key.Key())) return;
    ShowElement(First(), 1, PanelLit(PanelLightingCircuit1.get(), gStartIsVc));
    ShowSwitch(0, Powerplants_engine_ign1, lit);
    ShowSwitch(1, Powerplants_engine_ign2, lit);
    ShowSwitch(2, EngineStartSelector, lit);
    VisibilityKept(gStartMemo, First(), key.Key());
}

void Ignition(int engine, int32_t position) {
    (engine == 0 ? Powerplants_engine_ign1 : Powerplants_engine_ign2) = position;
    PlayClick(&SoundSet[kSoundClickSwitchSmall], kIgnitionPan);
    ShowImages();
}

template <int Engine, int Position>
int32_t IgnitionHandler(gauge::Point*, uint32_t) {
    Ignition(Engine, Position);
    return 0;
}

template <int Position>
int32_t SelectorHandler(gauge::Point*, uint32_t) {
    EngineStartSelector = Position;
    PlayClick(&SoundSet[kSoundClickSwitchLarge], kSelectorPan);
    RefreshCountdown[0] = kPanelRefresh;
    return 0;
}

int32_t StartHandler(gauge::Point*, uint32_t) {
    EngineStartButton();
    return 0;
}

// The start selector springs back to off once the spring-return count has
// run while no start is in progress.
void StartSelectorStep() {
    if (SystemTimers.EngineStartReturn > 0) {
        --SystemTimers.EngineStartReturn;
        RedrawRequest.store(255, std::memory_order_release);
        if (EngineStartRequest[0] == 0 && EngineStartRequest[1] == 0) {
            PlayClick(&SoundSet[kSoundClickSwitchLarge], kSpringBackPan);
            EngineStartSelector = 1;
            RefreshCountdown[0] = kPanelRefresh;
        }
    }
}

bool StartTimerSelecting(int e) {
    const int32_t t = SystemTimers.EngineStartTimer[e];
    return t >= 329 && t <= 399;
}

void Refresh() {
    StartSelectorStep();
    ShowImages();
    EngineStartLegendShown = EngineStartRequest[0] != 0 || EngineStartRequest[1] != 0;
    ShowElement(First(), 21, EngineStartLegendShown != 0);
}

// The SELECT legend runs while the panel refreshes (and keeps it refreshing
// while it shows).
double SelectLegend(gauge::ElementHeader* element) {
    if (RefreshCountdown[0] <= 0) return 0.0;
    --RefreshCountdown[0];
    RedrawRequest.store(255, std::memory_order_release);
    EngineStartSelectShown = BusVolts.get(kRightMainBus) > 20 &&
                             (StartTimerSelecting(0) || StartTimerSelecting(1) ||
                              AnnunciatorTestSwitch.get() == 2 || EngineStartSelector != 1);
    if (EngineStartSelectShown) RefreshCountdown[0] = kPanelRefresh;
    CopyText(StringBuffer(element), kStringBufferSize, EngineStartSelectShown ? "SELECT" : "");
    return 0.0;
}

void Update() {
    if (SystemTimers.EngineStartReturn > 0) {
        --SystemTimers.EngineStartReturn;
        RedrawRequest.store(255, std::memory_order_release);
        RefreshCountdown[0] = kPanelRefresh;
    }
    if (RefreshCountdown[kRefreshGroups - 1] > 0) {
        --RefreshCountdown[kRefreshGroups - 1];
        RedrawRequest.store(255, std::memory_order_release);
        RefreshCountdown[0] = kPanelRefresh;
    }
    if (RefreshCountdown[0] > 0) {
        --RefreshCountdown[0];
        RedrawRequest.store(255, std::memory_order_release);
        Refresh();
    }
}

// A third of a toggle (row 0 top) or of the selector knob (column 0 left).
constexpr uint32_t kRowCursor[3] = {kCursorIncrease, kCursorHand, kCursorDecrease};
constexpr gauge::MouseRect ToggleThird(int engine, int row, gauge::MouseHandler handler) {
    return MouseChild(kIgnitionX[engine] - 4, kToggleY + row * 12, ep::kToggleSize.width + 8, 12,
                      kRowCursor[row], kClick, handler);
}
constexpr gauge::MouseRect SelectorThird(int column, gauge::MouseHandler handler) {
    return MouseChild(kSelectorX - 4 + column * 14, kSelectorY, 14, ep::kSelectorSize.height,
                      kCursorIncrease, kClick, handler);
}

}  // namespace

void EngineStartButton() {
    if (BusPowered.get(kPoweredRightMainDc) == 0) return;
    if (EngineStartSelector == 0) {
        EngineStartRequest[0] = 1;
    } else if (EngineStartSelector == 2) {
        EngineStartRequest[1] = 1;
    } else {
        return;
    }
    SystemTimers.EngineStartReturn = kSpringReturnCount;
    RefreshCountdown[0] = kPanelRefresh;
}

gauge::ElementHeader* EngineStartPanelElementList[2] = {&gStart.images.e[0], nullptr};

gauge::MouseRect EngineStartPanelMouseRect[12] = {
    MouseParent(kWidth, kHeight),
    ToggleThird(0, 2, IgnitionHandler<0, 0>),
    ToggleThird(0, 1, IgnitionHandler<0, 1>),
    ToggleThird(0, 0, IgnitionHandler<0, 2>),
    ToggleThird(1, 2, IgnitionHandler<1, 0>),
    ToggleThird(1, 1, IgnitionHandler<1, 1>),
    ToggleThird(1, 0, IgnitionHandler<1, 2>),
    SelectorThird(0, SelectorHandler<0>),
    SelectorThird(1, SelectorHandler<1>),
    SelectorThird(2, SelectorHandler<2>),
    MouseChild(kButtonX, kButtonY, 34, 30, kCursorIncrease, kClick, StartHandler),
    MouseEnd(),
};

void EngineStartPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceInstall) {
        gStartHeader = gauge;
        RefreshCountdown[0] = kPanelRefresh;
    } else if (service == kServiceInitialise) {
        gStartHeader = gauge;
    } else if (service == gauge::kServiceKill) {
        ModuleActive.store(0, std::memory_order_release);
    } else if (service == gauge::kServiceUpdate) {
        gStartHeader = gauge;
        gStartIsVc = GaugeIsVcFrom(gauge);
        Update();
    }
}

}  // namespace zu
