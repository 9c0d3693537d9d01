// Unit tests of the passenger-address and cockpit-voice-recorder panels:
// their handlers called as the simulator calls them, with the sound set
// loaded from tones so that the clicks, their pans and the cabin call chime
// can be heard, and their lamps after a refresh of refresh group 1.
#include "panels/pa_cvr_panels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cabin_link/cabin_test_support.h"
#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "instruments/gauge_framework.h"

namespace zu {
namespace {

using Events = std::vector<std::pair<std::string, int32_t>>;  // file, pan

class CabinPanelsTest : public cabin_test::CabinSoundTest {
  protected:
    void SetUp() override {
        CabinSoundTest::SetUp();
        Start();
        pa_ = Find("PA_panel");
        cvr_ = Find("CVR_panel");
        ASSERT_NE(pa_, nullptr);
        ASSERT_NE(cvr_, nullptr);
        Quiet();
    }
    static gauge::GaugeHeader* Find(const char* name) {
        for (gauge::GaugeHeader& g : GaugeTable) {
            if (std::strcmp(g.name, name) == 0) return &g;
        }
        return nullptr;
    }

    // The panel bus of the PA buttons, BusPowered[3] (0xA0).
    static void PanelBus(bool on) { BusPowered.set(kPoweredLeftMainDc, on ? 1 : 0); }
    // The avionics bus the recorder panel needs, AcBusPowered[3].
    static void AvionicsBus(bool on) { AcBusPowered.set(3, on ? 1 : 0); }

    static void Click(gauge::GaugeHeader* g, int rect) {
        gauge::Point p{0, 0};
        g->mouse_rect[rect].handler(&p, gauge::kMouseLeftSingle);
    }
    // One update of a gauge with refresh group 1 running.
    static void Refresh(gauge::GaugeHeader* g) {
        if (RefreshCountdown[1] == 0) RefreshCountdown[1] = 2;
        g->gauge_callback(g, gauge::kServiceUpdate, 0);
    }
    // Element k of a gauge's numbered run (after its backdrop).
    static bool Shown(gauge::GaugeHeader* g, int k) {
        return ElementShown(ElementListWalk(g->element_list[0], 1), k);
    }
    // The sounds started since the last call, each with the pan it played
    // at: the click's buffer pan; the chime must never have its pan set.
    Events Sounds() {
        Events out;
        for (const Event& e : TakeEvents()) {
            if (e.kind == platform::AudioEventKind::Pan && e.file == "call.wav")
                chime_panned_ = true;
            if (e.kind != platform::AudioEventKind::Play) continue;
            out.emplace_back(e.file,
                             e.file == "click_tiny.wav" ? Pan(kSoundClickTiny) : Pan(kSoundCall));
        }
        return out;
    }
    // Lets the sounds end and forgets the log.
    void Quiet() {
        platform::AudioRender(nullptr, 40 * cabin_test::kTickFrames);
        TakeEvents();
    }

    gauge::GaugeHeader* pa_ = nullptr;
    gauge::GaugeHeader* cvr_ = nullptr;
    bool chime_panned_ = false;
};

TEST_F(CabinPanelsTest, UnpoweredPaButtonsClickButTheirLampsStayOffAndTheChimeSilent) {
    PanelBus(false);
    struct Row {
        int rect;
        int32_t pan;
    };
    for (const Row& r : {Row{1, -1365}, Row{2, 1000}, Row{4, 1000}}) {
        RefreshCountdown[1] = 0;
        Click(pa_, r.rect);
        EXPECT_EQ(Sounds(), (Events{{"click_tiny.wav", r.pan}})) << "rectangle " << r.rect;
        EXPECT_EQ(RefreshCountdown[1], 300) << "rectangle " << r.rect;
        Quiet();
    }
    EXPECT_EQ(PaPanelSwitches[0] | PaPanelSwitches[1] | PaPanelSwitches[2], 0);
    Refresh(pa_);
    for (int k = 1; k <= 3; ++k) EXPECT_FALSE(Shown(pa_, k)) << k;
    // The call button: no click, and silent without the bus.
    RefreshCountdown[1] = 0;
    Click(pa_, 3);
    EXPECT_TRUE(Sounds().empty());
    EXPECT_EQ(RefreshCountdown[1], 300);
}

TEST_F(CabinPanelsTest, PoweredPaButtonsLatchTheirLampsAndButtonTwoCallsTheCabinWhenSwitchedOn) {
    PanelBus(true);
    Click(pa_, 1);
    EXPECT_EQ(Sounds(), (Events{{"click_tiny.wav", -1365}}));
    Quiet();
    Click(pa_, 2);  // on: the click, then the chime, whose pan is not set
    EXPECT_EQ(Sounds(), (Events{{"click_tiny.wav", 1000}, {"call.wav", 0}}));
    Quiet();
    Click(pa_, 4);
    EXPECT_EQ(Sounds(), (Events{{"click_tiny.wav", 1000}}));
    Quiet();
    EXPECT_EQ(PaPanelSwitches[0], 1);
    EXPECT_EQ(PaPanelSwitches[1], 1);
    EXPECT_EQ(PaPanelSwitches[2], 1);
    Refresh(pa_);
    for (int k = 1; k <= 3; ++k) EXPECT_TRUE(Shown(pa_, k)) << k;

    Click(pa_, 2);  // off: no chime
    EXPECT_EQ(Sounds(), (Events{{"click_tiny.wav", 1000}}));
    EXPECT_EQ(PaPanelSwitches[1], 0);
    Refresh(pa_);
    EXPECT_TRUE(Shown(pa_, 1));
    EXPECT_FALSE(Shown(pa_, 2));
    EXPECT_TRUE(Shown(pa_, 3));
    Quiet();

    // The call button chimes with power, without a click.
    RefreshCountdown[1] = 0;
    Click(pa_, 3);
    EXPECT_EQ(Sounds(), (Events{{"call.wav", 0}}));
    EXPECT_EQ(RefreshCountdown[1], 300);
    EXPECT_FALSE(chime_panned_);

    // A lamp that is on goes off when its bus fails and it is pressed again.
    PanelBus(false);
    Click(pa_, 1);
    EXPECT_EQ(PaPanelSwitches[0], 0);
}

TEST_F(CabinPanelsTest, PanelLightingShowsTheLitPlateExceptInTheVirtualCockpit) {
    PanelLightingCircuit2.set(255);
    Refresh(pa_);
    Refresh(cvr_);
    EXPECT_TRUE(Shown(pa_, 0));
    EXPECT_TRUE(Shown(cvr_, 0));
    const char* saved = cvr_->parameters;
    cvr_->parameters = "VC";
    Refresh(cvr_);
    EXPECT_FALSE(Shown(cvr_, 0));
    cvr_->parameters = saved;
    PanelLightingCircuit2.set(0);
    Refresh(pa_);
    Refresh(cvr_);
    EXPECT_FALSE(Shown(pa_, 0));
    EXPECT_FALSE(Shown(cvr_, 0));
}

// TEST starts the recorder test only on the ground, with avionics power and
// no test running; in every case it clicks and arms the group with 300.
TEST_F(CabinPanelsTest, RecorderTestNeedsTheGroundAvionicsPowerAndNoTestRunning) {
    EXPECT_NE(cvr_->mouse_rect[1].mouse_flags & gauge::kMouseLeftRepeat, 0u);  // repeats while held
    struct Case {
        const char* what;
        bool avionics;
        int32_t on_ground;
        uint8_t ready;
        int32_t timer;  // after the press
    };
    for (const Case& c :
         {Case{"in flight", true, 0, 1, 0}, Case{"without avionics power", false, 1, 1, 0},
          Case{"while a test runs", true, 1, 0, 0},
          Case{"on the ground, powered, ready", true, 1, 1, 1800}}) {
        AvionicsBus(c.avionics);
        OnGround = c.on_ground;
        CvrTestDone = c.ready;
        CvrTestTimer = 0;
        RefreshCountdown[1] = 0;
        Click(cvr_, 1);
        EXPECT_EQ(CvrTestTimer, c.timer) << c.what;
        EXPECT_EQ(Sounds(), (Events{{"click_tiny.wav", 666}})) << c.what;
        EXPECT_EQ(RefreshCountdown[1], 300) << c.what;
        Quiet();
    }
}

// ERASE needs no power; its indication is counted in refreshes of the
// powered panel: 25 of them, and only while the avionics bus is powered.
TEST_F(CabinPanelsTest, EraseIndicationShowsForTwentyFiveRefreshesOfThePoweredPanel) {
    AvionicsBus(false);
    RefreshCountdown[1] = 0;
    Click(cvr_, 2);
    EXPECT_EQ(Sounds(), (Events{{"click_tiny.wav", 666}}));
    EXPECT_EQ(RefreshCountdown[1], 128);
    EXPECT_EQ(CvrEraseCountdown, 25);
    // Unpowered, both lamps are dark and the indication waits.
    for (int i = 0; i < 10; ++i) {
        Refresh(cvr_);
        EXPECT_FALSE(Shown(cvr_, 1));
        EXPECT_FALSE(Shown(cvr_, 2));
    }
    EXPECT_EQ(CvrEraseCountdown, 25);

    AvionicsBus(true);
    for (int i = 0; i < 25; ++i) {
        Refresh(cvr_);
        EXPECT_TRUE(Shown(cvr_, 2)) << "refresh " << i;
        EXPECT_FALSE(Shown(cvr_, 1)) << "refresh " << i;
    }
    Refresh(cvr_);
    EXPECT_FALSE(Shown(cvr_, 2));
    EXPECT_TRUE(Shown(cvr_, 1));
    EXPECT_EQ(CvrEraseCountdown, 0);

    // No refresh while the group is idle: the indication is not counted.
    Click(cvr_, 2);
    RefreshCountdown[1] = 0;
    for (int i = 0; i < 5; ++i) cvr_->gauge_callback(cvr_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(CvrEraseCountdown, 25);
}

}  // namespace
}  // namespace zu
