#include "core/ahrs.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/host_panel_services.h"

namespace zu {
namespace {

class AhrsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        BusPowered.set(kPoweredLeftEssential, 1);
        BusPowered.set(kPoweredRightEssential, 1);
        AirDataFlags[0] = 0;
        Heading = 88.2f;
        PitchAttitude = 3.0f;
        BankAttitude = -5.0f;
        a = AhrsRecord{};
        a.align_countdown = kAhrsAlignTicks;
        a.fine_align_countdown = kAhrsFineAlignTicks;
    }
    void Run(int n) {
        for (int i = 0; i < n; ++i) AhrsUpdate(a);
    }
    AhrsRecord a;
};

TEST_F(AhrsTest, AlignsThroughThreePhasesAndFineAlign) {
    Run(1);
    EXPECT_EQ(+a.powered, 1);
    EXPECT_EQ(+a.valid[0], 1);
    EXPECT_DOUBLE_EQ(+a.heading, 359.25);  // winds back, wrapped into [0, 360)
    EXPECT_DOUBLE_EQ(+a.bank, -25.0);
    EXPECT_DOUBLE_EQ(+a.pitch, -7.0);
    Run(20);  // countdown 19: second phase, gyro mode and test
    EXPECT_EQ(+a.gyro_mode, 1);
    EXPECT_EQ(+a.test, 1);
    EXPECT_EQ(+a.valid[0], 0);
    Run(19);
    EXPECT_EQ(+a.align_countdown, 0);
    EXPECT_EQ(+a.gyro_mode, 0);
    // The pass that ends the coarse countdown takes the first fine step.
    EXPECT_EQ(+a.fine_align_countdown, kAhrsFineAlignTicks - 1);
    Run(kAhrsFineAlignTicks - 2);
    EXPECT_EQ(+a.aligned, 0);
    EXPECT_EQ(+a.valid[3], 1);
    Run(1);
    EXPECT_EQ(+a.aligned, 1);
    Run(1);
    EXPECT_EQ(+a.valid[0], 0);
    EXPECT_EQ(+a.test, 0);
    EXPECT_NEAR(+a.heading, 88.19824, 1e-5);
    EXPECT_DOUBLE_EQ(+a.heading, 16056 * kHeadingWordDegrees);
    EXPECT_DOUBLE_EQ(+a.pitch, 3.0);
}

TEST_F(AhrsTest, SlavedHeadingLosesTheDriftInTheRounding) {
    AhrsSetAligned(a);
    Run(500);
    EXPECT_DOUBLE_EQ(+a.heading, 16056 * kHeadingWordDegrees);
    EXPECT_DOUBLE_EQ(+a.heading_bias, -0.000185);
}

TEST_F(AhrsTest, GyroModeSlewsAndWrapsTheBias) {
    AhrsSetAligned(a);
    Heading = 200.0f;
    a.gyro_mode = 1;
    a.slew_switch = 2;
    Run(1);
    const double first = a.heading;
    Run(1);
    EXPECT_NEAR(+a.heading - first, 0.5, 0.006);
    a.heading_bias = 359.7;
    Run(1);  // 359.7 + 0.5 wraps, then drifts
    EXPECT_NEAR(+a.heading_bias, 0.2 + 0.000185, 1e-9);
    a.slew_switch = -1;
    a.heading_bias = 0.05;
    Run(1);
    EXPECT_NEAR(+a.heading_bias, 359.93 + 0.000185, 1e-9);
}

TEST_F(AhrsTest, FastAlignAndPowerLoss) {
    a.align_countdown = 3;
    a.fast_align_request = 1;
    Run(1);
    EXPECT_EQ(+a.align_countdown, 4);  // raised to 5, then one pass
    a.align_countdown = 0;
    a.aligned = 1;
    Run(1);
    EXPECT_EQ(+a.align_countdown, 29);
    a.align_countdown = 12;
    Run(1);
    EXPECT_EQ(+a.align_countdown, 11);

    BusPowered.set(kPoweredLeftEssential, 0);
    Run(1);
    EXPECT_EQ(+a.standby, 1);
    EXPECT_EQ(+a.powered, 1);
    BusPowered.set(kPoweredRightEssential, 0);
    Run(1);
    EXPECT_EQ(+a.powered, 0);
    EXPECT_EQ(+a.aligned, 0);
    EXPECT_EQ(+a.fast_align_request, 0);
    EXPECT_EQ(+a.align_countdown, kAhrsAlignTicks);
    EXPECT_EQ(+a.fine_align_countdown, kAhrsFineAlignTicks);
}

TEST_F(AhrsTest, TestByteFollowsTheAirDataTest) {
    AhrsSetAligned(a);
    AirDataFlags[0] = 1;
    Run(1);
    EXPECT_EQ(+a.test, 1);
    AirDataFlags[0] = 0;
    Run(1);
    EXPECT_EQ(+a.test, 0);
}

TEST_F(AhrsTest, HeadingAheadFlag) {
    AhrsSetAligned(a);
    Heading = 100.0f;
    Run(1);
    Heading = 99.0f;
    Run(1);
    EXPECT_EQ(+a.heading_ahead, 1);
    Run(1);
    EXPECT_EQ(+a.heading_ahead, 0);
}

}  // namespace
}  // namespace zu
