// Failures set over the instructor link reach the aircraft: a bus failed on
// the Electrics page takes exactly the instruments and record bytes of that
// bus with it, and a flight-surface failure drives the simulator's controls
// on every host pass.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "displays/head_up_guidance.h"
#include "instructor_link_support.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

// Needle angles: the engines stand still, so a powered indicator shows 0;
// an unpowered one its rest reading below the scale.
const double kTorqueZero = 160.0;
const double kTorqueRest = -245 * 0.058291 + 160.0;
const double kFuelFlowRest = -45 * 0.18 + 163.0;

class InstructorFailures : public LinkFlight {
  protected:
    void SetUp() override {
        StartFlight();
        ASSERT_EQ(NetServerHosting.load(), 1);
        ASSERT_EQ(client_.Connect(Port()), platform::kSessionOk);
    }
    void TearDown() override {
        client_.Close();
        LinkFlight::TearDown();
    }

    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }

    void Set(uint16_t group, int index, int state) {
        const InstructorMessage r =
            Exchange(client_, LinkRequest(kInstructorSetValue, group, static_cast<float>(index),
                                          static_cast<float>(state)));
        ASSERT_EQ(+r.kind, kInstructorAcknowledge);
    }

    // A gauge's readout (its string element) as the state file shows it.
    std::string Readout(const std::string& gauge) const {
        const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
        for (const nlohmann::json& g : state["gauges"]) {
            if (g["name"] != gauge) continue;
            for (const nlohmann::json& e : g["elements"]) {
                if (e["type"] == "string") return e["text"];
            }
        }
        ADD_FAILURE() << "no readout on " << gauge;
        return {};
    }

    // The angle of a gauge's shown needle (of its unlit or lit copy) as the
    // state file shows it.
    double NeedleAngle(const std::string& gauge) const {
        const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
        for (const nlohmann::json& g : state["gauges"]) {
            if (g["name"] != gauge) continue;
            for (const nlohmann::json& e : g["elements"]) {
                if (e["type"] == "needle" && !e["hidden"].get<bool>()) return e["angle"];
            }
        }
        ADD_FAILURE() << "no needle on " << gauge;
        return 0.0;
    }

    // Key events the module sent since frame `from`, as (id, value).
    std::vector<std::pair<uint32_t, int32_t>> EventsSince(uint64_t from, uint32_t id) const {
        std::vector<std::pair<uint32_t, int32_t>> out;
        for (const simhost::KeyEventRecord& k : sim_->KeyEvents()) {
            if (k.frame > from && k.from_module && k.id == id) {
                out.emplace_back(k.id, static_cast<int32_t>(k.value));
            }
        }
        return out;
    }

    LinkClient client_;
};

TEST_F(InstructorFailures, MainBusFailureTakesOnlyTheIndicatorsAndBytesOfThatBus) {
    // Batteries and external DC: every DC bus powered.
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    ExternalDcSwitch.set(255);
    Frames(60);
    ASSERT_NE(Readout("ff2"), " ");
    ASSERT_NEAR(NeedleAngle("Torque2"), kTorqueZero, 1e-3);

    // The right main DC bus failed; the right essential bus stays live.
    Set(kInstructorGroupElectrics, kElecRightMainDcBus, kElementFailed);
    Frames(10);
    ASSERT_EQ(BusVolts.get(kRightMainBus), 0);
    ASSERT_GT(BusVolts.get(kRightEssentialBus), 20);
    // Fuel flow 2 hangs on the right main bus, torque 2 on the right
    // essential one, fuel flow 1 on the left main bus.
    EXPECT_EQ(Readout("ff2"), " ");
    EXPECT_NEAR(NeedleAngle("ff2"), kFuelFlowRest, 1e-3);
    EXPECT_NEAR(NeedleAngle("Torque2"), kTorqueZero, 1e-3);
    EXPECT_NE(Readout("Torque2"), " ");
    EXPECT_NE(Readout("ff1"), " ");
    // The record's bytes 0x9F..0xA2: right main, left main, right and left
    // essential.
    EXPECT_EQ(Electrics_sys.bytes[0x9F], 0);
    EXPECT_EQ(Electrics_sys.bytes[0xA0], 1);
    EXPECT_EQ(Electrics_sys.bytes[0xA1], 1);
    EXPECT_EQ(Electrics_sys.bytes[0xA2], 1);
    // The Electrics page shows the same buses.
    InstructorMessage r =
        Exchange(client_, LinkRequest(kInstructorDataRequest, kInstructorGroupElectrics));
    EXPECT_EQ(+r.items[kElecRightMainDcBus].value, 0.0f);
    EXPECT_EQ(+r.items[kElecLeftMainDcBus].value, 1.0f);
    EXPECT_EQ(+r.items[kElecRightEssentialBus].value, 1.0f);
    EXPECT_EQ(+r.items[kElecLeftEssentialBus].value, 1.0f);
    EXPECT_EQ(+r.items[kElecRightMainDcBus].state, 255.0f);

    // The right essential bus failed as well: now the torque 2 needle and
    // the propeller speed 2 readout go to rest (the torque readouts live on
    // while either essential bus does).
    Set(kInstructorGroupElectrics, kElecRightEssentialBus, kElementFailed);
    Frames(10);
    EXPECT_NEAR(NeedleAngle("Torque2"), kTorqueRest, 1e-3);
    EXPECT_NEAR(NeedleAngle("Torque1"), kTorqueZero, 1e-3);  // left main bus
    EXPECT_EQ(Readout("Rpm2"), " ");
    EXPECT_NE(Readout("Rpm1"), " ");  // left essential bus
    EXPECT_EQ(Electrics_sys.bytes[0xA1], 0);
    EXPECT_EQ(Electrics_sys.bytes[0xA2], 1);
    r = Exchange(client_, LinkRequest(kInstructorDataRequest, kInstructorGroupElectrics));
    EXPECT_EQ(+r.items[kElecRightEssentialBus].value, 0.0f);
    EXPECT_EQ(+r.items[kElecLeftEssentialBus].value, 1.0f);
}

TEST_F(InstructorFailures, SurfaceFailuresDriveTheControlsEveryPass) {
    using Events = std::vector<std::pair<uint32_t, int32_t>>;
    constexpr uint32_t kRudder = 0x100A0;
    constexpr uint32_t kAileron = 0x1009F;
    // Propellers turning: the rudders have hydraulic pressure, so the rudder
    // input is not inhibited (which would send 0 before each failure value).
    PropRpm[0] = PropRpm[1] = 1200.0;
    Frames(40);

    // Rudder "fully deflect left", as the Flight Surfaces page sends it.
    Set(kInstructorGroupFlightSurfaces, kSurfaceRudder, kSurfaceFailDeflectLeft);
    uint64_t from = sim_->frame();
    Frames(8);
    EXPECT_EQ(EventsSince(from, kRudder), Events(8, {kRudder, 15000}));
    EXPECT_TRUE(EventsSince(from, kAileron).empty());

    Set(kInstructorGroupFlightSurfaces, kSurfaceRudder, kSurfaceFailDeflectRight);
    from = sim_->frame();
    Frames(4);
    EXPECT_EQ(EventsSince(from, kRudder), Events(4, {kRudder, -15000}));

    // Ailerons "inoperative": both ailerons fail together.
    Set(kInstructorGroupFlightSurfaces, kSurfaceRudder, 0);
    Set(kInstructorGroupFlightSurfaces, kSurfaceAileron1, kSurfaceFailInoperative);
    from = sim_->frame();
    Frames(8);
    EXPECT_EQ(EventsSince(from, kAileron), Events(8, {kAileron, 0}));
    EXPECT_TRUE(EventsSince(from, kRudder).empty());

    // "No failure" stops them.
    Set(kInstructorGroupFlightSurfaces, kSurfaceAileron2, 0);
    from = sim_->frame();
    Frames(4);
    EXPECT_TRUE(EventsSince(from, kAileron).empty());
}

}  // namespace
}  // namespace zu::e2e

namespace zu::e2e {
namespace {

// The Avionics page: value 0 is the head-up guidance's approach status
// (AIII available and no approach warning); state 0 fails it.
class InstructorAvionics : public LinkFlight {
  protected:
    void SetUp() override {
        StartFlight();
        ASSERT_EQ(NetServerHosting.load(), 1);
        ASSERT_EQ(client_.Connect(Port()), platform::kSessionOk);
    }
    void TearDown() override {
        client_.Close();
        HgsAiiiAvailable = HgsApproachWarning = 0;
        LinkFlight::TearDown();
    }
    LinkClient client_;
};

TEST_F(InstructorAvionics, ApproachStatusAndItsFailure) {
    // Unpowered, the head-up guidance keeps its status bytes as they are.
    HgsAiiiAvailable = 1;
    HgsApproachWarning = 0;
    InstructorMessage r =
        Exchange(client_, LinkRequest(kInstructorDataRequest, kInstructorGroupAvionics));
    EXPECT_EQ(+r.items[kAvionicsHgsApproachStatus].value, 1.0f);
    EXPECT_EQ(+r.items[kAvionicsHgsApproachStatus].state, 0.0f);
    HgsApproachWarning = 1;
    r = Exchange(client_, LinkRequest(kInstructorDataRequest, kInstructorGroupAvionics));
    EXPECT_EQ(+r.items[kAvionicsHgsApproachStatus].value, 0.0f);

    r = Exchange(client_, LinkRequest(kInstructorSetValue, kInstructorGroupAvionics,
                                      kAvionicsHgsApproachStatus, 255));
    ASSERT_EQ(+r.kind, kInstructorAcknowledge);
    EXPECT_EQ(AvionicsInstructorStates[kAvionicsHgsApproachStatus], 255);
    r = Exchange(client_, LinkRequest(kInstructorDataRequest, kInstructorGroupAvionics));
    EXPECT_EQ(+r.items[kAvionicsHgsApproachStatus].state, 255.0f);
}

}  // namespace
}  // namespace zu::e2e
