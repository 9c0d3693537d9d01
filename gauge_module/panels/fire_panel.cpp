#include "panels/fire_panel.h"

#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/module_frame.h"
#include "core/sound_objects.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/system_panels_art.h"

namespace zu {

namespace {

namespace sa = system_panels_art;

FireProtectionStateRecord& F = FireProtectionState;

constexpr int kNumbered = 37;
constexpr int kFirstNeedle = 29;
constexpr int kNeedleCount = 4;
constexpr int kLampTestOn = 2;

// Where the pieces sit (design pixels).
constexpr int16_t kHandleX[2] = {10, 325};
constexpr int16_t kHandleY = 12;
constexpr int16_t kSelectorY = 25;
constexpr int16_t kExtinguisherX[2] = {150, 275};
constexpr int16_t kDetectionTestX = 212;
constexpr int16_t kExtinguisherTestY = 100;
constexpr int16_t kLoopKnobX[2] = {30, 395};
constexpr int16_t kLoopKnobY = 150;

// Lamp positions by lamp word.
struct LampPlace {
    int16_t x;
    int16_t y;
};
constexpr LampPlace kLampPlace[kFireLampCount] = {
    {74, 146}, {134, 146}, {265, 146}, {325, 146},  // loop faults
    {10, 102}, {74, 102},  {325, 102}, {389, 102},  // bottles
    {10, 76},  {74, 76},   {325, 76},  {389, 76},   // handle positions
};
// The lamp word each lamp element (1..12) shows.
constexpr int8_t kLampWordOf[12] = {8, 9, 10, 11, 4, 6, 7, 5, 0, 1, 2, 3};

// Selector images by element, positions 1, 0, 2.
constexpr uint32_t kSelectorArt[3] = {sa::kSelectorAt1, sa::kSelectorAt0, sa::kSelectorAt2};

struct FirePanelElements {
    gauge::ElementHeader backdrop;
    gauge::ElementHeader image[kFirstNeedle];   // elements 0..28
    gauge::NeedleElement needle[kNeedleCount];  // 29..32
    gauge::ElementHeader handle_lit[4];         // 33..36
    gauge::ElementHeader* next[kNumbered + 1][2];
};

double LoopNeedle1(gauge::ElementHeader*) {
    return FireLoopSelectorAngle(F.LoopSelector[0]);
}
double LoopNeedle2(gauge::ElementHeader*) {
    return FireLoopSelectorAngle(F.LoopSelector[1]);
}

constexpr gauge::ElementHeader Image(uint32_t art, int32_t x, int32_t y, uint32_t flags,
                                     gauge::ElementHeader** next) {
    return StaticImageRecord(art, x, y, flags, next);
}

constexpr FirePanelElements MakeFirePanel(FirePanelElements* self) {
    FirePanelElements p{};
    p.backdrop = Image(sa::kFirePlate, 0, 0, 0, self->next[0]);
    p.image[0] = Image(sa::kFireLit, 0, 0, kLitCopy, self->next[1]);
    for (int k = 1; k <= 12; ++k) {
        const int word = kLampWordOf[k - 1];
        p.image[k] = Image(sa::kFireLamp0 + static_cast<uint32_t>(word), kLampPlace[word].x,
                           kLampPlace[word].y, kStartHidden, self->next[k + 1]);
    }
    for (int e = 0; e < 2; ++e) {
        p.image[13 + 2 * e] =
            Image(sa::kFireHandleIn, kHandleX[e], kHandleY, 0, self->next[14 + 2 * e]);
        p.image[14 + 2 * e] = Image(sa::kFireHandlePulled, kHandleX[e], kHandleY, kStartHidden,
                                    self->next[15 + 2 * e]);
    }
    // Four three-position selectors: extinguisher 1, extinguisher 2,
    // detection test, extinguisher test.
    const int16_t sx[4] = {kExtinguisherX[0], kExtinguisherX[1], kDetectionTestX, kDetectionTestX};
    const int16_t sy[4] = {kSelectorY, kSelectorY, kSelectorY, kExtinguisherTestY};
    for (int s = 0; s < 4; ++s) {
        for (int i = 0; i < 3; ++i) {
            const int k = 17 + 3 * s + i;
            p.image[k] =
                Image(kSelectorArt[i], sx[s], sy[s], i == 1 ? 0u : kStartHidden, self->next[k + 1]);
        }
    }
    const gauge::Point pivot{sa::kKnobPointerSize.width / 2, sa::kKnobPointerSize.height / 2};
    for (int n = 0; n < kNeedleCount; ++n) {
        const int side = n / 2;
        const bool lit = n % 2 == 1;
        p.needle[n] = NeedleRecord(lit ? sa::kKnobPointerLit : sa::kKnobPointer,
                                   kLoopKnobX[side] + pivot.x, kLoopKnobY + pivot.y, pivot,
                                   lit ? kLitCopy : 0u, self->next[kFirstNeedle + 1 + n], 0,
                                   side == 0 ? LoopNeedle1 : LoopNeedle2);
    }
    // 33 handle 1 pulled lit, 34 handle 2 pulled lit, 35/36 in lit.
    p.handle_lit[0] =
        Image(sa::kFireHandlePulledLit, kHandleX[0], kHandleY, kStartHidden, self->next[34]);
    p.handle_lit[1] =
        Image(sa::kFireHandlePulledLit, kHandleX[1], kHandleY, kStartHidden, self->next[35]);
    p.handle_lit[2] =
        Image(sa::kFireHandleInLit, kHandleX[0], kHandleY, kStartHidden, self->next[36]);
    p.handle_lit[3] =
        Image(sa::kFireHandleInLit, kHandleX[1], kHandleY, kStartHidden, self->next[37]);
    // Links: next[i] belongs to list position i (the backdrop is position 0).
    p.next[0][0] = &self->image[0];
    for (int k = 0; k < kFirstNeedle - 1; ++k) p.next[k + 1][0] = &self->image[k + 1];
    p.next[kFirstNeedle][0] = &self->needle[0].header;
    for (int n = 0; n < kNeedleCount - 1; ++n) {
        p.next[kFirstNeedle + 1 + n][0] = &self->needle[n + 1].header;
    }
    p.next[kFirstNeedle + kNeedleCount][0] = &self->handle_lit[0];
    for (int h = 0; h < 3; ++h) p.next[34 + h][0] = &self->handle_lit[h + 1];
    p.next[kNumbered][0] = nullptr;
    return p;
}

constinit FirePanelElements gFire = MakeFirePanel(&gFire);
gauge::GaugeHeader* gFireHeader = nullptr;
uint8_t gFireIsVc = 0;

gauge::ElementHeader* First() {
    return &gFire.image[0];
}

// --- Refresh.

// 1. Lamps 1-12: left essential power and (lamp word or the lamp test).
void LampStep() {
    const bool powered = Powered(BusPowered.get(kPoweredLeftEssential));
    const bool test = AnnunciatorTestSwitch.get() == kLampTestOn;
    for (int k = 1; k <= 12; ++k) {
        ShowElement(First(), k, powered && (F.Lamp[kLampWordOf[k - 1]] != 0 || test));
    }
}

// 2. One of the four images of each handle.
void HandleStep() {
    static constexpr int8_t kSet[2][4] = {{13, 14, 35, 33}, {15, 16, 36, 34}};
    for (int e = 0; e < 2; ++e) {
        const int pick = (F.FireHandle[e] != 0 ? 1 : 0) + (F.HandleLight[e] != 0 ? 2 : 0);
        ShowOneOf(First(), kSet[e], 4, kSet[e][pick]);
    }
}

// 3. The three-position selectors; a value outside 0..2 changes nothing.
void SelectorStep() {
    const int32_t value[4] = {F.ExtinguisherSelector[0], F.ExtinguisherSelector[1],
                              F.DetectionTestSelector, F.ExtinguisherTestSelector};
    for (int s = 0; s < 4; ++s) {
        const int32_t v = value[s];
        if (v < 0 || v > 2) continue;
        const int8_t set[3] = {static_cast<int8_t>(17 + 3 * s), static_cast<int8_t>(18 + 3 * s),
                               static_cast<int8_t>(19 + 3 * s)};
        // Elements are in the order 1, 0, 2.
        const int index = v == 1 ? 0 : v == 0 ? 1 : 2;
        ShowOneOf(First(), set, 3, set[index]);
    }
}

// 4. Panel lighting: lit captions and loop needles, lit selectors.
void LightingStep() {
    const bool lit = PanelLit(PanelLightingCircuit1.get(), gFireIsVc);
    ShowElement(First(), 0, lit);
    static constexpr LitPair kNeedles[2] = {{30, 29}, {32, 31}};
    ApplyLitPairs(First(), kNeedles, 2, lit);
    for (int k = 17; k <= 28; ++k) SetElementLit(First(), k, lit);
}

VisibilityMemo gFireMemo;

void Refresh() {
    RepaintKeyBuilder key;
    key.Add(BusPowered.get(kPoweredLeftEssential)).Add(AnnunciatorTestSwitch.get()).Add(F.Lamp);
    key.Add(F.FireHandle).Add(F.HandleLight).Add(F.ExtinguisherSelector);
    key.Add(F.DetectionTestSelector).Add(F.ExtinguisherTestSelector);
    key.Add(PanelLightingCircuit1.get()).Add(gFireIsVc);
    if (!VisibilityStale(gFireMemo, First(), key.Key())) return;
    LampStep();
    HandleStep();
    SelectorStep();
    LightingStep();
    VisibilityKept(gFireMemo, First(), key.Key());
}

// --- Handlers.

void Rearm() {
    FireRefreshCountdown = RefreshHoldCount;
}

// A selector moved to a position; the click only when it changed.
void MoveSelector(int32_t* selector, int32_t position, SoundSetIndex sound) {
    if (*selector != position) PlayClick(&SoundSet[sound], 0);
    *selector = position;
    Rearm();
}

template <int Engine>
int32_t HandleClick(gauge::Point*, uint32_t) {
    F.FireHandle[Engine] = 255 - F.FireHandle[Engine];
    PlayClick(&SoundSet[kSoundClickTiny], 0);
    Rearm();
    return 0;
}

template <int Position>
int32_t DetectionTest(gauge::Point*, uint32_t) {
    MoveSelector(&F.DetectionTestSelector, Position, kSoundClickSwitchSmall);
    return 0;
}

template <int Position>
int32_t ExtinguisherTest(gauge::Point*, uint32_t) {
    MoveSelector(&F.ExtinguisherTestSelector, Position, kSoundClickSwitchSmall);
    FireTestCountdown = Position == 0 ? 0 : 7;
    return 0;
}

template <int Engine, int Position>
int32_t Extinguisher(gauge::Point*, uint32_t) {
    MoveSelector(&F.ExtinguisherSelector[Engine], Position, kSoundClickSwitchSmall);
    return 0;
}

template <int Engine, int Position>
int32_t LoopSelect(gauge::Point*, uint32_t) {
    MoveSelector(&F.LoopSelector[Engine], Position, kSoundClickTiny);
    return 0;
}

// Rectangles of a rotary selector at (x, y): its left, middle and right
// thirds turn it to 1, 0 and 2.
constexpr gauge::MouseRect Third(int16_t x, int16_t y, int third, gauge::MouseHandler handler) {
    constexpr int kWidth = 14;
    return MouseChild(x - 6 + kWidth * third, y, kWidth, sa::kSelectorSize.height, kCursorHand,
                      kClick, handler);
}

// Rectangles of a loop knob: above its centre to 1, right of it to 0,
// below it to 2 (where its index points).
constexpr gauge::MouseRect LoopZone(int16_t x, int position, gauge::MouseHandler handler) {
    switch (position) {
        case 1:
            return MouseChild(x, kLoopKnobY - 10, 30, 16, kCursorHand, kClick, handler);
        case 0:
            return MouseChild(x + 20, kLoopKnobY + 6, 18, 18, kCursorHand, kClick, handler);
        default:
            return MouseChild(x, kLoopKnobY + 24, 30, 16, kCursorHand, kClick, handler);
    }
}

}  // namespace

double FireLoopSelectorAngle(int32_t selector) {
    switch (selector) {
        case 0:
            return 90.0;
        case 1:
            return 50.0;
        case 2:
            return -220.0;
        default:
            return 0.0;
    }
}

gauge::ElementHeader* FirePanelFirst() {
    return First();
}

gauge::ElementHeader* FirePanelElementList[2] = {&gFire.backdrop, nullptr};

gauge::MouseRect FirePanelMouseRect[] = {
    MouseParent(sa::kFirePanelSize.width, sa::kFirePanelSize.height),
    MouseChild(kHandleX[0], kHandleY, sa::kFireHandleSize.width, sa::kFireHandleSize.height,
               kCursorHand, kClick, HandleClick<0>),
    MouseChild(kHandleX[1], kHandleY, sa::kFireHandleSize.width, sa::kFireHandleSize.height,
               kCursorHand, kClick, HandleClick<1>),
    Third(kDetectionTestX, kSelectorY, 0, DetectionTest<1>),
    Third(kDetectionTestX, kSelectorY, 1, DetectionTest<0>),
    Third(kDetectionTestX, kSelectorY, 2, DetectionTest<2>),
    Third(kDetectionTestX, kExtinguisherTestY, 0, ExtinguisherTest<1>),
    Third(kDetectionTestX, kExtinguisherTestY, 1, ExtinguisherTest<0>),
    Third(kDetectionTestX, kExtinguisherTestY, 2, ExtinguisherTest<2>),
    Third(kExtinguisherX[0], kSelectorY, 0, Extinguisher<0, 1>),
    Third(kExtinguisherX[0], kSelectorY, 1, Extinguisher<0, 0>),
    Third(kExtinguisherX[0], kSelectorY, 2, Extinguisher<0, 2>),
    Third(kExtinguisherX[1], kSelectorY, 0, Extinguisher<1, 1>),
    Third(kExtinguisherX[1], kSelectorY, 1, Extinguisher<1, 0>),
    Third(kExtinguisherX[1], kSelectorY, 2, Extinguisher<1, 2>),
    LoopZone(kLoopKnobX[0], 1, LoopSelect<0, 1>),
    LoopZone(kLoopKnobX[0], 0, LoopSelect<0, 0>),
    LoopZone(kLoopKnobX[0], 2, LoopSelect<0, 2>),
    LoopZone(kLoopKnobX[1], 1, LoopSelect<1, 1>),
    LoopZone(kLoopKnobX[1], 0, LoopSelect<1, 0>),
    LoopZone(kLoopKnobX[1], 2, LoopSelect<1, 2>),
    MouseEnd()};

void FirePanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gFireHeader, gauge, service)) return;
    gFireIsVc = GaugeIsVcFrom(gauge);
    if (ConsumeTrigger(&FireRefreshCountdown)) ArmRefresh(kRefreshOverhead);
    if (RefreshGroupStep(kRefreshOverhead)) Refresh();
}

}  // namespace zu
