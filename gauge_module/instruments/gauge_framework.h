// The anatomy every instrument, radio head and panel gauge is built on.
//
// A gauge is static data plus a few routines: its element list (records the
// host draws: backgrounds, icons, needles, strings, moving images, sliders,
// sprites), its mouse-rectangle list, its gauge callback, the element
// callbacks that turn module state into angles, texts and offsets, and the
// mouse handlers that change switch and setting state.
//
// Update service of a gauge callback, in this order:
//   1. keep the header pointer;
//   2. panel gauges with a virtual-cockpit instance: GaugeIsVc from the
//      parameters string (exactly "VC");
//   3. consume the triggers that re-arm the gauge's refresh group
//      (RefreshCountdown[kRefreshAll], ElectricalChangeFlag, the gauge's own
//      test countdowns, watched values); if any was running, arm the group;
//   4. RefreshGroupStep: while the group's countdown runs, count it down and
//      run the gauge's visibility routine (which shows, hides and lights
//      elements; one with a VisibilityMemo leaves the flags as they are when
//      neither what it reads nor the flags it left have changed); otherwise
//      every element keeps its flags;
//   5. per-frame element work that must not wait for the countdown.
// Every gauge of a group counts the same countdown down, so a group with n
// gauges on view runs its 300 frames n times as fast.
//
// Mouse handlers: optional power guard (return at once), the state change,
// PlayClick with the control's sound and pan, arm the group's countdown,
// return 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/module_frame.h"
#include "core/sound_objects.h"
#include "displays/repaint_key.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// ---------------------------------------------------------------------------
// Services and refresh groups

// Gauge services besides those of gauge_api.h.
inline constexpr int32_t kServiceInitialise = 4;

// Index of a gauge group's countdown in RefreshCountdown.
enum RefreshGroup : int32_t {
    kRefreshOverhead = 0,           // electrical, lighting, bleed-air, pressurisation, anti-ice
    kRefreshRadios = 1,             // radios, audio, engine-control and fuel panels, ...
    kRefreshEngineInstruments = 2,  // engine instruments, VOR heads, ID809, VSI selector, autopilot
    kRefreshRmi = 3,                // RMI, AL801, pilot panel
    kRefreshSelectors = 4,          // Prop_Ground, master lights, selectors, VOR heads, clocks, ...
    kRefreshHydraulics = 5,         // hydraulics, copilot panel
    kRefreshLightsPanel = 6,
    kRefreshEntertainment = 7,
    kRefreshSwitchboard = 8,
    kRefreshClocksCaution = 9,
    kRefreshCautionLogic = 10,
    kRefreshAll = 11,
};

// Arms a group's countdown.
inline void ArmRefresh(int32_t group, int32_t count = RefreshHoldCount) {
    RefreshCountdown[group] = count;
}

// One trigger of step 3: a running countdown is decremented (floor 0) and
// RedrawRequest raised; true when it was running.
bool ConsumeTrigger(int32_t* countdown);
// ElectricalChangeFlag as a trigger (the first gauge that sees it takes it).
bool ConsumeElectricalChange();

// Step 4: true (and the countdown decremented, RedrawRequest raised) while
// the group's countdown runs; the caller then runs its visibility routine.
bool RefreshGroupStep(int32_t group);

// ---------------------------------------------------------------------------
// Elements

// The first element of a gauge (null when it has none).
inline gauge::ElementHeader* FirstElement(const gauge::GaugeHeader* gauge) {
    return gauge != nullptr && gauge->element_list != nullptr ? gauge->element_list[0] : nullptr;
}

// Shows (clears the hidden bit of) or hides element k of the list that
// starts at `first`; nothing when the list is shorter.
void ShowElement(gauge::ElementHeader* first, int32_t k, bool shown);
// Sets or clears the lit bit of element k.
void SetElementLit(gauge::ElementHeader* first, int32_t k, bool lit);
// Whether element k exists and is shown.
bool ElementShown(gauge::ElementHeader* first, int32_t k);
// The same on a list looked up once, for a step that shows or lights
// several of its elements.
inline void ShowElement(const ElementList& list, int32_t k, bool shown) {
    gauge::ElementHeader* e = list[k];
    if (e == nullptr) return;
    e->image_flags =
        shown ? e->image_flags & ~gauge::kImageHidden : e->image_flags | gauge::kImageHidden;
}
inline void SetElementLit(const ElementList& list, int32_t k, bool lit) {
    gauge::ElementHeader* e = list[k];
    if (e == nullptr) return;
    e->image_flags =
        lit ? e->image_flags | gauge::kImageLuminous : e->image_flags & ~gauge::kImageLuminous;
}

// The text buffer of a string element (the host keeps it between frames).
inline char* StringBuffer(gauge::ElementHeader* element) {
    return reinterpret_cast<gauge::StringElement*>(element)->text;
}
inline constexpr uint32_t kStringBufferSize = sizeof(gauge::StringElement::text);

// Texts of string elements, as snprintf would write them (as much as fits,
// always terminated) without its cost. CopyText: "%s", or "%.Ns" with
// `max_length` N.
void CopyText(char* text, std::size_t size, const char* from,
              std::size_t max_length = std::size_t(-1));
// "%Nd" (pad ' ') or "%0Nd" (pad '0') of `value` with width N = `width`.
void FormatInteger(char* text, std::size_t size, int64_t value, int32_t width, char pad);

// What a visibility routine left on its list at its last run: the key of
// everything it read and the flags of the list's elements afterwards. The
// routine only shows, hides and lights elements, so with the same key and
// the flags as it left them another run would leave every flag as it is;
// a change of either (the host redrawing or resetting the list included)
// runs it again. RepaintEveryPicture runs it every time.
struct VisibilityMemo {
    static constexpr int32_t kMaxElements = 64;
    RepaintKey key{};
    const gauge::ElementHeader* first = nullptr;
    int32_t count = 0;  // -1: the list is too long to keep
    const gauge::ElementHeader* elements[kMaxElements];
    uint32_t flags[kMaxElements];
};
// True when the routine must run for `key` on the list at `first`.
bool VisibilityStale(const VisibilityMemo& memo, gauge::ElementHeader* first,
                     const RepaintKey& key);
// After the run: keeps the key and the flags the routine left.
void VisibilityKept(VisibilityMemo& memo, gauge::ElementHeader* first, const RepaintKey& key);

// ---------------------------------------------------------------------------
// Virtual cockpit and lighting

// 1 when the instance's parameters string is exactly "VC". Inline: every
// panel gauge asks on every update.
inline uint8_t GaugeIsVcFrom(const gauge::GaugeHeader* gauge) {
    if (gauge == nullptr || gauge->parameters == nullptr) return 0;
    const char* p = gauge->parameters;
    return p[0] == 'V' && p[1] == 'C' && p[2] == '\0' ? 1 : 0;
}

// Panel lighting of a gauge that uses the lit bit: on while its lighting
// word is non-zero, never in the virtual-cockpit instance.
inline bool PanelLit(int32_t lighting_word, uint8_t gauge_is_vc) {
    return lighting_word != 0 && gauge_is_vc == 0;
}

// Lit and unlit image pairs: with the lights on every lit copy is shown and
// every unlit copy hidden, with them off the reverse.
struct LitPair {
    int8_t lit;
    int8_t unlit;
};
void ApplyLitPairs(gauge::ElementHeader* first, const LitPair* pairs, int32_t count, bool lit);

// Lit bit: with `lit` the overlay element is shown and the glowing elements
// get the lit bit; otherwise the overlay is hidden and the bit cleared.
// `overlay` < 0: the gauge has no overlay.
void ApplyLitBit(gauge::ElementHeader* first, int32_t overlay, const int8_t* glowing, int32_t count,
                 bool lit);
void ApplyLitBit(const ElementList& list, int32_t overlay, const int8_t* glowing, int32_t count,
                 bool lit);

// ---------------------------------------------------------------------------
// Power and flashing

// A bus-powered byte of Electrics_sys (BusPowered, AcBusPowered, BusPowered2).
inline bool Powered(uint8_t bus_powered_byte) {
    return bus_powered_byte != 0;
}

// Phase of a flashing lamp: bit 1 of TickCounter (two ticks on, two off).
// While a lamp flashes its gauge re-arms its group every frame.
bool FlashPhase();

// ---------------------------------------------------------------------------
// Click sounds

// Plays a click once from its current position with the pan given
// (-10000 left .. 10000 right). Silent, and harmless, when the object has
// no buffer or the buffer cannot be restored.
void PlayClick(SoundObject* object, int32_t pan);
// The same, keeping the pan the buffer last had.
void PlayClickKeepPan(SoundObject* object);
// Plays it from its beginning, also while it still sounds: with the pan
// given, or keeping the buffer's last pan.
void PlayClickFromStart(SoundObject* object, int32_t pan);
void PlayClickFromStartKeepPan(SoundObject* object);

// ---------------------------------------------------------------------------
// Knobs

// Whole-degree setting stepped with wrap: (value + 360 + step) mod 360.
int32_t WrapDegrees(int32_t value, int32_t step);

// Steps a clamped setting. Returns true when it moved by the full step;
// false when the step would pass a stop, in which case the value is set to
// that stop (the handler then skips its click but still arms its group).
bool StepClamped(int32_t* value, int32_t step, int32_t low, int32_t high);

// Drag gesture of the _touch knobs: n zones numbered in one sense around the
// knob. Entering zone z from z - 1 is an increase (+1), from z + 1 a
// decrease (-1), anything else no step (0). The last zone becomes z.
int32_t TouchZoneDirection(int32_t* last_zone, int32_t zone, int32_t zones);

// An accelerating touch knob.
struct TouchKnobState {
    int32_t last_zone;     // 0 .. zones - 1
    int32_t last_tick;     // TickCounter at the last step
    int32_t acceleration;  // 2 after a pause, down to 0 in quick succession
};
// The signed step of a zone event: 0, or +/- small_step, or +/- large_step
// once the steps come quickly (less than 2 ticks apart) for the third time.
int32_t TouchKnobStep(TouchKnobState* knob, int32_t zone, int32_t zones, int32_t small_step,
                      int32_t large_step);

// ---------------------------------------------------------------------------
// Mouse rectangles

inline constexpr uint32_t kCursorNone = 0xFFFFFFFFu;  // the parent rectangle
inline constexpr uint32_t kCursorIncrease = 1;
inline constexpr uint32_t kCursorDecrease = 2;
inline constexpr uint32_t kCursorHand = 5;  // buttons and switches

// Event sets of a rectangle.
inline constexpr uint32_t kClick = gauge::kMouseLeftSingle;
inline constexpr uint32_t kHeldClick = gauge::kMouseLeftSingle | gauge::kMouseLeftRepeat;
inline constexpr uint32_t kTouchZone = kHeldClick | gauge::kMouseMove;

constexpr gauge::MouseRect MouseParent(int32_t width, int32_t height) {
    return {gauge::MouseRectKind::Parent, 0, 0, width, height, kCursorNone, 0, nullptr};
}
constexpr gauge::MouseRect MouseChild(int32_t x, int32_t y, int32_t width, int32_t height,
                                      uint32_t cursor, uint32_t events,
                                      gauge::MouseHandler handler) {
    return {gauge::MouseRectKind::Child, x, y, width, height, cursor, events, handler};
}
constexpr gauge::MouseRect MouseEnd() {
    return {gauge::MouseRectKind::End, 0, 0, 0, 0, 0, 0, nullptr};
}

// ---------------------------------------------------------------------------
// Element records as static data. Each takes the element's next-element
// list (null-terminated; entry 0 is the next element, null for the last).

constexpr gauge::ElementHeader StaticImageRecord(uint32_t resource, int32_t x, int32_t y,
                                                 uint32_t flags, gauge::ElementHeader** next) {
    return {gauge::ElementType::StaticImage, resource, {x, y}, flags, next, 0, 0.0, nullptr};
}

constexpr gauge::IconElement IconRecord(uint32_t resource, int32_t x, int32_t y, uint32_t flags,
                                        gauge::ElementHeader** next, uint32_t icon_count = 1,
                                        gauge::ElementCallback callback = nullptr) {
    return {{gauge::ElementType::Icon, resource, {x, y}, flags, next, 0, 0.0, callback},
            icon_count,
            0.0};
}

// A needle bitmap (drawn pointing up) turned about `pivot` in the bitmap,
// which the host places at (x, y) on the gauge.
constexpr gauge::NeedleElement NeedleRecord(uint32_t resource, int32_t x, int32_t y,
                                            gauge::Point pivot, uint32_t flags,
                                            gauge::ElementHeader** next, uint32_t source_token,
                                            gauge::ElementCallback callback) {
    return {
        {gauge::ElementType::Needle, resource, {x, y}, flags, next, source_token, 0.0, callback},
        pivot,
        0.0};
}

struct TextStyle {
    const char* font_name;  // "Arial", "Arial Narrow" or "Quartz"
    int32_t font_height;
    uint32_t fg_colour;  // 0x00BBGGRR
    uint32_t bg_colour;
    uint32_t align;      // 0 left, 1 centre, 2 right
    int32_t weight = 0;  // 0: the face's normal weight; bold from 700
};

constexpr gauge::StringElement TextRecord(int32_t x, int32_t y, int32_t width, int32_t height,
                                          const TextStyle& style, uint32_t flags,
                                          gauge::ElementHeader** next,
                                          gauge::ElementCallback callback) {
    return {{gauge::ElementType::String, 0, {x, y}, flags, next, 0, 0.0, callback},
            width,
            height,
            style.fg_colour,
            style.bg_colour,
            0,
            style.font_name,
            style.font_height,
            style.weight,
            style.align,
            {}};
}

}  // namespace zu
