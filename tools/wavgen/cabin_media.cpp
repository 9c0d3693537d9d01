// Voices, announcements and tunes (see cabin_media.h).
#include "cabin_media.h"

#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "zu/platform/riff_reader.h"

extern char** environ;

namespace wavgen {

namespace {

namespace fs = std::filesystem;

struct Spoken {
    const char* path;
    const char* text;
};

// The voices say what the ground-proximity table composes: "too low" and
// "gear" are two files that row 7 plays in turn.
constexpr Spoken kVoices[] = {
    {"computers/GPWS_dontsink.wav", "don't sink"},
    {"computers/GPWS_flaps.wav", "flaps"},
    {"computers/GPWS_gear.wav", "gear"},
    {"computers/GPWS_glideslope.wav", "glide slope"},
    {"computers/GPWS_minimums.wav", "minimums"},
    {"computers/GPWS_pullup.wav", "pull up"},
    {"computers/GPWS_sinkrate.wav", "sink rate"},
    {"computers/GPWS_terrain.wav", "terrain"},
    {"computers/GPWS_toolow.wav", "too low"},
    {"computers/TCAS_traffic.wav", "traffic, traffic"},
};

constexpr Spoken kAnnouncements[] = {
    {"FA_Boarding.wav",
     "Good morning ladies and gentlemen, and welcome aboard. Please take your "
     "seats and stow your hand luggage in the overhead bins."},
    {"FA_Welcome.wav",
     "Ladies and gentlemen, welcome on board. The doors are closed; please "
     "switch off your mobile phones."},
    {"FA_Safety.wav",
     "Please direct your attention to the cabin crew for the safety "
     "demonstration. Your seat belt fastens and releases like this."},
    {"FA_SeatBeltsOff.wav",
     "The captain has switched off the seat belt sign. You may now move "
     "about the cabin, but keep your belt fastened while seated."},
    {"FA_Turbulence.wav",
     "We are passing through some turbulence. Please return to your seats "
     "and fasten your seat belts."},
    {"FA_Approach.wav",
     "We have started our descent. Please return to your seats, fasten your "
     "seat belts and bring your seat backs upright."},
    {"FA_AfterLanding.wav",
     "Welcome to your destination. Please remain seated until the "
     "aircraft has come to a complete stop."},
    {"FD_Welcome.wav",
     "Good morning, this is your captain speaking. Welcome aboard; we expect "
     "a smooth flight today."},
    {"FD_BeforeTakeoff.wav", "Cabin crew, please take your seats for take off."},
    {"FD_cruise.wav",
     "This is your captain. We have reached our cruising altitude; sit back "
     "and enjoy the flight."},
    {"FD_BeforeLanding.wav", "Cabin crew, please take your seats for landing."},
};

// Speaks `text` into a WAV at `out` (22050 Hz mono 16-bit): espeak-ng
// writes a temporary file, which is read back, levelled to `peak` and
// written as a plain PCM file.
bool Speak(const std::string& text, const fs::path& out, double peak) {
    std::error_code ec;
    fs::create_directories(out.parent_path(), ec);
    const fs::path tmp = out.string() + ".espeak.wav";
    const std::string tmp_s = tmp.string();
    std::vector<std::string> args = {"espeak-ng", "-v", "en-us", "-s", "155", "-w", tmp_s, text};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "espeak-ng", nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "wavgen: espeak-ng cannot be started (is it installed?)\n");
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "wavgen: espeak-ng failed on \"%s\"\n", text.c_str());
        return false;
    }
    SF_INFO info{};
    SNDFILE* f = sf_open(tmp_s.c_str(), SFM_READ, &info);
    if (f == nullptr || info.channels != 1) {
        if (f != nullptr) sf_close(f);
        fs::remove(tmp, ec);
        return false;
    }
    std::vector<double> s(static_cast<std::size_t>(info.frames));
    const sf_count_t got = sf_readf_double(f, s.data(), info.frames);
    sf_close(f);
    fs::remove(tmp, ec);
    s.resize(static_cast<std::size_t>(std::max<sf_count_t>(got, 0)));
    if (s.empty()) return false;
    double top = 0;
    for (double x : s) top = std::max(top, std::fabs(x));
    std::vector<int16_t> pcm(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        pcm[i] = static_cast<int16_t>(std::lround(s[i] / std::max(top, 1e-9) * peak * 32767.0));
    }
    const uint32_t rate = static_cast<uint32_t>(info.samplerate);
    const zu::platform::WaveFormat format{
        zu::platform::kWaveFormatPcm, 1, rate, rate * 2, 2, 16, 0};
    return zu::platform::WriteWaveFile(out.string().c_str(), format, pcm.data(),
                                       static_cast<uint32_t>(pcm.size() * 2));
}

// ---------------------------------------------------------------------------
// Tunes: a melody over a bass line, plucked tones with a few harmonics.

constexpr int kTuneRate = 22050;

struct Note {
    double midi;  // 0: rest
    double beats;
};

double MidiHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

void AddVoice(std::vector<double>& out, const std::vector<Note>& notes, double beat_s, double gain,
              double decay) {
    std::size_t at = 0;
    for (const Note& n : notes) {
        const std::size_t len = static_cast<std::size_t>(n.beats * beat_s * kTuneRate);
        if (n.midi > 0) {
            const double hz = MidiHz(n.midi);
            for (std::size_t i = 0; i < len && at + i < out.size(); ++i) {
                const double t = static_cast<double>(i) / kTuneRate;
                const double env = std::exp(-t / decay) * std::min(1.0, t / 0.01);
                const double w = 2.0 * std::numbers::pi * hz * t;
                out[at + i] +=
                    gain * env * (std::sin(w) + 0.35 * std::sin(2 * w) + 0.12 * std::sin(3 * w));
            }
        }
        at += len;
    }
}

bool WriteMp3(const fs::path& path, std::vector<double> s) {
    double top = 0;
    for (double x : s) top = std::max(top, std::fabs(x));
    for (double& x : s) x = x / std::max(top, 1e-9) * 0.7;
    SF_INFO info{};
    info.samplerate = kTuneRate;
    info.channels = 1;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* f = sf_open(path.string().c_str(), SFM_WRITE, &info);
    if (f == nullptr) {
        std::fprintf(stderr, "wavgen: cannot write %s: %s\n", path.string().c_str(),
                     sf_strerror(nullptr));
        return false;
    }
    const sf_count_t n = static_cast<sf_count_t>(s.size());
    const bool ok = sf_writef_double(f, s.data(), n) == n;
    sf_close(f);
    return ok;
}

std::vector<Note> Repeat(const std::vector<Note>& part, int times) {
    std::vector<Note> out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), part.begin(), part.end());
    return out;
}

}  // namespace

bool WriteVoices(const fs::path& sound_root) {
    bool ok = true;
    for (const Spoken& v : kVoices) {
        if (!Speak(v.text, sound_root / v.path, 0.6)) {
            std::fprintf(stderr, "wavgen: cannot write %s\n", (sound_root / v.path).c_str());
            ok = false;
        }
    }
    return ok;
}

bool WriteAnnouncements(const fs::path& entertainment) {
    bool ok = true;
    for (const Spoken& a : kAnnouncements) {
        const fs::path path = entertainment / "Announcements" / a.path;
        if (!Speak(a.text, path, 0.7)) {
            std::fprintf(stderr, "wavgen: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}

bool WriteTunes(const fs::path& entertainment) {
    const fs::path songs = entertainment / "Songs";
    std::error_code ec;
    fs::create_directories(songs, ec);
    struct Tune {
        const char* name;
        double beat_s;
        std::vector<Note> melody;
        std::vector<Note> bass;
    };
    const std::vector<Tune> tunes = {
        {"harbour_waltz.mp3", 0.4,
         Repeat({{67, 1}, {72, 1}, {76, 1}, {74, 2}, {72, 1}, {71, 1}, {72, 1}, {74, 1}, {67, 3}},
                2),
         Repeat({{48, 3}, {55, 3}, {53, 3}, {55, 3}}, 2)},
        {"morning_climb.mp3", 0.3,
         Repeat({{60, 1},
                 {64, 1},
                 {67, 1},
                 {72, 1},
                 {71, 1},
                 {67, 1},
                 {69, 2},
                 {65, 1},
                 {69, 1},
                 {72, 1},
                 {77, 1},
                 {76, 2},
                 {72, 2}},
                2),
         Repeat({{36, 4}, {41, 4}, {43, 4}, {36, 4}}, 2)},
        {"evening_descent.mp3", 0.45,
         Repeat({{69, 2}, {67, 1}, {65, 1}, {64, 2}, {62, 2}, {60, 1}, {62, 1}, {64, 2}, {0, 2}},
                2),
         Repeat({{45, 4}, {41, 4}, {43, 4}, {40, 2}, {45, 2}}, 2)},
    };
    bool ok = true;
    for (const Tune& t : tunes) {
        double beats = 0;
        for (const Note& n : t.melody) beats += n.beats;
        std::vector<double> s(static_cast<std::size_t>((beats * t.beat_s + 1.0) * kTuneRate), 0.0);
        AddVoice(s, t.melody, t.beat_s, 1.0, 0.35);
        AddVoice(s, t.bass, t.beat_s, 0.6, 0.6);
        ok = WriteMp3(songs / t.name, s) && ok;
    }
    return ok;
}

}  // namespace wavgen
