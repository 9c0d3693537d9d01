// Bitmaps and layout of the engine-control, fuel, autofeather and landing
// gear panels and of the trim, flap, compass and inclinometer indicators:
// their numbers, sizes, where the gauges place them and what each one shows.
// One table serves the gauges and the artwork generator (tools/artwork),
// which draws every entry. Lit copies are the same bitmaps shown with the
// lit bit unless a separate lit bitmap is listed. Sizes are design pixels.
//
// This header depends on nothing but <cstdint> and the resource numbers so
// the generator can use it.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::pedestal_art {

enum class Kind : uint8_t {
    Plate,        // a panel's unlit plate with its captions; `variant` names the panel
    PlateLit,     // its glowing captions only
    Knob,         // fluted rotary knob with an index mark, drawn pointing up
    Selector,     // fuel transfer selector; `variant` -1 left, 0 up, 1 right
    Toggle,       // toggle switch; `variant` 1 up, 0 centre, -1 down
    Lamp,         // a lit lamp lens; `variant` names its legend and colour
    Button,       // a square push button's cap
    GearLever,    // the gear lever's wheel knob; `variant` 1 with its red light
    DoorFlag,     // the two-position indicator; `variant` 1 striped, 0 black
    TrimRocker,   // the trim rocker; `variant` 0 centred, -1 nose down, +1 nose up
    Needle,       // a pointer drawn pointing up; pivot at the bitmap's centre
    FlapFace,     // the flap indicator's face; `variant` 1 lit
    CompassFace,  // the standby compass housing with its window
    CompassCard,  // the card strip; `variant` 1 lit
    CompassMask,  // the window the card shows through
    TubeFace,     // the inclinometer tube; `variant` 1 lit markings
    Ball,         // the inclinometer ball at its rest position
    TubeMask,     // the inside of the tube
};

struct Art {
    uint32_t id;
    const char* name;
    int16_t width;
    int16_t height;
    Kind kind;
    int8_t variant = 0;
};

struct Box {
    int32_t x, y, width, height;
};

inline constexpr uint32_t kBase = res::kPedestalPanelsBlock;

// --- Engine-control panel (168 x 80) ---------------------------------------
inline constexpr int32_t kEgcWidth = 168;
inline constexpr int32_t kEgcHeight = 80;
inline constexpr uint32_t kEgcPlate = kBase + 0x00;
inline constexpr uint32_t kEgcLit = kBase + 0x01;
inline constexpr uint32_t kEgcKnob = kBase + 0x02;
inline constexpr uint32_t kEgcLamp = kBase + 0x03;
inline constexpr int32_t kEgcKnobX = 40;  // knob centre
inline constexpr int32_t kEgcKnobY = 46;
inline constexpr int32_t kEgcKnobSize = 30;
inline constexpr Box kEgcButton[2] = {{88, 24, 32, 36}, {128, 24, 32, 36}};
inline constexpr Box kEgcLampBox = {10, 6, 44, 12};

// --- Fuel panel (166 x 80) -------------------------------------------------
inline constexpr int32_t kFuelWidth = 166;
inline constexpr int32_t kFuelHeight = 80;
inline constexpr uint32_t kFuelPlate = kBase + 0x08;
inline constexpr uint32_t kFuelLit = kBase + 0x09;
inline constexpr uint32_t kFuelSelectorRight = kBase + 0x0A;
inline constexpr uint32_t kFuelSelectorLeft = kBase + 0x0B;
inline constexpr uint32_t kFuelSelectorUp = kBase + 0x0C;
inline constexpr uint32_t kFuelLamp = kBase + 0x0D;
inline constexpr Box kFuelSelector = {66, 14, 34, 34};
inline constexpr Box kFuelValveWindow[2] = {{10, 14, 40, 26}, {116, 14, 40, 26}};
inline constexpr Box kFuelLampBox[2] = {{10, 44, 40, 12}, {116, 44, 40, 12}};
inline constexpr Box kFuelPump[2] = {{62, 50, 18, 26}, {84, 50, 18, 26}};
inline constexpr Box kFuelTest = {128, 62, 16, 16};

// --- Autofeather panel (165 x 80) ------------------------------------------
inline constexpr int32_t kAfWidth = 165;
inline constexpr int32_t kAfHeight = 80;
inline constexpr uint32_t kAfPlate = kBase + 0x10;
inline constexpr uint32_t kAfLit = kBase + 0x11;
inline constexpr uint32_t kAfTestLamp = kBase + 0x12;
inline constexpr Box kAfSelect = {64, 8, 36, 30};
inline constexpr Box kAfTestSwitch[2] = {{12, 46, 18, 26}, {40, 46, 18, 26}};
inline constexpr Box kAfSpringSwitch[2] = {{108, 46, 18, 26}, {136, 46, 18, 26}};
inline constexpr Box kAfTestLampBox[2] = {{8, 16, 26, 12}, {36, 16, 26, 12}};

// Toggle switches of the three panels and the gear panel.
inline constexpr int16_t kToggleWidth = 18;
inline constexpr int16_t kToggleHeight = 26;
inline constexpr uint32_t kToggleUp = kBase + 0x18;
inline constexpr uint32_t kToggleCentre = kBase + 0x19;
inline constexpr uint32_t kToggleDown = kBase + 0x1A;

// --- Landing gear panel (170 x 220) ----------------------------------------
inline constexpr int32_t kGearWidth = 170;
inline constexpr int32_t kGearHeight = 220;
inline constexpr uint32_t kGearPlate = kBase + 0x20;
inline constexpr uint32_t kGearLit = kBase + 0x21;
inline constexpr uint32_t kGearLever = kBase + 0x22;
inline constexpr uint32_t kGearLeverLight = kBase + 0x23;
inline constexpr uint32_t kGearDoorOpen = kBase + 0x24;
inline constexpr uint32_t kGearDoorClosed = kBase + 0x25;
inline constexpr int16_t kGearLeverWidth = 30;
inline constexpr int16_t kGearLeverHeight = 30;
inline constexpr int32_t kGearLeverX = 12;
inline constexpr int32_t kGearLeverDownY = 150;  // the knob with the gear selected down
inline constexpr double kGearLeverTravel = 110.0;
inline constexpr Box kGearLeverZone = {0, 0, 50, 220};
// The nine lamp windows, row by row: doors, down-and-locked, unsafe.
constexpr Box GearLampBox(int row, int column) {
    return {56 + 38 * column, 18 + 40 * row, 36, 16};
}
inline constexpr Box kGearDoorFlag = {120, 150, 36, 16};
inline constexpr Box kGearSwitch = {70, 150, 18, 36};

// --- Trim indicator (233 x 140) --------------------------------------------
inline constexpr int32_t kTrimsWidth = 233;
inline constexpr int32_t kTrimsHeight = 140;
inline constexpr uint32_t kTrimsPlate = kBase + 0x30;
inline constexpr uint32_t kTrimsLit = kBase + 0x31;
inline constexpr uint32_t kTrimsNeedle = kBase + 0x32;
inline constexpr uint32_t kTrimsKnob = kBase + 0x33;
inline constexpr uint32_t kTrimsRockerCentre = kBase + 0x34;
inline constexpr uint32_t kTrimsRockerDown = kBase + 0x35;
inline constexpr uint32_t kTrimsRockerUp = kBase + 0x36;
inline constexpr int32_t kTrimsDialX = 59;  // elevator-trim dial centre
inline constexpr int32_t kTrimsDialY = 46;
inline constexpr int32_t kTrimsIndicationX = 150;  // trim-indication dial centre
inline constexpr int32_t kTrimsIndicationY = 40;
inline constexpr int16_t kTrimsNeedleWidth = 8;
inline constexpr int16_t kTrimsNeedleHeight = 64;  // pivot at the centre: 30 px of blade
inline constexpr int32_t kTrimsKnobX = 173;
inline constexpr int32_t kTrimsKnobY = 105;
inline constexpr int16_t kTrimsKnobSize = 44;
inline constexpr Box kTrimsRocker = {21, 93, 76, 33};

// --- Flap indicator (65 x 65) ----------------------------------------------
inline constexpr int32_t kFlapsSize = 65;
inline constexpr uint32_t kFlapsFaceLit = kBase + 0x40;
inline constexpr uint32_t kFlapsFace = kBase + 0x41;
inline constexpr uint32_t kFlapsNeedle = kBase + 0x42;
inline constexpr int16_t kFlapsNeedleWidth = 6;
inline constexpr int16_t kFlapsNeedleHeight = 52;
// Needle angles of the detents 2..6 (flaps 0, 5, 10, 15, 35).
inline constexpr double kFlapDetentAngle[5] = {-90.0, -58.0, -35.0, 0.0, 120.0};

// --- Standby compass (118 x 80) --------------------------------------------
inline constexpr int32_t kCompassWidth = 118;
inline constexpr int32_t kCompassHeight = 80;
inline constexpr uint32_t kCompassFace = kBase + 0x48;
inline constexpr uint32_t kCompassCard = kBase + 0x49;
inline constexpr uint32_t kCompassCardLit = kBase + 0x4A;
inline constexpr uint32_t kCompassMask = kBase + 0x4B;
// The card strip: heading d is drawn at x = kCardLubber + (360 - d) x
// kCardPixelsPerDegree, from -30 to 390 degrees; it moves by the card value
// x -kCardPixelsPerDegree, so the heading under the lubber line is the
// simulator's heading (headings rise to the left, as a card seen from
// behind does).
inline constexpr Box kCompassWindow = {14, 22, 90, 34};
inline constexpr double kCardPixelsPerDegree = 1.5;
inline constexpr int32_t kCardLubber = 45;  // the window's centre
inline constexpr int16_t kCardWidth = 680;

// --- Inclinometer (132 x 40) -----------------------------------------------
inline constexpr int32_t kInclinometerWidth = 132;
inline constexpr int32_t kInclinometerHeight = 40;
inline constexpr uint32_t kTubeFace = kBase + 0x50;
inline constexpr uint32_t kTubeLit = kBase + 0x51;
inline constexpr uint32_t kBall = kBase + 0x52;
inline constexpr uint32_t kTubeMask = kBase + 0x53;
// The ball's travel: pixels per unit of the shown value, across and up.
inline constexpr double kBallScaleX = 0.4;
inline constexpr double kBallScaleY = 0.08;
inline constexpr double kBallRadius = 7.0;
inline constexpr double kBallCentreY = 24.0;  // at the bottom of the tube

inline constexpr Art kArt[] = {
    {kEgcPlate, "egc_plate", kEgcWidth, kEgcHeight, Kind::Plate, 0},
    {kEgcLit, "egc_lit", kEgcWidth, kEgcHeight, Kind::PlateLit, 0},
    {kEgcKnob, "egc_knob", kEgcKnobSize, kEgcKnobSize, Kind::Knob},
    {kEgcLamp, "egc_lamp", 44, 12, Kind::Lamp, 0},
    {kFuelPlate, "fuel_plate", kFuelWidth, kFuelHeight, Kind::Plate, 1},
    {kFuelLit, "fuel_lit", kFuelWidth, kFuelHeight, Kind::PlateLit, 1},
    {kFuelSelectorRight, "fuel_selector_right", 34, 34, Kind::Selector, 1},
    {kFuelSelectorLeft, "fuel_selector_left", 34, 34, Kind::Selector, -1},
    {kFuelSelectorUp, "fuel_selector_up", 34, 34, Kind::Selector, 0},
    {kFuelLamp, "fuel_pump_lamp", 40, 12, Kind::Lamp, 1},
    {kAfPlate, "autofeather_plate", kAfWidth, kAfHeight, Kind::Plate, 2},
    {kAfLit, "autofeather_lit", kAfWidth, kAfHeight, Kind::PlateLit, 2},
    {kAfTestLamp, "autofeather_test_lamp", 26, 12, Kind::Lamp, 2},
    {kToggleUp, "pedestal_toggle_up", kToggleWidth, kToggleHeight, Kind::Toggle, 1},
    {kToggleCentre, "pedestal_toggle_centre", kToggleWidth, kToggleHeight, Kind::Toggle, 0},
    {kToggleDown, "pedestal_toggle_down", kToggleWidth, kToggleHeight, Kind::Toggle, -1},
    {kGearPlate, "gear_plate", kGearWidth, kGearHeight, Kind::Plate, 3},
    {kGearLit, "gear_lit", kGearWidth, kGearHeight, Kind::PlateLit, 3},
    {kGearLever, "gear_lever", kGearLeverWidth, kGearLeverHeight, Kind::GearLever, 0},
    {kGearLeverLight, "gear_lever_light", kGearLeverWidth, kGearLeverHeight, Kind::GearLever, 1},
    {kGearDoorOpen, "gear_door_open", 36, 16, Kind::DoorFlag, 1},
    {kGearDoorClosed, "gear_door_closed", 36, 16, Kind::DoorFlag, 0},
    {kTrimsPlate, "trims_plate", kTrimsWidth, kTrimsHeight, Kind::Plate, 4},
    {kTrimsLit, "trims_lit", kTrimsWidth, kTrimsHeight, Kind::PlateLit, 4},
    {kTrimsNeedle, "trims_needle", kTrimsNeedleWidth, kTrimsNeedleHeight, Kind::Needle},
    {kTrimsKnob, "trims_knob", kTrimsKnobSize, kTrimsKnobSize, Kind::Knob},
    {kTrimsRockerCentre, "trims_rocker_centre", 76, 33, Kind::TrimRocker, 0},
    {kTrimsRockerDown, "trims_rocker_down", 76, 33, Kind::TrimRocker, -1},
    {kTrimsRockerUp, "trims_rocker_up", 76, 33, Kind::TrimRocker, 1},
    {kFlapsFaceLit, "flaps_face_lit", kFlapsSize, kFlapsSize, Kind::FlapFace, 1},
    {kFlapsFace, "flaps_face", kFlapsSize, kFlapsSize, Kind::FlapFace, 0},
    {kFlapsNeedle, "flaps_needle", kFlapsNeedleWidth, kFlapsNeedleHeight, Kind::Needle},
    {kCompassFace, "compass_face", kCompassWidth, kCompassHeight, Kind::CompassFace},
    {kCompassCard, "compass_card", kCardWidth, 34, Kind::CompassCard, 0},
    {kCompassCardLit, "compass_card_lit", kCardWidth, 34, Kind::CompassCard, 1},
    {kCompassMask, "compass_mask", 90, 34, Kind::CompassMask},
    {kTubeFace, "inclinometer_tube", kInclinometerWidth, kInclinometerHeight, Kind::TubeFace, 0},
    {kTubeLit, "inclinometer_lit", kInclinometerWidth, kInclinometerHeight, Kind::TubeFace, 1},
    {kBall, "inclinometer_ball", kInclinometerWidth, kInclinometerHeight, Kind::Ball},
    {kTubeMask, "inclinometer_mask", kInclinometerWidth, kInclinometerHeight, Kind::TubeMask},
};

}  // namespace zu::pedestal_art
