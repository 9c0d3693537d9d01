#include "zu/platform/process_heaps.h"

#include <array>
#include <mutex>

namespace zu::platform {

namespace {

struct Entry {
    void* data;
    size_t size;
    uint16_t flags;
};

struct Heap {
    HeapHandle handle = 0;  // 0: slot free
    int count = 0;
    std::array<Entry, kMaxHeapEntries> entries{};
    std::recursive_mutex lock;  // HeapLock / HeapUnlock
};

struct Registry {
    std::mutex mutex;  // guards the slots' handles and entry counts
    std::array<Heap, kMaxProcessHeaps> heaps;
    HeapHandle next_handle = 1;
};

Registry& Heaps() {
    static Registry* registry = new Registry;  // lives for the process
    return *registry;
}

Heap* Find(Registry& r, HeapHandle handle) {
    if (handle == 0) return nullptr;
    for (Heap& h : r.heaps) {
        if (h.handle == handle) return &h;
    }
    return nullptr;
}

// Lock order everywhere: a heap's own lock first, then the registry's.
Heap* FindUnlocked(HeapHandle handle) {
    Registry& r = Heaps();
    std::lock_guard<std::mutex> guard(r.mutex);
    return Find(r, handle);
}

}  // namespace

HeapHandle HeapRegister() {
    Registry& r = Heaps();
    std::lock_guard<std::mutex> guard(r.mutex);
    for (Heap& h : r.heaps) {
        if (h.handle == 0) {
            h.handle = r.next_handle++;
            h.count = 0;
            return h.handle;
        }
    }
    return 0;
}

bool HeapAddEntry(HeapHandle heap, void* data, size_t size, uint16_t flags) {
    Heap* h = FindUnlocked(heap);
    if (h == nullptr) return false;
    std::lock_guard<std::recursive_mutex> heap_guard(h->lock);
    Registry& r = Heaps();
    std::lock_guard<std::mutex> guard(r.mutex);
    if (h->handle != heap || h->count >= kMaxHeapEntries) return false;
    h->entries[static_cast<size_t>(h->count++)] = Entry{data, size, flags};
    return true;
}

void HeapUnregister(HeapHandle heap) {
    Heap* h = FindUnlocked(heap);
    if (h == nullptr) return;
    std::lock_guard<std::recursive_mutex> heap_guard(h->lock);
    Registry& r = Heaps();
    std::lock_guard<std::mutex> guard(r.mutex);
    if (h->handle != heap) return;
    h->handle = 0;
    h->count = 0;
}

int GetProcessHeaps(int max, HeapHandle* handles) {
    Registry& r = Heaps();
    std::lock_guard<std::mutex> guard(r.mutex);
    int n = 0;
    // Creation order: handles grow, so sort the live ones by handle.
    std::array<HeapHandle, kMaxProcessHeaps> live{};
    for (const Heap& h : r.heaps) {
        if (h.handle != 0) live[static_cast<size_t>(n++)] = h.handle;
    }
    for (int i = 1; i < n; ++i) {
        const HeapHandle v = live[static_cast<size_t>(i)];
        int j = i - 1;
        while (j >= 0 && live[static_cast<size_t>(j)] > v) {
            live[static_cast<size_t>(j + 1)] = live[static_cast<size_t>(j)];
            --j;
        }
        live[static_cast<size_t>(j + 1)] = v;
    }
    for (int i = 0; i < n && i < max && handles != nullptr; ++i)
        handles[i] = live[static_cast<size_t>(i)];
    return n;
}

bool HeapLock(HeapHandle heap) {
    Heap* h = FindUnlocked(heap);
    if (h == nullptr) return false;
    h->lock.lock();
    return true;
}

bool HeapUnlock(HeapHandle heap) {
    Heap* h = FindUnlocked(heap);
    if (h == nullptr) return false;
    h->lock.unlock();
    return true;
}

bool HeapWalk(HeapHandle heap, HeapEntry* entry) {
    if (entry == nullptr) return false;
    Registry& r = Heaps();
    std::lock_guard<std::mutex> guard(r.mutex);
    Heap* h = Find(r, heap);
    if (h == nullptr || entry->next < 0 || entry->next >= h->count) return false;
    const Entry& e = h->entries[static_cast<size_t>(entry->next)];
    entry->data = e.data;
    entry->size = e.size;
    entry->flags = e.flags;
    ++entry->next;
    return true;
}

}  // namespace zu::platform
