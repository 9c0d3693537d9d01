#include "instruments/gauge_framework.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/electrical_system.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"

namespace zu {

bool ConsumeTrigger(int32_t* countdown) {
    return CountdownTick(countdown);
}

bool ConsumeElectricalChange() {
    if (ElectricalChangeFlag <= 0) return false;
    ElectricalChangeFlag = ElectricalChangeFlag - 1;
    RedrawRequest.store(255, std::memory_order_relaxed);
    return true;
}

bool RefreshGroupStep(int32_t group) {
    return CountdownTick(&RefreshCountdown[group]);
}

void ShowElement(gauge::ElementHeader* first, int32_t k, bool shown) {
    if (shown) {
        ClearElementFlags(first, k, gauge::kImageHidden);
    } else {
        SetElementFlags(first, k, gauge::kImageHidden);
    }
}

void SetElementLit(gauge::ElementHeader* first, int32_t k, bool lit) {
    if (lit) {
        SetElementFlags(first, k, gauge::kImageLuminous);
    } else {
        ClearElementFlags(first, k, gauge::kImageLuminous);
    }
}

bool ElementShown(gauge::ElementHeader* first, int32_t k) {
    const gauge::ElementHeader* e = ElementListWalk(first, k);
    return e != nullptr && (e->image_flags & gauge::kImageHidden) == 0;
}

uint8_t GaugeIsVcFrom(const gauge::GaugeHeader* gauge) {
    return gauge != nullptr && gauge->parameters != nullptr &&
                   std::strcmp(gauge->parameters, "VC") == 0
               ? 1
               : 0;
}

namespace {

// The elements 0 .. n - 1 of the list at `first` (null past its end), walked
// once, for the steps that set many elements of one list every frame.
constexpr int32_t kCollectedElements = 128;
void CollectElements(gauge::ElementHeader* first, gauge::ElementHeader** at, int32_t n) {
    gauge::ElementHeader* e = first;
    for (int32_t i = 0; i < n; ++i) {
        at[i] = e;
        if (e != nullptr) e = e->next_element != nullptr ? e->next_element[0] : nullptr;
    }
}

// Element k of a collected list; as ElementListWalk, k <= 0 is the first.
gauge::ElementHeader* Collected(gauge::ElementHeader* const* at, int32_t k) {
    return at[k > 0 ? k : 0];
}

void SetShown(gauge::ElementHeader* e, bool shown) {
    if (e == nullptr) return;
    if (shown) {
        e->image_flags &= ~gauge::kImageHidden;
    } else {
        e->image_flags |= gauge::kImageHidden;
    }
}

}  // namespace

void ApplyLitPairs(gauge::ElementHeader* first, const LitPair* pairs, int32_t count, bool lit) {
    int32_t last = 0;
    for (int32_t i = 0; i < count; ++i)
        last = std::max({last, int32_t{pairs[i].lit}, int32_t{pairs[i].unlit}});
    gauge::ElementHeader* at[kCollectedElements];
    CollectElements(first, at, last + 1);
    for (int32_t i = 0; i < count; ++i) {
        SetShown(Collected(at, pairs[i].lit), lit);
        SetShown(Collected(at, pairs[i].unlit), !lit);
    }
}

void ApplyLitBit(gauge::ElementHeader* first, int32_t overlay, const int8_t* glowing, int32_t count,
                 bool lit) {
    if (overlay >= 0) ShowElement(first, overlay, lit);
    int32_t last = 0;
    for (int32_t i = 0; i < count; ++i) last = std::max(last, int32_t{glowing[i]});
    gauge::ElementHeader* at[kCollectedElements];
    CollectElements(first, at, last + 1);
    for (int32_t i = 0; i < count; ++i) {
        gauge::ElementHeader* e = Collected(at, glowing[i]);
        if (e == nullptr) continue;
        if (lit) {
            e->image_flags |= gauge::kImageLuminous;
        } else {
            e->image_flags &= ~gauge::kImageLuminous;
        }
    }
}

bool FlashPhase() {
    return (TickCounter.load(std::memory_order_relaxed) & 2u) != 0;
}

void PlayClick(SoundObject* object, int32_t pan) {
    if (object == nullptr || object->buffer == nullptr) return;
    if (RestoreSoundBuffer(object) < 0) return;
    platform::SoundBufferSetPan(object->buffer, pan);
    platform::SoundBufferPlay(object->buffer, 0, 0, 0);
}

void PlayClickKeepPan(SoundObject* object) {
    if (object == nullptr || object->buffer == nullptr) return;
    if (RestoreSoundBuffer(object) < 0) return;
    platform::SoundBufferPlay(object->buffer, 0, 0, 0);
}

int32_t WrapDegrees(int32_t value, int32_t step) {
    int32_t v = (value + 360 + step) % 360;
    // Values outside 0..359 (a corrupt saved setting) come back into range.
    if (v < 0) v += 360;
    return v;
}

bool StepClamped(int32_t* value, int32_t step, int32_t low, int32_t high) {
    const int64_t next = int64_t{*value} + step;
    if (next > high) {
        *value = high;
        return false;
    }
    if (next < low) {
        *value = low;
        return false;
    }
    *value = static_cast<int32_t>(next);
    return true;
}

int32_t TouchZoneDirection(int32_t* last_zone, int32_t zone, int32_t zones) {
    int32_t direction = 0;
    if (zones > 0) {
        if (*last_zone == (zone + zones - 1) % zones) {
            direction = 1;
        } else if (*last_zone == (zone + 1) % zones) {
            direction = -1;
        }
    }
    *last_zone = zone;
    return direction;
}

int32_t TouchKnobStep(TouchKnobState* knob, int32_t zone, int32_t zones, int32_t small_step,
                      int32_t large_step) {
    const int32_t direction = TouchZoneDirection(&knob->last_zone, zone, zones);
    if (direction == 0) return 0;
    const int32_t now = static_cast<int32_t>(TickCounter.load(std::memory_order_relaxed));
    const int64_t gap = int64_t{now} - knob->last_tick;
    if (std::llabs(gap) < 2) {
        if (knob->acceleration > 0) --knob->acceleration;
    } else {
        knob->acceleration = 2;
    }
    knob->last_tick = now;
    return direction * (knob->acceleration == 0 ? large_step : small_step);
}

}  // namespace zu
