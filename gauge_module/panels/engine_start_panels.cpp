#include "panels/engine_start_panels.h"

#include "core/electrical_system.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/sound_objects.h"
#include "instruments/gauge_framework.h"

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

// Panel layout (pixels of the 191 mm gauge's own 382 x 200 space).
constexpr int32_t kWidth = 382;
constexpr int32_t kHeight = 200;

void Ignition(int engine, int32_t position) {
    (engine == 0 ? Powerplants_engine_ign1 : Powerplants_engine_ign2) = position;
    PlayClick(&SoundSet[kSoundClickSwitchSmall], kIgnitionPan);
    RefreshCountdown[0] = kPanelRefresh;
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
    EngineStartLegendShown = EngineStartRequest[0] != 0 || EngineStartRequest[1] != 0;
    EngineStartSelectShown = BusVolts.get(kRightMainBus) > 20 &&
                             (StartTimerSelecting(0) || StartTimerSelecting(1) ||
                              AnnunciatorTestSwitch.get() == 2 || EngineStartSelector != 1);
    if (EngineStartSelectShown) RefreshCountdown[0] = kPanelRefresh;
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

constexpr gauge::MouseRect Switch(int column, int row, gauge::MouseHandler handler) {
    return MouseChild(20 + column * 90, 20 + row * 50, 80, 40, kCursorHand, kClick, handler);
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

gauge::MouseRect EngineStartPanelMouseRect[12] = {
    MouseParent(kWidth, kHeight),        Switch(0, 2, IgnitionHandler<0, 0>),
    Switch(0, 1, IgnitionHandler<0, 1>), Switch(0, 0, IgnitionHandler<0, 2>),
    Switch(3, 2, IgnitionHandler<1, 0>), Switch(3, 1, IgnitionHandler<1, 1>),
    Switch(3, 0, IgnitionHandler<1, 2>), Switch(1, 2, SelectorHandler<0>),
    Switch(1, 1, SelectorHandler<1>),    Switch(1, 0, SelectorHandler<2>),
    Switch(2, 1, StartHandler),          MouseEnd(),
};

void EngineStartPanelCallback(gauge::GaugeHeader*, int32_t service, uintptr_t) {
    if (service == gauge::kServiceInstall) {
        RefreshCountdown[0] = kPanelRefresh;
    } else if (service == gauge::kServiceKill) {
        ModuleActive.store(0, std::memory_order_release);
    } else if (service == gauge::kServiceUpdate) {
        Update();
    }
}

}  // namespace zu
