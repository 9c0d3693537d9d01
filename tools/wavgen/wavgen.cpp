// wavgen: writes the sample aircraft's sound folder: every WAV file the
// gauge module's sound set and click sounds load, synthesised (clicks,
// chimes, horns, hums, propeller and turbine loops), the alert voices
// spoken by espeak-ng, and beside the sound folder the cabin's
// "entertainment" folder: spoken announcements and MP3 tunes
// (cabin_media.h). Deterministic: the same build writes the same bytes.
//
//   wavgen OUTPUT_SOUND_FOLDER
//
// All files are PCM, 16-bit, mono, 22050 Hz (the module plays them at
// frequencies around 22050 Hz). Looping sounds last one second and hold
// only whole-hertz partials and circularly filtered noise, so they loop
// without a click.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "cabin_media.h"
#include "zu/platform/riff_reader.h"

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

using Samples = std::vector<double>;

int Frames(double seconds) {
    return static_cast<int>(std::lround(seconds * kRate));
}
double Time(int i) {
    return static_cast<double>(i) / kRate;
}

// Deterministic white noise in [-1, 1).
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed != 0 ? seed : 1) {}
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ / 2147483648.0 - 1.0;
    }

  private:
    uint32_t state_;
};

Samples WhiteNoise(int n, uint32_t seed) {
    Noise noise(seed);
    Samples s(n);
    for (double& x : s) x = noise.Next();
    return s;
}

// Second-order filter (band-pass with unity peak, or low-pass).
struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double Step(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};
Biquad BandPass(double center, double q) {
    const double w = kTwoPi * center / kRate;
    const double alpha = std::sin(w) / (2 * q);
    const double a0 = 1 + alpha;
    return {alpha / a0, 0, -alpha / a0, -2 * std::cos(w) / a0, (1 - alpha) / a0};
}
Biquad LowPass(double cutoff, double q = 0.707) {
    const double w = kTwoPi * cutoff / kRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    const double a0 = 1 + alpha;
    return {(1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0};
}

// Filters a sound once.
Samples Filter(Samples s, Biquad f) {
    for (double& x : s) x = f.Step(x);
    return s;
}
// Filters a looping sound: the filter runs over it twice and the second
// pass is kept, so its state at the loop point carries over seamlessly.
Samples FilterLoop(const Samples& s, Biquad f) {
    for (double x : s) f.Step(x);
    Samples out(s.size());
    for (size_t i = 0; i < s.size(); ++i) out[i] = f.Step(s[i]);
    return out;
}

void Add(Samples& to, const Samples& from, double gain = 1.0, int offset = 0) {
    for (size_t i = 0; i < from.size(); ++i) {
        const size_t j = offset + i;
        if (j < to.size()) to[j] += gain * from[i];
    }
}
// Adds `from` into a loop, wrapping around its end.
void AddCircular(Samples& to, const Samples& from, double gain, int offset) {
    for (size_t i = 0; i < from.size(); ++i) to[(offset + i) % to.size()] += gain * from[i];
}

// Sum of sine partials {frequency, amplitude}.
struct Partial {
    double hz;
    double amplitude;
};
Samples Partials(double seconds, std::initializer_list<Partial> partials) {
    Samples s(Frames(seconds));
    for (size_t i = 0; i < s.size(); ++i) {
        double v = 0;
        for (const Partial& p : partials) v += p.amplitude * std::sin(kTwoPi * p.hz * Time(i));
        s[i] = v;
    }
    return s;
}
// Harmonic buzz: partials k * f with amplitude 1/k^tilt.
Samples Buzz(double seconds, double hz, int harmonics, double tilt) {
    Samples s(Frames(seconds));
    for (int k = 1; k <= harmonics; ++k) {
        const double amp = 1.0 / std::pow(k, tilt);
        for (size_t i = 0; i < s.size(); ++i) s[i] += amp * std::sin(kTwoPi * hz * k * Time(i));
    }
    return s;
}

void ExpDecay(Samples& s, double tau, double start = 0) {
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Time(i) - start;
        s[i] *= t < 0 ? 0.0 : std::exp(-t / tau);
    }
}
// Linear fade in and out over `edge` seconds (one-shot sounds start and
// end at zero).
void Fade(Samples& s, double edge) {
    const int n = std::max(1, Frames(edge));
    for (int i = 0; i < n && i < static_cast<int>(s.size()); ++i) {
        const double g = static_cast<double>(i) / n;
        s[i] *= g;
        s[s.size() - 1 - i] *= g;
    }
}

Samples Normalise(Samples s, double peak) {
    double max = 0;
    for (double x : s) max = std::max(max, std::abs(x));
    if (max > 0)
        for (double& x : s) x *= peak / max;
    return s;
}

// A struck transient: band-passed noise with a fast decay.
Samples Tick(double seconds, double center, double q, double tau, uint32_t seed) {
    Samples s = Filter(WhiteNoise(Frames(seconds), seed), BandPass(center, q));
    ExpDecay(s, tau);
    return s;
}
// A ringing tone with a decay.
Samples Ping(double seconds, std::initializer_list<Partial> partials, double tau) {
    Samples s = Partials(seconds, partials);
    ExpDecay(s, tau);
    return s;
}

// ---------------------------------------------------------------------------
// Clicks and mechanical sounds

Samples Click(double seconds, double center, double ping_hz, double second_at, uint32_t seed) {
    Samples s(Frames(seconds));
    Add(s, Tick(seconds, center, 1.2, 0.0025, seed), 1.0);
    Add(s, Ping(seconds, {{ping_hz, 1.0}, {ping_hz * 2.3, 0.4}}, 0.004), 0.5);
    Add(s, Tick(seconds, center * 1.3, 1.5, 0.002, seed + 1), 0.7, Frames(second_at));
    Fade(s, 0.0005);
    return s;
}

Samples Latch(double pitch, uint32_t seed) {
    Samples s(Frames(0.14));
    Add(s, Tick(0.14, 2500, 1.0, 0.004, seed), 1.0);
    Add(s, Ping(0.14, {{pitch, 1.0}, {pitch * 1.61, 0.6}, {pitch * 2.7, 0.3}}, 0.025), 0.6);
    Add(s, Ping(0.1, {{180, 1.0}}, 0.02), 0.5, Frames(0.01));
    Fade(s, 0.002);
    return s;
}

Samples LeverMove(double from_hz, double to_hz, uint32_t seed) {
    const int n = Frames(0.25);
    Samples noise = WhiteNoise(n, seed);
    Samples s(n);
    Biquad f = BandPass(from_hz, 2.0);
    for (int i = 0; i < n; ++i) {
        if (i % 64 == 0) {  // the band sweeps along with the lever
            const Biquad g = BandPass(from_hz + (to_hz - from_hz) * i / n, 2.0);
            f.b0 = g.b0;
            f.b1 = g.b1;
            f.b2 = g.b2;
            f.a1 = g.a1;
            f.a2 = g.a2;
        }
        s[i] = f.Step(noise[i]) * std::sin(std::numbers::pi * i / n);
    }
    Add(s, Click(0.05, 2000, 700, 0.01, seed + 7), 0.8, Frames(0.19));
    Fade(s, 0.002);
    return s;
}

Samples Ratchet(uint32_t seed) {
    Samples s(Frames(0.16));
    for (int k = 0; k < 3; ++k)
        Add(s, Click(0.04, 2200, 900, 0.006, seed + k), 1.0, Frames(0.045 * k));
    Fade(s, 0.002);
    return s;
}

Samples Thump(double seconds, double hz, double tau, double hiss, uint32_t seed) {
    Samples s = Ping(seconds, {{hz, 1.0}, {hz * 2, 0.3}}, tau);
    Samples h = Filter(WhiteNoise(Frames(seconds), seed), BandPass(2500, 0.7));
    ExpDecay(h, tau * 2);
    Add(s, h, hiss);
    Fade(s, 0.003);
    return s;
}

// ---------------------------------------------------------------------------
// Loops (one second)

Samples NoiseLoop(uint32_t seed, Biquad filter) {
    return FilterLoop(WhiteNoise(kRate, seed), filter);
}

Samples Hum() {
    Samples s = Partials(1.0, {{400, 1.0}, {800, 0.35}, {1200, 0.2}, {2000, 0.05}});
    Add(s, NoiseLoop(11, BandPass(400, 8)), 0.3);
    return s;
}

Samples Fan(double blade_hz, double cutoff, uint32_t seed) {
    Samples s = Normalise(NoiseLoop(seed, LowPass(cutoff)), 1.0);
    Add(s, Partials(1.0, {{blade_hz, 0.25}, {blade_hz * 2, 0.1}}));
    return s;
}

Samples Hiss(double center, double q, uint32_t seed) {
    return NoiseLoop(seed, BandPass(center, q));
}

Samples Propeller(double blade_hz, double noise_cutoff, double noise_gain, int harmonics,
                  double tilt, uint32_t seed) {
    Samples s = Normalise(Buzz(1.0, blade_hz, harmonics, tilt), 1.0);
    Add(s, Normalise(NoiseLoop(seed, LowPass(noise_cutoff)), 1.0), noise_gain);
    return s;
}

Samples Turbine() {
    Samples s = Partials(1.0, {{3000, 1.0}, {4500, 0.4}, {6000, 0.15}, {1500, 0.2}});
    Add(s, Normalise(NoiseLoop(41, LowPass(2500)), 1.0), 0.35);
    return s;
}

// A bell struck every `period` seconds, ringing on across the loop point.
Samples BellLoop() {
    Samples s(kRate);
    const Samples strike = Ping(0.6, {{1200, 1.0}, {2650, 0.5}, {4100, 0.25}, {590, 0.3}}, 0.12);
    for (int k = 0; k < 25; ++k) AddCircular(s, strike, 1.0, Frames(0.04 * k));
    return s;
}

Samples StickShaker() {
    Samples s(kRate);
    for (int k = 0; k < 20; ++k)
        AddCircular(s, Tick(0.03, 320, 1.0, 0.008, 50 + k), 1.0, Frames(0.05 * k));
    s = Normalise(s, 1.0);
    Add(s, Partials(1.0, {{40, 0.4}, {80, 0.2}}));
    return s;
}

Samples Horn(double hz, double on, double period) {
    Samples tone = Partials(1.0, {{hz, 1.0}, {hz * 3, 0.33}, {hz * 5, 0.2}, {hz * 7, 0.14}});
    if (on >= period) return tone;
    for (int i = 0; i < kRate; ++i) {
        const double phase = std::fmod(Time(i), period);
        const double edge = 0.004;
        double g = phase < on ? 1.0 : 0.0;
        if (phase < edge) g = phase / edge;
        if (phase >= on && phase < on + edge) g = 1.0 - (phase - on) / edge;
        tone[i] *= g;
    }
    return tone;
}

Samples Triangle(double hz) {
    Samples s(kRate);
    for (int k = 1; k <= 9; k += 2) {
        const double amp = (((k - 1) / 2) % 2 == 0 ? 1.0 : -1.0) / (k * k);
        for (int i = 0; i < kRate; ++i) s[i] += amp * std::sin(kTwoPi * hz * k * Time(i));
    }
    return s;
}

Samples GroundRoll() {
    Samples s = NoiseLoop(61, LowPass(150));
    for (int i = 0; i < kRate; ++i) s[i] *= 0.7 + 0.3 * std::sin(kTwoPi * 7 * Time(i));
    return s;
}

// ---------------------------------------------------------------------------
// Chimes and tones

Samples Chime(std::initializer_list<std::pair<double, double>> notes, double seconds) {
    Samples s(Frames(seconds));
    for (const auto& [hz, at] : notes) {
        Add(s, Ping(seconds, {{hz, 1.0}, {hz * 2.76, 0.25}, {hz * 5.4, 0.08}}, 0.35), 1.0,
            Frames(at));
    }
    Fade(s, 0.002);
    return s;
}

Samples Beeps(double hz, double length, double gap, int count) {
    Samples s(Frames(count * (length + gap)));
    Samples beep = Partials(length, {{hz, 1.0}, {hz * 2, 0.15}});
    Fade(beep, 0.004);
    for (int k = 0; k < count; ++k) Add(s, beep, 1.0, Frames(k * (length + gap)));
    return s;
}

Samples Arpeggio(int repeats) {
    const double notes[] = {392.0, 523.25, 659.25, 783.99};
    const double step = 0.12;
    Samples s(Frames(repeats * 4 * step + 0.2));
    for (int r = 0; r < repeats; ++r) {
        for (int k = 0; k < 4; ++k) {
            Samples note = Ping(step + 0.2,
                                {{notes[k], 1.0}, {notes[k] * 3, 0.3}, {notes[k] * 5, 0.12}}, 0.12);
            Fade(note, 0.003);
            Add(s, note, 1.0, Frames((r * 4 + k) * step));
        }
    }
    Fade(s, 0.003);
    return s;
}

// ---------------------------------------------------------------------------
// Engine sounds

Samples Starter() {
    const int n = Frames(1.2);
    Samples s(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = Time(i);
        const double hz = 400 + 900 * (1 - std::exp(-t / 0.5));
        phase += hz / kRate;
        s[i] = std::sin(kTwoPi * phase) + 0.3 * std::sin(2 * kTwoPi * phase);
    }
    Add(s, Filter(WhiteNoise(n, 71), LowPass(800)), 0.4);
    Fade(s, 0.05);
    return s;
}

Samples PropWindDown() {
    const int n = Frames(1.6);
    Samples s(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = Time(i);
        const double hz = 20 + 60 * std::exp(-t / 0.5);
        phase += hz / kRate;
        double v = 0;
        for (int k = 1; k <= 8; ++k) v += std::sin(kTwoPi * k * phase) / k;
        s[i] = v * std::exp(-t / 0.6);
    }
    Add(s, Thump(1.6, 45, 0.15, 0.2, 73), 0.6);
    Fade(s, 0.003);
    return s;
}

Samples TailStrike() {
    const int n = Frames(0.7);
    Samples s = Filter(WhiteNoise(n, 81), BandPass(1500, 0.8));
    Noise jitter(82);
    for (int i = 0; i < n; ++i)
        s[i] *= std::exp(-Time(i) / 0.25) * (0.6 + 0.4 * std::abs(jitter.Next()));
    Add(s, Thump(0.7, 60, 0.1, 0.0, 83), 0.8);
    Fade(s, 0.003);
    return s;
}

// ---------------------------------------------------------------------------

struct SoundFile {
    const char* path;  // below the sound folder, '/' separated
    Samples (*make)();
    double peak;
};

const SoundFile kFiles[] = {
    {"click_tiny.wav", [] { return Click(0.015, 4000, 2500, 0.004, 1); }, 0.6},
    {"click_switch_small.wav", [] { return Click(0.035, 2500, 900, 0.008, 3); }, 0.6},
    {"click_switch_large.wav", [] { return Click(0.06, 1200, 300, 0.015, 5); }, 0.7},
    {"CL_unlock.wav", [] { return Latch(1800, 7); }, 0.6},
    {"CL_lock.wav", [] { return Latch(1400, 9); }, 0.6},
    {"PLs_up.wav", [] { return LeverMove(900, 1600, 13); }, 0.5},
    {"PLs_down.wav", [] { return LeverMove(1600, 900, 15); }, 0.5},
    {"flaps_selector.wav", [] { return Ratchet(17); }, 0.6},
    {"electrical/electricalsystem.wav", Hum, 0.4},
    {"electrical/avionics.wav", [] { return Fan(180, 1500, 19); }, 0.4},
    {"computers/triangle2000.wav", [] { return Triangle(2000); }, 0.45},
    {"computers/revbetahorn.wav", [] { return Horn(500, 1.0, 1.0); }, 0.45},
    {"ap_disc_short.wav", [] { return Arpeggio(1); }, 0.55},
    {"ap_disc_long.wav", [] { return Arpeggio(3); }, 0.55},
    {"aircond/recirc.wav", [] { return Fan(120, 700, 23); }, 0.4},
    {"aircond/bleed.wav", [] { return Hiss(3500, 0.5, 29); }, 0.4},
    {"aircond/forwardvalve.wav", [] { return Hiss(1800, 5.0, 31); }, 0.4},
    {"aircond/wipers.wav",
     [] {
         Samples s = Filter(WhiteNoise(Frames(0.45), 37), BandPass(900, 1.0));
         for (size_t i = 0; i < s.size(); ++i) s[i] *= std::sin(std::numbers::pi * i / s.size());
         Add(s, Thump(0.08, 120, 0.02, 0.0, 38), 0.6, Frames(0.37));
         Fade(s, 0.003);
         return s;
     },
     0.45},
    {"electrical/sitbelts.wav",
     [] {
         return Chime({{1046.5, 0.0}}, 1.2);
     },
     0.55},
    {"electrical/call.wav",
     [] {
         return Chime({{1318.5, 0.0}, {1046.5, 0.45}}, 1.4);
     },
     0.55},
    {"computers/alt_warn.wav",
     [] {
         return Chime({{523.25, 0.0}, {659.25, 0.0}, {783.99, 0.0}}, 1.0);
     },
     0.55},
    {"computers/stall.wav", StickShaker, 0.55},
    {"electrical/stickpusher.wav", [] { return Thump(0.8, 55, 0.2, 0.3, 43); }, 0.6},
    {"electrical/firebell1.wav", BellLoop, 0.55},
    {"computers/towarning.wav", [] { return Horn(700, 0.25, 0.5); }, 0.5},
    {"electrical/stickpusher_init.wav",
     [] {
         Samples s = Click(0.25, 1500, 400, 0.05, 47);
         Add(s, Thump(0.25, 150, 0.04, 0.0, 48), 0.5);
         return s;
     },
     0.6},
    {"electrical/electrics_init_sound.wav", [] { return Beeps(1500, 0.12, 0.05, 3); }, 0.5},
    {"computers/com_xchg.wav", [] { return Beeps(2000, 0.12, 0.03, 1); }, 0.4},
    {"engine/gen_spin3.wav", Starter, 0.5},
    {"engine/N1_sound_2.wav", Turbine, 0.45},
    {"prop/prop_feather_50_ground_2.wav", [] { return Propeller(50, 600, 0.5, 12, 1.0, 131); },
     0.5},
    {"prop/prop_minus3_800_ground.wav", [] { return Propeller(80, 700, 0.4, 10, 1.1, 133); }, 0.5},
    {"prop/prop_1050_low_flight.wav", [] { return Propeller(105, 900, 0.3, 8, 1.2, 135); }, 0.5},
    {"prop/prop_minus3_reverse_ground.wav", [] { return Propeller(80, 400, 1.2, 6, 1.0, 137); },
     0.5},
    {"prop/prop_1200_high_ground_l.wav", [] { return Propeller(120, 800, 0.45, 10, 1.0, 139); },
     0.5},
    {"prop/prop_1200_high_ground_r.wav", [] { return Propeller(120, 850, 0.45, 10, 1.05, 141); },
     0.5},
    {"prop/prop_1200_high_flight.wav", [] { return Propeller(120, 1000, 0.25, 8, 1.3, 143); }, 0.5},
    {"prop/prop_stop2.wav", PropWindDown, 0.55},
    {"prop/prop_25_800_ground.wav", [] { return Propeller(80, 500, 0.6, 12, 0.9, 145); }, 0.5},
    {"environment/wind1.wav",
     [] {
         Samples s = Normalise(NoiseLoop(151, LowPass(800)), 1.0);
         Add(s, Normalise(NoiseLoop(152, BandPass(300, 1.5)), 1.0), 0.5);
         return s;
     },
     0.45},
    {"environment/gearwind1.wav",
     [] {
         Samples s = Normalise(NoiseLoop(153, BandPass(200, 1.0)), 1.0);
         Add(s, Normalise(NoiseLoop(154, BandPass(1000, 6.0)), 1.0), 0.2);
         return s;
     },
     0.45},
    {"cnroll3.wav", GroundRoll, 0.5},
    {"ex_tailbreak01.wav", TailStrike, 0.6},
    {"external/env1.wav", [] { return NoiseLoop(157, LowPass(500)); }, 0.25},
    {"Kmgearup.wav", [] { return Thump(0.8, 50, 0.15, 0.4, 159); }, 0.6},
};

bool Write(const std::filesystem::path& path, const Samples& s, double peak) {
    const Samples n = Normalise(s, peak);
    std::vector<int16_t> pcm(n.size());
    for (size_t i = 0; i < n.size(); ++i)
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(n[i], -1.0, 1.0) * 32767.0));
    const zu::platform::WaveFormat format{
        zu::platform::kWaveFormatPcm, 1, kRate, kRate * 2, 2, 16, 0};
    return zu::platform::WriteWaveFile(path.string().c_str(), format, pcm.data(),
                                       static_cast<uint32_t>(pcm.size() * 2));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wavgen OUTPUT_SOUND_FOLDER\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    int failures = 0;
    for (const SoundFile& file : kFiles) {
        const std::filesystem::path path = root / file.path;
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec || !Write(path, file.make(), file.peak)) {
            std::fprintf(stderr, "wavgen: cannot write %s\n", path.string().c_str());
            ++failures;
        }
    }
    // The spoken voices, and the cabin's announcements and songs beside the
    // sound folder.
    if (!wavgen::WriteVoices(root)) ++failures;
    const std::filesystem::path entertainment = root.parent_path() / "entertainment";
    if (!wavgen::WriteAnnouncements(entertainment)) ++failures;
    if (!wavgen::WriteTunes(entertainment)) ++failures;
    return failures == 0 ? 0 : 1;
}
