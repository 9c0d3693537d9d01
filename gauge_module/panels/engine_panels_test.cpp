// Unit tests of the lever quadrant and the engine start panel, their
// handlers and element callbacks called as the simulator calls them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cabin_link/cabin_test_support.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "instruments/gauge_framework.h"
#include "panels/engine_panel.h"
#include "panels/engine_start_panels.h"

namespace zu {
namespace {

class EnginePanels : public cabin_test::CabinSoundTest {
  protected:
    void SetUp() override {
        CabinSoundTest::SetUp();
        Start();
        TakeEvents();
        for (auto& r : RefreshCountdown) r = 0;
        PowerLeverSoundLatch = 0;
        EngineStartSelector = 1;
        EngineStartRequest[0] = EngineStartRequest[1] = 0;
        SystemTimers.EngineStartReturn = 0;
        SystemTimers.EngineStartTimer[0] = SystemTimers.EngineStartTimer[1] = 0;
        ApDisconnectRequest = 0;
        quadrant_.element_list = engine_panelElementList;
        start_.element_list = EngineStartPanelElementList;
    }
    void TearDown() override {
        for (auto& r : RefreshCountdown) r = 0;
        EngineStartSelector = 1;
        ApDisconnectRequest = 0;
        CabinSoundTest::TearDown();
    }
    static void Settle() { platform::AudioRender(nullptr, 44100 / 4); }
    // Sounds started since the last call.
    static std::vector<std::string> Played() {
        std::vector<std::string> out;
        for (const Event& e : TakeEvents()) {
            if (e.kind == platform::AudioEventKind::Play) out.push_back(e.file);
        }
        return out;
    }
    static int32_t Click(gauge::MouseRect* rects, int n) {
        return rects[n].handler(nullptr, gauge::kMouseLeftSingle);
    }
    // Runs the callbacks of the start panel's elements as the host does
    // (shown elements only) after its update service.
    std::string UpdateStartPanel() {
        EngineStartPanelCallback(&start_, gauge::kServiceUpdate, 0);
        std::string select;
        gauge::ElementHeader* e = EngineStartPanelElementList[0];
        for (int k = 0; e != nullptr; ++k, e = e->next_element[0]) {
            if ((e->image_flags & gauge::kImageHidden) == 0 && e->callback != nullptr) {
                e->callback(e);
                if (k == 20) select = StringBuffer(e);
            }
        }
        return select;
    }
    bool StartLegendShown() { return ElementShown(EngineStartPanelElementList[0], 21); }

    gauge::GaugeHeader quadrant_{};
    gauge::GaugeHeader start_{};
};

TEST_F(EnginePanels, GateLocksOnlyBelowTheLimitAndUnlocksAlways) {
    Powerplants_controls_throttle_limiter = 0;
    PowerLeverPosition[0] = 14500;
    ThrottleGateLock();
    Settle();
    EXPECT_EQ(Powerplants_controls_throttle_limiter, 0);
    EXPECT_TRUE(Played().empty());
    PowerLeverPosition[0] = 14499;
    ThrottleGateLock();
    EXPECT_EQ(Powerplants_controls_throttle_limiter, 1);
    EXPECT_EQ(Played(), std::vector<std::string>{"CL_lock.wav"});
    ThrottleGateLock();  // already locked: no sound
    Settle();
    EXPECT_TRUE(Played().empty());
    PowerLeverPosition[1] = 20000;
    ThrottleGateUnlock();
    EXPECT_EQ(Powerplants_controls_throttle_limiter, 0);
    EXPECT_EQ(Played(), std::vector<std::string>{"CL_unlock.wav"});
}

TEST_F(EnginePanels, PowerLeverSoundsPlayOncePerPassage) {
    gauge::ElementHeader element{};
    for (int32_t p : {3000, 8400, 9000, 8401}) {
        PowerLeverPosition[0] = p;
        EnginePanelPowerLever1(&element);
    }
    Settle();
    EXPECT_TRUE(Played().empty());
    for (int32_t p : {9001, 20000, 8400, 8399, 5000}) {
        PowerLeverPosition[0] = p;
        EXPECT_DOUBLE_EQ(EnginePanelPowerLever1(&element), p);
        Settle();
    }
    EXPECT_EQ(Played(), (std::vector<std::string>{"PLs_up.wav", "PLs_down.wav"}));
    EXPECT_EQ(PowerLeverSoundLatch, 0);
}

TEST_F(EnginePanels, FlapLeverSliderFollowsTheSelection) {
    gauge::ElementHeader element{};
    const double x[6] = {0, 3, 5, 7, 6, 0};
    const double y[6] = {0, 27, 57, 117, 146, 0};
    for (int s = 0; s < 6; ++s) {
        flight_controls_FLAPS[0] = s;
        EXPECT_DOUBLE_EQ(EnginePanelFlapX(&element), x[s]) << s;
        EXPECT_DOUBLE_EQ(EnginePanelFlapY(&element), y[s]) << s;
    }
}

TEST_F(EnginePanels, LeverRectanglesAndDisconnectButton) {
    Click(engine_panelMouseRect, 3);  // condition lever 1 high
    EXPECT_EQ(PowerLeverValue[0], 3000);
    Click(engine_panelMouseRect, 2);  // condition lever 2 low
    EXPECT_EQ(PowerLeverValue[1], 0);
    Click(engine_panelMouseRect, 11);
    EXPECT_EQ(ApDisconnectRequest, 1);
    Settle();
    EXPECT_EQ(Played(), std::vector<std::string>{"click_tiny.wav"});
}

TEST_F(EnginePanels, QuadrantLightingFollowsTheEnginePanelFlag) {
    gauge::ElementHeader* lit = engine_panelElementList[0]->next_element[0]->next_element[0];
    EnginePanelLighting.set(1);
    RefreshCountdown[1] = 2;
    EnginePanelCallback(&quadrant_, gauge::kServiceUpdate, 0);
    EXPECT_TRUE(ElementShown(lit, 0));
    EXPECT_NE(lit->next_element[0]->image_flags & gauge::kImageLuminous, 0u);
    EnginePanelLighting.set(0);
    EnginePanelCallback(&quadrant_, gauge::kServiceUpdate, 0);
    EXPECT_FALSE(ElementShown(lit, 0));
    EXPECT_EQ(lit->next_element[0]->image_flags & gauge::kImageLuminous, 0u);
}

TEST_F(EnginePanels, StartButtonAndLegends) {
    // Unpowered, or with the selector at off, START does nothing at all.
    EngineStartSelector = 0;
    EngineStartButton();
    EXPECT_EQ(EngineStartRequest[0], 0);
    BusPowered.set(kPoweredRightMainDc, 1);
    BusVolts.set(kRightMainBus, 27);
    EngineStartSelector = 1;
    EngineStartButton();
    EXPECT_EQ(EngineStartRequest[0] + EngineStartRequest[1], 0);
    EXPECT_EQ(SystemTimers.EngineStartReturn, 0);

    // The lamp test lights SELECT but not START.
    AnnunciatorTestSwitch.set(2);
    RefreshCountdown[0] = 2;
    EXPECT_EQ(UpdateStartPanel(), "SELECT");
    EXPECT_FALSE(StartLegendShown());
    AnnunciatorTestSwitch.set(0);

    // Engine 2 selected and started: START shows while its flag is set; the
    // flag outlasting the spring-return count leaves the selector there.
    EngineStartSelector = 2;
    EngineStartButton();
    EXPECT_EQ(EngineStartRequest[1], 1);
    EXPECT_EQ(SystemTimers.EngineStartReturn, 8);
    for (int i = 0; i < 10; ++i) UpdateStartPanel();
    EXPECT_TRUE(StartLegendShown());
    EXPECT_EQ(EngineStartSelector, 2);
    EngineStartRequest[1] = 0;
    RefreshCountdown[0] = 2;
    UpdateStartPanel();
    EXPECT_FALSE(StartLegendShown());
    EXPECT_EQ(EngineStartSelector, 2);
}

// Element images by position (unlit, lit): ignition 1 at 0, 1, 2 is 2/5,
// 4/7, 3/6; ignition 2 is 8/11, 10/13, 9/12; the start selector 14/17,
// 16/19, 15/18. The virtual cockpit's instance shows the same images; only
// its lit plate (element 1) stays hidden.
TEST_F(EnginePanels, SelectorImagesFollowTheLightsInBothInstances) {
    const int32_t ign[2] = {Powerplants_engine_ign1, Powerplants_engine_ign2};
    Powerplants_engine_ign1 = 2;
    Powerplants_engine_ign2 = 0;
    EngineStartSelector = 1;
    gauge::ElementHeader* first = EngineStartPanelElementList[0];
    for (const char* parameters : {"", "VC"}) {
        SCOPED_TRACE(parameters);
        start_.parameters = parameters;
        const bool vc = parameters[0] != '\0';
        PanelLightingCircuit1.set(1);
        RefreshCountdown[0] = 2;
        UpdateStartPanel();
        EXPECT_EQ(ElementShown(first, 1), !vc);
        for (int k = 2; k <= 19; ++k) {
            const bool shown = k == 6 || k == 11 || k == 19;
            EXPECT_EQ(ElementShown(first, k), shown) << "lit, element " << k;
        }
        PanelLightingCircuit1.set(0);
        RefreshCountdown[0] = 2;
        UpdateStartPanel();
        EXPECT_FALSE(ElementShown(first, 1));
        for (int k = 2; k <= 19; ++k) {
            const bool shown = k == 3 || k == 8 || k == 16;
            EXPECT_EQ(ElementShown(first, k), shown) << "unlit, element " << k;
        }
    }
    Powerplants_engine_ign1 = ign[0];
    Powerplants_engine_ign2 = ign[1];
}

}  // namespace
}  // namespace zu
