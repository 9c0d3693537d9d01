// Media player for compressed and uncompressed audio files (WAV, FLAC, Ogg
// Vorbis, MP3 and whatever else libsndfile reads), shaped as the module's
// filter-graph calls use it: render a file, run, pause, stop, position,
// stop position and a volume in hundredths of a decibel.
//
// A rendered file is decoded to 16-bit PCM and played as one more buffer of
// the sound engine (sound_device.h), so it is heard on the machine's device,
// rendered in simulated time by the loopback device or the internal mixer,
// and logged like every other buffer (its label is "music:" + the file
// name; a pause is logged as a pause event).
//
// Positions are in units of 100 ns from the start of the song. Calls may come
// from any thread; the engine serialises them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu::platform {

struct MediaGraph;

inline constexpr int32_t kMediaOk = 0;
inline constexpr int32_t kMediaErrFail = static_cast<int32_t>(0x80004005);
inline constexpr int32_t kMediaErrInvalidParam = static_cast<int32_t>(0x80070057);
inline constexpr int32_t kMediaErrNoSource = static_cast<int32_t>(0x80040216);
inline constexpr int32_t kMediaErrUnsupported = static_cast<int32_t>(0x80040265);

// Longest song the player takes (frames at the file's rate); longer files
// are cut there.
inline constexpr uint64_t kMediaMaxFrames = uint64_t{48000} * 60 * 20;

int32_t MediaGraphCreate(MediaGraph** out);
// Stops and frees the graph and its song. Null is ignored.
void MediaGraphRelease(MediaGraph* graph);

// Replaces the graph's song by the file at a Windows-style path (the
// previous song's buffer goes); the new one is stopped at its start.
int32_t MediaGraphRenderFile(MediaGraph* graph, const char* path);
// The same from bytes in memory (label "music:memory").
int32_t MediaGraphRenderMemory(MediaGraph* graph, const void* data, std::size_t size);

int32_t MediaGraphRun(MediaGraph* graph);
int32_t MediaGraphPause(MediaGraph* graph);
// Stops; the position is kept, as a filter graph's stop keeps it.
int32_t MediaGraphStop(MediaGraph* graph);

// Current position; a song that has played to its end reports its stop
// position until it is positioned or rendered anew.
int32_t MediaGraphGetPosition(MediaGraph* graph, int64_t* position);
int32_t MediaGraphGetStopPosition(MediaGraph* graph, int64_t* position);
int32_t MediaGraphSetPosition(MediaGraph* graph, int64_t position);

// -10000 (silence) .. 0 (full); kept across songs.
int32_t MediaGraphSetVolume(MediaGraph* graph, int32_t volume);
int32_t MediaGraphGetVolume(MediaGraph* graph, int32_t* volume);

// The song's sample rate and channel count (0 without a song).
uint32_t MediaGraphSampleRate(const MediaGraph* graph);
uint32_t MediaGraphChannels(const MediaGraph* graph);

}  // namespace zu::platform
