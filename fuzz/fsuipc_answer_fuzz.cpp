// Feeds arbitrary bytes to the FSUIPC client as the answer in the shared
// area: the client queues a batch (shape taken from the first input bytes),
// the scripted window overwrites the area with the rest of the input and
// answers 1, and the client walks the records and delivers. The walk must
// stay inside the area and write no destination beyond its queued size.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/fsuipc_client.h"
#include "core/fsuipc_script_window.h"
#include "zu/platform/timer.h"

namespace {

constexpr uint32_t kMaxReads = 16;
constexpr uint32_t kSlot = 300;  // room for the largest read plus a guard
constexpr uint8_t kGuard = 0xA5;

zu::testing::FsuipcScriptWindow g_script;
uint8_t g_destinations[kMaxReads][kSlot];
const uint8_t* g_answer = nullptr;
size_t g_answer_size = 0;

void OverwriteArea(zu::testing::FsuipcScriptWindow*, uint8_t* area) {
    const size_t n = g_answer_size < zu::kFsuipcAreaSize ? g_answer_size : zu::kFsuipcAreaSize;
    if (n != 0) std::memcpy(area, g_answer, n);
}

bool Setup() {
    zu::platform::SetClockMode(zu::platform::ClockMode::Lockstep);
    zu::testing::ScriptWindowStart(&g_script, "FS98MAIN");
    uint32_t r = 0;
    if (!zu::FsuipcOpen(7, &r)) __builtin_trap();
    g_script.after_serve = OverwriteArea;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = Setup();
    (void)ready;

    // Batch shape: byte 0 = number of reads (low 4 bits), then one size byte
    // per read (a read of up to 255 bytes), then one write of 4 bytes.
    size_t pos = 0;
    const uint32_t reads = size > 0 ? (data[pos++] & 0x0F) : 0;
    uint32_t sizes[kMaxReads] = {};
    uint32_t r = 0;
    std::memset(g_destinations, kGuard, sizeof g_destinations);
    for (uint32_t i = 0; i < reads; ++i) {
        sizes[i] = pos < size ? data[pos++] : 4;
        zu::FsuipcRead(0x0100 + 0x100 * i, sizes[i], g_destinations[i], &r);
    }
    const uint32_t word = 0x12345678;
    zu::FsuipcWrite(0x0400, 4, &word, &r);

    g_answer = data + pos;
    g_answer_size = size - pos;
    zu::FsuipcProcess(&r);

    for (uint32_t i = 0; i < reads; ++i) {
        for (uint32_t b = sizes[i]; b < kSlot; ++b) {
            if (g_destinations[i][b] != kGuard) __builtin_trap();
        }
    }
    return 0;
}
