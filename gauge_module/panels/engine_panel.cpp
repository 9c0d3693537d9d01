#include "panels/engine_panel.h"

#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/sound_objects.h"
#include "instruments/gauge_framework.h"
#include "panels/engine_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

uint8_t PowerLeverSoundLatch = 0;

namespace {

namespace ep = engine_panels_art;

constexpr uint32_t kEvtConditionLever1 = 0x10185;
constexpr uint32_t kEvtConditionLever2 = 0x10186;
constexpr uint32_t kEvtPowerLever1 = 0x1011E;
constexpr uint32_t kEvtPowerLever2 = 0x1011F;
constexpr int32_t kDisconnectPan = 1365;
constexpr int32_t kGateLimit = 14500;
constexpr int32_t kSoundUpPosition = 9001;
constexpr int32_t kSoundDownPosition = 8400;

// Slider travel: lever positions along their slots (design pixels).
constexpr int16_t kSlotBottom = 210;
constexpr double kPowerTravel = -186.0 / 24000.0;      // per unit of PowerLeverPosition
constexpr double kConditionTravel = -186.0 / 21336.0;  // per unit of PowerLeverValue
constexpr int16_t kConditionZero = 207;  // the slot bottom less -336 (cut-off) of travel
constexpr int16_t kPowerX[2] = {20, 52};
constexpr int16_t kConditionX[2] = {102, 128};
constexpr int16_t kGateY = 226;
constexpr int16_t kGateTravel = -130;  // locked: across the power levers at y 96

double PowerLever2(gauge::ElementHeader*) {
    return PowerLeverPosition[1];
}
double ConditionLever1(gauge::ElementHeader*) {
    return PowerLeverValue[0];
}
double ConditionLever2(gauge::ElementHeader*) {
    return PowerLeverValue[1];
}
double Gate(gauge::ElementHeader*) {
    return Powerplants_controls_throttle_limiter;
}
double Brake(gauge::ElementHeader*) {
    return ParkingBrake;
}
double Trim(gauge::ElementHeader*) {
    return ElevatorTrimInput * 0.0001;
}
double Zero(gauge::ElementHeader*) {
    return 0.0;
}

constexpr gauge::SliderElement Slider(uint32_t resource, int32_t x, int32_t y,
                                      gauge::ElementHeader** next, gauge::ElementCallback x_value,
                                      double x_scale, gauge::ElementCallback y_value,
                                      double y_scale) {
    return {{gauge::ElementType::Slider, resource, {x, y}, 0, next, 0, 0.0, x_value},
            y_value,
            x_scale,
            y_scale,
            0.0,
            0.0};
}

struct EnginePanelElements {
    gauge::ElementHeader plate;
    gauge::ElementHeader disconnect;
    gauge::ElementHeader lit;
    gauge::SliderElement slider[8];
    gauge::ElementHeader* next[11][2];
};

constexpr EnginePanelElements MakeEnginePanel(EnginePanelElements* self) {
    EnginePanelElements p{};
    p.plate = StaticImageRecord(ep::kQuadrantPlate, 0, 0, 0, self->next[0]);
    p.disconnect = StaticImageRecord(ep::kDisconnectButton, 92, 232, 0, self->next[1]);
    p.lit = StaticImageRecord(ep::kQuadrantLit, 0, 0, kLitCopy, self->next[2]);
    const int16_t knob_half = ep::kLeverKnobSize.height / 2;
    p.slider[0] = Slider(ep::kPowerKnob, kPowerX[0], kSlotBottom - knob_half, self->next[3], Zero,
                         0.0, EnginePanelPowerLever1, kPowerTravel);
    p.slider[1] = Slider(ep::kPowerKnob, kPowerX[1], kSlotBottom - knob_half, self->next[4], Zero,
                         0.0, PowerLever2, kPowerTravel);
    p.slider[2] = Slider(ep::kConditionKnob, kConditionX[0], kConditionZero - knob_half,
                         self->next[5], Zero, 0.0, ConditionLever1, kConditionTravel);
    p.slider[3] = Slider(ep::kConditionKnob, kConditionX[1], kConditionZero - knob_half,
                         self->next[6], Zero, 0.0, ConditionLever2, kConditionTravel);
    p.slider[4] = Slider(ep::kGate, 14, kGateY, self->next[7], Zero, 0.0, Gate, kGateTravel);
    p.slider[5] =
        Slider(ep::kBrakeHandle, 36, 244, self->next[8], Brake, 20.0 / 32767.0, Zero, 0.0);
    p.slider[6] =
        Slider(ep::kFlapKnob, 168, 20, self->next[9], EnginePanelFlapX, 1.0, EnginePanelFlapY, 1.0);
    p.slider[7] = Slider(ep::kTrimPointer, 145, 241, self->next[10], Trim, 10.0, Zero, 0.0);
    p.next[0][0] = &self->disconnect;
    p.next[1][0] = &self->lit;
    p.next[2][0] = &self->slider[0].header;
    for (int i = 0; i < 7; ++i) p.next[3 + i][0] = &self->slider[i + 1].header;
    p.next[10][0] = nullptr;
    return p;
}

constinit EnginePanelElements gPanel = MakeEnginePanel(&gPanel);
gauge::GaugeHeader* gPanelHeader = nullptr;

// Lit markings and the lit bit of the eight sliders follow the engine-panel
// lighting flag.
void LightingStep() {
    gauge::ElementHeader* first = &gPanel.lit;
    static constexpr int8_t kGlowing[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ApplyLitBit(first, 0, kGlowing, 8, EnginePanelLighting.get() != 0);
}

void Lever(int engine, int32_t value, uint32_t event, int32_t event_value) {
    PowerLeverValue[engine] = value;
    SendKeyEvent(event, static_cast<uint32_t>(event_value));
}

template <int Engine, bool High>
int32_t ConditionLeverHandler(gauge::Point*, uint32_t) {
    Lever(Engine, High ? 3000 : 0, Engine == 0 ? kEvtConditionLever1 : kEvtConditionLever2,
          High ? -3200 : -4096);
    return 0;
}

template <int Engine, bool High>
int32_t PowerLeverHandler(gauge::Point*, uint32_t) {
    SendKeyEvent(Engine == 0 ? kEvtPowerLever1 : kEvtPowerLever2, High ? 7750u : 3000u);
    return 0;
}

int32_t GateLockHandler(gauge::Point*, uint32_t) {
    ThrottleGateLock();
    return 0;
}

int32_t GateUnlockHandler(gauge::Point*, uint32_t) {
    ThrottleGateUnlock();
    return 0;
}

int32_t DisconnectHandler(gauge::Point*, uint32_t) {
    PlayClick(&SoundSet[kSoundClickTiny], kDisconnectPan);
    ApDisconnectRequest = 1;
    return 0;
}

// The lever and gate sounds keep the pan their buffers have.
void PlayUnpanned(SoundSetIndex sound) {
    SoundObject* object = &SoundSet[sound];
    if (object->buffer == nullptr || RestoreSoundBuffer(object) < 0) return;
    platform::SoundBufferPlay(object->buffer, 0, 0, 0);
}

}  // namespace

// Power lever 1 also plays the lever sounds as it passes their positions.
double EnginePanelPowerLever1(gauge::ElementHeader*) {
    const int32_t position = PowerLeverPosition[0];
    if (PowerLeverSoundLatch == 0 && position >= kSoundUpPosition) {
        PlayUnpanned(kSoundPlsUp);
        PowerLeverSoundLatch = 1;
    } else if (PowerLeverSoundLatch == 1 && position < kSoundDownPosition) {
        PlayUnpanned(kSoundPlsDown);
        PowerLeverSoundLatch = 0;
    }
    return position;
}

double EnginePanelFlapX(gauge::ElementHeader*) {
    switch (flight_controls_FLAPS[0]) {
        case 1:
            return 3;
        case 2:
            return 5;
        case 3:
            return 7;
        case 4:
            return 6;
        default:
            return 0;
    }
}

double EnginePanelFlapY(gauge::ElementHeader*) {
    switch (flight_controls_FLAPS[0]) {
        case 1:
            return 27;
        case 2:
            return 57;
        case 3:
            return 117;
        case 4:
            return 146;
        default:
            return 0;
    }
}

void ThrottleGateLock() {
    if (PowerLeverPosition[0] >= kGateLimit || PowerLeverPosition[1] >= kGateLimit) return;
    if (Powerplants_controls_throttle_limiter == 0 && EPIC == 0) PlayUnpanned(kSoundClLock);
    Powerplants_controls_throttle_limiter = 1;
}

void ThrottleGateUnlock() {
    if (Powerplants_controls_throttle_limiter == 1 && EPIC == 0) PlayUnpanned(kSoundClUnlock);
    Powerplants_controls_throttle_limiter = 0;
}

gauge::ElementHeader* engine_panelElementList[2] = {&gPanel.plate, nullptr};

gauge::MouseRect engine_panelMouseRect[] = {
    MouseParent(ep::kQuadrantSize.width, ep::kQuadrantSize.height),
    MouseChild(kConditionX[0], 120, 26, 100, kCursorDecrease, kClick,
               ConditionLeverHandler<0, false>),
    MouseChild(kConditionX[1], 120, 26, 100, kCursorDecrease, kClick,
               ConditionLeverHandler<1, false>),
    MouseChild(kConditionX[0], 20, 26, 100, kCursorIncrease, kClick,
               ConditionLeverHandler<0, true>),
    MouseChild(kConditionX[1], 20, 26, 100, kCursorIncrease, kClick,
               ConditionLeverHandler<1, true>),
    MouseChild(kPowerX[0], 120, 26, 100, kCursorDecrease, kClick, PowerLeverHandler<0, false>),
    MouseChild(kPowerX[0], 20, 26, 100, kCursorIncrease, kClick, PowerLeverHandler<0, true>),
    MouseChild(kPowerX[1], 120, 26, 100, kCursorDecrease, kClick, PowerLeverHandler<1, false>),
    MouseChild(kPowerX[1], 20, 26, 100, kCursorIncrease, kClick, PowerLeverHandler<1, true>),
    MouseChild(0, 100, 16, 20, kCursorDecrease, kClick, GateLockHandler),
    MouseChild(0, 80, 16, 20, kCursorIncrease, kClick, GateUnlockHandler),
    MouseChild(92, 232, 20, 20, kCursorHand, kClick, DisconnectHandler),
    MouseEnd()};

void EnginePanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (service == gauge::kServiceInstall) {
        gPanelHeader = gauge;
        LightingStep();
        return;
    }
    if (!KeepHeader(&gPanelHeader, gauge, service)) return;
    const bool group1 = ConsumeTrigger(&RefreshCountdown[1]);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshGroups - 1]);
    if (group1 || all) LightingStep();
}

}  // namespace zu
