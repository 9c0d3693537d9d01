#include "core/fsuipc_client.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "core/fsuipc_script_window.h"
#include "zu/platform/timer.h"

namespace zu {
namespace {

class FsuipcClient : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetClockMode(platform::ClockMode::Lockstep);
        script_ = std::make_unique<testing::FsuipcScriptWindow>();
        second_ = std::make_unique<testing::FsuipcScriptWindow>();
    }
    void TearDown() override {
        FsuipcClose();
        testing::ScriptWindowStop(script_.get());
        testing::ScriptWindowStop(second_.get());
    }
    void OpenOk() {
        testing::ScriptWindowStart(script_.get(), "FS98MAIN");
        uint32_t r = 99;
        ASSERT_TRUE(FsuipcOpen(7, &r));
        ASSERT_EQ(r, kFsuipcOk);
    }

    std::unique_ptr<testing::FsuipcScriptWindow> script_;
    std::unique_ptr<testing::FsuipcScriptWindow> second_;
};

TEST_F(FsuipcClient, OpenChecksTheSimulatorAndTheVersion) {
    testing::ScriptWindowStart(script_.get(), "FS98MAIN", 0x19980005, 0xFADE0007);
    uint32_t r = 99;
    EXPECT_FALSE(FsuipcOpen(8, &r));
    EXPECT_EQ(r, kFsuipcWrongSimulator);
    EXPECT_EQ(FsuipcView, nullptr);

    EXPECT_TRUE(FsuipcOpen(7, &r));
    EXPECT_EQ(r, kFsuipcOk);
    EXPECT_EQ(FsuipcSimulatorVersion, 7u);
    EXPECT_EQ(script_->library_version, 1004);
    FsuipcClose();

    // Any simulator is fine when none is requested.
    EXPECT_TRUE(FsuipcOpen(0, &r));
    FsuipcClose();

    // FsuipcConnect falls back to the second simulator number.
    script_->Set32(0x3308, 0xFADE0008);
    FsuipcConnect();
    EXPECT_EQ(FsuipcResult, kFsuipcOk);
    EXPECT_EQ(FsuipcSimulatorVersion, 8u);
}

TEST_F(FsuipcClient, OpenReportsAMissingWindowAndBadVersions) {
    uint32_t r = 99;
    EXPECT_FALSE(FsuipcOpen(7, &r));
    EXPECT_EQ(r, kFsuipcNoWindow);

    // An old FSUIPC behind "FS98MAIN" only.
    testing::ScriptWindowStart(script_.get(), "FS98MAIN", 0x19980004, 0xFADE0007);
    EXPECT_FALSE(FsuipcOpen(7, &r));
    EXPECT_EQ(r, kFsuipcBadVersionFs98);
    script_->Set32(0x3304, 0x19990000);
    script_->Set32(0x3308, 0x12340007);  // marker missing
    EXPECT_FALSE(FsuipcOpen(7, &r));
    EXPECT_EQ(r, kFsuipcBadVersionFs98);

    // The same behind "UIPCMAIN"; a simulator word that never arrives is
    // asked for five times before the open gives up.
    testing::ScriptWindowStart(second_.get(), "UIPCMAIN", 0x19990000, 0);
    EXPECT_FALSE(FsuipcOpen(7, &r));
    EXPECT_EQ(r, kFsuipcBadVersion);
    EXPECT_EQ(FsuipcView, nullptr);
    EXPECT_EQ(second_->batches, 5u);
    EXPECT_EQ(script_->batches, 2u);  // "UIPCMAIN" is preferred once it exists
}

TEST_F(FsuipcClient, SecondOpenLeavesTheLinkWorking) {
    OpenOk();
    uint32_t r = 99;
    EXPECT_FALSE(FsuipcOpen(7, &r));
    EXPECT_EQ(r, kFsuipcAlreadyOpen);
    script_->Set32(0x0100, 0xCAFEF00D);
    uint32_t value = 0;
    ASSERT_TRUE(FsuipcRead(0x0100, 4, &value, &r));
    ASSERT_TRUE(FsuipcProcess(&r));
    EXPECT_EQ(value, 0xCAFEF00Du);
}

TEST_F(FsuipcClient, ClosedLinkAndEmptyBatch) {
    uint32_t r = 99;
    uint32_t value = 0;
    EXPECT_FALSE(FsuipcRead(0x100, 4, &value, &r));
    EXPECT_EQ(r, kFsuipcNotOpen);
    EXPECT_FALSE(FsuipcWrite(0x100, 4, &value, &r));
    EXPECT_EQ(r, kFsuipcNotOpen);
    EXPECT_FALSE(FsuipcProcess(&r));
    EXPECT_EQ(r, kFsuipcNotOpen);

    OpenOk();
    const uint32_t batches = script_->batches;
    EXPECT_FALSE(FsuipcProcess(&r));
    EXPECT_EQ(r, kFsuipcNothingQueued);
    EXPECT_EQ(script_->batches, batches);
}

TEST_F(FsuipcClient, AreaLimit) {
    OpenOk();
    uint32_t r = 99;
    EXPECT_FALSE(FsuipcRead(0, 32512 - 20 + 1, nullptr, &r));
    EXPECT_EQ(r, kFsuipcAreaFull);
    EXPECT_TRUE(FsuipcRead(0, 32512 - 20, nullptr, &r));
    EXPECT_FALSE(FsuipcWrite(0, 0, nullptr, &r));  // nothing more fits
    EXPECT_EQ(r, kFsuipcAreaFull);
    ASSERT_TRUE(FsuipcProcess(&r));

    EXPECT_FALSE(FsuipcWrite(0, 32512 - 16 + 1, nullptr, &r));
    EXPECT_EQ(r, kFsuipcAreaFull);
    EXPECT_TRUE(FsuipcWrite(0, 32512 - 16, nullptr, &r));
    ASSERT_TRUE(FsuipcProcess(&r));
}

TEST_F(FsuipcClient, BatchDeliversReadsInOrderAndSendsWrites) {
    OpenOk();
    script_->Set32(0x0200, 111);
    script_->Set32(0x0300, 222);
    uint32_t first = 0;
    uint32_t second = 0;
    const uint32_t data = 0x01020304;
    uint32_t r = 99;
    ASSERT_TRUE(FsuipcWrite(0x0400, 4, &data, &r));
    ASSERT_TRUE(FsuipcRead(0x0200, 4, &first, &r));
    ASSERT_TRUE(FsuipcRead(0x0300, 4, &second, &r));
    ASSERT_TRUE(FsuipcProcess(&r));
    EXPECT_EQ(r, kFsuipcOk);
    EXPECT_EQ(first, 111u);
    EXPECT_EQ(second, 222u);
    EXPECT_EQ(script_->Get32(0x0400), data);
    EXPECT_EQ(FsuipcRequestCursor, FsuipcView);
}

// A list of reads queues the very records single reads would, near the
// area's end too (as far as they fit, each failing as it would).
TEST_F(FsuipcClient, ReadListQueuesAsSingleReads) {
    OpenOk();
    uint8_t a = 0;
    uint16_t b = 0;
    double c = 0.0;
    char text[25] = {};
    const FsuipcReadRequest list[] = {{0x0200, 1, &a},
                                      {0x0210, 2, &b},
                                      {0x0220, 0, nullptr},
                                      {0x0230, 8, &c},
                                      {0x0240, 25, text}};
    struct Queued {
        std::vector<uint8_t> bytes;
        std::vector<uint32_t> results;
        uint32_t destinations;
        std::vector<void*> addresses;
    };
    // `lead` bytes of answer queued first, then the list by either way.
    const auto queue = [&](uint32_t lead, bool at_once) {
        FsuipcRequestCursor = FsuipcView;
        FsuipcDestinationCount = 0;
        std::memset(FsuipcView, 0xA5, kFsuipcAreaSize);
        uint32_t r = 99;
        EXPECT_TRUE(FsuipcRead(0x0100, lead, nullptr, &r));
        Queued q;
        if (at_once) {
            FsuipcReadAll(list, std::size(list), &r);
            q.results.push_back(r);
        } else {
            for (const FsuipcReadRequest& read : list) {
                FsuipcRead(read.offset, read.size, read.destination, &r);
            }
            q.results.push_back(r);
        }
        q.bytes.assign(FsuipcView, FsuipcRequestCursor);
        q.destinations = FsuipcDestinationCount;
        for (uint32_t i = 0; i < FsuipcDestinationCount; ++i) {
            q.addresses.push_back(FsuipcDestinations[i].address);
        }
        return q;
    };
    constexpr uint32_t kListBytes = 5 * 16 + 1 + 2 + 8 + 25;
    for (const uint32_t lead :
         {4u, 32512u - 20u - kListBytes, 32512u - 20u - kListBytes + 1u, 32512u - 20u - 30u}) {
        const Queued one_by_one = queue(lead, false);
        const Queued at_once = queue(lead, true);
        EXPECT_EQ(at_once.bytes, one_by_one.bytes) << lead;
        EXPECT_EQ(at_once.results, one_by_one.results) << lead;
        EXPECT_EQ(at_once.destinations, one_by_one.destinations) << lead;
        EXPECT_EQ(at_once.addresses, one_by_one.addresses) << lead;
    }

    // The answers reach their destinations.
    FsuipcRequestCursor = FsuipcView;
    FsuipcDestinationCount = 0;
    script_->Set32(0x0200, 0x11);
    script_->Set32(0x0210, 0x2233);
    uint32_t r = 99;
    ASSERT_TRUE(FsuipcReadAll(list, std::size(list), &r));
    ASSERT_TRUE(FsuipcProcess(&r));
    EXPECT_EQ(a, 0x11);
    EXPECT_EQ(b, 0x2233);
}

TEST_F(FsuipcClient, FailedSendsAndAnswers) {
    OpenOk();
    uint32_t value = 5;
    uint32_t r = 99;
    script_->Set32(0x0200, 42);

    // Eight failures are retried; the ninth send gets through.
    platform::InjectSendFailures(script_->window, 8, 1460);
    ASSERT_TRUE(FsuipcRead(0x0200, 4, &value, &r));
    EXPECT_TRUE(FsuipcProcess(&r));
    EXPECT_EQ(value, 42u);

    script_->Set32(0x0200, 43);
    platform::InjectSendFailures(script_->window, 9, 1460);
    ASSERT_TRUE(FsuipcRead(0x0200, 4, &value, &r));
    EXPECT_FALSE(FsuipcProcess(&r));
    EXPECT_EQ(r, kFsuipcSendFailed);

    platform::InjectSendFailures(script_->window, 9, 0);
    ASSERT_TRUE(FsuipcRead(0x0200, 4, &value, &r));
    EXPECT_FALSE(FsuipcProcess(&r));
    EXPECT_EQ(r, kFsuipcNoAnswer);

    script_->answer = 0;
    ASSERT_TRUE(FsuipcRead(0x0200, 4, &value, &r));
    EXPECT_FALSE(FsuipcProcess(&r));
    EXPECT_EQ(r, kFsuipcBadAnswer);
    EXPECT_EQ(value, 42u);  // failed batches leave the destination alone
    EXPECT_EQ(FsuipcRequestCursor, FsuipcView);
}

// An answer that does not hold the records as queued: the walk stops at a
// size that leads past the area or at an unknown kind, and copies nothing
// whose size does not match what was queued.
void CorruptFirstRecordSize(testing::FsuipcScriptWindow*, uint8_t* area) {
    const uint32_t huge = 0xFFFFFFF0u;
    std::memcpy(area + 8, &huge, 4);
}
void CorruptSecondRecordKind(testing::FsuipcScriptWindow*, uint8_t* area) {
    const uint32_t kind = 7;
    std::memcpy(area + 20, &kind, 4);
}
void GrowFirstRecord(testing::FsuipcScriptWindow*, uint8_t* area) {
    const uint32_t size = 8;
    std::memcpy(area + 8, &size, 4);
}

TEST_F(FsuipcClient, GarbledAnswerStaysInsideTheArea) {
    OpenOk();
    script_->Set32(0x0200, 42);
    script_->Set32(0x0300, 43);
    uint32_t a = 0;
    uint32_t b = 0;
    uint32_t r = 99;

    script_->after_serve = CorruptFirstRecordSize;
    ASSERT_TRUE(FsuipcRead(0x0200, 4, &a, &r));
    ASSERT_TRUE(FsuipcRead(0x0300, 4, &b, &r));
    EXPECT_TRUE(FsuipcProcess(&r));
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 0u);

    script_->after_serve = CorruptSecondRecordKind;
    ASSERT_TRUE(FsuipcRead(0x0200, 4, &a, &r));
    ASSERT_TRUE(FsuipcRead(0x0300, 4, &b, &r));
    EXPECT_TRUE(FsuipcProcess(&r));
    EXPECT_EQ(a, 42u);
    EXPECT_EQ(b, 0u);

    a = 0;
    script_->after_serve = GrowFirstRecord;
    ASSERT_TRUE(FsuipcRead(0x0200, 4, &a, &r));
    EXPECT_TRUE(FsuipcProcess(&r));
    EXPECT_EQ(a, 0u);
}

}  // namespace
}  // namespace zu
