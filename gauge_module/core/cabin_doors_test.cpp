#include "core/cabin_doors.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"

namespace zu {
namespace {

class CabinDoorsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        BusPowered.set(kPoweredLeftMainDc, 1);
        OnGround = 255;
        GroundSpeed = 0;
        Nh1State = {};
        Nh2State = {};
        DoorOpenLevel = 0;
    }

    static bool DoorLightsAre(uint32_t state) {
        return CautionLightArray[69] == state && CautionLightArray[78] == state &&
               CautionLightArray[114] == state;
    }
};

TEST_F(CabinDoorsTest, DoorsOpenInTenStepsAndLightFromSixty) {
    for (int step = 1; step <= 10; ++step) {
        DoorRampUpdate();
        EXPECT_EQ(DoorOpenLevel, 10 * step);
        EXPECT_TRUE(DoorLightsAre(DoorOpenLevel > 50 ? 255u : 0u)) << DoorOpenLevel;
    }
    DoorRampUpdate();
    EXPECT_EQ(DoorOpenLevel, 100);

    BusPowered.set(kPoweredLeftMainDc, 0);  // lights need the left main bus
    DoorRampUpdate();
    EXPECT_TRUE(DoorLightsAre(0u));
}

TEST_F(CabinDoorsTest, DoorsCloseUnlessParkedWithEnginesStopped) {
    auto closes = [](auto&& change) {
        DoorOpenLevel = 100;
        change();
        DoorRampUpdate();
        return DoorOpenLevel == 90;
    };
    EXPECT_TRUE(closes([] { OnGround = 0; }));
    SetUp();
    EXPECT_TRUE(closes([] { GroundSpeed = 2; }));
    SetUp();
    EXPECT_TRUE(closes([] { Nh1State.nh = 3.5f, Nh2State.nh = 3.0f; }));
    SetUp();
    EXPECT_TRUE(closes([] { NavBeaconSelector.set(2); }));
    SetUp();
    Nh1State.nh = 3.0f;
    Nh2State.nh = 3.0f;  // 6.0 in all still lets them open
    DoorRampUpdate();
    EXPECT_EQ(DoorOpenLevel, 10);
    DoorOpenLevel = 0;
    OnGround = 0;
    DoorRampUpdate();
    EXPECT_EQ(DoorOpenLevel, 0);
}

}  // namespace
}  // namespace zu
