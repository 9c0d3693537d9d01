// Buffered multimedia-file I/O over RIFF files: open a file by its
// Windows-style path (mapped by paths.h) or a block of memory, descend into
// and ascend out of chunks, read and seek. The sound objects read their WAV
// files through it.
//
// A RIFF file is a tree of chunks: a four-character identifier, a 32-bit
// little-endian size and that many data bytes, padded to an even length.
// "RIFF" and "LIST" chunks carry a four-character form type first and hold
// further chunks.
//
// Descend checks that a chunk fits: its data must lie inside the file and
// inside the parent chunk it was looked for in. A chunk whose size claims
// more than that is refused (kMmioErrCorrupt), so a damaged or hostile
// file never leads a reader past the data that exists.
//
// One handle is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu::platform {

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

inline constexpr uint32_t kFourCCRiff = MakeFourCC('R', 'I', 'F', 'F');
inline constexpr uint32_t kFourCCList = MakeFourCC('L', 'I', 'S', 'T');
inline constexpr uint32_t kFourCCWave = MakeFourCC('W', 'A', 'V', 'E');
inline constexpr uint32_t kFourCCFmt = MakeFourCC('f', 'm', 't', ' ');
inline constexpr uint32_t kFourCCData = MakeFourCC('d', 'a', 't', 'a');

// Result codes of the chunk and seek operations (0 = success).
inline constexpr uint32_t kMmioOk = 0;
inline constexpr uint32_t kMmioErrInvalidParam = 264;
inline constexpr uint32_t kMmioErrChunkNotFound = 265;
inline constexpr uint32_t kMmioErrCannotRead = 266;
inline constexpr uint32_t kMmioErrCannotSeek = 268;
inline constexpr uint32_t kMmioErrCorrupt = 280;  // a chunk does not fit its file or parent

// Descend flags: look for a chunk by identifier, or for a "RIFF" or "LIST"
// chunk by form type. Without a flag Descend takes the chunk at the current
// position.
inline constexpr uint32_t kMmioFindChunk = 0x10;
inline constexpr uint32_t kMmioFindRiff = 0x20;
inline constexpr uint32_t kMmioFindList = 0x40;

// Seek origins.
inline constexpr int kMmioSeekSet = 0;
inline constexpr int kMmioSeekCur = 1;
inline constexpr int kMmioSeekEnd = 2;

// A chunk found by Descend.
struct ChunkInfo {
    uint32_t id;           // four-character identifier
    uint32_t size;         // data bytes (for "RIFF" and "LIST" including the form type)
    uint32_t form_type;    // form type of "RIFF" and "LIST" chunks, else 0
    uint32_t data_offset;  // file offset of the data (after the size word)
    uint32_t flags;        // not used; 0
};

// The wave format record of a "fmt " chunk with its extra-size word.
// Little-endian in the file; ReadWaveFormat and WriteWaveFormat convert.
#pragma pack(push, 1)
struct WaveFormat {
    uint16_t format_tag;  // 1: PCM
    uint16_t channels;
    uint32_t samples_per_sec;
    uint32_t avg_bytes_per_sec;
    uint16_t block_align;
    uint16_t bits_per_sample;
    uint16_t extra_size;  // bytes following this record (0 for PCM)
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18);
static_assert(offsetof(WaveFormat, samples_per_sec) == 4);
static_assert(offsetof(WaveFormat, block_align) == 12);
static_assert(offsetof(WaveFormat, extra_size) == 16);

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
// Bytes of a PCM format record in a file (without the extra-size word).
inline constexpr uint32_t kPcmFormatBytes = 16;

// Decodes `size` bytes (at least 16) of a format record, little-endian.
// Fields the bytes do not cover are 0.
WaveFormat ReadWaveFormat(const uint8_t* bytes, size_t size);

struct MmioFile;

// Opens a file for reading; null when it cannot be opened.
MmioFile* MmioOpen(const char* windows_path);
// Opens `size` bytes of memory as a file. The memory is not copied and must
// outlive the handle.
MmioFile* MmioOpenMemory(const void* data, size_t size);
void MmioClose(MmioFile* file);

// Size of the file in bytes.
uint32_t MmioFileSize(const MmioFile* file);

// Reads up to `size` bytes at the current position; returns the number read
// (short at the end of the file), or -1 on an error.
int32_t MmioRead(MmioFile* file, void* out, int32_t size);

// Moves the position; returns the new position, or -1 when it would lie
// before the start or past the end of the file.
int32_t MmioSeek(MmioFile* file, int32_t offset, int origin);

// Descends into a chunk (see the flags above): on success fills `chunk`,
// leaves the position at its data (after the form type for "RIFF" and
// "LIST") and returns kMmioOk. `parent` (may be null) bounds the search and
// the chunk. The search runs from the current position over whole chunks.
// For kMmioFindChunk the identifier to look for is taken from chunk->id, for
// kMmioFindRiff and kMmioFindList the form type from chunk->form_type.
uint32_t MmioDescend(MmioFile* file, ChunkInfo* chunk, const ChunkInfo* parent, uint32_t flags);

// Moves the position past the end of a chunk entered by Descend (and its pad
// byte, where the file has one).
uint32_t MmioAscend(MmioFile* file, const ChunkInfo* chunk);

// Writes a PCM WAV file ("RIFF"/"WAVE" with "fmt " and "data") to a host
// path. True on success.
bool WriteWaveFile(const char* host_path, const WaveFormat& format, const void* data,
                   uint32_t data_bytes);

}  // namespace zu::platform
