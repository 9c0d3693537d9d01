// Bitmaps of the engine start panel and the lever quadrant: their numbers,
// sizes and what each one shows. One table serves the gauges and the
// artwork generator (tools/artwork), which draws every entry; lit copies
// are the same bitmaps shown with the lit bit. Sizes are design pixels.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::engine_panels_art {

enum class Kind : uint8_t {
    StartPlate,     // the start panel's plate with its START button and captions
    Toggle,         // three-position toggle; `position` 0 down, 1 centre, 2 up
    Selector,       // rotary selector; `position` 0 left, 1 up, 2 right
    QuadrantPlate,  // the lever quadrant's slots and markings
    QuadrantLit,    // its lit markings
    PowerKnob,      // power lever knob (seen from above)
    ConditionKnob,  // condition lever knob
    Gate,           // the throttle-limiter gate bar
    FlapKnob,       // flap lever knob
    BrakeHandle,    // parking brake handle
    TrimPointer,    // elevator trim pointer
    DisconnectButton,
};

struct Art {
    uint32_t id;
    const char* name;
    int16_t width;
    int16_t height;
    Kind kind;
    int8_t position = 0;
};

inline constexpr uint32_t kBase = zu::res::kEnginePanelsBlock;

inline constexpr uint32_t kStartPlate = kBase + 0x00;
inline constexpr uint32_t kIgnitionDown = kBase + 0x01;
inline constexpr uint32_t kIgnitionCentre = kBase + 0x02;
inline constexpr uint32_t kIgnitionUp = kBase + 0x03;
inline constexpr uint32_t kSelectorLeft = kBase + 0x04;
inline constexpr uint32_t kSelectorUp = kBase + 0x05;
inline constexpr uint32_t kSelectorRight = kBase + 0x06;

inline constexpr uint32_t kQuadrantPlate = kBase + 0x10;
inline constexpr uint32_t kQuadrantLit = kBase + 0x11;
inline constexpr uint32_t kPowerKnob = kBase + 0x12;
inline constexpr uint32_t kConditionKnob = kBase + 0x13;
inline constexpr uint32_t kGate = kBase + 0x14;
inline constexpr uint32_t kFlapKnob = kBase + 0x15;
inline constexpr uint32_t kBrakeHandle = kBase + 0x16;
inline constexpr uint32_t kTrimPointer = kBase + 0x17;
inline constexpr uint32_t kDisconnectButton = kBase + 0x18;

struct Size {
    int16_t width;
    int16_t height;
};
inline constexpr Size kStartPanelSize{191, 120};
inline constexpr Size kToggleSize{18, 34};
inline constexpr Size kSelectorSize{34, 34};
inline constexpr Size kQuadrantSize{204, 260};
inline constexpr Size kLeverKnobSize{26, 14};

inline constexpr Art kArt[] = {
    {kStartPlate, "engine_start_plate", kStartPanelSize.width, kStartPanelSize.height,
     Kind::StartPlate},
    {kIgnitionDown, "ignition_down", kToggleSize.width, kToggleSize.height, Kind::Toggle, 0},
    {kIgnitionCentre, "ignition_centre", kToggleSize.width, kToggleSize.height, Kind::Toggle, 1},
    {kIgnitionUp, "ignition_up", kToggleSize.width, kToggleSize.height, Kind::Toggle, 2},
    {kSelectorLeft, "start_selector_left", kSelectorSize.width, kSelectorSize.height,
     Kind::Selector, 0},
    {kSelectorUp, "start_selector_up", kSelectorSize.width, kSelectorSize.height, Kind::Selector,
     1},
    {kSelectorRight, "start_selector_right", kSelectorSize.width, kSelectorSize.height,
     Kind::Selector, 2},
    {kQuadrantPlate, "quadrant_plate", kQuadrantSize.width, kQuadrantSize.height,
     Kind::QuadrantPlate},
    {kQuadrantLit, "quadrant_lit", kQuadrantSize.width, kQuadrantSize.height, Kind::QuadrantLit},
    {kPowerKnob, "power_lever_knob", kLeverKnobSize.width, kLeverKnobSize.height, Kind::PowerKnob},
    {kConditionKnob, "condition_lever_knob", kLeverKnobSize.width, kLeverKnobSize.height,
     Kind::ConditionKnob},
    {kGate, "limiter_gate", 70, 6, Kind::Gate},
    {kFlapKnob, "flap_lever_knob", 22, 12, Kind::FlapKnob},
    {kBrakeHandle, "parking_brake_handle", 24, 12, Kind::BrakeHandle},
    {kTrimPointer, "trim_pointer", 10, 8, Kind::TrimPointer},
    {kDisconnectButton, "ap_disconnect_button", 20, 20, Kind::DisconnectButton},
};

}  // namespace zu::engine_panels_art
