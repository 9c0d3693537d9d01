// Static element lists and mouse rectangles of the VOR, ADF and COM head
// gauges, built from the shared layout. Every head has the same first nine
// elements (lit overlay, two windows, XFR and MEM legends, the rocker's
// three positions, the preset legend); the VOR adds the "D" legend and the
// second window rendering, the COM the second rendering and its transmit
// legends.
#pragma once

#include "instruments/gauge_framework.h"
#include "instruments/radio_head.h"
#include "instruments/radio_head_layout.h"

namespace zu::radio_elements {

using radio_layout::Box;
using radio_layout::FrequencyHead;

inline constexpr int kMaxElements = 13;
inline constexpr int kTailStrings = kMaxElements - 8;

inline constexpr uint32_t kUpperColour = 0x00005AD2u;  // RGB(210, 90, 0)
inline constexpr uint32_t kLowerColour = 0x00004CB3u;  // RGB(179, 76, 0)
// The texts are their own light, drawn over the face's windows.
inline constexpr uint32_t kTextFlags = gauge::kImageTransparent | gauge::kImageLuminous;
inline constexpr uint32_t kHiddenText = kTextFlags | gauge::kImageHidden;

struct HeadElementSet {
    gauge::ElementHeader overlay;             // 0
    gauge::StringElement strings[4];          // 1..4
    gauge::IconElement rocker[3];             // 5..7
    gauge::StringElement tail[kTailStrings];  // 8..12
    gauge::ElementHeader* next[kMaxElements][2];
};

// A string element: its box, font, colour, start flags and callback.
struct StringSpec {
    Box box;
    const char* font;
    int32_t font_height;
    uint32_t colour;
    uint32_t flags;
    uint32_t align;
    gauge::ElementCallback callback;
};

constexpr gauge::ElementHeader* ElementAt(HeadElementSet* self, int k) {
    if (k == 0) return &self->overlay;
    if (k <= 4) return &self->strings[k - 1].header;
    if (k <= 7) return &self->rocker[k - 5].header;
    return &self->tail[k - 8].header;
}

constexpr gauge::StringElement MakeString(const StringSpec& s, gauge::ElementHeader** next) {
    return TextRecord(s.box.x, s.box.y, s.box.width, s.box.height,
                      {s.font, s.font_height, s.colour, 0x00000000u, s.align}, s.flags, next,
                      s.callback);
}

// The element list of one gauge: `count` elements (9 to 13); strings[0..3]
// are elements 1..4, tail[i] element 8 + i.
constexpr HeadElementSet MakeHeadElements(HeadElementSet* self, uint32_t overlay, const Box& rocker,
                                          const StringSpec (&strings)[4],
                                          const StringSpec (&tail)[kTailStrings], int count) {
    HeadElementSet set{};
    for (int k = 0; k < kMaxElements; ++k) {
        set.next[k][0] = k + 1 < count ? ElementAt(self, k + 1) : nullptr;
        set.next[k][1] = nullptr;
    }
    set.overlay = StaticImageRecord(overlay, 0, 0, gauge::kImageHidden | gauge::kImageLuminous,
                                    self->next[0]);
    for (int i = 0; i < 4; ++i) set.strings[i] = MakeString(strings[i], self->next[1 + i]);
    const uint32_t rocker_ids[3] = {radio_layout::kRockerRest, radio_layout::kRockerUp,
                                    radio_layout::kRockerDown};
    for (int i = 0; i < 3; ++i) {
        set.rocker[i] = IconRecord(rocker_ids[i], rocker.x, rocker.y,
                                   i == 0 ? 0u : gauge::kImageHidden, self->next[5 + i]);
    }
    for (int i = 0; i < kTailStrings; ++i) set.tail[i] = MakeString(tail[i], self->next[8 + i]);
    return set;
}

// The four strings every head starts with.
template <RadioHeadGauge* G>
constexpr void FirstStrings(const FrequencyHead& h, int32_t window_font, StringSpec (&out)[4]) {
    out[0] = {h.upper, "Quartz", window_font, kUpperColour, kTextFlags, 2, RadioUpperWindow<G>};
    out[1] = {h.lower, "Quartz", window_font, kLowerColour, kTextFlags, 2, RadioLowerWindow<G>};
    out[2] = {h.xfr_legend,     "Small Fonts", radio_layout::kLegendFont,
              kUpperColour,     kTextFlags,    1,
              RadioXfrLegend<G>};
    out[3] = {h.mem_legend,     "Small Fonts", radio_layout::kLegendFont,
              kUpperColour,     kTextFlags,    1,
              RadioMemLegend<G>};
}

constexpr StringSpec PresetLegend(const FrequencyHead& h, gauge::ElementCallback callback) {
    return {h.preset_legend, "Small Fonts", radio_layout::kLegendFont, kUpperColour, kHiddenText, 1,
            callback};
}

constexpr StringSpec Unused() {
    return {{0, 0, 0, 0}, "Small Fonts", radio_layout::kLegendFont, 0, kHiddenText, 0, nullptr};
}

// Mouse rectangles.
constexpr gauge::MouseRect Rect(const Box& b, uint32_t cursor, uint32_t events,
                                gauge::MouseHandler handler) {
    return MouseChild(b.x, b.y, b.width, b.height, cursor, events, handler);
}

// The plain gauge's nine areas, in order: power knob, inner knob left and
// right, outer knob left and right, rocker upper and lower, direct-tune
// button, preset button.
struct KnobHandlers {
    gauge::MouseHandler power, inner_down, inner_up, outer_down, outer_up, xfr, mem, direct, preset;
};
using PlainRects = RadioHeadRects;
constexpr PlainRects MakePlainRects(const FrequencyHead& h, const KnobHandlers& k) {
    using namespace radio_layout;
    PlainRects list{};
    gauge::MouseRect* r = list.r;
    r[0] = MouseParent(h.width, kHeight);
    r[1] = Rect(h.power_knob, kCursorHand, kClick, k.power);
    r[2] = Rect(InnerLeft(h), kCursorDecrease, kHeldClick, k.inner_down);
    r[3] = Rect(InnerRight(h), kCursorIncrease, kHeldClick, k.inner_up);
    r[4] = Rect(OuterLeft(h), kCursorDecrease, kHeldClick, k.outer_down);
    r[5] = Rect(OuterRight(h), kCursorIncrease, kHeldClick, k.outer_up);
    r[6] = Rect(RockerUpper(h), kCursorHand, kClick, k.xfr);
    r[7] = Rect(RockerLower(h), kCursorHand, kClick, k.mem);
    r[8] = Rect(h.direct_button, kCursorHand, kClick, k.direct);
    r[9] = Rect(h.preset_button, kCursorHand, kClick, k.preset);
    r[10] = MouseEnd();
    return list;
}

// The touch gauge's areas: zones 0..3 of the ring, then the XFR button.
struct TouchHandlers {
    gauge::MouseHandler zone[4];
    gauge::MouseHandler xfr;
};
using TouchRects = RadioHeadRects;
constexpr TouchRects MakeTouchRects(const FrequencyHead& h, const TouchHandlers& t) {
    using namespace radio_layout;
    TouchRects list{};
    gauge::MouseRect* r = list.r;
    r[0] = MouseParent(h.width, kHeight);
    for (int z = 0; z < 4; ++z) r[1 + z] = Rect(RingZone(h, z), kCursorHand, kTouchZone, t.zone[z]);
    r[5] = Rect(h.touch_xfr, kCursorHand, kClick, t.xfr);
    r[6] = MouseEnd();
    return list;
}

// Mouse handlers.
template <RadioHeadGauge* G>
int32_t PowerClick(gauge::Point*, uint32_t) {
    RadioHeadPower(*G->head);
    return 0;
}
template <RadioHeadGauge* G>
int32_t XfrClick(gauge::Point*, uint32_t) {
    RadioHeadXfr(*G);
    return 0;
}
template <RadioHeadGauge* G>
int32_t MemClick(gauge::Point*, uint32_t) {
    RadioHeadMem(*G);
    return 0;
}
template <RadioHeadGauge* G>
int32_t DirectClick(gauge::Point*, uint32_t) {
    RadioHeadDirectTune(*G->head);
    return 0;
}
template <RadioHeadGauge* G>
int32_t PresetClick(gauge::Point*, uint32_t) {
    RadioHeadPresetButton(*G->head);
    return 0;
}
// Steps are given in thousandths (of a MHz or kHz).
constexpr float Thousandths(int n) {
    return static_cast<float>(n) / 1000.0f;
}
template <void (*Tune)(float), int Delta>
int32_t KnobClick(gauge::Point*, uint32_t) {
    Tune(Thousandths(Delta));
    return 0;
}
template <RadioHeadGauge* G, int Zone, int Small, int Large, void (*Tune)(float)>
int32_t ZoneMove(gauge::Point*, uint32_t) {
    RadioHeadTouchZone(*G, Zone, Thousandths(Small), Thousandths(Large), Tune);
    return 0;
}

template <RadioHeadGauge* G, void (*Tune)(float), int Fine, int Whole>
constexpr KnobHandlers PlainHandlers() {
    return {PowerClick<G>,
            KnobClick<Tune, -Fine>,
            KnobClick<Tune, Fine>,
            KnobClick<Tune, -Whole>,
            KnobClick<Tune, Whole>,
            XfrClick<G>,
            MemClick<G>,
            DirectClick<G>,
            PresetClick<G>};
}
template <RadioHeadGauge* G, void (*Tune)(float), int Small, int Large>
constexpr TouchHandlers RingHandlers() {
    return {{ZoneMove<G, 0, Small, Large, Tune>, ZoneMove<G, 1, Small, Large, Tune>,
             ZoneMove<G, 2, Small, Large, Tune>, ZoneMove<G, 3, Small, Large, Tune>},
            XfrClick<G>};
}

}  // namespace zu::radio_elements
