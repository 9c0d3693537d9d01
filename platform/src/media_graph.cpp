// Media player on libsndfile and the sound engine (see media_graph.h).
#include "zu/platform/media_graph.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "zu/platform/files.h"
#include "zu/platform/paths.h"
#include "zu/platform/riff_reader.h"
#include "zu/platform/sound_device.h"

namespace zu::platform {

struct MediaGraph {
    // The cabin music calls from the systems tick and from its window timer
    // on the simulator's thread.
    std::mutex mutex;
    SoundDevice* device = nullptr;
    SoundBuffer* buffer = nullptr;
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint64_t frames = 0;
    int32_t volume = 0;
    bool running = false;  // run asked for and not paused or stopped since
    bool ended = false;    // played to its end
};

namespace {

constexpr int64_t kUnitsPerSecond = 10000000;

// libsndfile's virtual I/O over bytes in memory.
struct MemoryReader {
    const uint8_t* data;
    sf_count_t size;
    sf_count_t at;
};

sf_count_t MemLength(void* user) {
    return static_cast<MemoryReader*>(user)->size;
}
sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
    auto* m = static_cast<MemoryReader*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR) base = m->at;
    if (whence == SEEK_END) base = m->size;
    const sf_count_t to = base + offset;
    if (to < 0 || to > m->size) return -1;
    m->at = to;
    return m->at;
}
sf_count_t MemRead(void* ptr, sf_count_t count, void* user) {
    auto* m = static_cast<MemoryReader*>(user);
    const sf_count_t n = std::max<sf_count_t>(0, std::min(count, m->size - m->at));
    if (n > 0) std::memcpy(ptr, m->data + m->at, static_cast<std::size_t>(n));
    m->at += n;
    return n;
}
sf_count_t MemWrite(const void*, sf_count_t, void*) {
    return 0;
}
sf_count_t MemTell(void* user) {
    return static_cast<MemoryReader*>(user)->at;
}

void DropSong(MediaGraph* g) {
    if (g->buffer != nullptr) {
        SoundBufferStop(g->buffer);
        SoundBufferRelease(g->buffer);
    }
    g->buffer = nullptr;
    g->rate = 0;
    g->channels = 0;
    g->frames = 0;
    g->running = false;
    g->ended = false;
}

// Decodes an open file into 16-bit PCM (mono or stereo; more channels are
// folded to the first two) and makes it the graph's song.
int32_t LoadSong(MediaGraph* g, SNDFILE* file, const SF_INFO& info, const std::string& label) {
    if (info.channels < 1 || info.channels > 64 || info.samplerate < 1000 ||
        static_cast<uint32_t>(info.samplerate) > kSoundFrequencyMax) {
        return kMediaErrUnsupported;
    }
    const uint32_t in_channels = static_cast<uint32_t>(info.channels);
    const uint32_t out_channels = std::min<uint32_t>(in_channels, 2);
    // About 16 KiB of samples per read, whatever the channel count.
    const sf_count_t kChunkFrames = std::max<sf_count_t>(1, 8192 / in_channels);
    std::vector<int16_t> pcm;
    if (info.frames > 0) {
        pcm.reserve(static_cast<std::size_t>(
                        std::min<uint64_t>(static_cast<uint64_t>(info.frames), kMediaMaxFrames)) *
                    out_channels);
    }
    std::vector<int16_t> chunk(static_cast<std::size_t>(kChunkFrames) * in_channels);
    uint64_t frames = 0;
    while (frames < kMediaMaxFrames) {
        const sf_count_t got = sf_readf_short(file, chunk.data(), kChunkFrames);
        if (got <= 0) break;
        const auto take = static_cast<std::size_t>(
            std::min<uint64_t>(static_cast<uint64_t>(got), kMediaMaxFrames - frames));
        const std::size_t at = pcm.size();
        pcm.resize(at + take * out_channels);
        int16_t* out = pcm.data() + at;
        for (std::size_t f = 0; f < take; ++f) {
            for (uint32_t c = 0; c < out_channels; ++c) *out++ = chunk[f * in_channels + c];
        }
        frames += take;
    }
    if (frames == 0) return kMediaErrUnsupported;

    WaveFormat format{};
    format.format_tag = 1;
    format.channels = static_cast<uint16_t>(out_channels);
    format.samples_per_sec = static_cast<uint32_t>(info.samplerate);
    format.bits_per_sample = 16;
    format.block_align = static_cast<uint16_t>(out_channels * 2);
    format.avg_bytes_per_sec = format.samples_per_sec * format.block_align;
    const uint64_t bytes = pcm.size() * sizeof(int16_t);
    if (bytes > 0x0FFFFFFF) return kMediaErrUnsupported;

    DropSong(g);
    SoundBuffer* buffer = nullptr;
    const uint32_t flags = kSoundBufferCtrlVolume | kSoundBufferCtrlPan | kSoundBufferGlobalFocus;
    int32_t r =
        SoundDeviceCreateBuffer(g->device, flags, static_cast<uint32_t>(bytes), &format, &buffer);
    if (r < 0) return r;
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t b1 = 0;
    uint32_t b2 = 0;
    r = SoundBufferLock(buffer, 0, static_cast<uint32_t>(bytes), &p1, &b1, &p2, &b2);
    if (r < 0) {
        SoundBufferRelease(buffer);
        return r;
    }
    std::memcpy(p1, pcm.data(), b1);
    SoundBufferUnlock(buffer, p1, b1, p2, b2);
    SoundBufferSetLabel(buffer, label.c_str());
    SoundBufferSetVolume(buffer, g->volume);
    g->buffer = buffer;
    g->rate = format.samples_per_sec;
    g->channels = out_channels;
    g->frames = frames;
    return kMediaOk;
}

bool Playing(const MediaGraph* g) {
    uint32_t status = 0;
    return g->buffer != nullptr && SoundBufferGetStatus(g->buffer, &status) >= 0 &&
           (status & kSoundStatusPlaying) != 0;
}

int64_t StopPosition(const MediaGraph* g) {
    return g->rate == 0 ? 0 : static_cast<int64_t>(g->frames * kUnitsPerSecond / g->rate);
}

// A run song that no longer plays has reached its end.
void NoticeEnd(MediaGraph* g) {
    if (g->running && !Playing(g)) {
        g->running = false;
        g->ended = true;
    }
}

}  // namespace

int32_t MediaGraphCreate(MediaGraph** out) {
    if (out == nullptr) return kMediaErrInvalidParam;
    *out = nullptr;
    auto* g = new (std::nothrow) MediaGraph;
    if (g == nullptr) return kMediaErrFail;
    if (const int32_t r = SoundDeviceCreate(&g->device); r < 0) {
        delete g;
        return r;
    }
    *out = g;
    return kMediaOk;
}

void MediaGraphRelease(MediaGraph* graph) {
    if (graph == nullptr) return;
    DropSong(graph);
    if (graph->device != nullptr) SoundDeviceRelease(graph->device);
    delete graph;
}

int32_t MediaGraphRenderFile(MediaGraph* graph, const char* path) {
    if (graph == nullptr || path == nullptr) return kMediaErrInvalidParam;
    std::lock_guard<std::mutex> lock(graph->mutex);
    const std::string host = ToHostPath(path);
    // Never waits on a named pipe or a device at the path.
    const OpenedFile opened = OpenHostFile(host, O_RDONLY);
    if (!opened) {
        RecordRefusedOpen(host, opened);
        return kMediaErrNoSource;
    }
    SF_INFO info{};
    // The descriptor stays ours (libsndfile closes it itself on some
    // failures when it is given away).
    SNDFILE* file = sf_open_fd(opened.fd, SFM_READ, &info, SF_FALSE);
    if (file == nullptr) {
        ::close(opened.fd);
        return kMediaErrNoSource;
    }
    std::string name = path;
    const auto slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    const int32_t r = LoadSong(graph, file, info, "music:" + name);
    sf_close(file);
    ::close(opened.fd);
    return r;
}

int32_t MediaGraphRenderMemory(MediaGraph* graph, const void* data, std::size_t size) {
    if (graph == nullptr || (data == nullptr && size != 0)) return kMediaErrInvalidParam;
    std::lock_guard<std::mutex> lock(graph->mutex);
    MemoryReader reader{static_cast<const uint8_t*>(data), static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &reader);
    if (file == nullptr) return kMediaErrNoSource;
    const int32_t r = LoadSong(graph, file, info, "music:memory");
    sf_close(file);
    return r;
}

int32_t MediaGraphRun(MediaGraph* graph) {
    if (graph == nullptr) return kMediaErrInvalidParam;
    std::lock_guard<std::mutex> lock(graph->mutex);
    if (graph->buffer == nullptr) return kMediaOk;  // an empty graph runs silently
    NoticeEnd(graph);
    if (graph->ended) return kMediaOk;  // stays at its end until positioned
    const int32_t r = SoundBufferPlay(graph->buffer, 0, 0, 0);
    if (r >= 0) graph->running = true;
    return r;
}

int32_t MediaGraphPause(MediaGraph* graph) {
    if (graph == nullptr) return kMediaErrInvalidParam;
    std::lock_guard<std::mutex> lock(graph->mutex);
    if (graph->buffer == nullptr) return kMediaOk;
    NoticeEnd(graph);
    graph->running = false;
    return SoundBufferPause(graph->buffer);
}

int32_t MediaGraphStop(MediaGraph* graph) {
    if (graph == nullptr) return kMediaErrInvalidParam;
    std::lock_guard<std::mutex> lock(graph->mutex);
    if (graph->buffer == nullptr) return kMediaOk;
    NoticeEnd(graph);
    graph->running = false;
    return SoundBufferStop(graph->buffer);
}

int32_t MediaGraphGetPosition(MediaGraph* graph, int64_t* position) {
    if (graph == nullptr || position == nullptr) return kMediaErrInvalidParam;
    std::lock_guard<std::mutex> lock(graph->mutex);
    *position = 0;
    if (graph->buffer == nullptr) return kMediaOk;
    NoticeEnd(graph);
    if (graph->ended) {
        *position = StopPosition(graph);
        return kMediaOk;
    }
    uint32_t play = 0;
    if (const int32_t r = SoundBufferGetCurrentPosition(graph->buffer, &play, nullptr); r < 0) {
        return r;
    }
    const uint64_t frame = play / (graph->channels * 2);
    *position = static_cast<int64_t>(frame * kUnitsPerSecond / graph->rate);
    return kMediaOk;
}

int32_t MediaGraphGetStopPosition(MediaGraph* graph, int64_t* position) {
    if (graph == nullptr || position == nullptr) return kMediaErrInvalidParam;
    std::lock_guard<std::mutex> lock(graph->mutex);
    *position = StopPosition(graph);
    return kMediaOk;
}

int32_t MediaGraphSetPosition(MediaGraph* graph, int64_t position) {
    if (graph == nullptr || position < 0) return kMediaErrInvalidParam;
    std::lock_guard<std::mutex> lock(graph->mutex);
    if (graph->buffer == nullptr) return kMediaOk;
    NoticeEnd(graph);
    graph->ended = false;
    uint64_t frame = static_cast<uint64_t>(position) / 1000 * graph->rate / 10000;
    frame = std::min(frame, graph->frames);
    return SoundBufferSetCurrentPosition(graph->buffer,
                                         static_cast<uint32_t>(frame * graph->channels * 2));
}

int32_t MediaGraphSetVolume(MediaGraph* graph, int32_t volume) {
    if (graph == nullptr || volume < kSoundVolumeMin || volume > kSoundVolumeMax) {
        return kMediaErrInvalidParam;
    }
    std::lock_guard<std::mutex> lock(graph->mutex);
    graph->volume = volume;
    if (graph->buffer != nullptr) return SoundBufferSetVolume(graph->buffer, volume);
    return kMediaOk;
}

int32_t MediaGraphGetVolume(MediaGraph* graph, int32_t* volume) {
    if (graph == nullptr || volume == nullptr) return kMediaErrInvalidParam;
    std::lock_guard<std::mutex> lock(graph->mutex);
    *volume = graph->volume;
    return kMediaOk;
}

uint32_t MediaGraphSampleRate(const MediaGraph* graph) {
    return graph != nullptr ? graph->rate : 0;
}

uint32_t MediaGraphChannels(const MediaGraph* graph) {
    return graph != nullptr ? graph->channels : 0;
}

}  // namespace zu::platform
