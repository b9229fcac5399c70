#pragma once
// The analyzer's 2048-point forward real transform (FFTW 2, rfftw, double
// precision, out of place) and the mapping of its 1024 bins onto the 128
// display positions: the DC term, bins 1..17 interpolated over positions
// 1..57, then bins 18..1023 in 71 groups taking the largest magnitude.
// The Nyquist term is never read.
//
// Threads: Init and destruction on the UI thread; Process on the capture
// thread only (it allocates nothing and takes no lock).
#include <cstdint>
#include <rfftw.h>

class CFftEngine {
public:
    static constexpr int kSize = 2048;
    static constexpr int kBands = 128;

    CFftEngine() = default;
    virtual ~CFftEngine();
    CFftEngine(const CFftEngine&) = delete;
    CFftEngine& operator=(const CFftEngine&) = delete;

    // Stores the buffers and creates the plan (FFTW_ESTIMATE, no measuring).
    // Only a size of 2048 is supported; any other size, or a plan FFTW
    // cannot make, leaves the engine without a plan and returns false.
    // A previous plan is destroyed first.
    bool Init(int size, fftw_real* input, fftw_real* output, std::uint32_t* bands);
    bool HasPlan() const { return m_plan != nullptr; }

    // Transforms the input and writes the 128 band amplitudes. Returns false,
    // touching nothing, when there is no plan.
    bool Process();

    // The band mapping alone, from a halfcomplex spectrum of 2048 values.
    static void MapBands(const fftw_real* spectrum, std::uint32_t* bands);

private:
    void DestroyPlan();

    rfftw_plan m_plan = nullptr;
    std::uint32_t* m_pBands = nullptr;
    fftw_real* m_pOutput = nullptr;
    fftw_real* m_pInput = nullptr;
    int m_nSize = 0;
};
