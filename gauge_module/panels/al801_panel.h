// The AL801 altitude preselector on the glare shield, `AL801_Panel` (a dual
// knob with separate areas for 1000 ft and 100 ft up and down, repeating
// while held) and `AL801_Panel_touch` (a drag knob of four zones around the
// knob, accelerating to 1000 ft steps). A seven-segment window shows the
// selected altitude in hundreds of feet. Turning the knob while a side
// holds altitude arms that side's altitude-preselect capture. Refresh
// group 1 (the knobs also arm group 3).
#pragma once

#include <cstdint>

#include "instruments/gauge_framework.h"
#include "zu/platform/gauge_api.h"

namespace zu {

inline constexpr int32_t kSelectedAltitudeMax = 30000;  // feet

// The touch knob's zone and quick-step state (initially zone 0, tick 2,
// countdown 2). Never reset, not saved.
extern TouchKnobState Al801Touch;

// The window text, also copied (6 characters) for external cockpit hardware
// while EPIC is set.
inline constexpr int kAl801TextSize = 21;
extern char Al801WindowText[kAl801TextSize + 1];
extern char Al801EpicText[7];

// One knob step of `step` feet: refused when it would leave 0..30000, then
// the click, the refresh groups and the altitude-preselect arming.
void Al801KnobStep(int32_t step);
// The window text for the present selection, power and lamp test.
void Al801FormatWindow(char (&text)[kAl801TextSize + 1]);

// AL801_Panel rectangles 1-4: +1000, +100, -1000, -100.
extern gauge::ElementHeader* AL801_PanelElementList[2];
extern gauge::MouseRect AL801_PanelMouseRect[];
void Al801Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// AL801_Panel_touch rectangles 1-4: the zones 0-3, clockwise from top left.
extern gauge::ElementHeader* AL801_Panel_touchElementList[2];
extern gauge::MouseRect AL801_Panel_touchMouseRect[];
void Al801TouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
