#include "meters/loudness/LoudnessFeed.h"

CLoudnessFeed::~CLoudnessFeed()
{
    delete m_pSpare.exchange(nullptr);
    delete m_pRetired.exchange(nullptr);
}

bool CLoudnessFeed::Open(unsigned long rate, std::uint32_t generation)
{
    const bool opened = m_live.Open(kChannels, rate, ELoudnessMode::Histogram);
    // Release: a UI thread that reads the rate builds its spare for it.
    m_nRate.store(opened ? rate : 0, std::memory_order_release);
    // A fresh state serves every fresh start asked for up to `generation`.
    NoteServed(generation);
    ++m_nResetCount;
    return opened;
}

void CLoudnessFeed::Close()
{
    m_live.Close();
    m_nRate.store(0, std::memory_order_release);
}

void CLoudnessFeed::SetOn(bool on)
{
    const bool wasOn = m_bOn.exchange(on, std::memory_order_relaxed);
    if (on && !wasOn)
        RequestReset();
}

void CLoudnessFeed::RequestReset()
{
    // Release: pairs with the acquire in Generation(), read by the capture
    // thread when it stamps a block.
    m_nResetsRequested.fetch_add(1, std::memory_order_acq_rel);
    Collect();
}

void CLoudnessFeed::Collect()
{
    // Acquire: the measuring thread released the state it handed back.
    delete m_pRetired.exchange(nullptr, std::memory_order_acquire);

    const bool pending = m_nResetsRequested.load(std::memory_order_acquire) != m_nResetsServed.load(std::memory_order_acquire);
    const unsigned long rate = m_nRate.load(std::memory_order_acquire);
    if (!pending || rate == 0 || m_pSpare.load(std::memory_order_acquire))
        return;
    auto* fresh = new CLoudnessModel;
    if (!fresh->Open(kChannels, rate, ELoudnessMode::Histogram)) {
        delete fresh;
        return;
    }
    // Release: the measuring thread sees the state fully built.
    CLoudnessModel* expected = nullptr;
    if (!m_pSpare.compare_exchange_strong(expected, fresh, std::memory_order_acq_rel))
        delete fresh;
}

void CLoudnessFeed::NoteServed(std::uint32_t generation)
{
    m_nGeneration = generation;
    // Release: Collect stops preparing a spare for this generation.
    m_nResetsServed.store(generation, std::memory_order_release);
}

CLoudnessModel* CLoudnessFeed::TakeSpareForCurrentRate()
{
    // The retired slot must be free before a spare is used, so the state
    // being replaced always has somewhere to go.
    if (m_pRetired.load(std::memory_order_acquire))
        return nullptr;
    CLoudnessModel* spare = m_pSpare.exchange(nullptr, std::memory_order_acq_rel);
    if (spare && spare->Rate() != m_live.Rate()) {
        // Built for the rate before the last Open: give it back unused.
        m_pRetired.store(spare, std::memory_order_release);
        return nullptr;
    }
    return spare;
}

void CLoudnessFeed::StartAfresh(std::uint32_t generation)
{
    if (CLoudnessModel* spare = TakeSpareForCurrentRate()) {
        m_live.Swap(*spare);
        m_pRetired.store(spare, std::memory_order_release);
    } else {
        // No spare ready (the UI thread has not come round yet): build the
        // fresh state here, so the reset still lands on its own block.
        m_live.Reset();
    }
    NoteServed(generation);
    ++m_nResetCount;
}

bool CLoudnessFeed::Measure(const std::int16_t* samples, std::size_t frames, std::uint32_t generation, CLoudnessSnapshot& out)
{
    if (!m_live.IsOpen())
        return false;
    const bool fresh = generation != m_nGeneration;
    if (fresh)
        StartAfresh(generation);
    const unsigned hops = m_live.AddInterleaved16(samples, frames);
    if (hops > 0 || fresh || m_last.resetCount != m_nResetCount)
        m_live.Fill(m_last);
    else
        m_live.FillPeaks(m_last);
    m_last.resetCount = m_nResetCount;
    m_last.generation = m_nGeneration;
    out = m_last;
    return true;
}

bool CLoudnessFeed::ProcessBlock(const std::int16_t* samples, std::size_t frames, CLoudnessSnapshot& out)
{
    return IsOn() && Measure(samples, frames, Generation(), out);
}
