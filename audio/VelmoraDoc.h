#pragma once
// The document's sample hub and meter clock: takes every captured block on
// the capture thread, does all per-block sample work there (peaks, stereo
// pairs, window assembly, correlation, analyzer feed), and hands the results
// to the UI thread through a ring of per-block packets, where they reach the
// instruments in block order. It also counts the instruments that are on so
// that the device is open exactly while one of them needs it.
//
// Threads: ProcessBlock runs on the capture thread; everything else on the
// UI thread. The two share only the packet ring and atomics.
#include "audio/BlockSink.h"
#include "audio/MeterPacket.h"
#include "audio/MeterSinks.h"
#include "platform/SpscRing.h"

#include <atomic>
#include <cstdint>
#include <memory>

class CAudioCapture;
class CUiWakeup;
struct CMeterSharedState;

// What the hub needs of the main window.
class IDocumentHost {
public:
    virtual ~IDocumentHost() = default;
    // Invalidates the whole main window (erasing the background) and updates it at once.
    virtual void RedrawMainWindow() = 0;
};

class CVelmoraDoc : public IBlockSink {
public:
    static constexpr int kFramesPerBlock = 512;
    static constexpr int kBlockBytes = 2048;
    static constexpr int kWindowFrames = 1024;
    static constexpr int kPacketRingSize = 256;

    explicit CVelmoraDoc(CAudioCapture& capture);
    ~CVelmoraDoc() override;
    CVelmoraDoc(const CVelmoraDoc&) = delete;
    CVelmoraDoc& operator=(const CVelmoraDoc&) = delete;

    // Wiring, UI thread, before capture starts.
    void SetPpm(IPpmSink* ppm) { m_pPpm = ppm; }
    void SetCor(ICorSink* cor) { m_pCor = cor; }
    void SetFft(IFftSink* fft) { m_pFft = fft; }
    void SetStereo(IStereoSink* stereo) { m_pStereo = stereo; }
    void SetCorrelationEstimator(ICorrelationEstimator* estimator) { m_pEstimator = estimator; }
    void SetAnalyzerFeed(IAnalyzerFeed* feed) { m_pAnalyzerFeed = feed; }
    void SetHost(IDocumentHost* host) { m_pHost = host; }
    // The instruments' program-wide state, owned by whoever owns the hub;
    // the views hand its parts to their instruments. The hub never reads it.
    void SetSharedState(CMeterSharedState* state) { m_pSharedState = state; }
    CMeterSharedState* SharedState() const { return m_pSharedState; }

    IPpmSink* Ppm() const { return m_pPpm; }
    ICorSink* Cor() const { return m_pCor; }
    IFftSink* Fft() const { return m_pFft; }
    IStereoSink* Stereo() const { return m_pStereo; }
    CAudioCapture& Capture() { return m_capture; }

    // Reference-counted start: 1 if the instrument may run, 0 when the device
    // failed to open (the failure has been shown).
    int MeterOn();
    // One instrument off (`all` false), or capture stopped whatever the count.
    void MeterOff(bool all);
    void AllMetersOff();
    // Clears the PPM and analyzer bars and the stereo trace, then redraws the
    // main window; run when a window move or size ends.
    void ResetDisplays();
    int MeterCount() const { return m_nMeterCount; }
    // Counts an instrument that restored itself as on at start-up.
    void CountRestoredMeter() { ++m_nMeterCount; }

    // Capture thread.
    void ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea) override;

    // UI thread: applies every waiting packet to the instruments, in order.
    // Runs by itself when the capture thread wakes the UI thread.
    void ApplyPackets();
    std::uint64_t DroppedPackets() const { return m_ring.Dropped(); }

private:
    void DistributeBlock(const std::int16_t* block, CMeterPacket& packet);
    // The largest folded magnitude of one channel (0 left, 1 right) of a block.
    static std::uint16_t ChannelPeak(const std::int16_t* block, int channel);
    // Copies every `step`-th frame of a block; returns the number of pairs.
    static int SelectPairs(const std::int16_t* block, int step, std::int16_t (*pairs)[2]);
    const std::int16_t* AssembleWindow(const std::uint8_t* block, const std::uint8_t* sampleArea);
    void AnalyzeWindow(const std::int16_t* window, CMeterPacket& packet);
    void ApplyPacket(const CMeterPacket& packet);

    CAudioCapture& m_capture;
    IPpmSink* m_pPpm = nullptr;
    ICorSink* m_pCor = nullptr;
    IFftSink* m_pFft = nullptr;
    IStereoSink* m_pStereo = nullptr;
    ICorrelationEstimator* m_pEstimator = nullptr;
    IAnalyzerFeed* m_pAnalyzerFeed = nullptr;
    IDocumentHost* m_pHost = nullptr;
    CMeterSharedState* m_pSharedState = nullptr;
    int m_nMeterCount = 0;

    // Capture thread only. The block counter is not reset when the device
    // reopens, so a window may pair any two consecutive buffers; the seam
    // area holds the one pair (buffer 31, buffer 0) that is not contiguous.
    int m_nBlockCounter = 0;
    alignas(16) std::uint8_t m_seam[2 * kBlockBytes] = {};
    // Used when the packet ring is full, so the sample work still runs.
    CMeterPacket m_scratch;

    CSpscRing<CMeterPacket> m_ring;
    std::unique_ptr<CUiWakeup> m_pWakeup;
    // Set by the UI thread when it has applied every packet and waits for a
    // wake; the capture thread wakes it only then.
    std::atomic<bool> m_bUiIdle { true };
};
