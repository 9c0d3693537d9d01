#include "instruments/radio_head.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/module_frame.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"

namespace zu {

namespace {

constexpr char kBlankWindow[] = "      ";
constexpr char kEmptyFrequency[] = "---.--";
constexpr int32_t kPresetCount = 9;

// Tolerance of the band-end comparisons (a float frequency sits within a
// few millionths of its grid).
constexpr float kBandEdgeTolerance = 0.001f;

int32_t ClampIndex(int32_t v) {
    return std::clamp(v, 1, kPresetCount);
}

bool FlashOff(const RadioBand& band) {
    return (TickCounter.load(std::memory_order_relaxed) & band.flash_mask) != 0;
}

// The window texts formatted last, by format and value: the heads show the
// same few frequencies frame after frame, and a format's text depends on the
// value alone.
struct FrequencyMemo {
    FrequencyFormat format = nullptr;
    uint32_t value_bits = 0;
    char text[16] = {};
};
// Room for every head's windows at once (a few dozen values), spread by a
// multiplicative hash so that neighbouring frequencies do not share a slot.
constexpr uint32_t kFrequencyMemoBits = 6;
thread_local FrequencyMemo tFrequencyMemos[1u << kFrequencyMemoBits];

void Frequency(const RadioBand& band, char* text, std::size_t size, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    FrequencyMemo& memo = tFrequencyMemos[(bits * 0x9E3779B1u) >> (32 - kFrequencyMemoBits)];
    if (memo.format != band.format || memo.value_bits != bits) {
        memo.format = nullptr;
        band.format(memo.text, sizeof memo.text, value);
        // A text the memo cannot hold whole is formatted each time.
        if (std::strlen(memo.text) + 1 >= sizeof memo.text) return band.format(text, size, value);
        memo.format = band.format;
        memo.value_bits = bits;
    }
    CopyText(text, size, memo.text);
}

// A frequency shown in modes 1 and 2: blanks during the off phase while it
// is below the band's flashing limit.
void TunedFrequency(const RadioBand& band, char* text, std::size_t size, float value) {
    if (band.flash_below > 0.0f && value < band.flash_below && FlashOff(band)) {
        CopyText(text, size, kBlankWindow);
    } else {
        Frequency(band, text, size, value);
    }
}

// A preset in the lower window, "---.--" when empty.
void PresetFrequency(const RadioBand& band, char* text, std::size_t size, float value) {
    if (value == 0.0f) {
        CopyText(text, size, kEmptyFrequency);
    } else {
        Frequency(band, text, size, value);
    }
}

bool IsFineStep(const RadioBand& band, float delta) {
    return std::fabs(std::fabs(delta) - band.fine_step) < band.fine_step * 0.2f;
}

// The frequency the knob tunes in modes 1 and 2: the standby frequency in
// mode 1 (the active one while DME hold is on), the active one in mode 2.
float* TunedTarget(const RadioHead& head) {
    if (*head.mode == kHeadDirectTune) return head.active;
    if (head.dme_hold != nullptr && *head.dme_hold != 0) return head.active;
    return head.standby;
}

// Channel mode: the next stored preset in the knob's direction; a direction
// without one leaves the channel.
void ChannelSearch(const RadioHead& head, float delta) {
    const float stored = head.band->stored_above;
    int32_t channel = ClampIndex(*head.channel);
    if (delta > 0.0f) {
        int32_t c = channel + 1;
        while (c < kPresetCount && head.presets[c] <= stored) ++c;
        if (c <= kPresetCount && head.presets[c] > stored) channel = c;
    } else if (delta < 0.0f) {
        int32_t c = channel - 1;
        while (c > 1 && head.presets[c] <= stored) --c;
        if (c >= 1 && head.presets[c] > stored) channel = c;
    }
    *head.channel = ClampIndex(channel);
}

// Preset programming: the number while choosing, the frequency while
// editing.
void PresetTune(const RadioHead& head, float delta, bool fine) {
    const RadioBand& band = *head.band;
    if (*head.editing == 0) {
        *head.preset = ClampIndex(*head.preset + (delta > 0.0f ? 1 : -1));
        return;
    }
    *head.preset = ClampIndex(*head.preset);
    float& preset = head.presets[*head.preset];
    if (preset < band.edit_floor) preset = band.edit_floor;
    float v = fine ? RadioFineCarry(band, preset, delta) : preset;
    v += delta;
    if (band.edit_empties) {
        const bool outside =
            v < band.low - kBandEdgeTolerance || v > band.high + kBandEdgeTolerance;
        preset = outside ? 0.0f : RadioGridRound(band, v);
    } else {
        preset = RadioGridRound(band, RadioBandWrap(band, v, fine));
    }
}

void KnobTouched(const RadioHead& head) {
    ArmRefresh(head.band->group);
    *head.mode_timer = *head.timer_hold;
}

void Click(const RadioHead& head) {
    PlayClick(&SoundSet[kSoundClickTiny], head.pan);
}

}  // namespace

// ---------------------------------------------------------------------------
// Bands

void VorFrequencyText(char* text, std::size_t size, float mhz) {
    std::snprintf(text, size, "%5.2f", static_cast<double>(mhz));
}

void AdfFrequencyText(char* text, std::size_t size, float khz) {
    std::snprintf(text, size, khz < 1000.0f ? " %5.1f" : "%5.1f", static_cast<double>(khz));
}

void ComFrequencyText(char* text, std::size_t size, float mhz) {
    std::snprintf(text, size, "%5.3f", static_cast<double>(mhz));
}

const RadioBand kVorBand = {
    .fine_step = 0.05f,
    .whole_step = 1.0f,
    .low = 108.0f,
    .high = 117.95f,
    .fine_wrap = 10.0f,
    .whole_wrap = 10.0f,
    .carry_down_below = 0.01f,
    .carry_up_above = 0.93f,
    .grid = 0.05,
    .stored_above = 107.975f,
    .edit_floor = 108.0f,
    .edit_empties = true,
    .output_scale = 100,
    .group = kRefreshSelectors,
    .flash_mask = 2,
    .flash_below = 0.0f,
    .format = VorFrequencyText,
};

// The ADF knob carries into the tens, and its wrap of 10 kHz undoes a
// whole step at either end of the band.
const RadioBand kAdfBand = {
    .fine_step = 0.5f,
    .whole_step = 10.0f,
    .low = 100.0f,
    .high = 1799.5f,
    .fine_wrap = 10.0f,
    .whole_wrap = 10.0f,
    .carry_down_below = -1.0f,
    .carry_up_above = 2.0f,
    .grid = 0.0,
    .stored_above = 99.75f,
    .edit_floor = 108.0f,
    .edit_empties = false,
    .output_scale = 10,
    .group = kRefreshRadios,
    .flash_mask = 4,
    .flash_below = 190.0f,
    .format = AdfFrequencyText,
};

// 118.000 to 136.975 MHz; a whole step past an end wraps to the other end
// of the band, a fine step stays within its megahertz.
const RadioBand kComBand = {
    .fine_step = 0.025f,
    .whole_step = 1.0f,
    .low = 118.0f,
    .high = 136.975f,
    .fine_wrap = 1.0f,
    .whole_wrap = 19.0f,
    .carry_down_below = 0.001f,
    .carry_up_above = 0.969f,
    .grid = 0.025,
    .stored_above = 117.995f,
    .edit_floor = 117.975f,
    .edit_empties = false,
    .output_scale = 100,
    .group = kRefreshRadios,
    .flash_mask = 2,
    .flash_below = 0.0f,
    .format = ComFrequencyText,
};

float RadioBandWrap(const RadioBand& band, float value, bool fine) {
    const float wrap = fine ? band.fine_wrap : band.whole_wrap;
    if (value < band.low - kBandEdgeTolerance) return value + wrap;
    if (value > band.high + kBandEdgeTolerance) return value - wrap;
    return value;
}

float RadioFineCarry(const RadioBand& band, float value, float delta) {
    const float fraction = value - std::floor(value);
    if (delta < 0.0f && fraction < band.carry_down_below) return value + 1.0f;
    if (delta > 0.0f && fraction > band.carry_up_above) return value - 1.0f;
    return value;
}

float RadioGridRound(const RadioBand& band, float value) {
    if (band.grid <= 0.0) return value;
    return static_cast<float>(std::round(static_cast<double>(value) / band.grid) * band.grid);
}

// ---------------------------------------------------------------------------
// Tuning

void RadioHeadTune(const RadioHead& head, float delta) {
    const RadioBand& band = *head.band;
    const bool fine = IsFineStep(band, delta);
    switch (*head.mode) {
        case kHeadNormal:
        case kHeadDirectTune: {
            float* target = TunedTarget(head);
            float v = fine ? RadioFineCarry(band, *target, delta) : *target;
            *target = RadioGridRound(band, RadioBandWrap(band, v + delta, fine));
            break;
        }
        case kHeadChannel:
            ChannelSearch(head, delta);
            break;
        case kHeadPresetProgramming:
            PresetTune(head, delta, fine);
            break;
        default:
            break;
    }
    KnobTouched(head);
}

void RadioHeadTouchTune(const RadioHead& head, float delta) {
    const int32_t mode = *head.mode;
    if (mode != kHeadNormal && mode != kHeadDirectTune) {
        RadioHeadTune(head, delta);
        return;
    }
    float* target = TunedTarget(head);
    *target = RadioGridRound(*head.band, RadioBandWrap(*head.band, *target + delta, false));
    KnobTouched(head);
}

// ---------------------------------------------------------------------------
// Mouse handler actions

void RadioHeadPower(const RadioHead& head) {
    *head.mode = *head.mode == kHeadOff ? kHeadNormal : kHeadOff;
    Click(head);
    ArmRefresh(head.band->group);
    if (head.power_second_group >= 0) ArmRefresh(head.power_second_group, RefreshHoldCount2);
}

void RadioHeadXfr(const RadioHeadGauge& gauge) {
    const RadioHead& head = *gauge.head;
    *head.rocker_event = kRockerXfr;
    ShowElement(gauge.first, kRockerRestElement, false);
    ShowElement(gauge.first, kRockerUpElement, true);
    ShowElement(gauge.first, kRockerDownElement, false);
    *head.mode_timer = kModeTimerLoad;
    Click(head);
    ArmRefresh(head.band->group);
}

void RadioHeadMem(const RadioHeadGauge& gauge) {
    const RadioHead& head = *gauge.head;
    *head.rocker_event = kRockerMem;
    ShowElement(gauge.first, kRockerRestElement, false);
    ShowElement(gauge.first, kRockerUpElement, false);
    ShowElement(gauge.first, kRockerDownElement, true);
    Click(head);
    ArmRefresh(head.band->group);
}

void RadioHeadDirectTune(const RadioHead& head) {
    if (*head.mode != kHeadOff) {
        *head.mode = kHeadDirectTune;
        *head.editing = 0;
    }
    Click(head);
    ArmRefresh(head.band->group);
}

void RadioHeadPresetButton(const RadioHead& head) {
    if (*head.mode != kHeadOff) {
        *head.mode =
            *head.mode == kHeadPresetProgramming ? *head.saved_mode : kHeadPresetProgramming;
    }
    *head.mode_timer = kModeTimerLoad;
    Click(head);
    ArmRefresh(head.band->group);
}

void RadioHeadTouchZone(RadioHeadGauge& gauge, int32_t zone, float small_step, float large_step,
                        void (*tune)(float delta)) {
    const int32_t step = TouchKnobStep(&gauge.ring, zone, 4, 1, 2);
    if (step == 0) return;
    const float delta = (step == 1 || step == -1) ? static_cast<float>(step) * small_step
                                                  : static_cast<float>(step / 2) * large_step;
    tune(delta);
}

// ---------------------------------------------------------------------------
// Update run

void RadioHeadPowerStep(const RadioHeadGauge& gauge) {
    const RadioHead& head = *gauge.head;
    // A mode restored from a saved flight outside the machine's modes.
    if (*head.mode < kHeadOff || *head.mode > kHeadPresetProgramming) *head.mode = kHeadOff;
    if (!head.powered()) {
        *head.mode = kHeadOff;
        *head.editing = 0;
    } else if (gauge.touch && *head.mode == kHeadOff) {
        *head.mode = kHeadNormal;  // the touch head switches itself on
    }
}

void RadioHeadRockerEvent(const RadioHead& head) {
    const int32_t event = *head.rocker_event;
    if (event == 0) return;
    const bool xfr = event == kRockerXfr;
    switch (*head.mode) {
        case kHeadNormal:
            if (xfr) {
                std::swap(*head.standby, *head.active);
            } else {
                *head.mode = kHeadChannel;
            }
            break;
        case kHeadDirectTune:
            *head.mode = xfr ? kHeadNormal : kHeadChannel;
            break;
        case kHeadChannel:
            if (xfr) {
                const float preset = head.presets[ClampIndex(*head.channel)];
                if (preset != 0.0f) {
                    *head.standby = *head.active;
                    *head.active = preset;
                }
                *head.mode = kHeadNormal;
            } else {
                *head.mode = *head.saved_mode;
            }
            break;
        case kHeadPresetProgramming:
            if (xfr) {
                *head.editing = *head.editing == 0 ? 1 : 0;
            } else {
                *head.mode = kHeadChannel;
            }
            break;
        default:
            break;
    }
    *head.rocker_release = kRockerReleaseRuns;
    *head.rocker_event = 0;
    if (*head.mode == kHeadChannel) {
        *head.mode_timer = *head.channel_timer_hold;
        *head.saved_mode = kHeadNormal;
    } else {
        *head.mode_timer = *head.timer_hold;
    }
}

bool RadioHeadAnyPreset(const RadioHead& head) {
    for (int32_t i = 1; i <= kPresetCount; ++i) {
        if (head.presets[i] != 0.0f) return true;
    }
    return false;
}

void RadioHeadChannelCheck(const RadioHead& head) {
    int32_t channel = ClampIndex(*head.channel);
    while (head.presets[channel] == 0.0f && channel < kPresetCount) ++channel;
    if (head.presets[channel] == 0.0f) channel = 1;
    *head.channel = channel;
}

void RadioHeadModeTimer(const RadioHead& head) {
    if (!CountdownTick(head.mode_timer)) return;
    if (*head.mode_timer == 1) {
        *head.mode = kHeadNormal;
        ArmRefresh(head.band->group);
    }
}

void RadioHeadSavedMode(const RadioHead& head) {
    if (*head.mode < kHeadChannel) *head.saved_mode = *head.mode;
}

void RadioHeadFrequencyOut(const RadioHead& head) {
    const double scaled = (static_cast<double>(*head.active) + 0.001) * head.band->output_scale;
    *head.frequency_out =
        std::isfinite(scaled) ? static_cast<int32_t>(std::clamp(scaled, -1.0e9, 1.0e9)) : 0;
}

namespace {

// The steps that show, hide or light elements, on the list the run looks up
// once.

void Lighting(const RadioHeadGauge& gauge, const ElementList& list) {
    static constexpr int8_t kGlowing[] = {kRockerRestElement, kRockerUpElement, kRockerDownElement};
    const bool lit = gauge.head->lit() && (gauge.touch || gauge.gauge_is_vc == 0);
    ApplyLitBit(list, kOverlayElement, kGlowing, 3, lit);
}

void PresetLegend(const RadioHeadGauge& gauge, const ElementList& list) {
    const RadioHead& head = *gauge.head;
    ShowElement(list, kPresetLegendElement, *head.mode != kHeadOff && RadioHeadAnyPreset(head));
}

void RockerRelease(const RadioHeadGauge& gauge, const ElementList& list) {
    const RadioHead& head = *gauge.head;
    if (*head.rocker_release > 0) {
        if (--*head.rocker_release != 0) return;
        Click(head);
    }
    // At rest. The twin gauge of a side (which shares the countdown) may have
    // counted it out: its rocker comes back on its own next run.
    ShowElement(list, kRockerRestElement, true);
    ShowElement(list, kRockerUpElement, false);
    ShowElement(list, kRockerDownElement, false);
}

void WindowRendering(const RadioHeadGauge& gauge, const ElementList& list) {
    if (gauge.pixel_width == nullptr || gauge.elements.second_upper < 0) return;
    if ((TickCounter.load(std::memory_order_relaxed) & 2u) == 0) return;
    const bool second = int64_t{7} * *gauge.pixel_width > 1050;
    ShowElement(list, gauge.elements.second_upper, second);
    ShowElement(list, gauge.elements.second_lower, second);
    ShowElement(list, kUpperWindowElement, !second);
    ShowElement(list, kLowerWindowElement, !second);
}

}  // namespace

void RadioHeadLighting(const RadioHeadGauge& gauge) {
    Lighting(gauge, ElementList(gauge.first));
}

void RadioHeadPresetLegend(const RadioHeadGauge& gauge) {
    PresetLegend(gauge, ElementList(gauge.first));
}

void RadioHeadRockerRelease(const RadioHeadGauge& gauge) {
    RockerRelease(gauge, ElementList(gauge.first));
}

void RadioHeadWindowRendering(const RadioHeadGauge& gauge) {
    WindowRendering(gauge, ElementList(gauge.first));
}

void RadioHeadUpdateRun(RadioHeadGauge& gauge) {
    const RadioHead& head = *gauge.head;
    const ElementList list(gauge.first);
    Lighting(gauge, list);
    RadioHeadPowerStep(gauge);
    RadioHeadRockerEvent(head);
    PresetLegend(gauge, list);
    RadioHeadChannelCheck(head);
    RockerRelease(gauge, list);
    RadioHeadModeTimer(head);
    RadioHeadSavedMode(head);
    RadioHeadFrequencyOut(head);
    WindowRendering(gauge, list);
}

void RadioHeadCallback(RadioHeadGauge& gauge, gauge::GaugeHeader* header, int32_t service) {
    const RadioHead& head = *gauge.head;
    if (service == gauge::kServiceInstall || service == kServiceInitialise ||
        service == gauge::kServiceUpdate) {
        gauge.header = header;
    }
    if (service == gauge::kServiceInstall || service == kServiceInitialise) {
        ArmRefresh(head.band->group, RefreshHoldCount2);
        return;
    }
    if (service != gauge::kServiceUpdate) return;
    if (!gauge.touch) gauge.gauge_is_vc = GaugeIsVcFrom(gauge.header);
    bool arm = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    // The mode timer and the rocker's return count on update runs, which run
    // only while the group's countdown runs: keep it running meanwhile.
    if (*head.mode_timer > 0 || *head.rocker_release > 0) arm = true;
    if (arm) ArmRefresh(head.band->group);
    if (RefreshGroupStep(head.band->group)) RadioHeadUpdateRun(gauge);
}

// ---------------------------------------------------------------------------
// Window texts

void RadioHeadUpperText(const RadioHead& head, char* text, std::size_t size) {
    const RadioBand& band = *head.band;
    switch (*head.mode) {
        case kHeadNormal:
        case kHeadDirectTune:
            TunedFrequency(band, text, size, *head.active);
            break;
        case kHeadChannel:
            std::snprintf(text, size, "%1.0d", *head.channel);
            break;
        case kHeadPresetProgramming:
            if (*head.editing == 0 && FlashOff(band)) {
                CopyText(text, size, kBlankWindow);
            } else {
                std::snprintf(text, size, "%1.0d", *head.preset);
            }
            break;
        default:
            CopyText(text, size, kBlankWindow);
            break;
    }
}

void RadioHeadLowerText(const RadioHeadGauge& gauge, char* text, std::size_t size) {
    const RadioHead& head = *gauge.head;
    const RadioBand& band = *head.band;
    const int32_t mode = *head.mode;
    switch (mode) {
        case kHeadNormal:
            TunedFrequency(band, text, size, *head.standby);
            break;
        case kHeadDirectTune:
            CopyText(text, size, kEmptyFrequency);
            break;
        case kHeadChannel:
            PresetFrequency(band, text, size, head.presets[ClampIndex(*head.channel)]);
            break;
        case kHeadPresetProgramming:
            if (*head.editing == 1 && FlashOff(band)) {
                CopyText(text, size, kBlankWindow);
            } else {
                PresetFrequency(band, text, size, head.presets[ClampIndex(*head.preset)]);
            }
            break;
        default:
            CopyText(text, size, kBlankWindow);
            break;
    }
    if (head.dme_hold == nullptr) return;
    // DME hold: catch the frequency when hold is set; show it and the "D"
    // while the head is on; an off head clears the hold.
    const uint8_t hold = *head.dme_hold;
    if (hold != *head.hold_seen && hold != 0) *head.held = *head.active;
    *head.hold_seen = hold;
    if (mode != kHeadOff) {
        if (hold != 0) Frequency(band, text, size, *head.held);
        ShowElement(gauge.first, gauge.elements.hold_legend, hold != 0);
    } else {
        *head.dme_hold = 0;
    }
}

void RadioHeadLegendText(const RadioHead& head, const char* legend, char* text, std::size_t size) {
    if (*head.mode != kHeadOff) {
        CopyText(text, size, legend);
    } else {
        CopyText(text, size, "   ");
    }
}

void RadioHeadTransmitText(const RadioHead& head, const char* legend, char* text,
                           std::size_t size) {
    if (head.host_flag != nullptr && *head.host_flag != 0 && *head.mode != kHeadOff) {
        CopyText(text, size, legend);
    } else {
        CopyText(text, size, "   ");
    }
}

void EpicMirror(int32_t slot, const char* text) {
    if (EPIC == 0 || slot < 0 || slot >= kEpicTextSlots) return;
    CopyText(EpicTextSlots[slot].text, sizeof EpicTextSlots[slot].text, text, 6);
}

}  // namespace zu
