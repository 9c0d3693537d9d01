// Bitmaps of the overhead, side and caution panels and the master lights:
// their numbers, sizes and what each one shows.
//
// One table serves the gauges (which place elements by these sizes) and the
// artwork generator (tools/artwork), which draws every entry. Lit copies of
// switches and plates are the same bitmaps drawn with the lit bit, so only
// the unlit artwork is listed. Sizes are design pixels.
//
// This header depends on nothing but <cstdint> and the resource numbers
// (resources/resource_ids.h) so the generator can use it.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::overhead_art {

// What a bitmap shows; the generator draws each kind its own way.
enum class Kind : uint8_t {
    Plate,     // panel plate with its title lettered at the top (text)
    Backdrop,  // housing behind a gauge whose first element can hide
    ToggleUp,  // two- or three-position toggle, lever up
    ToggleCentre,
    ToggleDown,
    Button,       // square push button, released
    ButtonIn,     // pressed
    LampOff,      // a lamp lens with its legend (text, '|' breaks lines), dark
    LampOn,       // the same, lit in `colour`
    KnobPointer,  // selector knob drawn pointing up, turned about its centre
    GuardClosed,  // red switch guard down over the switch
    GuardOpen,    // raised guard
    Handle,       // door release handle, stowed
    HandlePulled,
    Wash,         // translucent light wash (storm lights)
    Clear,        // fully transparent
    Board,        // the switchboard opened: ten buttons labelled 1..10
    Strip,        // the switchboard folded
    Bar,          // black window of a bar graph
    HousedLamp,   // a housing holding a dark lamp whose legend shows dimly (text, colour)
    CautionGrid,  // the caution panel's housing with its grid of dark lamps
};

// Plates: the first line of the text is the title; each further line is a
// row of captions, words separated by two blanks, word k centred at
// caption_x + k x caption_step on the row's caption_y.
struct Art {
    uint32_t id;
    const char* name;
    int16_t width;
    int16_t height;
    Kind kind;
    uint32_t colour;   // 0x00BBGGRR for lamps
    const char* text;  // title or legend
    int16_t caption_x = 0;
    int16_t caption_step = 0;
    int16_t caption_y[2] = {0, 0};
};

inline constexpr uint32_t kBase = zu::res::kOverheadPanelsBlock;

inline constexpr uint32_t kAmber = 0x0000B8FF;
inline constexpr uint32_t kRed = 0x002020F0;
inline constexpr uint32_t kGreen = 0x0040D040;
inline constexpr uint32_t kBlue = 0x00FFB060;
inline constexpr uint32_t kWhite = 0x00F0F0F0;

// Shared pieces.
inline constexpr uint32_t kToggleUp = kBase + 0x00;
inline constexpr uint32_t kToggleCentre = kBase + 0x01;
inline constexpr uint32_t kToggleDown = kBase + 0x02;
inline constexpr uint32_t kButton = kBase + 0x03;
inline constexpr uint32_t kButtonIn = kBase + 0x04;
inline constexpr uint32_t kKnobPointer = kBase + 0x05;
inline constexpr uint32_t kGuardClosed = kBase + 0x06;
inline constexpr uint32_t kGuardOpen = kBase + 0x07;
inline constexpr uint32_t kHandle = kBase + 0x08;
inline constexpr uint32_t kHandlePulled = kBase + 0x09;
inline constexpr uint32_t kWash = kBase + 0x0A;
inline constexpr uint32_t kClear = kBase + 0x0B;
inline constexpr uint32_t kBarWindow = kBase + 0x0C;
inline constexpr int16_t kToggleW = 18;
inline constexpr int16_t kToggleH = 34;
inline constexpr int16_t kButtonSize = 22;
inline constexpr int16_t kKnobSize = 34;
inline constexpr int16_t kBarW = 152;
inline constexpr int16_t kBarH = 14;

// Plates and backdrops.
inline constexpr uint32_t kPropGroundPlate = kBase + 0x11;
inline constexpr uint32_t kBatteryPlate = kBase + 0x12;
inline constexpr uint32_t kAcPlate = kBase + 0x13;
inline constexpr uint32_t kDcMeterPlate = kBase + 0x14;
inline constexpr uint32_t kAcMeterPlate = kBase + 0x15;
inline constexpr uint32_t kBatTempPlate = kBase + 0x16;
inline constexpr uint32_t kLightsPlate = kBase + 0x17;
inline constexpr uint32_t kLightsRightPlate = kBase + 0x18;
inline constexpr uint32_t kExterior1Plate = kBase + 0x19;
inline constexpr uint32_t kExterior2Plate = kBase + 0x1A;
inline constexpr uint32_t kGearInhibitPlate = kBase + 0x1B;
inline constexpr uint32_t kNoseDoorPlate = kBase + 0x1C;
inline constexpr uint32_t kPaPlate = kBase + 0x1D;
inline constexpr uint32_t kCvrPlate = kBase + 0x1E;
inline constexpr uint32_t kCautionPlate = kBase + 0x1F;
inline constexpr uint32_t kPilotPlate = kBase + 0x20;
inline constexpr uint32_t kCopilotPlate = kBase + 0x21;
inline constexpr uint32_t kFdrPlate = kBase + 0x22;
inline constexpr uint32_t kBoardOpen = kBase + 0x23;
inline constexpr uint32_t kBoardFolded = kBase + 0x24;
inline constexpr uint32_t kCallsignPlate = kBase + 0x25;
// The master lights' housings, each with its dark lamp.
inline constexpr uint32_t kFireHousing = kBase + 0x26;
inline constexpr uint32_t kMasterCautionHousing = kBase + 0x27;
inline constexpr uint32_t kMasterWarningHousing = kBase + 0x28;

// Lamps: dark and lit lens of each legend.
inline constexpr uint32_t kFireLamp = kBase + 0x40;
inline constexpr uint32_t kMasterCautionLamp = kBase + 0x41;
inline constexpr uint32_t kMasterWarningLamp = kBase + 0x42;
inline constexpr uint32_t kPropGroundLamp = kBase + 0x43;
inline constexpr uint32_t kExtPowerLamp = kBase + 0x44;
inline constexpr uint32_t kBatTestLamp = kBase + 0x45;
inline constexpr uint32_t kPaLamp = kBase + 0x46;
inline constexpr uint32_t kCvrStatusLamp = kBase + 0x47;
inline constexpr uint32_t kCvrEraseLamp = kBase + 0x48;
inline constexpr uint32_t kGpwsLamp = kBase + 0x49;
inline constexpr uint32_t kCopilotLamp = kBase + 0x4A;
inline constexpr uint32_t kLampDark = kBase + 0x50;  // dark lens of the same size as kExtPowerLamp

// Design sizes of the gauges.
struct Size {
    int16_t width;
    int16_t height;
};
inline constexpr Size kMasterSize{60, 40};
inline constexpr Size kPropGroundSize{56, 40};
inline constexpr Size kElectricalSize{227, 150};
inline constexpr Size kMeterSize{227, 150};
inline constexpr Size kBatTempSize{191, 120};
inline constexpr Size kLightsSize{198, 120};
inline constexpr Size kExteriorSize{197, 100};
inline constexpr Size kGearInhibitSize{80, 80};
inline constexpr Size kNoseDoorSize{132, 100};
inline constexpr Size kPaSize{175, 80};
inline constexpr Size kCvrSize{228, 80};
inline constexpr Size kCautionSize{485, 120};
// The caution panel's lamps: 7 rows of 14 (the last row 13), each legend's
// box, with a one-pixel gap between neighbours.
inline constexpr int16_t kCautionLampX0 = 6;
inline constexpr int16_t kCautionLampY0 = 12;
inline constexpr int16_t kCautionLampPitchX = 34;
inline constexpr int16_t kCautionLampPitchY = 14;
inline constexpr int16_t kCautionLampW = 33;
inline constexpr int16_t kCautionLampH = 13;
inline constexpr Size kPilotSize{349, 120};
inline constexpr Size kCopilotSize{103, 100};
inline constexpr Size kFdrSize{194, 80};
inline constexpr Size kBoardSize{260, 40};
inline constexpr Size kCallsignSize{61, 20};
inline constexpr Size kLampSize{44, 22};

inline constexpr Art kArt[] = {
    {kToggleUp, "toggle_up", kToggleW, kToggleH, Kind::ToggleUp, 0, nullptr},
    {kToggleCentre, "toggle_centre", kToggleW, kToggleH, Kind::ToggleCentre, 0, nullptr},
    {kToggleDown, "toggle_down", kToggleW, kToggleH, Kind::ToggleDown, 0, nullptr},
    {kButton, "button", kButtonSize, kButtonSize, Kind::Button, 0, nullptr},
    {kButtonIn, "button_in", kButtonSize, kButtonSize, Kind::ButtonIn, 0, nullptr},
    {kKnobPointer, "knob_pointer", kKnobSize, kKnobSize, Kind::KnobPointer, 0, nullptr},
    {kGuardClosed, "guard_closed", 30, 44, Kind::GuardClosed, 0, nullptr},
    {kGuardOpen, "guard_open", 30, 16, Kind::GuardOpen, 0, nullptr},
    {kHandle, "door_handle", 40, 24, Kind::Handle, 0, nullptr},
    {kHandlePulled, "door_handle_pulled", 40, 24, Kind::HandlePulled, 0, nullptr},
    {kWash, "storm_wash", 64, 64, Kind::Wash, 0, nullptr},
    {kClear, "clear", 64, 64, Kind::Clear, 0, nullptr},
    {kBarWindow, "bar_window", kBarW, kBarH, Kind::Bar, 0, nullptr},
    {kFireHousing, "fire_housing", kMasterSize.width, kMasterSize.height, Kind::HousedLamp, kRed,
     "FIRE"},
    {kMasterCautionHousing, "master_caution_housing", kMasterSize.width, kMasterSize.height,
     Kind::HousedLamp, kAmber, "MASTER|CAUTION"},
    {kMasterWarningHousing, "master_warning_housing", kMasterSize.width, kMasterSize.height,
     Kind::HousedLamp, kRed, "MASTER|WARNING"},
    {kPropGroundPlate, "prop_ground_plate", kPropGroundSize.width, kPropGroundSize.height,
     Kind::Plate, 0, "GROUND RANGE"},
    {kBatteryPlate,
     "battery_plate",
     kElectricalSize.width,
     kElectricalSize.height,
     Kind::Plate,
     0,
     "DC POWER|AUX BAT  MAIN BAT  MASTER|DC GEN 1  DC GEN 2  BUS TIE  RESET  EXT DC",
     31,
     40,
     {38, 94}},
    {kAcPlate,
     "ac_plate",
     kElectricalSize.width,
     kElectricalSize.height,
     Kind::Plate,
     0,
     "AC POWER|EXT AC  PRI INV  AUX INV|SEC INV  AC GEN 1  AC GEN 2",
     31,
     40,
     {38, 94}},
    {kDcMeterPlate,
     "dc_meter_plate",
     kMeterSize.width,
     kMeterSize.height,
     Kind::Plate,
     0,
     "DC METERS|VOLTS  LOAD",
     42,
     108,
     {142, 0}},
    {kAcMeterPlate,
     "ac_meter_plate",
     kMeterSize.width,
     kMeterSize.height,
     Kind::Plate,
     0,
     "AC METERS|PAIR 1  PAIR 2",
     42,
     108,
     {142, 0}},
    {kBatTempPlate,
     "bat_temp_plate",
     kBatTempSize.width,
     kBatTempSize.height,
     Kind::Plate,
     0,
     "BATTERY TEMP|MAIN|AUX",
     96,
     0,
     {34, 68}},
    {kLightsPlate,
     "lights_plate",
     kLightsSize.width,
     kLightsSize.height,
     Kind::Plate,
     0,
     "INTERNAL LIGHTS|STORM  LEVEL  A  B  C  D",
     25,
     36,
     {46, 0}},
    {kLightsRightPlate,
     "lights_right_plate",
     kLightsSize.width,
     kLightsSize.height,
     Kind::Plate,
     0,
     "LIGHTS|EMER  SIGNS  CABIN  TEST  DIM",
     25,
     36,
     {46, 0}},
    {kExterior1Plate,
     "exterior1_plate",
     kExteriorSize.width,
     kExteriorSize.height,
     Kind::Plate,
     0,
     "EXTERIOR LIGHTS|TAXI  LDG 1  LDG 2",
     25,
     36,
     {46, 0}},
    {kExterior2Plate,
     "exterior2_plate",
     kExteriorSize.width,
     kExteriorSize.height,
     Kind::Plate,
     0,
     "EXTERIOR LIGHTS|STROBE  NAV/BCN  WING  LOGO",
     25,
     36,
     {46, 0}},
    {kGearInhibitPlate, "gear_inhibit_plate", kGearInhibitSize.width, kGearInhibitSize.height,
     Kind::Plate, 0, "GEAR INHIBIT"},
    {kNoseDoorPlate, "nose_door_plate", kNoseDoorSize.width, kNoseDoorSize.height, Kind::Plate, 0,
     "NOSE GEAR ALT RELEASE"},
    {kPaPlate,
     "pa_plate",
     kPaSize.width,
     kPaSize.height,
     Kind::Plate,
     0,
     "PASSENGER ADDRESS|PA  CABIN  CALL  SIGNS",
     37,
     42,
     {26, 0}},
    {kCvrPlate,
     "cvr_plate",
     kCvrSize.width,
     kCvrSize.height,
     Kind::Plate,
     0,
     "VOICE RECORDER|TEST  ERASE",
     52,
     120,
     {34, 0}},
    {kCautionPlate, "caution_plate", kCautionSize.width, kCautionSize.height, Kind::CautionGrid, 0,
     nullptr},
    {kPilotPlate,
     "pilot_plate",
     kPilotSize.width,
     kPilotSize.height,
     Kind::Plate,
     0,
     "PILOT SIDE PANEL|NOSE  LIGHT  STALL  ADC  TRIM  MODE  GND 1  GND 2  OVRD  GPWS",
     21,
     33,
     {50, 0}},
    {kCopilotPlate,
     "copilot_plate",
     kCopilotSize.width,
     kCopilotSize.height,
     Kind::Plate,
     0,
     "COPILOT|ANTISKID  SYNC",
     29,
     44,
     {42, 0}},
    {kFdrPlate,
     "fdr_plate",
     kFdrSize.width,
     kFdrSize.height,
     Kind::Plate,
     0,
     "FLIGHT DATA RECORDER|TEST  MODE",
     49,
     90,
     {32, 0}},
    {kBoardOpen, "switchboard_open", kBoardSize.width, kBoardSize.height, Kind::Board, 0, nullptr},
    {kBoardFolded, "switchboard_folded", kBoardSize.width, kBoardSize.height, Kind::Strip, 0,
     nullptr},
    {kCallsignPlate, "callsign_plate", kCallsignSize.width, kCallsignSize.height, Kind::Backdrop, 0,
     nullptr},
    {kFireLamp, "fire_lamp", kMasterSize.width - 8, kMasterSize.height - 8, Kind::LampOn, kRed,
     "FIRE"},
    {kMasterCautionLamp, "master_caution_lamp", kMasterSize.width - 8, kMasterSize.height - 8,
     Kind::LampOn, kAmber, "MASTER|CAUTION"},
    {kMasterWarningLamp, "master_warning_lamp", kMasterSize.width - 8, kMasterSize.height - 8,
     Kind::LampOn, kRed, "MASTER|WARNING"},
    {kPropGroundLamp, "prop_ground_lamp", 22, 18, Kind::LampOn, kAmber, "GND"},
    {kExtPowerLamp, "ext_power_lamp", kLampSize.width, kLampSize.height, Kind::LampOn, kBlue,
     "EXT PWR|AVAIL"},
    {kBatTestLamp, "bat_test_lamp", kLampSize.width, kLampSize.height, Kind::LampOn, kWhite,
     "TEST"},
    {kPaLamp, "pa_lamp", 30, 18, Kind::LampOn, kGreen, "ON"},
    {kCvrStatusLamp, "cvr_status_lamp", kLampSize.width, kLampSize.height, Kind::LampOn, kGreen,
     "CVR"},
    {kCvrEraseLamp, "cvr_erase_lamp", kLampSize.width, kLampSize.height, Kind::LampOn, kAmber,
     "ERASE"},
    {kGpwsLamp, "gpws_lamp", 30, 18, Kind::LampOn, kAmber, "OVRD"},
    {kCopilotLamp, "copilot_lamp", 30, 18, Kind::LampOn, kGreen, "ON"},
    {kLampDark, "lamp_dark", kLampSize.width, kLampSize.height, Kind::LampOff, 0, ""},
};

}  // namespace zu::overhead_art
