#include "instruments/course_selectors.h"

#include <cmath>

#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/shared_maths.h"
#include "instruments/flight_dials.h"
#include "panels/panel_elements.h"

namespace zu {

int32_t CourseKnobDisplay[2] = {25, 25};
TouchKnobState CourseTouchKnob = {};
TouchKnobState HeadingTouchKnob = {};

namespace {

using gauge::ElementHeader;
using gauge::NeedleElement;
namespace fd = flight_dials;

// Whole degrees into 0..359 for any value.
int32_t Wrap360(int64_t degrees) {
    const int64_t v = degrees % 360;
    return static_cast<int32_t>(v < 0 ? v + 360 : v);
}

}  // namespace

void CourseKnobStep(int side, int32_t step) {
    const int32_t sel = side == 0 ? NavSourceSel1 : NavSourceSel2;
    if (sel >= 0 && sel < kNavSourceCount) {
        NavSourceRecord& source = NavSources[sel];
        const double course = std::isfinite(source.course) ? source.course : 0.0;
        source.course = Wrap360(int64_t{TruncToInt32(course + step)});
    }
    CourseKnobDisplay[side] = Wrap360(int64_t{CourseKnobDisplay[side]} + step);
    ArmRefresh(kRefreshSelectors);
}

void HeadingKnobStep(int side, int32_t step) {
    int32_t& heading = side == 0 ? FGC_comp_HSI1_heading_sel : FGC_comp_HSI2_heading_sel;
    heading = Wrap360(int64_t{heading} + step);
    ArmRefresh(kRefreshSelectors);
}

namespace {

// ---------------------------------------------------------------------------
// Elements

template <int S>
double CourseNeedle(ElementHeader*) {
    return CourseKnobDisplay[S];
}
template <int S>
double HeadingNeedle(ElementHeader*) {
    return S == 0 ? FGC_comp_HSI1_heading_sel : FGC_comp_HSI2_heading_sel;
}

struct SelectorElements {
    ElementHeader backdrop;
    ElementHeader face_lit;
    NeedleElement needle[4];  // course unlit, lit, heading unlit, lit
    ElementHeader* next[6][2];
};

constexpr NeedleElement KnobNeedle(uint32_t resource, int knob, bool lit, ElementHeader** next,
                                   gauge::ElementCallback callback) {
    return NeedleRecord(resource + (lit ? 1 : 0), fd::kSelectorWidth / 2, fd::KnobCentreY(knob),
                        {fd::kSelectorNeedleSize.width / 2, fd::kSelectorNeedleSize.length},
                        lit ? kLitCopy | gauge::kImageLuminous : 0, next, 0, callback);
}

template <int S>
constexpr SelectorElements MakeSelector(SelectorElements* self, uint32_t face) {
    return {StaticImageRecord(face, 0, 0, 0, self->next[0]),
            StaticImageRecord(fd::kSelectorFaceLit, 0, 0, kLitCopy, self->next[1]),
            {KnobNeedle(fd::kSelectorCourseNeedle, 0, false, self->next[2], CourseNeedle<S>),
             KnobNeedle(fd::kSelectorCourseNeedle, 0, true, self->next[3], CourseNeedle<S>),
             KnobNeedle(fd::kSelectorHeadingNeedle, 1, false, self->next[4], HeadingNeedle<S>),
             KnobNeedle(fd::kSelectorHeadingNeedle, 1, true, self->next[5], HeadingNeedle<S>)},
            {{&self->face_lit, nullptr},
             {&self->needle[0].header, nullptr},
             {&self->needle[1].header, nullptr},
             {&self->needle[2].header, nullptr},
             {&self->needle[3].header, nullptr},
             {nullptr, nullptr}}};
}

constinit SelectorElements gSelector1 = MakeSelector<0>(&gSelector1, fd::kSelectorFace);
constinit SelectorElements gSelector2 = MakeSelector<1>(&gSelector2, fd::kSelectorFace);
constinit SelectorElements gSelector1Touch =
    MakeSelector<0>(&gSelector1Touch, fd::kSelectorTouchFace);

// ---------------------------------------------------------------------------
// Gauge callbacks

// The numbered elements start after the backdrop.
ElementHeader* Numbered(gauge::GaugeHeader* gauge) {
    ElementHeader* backdrop = FirstElement(gauge);
    return backdrop != nullptr ? backdrop->next_element[0] : nullptr;
}

void Visibility(gauge::GaugeHeader* gauge, uint8_t is_vc) {
    const bool lit = PanelLit(PanelLightingCircuit4.get(), is_vc);
    const ElementList list(Numbered(gauge));
    for (int k : {0, 2, 4}) ShowElement(list, k, lit);
    for (int k : {1, 3}) ShowElement(list, k, !lit);
}

void SelectorCallback(gauge::GaugeHeader* gauge, int32_t service, bool touch) {
    switch (service) {
        case gauge::kServiceInstall:
            ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
            break;
        case gauge::kServiceUpdate: {
            const uint8_t is_vc = touch ? 0 : GaugeIsVcFrom(gauge);
            if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
                ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
            }
            if (RefreshGroupStep(kRefreshSelectors)) Visibility(gauge, is_vc);
            break;
        }
        case gauge::kServiceKill:
            PanelKill();
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------
// Mouse

template <int S, int Knob, int Step>
int32_t KnobHandler(gauge::Point*, uint32_t) {
    if (Knob == 0) {
        CourseKnobStep(S, Step);
    } else {
        HeadingKnobStep(S, Step);
    }
    return 0;
}

template <int Knob, int Zone>
int32_t TouchZone(gauge::Point*, uint32_t) {
    TouchKnobState* knob = Knob == 0 ? &CourseTouchKnob : &HeadingTouchKnob;
    const int32_t step = TouchKnobStep(knob, Zone, 4, 1, 5);
    if (step != 0) {
        if (Knob == 0) {
            CourseKnobStep(0, step);
        } else {
            HeadingKnobStep(0, step);
        }
    }
    return 0;
}

constexpr int kHalf = fd::kSelectorKnobSize / 2;

template <int S>
constexpr gauge::MouseRect PlainRect(int part) {
    if (part == 0) return MouseParent(fd::kSelectorWidth, fd::kSelectorHeight);
    if (part > 8) return MouseEnd();
    const int knob = (part - 1) / 4;
    const int quarter = (part - 1) % 4;  // upper-left, upper-right, lower-left, lower-right
    const int x = quarter % 2 == 0 ? 0 : kHalf;
    const int y = knob * fd::kSelectorKnobSize + (quarter < 2 ? 0 : kHalf);
    const uint32_t cursor = quarter % 2 == 0 ? kCursorDecrease : kCursorIncrease;
    constexpr gauge::MouseHandler kHandlers[8] = {
        KnobHandler<S, 0, -10>, KnobHandler<S, 0, 10>, KnobHandler<S, 0, -1>, KnobHandler<S, 0, 1>,
        KnobHandler<S, 1, -10>, KnobHandler<S, 1, 10>, KnobHandler<S, 1, -1>, KnobHandler<S, 1, 1>};
    return MouseChild(x, y, kHalf, kHalf, cursor, kHeldClick, kHandlers[part - 1]);
}

constexpr gauge::MouseRect TouchRect(int part) {
    if (part == 0) return MouseParent(fd::kSelectorWidth, fd::kSelectorHeight);
    if (part > 8) return MouseEnd();
    const int knob = (part - 1) / 4;
    const int zone = (part - 1) % 4;  // clockwise from the top left
    const int x = zone == 0 || zone == 3 ? 0 : kHalf;
    const int y = knob * fd::kSelectorKnobSize + (zone < 2 ? 0 : kHalf);
    constexpr gauge::MouseHandler kHandlers[8] = {TouchZone<0, 0>, TouchZone<0, 1>, TouchZone<0, 2>,
                                                  TouchZone<0, 3>, TouchZone<1, 0>, TouchZone<1, 1>,
                                                  TouchZone<1, 2>, TouchZone<1, 3>};
    return MouseChild(x, y, kHalf, kHalf, kCursorHand, kTouchZone, kHandlers[part - 1]);
}

}  // namespace

gauge::ElementHeader* Course_hdg_selector1ElementList[2] = {&gSelector1.backdrop, nullptr};
gauge::ElementHeader* Course_hdg_selector2ElementList[2] = {&gSelector2.backdrop, nullptr};
gauge::ElementHeader* Course_hdg_selector1_touchElementList[2] = {&gSelector1Touch.backdrop,
                                                                  nullptr};

#define ZU_RECTS(F) \
    { F(0), F(1), F(2), F(3), F(4), F(5), F(6), F(7), F(8), F(9) }
gauge::MouseRect Course_hdg_selector1MouseRect[10] = ZU_RECTS(PlainRect<0>);
gauge::MouseRect Course_hdg_selector2MouseRect[10] = ZU_RECTS(PlainRect<1>);
gauge::MouseRect Course_hdg_selector1_touchMouseRect[10] = ZU_RECTS(TouchRect);
#undef ZU_RECTS

void CourseSelector1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    SelectorCallback(g, s, false);
}
void CourseSelector2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    SelectorCallback(g, s, false);
}
void CourseSelector1TouchCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    SelectorCallback(g, s, true);
}

}  // namespace zu
