// Fuzzes the cabin music's player with arbitrary file contents.
//
// The input is taken as a song file held in memory (any format the media
// layer reads: WAV, FLAC, Ogg, MP3 ...). The player renders it, runs,
// pauses, seeks, asks for positions and stops, as the cabin music does with
// a file of its songs folder. Whatever the bytes are, nothing may read
// outside them, and a song that renders reports a stop position no earlier
// than its current one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "zu/platform/media_graph.h"
#include "zu/platform/sound_device.h"

namespace {

namespace pf = zu::platform;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "song_fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silent = pf::SetAudioMode(pf::AudioMode::Silent);
    (void)silent;
    static pf::MediaGraph* graph = [] {
        pf::MediaGraph* g = nullptr;
        pf::MediaGraphCreate(&g);
        return g;
    }();
    Check(graph != nullptr, "no player");

    if (pf::MediaGraphRenderMemory(graph, data, size) == pf::kMediaOk) {
        Check(pf::MediaGraphSampleRate(graph) > 0, "a song without a rate");
        Check(pf::MediaGraphChannels(graph) == 1 || pf::MediaGraphChannels(graph) == 2,
              "a song with an odd channel count");
        int64_t stop = -1;
        int64_t position = -1;
        Check(pf::MediaGraphGetStopPosition(graph, &stop) == pf::kMediaOk && stop >= 0,
              "no stop position");
        pf::MediaGraphSetPosition(graph, stop / 2);
        pf::MediaGraphRun(graph);
        pf::MediaGraphPause(graph);
        Check(pf::MediaGraphGetPosition(graph, &position) == pf::kMediaOk, "no position");
        Check(position >= 0 && position <= stop, "a position beyond the song");
        pf::MediaGraphSetVolume(graph, -(static_cast<int32_t>(size) % 10001));
        pf::MediaGraphRun(graph);
        pf::MediaGraphStop(graph);
    }
    return 0;
}
