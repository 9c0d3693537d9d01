// Fuzzes the WAV path of the sound objects with arbitrary file contents.
//
// The input is taken as a WAV file held in memory. First the RIFF reader
// walks every chunk it can reach (descending into "RIFF" and "LIST"
// chunks); then a sound object opens it, fills its buffer and plays it, as
// the module does with a file below its sound folder. Whatever the bytes
// are, nothing may read outside them, and an object either ends up with a
// buffer holding exactly the data chunk or without one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/sound_objects.h"
#include "zu/platform/riff_reader.h"
#include "zu/platform/sound_device.h"
#include "zu/platform/timer.h"

namespace {

namespace pf = zu::platform;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "wav_fuzz: %s\n", what);
        std::abort();
    }
}

// Walks the chunks inside `parent` (null: the whole file), depth-first.
void Walk(pf::MmioFile* file, const pf::ChunkInfo* parent, int depth) {
    if (depth > 8) return;
    for (int count = 0; count < 256; ++count) {
        pf::ChunkInfo chunk{};
        if (pf::MmioDescend(file, &chunk, parent, 0) != pf::kMmioOk) return;
        const uint64_t end = uint64_t{chunk.data_offset} + chunk.size;
        Check(end <= pf::MmioFileSize(file), "a chunk reaches past the file");
        if (parent != nullptr)
            Check(end <= uint64_t{parent->data_offset} + parent->size, "a chunk leaves its parent");
        if (chunk.id == pf::kFourCCRiff || chunk.id == pf::kFourCCList)
            Walk(file, &chunk, depth + 1);
        if (pf::MmioAscend(file, &chunk) != pf::kMmioOk) return;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The lockstep clock, as in simhost's deterministic runs: waits for a
    // lost buffer's device (the restore path marks one lost below) pass no
    // real time.
    static const bool setup = [] {
        pf::SetClockMode(pf::ClockMode::Lockstep);
        return pf::SetAudioMode(pf::AudioMode::Silent);
    }();
    (void)setup;

    pf::MmioFile* file = pf::MmioOpenMemory(data, size);
    Walk(file, nullptr, 0);
    pf::MmioClose(file);

    zu::SoundObject object{};
    zu::SoundBufferKind = size % 2;  // both buffer kinds
    if (zu::SoundDeviceInit(&object) < 0) return 0;
    object.file = pf::MmioOpenMemory(data, size);
    if (zu::SoundObjectOpenFile(&object) >= 0) {
        Check(object.buffer != nullptr, "an open without a buffer");
        Check(object.format != nullptr, "an open without a format");
        Check(uint64_t{object.data_chunk.data_offset} + object.data_chunk.size <= size,
              "the data chunk reaches past the file");
        Check(object.buffer_size == object.data_chunk.size, "buffer size differs from the data");
        if (zu::SoundFillBuffer(&object) >= 0) {
            zu::PlaySoundObject(&object, 4000, 22050, -1333, 0);
            pf::SoundBufferMarkLost(object.buffer, 1);
            zu::PlaySoundObject(&object, 4000, 22050, 1333, 1);
        }
    } else {
        Check(object.buffer == nullptr, "a failed open left a buffer");
    }
    zu::SoundObjectFree(&object);
    return 0;
}
