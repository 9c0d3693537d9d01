#include "zu/platform/riff_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "zu/platform/paths.h"

namespace zu::platform {
namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void PutChunk(std::vector<uint8_t>& v, uint32_t id, const std::vector<uint8_t>& body) {
    Put32(v, id);
    Put32(v, static_cast<uint32_t>(body.size()));
    v.insert(v.end(), body.begin(), body.end());
    if (body.size() & 1) v.push_back(0);
}
std::vector<uint8_t> PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
    std::vector<uint8_t> f;
    Put16(f, 1);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * channels * bits / 8);
    Put16(f, static_cast<uint16_t>(channels * bits / 8));
    Put16(f, bits);
    return f;
}
// RIFF/WAVE with the given chunks; the RIFF size is set to fit.
std::vector<uint8_t> Riff(const std::vector<uint8_t>& chunks) {
    std::vector<uint8_t> v;
    Put32(v, kFourCCRiff);
    Put32(v, static_cast<uint32_t>(chunks.size() + 4));
    Put32(v, kFourCCWave);
    v.insert(v.end(), chunks.begin(), chunks.end());
    return v;
}

// Walks a WAV the way the sound objects do; returns the first failure.
uint32_t WalkWave(MmioFile* f, ChunkInfo* fmt, ChunkInfo* data) {
    ChunkInfo riff{};
    if (uint32_t r = MmioDescend(f, &riff, nullptr, 0); r != kMmioOk) return r;
    if (riff.id != kFourCCRiff || riff.form_type != kFourCCWave) return kMmioErrChunkNotFound;
    fmt->id = kFourCCFmt;
    if (uint32_t r = MmioDescend(f, fmt, &riff, kMmioFindChunk); r != kMmioOk) return r;
    if (uint32_t r = MmioAscend(f, fmt); r != kMmioOk) return r;
    MmioSeek(f, static_cast<int32_t>(riff.data_offset + 4), kMmioSeekSet);
    data->id = kFourCCData;
    return MmioDescend(f, data, &riff, kMmioFindChunk);
}

TEST(RiffReaderTest, FindsFormatAndDataPastOtherChunks) {
    std::vector<uint8_t> chunks;
    PutChunk(chunks, kFourCCFmt, PcmFormat(2, 22050, 16));
    PutChunk(chunks, MakeFourCC('L', 'I', 'S', 'T'), {'I', 'N', 'F', 'O', 1, 2, 3});  // odd: padded
    PutChunk(chunks, kFourCCData, {1, 2, 3, 4, 5, 6, 7, 8});
    const std::vector<uint8_t> file = Riff(chunks);

    MmioFile* f = MmioOpenMemory(file.data(), file.size());
    ASSERT_NE(f, nullptr);
    ChunkInfo fmt{}, data{};
    ASSERT_EQ(WalkWave(f, &fmt, &data), kMmioOk);
    EXPECT_EQ(fmt.size, 16u);
    EXPECT_EQ(data.size, 8u);

    uint8_t bytes[8] = {};
    EXPECT_EQ(MmioRead(f, bytes, 8), 8);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[7], 8);
    EXPECT_EQ(MmioRead(f, bytes, 8), 0);  // end of file

    MmioSeek(f, static_cast<int32_t>(fmt.data_offset), kMmioSeekSet);
    uint8_t raw[16];
    ASSERT_EQ(MmioRead(f, raw, 16), 16);
    const WaveFormat w = ReadWaveFormat(raw, sizeof(raw));
    EXPECT_EQ(w.format_tag, 1);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.samples_per_sec, 22050u);
    EXPECT_EQ(w.block_align, 4);
    EXPECT_EQ(w.bits_per_sample, 16);
    EXPECT_EQ(w.extra_size, 0);
    MmioClose(f);
}

TEST(RiffReaderTest, RefusesChunksThatDoNotFit) {
    std::vector<uint8_t> chunks;
    PutChunk(chunks, kFourCCFmt, PcmFormat(1, 11025, 8));
    PutChunk(chunks, kFourCCData, std::vector<uint8_t>(100, 0x80));

    {  // data chunk claims more bytes than the file holds
        std::vector<uint8_t> file = Riff(chunks);
        file.resize(file.size() - 40);
        // keep the RIFF size honest so only the data chunk is wrong
        const uint32_t riff_size = static_cast<uint32_t>(file.size() - 8);
        std::memcpy(&file[4], &riff_size, 4);
        MmioFile* f = MmioOpenMemory(file.data(), file.size());
        ChunkInfo fmt{}, data{};
        EXPECT_EQ(WalkWave(f, &fmt, &data), kMmioErrCorrupt);
        MmioClose(f);
    }
    {  // RIFF chunk claims more than the file
        std::vector<uint8_t> file = Riff(chunks);
        const uint32_t riff_size = static_cast<uint32_t>(file.size());
        std::memcpy(&file[4], &riff_size, 4);
        MmioFile* f = MmioOpenMemory(file.data(), file.size());
        ChunkInfo riff{};
        EXPECT_EQ(MmioDescend(f, &riff, nullptr, 0), kMmioErrCorrupt);
        MmioClose(f);
    }
    {  // a chunk reaching past its parent, though inside the file
        std::vector<uint8_t> file = Riff(chunks);
        const uint32_t riff_size = static_cast<uint32_t>(file.size() - 8 - 60);  // cuts into data
        std::memcpy(&file[4], &riff_size, 4);
        MmioFile* f = MmioOpenMemory(file.data(), file.size());
        ChunkInfo fmt{}, data{};
        EXPECT_EQ(WalkWave(f, &fmt, &data), kMmioErrCorrupt);
        MmioClose(f);
    }
    {  // a size word of 0xFFFFFFFF must not wrap the arithmetic
        std::vector<uint8_t> file = Riff(chunks);
        const size_t data_size_at = file.size() - 100 - 4;
        std::memset(&file[data_size_at], 0xFF, 4);
        MmioFile* f = MmioOpenMemory(file.data(), file.size());
        ChunkInfo fmt{}, data{};
        EXPECT_EQ(WalkWave(f, &fmt, &data), kMmioErrCorrupt);
        MmioClose(f);
    }
}

TEST(RiffReaderTest, NonRiffAndMissingChunks) {
    const char text[] = "this is not a wave file at all";
    MmioFile* f = MmioOpenMemory(text, sizeof(text));
    ChunkInfo riff{};
    riff.form_type = kFourCCWave;
    EXPECT_NE(MmioDescend(f, &riff, nullptr, kMmioFindRiff), kMmioOk);
    MmioClose(f);

    // Too short for even a chunk header.
    f = MmioOpenMemory(text, 5);
    EXPECT_EQ(MmioDescend(f, &riff, nullptr, 0), kMmioErrChunkNotFound);
    MmioClose(f);

    // A wave without a data chunk.
    std::vector<uint8_t> chunks;
    PutChunk(chunks, kFourCCFmt, PcmFormat(1, 8000, 16));
    const std::vector<uint8_t> file = Riff(chunks);
    f = MmioOpenMemory(file.data(), file.size());
    ChunkInfo fmt{}, data{};
    EXPECT_EQ(WalkWave(f, &fmt, &data), kMmioErrChunkNotFound);
    MmioClose(f);
}

TEST(RiffReaderTest, OddLastChunkWithoutPadByte) {
    std::vector<uint8_t> chunks;
    PutChunk(chunks, kFourCCFmt, PcmFormat(1, 8000, 8));
    PutChunk(chunks, kFourCCData, {1, 2, 3});
    std::vector<uint8_t> file = Riff(chunks);
    file.pop_back();  // the writer left out the pad byte
    const uint32_t riff_size = static_cast<uint32_t>(file.size() - 8);
    std::memcpy(&file[4], &riff_size, 4);
    MmioFile* f = MmioOpenMemory(file.data(), file.size());
    ChunkInfo fmt{}, data{};
    ASSERT_EQ(WalkWave(f, &fmt, &data), kMmioOk);
    EXPECT_EQ(data.size, 3u);
    EXPECT_EQ(MmioAscend(f, &data), kMmioOk);
    EXPECT_EQ(MmioSeek(f, 0, kMmioSeekCur), static_cast<int32_t>(file.size()));
    MmioClose(f);
}

TEST(RiffReaderTest, WritesAndOpensFilesByWindowsPath) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("riff_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "Sound");
    const std::string host = (dir / "Sound" / "tone.wav").string();

    const WaveFormat format{1, 1, 22050, 44100, 2, 16, 0};
    const int16_t samples[5] = {0, 1000, -1000, 32767, -32768};
    ASSERT_TRUE(WriteWaveFile(host.c_str(), format, samples, sizeof(samples)));

    // Another letter case and backslashes reach the same file.
    std::string windows = FromHostPath((dir / "SOUND" / "Tone.WAV").string());
    MmioFile* f = MmioOpen(windows.c_str());
    ASSERT_NE(f, nullptr);
    ChunkInfo fmt{}, data{};
    ASSERT_EQ(WalkWave(f, &fmt, &data), kMmioOk);
    ASSERT_EQ(data.size, sizeof(samples));
    int16_t back[5];
    ASSERT_EQ(MmioRead(f, back, sizeof(back)), static_cast<int32_t>(sizeof(back)));
    EXPECT_EQ(std::memcmp(back, samples, sizeof(samples)), 0);
    MmioClose(f);

    EXPECT_EQ(MmioOpen(FromHostPath((dir / "missing.wav").string()).c_str()), nullptr);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zu::platform
