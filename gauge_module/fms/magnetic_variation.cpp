// The magnetic variation model (see magnetic_variation.h).
//
// The evaluation follows the reference routine step by step in single
// precision, including where it widens to double (the library sine, cosine,
// square root and arc tangent, and constants written as doubles), so that
// its results match the routine's for the same coefficient file.
#include "fms/magnetic_variation.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "core/fsuipc_client.h"
#include "zu/platform/files.h"

namespace zu {

MagVarChangeRecord MagVarAnnualChange = {0.0f, 0.0f, 0.0f, -999.0f};

namespace {

constexpr int kN = kMagModelMaxDegree + 1;  // 13 rows and columns
constexpr int kLineSize = 80;               // lines are read up to 79 characters

// The routine's state. c and cd hold g(n,m) at [m][n] and h(n,m) at
// [n][m-1] (and their secular variations); tc the time-adjusted set.
struct MagModel {
    int maxord = kMagModelMaxDegree;
    float c[kN][kN] = {};
    float cd[kN][kN] = {};
    float tc[kN][kN] = {};
    float dp[kN][kN] = {};
    float k[kN][kN] = {};
    float snorm[kN * kN] = {};  // also the Legendre functions p, [n + m * 13]
    float sp[kN] = {};
    float cp[kN] = {};
    float fn[kN] = {};
    float fm[kN] = {};
    float pp[kN] = {};
    float a = 0, b = 0, re = 0, a2 = 0, b2 = 0, c2 = 0, a4 = 0, b4 = 0, c4 = 0;
    float epoch = 0;
    float otime = -1000.0f, oalt = -1000.0f, olat = -1000.0f, olon = -1000.0f;
    // Kept between evaluations exactly like the routine's statics.
    float ct = 0, st = 0, r = 0, ca = 0, sa = 0;
};

MagModel Model;
std::mutex ModelLock;
platform::File CoefficientFile;

// Where entry 0 takes its lines from: the open file, or text in memory.
struct LineSource {
    platform::File* file = nullptr;
    std::string_view text;
    size_t pos = 0;

    // The next line as the runtime's line read gives it: up to 79
    // characters, the line break kept.
    bool Next(char* line) {
        if (file != nullptr) return file->ReadLine(line, kLineSize);
        if (pos >= text.size()) return false;
        size_t n = 0;
        while (n < kLineSize - 1 && pos < text.size()) {
            const char ch = text[pos++];
            line[n++] = ch;
            if (ch == '\n') break;
        }
        line[n] = '\0';
        return true;
    }
};

// A text with a NUL inside ends there, as the runtime's scans see it.
bool IsEndMarker(const char* line) {
    char head[5] = {};
    for (int i = 0; i < 4 && line[i] != '\0'; ++i) head[i] = line[i];
    return std::strcmp(head, "9999") == 0;
}

void InitialiseConstants(MagModel& m) {
    m.sp[0] = 0.0f;
    m.cp[0] = m.snorm[0] = m.pp[0] = 1.0f;
    m.dp[0][0] = 0.0f;
    m.a = 6378.137f;
    m.b = 6356.7523142f;
    m.re = 6371.2f;
    m.a2 = m.a * m.a;
    m.b2 = m.b * m.b;
    m.c2 = m.a2 - m.b2;
    m.a4 = m.a2 * m.a2;
    m.b4 = m.b2 * m.b2;
    m.c4 = m.a4 - m.b4;
}

// A coefficient file is damaged where a line before "9999" does not read
// as its six numbers, or where no "9999" line comes; the file's first
// damage is recorded as a load problem of the file (the read goes on as
// before). Text in memory is not a file: nothing is recorded for it.
class CoefficientDamage {
  public:
    explicit CoefficientDamage(const platform::File* file) : file_(file) {}
    void BadLine(int line_number) {
        if (file_ == nullptr || what_[0] != '\0') return;
        std::snprintf(what_, sizeof what_, "damaged: line %d does not read as six numbers",
                      line_number);
    }
    void Ended(bool end_line_seen) {
        if (file_ == nullptr) return;
        if (what_[0] == '\0' && !end_line_seen)
            std::snprintf(what_, sizeof what_, "damaged: no \"9999\" line ends the coefficients");
        if (what_[0] != '\0') file_->RecordProblem(what_);
    }

  private:
    const platform::File* file_;
    char what_[96] = {};
};

// Header, then one coefficient per line until "9999" or the end of the
// text. A line that does not hold six values, or whose degree or order
// lies outside 0..max or whose order exceeds its degree, is skipped.
void ReadCoefficients(MagModel& m, LineSource& src) {
    // Every read starts from a clean set, so a file that leaves entries out
    // does not keep (and normalise again) values of an earlier read.
    std::memset(m.c, 0, sizeof m.c);
    std::memset(m.cd, 0, sizeof m.cd);
    char line[kLineSize] = {};
    m.epoch = 0.0f;
    CoefficientDamage damage(src.file);
    if (!src.Next(line)) {
        damage.Ended(false);
        return;
    }
    char model_name[20] = {};
    float epoch = 0.0f;
    if (std::sscanf(line, "%f%19s", &epoch, model_name) >= 1 && std::isfinite(epoch))
        m.epoch = epoch;
    // The file's line a piece read begins in (a line longer than the read
    // comes in several pieces, as before).
    int line_number = 1;
    bool line_ended = std::strchr(line, '\n') != nullptr;
    bool ended = false;
    while (src.Next(line)) {
        if (line_ended) ++line_number;
        line_ended = std::strchr(line, '\n') != nullptr;
        if (IsEndMarker(line)) {
            ended = true;
            break;
        }
        int n = 0, mm = 0;
        float gnm = 0, hnm = 0, dgnm = 0, dhnm = 0;
        if (std::sscanf(line, "%d%d%f%f%f%f", &n, &mm, &gnm, &hnm, &dgnm, &dhnm) != 6) {
            damage.BadLine(line_number);
            continue;
        }
        if (n < 0 || n > m.maxord || mm < 0 || mm > n) continue;
        m.c[mm][n] = gnm;
        m.cd[mm][n] = dgnm;
        if (mm != 0) {
            m.c[n][mm - 1] = hnm;
            m.cd[n][mm - 1] = dhnm;
        }
    }
    damage.Ended(ended);
}

// Schmidt normalisation factors applied to the coefficients, and the
// recursion constants k(m,n).
void NormaliseCoefficients(MagModel& m) {
    m.snorm[0] = 1.0f;
    m.fm[0] = 0.0f;
    for (int n = 1; n <= m.maxord; ++n) {
        m.snorm[n] = m.snorm[n - 1] * static_cast<float>(2 * n - 1) / static_cast<float>(n);
        int j = 2;
        for (int mm = 0; mm <= n; ++mm) {
            m.k[mm][n] = static_cast<float>(((n - 1) * (n - 1)) - (mm * mm)) /
                         static_cast<float>((2 * n - 1) * (2 * n - 3));
            if (mm > 0) {
                const float flnmj =
                    static_cast<float>((n - mm + 1) * j) / static_cast<float>(n + mm);
                m.snorm[n + mm * kN] = static_cast<float>(
                    static_cast<double>(m.snorm[n + (mm - 1) * kN]) * std::sqrt(double{flnmj}));
                j = 1;
                m.c[n][mm - 1] = m.snorm[n + mm * kN] * m.c[n][mm - 1];
                m.cd[n][mm - 1] = m.snorm[n + mm * kN] * m.cd[n][mm - 1];
            }
            m.c[mm][n] = m.snorm[n + mm * kN] * m.c[mm][n];
            m.cd[mm][n] = m.snorm[n + mm * kN] * m.cd[mm][n];
        }
        m.fn[n] = static_cast<float>(n + 1);
        m.fm[n] = static_cast<float>(n);
    }
    m.k[1][1] = 0.0f;
    m.otime = m.oalt = m.olat = m.olon = -1000.0f;
}

void Initialise(LineSource& src) {
    InitialiseConstants(Model);
    ReadCoefficients(Model, src);
    NormaliseCoefficients(Model);
}

float Sin(float x) {
    return static_cast<float>(std::sin(double{x}));
}
float Cos(float x) {
    return static_cast<float>(std::cos(double{x}));
}

// Geodetic latitude and altitude to the spherical radius and the rotation
// between the two frames.
void GeodeticToSpherical(MagModel& m, float alt, float srlat, float crlat) {
    const float srlat2 = srlat * srlat;
    const float crlat2 = crlat * crlat;
    const float q = static_cast<float>(std::sqrt(double{m.a2 - m.c2 * srlat2}));
    const float q1 = alt * q;
    const float q2 = ((q1 + m.a2) / (q1 + m.b2)) * ((q1 + m.a2) / (q1 + m.b2));
    m.ct = static_cast<float>(srlat / std::sqrt(double{q2 * crlat2 + srlat2}));
    m.st = static_cast<float>(std::sqrt(1.0 - double{m.ct * m.ct}));
    const float r2 =
        static_cast<float>(double{alt * alt} + 2.0 * q1 + double{(m.a4 - m.c4 * srlat2) / (q * q)});
    m.r = static_cast<float>(std::sqrt(double{r2}));
    const float d = static_cast<float>(std::sqrt(double{m.a2 * crlat2 + m.b2 * srlat2}));
    m.ca = (alt + d) / m.r;
    m.sa = m.c2 * crlat * srlat / (m.r * d);
}

struct FieldSums {
    float br = 0, bt = 0, bp = 0, bpp = 0;
};

// Legendre functions of degree n and order mm and their derivatives.
void LegendreStep(MagModel& m, int n, int mm) {
    float* p = m.snorm;
    if (n == mm) {
        p[n + mm * kN] = m.st * p[n - 1 + (mm - 1) * kN];
        m.dp[mm][n] = m.st * m.dp[mm - 1][n - 1] + m.ct * p[n - 1 + (mm - 1) * kN];
        return;
    }
    if (n == 1 && mm == 0) {
        p[n + mm * kN] = m.ct * p[n - 1 + mm * kN];
        m.dp[mm][n] = m.ct * m.dp[mm][n - 1] - m.st * p[n - 1 + mm * kN];
        return;
    }
    if (n > 1 && n != mm) {
        if (mm > n - 2) p[n - 2 + mm * kN] = 0.0f;
        if (mm > n - 2) m.dp[mm][n - 2] = 0.0f;
        p[n + mm * kN] = m.ct * p[n - 1 + mm * kN] - m.k[mm][n] * p[n - 2 + mm * kN];
        m.dp[mm][n] =
            m.ct * m.dp[mm][n - 1] - m.st * p[n - 1 + mm * kN] - m.k[mm][n] * m.dp[mm][n - 2];
    }
}

// The spherical-harmonic sums in the spherical frame.
FieldSums SumHarmonics(MagModel& m, bool new_position, bool new_time, float dt) {
    FieldSums s;
    const float aor = m.re / m.r;
    float ar = aor * aor;
    for (int n = 1; n <= m.maxord; ++n) {
        ar = ar * aor;
        for (int mm = 0; mm <= n; ++mm) {
            if (new_position) LegendreStep(m, n, mm);
            if (new_time) {
                m.tc[mm][n] = m.c[mm][n] + dt * m.cd[mm][n];
                if (mm != 0) m.tc[n][mm - 1] = m.c[n][mm - 1] + dt * m.cd[n][mm - 1];
            }
            const float par = ar * m.snorm[n + mm * kN];
            float temp1, temp2;
            if (mm == 0) {
                temp1 = m.tc[mm][n] * m.cp[mm];
                temp2 = m.tc[mm][n] * m.sp[mm];
            } else {
                temp1 = m.tc[mm][n] * m.cp[mm] + m.tc[n][mm - 1] * m.sp[mm];
                temp2 = m.tc[mm][n] * m.sp[mm] - m.tc[n][mm - 1] * m.cp[mm];
            }
            s.bt = s.bt - ar * temp1 * m.dp[mm][n];
            s.bp += m.fm[mm] * temp2 * par;
            s.br += m.fn[n] * temp1 * par;
            // At the geographic poles the east component comes from its own
            // recursion.
            if (m.st == 0.0f && mm == 1) {
                if (n == 1) {
                    m.pp[n] = m.pp[n - 1];
                } else {
                    m.pp[n] = m.ct * m.pp[n - 1] - m.k[mm][n] * m.pp[n - 2];
                }
                const float parp = ar * m.pp[n];
                s.bpp += m.fm[mm] * temp2 * parp;
            }
        }
    }
    if (m.st == 0.0f) {
        s.bp = s.bpp;
    } else {
        s.bp /= m.st;
    }
    return s;
}

float GridVariation(float dec, float glat, float glon) {
    float gv = -999.0f;
    if (std::fabs(glat) >= 55.0f) {
        if (glat > 0.0f && glon >= 0.0f) gv = dec - glon;
        if (glat > 0.0f && glon < 0.0f) gv = dec + std::fabs(glon);
        if (glat < 0.0f && glon >= 0.0f) gv = dec + glon;
        if (glat < 0.0f && glon < 0.0f) gv = dec - std::fabs(glon);
        if (gv > +180.0f) gv -= 360.0f;
        if (gv < -180.0f) gv += 360.0f;
    }
    return gv;
}

void Evaluate(MagModel& m, float alt, float glat, float glon, float time, float* dec, float* dip,
              float* ti, float* gv) {
    const float dt = time - m.epoch;
    const float pi = static_cast<float>(3.14159265359);
    const float dtr = static_cast<float>(double{pi} / 180.0);
    const float rlon = glon * dtr;
    const float rlat = glat * dtr;
    const float srlon = Sin(rlon);
    const float srlat = Sin(rlat);
    const float crlon = Cos(rlon);
    const float crlat = Cos(rlat);
    m.sp[1] = srlon;
    m.cp[1] = crlon;

    const bool new_position = alt != m.oalt || glat != m.olat;
    if (new_position) GeodeticToSpherical(m, alt, srlat, crlat);
    if (glon != m.olon) {
        for (int mm = 2; mm <= m.maxord; ++mm) {
            m.sp[mm] = m.sp[1] * m.cp[mm - 1] + m.cp[1] * m.sp[mm - 1];
            m.cp[mm] = m.cp[1] * m.cp[mm - 1] - m.sp[1] * m.sp[mm - 1];
        }
    }
    const FieldSums s = SumHarmonics(m, new_position, time != m.otime, dt);

    // From the spherical to the geodetic frame.
    const float bx = -s.bt * m.ca - s.br * m.sa;
    const float by = s.bp;
    const float bz = s.bt * m.sa - s.br * m.ca;
    const float bh = static_cast<float>(std::sqrt(double{(bx * bx) + (by * by)}));
    *ti = static_cast<float>(std::sqrt(double{(bh * bh) + (bz * bz)}));
    *dec = static_cast<float>(std::atan2(double{by}, double{bx}) / double{dtr});
    *dip = static_cast<float>(std::atan2(double{bz}, double{bh}) / double{dtr});
    *gv = GridVariation(*dec, glat, glon);
    m.otime = time;
    m.oalt = alt;
    m.olat = glat;
    m.olon = glon;
}

// One evaluation at the year and the next, the annual changes kept.
float EvaluateWithChange(float alt_km, float lat, float lon, float year) {
    int maxdeg = kMagModelMaxDegree;
    float dec = 0, dip = 0, ti = 0, gv = 0;
    MagneticVariation(1, &maxdeg, alt_km, lat, lon, year, &dec, &dip, &ti, &gv);
    float dec2 = 0, dip2 = 0, ti2 = 0, gv2 = 0;
    MagneticVariation(1, &maxdeg, alt_km, lat, lon, year + 1.0f, &dec2, &dip2, &ti2, &gv2);
    MagVarAnnualChange.declination_change = (dec2 - dec) * 60.0f;
    MagVarAnnualChange.inclination_change = (dip2 - dip) * 60.0f;
    MagVarAnnualChange.intensity_change = ti2 - ti;
    MagVarAnnualChange.grid_variation = gv;
    return dec;
}

}  // namespace

void MagVarFileOpen() {
    std::string path(AircraftFolderPath);
    path += "\\FMS\\Fmsmgv.dat";
    MagVarFileOpenPath(path);
}

bool MagVarFileOpenPath(std::string_view windows_path) {
    std::lock_guard<std::mutex> hold(ModelLock);
    return CoefficientFile.Open(windows_path, "r");
}

void MagVarFileClose() {
    std::lock_guard<std::mutex> hold(ModelLock);
    CoefficientFile.Close();
}

bool MagVarFileIsOpen() {
    std::lock_guard<std::mutex> hold(ModelLock);
    return CoefficientFile.IsOpen();
}

bool MagneticVariation(int entry, int* max_degree, float altitude, float latitude, float longitude,
                       float year, float* declination, float* inclination, float* total_intensity,
                       float* grid_variation) {
    if (entry == 0) {
        if (!CoefficientFile.IsOpen()) return false;
        int maxord = *max_degree;
        if (maxord < 1 || maxord > kMagModelMaxDegree) maxord = kMagModelMaxDegree;
        Model.maxord = maxord;
        CoefficientFile.Rewind();
        LineSource src;
        src.file = &CoefficientFile;
        Initialise(src);
        return true;
    }
    Evaluate(Model, altitude, latitude, longitude, year, declination, inclination, total_intensity,
             grid_variation);
    return true;
}

void MagVarLoadFromText(std::string_view text) {
    std::lock_guard<std::mutex> hold(ModelLock);
    Model.maxord = kMagModelMaxDegree;
    LineSource src;
    src.text = text;
    Initialise(src);
}

double MagneticVariationAt(double latitude, double longitude, double altitude, double year) {
    std::lock_guard<std::mutex> hold(ModelLock);
    // 1. Read the coefficients again from the start of the file.
    int maxdeg = kMagModelMaxDegree;
    if (!MagneticVariation(0, &maxdeg, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) return 0.0;
    // 2.-4. Evaluate at the year and one year later; the declination of the
    // first evaluation is the result.
    const float dec =
        EvaluateWithChange(static_cast<float>(altitude * 0.001), static_cast<float>(latitude),
                           static_cast<float>(longitude), static_cast<float>(year));
    return static_cast<double>(dec);
}

}  // namespace zu
