#include "meters/analyzer/FftWindowTables.h"

#include <cmath>

namespace {
// 2 pi / 2048 with pi taken to ten decimals (3.1415926535): the cosine
// windows keep that slightly short period.
constexpr double kC1 = 0.003067961575683594;
constexpr double kC2 = 0.006135923151367188;
// 1 / 2049 for the triangular and parabolic windows.
constexpr double kInv2049 = 0.0004880429477794046;
// -2^-21: the Gaussian's standard deviation is 512 samples.
constexpr double kGaussExponent = -4.76837158203125e-7;

constexpr double kScale[fft::kWindowTypeCount] = {
    0.0006905550400699, // Rectangular
    0.001379473294105,  // Parzen
    0.001379473294105,  // Hanning
    0.001639507082733,  // Blackman
    0.001160682127689,  // Gaussian
    0.001034459035178,  // Welch
    0.001229456867501,  // Hamming
};

double WindowValue(int type, int n)
{
    const double m = 2.0 * n - fft::kFftSize;
    switch (type) {
    case fft::kWindowRectangular: return 1.0;
    case fft::kWindowParzen: return 1.0 - std::fabs(m * kInv2049);
    case fft::kWindowHanning: return 0.5 - 0.5 * std::cos(n * kC1);
    case fft::kWindowBlackman: return 0.42 - 0.5 * std::cos(n * kC1) + 0.08 * std::cos(n * kC2);
    case fft::kWindowGaussian: return std::exp(m * m * kGaussExponent);
    case fft::kWindowWelch: {
        const double r = m * kInv2049;
        return 1.0 - r * r;
    }
    case fft::kWindowHamming: return 0.54 - 0.46 * std::cos(n * kC1);
    default: return 0.0;
    }
}
}

const CFftWindowTables& CFftWindowTables::Instance()
{
    static const CFftWindowTables tables;
    return tables;
}

CFftWindowTables::CFftWindowTables()
{
    for (int type = 0; type < fft::kWindowTypeCount; ++type)
        Build(type, m_tables[type]);
}

int CFftWindowTables::Valid(int type)
{
    return type >= 0 && type < fft::kWindowTypeCount ? type : fft::kDefaultWindowType;
}

double CFftWindowTables::Scale(int type) { return kScale[Valid(type)]; }

const CFftWindowTables::Table& CFftWindowTables::Get(int type) const { return m_tables[Valid(type)]; }

void CFftWindowTables::Build(int type, Table& out)
{
    type = Valid(type);
    const double scale = kScale[type];
    for (int n = 0; n < fft::kFftSize; ++n)
        out[n] = WindowValue(type, n) * scale;
}
