// The glareshield course and heading selectors, one per pilot.
//
// The course knob steps the selected course of the navigation source that
// the side's displays use (NavSourceSel1/2) and the selector's own course
// needle (CourseKnobDisplay); the heading knob steps the side's selected
// heading (FGC_comp_HSI1/2_heading_sel). Course_hdg_selector1 and
// Course_hdg_selector2 step by 10 on the upper half of a knob and by 1 on
// its lower half, the left side down and the right side up, repeating while
// held; Course_hdg_selector1_touch (side 1) turns its knobs by dragging
// round them, 1 a zone or 5 once the steps come quickly. Refresh group 4,
// lit by PanelLightingCircuit4 (never in the virtual cockpit, which the
// touch variant does not check).
//
// Elements: a backdrop (the unlit face, always shown), then 0 lit face,
// 1/2 course needle unlit/lit, 3/4 heading needle unlit/lit.
// Mouse rectangles: 1-4 course knob -10, +10, -1, +1; 5-8 heading knob
// alike. Touch: 1-4 course zones 0-3, 5-8 heading zones 0-3, clockwise from
// the top left.
#pragma once

#include <cstdint>

#include "instruments/gauge_framework.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// The course each selector's needle shows, degrees (initial 25). Stepped
// with the source's course but kept apart: choosing another source leaves it.
extern int32_t CourseKnobDisplay[2];
// The drag knobs of Course_hdg_selector1_touch.
extern TouchKnobState CourseTouchKnob;
extern TouchKnobState HeadingTouchKnob;

// One knob step of side 0 or 1 (exposed for tests).
void CourseKnobStep(int side, int32_t step);
void HeadingKnobStep(int side, int32_t step);

extern gauge::ElementHeader* Course_hdg_selector1ElementList[2];
extern gauge::ElementHeader* Course_hdg_selector2ElementList[2];
extern gauge::ElementHeader* Course_hdg_selector1_touchElementList[2];

extern gauge::MouseRect Course_hdg_selector1MouseRect[10];
extern gauge::MouseRect Course_hdg_selector2MouseRect[10];
extern gauge::MouseRect Course_hdg_selector1_touchMouseRect[10];

void CourseSelector1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void CourseSelector2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void CourseSelector1TouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
