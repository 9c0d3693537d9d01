#include "core/named_variables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/radio_altitude_alerting.h"
#include "displays/head_up_guidance.h"

namespace zu {
namespace {

// The host's named-variable table: ids in registration order; the first
// twelve names exist before the module asks.
struct FakeHost {
    std::vector<std::string> names;
    std::vector<double> values;
    std::vector<int> sets;
};
FakeHost Host;

int32_t Check(const char* name) {
    for (size_t i = 0; i < Host.names.size(); ++i) {
        if (Host.names[i] == name) return static_cast<int32_t>(i);
    }
    return -1;
}
int32_t Register(const char* name) {
    const int32_t id = Check(name);
    if (id >= 0) return id;
    Host.names.emplace_back(name);
    Host.values.push_back(0.0);
    Host.sets.push_back(0);
    return static_cast<int32_t>(Host.names.size() - 1);
}
void SetValue(int32_t id, double v) {
    if (id < 0 || static_cast<size_t>(id) >= Host.values.size()) return;
    Host.values[static_cast<size_t>(id)] = v;
    ++Host.sets[static_cast<size_t>(id)];
}

class NamedVarsTest : public testing::Test {
  protected:
    void SetUp() override {
        Host = {};
        for (int i = 0; i < kNamedVarsLookedUp; ++i) Register(kNamedVarNames[i]);
        table_.slot[gauge::kSlotCheckNamedVariable] = reinterpret_cast<void*>(&Check);
        table_.slot[gauge::kSlotRegisterNamedVariable] = reinterpret_cast<void*>(&Register);
        table_.slot[gauge::kSlotSetNamedVariable] = reinterpret_cast<void*>(&SetValue);
        saved_ = ImportTable.panels;
        ImportTable.panels = &table_;
        NamedVarsRegister();
    }
    void TearDown() override {
        ImportTable.panels = saved_;
        HGS_HGS_actual_mode = 0;
        HgsApproachWarning = 0;
        OnGround = 0;
        NoAiiiBlinkCounter = 0;
        RunwayElevationShown = 0;
        RunwayElevationTimer = 0;
        Altitude = 0.0f;
        flight_controls_FLAPS[0] = 0;
        GearTransitCountdown = 0;
        HostFlapsValue = 0;
        RadioAltitudeReadoutValue = 0;
        FGC_comp_AP1_lateral_mode = 7;
        FdBarSense = 0;
        for (auto& p : HgsRunwayScreenPoints) p[0] = p[1] = 0;
    }
    double Value(const char* name) { return Host.values.at(static_cast<size_t>(Check(name))); }
    int Sets(const char* name) { return Host.sets.at(static_cast<size_t>(Check(name))); }

    gauge::PanelServiceTable table_{};
    gauge::PanelServiceTable* saved_ = nullptr;
};

TEST_F(NamedVarsTest, RegistersInOrderWithTheFakeNeverSetAndNoAiiiLitAtOnce) {
    ASSERT_EQ(Host.names.size(), 82u);
    EXPECT_EQ(Host.names[12], "Hgs fake");
    EXPECT_EQ(Host.names[13], "Hgs no aiii");
    EXPECT_EQ(Host.names[14], "Hgs mode");
    EXPECT_EQ(Host.names[81], "HGS FORCE IMC");
    EXPECT_EQ(Value("Hgs no aiii"), 1.0);
    EXPECT_EQ(NamedVariableIds[kNvMode], 14u);  // the fake's slot was taken over
    NamedVarsPublish();
    EXPECT_EQ(Sets("Hgs fake"), 0);
    EXPECT_EQ(Sets("HGS FORCE IMC"), 0);
    EXPECT_EQ(Sets("HGS Lateral Deviation Y"), 0);
    EXPECT_EQ(Sets("HGS Vertical Deviation X"), 0);
    EXPECT_EQ(Sets("Hgs ias"), 1);
}

TEST_F(NamedVarsTest, ModeByGroundAndUnknownModesKeepTheLastValue) {
    HGS_HGS_actual_mode = 2;
    OnGround = 255;
    NamedVarsPublish();
    EXPECT_EQ(Value("Hgs mode"), 4.0);
    OnGround = 0;
    NamedVarsPublish();
    EXPECT_EQ(Value("Hgs mode"), 3.0);
    HGS_HGS_actual_mode = 9;
    NamedVarsPublish();
    EXPECT_EQ(Value("Hgs mode"), 3.0);
    EXPECT_EQ(Sets("Hgs mode"), 2);
}

TEST_F(NamedVarsTest, NoAiiiBlinksInEightPassPhasesThenStaysDark) {
    HgsApproachWarning = 1;
    std::string seen;
    for (int i = 0; i < 120; ++i) {
        NamedVarsPublish();
        seen += Value("Hgs no aiii") != 0.0 ? '1' : '0';
    }
    // Counter 95 .. 1: lit while bit 3 is set and the counter above 1.
    EXPECT_EQ(seen.substr(0, 16), "1111111100000000");
    EXPECT_EQ(seen.substr(95), std::string(25, '0'));
    EXPECT_NE(seen.substr(0, 95).find('1'), std::string::npos);
    HgsApproachWarning = 0;
    NamedVarsPublish();
    EXPECT_EQ(NoAiiiBlinkCounter, 0);
}

TEST_F(NamedVarsTest, RadioAltitudeShownBelowElevenFeetIsTheContinuousValue) {
    RadioAltitudeReadoutValue = 5;
    const double saved = RadioAltitude;
    RadioAltitude = 5.0;
    NamedVarsPublish();
    EXPECT_NEAR(Value("Hgs ra alt"), 5.0 * 3.2857 - 10.0, 1e-12);
    RadioAltitudeReadoutValue = 2600;
    NamedVarsPublish();
    EXPECT_EQ(Value("Hgs ra alt"), 9999.0);
    RadioAltitude = saved;
}

TEST_F(NamedVarsTest, RunwayEdgesOnlyWhileVisibleWithAngleAndLength) {
    HgsRunwayScreenPoints[1][0] = 100;
    HgsRunwayScreenPoints[1][1] = 200;
    HgsRunwayScreenPoints[2][0] = 100;
    HgsRunwayScreenPoints[2][1] = 300;
    NamedVarsPublish();
    EXPECT_EQ(Value("HGS  edge points visible flag"), 0.0);
    EXPECT_EQ(Sets("HGS A edge point length"), 0);
    HGS_HGS_actual_mode = 2;
    RadioAltitudeReadoutValue = 200;
    Altitude = 600.0f;  // 57 ft above the runway
    NamedVarsPublish();
    EXPECT_EQ(Value("HGS  edge points visible flag"), 1.0);
    EXPECT_EQ(Value("HGS A edge point X"), 100.0);
    EXPECT_EQ(Value("HGS A edge point length"), 100.0);
    EXPECT_NEAR(Value("HGS A edge point angle"), M_PI, 1e-9);
    EXPECT_NEAR(EdgeAngle(0, 0, 10, 0), 0.5 * M_PI, 1e-6);  // dy 0: -atan(-1e10)
    EXPECT_GE(EdgeAngle(0, 0, -10, 1e-3), 0.0);
}

TEST_F(NamedVarsTest, IasMaxByAltitudeFlapsGearAndToken332) {
    Altitude = 20000.0f;
    EXPECT_NEAR(HgsIasLimit(), 230.8917, 1e-3);
    NamedVarsPublish();
    EXPECT_NEAR(Value("HGS ias max"), 37 * 44.0 / 7.0, 1e-9);
    GearTransitCountdown = 5;
    EXPECT_EQ(HgsIasLimit(), 160.0);
    flight_controls_FLAPS[0] = 2;
    EXPECT_EQ(HgsIasLimit(), 150.0);
    flight_controls_FLAPS[0] = 4;
    EXPECT_EQ(HgsIasLimit(), 130.0);
}

TEST_F(NamedVarsTest, RunwayElevationShowsEightyPassesAfterAChangeInAiii) {
    HGS_HGS_actual_mode = 2;
    HGS_HGS_elevation_set = 543;
    for (int i = 0; i < 80; ++i) {
        NamedVarsPublish();
        ASSERT_EQ(Value("HGS Runway Elevation"), 543.0) << i;
    }
    NamedVarsPublish();
    EXPECT_EQ(Value("HGS Runway Elevation"), -1.0);
}

TEST_F(NamedVarsTest, LateralModeFollowsTheReceiverAndBackCourseWins) {
    const int32_t saved_sel = NavSourceSel1;
    NavSourceSel1 = kNavVor1;
    const uint8_t saved_rs = NavSources[kNavVor1].receive_state;
    FGC_comp_AP1_lateral_mode = 5;
    NavSources[kNavVor1].receive_state = 2;
    NamedVarsPublish();
    EXPECT_EQ(Value("HGS AP lateral mode"), 1.0);
    NavSources[kNavVor1].receive_state = 0;  // unchanged
    NamedVarsPublish();
    EXPECT_EQ(Value("HGS AP lateral mode"), 1.0);
    FdBarSense = 1;
    NamedVarsPublish();
    EXPECT_EQ(Value("HGS AP lateral mode"), 3.0);
    NavSources[kNavVor1].receive_state = saved_rs;
    NavSourceSel1 = saved_sel;
}

}  // namespace
}  // namespace zu
