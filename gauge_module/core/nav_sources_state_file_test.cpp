#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/ahrs.h"
#include "core/autopilot_control_laws.h"
#include "core/flight_guidance.h"
#include "core/nav_sources.h"
#include "instruments/adf_control_heads.h"
#include "instruments/vor_control_heads.h"
#include "zu/platform/ini_file.h"

namespace zu {
namespace {

class FgcStateFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // One file per test and process: ctest runs the tests side by side.
        path_ = ::testing::TempDir() + "fgc_state_file_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                std::to_string(::getpid()) + ".flt";
        std::remove(path_.c_str());
    }
    void TearDown() override { std::remove(path_.c_str()); }
    std::string path_;
};

TEST_F(FgcStateFileTest, EveryKeyIsSavedAndLoadedBack) {
    NavSources[kNavVor1].course = 123.5;
    NavSources[kNavVor1].frequency = 11030;
    NavSources[kNavVor2].course = 270.0;
    NavSources[kNavVor2].frequency = 11790;
    Vor1PanelState.mode = 1;
    Vor2PanelState.mode = 2;
    Adf1PanelState.mode = 0;
    Adf2PanelState.mode = 3;
    FGC_comp_DH_altitude1 = 250;
    FGC_comp_DH_altitude2 = 300;
    FGC_comp_FGC1_system_test_timer = 0;
    FGC_comp_FGC2_system_test_timer = 7;
    FGC_comp_HSI1_heading_sel = 90;
    FGC_comp_HSI2_heading_sel = 359;
    FGC_comp_HSI1_bearing0_select = 1;
    FGC_comp_HSI2_bearing1_select = 4;
    FGC_comp_AP1_vertical_mode = 2;
    FGC_comp_AP1_lateral_mode = 3;
    FGC_comp_AP1_dual_approach_mode = 1;
    FGC_comp_AP1_IAS_speed = 180;
    FGC_comp_AP1_VS_speed = -700;
    FGC_comp_AP1_ALT_value = 9000;
    FGC_comp_AP1_engaged = 1;
    FGC_comp_AP_master = 2;
    FGC_comp_AP_prog_alt = 12000;
    FGC_comp_AP2_vertical_mode = 1;
    FGC_comp_YD2_engaged = 1;
    FGC_comp_ZAZ_AP2_GS_CHECK = 1;
    ASSERT_TRUE(FgcStateSave(path_.c_str()));

    // Every key but the ADF ones is in the file.
    const int saved = FgcStateKeyCount(true);
    EXPECT_EQ(saved, 44);
    EXPECT_EQ(FgcStateKeyCount(false), 46);
    for (int i = 0; FgcStateKeyName(i) != nullptr; ++i) {
        const std::string name = FgcStateKeyName(i);
        char buf[64];
        const bool present = platform::GetPrivateProfileString("zodudori", name.c_str(), "", buf,
                                                               sizeof buf, path_.c_str()) > 0;
        EXPECT_EQ(present, name.find("NAVSOURCES3") == std::string::npos &&
                               name.find("NAVSOURCES4") == std::string::npos)
            << name;
    }

    NavSources[kNavVor1].course = 0.0;
    NavSources[kNavVor2].frequency = 10800;
    NavSources[kNavAdf1].frequency = 3500;
    Vor2PanelState.mode = 0;
    FGC_comp_HSI2_heading_sel = 0;
    FGC_comp_AP1_dual_approach_mode = 0;
    FGC_comp_AP1_VS_speed = 0;
    FGC_comp_AP1_ALT_value = 4000;  // kept: not loaded
    FGC_comp_AP_prog_alt = 0;
    FGC_comp_YD2_engaged = 0;
    Ahrs1.aligned = 0;
    Ahrs1.align_countdown = 17;
    Ahrs2.aligned = 0;
    // FGC 1's track integrator starts again from 0; FGC 2's and the pitch
    // demands keep their values.
    ApLaw1.integrator = 2.5;
    ApLaw1.pitch_rate_demand = 0.25;
    ApLaw2.integrator = -1.5;
    FgcStateLoad(path_.c_str());
    EXPECT_EQ(ApLaw1.integrator, 0.0);
    EXPECT_EQ(ApLaw1.pitch_rate_demand, 0.25);
    EXPECT_EQ(ApLaw2.integrator, -1.5);
    EXPECT_EQ(NavSources[kNavVor1].course, 123.5);
    EXPECT_EQ(NavSources[kNavVor2].frequency, 11790);
    EXPECT_EQ(NavSources[kNavAdf1].frequency, 3500);  // its key is not saved
    EXPECT_EQ(Vor2PanelState.mode, 2);
    EXPECT_EQ(FGC_comp_HSI2_heading_sel, 359);
    EXPECT_EQ(FGC_comp_AP1_dual_approach_mode, 1);
    EXPECT_EQ(FGC_comp_AP1_VS_speed, -700);
    EXPECT_EQ(FGC_comp_AP1_ALT_value, 4000);
    EXPECT_EQ(FGC_comp_AP_prog_alt, 12000);
    EXPECT_EQ(FGC_comp_YD2_engaged, 1);
    EXPECT_EQ(+Ahrs1.aligned, 1);
    EXPECT_EQ(+Ahrs1.align_countdown, 0);
    EXPECT_EQ(+Ahrs2.aligned, 1);
}

TEST_F(FgcStateFileTest, LoadReadsAdfKeysAndRejectsValuesOutOfRange) {
    const double course = 45.0;
    const int32_t adf_frequency = 3995;
    const int32_t bad_frequency = 99999;
    const int32_t bad_mode = 9;
    const int32_t bad_heading = 400;
    const double bad_course = std::nan("");
    const uint8_t bad_flag = 7;
    platform::WritePrivateProfileStruct("zodudori", "FGC_comp_NAVSOURCES3radial", &course, 8,
                                        path_.c_str());
    platform::WritePrivateProfileStruct("zodudori", "FGC_comp_NAVSOURCES3frq", &adf_frequency, 4,
                                        path_.c_str());
    platform::WritePrivateProfileStruct("zodudori", "FGC_comp_NAVSOURCES1frq", &bad_frequency, 4,
                                        path_.c_str());
    platform::WritePrivateProfileStruct("zodudori", "FGC_comp_NAVSOURCES2radial", &bad_course, 8,
                                        path_.c_str());
    platform::WritePrivateProfileStruct("zodudori", "FGC_comp_VOR1_MODE", &bad_mode, 4,
                                        path_.c_str());
    platform::WritePrivateProfileStruct("zodudori", "FGC_comp_HSI1_heading_sel", &bad_heading, 4,
                                        path_.c_str());
    platform::WritePrivateProfileStruct("zodudori", "FGC_comp_AP2_dual_approach_mode", &bad_flag, 1,
                                        path_.c_str());
    // A key of the wrong width is not taken either.
    platform::WritePrivateProfileStruct("zodudori", "FGC_comp_DH_altitude1", &course, 8,
                                        path_.c_str());
    NavSources[kNavVor1].frequency = 11030;
    NavSources[kNavVor2].course = 10.0;
    Vor1PanelState.mode = 1;
    FGC_comp_HSI1_heading_sel = 5;
    FGC_comp_AP2_dual_approach_mode = 0;
    FGC_comp_DH_altitude1 = 200;
    FgcStateLoad(path_.c_str());
    EXPECT_EQ(NavSources[kNavAdf1].course, 45.0);
    EXPECT_EQ(NavSources[kNavAdf1].frequency, 3995);
    EXPECT_EQ(NavSources[kNavVor1].frequency, 11030);
    EXPECT_EQ(NavSources[kNavVor2].course, 10.0);
    EXPECT_EQ(Vor1PanelState.mode, 1);
    EXPECT_EQ(FGC_comp_HSI1_heading_sel, 5);
    EXPECT_EQ(FGC_comp_AP2_dual_approach_mode, 0);
    EXPECT_EQ(FGC_comp_DH_altitude1, 200);
}

TEST_F(FgcStateFileTest, AFlightWithoutTheKeysKeepsTheModesButHasBothAhrsAligned) {
    // Nothing to restore, yet the load still ends as every load does: both
    // AHRS aligned at once (no align or redraw countdown left) and FGC 1's
    // track integrator back at 0.
    FGC_comp_AP1_lateral_mode = 7;
    for (AhrsRecord* a : {&Ahrs1, &Ahrs2}) {
        a->aligned = 0;
        a->align_countdown = 40;
        a->redraw_countdown = 40;
    }
    ApLaw1.integrator = 1.0;
    FgcStateLoad(path_.c_str());
    EXPECT_EQ(FGC_comp_AP1_lateral_mode, 7);
    for (const AhrsRecord* a : {&Ahrs1, &Ahrs2}) {
        EXPECT_EQ(+a->aligned, 1);
        EXPECT_EQ(+a->align_countdown, 0);
        EXPECT_EQ(+a->redraw_countdown, 0);
    }
    EXPECT_EQ(ApLaw1.integrator, 0.0);
    EXPECT_FALSE(FgcStateSave("/nonexistent-folder/x.flt"));
}

}  // namespace
}  // namespace zu
