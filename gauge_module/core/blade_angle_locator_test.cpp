#include "core/blade_angle_locator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/fsuipc_client.h"
#include "zu/platform/process_heaps.h"

namespace zu {
namespace {

void PutF64(uint8_t* p, double v) {
    std::memcpy(p, &v, sizeof v);
}

// Heaps registered for one test; removed at its end so that the scans of
// other tests do not see them.
class LocatorTest : public testing::Test {
  protected:
    void SetUp() override {
        PropBetaLocated = 0;
        PropBladeAnglePointer[0] = PropBladeAnglePointer[1] = nullptr;
        BladeLocatorCalls = 0;
        BladeLocatorAttempts = 0;
    }
    void TearDown() override {
        for (platform::HeapHandle h : heaps_) platform::HeapUnregister(h);
        PropBetaLocated = 0;
        PropBladeAnglePointer[0] = PropBladeAnglePointer[1] = nullptr;
        FsuipcLinkReady.store(0);
    }
    platform::HeapHandle Heap() {
        heaps_.push_back(platform::HeapRegister());
        return heaps_.back();
    }
    std::vector<platform::HeapHandle> heaps_;
};

TEST_F(LocatorTest, FindsValuesOnlyInsideBusyBlocksBeforeTheirLastEightBytes) {
    alignas(8) uint8_t block[64] = {};
    alignas(8) uint8_t exact[8] = {};
    alignas(8) uint8_t free_block[32] = {};
    const double v = 12345.678;
    PutF64(block + 3, v);   // any byte offset
    PutF64(block + 56, v);  // the last 8 bytes: not found
    PutF64(exact, v);       // a block of exactly 8 bytes: not found
    PutF64(free_block, v);  // a free or uncommitted entry: not found
    const platform::HeapHandle h = Heap();
    platform::HeapAddEntry(h, exact, sizeof exact, platform::kHeapEntryBusy);
    platform::HeapAddEntry(h, block, sizeof block, platform::kHeapEntryBusy);
    platform::HeapAddEntry(h, free_block, sizeof free_block, 0);
    platform::HeapAddEntry(h, free_block, sizeof free_block,
                           platform::kHeapEntryBusy | platform::kHeapUncommittedRange);

    EXPECT_EQ(HeapScanForDouble(0, v), block + 3);
    EXPECT_EQ(HeapScan.count, 1);
    PutF64(block + 55, v);  // 55 + 8 = 63: still before the last byte
    EXPECT_EQ(HeapScanForDouble(-5, v), block + 3);
    EXPECT_EQ(HeapScan.count, 2);
    EXPECT_EQ(HeapScan.hit[1], block + 55);
}

TEST_F(LocatorTest, MoreThanSixtyFourHitsKeepTheFirstSixtyThreeAndTheLatest) {
    std::vector<double> block(100, 7.5);
    const platform::HeapHandle h = Heap();
    platform::HeapAddEntry(h, block.data(), block.size() * 8, platform::kHeapEntryBusy);
    auto* base = reinterpret_cast<uint8_t*>(block.data());
    EXPECT_EQ(HeapScanForDouble(0, 7.5), base);
    EXPECT_EQ(HeapScan.count, 63);
    EXPECT_EQ(HeapScan.stored, 64);
    EXPECT_EQ(HeapScan.hit[62], base + 62 * 8);
    EXPECT_EQ(HeapScan.hit[63], base + 98 * 8);  // the latest hit (not in the last 8 bytes)
}

struct SimulatorMemory {
    alignas(8) uint8_t marker[32] = {};
    alignas(8) uint8_t engines[400] = {};
    uint8_t* Angle(int e) { return engines + 20 + e * kEngineRecordBytes; }
};

TEST_F(LocatorTest, AcceptsOnlyAHitWhoseNeighboursHoldTheOtherEnginesInItsBlock) {
    SimulatorMemory mem;
    PutF64(mem.marker + 8, kSimulatorHeapMarker);
    const double b[4] = {0.3, 0.4, 0.0, 0.0};
    // A decoy with the wrong neighbour first, then the engine records.
    alignas(8) uint8_t decoy[400] = {};
    PutF64(decoy, b[0]);
    PutF64(decoy + 84, 0.9);
    // A hit whose records would run past its block.
    alignas(8) uint8_t short_block[200] = {};
    PutF64(short_block, b[0]);
    PutF64(short_block + 84, b[1]);
    for (int e = 0; e < 4; ++e) PutF64(mem.Angle(e), b[e]);
    const platform::HeapHandle h = Heap();
    platform::HeapAddEntry(h, mem.marker, sizeof mem.marker, platform::kHeapEntryBusy);
    platform::HeapAddEntry(h, decoy, sizeof decoy, platform::kHeapEntryBusy);
    platform::HeapAddEntry(h, short_block, sizeof short_block, platform::kHeapEntryBusy);
    platform::HeapAddEntry(h, mem.engines, sizeof mem.engines, platform::kHeapEntryBusy);

    for (int i = 0; i < 4; ++i) {
        BladeAngleHostVariables[i].value = b[i];
    }
    FsuipcLinkReady.store(1);
    for (int i = 0; i < 127; ++i) fscom_fsmem_initialise();
    EXPECT_EQ(BladeLocatorAttempts, 0u);
    fscom_fsmem_initialise();
    EXPECT_EQ(BladeLocatorAttempts, 1u);
    ASSERT_EQ(PropBetaLocated, 1);
    EXPECT_EQ(PropBladeAnglePointer[0], mem.Angle(0));
    EXPECT_EQ(PropBladeAnglePointer[1], mem.Angle(1));

    StoreLocatedBladeAngle(1, 1.25);
    double back;
    std::memcpy(&back, mem.Angle(1), 8);
    EXPECT_EQ(back, 1.25);
    for (int i = 0; i < 256; ++i) fscom_fsmem_initialise();
    EXPECT_EQ(BladeLocatorAttempts, 1u);
}

TEST_F(LocatorTest, AZeroBladeAngleOrNoMarkerNeverFindsAnything) {
    SimulatorMemory mem;
    const platform::HeapHandle h = Heap();
    platform::HeapAddEntry(h, mem.engines, sizeof mem.engines, platform::kHeapEntryBusy);
    for (auto& v : BladeAngleHostVariables) v.value = 0.0;
    FsuipcLinkReady.store(1);
    for (int i = 0; i < 128; ++i) fscom_fsmem_initialise();
    EXPECT_EQ(BladeLocatorAttempts, 0u);  // zero: no scan at all
    BladeAngleHostVariables[0].value = 0.5;
    PutF64(mem.Angle(0), 0.5);
    for (int i = 0; i < 128; ++i) fscom_fsmem_initialise();
    EXPECT_EQ(BladeLocatorAttempts, 1u);  // scanned, but no marker anywhere
    EXPECT_EQ(PropBetaLocated, 0);
    StoreLocatedBladeAngle(0, 2.0);  // nothing found: no store
    EXPECT_EQ(PropBladeAnglePointer[0], nullptr);
    for (auto& v : BladeAngleHostVariables) v.value = 0.0;
}

}  // namespace
}  // namespace zu
