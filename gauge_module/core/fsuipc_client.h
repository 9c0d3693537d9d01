// Client of FSUIPC, the simulator's inter-process module through which the
// module reads and writes simulator data by numbered offsets.
//
// The client finds FSUIPC's window, sets up a 32 KB shared area named after
// a global atom, queues read and write requests in that area and sends the
// whole batch with one window message; FSUIPC answers in place and the
// client copies the answers to their destinations. Every step queues all its
// requests and processes them in one batch on the same thread; a batch never
// survives into another step.
//
// Request records lie back to back from the start of the area, little-endian
// and packed, and a u32 0 ends the batch:
//   read:  u32 kind 1, u32 offset, u32 size, u32 destination, size answer bytes
//   write: u32 kind 2, u32 offset, u32 size, size data bytes
// The destination word only has meaning for the client. A pointer does not
// fit in it, so the client keeps the destinations of the batch in its own
// table (FsuipcDestinations) and puts the 1-based table index into the
// record (0: no destination). When the answer comes back, a read record's
// bytes are copied only when its index names an entry of the current batch
// whose size matches the record's; the walk never reads past the area.
//
// Result codes (FsuipcResult): see FsuipcResultCode.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "zu/platform/fsuipc_records.h"
#include "zu/platform/win_ipc.h"

namespace zu {

enum FsuipcResultCode : uint32_t {
    kFsuipcOk = 0,
    kFsuipcAlreadyOpen = 1,      // open: the link is already open
    kFsuipcNoWindow = 2,         // open: neither "UIPCMAIN" nor "FS98MAIN" found
    kFsuipcNoMessage = 3,        // open: the window message could not be registered
    kFsuipcNoAtom = 4,           // open: the atom could not be created
    kFsuipcNoMapping = 5,        // open: the mapping could not be created or existed
    kFsuipcNoView = 6,           // open: the area could not be mapped
    kFsuipcBadVersion = 7,       // open: bad version or marker ("UIPCMAIN" found)
    kFsuipcWrongSimulator = 8,   // open: not the simulator requested
    kFsuipcNotOpen = 9,          // the link is not open
    kFsuipcNothingQueued = 10,   // process: no request queued
    kFsuipcNoAnswer = 11,        // process: no answer, no system error
    kFsuipcSendFailed = 12,      // process: the message failed with a system error
    kFsuipcBadAnswer = 13,       // process: FSUIPC answered, but not with 1
    kFsuipcBadVersionFs98 = 14,  // open: as 7, only "FS98MAIN" found
    kFsuipcAreaFull = 15,        // read or write: the area is full
};

// The record layout shared with the server. A read record's destination
// holds a 1-based index into FsuipcDestinations (0: none).
using platform::FsuipcReadRecord;
using platform::FsuipcWriteRecord;
using platform::kFsuipcAreaSize;
using platform::kFsuipcQueueLimit;
using platform::kFsuipcReadKind;
using platform::kFsuipcWriteKind;

// Destinations of the reads of the batch being queued.
struct FsuipcDestination {
    void* address;
    uint32_t size;
};
// The most read records a batch can hold (each at least 16 bytes).
inline constexpr uint32_t kFsuipcMaxReads = kFsuipcQueueLimit / sizeof(FsuipcReadRecord);
extern FsuipcDestination FsuipcDestinations[kFsuipcMaxReads];
extern uint32_t FsuipcDestinationCount;

// Client state.
extern platform::WindowHandle FsuipcWindow;
extern uint32_t FsuipcMessage;
extern uint16_t FsuipcAtom;
extern platform::AreaHandle FsuipcMapping;
extern uint8_t* FsuipcView;              // the mapped area; null while the link is closed
extern uint8_t* FsuipcRequestCursor;     // where the next record goes
extern uint32_t FsuipcOpenCounter;       // number of opens, part of the atom name
extern uint32_t FsuipcVersion;           // FSUIPC's version word, read at open
extern uint32_t FsuipcSimulatorVersion;  // the simulator's number after open
extern uint32_t FsuipcResult;            // result of the last operation

// Hold-off of the external-hardware output (cleared on connect and close;
// that output never runs).
extern int32_t HardwareOutputHoldoff;

// 1 once the link step has succeeded; cleared by the main gauge's kill
// service.
extern std::atomic<uint8_t> FsuipcLinkReady;
// The folder of the loaded aircraft's file, ending with a backslash; the
// module's files lie below it.
extern char AircraftFolderPath[256];

// The simulator numbers FsuipcConnect asks for, in this order.
inline constexpr uint32_t kFsuipcSimulatorPrimary = 7;
inline constexpr uint32_t kFsuipcSimulatorSecondary = 8;

// Opens the link for the requested simulator (0: any). True on success, else
// false with the code in *result.
bool FsuipcOpen(uint32_t requested, uint32_t* result);
// Opens the link for the primary simulator, then for the secondary one.
void FsuipcConnect();
// Queues a read of `size` bytes of `offset` into `destination` (may be null).
bool FsuipcRead(uint32_t offset, uint32_t size, void* destination, uint32_t* result);
// One read of a list queued at once (FsuipcReadAll).
struct FsuipcReadRequest {
    uint32_t offset;
    uint32_t size;
    void* destination;
};
// Queues the reads in their order, as many FsuipcRead calls would (the
// result is the last one's).
bool FsuipcReadAll(const FsuipcReadRequest* reads, size_t count, uint32_t* result);
// Queues a write of `size` bytes from `source` (copied now) to `offset`.
bool FsuipcWrite(uint32_t offset, uint32_t size, const void* source, uint32_t* result);
// Sends the batch and delivers the answers.
bool FsuipcProcess(uint32_t* result);
// Releases the link.
void FsuipcClose();
// The main gauge's link step: reads the loaded aircraft's path and keeps its
// folder; declares the link ready.
void FsuipcLinkStep();

}  // namespace zu
