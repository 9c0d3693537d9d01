#include "zu/platform/process_heaps.h"

#include <gtest/gtest.h>

namespace zu::platform {
namespace {

TEST(ProcessHeaps, WalksRegisteredEntriesInOrderUntilUnregistered) {
    uint8_t a[16] = {};
    uint8_t b[32] = {};
    const HeapHandle h = HeapRegister();
    ASSERT_NE(h, 0u);
    EXPECT_TRUE(HeapAddEntry(h, a, sizeof a, kHeapEntryBusy));
    EXPECT_TRUE(HeapAddEntry(h, b, sizeof b, kHeapUncommittedRange));
    HeapHandle handles[kMaxProcessHeaps];
    const int n = GetProcessHeaps(kMaxProcessHeaps, handles);
    ASSERT_GE(n, 1);
    EXPECT_EQ(handles[n - 1], h);  // the newest heap comes last

    ASSERT_TRUE(HeapLock(h));
    HeapEntry e;
    ASSERT_TRUE(HeapWalk(h, &e));
    EXPECT_EQ(e.data, a);
    EXPECT_EQ(e.size, sizeof a);
    EXPECT_EQ(e.flags, kHeapEntryBusy);
    ASSERT_TRUE(HeapWalk(h, &e));
    EXPECT_EQ(e.data, b);
    EXPECT_EQ(e.flags, kHeapUncommittedRange);
    EXPECT_FALSE(HeapWalk(h, &e));
    EXPECT_TRUE(HeapUnlock(h));

    HeapUnregister(h);
    EXPECT_EQ(GetProcessHeaps(0, nullptr), n - 1);
    HeapEntry again;
    EXPECT_FALSE(HeapWalk(h, &again));
    EXPECT_FALSE(HeapLock(h));
    EXPECT_FALSE(HeapAddEntry(h, a, sizeof a, kHeapEntryBusy));
}

TEST(ProcessHeaps, RefusesEntriesBeyondAHeapsCapacity) {
    static uint8_t block[8];
    const HeapHandle h = HeapRegister();
    for (int i = 0; i < kMaxHeapEntries; ++i)
        ASSERT_TRUE(HeapAddEntry(h, block, 8, kHeapEntryBusy));
    EXPECT_FALSE(HeapAddEntry(h, block, 8, kHeapEntryBusy));
    HeapUnregister(h);
}

}  // namespace
}  // namespace zu::platform
