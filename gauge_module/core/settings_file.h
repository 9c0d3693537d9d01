// The user settings: sound volumes and options, joystick assignment,
// autopilot buttons, network server, throttle mapping, head-up runway
// geometry and display smoothing, read once from the INI file
// AircraftFolderPath + "ini\Kvx4f700.ini" when the FSUIPC link is up.
//
// A file whose "STAMP" (section "Dirarov") is 15 is read; any other file
// (or none) is rewritten with the default values and the built-in values
// stay in effect until the next start.
//
// Each setting is a module-wide variable named after its INI key: a key of
// the sections "Dirarov", "Throttles" and "HGS" gives its name as it stands,
// with a blank turned into '_' ("MUSIC VOLUME" -> MUSIC_VOLUME); a key of
// section "DINPUT" is prefixed with DINPUT_ and loses its trailing blank
// ("USE" -> DINPUT_USE, "elevator_axis_deadzone " ->
// DINPUT_elevator_axis_deadzone). The throttle mapping tables of sections
// "ThrottlesGnd" and "ThrottlesAir" are ThrottlesGndTable and
// ThrottlesAirTable, each in TableLookup8 form (eight ascending inputs, then
// eight outputs).
#pragma once

#include <cstdint>

namespace zu {

// The path of the settings file.
extern char SettingsIniPath[300];

// Section "Dirarov".
extern uint8_t EPIC;  // external-hardware output; always 0
extern int32_t EPIC_OUTPUT_SLOWDOWN;
// The texts the radio heads mirror for the external hardware while EPIC is
// set, cut at 6 characters: VOR1 lower/upper window 0/1, VOR2 4/5, COM1
// 8/9, COM2 12/13, ADF1 16/17, ADF2 20/21, transponder code 24. `pointer`
// points at the slot's own text.
struct EpicTextSlot {
    char text[16];
    char* pointer;
};
inline constexpr int kEpicTextSlots = 28;
extern EpicTextSlot EpicTextSlots[kEpicTextSlots];
extern uint8_t SOUND_VOLUME;
extern uint8_t MUSIC_VOLUME;  // key "MUSIC VOLUME"
extern uint8_t ENTERTAINMENT;
extern int32_t SOUND_SPLIT_PLS;
extern uint8_t VSI_HALF_SLOW;
extern uint8_t HSI_HALF_SLOW;
extern uint8_t FSUIPC_CALIBR_DISABLE;
extern uint8_t SURROUND_SOUND;
extern int32_t BRAKES_FAILURE_ENABLED;
extern uint16_t AP_TCS_JOYSTICK_NUMBER;
extern uint16_t AP_TCS_BUTTON_NUMBER;
extern uint16_t AP_DISC_JOYSTICK_NUMBER;
extern uint16_t AP_DISC_BUTTON_NUMBER;
extern int32_t NETWORK_SERVER;
extern uint16_t SPLIT_PLS_SYNC_FACTOR;

// Sections "ThrottlesGnd" and "ThrottlesAir": power-lever mapping on the
// ground and in the air.
extern float ThrottlesGndTable[16];
extern float ThrottlesAirTable[16];

// Section "Throttles".
extern double Throttles_delta;

// Section "DINPUT".
extern uint8_t DINPUT_USE;
extern uint8_t DINPUT_elevator_device_num;
extern uint8_t DINPUT_elevator_axis_num;
extern int32_t DINPUT_elevator_axis_deadzone;
extern double DINPUT_elevator_axis_dump;
extern uint8_t DINPUT_ailerons_device_num;
extern uint8_t DINPUT_ailerons_axis_num;
extern int32_t DINPUT_ailerons_axis_deadzone;
extern double DINPUT_ailerons_axis_dump;
extern uint8_t DINPUT_rudder_device_num;
extern uint8_t DINPUT_rudder_axis_num;
extern int32_t DINPUT_rudder_axis_deadzone;
extern double DINPUT_rudder_axis_dump;

// Section "HGS".
extern double HUD_RWY_EDGE_LINES_ZOOMx100;
extern double HUD_RWY_EDGE_LAT_ANGLEx100;
extern double HUD_RWY_EDGE_VERT_ANGLEx100;
extern double HUD_RWY_EDGE_CENTER_X;
extern double HUD_RWY_EDGE_CENTER_Y;
extern double HUD_RWY_CAMERA_X_SHIFT;

// The value of "STAMP" that marks a current file.
inline constexpr int32_t kSettingsStamp = 15;

// Builds SettingsIniPath, reads the file or rewrites it with the defaults,
// and sets the settings.
void ReadSettingsIni();
// Writes / reads the sixteen keys of one throttle table: prefix + "_IN_" + i
// and prefix + "_OUT_" + i for i = 0..7.
void WriteThrottleTable(const char* section, const char* prefix, const float* table);
void ReadThrottleTable(const char* section, const char* prefix, float* table);

}  // namespace zu
