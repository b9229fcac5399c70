#include "audio/VelmoraDoc.h"

#include "audio/AudioCapture.h"
#include "platform/UiWakeup.h"

#include <algorithm>
#include <cstring>

CVelmoraDoc::CVelmoraDoc(CAudioCapture& capture)
    : m_capture(capture)
    , m_ring(kPacketRingSize)
    , m_pWakeup(std::make_unique<CUiWakeup>([this] { ApplyPackets(); }))
{
    m_capture.SetDocument(this);
}

CVelmoraDoc::~CVelmoraDoc() { m_capture.SetDocument(nullptr); }

// ---- capture thread -------------------------------------------------------

void CVelmoraDoc::ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea)
{
    CMeterPacket* packet = m_ring.BeginWrite();
    const bool queued = packet != nullptr;
    if (!queued)
        packet = &m_scratch;
    packet->hasPeaks = false;
    packet->nPairs = 0;
    packet->hasCorrelation = false;
    packet->hasBands = false;

    DistributeBlock(reinterpret_cast<const std::int16_t*>(block), *packet);
    if (++m_nBlockCounter >= 2) {
        AnalyzeWindow(AssembleWindow(block, sampleArea), *packet);
        m_nBlockCounter = 0;
    }
    packet->tick = m_capture.m_bPostTick.load(std::memory_order_relaxed) != 0;

    if (queued) {
        m_ring.EndWrite();
        // Only a UI thread that has run out of packets needs waking; one
        // that is still draining will find this packet itself. The flag and
        // the ring index are fenced against the UI side's (see ApplyPackets),
        // so either we see it idle or it sees this packet.
        std::atomic_thread_fence(std::memory_order_seq_cst);
        if (m_bUiIdle.exchange(false, std::memory_order_seq_cst))
            m_pWakeup->Wake();
    }
}

void CVelmoraDoc::DistributeBlock(const std::int16_t* block, CMeterPacket& packet)
{
    const bool ppmOn = m_pPpm && m_pPpm->IsOnForCapture();
    const bool stereoOn = m_pStereo && m_pStereo->IsOnForCapture();
    const int decimation = m_pStereo ? m_pStereo->DecimationForCapture() : 0;
    // A sample step outside the three modes skips the block's scan: the PPM
    // then reads silence and nothing is plotted.
    const bool scan = decimation >= 0 && decimation <= 2;
    if (ppmOn) {
        packet.hasPeaks = true;
        packet.peak[0] = scan ? ChannelPeak(block, 0) : 0;
        packet.peak[1] = scan ? ChannelPeak(block, 1) : 0;
    }
    if (stereoOn && scan)
        packet.nPairs = SelectPairs(block, 1 << decimation, packet.pairs);
}

std::uint16_t CVelmoraDoc::ChannelPeak(const std::int16_t* block, int channel)
{
    // The folded magnitude x ^ (x >> 15) is x for x >= 0 and -x-1 (its
    // complement) below, so -1 counts as 0 and -32768 as 32767. A plain loop
    // of it the compiler turns into vector code.
    int peak = 0;
    for (int frame = 0; frame < kFramesPerBlock; ++frame) {
        const int x = block[2 * frame + channel];
        peak = std::max(peak, x ^ (x >> 15));
    }
    return static_cast<std::uint16_t>(peak);
}

int CVelmoraDoc::SelectPairs(const std::int16_t* block, int step, std::int16_t (*pairs)[2])
{
    if (step == 1) {
        // Every frame: the pairs are the block itself.
        std::memcpy(pairs, block, kBlockBytes);
        return kFramesPerBlock;
    }
    int n = 0;
    for (int frame = 0; frame < kFramesPerBlock; frame += step, ++n) {
        pairs[n][0] = block[2 * frame];
        pairs[n][1] = block[2 * frame + 1];
    }
    return n;
}

const std::int16_t* CVelmoraDoc::AssembleWindow(const std::uint8_t* block, const std::uint8_t* sampleArea)
{
    if (block == sampleArea) {
        // Buffer 0: its predecessor, buffer 31, lies at the end of the area.
        std::memcpy(m_seam, sampleArea + 31 * kBlockBytes, kBlockBytes);
        std::memcpy(m_seam + kBlockBytes, block, kBlockBytes);
        return reinterpret_cast<const std::int16_t*>(m_seam);
    }
    return reinterpret_cast<const std::int16_t*>(block - kBlockBytes);
}

void CVelmoraDoc::AnalyzeWindow(const std::int16_t* window, CMeterPacket& packet)
{
    if (m_pEstimator) {
        const CCorReading reading = m_pEstimator->Estimate(window);
        if (m_pCor && m_pCor->IsOnForCapture()) {
            packet.hasCorrelation = true;
            packet.correlation = reading;
        }
    }
    if (m_pAnalyzerFeed)
        packet.hasBands = m_pAnalyzerFeed->Feed(window, packet.bands);
}

// ---- UI thread -------------------------------------------------------------

void CVelmoraDoc::ApplyPackets()
{
    for (;;) {
        while (const CMeterPacket* packet = m_ring.BeginRead()) {
            ApplyPacket(*packet);
            m_ring.EndRead();
        }
        // Announce that the next packet must wake us, then look once more:
        // a packet published before the announcement was seen by the check
        // (or wakes us), one published after it finds the flag set.
        m_bUiIdle.store(true, std::memory_order_seq_cst);
        std::atomic_thread_fence(std::memory_order_seq_cst);
        if (!m_ring.BeginRead())
            return;
        m_bUiIdle.store(false, std::memory_order_relaxed);
    }
}

void CVelmoraDoc::ApplyPacket(const CMeterPacket& packet)
{
    // A packet made while an instrument was on may arrive after it was
    // switched off: an instrument that is off takes nothing.
    if (m_pStereo && packet.nPairs > 0 && m_pStereo->IsOn()) {
        for (int i = 0; i < packet.nPairs; ++i)
            m_pStereo->PlotPoint(packet.pairs[i][0], packet.pairs[i][1]);
    }
    if (m_pPpm && packet.hasPeaks && m_pPpm->IsOn()) {
        m_pPpm->SetValue(packet.peak[0], 0);
        m_pPpm->SetValue(packet.peak[1], 1);
    }
    if (m_pCor && packet.hasCorrelation && m_pCor->IsOn())
        m_pCor->ShowCorrelation(packet.correlation.smoothed, packet.correlation.raw);
    if (m_pFft && packet.hasBands && m_pFft->IsOn()) {
        for (int i = 0; i < kBandCount; ++i)
            m_pFft->SetValue(packet.bands[i], i);
    }
    if (m_pPpm && packet.tick)
        m_pPpm->OnTimer();
}

int CVelmoraDoc::MeterOn()
{
    const int rateBefore = m_capture.Device().SampleRate();
    int result = 1;
    if (++m_nMeterCount == 1) {
        result = m_capture.Open();
        if (!result)
            --m_nMeterCount;
    }
    const int rateAfter = m_capture.Device().SampleRate();
    if (rateAfter != rateBefore && m_pFft)
        m_pFft->SetSampleRate(rateAfter);
    return result;
}

void CVelmoraDoc::MeterOff(bool all)
{
    if (!all) {
        if (m_nMeterCount-- != 1)
            return;
    } else {
        m_nMeterCount = 0;
    }
    m_capture.StopCapture();
    // Whatever the capture thread finished before it stopped still reaches
    // the displays before they are cleared.
    ApplyPackets();
    if (m_pPpm && m_pPpm->WindowExists())
        m_pPpm->ResetBars(-1, 1);
    if (m_pFft && m_pFft->WindowExists())
        m_pFft->ResetBars(-1, 1);
}

void CVelmoraDoc::AllMetersOff()
{
    IMeterSwitch* const meters[] = { m_pPpm, m_pCor, m_pFft, m_pStereo };
    for (IMeterSwitch* meter : meters) {
        // A minimised meter shows itself off but is still counted: it is
        // switched off all the same, or the device would stay open.
        if (meter && meter->IsSwitchedOn()) {
            meter->SetSwitchedOn(0);
            MeterOff(false);
        }
    }
}

void CVelmoraDoc::ResetDisplays()
{
    if (m_pPpm)
        m_pPpm->ResetBars(-1, 1);
    if (m_pFft)
        m_pFft->ResetBars(-1, 1);
    if (m_pStereo && m_pStereo->IsOn())
        m_pStereo->EraseAllPoints();
    if (m_pHost)
        m_pHost->RedrawMainWindow();
}
