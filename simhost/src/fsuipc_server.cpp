// The stand-in's FSUIPC server (see fsuipc_server.h).
#include "zu/simhost/fsuipc_server.h"

#include <algorithm>
#include <cstring>

#include "zu/platform/fsuipc_records.h"

namespace zu::simhost {
namespace {

namespace ipc = zu::platform;

constexpr uint32_t kKindEnd = platform::kFsuipcEndKind;
constexpr uint32_t kKindRead = platform::kFsuipcReadKind;
constexpr uint32_t kKindWrite = platform::kFsuipcWriteKind;
constexpr uint32_t kReadHeader = sizeof(platform::FsuipcReadRecord);
constexpr uint32_t kWriteHeader = sizeof(platform::FsuipcWriteRecord);
constexpr size_t kHexReserve = 64;  // digits of a 32-byte write, the module's longest

uint32_t LoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void StoreU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Two uppercase digits a byte, into `out` (its buffer reused).
void Hex(const uint8_t* data, uint32_t size, std::string* out) {
    static const char kDigits[] = "0123456789ABCDEF";
    out->resize(size_t{size} * 2);
    char* to = out->data();
    for (uint32_t i = 0; i < size; ++i) {
        to[2 * i] = kDigits[data[i] >> 4];
        to[2 * i + 1] = kDigits[data[i] & 15];
    }
}

// Bytes [offset, offset + size) that lie inside the image: how many.
uint32_t InImage(uint32_t offset, uint32_t size) {
    if (offset >= kFsuipcImageSize) return 0;
    return std::min<uint32_t>(size, kFsuipcImageSize - offset);
}

bool IsReadOnly(uint32_t offset) {
    return offset >= kOffsetFsuipcVersion && offset < kOffsetSimulatorVersion + 4;
}

}  // namespace

FsuipcServer::FsuipcServer() {
    StoreU32(&image_[kOffsetFsuipcVersion], kStandInFsuipcVersion);
    SetSimulatorNumber(7);
    write_.hex.reserve(kHexReserve);
}

FsuipcServer::~FsuipcServer() {
    Close();
}

void FsuipcServer::SetSimulatorNumber(uint16_t number) {
    std::lock_guard<std::mutex> lock(mutex_);
    StoreU32(&image_[kOffsetSimulatorVersion],
             static_cast<uint32_t>(kSimulatorMarker) << 16 | number);
}

bool FsuipcServer::Open(bool uipcmain_window, std::string* error) {
    Close();
    const uint32_t message = ipc::RegisterWindowMessage("FsasmLib:IPC");
    if (message == 0) {
        *error = "cannot register the FSUIPC window message";
        return false;
    }
    std::vector<const char*> classes = {"FS98MAIN"};
    if (uipcmain_window) classes.push_back("UIPCMAIN");
    std::vector<ipc::WindowHandle> created;
    for (const char* cls : classes) {
        const ipc::WindowHandle w = ipc::CreateTopLevelWindow(cls, &FsuipcServer::WindowProc, this);
        if (w == 0) {
            for (ipc::WindowHandle c : created) ipc::DestroyTopLevelWindow(c);
            *error = std::string("cannot create the FSUIPC window of class ") + cls;
            return false;
        }
        created.push_back(w);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    message_.store(message, std::memory_order_release);
    windows_ = std::move(created);
    window_classes_.assign(classes.begin(), classes.end());
    return true;
}

void FsuipcServer::Close() {
    std::vector<ipc::WindowHandle> windows;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        windows.swap(windows_);
    }
    // Outside the lock: destroying waits for a handler that may be running.
    for (ipc::WindowHandle w : windows) ipc::DestroyTopLevelWindow(w);
}

bool FsuipcServer::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !windows_.empty();
}

void FsuipcServer::Poke(uint32_t offset, const void* data, uint32_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint32_t n = InImage(offset, size);
    if (n > 0) std::memcpy(&image_[offset], data, n);
    for (uint32_t i = 0; i < n; ++i) {
        pinned_[offset + i] = true;
        pinned_blocks_[(offset + i) / kPinBlock] = true;
    }
}

void FsuipcServer::Publish(uint32_t offset, const void* data, uint32_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    PublishLocked(offset, data, size);
}

void FsuipcServer::PublishLocked(uint32_t offset, const void* data, uint32_t size) {
    const uint32_t n = InImage(offset, size);
    if (n == 0) return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    bool pinned = false;
    for (uint32_t b = offset / kPinBlock; b <= (offset + n - 1) / kPinBlock && !pinned; ++b) {
        pinned = pinned_blocks_[b];
    }
    if (!pinned) {
        std::memcpy(&image_[offset], bytes, n);
        return;
    }
    for (uint32_t i = 0; i < n; ++i) {
        if (!pinned_[offset + i]) image_[offset + i] = bytes[i];
    }
}

void FsuipcServer::SetWriteObserver(WriteObserver observer) {
    std::lock_guard<std::mutex> lock(mutex_);
    observer_ = std::move(observer);
}

void FsuipcServer::Peek(uint32_t offset, void* out, uint32_t size) const {
    std::lock_guard<std::mutex> lock(mutex_);
    PeekLocked(offset, out, size);
}

void FsuipcServer::PeekLocked(uint32_t offset, void* out, uint32_t size) const {
    std::memset(out, 0, size);
    const uint32_t n = InImage(offset, size);
    if (n > 0) std::memcpy(out, &image_[offset], n);
}

void FsuipcServer::SetWriteLogger(WriteLogger logger) {
    std::lock_guard<std::mutex> lock(mutex_);
    logger_ = std::move(logger);
}

std::vector<FsuipcWriteRecord> FsuipcServer::Writes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<FsuipcWriteRecord> out;
    out.reserve(writes_.size());
    writes_.ForEach([&out](const KeptWrite& w) {
        FsuipcWriteRecord& r = out.emplace_back();
        r.frame = w.frame;
        r.offset = w.offset;
        r.size = w.size;
        if (w.hex_size <= kInlineHex) {
            r.hex.assign(w.hex.data(), w.hex_size);
        } else {
            r.hex = w.long_hex;
        }
    });
    return out;
}

std::map<uint32_t, KeyCount<std::string>> FsuipcServer::WriteCounts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return write_counts_.counts();
}

uint64_t FsuipcServer::WritesTotal() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_.total();
}

uint64_t FsuipcServer::BatchesServed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return batches_served_;
}

uint64_t FsuipcServer::BatchesRefused() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return batches_refused_;
}

uint16_t FsuipcServer::ClientVersion() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return client_version_;
}

std::vector<std::string> FsuipcServer::WindowClasses() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return window_classes_;
}

intptr_t FsuipcServer::WindowProc(void* context, uint32_t message, uintptr_t wparam,
                                  intptr_t /*lparam*/) {
    return static_cast<FsuipcServer*>(context)->HandleMessage(message, wparam);
}

intptr_t FsuipcServer::HandleMessage(uint32_t message, uintptr_t wparam) {
    const uint32_t registered = message_.load(std::memory_order_acquire);
    if (registered == 0 || message != registered) return 0;
    char name[256] = {};
    if (wparam == 0 || wparam > 0xFFFF ||
        ipc::GlobalGetAtomName(static_cast<uint16_t>(wparam), name, sizeof name) == 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++batches_refused_;
        return 0;
    }
    const ipc::AreaHandle area = ipc::OpenSharedArea(name);
    if (area == 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++batches_refused_;
        return 0;
    }
    void* view = ipc::MapSharedArea(area);
    bool ok = false;
    if (view != nullptr) {
        ok = ServeBatch(static_cast<uint8_t*>(view), ipc::SharedAreaSize(area));
        ipc::UnmapSharedArea(view);
    }
    ipc::CloseSharedArea(area);
    if (ok) return 1;  // counted by ServeBatch
    std::lock_guard<std::mutex> lock(mutex_);
    ++batches_refused_;
    return 0;
}

bool FsuipcServer::ServeBatch(uint8_t* area, uint32_t area_size) {
    // First pass: the records must fit the area and end with a 0 kind. Where
    // the first records start is kept, so that the second pass need not
    // find each record from the one before.
    std::array<uint32_t, kRecordsFound> starts;
    size_t found = 0;
    uint64_t pos = 0;
    for (;;) {
        if (pos + 4 > area_size) return false;
        const uint32_t kind = LoadU32(area + pos);
        if (kind == kKindEnd) break;
        const uint32_t header = kind == kKindRead ? kReadHeader : kWriteHeader;
        if (kind != kKindRead && kind != kKindWrite) return false;
        if (pos + header > area_size) return false;
        const uint64_t size = LoadU32(area + pos + 8);
        if (pos + header + size > area_size) return false;
        if (found < kRecordsFound) starts[found++] = static_cast<uint32_t>(pos);
        pos += header + size;
    }
    const uint64_t end = pos;
    // Second pass: apply in order.
    const uint64_t frame = frame_ != nullptr ? frame_->load(std::memory_order_relaxed) : 0;
    std::lock_guard<std::mutex> lock(mutex_);
    pos = 0;
    for (size_t i = 0; pos < end; ++i) {
        if (i < found) pos = starts[i];
        uint8_t* rec = area + pos;
        const uint32_t kind = LoadU32(rec);
        const uint32_t offset = LoadU32(rec + 4);
        const uint32_t size = LoadU32(rec + 8);
        if (kind == kKindRead) {
            uint8_t* answer = rec + kReadHeader;
            const uint32_t n = InImage(offset, size);
            if (n > 0) platform::CopyFsuipcValue(answer, &image_[offset], n);
            if (n < size) std::memset(answer + n, 0, size - n);
            pos += kReadHeader + static_cast<uint64_t>(size);
        } else {
            const uint8_t* data = rec + kWriteHeader;
            // Made in one reused record, kept into the window's oldest.
            write_.frame = frame;
            write_.offset = offset;
            write_.size = size;
            Hex(data, size, &write_.hex);
            KeptWrite& kept = writes_.Next();
            kept.frame = frame;
            kept.offset = offset;
            kept.size = size;
            kept.hex_size = static_cast<uint32_t>(write_.hex.size());
            if (write_.hex.size() <= kInlineHex) {
                std::memcpy(kept.hex.data(), write_.hex.data(), write_.hex.size());
            } else {
                kept.long_hex = write_.hex;
            }
            write_counts_.Add(offset, frame, write_.hex);
            if (logger_) logger_(write_);
            StoreWrite(offset, data, size);
            if (observer_) observer_(offset, size, image_.data());
            pos += kWriteHeader + static_cast<uint64_t>(size);
        }
    }
    ++batches_served_;
    return true;
}

// Stores a client's write, byte by byte around the read-only version words.
void FsuipcServer::StoreWrite(uint32_t offset, const uint8_t* data, uint32_t size) {
    const uint32_t n = InImage(offset, size);
    if (n > 0 && (offset + n <= kOffsetFsuipcVersion || offset >= kOffsetSimulatorVersion + 4)) {
        std::memcpy(&image_[offset], data, n);  // clear of the version words
    } else {
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t at = offset + i;
            if (!IsReadOnly(at)) image_[at] = data[i];
        }
    }
    if (offset == kOffsetClientVersion && size >= 2) {
        client_version_ = static_cast<uint16_t>(data[0] | data[1] << 8);
    }
}

}  // namespace zu::simhost
