// Fuzzes the cabin music's player with arbitrary file contents.
//
// The input is taken as a song file held in memory (any format the media
// layer reads: WAV, FLAC, Ogg, MP3 ...). The player renders it, runs,
// pauses, seeks, asks for positions and stops, as the cabin music does with
// a file of its songs folder. Whatever the bytes are, nothing may read
// outside them, and a song that renders reports a stop position no earlier
// than its current one.
//
// The MP3 decoder reports every damaged frame on the standard error; those
// reports are sent to /dev/null while a song renders (a crash still leaves
// its input behind as a crash file).
#include <fcntl.h>
#include <unistd.h>

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

    static const int null_fd = open("/dev/null", O_WRONLY);
    static const int saved_fd = dup(2);
    if (null_fd >= 0) dup2(null_fd, 2);
    const int32_t rendered = pf::MediaGraphRenderMemory(graph, data, size);
    if (saved_fd >= 0) dup2(saved_fd, 2);

    if (rendered == pf::kMediaOk) {
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
