#include "meters/loudness/LoudnessFeed.h"

CLoudnessFeed::~CLoudnessFeed()
{
    delete m_pSpare.exchange(nullptr);
    delete m_pRetired.exchange(nullptr);
}

bool CLoudnessFeed::Open(unsigned long rate)
{
    const bool opened = m_live.Open(kChannels, rate, ELoudnessMode::Histogram);
    // Release: a UI thread that reads the rate builds its spare for it.
    m_nRate.store(opened ? rate : 0, std::memory_order_release);
    // A fresh state serves every reset asked for so far.
    m_nResetsServedLocal = m_nResetsRequested.load(std::memory_order_acquire);
    m_nResetsServed.store(m_nResetsServedLocal, std::memory_order_release);
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
    m_nResetsRequested.fetch_add(1, std::memory_order_acq_rel);
    Collect();
}

void CLoudnessFeed::Collect()
{
    // Acquire: the capture thread released the state it handed back.
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
    // Release: the capture thread sees the state fully built.
    CLoudnessModel* expected = nullptr;
    if (!m_pSpare.compare_exchange_strong(expected, fresh, std::memory_order_acq_rel))
        delete fresh;
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

bool CLoudnessFeed::ServeReset()
{
    const std::uint32_t requested = m_nResetsRequested.load(std::memory_order_acquire);
    if (requested == m_nResetsServedLocal)
        return false;
    CLoudnessModel* spare = TakeSpareForCurrentRate();
    if (!spare)
        return false; // served at a later block, once the UI thread prepared one
    m_live.Swap(*spare);
    m_pRetired.store(spare, std::memory_order_release);
    m_nResetsServedLocal = requested;
    m_nResetsServed.store(requested, std::memory_order_release);
    ++m_nResetCount;
    return true;
}

bool CLoudnessFeed::ProcessBlock(const std::int16_t* samples, std::size_t frames, CLoudnessSnapshot& out)
{
    if (!m_bOn.load(std::memory_order_relaxed) || !m_live.IsOpen())
        return false;
    const bool fresh = ServeReset();
    const unsigned hops = m_live.AddInterleaved16(samples, frames);
    if (hops > 0 || fresh || m_last.resetCount != m_nResetCount)
        m_live.Fill(m_last);
    else
        m_live.FillPeaks(m_last);
    m_last.resetCount = m_nResetCount;
    out = m_last;
    return true;
}
