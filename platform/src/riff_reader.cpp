// Buffered multimedia-file I/O over RIFF files (see riff_reader.h).
#include "zu/platform/riff_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "zu/platform/files.h"
#include "zu/platform/load_problems.h"
#include "zu/platform/paths.h"

namespace zu::platform {

struct MmioFile {
    std::FILE* stream = nullptr;      // file-backed handle
    const uint8_t* memory = nullptr;  // memory-backed handle
    uint32_t size = 0;
    uint32_t position = 0;
    char io_buffer[8192];  // the stream's buffer
};

namespace {

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void PutLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Reads exactly `size` bytes at `offset`; false when they are not all there.
bool ReadAt(MmioFile* file, uint32_t offset, void* out, uint32_t size) {
    if (offset > file->size || size > file->size - offset) return false;
    if (MmioSeek(file, static_cast<int32_t>(offset), kMmioSeekSet) < 0) return false;
    return MmioRead(file, out, static_cast<int32_t>(size)) == static_cast<int32_t>(size);
}

}  // namespace

WaveFormat ReadWaveFormat(const uint8_t* bytes, size_t size) {
    WaveFormat format{};
    if (bytes == nullptr || size < kPcmFormatBytes) return format;
    format.format_tag = Le16(bytes);
    format.channels = Le16(bytes + 2);
    format.samples_per_sec = Le32(bytes + 4);
    format.avg_bytes_per_sec = Le32(bytes + 8);
    format.block_align = Le16(bytes + 12);
    format.bits_per_sample = Le16(bytes + 14);
    if (size >= sizeof(WaveFormat)) format.extra_size = Le16(bytes + 16);
    return format;
}

MmioFile* MmioOpen(const char* windows_path) {
    if (windows_path == nullptr || windows_path[0] == '\0') return nullptr;
    const std::string host = ToHostPath(windows_path);
    // Never waits on a named pipe or a device at the path.
    // Not there: the caller's ordinary case. There but unreadable: a problem.
    const OpenedFile opened = OpenHostFile(host, O_RDONLY);
    if (!opened) {
        RecordRefusedOpen(host, opened);
        return nullptr;
    }
    std::FILE* stream = ::fdopen(opened.fd, "rb");
    if (stream == nullptr) {
        RecordLoadProblem(host, std::string("cannot be read: ") + std::strerror(errno));
        ::close(opened.fd);
        return nullptr;
    }
    // Positions are 32-bit signed, as in the files' own size words' useful range.
    long size = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0) size = std::ftell(stream);
    if (size < 0 || size > INT32_MAX || std::fseek(stream, 0, SEEK_SET) != 0) {
        RecordLoadProblem(host, "cannot be read: not a file of at most 2 GiB");
        std::fclose(stream);
        return nullptr;
    }
    auto* file = new MmioFile;
    file->stream = stream;
    file->size = static_cast<uint32_t>(size);
    std::setvbuf(stream, file->io_buffer, _IOFBF, sizeof(file->io_buffer));
    return file;
}

MmioFile* MmioOpenMemory(const void* data, size_t size) {
    if (data == nullptr && size != 0) return nullptr;
    if (size > INT32_MAX) return nullptr;
    auto* file = new MmioFile;
    file->memory = static_cast<const uint8_t*>(data);
    file->size = static_cast<uint32_t>(size);
    return file;
}

void MmioClose(MmioFile* file) {
    if (file == nullptr) return;
    if (file->stream != nullptr) std::fclose(file->stream);
    delete file;
}

uint32_t MmioFileSize(const MmioFile* file) {
    return file == nullptr ? 0 : file->size;
}

int32_t MmioRead(MmioFile* file, void* out, int32_t size) {
    if (file == nullptr || size < 0 || (out == nullptr && size > 0)) return -1;
    uint32_t count = static_cast<uint32_t>(size);
    if (count > file->size - file->position) count = file->size - file->position;
    if (count == 0) return 0;
    if (file->memory != nullptr) {
        std::memcpy(out, file->memory + file->position, count);
    } else if (std::fread(out, 1, count, file->stream) != count) {
        // The file shrank under us or the device failed; the position is
        // no longer known.
        std::clearerr(file->stream);
        std::fseek(file->stream, file->position, SEEK_SET);
        return -1;
    }
    file->position += count;
    return static_cast<int32_t>(count);
}

int32_t MmioSeek(MmioFile* file, int32_t offset, int origin) {
    if (file == nullptr) return -1;
    int64_t base = 0;
    switch (origin) {
        case kMmioSeekSet:
            base = 0;
            break;
        case kMmioSeekCur:
            base = file->position;
            break;
        case kMmioSeekEnd:
            base = file->size;
            break;
        default:
            return -1;
    }
    const int64_t target = base + offset;
    if (target < 0 || target > file->size) return -1;
    if (file->stream != nullptr &&
        std::fseek(file->stream, static_cast<long>(target), SEEK_SET) != 0)
        return -1;
    file->position = static_cast<uint32_t>(target);
    return static_cast<int32_t>(target);
}

namespace {

uint32_t Descend(MmioFile* file, ChunkInfo* chunk, const ChunkInfo* parent, uint32_t flags);

}  // namespace

uint32_t MmioDescend(MmioFile* file, ChunkInfo* chunk, const ChunkInfo* parent, uint32_t flags) {
    const uint32_t result = Descend(file, chunk, parent, flags);
    // A damaged file on disk is worth telling; memory handles are the
    // callers' own (and the fuzzers').
    if (file != nullptr && file->stream != nullptr &&
        (result == kMmioErrCorrupt || result == kMmioErrCannotRead)) {
        RecordLoadProblem(file->stream,
                          result == kMmioErrCorrupt
                              ? "damaged RIFF file: a chunk does not fit its file or parent"
                              : "cannot be read: a RIFF chunk header is cut");
    }
    return result;
}

namespace {

uint32_t Descend(MmioFile* file, ChunkInfo* chunk, const ChunkInfo* parent, uint32_t flags) {
    if (file == nullptr || chunk == nullptr) return kMmioErrInvalidParam;
    uint32_t end = file->size;
    if (parent != nullptr) {
        const uint64_t parent_end = uint64_t{parent->data_offset} + parent->size;
        if (parent_end < end) end = static_cast<uint32_t>(parent_end);
    }
    const uint32_t wanted_id = chunk->id;
    const uint32_t wanted_form = chunk->form_type;

    uint32_t offset = file->position;
    for (;;) {
        if (offset >= end || end - offset < 8) return kMmioErrChunkNotFound;
        uint8_t header[8];
        if (!ReadAt(file, offset, header, sizeof(header))) return kMmioErrCannotRead;
        ChunkInfo found{};
        found.id = Le32(header);
        found.size = Le32(header + 4);
        found.data_offset = offset + 8;
        if (found.size > end - found.data_offset) return kMmioErrCorrupt;

        const bool container = found.id == kFourCCRiff || found.id == kFourCCList;
        if (container) {
            uint8_t form[4];
            if (found.size < 4) return kMmioErrCorrupt;
            if (!ReadAt(file, found.data_offset, form, sizeof(form))) return kMmioErrCannotRead;
            found.form_type = Le32(form);
        }

        bool match = false;
        if (flags & kMmioFindChunk) {
            match = found.id == wanted_id;
        } else if (flags & kMmioFindRiff) {
            match = found.id == kFourCCRiff && found.form_type == wanted_form;
        } else if (flags & kMmioFindList) {
            match = found.id == kFourCCList && found.form_type == wanted_form;
        } else {
            match = true;
        }
        if (match) {
            const uint32_t data_start = found.data_offset + (container ? 4 : 0);
            if (MmioSeek(file, static_cast<int32_t>(data_start), kMmioSeekSet) < 0)
                return kMmioErrCannotSeek;
            *chunk = found;
            return kMmioOk;
        }
        // Next chunk: past the data and its pad byte. The size fits in `end`,
        // so this cannot wrap.
        const uint64_t next = uint64_t{found.data_offset} + found.size + (found.size & 1u);
        if (next >= end) return kMmioErrChunkNotFound;
        offset = static_cast<uint32_t>(next);
    }
}

}  // namespace

uint32_t MmioAscend(MmioFile* file, const ChunkInfo* chunk) {
    if (file == nullptr || chunk == nullptr) return kMmioErrInvalidParam;
    uint64_t target = uint64_t{chunk->data_offset} + chunk->size + (chunk->size & 1u);
    // A last chunk of odd size may lack its pad byte at the end of the file.
    if (target == uint64_t{file->size} + 1) target = file->size;
    if (target > file->size) return kMmioErrCannotSeek;
    return MmioSeek(file, static_cast<int32_t>(target), kMmioSeekSet) < 0 ? kMmioErrCannotSeek
                                                                          : kMmioOk;
}

bool WriteWaveFile(const char* host_path, const WaveFormat& format, const void* data,
                   uint32_t data_bytes) {
    if (host_path == nullptr || (data == nullptr && data_bytes != 0)) return false;
    if (data_bytes > 0x7FFFFF00u) return false;
    const uint32_t pad = data_bytes & 1u;
    uint8_t header[44];
    PutLe32(header, kFourCCRiff);
    PutLe32(header + 4, 36 + data_bytes + pad);
    PutLe32(header + 8, kFourCCWave);
    PutLe32(header + 12, kFourCCFmt);
    PutLe32(header + 16, kPcmFormatBytes);
    PutLe16(header + 20, format.format_tag);
    PutLe16(header + 22, format.channels);
    PutLe32(header + 24, format.samples_per_sec);
    PutLe32(header + 28, format.avg_bytes_per_sec);
    PutLe16(header + 32, format.block_align);
    PutLe16(header + 34, format.bits_per_sample);
    PutLe32(header + 36, kFourCCData);
    PutLe32(header + 40, data_bytes);

    std::FILE* stream = std::fopen(host_path, "wb");
    if (stream == nullptr) return false;
    bool ok = std::fwrite(header, 1, sizeof(header), stream) == sizeof(header);
    if (ok && data_bytes > 0) ok = std::fwrite(data, 1, data_bytes, stream) == data_bytes;
    if (ok && pad) ok = std::fputc(0, stream) != EOF;
    ok = (std::fclose(stream) == 0) && ok;
    return ok;
}

}  // namespace zu::platform
