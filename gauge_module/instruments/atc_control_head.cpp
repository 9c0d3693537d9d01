#include "instruments/atc_control_head.h"

#include <algorithm>
#include <cmath>

#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/settings_file.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "displays/tcas.h"
#include "instruments/gauge_framework.h"
#include "instruments/radio_head.h"
#include "instruments/radio_head_layout.h"

namespace zu {

TransponderStateRecord TransponderState = {};
uint8_t TransponderIdent = 0;
char TransponderCodeText[8] = "0000";
char TransponderVfrCodeText[8] = "0021";
char* TransponderCodePtr = TransponderCodeText;
uint16_t TransponderCodeBcd = 0;
int32_t TransponderAltSource = 1;
gauge::GaugeHeader* Atc1PanelHeader = nullptr;

namespace {

constexpr int32_t kPan = 1333;
constexpr int32_t kEpicSlot = 24;
uint8_t Atc1GaugeIsVc = 0;

bool AtcPowered() {
    return Powered(AcBusPowered.get(3));
}

// The selectors work from standby up, with power.
bool Operating() {
    return AtcPowered() && TransponderState.mode >= 2;
}

}  // namespace

// ---------------------------------------------------------------------------
// Handlers

void TransponderPowerToggle() {
    if (TransponderState.mode == 0) {
        TransponderState.mode = 1;
        TransponderState.test_timer = kTransponderTestTicks;
    } else {
        TransponderState.mode = 0;
    }
}

void TransponderIdentPress() {
    if (!Operating()) return;
    TransponderIdent = 1;
    TransponderState.ident_timer = kTransponderIdentTicks;
}

void TransponderAltSourceToggle() {
    TransponderAltSource = TransponderAltSource == 1 ? 2 : 1;
}

void TransponderCursorStep() {
    TransponderState.cursor_timer = kTransponderCursorTicks;
    if (!Operating()) return;
    TransponderState.digit_cursor = TransponderState.digit_cursor + 1;
    if (TransponderState.digit_cursor >= 5 || TransponderState.digit_cursor < 0) {
        TransponderState.digit_cursor = 0;
    }
}

void TransponderDigitStep(int32_t step) {
    const int32_t cursor = TransponderState.digit_cursor;
    if (!Operating() || cursor < 1 || cursor > 4) return;
    char& digit = TransponderCodePtr[cursor - 1];
    int32_t d = digit - '0' + step;
    if (d > 7) d = 0;
    if (d < 0) d = 7;
    digit = static_cast<char>('0' + d);
}

void TransponderRangeStep(int32_t step) {
    TcasState.range_index = std::clamp(TcasState.range_index + step, 0, 3);
}

void TransponderModeUp() {
    if (!Operating()) return;
    TransponderState.mode = std::min(TransponderState.mode + 1, 7);
}

void TransponderModeDown() {
    if (Operating()) {
        TransponderState.mode = std::max(TransponderState.mode - 1, 1);
        if (TransponderState.mode == 1) TransponderState.test_timer = kTransponderTestTicks;
    } else if (TransponderState.mode == 1) {
        TransponderState.test_timer = kTransponderTestTicks;  // restarts the test
    }
}

// ---------------------------------------------------------------------------
// Visibility and texts

void TransponderVisibility(gauge::ElementHeader* first, uint8_t gauge_is_vc) {
    ShowElement(first, 0, PanelLit(PanelLightingCircuit2.get(), gauge_is_vc));
    if (!AtcPowered()) TransponderState.mode = 0;
}

void TransponderCodeWindowText(char* text, std::size_t size) {
    const int32_t mode = TransponderState.mode;
    if (mode == 0) {
        CopyText(text, size, "    ");
    } else if (mode == 1) {
        if (TransponderState.test_timer > kTransponderTestPattern) {
            CopyText(text, size, "8888");
        } else {
            const double hundreds = std::trunc(static_cast<double>(Altitude) * 0.01);
            const int32_t shown = std::isfinite(hundreds)
                                      ? static_cast<int32_t>(std::clamp(hundreds, -999.0, 999.0))
                                      : 0;
            FormatInteger(text, size, shown, 3, '0');
        }
    } else {
        CopyText(text, size, TransponderCodePtr, 4);
        const int32_t cursor = TransponderState.digit_cursor;
        if (cursor >= 1 && cursor <= 4 && (TickCounter.load(std::memory_order_relaxed) & 2u) != 0 &&
            size > 4) {
            text[cursor - 1] = ' ';
        }
    }
    EpicMirror(kEpicSlot, text);
}

void TransponderAltSourceText(char* text, std::size_t size) {
    if (TransponderState.mode == 0) {
        CopyText(text, size, "   ");
    } else {
        CopyText(text, size, TransponderAltSource == 2 ? "FL2" : "FL1");
    }
}

void TransponderTaText(char* text, std::size_t size) {
    const int32_t mode = TransponderState.mode;
    CopyText(text, size, mode == 1 || mode == 6 || mode == 7 ? "TA" : "    ");
}

void TransponderRangeText(char* text, std::size_t size) {
    static constexpr const char* kRanges[4] = {"5", "10", "20", "40"};
    const int32_t mode = TransponderState.mode;
    if (mode == 0) {
        CopyText(text, size, "  ");
    } else if (mode == 1) {
        CopyText(text, size, "88");
    } else {
        CopyText(text, size, kRanges[std::clamp(TcasState.range_index, 0, 3)]);
    }
}

void TransponderModeText(char* text, std::size_t size) {
    static constexpr const char* kLegends[6] = {"   ", "TST", "SBY", "ON ", "ALT", "VFR"};
    const int32_t m = TransponderState.display_mode;
    CopyText(text, size, m >= 0 && m < 6 ? kLegends[m] : kLegends[0]);
}

void TransponderIdentText(char* text, std::size_t size) {
    CopyText(text, size, TransponderState.mode != 0 && TransponderIdent == 1 ? "IDT" : "   ");
}

namespace {

// ---------------------------------------------------------------------------
// Gauge data

template <void (*Text)(char*, std::size_t)>
double TextCallback(gauge::ElementHeader* element) {
    Text(StringBuffer(element), kStringBufferSize);
    return 1.0;
}

template <void (*Action)()>
int32_t Click(gauge::Point*, uint32_t) {
    Action();
    PlayClick(&SoundSet[kSoundClickTiny], kPan);
    ArmRefresh(kRefreshRadios);
    return 0;
}
template <void (*Action)(int32_t), int32_t Step>
int32_t StepClick(gauge::Point*, uint32_t) {
    Action(Step);
    PlayClick(&SoundSet[kSoundClickTiny], kPan);
    ArmRefresh(kRefreshRadios);
    return 0;
}

using radio_layout::Box;
using radio_layout::kAtc;

constexpr uint32_t kColour = 0x00005AD2u;
constexpr uint32_t kTextFlags = gauge::kImageTransparent | gauge::kImageLuminous;

constexpr gauge::StringElement Text(const Box& b, const char* font, int32_t height, uint32_t align,
                                    gauge::ElementHeader** next, gauge::ElementCallback callback) {
    return TextRecord(b.x, b.y, b.width, b.height, {font, height, kColour, 0u, align}, kTextFlags,
                      next, callback);
}

struct AtcElements {
    gauge::ElementHeader overlay;
    gauge::StringElement text[6];
    gauge::ElementHeader* next[7][2];
};

constexpr AtcElements MakeAtcElements(AtcElements* self) {
    constexpr int32_t kLegend = radio_layout::kLegendFont + 2;
    return {
        StaticImageRecord(radio_layout::kAtcOverlay, 0, 0,
                          gauge::kImageHidden | gauge::kImageLuminous, self->next[0]),
        {Text(kAtc.code, "Quartz", radio_layout::kWindowFontSecond, 2, self->next[1],
              TextCallback<TransponderCodeWindowText>),
         Text(kAtc.alt_source, "Small Fonts", kLegend, 1, self->next[2],
              TextCallback<TransponderAltSourceText>),
         Text(kAtc.ta, "Small Fonts", kLegend, 1, self->next[3], TextCallback<TransponderTaText>),
         Text(kAtc.range, "Small Fonts", kLegend, 1, self->next[4],
              TextCallback<TransponderRangeText>),
         Text(kAtc.mode, "Small Fonts", kLegend + 2, 1, self->next[5],
              TextCallback<TransponderModeText>),
         Text(kAtc.ident, "Small Fonts", kLegend + 2, 1, self->next[6],
              TextCallback<TransponderIdentText>)},
        {{&self->text[0].header, nullptr},
         {&self->text[1].header, nullptr},
         {&self->text[2].header, nullptr},
         {&self->text[3].header, nullptr},
         {&self->text[4].header, nullptr},
         {&self->text[5].header, nullptr},
         {nullptr, nullptr}}};
}

constinit AtcElements gAtcElements = MakeAtcElements(&gAtcElements);

constexpr gauge::MouseRect Area(const Box& b, uint32_t cursor, uint32_t events,
                                gauge::MouseHandler handler) {
    return MouseChild(b.x, b.y, b.width, b.height, cursor, events, handler);
}

}  // namespace

// In the order of the head's table: power switch, IDENT, FL, digit select,
// range down and up, code digit down and up, mode down and up.
gauge::MouseRect ATC1_PanelMouseRect[12] = {
    MouseParent(radio_layout::kNarrowWidth, radio_layout::kHeight),
    Area(kAtc.power_switch, kCursorHand, kClick, Click<TransponderPowerToggle>),
    Area(kAtc.ident_button, kCursorHand, kClick, Click<TransponderIdentPress>),
    Area(kAtc.fl_button, kCursorHand, kClick, Click<TransponderAltSourceToggle>),
    Area(kAtc.digit_button, kCursorHand, kClick, Click<TransponderCursorStep>),
    Area(kAtc.range_left, kCursorDecrease, kHeldClick, StepClick<TransponderRangeStep, -1>),
    Area(kAtc.range_right, kCursorIncrease, kHeldClick, StepClick<TransponderRangeStep, 1>),
    Area(kAtc.code_lower, kCursorDecrease, kHeldClick, StepClick<TransponderDigitStep, -1>),
    Area(kAtc.code_upper, kCursorIncrease, kHeldClick, StepClick<TransponderDigitStep, 1>),
    Area(kAtc.mode_left, kCursorDecrease, kHeldClick, Click<TransponderModeDown>),
    Area(kAtc.mode_right, kCursorIncrease, kHeldClick, Click<TransponderModeUp>),
    MouseEnd(),
};

gauge::ElementHeader* ATC1_PanelElementList[2] = {&gAtcElements.overlay, nullptr};

void ATC1_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceInstall || service == kServiceInitialise) {
        Atc1PanelHeader = gauge;
        ArmRefresh(kRefreshRadios, RefreshHoldCount2);
        return;
    }
    if (service != gauge::kServiceUpdate) return;
    Atc1PanelHeader = gauge;
    Atc1GaugeIsVc = GaugeIsVcFrom(gauge);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    const bool electrical = ConsumeElectricalChange();
    // The ident legend stays current while the ident runs.
    if (all || electrical || TransponderState.ident_timer > 0) ArmRefresh(kRefreshRadios);
    if (RefreshGroupStep(kRefreshRadios)) {
        TransponderVisibility(&gAtcElements.overlay, Atc1GaugeIsVc);
    }
}

}  // namespace zu
