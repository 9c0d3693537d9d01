#include "instruments/clocks.h"

#include <cstring>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/sound_objects.h"
#include "instruments/flight_dials.h"
#include "panels/panel_elements.h"

namespace zu {

int32_t ClockReadoutBrightSeen[2][3] = {};

namespace {

using gauge::ElementHeader;
using gauge::StringElement;
namespace fd = flight_dials;

ClockStateRecord& ClockOf(int c) {
    return c == 0 ? Clock1State : Clock2State;
}

enum ClockSwitch : int { kSwitchA, kSwitchB, kSwitchMode, kSwitchD };

int32_t& SwitchWord(ClockStateRecord& clock, int sw) {
    switch (sw) {
        case kSwitchA:
            return clock.set_control;
        case kSwitchB:
            return clock.second_control;
        case kSwitchMode:
            return clock.mode_switch;
        default:
            return clock.chrono_control;
    }
}

// ---------------------------------------------------------------------------
// Readouts

template <int C, int R>
double Readout(ElementHeader* element) {
    const ClockStateRecord& clock = ClockOf(C);
    // Element 13 shows the third field (hours), 15 the first (seconds).
    const char* field = clock.texts[2 - R];
    char* text = StringBuffer(element);
    std::memcpy(text, field, sizeof clock.texts[0]);
    text[sizeof clock.texts[0] - 1] = '\0';
    int32_t& seen = ClockReadoutBrightSeen[C][R];
    if (clock.display_bright != seen) {
        seen = clock.display_bright;
        reinterpret_cast<StringElement*>(element)->fg_colour =
            seen > 0 ? kClockBrightColour : kClockDimColour;
        RefreshCountdown[kRefreshClocksCaution] = 4;
    }
    return 0.0;
}

// ---------------------------------------------------------------------------
// Element lists

struct ClockElements {
    ElementHeader backdrop;
    ElementHeader face_lit;
    ElementHeader switch_image[12];
    StringElement readout[3];
    ElementHeader* next[2 + 12 + 3][2];  // one per element
};

constexpr uint32_t kSwitchImage[3] = {fd::kClockSwitchMinus, fd::kClockSwitchPlus,
                                      fd::kClockSwitchCentre};

constexpr TextStyle kReadoutStyle{"Quartz", fd::kClockReadoutFont, kClockDimColour, 0x00101010, 1};

template <int C>
constexpr ClockElements MakeClock(ClockElements* self) {
    ClockElements c{};
    c.backdrop = StaticImageRecord(fd::kClockFace, 0, 0, 0, self->next[0]);
    c.face_lit = StaticImageRecord(fd::kClockFaceLit, 0, 0, kLitCopy, self->next[1]);
    for (int sw = 0; sw < 4; ++sw) {
        for (int i = 0; i < 3; ++i) {
            const int n = sw * 3 + i;
            // Only the centre image shows until the first refresh.
            c.switch_image[n] = StaticImageRecord(kSwitchImage[i], fd::kClockSwitches[sw].x,
                                                  fd::kClockSwitches[sw].y,
                                                  i == 2 ? 0 : kStartHidden, self->next[2 + n]);
        }
    }
    constexpr gauge::ElementCallback kReadouts[3] = {Readout<C, 0>, Readout<C, 1>, Readout<C, 2>};
    for (int r = 0; r < 3; ++r) {
        c.readout[r] = TextRecord(fd::kClockReadoutX[r], fd::kClockReadoutY, fd::kClockReadoutWidth,
                                  fd::kClockReadoutHeight, kReadoutStyle, kStartHidden,
                                  self->next[14 + r], kReadouts[r]);
    }
    c.next[0][0] = &self->face_lit;
    c.next[1][0] = &self->switch_image[0];
    for (int n = 0; n < 11; ++n) c.next[2 + n][0] = &self->switch_image[n + 1];
    c.next[13][0] = &self->readout[0].header;
    c.next[14][0] = &self->readout[1].header;
    c.next[15][0] = &self->readout[2].header;
    return c;
}

constinit ClockElements gClock1 = MakeClock<0>(&gClock1);
constinit ClockElements gClock2 = MakeClock<1>(&gClock2);

// ---------------------------------------------------------------------------
// Visibility

constexpr int kFirstSwitchElement = 1;
constexpr int kFirstReadoutElement = 13;

ElementHeader* Numbered(gauge::GaugeHeader* gauge) {
    ElementHeader* backdrop = FirstElement(gauge);
    return backdrop != nullptr ? backdrop->next_element[0] : nullptr;
}

bool ClockPowered(int c) {
    return BusPowered.get(c == 0 ? kPoweredLeftEssential : kPoweredRightMainDc) != 0;
}

void ShowLighting(ElementHeader* first, uint8_t is_vc) {
    const bool lit = PanelLit(PanelLightingCircuit4.get(), is_vc);
    ShowElement(first, 0, lit);
    for (int k = kFirstSwitchElement; k < kFirstReadoutElement; ++k) SetElementLit(first, k, lit);
}

void ShowReadouts(ElementHeader* first, int c) {
    const bool powered = ClockPowered(c);
    for (int r = 0; r < 3; ++r) ShowElement(first, kFirstReadoutElement + r, powered);
}

// The images of a switch are for -1, 1 and 0, in that order.
void ShowSwitches(ElementHeader* first, ClockStateRecord& clock) {
    for (int sw = 0; sw < 4; ++sw) {
        const int base = kFirstSwitchElement + sw * 3;
        for (int i = 0; i < 3; ++i) ShowElement(first, base + i, false);
        const int32_t position = SwitchWord(clock, sw);
        const int image = position == -1 ? 0 : position == 1 ? 1 : position == 0 ? 2 : -1;
        if (image >= 0) ShowElement(first, base + image, true);
    }
}

// Switch B's position 1 is momentary: one key event, then back to centre.
void ReleaseSecondSwitch(ClockStateRecord& clock) {
    if (clock.second_control != 1) return;
    SendKeyEvent(kClockSecondKeyEvent, 1);
    clock.second_control = 0;
}

VisibilityMemo gClockMemos[2];

void Visibility(gauge::GaugeHeader* gauge, int c, uint8_t is_vc) {
    ElementHeader* first = Numbered(gauge);
    ClockStateRecord& clock = ClockOf(c);
    RepaintKeyBuilder key;
    key.Add(PanelLightingCircuit4.get()).Add(is_vc).Add(ClockPowered(c));
    for (int sw = 0; sw < 4; ++sw) key.Add(SwitchWord(clock, sw));
    if (VisibilityStale(gClockMemos[c], first, key.Key())) {
        ShowLighting(first, is_vc);
        ShowReadouts(first, c);
        ShowSwitches(first, clock);
        VisibilityKept(gClockMemos[c], first, key.Key());
    }
    clock.display_mode = clock.mode_switch + 1;
    ReleaseSecondSwitch(clock);
}

template <int C>
void ClockCallback(gauge::GaugeHeader* gauge, int32_t service) {
    if (service == gauge::kServiceInstall) {
        ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
    } else if (service == gauge::kServiceUpdate) {
        const uint8_t is_vc = GaugeIsVcFrom(gauge);
        if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
            ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
        }
        if (RefreshGroupStep(kRefreshSelectors)) Visibility(gauge, C, is_vc);
    }
}

// ---------------------------------------------------------------------------
// Mouse

template <int C, int Switch, int Position>
int32_t SwitchHandler(gauge::Point*, uint32_t) {
    ClockStateRecord& clock = ClockOf(C);
    SwitchWord(clock, Switch) = Position;
    if (Switch == kSwitchA && Position == 1) {
        const int32_t seconds = clock.time_of_day[0];
        clock.entered_value = static_cast<uint8_t>(seconds >= 0 && seconds <= 59 ? seconds : 0);
    }
    ClickAndArm(kSoundClickTiny, kClockSwitchPan, kRefreshSelectors, RefreshHoldCount2);
    return 0;
}

template <int C>
constexpr gauge::MouseRect SwitchRect(int part) {
    if (part == 0) return MouseParent(fd::kClockWidth, fd::kClockHeight);
    if (part > 12) return MouseEnd();
    const int sw = (part - 1) / 3;
    const int position = (part - 1) % 3;  // -1, 0, 1 from the left
    constexpr gauge::MouseHandler kHandlers[12] = {
        SwitchHandler<C, kSwitchA, -1>,    SwitchHandler<C, kSwitchA, 0>,
        SwitchHandler<C, kSwitchA, 1>,     SwitchHandler<C, kSwitchB, -1>,
        SwitchHandler<C, kSwitchB, 0>,     SwitchHandler<C, kSwitchB, 1>,
        SwitchHandler<C, kSwitchMode, -1>, SwitchHandler<C, kSwitchMode, 0>,
        SwitchHandler<C, kSwitchMode, 1>,  SwitchHandler<C, kSwitchD, -1>,
        SwitchHandler<C, kSwitchD, 0>,     SwitchHandler<C, kSwitchD, 1>};
    constexpr int kWidth = fd::kClockSwitchWidth / 3;
    return MouseChild(fd::kClockSwitches[sw].x + position * kWidth, fd::kClockSwitches[sw].y,
                      kWidth, fd::kClockSwitchHeight, kCursorHand, kClick, kHandlers[part - 1]);
}

}  // namespace

gauge::ElementHeader* clock1ElementList[2] = {&gClock1.backdrop, nullptr};
gauge::ElementHeader* clock2ElementList[2] = {&gClock2.backdrop, nullptr};

#define ZU_RECTS(F) \
    { F(0), F(1), F(2), F(3), F(4), F(5), F(6), F(7), F(8), F(9), F(10), F(11), F(12), F(13) }
gauge::MouseRect clock1MouseRect[14] = ZU_RECTS(SwitchRect<0>);
gauge::MouseRect clock2MouseRect[14] = ZU_RECTS(SwitchRect<1>);
#undef ZU_RECTS

void Clock1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    ClockCallback<0>(g, s);
}
void Clock2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    ClockCallback<1>(g, s);
}

}  // namespace zu
