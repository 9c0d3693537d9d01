// The process's heaps, as a module that scans the simulator's memory sees
// them: a list of heap handles (at most kMaxProcessHeaps), each of which is
// locked, walked entry by entry (flags, data address, size) and unlocked.
//
// There are no simulator heaps on this machine. The host registers the
// blocks it wants a walker to see: a heap is created with HeapRegister and
// filled with HeapAddEntry; the memory stays the host's and must outlive its
// registration. Handles are small numbers (never 0). All calls are safe from
// any thread; a heap's entries do not change while it is locked.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu::platform {

inline constexpr int kMaxProcessHeaps = 1024;
inline constexpr int kMaxHeapEntries = 256;

// Entry flags, as a heap walk reports them.
inline constexpr uint16_t kHeapEntryRegion = 0x0001;
inline constexpr uint16_t kHeapUncommittedRange = 0x0002;
inline constexpr uint16_t kHeapEntryBusy = 0x0004;

using HeapHandle = uint32_t;

struct HeapEntry {
    void* data = nullptr;  // null before the first walk step
    size_t size = 0;
    uint16_t flags = 0;
    int next = 0;  // the walker's position; 0 starts a walk
};

// Creates an empty heap; 0 when kMaxProcessHeaps exist already.
HeapHandle HeapRegister();
// Adds an entry (a block at `data` of `size` bytes with `flags`); false for
// an unknown handle or a full heap.
bool HeapAddEntry(HeapHandle heap, void* data, size_t size, uint16_t flags);
// Removes a heap; walks in progress on other threads finish first.
void HeapUnregister(HeapHandle heap);

// Writes up to `max` handles (in creation order) and returns how many heaps
// exist (which may be more than `max`).
int GetProcessHeaps(int max, HeapHandle* handles);
bool HeapLock(HeapHandle heap);
bool HeapUnlock(HeapHandle heap);
// Steps `entry` to the heap's next entry; false at the end (or for an
// unknown handle). Start with a default-constructed entry.
bool HeapWalk(HeapHandle heap, HeapEntry* entry);

}  // namespace zu::platform
