// The request records that an FSUIPC client queues in the shared area and
// the server answers in place: both ends of the window-message transport
// read and write this layout.
//
// Records lie back to back from the start of the area, little-endian and
// packed; a u32 kind of 0 after the last one ends the batch.
//   read:  kind 1, offset, size, destination (client's own use), then
//          `size` bytes the server fills with the answer;
//   write: kind 2, offset, size, then `size` bytes of data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zu::platform {

inline constexpr uint32_t kFsuipcAreaSize = 32768;
// Queued bytes plus the new record plus the end mark may not pass this.
inline constexpr uint32_t kFsuipcQueueLimit = 0x7F00;
inline constexpr uint32_t kFsuipcEndKind = 0;
inline constexpr uint32_t kFsuipcReadKind = 1;
inline constexpr uint32_t kFsuipcWriteKind = 2;

#pragma pack(push, 1)
struct FsuipcReadRecord {
    uint32_t kind;  // kFsuipcReadKind
    uint32_t offset;
    uint32_t size;
    uint32_t destination;  // the client's own reference; the server leaves it alone
};
struct FsuipcWriteRecord {
    uint32_t kind;  // kFsuipcWriteKind
    uint32_t offset;
    uint32_t size;
};
#pragma pack(pop)
static_assert(sizeof(FsuipcReadRecord) == 16);
static_assert(offsetof(FsuipcReadRecord, destination) == 12);
static_assert(sizeof(FsuipcWriteRecord) == 12);
static_assert(offsetof(FsuipcWriteRecord, size) == 8);

// Copies a record's value of `size` bytes: values of 1, 2, 4 and 8 bytes,
// what nearly every record carries, without a library call.
inline void CopyFsuipcValue(void* to, const void* from, uint32_t size) {
    switch (size) {
        case 1:
            std::memcpy(to, from, 1);
            break;
        case 2:
            std::memcpy(to, from, 2);
            break;
        case 4:
            std::memcpy(to, from, 4);
            break;
        case 8:
            std::memcpy(to, from, 8);
            break;
        default:
            std::memcpy(to, from, size);
            break;
    }
}

}  // namespace zu::platform
