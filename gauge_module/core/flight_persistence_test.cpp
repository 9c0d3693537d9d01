#include "core/flight_persistence.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/ice_protection.h"
#include "core/nav_sources.h"
#include "zu/platform/ini_file.h"
#include "zu/platform/paths.h"

namespace zu {
namespace {

class FlightPersistence : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("zu_flight_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "Flight Simulator X Files");
        platform::SetDocumentsFolder(dir_.string());
        saved_electrics_ = Electrics_sys;
        FlightLoadCounter = kFlightLoadDone;
        LoadedFlightPathArrived.store(1);
        FlightSaveCounter = 7;
        FlightSaveCounterSeen = 7;
        FlightSaveCountdown = 0;
        std::snprintf(FlightName, sizeof FlightName, "%s", "Circuit");
        std::memset(LoadedFlightPath, 0, sizeof LoadedFlightPath);
        Antiice_sys_pitot1_ice_sw = 0;
        Antiice_sys_pitot2_ice_sw = 0;
        SimFrozen.store(0);
    }
    void TearDown() override {
        platform::SetDocumentsFolder("");
        std::filesystem::remove_all(dir_);
        Electrics_sys = saved_electrics_;
        FlightLoadCounter = 0;
        LoadedFlightPathArrived.store(0);
    }

    std::filesystem::path Flt(const std::string& name = "Circuit") const {
        return dir_ / "Flight Simulator X Files" / (name + ".FLT");
    }
    std::string Win(const std::filesystem::path& p) const {
        return platform::FromHostPath(p.string());
    }
    std::string Key(const char* key) const {
        char buf[2048];
        platform::GetPrivateProfileString(kFlightSection, key, "", buf, sizeof buf,
                                          Win(Flt()).c_str());
        return buf;
    }
    void WriteFlt(const std::string& text) const { std::ofstream(Flt()) << text; }
    void UseAsLoadedFlight() {
        std::snprintf(LoadedFlightPath, sizeof LoadedFlightPath, "%s", Win(Flt()).c_str());
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) FlightPersistenceStep();
    }

    std::filesystem::path dir_;
    ElectricsRecord saved_electrics_{};
};

TEST_F(FlightPersistence, SaveWritesOneGroupPerTickKeepingTheFileOtherSections) {
    WriteFlt("[Main]\nTitle=Circuit\n\n[Position]\nLatitude=45.5\n");
    Antiice_sys_pitot1_ice_sw = 255;
    FlightSaveCounter = 8;

    Ticks(1);  // trigger: group 10 writes nothing
    EXPECT_EQ(FlightSaveCountdown, 9);
    EXPECT_EQ(Key("Electrics_sys"), "");
    Ticks(1);  // group 9
    EXPECT_EQ(Key("Electrics_sys").size(), 1552u);
    EXPECT_EQ(Key("Antiice_sys_pitot1_ice_sw"), "");
    Ticks(6);  // groups 8 to 3
    EXPECT_EQ(Key("Antiice_sys_pitot1_ice_sw"), "");
    Ticks(1);  // group 2
    EXPECT_EQ(Key("Antiice_sys_pitot1_ice_sw"), "FF000000FF");
    EXPECT_EQ(Key("Antiice_sys_pitot2_ice_sw"), "0000000000");
    Ticks(1);
    EXPECT_EQ(FlightSaveCountdown, 0);

    // The simulator's own sections are untouched.
    char buf[64];
    platform::GetPrivateProfileString("Position", "Latitude", "", buf, sizeof buf,
                                      Win(Flt()).c_str());
    EXPECT_STREQ(buf, "45.5");
    platform::GetPrivateProfileString("Main", "Title", "", buf, sizeof buf, Win(Flt()).c_str());
    EXPECT_STREQ(buf, "Circuit");

    // No further writes without a new save.
    std::filesystem::remove(Flt());
    Ticks(20);
    EXPECT_FALSE(std::filesystem::exists(Flt()));
}

TEST_F(FlightPersistence, GuidanceAndSelectedAltitudeComeBackWithTheFlight) {
    AIRDATA_comp_selected_alt = 12300;
    FGC_comp_HSI1_heading_sel = 270;
    FlightSaveCountdown = 6;
    FlightStateSave();
    EXPECT_FALSE(Key("FGC_comp_HSI1_heading_sel").empty());
    FlightSaveCountdown = 5;
    FlightStateSave();
    EXPECT_EQ(Key("AIRDATA_comp_selected_alt"), "0C3000003C");
    FlightSaveCountdown = 0;
    UseAsLoadedFlight();
    AIRDATA_comp_selected_alt = 0;
    FGC_comp_HSI1_heading_sel = 0;
    FlightStateLoad();
    EXPECT_EQ(AIRDATA_comp_selected_alt, 12300);
    EXPECT_EQ(FGC_comp_HSI1_heading_sel, 270);
    // A selected altitude beyond the alerter's range stays out.
    const int32_t too_high = 40000;
    platform::WritePrivateProfileStruct(kFlightSection, "AIRDATA_comp_selected_alt", &too_high, 4,
                                        Win(Flt()).c_str());
    FlightStateLoad();
    EXPECT_EQ(AIRDATA_comp_selected_alt, 12300);
}

TEST_F(FlightPersistence, SaveDuringTheLoadIsNeverMade) {
    FlightLoadCounter = 100;
    FlightSaveCounter = 8;
    Ticks(1);
    FlightLoadCounter = kFlightLoadDone;
    Ticks(20);
    EXPECT_FALSE(std::filesystem::exists(Flt()));
    EXPECT_EQ(FlightSaveCounterSeen, 8);
}

TEST_F(FlightPersistence, SecondSaveWithinTenTicksRestartsTheGroups) {
    FlightSaveCounter = 8;
    Ticks(3);  // groups 10, 9, 8
    ASSERT_FALSE(Key("Electrics_sys").empty());
    std::filesystem::remove(Flt());
    FlightSaveCounter = 9;
    Ticks(1);
    EXPECT_EQ(FlightSaveCountdown, 9);
    Ticks(1);
    EXPECT_FALSE(Key("Electrics_sys").empty());  // written again
}

TEST_F(FlightPersistence, UnsafeOrMissingNamesWriteNothing) {
    char path[512];
    std::snprintf(FlightName, sizeof FlightName, "%s", "..\\..\\evil");
    EXPECT_FALSE(FlightSavePath(path, sizeof path));
    EXPECT_STREQ(path, "");
    FlightName[0] = 0;
    EXPECT_FALSE(FlightSavePath(path, sizeof path));
    // An unterminated 128-character name is bounded at 127.
    std::memset(FlightName, 'a', sizeof FlightName);
    ASSERT_TRUE(FlightSavePath(path, sizeof path));
    EXPECT_EQ(std::string(path),
              Win(dir_) + "\\Flight Simulator X Files\\" + std::string(127, 'a') + ".FLT");
    EXPECT_FALSE(FlightSavePath(path, 40));  // does not fit
}

TEST_F(FlightPersistence, LoadRestoresFourTimesAndEnds) {
    // A saved flight: the module's keys plus the probe.
    Antiice_sys_pitot1_ice_sw = 255;
    CautionBrightness.set(17);
    FlightSaveCountdown = 9;
    FlightStateSave();
    FlightSaveCountdown = 2;
    FlightStateSave();
    FlightSaveCountdown = 0;
    const int32_t ign = 1;
    platform::WritePrivateProfileStruct(kFlightSection, "Powerplants_engine_ign1", &ign, 4,
                                        Win(Flt()).c_str());
    UseAsLoadedFlight();

    FlightLoadCounter = 1;
    LoadedFlightPathArrived.store(0);
    Antiice_sys_pitot1_ice_sw = 0;
    CautionBrightness.set(0);
    Ticks(5);
    EXPECT_EQ(FlightLoadCounter, 1);  // waits for the loaded flight's path
    EXPECT_EQ(Antiice_sys_pitot1_ice_sw, 0);

    LoadedFlightPathArrived.store(1);
    Ticks(1);  // 1 -> 2
    EXPECT_EQ(FlightLoadCounter, 2);
    EXPECT_EQ(SimFrozen.load(), 1);
    Ticks(1);  // the load at 2
    EXPECT_EQ(Antiice_sys_pitot1_ice_sw, 255);
    EXPECT_EQ(CautionBrightness.get(), 17);
    EXPECT_EQ(CautionBrightnessShown.get(), -2);

    int loads = 1;
    for (uint8_t c = 3; c < kFlightLoadDone; ++c) {
        Antiice_sys_pitot1_ice_sw = 0;
        FlightPersistenceStep();
        if (Antiice_sys_pitot1_ice_sw == 255) {
            ++loads;
            EXPECT_EQ(c % 64, 2);
        }
    }
    EXPECT_EQ(loads, 4);
    EXPECT_EQ(FlightLoadCounter, kFlightLoadDone);
    Ticks(10);
    EXPECT_EQ(FlightLoadCounter, kFlightLoadDone);
}

TEST_F(FlightPersistence, LoadWithoutProbeRestoresOnceAndFails) {
    Antiice_sys_pitot2_ice_sw = 255;
    FlightSaveCountdown = 2;
    FlightStateSave();
    FlightSaveCountdown = 0;
    UseAsLoadedFlight();
    Antiice_sys_pitot2_ice_sw = 0;
    FlightLoadCounter = 2;
    Ticks(1);
    EXPECT_EQ(Antiice_sys_pitot2_ice_sw, 255);
    EXPECT_EQ(FlightLoadCounter, kFlightLoadFailed);
    Ticks(100);
    EXPECT_EQ(FlightLoadCounter, kFlightLoadFailed);

    // Saving works after a failed load.
    FlightSaveCounter = 9;
    Ticks(2);
    EXPECT_FALSE(Key("Electrics_sys").empty());
}

TEST_F(FlightPersistence, DamagedOrOutOfRangeKeysLeaveTheirVariables) {
    WriteFlt(
        "[zodudori]\n"
        "Antiice_sys_pitot1_ice_sw=FF000000FE\n"  // bad checksum
        "Antiice_sys_pitot2_ice_sw=0700000007\n"  // intact, but no switch position
        "Electrics_sys=0102\n"                    // wrong size
        "Powerplants_engine_ign1=0100000001\n");
    UseAsLoadedFlight();
    Antiice_sys_pitot1_ice_sw = 0;
    Antiice_sys_pitot2_ice_sw = 255;
    CautionBrightness.set(33);
    EXPECT_TRUE(FlightStateLoad());
    EXPECT_EQ(Antiice_sys_pitot1_ice_sw, 0);
    EXPECT_EQ(Antiice_sys_pitot2_ice_sw, 255);
    EXPECT_EQ(CautionBrightness.get(), 33);
}

TEST_F(FlightPersistence, EmptyLoadedPathEndsTheLoad) {
    FlightLoadCounter = 2;
    Ticks(1);
    EXPECT_EQ(FlightLoadCounter, kFlightLoadFailed);
}

}  // namespace
}  // namespace zu
