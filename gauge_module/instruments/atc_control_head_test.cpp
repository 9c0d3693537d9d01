#include "instruments/atc_control_head.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/systems_tick.h"
#include "displays/tcas.h"

namespace zu {
namespace {

// The head's timers in ticks: the self-test lasts 48, an ident 144, and
// digit editing ends 480 after the last press of the digit-select button.
constexpr int32_t kTestTicks = 48;
constexpr int32_t kIdentTicks = 144;
constexpr int32_t kCursorTicks = 480;

class TransponderTest : public testing::Test {
  protected:
    void SetUp() override {
        saved_electrics_ = Electrics_sys;
        Electrics_sys = {};
        AcBusPowered.set(3, 1);
        TransponderState = {};
        TransponderIdent = 0;
        std::strcpy(TransponderCodeText, "0000");
        std::strcpy(TransponderVfrCodeText, "0021");
        TransponderCodePtr = TransponderCodeText;
        TransponderAltSource = 1;
        TcasState = {};
        TickCounter.store(0);
        Altitude = 0.0f;
    }
    void TearDown() override {
        Electrics_sys = saved_electrics_;
        TransponderState = {};
        TransponderCodePtr = TransponderCodeText;
        TickCounter.store(0);
        Altitude = 0.0f;
    }
    static void Ticks(int n) {
        for (int i = 0; i < n; ++i) TcasCompute();
    }
    // Switched on and through the test into standby.
    static void InStandby() {
        TransponderPowerToggle();
        Ticks(kTestTicks + 1);
    }
    template <void (*Text)(char*, std::size_t)>
    static std::string Shown() {
        char text[16];
        Text(text, sizeof text);
        return text;
    }

    ElectricsRecord saved_electrics_{};
};

TEST_F(TransponderTest, PowerOnRunsTheTestIntoStandby) {
    Altitude = 12345.0f;
    TransponderPowerToggle();
    EXPECT_EQ(TransponderState.mode, 1);
    EXPECT_EQ(TransponderState.test_timer, kTestTicks);
    Ticks(1);
    EXPECT_EQ(Shown<TransponderCodeWindowText>(), "8888");
    EXPECT_EQ(Shown<TransponderModeText>(), "TST");
    EXPECT_EQ(Shown<TransponderTaText>(), "TA");
    EXPECT_EQ(Shown<TransponderRangeText>(), "88");
    Ticks(15);  // the first 16 ticks show the pattern, then the altitude
    EXPECT_EQ(Shown<TransponderCodeWindowText>(), "123");
    Ticks(32);
    EXPECT_EQ(TransponderState.mode, 1);
    Ticks(1);
    EXPECT_EQ(TransponderState.mode, 2);
    Ticks(1);
    EXPECT_EQ(Shown<TransponderModeText>(), "SBY");
    EXPECT_EQ(Shown<TransponderCodeWindowText>(), "0000");
    EXPECT_EQ(Shown<TransponderRangeText>(), "5");
    EXPECT_EQ(TransponderState.tcas_mode, 1);
    // The power switch turns it off from any mode.
    TransponderPowerToggle();
    Ticks(1);
    EXPECT_EQ(Shown<TransponderCodeWindowText>(), "    ");
    EXPECT_EQ(Shown<TransponderModeText>(), "   ");
    EXPECT_EQ(Shown<TransponderAltSourceText>(), "   ");
}

TEST_F(TransponderTest, ModeSelectorWorksFromStandbyAndNeverSwitchesOff) {
    TransponderModeUp();  // off: nothing
    EXPECT_EQ(TransponderState.mode, 0);
    InStandby();
    for (int i = 0; i < 8; ++i) TransponderModeUp();
    EXPECT_EQ(TransponderState.mode, 7);
    Ticks(1);
    EXPECT_EQ(TransponderState.display_mode, 4);
    EXPECT_EQ(TransponderState.tcas_mode, 4);
    EXPECT_EQ(Shown<TransponderTaText>(), "TA");
    TransponderState.mode = 2;
    TransponderModeDown();  // down from standby enters the test again
    EXPECT_EQ(TransponderState.mode, 1);
    EXPECT_EQ(TransponderState.test_timer, kTestTicks);
    TransponderModeDown();
    EXPECT_EQ(TransponderState.mode, 1);
    Ticks(10);
    TransponderModeDown();  // in the test it restarts the test
    EXPECT_EQ(TransponderState.test_timer, kTestTicks);
    // Without power the head goes off at its next visibility run.
    AcBusPowered.set(3, 0);
    gauge::ElementHeader overlay{};
    TransponderVisibility(&overlay, 0);
    EXPECT_EQ(TransponderState.mode, 0);
}

TEST_F(TransponderTest, CodeDigitsAreOctalAndEditedUnderTheCursor) {
    InStandby();
    TransponderDigitStep(1);  // no digit selected: nothing
    EXPECT_STREQ(TransponderCodeText, "0000");
    // The digit-select button cycles 1, 2, 3, 4, 0.
    for (int expected : {1, 2, 3, 4, 0, 1}) {
        TransponderCursorStep();
        EXPECT_EQ(TransponderState.digit_cursor, expected);
    }
    std::strcpy(TransponderCodeText, "7777");
    TransponderDigitStep(1);
    EXPECT_STREQ(TransponderCodeText, "0777");
    std::strcpy(TransponderCodeText, "0000");
    TransponderState.digit_cursor = 4;
    TransponderDigitStep(-1);
    EXPECT_STREQ(TransponderCodeText, "0007");
    // The edited digit flashes.
    TickCounter.store(2);
    EXPECT_EQ(Shown<TransponderCodeWindowText>(), "000 ");
    TickCounter.store(0);
    EXPECT_EQ(Shown<TransponderCodeWindowText>(), "0007");
    // Digit editing ends 480 ticks after the last press.
    TransponderState.digit_cursor = 1;
    TransponderCursorStep();
    Ticks(kCursorTicks);
    EXPECT_NE(TransponderState.digit_cursor, 0);
    Ticks(1);
    EXPECT_EQ(TransponderState.digit_cursor, 0);
}

TEST_F(TransponderTest, VfrModeShowsAndEncodesItsOwnCode) {
    InStandby();
    std::strcpy(TransponderCodeText, "7700");
    Ticks(1);
    EXPECT_EQ(TransponderCodeBcd, 0x7700);
    TransponderState.mode = 5;
    Ticks(1);
    EXPECT_EQ(TransponderCodeBcd, 0x0021);
    EXPECT_EQ(Shown<TransponderCodeWindowText>(), "0021");
    EXPECT_EQ(Shown<TransponderModeText>(), "VFR");
    TransponderState.digit_cursor = 4;
    TransponderDigitStep(1);
    EXPECT_STREQ(TransponderVfrCodeText, "0022");
    TransponderState.mode = 4;
    Ticks(1);
    EXPECT_EQ(TransponderCodeBcd, 0x7700);
    EXPECT_EQ(Shown<TransponderCodeWindowText>(), "7700");
    EXPECT_EQ(Shown<TransponderModeText>(), "ALT");
}

TEST_F(TransponderTest, IdentOnlyWhenOperatingAndForItsTime) {
    TransponderIdentPress();  // off
    EXPECT_EQ(TransponderIdent, 0);
    TransponderPowerToggle();
    TransponderIdentPress();  // test
    EXPECT_EQ(TransponderIdent, 0);
    Ticks(kTestTicks + 1);
    AcBusPowered.set(3, 0);
    TransponderIdentPress();  // unpowered
    EXPECT_EQ(TransponderIdent, 0);
    AcBusPowered.set(3, 1);
    TransponderIdentPress();
    EXPECT_EQ(TransponderIdent, 1);
    EXPECT_EQ(Shown<TransponderIdentText>(), "IDT");
    Ticks(kIdentTicks);
    EXPECT_EQ(TransponderIdent, 1);
    Ticks(1);
    EXPECT_EQ(TransponderIdent, 0);
    EXPECT_EQ(Shown<TransponderIdentText>(), "   ");
}

TEST_F(TransponderTest, RangeAndAltitudeSourceSelectors) {
    InStandby();
    TransponderRangeStep(-1);
    EXPECT_EQ(TcasState.range_index, 0);
    const char* expected[] = {"10", "20", "40", "40"};
    for (const char* e : expected) {
        TransponderRangeStep(1);
        EXPECT_EQ(Shown<TransponderRangeText>(), e);
    }
    EXPECT_EQ(TcasState.range_index, 3);
    EXPECT_EQ(Shown<TransponderAltSourceText>(), "FL1");
    TransponderAltSourceToggle();
    EXPECT_EQ(Shown<TransponderAltSourceText>(), "FL2");
    TransponderAltSourceToggle();
    EXPECT_EQ(TransponderAltSource, 1);
}

}  // namespace
}  // namespace zu
