// The marker, audio and entertainment panels (see audio_panel.h).
#include "instruments/audio_panel.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/electrical_system.h"
#include "core/module_frame.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "instruments/audio_panel_layout.h"
#include "instruments/gauge_framework.h"

namespace zu {

uint8_t MarkerPanelSwitches[4] = {};
uint8_t AudioPanelToggle = 1;
uint8_t AudioPanelSwitches[13] = {};
int32_t AudioPanelVolume = 0;
uint8_t EntertainmentOn = 1;
int32_t EntertainmentSelection = 0;
uint8_t CabinMusicSwitch = 0;

namespace {

namespace ap = audio_panels;
using gauge::ElementHeader;
using gauge::NeedleElement;

constexpr uint32_t kHidden = gauge::kImageHidden;
constexpr int32_t kClickPan = 1365;

uint8_t MarkersIsVc = 0;
uint8_t AudioIsVc = 0;

void Toggle(uint8_t* byte) {
    *byte = *byte != 0 ? 0 : 1;
}

// The byte behind button b of the AUDIO_Panel (0..13).
uint8_t* AudioButtonByte(int b) {
    if (b == 0) return &AudioPanelToggle;
    if (b <= 2) return &MarkerPanelSwitches[b + 1];
    return &AudioPanelSwitches[b - 3];
}

// ---------------------------------------------------------------------------
// Element lists

struct MarkersElements {
    ElementHeader e[5];
    ElementHeader* next[5][2];
};

constexpr MarkersElements MakeMarkers(MarkersElements* self) {
    const ap::Box s0 = ap::kMarkersSwitch[0];
    const ap::Box s1 = ap::kMarkersSwitch[1];
    return {{StaticImageRecord(ap::kMarkersBackgroundLit, 0, 0, kHidden, self->next[0]),
             StaticImageRecord(ap::kMarkersSwitchOn, s0.x, s0.y, 0, self->next[1]),
             StaticImageRecord(ap::kMarkersSwitchOff, s0.x, s0.y, 0, self->next[2]),
             StaticImageRecord(ap::kMarkersSwitchOn + 2, s1.x, s1.y, 0, self->next[3]),
             StaticImageRecord(ap::kMarkersSwitchOff + 2, s1.x, s1.y, 0, self->next[4])},
            {{&self->e[1], nullptr},
             {&self->e[2], nullptr},
             {&self->e[3], nullptr},
             {&self->e[4], nullptr},
             {nullptr, nullptr}}};
}
constinit MarkersElements gMarkers = MakeMarkers(&gMarkers);

double KnobPointer(ElementHeader*) {
    return AudioKnobPointerAngle();
}

// 0 lit background, 1/2 pointer, 3..16 buttons off, 17..20 switches,
// 21..34 buttons on.
struct AudioElements {
    ElementHeader background;
    NeedleElement pointer_unlit;
    NeedleElement pointer_lit;
    ElementHeader rest[32];
    ElementHeader* next[35][2];
};

constexpr ElementHeader AudioRest(AudioElements* self, int k) {
    // Element k = 3 + i of the rest.
    const int element = k + 3;
    ElementHeader** next = self->next[element];
    if (element <= 16) {
        const ap::Box b = ap::AudioButton(element - 3);
        return StaticImageRecord(ap::kAudioButtonOff + (element - 3), b.x, b.y, 0, next);
    }
    if (element <= 20) {
        const int sw = (element - 17) / 2;
        // Each switch's first image shows it off, the second on.
        const bool on = (element - 17) % 2 == 1;
        const ap::Box b = ap::kAudioSwitch[sw];
        return StaticImageRecord((on ? ap::kAudioSwitchOn : ap::kAudioSwitchOff) + sw * 2, b.x, b.y,
                                 0, next);
    }
    const ap::Box b = ap::AudioButton(element - 21);
    return StaticImageRecord(ap::kAudioButtonOn + (element - 21), b.x, b.y, 0, next);
}

template <std::size_t... K>
constexpr AudioElements MakeAudio(AudioElements* self, std::index_sequence<K...>) {
    AudioElements a{StaticImageRecord(ap::kAudioBackgroundLit, 0, 0, kHidden, self->next[0]),
                    NeedleRecord(ap::kAudioPointerUnlit, ap::kAudioKnobX, ap::kAudioKnobY,
                                 {ap::kAudioPointerPivotX, ap::kAudioPointerPivotY}, 0,
                                 self->next[1], 0, KnobPointer),
                    NeedleRecord(ap::kAudioPointerLit, ap::kAudioKnobX, ap::kAudioKnobY,
                                 {ap::kAudioPointerPivotX, ap::kAudioPointerPivotY}, kHidden,
                                 self->next[2], 0, KnobPointer),
                    {AudioRest(self, K)...},
                    {}};
    a.next[0][0] = &self->pointer_unlit.header;
    a.next[1][0] = &self->pointer_lit.header;
    a.next[2][0] = &self->rest[0];
    for (int k = 0; k < 31; ++k) a.next[k + 3][0] = &self->rest[k + 1];
    return a;
}
constinit AudioElements gAudio = MakeAudio(&gAudio, std::make_index_sequence<32>{});

struct EntertainmentElements {
    ElementHeader e[14];
    ElementHeader* next[14][2];
};

constexpr ElementHeader EntertainmentElement(EntertainmentElements* self, int k) {
    if (k == 0) {
        return StaticImageRecord(ap::kEntertainmentBackground, 0, 0, 0, self->next[0]);
    }
    const ap::Box b = ap::EntertainmentLamp(k);
    return StaticImageRecord(ap::kEntertainmentLamp + (k - 1), b.x, b.y, kHidden, self->next[k]);
}

template <std::size_t... K>
constexpr EntertainmentElements MakeEntertainment(EntertainmentElements* self,
                                                  std::index_sequence<K...>) {
    EntertainmentElements a{{EntertainmentElement(self, K)...}, {}};
    for (int k = 0; k < 13; ++k) a.next[k][0] = &self->e[k + 1];
    return a;
}
constinit EntertainmentElements gEntertainment =
    MakeEntertainment(&gEntertainment, std::make_index_sequence<14>{});

// ---------------------------------------------------------------------------
// Mouse rectangles

template <int I>
int32_t MarkersSwitchHandler(gauge::Point*, uint32_t) {
    return MarkersSwitchClick(I);
}
int32_t KnobDecreaseHandler(gauge::Point*, uint32_t) {
    return AudioKnobStep(-1);
}
int32_t KnobIncreaseHandler(gauge::Point*, uint32_t) {
    return AudioKnobStep(1);
}
template <int B>
int32_t AudioButtonHandler(gauge::Point*, uint32_t) {
    return AudioButtonClick(B);
}
template <int I>
int32_t AudioSwitchHandler(gauge::Point*, uint32_t) {
    return AudioSwitchClick(I);
}
int32_t EntertainmentOnOffHandler(gauge::Point*, uint32_t) {
    return EntertainmentOnOffClick();
}
template <int P>
int32_t EntertainmentProgrammeHandler(gauge::Point*, uint32_t) {
    return EntertainmentProgrammeClick(P);
}
int32_t EntertainmentMusicHandler(gauge::Point*, uint32_t) {
    return EntertainmentMusicClick();
}

constexpr gauge::MouseRect Child(const ap::Box& b, uint32_t cursor, gauge::MouseHandler h) {
    return MouseChild(b.x, b.y, b.width, b.height, cursor, kClick, h);
}

template <std::size_t... B>
constexpr std::array<gauge::MouseRect, 14> AudioButtonRects(std::index_sequence<B...>) {
    return {Child(ap::AudioButton(B), kCursorHand, AudioButtonHandler<B>)...};
}

constexpr gauge::MouseRect EntertainmentLampRect(int element, gauge::MouseHandler h) {
    return Child(ap::EntertainmentLamp(element), kCursorHand, h);
}

}  // namespace

gauge::ElementHeader* MARKERS_PanelElementList[2] = {&gMarkers.e[0], nullptr};
gauge::ElementHeader* AUDIO_PanelElementList[2] = {&gAudio.background, nullptr};
gauge::ElementHeader* ENTERTAINMENT_PanelElementList[2] = {&gEntertainment.e[0], nullptr};

gauge::MouseRect MARKERS_PanelMouseRect[4] = {
    MouseParent(ap::kMarkersWidth, ap::kMarkersHeight),
    Child(ap::kMarkersSwitch[0], kCursorHand, MarkersSwitchHandler<0>),
    Child(ap::kMarkersSwitch[1], kCursorHand, MarkersSwitchHandler<1>), MouseEnd()};

namespace {
constexpr std::array<gauge::MouseRect, 14> kAudioButtonRects =
    AudioButtonRects(std::make_index_sequence<14>{});
}  // namespace

gauge::MouseRect AUDIO_PanelMouseRect[20] = {
    MouseParent(ap::kAudioWidth, ap::kAudioHeight),
    Child(ap::kAudioKnobDecrease, kCursorDecrease, KnobDecreaseHandler),
    Child(ap::kAudioKnobIncrease, kCursorIncrease, KnobIncreaseHandler),
    kAudioButtonRects[0],
    kAudioButtonRects[1],
    kAudioButtonRects[2],
    kAudioButtonRects[3],
    kAudioButtonRects[4],
    kAudioButtonRects[5],
    kAudioButtonRects[6],
    kAudioButtonRects[7],
    kAudioButtonRects[8],
    kAudioButtonRects[9],
    kAudioButtonRects[10],
    kAudioButtonRects[11],
    kAudioButtonRects[12],
    kAudioButtonRects[13],
    Child(ap::kAudioSwitch[0], kCursorHand, AudioSwitchHandler<0>),
    Child(ap::kAudioSwitch[1], kCursorHand, AudioSwitchHandler<1>),
    MouseEnd()};

gauge::MouseRect ENTERTAINMENT_PanelMouseRect[15] = {
    MouseParent(ap::kEntertainmentWidth, ap::kEntertainmentHeight),
    EntertainmentLampRect(1, EntertainmentOnOffHandler),
    EntertainmentLampRect(2, EntertainmentProgrammeHandler<1>),
    EntertainmentLampRect(3, EntertainmentProgrammeHandler<2>),
    EntertainmentLampRect(4, EntertainmentProgrammeHandler<3>),
    EntertainmentLampRect(5, EntertainmentProgrammeHandler<4>),
    EntertainmentLampRect(6, EntertainmentProgrammeHandler<5>),
    EntertainmentLampRect(7, EntertainmentProgrammeHandler<6>),
    EntertainmentLampRect(8, EntertainmentProgrammeHandler<7>),
    EntertainmentLampRect(9, EntertainmentProgrammeHandler<11>),
    EntertainmentLampRect(10, EntertainmentProgrammeHandler<12>),
    EntertainmentLampRect(11, EntertainmentProgrammeHandler<13>),
    EntertainmentLampRect(12, EntertainmentProgrammeHandler<14>),
    EntertainmentLampRect(13, EntertainmentMusicHandler),
    MouseEnd()};

// ---------------------------------------------------------------------------
// Handlers

int32_t MarkersSwitchClick(int index) {
    Toggle(&MarkerPanelSwitches[index]);
    PlayClick(&SoundSet[kSoundClickSwitchSmall], kClickPan);
    ArmRefresh(kRefreshRadios);
    return 0;
}

int32_t AudioKnobStep(int32_t step) {
    // At a stop the knob stays and makes no click.
    if (StepClamped(&AudioPanelVolume, step, 0, 5))
        PlayClick(&SoundSet[kSoundClickTiny], kClickPan);
    ArmRefresh(kRefreshRadios);
    return 0;
}

int32_t AudioButtonClick(int button) {
    Toggle(AudioButtonByte(button));
    PlayClick(&SoundSet[kSoundClickTiny], kClickPan);
    ArmRefresh(kRefreshRadios);
    return 0;
}

int32_t AudioSwitchClick(int index) {
    Toggle(&AudioPanelSwitches[11 + index]);
    PlayClick(&SoundSet[kSoundClickSwitchSmall], kClickPan);
    ArmRefresh(kRefreshRadios);
    return 0;
}

int32_t EntertainmentOnOffClick() {
    Toggle(&EntertainmentOn);
    ArmRefresh(kRefreshEntertainment);
    return 0;
}

int32_t EntertainmentProgrammeClick(int32_t programme) {
    EntertainmentSelection = programme;
    ArmRefresh(kRefreshEntertainment);
    return 0;
}

int32_t EntertainmentMusicClick() {
    Toggle(&CabinMusicSwitch);
    ArmRefresh(kRefreshEntertainment);
    return 0;
}

double AudioKnobPointerAngle() {
    return ap::kAudioKnobAngle[std::clamp(AudioPanelVolume, 0, 5)];
}

// ---------------------------------------------------------------------------
// Gauge callbacks

namespace {

void MarkersVisibility(ElementHeader* first) {
    const bool lit = PanelLit(PanelLightingCircuit2.get(), MarkersIsVc);
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(MarkerPanelSwitches[0]).Add(MarkerPanelSwitches[1]);
    if (!VisibilityStale(memo, first, key.Key())) return;
    ShowElement(first, 0, lit);
    for (int k = 1; k <= 4; ++k) SetElementLit(first, k, lit);
    for (int s = 0; s < 2; ++s) {
        const bool on = MarkerPanelSwitches[s] != 0;
        ShowElement(first, 1 + 2 * s, on);
        ShowElement(first, 2 + 2 * s, !on);
    }
    VisibilityKept(memo, first, key.Key());
}

void AudioVisibility(ElementHeader* first) {
    // 1. Lighting.
    const bool lit = PanelLit(PanelLightingCircuit2.get(), AudioIsVc);
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(AudioPanelToggle).Add(MarkerPanelSwitches).Add(AudioPanelSwitches);
    if (!VisibilityStale(memo, first, key.Key())) return;
    ShowElement(first, 0, lit);
    ShowElement(first, 1, !lit);
    ShowElement(first, 2, lit);
    for (int k = 3; k <= 34; ++k) SetElementLit(first, k, lit);
    // 2.
    for (int k = 3; k <= 34; ++k) ShowElement(first, k, true);
    // 3. Each button shows its "off" or its "on" image.
    for (int b = 0; b < 14; ++b) {
        if (*AudioButtonByte(b) != 0) {
            ShowElement(first, 3 + b, false);
        } else {
            ShowElement(first, 21 + b, false);
        }
    }
    // 4. The switches.
    ShowElement(first, AudioPanelSwitches[11] != 0 ? 17 : 18, false);
    ShowElement(first, AudioPanelSwitches[12] != 0 ? 19 : 20, false);
    VisibilityKept(memo, first, key.Key());
}

void EntertainmentVisibility(ElementHeader* first) {
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(BusPowered.get(kPoweredLeftEssential)).Add(EntertainmentSelection);
    key.Add(EntertainmentOn).Add(CabinMusicSwitch);
    if (!VisibilityStale(memo, first, key.Key())) return;
    ShowElement(first, 0, BusPowered.get(kPoweredLeftEssential) != 0);
    for (int k = 1; k <= 13; ++k) ShowElement(first, k, false);
    const int32_t s = EntertainmentSelection;
    if (s >= 1 && s <= 7) ShowElement(first, s + 1, true);
    if (s >= 11 && s <= 14) ShowElement(first, s - 2, true);
    if (EntertainmentOn != 0) ShowElement(first, 1, true);
    if (CabinMusicSwitch != 0) ShowElement(first, 13, true);
    VisibilityKept(memo, first, key.Key());
}

// The update service of the two radio-group panels.
void RadioPanelUpdate(gauge::GaugeHeader* gauge, uint8_t* is_vc,
                      void (*visibility)(ElementHeader*)) {
    *is_vc = GaugeIsVcFrom(gauge);
    if (ConsumeElectricalChange()) ArmRefresh(kRefreshRadios);
    if (RefreshGroupStep(kRefreshRadios)) visibility(FirstElement(gauge));
}

}  // namespace

void MARKERS_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceUpdate) RadioPanelUpdate(gauge, &MarkersIsVc, MarkersVisibility);
}

void AUDIO_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceUpdate) RadioPanelUpdate(gauge, &AudioIsVc, AudioVisibility);
}

void ENTERTAINMENT_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) {
        ModuleActive.store(0, std::memory_order_release);
        return;
    }
    if (service != gauge::kServiceUpdate) return;
    int32_t& radios = RefreshCountdown[kRefreshRadios];
    if (radios >= 1) {
        radios = std::max(radios - 1, 0);
        ArmRefresh(kRefreshEntertainment, 64);
    } else if (FrameChangeBits.load(std::memory_order_acquire) != 0) {
        ArmRefresh(kRefreshEntertainment, 64);
    }
    if (RefreshGroupStep(kRefreshEntertainment)) EntertainmentVisibility(FirstElement(gauge));
}

}  // namespace zu
