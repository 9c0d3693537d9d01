// Bitmaps of the fire-protection panel, the hydraulic panels and indicators,
// the flight-control shut-off panels, the alternate gear pump, the bypass
// doors and the air-system indicators: their numbers, sizes and what each
// one shows. One table serves the gauges and the artwork generator
// (tools/artwork), which draws every entry. Sizes are design pixels.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::system_panels_art {

enum class Kind : uint8_t {
    FirePlate,      // the fire panel's plate with its dark lamps and captions
    FireLit,        // its lit captions
    FireLamp,       // a lit lamp; `variant` is the lamp word 0..11
    FireHandle,     // `variant` bit 0 pulled, bit 1 lamp lit
    Selector,       // a three-position rotary selector; `variant` 1 left, 0 up, 2 right
    KnobPointer,    // a knob's index seen as a needle (pointing up); `variant` 1 lit
    BypassPlate,    // the bypass-door panel with its dark lamps
    BypassLit,      // its lit captions
    DoorLamp,       // `variant` 0 closed, 1 heater, 2 open
    StbyHydrPlate,  // the standby hydraulic panel's plate
    StbyHydrLit,    // its lit captions
    Toggle,         // `variant` 0 centre (neutral), 1 down (auto), 2 up (on)
    PtuLamp,        // the push-button's lit lamp
    DialFace,       // an indicator face; `variant` is the Dial, `lit` glows
    DialNeedle,     // an indicator pointer (pointing up); `lit` glows
    ShutoffPlate,   // a shut-off panel; `variant` the number of guarded switches
    ShutoffLit,     // its lit captions; `variant` as above
    AltGearPlate,   // the alternate gear pump panel's face
    AltGearPart,    // `variant` 0 cover, 1 switch on, 2 switch off, 3 lamp
};

// The indicator faces.
enum Dial : int8_t {
    kDialStbyHydr = 0,
    kDialMainHydr,
    kDialBrakeHydr,
    kDialHydrQty,
    kDialDuctTemp,
    kDialCabinDiff,
    kDialCabinAlt,
    kDialCabinRate,
    kDialCabAltSet,
    kDialCount
};

struct Art {
    uint32_t id;
    const char* name;
    int16_t width;
    int16_t height;
    Kind kind;
    int8_t variant = 0;
    bool lit = false;
};

inline constexpr uint32_t kBase = zu::res::kSystemPanelsBlock;

// Fire panel.
inline constexpr uint32_t kFirePlate = kBase + 0x00;
inline constexpr uint32_t kFireLit = kBase + 0x01;
inline constexpr uint32_t kFireLamp0 = kBase + 0x02;  // + lamp word, 12 bitmaps
inline constexpr uint32_t kFireHandleIn = kBase + 0x10;
inline constexpr uint32_t kFireHandlePulled = kBase + 0x11;
inline constexpr uint32_t kFireHandleInLit = kBase + 0x12;
inline constexpr uint32_t kFireHandlePulledLit = kBase + 0x13;
inline constexpr uint32_t kSelectorAt1 = kBase + 0x14;
inline constexpr uint32_t kSelectorAt0 = kBase + 0x15;
inline constexpr uint32_t kSelectorAt2 = kBase + 0x16;
inline constexpr uint32_t kKnobPointer = kBase + 0x17;
inline constexpr uint32_t kKnobPointerLit = kBase + 0x18;

// Bypass doors.
inline constexpr uint32_t kBypassPlate = kBase + 0x20;
inline constexpr uint32_t kBypassLit = kBase + 0x21;
inline constexpr uint32_t kDoorClosed = kBase + 0x22;
inline constexpr uint32_t kDoorHeater = kBase + 0x23;
inline constexpr uint32_t kDoorOpen = kBase + 0x24;

// Standby hydraulic panel.
inline constexpr uint32_t kStbyHydrPlate = kBase + 0x30;
inline constexpr uint32_t kStbyHydrLit = kBase + 0x31;
inline constexpr uint32_t kToggleNeutral = kBase + 0x32;
inline constexpr uint32_t kToggleAuto = kBase + 0x33;
inline constexpr uint32_t kToggleOn = kBase + 0x34;
inline constexpr uint32_t kPtuLamp = kBase + 0x35;

// Indicator faces: unlit kFaceBase + 2 d, lit + 1.
inline constexpr uint32_t kFaceBase = kBase + 0x40;
constexpr uint32_t FaceOf(Dial d, bool lit) {
    return kFaceBase + 2 * static_cast<uint32_t>(d) + (lit ? 1 : 0);
}
inline constexpr uint32_t kNeedle = kBase + 0x60;
inline constexpr uint32_t kNeedleLit = kBase + 0x61;
inline constexpr uint32_t kSmallNeedle = kBase + 0x62;
inline constexpr uint32_t kSmallNeedleLit = kBase + 0x63;

// Shut-off panels and the alternate gear pump.
inline constexpr uint32_t kRollShutoffPlate = kBase + 0x70;
inline constexpr uint32_t kRollShutoffLit = kBase + 0x71;
inline constexpr uint32_t kRuddersShutoffPlate = kBase + 0x72;
inline constexpr uint32_t kRuddersShutoffLit = kBase + 0x73;
inline constexpr uint32_t kPusherShutoffPlate = kBase + 0x74;
inline constexpr uint32_t kPusherShutoffLit = kBase + 0x75;
inline constexpr uint32_t kAltGearPlate = kBase + 0x78;
inline constexpr uint32_t kAltGearCover = kBase + 0x79;
inline constexpr uint32_t kAltGearSwitchOn = kBase + 0x7A;
inline constexpr uint32_t kAltGearSwitchOff = kBase + 0x7B;
inline constexpr uint32_t kAltGearLamp = kBase + 0x7C;

struct Size {
    int16_t width;
    int16_t height;
};
inline constexpr Size kFirePanelSize{455, 200};
inline constexpr Size kFireLampSize{56, 22};
inline constexpr Size kFireHandleSize{120, 56};
inline constexpr Size kSelectorSize{30, 30};
inline constexpr Size kKnobPointerSize{30, 30};  // pivot at the centre
inline constexpr Size kBypassSize{114, 120};
inline constexpr Size kDoorLampSize{40, 18};
inline constexpr Size kStbyHydrSize{145, 90};
inline constexpr Size kToggleSize{18, 34};
inline constexpr Size kPtuLampSize{34, 30};
inline constexpr Size kDialSize{77, 77};     // the hydraulic indicators
inline constexpr Size kAirDialSize{65, 65};  // duct temperature and cabin gauges
inline constexpr Size kCabAltSetSize{85, 48};
inline constexpr Size kNeedleSize{6, 34};       // pivot 3, 28
inline constexpr Size kSmallNeedleSize{4, 20};  // pivot 2, 16
inline constexpr Size kRollShutoffSize{65, 60};
inline constexpr Size kRuddersShutoffSize{193, 60};
inline constexpr Size kPusherShutoffSize{56, 60};
inline constexpr Size kAltGearSize{100, 100};
inline constexpr Size kAltGearPartSize{24, 24};

inline constexpr Art kArt[] = {
    {kFirePlate, "fire_plate", kFirePanelSize.width, kFirePanelSize.height, Kind::FirePlate},
    {kFireLit, "fire_lit", kFirePanelSize.width, kFirePanelSize.height, Kind::FireLit},
    {kFireLamp0 + 0, "fire_lamp_loop_1a", kFireLampSize.width, kFireLampSize.height, Kind::FireLamp,
     0},
    {kFireLamp0 + 1, "fire_lamp_loop_1b", kFireLampSize.width, kFireLampSize.height, Kind::FireLamp,
     1},
    {kFireLamp0 + 2, "fire_lamp_loop_2a", kFireLampSize.width, kFireLampSize.height, Kind::FireLamp,
     2},
    {kFireLamp0 + 3, "fire_lamp_loop_2b", kFireLampSize.width, kFireLampSize.height, Kind::FireLamp,
     3},
    {kFireLamp0 + 4, "fire_lamp_bottle_1_1", kFireLampSize.width, kFireLampSize.height,
     Kind::FireLamp, 4},
    {kFireLamp0 + 5, "fire_lamp_bottle_1_2", kFireLampSize.width, kFireLampSize.height,
     Kind::FireLamp, 5},
    {kFireLamp0 + 6, "fire_lamp_bottle_2_1", kFireLampSize.width, kFireLampSize.height,
     Kind::FireLamp, 6},
    {kFireLamp0 + 7, "fire_lamp_bottle_2_2", kFireLampSize.width, kFireLampSize.height,
     Kind::FireLamp, 7},
    {kFireLamp0 + 8, "fire_lamp_handle_1_pulled", kFireLampSize.width, kFireLampSize.height,
     Kind::FireLamp, 8},
    {kFireLamp0 + 9, "fire_lamp_handle_1_in", kFireLampSize.width, kFireLampSize.height,
     Kind::FireLamp, 9},
    {kFireLamp0 + 10, "fire_lamp_handle_2_pulled", kFireLampSize.width, kFireLampSize.height,
     Kind::FireLamp, 10},
    {kFireLamp0 + 11, "fire_lamp_handle_2_in", kFireLampSize.width, kFireLampSize.height,
     Kind::FireLamp, 11},
    {kFireHandleIn, "fire_handle_in", kFireHandleSize.width, kFireHandleSize.height,
     Kind::FireHandle, 0},
    {kFireHandlePulled, "fire_handle_pulled", kFireHandleSize.width, kFireHandleSize.height,
     Kind::FireHandle, 1},
    {kFireHandleInLit, "fire_handle_in_lit", kFireHandleSize.width, kFireHandleSize.height,
     Kind::FireHandle, 2},
    {kFireHandlePulledLit, "fire_handle_pulled_lit", kFireHandleSize.width, kFireHandleSize.height,
     Kind::FireHandle, 3},
    {kSelectorAt1, "system_selector_1", kSelectorSize.width, kSelectorSize.height, Kind::Selector,
     1},
    {kSelectorAt0, "system_selector_0", kSelectorSize.width, kSelectorSize.height, Kind::Selector,
     0},
    {kSelectorAt2, "system_selector_2", kSelectorSize.width, kSelectorSize.height, Kind::Selector,
     2},
    {kKnobPointer, "system_knob_pointer", kKnobPointerSize.width, kKnobPointerSize.height,
     Kind::KnobPointer, 0},
    {kKnobPointerLit, "system_knob_pointer_lit", kKnobPointerSize.width, kKnobPointerSize.height,
     Kind::KnobPointer, 1},
    {kBypassPlate, "bypass_plate", kBypassSize.width, kBypassSize.height, Kind::BypassPlate},
    {kBypassLit, "bypass_lit", kBypassSize.width, kBypassSize.height, Kind::BypassLit},
    {kDoorClosed, "door_lamp_closed", kDoorLampSize.width, kDoorLampSize.height, Kind::DoorLamp, 0},
    {kDoorHeater, "door_lamp_heater", kDoorLampSize.width, kDoorLampSize.height, Kind::DoorLamp, 1},
    {kDoorOpen, "door_lamp_open", kDoorLampSize.width, kDoorLampSize.height, Kind::DoorLamp, 2},
    {kStbyHydrPlate, "stby_hydr_plate", kStbyHydrSize.width, kStbyHydrSize.height,
     Kind::StbyHydrPlate},
    {kStbyHydrLit, "stby_hydr_lit", kStbyHydrSize.width, kStbyHydrSize.height, Kind::StbyHydrLit},
    {kToggleNeutral, "hyd_toggle_neutral", kToggleSize.width, kToggleSize.height, Kind::Toggle, 0},
    {kToggleAuto, "hyd_toggle_auto", kToggleSize.width, kToggleSize.height, Kind::Toggle, 1},
    {kToggleOn, "hyd_toggle_on", kToggleSize.width, kToggleSize.height, Kind::Toggle, 2},
    {kPtuLamp, "ptu_lamp", kPtuLampSize.width, kPtuLampSize.height, Kind::PtuLamp},
    {FaceOf(kDialStbyHydr, false), "stby_hydr_face", kDialSize.width, kDialSize.height,
     Kind::DialFace, kDialStbyHydr},
    {FaceOf(kDialStbyHydr, true), "stby_hydr_face_lit", kDialSize.width, kDialSize.height,
     Kind::DialFace, kDialStbyHydr, true},
    {FaceOf(kDialMainHydr, false), "main_hydr_face", kDialSize.width, kDialSize.height,
     Kind::DialFace, kDialMainHydr},
    {FaceOf(kDialMainHydr, true), "main_hydr_face_lit", kDialSize.width, kDialSize.height,
     Kind::DialFace, kDialMainHydr, true},
    {FaceOf(kDialBrakeHydr, false), "brake_hydr_face", kDialSize.width, kDialSize.height,
     Kind::DialFace, kDialBrakeHydr},
    {FaceOf(kDialBrakeHydr, true), "brake_hydr_face_lit", kDialSize.width, kDialSize.height,
     Kind::DialFace, kDialBrakeHydr, true},
    {FaceOf(kDialHydrQty, false), "hydr_qty_face", kDialSize.width, kDialSize.height,
     Kind::DialFace, kDialHydrQty},
    {FaceOf(kDialHydrQty, true), "hydr_qty_face_lit", kDialSize.width, kDialSize.height,
     Kind::DialFace, kDialHydrQty, true},
    {FaceOf(kDialDuctTemp, false), "duct_temp_face", kAirDialSize.width, kAirDialSize.height,
     Kind::DialFace, kDialDuctTemp},
    {FaceOf(kDialDuctTemp, true), "duct_temp_face_lit", kAirDialSize.width, kAirDialSize.height,
     Kind::DialFace, kDialDuctTemp, true},
    {FaceOf(kDialCabinDiff, false), "cabin_diff_face", kAirDialSize.width, kAirDialSize.height,
     Kind::DialFace, kDialCabinDiff},
    {FaceOf(kDialCabinDiff, true), "cabin_diff_face_lit", kAirDialSize.width, kAirDialSize.height,
     Kind::DialFace, kDialCabinDiff, true},
    {FaceOf(kDialCabinAlt, false), "cabin_alt_face", kAirDialSize.width, kAirDialSize.height,
     Kind::DialFace, kDialCabinAlt},
    {FaceOf(kDialCabinAlt, true), "cabin_alt_face_lit", kAirDialSize.width, kAirDialSize.height,
     Kind::DialFace, kDialCabinAlt, true},
    {FaceOf(kDialCabinRate, false), "cabin_rate_face", kAirDialSize.width, kAirDialSize.height,
     Kind::DialFace, kDialCabinRate},
    {FaceOf(kDialCabinRate, true), "cabin_rate_face_lit", kAirDialSize.width, kAirDialSize.height,
     Kind::DialFace, kDialCabinRate, true},
    {FaceOf(kDialCabAltSet, false), "cab_alt_set_face", kCabAltSetSize.width, kCabAltSetSize.height,
     Kind::DialFace, kDialCabAltSet},
    {FaceOf(kDialCabAltSet, true), "cab_alt_set_marks", kCabAltSetSize.width, kCabAltSetSize.height,
     Kind::DialFace, kDialCabAltSet, true},
    {kNeedle, "system_needle", kNeedleSize.width, kNeedleSize.height, Kind::DialNeedle, 0},
    {kNeedleLit, "system_needle_lit", kNeedleSize.width, kNeedleSize.height, Kind::DialNeedle, 0,
     true},
    {kSmallNeedle, "system_small_needle", kSmallNeedleSize.width, kSmallNeedleSize.height,
     Kind::DialNeedle, 1},
    {kSmallNeedleLit, "system_small_needle_lit", kSmallNeedleSize.width, kSmallNeedleSize.height,
     Kind::DialNeedle, 1, true},
    {kRollShutoffPlate, "roll_shutoff_plate", kRollShutoffSize.width, kRollShutoffSize.height,
     Kind::ShutoffPlate, 2},
    {kRollShutoffLit, "roll_shutoff_lit", kRollShutoffSize.width, kRollShutoffSize.height,
     Kind::ShutoffLit, 2},
    {kRuddersShutoffPlate, "rudders_shutoff_plate", kRuddersShutoffSize.width,
     kRuddersShutoffSize.height, Kind::ShutoffPlate, 4},
    {kRuddersShutoffLit, "rudders_shutoff_lit", kRuddersShutoffSize.width,
     kRuddersShutoffSize.height, Kind::ShutoffLit, 4},
    {kPusherShutoffPlate, "pusher_shutoff_plate", kPusherShutoffSize.width,
     kPusherShutoffSize.height, Kind::ShutoffPlate, 1},
    {kPusherShutoffLit, "pusher_shutoff_lit", kPusherShutoffSize.width, kPusherShutoffSize.height,
     Kind::ShutoffLit, 1},
    {kAltGearPlate, "alt_gear_plate", kAltGearSize.width, kAltGearSize.height, Kind::AltGearPlate},
    {kAltGearCover, "alt_gear_cover", kAltGearPartSize.width, kAltGearPartSize.height,
     Kind::AltGearPart, 0},
    {kAltGearSwitchOn, "alt_gear_switch_on", kAltGearPartSize.width, kAltGearPartSize.height,
     Kind::AltGearPart, 1},
    {kAltGearSwitchOff, "alt_gear_switch_off", kAltGearPartSize.width, kAltGearPartSize.height,
     Kind::AltGearPart, 2},
    {kAltGearLamp, "alt_gear_lamp", kAltGearPartSize.width, kAltGearPartSize.height,
     Kind::AltGearPart, 3},
};

}  // namespace zu::system_panels_art
