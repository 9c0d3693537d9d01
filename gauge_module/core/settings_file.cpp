#include "core/settings_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/fsuipc_client.h"
#include "zu/platform/ini_file.h"

namespace zu {

char SettingsIniPath[300] = {};

uint8_t EPIC = 0;
int32_t EPIC_OUTPUT_SLOWDOWN = 0;
EpicTextSlot EpicTextSlots[kEpicTextSlots] = {
    {{}, EpicTextSlots[0].text},  {{}, EpicTextSlots[1].text},  {{}, EpicTextSlots[2].text},
    {{}, EpicTextSlots[3].text},  {{}, EpicTextSlots[4].text},  {{}, EpicTextSlots[5].text},
    {{}, EpicTextSlots[6].text},  {{}, EpicTextSlots[7].text},  {{}, EpicTextSlots[8].text},
    {{}, EpicTextSlots[9].text},  {{}, EpicTextSlots[10].text}, {{}, EpicTextSlots[11].text},
    {{}, EpicTextSlots[12].text}, {{}, EpicTextSlots[13].text}, {{}, EpicTextSlots[14].text},
    {{}, EpicTextSlots[15].text}, {{}, EpicTextSlots[16].text}, {{}, EpicTextSlots[17].text},
    {{}, EpicTextSlots[18].text}, {{}, EpicTextSlots[19].text}, {{}, EpicTextSlots[20].text},
    {{}, EpicTextSlots[21].text}, {{}, EpicTextSlots[22].text}, {{}, EpicTextSlots[23].text},
    {{}, EpicTextSlots[24].text}, {{}, EpicTextSlots[25].text}, {{}, EpicTextSlots[26].text},
    {{}, EpicTextSlots[27].text},
};
uint8_t SOUND_VOLUME = 255;
uint8_t MUSIC_VOLUME = 255;
uint8_t ENTERTAINMENT = 0;
int32_t SOUND_SPLIT_PLS = 0;
uint8_t VSI_HALF_SLOW = 0;
uint8_t HSI_HALF_SLOW = 0;
uint8_t FSUIPC_CALIBR_DISABLE = 1;
uint8_t SURROUND_SOUND = 0;
int32_t BRAKES_FAILURE_ENABLED = 1;
uint16_t AP_TCS_JOYSTICK_NUMBER = 0;
uint16_t AP_TCS_BUTTON_NUMBER = 0;
uint16_t AP_DISC_JOYSTICK_NUMBER = 0;
uint16_t AP_DISC_BUTTON_NUMBER = 0;
int32_t NETWORK_SERVER = 1;
uint16_t SPLIT_PLS_SYNC_FACTOR = 0;

float ThrottlesGndTable[16] = {-4096, 0,    128,  2000, 14157, 14157, 14157, 14157,
                               128,   3000, 3010, 3020, 24000, 24000, 24000, 24000};
float ThrottlesAirTable[16] = {-4096, 0,    128,  2000, 14157, 14157, 14157, 14157,
                               128,   3000, 3010, 3020, 24000, 24000, 24000, 24000};

double Throttles_delta = 12.0;

uint8_t DINPUT_USE = 0;
uint8_t DINPUT_elevator_device_num = 0;
uint8_t DINPUT_elevator_axis_num = 0;
int32_t DINPUT_elevator_axis_deadzone = 0;
double DINPUT_elevator_axis_dump = 0.0;
uint8_t DINPUT_ailerons_device_num = 0;
uint8_t DINPUT_ailerons_axis_num = 0;
int32_t DINPUT_ailerons_axis_deadzone = 0;
double DINPUT_ailerons_axis_dump = 0.0;
uint8_t DINPUT_rudder_device_num = 0;
uint8_t DINPUT_rudder_axis_num = 0;
int32_t DINPUT_rudder_axis_deadzone = 0;
double DINPUT_rudder_axis_dump = 0.0;

double HUD_RWY_EDGE_LINES_ZOOMx100 = 1.0;
double HUD_RWY_EDGE_LAT_ANGLEx100 = 46.0;
double HUD_RWY_EDGE_VERT_ANGLEx100 = 42.5;
double HUD_RWY_EDGE_CENTER_X = 576.0;
double HUD_RWY_EDGE_CENTER_Y = 277.0;
double HUD_RWY_CAMERA_X_SHIFT = 0.001;

namespace {

constexpr const char* kMain = "Dirarov";
constexpr const char* kDinput = "DINPUT";
constexpr const char* kHgs = "HGS";
constexpr const char* kThrottlePrefix = "FS_TO_INTERNAL_";

uint32_t ReadInt(const char* section, const char* key, int32_t def) {
    return platform::GetPrivateProfileInt(section, key, def, SettingsIniPath);
}

// A scaled integer setting. The profile integer comes back as the 32-bit
// pattern of the number written; it is taken as signed so that a negative
// entry stays negative.
double ReadScaled(const char* section, const char* key, int32_t def, double k) {
    return static_cast<double>(static_cast<int32_t>(ReadInt(section, key, def))) * k;
}

void Write(const char* key, const char* value) {
    platform::WritePrivateProfileString(kMain, key, value, SettingsIniPath);
}

void ReadCurrentFile() {
    EPIC = static_cast<uint8_t>(ReadInt(kMain, "EPIC", 0));
    EPIC_OUTPUT_SLOWDOWN = static_cast<int32_t>(ReadInt(kMain, "EPIC_OUTPUT_SLOWDOWN", 0));
    ReadThrottleTable("ThrottlesGnd", kThrottlePrefix, ThrottlesGndTable);
    ReadThrottleTable("ThrottlesAir", kThrottlePrefix, ThrottlesAirTable);
    Throttles_delta = ReadScaled("Throttles", "Throttles_delta", 12, 1.0);
    SOUND_VOLUME = static_cast<uint8_t>(ReadInt(kMain, "SOUND_VOLUME", 235));
    MUSIC_VOLUME = static_cast<uint8_t>(ReadInt(kMain, "MUSIC VOLUME", 235));
    ENTERTAINMENT = static_cast<uint8_t>(ReadInt(kMain, "ENTERTAINMENT", 0));
    SOUND_SPLIT_PLS = static_cast<int32_t>(ReadInt(kMain, "SOUND_SPLIT_PLS", 0));
    VSI_HALF_SLOW = static_cast<uint8_t>(ReadInt(kMain, "VSI_HALF_SLOW", 0));
    HSI_HALF_SLOW = static_cast<uint8_t>(ReadInt(kMain, "HSI_HALF_SLOW", 0));
    FSUIPC_CALIBR_DISABLE = static_cast<uint8_t>(ReadInt(kMain, "FSUIPC_CALIBR_DISABLE", 1));
    SURROUND_SOUND = static_cast<uint8_t>(ReadInt(kMain, "SURROUND_SOUND", 1));
    BRAKES_FAILURE_ENABLED = static_cast<int32_t>(ReadInt(kMain, "BRAKES_FAILURE_ENABLED", 1));
    AP_TCS_JOYSTICK_NUMBER = static_cast<uint16_t>(ReadInt(kMain, "AP_TCS_JOYSTICK_NUMBER", 0));
    AP_TCS_BUTTON_NUMBER = static_cast<uint16_t>(ReadInt(kMain, "AP_TCS_BUTTON_NUMBER", 0));
    AP_DISC_JOYSTICK_NUMBER = static_cast<uint16_t>(ReadInt(kMain, "AP_DISC_JOYSTICK_NUMBER", 0));
    AP_DISC_BUTTON_NUMBER = static_cast<uint16_t>(ReadInt(kMain, "AP_DISC_BUTTON_NUMBER", 0));
    DINPUT_USE = static_cast<uint8_t>(ReadInt(kDinput, "USE", 0));
    DINPUT_elevator_device_num = static_cast<uint8_t>(ReadInt(kDinput, "elevator_device_num", 0));
    DINPUT_elevator_axis_num = static_cast<uint8_t>(ReadInt(kDinput, "elevator_axis_num", 0));
    DINPUT_elevator_axis_deadzone =
        static_cast<int32_t>(ReadInt(kDinput, "elevator_axis_deadzone ", 0));
    DINPUT_elevator_axis_dump = ReadScaled(kDinput, "elevator_axis_dump ", 0, 0.1);
    DINPUT_ailerons_device_num = static_cast<uint8_t>(ReadInt(kDinput, "ailerons_device_num", 0));
    DINPUT_ailerons_axis_num = static_cast<uint8_t>(ReadInt(kDinput, "ailerons_axis_num", 0));
    DINPUT_ailerons_axis_deadzone =
        static_cast<int32_t>(ReadInt(kDinput, "ailerons_axis_deadzone ", 0));
    DINPUT_ailerons_axis_dump = ReadScaled(kDinput, "ailerons_axis_dump", 0, 0.1);
    DINPUT_rudder_device_num = static_cast<uint8_t>(ReadInt(kDinput, "rudder_device_num", 0));
    DINPUT_rudder_axis_num = static_cast<uint8_t>(ReadInt(kDinput, "rudder_axis_num", 0));
    DINPUT_rudder_axis_deadzone =
        static_cast<int32_t>(ReadInt(kDinput, "rudder_axis_deadzone ", 0));
    DINPUT_rudder_axis_dump = ReadScaled(kDinput, "rudder_axis_dump", 0, 0.1);
    NETWORK_SERVER = static_cast<int32_t>(ReadInt(kMain, "NETWORK_SERVER", 0));
    SPLIT_PLS_SYNC_FACTOR = static_cast<uint16_t>(ReadInt(kMain, "SPLIT_PLS_SYNC_FACTOR", 0));
    HUD_RWY_EDGE_LINES_ZOOMx100 = ReadScaled(kHgs, "HUD_RWY_EDGE_LINES_ZOOMx100", 100, 0.01);
    HUD_RWY_EDGE_LAT_ANGLEx100 = ReadScaled(kHgs, "HUD_RWY_EDGE_LAT_ANGLEx100", 4600, 0.01);
    HUD_RWY_EDGE_VERT_ANGLEx100 = ReadScaled(kHgs, "HUD_RWY_EDGE_VERT_ANGLEx100", 4250, 0.01);
    HUD_RWY_EDGE_CENTER_X = ReadScaled(kHgs, "HUD_RWY_EDGE_CENTER_X", 576, 1.0);
    HUD_RWY_EDGE_CENTER_Y = ReadScaled(kHgs, "HUD_RWY_EDGE_CENTER_Y", 277, 1.0);
    HUD_RWY_CAMERA_X_SHIFT = ReadScaled(kHgs, "HUD_RWY_CAMERA_X_SHIFT", 0, 0.001);
}

void WriteDefaults() {
    Write("STAMP", "15");
    Write("EPIC", "0");
    Write("EPIC_OUTPUT_SLOWDOWN", "0");
    WriteThrottleTable("ThrottlesGnd", kThrottlePrefix, ThrottlesGndTable);
    WriteThrottleTable("ThrottlesAir", kThrottlePrefix, ThrottlesGndTable);
    char volume[16];
    std::snprintf(volume, sizeof volume, "%u", static_cast<unsigned>(SOUND_VOLUME));
    Write("SOUND_VOLUME", volume);
    Write("SOUND_SPLIT_PLS", "0");
    Write("VSI_HALF_SLOW", "0");
    Write("HSI_HALF_SLOW", "0");
    Write("FSUIPC_CALIBR_DISABLE", "1");
    Write("SURROUND_SOUND", "0");
    Write("BRAKES_FAILURE_ENABLED", "1");
    Write("AP_TCS_JOYSTICK_NUMBER", "0");
    Write("AP_TCS_BUTTON_NUMBER", "0");
    Write("AP_DISC_JOYSTICK_NUMBER", "0");
    Write("AP_DISC_BUTTON_NUMBER", "0");
    Write("NETWORK_SERVER", "1");
    Write("SPLIT_PLS_SYNC_FACTOR", "2048");
}

}  // namespace

void WriteThrottleTable(const char* section, const char* prefix, const float* table) {
    char key[64];
    char value[32];
    for (int i = 0; i < 8; ++i) {
        std::snprintf(key, sizeof key, "%s_IN_%d", prefix, i);
        std::snprintf(value, sizeof value, "%.8g", static_cast<double>(table[i]));
        platform::WritePrivateProfileString(section, key, value, SettingsIniPath);
        std::snprintf(key, sizeof key, "%s_OUT_%d", prefix, i);
        std::snprintf(value, sizeof value, "%.8g", static_cast<double>(table[8 + i]));
        platform::WritePrivateProfileString(section, key, value, SettingsIniPath);
    }
}

// A table whose inputs span nothing (every key missing: all 0) would map
// every lever position to one value; the table keeps its values then.
void ReadThrottleTable(const char* section, const char* prefix, float* table) {
    char key[64];
    char value[255];
    float read[16];
    for (int i = 0; i < 8; ++i) {
        std::snprintf(key, sizeof key, "%s_IN_%d", prefix, i);
        platform::GetPrivateProfileString(section, key, "0", value, sizeof value, SettingsIniPath);
        read[i] = static_cast<float>(std::strtod(value, nullptr));
        std::snprintf(key, sizeof key, "%s_OUT_%d", prefix, i);
        platform::GetPrivateProfileString(section, key, "0", value, sizeof value, SettingsIniPath);
        read[8 + i] = static_cast<float>(std::strtod(value, nullptr));
    }
    if (read[0] == read[7]) return;
    std::copy(read, read + 16, table);
}

void ReadSettingsIni() {
    std::snprintf(SettingsIniPath, sizeof SettingsIniPath, "%sini\\Kvx4f700.ini",
                  AircraftFolderPath);
    if (static_cast<int32_t>(ReadInt(kMain, "STAMP", 0)) == kSettingsStamp) {
        ReadCurrentFile();
    } else {
        WriteDefaults();
    }
    EPIC = 0;
}

}  // namespace zu
