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

void CopyText(char* text, std::size_t size, const char* from, std::size_t max_length) {
    if (size == 0) return;
    // The texts are a few characters long: copied as they are read, without
    // a library call to measure them first.
    const std::size_t limit = std::min(max_length, size - 1);
    std::size_t n = 0;
    for (; n < limit && from[n] != '\0'; ++n) text[n] = from[n];
    text[n] = '\0';
}

void FormatInteger(char* text, std::size_t size, int64_t value, int32_t width, char pad) {
    // Digits from the last; a width beyond what any int64 needs is cut to it.
    char digits[20];
    int32_t count = 0;
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    char out[24];
    int32_t n = 0;
    int32_t padding = std::min(width, 22) - count - (value < 0 ? 1 : 0);
    if (pad != '0') {
        for (; padding > 0; --padding) out[n++] = pad;
    }
    if (value < 0) out[n++] = '-';
    for (; padding > 0; --padding) out[n++] = '0';
    while (count > 0) out[n++] = digits[--count];
    if (size == 0) return;
    const auto length = std::min(static_cast<std::size_t>(n), size - 1);
    std::memcpy(text, out, length);
    text[length] = '\0';
}

bool ElementShown(gauge::ElementHeader* first, int32_t k) {
    const gauge::ElementHeader* e = ElementListWalk(first, k);
    return e != nullptr && (e->image_flags & gauge::kImageHidden) == 0;
}

namespace {

// The host's redraw mark is no part of what a visibility routine leaves.
constexpr uint32_t kRoutineFlags = ~gauge::kImageOnScreen;

}  // namespace

bool VisibilityStale(const VisibilityMemo& memo, gauge::ElementHeader* first,
                     const RepaintKey& key) {
    if (RepaintEveryPicture || !memo.key.valid || memo.key != key || memo.first != first ||
        memo.count < 0) {
        return true;
    }
    // The lists are the module's static records: their elements stay where
    // the last run found them.
    uint32_t differ = 0;
    for (int32_t i = 0; i < memo.count; ++i) {
        differ |= (memo.elements[i]->image_flags & kRoutineFlags) ^ memo.flags[i];
    }
    return differ != 0;
}

void VisibilityKept(VisibilityMemo& memo, gauge::ElementHeader* first, const RepaintKey& key) {
    memo.key = key;
    memo.first = first;
    int32_t n = 0;
    for (const gauge::ElementHeader* e = first; e != nullptr;
         e = e->next_element != nullptr ? e->next_element[0] : nullptr) {
        if (n == VisibilityMemo::kMaxElements) {
            memo.count = -1;
            return;
        }
        memo.elements[n] = e;
        memo.flags[n++] = e->image_flags & kRoutineFlags;
    }
    memo.count = n;
}

void ApplyLitPairs(gauge::ElementHeader* first, const LitPair* pairs, int32_t count, bool lit) {
    const ElementList list(first);
    for (int32_t i = 0; i < count; ++i) {
        ShowElement(list, pairs[i].lit, lit);
        ShowElement(list, pairs[i].unlit, !lit);
    }
}

void ApplyLitBit(gauge::ElementHeader* first, int32_t overlay, const int8_t* glowing, int32_t count,
                 bool lit) {
    ApplyLitBit(ElementList(first), overlay, glowing, count, lit);
}

void ApplyLitBit(const ElementList& list, int32_t overlay, const int8_t* glowing, int32_t count,
                 bool lit) {
    if (overlay >= 0) ShowElement(list, overlay, lit);
    for (int32_t i = 0; i < count; ++i) SetElementLit(list, glowing[i], lit);
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

void PlayClickFromStart(SoundObject* object, int32_t pan) {
    if (object == nullptr || object->buffer == nullptr) return;
    if (RestoreSoundBuffer(object) < 0) return;
    platform::SoundBufferSetPan(object->buffer, pan);
    platform::SoundBufferSetCurrentPosition(object->buffer, 0);
    platform::SoundBufferPlay(object->buffer, 0, 0, 0);
}

void PlayClickFromStartKeepPan(SoundObject* object) {
    if (object == nullptr || object->buffer == nullptr) return;
    if (RestoreSoundBuffer(object) < 0) return;
    platform::SoundBufferSetCurrentPosition(object->buffer, 0);
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
