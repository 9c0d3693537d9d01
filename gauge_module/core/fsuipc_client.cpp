#include "core/fsuipc_client.h"

#include <bit>
#include <cstdio>
#include <cstring>

#include "core/host_panel_services.h"
#include "zu/platform/timer.h"

namespace zu {

FsuipcDestination FsuipcDestinations[kFsuipcMaxReads] = {};
uint32_t FsuipcDestinationCount = 0;

platform::WindowHandle FsuipcWindow = 0;
uint32_t FsuipcMessage = 0;
uint16_t FsuipcAtom = 0;
platform::AreaHandle FsuipcMapping = 0;
uint8_t* FsuipcView = nullptr;
uint8_t* FsuipcRequestCursor = nullptr;
uint32_t FsuipcOpenCounter = 0;
uint32_t FsuipcVersion = 0;
uint32_t FsuipcSimulatorVersion = 0;
uint32_t FsuipcResult = 0;
int32_t HardwareOutputHoldoff = 0;

std::atomic<uint8_t> FsuipcLinkReady{0};
char AircraftFolderPath[256] = {};

namespace {

constexpr uint32_t kOffsetFsuipcVersion = 0x3304;
constexpr uint32_t kOffsetSimulatorVersion = 0x3308;
constexpr uint32_t kOffsetLibraryVersion = 0x330A;
constexpr uint16_t kLibraryVersion = 1004;
constexpr uint32_t kOffsetAircraftPath = 0x3C00;
constexpr uint32_t kAircraftPathSize = 256;
constexpr uint32_t kMinFsuipcVersion = 0x19980005;
constexpr uint32_t kSimulatorMarker = 0xFADE;
constexpr int kHandshakeAttempts = 5;
constexpr int kSendAttempts = 9;
constexpr uint32_t kSendTimeoutMs = 2000;
constexpr uint32_t kRetryWaitMs = 100;
constexpr uint64_t kReconnectIntervalMs = 1000;

// Clock time of the last connect attempt; the link step reconnects a link
// that could not be opened at most once per kReconnectIntervalMs.
uint64_t FsuipcLastConnectMs = 0;

// Answer buffer of the link step's path read.
char FsuipcAircraftPath[kAircraftPathSize];

// Little-endian words (one move on a little-endian machine).
uint32_t LoadLe32(const uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void StoreLe32(uint8_t* p, uint32_t v) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &v, 4);
        return;
    }
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t QueuedBytes() {
    return static_cast<uint32_t>(FsuipcRequestCursor - FsuipcView);
}

// Clears `size` bytes: the sizes of single values inline.
void ClearValue(uint8_t* to, uint32_t size) {
    constexpr uint8_t kZeros[8] = {};
    if (size <= 8) {
        platform::CopyFsuipcValue(to, kZeros, size);
    } else {
        std::memset(to, 0, size);
    }
}

// Queues a read the area has room for, its answer cleared; the answer goes
// to `destination` (none when null).
void QueueRead(uint32_t offset, uint32_t size, void* destination) {
    uint32_t index = 0;
    if (destination != nullptr) {
        FsuipcDestinations[FsuipcDestinationCount] = {destination, size};
        index = ++FsuipcDestinationCount;
    }
    uint8_t* rec = FsuipcRequestCursor;
    StoreLe32(rec + offsetof(FsuipcReadRecord, kind), kFsuipcReadKind);
    StoreLe32(rec + offsetof(FsuipcReadRecord, offset), offset);
    StoreLe32(rec + offsetof(FsuipcReadRecord, size), size);
    StoreLe32(rec + offsetof(FsuipcReadRecord, destination), index);
    ClearValue(rec + sizeof(FsuipcReadRecord), size);
    FsuipcRequestCursor = rec + sizeof(FsuipcReadRecord) + size;
}

bool FailOpen(uint32_t code, uint32_t* result) {
    FsuipcClose();
    *result = code;
    return false;
}

// Walks the answered records and copies each read's answer to its
// destination. Every size is checked against what is left of the area, so an
// answer that does not hold the records as queued ends the walk instead of
// leading it outside the area.
void DeliverAnswers(uint32_t reads) {
    uint32_t pos = 0;
    while (kFsuipcAreaSize - pos >= 4) {
        uint8_t* rec = FsuipcView + pos;
        const uint32_t kind = LoadLe32(rec);
        if (kind == 0) return;
        if (kind == kFsuipcReadKind) {
            if (kFsuipcAreaSize - pos < sizeof(FsuipcReadRecord)) return;
            const uint32_t size = LoadLe32(rec + offsetof(FsuipcReadRecord, size));
            if (size > kFsuipcAreaSize - pos - sizeof(FsuipcReadRecord)) return;
            const uint32_t index = LoadLe32(rec + offsetof(FsuipcReadRecord, destination));
            if (index != 0 && index <= reads) {
                const FsuipcDestination& d = FsuipcDestinations[index - 1];
                if (d.address != nullptr && d.size == size && size != 0) {
                    platform::CopyFsuipcValue(d.address, rec + sizeof(FsuipcReadRecord), size);
                }
            }
            pos += sizeof(FsuipcReadRecord) + size;
        } else if (kind == kFsuipcWriteKind) {
            if (kFsuipcAreaSize - pos < sizeof(FsuipcWriteRecord)) return;
            const uint32_t size = LoadLe32(rec + offsetof(FsuipcWriteRecord, size));
            if (size > kFsuipcAreaSize - pos - sizeof(FsuipcWriteRecord)) return;
            pos += sizeof(FsuipcWriteRecord) + size;
        } else {
            StoreLe32(rec, 0);
            return;
        }
    }
}

}  // namespace

bool FsuipcOpen(uint32_t requested, uint32_t* result) {
    if (FsuipcView != nullptr) {
        *result = kFsuipcAlreadyOpen;
        return false;
    }
    FsuipcVersion = 0;
    FsuipcSimulatorVersion = 0;

    bool uipc_window = true;
    FsuipcWindow = platform::FindTopLevelWindow("UIPCMAIN");
    if (FsuipcWindow == 0) {
        uipc_window = false;
        FsuipcWindow = platform::FindTopLevelWindow("FS98MAIN");
    }
    if (FsuipcWindow == 0) return FailOpen(kFsuipcNoWindow, result);

    FsuipcMessage = platform::RegisterWindowMessage("FsasmLib:IPC");
    if (FsuipcMessage == 0) return FailOpen(kFsuipcNoMessage, result);

    ++FsuipcOpenCounter;
    char name[64];
    std::snprintf(name, sizeof name, "FsasmLib:IPC:%X:%X", platform::CurrentProcessId(),
                  FsuipcOpenCounter);
    FsuipcAtom = platform::GlobalAddAtom(name);
    if (FsuipcAtom == 0) return FailOpen(kFsuipcNoAtom, result);

    bool existed = false;
    FsuipcMapping = platform::CreateSharedArea(name, kFsuipcAreaSize, &existed);
    if (FsuipcMapping == 0 || existed) return FailOpen(kFsuipcNoMapping, result);
    FsuipcView = static_cast<uint8_t*>(platform::MapSharedArea(FsuipcMapping));
    if (FsuipcView == nullptr) return FailOpen(kFsuipcNoView, result);
    FsuipcRequestCursor = FsuipcView;
    FsuipcDestinationCount = 0;

    // Handshake: read both version words (and tell FSUIPC our library
    // version once) until both are in, at most five times.
    for (int attempt = 0; attempt < kHandshakeAttempts; ++attempt) {
        if (FsuipcVersion != 0 && FsuipcSimulatorVersion != 0) break;
        uint32_t r = kFsuipcOk;
        const uint8_t library[2] = {static_cast<uint8_t>(kLibraryVersion & 0xFF),
                                    static_cast<uint8_t>(kLibraryVersion >> 8)};
        const bool ok = FsuipcRead(kOffsetFsuipcVersion, 4, &FsuipcVersion, &r) &&
                        FsuipcRead(kOffsetSimulatorVersion, 4, &FsuipcSimulatorVersion, &r) &&
                        (attempt != 0 || FsuipcWrite(kOffsetLibraryVersion, 2, library, &r)) &&
                        FsuipcProcess(&r);
        if (!ok) return FailOpen(r, result);
        platform::SleepMs(kRetryWaitMs);
    }

    if (FsuipcVersion < kMinFsuipcVersion || (FsuipcSimulatorVersion >> 16) != kSimulatorMarker) {
        return FailOpen(uipc_window ? kFsuipcBadVersion : kFsuipcBadVersionFs98, result);
    }
    FsuipcSimulatorVersion &= 0xFFFF;
    if (requested != 0 && requested != FsuipcSimulatorVersion) {
        return FailOpen(kFsuipcWrongSimulator, result);
    }
    *result = kFsuipcOk;
    return true;
}

void FsuipcConnect() {
    FsuipcOpen(kFsuipcSimulatorPrimary, &FsuipcResult);
    if (FsuipcResult != kFsuipcOk) FsuipcOpen(kFsuipcSimulatorSecondary, &FsuipcResult);
    HardwareOutputHoldoff = 0;
    FsuipcLastConnectMs = platform::ClockNowMs();
}

bool FsuipcRead(uint32_t offset, uint32_t size, void* destination, uint32_t* result) {
    if (FsuipcView == nullptr) {
        *result = kFsuipcNotOpen;
        return false;
    }
    const uint64_t need = uint64_t{QueuedBytes()} + size + sizeof(FsuipcReadRecord) + 4;
    if (need > kFsuipcQueueLimit || FsuipcDestinationCount >= kFsuipcMaxReads) {
        *result = kFsuipcAreaFull;
        return false;
    }
    QueueRead(offset, size, destination);
    *result = kFsuipcOk;
    return true;
}

bool FsuipcReadAll(const FsuipcReadRequest* reads, size_t count, uint32_t* result) {
    uint64_t bytes = 0;
    uint32_t destinations = 0;
    for (size_t i = 0; i < count; ++i) {
        bytes += sizeof(FsuipcReadRecord) + uint64_t{reads[i].size};
        destinations += reads[i].destination != nullptr ? 1 : 0;
    }
    // All at once when the last read would fit (then every one before it
    // does); otherwise one by one, each failing as it would.
    if (FsuipcView == nullptr || count == 0 ||
        uint64_t{QueuedBytes()} + bytes + 4 > kFsuipcQueueLimit ||
        FsuipcDestinationCount + destinations >= kFsuipcMaxReads) {
        bool ok = count == 0;
        for (size_t i = 0; i < count; ++i) {
            ok = FsuipcRead(reads[i].offset, reads[i].size, reads[i].destination, result);
        }
        return ok;
    }
    for (size_t i = 0; i < count; ++i)
        QueueRead(reads[i].offset, reads[i].size, reads[i].destination);
    *result = kFsuipcOk;
    return true;
}

bool FsuipcWrite(uint32_t offset, uint32_t size, const void* source, uint32_t* result) {
    if (FsuipcView == nullptr) {
        *result = kFsuipcNotOpen;
        return false;
    }
    const uint64_t need = uint64_t{QueuedBytes()} + size + sizeof(FsuipcWriteRecord) + 4;
    if (need > kFsuipcQueueLimit) {
        *result = kFsuipcAreaFull;
        return false;
    }
    uint8_t* rec = FsuipcRequestCursor;
    StoreLe32(rec + offsetof(FsuipcWriteRecord, kind), kFsuipcWriteKind);
    StoreLe32(rec + offsetof(FsuipcWriteRecord, offset), offset);
    StoreLe32(rec + offsetof(FsuipcWriteRecord, size), size);
    if (source != nullptr) {
        platform::CopyFsuipcValue(rec + sizeof(FsuipcWriteRecord),
                                  static_cast<const uint8_t*>(source), size);
    } else {
        std::memset(rec + sizeof(FsuipcWriteRecord), 0, size);
    }
    FsuipcRequestCursor = rec + sizeof(FsuipcWriteRecord) + size;
    *result = kFsuipcOk;
    return true;
}

bool FsuipcProcess(uint32_t* result) {
    if (FsuipcView == nullptr) {
        *result = kFsuipcNotOpen;
        return false;
    }
    if (FsuipcRequestCursor == FsuipcView) {
        *result = kFsuipcNothingQueued;
        return false;
    }
    StoreLe32(FsuipcRequestCursor, 0);
    FsuipcRequestCursor = FsuipcView;
    const uint32_t reads = FsuipcDestinationCount;
    FsuipcDestinationCount = 0;

    intptr_t answer = 0;
    bool sent = false;
    uint32_t error = 0;
    for (int attempt = 0; attempt < kSendAttempts && !sent; ++attempt) {
        if (attempt != 0) platform::SleepMs(kRetryWaitMs);
        sent = platform::SendMessageTimeout(FsuipcWindow, FsuipcMessage, FsuipcAtom, 0,
                                            kSendTimeoutMs, &answer);
        if (!sent) error = platform::LastError();
    }
    if (!sent) {
        *result = error != 0 ? kFsuipcSendFailed : kFsuipcNoAnswer;
        return false;
    }
    if (answer != 1) {
        *result = kFsuipcBadAnswer;
        return false;
    }
    DeliverAnswers(reads);
    *result = kFsuipcOk;
    return true;
}

void FsuipcClose() {
    FsuipcWindow = 0;
    FsuipcMessage = 0;
    if (FsuipcAtom != 0) {
        platform::GlobalDeleteAtom(FsuipcAtom);
        FsuipcAtom = 0;
    }
    if (FsuipcView != nullptr) {
        platform::UnmapSharedArea(FsuipcView);
        FsuipcView = nullptr;
    }
    FsuipcRequestCursor = nullptr;
    FsuipcDestinationCount = 0;
    if (FsuipcMapping != 0) {
        platform::CloseSharedArea(FsuipcMapping);
        FsuipcMapping = 0;
    }
}

void FsuipcLinkStep() {
    // A link that could not be opened at install is tried again, at most
    // once a second.
    if (FsuipcView == nullptr &&
        platform::ClockNowMs() - FsuipcLastConnectMs >= kReconnectIntervalMs) {
        FsuipcConnect();
    }

    std::memset(FsuipcAircraftPath, 0, sizeof FsuipcAircraftPath);
    const bool ok =
        FsuipcRead(kOffsetAircraftPath, kAircraftPathSize, FsuipcAircraftPath, &FsuipcResult) &&
        FsuipcProcess(&FsuipcResult);
    if (ok) {
        // The answer need not be terminated: keep at most 255 characters, so
        // the folder fits AircraftFolderPath with its terminator.
        FsuipcAircraftPath[kAircraftPathSize - 1] = '\0';
        const char* last = std::strrchr(FsuipcAircraftPath, '\\');
        if (last != nullptr) {
            const size_t len = static_cast<size_t>(last - FsuipcAircraftPath) + 1;
            std::memcpy(AircraftFolderPath, FsuipcAircraftPath, len);
            AircraftFolderPath[len] = '\0';
            FsuipcLinkReady.store(1, std::memory_order_release);
            return;
        }
    }
    HostIoStartDelay = kHostIoStartHold;
}

}  // namespace zu
