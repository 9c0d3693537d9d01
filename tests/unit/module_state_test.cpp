#include "../module_state.h"

#include <gtest/gtest.h>

#include "cabin_link/instructor_link_server.h"
#include "displays/display_pixel_size.h"
#include "displays/efis_display_gauges.h"
#include "displays/efis_resources.h"
#include "displays/navigation_display.h"
#include "displays/tcas_display.h"
#include "displays/weather_radar.h"
#include "fms/cdu_pages.h"
#include "fms/nav_database.h"
#include "instruments/standby_instruments.h"
#include "panels/electrical_meters.h"

namespace zu {
namespace {

// What one flight leaves in the drawing state, the display screens, the
// instructor link's ring and the flight management's counters, the tests'
// restore puts back to what a fresh load has.
TEST(ModuleState, TheRestorePutsTheDrawingAndPictureStateBackToTheLoadedOne) {
    e2e::RestoreLoadedModuleState();
    const uint32_t leg_id = LegIdSequence;
    const uint32_t init_clock = CduInitClockSeconds;
    const uint32_t brightness = SmoothBrightnessLevel;
    const uint32_t alpha = SmoothAlphaBits;
    const int32_t pixel_width = DisplayPixelSize[0];

    SmoothSetBrightness(17);
    SmoothSetAlpha(3);
    SmoothMoveTo(12.5f, 7.0f);
    SetRotation(84, 65, 33.0f, 4);
    NewLegId();
    CduInitClockSeconds = 1234;
    BatTempPictureKey = RepaintKey{1, 2, true};
    BatTempTestSerial = 9;
    WxPictureSerial.store(77);
    StbyBallPitch = 4.0;
    StbyBallBank = -12.0;
    WxRandomSeeded = true;
    WxScreenPowerOn = 55;
    DisplayPixelSize[0] = 321;
    InstructorReceiveHead.store(5);
    InstructorReceiveTail.store(4);
    InstructorReceiveDropped.store(2);
    for (DisplayScreen& d : DisplayScreens) {
        d.last_key = RepaintKey{3, 4, true};
        d.last_drawn_tick = 99;
        d.pictures = 8;
        d.applied_transfer = 1;
    }
    for (TcasScreen& t : TcasScreens) {
        t.power_on = 55;
        t.last_needle_angle = 66.0f;
        t.last_key = RepaintKey{5, 6, true};
    }

    e2e::RestoreLoadedModuleState();
    EXPECT_EQ(SmoothBrightnessLevel, brightness);
    EXPECT_EQ(SmoothAlphaBits, alpha);
    EXPECT_EQ(SmoothPenX, 0.0f);
    EXPECT_EQ(SmoothPenY, 0.0f);
    EXPECT_FALSE(EfisRotation.set);
    EXPECT_EQ(EfisRotation.index, 0);
    EXPECT_EQ(LegIdSequence, leg_id);
    EXPECT_EQ(CduInitClockSeconds, init_clock);
    EXPECT_FALSE(BatTempPictureKey.valid);
    EXPECT_EQ(BatTempTestSerial, 0u);
    EXPECT_EQ(WxPictureSerial.load(), 0u);
    EXPECT_EQ(StbyBallPitch, 0.0);
    EXPECT_EQ(StbyBallBank, 0.0);
    EXPECT_FALSE(WxRandomSeeded);
    EXPECT_EQ(WxScreenPowerOn, 0);
    EXPECT_EQ(DisplayPixelSize[0], pixel_width);
    EXPECT_EQ(InstructorReceiveHead.load(), 0u);
    EXPECT_EQ(InstructorReceiveTail.load(), 0u);
    EXPECT_EQ(InstructorReceiveDropped.load(), 0u);
    for (const DisplayScreen& d : DisplayScreens) {
        EXPECT_FALSE(d.last_key.valid) << d.name;
        EXPECT_EQ(d.last_drawn_tick, 0u) << d.name;
        EXPECT_EQ(d.pictures, 0u) << d.name;
        EXPECT_EQ(d.applied_transfer, -1) << d.name;
    }
    for (const TcasScreen& t : TcasScreens) {
        EXPECT_EQ(t.power_on, 0) << t.name;
        EXPECT_EQ(t.last_needle_angle, 0.0f) << t.name;
        EXPECT_FALSE(t.last_key.valid) << t.name;
    }
}

}  // namespace
}  // namespace zu
