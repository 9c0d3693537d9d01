// The stand-in's FSUIPC server.
//
// It owns a 64 KiB image of FSUIPC offsets and serves clients through the
// in-process window-message transport (zu/platform/win_ipc.h): it creates a
// top-level window of class "FS98MAIN" (and, when asked, "UIPCMAIN"), whose
// handler receives the registered message "FsasmLib:IPC" with a global atom in
// wparam. The atom names the client's shared area, which holds a batch of
// request records:
//   read:  u32 kind 1, u32 offset, u32 size, u32 destination, size answer bytes
//   write: u32 kind 2, u32 offset, u32 size, size data bytes
//   u32 kind 0 ends the batch.
// The whole batch is checked before anything is applied: a record that would
// reach past the end of the area, an unknown kind or a missing end mark makes
// the server answer 0 and change nothing. Otherwise reads are answered from the
// image and writes stored in it, in record order, and the answer is 1. Bytes
// of a request that lie beyond the 64 KiB image read as 0 and are not stored.
// The version words at 0x3304 and 0x3308 are read-only: writes there are
// logged and answered but leave the words as they are (a client writes its own
// library version at 0x330A, inside the simulator word).
//
// All members are thread-safe: the handler runs on whichever thread sends.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "zu/platform/win_ipc.h"
#include "zu/simhost/recent_window.h"

namespace zu::simhost {

inline constexpr uint32_t kFsuipcImageSize = 0x10000;
inline constexpr uint32_t kOffsetFsuipcVersion = 0x3304;
inline constexpr uint32_t kOffsetSimulatorVersion = 0x3308;
inline constexpr uint32_t kOffsetClientVersion = 0x330A;
inline constexpr uint32_t kOffsetAircraftPath = 0x3C00;
inline constexpr uint32_t kAircraftPathSize = 256;
// The FSUIPC version the stand-in reports (the lowest a client accepts).
inline constexpr uint32_t kStandInFsuipcVersion = 0x19980005;
inline constexpr uint16_t kSimulatorMarker = 0xFADE;

// How many of the most recent client writes the server keeps in memory.
inline constexpr size_t kFsuipcWriteWindow = 8192;

struct FsuipcWriteRecord {
    uint64_t frame = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
    std::string hex;  // the written bytes, two uppercase digits each
};

class FsuipcServer {
  public:
    FsuipcServer();
    ~FsuipcServer();
    FsuipcServer(const FsuipcServer&) = delete;
    FsuipcServer& operator=(const FsuipcServer&) = delete;

    // Sets the simulator number of the word at 0x3308 (high half 0xFADE).
    void SetSimulatorNumber(uint16_t number);
    // Creates the "FS98MAIN" window (and "UIPCMAIN" when asked). False with
    // `error` when a window cannot be created.
    bool Open(bool uipcmain_window, std::string* error);
    void Close();
    bool IsOpen() const;

    // The frame number recorded with each logged write.
    void SetFrameCounter(const std::atomic<uint64_t>* frame) { frame_ = frame; }

    // Host-side access to the image (not logged as FSUIPC writes). Bytes
    // beyond the image are ignored on writes and read as 0.
    void Poke(uint32_t offset, const void* data, uint32_t size);
    void Peek(uint32_t offset, void* out, uint32_t size) const;
    // What Poke writes stays: the aircraft model publishes its state with
    // Publish, which leaves every byte a Poke wrote as it is.
    void Publish(uint32_t offset, const void* data, uint32_t size);
    // Publish and Peek for a whole state under one lock: the server is
    // locked while the batch lives (nothing else of the server may be
    // called meanwhile on that thread).
    class Batch {
      public:
        explicit Batch(FsuipcServer& server) : server_(server), lock_(server.mutex_) {}
        void Publish(uint32_t offset, const void* data, uint32_t size) {
            server_.PublishLocked(offset, data, size);
        }
        void Peek(uint32_t offset, void* out, uint32_t size) const {
            server_.PeekLocked(offset, out, size);
        }

      private:
        FsuipcServer& server_;
        std::lock_guard<std::mutex> lock_;
    };
    // Called for every client write after it was stored, with the image,
    // while the server holds its lock (the observer must not call back into
    // the server). The aircraft model answers weather requests and takes
    // repositioning and pause writes through it.
    using WriteObserver = std::function<void(uint32_t offset, uint32_t size, uint8_t* image)>;
    void SetWriteObserver(WriteObserver observer);

    // Called for every client write after it was recorded (while the server
    // holds its lock: the logger must not call back into the server). The
    // simulator streams the writes to its event log through it.
    using WriteLogger = std::function<void(const FsuipcWriteRecord& write)>;
    void SetWriteLogger(WriteLogger logger);

    // The most recent kFsuipcWriteWindow client writes, oldest first; the
    // counts per offset (with the first and last frame and the last written
    // bytes in hexadecimal) and the total cover every write.
    std::vector<FsuipcWriteRecord> Writes() const;
    std::map<uint32_t, KeyCount<std::string>> WriteCounts() const;
    uint64_t WritesTotal() const;
    uint64_t BatchesServed() const;
    uint64_t BatchesRefused() const;
    // Last value a client wrote at 0x330A (0 when none).
    uint16_t ClientVersion() const;
    std::vector<std::string> WindowClasses() const;

    // Serves one message (the window handler). Public for tests.
    intptr_t HandleMessage(uint32_t message, uintptr_t wparam);

  private:
    static intptr_t WindowProc(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam);
    // Applies a batch and counts it served; false (nothing applied, not
    // counted) for a malformed one.
    bool ServeBatch(uint8_t* area, uint32_t area_size);
    void StoreWrite(uint32_t offset, const uint8_t* data, uint32_t size);
    void PublishLocked(uint32_t offset, const void* data, uint32_t size);
    void PeekLocked(uint32_t offset, void* out, uint32_t size) const;

    // Records of a batch whose starts ServeBatch keeps from its check.
    static constexpr size_t kRecordsFound = 256;
    // Blocks of the image holding a pinned byte: Publish copies a range
    // without any at once.
    static constexpr uint32_t kPinBlock = 64;

    mutable std::mutex mutex_;
    std::array<uint8_t, kFsuipcImageSize> image_{};
    std::vector<bool> pinned_ = std::vector<bool>(kFsuipcImageSize, false);
    std::vector<bool> pinned_blocks_ = std::vector<bool>(kFsuipcImageSize / kPinBlock, false);
    WriteObserver observer_;
    WriteLogger logger_;
    // A kept write: its digits held in the record (a longer write's in
    // `long_hex`), so the window fills and goes round without allocating.
    static constexpr size_t kInlineHex = 64;  // digits of a 32-byte write
    struct KeptWrite {
        uint64_t frame = 0;
        uint32_t offset = 0;
        uint32_t size = 0;
        uint32_t hex_size = 0;
        std::array<char, kInlineHex> hex{};
        std::string long_hex;
    };
    RecentWindow<KeptWrite> writes_{kFsuipcWriteWindow};
    FsuipcWriteRecord write_;  // the write being served, as the logger sees it
    CountTable<uint32_t, std::string> write_counts_;
    uint64_t batches_served_ = 0;
    uint64_t batches_refused_ = 0;
    uint16_t client_version_ = 0;
    std::atomic<uint32_t> message_{0};  // set under mutex_, read without it
    std::vector<zu::platform::WindowHandle> windows_;
    std::vector<std::string> window_classes_;
    const std::atomic<uint64_t>* frame_ = nullptr;
};

}  // namespace zu::simhost
