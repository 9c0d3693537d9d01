#include "core/blade_angle_locator.h"

#include <algorithm>
#include <cstring>

#include "core/fsuipc_client.h"
#include "core/module_frame.h"
#include "zu/platform/process_heaps.h"

namespace zu {

uint8_t PropBetaLocated = 0;
uint8_t* PropBladeAnglePointer[2] = {nullptr, nullptr};
HeapScanResults HeapScan = {};
uint32_t BladeLocatorCalls = 0;
uint32_t BladeLocatorAttempts = 0;

gauge::HostVariable BladeAngleHostVariables[4] = {
    {703, nullptr, 0, 0.0, 0.0},
    {711, nullptr, 0, 0.0, 0.0},
    {719, nullptr, 0, 0.0, 0.0},
    {727, nullptr, 0, 0.0, 0.0},
};

namespace {

double ReadF64(const uint8_t* p) {
    double v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void RecordHit(uint8_t* p, int32_t heap, uint8_t* end) {
    const auto i = static_cast<size_t>(HeapScan.count);
    HeapScan.hit[i] = p;
    HeapScan.heap_index[i] = heap;
    HeapScan.block_end[i] = end;
    HeapScan.stored = std::max(HeapScan.stored, HeapScan.count + 1);
    if (++HeapScan.count == kHeapScanMaxHits) HeapScan.count = kHeapScanMaxHits - 1;
}

// Every byte offset of the block whose 8 bytes lie before its last 8 bytes.
uint8_t* ScanBlock(uint8_t* data, size_t size, const uint8_t* pattern, int32_t heap,
                   uint8_t* first) {
    if (size <= 8) return first;
    uint8_t* end = data + size;
    for (size_t off = 0; off + 9 <= size; ++off) {
        if (data[off] != pattern[0] || std::memcmp(data + off, pattern, 8) != 0) continue;
        if (first == nullptr) first = data + off;
        RecordHit(data + off, heap, end);
    }
    return first;
}

bool Scannable(const platform::HeapEntry& e) {
    return e.flags != 0 && (e.flags & platform::kHeapUncommittedRange) == 0 && e.data != nullptr;
}

// 2. The simulator's blade angles of engines 1 to 4.
void LookUpBladeAngles() {
    auto lookup = PanelServiceSlot<gauge::LookupVariableService>(gauge::kSlotLookupVariable);
    if (lookup == nullptr) return;
    for (gauge::HostVariable& v : BladeAngleHostVariables) lookup(&v);
}

// 6. A hit whose three neighbours, inside its own block, hold the other
//    engines' values.
bool AcceptCandidate(int i, const double b[4]) {
    uint8_t* p = HeapScan.hit[i];
    if (p + 3 * kEngineRecordBytes + 8 > HeapScan.block_end[i]) return false;
    for (int e = 0; e < 4; ++e) {
        if (ReadF64(p + e * kEngineRecordBytes) != b[e]) return false;
    }
    PropBladeAnglePointer[0] = p;
    PropBladeAnglePointer[1] = p + kEngineRecordBytes;
    PropBetaLocated = 1;
    return true;
}

}  // namespace

uint8_t* HeapScanForDouble(int32_t first_heap, double value) {
    platform::HeapHandle heaps[platform::kMaxProcessHeaps];
    const int n = std::min(platform::GetProcessHeaps(platform::kMaxProcessHeaps, heaps),
                           platform::kMaxProcessHeaps);
    HeapScan.count = 0;
    HeapScan.stored = 0;
    uint8_t pattern[8];
    std::memcpy(pattern, &value, sizeof pattern);
    uint8_t* first = nullptr;
    for (int32_t h = std::max(first_heap, 0); h < n; ++h) {
        if (!platform::HeapLock(heaps[h])) continue;
        platform::HeapEntry e;
        while (platform::HeapWalk(heaps[h], &e)) {
            if (!Scannable(e)) continue;
            first = ScanBlock(static_cast<uint8_t*>(e.data), e.size, pattern, h, first);
        }
        platform::HeapUnlock(heaps[h]);
    }
    return first;
}

void fscom_fsmem_initialise() {
    // 1. Every 128th call while the link is up, until found.
    ++BladeLocatorCalls;
    if (FsuipcLinkReady.load(std::memory_order_acquire) == 0 || PropBetaLocated != 0 ||
        BladeLocatorCalls % kLocatorCallPeriod != 0) {
        return;
    }
    LookUpBladeAngles();
    double b[4];
    for (int e = 0; e < 4; ++e) b[e] = BladeAngleHostVariables[e].value;
    // 3. A zero cannot be searched for.
    if (b[0] == 0.0) return;
    // 4. The marker's heap.
    ++BladeLocatorAttempts;
    if (HeapScanForDouble(0, kSimulatorHeapMarker) == nullptr) return;
    // 5. Engine 1's value from there on.
    if (HeapScanForDouble(HeapScan.heap_index[0], b[0]) == nullptr) return;
    for (int i = 0; i < HeapScan.stored; ++i) {
        if (AcceptCandidate(i, b)) return;
    }
}

void StoreLocatedBladeAngle(int engine, double angle) {
    if (engine < 0 || engine > 1 || PropBladeAnglePointer[engine] == nullptr) return;
    std::memcpy(PropBladeAnglePointer[engine], &angle, sizeof angle);
}

}  // namespace zu
