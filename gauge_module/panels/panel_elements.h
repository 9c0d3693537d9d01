// Element lists of the overhead, side and caution panels as static data.
//
// Most of these gauges are a run of static images (plates, switch
// positions, lamps) numbered from 0 in list order. `ImageChain` lays such a
// run out with its next-element links; a gauge with strings or needles ends
// its image run in a `tail`. Numbers used by a gauge's routines are the
// positions in its numbered run, which may follow a backdrop that is always
// shown (a gauge whose element 0 hides needs something to draw under it).
#pragma once

#include <cstdint>

#include "instruments/gauge_framework.h"
#include "panels/overhead_art.h"

namespace zu {

struct ImageSpec {
    uint32_t resource;
    int16_t x;
    int16_t y;
    uint32_t flags;
};

inline constexpr uint32_t kStartHidden = gauge::kImageHidden;
inline constexpr uint32_t kLitCopy = gauge::kImageHidden | gauge::kImageLuminous;

template <int N>
struct ImageChain {
    gauge::ElementHeader e[N];
    gauge::ElementHeader* next[N][2];
};

template <int N>
constexpr ImageChain<N> MakeImageChain(ImageChain<N>* self, const ImageSpec (&spec)[N],
                                       gauge::ElementHeader* tail = nullptr) {
    ImageChain<N> c{};
    for (int i = 0; i < N; ++i) {
        c.e[i] =
            StaticImageRecord(spec[i].resource, spec[i].x, spec[i].y, spec[i].flags, self->next[i]);
        c.next[i][0] = i + 1 < N ? &self->e[i + 1] : tail;
        c.next[i][1] = nullptr;
    }
    return c;
}

// Shows exactly one element of a set (the others hidden); `shown` outside
// the set hides them all.
inline void ShowOneOf(gauge::ElementHeader* first, const int8_t* set, int32_t count,
                      int32_t shown) {
    for (int32_t i = 0; i < count; ++i) {
        if (set[i] != shown) ShowElement(first, set[i], false);
    }
    if (shown >= 0) ShowElement(first, shown, true);
}

// Keeps the header on install, initialise and update; true for update.
inline bool KeepHeader(gauge::GaugeHeader** keep, gauge::GaugeHeader* gauge, int32_t service) {
    if (service == gauge::kServiceInstall || service == kServiceInitialise ||
        service == gauge::kServiceUpdate) {
        *keep = gauge;
    }
    return service == gauge::kServiceUpdate;
}

// The kill service of a panel gauge.
inline void PanelKill() {
    ModuleActive.store(0, std::memory_order_release);
}

// Adds the switch click and arms a group, the tail of most handlers.
inline void ClickAndArm(SoundSetIndex sound, int32_t pan, int32_t group,
                        int32_t count = RefreshHoldCount) {
    PlayClick(&SoundSet[sound], pan);
    ArmRefresh(group, count);
}

}  // namespace zu
