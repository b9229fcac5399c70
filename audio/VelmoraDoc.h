#pragma once
// The document's sample hub and meter clock: takes every captured block on
// the capture thread, does all per-block sample work there (peaks, stereo
// pairs, window assembly, correlation, analyzer feed), hands each block to
// the loudness thread while the loudness meter is on, and hands the results
// (the newest loudness reading among them) to the UI thread through a ring
// of per-block packets, where they reach the instruments in block order. It
// also counts the instruments that are on so that the device is open
// exactly while one of them needs it.
//
// Threads: ProcessBlock, OnInputLost and OnInputOpened run on the capture
// thread; the loudness measurement on the loudness thread the hub owns
// (CLoudnessThread) while a loudness feed is attached; everything else on
// the UI thread. They share only rings, a sequence lock and atomics.
#include "audio/BlockSink.h"
#include "audio/MeterPacket.h"
#include "audio/MeterSinks.h"
#include "platform/SpscRing.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>

class CAudioCapture;
class CLoudnessThread;
class CUiWakeup;
struct CMeterSharedState;
class QTimer;

// What the hub needs of the main window.
class IDocumentHost {
public:
    virtual ~IDocumentHost() = default;
    // Invalidates the whole main window (erasing the background) and updates it at once.
    virtual void RedrawMainWindow() = 0;
    // The input the instruments read went away (`device` names it), or is
    // back (`device` empty).
    virtual void ShowInputLost(const QString& device) { (void)device; }
    // Dropouts counted since the user last reset the count.
    virtual void ShowDropouts(std::uint64_t count) { (void)count; }
};

class CVelmoraDoc : public IBlockSink {
public:
    static constexpr int kFramesPerBlock = 512;
    static constexpr int kBlockBytes = 2048;
    static constexpr int kWindowFrames = 1024;
    static constexpr int kPacketRingSize = 256;
    // While the input is lost: one retry to open it again per this period.
    static constexpr int kRetryMs = 1000;
    // How often the dropout count is looked at for the title.
    static constexpr int kDropoutPollMs = 250;
    // Waiting packets beyond this many (about 100 ms of audio) are merged
    // instead of replayed, so the display never runs behind the input.
    static constexpr int kMaxReplayPackets = 9;
    // Woken by a packet, the UI thread applies what waits once per this
    // period (about the display's refresh) until a period brings nothing;
    // meanwhile the capture thread does not wake it. A little longer than
    // the controls' shortest hand-over interval, so each apply's drawing
    // reaches the screen at once rather than after a timer of its own.
    static constexpr int kApplyPeriodMs = 17;
    // The longest WaitForLoudness waits: far beyond a full loudness ring's work.
    static constexpr int kLoudnessCatchUpMs = 10000;

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
    // Lets go of the four instruments' sinks, the correlation estimator and
    // the analyzer feed (the loudness meter has its own setters).
    void DetachInstruments();
    // The loudness meter: its display, and its measurement. Attaching a
    // feed starts the loudness thread that measures it; attaching another
    // (or none) stops and joins that thread first. UI thread, while no
    // block is being processed (before capture starts or after it stopped).
    void SetLoudness(ILoudnessSink* loudness) { m_pLoudness = loudness; }
    void SetLoudnessFeed(ILoudnessFeed* feed);
    // UI thread: waits until the loudness thread has measured every block
    // handed to it so far, so that the next block's packet carries the
    // reading of all before it. False if it did not catch up within
    // kLoudnessCatchUpMs.
    bool WaitForLoudness();
    // Blocks the loudness thread never saw because its ring was full.
    std::uint64_t DroppedLoudnessBlocks() const;
    // The instruments' program-wide state, owned by whoever owns the hub;
    // the views hand its parts to their instruments. The hub never reads it.
    void SetSharedState(CMeterSharedState* state) { m_pSharedState = state; }
    CMeterSharedState* SharedState() const { return m_pSharedState; }

    IPpmSink* Ppm() const { return m_pPpm; }
    ICorSink* Cor() const { return m_pCor; }
    IFftSink* Fft() const { return m_pFft; }
    IStereoSink* Stereo() const { return m_pStereo; }
    ILoudnessSink* Loudness() const { return m_pLoudness; }
    ILoudnessFeed* LoudnessFeed() const { return m_pLoudnessFeed; }
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
    // The start-up's open for the instruments counted so far; 1 on success,
    // 0 when the device failed to open (the failure has been shown).
    int OpenForRestoredMeters();

    // Capture thread.
    void ProcessBlock(const std::uint8_t* block, const std::uint8_t* sampleArea) override;
    void OnInputLost() override;
    void OnInputOpened() override;

    // UI thread: applies every waiting packet to the instruments, in order;
    // when more than kMaxReplayPackets wait, they are merged into one step.
    // Runs by itself, at most once per kApplyPeriodMs, while packets come.
    void ApplyPackets();
    // UI thread, for tests: how often the capture thread woke the UI
    // thread, and how often the paced applying found packets.
    std::uint64_t UiWakes() const { return m_nUiWakes; }
    std::uint64_t PacedApplies() const { return m_nPacedApplies; }
    // UI thread, before capture starts. Offline analysis drains the ring in
    // large batches and must see every packet, so it turns the merge off.
    void SetMergeBacklog(bool merge) { m_bMergeBacklog = merge; }
    std::uint64_t DroppedPackets() const { return m_ring.Dropped(); }

    // UI thread. While the input is lost the instruments fall as in silence
    // (one silent step per block period) and the device is tried again once
    // per kRetryMs until it opens.
    bool IsInputLost() const { return m_bInputLost; }
    const QString& LostDeviceName() const { return m_strLostDevice; }
    // One silent step, as the decay timer applies it while the input is lost.
    void ApplySilence();
    // One attempt to open the lost device again; true when it opened.
    bool RetryLostInput();
    // Ring drops plus the device's own interruptions, since the last reset.
    std::uint64_t Dropouts() const;
    void ResetDropouts();
    // Tells the host when the dropout count changed (the poll timer's work).
    void PollDropouts();

private:
    void DistributeBlock(const std::int16_t* block, CMeterPacket& packet);
    // The largest folded magnitude of one channel (0 left, 1 right) of a block.
    // ---- PPM ballistics ----
    // The PPM's own readings of the block (modes that read in dB).
    void MeasureLevels(const std::int16_t* block, bool scan, CMeterPacket& packet);
    static void MergeLevels(const CMeterPacket& packet, CMeterPacket& merged);

    static std::uint16_t ChannelPeak(const std::int16_t* block, int channel);
    // Copies every `step`-th frame of a block; returns the number of pairs.
    static int SelectPairs(const std::int16_t* block, int step, std::int16_t (*pairs)[2]);
    const std::int16_t* AssembleWindow(const std::uint8_t* block, const std::uint8_t* sampleArea);
    void AnalyzeWindow(const std::int16_t* window, CMeterPacket& packet);
    void MeasureLoudness(const std::int16_t* block, CMeterPacket& packet);
    void ApplyPacket(const CMeterPacket& packet);
    // Gives the read packet back to the ring and counts it.
    void TakePacket();
    // Applies whatever waits; true when there was something.
    bool DrainPackets();
    // The wake's and the apply period's work: packets applied keep the UI
    // thread busy for one more period, none let it wait for a wake.
    void ApplyPacedPackets();
    // Tells the capture thread that the next packet must wake us; false
    // when a packet slipped in meanwhile (then we stay awake for it).
    bool AnnounceIdle();
    void MergeWaitingPackets(std::size_t count);
    void HandleInputLost();
    void EndInputLoss();
    void ReportSampleRate(int rateBefore);
    QString CurrentDeviceName() const;
    bool RescanFor(const QString& name);
    std::uint64_t TotalDropouts() const;

    CAudioCapture& m_capture;
    IPpmSink* m_pPpm = nullptr;
    ICorSink* m_pCor = nullptr;
    IFftSink* m_pFft = nullptr;
    IStereoSink* m_pStereo = nullptr;
    ICorrelationEstimator* m_pEstimator = nullptr;
    IAnalyzerFeed* m_pAnalyzerFeed = nullptr;
    IDocumentHost* m_pHost = nullptr;
    ILoudnessSink* m_pLoudness = nullptr;
    ILoudnessFeed* m_pLoudnessFeed = nullptr;
    std::unique_ptr<CLoudnessThread> m_pLoudnessThread;
    // Drops of loudness threads stopped before the current one.
    std::uint64_t m_nEarlierLoudnessDrops = 0;
    CMeterSharedState* m_pSharedState = nullptr;
    int m_nMeterCount = 0;
    bool m_bMergeBacklog = true;

    // Capture thread only. The block counter starts again at each open, so
    // an analysis window never joins two devices' buffers; the seam area
    // holds the one pair (buffer 31, buffer 0) that is not contiguous.
    int m_nBlockCounter = 0;
    alignas(16) std::uint8_t m_seam[2 * kBlockBytes] = {};
    // Used when the packet ring is full, so the sample work still runs.
    CMeterPacket m_scratch;

    CSpscRing<CMeterPacket> m_ring;
    std::unique_ptr<CUiWakeup> m_pWakeup;
    // Set by the UI thread when it has applied every packet and waits for a
    // wake; the capture thread wakes it only then. While it is clear, the
    // apply timer runs or a wake is on its way.
    std::atomic<bool> m_bUiIdle { true };
    // Packets published (capture thread) and taken (UI thread).
    std::atomic<std::uint64_t> m_nPacketsPublished { 0 };
    std::uint64_t m_nPacketsTaken = 0;
    std::unique_ptr<QTimer> m_pApplyTimer;
    std::uint64_t m_nUiWakes = 0;
    std::uint64_t m_nPacedApplies = 0;

    // The capture thread's word that the device went away.
    std::unique_ptr<CUiWakeup> m_pLostWakeup;
    // UI thread: the lost input and its timers.
    bool m_bInputLost = false;
    bool m_bRescanBeforeOpen = false;
    QString m_strLostDevice;
    std::unique_ptr<QTimer> m_pDecayTimer;
    std::unique_ptr<QTimer> m_pRetryTimer;
    std::unique_ptr<QTimer> m_pDropoutTimer;
    int m_nSilentSteps = 0;
    CMeterPacket m_silence;
    CMeterPacket m_merged;
    std::uint64_t m_nDropoutBase = 0;
    std::uint64_t m_nDropoutsShown = 0;
};
