#include "core/settings_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/fsuipc_client.h"
#include "zu/platform/paths.h"

namespace zu {
namespace {

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() / ("zu_settings_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "ini");
        const std::string folder = platform::FromHostPath(dir_.string()) + "\\";
        std::snprintf(AircraftFolderPath, sizeof AircraftFolderPath, "%s", folder.c_str());
        // The built-in values.
        SOUND_VOLUME = 255;
        NETWORK_SERVER = 1;
        SURROUND_SOUND = 0;
        SPLIT_PLS_SYNC_FACTOR = 0;
        HUD_RWY_EDGE_LAT_ANGLEx100 = 46.0;
        EPIC = 0;
        const float throttles[16] = {-4096, 0,    128,  2000, 14157, 14157, 14157, 14157,
                                     128,   3000, 3010, 3020, 24000, 24000, 24000, 24000};
        std::copy(throttles, throttles + 16, ThrottlesGndTable);
        std::copy(throttles, throttles + 16, ThrottlesAirTable);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path File() const { return dir_ / "ini" / "Kvx4f700.ini"; }
    void WriteFile(const std::string& text) const { std::ofstream(File()) << text; }
    std::vector<std::string> Lines() const {
        std::ifstream f(File());
        std::vector<std::string> lines;
        for (std::string l; std::getline(f, l);) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            if (!l.empty()) lines.push_back(l);
        }
        return lines;
    }

    std::filesystem::path dir_;
};

TEST_F(SettingsFile, MissingFileGetsTheDefaultsAndBuiltInValuesStay) {
    SOUND_VOLUME = 200;
    ReadSettingsIni();
    EXPECT_EQ(std::string(SettingsIniPath), std::string(AircraftFolderPath) + "ini\\Kvx4f700.ini");

    std::vector<std::string> expected = {"[Dirarov]", "STAMP=15", "EPIC=0",
                                         "EPIC_OUTPUT_SLOWDOWN=0"};
    const char* values[16] = {"-4096", "128",   "0",     "3000",  "128",   "3010",
                              "2000",  "3020",  "14157", "24000", "14157", "24000",
                              "14157", "24000", "14157", "24000"};
    const std::string main_tail[] = {
        "SOUND_VOLUME=200",          "SOUND_SPLIT_PLS=0",        "VSI_HALF_SLOW=0",
        "HSI_HALF_SLOW=0",           "FSUIPC_CALIBR_DISABLE=1",  "SURROUND_SOUND=0",
        "BRAKES_FAILURE_ENABLED=1",  "AP_TCS_JOYSTICK_NUMBER=0", "AP_TCS_BUTTON_NUMBER=0",
        "AP_DISC_JOYSTICK_NUMBER=0", "AP_DISC_BUTTON_NUMBER=0",  "NETWORK_SERVER=1",
        "SPLIT_PLS_SYNC_FACTOR=2048"};
    // Later keys of the main section are appended to it, so the section's
    // keys come first, then the two throttle sections.
    for (const std::string& k : main_tail) expected.push_back(k);
    for (const char* section : {"[ThrottlesGnd]", "[ThrottlesAir]"}) {
        expected.push_back(section);
        for (int i = 0; i < 8; ++i) {
            expected.push_back("FS_TO_INTERNAL__IN_" + std::to_string(i) + "=" + values[2 * i]);
            expected.push_back("FS_TO_INTERNAL__OUT_" + std::to_string(i) + "=" +
                               values[2 * i + 1]);
        }
    }
    EXPECT_EQ(Lines(), expected);

    // Nothing was read: the values in effect are the built-in ones.
    EXPECT_EQ(SURROUND_SOUND, 0);
    EXPECT_EQ(SPLIT_PLS_SYNC_FACTOR, 0);
    EXPECT_EQ(NETWORK_SERVER, 1);
    EXPECT_EQ(SOUND_VOLUME, 200);

    // A file that is not current is rewritten the same way.
    WriteFile("[Dirarov]\nSTAMP=14\nNETWORK_SERVER=0\n");
    ReadSettingsIni();
    EXPECT_EQ(NETWORK_SERVER, 1);
    const std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "STAMP=15");
    EXPECT_EQ(lines[2], "NETWORK_SERVER=1");
}

TEST_F(SettingsFile, CurrentFileIsRead) {
    WriteFile(
        "[Dirarov]\n"
        "STAMP=15\n"
        "EPIC=1\n"
        "SOUND_VOLUME=300\n"
        "MUSIC VOLUME=100\n"
        "SURROUND_SOUND=1\n"
        "AP_DISC_BUTTON_NUMBER=70000\n"
        "[ThrottlesGnd]\n"
        "FS_TO_INTERNAL__IN_0=-5000.5\n"
        "FS_TO_INTERNAL__OUT_7=25000\n"
        "[ThrottlesAir]\n"
        "FS_TO_INTERNAL__IN_3=abc\n"
        "[Throttles]\n"
        "Throttles_delta=-3\n"
        "[DINPUT]\n"
        "USE=1\n"
        "elevator_axis_deadzone=12\n"
        "elevator_axis_dump=15\n"
        "rudder_axis_dump=-5\n"
        "[HGS]\n"
        "HUD_RWY_EDGE_LAT_ANGLEx100=4600\n"
        "HUD_RWY_EDGE_CENTER_X=-20\n");
    ReadSettingsIni();

    EXPECT_EQ(EPIC, 0);           // always off
    EXPECT_EQ(SOUND_VOLUME, 44);  // low byte of 300
    EXPECT_EQ(MUSIC_VOLUME, 100);
    EXPECT_EQ(SURROUND_SOUND, 1);
    EXPECT_EQ(AP_DISC_BUTTON_NUMBER, 70000 & 0xFFFF);
    EXPECT_EQ(NETWORK_SERVER, 0);  // missing from a current file: off
    EXPECT_EQ(FSUIPC_CALIBR_DISABLE, 1);
    EXPECT_EQ(BRAKES_FAILURE_ENABLED, 1);

    EXPECT_FLOAT_EQ(ThrottlesGndTable[0], -5000.5f);
    EXPECT_FLOAT_EQ(ThrottlesGndTable[15], 25000.0f);
    EXPECT_FLOAT_EQ(ThrottlesGndTable[1], 0.0f);  // missing key
    // A table without one usable input keeps its values.
    EXPECT_FLOAT_EQ(ThrottlesAirTable[3], 2000.0f);

    EXPECT_EQ(DINPUT_USE, 1);
    EXPECT_EQ(DINPUT_elevator_axis_deadzone, 12);
    EXPECT_DOUBLE_EQ(DINPUT_elevator_axis_dump, 1.5);
    EXPECT_DOUBLE_EQ(HUD_RWY_EDGE_LAT_ANGLEx100, 46.0);
    EXPECT_DOUBLE_EQ(HUD_RWY_EDGE_LINES_ZOOMx100, 1.0);
    EXPECT_DOUBLE_EQ(HUD_RWY_EDGE_VERT_ANGLEx100, 42.5);
    EXPECT_DOUBLE_EQ(HUD_RWY_CAMERA_X_SHIFT, 0.0);  // default when read is 0
}

// The profile integer comes back as the unsigned pattern of the number;
// read as unsigned, -5 tenths would be about 429 million.
TEST_F(SettingsFile, ScaledKeysMendReadNegativeEntriesSignedNotAsHugeUnsignedNumbers) {
    WriteFile(
        "[Dirarov]\n"
        "STAMP=15\n"
        "[Throttles]\n"
        "Throttles_delta=-3\n"
        "[DINPUT]\n"
        "rudder_axis_dump=-5\n"
        "[HGS]\n"
        "HUD_RWY_EDGE_LAT_ANGLEx100=-4600\n"
        "HUD_RWY_EDGE_CENTER_X=-20\n");
    ReadSettingsIni();
    EXPECT_DOUBLE_EQ(DINPUT_rudder_axis_dump, -0.5);
    EXPECT_DOUBLE_EQ(HUD_RWY_EDGE_LAT_ANGLEx100, -46.0);
    EXPECT_DOUBLE_EQ(HUD_RWY_EDGE_CENTER_X, -20.0);
    EXPECT_DOUBLE_EQ(Throttles_delta, -3.0);
}

}  // namespace
}  // namespace zu
