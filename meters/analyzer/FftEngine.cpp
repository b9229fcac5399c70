#include "meters/analyzer/FftEngine.h"

#include <cmath>

namespace {
constexpr int N = CFftEngine::kSize;
constexpr double kDcScale = 0.7071067811865;

// Bins 1..17 land on these positions; the positions between two of them
// take the straight line from one bin's magnitude to the next.
constexpr int kLowPositions[18] = { 1, 9, 19, 26, 31, 35, 38, 40, 42, 44, 46, 48, 50, 52, 54, 55, 56, 57 };
constexpr int kLowBins = 17;

// Bins per display position from bin 18 up, positions 57..127 (1006 bins).
constexpr int kGroupBins[71] = { 1, 1, 1, 1, 2, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 4, 4, 5, 5,
    5, 5, 5, 5, 5, 5, 5, 5, 5, 6, 7, 7, 8, 8, 8, 13, 14, 14, 14, 14, 14, 14, 15, 15, 16, 17, 18, 19, 21, 22,
    23, 24, 26, 27, 29, 31, 33, 35, 37, 39, 41, 44, 46, 49, 57, 79 };
constexpr int kFirstGroupBin = 18;
constexpr int kFirstGroupPosition = 57;

// |bin|^2 of the halfcomplex spectrum: real part at b, imaginary at N - b.
double Power(const fftw_real* spectrum, int bin)
{
    const double re = spectrum[bin];
    const double im = spectrum[N - bin];
    return re * re + im * im;
}

// Doubling the power folds the mirrored half of the spectrum back in.
std::uint32_t Magnitude(double power) { return static_cast<std::uint32_t>(std::sqrt(2.0 * power)); }
}

CFftEngine::~CFftEngine() { DestroyPlan(); }

void CFftEngine::DestroyPlan()
{
    if (m_plan)
        rfftw_destroy_plan(m_plan);
    m_plan = nullptr;
}

bool CFftEngine::Init(int size, fftw_real* input, fftw_real* output, std::uint32_t* bands)
{
    DestroyPlan();
    m_nSize = size;
    m_pInput = input;
    m_pOutput = output;
    m_pBands = bands;
    if (size != kSize || !input || !output || !bands)
        return false;
    m_plan = rfftw_create_plan(size, FFTW_REAL_TO_COMPLEX, FFTW_ESTIMATE);
    return m_plan != nullptr;
}

bool CFftEngine::Process()
{
    if (!m_plan)
        return false;
    rfftw_one(m_plan, m_pInput, m_pOutput);
    MapBands(m_pOutput, m_pBands);
    return true;
}

void CFftEngine::MapBands(const fftw_real* spectrum, std::uint32_t* bands)
{
    bands[0] = static_cast<std::uint32_t>(std::fabs(spectrum[0]) * kDcScale);

    // Each position takes the line between two neighbouring bins evaluated
    // one position further on, so the last position before a bin's own
    // already reaches that bin's magnitude. The slope is signed: a falling
    // line must fall, not wrap around.
    std::uint32_t prev = bands[0];
    for (int k = 0; k < kLowBins; ++k) {
        const std::uint32_t mag = Magnitude(Power(spectrum, k + 1));
        const int from = kLowPositions[k];
        const int to = kLowPositions[k + 1];
        bands[to] = mag;
        const double slope = (static_cast<double>(mag) - static_cast<double>(prev)) / (to - from);
        for (int p = from; p < to; ++p) {
            const auto step = static_cast<std::int64_t>((p - from + 1) * slope);
            bands[p] = static_cast<std::uint32_t>(static_cast<std::int64_t>(prev) + step);
        }
        prev = mag;
    }

    // Above bin 17 a position shows its loudest bin, not the sum, so a tone
    // reads the same whichever group it falls in.
    int bin = kFirstGroupBin;
    for (int g = 0; g < 71; ++g) {
        double largest = 0.0;
        for (int i = 0; i < kGroupBins[g]; ++i, ++bin) {
            const double power = Power(spectrum, bin);
            if (power > largest)
                largest = power;
        }
        bands[kFirstGroupPosition + g] = Magnitude(largest);
    }
}
